// The assembly drawing's order of work. The title goes first, at the cursor
// the plate stack left to the right of the last plate; the plate views follow
// view by view, each plate complete before the next.
#include "model/assembly_drawing.h"

#include <string>

#include "draw/drawing_styles.h"
#include "draw/entity_services.h"

namespace {

void drawTitle(const MouldBaseModel& model) {
    if (model.params == nullptr) return;
    const std::wstring title = model.params->mouldCode + L" " + model.params->style;
    addText(model.insertPoint, title.c_str(), textStyleId, 2.0 * drawingScale, 0.0);
}

// One plate in one view: outline with dimensions and centre lines, hole
// blocks with the guide pillar leader, datum mark, plate name, pockets and,
// on the A and B plates, locks. These stages arrive with the plate view and
// machining code; until then a view draws nothing of its own.
void drawPlateStages(MouldBaseModel& model, const std::wstring& viewCode, const std::wstring& plateName,
                     PlateView& view) {
    (void)model;
    (void)viewCode;
    (void)plateName;
    (void)view;
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

void DrawAssembly(MouldBaseModel& model) {
    drawTitle(model);
    drawPlateViews(model);
}
