// The mould base of one run of the mould base command: the user's choices, the
// plates computed from the catalogue with their plan and side views, and every
// record the dialogs and the drawing attach to it. A plain aggregate of ordered
// maps keyed by wide names (key order is drawing order); the model owns every
// record in its maps and frees them all when it is destroyed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "draw/drawing_tools.h"
#include "model/drawn_records.h"
#include "model/lock_record.h"
#include "model/pocket_record.h"
#include "vrxdbcore.h"
#include "vrxgeometry.h"

// The texts chosen in the main dialog: nine in both series, and the two
// thicknesses only the pin-point series chooses (empty in the side-gate series,
// whose top clamp plate keeps the catalogue's thickness).
struct MouldBaseParams {
    std::wstring mouldCode;          // catalogue MCODE
    std::wstring style;              // catalogue MTYPE
    std::wstring ejectorGuide;       // "有" / "无"
    std::wstring guideReversed;      // "否" / "是"
    std::wstring aPlateThickness;    // decimal texts from here on
    std::wstring bPlateThickness;
    std::wstring spacerThickness;
    std::wstring retainerThickness;  // ejector retainer plate
    std::wstring ejectorThickness;   // ejector plate
    std::wstring topPlateThickness;     // top clamp plate (工面, 直身面板), pin-point series
    std::wstring runnerPlateThickness;  // runner stripper plate (水口板), pin-point series
};

// One plate; a size the catalogue does not give is -1.
struct PlateRecord {
    double width = 0.0;      // along X in both views
    double length = 0.0;     // along Y in the plan view
    double thickness = 0.0;  // along Y in the side view
    std::wstring name;
    std::wstring mouldCode;
    std::wstring style;
    int32_t sortNumber = 0;
    std::wstring location;
};

// One view of one plate: "A1" the plan view, "A3" the side view.
struct PlateView {
    PlateView();
    ~PlateView();
    PlateView(const PlateView&) = delete;
    PlateView& operator=(const PlateView&) = delete;

    PlateRecord* plate = nullptr;  // not owned: the model's plate map owns it
    SideLineMap* sideLines;        // owned; 0 right, 1 bottom, 2 left, 3 top
    VRxGePoint3d origin;           // top-left corner of the outline
    VRxDbObjectIdArray centreLines;
    std::wstring code;
    double centreX = 0.0;
    double centreY = 0.0;
    // How far the parts fastened to the plate's sides (its locks) stand out of
    // the outline, by side as in sideLines; the size dimensions and the name
    // keep their distance beyond them.
    double standOut[4] = {0.0, 0.0, 0.0, 0.0};
};

// The machining holes of one plate as far as the drawing needs them.
struct PlateHoleSet {
    PlateHoleSet() = default;
    ~PlateHoleSet();
    PlateHoleSet(const PlateHoleSet&) = delete;
    PlateHoleSet& operator=(const PlateHoleSet&) = delete;

    Models::HolesModel* holes = nullptr;             // not owned: the model's holes map owns it
    std::map<std::wstring, DrawnHoleGroup*> groups;  // process name -> drawn holes, owned
    std::map<std::wstring, int32_t> options;         // "导柱": 1 unless the guide pillars are reversed
};

class MouldBaseModel {
public:
    MouldBaseModel();
    ~MouldBaseModel();
    MouldBaseModel(const MouldBaseModel&) = delete;
    MouldBaseModel& operator=(const MouldBaseModel&) = delete;

    // Frees the plate stack's records (views and hole sets, then the hole
    // models and plates they borrow) and empties their maps.
    void freePlateStack();

    std::map<std::wstring, Models::HolesModel*> holes;
    std::map<std::wstring, std::map<std::wstring, PlateView*>> views;  // view code -> plate name
    std::map<std::wstring, std::map<std::wstring, PocketDrawer*>> pocketDrawers;
    std::map<std::wstring, PlateHoleSet*> holeSets;
    std::map<std::wstring, std::map<std::wstring, LockPlacement*>> lockPlacements;  // plate -> side
    double gapY = 0.0;  // plan view to side view
    double gapX = 0.0;  // one plate's views to the next
    bool stackComputed = false;
    std::map<std::wstring, int32_t> displayFilter;  // empty: every plate
    MouldBaseParams* params;
    std::map<std::wstring, PlateRecord*> plates;
    std::map<std::wstring, PocketRecord*> pocketTable;     // plate name -> its pocket
    std::map<std::wstring, LockRecord*>* lockTable;        // side code -> its lock
    VRxGePoint3d insertPoint;  // the drawing cursor
};
