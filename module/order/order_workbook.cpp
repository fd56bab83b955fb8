// The order list as a workbook: sheet "订料单" with the order table, sheet
// "孔位表" with the holes, headers in bold, numbers as numbers.
//
// The workbook library is loaded when the first workbook is written, not with
// the module: with the libraries it brings along it would double the time the
// host takes to load the module, for a file most designs never ask for.
#include <xlsxwriter.h>

#include "catalogue/text_conversion.h"
#include "order/order_files.h"
#include "order/order_formula.h"
#include "winapi.h"

namespace {

// The library's functions this file calls, found once it is loaded.
struct WorkbookLibrary {
    decltype(&::workbook_new) newWorkbook = nullptr;
    decltype(&::workbook_add_format) addFormat = nullptr;
    decltype(&::workbook_add_worksheet) addWorksheet = nullptr;
    decltype(&::workbook_close) closeWorkbook = nullptr;
    decltype(&::format_set_bold) setBold = nullptr;
    decltype(&::worksheet_write_string) writeString = nullptr;
    decltype(&::worksheet_write_number) writeNumber = nullptr;
    decltype(&::worksheet_set_column) setColumn = nullptr;
    decltype(&::worksheet_freeze_panes) freezePanes = nullptr;
    decltype(&::lxw_strerror) errorText = nullptr;
};

template <typename Function>
bool find(HMODULE library, const char* name, Function& function) {
    // Through the generic function type, as every typed use of a found address goes.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
    return function != nullptr;
}

// Loaded on first use and kept for the module's life; null, with why, when
// the library or one of its functions cannot be found.
const WorkbookLibrary* workbookLibrary(std::wstring& why) {
    static WorkbookLibrary api;
    static bool loaded = false;
    if (loaded) return &api;
    HMODULE library = LoadLibraryW(ZDT_XLSXWRITER_LIBRARY);
    if (library == nullptr) {
        why = std::wstring(L"无法加载工作簿库：") + ZDT_XLSXWRITER_LIBRARY;
        return nullptr;
    }
    WorkbookLibrary found;
    if (!find(library, "workbook_new", found.newWorkbook) ||
        !find(library, "workbook_add_format", found.addFormat) ||
        !find(library, "workbook_add_worksheet", found.addWorksheet) ||
        !find(library, "workbook_close", found.closeWorkbook) ||
        !find(library, "format_set_bold", found.setBold) ||
        !find(library, "worksheet_write_string", found.writeString) ||
        !find(library, "worksheet_write_number", found.writeNumber) ||
        !find(library, "worksheet_set_column", found.setColumn) ||
        !find(library, "worksheet_freeze_panes", found.freezePanes) ||
        !find(library, "lxw_strerror", found.errorText)) {
        FreeLibrary(library);
        why = std::wstring(L"工作簿库缺少函数：") + ZDT_XLSXWRITER_LIBRARY;
        return nullptr;
    }
    api = found;
    loaded = true;
    return &api;
}

// The text as UTF-8; nothing ever raised between opening and closing a workbook.
std::string utf8(const std::wstring& text) {
    std::string bytes;
    tryToUtf8(text, bytes);
    return bytes;
}

class Sheet {
public:
    Sheet(const WorkbookLibrary& xlsx, lxw_workbook* book, const wchar_t* name, lxw_format* bold)
        : m_xlsx(xlsx), m_sheet(xlsx.addWorksheet(book, utf8(name).c_str())), m_bold(bold) {}
    bool ok() const { return m_sheet != nullptr; }

    void header(const wchar_t* const* columns, int count, const double* widths) {
        for (int c = 0; c < count; ++c) {
            m_xlsx.writeString(m_sheet, m_row, static_cast<lxw_col_t>(c), utf8(columns[c]).c_str(), m_bold);
            m_xlsx.setColumn(m_sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), widths[c], nullptr);
        }
        m_xlsx.freezePanes(m_sheet, 1, 0);
        ++m_row;
    }
    void text(int column, const std::wstring& value) {
        if (!value.empty())
            m_xlsx.writeString(m_sheet, m_row, static_cast<lxw_col_t>(column), utf8(value).c_str(), nullptr);
    }
    // Negative: no value.
    void number(int column, double value) {
        if (value >= 0) m_xlsx.writeNumber(m_sheet, m_row, static_cast<lxw_col_t>(column), value, nullptr);
    }
    void signedNumber(int column, double value) {
        m_xlsx.writeNumber(m_sheet, m_row, static_cast<lxw_col_t>(column), value, nullptr);
    }
    void nextRow() { ++m_row; }

private:
    const WorkbookLibrary& m_xlsx;
    lxw_worksheet* m_sheet;
    lxw_format* m_bold;
    lxw_row_t m_row = 0;
};

const double kOrderWidths[7] = {10, 34, 16, 6, 10, 10, 10};
const double kHoleWidths[8] = {10, 10, 10, 9, 9, 8, 12, 8};

}  // namespace

bool writeOrderWorkbook(const OrderList& list, const std::string& pathUtf8, std::wstring& why) {
    const WorkbookLibrary* xlsx = workbookLibrary(why);
    if (xlsx == nullptr) return false;
    lxw_workbook* book = xlsx->newWorkbook(pathUtf8.c_str());
    if (book == nullptr) {
        why = L"无法创建工作簿";
        return false;
    }
    lxw_format* bold = xlsx->addFormat(book);
    xlsx->setBold(bold);

    Sheet order(*xlsx, book, L"订料单", bold);
    Sheet holes(*xlsx, book, kHoleTableName, bold);
    if (order.ok() && holes.ok()) {
        order.header(kOrderColumns, 7, kOrderWidths);
        for (const OrderItem& item : list.items) {
            order.text(0, item.category);
            order.text(1, item.name);
            if (item.isFigure) order.signedNumber(2, item.figure);
            else order.text(2, item.spec);
            order.number(3, item.quantity);
            order.text(4, item.material);
            order.number(5, item.unitWeight);
            order.number(6, item.totalWeight);
            order.nextRow();
        }
        holes.header(kHoleColumns, 8, kHoleWidths);
        for (const HoleItem& hole : list.holes) {
            holes.text(0, hole.plate);
            holes.text(1, hole.process);
            holes.text(2, hole.size);
            holes.signedNumber(3, hole.x);
            holes.signedNumber(4, hole.y);
            if (hole.depth < 0) holes.text(5, kThroughHole);
            else holes.number(5, hole.depth);
            holes.text(6, hole.counterbore);
            holes.text(7, hole.face);
            holes.nextRow();
        }
    }
    // Closing writes the file and frees the workbook, whatever came before.
    const lxw_error error = xlsx->closeWorkbook(book);
    if (!order.ok() || !holes.ok()) {
        why = L"无法添加工作表";
        return false;
    }
    if (error != LXW_NO_ERROR) {
        why = fromUtf8(xlsx->errorText(error));
        return false;
    }
    return true;
}
