// The statements of the order list: the catalogue's rules for plate steels,
// standard parts, the part sizes of a mould code, preferred lengths and stack
// figures (the BOM_ tables), the eyebolts of a whole base, the machining holes
// of every plate of a base in one statement (BOM_HOLE_SET, the machining
// tables' holes folded by process, plate and size), and how each is machined
// (HOLE_FORM). A catalogue without the BOM_ tables (one older than the order
// list) gives empty lists.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/catalogue_db.h"
#include "catalogue/catalogue_queries.h"

// The order list's statements read the catalogue as one snapshot: one read
// transaction from construction to destruction (destroy it before the
// catalogue is closed). SQLite then checks the file once for the whole list,
// not once per statement.
class CatalogueSnapshot {
public:
    explicit CatalogueSnapshot(CatalogueDb& catalogue);
    ~CatalogueSnapshot();
    CatalogueSnapshot(const CatalogueSnapshot&) = delete;
    CatalogueSnapshot& operator=(const CatalogueSnapshot&) = delete;

private:
    CatalogueDb& m_catalogue;
    bool m_begun = false;
};

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
    std::wstring model;  // the styles it is for, comma separated; empty: every style
};

// The machining holes of one process on one plate that share a size, as the
// catalogue lists them: their smallest and largest step, the block that draws
// them (its form: loadHoleForms), and each hole's number within its process
// with its X and Y from the plate centre.
struct CatalogueHoleSet {
    struct Position {
        int32_t hole = 0;
        double x = 0;
        double y = 0;
    };
    std::wstring plateName;
    std::wstring process;
    double d = 0;
    double D = 0;
    int32_t nominal = 0;  // d rounded, as the block's file is named
    std::wstring blockStem;
    std::vector<Position> holes;
};

std::vector<PlateMaterialRule> loadPlateMaterials(CatalogueDb& catalogue);
// In sortorder.
// The rules of one style (those whose model lists it or no style), in
// sortorder; partNames receives the part names of every style's rules.
std::vector<StandardPartRule> loadStandardPartRules(CatalogueDb& catalogue, const std::wstring& style,
                                                    std::set<std::wstring>& partNames);
// Series name -> its lengths, shortest first.
std::map<std::wstring, std::vector<double>> loadLengthSeries(CatalogueDb& catalogue);
// In sortorder. A catalogue whose figures name no styles gives them for every style.
std::vector<StackFigureRule> loadStackFigures(CatalogueDb& catalogue);
// The part sizes of a mould code by name (gp, ts, stoph, ...).
std::map<std::wstring, double> loadPartSizes(CatalogueDb& catalogue, const std::wstring& mouldCode);

// The plan view block stem of a standard item on those of the plates that
// have it (install way 1): plate -> "EB" of "EB-A1".
std::map<std::wstring, std::wstring> loadItemBlockStems(CatalogueDb& catalogue, const std::wstring& itemType,
                                                        const std::vector<std::wstring>& plates);

// A hole form as the drawing asks for it: block stem, the hole's nominal
// diameter, the plate's thickness in whole millimetres.
using HoleFormKey = std::tuple<std::wstring, int32_t, int32_t>;
// The forms of the keys, one statement run for each: the row for the
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
// filters alike, eyebolt holes left out), by process and plate, each set's
// holes by number; each set with the block drawn for the guide pillars'
// install way.
std::vector<CatalogueHoleSet> loadMachiningHoles(CatalogueDb& catalogue, const std::wstring& style,
                                                 const std::wstring& mouldCode, const std::wstring& ejectorGuide,
                                                 bool reversedPillars);
