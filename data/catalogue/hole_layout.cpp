// Laying out the holes of one mould code. The fixed parts come first (guide
// pillars, return pins, ejector guides, the centre holes); each row of screws,
// stop pins and support pillars is then placed along its line with the fewest
// holes its pitch limit allows, as near the plate's ends as the parts already
// there, the lock zones and the eyebolts let it.
#include "hole_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "layout_rows.h"

namespace catalogue {

namespace {

// Up to the next half millimetre.
double roundUpHalf(double v) { return std::ceil(v * 2.0 - 1e-9) / 2.0; }

}  // namespace

bool HoleForm::operator==(const HoleForm& o) const {
    return kind == o.kind && face == o.face && threaded == o.threaded && bore == o.bore && tapDrill == o.tapDrill &&
           through == o.through && depth == o.depth && drillDepth == o.drillDepth && cbDia == o.cbDia &&
           cbDepth == o.cbDepth;
}

double PlacedHole::radius() const { return *std::max_element(steps.begin(), steps.end()) / 2.0; }

Box PlacedHole::slotBand() const {
    return {c.x - form.depth / 2, c.y - form.bore / 2, c.x + form.depth / 2, c.y + form.bore / 2};
}

bool overlaps(const Box& a, const Box& b, double gap) {
    return a.x0 < b.x1 + gap && b.x0 < a.x1 + gap && a.y0 < b.y1 + gap && b.y0 < a.y1 + gap;
}

bool overlaps(const Box& b, const Point& c, double r, double gap) {
    const double dx = std::max({b.x0 - c.x, 0.0, c.x - b.x1});
    const double dy = std::max({b.y0 - c.y, 0.0, c.y - b.y1});
    return std::hypot(dx, dy) < r + gap;
}

double pitchLimit(double thread) { return std::clamp(12.0 * thread, 120.0, 200.0); }

int nominalDiameter(const std::vector<double>& steps) {
    const double d = *std::min_element(steps.begin(), steps.end());
    return static_cast<int>(d >= 0 ? std::floor(d + 0.5) : std::ceil(d - 0.5));
}

std::vector<Box> lockZones(const Size& s) {
    const double l = s.var("lockl") / 2 + kLayoutGap, d = s.var("lockd") + kLayoutGap;
    const double w = s.W / 2, h = s.L / 2;
    if (s.pinPoint) return {{-l, h - d, l, h}, {-l, -h, l, -h + d}};
    return {{-l, h - d, l, h}, {-l, -h, l, -h + d}, {w - d, -l, w, l}, {-w, -l, -w + d, l}};
}

HoleForm eyeboltForm(const Sources& src, double size) {
    HoleForm f;
    f.kind = "hole";
    f.face = "side";
    f.threaded = true;
    f.bore = size;
    f.tapDrill = src.thread(size).tapDrill;
    // DIN 580 eyebolts screw in about 1.5 d; the thread is cut 2 d deep.
    f.depth = 2 * size;
    f.drillDepth = f.depth + roundUpHalf(0.25 * size);
    return f;
}

Box eyeboltFootprint(const Sources& src, const PlacedEyebolt& e) {
    const HoleForm f = eyeboltForm(src, e.size);
    // The drill's 118 degree point runs on 0.3 x its diameter past the drilled depth.
    const double reach = f.drillDepth + 0.3 * f.tapDrill, half = e.size / 2;
    const double a = std::fmod(std::fabs(e.angle), 360.0);
    if (a == 0) return {e.c.x - half, e.c.y, e.c.x + half, e.c.y + reach};
    if (a == 180) return {e.c.x - half, e.c.y - reach, e.c.x + half, e.c.y};
    if (e.angle > 0) return {e.c.x - reach, e.c.y - half, e.c.x, e.c.y + half};  // 90: the right side face
    return {e.c.x, e.c.y - half, e.c.x + reach, e.c.y + half};
}

std::vector<PlacedEyebolt> plateEyebolts(const Sources& src, const Size& s, const std::string& plate, double thickness) {
    const EyeboltRule* rule = nullptr;
    for (const EyeboltRule& e : src.eyebolts)
        if (e.plate == plate && e.widthFrom <= s.W && s.W <= e.widthTo) rule = &e;
    if (rule == nullptr) return {};
    const double size = number(rule->size, "eyebolts.csv size");
    int pattern = 2;
    double offset = 0;
    if (plate == "A板" || plate == "B板") {
        const LalingRule* a = nullptr;
        const LalingRule* bc = nullptr;
        for (const LalingRule& l : src.laling)
            if (l.widthFrom <= s.W && s.W <= l.widthTo) (l.group == "A" ? a : bc) = &l;
        if (a != nullptr) {
            pattern = a->threshold < thickness ? a->thick : a->thin;
            offset = a->movex;
        } else if (bc != nullptr) {
            pattern = bc->thick;
            offset = bc->movex;
        }
    }
    // The module's patterns (layoutEyebolts), stated again here to check the
    // catalogue against them; the catalogue sweep checks what the module draws.
    // 2 the end faces, 4 also the side faces, 6 the end faces in pairs and the
    // side faces; an eyebolt in the middle of an edge becomes a pair `offset`
    // either side of it when there is an offset.
    const double w = s.W / 2, l = s.L / 2, x = offset;
    std::vector<PlacedEyebolt> out;
    auto add = [&](double px, double py, double angle) { out.push_back({{px, py}, angle, size}); };
    auto middle = [&](double px, double py, double angle) {
        if (x <= 0) return add(px, py, angle);
        if (py != 0) {
            add(x, py, angle);
            add(-x, py, angle);
        } else {
            add(px, x, angle);
            add(px, -x, angle);
        }
    };
    if (pattern == 2 || pattern == 4) {
        middle(0, l, 180);
        middle(0, -l, 0);
    }
    if (pattern == 6) {
        add(x, l, 180);
        add(-x, l, 180);
        add(x, -l, 0);
        add(-x, -l, 0);
    }
    if (pattern == 4 || pattern == 6) {
        middle(w, 0, 90);
        middle(-w, 0, -90);
    }
    return out;
}

HoleForm ruleForm(const Sources& src, const HoleRule& rule, const Size& s) {
    const HoleStem& stem = src.stems.at(rule.block);
    std::vector<double> steps;
    for (const std::string& e : rule.steps) steps.push_back(evaluate(e, s));
    const std::string where = s.code + " holes.csv " + rule.process + " on " + rule.plate + ": ";
    HoleForm f;
    f.kind = stem.kind;
    f.face = stem.face;
    f.threaded = stem.threaded;
    f.bore = steps[0];
    if (stem.kind == "slot") {
        f.through = true;
        f.depth = evaluate(rule.depth, s);
        f.cbDepth = evaluate(rule.cbDepth, s);
        return f;
    }
    if (stem.kind == "relief") {
        // Through the plate, bore wide along the edge and depth in from it.
        if (steps.size() != 1 || rule.depth.empty() || !rule.cbDepth.empty())
            throw Failure(where + "a relief has one width and its depth into the side");
        f.through = true;
        f.depth = evaluate(rule.depth, s);
        return f;
    }
    if (steps.size() > 2 || (stem.threaded && steps.size() > 1))
        throw Failure(where + "a hole has a bore and at most one counterbore, a tapped hole no counterbore");
    if ((steps.size() == 2) != !rule.cbDepth.empty()) throw Failure(where + "a counterbore needs its depth, and only one");
    if (steps.size() == 2) {
        if (steps[1] <= steps[0]) throw Failure(where + "the counterbore must be wider than the hole");
        f.cbDia = steps[1];
        f.cbDepth = evaluate(rule.cbDepth, s);
    }
    f.through = rule.depth.empty();
    if (stem.threaded) f.tapDrill = src.thread(f.bore).tapDrill;
    if (!f.through) {
        f.depth = evaluate(rule.depth, s);
        // A tapped hole is drilled a quarter diameter deeper than its thread.
        f.drillDepth = stem.threaded ? f.depth + roundUpHalf(0.25 * f.bore) : f.depth;
    }
    return f;
}

void layoutEjectorSide(const Sources& src, const Size& s, double yg, const std::vector<KeepOut>& pillars,
                       CodeLayout& out) {
    const double L = s.L;
    // Return pins as far out on the ejector plates as their head counterbore
    // leaves a wall; the ejector guides inboard of them, in line.
    const double rph = s.var("rph"), egbush = s.var("egbush");
    const double xr = std::floor(s.erpw / 2 - rph / 2 - 4);
    const double xe = std::floor(xr - rph / 2 - egbush / 2 - 4);
    // In line with the pillars along the length, unless an eyebolt of the A
    // or B plate's end face reaches that far in: then beyond its reach.
    double yr = yg;
    const double pinR = std::max(s.var("rp") + 1, s.var("eg")) / 2;
    for (const char* plate : {"A板", "B板"})
        for (int t : plateThicknesses(src, s, plate))
            for (const PlacedEyebolt& e : plateEyebolts(src, s, plate, t)) {
                const Box b = eyeboltFootprint(src, e);
                bool reaches = false;
                for (double x : {xr, xe})
                    for (const Point& p : corners(x, yr))
                        if (overlaps(b, p, pinR, kLayoutGap)) reaches = true;
                if (reaches && std::fabs(e.c.y) == L / 2)
                    yr = std::min(yr, std::floor(L / 2 - (b.y1 - b.y0) - pinR - kLayoutGap));
            }
    // Nor under the lock in the middle of the A and B plates' end faces.
    for (double x : {xr, xe})
        if (x - pinR < s.var("lockl") / 2 + 2 * kLayoutGap)
            yr = std::min(yr, std::floor(L / 2 - s.var("lockd") - pinR - 2 * kLayoutGap));
    // Nor on the pillars that pass the B and support plates.
    auto clearOfPillars = [&](double y) {
        for (const KeepOut& k : pillars)
            for (double x : {xr, xe})
                for (const Point& p : corners(x, y))
                    if (!clearOf(k, p, pinR, kLayoutGap)) return false;
        return true;
    };
    while (yr > 0 && !clearOfPillars(yr)) yr -= 1;
    out.returnPins = corners(xr, yr);
    out.ejectorGuides = corners(xe, yr);

    // Ejector plate screws between the return pins, along the whole plate.
    {
        std::vector<KeepOut> keep;
        addCircles(keep, out.returnPins, rph / 2);
        addCircles(keep, out.ejectorGuides, egbush / 2);
        const double r = s.var("esc") / 2;
        out.ejectorScrews = mirrored(xr, placeRow("the ejector plate screws", s, xr, r, yr - rph / 2 - r - kLayoutGap,
                                                 pitchLimit(s.var("es")), 2, keep));
    }
    // Stop pins under the return pins, and between the ejector plate screws
    // where they would otherwise stand more than 150 apart.
    {
        std::vector<double> ys = {-yr, yr};
        std::vector<double> screws;
        for (const Point& p : out.ejectorScrews)
            if (p.x > 0) screws.push_back(p.y);
        std::sort(screws.begin(), screws.end());
        if (2 * yr > 150)
            for (size_t i = 1; i < screws.size(); ++i) ys.push_back((screws[i - 1] + screws[i]) / 2);
        std::sort(ys.begin(), ys.end());
        out.stopPins = mirrored(xr, ys);
    }
    // Support pillars on the centre line, or two rows in line with the ejector
    // guides; clear of the ejector rod, the guides, the pins and the screws.
    if (s.var("rows") > 0) {
        const double x = s.var("rows") == 1 ? 0.0 : xe;
        std::vector<KeepOut> keep;
        keep.push_back(circleAt({0, 0}, s.var("ko") / 2));
        // Ten millimetres of steel to the ejector guides, whose bushes are pressed in beside them.
        addCircles(keep, out.ejectorGuides, std::max(egbush, s.var("eghead")) / 2 + 7);
        addCircles(keep, out.returnPins, rph / 2);
        addCircles(keep, out.ejectorScrews, s.var("esc") / 2);
        addCircles(keep, out.stopPins, s.var("stop") / 2);
        for (const char* plate : {"工底", "直身底板", "托板", "B板"}) addEyebolts(keep, src, s, plate);
        const double r = s.var("supc") / 2;
        out.supports = mirrored(x, placeRow("the support pillars", s, x, r, yr, 200, 2, keep));
    }
}

HoleForm formInPlate(const Sources& src, const PlacedHole& h, int thickness, const Size& s) {
    HoleForm f = h.form;
    if (h.isSlot()) f.cbDepth = src.clampSlot(thickness, s.code).first;
    return f;
}

CodeLayout layoutCode(const Sources& src, const Size& s, char family) {
    if (family != 'S') {
        // The pin-point layout searches for its puller bolts' places, which
        // takes time on the few codes whose spacer blocks are crowded; the
        // generator, the checks and the lock fit ask for each code's alike.
        static std::map<std::pair<const Sources*, std::string>, CodeLayout> made;
        const auto key = std::make_pair(&src, s.code + family);
        auto it = made.find(key);
        if (it == made.end()) it = made.emplace(key, layoutPinPoint(src, s, family)).first;
        return it->second;
    }
    CodeLayout out;
    const double W = s.W, L = s.L;
    const double ge = s.var("ge"), off = s.var("off");
    const double xg = W / 2 - ge, yg = L / 2 - ge;
    // Numbered from the upper left, clockwise; the offset pillar is the third.
    out.pillars = {{-xg, yg}, {xg, yg}, {xg - off, -yg}, {-xg, -yg}};
    layoutEjectorSide(src, s, yg, {}, out);

    // Clamp screws of the top clamp plate into the A plate, in line with the
    // pillars: counterbored in the clamp plate, tapped in the A plate. The
    // fixed half is seen from the parting line.
    const std::vector<Point> pillarsSeenFromBelow = seenFromParting(out.pillars);
    {
        const double r = s.var("ts") / 2, head = (s.var("tsc") - s.var("ts")) / 2;
        std::vector<KeepOut> keep;
        addCircles(keep, pillarsSeenFromBelow, std::max(s.var("collar"), s.var("head")) / 2);
        addLockZones(keep, s);
        addEyebolts(keep, src, s, "A板");
        for (const char* plate : {"工面", "直身面板"}) addEyebolts(keep, src, s, plate, head);
        keep.push_back(circleAt({0, 0}, 50 + head));  // the locating ring recess
        addSlots(keep, s, s.var("tcsd"), head);
        // Moved in from the pillars' line where a straight plate's clamp slot would reach the heads.
        const double xs = std::min(xg, W / 2 - s.var("tcsd") - s.var("tsc") / 2 - kLayoutGap);
        out.topScrews = mirrored(xs, placeRow("the top clamp screws", s, xs, r, L / 2 - s.var("tsc") / 2 - 5,
                                              pitchLimit(s.var("ts")), 2, keep));
    }
    // Clamp screws of the bottom clamp plate through the spacer blocks (inside
    // the clamp slot of straight plates) and the support plate, tapped into the
    // B plate.
    {
        const double xb = bottomScrewLine(s);
        const double r = s.var("ts") / 2, head = (s.var("tsc") - s.var("ts")) / 2;
        std::vector<KeepOut> keep;
        addCircles(keep, out.pillars, std::max(s.var("collar"), s.var("head")) / 2);
        addLockZones(keep, s);
        addBottomScrewEyebolts(keep, src, s);
        addSlots(keep, s, s.var("bcsd"), head);
        out.bottomScrews = mirrored(xb, placeRow("the bottom clamp screws", s, xb, r, L / 2 - s.var("tsc") / 2 - 5,
                                                 pitchLimit(s.var("ts")), 2, keep));
    }
    return out;
}

double bottomScrewLine(const Size& s) {
    return s.W / 2 - std::max(s.ssbw / 2, s.var("bcsd") + s.var("tsc") / 2 + kLayoutGap);
}

void addBottomScrewEyebolts(std::vector<KeepOut>& keep, const Sources& src, const Size& s) {
    const double head = (s.var("tsc") - s.var("ts")) / 2;
    addEyebolts(keep, src, s, "B板");
    addEyebolts(keep, src, s, "托板", (s.var("tsd") - s.var("ts")) / 2);
    for (const char* plate : {"工底", "直身底板"}) addEyebolts(keep, src, s, plate, head);
}

std::vector<Point> seenFromParting(const std::vector<Point>& at) {
    std::vector<Point> out;
    for (const Point& p : at) out.push_back({-p.x, p.y});
    return out;
}

std::vector<PlacedHole> plateHoles(const Sources& src, const Size& s, const CodeLayout& layout, char family,
                                   const std::string& style, const std::string& plate) {
    auto location = src.locationOf.find(plate);
    const bool upper = location != src.locationOf.end() && location->second == "上模";
    auto seen = [&](const std::vector<Point>& at) { return upper ? seenFromParting(at) : at; };
    std::vector<PlacedHole> holes;
    for (const HoleRule& r : src.rules) {
        if (r.install != 1 || r.plate != plate || !inFamily(r, family) || !appliesTo(r.model, style)) continue;
        std::vector<Point> at;
        if (r.layout == "pillars") at = seen(layout.pillars);
        else if (r.layout == "supportpins") at = seen(layout.supportPins);
        else if (r.layout == "pullers") at = seen(layout.pullers);
        else if (r.layout == "pinreliefs") at = layout.pinReliefs;
        else if (r.layout == "stops") at = seen(layout.stops);
        else if (r.layout == "returnpins") at = layout.returnPins;
        else if (r.layout == "ejguides") at = layout.ejectorGuides;
        else if (r.layout == "topscrews") at = layout.topScrews;
        else if (r.layout == "bottomscrews") at = layout.bottomScrews;
        else if (r.layout == "ejscrews") at = layout.ejectorScrews;
        else if (r.layout == "stoppins") at = layout.stopPins;
        else if (r.layout == "supports") at = layout.supports;
        else if (r.layout == "centre") at = {{0, 0}};
        else if (r.layout == "slots") {
            const double x = s.W / 2 - evaluate(r.depth, s) / 2;
            at = {{x, 0}, {-x, 0}};
        } else throw Failure("holes.csv: unknown layout rule " + r.layout);
        if (at.empty()) continue;
        std::string model = r.model;
        if (plate == "方铁" && (r.process == "拉杆" || r.process == "小拉杆")) {
            // What the openings bring down to the spacer blocks: only where it reaches them.
            if (!style.empty() && !reachesSpacer(src, s, styleNamed(src, style), r.process)) continue;
            if (style.empty()) {
                model.clear();
                for (const Style& st : src.styles)
                    if (familyOf(st.name) == family && appliesTo(r.model, st.name) &&
                        reachesSpacer(src, s, st, r.process))
                        model += (model.empty() ? "" : ",") + st.name;
                if (model.empty()) continue;
            }
        }
        const HoleForm form = ruleForm(src, r, s);
        std::vector<double> steps;
        for (const std::string& e : r.steps) steps.push_back(evaluate(e, s));
        for (size_t i = 0; i < at.size(); ++i)
            holes.push_back({&r, r.process, r.block, static_cast<int>(i) + 1, at[i], steps, form, model});
    }
    return holes;
}

}  // namespace catalogue
