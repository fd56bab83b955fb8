// The statements of the order list: the catalogue's rules for plate steels,
// standard parts, the part sizes of a mould code, preferred lengths and stack
// figures (the BOM_ tables), the eyebolts of a whole base, and the machining
// holes of every plate of a base with how each is machined, in one statement
// (BOM_HOLE, the machining tables' holes folded, with HOLE_FORM). A catalogue
// without the BOM_ tables (one older than the order list) gives empty lists.
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

// One machining hole as the catalogue lists it: X and Y from the plate
// centre, its smallest and largest step, the hole's number within its
// process, and the block that draws it (its form: loadHoleForms).
struct CatalogueHole {
    std::wstring plateName;
    std::wstring process;
    int32_t hole = 0;
    double x = 0;
    double y = 0;
    double d = 0;
    double D = 0;
    int32_t nominal = 0;  // d rounded, as the block's file is named
    std::wstring blockStem;
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

// The plan view block stem of a standard item on every plate that has it
// (install way 1): plate -> "EB" of "EB-A1".
std::map<std::wstring, std::wstring> loadItemBlockStems(CatalogueDb& catalogue, const std::wstring& itemType);

// A hole form as the drawing asks for it: block stem, the hole's nominal
// diameter, the plate's thickness in whole millimetres.
using HoleFormKey = std::tuple<std::wstring, int32_t, int32_t>;
// The forms of the keys, from one statement run for each: the row for the
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

// The machining holes of every plate of a style and mould code, selected as
// the plate drawing selects one plate's (style, model and ejector guide
// filters alike, eyebolt holes left out), by process and plate, each plate's
// holes of a process by number; each with the block drawn for the guide
// pillars' install way.
std::vector<CatalogueHole> loadMachiningHoles(CatalogueDb& catalogue, const std::wstring& style,
                                              const std::wstring& mouldCode, const std::wstring& ejectorGuide,
                                              bool reversedPillars);
