// Dimensions and the dimension leader: what they measure, the text they show and
// the geometry the host draws for them (extension lines, dimension line, filled
// arrowheads, the measured text), all sized by the dimension style.
#include <functional>

#include "vrxdb.h"
#include "vrxtransform.h"
#include "vrxdbobjecttable.h"

using VRxXform::kPi;

namespace {

using EntityList = std::vector<std::unique_ptr<VRxDbEntity>>;
// Gives a new piece of a dimension the dimension's own layer, linetype and weight.
using CopyProps = std::function<void(VRxDbEntity&)>;

// The style that applies when a drawing offers none: the host's metric defaults.
const VRxDbDimStyleTableRecord& builtInStyle() {
    static const VRxDbDimStyleTableRecord style;
    return style;
}

VRxDbDatabase* lookupDatabase(const VRxDbEntity& e) {
    VRxDbDatabase* db = e.database();
    return db != nullptr ? db : vrxdbHostApplicationServices()->workingDatabase();
}

// The style behind an id, else the drawing's current one, else its "Standard".
const VRxDbDimStyleTableRecord* findStyle(VRxDbDatabase* db, VRxDbObjectId id) {
    if (!id.isNull()) {
        VRxDbDatabase* owner = id.database();
        auto* s = owner ? VRxDbDimStyleTableRecord::cast(vrxdbObjectAt(*owner, id)) : nullptr;
        if (s != nullptr && !s->isErased()) return s;
    }
    if (db == nullptr) return nullptr;
    auto* current = VRxDbDimStyleTableRecord::cast(vrxdbObjectAt(*db, db->dimstyle()));
    if (current != nullptr && !current->isErased()) return current;
    return VRxDbDimStyleTableRecord::cast(vrxdbObjectAt(*db, vrxdbRecordId(*db, db->dimStyleTableId(), L"Standard")));
}

double styleScale(const VRxDbDimStyleTableRecord& s) {
    double f = s.dimscale();
    return (std::isfinite(f) && f > 0.0) ? f : 1.0;
}

VRxGeVector3d unit(const VRxGeVector3d& v, const VRxGeVector3d& fallback) {
    double l = v.length();
    return l > 1e-12 ? v * (1.0 / l) : fallback;
}

VRxGeVector3d leftOf(const VRxGeVector3d& d) { return {-d.y, d.x, 0.0}; }

// Rough extent of a line of text along its reading direction; only used to
// leave room in a dimension line, never to place anything exactly.
double estimatedTextWidth(const std::wstring& text, double height) {
    double w = 0.0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, L"%%c") == 0 || text.compare(i, 3, L"%%C") == 0) {
            w += 0.8;
            i += 2;
        } else {
            w += text[i] >= 0x2E80 ? 1.0 : 0.7;  // CJK characters are full width
        }
    }
    return w * height;
}

void addLine(EntityList& out, const VRxGePoint3d& a, const VRxGePoint3d& b,
             const VRxCmColor& colour, const CopyProps& copy) {
    auto line = std::make_unique<VRxDbLine>(a, b);
    copy(*line);
    line->setColorIndex(colour.colorIndex());
    out.push_back(std::move(line));
}

// A filled closed arrowhead with its tip at tip, its body lying along `back`.
void addArrow(EntityList& out, const VRxGePoint3d& tip, const VRxGeVector3d& back,
              double size, const VRxCmColor& colour, const CopyProps& copy) {
    if (size <= 0.0) return;
    VRxGeVector3d side = leftOf(back) * (size / 6.0);
    VRxGePoint3d base = tip + back * size;
    auto solid = std::make_unique<VRxDbSolid>(tip, base + side, base - side);
    copy(*solid);
    solid->setColorIndex(colour.colorIndex());
    out.push_back(std::move(solid));
}

// Colour 255 is pure white: on a dark screen it reads like the foreground
// colour, but on paper and on light backgrounds the measured value would
// vanish. The drawn text then takes the foreground colour (7), which every
// reader shows as the contrast of its background; the style keeps its 255.
uint16_t shownTextColour(const VRxCmColor& styleColour) {
    return styleColour.colorIndex() == 255 ? 7 : styleColour.colorIndex();
}

std::unique_ptr<VRxDbMText> makeText(const VRxDbDimStyleTableRecord& s,
                                     const std::wstring& text, const VRxGePoint3d& at, double rotation,
                                     VRxDbMText::AttachmentPoint attach,
                                     const CopyProps& copy) {
    auto t = std::make_unique<VRxDbMText>();
    copy(*t);
    t->setColorIndex(shownTextColour(s.dimclrt()));
    t->setContents(text.c_str());
    t->setLocation(at);
    t->setTextHeight(s.dimtxt() * styleScale(s));
    t->setRotation(rotation);
    t->setAttachment(attach);
    t->setTextStyle(s.dimtxsty());
    return t;
}

}  // namespace

// ---- common dimension behaviour ----

Vrx::ErrorStatus VRxDbDimension::setDimensionText(const wchar_t* text) {
    m_text = text ? text : L"";
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbDimension::setTextPosition(const VRxGePoint3d& p) {
    m_textPosition = p;
    m_hasTextPosition = true;
    return Vrx::eOk;
}

const VRxDbDimStyleTableRecord* VRxDbDimension::resolveStyle() const {
    return findStyle(lookupDatabase(*this), m_style);
}

std::wstring VRxDbDimension::displayText() const {
    const VRxDbDimStyleTableRecord* s = resolveStyle();
    if (s == nullptr) s = &builtInStyle();
    double lfac = std::isfinite(s->dimlfac()) && s->dimlfac() != 0.0 ? s->dimlfac() : 1.0;
    std::wstring value = s->formatValue(measurement() * lfac);
    if (kind() == VRxDbKind::RadialDimension) value = L"R" + value;
    if (kind() == VRxDbKind::DiametricDimension) value = L"%%c" + value;
    if (m_text.empty()) return value;
    std::wstring shown = m_text;
    size_t at = shown.find(L"<>");
    if (at != std::wstring::npos) shown.replace(at, 2, value);
    return shown;
}

void VRxDbDimension::explode(std::vector<std::unique_ptr<VRxDbEntity>>& out) const {
    const VRxDbDimStyleTableRecord* s = resolveStyle();
    explode(s != nullptr ? *s : builtInStyle(), out);
}

void VRxDbDimension::transformCommon(const VRxGeMatrix3d& m) {
    if (m_hasTextPosition) m_textPosition = m.transform(m_textPosition);
}

// ---- rotated (linear) dimension ----

VRxDbRotatedDimension::VRxDbRotatedDimension(double rotation, const VRxGePoint3d& xLine1,
                                             const VRxGePoint3d& xLine2, const VRxGePoint3d& dimLine,
                                             const wchar_t* text, VRxDbObjectId style)
    : m_x1(xLine1), m_x2(xLine2), m_dimLine(dimLine), m_rotation(rotation) {
    setDimensionText(text);
    setDimensionStyle(style);
}

double VRxDbRotatedDimension::measurement() const {
    VRxGeVector3d d = VRxXform::dirOf(m_rotation);
    VRxGeVector3d span = m_x2 - m_x1;
    return std::fabs(span.x * d.x + span.y * d.y);
}

Vrx::ErrorStatus VRxDbRotatedDimension::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    m_rotation = VRxXform::angleOf(m.transform(VRxXform::dirOf(m_rotation)));
    m_x1 = m.transform(m_x1);
    m_x2 = m.transform(m_x2);
    m_dimLine = m.transform(m_dimLine);
    transformCommon(m);
    return Vrx::eOk;
}

void VRxDbRotatedDimension::explode(const VRxDbDimStyleTableRecord& s, EntityList& out) const {
    CopyProps copy = [this](VRxDbEntity& to) { copyPropertiesTo(to); };
    const double f = styleScale(s);
    const double exo = s.dimexo() * f, exe = s.dimexe() * f, asz = s.dimasz() * f;
    const double h = s.dimtxt() * f, gap = s.dimgap() * f;

    VRxGeVector3d dir = VRxXform::dirOf(m_rotation);
    auto foot = [&](const VRxGePoint3d& p) {
        VRxGeVector3d v = p - m_dimLine;
        return m_dimLine + dir * (v.x * dir.x + v.y * dir.y);
    };
    VRxGePoint3d p1 = foot(m_x1), p2 = foot(m_x2);

    // Extension lines: a small gap off the measured point, running on past the dimension line.
    const VRxGePoint3d* xs[2] = {&m_x1, &m_x2};
    const VRxGePoint3d* ps[2] = {&p1, &p2};
    for (int i = 0; i < 2; ++i) {
        VRxGeVector3d v = *ps[i] - *xs[i];
        double len = v.length();
        VRxGeVector3d e = unit(v, leftOf(dir));
        addLine(out, *xs[i] + e * std::min(exo, len), *ps[i] + e * exe, s.dimclre(), copy);
    }

    // Dimension line with its arrowheads; when the arrows do not fit between the
    // extension lines they go outside, pointing in, on short stubs of line.
    double span = p1.distanceTo(p2);
    VRxGeVector3d u = unit(p2 - p1, dir);  // from the first extension line to the second
    bool inside = span >= 2.0 * asz;
    // The dimension line extension (dimdle) belongs to tick marks; with
    // arrowheads the line ends at the extension lines, as drafters draw it.
    double ext = inside ? 0.0 : asz * 2.0;
    VRxGePoint3d lineStart = p1 - u * ext, lineEnd = p2 + u * ext;

    std::wstring text = displayText();
    double textRot = s.dimtih() ? 0.0 : VRxXform::readingAngle(m_rotation);
    VRxGeVector3d up = VRxXform::dirOf(textRot + kPi / 2);
    VRxGePoint3d mid = p1 + (p2 - p1) * 0.5;
    VRxGePoint3d textAt;
    bool breakLine = false;
    bool textAlongLine = std::fabs(std::sin(textRot - m_rotation)) < 1e-9;
    if (hasTextPosition()) {
        textAt = textPosition();
    } else if (s.dimtad() != 0 && textAlongLine) {
        textAt = mid + up * (gap + h / 2.0);
    } else {
        // Centred on the line (no "above" setting, or forced horizontal across a
        // slanted line): the line is broken around the text.
        textAt = mid;
        breakLine = !text.empty();
    }

    if (breakLine) {
        double w = estimatedTextWidth(text, h);
        double rel = textRot - m_rotation;
        double half = 0.5 * (std::fabs(w * std::cos(rel)) + std::fabs(h * std::sin(rel))) + gap;
        if (half < span / 2.0) {
            addLine(out, lineStart, mid - u * half, s.dimclrd(), copy);
            addLine(out, mid + u * half, lineEnd, s.dimclrd(), copy);
        } else {
            addLine(out, lineStart, lineEnd, s.dimclrd(), copy);
        }
    } else {
        addLine(out, lineStart, lineEnd, s.dimclrd(), copy);
    }
    addArrow(out, p1, inside ? u : u * -1.0, asz, s.dimclrd(), copy);
    addArrow(out, p2, inside ? u * -1.0 : u, asz, s.dimclrd(), copy);

    if (!text.empty()) out.push_back(makeText(s, text, textAt, textRot, VRxDbMText::kMiddleCenter, copy));
}

// ---- radius and diameter ----

namespace {

// Text at the far end of a leader, reading left to right and standing clear of it.
void addLeaderEndText(EntityList& out, const VRxDbDimStyleTableRecord& s,
                      const std::wstring& text, const VRxGePoint3d& end, const VRxGeVector3d& outward,
                      const CopyProps& copy) {
    if (text.empty()) return;
    double f = styleScale(s);
    double rot = VRxXform::readingAngle(VRxXform::angleOf(outward));
    bool readsOutward = std::fabs(VRxXform::normalise(VRxXform::angleOf(outward) - rot)) < 1e-9 ||
                        std::fabs(VRxXform::normalise(VRxXform::angleOf(outward) - rot) - 2 * kPi) < 1e-9;
    VRxGePoint3d at = end + outward * (s.dimgap() * f);
    out.push_back(makeText(s, text, at, rot,
                           readsOutward ? VRxDbMText::kMiddleLeft : VRxDbMText::kMiddleRight, copy));
}

}  // namespace

VRxDbRadialDimension::VRxDbRadialDimension(const VRxGePoint3d& centre, const VRxGePoint3d& chordPoint,
                                           double leaderLength, const wchar_t* text, VRxDbObjectId style)
    : m_centre(centre), m_chord(chordPoint), m_leader(leaderLength) {
    setDimensionText(text);
    setDimensionStyle(style);
}

double VRxDbRadialDimension::measurement() const { return m_centre.distanceTo(m_chord); }

Vrx::ErrorStatus VRxDbRadialDimension::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    double sc = VRxXform::uniformScaleXY(m);
    if (sc <= 0.0) return Vrx::eNotImplemented;
    m_centre = m.transform(m_centre);
    m_chord = m.transform(m_chord);
    m_leader *= sc;
    transformCommon(m);
    return Vrx::eOk;
}

void VRxDbRadialDimension::explode(const VRxDbDimStyleTableRecord& s, EntityList& out) const {
    CopyProps copy = [this](VRxDbEntity& to) { copyPropertiesTo(to); };
    double asz = s.dimasz() * styleScale(s);
    VRxGeVector3d outward = unit(m_chord - m_centre, VRxGeVector3d::kXAxis);
    // A positive leader runs outside the curve, a negative one inside it.
    VRxGePoint3d end = m_chord + outward * m_leader;
    VRxGeVector3d along = unit(end - m_chord, outward);
    addLine(out, m_chord, end, s.dimclrd(), copy);
    addArrow(out, m_chord, along, asz, s.dimclrd(), copy);
    addLeaderEndText(out, s, displayText(), end, along, copy);
}

VRxDbDiametricDimension::VRxDbDiametricDimension(const VRxGePoint3d& chordPoint, const VRxGePoint3d& farChordPoint,
                                                 double leaderLength, const wchar_t* text, VRxDbObjectId style)
    : m_chord(chordPoint), m_far(farChordPoint), m_leader(leaderLength) {
    setDimensionText(text);
    setDimensionStyle(style);
}

double VRxDbDiametricDimension::measurement() const { return m_chord.distanceTo(m_far); }

Vrx::ErrorStatus VRxDbDiametricDimension::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    double sc = VRxXform::uniformScaleXY(m);
    if (sc <= 0.0) return Vrx::eNotImplemented;
    m_chord = m.transform(m_chord);
    m_far = m.transform(m_far);
    m_leader *= sc;
    transformCommon(m);
    return Vrx::eOk;
}

void VRxDbDiametricDimension::explode(const VRxDbDimStyleTableRecord& s, EntityList& out) const {
    CopyProps copy = [this](VRxDbEntity& to) { copyPropertiesTo(to); };
    double asz = s.dimasz() * styleScale(s);
    VRxGeVector3d outward = unit(m_chord - m_far, VRxGeVector3d::kXAxis);
    VRxGePoint3d end = m_chord + outward * m_leader;
    // Across the whole circle, arrows at both ends pointing at the curve.
    addLine(out, m_far, m_chord, s.dimclrd(), copy);
    if (m_leader != 0.0) addLine(out, m_chord, end, s.dimclrd(), copy);
    addArrow(out, m_chord, outward * -1.0, asz, s.dimclrd(), copy);
    addArrow(out, m_far, outward, asz, s.dimclrd(), copy);
    addLeaderEndText(out, s, displayText(), end, unit(end - m_chord, outward), copy);
}

// ---- leader ----

VRxDbDimLeader::VRxDbDimLeader(const VRxGePoint3d& start, const std::vector<VRxGePoint3d>& vertices,
                               const VRxGePoint3d& end, const wchar_t* text1, const wchar_t* text2,
                               VRxDbObjectId style)
    : m_start(start), m_end(end), m_vertices(vertices), m_text1(text1 ? text1 : L""), m_text2(text2 ? text2 : L""),
      m_style(style) {}

std::vector<VRxGePoint3d> VRxDbDimLeader::points() const {
    std::vector<VRxGePoint3d> pts;
    pts.reserve(m_vertices.size() + 2);
    pts.push_back(m_start);
    pts.insert(pts.end(), m_vertices.begin(), m_vertices.end());
    pts.push_back(m_end);
    return pts;
}

Vrx::ErrorStatus VRxDbDimLeader::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    m_start = m.transform(m_start);
    m_end = m.transform(m_end);
    for (auto& v : m_vertices) v = m.transform(v);
    return Vrx::eOk;
}

void VRxDbDimLeader::explode(std::vector<std::unique_ptr<VRxDbEntity>>& out) const {
    const VRxDbDimStyleTableRecord* s = findStyle(lookupDatabase(*this), m_style);
    explode(s != nullptr ? *s : builtInStyle(), out);
}

void VRxDbDimLeader::explode(const VRxDbDimStyleTableRecord& s, EntityList& out) const {
    CopyProps copy = [this](VRxDbEntity& to) { copyPropertiesTo(to); };
    const double f = styleScale(s);
    std::vector<VRxGePoint3d> pts = points();

    auto path = std::make_unique<VRxDbPolyline>();
    copy(*path);
    for (unsigned i = 0; i < pts.size(); ++i) path->addVertexAt(i, VRxGePoint2d(pts[i].x, pts[i].y));
    path->setElevation(m_start.z);
    out.push_back(std::move(path));

    // The arrowhead sits at the start, pointing at what the leader annotates.
    VRxGePoint3d next = pts[1];
    for (size_t i = 1; i < pts.size() && next.isEqualTo(m_start); ++i) next = pts[i];
    addArrow(out, m_start, unit(next - m_start, VRxGeVector3d::kXAxis), s.dimasz() * f, s.dimclrd(), copy);

    // Texts stand above (first) and below (second) the last segment, at its end.
    // They are the leader's own annotation and take its colour, as drawing files
    // store them (the paragraph text of a leader carries the leader's colour).
    VRxGePoint3d prev = pts[pts.size() - 2];
    for (size_t i = pts.size() - 1; i-- > 0 && prev.isEqualTo(m_end);) prev = pts[i];
    VRxGeVector3d along = unit(m_end - prev, VRxGeVector3d::kXAxis);
    double rot = VRxXform::readingAngle(VRxXform::angleOf(along));
    VRxGeVector3d up = VRxXform::dirOf(rot + kPi / 2);
    bool readsTowardEnd = std::fabs(std::cos(rot - VRxXform::angleOf(along)) - 1.0) < 1e-9;
    double gap = s.dimgap() * f;
    const size_t firstText = out.size();
    if (!m_text1.empty())
        out.push_back(makeText(s, m_text1, m_end + up * gap, rot,
                               readsTowardEnd ? VRxDbMText::kBottomRight : VRxDbMText::kBottomLeft, copy));
    if (!m_text2.empty())
        out.push_back(makeText(s, m_text2, m_end - up * gap, rot,
                               readsTowardEnd ? VRxDbMText::kTopRight : VRxDbMText::kTopLeft, copy));
    for (size_t i = firstText; i < out.size(); ++i) out[i]->setColorIndex(colorIndex());
}
