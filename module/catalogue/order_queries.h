// The statements of the order list: the catalogue's rules for plate steels,
// standard parts, the part sizes of a mould code, preferred lengths and stack
// figures (the BOM_ tables), the eyebolts of a whole base, the machining holes
// of every plate of a base in one statement (on BOM_HOLE_STEP, the machining
// tables' steps folded), and how those holes are machined (HOLE_FORM). A
// catalogue without the BOM_ tables (one older than the order list) gives
// empty lists.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/catalogue_db.h"
#include "catalogue/catalogue_queries.h"

struct PlateMaterialRule {
    std::wstring plateName;
    std::wstring material;
    std::wstring pocketed;  // empty: the same steel with a pocket
};

// One row of BOM_STANDARD_PART; the formulas as the catalogue writes them.
struct StandardPartRule {
    int32_t sortOrder = 0;
    std::wstring process;
    std::wstring plateName;  // empty: every plate
    std::wstring model;      // the styles it is for, comma separated; empty: every style
    int32_t installWay = -1;
    std::wstring partName;
    bool thread = false;
    std::wstring size;
    std::wstring endThread;
    std::wstring length;
    std::wstring engage;
    std::wstring reach;
    std::wstring rounding;
    std::wstring counting;  // "hole", "plate" or "lock"
    std::wstring material;
};

struct StackFigureRule {
    std::wstring name;
    std::wstring formula;
    std::wstring note;
};

// One step of one machining hole as the catalogue lists it: X and Y from the
// plate centre, the step's diameter, the hole's number within its process.
struct CatalogueHoleStep {
    std::wstring plateName;
    std::wstring process;
    double x = 0;
    double y = 0;
    double diameter = 0;
    int32_t hole = 0;
};

std::vector<PlateMaterialRule> loadPlateMaterials(CatalogueDb& catalogue);
// In sortorder.
std::vector<StandardPartRule> loadStandardPartRules(CatalogueDb& catalogue);
// Series name -> its lengths, shortest first.
std::map<std::wstring, std::vector<double>> loadLengthSeries(CatalogueDb& catalogue);
// In sortorder.
std::vector<StackFigureRule> loadStackFigures(CatalogueDb& catalogue);
// The part sizes of a mould code by name (gp, ts, stoph, ...).
std::map<std::wstring, double> loadPartSizes(CatalogueDb& catalogue, const std::wstring& mouldCode);

// The plan view block stem of every machining process on every plate it
// drills: (plate, process, install way) -> "GP" of "GP-A1".
using HoleBlockKey = std::tuple<std::wstring, std::wstring, int32_t>;
std::map<HoleBlockKey, std::wstring> loadHoleBlockStems(CatalogueDb& catalogue);

// A hole form as the drawing asks for it: block stem, the hole's nominal
// diameter, the plate's thickness in whole millimetres.
using HoleFormKey = std::tuple<std::wstring, int32_t, int32_t>;
// The forms of the keys, all in one or two statements: the row for the
// plate's thickness, else the row of the nearest thickness the catalogue has
// for that block and diameter (a plate of a thickness no drawing was made for
// is machined alike). Keys the catalogue has no row for are left out.
std::map<HoleFormKey, HoleForm> loadHoleForms(CatalogueDb& catalogue, const std::set<HoleFormKey>& keys);

// The eyebolt holes of every plate of a base (the rows of its plates, with
// their chosen thicknesses), laid out by the rules computeEyeboltPlacements
// applies to one plate, from two statements for the whole base instead of up
// to three per plate. Plates without eyebolts are left out.
std::map<std::wstring, std::vector<EyeboltPlacement>> loadEyeboltPlacements(CatalogueDb& catalogue,
                                                                             const std::vector<CatalogueRow>& plates);

// The hole steps of every plate of a style and mould code, selected as the
// plate drawing selects one plate's (style, model and ejector guide filters
// alike, eyebolt holes left out), in the order the drawing meets them:
// by process, step, hole number and plate.
std::vector<CatalogueHoleStep> loadMachiningHoleSteps(CatalogueDb& catalogue, const std::wstring& style,
                                                      const std::wstring& mouldCode, const std::wstring& ejectorGuide);
