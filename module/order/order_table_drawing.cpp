// Laying the order table out: column widths from the longest text of each
// column, rows two text heights apart, ruled on every row and column. Fonts
// differ between CAD programs, so widths are reckoned generously (Chinese
// characters 1.4 text heights wide, others 0.8 or 1.0): a column a little too
// wide reads well everywhere, one too narrow nowhere.
#include "order/order_table_drawing.h"

#include <algorithm>

#include "draw/drawing_styles.h"
#include "draw/entity_services.h"

namespace {

// The width of a text of height 1 in the module's text style.
double textWidth(const std::wstring& text) {
    double width = 0;
    for (wchar_t c : text) width += c >= 0x2E80 ? 1.4 : c >= 0x80 ? 1.0 : 0.8;
    return width;
}

}  // namespace

std::vector<VRxDbObjectId> drawOrderTable(const OrderList& list, const VRxGePoint3d& titlePosition) {
    std::vector<VRxDbObjectId> ids;
    const double t = drawingScale;  // the dimension texts' height
    const double rowHeight = 2.0 * t;
    auto keep = [&ids](VRxDbObjectId id) {
        if (!id.isNull()) ids.push_back(id);
    };

    std::vector<std::vector<std::wstring>> rows;
    rows.emplace_back(std::begin(kOrderColumns), std::end(kOrderColumns));
    for (const OrderItem& item : list.items) rows.push_back(orderItemCells(item));
    std::vector<double> widths(rows.front().size(), 0.0);
    for (const auto& row : rows)
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], (textWidth(row[c]) + 1.0) * t);

    const double left = titlePosition.x;
    const double top = titlePosition.y - 5.0 * t;
    keep(addText(VRxGePoint3d(left, top + 0.8 * t, 0), L"订料单", textStyleId, 1.5 * t, 0.0));

    double right = left;
    for (double w : widths) right += w;
    const double bottom = top - rowHeight * static_cast<double>(rows.size());
    for (size_t r = 0; r <= rows.size(); ++r) {
        const double y = top - rowHeight * static_cast<double>(r);
        keep(addLine(VRxGePoint3d(left, y, 0), VRxGePoint3d(right, y, 0)));
    }
    double x = left;
    for (size_t c = 0; c <= widths.size(); ++c) {
        keep(addLine(VRxGePoint3d(x, top, 0), VRxGePoint3d(x, bottom, 0)));
        if (c < widths.size()) x += widths[c];
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        x = left;
        const double baseline = top - rowHeight * static_cast<double>(r + 1) + 0.5 * t;
        for (size_t c = 0; c < rows[r].size(); ++c) {
            if (!rows[r][c].empty())
                keep(addText(VRxGePoint3d(x + 0.5 * t, baseline, 0), rows[r][c].c_str(), textStyleId, t, 0.0));
            x += widths[c];
        }
    }
    return ids;
}
