// blockres_gen: writes the standard part drawings of BlockRes (DXF text under the
// .dwg names the module asks for) with the project's own DXF writer.
//
//   blockres_gen CATALOGUE.db SOURCE_DIR OUTPUT_DIR
//
// The catalogue decides what must exist: for every hole block name of
// STANDITEMBLOCKSETUP, one drawing per nominal diameter the catalogue's holes
// (or eyebolt sizes) give that process on that plate; for every lock block name
// its edge drawings (four in plan, three in the side view); and the datum
// marks DA1 and DA2. blocks.csv and
// locks.csv give the shapes. A block name without a shape fails the build, so
// the catalogue and the drawings cannot drift apart.
#include <sqlite3.h>

#include <algorithm>
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

#include "vrxdb.h"
#include "vrxdbents.h"
#include "vrxdxf.h"

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::vector<std::vector<std::string>> readCsv(const std::string& path, size_t columns) {
    std::ifstream in(path);
    if (!in) throw Failure("cannot read " + path);
    std::vector<std::vector<std::string>> rows;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (header) { header = false; continue; }
        std::vector<std::string> f(1);
        for (char c : line)
            if (c == ',' && f.size() < columns) f.emplace_back();
            else if (c != '\r') f.back() += c;
        if (f.size() != columns) throw Failure(path + ": bad line '" + line + "'");
        rows.push_back(f);
    }
    return rows;
}

std::wstring wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }  // ASCII names only

// A drawing in millimetres around its insertion point.
class Drawing {
public:
    void line(double x1, double y1, double x2, double y2, uint16_t colour = 7) {
        auto* e = new VRxDbLine(VRxGePoint3d(x1, y1), VRxGePoint3d(x2, y2));
        e->setColorIndex(colour);
        db_.addEntityTo(db_.modelSpaceId(), e);
    }
    void circle(double r, uint16_t colour = 7, double cx = 0, double cy = 0) {
        auto* e = new VRxDbCircle(VRxGePoint3d(cx, cy), VRxGeVector3d::kZAxis, r);
        e->setColorIndex(colour);
        db_.addEntityTo(db_.modelSpaceId(), e);
    }
    void arc(double r, double from, double to, uint16_t colour = 7) {
        auto* e = new VRxDbArc(VRxGePoint3d(0, 0), r, from, to);
        e->setColorIndex(colour);
        db_.addEntityTo(db_.modelSpaceId(), e);
    }
    void save(const std::string& path) {
        std::wstring error;
        if (VRxDxf::writeDxfFile(db_, wide(path), error) != Vrx::eOk)
            throw Failure("cannot write " + path + ": " + std::string(error.begin(), error.end()));
    }

private:
    VRxDbDatabase db_;
};

struct HoleShape {
    double cbDepth, length;
    bool thread;
};

const double kPi = 3.14159265358979323846;

// Plan view: the steps as circles and a centre cross through them.
void planView(Drawing& d, const std::vector<double>& steps, bool thread) {
    for (double s : steps) {
        if (thread && s == steps.front()) {
            d.circle(0.85 * s / 2);  // tap drill
            d.arc(s / 2, 0, 1.5 * kPi, 8);  // thread
        } else {
            d.circle(s / 2);
        }
    }
    double c = 0.65 * steps.back() + 2;
    d.line(-c, 0, c, 0, 1);
    d.line(0, -c, 0, c, 1);
}

// Side view: the section from the top face down, widest step on top.
void sideView(Drawing& d, const std::vector<double>& steps, const HoleShape& shape) {
    const double nominal = steps.front();
    std::vector<double> widths(steps.rbegin(), steps.rend());
    std::vector<double> depths;
    for (size_t i = 0; i < widths.size(); ++i) {
        bool last = i + 1 == widths.size();
        double cb = shape.cbDepth > 0 ? shape.cbDepth : 0.25;
        depths.push_back((last ? shape.length : cb) * nominal);
    }
    double total = 0;
    for (double h : depths) total += h;
    double y = total / 2;
    for (size_t i = 0; i < widths.size(); ++i) {
        double w = widths[i] / 2;
        if (shape.thread && i + 1 == widths.size()) {
            double drill = 0.85 * w;
            d.line(-drill, y, -drill, y - depths[i]);
            d.line(drill, y, drill, y - depths[i]);
            d.line(-w, y, -w, y - depths[i], 8);
            d.line(w, y, w, y - depths[i], 8);
            w = drill;
        } else {
            d.line(-w, y, -w, y - depths[i]);
            d.line(w, y, w, y - depths[i]);
        }
        y -= depths[i];
        double next = i + 1 < widths.size() ? widths[i + 1] / 2 : 0;
        d.line(-w, y, -next, y);
        d.line(next, y, w, y);
    }
    d.line(0, total / 2 + 2, 0, -total / 2 - 2, 1);
}

// A lock on one edge: along the edge its length, across it its width, part of
// it standing out of the plate; the male half with a tongue, the female with
// the matching groove, and its two screws.
void lockView(Drawing& d, const std::string& side, double length, double width, double tongue, bool male) {
    double ax = 1, ay = 0, ux = 0, uy = 1;  // along the edge, outward
    if (side == "B") uy = -1;
    if (side == "L") { ax = 0; ay = 1; ux = -1; uy = 0; }
    if (side == "R") { ax = 0; ay = 1; ux = 1; uy = 0; }
    auto seg = [&](double p1, double q1, double p2, double q2, uint16_t colour = 7) {
        d.line(p1 * ax + q1 * ux, p1 * ay + q1 * uy, p2 * ax + q2 * ux, p2 * ay + q2 * uy, colour);
    };
    const double l = length / 2, in = -0.6 * width, out = 0.4 * width, t = tongue / 2;
    seg(-l, in, l, in);
    seg(l, in, l, out);
    seg(-l, in, -l, out);
    if (male) {
        seg(-l, out, -t, out);
        seg(t, out, l, out);
        seg(-t, out, -t, out + t);
        seg(t, out, t, out + t);
        seg(-t, out + t, t, out + t);
    } else {
        seg(-l, out, -t, out);
        seg(t, out, l, out);
        seg(-t, out, -t, out - t);
        seg(t, out, t, out - t);
        seg(-t, out - t, t, out - t);
    }
    // Screw holes and the edge line of the plate.
    for (double p : {-l * 0.6, l * 0.6}) {
        double cx = p * ax + in / 2 * ux, cy = p * ay + in / 2 * uy;
        // Cap screw, M6 where the lock is wide enough, smaller on the thin locks.
        const double head = std::min(5.5, 0.25 * width);
        for (double r : {0.62 * head, head}) d.circle(r, 7, cx, cy);
        const double c = std::min(5.5, 0.25 * width) + 1.5;
        seg(p - c, in / 2, p + c, in / 2, 1);
        seg(p, in / 2 - c, p, in / 2 + c, 1);
    }
    seg(-l - 3, 0, l + 3, 0, 1);
}

// A lock in the side view, standing on the parting face (y = 0): the male half
// above it with its tongue reaching down past it, the female half below with
// the groove that takes the tongue. On the front edge (B) it shows face-on,
// along the edge; at the left and right ends (L, R) in profile, its width
// running out of the plate. The screws go in upright: their axes.
void lockSideView(Drawing& d, const std::string& side, double length, double width, double tongue, double height,
                  bool male) {
    const double up = male ? 1 : -1;  // the half's body from the parting face
    const double h = height, t = tongue;
    if (side == "B") {
        const double l = length / 2;
        d.line(-l, 0, -l, up * h);
        d.line(l, 0, l, up * h);
        d.line(-l, up * h, l, up * h);
        if (male) d.line(-l, 0, l, 0);
        else { d.line(-l, 0, -t / 2, 0); d.line(t / 2, 0, l, 0); }
        d.line(-t / 2, 0, -t / 2, -t);
        d.line(t / 2, 0, t / 2, -t);
        d.line(-t / 2, -t, t / 2, -t);
        for (double p : {-0.3 * length, 0.3 * length}) d.line(p, male ? -1.5 : 1.5, p, up * (h + 1.5), 1);
        return;
    }
    const double out = side == "L" ? -1 : 1;  // outward, away from the plate
    const double in = -0.6 * width * out, outer = 0.4 * width * out;
    const double bottom = male ? -t : -h, top = male ? h : 0;
    d.line(in, bottom, outer, bottom);
    d.line(outer, bottom, outer, top);
    d.line(outer, top, in, top);
    d.line(in, top, in, bottom);
    if (male) d.line(in, 0, outer, 0);  // the shoulder over the tongue
    d.line(in / 2, bottom - 1.5, in / 2, top + 1.5, 1);
}

// Datum mark: a triangle on a short stem, pointing at the plate corner it marks
// (DA1 to the lower right of lower-half plates, DA2 mirrored for the upper half).
void datumMark(Drawing& d, bool mirrored) {
    const double s = mirrored ? -1 : 1;
    d.line(0, 0, -s * 6, 3);
    d.line(-s * 6, 3, -s * 6, -3);
    d.line(-s * 6, -3, 0, 0);
    d.line(0, 0, s * 10, 0);
    d.line(s * 10, 0, s * 10, -6);
    d.line(s * 10, -6, s * 22, -6);
}

int roundHalfAway(double v) { return static_cast<int>(v >= 0 ? std::floor(v + 0.5) : std::ceil(v - 0.5)); }

void run(const std::string& dbPath, const std::string& srcDir, const std::string& outDir) {
    std::map<std::string, HoleShape> shapes;
    for (const auto& f : readCsv(srcDir + "/blocks.csv", 5))
        shapes[f[0]] = {std::strtod(f[1].c_str(), nullptr), std::strtod(f[2].c_str(), nullptr), f[3] == "y"};
    std::map<std::string, std::vector<double>> locks;
    for (const auto& f : readCsv(srcDir + "/locks.csv", 5))
        locks[f[0]] = {std::strtod(f[1].c_str(), nullptr), std::strtod(f[2].c_str(), nullptr),
                       std::strtod(f[3].c_str(), nullptr), std::strtod(f[4].c_str(), nullptr)};

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw Failure("cannot open " + dbPath);
    }
    auto query = [&](const std::string& sql, const std::vector<std::string>& args) {
        std::vector<std::vector<std::string>> rows;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw Failure(std::string("catalogue query failed: ") + sqlite3_errmsg(db));
        for (size_t i = 0; i < args.size(); ++i)
            sqlite3_bind_text(st, static_cast<int>(i + 1), args[i].c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::vector<std::string> r;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                const unsigned char* t = sqlite3_column_text(st, c);
                r.push_back(t ? reinterpret_cast<const char*>(t) : "");
            }
            rows.push_back(r);
        }
        sqlite3_finalize(st);
        return rows;
    };

    std::set<std::string> processes;
    for (const auto& r : query("SELECT proc_name FROM base_proc", {})) processes.insert(r[0]);

    // The steps of every hole block by nominal diameter.
    std::map<std::string, std::map<int, std::set<double>>> holeBlocks;
    std::set<std::string> lockBlocks;
    int written = 0;
    for (const auto& b : query("SELECT PLATENAME, ITEMTYPENAME, blockname FROM STANDITEMBLOCKSETUP", {})) {
        const std::string &plate = b[0], &item = b[1], &block = b[2];
        if (!processes.count(item)) {
            lockBlocks.insert(block);
            continue;
        }
        std::vector<std::vector<double>> holes;
        if (item == "拉令孔") {
            for (const auto& r : query("SELECT DISTINCT itemvalue FROM MODE_EYEBOLT_INFO WHERE platename = ?1", {plate}))
                holes.push_back({std::strtod(r[0].c_str(), nullptr)});
        } else {
            auto rows = query(
                "SELECT p.model_id || '/' || p.model || '/' || p.gg_c, p.para_val FROM base_plate_proc_detail p"
                " JOIN base_proc_detail d ON p.para_id = d.para_id JOIN base_proc b ON d.proc_id = b.proc_id"
                " WHERE p.plate_name = ?1 AND b.proc_name = ?2 AND d.para_name = '直径' AND p.itemType = 1",
                {plate, item});
            std::map<std::string, std::vector<double>> byHole;
            for (const auto& r : rows) byHole[r[0]].push_back(std::strtod(r[1].c_str(), nullptr));
            for (auto& h : byHole) holes.push_back(h.second);
        }
        for (auto& steps : holes) {
            double smallest = *std::min_element(steps.begin(), steps.end());
            auto& set = holeBlocks[block][roundHalfAway(smallest)];
            set.insert(steps.begin(), steps.end());
        }
    }
    sqlite3_close(db);

    for (const auto& hb : holeBlocks) {
        const std::string& block = hb.first;
        size_t dash = block.rfind('-');
        if (dash == std::string::npos) throw Failure("block name " + block + " carries no view code");
        const std::string stem = block.substr(0, dash), view = block.substr(dash + 1);
        auto shape = shapes.find(stem);
        if (shape == shapes.end()) throw Failure("blocks.csv has no shape for " + block);
        for (const auto& nd : hb.second) {
            std::vector<double> steps(nd.second.begin(), nd.second.end());
            // A hole smaller than the nominal diameter's rounding still draws its own steps.
            Drawing d;
            if (view == "A1") planView(d, steps, shape->second.thread);
            else sideView(d, steps, shape->second);
            d.save(outDir + "/" + std::to_string(nd.first) + block + ".dwg");
            ++written;
        }
    }
    // Plan view locks on all four edges; side view locks ("-A3") on the edges
    // the side view shows.
    const std::string sideViewTail = "-A3";
    for (const std::string& block : lockBlocks) {
        const bool sideView = block.size() > sideViewTail.size() &&
                              block.compare(block.size() - sideViewTail.size(), sideViewTail.size(), sideViewTail) == 0;
        const std::string stem = sideView ? block.substr(0, block.size() - sideViewTail.size()) : block;
        auto lock = locks.find(stem);
        if (lock == locks.end()) throw Failure("locks.csv has no shape for " + block);
        const std::vector<double>& z = lock->second;
        bool male = stem.back() == 'M';
        for (const char* side : sideView ? std::vector<const char*>{"B", "L", "R"}
                                         : std::vector<const char*>{"T", "B", "L", "R"}) {
            Drawing d;
            if (sideView) lockSideView(d, side, z[0], z[1], z[2], z[3], male);
            else lockView(d, side, z[0], z[1], z[2], male);
            d.save(outDir + "/" + block + "-" + side + ".dwg");
            ++written;
        }
    }
    for (const char* mark : {"DA1", "DA2"}) {
        Drawing d;
        datumMark(d, std::string(mark) == "DA2");
        d.save(outDir + "/" + mark + ".dwg");
        ++written;
    }
    std::printf("blockres_gen: %d drawings in %s\n", written, outDir.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: blockres_gen CATALOGUE.db SOURCE_DIR OUTPUT_DIR\n");
        return 2;
    }
    try {
        run(argv[1], argv[2], argv[3]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "blockres_gen: %s\n", e.what());
        return 1;
    }
    return 0;
}
