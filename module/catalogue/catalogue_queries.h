// The mould base catalogue's vocabulary: every statement the module runs against
// ZDTSTANDARDMOULD.db for mould types and codes, plate lists with their sizes,
// thickness choices, eyebolt placements, standard item block names and hole forms.
//
// Parameters documented as 8-bit are in the system code page (toAnsi). Every
// statement is assembled as wide text, with the 8-bit parameters decoded from
// the system code page and every quoted value's single quotes doubled, and is
// handed to SQLite as UTF-8: names reach the catalogue intact whatever the code
// page, and no value can end its quotes early. A catalogue that is not open, or
// a statement that cannot be prepared, gives the query's empty result.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "catalogue/catalogue_db.h"

// One plate of a mould type with its sizes for one mould code (-1 where the
// catalogue gives no value).
struct CatalogueRow {
    std::wstring mouldType;
    std::wstring mouldCode;
    std::wstring plateName;
    int32_t sortNumber = 0;
    std::wstring location;
    double thickness = -1;
    double width = -1;
    double length = -1;
};

// One eyebolt hole: size text (thread size, "16" = M16), position from the
// plate centre (x along the width, y along the length) and direction in degrees.
struct EyeboltPlacement {
    std::wstring size;
    double x = 0;
    double y = 0;
    double angle = 0;
};

// How a hole is machined, as the catalogue's HOLE_FORM table gives it for the
// hole block that draws it (faces as the plate sits in the closed mould with
// the top clamp plate up).
struct HoleForm {
    std::wstring kind;       // L"hole", or L"slot": a rebate along both long sides of a clamp plate
    std::wstring face;       // entered from: L"top", L"bottom" or L"side"
    double bore = 0;         // its diameter (tapped: the thread's size, 12 = M12); a slot: its length
    bool threaded = false;
    double tapDrill = 0;     // a tapped hole's tap drill, else 0
    bool through = false;    // through the plate (a slot: the whole side long)
    double depth = 0;        // blind: depth at full diameter (tapped: the thread); a slot: into the side face
    double drillDepth = 0;   // blind: the drilled depth up to the drill point
    double cbDia = 0;        // the counterbore in that face, 0 none
    double cbDepth = 0;      // its depth; a slot: its height
};

// The series of the catalogue (MODE_SERIES_TYPE, MODE_SERIES_CODE): the side-gate
// series, and the pin-point series with its runner stripper plate.
extern const wchar_t* const kSideGateSeries;  // "大水口"
extern const wchar_t* const kPinPointSeries;  // "细水口"

// The mould types (styles) of a series, sorted; appended to list. A catalogue
// without the series tables holds the side-gate series alone: all its types
// are the side-gate series', and the other series has none.
void listMouldTypes(CatalogueDb& catalogue, const std::wstring& series, std::vector<std::wstring>& list);
// The mould codes a series is made in, in catalogue order; appended to list.
// Without the series tables, as above.
void listMouldCodes(CatalogueDb& catalogue, const std::wstring& series, std::vector<std::wstring>& list);

// The plates of a mould type in catalogue row order, with the sizes of one
// mould code. mouldType and mouldCode: 8-bit.
std::vector<CatalogueRow> loadPlateList(CatalogueDb& catalogue, const std::string& mouldType,
                                        const std::string& mouldCode);

// Thickness, width and length of a plate for a mould code (8-bit); all -1 and
// false when the code is not in the catalogue.
bool lookupPlateSize(CatalogueDb& catalogue, const std::string& mouldCode, const std::wstring& plateName,
                     double& thickness, double& width, double& length);

// Appends the thickness choices of a column ("ABPLATE_H", "FPLATE_H", "ERPH",
// "EJPH"; the pin-point series' "TPPH" and "RSPH") for a mould code: the fixed value, or the values of the column's value
// code. False when a statement cannot be run, or the column is not a plain name;
// what was appended stays. mouldCode and column: 8-bit.
bool listThicknessOptions(CatalogueDb& catalogue, const std::string& mouldCode, const std::string& column,
                          std::vector<int32_t>& options);

// The block drawing of a standard item (machining process or lock size) on a
// plate in a view (faceDir, 8-bit). blockName (8-bit) is replaced by the last
// matching row's name and left as passed when no row matches. Always true.
bool findStandardItemBlock(CatalogueDb& catalogue, const std::wstring& itemTypeName, const std::wstring& plateName,
                           int32_t installWay, const std::string& faceDir, std::string& blockName);

// The form of the hole that the block "<diameter><blockStem>-A1" / "-A3" draws
// in a plate `thickness` thick (blockStem: the block name before its view code,
// "GP" of "GP-A3"; diameter: the number the block's file name starts with).
// False, and form as it was, when the catalogue has no such row.
bool findHoleForm(CatalogueDb& catalogue, const std::wstring& blockStem, int32_t diameter, int32_t thickness,
                  HoleForm& form);

// Lock size -> the edge pairs of the A and B plates ("TB" top and bottom, "LR"
// left and right) on which its block sits without cutting a hole of either plate.
using LockFit = std::map<std::wstring, std::set<std::wstring>>;

// The locks that fit a mould code and type (both 8-bit), from MODE_LOCK_FIT;
// replaces fit. A catalogue without that table fits no lock.
void listLockFit(CatalogueDb& catalogue, const std::string& mouldCode, const std::string& mouldType, LockFit& fit);

// Whether a lock of this size may sit on every one of these sides ("T", "B",
// "L", "R").
bool lockFitsSides(const LockFit& fit, const std::wstring& size, const std::vector<std::wstring>& sides);

// The size key of a mould code that the eyebolt tables' ranges are written in:
// width part (first two characters + "0", or "1000" when they hold an M) then
// length part ("0" + third and fourth characters + "0", or those characters +
// "00" for 10 to 14): 2025 -> "2000250", 3010 -> "3001000". 8-bit text. Empty
// for a code shorter than four characters or one whose key would not be a
// number (such a key would be spliced into a statement unquoted).
std::string sizeRangeKey(const std::wstring& mouldCode);

// The eyebolt holes of one plate row (its mould code, name, thickness, width
// and length). Leaves placements as they were when the catalogue lists no
// eyebolt for the plate; otherwise replaces them. Always true.
bool computeEyeboltPlacements(CatalogueDb& catalogue, CatalogueRow row, std::vector<EyeboltPlacement>& placements);

// Replaces placements by the eyebolts of a pattern on a plate W wide and L long:
// 2 one in the middle of each end face; 4 also one in the middle of each side
// face; 6 the end-face eyebolts in pairs offset X either side of the centre
// line and one in each side face; any other pattern none. With an offset X
// above 0 every eyebolt that would sit in the middle of an edge becomes a pair
// X either side of it, clear of the side lock there.
void layoutEyebolts(const std::wstring& size, double width, double length, double offsetX, int32_t pattern,
                    std::vector<EyeboltPlacement>& placements);
