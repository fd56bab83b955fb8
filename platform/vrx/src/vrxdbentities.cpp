// The plain drawing entities: common properties checked against the drawing
// they belong to, and how each kind follows a move, turn, scale or mirror.
#include "vrxdb.h"
#include "vrxnames.h"
#include "vrxtransform.h"
#include "vrxdbobjecttable.h"

using VRxXform::kPi;

namespace {

// The drawing an entity's names resolve in: its own, else the one being worked on.
VRxDbDatabase* lookupDatabase(const VRxDbEntity& e) {
    VRxDbDatabase* db = e.database();
    return db != nullptr ? db : vrxdbHostApplicationServices()->workingDatabase();
}

bool isValidLineWeight(int w) { return (w >= -3 && w <= 211); }

}  // namespace

// ---- common properties ----

VRxDbObjectId VRxDbEntity::layerId() const {
    VRxDbDatabase* db = lookupDatabase(*this);
    return db ? vrxdbRecordId(*db, db->layerTableId(), m_layer.c_str()) : VRxDbObjectId::kNull;
}

Vrx::ErrorStatus VRxDbEntity::setLayer(VRxDbObjectId layer) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (layer.isNull()) return Vrx::eNullObjectId;
    VRxDbDatabase* layerDb = layer.database();
    VRxDbObject* o = layerDb ? vrxdbObjectAt(*layerDb, layer) : nullptr;
    if (o == nullptr) return Vrx::eNullObjectId;
    auto* rec = VRxDbLayerTableRecord::cast(o);
    if (rec == nullptr) return Vrx::eNotThatKindOfClass;
    if (rec->isErased()) return Vrx::eWasErased;
    // Layers are held by name, so a record of another drawing would silently mean
    // whatever layer of that name this drawing has (or none).
    VRxDbDatabase* own = lookupDatabase(*this);
    if (own != nullptr && own != layerDb) return Vrx::eWrongDatabase;
    m_layer = rec->getName();
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbEntity::setLayer(const wchar_t* name) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (name == nullptr || *name == L'\0') return Vrx::eInvalidInput;
    VRxDbDatabase* db = lookupDatabase(*this);
    if (db == nullptr) {
        // Every drawing has layer "0"; anything else needs a drawing to check against.
        if (std::wstring(name) != L"0") return Vrx::eNoDatabase;
        m_layer = L"0";
        return Vrx::eOk;
    }
    VRxDbObjectId id = vrxdbRecordId(*db, db->layerTableId(), name);
    if (id.isNull()) return Vrx::eKeyNotFound;
    m_layer = VRxDbSymbolTableRecord::cast(vrxdbObjectAt(*db, id))->getName();
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbEntity::setColorIndex(uint16_t index) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (index > VRxDb::kColorByLayer) return Vrx::eInvalidInput;
    m_color.setColorIndex(index);
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbEntity::setLinetype(const wchar_t* name) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (name == nullptr || *name == L'\0') return Vrx::eInvalidInput;
    static const wchar_t* const kAlways[] = {L"ByLayer", L"ByBlock", L"Continuous"};
    for (const wchar_t* fixed : kAlways)
        if (VRxNames::sameName(name, fixed)) {
            m_linetype = fixed;
            return Vrx::eOk;
        }
    VRxDbDatabase* db = lookupDatabase(*this);
    if (db == nullptr) return Vrx::eNoDatabase;
    VRxDbObjectId id = vrxdbRecordId(*db, db->linetypeTableId(), name);
    if (id.isNull()) return Vrx::eKeyNotFound;
    m_linetype = VRxDbSymbolTableRecord::cast(vrxdbObjectAt(*db, id))->getName();
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbEntity::setLinetypeScale(double s) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (!std::isfinite(s) || s <= 0.0) return Vrx::eInvalidInput;
    m_linetypeScale = s;
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbEntity::setLineWeight(VRxDb::LineWeight w) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (!isValidLineWeight(static_cast<int>(w))) return Vrx::eInvalidInput;
    m_lineWeight = w;
    return Vrx::eOk;
}

void VRxDbEntity::copyPropertiesTo(VRxDbEntity& other) const {
    other.m_layer = m_layer;
    other.m_color = m_color;
    other.m_linetype = m_linetype;
    other.m_linetypeScale = m_linetypeScale;
    other.m_lineWeight = m_lineWeight;
}

// ---- geometry of each kind ----

Vrx::ErrorStatus VRxDbLine::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    m_start = m.transform(m_start);
    m_end = m.transform(m_end);
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbArc::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    double s = VRxXform::uniformScaleXY(m);
    if (s <= 0.0) return Vrx::eNotImplemented;  // an arc scaled unevenly is an ellipse
    VRxGePoint3d newCentre = m.transform(m_centre);
    // Follow the two end points; a mirror reverses the sense, so the old end
    // becomes the new start and the arc still runs counterclockwise.
    VRxGePoint3d sp = m.transform(m_centre + VRxXform::dirOf(m_start) * m_radius);
    VRxGePoint3d ep = m.transform(m_centre + VRxXform::dirOf(m_end) * m_radius);
    double a0 = VRxXform::angleOf(sp - newCentre), a1 = VRxXform::angleOf(ep - newCentre);
    // A full circle drawn as an arc keeps its full sweep.
    bool full = std::fabs(std::fabs(m_end - m_start) - 2 * kPi) < 1e-12;
    if (m.isMirroredXY()) std::swap(a0, a1);
    m_centre = newCentre;
    m_radius *= s;
    m_start = a0;
    m_end = full ? a0 + 2 * kPi : a1;
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbCircle::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    double s = VRxXform::uniformScaleXY(m);
    if (s <= 0.0) return Vrx::eNotImplemented;
    m_centre = m.transform(m_centre);
    m_radius *= s;
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbPolyline::addVertexAt(unsigned index, const VRxGePoint2d& p, double bulge) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (index > m_points.size() || !std::isfinite(bulge) || !std::isfinite(p.x) || !std::isfinite(p.y))
        return Vrx::eInvalidInput;
    m_points.insert(m_points.begin() + index, p);
    m_bulges.insert(m_bulges.begin() + index, bulge);
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbPolyline::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    bool hasArcs = false;
    for (double b : m_bulges) hasArcs = hasArcs || b != 0.0;
    double s = VRxXform::uniformScaleXY(m);
    if (hasArcs && s <= 0.0) return Vrx::eNotImplemented;
    double newElevation = m_elevation;
    for (size_t i = 0; i < m_points.size(); ++i) {
        VRxGePoint3d p = m.transform(VRxGePoint3d(m_points[i].x, m_points[i].y, m_elevation));
        m_points[i] = VRxGePoint2d(p.x, p.y);
        if (i == 0) newElevation = p.z;
    }
    m_elevation = newElevation;
    if (m.isMirroredXY())
        for (double& b : m_bulges) b = -b;
    m_width *= (s > 0.0 ? s : m.scaleXY());
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbSolid::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    for (auto& p : m_pts) p = m.transform(p);
    return Vrx::eOk;
}

VRxDbText::VRxDbText(const VRxGePoint3d& position, const wchar_t* text, VRxDbObjectId style, double height,
                     double rotation)
    : m_position(position), m_alignment(position), m_text(text ? text : L""), m_style(style), m_height(height),
      m_rotation(rotation) {}

Vrx::ErrorStatus VRxDbText::setTextString(const wchar_t* text) {
    m_text = text ? text : L"";
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbText::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    VRxXform::TextFrame f = VRxXform::transformTextFrame(m, m_rotation);
    VRxGePoint3d pos = m.transform(m_position), align = m.transform(m_alignment);
    bool leftBase = m_horz == VRxDb::kTextLeft && m_vert == VRxDb::kTextBase;
    if (f.reversed) {
        // The text now runs the other way from its anchor: anchor its other end.
        if (m_horz == VRxDb::kTextLeft) {
            m_horz = VRxDb::kTextRight;
        } else if (m_horz == VRxDb::kTextRight) {
            m_horz = VRxDb::kTextLeft;
        } else if (m_horz == VRxDb::kTextAlign || m_horz == VRxDb::kTextFit) {
            std::swap(pos, align);  // the two ends of the baseline trade places
        }
    }
    if (f.flipped && m_horz != VRxDb::kTextAlign && m_horz != VRxDb::kTextFit && m_horz != VRxDb::kTextMid) {
        if (m_vert == VRxDb::kTextBase || m_vert == VRxDb::kTextBottom)
            m_vert = VRxDb::kTextTop;
        else if (m_vert == VRxDb::kTextTop)
            m_vert = VRxDb::kTextBottom;
    }
    // A left/baseline text is placed by its position; any other by its alignment
    // point, which is then the old insertion point for a text that used to be left/baseline.
    if (leftBase && !(m_horz == VRxDb::kTextLeft && m_vert == VRxDb::kTextBase)) align = pos;
    m_position = pos;
    m_alignment = align;
    m_rotation = f.rotation;
    m_height *= f.heightFactor;
    m_widthFactor *= f.widthFactor;
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbMText::setContents(const wchar_t* text) {
    m_contents = text ? text : L"";
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbMText::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    VRxXform::TextFrame f = VRxXform::transformTextFrame(m, m_rotation);
    int a = static_cast<int>(m_attachment) - 1;
    if (a < 0 || a > 8) a = 0;  // an attachment read from a bad file counts as top left
    int row = a / 3, col = a % 3;
    if (f.reversed) col = 2 - col;
    if (f.flipped) row = 2 - row;
    m_attachment = static_cast<AttachmentPoint>(row * 3 + col + 1);
    m_location = m.transform(m_location);
    m_rotation = f.rotation;
    m_height *= f.heightFactor;
    m_width *= f.heightFactor * f.widthFactor;
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbBlockReference::setScaleFactors(const VRxGeScale3d& s) {
    if (!std::isfinite(s.sx) || !std::isfinite(s.sy) || !std::isfinite(s.sz) || s.sx == 0.0 || s.sy == 0.0 ||
        s.sz == 0.0)
        return Vrx::eInvalidInput;
    m_scale = s;
    return Vrx::eOk;
}

VRxGeMatrix3d VRxDbBlockReference::blockTransform(const VRxGePoint3d& blockOrigin) const {
    // Move to the position, turn, scale, from the block's origin: composed
    // directly, as every reference drawn or measured asks for it.
    const double c = std::cos(m_rotation), s = std::sin(m_rotation);
    VRxGeMatrix3d m;
    m.m[0][0] = c * m_scale.sx;
    m.m[0][1] = -s * m_scale.sy;
    m.m[1][0] = s * m_scale.sx;
    m.m[1][1] = c * m_scale.sy;
    m.m[2][2] = m_scale.sz;
    const double position[3] = {m_position.x, m_position.y, m_position.z};
    for (int i = 0; i < 3; ++i)
        m.m[i][3] = position[i] - (m.m[i][0] * blockOrigin.x + m.m[i][1] * blockOrigin.y + m.m[i][2] * blockOrigin.z);
    return m;
}

Vrx::ErrorStatus VRxDbBlockReference::transformBy(const VRxGeMatrix3d& m) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    // The block's own x axis decides the new rotation; a mirror shows up as a
    // negative y scale, so the block's content is mirrored as a whole.
    VRxGeVector3d xAxis = m.transform(VRxXform::dirOf(m_rotation) * m_scale.sx);
    VRxGeVector3d yAxis = m.transform(VRxXform::dirOf(m_rotation + kPi / 2) * m_scale.sy);
    double xl = std::hypot(xAxis.x, xAxis.y);
    if (xl == 0.0) return Vrx::eInvalidInput;
    double rot = VRxXform::angleOf(xAxis);
    VRxGeVector3d perp = VRxXform::dirOf(rot + kPi / 2);
    double sy = yAxis.x * perp.x + yAxis.y * perp.y;
    double sz = m_scale.sz * m.transform(VRxGeVector3d::kZAxis).length();
    if (sy == 0.0 || sz == 0.0) return Vrx::eInvalidInput;
    m_position = m.transform(m_position);
    m_rotation = rot;
    m_scale = VRxGeScale3d(xl, sy, sz);
    return Vrx::eOk;
}
