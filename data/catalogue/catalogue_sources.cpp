// Reading the catalogue's text sources. Each part table is keyed by the size
// the parts list names (a thread, a pillar diameter ...); a size that a table
// does not hold fails the build with the code that asked for it.
#include "catalogue_sources.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace catalogue {

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {

Fields splitCsv(const std::string& line) {
    Fields out(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) out.emplace_back();
        else if (c != '\r') out.back() += c;
    }
    return out;
}

// A table of numbers keyed by its first column.
std::map<double, std::vector<double>> numberTable(const std::string& dir, const std::string& name, size_t columns) {
    std::map<double, std::vector<double>> table;
    for (const Fields& f : readCsv(dir, name, columns)) {
        std::vector<double> row;
        for (const std::string& v : f) row.push_back(number(v, name));
        if (!table.emplace(row[0], row).second) throw Failure(name + ": " + f[0] + " listed twice");
    }
    return table;
}

const std::vector<double>& rowOf(const std::map<double, std::vector<double>>& table, double key,
                                 const std::string& what, const std::string& code) {
    auto it = table.find(key);
    if (it == table.end()) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%g", key);
        throw Failure(code + ": " + what + " has no line for " + buf);
    }
    return it->second;
}

std::string mouldCode(int width, int length) {
    // Four digits: widths 100..990 mm, lengths 100..990 mm or 1000..9900 mm.
    if (width < 100 || width > 990 || width % 10 || length < 100 || length > 9900 || length % 10 ||
        (length >= 1000 && length % 100))
        throw Failure("no mould code for " + std::to_string(width) + " x " + std::to_string(length));
    char buf[32];
    int l = length >= 1000 ? length / 100 : length / 10;
    std::snprintf(buf, sizeof buf, "%02d%02d", width / 10, l);
    return buf;
}

// The screw named by prefix (ts, es, sus) with its clearance, counterbore and
// counterbore depth.
void addScrew(Size& s, const Sources& src, const std::string& prefix, double size) {
    const ThreadSize& t = src.thread(size);
    s.vars[prefix] = size;
    s.vars[prefix + "d"] = t.clearance;
    s.vars[prefix + "c"] = t.cbDia;
    s.vars[prefix + "k"] = t.cbDepth;
}

// A guide pillar named by prefix ("" the guide pillars, "eg" the ejector
// guides): its bush, the collar and head counterbores with their depths, and
// the least wall round the bush seat.
void addGuide(Size& s, const GuideSize& g, const std::string& prefix) {
    s.vars[prefix.empty() ? "gp" : prefix] = g.d;
    s.vars[prefix + "bush"] = g.bush;
    s.vars[prefix + "collar"] = g.collar + 1;
    s.vars[prefix + "collart"] = g.collarThk;
    s.vars[prefix + "head"] = g.head + 1;
    s.vars[prefix + "headt"] = g.headThk;
    s.vars[prefix + "wall"] = g.wall;
}

// The pin-point series of every code whose width pinpoint.csv lists: a copy of
// the code's side-gate size with the support pins, the D styles' own A/B guide
// pillars, the puller and stop bolts, the two strokes and the chosen runner
// stripper and top clamp plates. Its straight top clamp plate takes the clamp
// slot of its thinnest choice, the same depth in every choice.
void readPinPointSizes(const std::string& dir, Sources& src) {
    const auto bolts = numberTable(dir, "shoulderbolts.csv", 4);
    std::map<double, Fields> widths;
    for (const Fields& f : readCsv(dir, "pinpoint.csv", 10)) widths[number(f[0], "pinpoint.csv")] = f;
    for (const Size& side : src.sizes) {
        auto found = widths.find(side.W);
        if (found == widths.end()) continue;
        const Fields& f = found->second;
        const std::string w = "pinpoint.csv width " + f[0];
        Size s = side;
        s.pinPoint = true;
        s.rs = f[8];
        s.tp = f[9];
        for (const std::string* c : {&s.rs, &s.tp})
            if (!isNumber(*c) && !src.thickness.count(*c)) throw Failure(s.code + " names unknown value code " + *c);
        addGuide(s, src.guide(number(f[1], w)), "sp");
        s.vars["spe"] = number(f[2], w);
        addGuide(s, src.guide(number(f[3], w)), "");
        // The puller bolt's head sits in a counterbore its height deep and runs
        // in a clearance 4 wider under the A plate; the stop bolt's head moves
        // the second stroke in its counterbore and keeps a millimetre.
        const std::vector<double>& pb = rowOf(bolts, number(f[4], w), "shoulderbolts.csv", s.code);
        const std::vector<double>& sb = rowOf(bolts, number(f[5], w), "shoulderbolts.csv", s.code);
        src.thread(pb[0]);
        src.thread(sb[0]);
        s.vars["pb"] = pb[0];
        s.vars["pbs"] = pb[1];
        s.vars["pbsc"] = pb[1] + 1;
        s.vars["pbh"] = pb[2] + 1;
        s.vars["pbk"] = pb[3];
        s.vars["pbcb"] = std::ceil(pb[3]) + 1;
        s.vars["pbc"] = pb[2] + 4;
        s.vars["s1"] = number(f[6], w);
        s.vars["s2"] = number(f[7], w);
        // At full opening the support pins still reach 1.5 diameters into the
        // A plate's bush, to the whole millimetre.
        s.vars["spg"] = std::ceil(1.5 * s.vars["sp"]);
        s.vars["sb"] = sb[0];
        s.vars["sbs"] = sb[1];
        s.vars["sbd"] = 1.5 * sb[0] + 3;
        s.vars["sbsc"] = sb[1] + 1;
        s.vars["sbh"] = sb[2] + 1;
        s.vars["sbk"] = sb[3];
        s.vars["sbcb"] = s.vars["s2"] + std::ceil(sb[3]) + 1;
        const std::vector<int> tops = plateThicknesses(src, s, "直身面板");
        const auto slot = src.clampSlot(tops.front(), s.code);
        for (int t : tops)
            if (src.clampSlot(t, s.code).second != slot.second)
                throw Failure(s.code + ": the pin-point top clamp plate's choices need clamp slots of one depth");
        s.vars["tcsh"] = slot.first;
        s.vars["tcsd"] = slot.second;
        src.pinSizes.push_back(s);
    }
    for (const auto& w : widths)
        if (std::none_of(src.pinSizes.begin(), src.pinSizes.end(), [&](const Size& s) { return s.W == w.first; }))
            throw Failure("pinpoint.csv: width " + w.second[0] + " has no codes in sizes.csv");
    // The spacer blocks' reliefs for the support pins' ends: a slot through the
    // block, as wide as the pin's clearance (Ø + 2), open to the ejector housing
    // and reaching past the clearance's far side. One relief per pin size, as
    // deep as the code that needs the deepest, so one drawing serves them all.
    std::map<double, double> reliefDepth;
    for (const Size& s : src.pinSizes) {
        const double w = s.var("sp") + 2;
        double& depth = reliefDepth[w];
        depth = std::max(depth, std::ceil((s.ssbw - s.var("spe") + w / 2) * 2) / 2);
    }
    for (Size& s : src.pinSizes) s.vars["spr"] = reliefDepth.at(s.var("sp") + 2);
}

}  // namespace

std::vector<Fields> readCsv(const std::string& dir, const std::string& name, size_t columns) {
    std::istringstream in(readText(dir + "/" + name));
    std::vector<Fields> rows;
    std::string line;
    bool header = true;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#' || line == "\r") continue;
        if (header) {
            header = false;
            continue;
        }
        Fields f = splitCsv(line);
        if (f.size() != columns)
            throw Failure(name + ":" + std::to_string(lineNo) + ": expected " + std::to_string(columns) +
                          " fields, found " + std::to_string(f.size()));
        rows.push_back(f);
    }
    return rows;
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    std::string w;
    while (in >> w) out.push_back(w);
    return out;
}

double number(const std::string& s, const std::string& what) {
    char* end = nullptr;
    double v = std::strtod(s.c_str(), &end);
    if (s.empty() || *end != '\0') throw Failure("not a number in " + what + ": '" + s + "'");
    return v;
}

bool isNumber(const std::string& s) {
    char* end = nullptr;
    std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0';
}

double Size::var(const std::string& name) const {
    auto it = vars.find(name);
    if (it == vars.end()) throw Failure(code + ": unknown size variable '" + name + "'");
    return it->second;
}

const ThreadSize& Sources::thread(double size) const {
    auto it = threads.find(static_cast<int>(size));
    if (it == threads.end() || it->second.size != size)
        throw Failure("threads.csv has no M" + std::to_string(static_cast<int>(size)));
    return it->second;
}

const GuideSize& Sources::guide(double d) const {
    auto it = guides.find(static_cast<int>(d));
    if (it == guides.end() || it->second.d != d)
        throw Failure("guides.csv has no pillar of " + std::to_string(static_cast<int>(d)));
    return it->second;
}

bool appliesTo(const std::string& model, const std::string& style) {
    return model.empty() || model.find(style) != std::string::npos;
}

bool inFamily(const HoleRule& rule, char family) { return rule.series.find(family) != std::string::npos; }

char familyOf(const std::string& style) { return style.empty() ? '\0' : style[0]; }

std::pair<double, double> Sources::clampSlot(double plateThickness, const std::string& code) const {
    auto it = clampSlots.lower_bound(plateThickness);
    if (it == clampSlots.end()) throw Failure(code + ": clampslots.csv has no slot for a plate this thick");
    return it->second;
}

double plateWidth(const std::string& plate, const Size& s) {
    if (plate == "工面" || plate == "工底") return s.W + 50;
    if (plate == "面针板" || plate == "底针板") return s.erpw;
    if (plate == "方铁L" || plate == "方铁R") return s.ssbw;
    return s.W;
}

std::vector<int> plateThicknesses(const Sources& src, const Size& s, const std::string& plate) {
    auto chosen = [&](const std::string& column) {
        if (isNumber(column)) return std::vector<int>{static_cast<int>(number(column, s.code))};
        return src.thickness.at(column);
    };
    if (plate == "A板" || plate == "B板") return chosen(s.ab);
    if (s.pinPoint && plate == "水口板") return chosen(s.rs);
    if (s.pinPoint && (plate == "工面" || plate == "直身面板")) return chosen(s.tp);
    if (plate.find("方铁") != std::string::npos) return chosen(s.fp);
    if (plate == "面针板") return chosen(s.erph);
    if (plate == "底针板") return chosen(s.ejph);
    if (plate == "成品推板") return {static_cast<int>(s.stph)};
    if (plate == "托板") return {static_cast<int>(s.suph)};
    if (plate == "工面" || plate == "直身面板") return {static_cast<int>(s.tpih)};
    if (plate == "工底" || plate == "直身底板") return {static_cast<int>(s.bpih)};
    throw Failure("no thickness known for the plate " + plate);
}

double evaluate(const std::string& expr, const Size& s) {
    if (isNumber(expr)) return number(expr, "hole rule");
    size_t star = expr.find('*');
    if (star != std::string::npos) return number(expr.substr(0, star), expr) * evaluate(expr.substr(star + 1), s);
    size_t op = expr.find_first_of("+-");
    if (op != std::string::npos && op > 0) {
        double n = number(expr.substr(op + 1), expr);
        return s.var(expr.substr(0, op)) + (expr[op] == '+' ? n : -n);
    }
    return s.var(expr);
}

Sources readSources(const std::string& dir) {
    Sources src;
    for (const auto& r : numberTable(dir, "threads.csv", 6)) {
        const auto& v = r.second;
        src.threads[static_cast<int>(v[0])] = {v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    for (const auto& r : numberTable(dir, "guides.csv", 7)) {
        const auto& v = r.second;
        src.guides[static_cast<int>(v[0])] = {v[0], v[1], v[2], v[3], v[4], v[5], v[6]};
    }
    const auto returnPins = numberTable(dir, "returnpins.csv", 4);
    const auto stopPins = numberTable(dir, "stoppins.csv", 4);
    const auto supports = numberTable(dir, "supportpillars.csv", 3);
    for (const auto& r : numberTable(dir, "clampslots.csv", 3)) src.clampSlots[r.first] = {r.second[1], r.second[2]};

    std::map<double, Fields> parts;
    for (const Fields& f : readCsv(dir, "parts.csv", 14)) parts[number(f[0], "parts.csv")] = f;

    std::set<std::string> seen;
    for (const Fields& f : readCsv(dir, "sizes.csv", 12)) {
        const std::string w = "sizes.csv width " + f[0];
        const double width = number(f[0], w);
        auto part = parts.find(width);
        if (part == parts.end()) throw Failure("parts.csv has no line for width " + f[0]);
        const Fields& p = part->second;
        for (const std::string& ls : words(f[1])) {
            Size s;
            const int length = static_cast<int>(number(ls, w));
            s.code = mouldCode(static_cast<int>(width), length);
            if (!seen.insert(s.code).second) throw Failure("mould code " + s.code + " listed twice");
            s.W = width;
            s.L = length;
            s.ssbw = number(f[2], w);
            s.erpw = number(f[3], w);
            s.tpih = number(f[4], w);
            s.bpih = number(f[5], w);
            s.stph = number(f[6], w);
            s.suph = number(f[7], w) + (length >= width + 200 ? 10 : length >= width + 100 ? 5 : 0);
            s.erph = f[8];
            s.ejph = f[9];
            s.ab = f[10];
            s.fp = f[11];
            // The ejector plates move between the spacer blocks with room to spare.
            if (s.erpw + 2 * s.ssbw + 4 > s.W)
                throw Failure(s.code + ": ejector plates and spacer blocks do not fit the width");

            const char* names[] = {"gp", "ge", "off", "rp", "ts", "es", "eg", "ko", "stop", "sup", "rows", "lockl", "lockd"};
            for (int i = 0; i < 13; ++i) s.vars[names[i]] = number(p[1 + i], "parts.csv width " + f[0]);
            s.vars["W"] = s.W;
            s.vars["L"] = s.L;
            s.vars["ssbw"] = s.ssbw;
            s.vars["erpw"] = s.erpw;

            addGuide(s, src.guide(s.vars["gp"]), "");
            addGuide(s, src.guide(s.vars["eg"]), "eg");

            const std::vector<double>& rp = rowOf(returnPins, s.vars["rp"], "returnpins.csv", s.code);
            s.vars["rph"] = rp[1] + 1;
            s.vars["rpht"] = rp[2] + 0.05;
            s.vars["rpt"] = rp[3];
            src.thread(rp[3]);

            addScrew(s, src, "ts", s.vars["ts"]);
            addScrew(s, src, "es", s.vars["es"]);

            const std::vector<double>& stop = rowOf(stopPins, s.vars["stop"], "stoppins.csv", s.code);
            s.vars["stoph"] = stop[1];
            s.vars["sps"] = stop[2];
            s.vars["spd"] = stop[3];

            if (s.vars["sup"] > 0) {
                const std::vector<double>& sup = rowOf(supports, s.vars["sup"], "supportpillars.csv", s.code);
                addScrew(s, src, "sus", sup[1]);
                s.vars["supc"] = sup[2];
            }

            const auto top = src.clampSlot(s.tpih, s.code);
            s.vars["tcsh"] = top.first;
            s.vars["tcsd"] = top.second;
            const auto bottom = src.clampSlot(s.bpih, s.code);
            s.vars["bcsh"] = bottom.first;
            s.vars["bcsd"] = bottom.second;
            src.sizes.push_back(s);
        }
    }

    for (const Fields& f : readCsv(dir, "thickness.csv", 2)) {
        if (f[0].empty() || !std::isalpha(static_cast<unsigned char>(f[0][0])))
            throw Failure("value code '" + f[0] + "' must start with a letter");
        if (src.thickness.count(f[0])) throw Failure("value code " + f[0] + " listed twice");
        src.thicknessOrder.push_back(f[0]);
        for (const std::string& v : words(f[1])) src.thickness[f[0]].push_back(static_cast<int>(number(v, f[0])));
    }
    for (const Size& s : src.sizes)
        for (const std::string* c : {&s.ab, &s.fp, &s.erph, &s.ejph})
            if (!isNumber(*c) && !src.thickness.count(*c)) throw Failure(s.code + " names unknown value code " + *c);
    readPinPointSizes(dir, src);

    for (const Fields& f : readCsv(dir, "plates.csv", 5)) {
        if (f[0] != kSideGate && f[0] != kPinPoint) throw Failure("plates.csv: " + f[1] + ": unknown series " + f[0]);
        if (src.styles.empty() || src.styles.back().name != f[1]) src.styles.push_back({f[0], f[1], {}});
        src.styles.back().plates.push_back({f[3], f[4]});
        if (std::to_string(src.styles.back().plates.size()) != f[2])
            throw Failure("plates.csv: " + f[1] + " sort numbers must count 1, 2, 3 ...");
        const char family = familyOf(f[1]);
        if ((f[0] == kSideGate) != (family == 'S') || (family != 'S' && family != 'D' && family != 'J'))
            throw Failure("plates.csv: " + f[1] + " is no style of the series " + f[0]);
    }
    for (const Style& st : src.styles) {
        bool haveB = false;
        for (const auto& p : st.plates) {
            src.locationOf[p.first] = p.second;
            if (p.first == "B板") haveB = true;
            if (p.first == "方铁L" && !haveB) throw Failure(st.name + ": B板 must come before 方铁L");
        }
    }
    src.locationOf["方铁"] = "下模";

    for (const Fields& f : readCsv(dir, "holeforms.csv", 5)) {
        HoleStem h{f[0], f[1], f[3], f[2] == "y"};
        if (h.kind != "hole" && h.kind != "slot" && h.kind != "relief") throw Failure("holeforms.csv: " + h.stem + ": unknown kind " + h.kind);
        if (h.face != "top" && h.face != "bottom" && h.face != "side")
            throw Failure("holeforms.csv: " + h.stem + ": unknown face " + h.face);
        if (!src.stems.emplace(h.stem, h).second) throw Failure("holeforms.csv: " + h.stem + " listed twice");
    }
    for (const Fields& f : readCsv(dir, "holes.csv", 10)) {
        HoleRule r{f[0], f[1], f[2], f[3], f[4], static_cast<int>(number(f[5], "holes.csv install")), words(f[6]),
                   f[7], f[8], f[9]};
        if (r.series.empty() || r.series.find_first_not_of("SDJ") != std::string::npos)
            throw Failure("holes.csv: " + r.process + " on " + r.plate + ": series are the letters S, D and J");
        if (r.steps.empty()) throw Failure("holes.csv: " + r.process + " on " + r.plate + " has no steps");
        if (!src.stems.count(r.block)) throw Failure("holes.csv: " + r.process + " on " + r.plate + ": no form for " + r.block);
        if (r.install != 0 && r.install != 1) throw Failure("holes.csv: install is 1 or 0");
        src.rules.push_back(r);
    }

    for (const Fields& f : readCsv(dir, "eyebolts.csv", 4))
        src.eyebolts.push_back({number(f[0], "eyebolts.csv"), number(f[1], "eyebolts.csv"), f[2], f[3]});
    for (const Fields& f : readCsv(dir, "laling.csv", 7))
        src.laling.push_back({number(f[0], "laling.csv"), number(f[1], "laling.csv"), f[2], number(f[3], "laling.csv"),
                              number(f[4], "laling.csv"), static_cast<int>(number(f[5], "laling.csv")),
                              static_cast<int>(number(f[6], "laling.csv"))});
    return src;
}

}  // namespace catalogue
