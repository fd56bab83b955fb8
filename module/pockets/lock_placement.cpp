// Lock placement. The catalogue names the lock's block by plate, size and view
// (the A plate carries the male half, the B plate the female half); each edge
// has its own drawing, so the block is inserted as it is, never turned or
// mirrored, and "正装" and "倒装" locks look the same.
//
// A lock is screwed to the plate's side at the parting line. The side view
// looks at the plate's front edge with the face towards the parting line on
// top, so there the lock stands on the plate's upper face whatever its
// thickness: the front lock face-on in the middle, the left and right ones in
// profile at the ends. The lock on the far edge stands right behind the front
// one; a draughtsman leaves out hidden lines that fall on visible ones, so it
// is not drawn there.
#include "pockets/lock_placement.h"

#include <algorithm>
#include <string>

#include "catalogue/catalogue_db.h"
#include "catalogue/catalogue_queries.h"
#include "draw/block_services.h"
#include "draw/drawing_tools.h"
#include "draw/entity_services.h"
#include "model/mould_base_model.h"
#include "resources/module_paths.h"
#include "vrxed.h"

namespace {

const wchar_t* const kPlanView = L"A1";
const wchar_t* const kFarSide = L"T";
// Locks are fitted one way only; the mounting does not choose the block.
const int32_t kLockInstallWay = 1;

bool isPlanView(const PlateView& view) { return view.code == kPlanView; }

// The far edge's lock is hidden behind the front one in the side view.
bool isShown(const PlateView& view, const std::wstring& side) { return isPlanView(view) || side != kFarSide; }

// Plan view: the middle of the lock's edge. Side view: the parting face, at the
// plate's left or right end or, for the front lock, in the middle.
VRxGePoint3d insertionPoint(const PlateView& view, const std::wstring& side) {
    const double x0 = view.centreX, y0 = view.centreY;
    const PlateRecord& plate = *view.plate;
    if (!isPlanView(view)) {
        const double partingFace = y0 + plate.thickness / 2.0;
        if (side == L"R") return VRxGePoint3d(x0 + plate.width / 2.0, partingFace, 0.0);
        if (side == L"L") return VRxGePoint3d(x0 - plate.width / 2.0, partingFace, 0.0);
        if (side == L"B") return VRxGePoint3d(x0, partingFace, 0.0);
        return VRxGePoint3d(0.0, 0.0, 0.0);
    }
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

const std::wstring& LockPlacement::blockFor(const PlateView& view) {
    const std::wstring key = view.code + L"/" + view.plate->name;
    if (m_blockView == key) return m_blockName;
    // The catalogue is open for this one question and closes as it goes out of scope.
    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());
    std::string found;
    findStandardItemBlock(catalogue, m_lock->size, view.plate->name, kLockInstallWay, toAnsi(view.code), found);
    m_blockName = fromAnsi(found);
    m_blockView = key;
    return m_blockName;
}

void LockPlacement::reserveRoom(PlateView& view) {
    if (m_lock == nullptr || view.plate == nullptr || !isShown(view, m_lock->side)) return;
    const std::wstring& blockName = blockFor(view);
    if (blockName.empty()) return;
    const std::wstring path = ModulePaths::getBlockFilePath(blockName + L"-" + m_lock->side);
    VRxDbExtents block;
    if (!fileExists(path.c_str()) || defineBlockFromFile(path.c_str()).isNull() ||
        !getBlockExtents(path.c_str(), block))
        return;

    const VRxGePoint3d at = insertionPoint(view, m_lock->side);
    const PlateRecord& plate = *view.plate;
    const double left = view.origin.x, top = view.origin.y;
    const double right = left + plate.width, bottom = top - (isPlanView(view) ? plate.length : plate.thickness);
    const double reach[4] = {at.x + block.maxPoint().x - right, bottom - (at.y + block.minPoint().y),
                             left - (at.x + block.minPoint().x), at.y + block.maxPoint().y - top};
    for (int side : {DrawingTools::kRight, DrawingTools::kBottom, DrawingTools::kLeft, DrawingTools::kTop})
        view.standOut[side] = std::max(view.standOut[side], reach[side]);
}

void LockPlacement::place(const PlateView& view) {
    if (m_lock == nullptr || view.plate == nullptr || !isShown(view, m_lock->side)) return;
    const std::wstring& blockName = blockFor(view);
    if (blockName.empty()) {
        reportUnplaced(view);
        return;
    }
    insertStandardPart(ModulePaths::getBlockFilePath(blockName + L"-" + m_lock->side),
                       insertionPoint(view, m_lock->side), 1.0, 0.0);
}

void freeDrawnRecord(LockPlacement* record) { delete record; }
