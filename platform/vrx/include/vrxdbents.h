// Drawing entities of the host database: what the module draws and what drawing
// files contain. Layer and linetype are held by name (they resolve in whatever
// database the entity lives in); text styles, dimension styles and blocks by id.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "vrxdbcore.h"

// An axis-aligned box in world coordinates; empty until a point is added.
class VRxDbExtents {
public:
    VRxDbExtents() = default;
    VRxDbExtents(const VRxGePoint3d& min, const VRxGePoint3d& max);
    bool isEmpty() const { return m_empty; }
    VRxGePoint3d minPoint() const { return m_min; }
    VRxGePoint3d maxPoint() const { return m_max; }
    void addPoint(const VRxGePoint3d& p);
    void addExt(const VRxDbExtents& other);
    // The box around the transformed box (a turned box grows to hold its corners).
    void transformBy(const VRxGeMatrix3d& m);

private:
    bool m_empty = true;
    VRxGePoint3d m_min, m_max;
};

class VRxDbEntity : public VRxDbObject {
public:
    VRX_DECLARE_MEMBERS_OF_KINDS(VRxDbEntity, Line, DimLeader)

    std::wstring layer() const { return m_layer; }
    VRxDbObjectId layerId() const;
    // By id: the layer record of the entity's (or the working) database.
    Vrx::ErrorStatus setLayer(VRxDbObjectId layer);
    // By name: fails with eKeyNotFound when the database has no such layer.
    Vrx::ErrorStatus setLayer(const wchar_t* name);

    uint16_t colorIndex() const { return m_color.colorIndex(); }
    VRxCmColor color() const { return m_color; }
    Vrx::ErrorStatus setColorIndex(uint16_t index);
    Vrx::ErrorStatus setColor(const VRxCmColor& c) { return setColorIndex(c.colorIndex()); }

    // "ByLayer", "ByBlock", "Continuous" or a linetype of the database.
    std::wstring linetype() const { return m_linetype; }
    Vrx::ErrorStatus setLinetype(const wchar_t* name);
    // The names without a copy, for the platform's writers and copiers that
    // look at every entity.
    const std::wstring& layerRef() const { return m_layer; }
    const std::wstring& linetypeRef() const { return m_linetype; }
    double linetypeScale() const { return m_linetypeScale; }
    Vrx::ErrorStatus setLinetypeScale(double s);

    VRxDb::LineWeight lineWeight() const { return m_lineWeight; }
    Vrx::ErrorStatus setLineWeight(VRxDb::LineWeight w);

    // Moves, turns, scales or mirrors the entity in place.
    virtual Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) = 0;
    // The box the entity covers in world coordinates: a block reference its
    // block's content, a dimension or leader what the host draws for it. Text is
    // not measured in a font: every character counts one text height wide and the
    // line as tall as its height above the baseline. eInvalidExtents when there is
    // nothing to measure (an empty block, an empty text).
    Vrx::ErrorStatus getGeomExtents(VRxDbExtents& extents) const;

protected:
    VRxDbEntity() = default;
    VRxDbEntity(const VRxDbEntity&) = default;
    // Copies the common properties onto another entity (used by exploding and rendering).
    void copyPropertiesTo(VRxDbEntity& other) const;

private:
    std::wstring m_layer = L"0";
    VRxCmColor m_color;
    std::wstring m_linetype = L"ByLayer";
    double m_linetypeScale = 1.0;
    VRxDb::LineWeight m_lineWeight = VRxDb::kLnWtByLayer;
    friend class VRxDbEntityAccess;
};

class VRxDbLine : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbLine, Line)
    VRxDbLine() = default;
    VRxDbLine(const VRxGePoint3d& start, const VRxGePoint3d& end) : m_start(start), m_end(end) {}
    VRxDbKind kind() const override { return VRxDbKind::Line; }
    VRxDbObject* clone() const override { return new VRxDbLine(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;

    VRxGePoint3d startPoint() const { return m_start; }
    VRxGePoint3d endPoint() const { return m_end; }
    Vrx::ErrorStatus setStartPoint(const VRxGePoint3d& p) { m_start = p; return Vrx::eOk; }
    Vrx::ErrorStatus setEndPoint(const VRxGePoint3d& p) { m_end = p; return Vrx::eOk; }

private:
    VRxGePoint3d m_start, m_end;
};

// A counterclockwise arc about its normal from the start to the end angle (radians).
class VRxDbArc : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbArc, Arc)
    VRxDbArc() = default;
    VRxDbArc(const VRxGePoint3d& centre, double radius, double startAngle, double endAngle)
        : m_centre(centre), m_radius(radius), m_start(startAngle), m_end(endAngle) {}
    VRxDbArc(const VRxGePoint3d& centre, const VRxGeVector3d& normal, double radius, double startAngle,
             double endAngle)
        : m_centre(centre), m_normal(normal), m_radius(radius), m_start(startAngle), m_end(endAngle) {}
    VRxDbKind kind() const override { return VRxDbKind::Arc; }
    VRxDbObject* clone() const override { return new VRxDbArc(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;

    VRxGePoint3d center() const { return m_centre; }
    VRxGeVector3d normal() const { return m_normal; }
    double radius() const { return m_radius; }
    double startAngle() const { return m_start; }
    double endAngle() const { return m_end; }
    Vrx::ErrorStatus setCenter(const VRxGePoint3d& p) { m_centre = p; return Vrx::eOk; }
    Vrx::ErrorStatus setNormal(const VRxGeVector3d& n) { m_normal = n; return Vrx::eOk; }
    Vrx::ErrorStatus setRadius(double r) { m_radius = r; return Vrx::eOk; }
    Vrx::ErrorStatus setStartAngle(double a) { m_start = a; return Vrx::eOk; }
    Vrx::ErrorStatus setEndAngle(double a) { m_end = a; return Vrx::eOk; }

private:
    VRxGePoint3d m_centre;
    VRxGeVector3d m_normal{0, 0, 1};
    double m_radius = 0.0, m_start = 0.0, m_end = 0.0;
};

class VRxDbCircle : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbCircle, Circle)
    VRxDbCircle() = default;
    VRxDbCircle(const VRxGePoint3d& centre, const VRxGeVector3d& normal, double radius)
        : m_centre(centre), m_normal(normal), m_radius(radius) {}
    VRxDbKind kind() const override { return VRxDbKind::Circle; }
    VRxDbObject* clone() const override { return new VRxDbCircle(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;

    VRxGePoint3d center() const { return m_centre; }
    VRxGeVector3d normal() const { return m_normal; }
    double radius() const { return m_radius; }
    Vrx::ErrorStatus setCenter(const VRxGePoint3d& p) { m_centre = p; return Vrx::eOk; }
    Vrx::ErrorStatus setRadius(double r) { m_radius = r; return Vrx::eOk; }

private:
    VRxGePoint3d m_centre;
    VRxGeVector3d m_normal{0, 0, 1};
    double m_radius = 0.0;
};

// A 2-D polyline in the XY plane at an elevation; a bulge on a vertex makes the
// segment after it an arc (tan of a quarter of its included angle).
class VRxDbPolyline : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbPolyline, Polyline)
    VRxDbPolyline() = default;
    VRxDbKind kind() const override { return VRxDbKind::Polyline; }
    VRxDbObject* clone() const override { return new VRxDbPolyline(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;

    Vrx::ErrorStatus addVertexAt(unsigned index, const VRxGePoint2d& p, double bulge = 0.0);
    unsigned numVerts() const { return static_cast<unsigned>(m_points.size()); }
    VRxGePoint2d pointAt(unsigned i) const { return m_points.at(i); }
    double bulgeAt(unsigned i) const { return m_bulges.at(i); }
    bool isClosed() const { return m_closed; }
    void setClosed(bool closed) { m_closed = closed; }
    double elevation() const { return m_elevation; }
    void setElevation(double z) { m_elevation = z; }
    double constantWidth() const { return m_width; }
    void setConstantWidth(double w) { m_width = w; }

private:
    std::vector<VRxGePoint2d> m_points;
    std::vector<double> m_bulges;
    bool m_closed = false;
    double m_elevation = 0.0;
    double m_width = 0.0;
};

// A filled triangle or quadrilateral (arrowheads).
class VRxDbSolid : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbSolid, Solid)
    VRxDbSolid() = default;
    VRxDbSolid(const VRxGePoint3d& p0, const VRxGePoint3d& p1, const VRxGePoint3d& p2)
        : m_pts{p0, p1, p2, p2} {}
    VRxDbSolid(const VRxGePoint3d& p0, const VRxGePoint3d& p1, const VRxGePoint3d& p2,
               const VRxGePoint3d& p3)
        : m_pts{p0, p1, p2, p3} {}
    VRxDbKind kind() const override { return VRxDbKind::Solid; }
    VRxDbObject* clone() const override { return new VRxDbSolid(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    // Corners in DXF order: 0, 1, then 3 and 2 close the outline (2 == 3 for a triangle).
    VRxGePoint3d pointAt(int i) const { return m_pts[i]; }
    void setPointAt(int i, const VRxGePoint3d& p) { m_pts[i] = p; }

private:
    VRxGePoint3d m_pts[4];
};

namespace VRxDb {
enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2, kTextAlign = 3, kTextMid = 4, kTextFit = 5 };
enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };
}  // namespace VRxDb

// Single-line text. The position is the left end of the baseline; with another
// alignment the alignment point is where the text is anchored.
class VRxDbText : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbText, Text)
    VRxDbText() = default;
    VRxDbText(const VRxGePoint3d& position, const wchar_t* text, VRxDbObjectId style = VRxDbObjectId::kNull,
              double height = 0.0, double rotation = 0.0);
    VRxDbKind kind() const override { return VRxDbKind::Text; }
    VRxDbObject* clone() const override { return new VRxDbText(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_style); }

    VRxGePoint3d position() const { return m_position; }
    Vrx::ErrorStatus setPosition(const VRxGePoint3d& p) { m_position = p; return Vrx::eOk; }
    VRxGePoint3d alignmentPoint() const { return m_alignment; }
    Vrx::ErrorStatus setAlignmentPoint(const VRxGePoint3d& p) { m_alignment = p; return Vrx::eOk; }
    std::wstring textString() const { return m_text; }
    Vrx::ErrorStatus setTextString(const wchar_t* text);
    VRxDbObjectId textStyle() const { return m_style; }
    Vrx::ErrorStatus setTextStyle(VRxDbObjectId style) { m_style = style; return Vrx::eOk; }
    double height() const { return m_height; }
    Vrx::ErrorStatus setHeight(double h) { m_height = h; return Vrx::eOk; }
    double rotation() const { return m_rotation; }
    Vrx::ErrorStatus setRotation(double r) { m_rotation = r; return Vrx::eOk; }
    double widthFactor() const { return m_widthFactor; }
    Vrx::ErrorStatus setWidthFactor(double f) { m_widthFactor = f; return Vrx::eOk; }
    double oblique() const { return m_oblique; }
    Vrx::ErrorStatus setOblique(double a) { m_oblique = a; return Vrx::eOk; }
    VRxDb::TextHorzMode horizontalMode() const { return m_horz; }
    Vrx::ErrorStatus setHorizontalMode(VRxDb::TextHorzMode m) { m_horz = m; return Vrx::eOk; }
    VRxDb::TextVertMode verticalMode() const { return m_vert; }
    Vrx::ErrorStatus setVerticalMode(VRxDb::TextVertMode m) { m_vert = m; return Vrx::eOk; }

private:
    VRxGePoint3d m_position, m_alignment;
    std::wstring m_text;
    VRxDbObjectId m_style;  // null: the database's current text style when written
    double m_height = 0.0, m_rotation = 0.0, m_widthFactor = 1.0, m_oblique = 0.0;
    VRxDb::TextHorzMode m_horz = VRxDb::kTextLeft;
    VRxDb::TextVertMode m_vert = VRxDb::kTextBase;
};

// Paragraph text anchored at its location by its attachment (1 top-left … 9 bottom-right).
class VRxDbMText : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbMText, MText)
    enum AttachmentPoint {
        kTopLeft = 1, kTopCenter, kTopRight, kMiddleLeft, kMiddleCenter, kMiddleRight,
        kBottomLeft, kBottomCenter, kBottomRight
    };
    VRxDbMText() = default;
    VRxDbKind kind() const override { return VRxDbKind::MText; }
    VRxDbObject* clone() const override { return new VRxDbMText(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_style); }

    VRxGePoint3d location() const { return m_location; }
    Vrx::ErrorStatus setLocation(const VRxGePoint3d& p) { m_location = p; return Vrx::eOk; }
    std::wstring contents() const { return m_contents; }
    Vrx::ErrorStatus setContents(const wchar_t* text);
    double textHeight() const { return m_height; }
    Vrx::ErrorStatus setTextHeight(double h) { m_height = h; return Vrx::eOk; }
    double width() const { return m_width; }
    Vrx::ErrorStatus setWidth(double w) { m_width = w; return Vrx::eOk; }
    double rotation() const { return m_rotation; }
    Vrx::ErrorStatus setRotation(double r) { m_rotation = r; return Vrx::eOk; }
    AttachmentPoint attachment() const { return m_attachment; }
    Vrx::ErrorStatus setAttachment(AttachmentPoint a) { m_attachment = a; return Vrx::eOk; }
    VRxDbObjectId textStyle() const { return m_style; }
    Vrx::ErrorStatus setTextStyle(VRxDbObjectId style) { m_style = style; return Vrx::eOk; }

private:
    VRxGePoint3d m_location;
    std::wstring m_contents;
    double m_height = 0.0, m_width = 0.0, m_rotation = 0.0;
    AttachmentPoint m_attachment = kTopLeft;
    VRxDbObjectId m_style;
};

// An instance of a block definition at a position, scaled and turned.
class VRxDbBlockReference : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbBlockReference, BlockReference)
    VRxDbBlockReference() = default;
    VRxDbBlockReference(const VRxGePoint3d& position, VRxDbObjectId block) : m_position(position), m_block(block) {}
    VRxDbKind kind() const override { return VRxDbKind::BlockReference; }
    VRxDbObject* clone() const override { return new VRxDbBlockReference(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_block); }

    VRxDbObjectId blockTableRecord() const { return m_block; }
    Vrx::ErrorStatus setBlockTableRecord(VRxDbObjectId block) { m_block = block; return Vrx::eOk; }
    VRxGePoint3d position() const { return m_position; }
    Vrx::ErrorStatus setPosition(const VRxGePoint3d& p) { m_position = p; return Vrx::eOk; }
    VRxGeScale3d scaleFactors() const { return m_scale; }
    Vrx::ErrorStatus setScaleFactors(const VRxGeScale3d& s);
    double rotation() const { return m_rotation; }
    Vrx::ErrorStatus setRotation(double r) { m_rotation = r; return Vrx::eOk; }
    VRxGeVector3d normal() const { return m_normal; }
    // Block coordinates to world: scale about the block's origin, turn, move to the position.
    // The block's base point is subtracted by the caller that knows the block.
    VRxGeMatrix3d blockTransform(const VRxGePoint3d& blockOrigin = VRxGePoint3d::kOrigin) const;

private:
    VRxGePoint3d m_position;
    VRxDbObjectId m_block;
    VRxGeScale3d m_scale;
    double m_rotation = 0.0;
    VRxGeVector3d m_normal{0, 0, 1};
};
