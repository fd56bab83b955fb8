// The formulas of the order list's catalogue rules: terms added and
// subtracted, each a number, a name or a number times a name ("1.5*d"), or the
// least or the greatest of such sums, "min(A板-5, 托板+10)", "max(…, …)".
// What a name stands for (a plate's thickness, a part's length, a stack
// figure, a hole's diameter) is the caller's to say.
#pragma once

#include <functional>
#include <string>
#include <vector>

class OrderFormula {
public:
    // Reads text; false, with problem, for text that is no such formula. An
    // empty text is the empty formula, whose value is 0.
    bool parse(const std::wstring& text, std::wstring& problem);
    bool empty() const { return m_terms.empty(); }

    // Gives a name's value; false for a name it does not know.
    using Lookup = std::function<bool(const std::wstring& name, double& value)>;
    // False, with problem naming the name, when the lookup knows a name not.
    bool evaluate(const Lookup& lookup, double& value, std::wstring& problem) const;
    // The formula with each name's value after it, names worth 0 (plates the
    // base does not have) left out: "工面35+A板30+…"; a least of sums as
    // "min(…，…)", a greatest as "max(…，…)".
    std::wstring explain(const Lookup& lookup) const;

private:
    struct Term {
        double factor = 1;  // with its sign
        std::wstring name;  // empty: the factor alone
    };
    using Sum = std::vector<Term>;
    static bool parseSum(const std::wstring& text, Sum& terms);
    static bool evaluateSum(const Sum& terms, const Lookup& lookup, double& value, std::wstring& problem);
    static std::wstring explainSum(const Sum& terms, const Lookup& lookup);

    std::vector<Term> m_terms;  // a plain formula, or the first sum of a least or greatest
    std::vector<Sum> m_others;  // its other sums
    bool m_greatest = false;    // the greatest of the sums, not the least
};

// A length or size as the order list shows it: to the tenth of a millimetre,
// without a trailing ".0" ("145", "100.5", "-117").
std::wstring formatMillimetres(double value);
// To the hundredth, as a hole is machined ("4.05", "73.5", "-117").
std::wstring formatFineMillimetres(double value);
// The same written at the end of text.
void appendFineMillimetres(std::wstring& text, double value);
