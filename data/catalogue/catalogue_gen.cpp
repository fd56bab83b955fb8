// catalogue_gen: builds the mould base catalogue ZDTSTANDARDMOULD.db from the text
// sources in data/catalogue (schema.sql and the *.csv tables and rules).
//
//   catalogue_gen SOURCE_DIR LOCK_SHAPES.csv OUTPUT.db
//
// The sizes, thickness codes, plate lists, eyebolt rules and locks are copied as
// they stand; the machining holes are laid out for every mould code from the
// rules of holes.csv and the standard parts of parts.csv, and the whole layout is
// checked (layout_checks.h) before anything is written. Each hole block's form is
// written to HOLE_FORM for every plate thickness it can be drawn in; the lock
// sizes that fit each code and style are worked out from the same layout and the
// lock shapes (lock_fit.h). The database is written to a temporary file and
// renamed over the output, so a failed run never leaves a half-built catalogue
// behind.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue_sources.h"
#include "hole_layout.h"
#include "layout_checks.h"
#include "lock_fit.h"
#include "order_tables.h"

namespace {

using namespace catalogue;

class Db {
public:
    explicit Db(const std::string& path) {
        std::remove(path.c_str());
        if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) throw Failure("cannot create " + path);
    }
    ~Db() {
        finish();
        sqlite3_close(db_);
    }
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

// The block stems of each process on each plate, by install way; a process
// without a reversed line uses its normal block both ways.
struct Blocks {
    std::string normal, reversed;
    const HoleRule* reversedRule = nullptr;
};

std::map<std::pair<std::string, std::string>, Blocks> blockStems(const Sources& src) {
    std::map<std::pair<std::string, std::string>, Blocks> blocks;
    for (const HoleRule& r : src.rules) {
        Blocks& b = blocks[{r.plate, r.process}];
        std::string& name = r.install == 1 ? b.normal : b.reversed;
        if (!name.empty() && name != r.block)
            throw Failure("holes.csv: " + r.process + " on " + r.plate + " names two different blocks");
        name = r.block;
        if (r.install == 0) b.reversedRule = &r;
    }
    for (auto& b : blocks) {
        if (b.second.normal.empty())
            throw Failure("holes.csv: " + b.first.second + " on " + b.first.first + " has no normal (install 1) line");
        if (b.second.reversed.empty()) b.second.reversed = b.second.normal;
    }
    return blocks;
}

// Every code of each series with every style of that series and the layout of
// the style's family; fn(size, style, family, layout).
template <typename Fn>
void forEachCodeAndStyle(const Sources& src, Fn fn) {
    for (const std::vector<Size>* sizes : {&src.sizes, &src.pinSizes})
        for (const Size& s : *sizes) {
            std::map<char, CodeLayout> layouts;
            for (const Style& st : src.styles) {
                if ((st.series == kPinPoint) != s.pinPoint) continue;
                const char family = familyOf(st.name);
                auto layout = layouts.find(family);
                if (layout == layouts.end()) layout = layouts.emplace(family, layoutCode(src, s, family)).first;
                fn(s, st, family, layout->second);
            }
        }
}

// Every (block stem, nominal diameter, plate thickness) the catalogue can draw,
// with its form; one form per key, or the catalogue is refused.
using FormKey = std::tuple<std::string, int, int>;

void addForm(std::map<FormKey, HoleForm>& forms, const FormKey& key, const HoleForm& form, const std::string& where) {
    auto found = forms.emplace(key, form);
    if (!(found.first->second == form))
        throw Failure(where + ": the block " + std::to_string(std::get<1>(key)) + std::get<0>(key) + " in a plate " +
                      std::to_string(std::get<2>(key)) + " thick would draw two different holes");
}

std::map<FormKey, HoleForm> holeForms(const Sources& src) {
    const auto blocks = blockStems(src);
    std::map<FormKey, HoleForm> forms;
    forEachCodeAndStyle(src, [&](const Size& s, const Style& st, char family, const CodeLayout& layout) {
        std::vector<std::string> plates;
        for (const auto& p : st.plates) {
            if (p.first == "方铁R") continue;
            plates.push_back(p.first == "方铁L" ? "方铁" : p.first);
        }
        for (const std::string& plate : plates) {
            const std::vector<int> thicknesses = plateThicknesses(src, s, plate);
            for (const PlacedHole& h : plateHoles(src, s, layout, family, st.name, plate)) {
                const std::string where = s.code + " " + st.name + " " + plate + " " + h.process;
                const int nominal = nominalDiameter(h.steps);
                const Blocks& b = blocks.at({plate, h.process});
                for (int t : thicknesses) {
                    addForm(forms, {h.block, nominal, t}, formInPlate(src, h, t, s), where);
                    if (b.reversedRule != nullptr)
                        addForm(forms, {b.reversed, nominal, t}, ruleForm(src, *b.reversedRule, s), where);
                }
            }
            for (int t : thicknesses)
                for (const PlacedEyebolt& e : plateEyebolts(src, s, plate, t)) {
                    const int nominal = nominalDiameter({e.size});
                    addForm(forms, {"EB", nominal, t}, eyeboltForm(src, e.size), s.code + " " + plate + " 拉令孔");
                }
        }
    });
    return forms;
}

// Lock size -> the edge pairs it fits on, per code and style: the A and B
// plates' holes and the eyebolt holes of every thickness they can be chosen in
// are what a lock's seat must keep clear of.
using LockFits = std::map<std::pair<std::string, std::string>, std::map<std::string, std::set<std::string>>>;

LockFits lockFits(const Sources& src, const std::string& dir, const std::string& lockShapesPath) {
    // The plan view's lock blocks are the ones whose footprint takes room in the plate.
    std::vector<Fields> planLocks;
    for (const Fields& f : readCsv(dir, "locks.csv", 4))
        if (f[2] == "A1") planLocks.push_back({f[0], f[1], f[3]});
    const size_t slash = lockShapesPath.rfind('/');
    const LockFitter lockFitter(planLocks,
                                readCsv(slash == std::string::npos ? "." : lockShapesPath.substr(0, slash),
                                        lockShapesPath.substr(slash + 1), 5));
    LockFits fits;
    forEachCodeAndStyle(src, [&](const Size& s, const Style& st, char family, const CodeLayout& layout) {
        std::map<std::string, std::vector<LockFitHole>> lockPlates;
        for (const auto& p : st.plates) {
            if (p.first != "A板" && p.first != "B板") continue;
            std::vector<LockFitHole>& seatHoles = lockPlates[p.first];  // a plate without holes still seats locks
            for (const PlacedHole& h : plateHoles(src, s, layout, family, st.name, p.first))
                seatHoles.push_back({h.c.x, h.c.y, h.radius()});
            for (int t : plateThicknesses(src, s, p.first))
                for (const PlacedEyebolt& e : plateEyebolts(src, s, p.first, t)) {
                    const Box b = eyeboltFootprint(src, e);
                    seatHoles.push_back({(b.x0 + b.x1) / 2, (b.y0 + b.y1) / 2, 0, (b.x1 - b.x0) / 2, (b.y1 - b.y0) / 2});
                }
        }
        fits[{s.code, st.name}] = lockFitter.fits(s.W, s.L, lockPlates);
    });
    return fits;
}

void build(const std::string& dir, const std::string& lockShapesPath, const std::string& outPath) {
    const Sources src = readSources(dir);
    checkCatalogue(src);
    const std::map<FormKey, HoleForm> forms = holeForms(src);
    const LockFits locksThatFit = lockFits(src, dir, lockShapesPath);

    const std::string tmp = outPath + ".tmp";
    {
        Db db(tmp);
        db.exec(readText(dir + "/schema.sql"));
        db.exec("BEGIN");
        for (const Style& st : src.styles)
            for (size_t i = 0; i < st.plates.size(); ++i)
                db.insert("INSERT INTO MODEL_PLATE_LIST (MTYPE, platename, slocation, sortnumber) VALUES (?,?,?,?)",
                          {st.name, st.plates[i].first, st.plates[i].second, std::to_string(i + 1)});
        std::map<std::string, const Size*> pinPoint;
        for (const Size& s : src.pinSizes) pinPoint[s.code] = &s;
        for (const Size& s : src.sizes) {
            auto p = pinPoint.find(s.code);
            const std::string none = "\x01NULL";
            db.insert(
                "INSERT INTO MODE_PLATE_SIZE (MCODE, sapw, sapl, abplate_h, fplate_h, stph, suph, ssbw, erpw, erph, "
                "ejph, tpih, bpih, tpiw, rsph, tpph) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                {"\x02" + s.code, fmt(s.W), fmt(s.L), s.ab, s.fp, fmt(s.stph), fmt(s.suph), fmt(s.ssbw), fmt(s.erpw), s.erph,
                 s.ejph, fmt(s.tpih), fmt(s.bpih), fmt(s.W + 50), p == pinPoint.end() ? none : p->second->rs,
                 p == pinPoint.end() ? none : p->second->tp});
            db.insert("INSERT INTO MODE_SERIES_CODE (SERIES, MCODE) VALUES (?,?)", {kSideGate, "\x02" + s.code});
            if (p != pinPoint.end())
                db.insert("INSERT INTO MODE_SERIES_CODE (SERIES, MCODE) VALUES (?,?)", {kPinPoint, "\x02" + s.code});
        }
        for (const Style& st : src.styles)
            db.insert("INSERT INTO MODE_SERIES_TYPE (SERIES, MTYPE) VALUES (?,?)", {st.series, st.name});
        for (const std::string& code : src.thicknessOrder)
            for (int v : src.thickness.at(code))
                db.insert("INSERT INTO plate_thick_setup (VATCODE, SVALUE) VALUES (?,?)", {code, std::to_string(v)});

        std::set<std::string> eyeboltPlates;
        for (const EyeboltRule& e : src.eyebolts) {
            db.insert("INSERT INTO MODE_EYEBOLT_INFO (mcodef, mcodet, platename, itemvalue) VALUES (?,?,?,?)",
                      {fmt(e.widthFrom * 10000), fmt(e.widthTo * 10000 + 9999), e.plate, "\x02" + e.size});
            eyeboltPlates.insert(e.plate);
        }
        for (const LalingRule& l : src.laling) {
            const bool a = l.group == "A";
            const std::string none = "\x01NULL";
            db.insert(
                "INSERT INTO MODE_LALING_SETUP (mcodef, mcodet, GROUPCODE, attribute1, attribute2, attribute3, "
                "attribute4) VALUES (?,?,?,?,?,?,?)",
                {fmt(l.widthFrom * 10000), fmt(l.widthTo * 10000 + 9999), l.group, a ? fmt(l.threshold) : none,
                 fmt(l.movex), a ? std::to_string(l.thin) : none, std::to_string(l.thick)});
        }

        // Processes and their three parameters.
        std::map<std::string, int> procId;
        for (const HoleRule& r : src.rules)
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

        std::set<std::string> rulePlates;
        for (const HoleRule& r : src.rules) rulePlates.insert(r.plate);
        // The rows of each family carry its letter: the module finds a style's
        // holes by the style's first letter ("style like '%D%'"). A rule that
        // lays its holes out alike in several families is written once, with
        // all their letters, so a code's rows stay few for every family.
        using Family = std::pair<const Size*, char>;
        auto holeRows = [&](const std::string& code, const std::vector<Family>& families) {
            std::string modelId = code;
            for (char& c : modelId)
                if (c == 'M') c = '0';
            // rule -> plate -> its holes, with the families that lay them out so
            std::map<std::pair<const HoleRule*, std::string>, std::vector<std::pair<std::string, std::vector<PlacedHole>>>>
                laidOut;
            for (const auto& [size, family] : families) {
                const Size& s = *size;
                const CodeLayout layout = layoutCode(src, s, family);
                // Every rule of the plate whatever its styles: the rows carry them.
                for (const std::string& plate : rulePlates) {
                    std::map<const HoleRule*, std::vector<PlacedHole>> byRule;
                    for (const PlacedHole& h : plateHoles(src, s, layout, family, "", plate)) byRule[h.rule].push_back(h);
                    for (auto& [rule, holes] : byRule) {
                        auto& variants = laidOut[{rule, plate}];
                        auto same = std::find_if(variants.begin(), variants.end(), [&](const auto& v) {
                            return std::equal(v.second.begin(), v.second.end(), holes.begin(), holes.end(),
                                              [](const PlacedHole& a, const PlacedHole& b) {
                                                  return a.c.x == b.c.x && a.c.y == b.c.y && a.steps == b.steps &&
                                                         a.model == b.model;
                                              });
                        });
                        if (same != variants.end()) same->first += family;
                        else variants.push_back({std::string(1, family), holes});
                    }
                }
            }
            for (const auto& [rulePlate, variants] : laidOut)
                for (const auto& [letters, holes] : variants)
                    for (const PlacedHole& h : holes) {
                        const int id = procId.at(h.process);
                        for (size_t k = 0; k < h.steps.size(); ++k) {
                            const double values[3] = {h.c.x, h.c.y, h.steps[k]};
                            for (int p = 0; p < 3; ++p)
                                db.insert(
                                    "INSERT INTO base_plate_proc_detail (style, itemType, model_id, model, plate_name, "
                                    "g_c, gg_c, para_id, para_val) VALUES (?,1,?,?,?,?,?,?,?)",
                                    {letters, "\x02" + modelId, "\x02" + h.model, rulePlate.second,
                                     std::to_string(k + 1), std::to_string(h.number), std::to_string(id * 10 + p + 1),
                                     fmt(values[p])});
                        }
                    }
        };
        for (const Size& s : src.sizes) {
            std::vector<Family> families = {{&s, 'S'}};
            auto p = pinPoint.find(s.code);
            if (p != pinPoint.end()) families.insert(families.end(), {{p->second, 'D'}, {p->second, 'J'}});
            holeRows(s.code, families);
        }

        // The machining statement picks a plate's holes by its name with a LIKE
        // between wildcards (plate_name like '%%A板%%', the wildcards doubled as
        // the module writes them), which no ordinary index serves: each plate's
        // statement would read every hole row of the code. A partial index per
        // plate whose condition is that very filter hands SQLite the plate's
        // rows alone; SQLite takes it only for a query carrying the same term,
        // so it changes no other query and no result.
        std::set<std::string> machinedPlates = rulePlates;
        machinedPlates.insert("方铁");  // the spacer plate the module derives from the B plate
        for (const Style& st : src.styles)
            for (const auto& p : st.plates) machinedPlates.insert(p.first);
        for (const std::string& plate : machinedPlates) {
            std::string quoted;
            for (char c : plate) quoted += c == '\'' ? std::string("''") : std::string(1, c);
            std::string name;
            for (char c : plate) name += c == '"' ? std::string("\"\"") : std::string(1, c);
            db.exec("CREATE INDEX \"machining_" + name + "\" ON base_plate_proc_detail (model_id, itemType) WHERE "
                    "plate_name like '%%" + quoted + "%%'");
        }

        // Block names: every process on every plate it drills, in both views;
        // the guide pillars also for reversed pillars.
        auto blockRow = [&](const std::string& plate, const std::string& item, int way, const std::string& stem) {
            for (const char* view : {"A1", "A3"})
                db.insert("INSERT INTO STANDITEMBLOCKSETUP (PLATENAME, ITEMTYPENAME, INSTALLWAY, FACEDIR, blockname) "
                          "VALUES (?,?,?,?,?)",
                          {plate, item, std::to_string(way), view, stem + "-" + view});
        };
        for (const auto& b : blockStems(src)) {
            blockRow(b.first.first, b.first.second, 1, b.second.normal);
            if (b.first.second == "导柱") blockRow(b.first.first, b.first.second, 0, b.second.reversed);
        }
        for (const std::string& plate : eyeboltPlates) blockRow(plate, "拉令孔", 1, "EB");
        for (const Fields& f : readCsv(dir, "locks.csv", 4))
            db.insert("INSERT INTO STANDITEMBLOCKSETUP (PLATENAME, ITEMTYPENAME, INSTALLWAY, FACEDIR, blockname) "
                      "VALUES (?,?,?,?,?)",
                      {f[0], f[1], "1", f[2], f[3]});
        for (const auto& [codeAndStyle, fit] : locksThatFit)
            for (const auto& [size, edges] : fit)
                for (const std::string& pair : edges)
                    db.insert("INSERT INTO MODE_LOCK_FIT (MCODE, MTYPE, size, edges) VALUES (?,?,?,?)",
                              {"\x02" + codeAndStyle.first, codeAndStyle.second, size, pair});

        for (const auto& f : forms) {
            const HoleForm& h = f.second;
            db.insert("INSERT INTO HOLE_FORM (blockstem, diameter, thickness, kind, face, bore, threaded, tapdrill, "
                      "through, depth, drilldepth, cbdia, cbdepth) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                      {std::get<0>(f.first), std::to_string(std::get<1>(f.first)), std::to_string(std::get<2>(f.first)),
                       h.kind, h.face, fmt(h.bore), h.threaded ? "1" : "0", fmt(h.tapDrill), h.through ? "1" : "0",
                       fmt(h.depth), fmt(h.drillDepth), fmt(h.cbDia), fmt(h.cbDepth)});
        }

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
        OrderCatalogue order;
        order.plates = {"方铁"};
        order.processes = {"拉令孔"};
        for (const Style& st : src.styles) {
            order.styles.insert(st.name);
            for (const auto& p : st.plates) order.plates.insert(p.first);
        }
        for (const HoleRule& r : src.rules) order.processes.insert(r.process);
        for (const Size& s : src.sizes) order.partSizes[s.code] = s.vars;
        // A code's pin-point parts under their own names; its D styles' A/B
        // guide pillar is dgp, beside the side-gate series' gp of the same code.
        for (const Size& s : src.pinSizes) {
            std::map<std::string, double>& sizes = order.partSizes[s.code];
            for (const char* name : {"sp", "spg", "pb", "pbs", "pbk", "pbcb", "sb", "sbs", "sbcb", "s1", "s2"})
                sizes[name] = s.var(name);
            sizes["dgp"] = s.var("gp");
        }
        writeOrderTables(sink, order);
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
