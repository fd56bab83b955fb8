// A message box of the toolkit as a real box: the caption, the text, the icon
// and the buttons its type asks for, with the Chinese button names of the
// original, and the answer as the toolkit's button id.
#pragma once

#include <QMessageBox>
#include <map>
#include <string>

#include "winapi.h"

namespace winqt {

class MessageBoxWindow {
public:
    MessageBoxWindow(const std::wstring& caption, const std::wstring& text, UINT type, QWidget* parent);

    // The user answers; returns IDOK, IDCANCEL, IDYES, ...
    int exec();
    // Shows the box, presses the button answer in it and returns what the box
    // gave; 0 when the box has no such button.
    int pressAndWait(int answer);
    QMessageBox& box() { return m_box; }

private:
    int answerOf(const QAbstractButton* button) const;
    QMessageBox m_box;
    std::map<const QAbstractButton*, int> m_answers;
    UINT m_type;
};

}  // namespace winqt
