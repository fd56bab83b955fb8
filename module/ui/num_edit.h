// CNumEdit: an edit control for one signed decimal number. It refuses every
// key that cannot be part of such a number while the user types, and tidies
// the text into a plain decimal when the user leaves the field. Pasted text is
// not filtered while typing; leaving the field makes a number of it.
#pragma once

#include <string>

#include "afxdialog.h"

class CNumEdit : public CEdit {
public:
    CNumEdit() = default;
    ~CNumEdit() override = default;

    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void OnKillFocus(CWnd* newFocus) override;

    // Whether a typed character may reach the field, given its text and selection.
    static bool acceptsChar(UINT ch, const std::wstring& text, int selStart, int selEnd);
    // The text the field shows after it is left: a plain decimal, "0.00" for
    // a field left empty or holding only a sign or a point.
    static std::wstring tidyText(const std::wstring& text);
};
