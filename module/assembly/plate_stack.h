// The plate stack: turns the choices in a model's params into its plates and
// their plan ("A1") and side ("A3") views, laid out to the right of the
// insertion point. Runs at most once per model; nothing is drawn here.
#pragma once

#include "catalogue/catalogue_queries.h"
#include "model/mould_base_model.h"

// Reads the plate list of the chosen style and mould code from the catalogue
// beside the module and computes every plate the display filter lets through.
// Does nothing once the model's stack is computed; a catalogue that cannot be
// opened (reported by the catalogue) or a code without rows leaves it empty.
void ComputePlateStack(MouldBaseModel& model);

// The same plates and views without the hole stage: how a stored design is laid
// out again to find where it was drawn and what it is made of.
void ComputePlateLayout(MouldBaseModel& model);

// The cursor and gaps a plate stack starts from, taken before it is computed.
struct PlateStackStart {
    VRxGePoint3d insertPoint;
    double gapX = 0.0;
    double gapY = 0.0;
};
PlateStackStart plateStackStart(const MouldBaseModel& model);

// Undoes ComputePlateStack: frees the plates, views, hole models and hole sets,
// puts the cursor and gaps back to start and lets the stack be computed again
// from the choices then in force. Only for a model nothing has been drawn or
// pocketed from yet.
void DiscardPlateStack(MouldBaseModel& model, const PlateStackStart& start);

// Computes one plate from one catalogue row: its record, its views, and moves
// the cursor on. Used by ComputePlateStack.
void ComputePlate(MouldBaseModel& model, CatalogueDb& catalogue, const CatalogueRow& row);

// Makes the plan and side views of a plate with the plan view's top-left
// corner at corner; views already present for the plate stay.
void CreatePlateViews(MouldBaseModel& model, VRxGePoint3d corner, PlateRecord* plate);
