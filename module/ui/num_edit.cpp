// The numeric edit control's two rules: which keys reach the field, and how
// the text is tidied when the field is left.
#include "ui/num_edit.h"

#include <algorithm>
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
    if (ch != L'.' && ch != L'-') return false;
    // A typed character replaces the selection, so it is judged against the
    // text as it will then read: typing "-3" over a selected "-5" makes "-3".
    const int length = static_cast<int>(text.size());
    selStart = std::clamp(selStart, 0, length);
    selEnd = std::clamp(selEnd, selStart, length);
    const std::wstring after = text.substr(0, static_cast<size_t>(selStart)) + static_cast<wchar_t>(ch) +
                               text.substr(static_cast<size_t>(selEnd));
    const wchar_t mark = static_cast<wchar_t>(ch);
    const bool once = after.find(mark) == after.rfind(mark);
    // A sign only ever stands in front.
    return once && (ch == L'.' || after[0] == L'-');
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
    // A field left without a number in it shows the zero it stands for, the
    // same in every field, rather than an empty text one exchange refuses.
    if (text.empty() || text == L"-." || text == L"." || text == L"-") return L"0.00";

    // Zero has no sign: "-0" and "-0.0" show as the zero they are.
    if (text[0] == L'-' && std::wcstod(text.c_str(), nullptr) == 0.0) text.erase(0, 1);
    if (text[0] == L'.') text.insert(0, L"0");
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
    if (tidy == text) return;
    SetWindowText(tidy);
}
