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

namespace {

// One CSV field; quoted when it holds a separator, a quote or a line break.
std::string csvField(const std::wstring& text) {
    std::string bytes = toUtf8(text);
    if (bytes.find_first_of(",\"\r\n") == std::string::npos) return bytes;
    std::string quoted = "\"";
    for (char c : bytes) {
        quoted += c;
        if (c == '"') quoted += '"';
    }
    return quoted + "\"";
}

std::string csvLine(const std::vector<std::wstring>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + csvField(fields[i]);
    return line + "\r\n";
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
    std::string text = "\xEF\xBB\xBF";
    text += csvLine(std::vector<std::wstring>(std::begin(kOrderColumns), std::end(kOrderColumns)));
    for (const OrderItem& item : list.items) text += csvLine(orderItemCells(item));
    text += "\r\n";
    text += csvLine({kHoleTableName});
    text += csvLine(std::vector<std::wstring>(std::begin(kHoleColumns), std::end(kHoleColumns)));
    for (const HoleItem& hole : list.holes) text += csvLine(holeItemCells(hole));
    return text;
}

bool writeOrderFile(const OrderList& list, const std::wstring& path, std::wstring& why) {
    why.clear();
    namespace fs = std::filesystem;
    const fs::path target(toUtf8(path));
    if (target.filename().empty()) {
        why = L"没有文件名";
        return false;
    }
    // A hidden name of the same folder, so the rename cannot cross file systems.
    std::error_code ec;
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
