// Construction and destruction of the mould base model and its records. The
// order of destruction matters to the records that point into others: views
// and hole sets only borrow plates and hole models, so nothing here follows a
// pointer into a record already freed.
#include "model/mould_base_model.h"

PlateView::PlateView() : sideLines(new SideLineMap) {
    // Centre lines are added a few at a time while the view is drawn; room for
    // the first eight saves the early reallocations.
    centreLines.reserve(8);
}

PlateView::~PlateView() { delete sideLines; }

PlateHoleSet::~PlateHoleSet() {
    for (auto& group : groups) freeDrawnRecord(group.second);
}

MouldBaseModel::MouldBaseModel()
    : params(new MouldBaseParams), lockTable(new std::map<std::wstring, LockRecord*>), insertPoint(0.0, 0.0, 0.0) {}

namespace {

// The model's own records; the hole and pocket records, which the model knows
// only by name, go through the overloads their subsystems define.
template <typename Record>
void freeDrawnRecord(Record* record) {
    delete record;
}
// Without it the template above would hide them, and a hole model (whose
// namespace does not hold them) would be deleted as an incomplete type.
using ::freeDrawnRecord;

template <typename Map>
void deleteValues(Map& map) {
    for (auto& entry : map) {
        freeDrawnRecord(entry.second);
        entry.second = nullptr;
    }
}

template <typename Map>
void deleteInnerValues(Map& map) {
    for (auto& outer : map) deleteValues(outer.second);
}

}  // namespace

void MouldBaseModel::freePlateStack() {
    // Views and hole sets only borrow plates and hole models: they go first.
    deleteInnerValues(views);
    views.clear();
    deleteValues(holeSets);
    holeSets.clear();
    deleteValues(holes);
    holes.clear();
    deleteValues(plates);
    plates.clear();
}

MouldBaseModel::~MouldBaseModel() {
    delete params;
    params = nullptr;
    freePlateStack();
    deleteInnerValues(pocketDrawers);
    deleteValues(*lockTable);
    delete lockTable;
    lockTable = nullptr;
    deleteInnerValues(lockPlacements);
    deleteValues(pocketTable);
    // The map nodes themselves go with the members.
}
