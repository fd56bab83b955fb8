// Dimensions and the dimension leader. The host measures and draws them: every
// dimension explodes into its geometry (extension lines, dimension line,
// arrowheads, the measured text) from its dimension style, and that geometry
// is what drawing files store as the dimension's block and what previews show.
#pragma once

#include "vrxdbents.h"

class VRxDbDimStyleTableRecord;

class VRxDbDimension : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS_OF_KINDS(VRxDbDimension, RotatedDimension, DiametricDimension)
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_style); }

    VRxDbObjectId dimensionStyle() const { return m_style; }
    Vrx::ErrorStatus setDimensionStyle(VRxDbObjectId style) { m_style = style; return Vrx::eOk; }
    // The user's text: empty means the measured value; "<>" in it stands for the value.
    std::wstring dimensionText() const { return m_text; }
    Vrx::ErrorStatus setDimensionText(const wchar_t* text);
    // Where the text sits; unset means the style's default place.
    bool hasTextPosition() const { return m_hasTextPosition; }
    VRxGePoint3d textPosition() const { return m_textPosition; }
    Vrx::ErrorStatus setTextPosition(const VRxGePoint3d& p);

    // The measured value in drawing units.
    virtual double measurement() const = 0;
    // The text as shown: the measured value formatted by the style, put into the user's text.
    std::wstring displayText() const;
    // The geometry the host draws for this dimension, in world coordinates, with the
    // style found through the entity's database (or the working database when it is in none).
    void explode(std::vector<std::unique_ptr<VRxDbEntity>>& out) const;
    // The same with an explicit style (the writer and tests use it).
    virtual void explode(const VRxDbDimStyleTableRecord& style,
                         std::vector<std::unique_ptr<VRxDbEntity>>& out) const = 0;

protected:
    VRxDbDimension() = default;
    VRxDbDimension(const VRxDbDimension&) = default;
    void transformCommon(const VRxGeMatrix3d& m);
    // The style of the entity's database, null when it cannot be found.
    const VRxDbDimStyleTableRecord* resolveStyle() const;

private:
    VRxDbObjectId m_style;
    std::wstring m_text;
    bool m_hasTextPosition = false;
    VRxGePoint3d m_textPosition;
};

// A linear dimension measured along a direction (rotation in radians): the
// distance between the two extension line points projected on that direction.
class VRxDbRotatedDimension : public VRxDbDimension {
public:
    VRX_DECLARE_MEMBERS(VRxDbRotatedDimension, RotatedDimension)
    VRxDbRotatedDimension() = default;
    VRxDbRotatedDimension(double rotation, const VRxGePoint3d& xLine1, const VRxGePoint3d& xLine2,
                          const VRxGePoint3d& dimLine, const wchar_t* text = nullptr,
                          VRxDbObjectId style = VRxDbObjectId::kNull);
    VRxDbKind kind() const override { return VRxDbKind::RotatedDimension; }
    VRxDbObject* clone() const override { return new VRxDbRotatedDimension(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    double measurement() const override;
    using VRxDbDimension::explode;
    void explode(const VRxDbDimStyleTableRecord& style, std::vector<std::unique_ptr<VRxDbEntity>>& out) const override;

    VRxGePoint3d xLine1Point() const { return m_x1; }
    VRxGePoint3d xLine2Point() const { return m_x2; }
    VRxGePoint3d dimLinePoint() const { return m_dimLine; }
    double rotation() const { return m_rotation; }
    Vrx::ErrorStatus setXLine1Point(const VRxGePoint3d& p) { m_x1 = p; return Vrx::eOk; }
    Vrx::ErrorStatus setXLine2Point(const VRxGePoint3d& p) { m_x2 = p; return Vrx::eOk; }
    Vrx::ErrorStatus setDimLinePoint(const VRxGePoint3d& p) { m_dimLine = p; return Vrx::eOk; }
    Vrx::ErrorStatus setRotation(double r) { m_rotation = r; return Vrx::eOk; }

private:
    VRxGePoint3d m_x1, m_x2, m_dimLine;
    double m_rotation = 0.0;
};

// A radius: from the centre to a point on the curve; the leader runs on past the
// chord point by the leader length, and the text reads "R" and the value.
class VRxDbRadialDimension : public VRxDbDimension {
public:
    VRX_DECLARE_MEMBERS(VRxDbRadialDimension, RadialDimension)
    VRxDbRadialDimension() = default;
    VRxDbRadialDimension(const VRxGePoint3d& centre, const VRxGePoint3d& chordPoint, double leaderLength,
                         const wchar_t* text = nullptr, VRxDbObjectId style = VRxDbObjectId::kNull);
    VRxDbKind kind() const override { return VRxDbKind::RadialDimension; }
    VRxDbObject* clone() const override { return new VRxDbRadialDimension(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    double measurement() const override;
    using VRxDbDimension::explode;
    void explode(const VRxDbDimStyleTableRecord& style, std::vector<std::unique_ptr<VRxDbEntity>>& out) const override;

    VRxGePoint3d center() const { return m_centre; }
    VRxGePoint3d chordPoint() const { return m_chord; }
    double leaderLength() const { return m_leader; }
    Vrx::ErrorStatus setCenter(const VRxGePoint3d& p) { m_centre = p; return Vrx::eOk; }
    Vrx::ErrorStatus setChordPoint(const VRxGePoint3d& p) { m_chord = p; return Vrx::eOk; }
    Vrx::ErrorStatus setLeaderLength(double l) { m_leader = l; return Vrx::eOk; }

private:
    VRxGePoint3d m_centre, m_chord;
    double m_leader = 0.0;
};

// A diameter between two opposite points of a circle; the text reads "%%c" and the value.
class VRxDbDiametricDimension : public VRxDbDimension {
public:
    VRX_DECLARE_MEMBERS(VRxDbDiametricDimension, DiametricDimension)
    VRxDbDiametricDimension() = default;
    VRxDbDiametricDimension(const VRxGePoint3d& chordPoint, const VRxGePoint3d& farChordPoint,
                            double leaderLength, const wchar_t* text = nullptr,
                            VRxDbObjectId style = VRxDbObjectId::kNull);
    VRxDbKind kind() const override { return VRxDbKind::DiametricDimension; }
    VRxDbObject* clone() const override { return new VRxDbDiametricDimension(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    double measurement() const override;
    using VRxDbDimension::explode;
    void explode(const VRxDbDimStyleTableRecord& style, std::vector<std::unique_ptr<VRxDbEntity>>& out) const override;

    VRxGePoint3d chordPoint() const { return m_chord; }
    VRxGePoint3d farChordPoint() const { return m_far; }
    double leaderLength() const { return m_leader; }

private:
    VRxGePoint3d m_chord, m_far;
    double m_leader = 0.0;
};

// A leader with an arrowhead at its start, through its vertices to its end point,
// where its text stands above the last segment (second text below it).
class VRxDbDimLeader : public VRxDbEntity {
public:
    VRX_DECLARE_MEMBERS(VRxDbDimLeader, DimLeader)
    VRxDbDimLeader() = default;
    VRxDbDimLeader(const VRxGePoint3d& start, const std::vector<VRxGePoint3d>& vertices,
                   const VRxGePoint3d& end, const wchar_t* text1, const wchar_t* text2,
                   VRxDbObjectId style = VRxDbObjectId::kNull);
    VRxDbKind kind() const override { return VRxDbKind::DimLeader; }
    VRxDbObject* clone() const override { return new VRxDbDimLeader(*this); }
    Vrx::ErrorStatus transformBy(const VRxGeMatrix3d& m) override;
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_style); }

    VRxGePoint3d startPoint() const { return m_start; }
    const std::vector<VRxGePoint3d>& vertices() const { return m_vertices; }
    VRxGePoint3d endPoint() const { return m_end; }
    std::wstring text1() const { return m_text1; }
    std::wstring text2() const { return m_text2; }
    VRxDbObjectId dimensionStyle() const { return m_style; }
    Vrx::ErrorStatus setDimensionStyle(VRxDbObjectId style) { m_style = style; return Vrx::eOk; }
    // All points in order: start, vertices, end.
    std::vector<VRxGePoint3d> points() const;
    void explode(std::vector<std::unique_ptr<VRxDbEntity>>& out) const;
    void explode(const VRxDbDimStyleTableRecord& style, std::vector<std::unique_ptr<VRxDbEntity>>& out) const;

private:
    VRxGePoint3d m_start, m_end;
    std::vector<VRxGePoint3d> m_vertices;
    std::wstring m_text1, m_text2;
    VRxDbObjectId m_style;
};
