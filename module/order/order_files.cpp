// Writing the order list's file: the CSV text, and the temporary file that is
// renamed into place only once it is whole.
#include "order/order_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "catalogue/text_conversion.h"
#include "order/order_formula.h"

namespace {

// One CSV field; quoted when it holds a separator, a quote or a line break.
void appendField(std::wstring& text, const std::wstring& field) {
    bool plain = true;
    for (wchar_t c : field)
        if (c == L',' || c == L'"' || c == L'\r' || c == L'\n') {
            plain = false;
            break;
        }
    if (plain) {
        text += field;
        return;
    }
    text += L'"';
    for (wchar_t c : field) {
        text += c;
        if (c == L'"') text += L'"';
    }
    text += L'"';
}

void appendLine(std::wstring& text, const std::vector<std::wstring>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i != 0) text += L',';
        appendField(text, fields[i]);
    }
    text += L"\r\n";
}

// A line of the order table as orderItemCells gives it, written in place.
void appendItemLine(std::wstring& text, const OrderItem& item) {
    for (const std::wstring* field : {&item.category, &item.name, &item.spec}) {
        appendField(text, *field);
        text += L',';
    }
    if (item.quantity >= 0) text += std::to_wstring(item.quantity);
    text += L',';
    appendField(text, item.material);
    for (double kilograms : {item.unitWeight, item.totalWeight}) {
        text += L',';
        if (kilograms >= 0) text += formatKilograms(kilograms);
    }
    text += L"\r\n";
}

bool endsWithXlsx(const std::wstring& path) {
    if (path.size() < 5) return false;
    std::wstring tail = path.substr(path.size() - 5);
    for (wchar_t& c : tail) c = static_cast<wchar_t>(std::towlower(c));
    return tail == L".xlsx";
}

std::wstring systemError(int err) { return fromUtf8(std::strerror(err)); }

bool writeCsv(const OrderList& list, const std::string& pathUtf8, std::wstring& why) {
    const std::string text = orderCsvText(list);
    std::FILE* file = std::fopen(pathUtf8.c_str(), "wb");
    if (file == nullptr) {
        why = systemError(errno);
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int err = errno;
    if (std::fclose(file) != 0 || !written) {
        why = systemError(written ? errno : err);
        return false;
    }
    return true;
}

}  // namespace

std::string orderCsvText(const OrderList& list) {
    std::wstring text;
    text.reserve(64 * (list.items.size() + list.holes.size() + 8));
    appendLine(text, std::vector<std::wstring>(std::begin(kOrderColumns), std::end(kOrderColumns)));
    for (const OrderItem& item : list.items) appendItemLine(text, item);
    text += L"\r\n";
    appendLine(text, {kHoleTableName});
    appendLine(text, std::vector<std::wstring>(std::begin(kHoleColumns), std::end(kHoleColumns)));
    // Hundreds of holes: their numbers go straight into the text.
    for (const HoleItem& hole : list.holes) {
        for (const std::wstring* field : {&hole.plate, &hole.process, &hole.size}) {
            appendField(text, *field);
            text += L',';
        }
        appendFineMillimetres(text, hole.x);
        text += L',';
        appendFineMillimetres(text, hole.y);
        text += L',';
        if (hole.depth < 0) text += kThroughHole;
        else appendFineMillimetres(text, hole.depth);
        text += L',';
        appendField(text, hole.counterbore);
        text += L',';
        appendField(text, hole.face);
        text += L"\r\n";
    }
    // The byte-order mark tells a spreadsheet the text is UTF-8.
    std::string bytes;
    tryToUtf8(text, bytes);
    return "\xEF\xBB\xBF" + bytes;
}

bool writeOrderFile(const OrderList& list, const std::wstring& path, std::wstring& why) {
    why.clear();
    namespace fs = std::filesystem;
    std::string pathUtf8;
    if (!tryToUtf8(path, pathUtf8)) {
        why = L"文件名含有无法表示的字符";
        return false;
    }
    const fs::path target(pathUtf8);
    if (target.filename().empty()) {
        why = L"没有文件名";
        return false;
    }
    // Only a file is replaced: a folder, a device or a pipe of that name is left alone.
    std::error_code ec;
    const fs::file_status existing = fs::status(target, ec);
    if (fs::exists(existing) && !fs::is_regular_file(existing)) {
        why = L"这个名称不是普通文件";
        return false;
    }
    // A hidden name of the same folder, so the rename cannot cross file systems.
    fs::path temporary;
    for (int n = 1;; ++n) {
        temporary = target.parent_path() / ("." + target.filename().string() + ".zdt~" + std::to_string(n));
        if (!fs::exists(temporary, ec)) break;
    }
    const bool written = endsWithXlsx(path) ? writeOrderWorkbook(list, temporary.string(), why)
                                            : writeCsv(list, temporary.string(), why);
    if (written) {
        fs::rename(temporary, target, ec);
        if (!ec) return true;
        why = fromUtf8(ec.message());
    }
    fs::remove(temporary, ec);
    return false;
}
