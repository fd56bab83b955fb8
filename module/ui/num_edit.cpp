// The numeric edit control's two rules: which keys reach the field, and how
// the text is tidied when the field is left.
#include "ui/num_edit.h"

#include <cmath>
#include <cwchar>
#include <cwctype>

namespace {

const UINT kBackspace = 8;
// Passed on so the shift key's own message is never lost to the field.
const UINT kShift = 16;

}  // namespace

bool CNumEdit::acceptsChar(UINT ch, const std::wstring& text, int selStart, int selEnd) {
    if (ch >= L'0' && ch <= L'9') return true;
    if (ch == kBackspace || ch == kShift) return true;
    if (ch == L'.') return text.find(L'.') == std::wstring::npos;
    if (ch == L'-') {
        if (text.empty()) return true;
        // A sign only goes in front, and only where it replaces nothing past the
        // first character or everything.
        const int length = static_cast<int>(text.size());
        return text.find(L'-') == std::wstring::npos && selStart == 0 &&
               (selEnd == length || selEnd == 0 || selEnd == 1);
    }
    return false;
}

void CNumEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    int start = 0, end = 0;
    GetSel(start, end);
    if (!acceptsChar(nChar, GetWindowText(), start, end)) return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

std::wstring CNumEdit::tidyText(const std::wstring& raw) {
    size_t first = 0, last = raw.size();
    while (first < last && std::iswspace(static_cast<wint_t>(raw[first]))) ++first;
    while (last > first && std::iswspace(static_cast<wint_t>(raw[last - 1]))) --last;
    std::wstring text = raw.substr(first, last - first);
    if (text.empty()) return text;

    if (text[0] == L'.') text.insert(0, L"0");
    if (text == L"-." || text == L"." || text == L"-") return L"0.00";
    if (text.back() == L'.') text += L"00";
    if (text.find(L'.') == std::wstring::npos) {
        // Text that does not read as a finite number (it can only come from a
        // paste) counts as zero.
        double value = std::wcstod(text.c_str(), nullptr);
        if (!std::isfinite(value)) value = 0.0;
        wchar_t buffer[400];  // the largest double is 309 digits before the point
        std::swprintf(buffer, sizeof buffer / sizeof buffer[0], L"%.2f", value);
        text = buffer;
    }
    return text;
}

void CNumEdit::OnKillFocus(CWnd* newFocus) {
    CEdit::OnKillFocus(newFocus);
    std::wstring text = GetWindowText();
    std::wstring tidy = tidyText(text);
    if (tidy.empty() || tidy == text) return;
    SetWindowText(tidy);
}
