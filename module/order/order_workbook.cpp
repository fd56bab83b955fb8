// The order list as a workbook: sheet "订料单" with the order table, sheet
// "孔位表" with the holes, headers in bold, numbers as numbers.
#include <xlsxwriter.h>

#include "catalogue/text_conversion.h"
#include "order/order_files.h"
#include "order/order_formula.h"

namespace {

// The text as UTF-8; nothing ever raised between opening and closing a workbook.
std::string utf8(const std::wstring& text) {
    std::string bytes;
    tryToUtf8(text, bytes);
    return bytes;
}

class Sheet {
public:
    Sheet(lxw_workbook* book, const wchar_t* name, lxw_format* bold)
        : m_sheet(workbook_add_worksheet(book, utf8(name).c_str())), m_bold(bold) {}
    bool ok() const { return m_sheet != nullptr; }

    void header(const wchar_t* const* columns, int count, const double* widths) {
        for (int c = 0; c < count; ++c) {
            worksheet_write_string(m_sheet, m_row, static_cast<lxw_col_t>(c), utf8(columns[c]).c_str(), m_bold);
            worksheet_set_column(m_sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), widths[c], nullptr);
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
        ++m_row;
    }
    void text(int column, const std::wstring& value) {
        if (!value.empty())
            worksheet_write_string(m_sheet, m_row, static_cast<lxw_col_t>(column), utf8(value).c_str(), nullptr);
    }
    // Negative: no value.
    void number(int column, double value) {
        if (value >= 0) worksheet_write_number(m_sheet, m_row, static_cast<lxw_col_t>(column), value, nullptr);
    }
    void signedNumber(int column, double value) {
        worksheet_write_number(m_sheet, m_row, static_cast<lxw_col_t>(column), value, nullptr);
    }
    void nextRow() { ++m_row; }

private:
    lxw_worksheet* m_sheet;
    lxw_format* m_bold;
    lxw_row_t m_row = 0;
};

const double kOrderWidths[7] = {10, 34, 16, 6, 10, 10, 10};
const double kHoleWidths[8] = {10, 10, 10, 9, 9, 8, 12, 8};

}  // namespace

bool writeOrderWorkbook(const OrderList& list, const std::string& pathUtf8, std::wstring& why) {
    lxw_workbook* book = workbook_new(pathUtf8.c_str());
    if (book == nullptr) {
        why = L"无法创建工作簿";
        return false;
    }
    lxw_format* bold = workbook_add_format(book);
    format_set_bold(bold);

    Sheet order(book, L"订料单", bold);
    Sheet holes(book, kHoleTableName, bold);
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
    const lxw_error error = workbook_close(book);
    if (!order.ok() || !holes.ok()) {
        why = L"无法添加工作表";
        return false;
    }
    if (error != LXW_NO_ERROR) {
        why = fromUtf8(lxw_strerror(error));
        return false;
    }
    return true;
}
