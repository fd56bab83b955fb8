// One running dialog in a real window: the template's controls as widgets at
// their places, the widgets brought up to the dialog's control state after
// everything the dialog does, and the user's input (clicks, choices, keys,
// leaving a field, Enter, Escape, the close box) handed to the dialog as the
// toolkit's own user actions, so message maps and data exchange run as they do
// for any user.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "afxdialog.h"
#include "dialog_units.h"
#include "winui.h"

class QEventLoop;
class QLineEdit;
class QKeyEvent;

namespace winqt {

// What a window needs from the backend that owns it.
class DialogWindowHost {
public:
    virtual ~DialogWindowHost() = default;
    // After every user action that reached a dialog: every window is brought
    // up to date and ended dialogs leave their loops.
    virtual void afterAction() = 0;
    // The user confirms the dialog (its OK button or Enter), just before it hears of it.
    virtual void confirming(const CDialog& dialog) = 0;
};

class DialogWindow : public QDialog {
public:
    DialogWindow(CDialog& dialog, QWidget* parent, DialogWindowHost& host);
    ~DialogWindow() override;

    CDialog& dialog() const { return m_dialog; }
    // The widget of a control with an id, null for none.
    QWidget* control(int id) const;
    // Widgets from the dialog's control state.
    void sync();
    // One scripted action, played on the widgets.
    WinActionResult play(const WinUiAction& action);
    // The modal loop a user's run waits in (null in a scripted run).
    void setLoop(QEventLoop* loop) { m_loop = loop; }
    QEventLoop* loop() const { return m_loop; }
    // From now on the window is being taken down: its events go nowhere.
    void setClosing() { m_closing = true; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QWidget* makeControl(const WinControlTemplate& t, size_t index);
    bool rightAligned(size_t index) const;
    // Runs a step that goes into the dialog; nothing it throws reaches Qt.
    void act(int id, const std::function<WinActionResult()>& step);
    void clicked(int id);
    void chosen(int id, int index);
    void pressOk();
    void pressCancel();
    // Entering and leaving an edit field, and a key typed in it.
    void enterField(int id);
    void leaveField(int id);
    bool fieldKey(int id, QLineEdit* edit, QKeyEvent* event);
    // Hands the widget's caret and selection to the toolkit's edit.
    void takeSelection(int id, QLineEdit* edit);
    bool usable(QWidget* widget) const;

    CDialog& m_dialog;
    DialogWindowHost& m_host;
    DialogUnits m_units;
    std::map<int, QWidget*> m_controls;
    std::map<QObject*, int> m_fieldIds;
    QEventLoop* m_loop = nullptr;
    bool m_syncing = false;
    bool m_closing = false;
    // What the last user action did, for a scripted run.
    bool m_reached = false;
    WinActionResult m_result;
};

}  // namespace winqt
