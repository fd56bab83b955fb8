// Plate stack computation: every catalogue plate of the chosen style becomes a
// plate record with two views. The derived spacer plate "方铁" carries the B
// plate's outline and is laid out where the left spacer starts, so the spacers
// are drawn over the plate they stand under.
#include "assembly/plate_stack.h"

#include <cmath>
#include <memory>
#include <vector>

#include "holes/holes_model.h"
#include "resources/module_paths.h"

namespace {

const wchar_t* const kAPlate = L"A板";
const wchar_t* const kBPlate = L"B板";
const wchar_t* const kSpacer = L"方铁";
const wchar_t* const kLeftSpacer = L"方铁L";
const wchar_t* const kRetainerPlate = L"面针板";
const wchar_t* const kEjectorPlate = L"底针板";
const wchar_t* const kRunnerPlate = L"水口板";
const wchar_t* const kGuidePillar = L"导柱";

// The top clamp plate's chosen thickness, where the series chooses it; the
// side-gate series leaves it empty and keeps the catalogue's.
const std::wstring* chosenTopPlate(const MouldBaseParams& params, const std::wstring& name) {
    if (params.topPlateThickness.empty() || (name != L"工面" && name != L"直身面板")) return nullptr;
    return &params.topPlateThickness;
}

// The chosen thickness text for a plate name, or null when the plate keeps the
// catalogue's thickness. Only exact names count here.
const std::wstring* chosenThicknessExact(const MouldBaseParams& params, const std::wstring& name) {
    if (name == kAPlate) return &params.aPlateThickness;
    if (name == kBPlate) return &params.bPlateThickness;
    if (name == kSpacer) return &params.spacerThickness;
    if (name == kRetainerPlate) return &params.retainerThickness;
    if (name == kEjectorPlate) return &params.ejectorThickness;
    if (name == kRunnerPlate) return &params.runnerPlateThickness;
    return chosenTopPlate(params, name);
}

// The same for the plate record, where every spacer ("方铁L", "方铁R", ...)
// takes the chosen spacer thickness.
const std::wstring* chosenThicknessForPlate(const MouldBaseParams& params, const std::wstring& name) {
    if (name == kAPlate) return &params.aPlateThickness;
    if (name == kBPlate) return &params.bPlateThickness;
    if (name.find(kSpacer) != std::wstring::npos) return &params.spacerThickness;
    if (name == kRetainerPlate) return &params.retainerThickness;
    if (name == kEjectorPlate) return &params.ejectorThickness;
    if (name == kRunnerPlate) return &params.runnerPlateThickness;
    return chosenTopPlate(params, name);
}

// Stores a view of the plate with its top-left corner at origin and the given
// height, unless the plate already has one under that code.
void storeView(MouldBaseModel& model, const std::wstring& code, PlateRecord* plate, VRxGePoint3d origin,
               double height) {
    auto& byPlate = model.views[code];
    if (byPlate.count(plate->name) != 0) return;
    auto view = std::make_unique<PlateView>();
    view->plate = plate;
    view->code = code;
    view->origin = origin;
    view->centreX = origin.x + plate->width * 0.5;
    view->centreY = origin.y - height * 0.5;
    byPlate[plate->name] = view.release();
}

// The hole stage of a plate: its machining holes with the eyebolt holes, and
// the hole set the drawing records what it drew in. A plate name listed twice
// keeps the holes of its first row, as it keeps its first record and views.
void computePlateHoles(MouldBaseModel& model, CatalogueDb& catalogue, const CatalogueRow& row,
                       const std::wstring& plateName) {
    const MouldBaseParams& params = *model.params;
    Models::HolesModel* holes = nullptr;
    auto known = model.holes.find(plateName);
    if (known == model.holes.end()) {
        auto fresh = std::make_unique<Models::HolesModel>(plateName, params.style, params.mouldCode,
                                                          params.ejectorGuide);
        std::vector<EyeboltPlacement> eyebolts;
        computeEyeboltPlacements(catalogue, row, eyebolts);
        fresh->addEyeboltHoles(eyebolts);
        holes = fresh.get();
        model.holes.emplace(plateName, holes);
        fresh.release();
    } else {
        holes = known->second;
    }

    if (model.holeSets.count(plateName) != 0) return;
    auto holeSet = std::make_unique<PlateHoleSet>();
    holeSet->holes = holes;
    // Reversed guide pillars are drawn with the blocks of install way 0.
    holeSet->options[kGuidePillar] = params.guideReversed == L"是" ? 0 : 1;
    model.holeSets.emplace(plateName, holeSet.get());
    holeSet.release();
}

// The stack's plates and views, with the hole stage or without it.
void computeStack(MouldBaseModel& model, bool withHoles);
void computePlate(MouldBaseModel& model, CatalogueDb& catalogue, const CatalogueRow& row, bool withHoles);

}  // namespace

void ComputePlateStack(MouldBaseModel& model) { computeStack(model, true); }

void ComputePlateLayout(MouldBaseModel& model) { computeStack(model, false); }

void ComputePlate(MouldBaseModel& model, CatalogueDb& catalogue, const CatalogueRow& row) {
    computePlate(model, catalogue, row, true);
}

namespace {

void computeStack(MouldBaseModel& model, bool withHoles) {
    if (model.stackComputed) return;

    CatalogueDb catalogue;
    catalogue.open(ModulePaths::getCatalogPathUtf8());
    // A catalogue that could not be opened has already been reported; its
    // queries give no rows and the stack stays empty (and may be tried again).
    std::vector<CatalogueRow> rows =
        loadPlateList(catalogue, toAnsi(model.params->style), toAnsi(model.params->mouldCode));

    CatalogueRow derived;
    bool haveDerived = false;
    for (const CatalogueRow& row : rows) {
        if (!model.displayFilter.empty() && model.displayFilter.count(row.plateName) == 0) continue;
        if (row.plateName == kBPlate) {
            derived = row;
            derived.plateName = kSpacer;
            haveDerived = true;
        }
        if (row.plateName == kLeftSpacer && haveDerived) {
            // The derived plate starts where the left spacer starts and does not
            // move the cursor. Without a B plate before the spacers there is no
            // outline to derive it from, so none is made.
            VRxGePoint3d remembered = model.insertPoint;
            computePlate(model, catalogue, derived, withHoles);
            model.insertPoint = remembered;
        }
        computePlate(model, catalogue, row, withHoles);
    }
    catalogue.close();
}

void computePlate(MouldBaseModel& model, CatalogueDb& catalogue, const CatalogueRow& catalogueRow, bool withHoles) {
    const MouldBaseParams& params = *model.params;

    CatalogueRow row = catalogueRow;
    if (const std::wstring* chosen = chosenThicknessExact(params, row.plateName))
        row.thickness = leadingDecimal(*chosen);

    auto record = std::make_unique<PlateRecord>();
    record->width = row.width;
    record->length = row.length;
    record->thickness = row.thickness;
    record->name = row.plateName;
    record->mouldCode = row.mouldCode;
    record->style = row.mouldType;
    record->sortNumber = row.sortNumber;
    record->location = row.location;
    if (const std::wstring* chosen = chosenThicknessForPlate(params, record->name))
        record->thickness = leadingDecimal(*chosen);

    // A plate name listed twice keeps its first record and views; the second
    // row still moves the cursor, and its record lives until this plate is laid
    // out so nothing below reads a freed record.
    std::unique_ptr<PlateRecord> duplicate;
    PlateRecord* plate = record.get();
    if (model.plates.count(plate->name) == 0)
        model.plates[plate->name] = record.release();
    else
        duplicate = std::move(record);

    if (std::fabs(model.gapY) < 0.001) model.gapY = plate->width / 3.0;
    if (std::fabs(model.gapX) < 0.001) model.gapX = plate->width / 3.0;

    CreatePlateViews(model, model.insertPoint, plate);

    if (withHoles) computePlateHoles(model, catalogue, row, plate->name);

    auto bPlate = model.plates.find(kBPlate);
    if (plate->name == kLeftSpacer && bPlate != model.plates.end())
        model.insertPoint.x += bPlate->second->width - plate->width;
    else
        model.insertPoint.x += plate->width + model.gapX;

    model.stackComputed = true;
}

}  // namespace

PlateStackStart plateStackStart(const MouldBaseModel& model) {
    return PlateStackStart{model.insertPoint, model.gapX, model.gapY};
}

void DiscardPlateStack(MouldBaseModel& model, const PlateStackStart& start) {
    model.freePlateStack();
    model.insertPoint = start.insertPoint;
    model.gapX = start.gapX;
    model.gapY = start.gapY;
    model.stackComputed = false;
}

void CreatePlateViews(MouldBaseModel& model, VRxGePoint3d corner, PlateRecord* plate) {
    if (plate == nullptr) return;

    // The plan view shows the plate's length, the side view under it its thickness.
    storeView(model, L"A1", plate, corner, plate->length);
    corner.y = corner.y - plate->length - model.gapY;
    storeView(model, L"A3", plate, corner, plate->thickness);
}
