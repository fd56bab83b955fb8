// A standard part drawing of BlockRes in the making: lines, circles and arcs in
// millimetres around the drawing's insertion point, saved as DXF text under the
// .dwg name the module asks for. Hidden edges are drawn in the "虚线" linetype,
// which the drawing carries with it (the same dashes as the drawing template's).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "vrxdb.h"
#include "vrxdbents.h"
#include "vrxdxf.h"

namespace blockres {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Colours of the drawings: outlines 7, centre lines 1, thread lines 8.
const uint16_t kOutline = 7, kCentre = 1, kThread = 8;

class Drawing {
public:
    Drawing() {
        auto* dashed = new VRxDbLinetypeTableRecord;
        dashed->setName(kHidden);
        dashed->setComments(L"Dashed __ __ __");
        dashed->setDashes({6.0, -3.0});
        VRxDbObjectId id;
        if (db_.addRecordTo(db_.linetypeTableId(), dashed, id) != Vrx::eOk) delete dashed;
    }
    void line(double x1, double y1, double x2, double y2, uint16_t colour = kOutline, bool hidden = false) {
        add(new VRxDbLine(VRxGePoint3d(x1, y1), VRxGePoint3d(x2, y2)), colour, hidden);
    }
    void circle(double r, uint16_t colour = kOutline, double cx = 0, double cy = 0, bool hidden = false) {
        add(new VRxDbCircle(VRxGePoint3d(cx, cy), VRxGeVector3d::kZAxis, r), colour, hidden);
    }
    void arc(double r, double from, double to, uint16_t colour = kOutline, bool hidden = false) {
        add(new VRxDbArc(VRxGePoint3d(0, 0), r, from, to), colour, hidden);
    }
    void save(const std::string& path) {
        std::wstring error;
        if (VRxDxf::writeDxfFile(db_, std::wstring(path.begin(), path.end()), error) != Vrx::eOk)
            throw Failure("cannot write " + path + ": " + std::string(error.begin(), error.end()));
    }

private:
    static constexpr const wchar_t* kHidden = L"虚线";
    void add(VRxDbEntity* e, uint16_t colour, bool hidden) {
        e->setColorIndex(colour);
        const VRxDbObjectId id = db_.addEntityTo(db_.modelSpaceId(), e);
        // A linetype is named from the drawing's table, so the entity is in it first.
        VRxDbEntity* resident = nullptr;
        if (hidden && vrxdbOpenObject(resident, id, VRxDb::kForWrite) == Vrx::eOk) {
            const Vrx::ErrorStatus es = resident->setLinetype(kHidden);
            resident->close();
            if (es != Vrx::eOk) throw Failure("the hidden line's linetype is missing");
        }
    }
    VRxDbDatabase db_;
};

}  // namespace blockres
