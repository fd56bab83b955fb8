// The catalogue's build-time checks: each plate's holes against its outline,
// its faces, its neighbours' holes, the lock zones and the eyebolts; each
// column of holes against the plates it passes.
#include "layout_checks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "hole_layout.h"

namespace catalogue {

namespace {

const double kWall = 3.0;   // least steel between a hole and an edge, a face or another hole
const double kGap = 2.0;    // least steel between two holes' outlines
const double kLip = 10.0;   // least lip left under a clamp slot

std::string at(const PlacedHole& h) {
    char buf[96];
    std::snprintf(buf, sizeof buf, " at (%g, %g) d%g", h.c.x, h.c.y, 2 * h.radius());
    return h.process + buf;
}

std::string at(const PlacedEyebolt& e) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "拉令孔 M%g at (%g, %g)", e.size, e.c.x, e.c.y);
    return buf;
}

// The plates a style's holes are on: the spacer blocks' holes are on the
// derived spacer plate, which has the B plate's outline.
std::vector<std::string> holePlates(const Style& st) {
    std::vector<std::string> plates;
    for (const auto& p : st.plates)
        if (p.first != "方铁L" && p.first != "方铁R") plates.push_back(p.first);
        else if (p.first == "方铁L") plates.push_back("方铁");
    return plates;
}

// Where a plate lies in the closed mould, counted from the top clamp plate;
// the spacer blocks stand beside both ejector plates.
std::pair<int, int> levels(const std::string& plate) {
    if (plate == "工面" || plate == "直身面板") return {0, 0};
    if (plate == "水口板") return {1, 1};
    if (plate == "A板") return {2, 2};
    if (plate == "成品推板") return {3, 3};
    if (plate == "B板") return {4, 4};
    if (plate == "托板") return {5, 5};
    if (plate == "方铁") return {6, 7};
    if (plate == "面针板") return {6, 6};
    if (plate == "底针板") return {7, 7};
    if (plate == "工底" || plate == "直身底板") return {8, 8};
    throw Failure("no place in the stack known for the plate " + plate);
}

// Whether a point lies on a plate's steel (the spacer blocks and the ejector
// plates cover part of the mould's width only).
bool covers(const std::string& plate, const Size& s, Point p) {
    if (plate == "方铁") return std::fabs(p.x) >= s.W / 2 - s.ssbw && std::fabs(p.x) <= s.W / 2;
    if (plate == "面针板" || plate == "底针板") return std::fabs(p.x) <= s.erpw / 2;
    return true;
}

// The radius of a hole where it opens on a face ("top" or "bottom"); 0 when it
// does not reach that face.
double openingOn(const PlacedHole& h, const std::string& face) {
    if (h.isBand()) return 0;
    const HoleForm& f = h.form;
    double r = (f.through || f.face == face) ? f.bore / 2 : 0;
    if (f.cbDia > 0 && f.face == face) r = f.cbDia / 2;
    return r;
}

class Checker {
public:
    Checker(const Sources& src, const Size& s) : m_src(src), m_s(s) {}

    // Every style of the size's series.
    void run() {
        std::map<char, CodeLayout> layouts;
        for (const Style& st : m_src.styles) {
            if ((st.series == kPinPoint) != m_s.pinPoint) continue;
            m_style = st.name;
            const char family = familyOf(st.name);
            auto layout = layouts.find(family);
            if (layout == layouts.end()) layout = layouts.emplace(family, layoutCode(m_src, m_s, family)).first;
            std::map<std::string, std::vector<PlacedHole>> byPlate;
            for (const std::string& plate : holePlates(st)) {
                byPlate[plate] = plateHoles(m_src, m_s, layout->second, family, st.name, plate);
                checkPlate(plate, byPlate[plate]);
            }
            checkColumns(byPlate);
            checkBearings(byPlate);
            checkGuided(byPlate);
            if (m_s.pinPoint) {
                checkHung(byPlate);
                checkStrokes(st, layout->second, byPlate);
            }
        }
    }

private:
    [[noreturn]] void fail(const std::string& plate, const std::string& what) {
        throw Failure(m_s.code + " " + m_style + " " + plate + " " + what);
    }

    void checkPlate(const std::string& plate, const std::vector<PlacedHole>& holes) {
        const double w = plateWidth(plate, m_s) / 2, l = m_s.L / 2;
        const std::vector<int> thicknesses = plateThicknesses(m_src, m_s, plate);
        for (size_t i = 0; i < holes.size(); ++i) {
            const PlacedHole& h = holes[i];
            const double r = h.radius();
            if (!h.isBand() && (std::fabs(h.c.x) + r > w - kWall || std::fabs(h.c.y) + r > l - kWall))
                fail(plate, at(h) + " breaks out of an edge");
            if (h.form.kind == "relief") checkRelief(plate, h);
            else if (plate == "方铁" && (std::fabs(h.c.x) - r < m_s.W / 2 - m_s.ssbw + kWall))
                fail(plate, at(h) + " leaves the spacer block");
            checkPillar(plate, h);
            for (int t : thicknesses) checkFaces(plate, h, formInPlate(m_src, h, t, m_s), t);
            for (size_t j = i + 1; j < holes.size(); ++j) {
                const PlacedHole& o = holes[j];
                bool clash = false;
                if (h.isBand() && o.isBand()) clash = overlaps(h.slotBand(), o.slotBand(), kGap);
                else if (h.isBand()) clash = overlaps(h.slotBand(), o.c, o.radius(), kGap);
                else if (o.isBand()) clash = overlaps(o.slotBand(), h.c, r, kGap);
                else clash = std::hypot(h.c.x - o.c.x, h.c.y - o.c.y) < r + o.radius() + kGap;
                if (clash) fail(plate, at(h) + " runs into " + at(o));
            }
            if (plate == "A板" || plate == "B板")
                for (const Box& z : lockZones(m_s))
                    if (!h.isBand() && overlaps(z, h.c, r, 0)) fail(plate, at(h) + " lies under a lock");
        }
        for (int t : thicknesses) checkEyebolts(plate, holes, t);
        checkPitch(plate, holes);
    }

    // A relief opens a spacer block to the ejector housing: it starts at the
    // block's inner face and leaves the wall to its outer face and its ends.
    void checkRelief(const std::string& plate, const PlacedHole& h) {
        const Box b = h.slotBand();
        const double x0 = std::min(std::fabs(b.x0), std::fabs(b.x1)), x1 = std::max(std::fabs(b.x0), std::fabs(b.x1));
        if (plate != "方铁" || b.x0 * b.x1 < 0 || std::fabs(x0 - (m_s.W / 2 - m_s.ssbw)) > 1e-6)
            fail(plate, at(h) + " is no relief from a spacer block's inner face");
        if (x1 > m_s.W / 2 - kWall || std::fabs(h.c.y) + h.form.bore / 2 > m_s.L / 2 - kWall)
            fail(plate, at(h) + " breaks out of an edge");
    }

    // Blind and tapped holes leave a floor, counterbores the bore below them,
    // clamp slots their lip.
    void checkFaces(const std::string& plate, const PlacedHole& h, const HoleForm& f, int t) {
        const std::string thick = " in a plate " + std::to_string(t) + " thick";
        if (h.isSlot()) {
            if (f.cbDepth > t - kLip) fail(plate, at(h) + " leaves no lip" + thick);
            return;
        }
        if (f.kind == "relief") return;  // through the plate
        const double point = f.threaded ? 0.3 * f.tapDrill : 0.0;
        if (!f.through && f.drillDepth + point > t - kWall) fail(plate, at(h) + " breaks through the far face" + thick);
        if (f.cbDepth > 0 && f.cbDepth > t - kWall) fail(plate, at(h) + " counterbore leaves no bore" + thick);
    }

    // A pillar is held in a seat of its own size (the pillar's head plate, the
    // plate its end stands in) and slides in a bush or a clearance wider than it;
    // the seat keeps the standard's wall to the plate edge.
    void checkPillar(const std::string& plate, const PlacedHole& h) {
        double d = 0, wall = 0;
        if (h.process == "导柱") d = m_s.var("gp"), wall = m_s.var("wall");
        else if (h.process == "针板边") d = m_s.var("eg"), wall = m_s.var("egwall");
        else if (h.process == "拉杆") d = m_s.var("sp"), wall = m_s.var("spwall");
        else return;
        static const std::set<std::string> seats = {"GP", "GPT", "EGP", "EGE", "LGH"};
        if (seats.count(h.block) ? h.form.bore != d : h.form.bore <= d)
            fail(plate, at(h) + " is no seat for a pillar of " + std::to_string(static_cast<int>(d)));
        const double w = plateWidth(plate, m_s) / 2, l = m_s.L / 2;
        const double edge = std::min(w - std::fabs(h.c.x), l - std::fabs(h.c.y));
        if (edge - h.form.bore / 2 < wall) fail(plate, at(h) + " leaves less than its wall to the edge");
    }

    void checkEyebolts(const std::string& plate, const std::vector<PlacedHole>& holes, int t) {
        const std::vector<PlacedEyebolt> eyebolts = plateEyebolts(m_src, m_s, plate, t);
        for (size_t i = 0; i < eyebolts.size(); ++i) {
            const PlacedEyebolt& e = eyebolts[i];
            const Box b = eyeboltFootprint(m_src, e);
            const std::string thick = " in a plate " + std::to_string(t) + " thick";
            if (t < 2 * e.size) fail(plate, at(e) + thick + ": the plate must be twice the thread thick");
            if (plate == "A板" || plate == "B板")
                for (const Box& z : lockZones(m_s))
                    if (overlaps(z, b, 0)) fail(plate, at(e) + " lies under a lock");
            for (const PlacedHole& h : holes)
                if (h.isBand() ? overlaps(h.slotBand(), b, kGap) : overlaps(b, h.c, h.radius(), kGap))
                    fail(plate, at(e) + " runs into " + at(h) + thick);
            for (size_t j = i + 1; j < eyebolts.size(); ++j)
                if (overlaps(b, eyeboltFootprint(m_src, eyebolts[j]), kGap))
                    fail(plate, at(e) + " runs into " + at(eyebolts[j]));
        }
    }

    void checkPitch(const std::string& plate, const std::vector<PlacedHole>& holes) {
        static const std::map<std::string, std::string> screws = {
            {"面板螺丝", "ts"}, {"底板螺丝", "ts"}, {"针板螺丝", "es"}};
        for (const auto& sc : screws) {
            std::map<double, std::vector<double>> rows;
            for (const PlacedHole& h : holes)
                if (h.process == sc.first) rows[h.c.x].push_back(h.c.y);
            const double limit = pitchLimit(m_s.var(sc.second));
            for (auto& row : rows) {
                std::sort(row.second.begin(), row.second.end());
                for (size_t i = 1; i < row.second.size(); ++i)
                    if (row.second[i] - row.second[i - 1] > limit + 1e-9)
                        fail(plate, sc.first + " stand further apart than their pitch limit");
            }
        }
    }

    // Holes of one process at one position form a column through the stack: it
    // passes every plate between its ends that has steel there, and a column
    // ending in a tapped hole fastens every plate it passes. Every plate must be
    // fastened to a neighbour.
    void checkColumns(const std::map<std::string, std::vector<PlacedHole>>& byPlate) {
        struct Column {
            std::set<std::string> plates;
            bool fastens = false;
        };
        // The fixed half's plates are laid out as seen from the parting line:
        // their x runs the other way in the stack.
        auto physicalX = [&](const std::string& plate, double x) {
            auto l = m_src.locationOf.find(plate);
            return l != m_src.locationOf.end() && l->second == "上模" ? -x : x;
        };
        std::map<std::pair<std::string, std::pair<double, double>>, Column> columns;
        for (const auto& p : byPlate)
            for (const PlacedHole& h : p.second) {
                if (h.isBand()) continue;  // each clamp plate's own slots, each spacer block's reliefs
                Column& c = columns[{h.process, {physicalX(p.first, h.c.x), h.c.y}}];
                c.plates.insert(p.first);
                if (h.form.threaded) c.fastens = true;
            }
        std::set<std::string> fastened;
        for (const auto& col : columns) {
            const Column& c = col.second;
            if (c.plates.size() < 2) continue;
            int top = 99, bottom = -1;
            for (const std::string& p : c.plates) {
                top = std::min(top, levels(p).first);
                bottom = std::max(bottom, levels(p).second);
            }
            const Point where{col.first.second.first, col.first.second.second};
            for (const auto& p : byPlate) {
                const auto lv = levels(p.first);
                if (lv.second > top && lv.first < bottom && covers(p.first, m_s, where) && !c.plates.count(p.first)) {
                    char buf[96];
                    std::snprintf(buf, sizeof buf, " at (%g, %g) stop at this plate: it has no hole for them",
                                  where.x, where.y);
                    fail(p.first, col.first.first + buf);
                }
            }
            if (c.fastens) fastened.insert(c.plates.begin(), c.plates.end());
        }
        for (const auto& p : byPlate)
            if (!fastened.count(p.first)) fail(p.first, "is fastened to no neighbour");
    }

    // The plates that slide on pillars (the runner stripper plate, the A plate,
    // the stripper plate, the B plate) each hold four of them, in a bush or a
    // seat of the pillar's own size, not in a clearance.
    void checkGuided(const std::map<std::string, std::vector<PlacedHole>>& byPlate) {
        for (const char* plate : {"水口板", "A板", "成品推板", "B板"}) {
            auto holes = byPlate.find(plate);
            if (holes == byPlate.end()) continue;
            int guides = 0;
            for (const PlacedHole& h : holes->second) {
                const double bore = h.form.bore;
                if (h.process == "导柱" && (bore == m_s.var("gp") || bore == m_s.var("bush"))) ++guides;
                if (h.process == "拉杆" && (bore == m_s.var("sp") || bore == m_s.var("spbush"))) ++guides;
            }
            if (guides < 4) fail(plate, "is guided by " + std::to_string(guides) + " pillars, not four");
        }
    }

    // The pin-point series' floating plates: the runner stripper plate and the A
    // plate hang on the support pins, the top clamp plate holds the runner
    // stripper plate by the stop bolts, the runner stripper plate holds the A
    // plate by the puller bolts; every bolt's head sits in a counterbore of the
    // plate it stops, over as much steel as the stroke leaves.
    void checkHung(const std::map<std::string, std::vector<PlacedHole>>& byPlate) {
        auto count = [&](const std::string& plate, const std::string& process, bool threaded) {
            auto holes = byPlate.find(plate);
            int n = 0;
            if (holes != byPlate.end())
                for (const PlacedHole& h : holes->second)
                    if (h.process == process && h.form.threaded == threaded && (threaded || h.form.cbDia > 0)) ++n;
            return n;
        };
        const std::string top = byPlate.count("工面") ? "工面" : "直身面板";
        if (count(top, "限位螺丝", true) < 2 || count("水口板", "限位螺丝", false) < 2)
            fail("水口板", "hangs from the top clamp plate by no stop bolts");
        if (count("水口板", "小拉杆", true) < 2 || count("A板", "小拉杆", false) < 2)
            fail("A板", "hangs from the runner stripper plate by no puller bolts");
        for (int t : plateThicknesses(m_src, m_s, "水口板"))
            if (t < m_s.var("s2") + m_s.var("sbk") + 6)
                fail("水口板", "in a plate " + std::to_string(t) +
                                   " thick leaves less than 5 mm under the stop bolts' heads at the second stroke");
    }

    // The pin-point series' openings, for every thickness the plates can be
    // chosen in: the puller bolts open the A plate at least s1 from the runner
    // stripper plate, the stop bolts the runner stripper plate at least s2
    // from the top clamp plate; and what the first opening's puller bolts and
    // the support pins long enough for both bring under the parting line runs
    // in a clearance of every plate it reaches (the spacer blocks' bores and
    // reliefs included), keeps its spare above the bottom clamp plate and
    // stays clear of the ejector plates, which rise to the plate above them
    // at full ejection.
    void checkStrokes(const Style& st, const CodeLayout& layout,
                      const std::map<std::string, std::vector<PlacedHole>>& byPlate) {
        for (int r : plateThicknesses(m_src, m_s, "水口板"))
            if (secondOpening(m_s, r) < m_s.var("s2") - 1e-9)
                fail("水口板", "in a plate " + std::to_string(r) + " thick opens the second stroke less than s2");
        const auto under = platesUnderA(m_src, m_s, st);
        const std::vector<int> spacers = plateThicknesses(m_src, m_s, "方铁");
        const double head = m_s.var("pbh") - 1, pin = m_s.var("sp");
        for (int a : plateThicknesses(m_src, m_s, "A板")) {
            const double s1 = firstOpening(m_src, m_s, a);
            if (s1 < m_s.var("s1") - 1e-9)
                fail("A板", "in a plate " + std::to_string(a) + " thick opens the first stroke " + number(s1) +
                                ", less than s1");
            std::vector<size_t> pick(under.size(), 0);
            for (bool more = true; more;) {
                std::vector<std::pair<std::string, double>> stack;
                double room = 0;
                std::string thick = "A " + std::to_string(a);
                for (size_t i = 0; i < under.size(); ++i) {
                    const int t = under[i].second[pick[i]];
                    stack.push_back({under[i].first, t});
                    room += t;
                    thick += ", " + under[i].first + " " + std::to_string(t);
                }
                for (int c : spacers) {
                    const std::string why = " (" + thick + ", 方铁 " + std::to_string(c) + "; first opening " +
                                            number(s1) + ")";
                    checkReach("小拉杆 head", layout.pullers, head / 2, pullerHeadDepth(m_src, m_s, a), stack, c,
                               byPlate, why);
                    checkReach("拉杆 end", layout.supportPins, pin / 2, pinEndDepth(m_src, m_s, a, room), stack, c,
                               byPlate, why);
                }
                more = false;
                for (size_t i = 0; i < pick.size() && !more; ++i) {
                    if (++pick[i] < under[i].second.size()) more = true;
                    else pick[i] = 0;
                }
            }
        }
    }

    // A part reaching depth under the A plate's parting face at each of the
    // points (as the moving half's plates are seen), r its radius.
    void checkReach(const std::string& part, const std::vector<Point>& points, double r, double depth,
                    const std::vector<std::pair<std::string, double>>& stack, double spacer,
                    const std::map<std::string, std::vector<PlacedHole>>& byPlate, const std::string& why) {
        const double reach = depth + kPinPointSpare;
        const std::string deep = " reaches " + number(depth) + " under the A plate's parting face" + why;
        double top = 0;
        for (const auto& plate : stack) {
            if (reach > top + 1e-9)
                for (const Point& p : points)
                    if (!clearanceAt(byPlate, plate.first, p, r))
                        fail(plate.first, part + deep + ": no clearance for it at " + where(p));
            top += plate.second;
        }
        if (reach > top + 1e-9) {
            const double inner = m_s.W / 2 - m_s.ssbw;
            for (const Point& p : points) {
                const double x = std::fabs(p.x);
                if (x - r - 1 < m_s.erpw / 2 + kGap)
                    fail("方铁", part + deep + ": it would hit the ejector plates at " + where(p));
                if (x + r > inner && !clearanceAt(byPlate, "方铁", p, r))
                    fail("方铁", part + deep + ": no clearance for it in the spacer block at " + where(p));
            }
        }
        top += spacer;
        if (reach > top + 1e-9) fail(byPlate.count("工底") ? "工底" : "直身底板", part + deep + ": it would hit the plate");
    }

    // Whether a plate has a hole at p that a part of radius r passes with room:
    // a through bore a millimetre wider, or a relief that takes the part's
    // clearance where it lies over the spacer block.
    bool clearanceAt(const std::map<std::string, std::vector<PlacedHole>>& byPlate, const std::string& plate, Point p,
                     double r) const {
        auto holes = byPlate.find(plate);
        if (holes == byPlate.end()) return false;
        for (const PlacedHole& h : holes->second) {
            if (h.form.kind == "relief") {
                const Box b = h.slotBand();
                const double inner = m_s.W / 2 - m_s.ssbw, c = r + 1;
                const double x0 = std::max(std::fabs(p.x) - c, inner), x1 = std::min(std::fabs(p.x) + c, m_s.W / 2);
                const double bx0 = std::min(std::fabs(b.x0), std::fabs(b.x1)), bx1 = std::max(std::fabs(b.x0), std::fabs(b.x1));
                if (b.x0 * p.x > 0 && bx0 <= x0 + 1e-9 && bx1 >= x1 - 1e-9 && b.y0 <= p.y - c + 1e-9 &&
                    b.y1 >= p.y + c - 1e-9)
                    return true;
            } else if (!h.isSlot() && h.form.through && std::hypot(h.c.x - p.x, h.c.y - p.y) < 1e-6 &&
                       h.form.bore >= 2 * r + 1 - 1e-9) {
                return true;
            }
        }
        return false;
    }

    static std::string number(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", v);
        return buf;
    }

    static std::string where(Point p) { return "(" + number(p.x) + ", " + number(p.y) + ")"; }

    // The stop pins' heads carry the ejector plate, the support pillars carry the
    // support plate (or the B plate): each stands on steel, not on a hole.
    void checkBearings(const std::map<std::string, std::vector<PlacedHole>>& byPlate) {
        auto bears = [&](const std::string& part, double radius, const std::string& plate, const std::string& face,
                         const std::string& own) {
            auto on = byPlate.find(plate);
            if (on == byPlate.end()) return;
            for (const auto& p : byPlate)
                for (const PlacedHole& h : p.second) {
                    if (h.process != part) continue;
                    for (const PlacedHole& o : on->second) {
                        if (o.process == own && o.c.x == h.c.x && o.c.y == h.c.y) continue;
                        const double r = openingOn(o, face);
                        if (r > 0 && std::hypot(o.c.x - h.c.x, o.c.y - h.c.y) < radius + r + 1)
                            fail(plate, at(o) + " lies under the " + part + at(h).substr(part.size()));
                    }
                }
        };
        const double stop = m_s.var("stop") / 2, sup = m_s.var("sup") / 2;
        for (const char* bottom : {"工底", "直身底板"}) {
            if (!byPlate.count(bottom)) continue;
            bears("垃圾钉", stop, "底针板", "bottom", "");
            bears("垃圾钉", stop, bottom, "top", "垃圾钉");
            bears("撑头", sup, bottom, "top", "撑头");
            bears("撑头", sup, byPlate.count("托板") ? "托板" : "B板", "bottom", "");
        }
    }

    const Sources& m_src;
    const Size& m_s;
    CodeLayout m_layout;
    std::string m_style;
};

}  // namespace

void checkCatalogue(const Sources& src) {
    for (const Size& s : src.sizes) Checker(src, s).run();
    for (const Size& s : src.pinSizes) Checker(src, s).run();
}

}  // namespace catalogue
