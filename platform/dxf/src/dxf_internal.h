// Pieces the DXF writer and reader share: text conversions between the
// database's wide strings and the bytes of a file, the group code table, the
// tokenizer's tag record and the symbol-name rules. Not part of the public
// interface; tests include it to reach the fault-injection switch of the saver.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "vrxdb.h"

namespace VRxDxf {
namespace detail {

// --- Text -------------------------------------------------------------------
std::string toUtf8(const std::wstring& text);
// Invalid sequences become U+FFFD; ok (when given) tells whether the bytes were valid UTF-8.
std::wstring fromUtf8(const std::string& bytes, bool* ok = nullptr);
bool isValidUtf8(const std::string& bytes);
// Turns \U+XXXX escapes (how 8-bit files carry characters outside their code page) into characters.
std::wstring decodeUnicodeEscapes(const std::wstring& text);

// Decodes the strings of one file: UTF-8 for files of 2007 and later, otherwise
// the file's declared code page ($DWGCODEPAGE, e.g. ANSI_936 = GBK) through iconv.
class TextDecoder {
public:
    TextDecoder() = default;
    TextDecoder(const TextDecoder&) = delete;
    TextDecoder& operator=(const TextDecoder&) = delete;
    ~TextDecoder();
    void useUtf8() { close(); m_utf8 = true; }
    // Returns false when the code page is unknown (the decoder then keeps bytes as Latin-1).
    bool useCodePage(const std::string& dxfCodePage);
    std::wstring decode(std::string_view bytes);

private:
    void close();
    bool m_utf8 = true;
    void* m_iconv = nullptr;  // iconv_t
};

// --- Group codes ------------------------------------------------------------
enum class ValueKind { String, Double, Integer, Handle, Bool };
ValueKind valueKind(int code);
bool isKnownGroupCode(int code);

struct Tag {
    int code = 0;
    // Raw bytes, trailing CR and surrounding blanks of numbers removed: a view
    // into the text that was tokenized, which must outlive the tags.
    std::string_view value;
    int line = 0;       // line of the group code in the file, counting from 1
    double number() const;
    long long integer() const;

    // The number the tokenizer checked the value to be, kept so that reading it
    // costs no second conversion.
    enum class Parsed : char { None, Real, Whole };
    Parsed parsed = Parsed::None;
    double real = 0.0;
    long long whole = 0;
};

// Splits DXF text into group code/value pairs, checking that every code is a
// number and every value has the type its code demands. Fails with a message
// that names the line; stops after the EOF marker. The tags' values are views
// into content.
bool tokenize(const std::string& content, std::vector<Tag>& tags, std::wstring& error);

// --- Names ------------------------------------------------------------------
// True when DXF can hold the name as a symbol table entry as it stands.
bool isValidSymbolName(const std::wstring& name);
// Case-folding of Latin letters, the way symbol names are compared.
std::wstring foldName(const std::wstring& name);

// --- Saving -----------------------------------------------------------------
// Makes the next save fail just before the temporary file replaces the target
// (as a full disk would), so tests can prove the target is left untouched.
void failNextSaveForTesting();

// The arbitrary axis algorithm: the object coordinate system DXF gives a
// planar entity with its normal, and the way between it and world coordinates.
struct Ocs {
    VRxGeVector3d ax, ay, az;
    bool world = true;
    explicit Ocs(const VRxGeVector3d& normal);
    VRxGePoint3d toOcs(const VRxGePoint3d& p) const;
    VRxGePoint3d toWorld(const VRxGePoint3d& p) const;
};

}  // namespace detail
}  // namespace VRxDxf
