// blockres_gen: writes the standard part drawings of BlockRes (DXF text under the
// .dwg names the module asks for, block_drawing.h).
//
//   blockres_gen CATALOGUE.db SOURCE_DIR OUTPUT_DIR
//
// The catalogue decides what must exist: for every hole block of
// STANDITEMBLOCKSETUP its drawings by nominal diameter and plate thickness, as
// the catalogue's HOLE_FORM table describes the holes (hole_blocks.h); for every
// lock block name its edge drawings (four in plan, three in the side view); and
// the datum marks DA1 and DA2.
// locks.csv gives the locks' shapes. A block name without a shape or form fails
// the build, so the catalogue and the drawings cannot drift apart.
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "block_drawing.h"
#include "catalogue_rows.h"
#include "hole_blocks.h"

namespace {

using blockres::Drawing;
using blockres::Failure;

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

// A lock in the side view, standing on the parting face (y = 0). Every side
// view shows its plate with the face towards the parting line on top, so both
// halves hang below that face, into their plate's side: the male half's tongue
// reaches up past the face, the female half has the groove that takes it. On
// the front edge (B) the lock shows face-on, along the edge; at the left and
// right ends (L, R) in profile, its width running out of the plate. The screws
// go in square to the parting face: their axes.
void lockSideView(Drawing& d, const std::string& side, double length, double width, double tongue, double height,
                  bool male) {
    const double h = height, t = tongue;
    const double tip = male ? t : -t;  // the tongue's end above the face, or the groove's floor below it
    if (side == "B") {
        const double l = length / 2;
        d.line(-l, 0, -l, -h);
        d.line(l, 0, l, -h);
        d.line(-l, -h, l, -h);
        if (male) d.line(-l, 0, l, 0);
        else { d.line(-l, 0, -t / 2, 0); d.line(t / 2, 0, l, 0); }
        d.line(-t / 2, 0, -t / 2, tip);
        d.line(t / 2, 0, t / 2, tip);
        d.line(-t / 2, tip, t / 2, tip);
        for (double p : {-0.3 * length, 0.3 * length}) d.line(p, 1.5, p, -(h + 1.5), 1);
        return;
    }
    const double out = side == "L" ? -1 : 1;  // outward, away from the plate
    const double in = -0.6 * width * out, outer = 0.4 * width * out;
    const double bottom = -h, top = male ? t : 0;
    d.line(in, bottom, outer, bottom);
    d.line(outer, bottom, outer, top);
    d.line(outer, top, in, top);
    d.line(in, top, in, bottom);
    if (male) d.line(in, 0, outer, 0);  // the shoulder under the tongue
    d.line(in / 2, bottom - 1.5, in / 2, top + 1.5, 1);
}

void run(const std::string& dbPath, const std::string& srcDir, const std::string& outDir) {
    std::map<std::string, std::vector<double>> locks;
    for (const auto& f : readCsv(srcDir + "/locks.csv", 5))
        locks[f[0]] = {std::strtod(f[1].c_str(), nullptr), std::strtod(f[2].c_str(), nullptr),
                       std::strtod(f[3].c_str(), nullptr), std::strtod(f[4].c_str(), nullptr)};

    sqlite3* raw = nullptr;
    const int opened = sqlite3_open_v2(dbPath.c_str(), &raw, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> catalogue(raw, sqlite3_close);
    if (opened != SQLITE_OK) throw Failure("cannot open " + dbPath);
    sqlite3* db = catalogue.get();
    std::set<std::string> processes;
    for (const auto& r : blockres::catalogueRows(db, "SELECT proc_name FROM base_proc")) processes.insert(r[0]);
    std::set<std::string> lockBlocks;
    for (const auto& b : blockres::catalogueRows(db, "SELECT ITEMTYPENAME, blockname FROM STANDITEMBLOCKSETUP"))
        if (!processes.count(b[0])) lockBlocks.insert(b[1]);
    int written = blockres::writeHoleBlocks(db, outDir);
    catalogue.reset();

    // Plan view locks on all four edges; side view locks ("-A3") on the edges
    // the side view shows.
    const std::string sideViewTail = "-A3";
    for (const std::string& block : lockBlocks) {
        const bool sideView = block.size() > sideViewTail.size() &&
                              block.compare(block.size() - sideViewTail.size(), sideViewTail.size(), sideViewTail) == 0;
        const std::string stem = sideView ? block.substr(0, block.size() - sideViewTail.size()) : block;
        auto lock = locks.find(stem);
        if (lock == locks.end()) throw Failure("locks.csv has no shape for " + stem);
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
