// The assembly drawing's order of work. The title goes first, at the cursor
// the plate stack left to the right of the last plate; the plate views follow
// view by view, each plate complete before the next.
#include "assembly/assembly_drawing.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "draw/drawing_styles.h"
#include "draw/entity_services.h"
#include "holes/hole_drawing.h"
#include "model/plate_views.h"
#include "pockets/lock_placement.h"
#include "pockets/pocket_drawer.h"

namespace {

// Hands a drawn record to the model under key. A record the model already
// holds there (the same plate's other view, or an earlier drawing of this
// model) stays; the newcomer has done its drawing and is freed.
template <typename Record>
void keepFirst(std::map<std::wstring, Record*>& records, const std::wstring& key, std::unique_ptr<Record> record) {
    auto found = records.find(key);
    if (found != records.end() && found->second != nullptr) return;
    records[key] = record.release();
}

VRxDbObjectId drawTitle(const MouldBaseModel& model) {
    if (model.params == nullptr) return VRxDbObjectId::kNull;
    const std::wstring title = model.params->mouldCode + L" " + model.params->style;
    return addText(model.insertPoint, title.c_str(), textStyleId, 2.0 * drawingScale, 0.0);
}

// The hole stage: the plate's machining holes as blocks, then the "OFFSET"
// leader from the hole that tells the offset pillar: the guide pillar's, or
// on a plate without guide pillars (the pin-point series' top plates, its
// simplified styles) the support pin's.
void drawHoleStage(MouldBaseModel& model, const std::wstring& plateName, PlateView& view) {
    auto holeSet = model.holeSets.find(plateName);
    if (holeSet == model.holeSets.end() || holeSet->second == nullptr) return;
    drawPlateHoles(*holeSet->second, view);

    const auto& groups = holeSet->second->groups;
    auto guide = groups.find(L"导柱");
    if (guide == groups.end()) guide = groups.find(L"拉杆");
    if (guide == groups.end() || guide->second == nullptr) return;
    const Models::StandardMultiHole* pillar = guide->second->representative;
    if (pillar == nullptr) return;
    const VRxGePoint3d start(pillar->getX() + view.centreX, pillar->getY() + view.centreY, 0.0);
    addOffsetLeader(view, start);
}

// The pocket stage: the plate's pocket in this view; the drawer stays in the
// model under the view code and plate name.
void drawPocketStage(MouldBaseModel& model, const std::wstring& viewCode, const std::wstring& plateName,
                     PlateView& view) {
    auto pocket = model.pocketTable.find(plateName);
    if (pocket == model.pocketTable.end() || pocket->second == nullptr) return;
    std::unique_ptr<PocketDrawer> drawer(new PocketDrawer(pocket->second, &view));
    drawer->draw();
    keepFirst(model.pocketDrawers[viewCode], plateName, std::move(drawer));
}

using LockPlacements = std::vector<std::unique_ptr<LockPlacement>>;

// Before the A or B plate's view is drawn: a placement for every lock of the
// lock table, each reserving the room its drawing takes outside the outline.
LockPlacements prepareLocks(MouldBaseModel& model, PlateView& view) {
    LockPlacements placements;
    if (model.lockTable == nullptr) return placements;
    for (auto& lock : *model.lockTable) {
        if (lock.second == nullptr) continue;
        placements.emplace_back(new LockPlacement(lock.second));
        placements.back()->reserveRoom(view);
    }
    return placements;
}

// The lock stage: the locks placed into this view; one placement per plate and
// side stays in the model.
void drawLockStage(MouldBaseModel& model, const std::wstring& plateName, PlateView& view,
                   LockPlacements& placements) {
    for (auto& placement : placements) {
        placement->place(view);
        const std::wstring side = placement->lock()->side;
        keepFirst(model.lockPlacements[plateName], side, std::move(placement));
    }
}

// One plate in one view: outline with dimensions and centre lines, hole
// blocks with the guide pillar leader, datum mark, plate name, pockets and,
// on the A and B plates, locks.
void drawPlateStages(MouldBaseModel& model, const std::wstring& viewCode, const std::wstring& plateName,
                     PlateView& view) {
    const bool carriesLocks = plateName == L"A板" || plateName == L"B板";
    LockPlacements locks;
    if (carriesLocks) locks = prepareLocks(model, view);
    drawPlateView(view);
    drawHoleStage(model, plateName, view);
    insertOffsetMark(view);
    addPlateNameLabel(view);
    drawPocketStage(model, viewCode, plateName, view);
    if (carriesLocks) drawLockStage(model, plateName, view, locks);
}

void drawPlateViews(MouldBaseModel& model) {
    for (auto& byView : model.views) {
        for (auto& byPlate : byView.second) {
            if (byPlate.second == nullptr) continue;
            drawPlateStages(model, byView.first, byPlate.first, *byPlate.second);
        }
    }
}

}  // namespace

VRxDbObjectId DrawAssembly(MouldBaseModel& model) {
    const VRxDbObjectId title = drawTitle(model);
    drawPlateViews(model);
    return title;
}
