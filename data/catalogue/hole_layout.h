// Where the machining holes of a mould code go, and in what form. The layout
// of a code is the same for every style of a family (S side gate, D pin-point,
// J simplified pin-point): a style only decides which plates (and so which
// hole rules) it has. Screws are spaced along their rows by their
// pitch limit and kept clear of the pillars, the lock zones, the eyebolts and
// the other parts their row crosses; what the layout gives is verified again,
// plate by plate, by layout_checks.
#pragma once

#include <string>
#include <vector>

#include "catalogue_sources.h"

namespace catalogue {

struct Point {
    double x = 0, y = 0;
};

// An axis-parallel rectangle in a plate's plan.
struct Box {
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

// A hole's form as its block drawing shows it and the HOLE_FORM table gives it.
struct HoleForm {
    std::string kind;  // hole, slot, relief (a slot through the plate, open to a side face)
    std::string face;  // top, bottom, side: entered from, as the plate sits in the closed mould
    bool threaded = false;
    double bore = 0;  // its diameter (a thread's nominal size); a slot's length
    double tapDrill = 0;
    bool through = false;
    double depth = 0;       // blind: the hole (thread) depth; slot, relief: into the side face
    double drillDepth = 0;  // blind: the drilled depth up to the drill point
    double cbDia = 0, cbDepth = 0;  // slot: cbDepth is its height
    bool operator==(const HoleForm& o) const;
};

// One hole of one plate. number is its hole number within the process (from 1).
struct PlacedHole {
    const HoleRule* rule = nullptr;  // the holes.csv line it comes from
    std::string process, block;
    int number = 0;
    Point c;
    std::vector<double> steps;  // diameters as the catalogue lists them
    HoleForm form;
    // The styles the hole is machined in, as its catalogue rows carry them:
    // the rule's, or of the spacer blocks' clearances the styles that need them.
    std::string model;
    // The hole's outline in plan: its widest step, or a slot's or relief's band.
    double radius() const;
    bool isSlot() const { return form.kind == "slot"; }
    bool isBand() const { return form.kind == "slot" || form.kind == "relief"; }
    Box slotBand() const;
};

// An eyebolt hole in a side face: position on the edge, direction (degrees, the
// hole runs along the block's +y turned by it) and thread size.
struct PlacedEyebolt {
    Point c;
    double angle = 0, size = 0;
};

// The positions of every layout rule of one code in one family, as the moving
// half's plates are seen (from above); the fixed half's plates are seen from
// the parting line, where the pillars and support pins lie mirrored.
struct CodeLayout {
    std::vector<Point> pillars;  // guide pillars; of the D styles their A/B guide pillars
    std::vector<Point> returnPins, ejectorGuides, topScrews, bottomScrews, ejectorScrews, stopPins, supports;
    std::vector<Point> supportPins, pullers, stops;  // the pin-point series'
    // The middles of the spacer blocks' reliefs for the support pins' ends.
    std::vector<Point> pinReliefs;
};

CodeLayout layoutCode(const Sources& src, const Size& s, char family);
// The pin-point families' layout (D, J), pin_point_layout.cpp.
CodeLayout layoutPinPoint(const Sources& src, const Size& s, char family);

// Every hole of a plate of a code in a style of a family, in hole rule order
// (install 1: the catalogue's holes); style "" takes every rule of the family.
// The derived spacer plate "方铁" carries the spacer blocks' holes, with the
// clearances for the support pins' ends and the puller bolts' heads only in
// the styles whose plates let them reach that far (style "": with the styles
// that need them as the holes' model). The holes lock_fit and the checks look at.
std::vector<PlacedHole> plateHoles(const Sources& src, const Size& s, const CodeLayout& layout, char family,
                                   const std::string& style, const std::string& plate);

// The form a hole rule gives on a code; the nominal diameter names the block file.
HoleForm ruleForm(const Sources& src, const HoleRule& rule, const Size& s);
// A hole's form in a plate this thick: a clamp slot is as high as a plate of
// that thickness takes it (clampslots.csv), every other hole as its rule gives it.
HoleForm formInPlate(const Sources& src, const PlacedHole& h, int thickness, const Size& s);
int nominalDiameter(const std::vector<double>& steps);

// The eyebolt holes of a plate as the module lays them out for that thickness
// (the eyebolt and lifting pattern tables), and their form and plan footprint.
std::vector<PlacedEyebolt> plateEyebolts(const Sources& src, const Size& s, const std::string& plate, double thickness);
HoleForm eyeboltForm(const Sources& src, double size);
Box eyeboltFootprint(const Sources& src, const PlacedEyebolt& e);

// The middles of the A and B plates' edges kept free for side locks: every
// edge in the side-gate series, the end faces in the pin-point series (whose
// long sides carry the pillars and bolts).
std::vector<Box> lockZones(const Size& s);

// The pitch a row of screws of this thread may not exceed.
double pitchLimit(double thread);

// The pin-point series' openings and what they bring under the parting line
// (pin_point_strokes.cpp), for a code in given plate thicknesses. The puller
// bolt's shoulder is cut to open the A plate the catalogue's s1 from the
// runner stripper plate, the stop bolt's to open the runner stripper plate s2
// from the top clamp plate; the support pins reach through the moving plates
// to 5 mm above the spacer blocks, or as much further as keeps them 1.5
// diameters (spg) in the A plate's bush at full opening.
const double kPinPointSpare = 5.0;  // what a pin's end or a bolt's head keeps from what it does not pass
double pullerShoulder(const Sources& src, const Size& s, double a);
double firstOpening(const Sources& src, const Size& s, double a);
double secondOpening(const Size& s, double runner);
// Under the A plate's parting face, in the closed mould: the puller bolt's
// head's underside, and the support pin's end; room is what the plates
// between the A plate and the spacer blocks (stripper, B, support) add up to.
double pullerHeadDepth(const Sources& src, const Size& s, double a);
double pinEndDepth(const Sources& src, const Size& s, double a, double room);
// The moving plates of a style between the A plate and the spacer blocks, and
// the thicknesses each can have.
std::vector<std::pair<std::string, std::vector<int>>> platesUnderA(const Sources& src, const Size& s,
                                                                   const Style& style);
// Whether any thickness choice of the code brings a support pin's end
// ("拉杆") or a puller bolt's head ("小拉杆") within the spare of the spacer
// blocks in the style.
bool reachesSpacer(const Sources& src, const Size& s, const Style& style, const std::string& part);
const Style& styleNamed(const Sources& src, const std::string& name);

bool overlaps(const Box& a, const Box& b, double gap);
bool overlaps(const Box& b, const Point& c, double r, double gap);

}  // namespace catalogue
