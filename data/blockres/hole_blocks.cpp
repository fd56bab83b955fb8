// Drawing the hole blocks. Every plate is drawn as seen from the parting line:
// its plan view looks at the face towards it, and its side view has that face
// up (the moving half's plates as they sit in the closed mould, the fixed
// half's turned over, as their pockets are drawn). A side view drawing spans
// the plate's thickness from +T/2 to -T/2 exactly, so every hole reaches the
// faces it opens on and nothing is drawn past them.
#include "hole_blocks.h"

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "block_drawing.h"
#include "catalogue_rows.h"

namespace blockres {

namespace {

const double kPi = 3.14159265358979323846;

struct Form {
    std::string kind, face;
    double bore = 0, tapDrill = 0, depth = 0, drillDepth = 0, cbDia = 0, cbDepth = 0;
    bool threaded = false, through = false;
};

double num(const std::string& s) { return std::strtod(s.c_str(), nullptr); }

// The drill's 118 degree point runs on this far past the drilled depth.
double pointLength(double drill) { return 0.5 * drill / std::tan(59.0 * kPi / 180.0); }

// Plan view; `visible` is the face the plan looks at ("top" or "bottom").
void planView(Drawing& d, const Form& f, const std::string& visible) {
    if (f.kind == "relief") {
        // Through the plate: its outline seen from either face, the side on
        // the plate's face it opens to lying on the plate's edge.
        const double x = f.depth / 2, y = f.bore / 2;
        d.line(-x, -y, x, -y);
        d.line(x, -y, x, y);
        d.line(x, y, -x, y);
        d.line(-x, y, -x, -y);
        // The pin's axis, which the relief is centred on along the edge.
        d.line(-x - 2, 0, x + 2, 0, kCentre);
        return;
    }
    if (f.kind == "slot") {
        const bool seen = f.face == visible;
        for (double x : {-f.depth / 2, f.depth / 2}) d.line(x, -f.bore / 2, x, f.bore / 2, kOutline, !seen);
        return;
    }
    if (f.face == "side") {
        // An eyebolt hole running in from the edge along +y: tap drill, thread
        // and the drill point, all inside the plate.
        const double drill = f.tapDrill / 2, thread = f.bore / 2, tip = f.drillDepth + pointLength(f.tapDrill);
        for (double s : {-1.0, 1.0}) {
            d.line(s * drill, 0, s * drill, f.drillDepth, kOutline, true);
            d.line(s * drill, f.drillDepth, 0, tip, kOutline, true);
            d.line(s * thread, 0, s * thread, f.depth, kThread, true);
        }
        d.line(-thread, f.depth, thread, f.depth, kThread, true);
        d.line(0, 0, 0, tip, kCentre);
        return;
    }
    const bool boreSeen = f.through || f.face == visible;
    if (f.threaded) {
        d.circle(f.tapDrill / 2, kOutline, 0, 0, !boreSeen);
        d.arc(f.bore / 2, 0, 1.5 * kPi, kThread, !boreSeen);
    } else {
        d.circle(f.bore / 2, kOutline, 0, 0, !boreSeen);
    }
    if (f.cbDia > 0) d.circle(f.cbDia / 2, kOutline, 0, 0, f.face != visible);
    const double c = 0.65 * std::max(f.bore, f.cbDia) + 2;
    d.line(-c, 0, c, 0, kCentre);
    d.line(0, -c, 0, c, kCentre);
}

// Side view of a plate t thick, seen on its front face with the face `up` on
// top: the holes inside are hidden edges; a clamp slot cuts the front face and
// an eyebolt hole opens in it, both seen.
void sideView(Drawing& d, const Form& f, double t, const std::string& up) {
    if (f.face == "side") {
        d.circle(f.tapDrill / 2);
        d.arc(f.bore / 2, 0, 1.5 * kPi, kThread);
        const double c = f.bore / 2 + 1;
        d.line(-c, 0, c, 0, kCentre);
        d.line(0, -c, 0, c, kCentre);
        return;
    }
    if (f.kind == "relief") {
        // Inside the plate, behind its front face: its walls from face to face.
        for (double x : {-f.depth / 2, f.depth / 2}) d.line(x, t / 2, x, -t / 2, kOutline, true);
        return;
    }
    const double s = f.face == up ? 1.0 : -1.0;  // the entry face's side of the view
    const double entry = s * t / 2;
    auto depthAt = [&](double depth) { return entry - s * depth; };
    if (f.kind == "slot") {
        const double w = f.depth / 2, floor = depthAt(f.cbDepth);
        d.line(-w, entry, -w, floor);
        d.line(w, entry, w, floor);
        d.line(-w, floor, w, floor);
        return;
    }
    auto wall = [&](double r, double from, double to, uint16_t colour = kOutline) {
        d.line(-r, from, -r, to, colour, true);
        d.line(r, from, r, to, colour, true);
    };
    auto across = [&](double r1, double r2, double y, uint16_t colour = kOutline) {
        d.line(-r2, y, -r1, y, colour, true);
        d.line(r1, y, r2, y, colour, true);
    };
    double start = entry;  // where the bore begins, under its counterbore
    if (f.cbDia > 0) {
        start = depthAt(f.cbDepth);
        wall(f.cbDia / 2, entry, start);
        across(f.threaded ? f.tapDrill / 2 : f.bore / 2, f.cbDia / 2, start);
    }
    double end = -entry;  // the far face, or the blind hole's tip
    if (f.through) {
        if (f.threaded) wall(f.bore / 2, start, end, kThread);
        wall(f.threaded ? f.tapDrill / 2 : f.bore / 2, start, end);
    } else if (f.threaded) {
        const double r = f.tapDrill / 2, drilled = depthAt(f.drillDepth);
        end = depthAt(f.drillDepth + pointLength(f.tapDrill));
        wall(f.bore / 2, start, depthAt(f.depth), kThread);
        across(0, f.bore / 2, depthAt(f.depth), kThread);
        wall(r, start, drilled);
        d.line(-r, drilled, 0, end, kOutline, true);
        d.line(r, drilled, 0, end, kOutline, true);
    } else {
        end = depthAt(f.depth);
        wall(f.bore / 2, start, end);
        across(0, f.bore / 2, end);
    }
    d.line(0, entry, 0, end, kCentre);
}

Form formOf(const std::vector<std::string>& r) {
    Form f;
    f.kind = r[3];
    f.face = r[4];
    f.bore = num(r[5]);
    f.threaded = r[6] == "1";
    f.tapDrill = num(r[7]);
    f.through = r[8] == "1";
    f.depth = num(r[9]);
    f.drillDepth = num(r[10]);
    f.cbDia = num(r[11]);
    f.cbDepth = num(r[12]);
    return f;
}

}  // namespace

int writeHoleBlocks(sqlite3* db, const std::string& outDir) {
    // The face each hole block's plan view shows: the fixed half's plates are
    // seen from the parting line below them, the others from above.
    std::map<std::string, std::string> seenFace;
    const auto blocks = catalogueRows(db,
                               "SELECT s.blockname, coalesce(p.slocation, '下模') FROM STANDITEMBLOCKSETUP s"
                               " LEFT JOIN (SELECT DISTINCT platename, slocation FROM MODEL_PLATE_LIST) p"
                               " ON p.platename = s.PLATENAME"
                               " WHERE s.FACEDIR = 'A1' AND s.ITEMTYPENAME IN (SELECT proc_name FROM base_proc)");
    for (const auto& b : blocks) {
        const std::string stem = b[0].substr(0, b[0].rfind('-'));
        const std::string face = b[1] == "上模" ? "bottom" : "top";
        auto found = seenFace.emplace(stem, face);
        if (found.first->second != face) found.first->second = "both";
    }

    // stem -> nominal diameter -> thickness -> form
    std::map<std::string, std::map<int, std::map<int, Form>>> forms;
    for (const auto& r : catalogueRows(db, "SELECT blockstem, diameter, thickness, kind, face, bore, threaded, tapdrill, "
                                    "through, depth, drilldepth, cbdia, cbdepth FROM HOLE_FORM"))
        forms[r[0]][std::stoi(r[1])][std::stoi(r[2])] = formOf(r);
    for (const auto& s : seenFace)
        if (!forms.count(s.first)) throw Failure("HOLE_FORM has no form for the hole block " + s.first);

    int written = 0;
    auto save = [&](Drawing& d, const std::string& name) {
        d.save(outDir + "/" + name + ".dwg");
        ++written;
    };
    for (const auto& stem : forms) {
        auto seen = seenFace.find(stem.first);
        if (seen == seenFace.end()) throw Failure("HOLE_FORM names the block " + stem.first + " that no plate uses");
        // What the plan shows of a hole machined from the top or the underside
        // depends on the face it is seen from; an eyebolt's is the same from both.
        if (seen->second == "both" && stem.second.begin()->second.begin()->second.face != "side")
            throw Failure("the hole block " + stem.first + " is used on plates seen from both faces; give each its own stem");
        for (const auto& diameter : stem.second) {
            const std::string name = std::to_string(diameter.first) + stem.first;
            const auto& byThickness = diameter.second;
            const Form& thinnest = byThickness.begin()->second;
            {
                Drawing plan;
                planView(plan, thinnest, seen->second);
                save(plan, name + "-A1");
                Drawing side;
                sideView(side, thinnest, byThickness.begin()->first, seen->second);
                save(side, name + "-A3");
            }
            // An eyebolt hole looks the same face-on in any plate.
            if (thinnest.face == "side") continue;
            for (const auto& t : byThickness) {
                Drawing side;
                sideView(side, t.second, t.first, seen->second);
                save(side, name + "-A3-" + std::to_string(t.first));
                if (t.second.kind == "slot") {
                    Drawing plan;
                    planView(plan, t.second, seen->second);
                    save(plan, name + "-A1-" + std::to_string(t.first));
                }
            }
        }
    }
    return written;
}

}  // namespace blockres
