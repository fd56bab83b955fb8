// The order list command. The point comes first, then the file name; only when
// both are good, the list made and the file written does the drawing change
// (the table, in place of the base's earlier one). Whatever goes wrong is
// told on the command line and leaves file and drawing as they were.
#include "shell/order_list_command.h"

#include <exception>

#include "catalogue/catalogue_db.h"
#include "draw/drawing_styles.h"
#include "draw/entity_services.h"
#include "draw/opened_object.h"
#include "order/order_files.h"
#include "order/order_table_drawing.h"
#include "vrxed.h"

namespace {

bool inside(const VRxGePoint3d& p, double left, double top, double width, double height) {
    return width > 0 && height > 0 && p.x >= left && p.x <= left + width && p.y <= top && p.y >= top - height;
}

void eraseEntities(const std::vector<VRxDbObjectId>& ids) {
    for (VRxDbObjectId id : ids) {
        OpenedObject<VRxDbEntity> entity(openEntity(id, VRxDb::kForWrite));
        if (entity)
            Vrx::dropStatus(entity->erase(), "an entity open for write is erased; one erased already is gone");
    }
}

void tellUnreadable(const std::vector<StoredMouldBase>& bases) {
    for (const StoredMouldBase& base : bases)
        if (!base.design) vrxutPrintf(L"\n订料单: 有一个模架的设计记录无法读取（%s）。\n", base.problem.c_str());
}

void makeOrderList(const StoredMouldBase& base) {
    wchar_t answer[kVrxMaxStringInput + 1] = {0};
    if (vrxedGetString(1, L"订料单文件", answer) != RTNORM) return;
    const std::wstring path(answer);
    if (path.empty()) {
        vrxutPrintf(L"\n订料单: 没有给出文件名，未写出订料单。\n");
        return;
    }

    OrderList list;
    std::wstring problem;
    if (!computeOrderList(*base.design, list, problem)) {
        vrxutPrintf(L"\n订料单: 无法生成订料单（%s）。\n", problem.c_str());
        return;
    }
    if (!writeOrderFile(list, path, problem)) {
        vrxutPrintf(L"\n订料单: 无法写入文件“%s”（%s），未写出任何文件。\n", path.c_str(), problem.c_str());
        return;
    }

    // The table is drawn at the scale the base was drawn at.
    if (base.layout.scale > 0) setupDrawingStyles(base.layout.scale);
    eraseEntities(storedOrderTable(base.title));
    storeOrderTable(base.title, drawOrderTable(list, base.titlePosition));
    vrxutPrintf(L"\n订料单已写入“%s”：%d 行订料，%d 个孔。\n", path.c_str(), static_cast<int>(list.items.size()),
                static_cast<int>(list.holes.size()));
}

void runOrderList() {
    vrx_point picked = {0.0, 0.0, 0.0};
    if (vrxedGetPoint(nullptr, L"请选择模架", picked) != RTNORM) return;
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    if (db == nullptr) return;

    // One catalogue connection serves every statement of the list.
    CatalogueReuseScope oneConnection;
    bool hasList = false;
    const std::vector<StoredMouldBase> bases = readStoredMouldBases(*db, hasList);
    if (bases.empty()) {
        vrxutPrintf(L"\n订料单: 图中没有模架设计记录（图纸由旧版本绘制，或其中的模架不是用大水口系统或细水口系统绘制的），"
                    L"请重新绘制模架。\n");
        return;
    }
    const StoredMouldBase* base = pickMouldBase(bases, VRxGePoint3d(picked[0], picked[1], picked[2]));
    if (base == nullptr) {
        tellUnreadable(bases);
        vrxutPrintf(L"\n订料单: 所选的点不在任何模架的模板视图内，未生成订料单。\n");
        return;
    }
    makeOrderList(*base);
}

}  // namespace

const StoredMouldBase* pickMouldBase(const std::vector<StoredMouldBase>& bases, const VRxGePoint3d& point) {
    for (auto base = bases.rbegin(); base != bases.rend(); ++base) {
        if (!base->design) continue;
        // A base moved since it was drawn has moved with its title.
        const double dx = base->titlePosition.x - base->layout.titlePosition.x;
        const double dy = base->titlePosition.y - base->layout.titlePosition.y;
        for (const DrawnView& view : base->layout.views)
            if (inside(point, view.origin.x + dx, view.origin.y + dy, view.width, view.height)) return &*base;
    }
    return nullptr;
}

void OrderListCommand() {
    try {
        runOrderList();
    } catch (const std::exception& e) {
        vrxutPrintf(L"\n订料单: %hs\n", e.what());
    } catch (...) {
        vrxutPrintf(L"\n订料单: 未知错误，命令已中止。\n");
    }
}
