// Message boxes: buttons by the box type, the default by MB_DEFBUTTONn, the
// icon by the MB_ICON bits, and the answer a closed box gives.
#include "message_box.h"

#include <QPushButton>
#include <QTimer>
#include <vector>

#include "dialog_units.h"
#include "winhost.h"

namespace winqt {

namespace {

struct Button {
    int id;
    const wchar_t* text;
    QMessageBox::ButtonRole role;
};

std::vector<Button> buttonsOf(UINT type) {
    const Button ok{IDOK, L"确定", QMessageBox::AcceptRole};
    const Button cancel{IDCANCEL, L"取消", QMessageBox::RejectRole};
    const Button yes{IDYES, L"是", QMessageBox::YesRole};
    const Button no{IDNO, L"否", QMessageBox::NoRole};
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {ok, cancel};
    case MB_ABORTRETRYIGNORE:
        return {{IDABORT, L"中止", QMessageBox::RejectRole},
                {IDRETRY, L"重试", QMessageBox::AcceptRole},
                {IDIGNORE, L"忽略", QMessageBox::AcceptRole}};
    case MB_YESNOCANCEL: return {yes, no, cancel};
    case MB_YESNO: return {yes, no};
    case MB_RETRYCANCEL: return {{IDRETRY, L"重试", QMessageBox::AcceptRole}, cancel};
    default: return {ok};
    }
}

QMessageBox::Icon iconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

MessageBoxWindow::MessageBoxWindow(const std::wstring& caption, const std::wstring& text, UINT type, QWidget* parent)
    : m_box(parent), m_type(type) {
    m_box.setWindowTitle(toQt(caption));
    m_box.setTextFormat(Qt::PlainText);
    m_box.setText(toQt(text));
    m_box.setIcon(iconOf(type));
    m_box.setFont(dialogFont());
    m_box.setWindowModality(Qt::ApplicationModal);
    const std::vector<Button> buttons = buttonsOf(type);
    const int defaultId = winDefaultMessageBoxAnswer(type);
    QAbstractButton* escape = nullptr;
    for (const Button& b : buttons) {
        QPushButton* button = m_box.addButton(toQt(b.text), b.role);
        m_answers[button] = b.id;
        if (b.id == defaultId) m_box.setDefaultButton(button);
        if (b.id == IDCANCEL || (escape == nullptr && b.id == IDNO)) escape = button;
    }
    // A box with one button closes with it; with cancel, closing is cancel.
    if (escape == nullptr && buttons.size() == 1) escape = m_box.buttons().value(0);
    m_box.setEscapeButton(escape);
}

int MessageBoxWindow::answerOf(const QAbstractButton* button) const {
    auto it = m_answers.find(button);
    // Closed without a button: what closing a box of this kind means.
    if (it == m_answers.end()) return (m_type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
    return it->second;
}

int MessageBoxWindow::exec() {
    m_box.exec();
    return answerOf(m_box.clickedButton());
}

int MessageBoxWindow::pressAndWait(int answer) {
    QAbstractButton* target = nullptr;
    for (const auto& [button, id] : m_answers)
        if (id == answer) target = const_cast<QAbstractButton*>(button);
    if (target == nullptr) return 0;
    // The press comes once the box is up, as a user's would.
    QTimer::singleShot(0, target, [target] { target->click(); });
    m_box.exec();
    return answerOf(m_box.clickedButton());
}

}  // namespace winqt
