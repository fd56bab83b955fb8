// The annotation checks of one swept drawing. Texts and blocks are compared by
// the boxes the host measures them with (a text's box estimated from its
// height and characters); a dimension's or leader's text is found in what the
// host draws for it. Boxes must reach a millimetre into each other to clash:
// a text's box is an estimate, and a centre line's tip grazing a text is finer
// than it can tell.
#include "annotation_checks.h"

#include <cstdlib>
#include <memory>
#include <sstream>

#include "winhost.h"
#include "vrxdbobjecttable.h"

namespace sweep {
namespace {

// How far two boxes must reach into each other to clash, in millimetres.
const double kClash = 1.0;
const double kTol = 1e-6;

struct Box {
    std::string what;
    VRxDbExtents extents;
};

std::string describe(const VRxDbExtents& e) {
    std::ostringstream s;
    s << "(" << e.minPoint().x << ", " << e.minPoint().y << ")-(" << e.maxPoint().x << ", " << e.maxPoint().y << ")";
    return s.str();
}

bool clash(const VRxDbExtents& a, const VRxDbExtents& b) {
    return a.minPoint().x < b.maxPoint().x - kClash && b.minPoint().x < a.maxPoint().x - kClash &&
           a.minPoint().y < b.maxPoint().y - kClash && b.minPoint().y < a.maxPoint().y - kClash;
}

class Annotation {
public:
    explicit Annotation(const VRxDbDatabase& db) {
        auto* space = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(db, db.modelSpaceId()));
        if (space == nullptr) return;
        for (VRxDbObjectId id : space->entityIds()) {
            const auto* e = VRxDbEntity::cast(vrxdbObjectAt(db, id));
            if (e == nullptr) continue;
            VRxDbExtents box;
            if (e->getGeomExtents(box) == Vrx::eOk) drawing.addExt(box);
            if (const auto* r = VRxDbBlockReference::cast(e)) {
                const auto* block = VRxDbBlockTableRecord::cast(vrxdbObjectAt(db, r->blockTableRecord()));
                if (!box.isEmpty()) blocks.push_back({"block " + winToUtf8(block ? block->getName() : L"?"), box});
            } else if (const auto* t = VRxDbText::cast(e)) {
                if (!box.isEmpty()) texts.push_back({"\"" + winToUtf8(t->textString()) + "\"", box});
            } else if (VRxDbDimension::cast(e) != nullptr || VRxDbDimLeader::cast(e) != nullptr) {
                addDrawnTexts(*e);
            }
        }
    }

    std::vector<Box> blocks, texts;
    VRxDbExtents drawing;

private:
    // The texts the host draws for a dimension or leader.
    void addDrawnTexts(const VRxDbEntity& e) {
        std::vector<std::unique_ptr<VRxDbEntity>> parts;
        if (const auto* d = VRxDbDimension::cast(&e)) d->explode(parts);
        else static_cast<const VRxDbDimLeader&>(e).explode(parts);
        for (const auto& p : parts) {
            const auto* m = VRxDbMText::cast(p.get());
            VRxDbExtents box;
            if (m != nullptr && m->getGeomExtents(box) == Vrx::eOk)
                texts.push_back({"\"" + winToUtf8(m->contents()) + "\"", box});
        }
    }
};

// The point a header variable holds ("$EXTMIN" ...), read from the saved text.
bool headerPoint(const std::string& dxf, const char* name, VRxGePoint3d& p) {
    const size_t at = dxf.find(std::string(name) + "\n");
    if (at == std::string::npos) return false;
    std::istringstream in(dxf.substr(at, 200));
    std::string line, code;
    std::getline(in, line);
    double xyz[3];
    for (double& v : xyz) {
        if (!std::getline(in, code) || !std::getline(in, line)) return false;
        v = std::strtod(line.c_str(), nullptr);
    }
    p = VRxGePoint3d(xyz[0], xyz[1], xyz[2]);
    return true;
}

}  // namespace

std::vector<std::string> checkAnnotation(const std::string& dxfText, const VRxDbDatabase& back) {
    std::vector<std::string> problems;
    const Annotation a(back);
    for (size_t i = 0; i < a.texts.size(); ++i) {
        for (const Box& block : a.blocks)
            if (clash(a.texts[i].extents, block.extents))
                problems.push_back(a.texts[i].what + " " + describe(a.texts[i].extents) + " over " + block.what + " " +
                                   describe(block.extents));
        for (size_t j = i + 1; j < a.texts.size(); ++j)
            if (clash(a.texts[i].extents, a.texts[j].extents))
                problems.push_back(a.texts[i].what + " " + describe(a.texts[i].extents) + " over " + a.texts[j].what +
                                   " " + describe(a.texts[j].extents));
    }

    VRxGePoint3d low, high;
    if (!headerPoint(dxfText, "$EXTMIN", low) || !headerPoint(dxfText, "$EXTMAX", high)) {
        problems.push_back("the header has no extents");
    } else if (!a.drawing.isEmpty()) {
        const VRxGePoint3d lo = a.drawing.minPoint(), hi = a.drawing.maxPoint();
        if (lo.x < low.x - kTol || lo.y < low.y - kTol || hi.x > high.x + kTol || hi.y > high.y + kTol)
            problems.push_back("the header extents " + describe(VRxDbExtents(low, high)) + " do not hold the drawing " +
                               describe(a.drawing));
    }
    return problems;
}

}  // namespace sweep
