// Walks a drawing's model space into a preview scene. Block references are
// expanded recursively with their transforms; dimensions and leaders are drawn
// from the geometry the database explodes them into; what an entity leaves to
// its layer or to the inserting block (colour, linetype, weight, layer "0") is
// resolved here, as a CAD host shows it.
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "scene.h"
#include "text_metrics.h"
#include "vrxdb.h"
#include "vrxnames.h"
#include "winhost.h"
#include "vrxdbobjecttable.h"

namespace zdtpreview {

namespace {

const double kPi = 3.14159265358979323846;
const int kMaxNesting = 64;
// A linetype the table names but draws no pattern for still has to look dashed.
const std::vector<double> kBuiltInDashes = {6.0, -3.0};

// What an entity inside a block takes over from the reference that inserts it.
struct Inherited {
    VRxGeMatrix3d xform;  // block coordinates to world
    bool inBlock = false;
    int colour = 7;
    std::wstring layer = L"0";
    std::wstring linetype = L"Continuous";
    int weight = VRxDb::kLnWtByLwDefault;
    int depth = 0;
};

// An entity's resolved appearance.
struct Look {
    bool visible = true;
    std::wstring layer;
    int colour = 7;
    std::wstring linetype;  // a real linetype name or "Continuous"
    int weight = VRxDb::kLnWtByLwDefault;
};

class SceneBuilder {
public:
    SceneBuilder(const VRxDbDatabase& db, const TextMetrics& metrics) : m_db(db), m_metrics(metrics) {}

    Scene build() {
        addBlock(m_db.modelSpaceId(), Inherited());
        return std::move(m_scene);
    }

private:
    void addBlock(VRxDbObjectId blockId, const Inherited& ctx);
    void addEntity(const VRxDbEntity& e, const Inherited& ctx);
    void addReference(const VRxDbBlockReference& r, const Look& look, const Inherited& ctx);
    void addParts(const std::vector<std::unique_ptr<VRxDbEntity>>& parts, const Look& look, const Inherited& ctx);
    void addText(const VRxDbText& t, const Look& look);
    void addMText(const VRxDbMText& t, const Look& look);
    void addLabel(const std::string& text, const VRxGePoint2d& origin, double height, double rotation,
                  double widthFactor, double oblique, double advance, int colour);
    void addStroke(std::vector<VRxGePoint2d> points, bool closed, const Look& look, const Inherited& ctx,
                   double width = 0.0);

    Look lookOf(const VRxDbEntity& e, const Inherited& ctx) const;
    const VRxDbLayerTableRecord* layerRecord(const std::wstring& name) const;
    std::vector<double> dashesOf(const std::wstring& linetype, double scale) const;
    double styleHeight(VRxDbObjectId style) const;
    VRxGePoint2d toWorld(const VRxGeMatrix3d& m, double x, double y) const {
        VRxGePoint3d p = m.transform(VRxGePoint3d(x, y, 0.0));
        return {p.x, p.y};
    }

    const VRxDbDatabase& m_db;
    const TextMetrics& m_metrics;
    Scene m_scene;
    std::set<VRxDbObjectId> m_expanding;  // blocks being drawn: a block inside itself is drawn once
};

// Points of an arc about a centre, counterclockwise from a0 by sweep, in block coordinates.
void arcPoints(std::vector<VRxGePoint2d>& out, const VRxGePoint2d& c, double r, double a0, double sweep,
               bool mirrored, bool includeStart) {
    const int steps = std::max(2, std::min(720, static_cast<int>(std::ceil(std::fabs(sweep) / (kPi / 90.0)))));
    for (int i = includeStart ? 0 : 1; i <= steps; ++i) {
        const double a = a0 + sweep * i / steps;
        // An arc whose normal points away from the viewer runs clockwise: its x axis is turned round.
        const double x = mirrored ? -std::cos(a) : std::cos(a);
        out.emplace_back(c.x + r * x, c.y + r * std::sin(a));
    }
}

const VRxDbLayerTableRecord* SceneBuilder::layerRecord(const std::wstring& name) const {
    return VRxDbLayerTableRecord::cast(vrxdbObjectAt(m_db, vrxdbRecordId(m_db, m_db.layerTableId(), name.c_str())));
}

Look SceneBuilder::lookOf(const VRxDbEntity& e, const Inherited& ctx) const {
    Look look;
    // Layer "0" inside a block is the inserting reference's layer.
    look.layer = (ctx.inBlock && e.layer() == L"0") ? ctx.layer : e.layer();
    const VRxDbLayerTableRecord* layer = layerRecord(look.layer);
    if (layer != nullptr && (layer->isOff() || layer->isFrozen())) look.visible = false;

    int colour = e.colorIndex();
    if (colour == VRxDb::kColorByLayer) colour = layer != nullptr ? layer->color().colorIndex() : 7;
    else if (colour == VRxDb::kColorByBlock) colour = ctx.colour;
    look.colour = (colour >= 1 && colour <= 255) ? colour : 7;

    std::wstring linetype = e.linetype();
    if (linetype.empty() || VRxNames::sameName(linetype, L"ByLayer"))
        linetype = layer != nullptr ? layer->linetypeName() : L"Continuous";
    else if (VRxNames::sameName(linetype, L"ByBlock"))
        linetype = ctx.linetype;
    look.linetype = linetype;

    int weight = e.lineWeight();
    if (weight == VRxDb::kLnWtByLayer) weight = layer != nullptr ? layer->lineWeight() : VRxDb::kLnWtByLwDefault;
    else if (weight == VRxDb::kLnWtByBlock) weight = ctx.weight;
    look.weight = weight;
    return look;
}

std::vector<double> SceneBuilder::dashesOf(const std::wstring& linetype, double scale) const {
    if (linetype.empty() || VRxNames::sameName(linetype, L"Continuous") || VRxNames::sameName(linetype, L"ByLayer") ||
        VRxNames::sameName(linetype, L"ByBlock"))
        return {};
    const auto* record =
        VRxDbLinetypeTableRecord::cast(vrxdbObjectAt(m_db, vrxdbRecordId(m_db, m_db.linetypeTableId(), linetype.c_str())));
    // A linetype the drawing does not define is drawn solid, as drawing files store it.
    if (record == nullptr) return {};
    std::vector<double> dashes;
    bool anyDash = false;
    for (int i = 0; i < record->numDashes(); ++i) {
        const double d = record->dashLengthAt(i);
        if (!std::isfinite(d)) return {};
        dashes.push_back(d);
        anyDash = anyDash || d != 0.0;
    }
    if (!anyDash) dashes = kBuiltInDashes;
    if (!(scale > 0.0) || !std::isfinite(scale)) scale = 1.0;
    for (double& d : dashes) d *= scale;
    return dashes;
}

double SceneBuilder::styleHeight(VRxDbObjectId style) const {
    const auto* s = VRxDbTextStyleTableRecord::cast(vrxdbObjectAt(m_db, style.isNull() ? m_db.textstyle() : style));
    return (s != nullptr && s->textSize() > 0.0) ? s->textSize() : 2.5;
}

void SceneBuilder::addBlock(VRxDbObjectId blockId, const Inherited& ctx) {
    const auto* block = VRxDbBlockTableRecord::cast(vrxdbObjectAt(m_db, blockId));
    if (block == nullptr || block->isErased() || ctx.depth > kMaxNesting || m_expanding.count(blockId) != 0) return;
    m_expanding.insert(blockId);
    for (VRxDbObjectId id : block->entityIds()) {
        const auto* e = VRxDbEntity::cast(vrxdbObjectAt(m_db, id));
        if (e != nullptr && !e->isErased()) addEntity(*e, ctx);
    }
    m_expanding.erase(blockId);
}

void SceneBuilder::addStroke(std::vector<VRxGePoint2d> points, bool closed, const Look& look, const Inherited& ctx,
                             double width) {
    if (points.size() < 2) return;
    Stroke s;
    s.points = std::move(points);
    s.closed = closed;
    s.colour = look.colour;
    s.width = width;
    s.heavy = look.weight >= 30;
    const double scale = std::fabs(ctx.xform.scaleXY());
    s.dashes = dashesOf(look.linetype, m_db.header().ltscale * scale);
    m_scene.strokes.push_back(std::move(s));
}

void SceneBuilder::addEntity(const VRxDbEntity& e, const Inherited& ctx) {
    const Look look = lookOf(e, ctx);
    if (!look.visible) return;
    const VRxGeMatrix3d& m = ctx.xform;
    switch (e.kind()) {
    case VRxDbKind::Line: {
        const auto& l = static_cast<const VRxDbLine&>(e);
        addStroke({toWorld(m, l.startPoint().x, l.startPoint().y), toWorld(m, l.endPoint().x, l.endPoint().y)},
                  false, look, ctx);
        break;
    }
    case VRxDbKind::Arc:
    case VRxDbKind::Circle: {
        const bool circle = e.kind() == VRxDbKind::Circle;
        const auto* a = VRxDbArc::cast(&e);
        const auto* c = VRxDbCircle::cast(&e);
        const VRxGePoint3d centre = circle ? c->center() : a->center();
        const double r = circle ? c->radius() : a->radius();
        const bool mirrored = (circle ? c->normal() : a->normal()).z < 0.0;
        double a0 = 0.0, sweep = 2 * kPi;
        if (!circle) {
            a0 = a->startAngle();
            sweep = std::fmod(a->endAngle() - a0, 2 * kPi);
            if (sweep <= 0.0) sweep += 2 * kPi;
        }
        if (!(r > 0.0) || !std::isfinite(r) || !std::isfinite(sweep)) break;
        std::vector<VRxGePoint2d> local;
        arcPoints(local, VRxGePoint2d(centre.x, centre.y), r, a0, sweep, mirrored, true);
        for (VRxGePoint2d& p : local) p = toWorld(m, p.x, p.y);
        addStroke(std::move(local), circle, look, ctx);
        break;
    }
    case VRxDbKind::Polyline: {
        const auto& p = static_cast<const VRxDbPolyline&>(e);
        const unsigned n = p.numVerts();
        std::vector<VRxGePoint2d> local;
        for (unsigned i = 0; i < n; ++i) {
            const VRxGePoint2d a = p.pointAt(i);
            local.push_back(a);
            if (i + 1 == n && !p.isClosed()) break;
            const VRxGePoint2d b = p.pointAt((i + 1) % n);
            const double bulge = p.bulgeAt(i);
            const double chord = a.distanceTo(b);
            if (bulge == 0.0 || chord < 1e-12) continue;
            // The arc of included angle 4·atan(bulge), its centre to the left of the chord when positive.
            const double angle = 4.0 * std::atan(bulge);
            const double r = chord / (2.0 * std::sin(std::fabs(angle) / 2.0));
            const VRxGePoint2d mid((a.x + b.x) / 2, (a.y + b.y) / 2);
            const VRxGePoint2d left(-(b.y - a.y) / chord, (b.x - a.x) / chord);
            const double toCentre = (chord / 2.0) / std::tan(angle / 2.0);
            const VRxGePoint2d c(mid.x + left.x * toCentre, mid.y + left.y * toCentre);
            std::vector<VRxGePoint2d> arc;
            arcPoints(arc, c, r, std::atan2(a.y - c.y, a.x - c.x), angle, false, false);
            arc.pop_back();  // the segment's end is the next vertex
            local.insert(local.end(), arc.begin(), arc.end());
        }
        for (VRxGePoint2d& q : local) q = toWorld(m, q.x, q.y);
        addStroke(std::move(local), p.isClosed(), look, ctx, p.constantWidth() * std::fabs(m.scaleXY()));
        break;
    }
    case VRxDbKind::Solid: {
        const auto& s = static_cast<const VRxDbSolid&>(e);
        Fill f;
        for (int i : {0, 1, 3, 2}) f.points.push_back(toWorld(m, s.pointAt(i).x, s.pointAt(i).y));
        f.colour = look.colour;
        m_scene.fills.push_back(std::move(f));
        break;
    }
    case VRxDbKind::Text:
    case VRxDbKind::MText: {
        // Moved as the database moves text, so a mirrored block still reads the right way.
        std::unique_ptr<VRxDbEntity> moved(static_cast<VRxDbEntity*>(e.clone()));
        if (moved->transformBy(m) != Vrx::eOk) break;
        if (e.kind() == VRxDbKind::Text) addText(static_cast<const VRxDbText&>(*moved), look);
        else addMText(static_cast<const VRxDbMText&>(*moved), look);
        break;
    }
    case VRxDbKind::BlockReference:
        addReference(static_cast<const VRxDbBlockReference&>(e), look, ctx);
        break;
    case VRxDbKind::RotatedDimension:
    case VRxDbKind::RadialDimension:
    case VRxDbKind::DiametricDimension: {
        std::vector<std::unique_ptr<VRxDbEntity>> parts;
        static_cast<const VRxDbDimension&>(e).explode(parts);
        addParts(parts, look, ctx);
        break;
    }
    case VRxDbKind::DimLeader: {
        const auto& l = static_cast<const VRxDbDimLeader&>(e);
        if (l.points().size() < 2) break;
        std::vector<std::unique_ptr<VRxDbEntity>> parts;
        l.explode(parts);
        addParts(parts, look, ctx);
        break;
    }
    default:
        break;
    }
}

// The pieces of a dimension or leader belong to it as a block's content belongs
// to its reference: ByBlock colours are the dimension's.
void SceneBuilder::addParts(const std::vector<std::unique_ptr<VRxDbEntity>>& parts, const Look& look,
                            const Inherited& ctx) {
    Inherited inner = ctx;
    inner.inBlock = true;
    inner.colour = look.colour;
    inner.layer = look.layer;
    inner.linetype = look.linetype;
    inner.weight = look.weight;
    for (const auto& p : parts) addEntity(*p, inner);
}

void SceneBuilder::addReference(const VRxDbBlockReference& r, const Look& look, const Inherited& ctx) {
    const auto* block = VRxDbBlockTableRecord::cast(vrxdbObjectAt(m_db, r.blockTableRecord()));
    if (block == nullptr) return;
    Inherited inner;
    inner.xform = ctx.xform * r.blockTransform(block->origin());
    inner.inBlock = true;
    inner.colour = look.colour;
    inner.layer = look.layer;
    inner.linetype = look.linetype;
    inner.weight = look.weight;
    inner.depth = ctx.depth + 1;
    addBlock(block->objectId(), inner);
}

void SceneBuilder::addLabel(const std::string& text, const VRxGePoint2d& origin, double height, double rotation,
                            double widthFactor, double oblique, double advance, int colour) {
    if (text.empty() || !(height > 0.0) || !std::isfinite(height) || !std::isfinite(origin.x) ||
        !std::isfinite(origin.y) || !std::isfinite(rotation))
        return;
    Label l;
    l.text = text;
    l.origin = origin;
    l.height = height;
    l.rotation = rotation;
    l.widthFactor = widthFactor;
    l.oblique = std::isfinite(oblique) ? oblique : 0.0;
    l.advance = advance;
    l.below = m_metrics.descentRatio() * height;
    l.above = m_metrics.ascentRatio() * height;
    l.colour = colour;
    m_scene.labels.push_back(std::move(l));
}

void SceneBuilder::addText(const VRxDbText& t, const Look& look) {
    const std::string text = shownText(t.textString());
    double height = t.height() > 0.0 ? t.height() : styleHeight(t.textStyle());
    double widthFactor = t.widthFactor() > 0.0 && std::isfinite(t.widthFactor()) ? t.widthFactor() : 1.0;
    double rotation = t.rotation();
    double advance = m_metrics.advance(text, height) * widthFactor;
    const VRxDb::TextHorzMode horz = t.horizontalMode();
    const VRxDb::TextVertMode vert = t.verticalMode();
    VRxGePoint2d origin(t.position().x, t.position().y);

    if (horz == VRxDb::kTextAlign || horz == VRxDb::kTextFit) {
        // The text runs from its position to its alignment point: aligned text keeps
        // its proportions and changes its height, fitted text is stretched.
        const VRxGePoint3d a = t.position(), b = t.alignmentPoint();
        const double span = a.distanceTo(b);
        if (span > 1e-9 && advance > 0.0) {
            rotation = std::atan2(b.y - a.y, b.x - a.x);
            if (horz == VRxDb::kTextAlign) height *= span / advance;
            else widthFactor *= span / advance;
            advance = span;
        }
    } else if (horz != VRxDb::kTextLeft || vert != VRxDb::kTextBase) {
        double along = 0.0, up = 0.0;
        if (horz == VRxDb::kTextCenter || horz == VRxDb::kTextMid) along = advance / 2.0;
        else if (horz == VRxDb::kTextRight) along = advance;
        if (horz == VRxDb::kTextMid || vert == VRxDb::kTextVertMid) up = height / 2.0;
        else if (vert == VRxDb::kTextTop) up = height;
        else if (vert == VRxDb::kTextBottom) up = -m_metrics.descentRatio() * height;
        const double c = std::cos(rotation), s = std::sin(rotation);
        origin = VRxGePoint2d(t.alignmentPoint().x - c * along + s * up, t.alignmentPoint().y - s * along - c * up);
    }
    addLabel(text, origin, height, rotation, widthFactor, t.oblique(), advance, look.colour);
}

void SceneBuilder::addMText(const VRxDbMText& t, const Look& look) {
    std::vector<std::wstring> lines(1);
    for (wchar_t ch : t.contents()) {
        if (ch == L'\n') lines.emplace_back();
        else if (ch != L'\r') lines.back() += ch;
    }
    const double height = t.textHeight() > 0.0 ? t.textHeight() : styleHeight(t.textStyle());
    const double spacing = height * 5.0 / 3.0;
    int a = static_cast<int>(t.attachment()) - 1;
    if (a < 0 || a > 8) a = 0;
    const int row = a / 3, column = a % 3;
    const double block = height + spacing * (lines.size() - 1);
    // The first baseline's height above the location: the paragraph hangs from its top,
    // is centred on its middle or stands on its last baseline.
    const double first = row == 0 ? -height : row == 1 ? block / 2.0 - height : block - height;
    const double c = std::cos(t.rotation()), s = std::sin(t.rotation());
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string text = shownText(lines[i]);
        const double advance = m_metrics.advance(text, height);
        const double along = column * advance / 2.0;
        const double up = first - spacing * i;
        const VRxGePoint2d origin(t.location().x - c * along - s * up, t.location().y - s * along + c * up);
        addLabel(text, origin, height, t.rotation(), 1.0, 0.0, advance, look.colour);
    }
}

}  // namespace

std::string shownText(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'%' && i + 2 < text.size() && text[i + 1] == L'%') {
            const wchar_t code = text[i + 2];
            if (code == L'c' || code == L'C') { out += L'\u00D8'; i += 2; continue; }
            if (code == L'd' || code == L'D') { out += L'\u00B0'; i += 2; continue; }
            if (code == L'p' || code == L'P') { out += L'\u00B1'; i += 2; continue; }
            if (code == L'%') { out += L'%'; i += 2; continue; }
            if (code == L'u' || code == L'U' || code == L'o' || code == L'O') { i += 2; continue; }
        }
        out += text[i] < 0x20 ? L' ' : text[i];
    }
    return winToUtf8(out);
}

Scene buildScene(const VRxDbDatabase& db, const TextMetrics& metrics) { return SceneBuilder(db, metrics).build(); }

}  // namespace zdtpreview
