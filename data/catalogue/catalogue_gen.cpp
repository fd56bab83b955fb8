// catalogue_gen: builds the mould base catalogue ZDTSTANDARDMOULD.db from the text
// sources in data/catalogue (schema.sql and the *.csv tables and rules).
//
//   catalogue_gen SOURCE_DIR LOCK_SHAPES.csv OUTPUT.db
//
// The sizes, thickness codes, plate lists, eyebolt rules and locks are copied as
// they stand; the machining holes are laid out from the rules of holes.csv for
// every mould code, and every layout is checked before anything is written: each
// hole lies inside its plate and clear of every other hole of the same plate in
// every style. The lock sizes that fit each code and style are worked out from
// the same layout and the lock shapes (lock_fit.h). The database is written to a temporary file and renamed over the
// output, so a failed run never leaves a half-built catalogue behind.
#include <sqlite3.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "lock_fit.h"
#include "order_tables.h"

namespace {

using Fields = std::vector<std::string>;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// One CSV line into fields; double quotes protect commas ("SCI,SCH").
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

// The data lines of a CSV source: comments (#) and the header line skipped,
// every line checked for its field count.
std::vector<Fields> readCsv(const std::string& dir, const std::string& name, size_t columns) {
    std::istringstream in(readText(dir + "/" + name));
    std::vector<Fields> rows;
    std::string line;
    bool header = true;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#' || line == "\r") continue;
        if (header) { header = false; continue; }
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

// ---- sizes ------------------------------------------------------------------

struct Size {
    std::string code;
    double W = 0, L = 0;
    double ssbw = 0, erpw = 0, tpih = 0, bpih = 0, stph = 0, suph = 0;
    std::string erph, ejph, ab, fp;
    std::map<std::string, double> vars;  // gp rp eg ts es tsd tsc esd esc
    double off = 0;
};

// Clearance and counterbore diameters of cap screws by metric size.
void screwHoles(int m, double& clearance, double& counterbore) {
    static const std::map<int, std::pair<double, double>> table = {
        {6, {7, 11}}, {8, {9, 14}}, {10, {11, 18}}, {12, {13, 20}}, {14, {15, 23}}, {16, {17, 26}}};
    auto it = table.find(m);
    if (it == table.end()) throw Failure("no screw hole sizes for M" + std::to_string(m));
    clearance = it->second.first;
    counterbore = it->second.second;
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

std::vector<Size> readSizes(const std::string& dir) {
    std::vector<Size> sizes;
    std::set<std::string> seen;
    for (const Fields& f : readCsv(dir, "sizes.csv", 18)) {
        const std::string w = "sizes.csv width " + f[0];
        int width = static_cast<int>(number(f[0], w));
        for (const std::string& ls : words(f[1])) {
            Size s;
            int length = static_cast<int>(number(ls, w));
            s.code = mouldCode(width, length);
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
            const char* names[] = {"gp", "rp", "eg", "ts", "es"};
            for (int i = 0; i < 5; ++i) s.vars[names[i]] = number(f[12 + i], w);
            s.off = number(f[17], w);
            screwHoles(static_cast<int>(s.vars["ts"]), s.vars["tsd"], s.vars["tsc"]);
            screwHoles(static_cast<int>(s.vars["es"]), s.vars["esd"], s.vars["esc"]);
            // The ejector plates move between the spacer blocks with room to spare.
            if (s.erpw + 2 * s.ssbw + 4 > s.W)
                throw Failure(s.code + ": ejector plates and spacer blocks do not fit the width");
            sizes.push_back(s);
        }
    }
    return sizes;
}

// ---- hole layout ----------------------------------------------------------------

struct Point {
    double x, y;
};

struct HoleRule {
    std::string process, plate, model, layout, block, reversed;
    std::vector<std::string> steps;
};

double stepDiameter(const std::string& expr, const Size& s) {
    std::string var = expr;
    double add = 0;
    size_t plus = expr.find('+');
    if (plus != std::string::npos) {
        var = expr.substr(0, plus);
        add = number(expr.substr(plus + 1), "step " + expr);
    }
    if (isNumber(var)) return number(var, "step") + add;
    auto it = s.vars.find(var);
    if (it == s.vars.end()) throw Failure("unknown size variable in step '" + expr + "'");
    return it->second + add;
}

// Positions of one layout rule on one size. mirrored: the plate belongs to the
// fixed half, drawn as seen from the parting line.
std::vector<Point> layoutPoints(const std::string& layout, const Size& s, bool mirrored) {
    const double W = s.W, L = s.L;
    const double gp = s.vars.at("gp"), rp = s.vars.at("rp"), eg = s.vars.at("eg");
    const double a = gp + 2;
    const double xg = W / 2 - a, yg = L / 2 - a;
    const double screwShift = (gp + 5) / 2 + s.vars.at("tsc") / 2 + 6;
    const bool longMould = L >= W + 100;
    const double xr = s.erpw / 2 - rp - 2, yr = L / 2 - rp - 8;
    const double ye = yr - (rp + 5) / 2 - s.vars.at("esc") / 2 - 5;
    std::vector<Point> p;
    if (layout == "pillars") {
        // Numbered from the upper left, clockwise; the offset pillar is the third
        // (lower right), the first in the lower left on the fixed half.
        p = {{-xg, yg}, {xg, yg}, {xg - s.off, -yg}, {-xg, -yg}};
        if (mirrored) p = {{xg, yg}, {-xg, yg}, {-xg + s.off, -yg}, {xg, -yg}};
    } else if (layout == "returnpins") {
        p = {{-xr, yr}, {xr, yr}, {xr, -yr}, {-xr, -yr}};
    } else if (layout == "topscrews" || layout == "spacerscrews") {
        double x = layout == "topscrews" ? xg : W / 2 - s.ssbw / 2;
        double y = yg - screwShift;
        p = {{-x, y}, {x, y}, {x, -y}, {-x, -y}};
        if (longMould) {
            p.push_back({-x, 0});
            p.push_back({x, 0});
        }
    } else if (layout == "ejscrews") {
        p = {{-xr, ye}, {xr, ye}, {xr, -ye}, {-xr, -ye}};
    } else if (layout == "ejguides") {
        double x = s.erpw / 2 - eg / 2 - 8;
        p = {{-x, ye / 2}, {x, ye / 2}, {x, -ye / 2}, {-x, -ye / 2}};
    } else if (layout == "centre") {
        p = {{0, 0}};
    } else {
        throw Failure("unknown layout rule " + layout);
    }
    return p;
}

struct PlateInfo {
    std::string location;
};

struct Style {
    std::string name;
    std::vector<std::pair<std::string, std::string>> plates;  // name, location
};

// Width of a plate of a size; the spacer outline 方铁 is the B plate's.
double plateWidth(const std::string& plate, const Size& s) {
    if (plate == "工面" || plate == "工底") return s.W + 50;
    if (plate == "面针板" || plate == "底针板") return s.erpw;
    if (plate == "方铁L" || plate == "方铁R") return s.ssbw;
    return s.W;
}

bool appliesTo(const std::string& model, const std::string& style) {
    return model.empty() || model.find(style) != std::string::npos;
}

struct PlacedHole {
    std::string process;
    Point c;
    double r;
};

// Every hole inside its plate (3 mm of material at least, the spacer screws inside
// their spacer block) and 2 mm clear of every other hole of the plate.
void checkPlate(const Size& s, const std::string& style, const std::string& plate,
                const std::vector<PlacedHole>& holes) {
    const double w = plateWidth(plate, s), l = s.L;
    auto where = [&](const PlacedHole& h) {
        char buf[160];
        std::snprintf(buf, sizeof buf, " at (%g, %g) d%g", h.c.x, h.c.y, 2 * h.r);
        return s.code + " " + style + " " + plate + " " + h.process + buf;
    };
    for (size_t i = 0; i < holes.size(); ++i) {
        const PlacedHole& h = holes[i];
        if (std::fabs(h.c.x) + h.r > w / 2 - 3 || std::fabs(h.c.y) + h.r > l / 2 - 3)
            throw Failure(where(h) + " does not fit inside the plate");
        if (plate == "方铁") {
            double inner = s.W / 2 - s.ssbw;
            if (std::fabs(h.c.x) - h.r < inner + 3) throw Failure(where(h) + " leaves the spacer block");
        }
        for (size_t j = i + 1; j < holes.size(); ++j) {
            const PlacedHole& o = holes[j];
            if (o.process == h.process && o.c.x == h.c.x && o.c.y == h.c.y) continue;  // steps of one hole
            double d = std::hypot(h.c.x - o.c.x, h.c.y - o.c.y);
            if (d < h.r + o.r + 2) throw Failure(where(h) + " runs into " + where(o));
        }
    }
}

// ---- database ---------------------------------------------------------------------

class Db {
public:
    explicit Db(const std::string& path) {
        std::remove(path.c_str());
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw Failure("cannot create " + path);
    }
    ~Db() { sqlite3_close(db_); }
    void exec(const std::string& sql) {
        char* err = nullptr;
        if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
            std::string m = err ? err : "unknown error";
            sqlite3_free(err);
            throw Failure("SQL failed: " + m);
        }
    }
    // Binds values by type: a field that reads as a number is bound as one, except
    // a field marked text with a leading \x02; "\x01NULL" binds NULL.
    void insert(const std::string& sql, const std::vector<std::string>& values) {
        sqlite3_stmt* st = prepared(sql);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        for (size_t i = 0; i < values.size(); ++i) {
            const std::string& v = values[i];
            int idx = static_cast<int>(i) + 1;
            if (v == "\x01NULL") sqlite3_bind_null(st, idx);
            else if (!v.empty() && v[0] == '\x02')  // text even when it reads as a number
                sqlite3_bind_text(st, idx, v.c_str() + 1, static_cast<int>(v.size()) - 1, SQLITE_TRANSIENT);
            else if (isNumber(v)) {
                double d = std::strtod(v.c_str(), nullptr);
                if (d == std::floor(d) && std::fabs(d) < 1e15) sqlite3_bind_int64(st, idx, static_cast<sqlite3_int64>(d));
                else sqlite3_bind_double(st, idx, d);
            } else sqlite3_bind_text(st, idx, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        }
        if (sqlite3_step(st) != SQLITE_DONE) throw Failure(std::string("insert failed: ") + sqlite3_errmsg(db_));
    }
    void finish() {
        for (auto& p : statements_) sqlite3_finalize(p.second);
        statements_.clear();
    }

private:
    sqlite3_stmt* prepared(const std::string& sql) {
        auto it = statements_.find(sql);
        if (it != statements_.end()) return it->second;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw Failure(std::string("prepare failed: ") + sqlite3_errmsg(db_) + " in " + sql);
        statements_[sql] = st;
        return st;
    }
    sqlite3* db_ = nullptr;
    std::map<std::string, sqlite3_stmt*> statements_;
};

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

void build(const std::string& dir, const std::string& lockShapesPath, const std::string& outPath) {
    const std::vector<Size> sizes = readSizes(dir);

    std::map<std::string, std::vector<int>> thickness;
    std::vector<std::string> thicknessOrder;
    for (const Fields& f : readCsv(dir, "thickness.csv", 2)) {
        if (f[0].empty() || !std::isalpha(static_cast<unsigned char>(f[0][0])))
            throw Failure("value code '" + f[0] + "' must start with a letter");
        if (thickness.count(f[0])) throw Failure("value code " + f[0] + " listed twice");
        thicknessOrder.push_back(f[0]);
        for (const std::string& v : words(f[1])) thickness[f[0]].push_back(static_cast<int>(number(v, f[0])));
    }
    for (const Size& s : sizes)
        for (const std::string* c : {&s.ab, &s.fp, &s.erph, &s.ejph})
            if (!isNumber(*c) && !thickness.count(*c)) throw Failure(s.code + " names unknown value code " + *c);

    std::vector<Style> styles;
    for (const Fields& f : readCsv(dir, "plates.csv", 4)) {
        if (styles.empty() || styles.back().name != f[0]) styles.push_back({f[0], {}});
        styles.back().plates.push_back({f[2], f[3]});
        if (std::to_string(styles.back().plates.size()) != f[1])
            throw Failure("plates.csv: " + f[0] + " sort numbers must count 1, 2, 3 ...");
    }
    std::map<std::string, std::string> locationOf;
    for (const Style& st : styles) {
        bool haveB = false;
        for (const auto& p : st.plates) {
            locationOf[p.first] = p.second;
            if (p.first == "B板") haveB = true;
            if (p.first == "方铁L" && !haveB) throw Failure(st.name + ": B板 must come before 方铁L");
        }
    }

    std::vector<HoleRule> rules;
    for (const Fields& f : readCsv(dir, "holes.csv", 7)) {
        HoleRule r{f[0], f[1], f[2], f[3], f[5], f[6], words(f[4])};
        if (r.steps.empty()) throw Failure("holes.csv: " + r.process + " on " + r.plate + " has no steps");
        rules.push_back(r);
    }

    // The plan view's lock blocks are the ones whose footprint takes room in the plate.
    std::vector<Fields> planLocks;
    for (const Fields& f : readCsv(dir, "locks.csv", 4))
        if (f[2] == "A1") planLocks.push_back({f[0], f[1], f[3]});
    const size_t slash = lockShapesPath.rfind('/');
    const LockFitter lockFitter(planLocks,
                                readCsv(slash == std::string::npos ? "." : lockShapesPath.substr(0, slash),
                                        lockShapesPath.substr(slash + 1), 5));
    std::map<std::pair<std::string, std::string>, std::map<std::string, std::set<std::string>>> lockFits;

    // Lay out and check every hole of every code, style and plate first.
    for (const Size& s : sizes)
        for (const Style& st : styles) {
            std::map<std::string, std::vector<LockFitHole>> lockPlates;
            std::vector<std::string> plates;
            for (const auto& p : st.plates) {
                plates.push_back(p.first);
                if (p.first == "方铁L") plates.push_back("方铁");
            }
            for (const std::string& plate : plates) {
                std::vector<PlacedHole> holes;
                for (const HoleRule& r : rules) {
                    if (r.plate != plate || !appliesTo(r.model, st.name)) continue;
                    bool mirrored = locationOf.count(plate) && locationOf[plate] == "上模";
                    for (const Point& c : layoutPoints(r.layout, s, mirrored))
                        for (const std::string& step : r.steps)
                            holes.push_back({r.process, c, stepDiameter(step, s) / 2});
                }
                checkPlate(s, st.name, plate, holes);
                if (plate == "A板" || plate == "B板") {
                    std::vector<LockFitHole>& seatHoles = lockPlates[plate];  // a plate without holes still seats locks
                    for (const PlacedHole& h : holes) seatHoles.push_back({h.c.x, h.c.y, h.r});
                }
            }
            lockFits[{s.code, st.name}] = lockFitter.fits(s.W, s.L, lockPlates);
        }

    const std::string tmp = outPath + ".tmp";
    {
        Db db(tmp);
        db.exec(readText(dir + "/schema.sql"));
        db.exec("BEGIN");
        for (const Style& st : styles)
            for (size_t i = 0; i < st.plates.size(); ++i)
                db.insert("INSERT INTO MODEL_PLATE_LIST (MTYPE, platename, slocation, sortnumber) VALUES (?,?,?,?)",
                          {st.name, st.plates[i].first, st.plates[i].second, std::to_string(i + 1)});
        for (const Size& s : sizes)
            db.insert(
                "INSERT INTO MODE_PLATE_SIZE (MCODE, sapw, sapl, abplate_h, fplate_h, stph, suph, ssbw, erpw, erph, "
                "ejph, tpih, bpih, tpiw) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                {"\x02" + s.code, fmt(s.W), fmt(s.L), s.ab, s.fp, fmt(s.stph), fmt(s.suph), fmt(s.ssbw), fmt(s.erpw), s.erph,
                 s.ejph, fmt(s.tpih), fmt(s.bpih), fmt(s.W + 50)});
        for (const std::string& code : thicknessOrder)
            for (int v : thickness[code])
                db.insert("INSERT INTO plate_thick_setup (VATCODE, SVALUE) VALUES (?,?)", {code, std::to_string(v)});

        std::set<std::string> eyeboltPlates;
        for (const Fields& f : readCsv(dir, "eyebolts.csv", 4)) {
            double from = number(f[0], "eyebolts.csv"), to = number(f[1], "eyebolts.csv");
            db.insert("INSERT INTO MODE_EYEBOLT_INFO (mcodef, mcodet, platename, itemvalue) VALUES (?,?,?,?)",
                      {fmt(from * 10000), fmt(to * 10000 + 9999), f[2], "\x02" + f[3]});
            eyeboltPlates.insert(f[2]);
        }
        for (const Fields& f : readCsv(dir, "laling.csv", 7)) {
            double from = number(f[0], "laling.csv"), to = number(f[1], "laling.csv");
            bool a = f[2] == "A";
            const std::string none = "\x01NULL";
            db.insert(
                "INSERT INTO MODE_LALING_SETUP (mcodef, mcodet, GROUPCODE, attribute1, attribute2, attribute3, "
                "attribute4) VALUES (?,?,?,?,?,?,?)",
                {fmt(from * 10000), fmt(to * 10000 + 9999), f[2], a ? f[3] : none, a ? none : f[4], a ? f[5] : none,
                 f[6]});
        }

        // Processes and their three parameters.
        std::map<std::string, int> procId;
        for (const HoleRule& r : rules)
            if (!procId.count(r.process)) {
                int id = static_cast<int>(procId.size()) + 1;
                procId[r.process] = id;
                db.insert("INSERT INTO base_proc (proc_id, proc_name) VALUES (?,?)", {std::to_string(id), r.process});
                const char* paras[] = {"X值", "Y值", "直径"};
                for (int k = 0; k < 3; ++k)
                    db.insert("INSERT INTO base_proc_detail (para_id, proc_id, para_name) VALUES (?,?,?)",
                              {std::to_string(id * 10 + k + 1), std::to_string(id), paras[k]});
            }
        // The eyebolt process exists for the block table; its holes come from the
        // eyebolt rules, never from hole rows.
        {
            int id = static_cast<int>(procId.size()) + 1;
            procId["拉令孔"] = id;
            db.insert("INSERT INTO base_proc (proc_id, proc_name) VALUES (?,?)", {std::to_string(id), "拉令孔"});
        }

        for (const Size& s : sizes) {
            std::string modelId = s.code;
            for (char& c : modelId)
                if (c == 'M') c = '0';
            for (const HoleRule& r : rules) {
                bool mirrored = locationOf.count(r.plate) && locationOf[r.plate] == "上模";
                std::vector<Point> pts = layoutPoints(r.layout, s, mirrored);
                int id = procId[r.process];
                for (size_t h = 0; h < pts.size(); ++h)
                    for (size_t k = 0; k < r.steps.size(); ++k) {
                        double values[3] = {pts[h].x, pts[h].y, stepDiameter(r.steps[k], s)};
                        for (int p = 0; p < 3; ++p)
                            db.insert(
                                "INSERT INTO base_plate_proc_detail (style, itemType, model_id, model, plate_name, g_c, "
                                "gg_c, para_id, para_val) VALUES ('S',1,?,?,?,?,?,?,?)",
                                {"\x02" + modelId, "\x02" + r.model, r.plate, std::to_string(k + 1),
                                 std::to_string(h + 1), std::to_string(id * 10 + p + 1), fmt(values[p])});
                    }
            }
        }

        // Block names: every process on every plate it drills, in both views.
        std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> blocks;
        for (const HoleRule& r : rules) {
            auto key = std::make_pair(r.plate, r.process);
            auto val = std::make_pair(r.block, r.reversed);
            auto it = blocks.find(key);
            if (it != blocks.end() && it->second != val)
                throw Failure("holes.csv: " + r.process + " on " + r.plate + " names two different blocks");
            blocks[key] = val;
        }
        for (const std::string& plate : eyeboltPlates) blocks[{plate, "拉令孔"}] = {"EB", ""};
        for (const auto& b : blocks)
            for (const char* view : {"A1", "A3"}) {
                db.insert("INSERT INTO STANDITEMBLOCKSETUP (PLATENAME, ITEMTYPENAME, INSTALLWAY, FACEDIR, blockname) "
                          "VALUES (?,?,?,?,?)",
                          {b.first.first, b.first.second, "1", view, b.second.first + "-" + view});
                if (b.first.second == "导柱") {
                    if (b.second.second.empty())
                        throw Failure("holes.csv: 导柱 on " + b.first.first + " needs a reversed block");
                    db.insert("INSERT INTO STANDITEMBLOCKSETUP (PLATENAME, ITEMTYPENAME, INSTALLWAY, FACEDIR, "
                              "blockname) VALUES (?,?,?,?,?)",
                              {b.first.first, b.first.second, "0", view, b.second.second + "-" + view});
                }
            }
        for (const auto& [codeAndStyle, fit] : lockFits)
            for (const auto& [size, edges] : fit)
                for (const std::string& pair : edges)
                    db.insert("INSERT INTO MODE_LOCK_FIT (MCODE, MTYPE, size, edges) VALUES (?,?,?,?)",
                              {"\x02" + codeAndStyle.first, codeAndStyle.second, size, pair});
        for (const Fields& f : readCsv(dir, "locks.csv", 4))
            db.insert("INSERT INTO STANDITEMBLOCKSETUP (PLATENAME, ITEMTYPENAME, INSTALLWAY, FACEDIR, blockname) "
                      "VALUES (?,?,?,?,?)",
                      {f[0], f[1], "1", f[2], f[3]});

        // The order list's tables, checked against the plates and processes above.
        class Sink : public CatalogueSink {
        public:
            Sink(Db& db, const std::string& dir) : db_(db), dir_(dir) {}
            std::vector<Fields> csv(const std::string& name, size_t columns) override {
                return readCsv(dir_, name, columns);
            }
            std::string text(const std::string& name) override { return readText(dir_ + "/" + name); }
            void exec(const std::string& sql) override { db_.exec(sql); }
            void insert(const std::string& sql, const std::vector<std::string>& values) override {
                db_.insert(sql, values);
            }

        private:
            Db& db_;
            const std::string& dir_;
        } sink(db, dir);
        std::set<std::string> plateNames = {"方铁"}, processNames = {"拉令孔"};
        for (const Style& st : styles)
            for (const auto& p : st.plates) plateNames.insert(p.first);
        for (const HoleRule& r : rules) processNames.insert(r.process);
        writeOrderTables(sink, plateNames, processNames);
        db.finish();
        db.exec("COMMIT");
    }
    if (std::rename(tmp.c_str(), outPath.c_str()) != 0) throw Failure("cannot rename " + tmp + " to " + outPath);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: catalogue_gen SOURCE_DIR LOCK_SHAPES.csv OUTPUT.db\n");
        return 2;
    }
    try {
        build(argv[1], argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "catalogue_gen: %s\n", e.what());
        std::remove((std::string(argv[3]) + ".tmp").c_str());
        return 1;
    }
    return 0;
}
