// Reading and evaluating the catalogue's formulas. Only plain decimal numbers
// are taken, so a rule can never smuggle in a value a drawing cannot use.
#include "order/order_formula.h"

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>

namespace {

bool isOperator(wchar_t c) { return c == L'+' || c == L'-' || c == L'*'; }
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool startsNumber(wchar_t c) { return (c >= L'0' && c <= L'9') || c == L'.'; }

// The plain decimal number at text[i], moving i past it.
bool readNumber(const std::wstring& text, size_t& i, double& value) {
    const size_t start = i;
    bool digits = false, point = false;
    while (i < text.size() && startsNumber(text[i])) {
        if (text[i] == L'.') {
            if (point) return false;
            point = true;
        } else {
            digits = true;
        }
        ++i;
    }
    if (!digits) return false;
    value = std::wcstod(text.substr(start, i - start).c_str(), nullptr);
    return std::isfinite(value);
}

void skipBlanks(const std::wstring& text, size_t& i) {
    while (i < text.size() && isBlank(text[i])) ++i;
}

}  // namespace

bool OrderFormula::parseSum(const std::wstring& text, Sum& terms) {
    terms.clear();
    size_t i = 0;
    skipBlanks(text, i);
    if (i == text.size()) return true;
    double sign = 1;
    if (text[i] == L'-' || text[i] == L'+') {
        sign = text[i] == L'-' ? -1 : 1;
        ++i;
    }
    for (;;) {
        skipBlanks(text, i);
        Term term;
        term.factor = sign;
        // A number stands alone, or multiplies the name after its "*".
        bool needsName = true;
        if (i < text.size() && startsNumber(text[i])) {
            double number = 0;
            if (!readNumber(text, i, number)) break;
            term.factor *= number;
            skipBlanks(text, i);
            needsName = i < text.size() && text[i] == L'*';
            if (needsName) {
                ++i;
                skipBlanks(text, i);
            }
        }
        if (needsName) {
            while (i < text.size() && !isOperator(text[i]) && !isBlank(text[i])) term.name += text[i++];
            if (term.name.empty() || term.name.find_first_of(L"(),") != std::wstring::npos) break;
        }
        terms.push_back(term);
        skipBlanks(text, i);
        if (i == text.size()) return true;
        if (text[i] != L'+' && text[i] != L'-') break;
        sign = text[i] == L'-' ? -1 : 1;
        ++i;
    }
    terms.clear();
    return false;
}

bool OrderFormula::parse(const std::wstring& text, std::wstring& problem) {
    m_terms.clear();
    m_others.clear();
    m_greatest = false;
    problem.clear();
    size_t first = text.find_first_not_of(L" \t"), last = text.find_last_not_of(L" \t");
    const std::wstring trimmed = first == std::wstring::npos ? std::wstring() : text.substr(first, last - first + 1);
    bool ok = true;
    const bool least = trimmed.compare(0, 4, L"min(") == 0, greatest = trimmed.compare(0, 4, L"max(") == 0;
    if ((least || greatest) && trimmed.back() == L')') {
        // The least (greatest) of sums: each between the commas, none empty.
        m_greatest = greatest;
        const std::wstring inside = trimmed.substr(4, trimmed.size() - 5);
        std::vector<Sum> sums;
        for (size_t from = 0; ok;) {
            const size_t comma = inside.find(L',', from);
            Sum sum;
            ok = parseSum(inside.substr(from, comma == std::wstring::npos ? std::wstring::npos : comma - from), sum) &&
                 !sum.empty();
            sums.push_back(sum);
            if (comma == std::wstring::npos) break;
            from = comma + 1;
        }
        ok = ok && sums.size() >= 2;
        if (ok) {
            m_terms = sums.front();
            m_others.assign(sums.begin() + 1, sums.end());
        }
    } else {
        ok = parseSum(trimmed, m_terms);
    }
    if (ok) return true;
    m_terms.clear();
    m_others.clear();
    problem = L"公式“" + text + L"”无法识别";
    return false;
}

bool OrderFormula::evaluateSum(const Sum& terms, const Lookup& lookup, double& value, std::wstring& problem) {
    value = 0;
    for (const Term& term : terms) {
        double named = 1;
        if (!term.name.empty() && !lookup(term.name, named)) {
            problem = L"公式中的“" + term.name + L"”无法识别";
            return false;
        }
        value += term.factor * named;
    }
    return true;
}

bool OrderFormula::evaluate(const Lookup& lookup, double& value, std::wstring& problem) const {
    if (!evaluateSum(m_terms, lookup, value, problem)) return false;
    for (const Sum& sum : m_others) {
        double other = 0;
        if (!evaluateSum(sum, lookup, other, problem)) return false;
        value = m_greatest ? std::max(value, other) : std::min(value, other);
    }
    return true;
}

std::wstring OrderFormula::explainSum(const Sum& terms, const Lookup& lookup) {
    std::wstring text;
    for (const Term& term : terms) {
        double named = 1;
        if (!term.name.empty() && (!lookup(term.name, named) || named == 0)) continue;
        const double shown = std::fabs(term.factor);
        text += term.factor < 0 ? L"-" : (text.empty() ? L"" : L"+");
        if (term.name.empty()) text += formatMillimetres(shown);
        else text += (shown != 1 ? formatMillimetres(shown) + L"*" : L"") + term.name + formatMillimetres(named);
    }
    return text;
}

std::wstring OrderFormula::explain(const Lookup& lookup) const {
    if (m_others.empty()) return explainSum(m_terms, lookup);
    std::wstring text = (m_greatest ? L"max(" : L"min(") + explainSum(m_terms, lookup);
    for (const Sum& sum : m_others) text += L"，" + explainSum(sum, lookup);
    return text + L")";
}

namespace {

// Writes a value in whole units of 10^-decimals, without trailing zeros, so
// that it ends just before end; returns where it starts, or nullptr for a
// value beyond any drawing. Whole units as an integer: exact, and far quicker
// than a formatted print for the hundreds of numbers of a hole table.
const int kDecimalRoom = 24;
wchar_t* writeDecimal(double value, int decimals, wchar_t* end) {
    const double units = std::round(value * (decimals == 2 ? 100.0 : 10.0));
    if (!std::isfinite(units) || std::fabs(units) > 1e15) return nullptr;
    long long n = static_cast<long long>(units);
    const bool negative = n < 0;
    if (negative) n = -n;
    wchar_t* first = end;
    bool fraction = false;
    for (int place = 0; place < decimals; ++place, n /= 10) {
        const int digit = static_cast<int>(n % 10);
        if (digit == 0 && !fraction) continue;
        *--first = static_cast<wchar_t>(L'0' + digit);
        fraction = true;
    }
    if (fraction) *--first = L'.';
    do {
        *--first = static_cast<wchar_t>(L'0' + n % 10);
        n /= 10;
    } while (n != 0);
    if (negative) *--first = L'-';
    return first;
}

std::wstring formatDecimal(double value, int decimals) {
    wchar_t digits[kDecimalRoom];
    const wchar_t* const end = digits + kDecimalRoom;
    const wchar_t* first = writeDecimal(value, decimals, digits + kDecimalRoom);
    return first != nullptr ? std::wstring(first, end) : std::wstring(L"?");
}

}  // namespace

std::wstring formatMillimetres(double value) { return formatDecimal(value, 1); }

std::wstring formatFineMillimetres(double value) { return formatDecimal(value, 2); }

void appendFineMillimetres(std::wstring& text, double value) {
    wchar_t digits[kDecimalRoom];
    const wchar_t* const end = digits + kDecimalRoom;
    const wchar_t* first = writeDecimal(value, 2, digits + kDecimalRoom);
    if (first != nullptr) text.append(first, end);
    else text += L'?';
}
