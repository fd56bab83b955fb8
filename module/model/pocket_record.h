// A pocket ("框") machined into one plate: its size, its place relative to the
// plate centre and the type and radius of each of its four corners. The
// model's pocket table owns the committed records; the pocket dialog edits
// copies of them.
#pragma once

#include <cmath>
#include <cstdint>
#include <map>
#include <string>

// How a pocket corner is cut: a fillet inside the corner, or a relief arc that
// runs beyond the corner point. -1 stands for a corner not chosen yet.
enum CornerType : int32_t { FilletCorner = 0, ReliefCorner = 1 };

struct CornerSpec {
    double radius = 0.0;
    int32_t type = -1;

    bool operator==(const CornerSpec& other) const { return radius == other.radius && type == other.type; }
    bool operator!=(const CornerSpec& other) const { return !(*this == other); }
};

struct PocketRecord {
    double centreX = 0.0;
    double centreY = 0.0;
    double width = 0.0;
    double length = 0.0;
    double depth = 0.0;
    std::wstring plateName;
    std::wstring mouldHalf;  // the plate's location; "上模" marks the upper half
    // Corner number (4 top-right, 5 bottom-right, 6 bottom-left, 7 top-left) to
    // its spec; all four keys are always present.
    std::map<int32_t, CornerSpec> corners{{4, CornerSpec()}, {5, CornerSpec()}, {6, CornerSpec()}, {7, CornerSpec()}};

    bool isUpperHalf() const { return mouldHalf == L"上模"; }

    // The datum corner is the one whose spec may differ from the other three:
    // bottom-left on an upper-half plate, bottom-right otherwise, so that the
    // two halves' datum corners meet when the mould is closed.
    int32_t datumCorner() const { return isUpperHalf() ? 6 : 5; }
    // The other bottom corner stands for the three corners that share one spec.
    int32_t otherBottomCorner() const { return isUpperHalf() ? 5 : 6; }

    CornerSpec cornerSpec(int32_t corner) const {
        auto it = corners.find(corner);
        return it != corners.end() ? it->second : CornerSpec();
    }
    CornerSpec datumSpec() const { return cornerSpec(datumCorner()); }
    CornerSpec nonDatumSpec() const { return cornerSpec(otherBottomCorner()); }

    void setDatumSpec(const CornerSpec& spec) { corners[datumCorner()] = spec; }
    // Writes spec to the three corners other than the datum corner.
    void setNonDatumSpec(const CornerSpec& spec) {
        for (int32_t corner = 4; corner <= 7; ++corner)
            if (corner != datumCorner()) corners[corner] = spec;
    }
    void setAllCorners(const CornerSpec& spec) {
        for (int32_t corner = 4; corner <= 7; ++corner) corners[corner] = spec;
    }

    // A record the drawing can use: it names its plate, has a real size and
    // depth, and every corner has a radius and a known type.
    bool isValid() const {
        if (plateName.empty()) return false;
        for (double v : {width, length, depth})
            if (!(std::fabs(v) >= 0.001) || v < 0.0) return false;
        for (int32_t corner = 4; corner <= 7; ++corner) {
            auto it = corners.find(corner);
            if (it == corners.end()) return false;
            const CornerSpec& spec = it->second;
            if (!(std::fabs(spec.radius) >= 0.001) || spec.radius < -1e-7) return false;
            if (static_cast<uint32_t>(spec.type) > 1u) return false;
        }
        return true;
    }

    // Takes over size, depth, centre and corners of source. Mirrored (the pocket
    // of the facing plate, seen from the other side) the centre's X changes
    // sign and the two bottom corners trade places. Plate name and mould half
    // stay this record's own.
    void copyShapeFrom(const PocketRecord& source, bool mirrored) {
        width = source.width;
        length = source.length;
        depth = source.depth;
        centreY = source.centreY;
        corners[4] = source.cornerSpec(4);
        corners[7] = source.cornerSpec(7);
        if (mirrored) {
            centreX = -source.centreX;
            corners[5] = source.cornerSpec(6);
            corners[6] = source.cornerSpec(5);
        } else {
            centreX = source.centreX;
            corners[5] = source.cornerSpec(5);
            corners[6] = source.cornerSpec(6);
        }
    }
};
