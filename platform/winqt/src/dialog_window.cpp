// Building the window of a dialog template, keeping its widgets in step with
// the dialog, and routing the user's input into the dialog. The widgets show
// the toolkit's state and never hold one of their own: a key an edit control
// refuses never reaches the field, a radio group is what the toolkit checked.
#include "dialog_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <exception>

#include "afxstub.h"
#include "windialoguser.h"

namespace winqt {

namespace {

// The property that names a widget's control id, for tests and pictures.
const char* const kIdProperty = "winControlId";

QPixmap bitmapPixmap(HINSTANCE instance, UINT id) {
    HBITMAP bitmap = instance != nullptr ? LoadBitmapW(instance, MAKEINTRESOURCEW(id)) : nullptr;
    if (bitmap == nullptr || bitmap->width <= 0 || bitmap->height <= 0) return QPixmap();
    QImage image(bitmap->rgba.data(), bitmap->width, bitmap->height, bitmap->width * 4, QImage::Format_RGBA8888);
    return QPixmap::fromImage(image.copy());
}

QStringList toQtList(const std::vector<std::wstring>& items) {
    QStringList list;
    for (const auto& item : items) list << toQt(item);
    return list;
}

bool isNavigationKey(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
        return true;
    default:
        return false;
    }
}

}  // namespace

DialogWindow::DialogWindow(CDialog& dialog, QWidget* parent, DialogWindowHost& host)
    : QDialog(parent), m_dialog(dialog), m_host(host), m_units(dialogFont()) {
    setFont(dialogFont());
    setWindowTitle(toQt(dialog.GetTemplate().title));
    setWindowModality(Qt::ApplicationModal);
    build();
    sync();
}

DialogWindow::~DialogWindow() {
    m_closing = true;
    for (auto& [object, id] : m_fieldIds) object->removeEventFilter(this);
}

QWidget* DialogWindow::control(int id) const {
    auto it = m_controls.find(id);
    return it == m_controls.end() ? nullptr : it->second;
}

void DialogWindow::build() {
    const WinDialogTemplate& t = m_dialog.GetTemplate();
    setFixedSize(m_units.toX(t.cx), m_units.toY(t.cy));
    // Template order is tab order, and later controls lie above group boxes.
    for (size_t i = 0; i < t.controls.size(); ++i) {
        const WinControlTemplate& c = t.controls[i];
        QWidget* widget = makeControl(c, i);
        widget->setGeometry(m_units.toRect(c.x, c.y, c.cx, c.cy));
        widget->setProperty(kIdProperty, c.id);
        widget->setHidden(!c.visible);
        widget->setEnabled(!c.disabled);
        if (c.id != IDC_STATIC) m_controls[c.id] = widget;
    }
}

// A label that ends just before the next control on its line belongs to it
// and is set against it.
bool DialogWindow::rightAligned(size_t index) const {
    const auto& all = m_dialog.GetTemplate().controls;
    if (index + 1 >= all.size()) return false;
    const WinControlTemplate& label = all[index];
    const WinControlTemplate& next = all[index + 1];
    const int gap = next.x - (label.x + label.cx);
    return std::abs(next.y - label.y) <= 4 && gap >= 0 && gap <= 8;
}

QWidget* DialogWindow::makeControl(const WinControlTemplate& c, size_t index) {
    const int id = c.id;
    switch (c.kind) {
    case WinControlKind::Label: {
        auto* label = new QLabel(toQt(c.caption), this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment((rightAligned(index) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        return label;
    }
    case WinControlKind::GroupBox: return new QGroupBox(toQt(c.caption), this);
    case WinControlKind::Picture: {
        auto* picture = new QLabel(this);
        picture->setAlignment(Qt::AlignCenter);
        QPixmap pixmap = bitmapPixmap(m_dialog.GetResourceInstance(), c.bitmapId);
        const QRect area = m_units.toRect(c.x, c.y, c.cx, c.cy);
        if (!pixmap.isNull())
            picture->setPixmap(pixmap.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return picture;
    }
    case WinControlKind::PushButton: {
        auto* button = new QPushButton(toQt(c.caption), this);
        button->setAutoDefault(false);
        button->setDefault(c.defaultButton);
        connect(button, &QPushButton::clicked, this, [this, id] { clicked(id); });
        return button;
    }
    case WinControlKind::RadioButton: {
        auto* radio = new QRadioButton(toQt(c.caption), this);
        // The toolkit keeps the group; the widget only shows it.
        radio->setAutoExclusive(false);
        connect(radio, &QRadioButton::clicked, this, [this, id] { clicked(id); });
        return radio;
    }
    case WinControlKind::CheckBox: {
        auto* check = new QCheckBox(toQt(c.caption), this);
        connect(check, &QCheckBox::clicked, this, [this, id] { clicked(id); });
        return check;
    }
    case WinControlKind::Edit: {
        auto* edit = new QLineEdit(this);
        // Every change of the text goes through the edit control's key handling;
        // the ways around it a window system adds are closed.
        edit->setContextMenuPolicy(Qt::NoContextMenu);
        edit->setAcceptDrops(false);
        edit->setDragEnabled(false);
        edit->setAttribute(Qt::WA_InputMethodEnabled, false);
        edit->installEventFilter(this);
        m_fieldIds[edit] = id;
        return edit;
    }
    case WinControlKind::ComboBox: {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        connect(combo, QOverload<int>::of(&QComboBox::activated), this, [this, id](int i) { chosen(id, i); });
        return combo;
    }
    case WinControlKind::ListBox: {
        auto* list = new QListWidget(this);
        list->setVerticalScrollBarPolicy(c.vscroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        connect(list, &QListWidget::currentRowChanged, this, [this, id](int row) {
            if (!m_syncing && row >= 0) chosen(id, row);
        });
        return list;
    }
    }
    return new QWidget(this);
}

void DialogWindow::sync() {
    if (m_closing) return;
    m_syncing = true;
    const int focusId = m_dialog.GetFocus() != nullptr ? m_dialog.GetFocus()->GetDlgCtrlID() : IDC_STATIC;
    for (auto& [id, widget] : m_controls) {
        CWnd* control = m_dialog.GetDlgItem(id);
        if (control == nullptr) continue;
        const WinControlState& s = control->state();
        widget->setEnabled(s.enabled);
        widget->setHidden(!s.visible);
        switch (s.kind) {
        case WinControlKind::Label:
            if (auto* label = qobject_cast<QLabel*>(widget); label != nullptr && label->pixmap().isNull())
                label->setText(toQt(s.text));
            break;
        case WinControlKind::GroupBox:
            if (auto* box = qobject_cast<QGroupBox*>(widget)) box->setTitle(toQt(s.text));
            break;
        case WinControlKind::Picture: break;
        case WinControlKind::PushButton:
        case WinControlKind::RadioButton:
        case WinControlKind::CheckBox:
            if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
                button->setText(toQt(s.text));
                if (s.kind != WinControlKind::PushButton) button->setChecked(s.check == BST_CHECKED);
            }
            break;
        case WinControlKind::Edit:
            if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
                const QString text = toQt(s.text);
                if (edit->text() != text) edit->setText(text);
                if (focusId == id) {
                    if (s.selStart == s.selEnd) edit->setCursorPosition(s.selEnd);
                    else edit->setSelection(s.selStart, s.selEnd - s.selStart);
                }
            }
            break;
        case WinControlKind::ComboBox:
            if (auto* combo = qobject_cast<QComboBox*>(widget)) {
                const QStringList items = toQtList(s.items);
                QStringList shown;
                for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
                if (shown != items) {
                    combo->clear();
                    combo->addItems(items);
                }
                combo->setCurrentIndex(s.curSel);
            }
            break;
        case WinControlKind::ListBox:
            if (auto* list = qobject_cast<QListWidget*>(widget)) {
                const QStringList items = toQtList(s.items);
                QStringList shown;
                for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
                if (shown != items) {
                    list->clear();
                    list->addItems(items);
                }
                if (s.curSel < 0) list->clearSelection();
                list->setCurrentRow(s.curSel);
            }
            break;
        }
    }
    m_syncing = false;
}

bool DialogWindow::usable(QWidget* widget) const {
    return widget != nullptr && widget->isEnabled() && !widget->isHidden();
}

void DialogWindow::act(int id, const std::function<WinActionResult()>& step) {
    if (m_closing || m_syncing) return;
    m_reached = true;
    try {
        m_result = step();
    } catch (const std::exception& e) {
        m_result = WinActionResult::fail(L"dialog " + std::to_wstring(m_dialog.GetTemplateId()) + L": control " +
                                         std::to_wstring(id) + L": " + fromQt(QString::fromUtf8(e.what())));
    } catch (...) {
        m_result = WinActionResult::fail(L"dialog " + std::to_wstring(m_dialog.GetTemplateId()) + L": control " +
                                         std::to_wstring(id) + L": the handler failed");
    }
    m_host.afterAction();
}

void DialogWindow::clicked(int id) {
    if (m_closing || m_syncing) return;
    if (id == IDOK) m_host.confirming(m_dialog);
    act(id, [this, id] { return WinDialogUser::click(m_dialog, id); });
}

void DialogWindow::chosen(int id, int index) {
    CWnd* control = m_dialog.GetDlgItem(id);
    if (control == nullptr || index < 0 || index >= static_cast<int>(control->state().items.size())) return;
    const std::wstring text = control->state().items[static_cast<size_t>(index)];
    act(id, [this, id, text] { return WinDialogUser::selectItem(m_dialog, id, text); });
}

void DialogWindow::pressOk() {
    if (m_closing) return;
    m_host.confirming(m_dialog);
    act(IDOK, [this] { return WinDialogUser::pressOk(m_dialog); });
}

void DialogWindow::pressCancel() {
    act(IDCANCEL, [this] { return WinDialogUser::pressCancel(m_dialog); });
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Escape: pressCancel(); return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // On a push button Enter presses that button; elsewhere the default one.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            if (usable(button)) button->click();
            return;
        }
        pressOk();
        return;
    default: QDialog::keyPressEvent(event);
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The dialog decides whether it closes; the window follows it.
    event->ignore();
    if (!m_closing) pressCancel();
}

void DialogWindow::enterField(int id) {
    auto* edit = dynamic_cast<CEdit*>(m_dialog.GetDlgItem(id));
    if (edit == nullptr || m_dialog.GetFocus() == edit) return;
    act(id, [this, edit] {
        m_dialog.GotoDlgCtrl(edit);
        return WinActionResult{};
    });
}

void DialogWindow::leaveField(int id) {
    CWnd* field = m_dialog.GetDlgItem(id);
    if (field == nullptr || m_dialog.GetFocus() != field) return;
    act(id, [this] {
        m_dialog.GotoDlgCtrl(nullptr);
        return WinActionResult{};
    });
}

void DialogWindow::takeSelection(int id, QLineEdit* edit) {
    auto* field = dynamic_cast<CEdit*>(m_dialog.GetDlgItem(id));
    if (field == nullptr) return;
    if (edit->hasSelectedText()) {
        const int start = edit->selectionStart();
        field->SetSel(start, start + static_cast<int>(edit->selectedText().size()));
    } else {
        field->SetSel(edit->cursorPosition(), edit->cursorPosition());
    }
}

bool DialogWindow::fieldKey(int id, QLineEdit* edit, QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter ||
        key == Qt::Key_Escape)
        return false;
    if (isNavigationKey(key) || event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll))
        return false;
    auto* field = dynamic_cast<CEdit*>(m_dialog.GetDlgItem(id));
    if (field == nullptr || !usable(edit)) return true;
    enterField(id);
    if (!m_dialog.IsRunning() || m_dialog.GetFocus() != field) return true;
    takeSelection(id, edit);
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut)) {
        // A paste is not typing: the text goes in as it is, past the key handling.
        const bool cut = event->matches(QKeySequence::Cut);
        if (cut && edit->hasSelectedText()) QApplication::clipboard()->setText(edit->selectedText());
        const std::wstring text = cut ? std::wstring() : fromQt(QApplication::clipboard()->text());
        act(id, [field, text] {
            field->ReplaceSel(text.c_str());
            return WinActionResult{};
        });
        return true;
    }
    if (key == Qt::Key_Delete) {
        act(id, [field] {
            int start = 0, end = 0;
            field->GetSel(start, end);
            if (start == end) field->SetSel(start, start + 1);
            field->ReplaceSel(L"");
            return WinActionResult{};
        });
        return true;
    }
    if (key == Qt::Key_Backspace) {
        act(id, [field] {
            field->OnChar(8, 1, 0);
            return WinActionResult{};
        });
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return true;
    const std::wstring text = fromQt(event->text());
    for (wchar_t ch : text) {
        if (ch < 32 || ch == 127) continue;
        if (!m_dialog.IsRunning() || m_dialog.GetFocus() != field) break;
        act(id, [field, ch] {
            field->OnChar(static_cast<UINT>(ch), 1, 0);
            return WinActionResult{};
        });
    }
    return true;
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    auto it = m_fieldIds.find(watched);
    if (it == m_fieldIds.end()) return QDialog::eventFilter(watched, event);
    if (m_closing) return false;
    const int id = it->second;
    auto* edit = static_cast<QLineEdit*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: return fieldKey(id, edit, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn: {
        // A window that comes back to the front is no new entry into the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (!m_syncing && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) enterField(id);
        return false;
    }
    case QEvent::FocusOut: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (!m_syncing && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) leaveField(id);
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        // The middle button pastes the window system's selection past the key handling.
        return static_cast<QMouseEvent*>(event)->button() == Qt::MiddleButton;
    default: return false;
    }
}

// ---- A script's actions, played on the widgets --------------------------------------
WinActionResult DialogWindow::play(const WinUiAction& action) {
    m_reached = false;
    m_result = WinActionResult{};
    const int id = action.id;
    QWidget* widget = control(id);
    switch (action.kind) {
    case WinUiAction::Select: {
        // What a user cannot do here, the toolkit refuses with its own reason.
        if (!usable(widget)) return WinDialogUser::selectItem(m_dialog, id, action.text);
        const QString text = toQt(action.text);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (index < 0) return WinDialogUser::selectItem(m_dialog, id, action.text);
            combo->setCurrentIndex(index);
            emit combo->activated(index);
        } else if (auto* list = qobject_cast<QListWidget*>(widget)) {
            const auto found = list->findItems(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (found.isEmpty()) return WinDialogUser::selectItem(m_dialog, id, action.text);
            list->setCurrentItem(found.first());
        } else {
            return WinDialogUser::selectItem(m_dialog, id, action.text);
        }
        break;
    }
    case WinUiAction::Type: {
        auto* edit = qobject_cast<QLineEdit*>(widget);
        if (edit == nullptr || !usable(edit)) return WinDialogUser::typeText(m_dialog, id, action.text);
        enterField(id);
        CWnd* field = m_dialog.GetDlgItem(id);
        for (wchar_t ch : action.text) {
            if (!m_dialog.IsRunning() || m_dialog.GetFocus() != field) break;
            const QString keyText = toQt(std::wstring(1, ch));
            const int key = ch < 128 ? static_cast<int>(keyText.toUpper().at(0).unicode()) : static_cast<int>(Qt::Key_unknown);
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
            QApplication::sendEvent(edit, &press);
        }
        if (m_dialog.IsRunning()) leaveField(id);
        break;
    }
    case WinUiAction::Click: {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (button == nullptr || !usable(button)) return WinDialogUser::click(m_dialog, id);
        button->click();
        break;
    }
    case WinUiAction::Ok: {
        QWidget* ok = control(IDOK);
        if (ok != nullptr) {
            auto* button = qobject_cast<QAbstractButton*>(ok);
            if (button == nullptr || !usable(button)) return WinDialogUser::pressOk(m_dialog);
            button->click();
        } else {
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QApplication::sendEvent(this, &enter);
        }
        break;
    }
    case WinUiAction::Cancel: {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(this, &escape);
        break;
    }
    case WinUiAction::Answer:
        return WinActionResult::fail(L"dialog " + std::to_wstring(m_dialog.GetTemplateId()) +
                                     L": no message box is showing");
    }
    // A widget that did not pass the action on (it cannot happen when widgets and
    // controls agree): the toolkit does it, so the script still sees the reason.
    if (!m_reached) {
        switch (action.kind) {
        case WinUiAction::Select: return WinDialogUser::selectItem(m_dialog, id, action.text);
        case WinUiAction::Click: return WinDialogUser::click(m_dialog, id);
        case WinUiAction::Ok: return WinDialogUser::pressOk(m_dialog);
        case WinUiAction::Cancel: return WinDialogUser::pressCancel(m_dialog);
        default: break;
        }
    }
    return m_result;
}

}  // namespace winqt
