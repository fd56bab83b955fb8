// Conversions between the module's wide text, UTF-8 (what the catalogue holds
// and SQLite speaks) and the system 8-bit code page (CP_ACP, the form in which
// names travel between the dialogs and the catalogue queries).
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

// Raised by toUtf8 when the system refuses the conversion. The texts are the
// ones the module has always reported: "Error in conversion." when no length
// comes back, "La falla!" when the two passes disagree.
class TextConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Wide to UTF-8. An empty text converts to an empty text. Throws
// TextConversionError when the conversion fails (a value that is no character,
// such as a lone surrogate); code that must not be interrupted (every
// catalogue query) uses tryToUtf8 instead.
std::string toUtf8(const std::wstring& text);
// The same conversion without an exception: false, out empty, on failure.
bool tryToUtf8(const std::wstring& text, std::string& out);

// UTF-8 to wide; bytes that are not UTF-8 become U+FFFD. Empty on failure.
std::wstring fromUtf8(const std::string& text);
std::wstring fromUtf8(const char* text);

// Wide to the system code page; empty when the code page cannot hold the text.
std::string toAnsi(const std::wstring& text);

// System code page to wide, the first `length` bytes of text. A leading byte
// order mark (U+FEFF) is dropped; empty or unconvertible input gives "".
std::wstring fromAnsi(const char* text, size_t length);
std::wstring fromAnsi(const std::string& text);

// The decimal number a text begins with (leading blanks skipped, the longest
// numeric part taken, "16mm" is 16); 0 when it begins with none. Only plain
// decimals count: "inf", "nan" and hexadecimal give 0, as does a number too
// large for a double, so no chosen size can lay out an unusable plate.
double leadingDecimal(const std::wstring& text);
