// How much of the drawing an entity covers: the box a CAD host zooms to and
// writes into a drawing file's header. Curves are measured exactly; text is
// estimated without a font (every character one text height wide, the line as
// tall as its height), which holds the fonts drawings are written with (the
// Chinese big fonts have square characters, the Western ones narrower).
#include <algorithm>
#include <cmath>
#include <set>

#include "vrxdb.h"
#include "vrxtransform.h"
#include "vrxdbobjecttable.h"

using VRxXform::kPi;

namespace {

// Paragraph line spacing of a text height, as hosts lay out paragraph text.
const double kLineSpacing = 5.0 / 3.0;

// ---- the box ----

// Blocks being measured: a block that (wrongly) holds itself counts once.
using Expanding = std::set<VRxDbObjectId>;

void addEntity(VRxDbExtents& box, const VRxDbEntity& e, Expanding& expanding);

// A point of an arc at angle a; an arc whose normal points away from the viewer
// runs clockwise, so its x axis is turned round.
VRxGePoint3d onArc(const VRxGePoint3d& c, double r, double a, bool mirrored) {
    return {c.x + r * (mirrored ? -std::cos(a) : std::cos(a)), c.y + r * std::sin(a), c.z};
}

// An arc counterclockwise from a0 through sweep: its ends and every quarter point it passes.
void addArc(VRxDbExtents& box, const VRxGePoint3d& c, double r, double a0, double sweep, bool mirrored) {
    if (!std::isfinite(r) || !std::isfinite(a0) || !std::isfinite(sweep)) return;
    box.addPoint(onArc(c, r, a0, mirrored));
    box.addPoint(onArc(c, r, a0 + sweep, mirrored));
    const double from = std::min(a0, a0 + sweep), to = std::max(a0, a0 + sweep);
    for (double q = std::ceil(from / (kPi / 2)) * (kPi / 2); q <= to; q += kPi / 2) box.addPoint(onArc(c, r, q, mirrored));
}

// A box of width w and height h in a text's frame: its lower left corner at
// origin, reading along rotation.
void addTextBox(VRxDbExtents& box, const VRxGePoint3d& origin, double rotation, double w, double h) {
    const VRxGeVector3d along = VRxXform::dirOf(rotation), up = VRxXform::dirOf(rotation + kPi / 2);
    box.addPoint(origin);
    box.addPoint(origin + along * w);
    box.addPoint(origin + up * h);
    box.addPoint(origin + along * w + up * h);
}

// Characters as shown: a control code such as %%c is one character.
double shownCharacters(const std::wstring& text) {
    double n = 0;
    for (size_t i = 0; i < text.size(); ++i, ++n)
        if (text.compare(i, 2, L"%%") == 0 && i + 2 < text.size()) i += 2;
    return n;
}

double styleHeight(const VRxDbEntity& e, VRxDbObjectId style) {
    VRxDbDatabase* db = style.isNull() ? e.database() : style.database();
    if (db == nullptr) db = vrxdbHostApplicationServices()->workingDatabase();
    const auto* s = db ? VRxDbTextStyleTableRecord::cast(vrxdbObjectAt(*db, style.isNull() ? db->textstyle() : style)) : nullptr;
    return (s != nullptr && s->textSize() > 0.0) ? s->textSize() : 2.5;
}

void addText(VRxDbExtents& box, const VRxDbText& t) {
    double h = t.height() > 0.0 ? t.height() : styleHeight(t, t.textStyle());
    const double factor = t.widthFactor() > 0.0 ? t.widthFactor() : 1.0;
    double w = shownCharacters(t.textString()) * h * factor;
    if (w <= 0.0 || !std::isfinite(h)) return;
    double rotation = t.rotation();
    VRxGePoint3d origin = t.position();
    const VRxDb::TextHorzMode horz = t.horizontalMode();
    const VRxDb::TextVertMode vert = t.verticalMode();
    if (horz == VRxDb::kTextAlign || horz == VRxDb::kTextFit) {
        // The text runs from its position to its alignment point; aligned text keeps its proportions.
        const double span = t.position().distanceTo(t.alignmentPoint());
        if (span > 1e-9) {
            rotation = std::atan2(t.alignmentPoint().y - t.position().y, t.alignmentPoint().x - t.position().x);
            if (horz == VRxDb::kTextAlign) h *= span / w;
            w = span;
        }
    } else if (horz != VRxDb::kTextLeft || vert != VRxDb::kTextBase) {
        double back = 0.0, down = 0.0;
        if (horz == VRxDb::kTextCenter || horz == VRxDb::kTextMid) back = w / 2.0;
        else if (horz == VRxDb::kTextRight) back = w;
        if (horz == VRxDb::kTextMid || vert == VRxDb::kTextVertMid) down = h / 2.0;
        else if (vert == VRxDb::kTextTop) down = h;
        origin = t.alignmentPoint() - VRxXform::dirOf(rotation) * back - VRxXform::dirOf(rotation + kPi / 2) * down;
    }
    addTextBox(box, origin, rotation, w, h);
}

void addMText(VRxDbExtents& box, const VRxDbMText& t) {
    const double h = t.textHeight() > 0.0 ? t.textHeight() : styleHeight(t, t.textStyle());
    // Lines end at a line break or the paragraph code \P.
    const std::wstring text = t.contents();
    double widest = 0.0, lines = 1.0, line = 0.0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\n' || text.compare(i, 2, L"\\P") == 0) {
            if (text[i] != L'\n') ++i;
            widest = std::max(widest, line);
            line = 0.0;
            ++lines;
        } else if (text[i] != L'\r') {
            ++line;
        }
    }
    widest = std::max(widest, line) * h;
    if (widest <= 0.0 || !std::isfinite(h)) return;
    const double tall = h + kLineSpacing * h * (lines - 1.0);
    int a = static_cast<int>(t.attachment()) - 1;
    if (a < 0 || a > 8) a = 0;
    const int row = a / 3, column = a % 3;  // top, middle, bottom; left, centre, right
    const double back = column * widest / 2.0, down = tall - row * tall / 2.0;
    const VRxGePoint3d origin =
        t.location() - VRxXform::dirOf(t.rotation()) * back - VRxXform::dirOf(t.rotation() + kPi / 2) * down;
    addTextBox(box, origin, t.rotation(), widest, tall);
}

void addPolyline(VRxDbExtents& box, const VRxDbPolyline& p) {
    const unsigned n = p.numVerts();
    for (unsigned i = 0; i < n; ++i) {
        const VRxGePoint2d a = p.pointAt(i);
        box.addPoint(VRxGePoint3d(a.x, a.y, p.elevation()));
        if (i + 1 == n && !p.isClosed()) break;
        const VRxGePoint2d b = p.pointAt((i + 1) % n);
        const double bulge = p.bulgeAt(i), chord = a.distanceTo(b);
        if (bulge == 0.0 || chord < 1e-12) continue;
        // The arc of included angle 4·atan(bulge), its centre left of the chord when positive.
        const double angle = 4.0 * std::atan(bulge);
        const double r = chord / (2.0 * std::sin(std::fabs(angle) / 2.0));
        const double toCentre = (chord / 2.0) / std::tan(angle / 2.0);
        const VRxGePoint3d c((a.x + b.x) / 2 - (b.y - a.y) / chord * toCentre,
                             (a.y + b.y) / 2 + (b.x - a.x) / chord * toCentre, p.elevation());
        addArc(box, c, r, std::atan2(a.y - c.y, a.x - c.x), angle, false);
    }
}

void addReference(VRxDbExtents& box, const VRxDbBlockReference& r, Expanding& expanding) {
    const VRxDbObjectId blockId = r.blockTableRecord();
    VRxDbDatabase* db = blockId.database();
    const auto* block = db ? VRxDbBlockTableRecord::cast(vrxdbObjectAt(*db, blockId)) : nullptr;
    if (block == nullptr || block->isErased() || !expanding.insert(blockId).second) return;
    VRxDbExtents inside;
    for (VRxDbObjectId id : block->entityIds()) {
        const auto* e = VRxDbEntity::cast(vrxdbObjectAt(*db, id));
        if (e != nullptr && !e->isErased()) addEntity(inside, *e, expanding);
    }
    expanding.erase(blockId);
    if (inside.isEmpty()) return;
    inside.transformBy(r.blockTransform(block->origin()));
    box.addExt(inside);
}

void addEntity(VRxDbExtents& box, const VRxDbEntity& e, Expanding& expanding) {
    switch (e.kind()) {
    case VRxDbKind::Line: {
        const auto& l = static_cast<const VRxDbLine&>(e);
        box.addPoint(l.startPoint());
        box.addPoint(l.endPoint());
        break;
    }
    case VRxDbKind::Circle:
    case VRxDbKind::Arc: {
        const auto* circle = VRxDbCircle::cast(&e);
        const auto* arc = VRxDbArc::cast(&e);
        const VRxGePoint3d c = circle ? circle->center() : arc->center();
        const VRxGeVector3d normal = circle ? circle->normal() : arc->normal();
        const double r = circle ? circle->radius() : arc->radius();
        const bool flat = std::fabs(normal.x) < 1e-12 && std::fabs(normal.y) < 1e-12;
        if (circle != nullptr || !flat) {
            // A circle, or an arc out of the drawing plane: the box of its whole sphere.
            box.addPoint(VRxGePoint3d(c.x - r, c.y - r, flat ? c.z : c.z - r));
            box.addPoint(VRxGePoint3d(c.x + r, c.y + r, flat ? c.z : c.z + r));
            break;
        }
        double sweep = std::fmod(arc->endAngle() - arc->startAngle(), 2 * kPi);
        if (sweep <= 0.0) sweep += 2 * kPi;
        addArc(box, c, r, arc->startAngle(), sweep, normal.z < 0.0);
        break;
    }
    case VRxDbKind::Polyline:
        addPolyline(box, static_cast<const VRxDbPolyline&>(e));
        break;
    case VRxDbKind::Solid:
        for (int i = 0; i < 4; ++i) box.addPoint(static_cast<const VRxDbSolid&>(e).pointAt(i));
        break;
    case VRxDbKind::Text:
        addText(box, static_cast<const VRxDbText&>(e));
        break;
    case VRxDbKind::MText:
        addMText(box, static_cast<const VRxDbMText&>(e));
        break;
    case VRxDbKind::BlockReference:
        addReference(box, static_cast<const VRxDbBlockReference&>(e), expanding);
        break;
    case VRxDbKind::RotatedDimension:
    case VRxDbKind::RadialDimension:
    case VRxDbKind::DiametricDimension:
    case VRxDbKind::DimLeader: {
        // What the host draws for it.
        std::vector<std::unique_ptr<VRxDbEntity>> parts;
        if (const auto* d = VRxDbDimension::cast(&e)) d->explode(parts);
        else static_cast<const VRxDbDimLeader&>(e).explode(parts);
        for (const auto& p : parts) addEntity(box, *p, expanding);
        break;
    }
    default:
        break;
    }
}

}  // namespace

VRxDbExtents::VRxDbExtents(const VRxGePoint3d& min, const VRxGePoint3d& max) {
    addPoint(min);
    addPoint(max);
}

void VRxDbExtents::addPoint(const VRxGePoint3d& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) return;
    if (m_empty) {
        m_min = m_max = p;
        m_empty = false;
        return;
    }
    m_min = VRxGePoint3d(std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z));
    m_max = VRxGePoint3d(std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z));
}

void VRxDbExtents::addExt(const VRxDbExtents& other) {
    if (other.m_empty) return;
    addPoint(other.m_min);
    addPoint(other.m_max);
}

void VRxDbExtents::transformBy(const VRxGeMatrix3d& m) {
    if (m_empty) return;
    VRxDbExtents moved;
    for (int corner = 0; corner < 8; ++corner)
        moved.addPoint(m.transform(VRxGePoint3d(corner & 1 ? m_max.x : m_min.x, corner & 2 ? m_max.y : m_min.y,
                                                corner & 4 ? m_max.z : m_min.z)));
    *this = moved;
}

Vrx::ErrorStatus VRxDbEntity::getGeomExtents(VRxDbExtents& extents) const {
    VRxDbExtents box;
    Expanding expanding;
    addEntity(box, *this, expanding);
    if (box.isEmpty()) return Vrx::eInvalidExtents;
    extents = box;
    return Vrx::eOk;
}
