// Lock placement. The catalogue names the lock's block by plate and size (the
// A plate carries the male half, the B plate the female half); each edge has
// its own drawing, so the block is inserted as it is, never turned or mirrored,
// and "正装" and "倒装" locks look the same from above.
#include "pockets/lock_placement.h"

#include <string>

#include "catalogue/catalogue_db.h"
#include "catalogue/catalogue_queries.h"
#include "draw/block_services.h"
#include "model/mould_base_model.h"
#include "shell/module_paths.h"
#include "vrxed.h"

namespace {

const wchar_t* const kPlanView = L"A1";
// Locks are fitted one way only; the mounting does not choose the block.
const int32_t kLockInstallWay = 1;

VRxGePoint3d edgeMiddle(const PlateView& view, const std::wstring& side) {
    const double x0 = view.centreX, y0 = view.centreY;
    const PlateRecord& plate = *view.plate;
    if (side == L"R") return VRxGePoint3d(x0 + plate.width / 2.0, y0, 0.0);
    if (side == L"L") return VRxGePoint3d(x0 - plate.width / 2.0, y0, 0.0);
    if (side == L"T") return VRxGePoint3d(x0, y0 + plate.length / 2.0, 0.0);
    if (side == L"B") return VRxGePoint3d(x0, y0 - plate.length / 2.0, 0.0);
    return VRxGePoint3d(0.0, 0.0, 0.0);
}

}  // namespace

LockPlacement::LockPlacement(LockRecord* lock) : m_lock(lock) {}

void LockPlacement::reportUnplaced(const PlateView& view) const {
    // One line each, whatever the command line held before.
    vrxutPrintf(L"\n%s-%s-%d-%s\n", m_lock->size.c_str(), view.plate->name.c_str(), m_lock->upright,
                view.code.c_str());
}

void LockPlacement::place(const PlateView& view) {
    if (m_lock == nullptr || view.plate == nullptr) return;
    if (view.code != kPlanView) {
        reportUnplaced(view);
        return;
    }

    std::wstring blockName;
    {
        CatalogueDb catalogue;
        catalogue.open(ModulePaths::getCatalogPathUtf8());
        std::string found;
        findStandardItemBlock(catalogue, m_lock->size, view.plate->name, kLockInstallWay, toAnsi(kPlanView), found);
        blockName = fromAnsi(found);
    }  // the catalogue is closed here, on every path
    if (blockName.empty()) {
        reportUnplaced(view);
        return;
    }

    const VRxGePoint3d point = edgeMiddle(view, m_lock->side);
    insertStandardPart(ModulePaths::getBlockFilePath(blockName + L"-" + m_lock->side), point, 1.0, 0.0);
}
