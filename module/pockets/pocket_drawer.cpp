// Pocket drawing. The mould maker machines a pocket from the plate's centre
// lines, so the plan view dimensions every edge from them: the horizontal
// dimensions above the pocket, the vertical ones to its left. The side view
// shows the pocket as hidden lines from the face it opens on, the parting face,
// which every side view has on top.
#include "pockets/pocket_drawer.h"

#include <cmath>
#include <vector>

#include "draw/drawing_styles.h"
#include "draw/drawing_tools.h"
#include "draw/entity_services.h"
#include "draw/opened_object.h"
#include "model/mould_base_model.h"

namespace {

const wchar_t* const kPlanView = L"A1";
const wchar_t* const kHiddenLine = L"虚线";
const double kQuarterTurn = M_PI / 2.0;

}  // namespace

PocketDrawer::PocketDrawer(PocketRecord* pocket, PlateView* view) : m_pocket(pocket), m_view(view) {}

PocketDrawer::~PocketDrawer() = default;

void PocketDrawer::draw() {
    if (m_pocket == nullptr || m_view == nullptr) return;
    if (m_view->code == kPlanView) {
        drawPlan();
    } else {
        drawSide();
    }
}

void PocketDrawer::drawPlan() {
    if (!drawPocketOutline(*m_pocket, m_view->centreX, m_view->centreY, m_lines, m_arcs)) return;
    dimensionPlan();
    // The three corners other than the datum corner share one cut and radius,
    // so corner 5 tells theirs or the datum's, and corner 6 the other one when
    // it differs.
    if (m_arcs.count(5) == 0) return;
    labelCornerRadius(5, m_pocket->cornerSpec(5).type, DrawingTools::kTopLeft);
    if (m_arcs.count(6) != 0 && m_pocket->cornerSpec(6) != m_pocket->cornerSpec(5))
        labelCornerRadius(6, m_pocket->cornerSpec(6).type, DrawingTools::kTopRight);
}

void PocketDrawer::dimensionPlan() {
    const double x0 = m_view->centreX, y0 = m_view->centreY;
    const std::vector<VRxGePoint3d> c4 = pocketCornerPoints(*m_pocket, 4, x0, y0);
    const std::vector<VRxGePoint3d> c5 = pocketCornerPoints(*m_pocket, 5, x0, y0);
    const std::vector<VRxGePoint3d> c6 = pocketCornerPoints(*m_pocket, 6, x0, y0);
    const std::vector<VRxGePoint3d> c7 = pocketCornerPoints(*m_pocket, 7, x0, y0);
    if (c4.size() != 3 || c5.size() != 3 || c6.size() != 3 || c7.size() != 3) return;

    const PocketRectangle r = pocketRectangle(*m_pocket, x0, y0);
    const double gap = 2.0 * drawingScale;
    const VRxGePoint3d verticalCentre(x0, r.top, 0.0);
    const VRxGePoint3d horizontalCentre(r.left, y0, 0.0);

    const VRxGePoint3d& leftEdge = c7[2];
    const VRxGePoint3d& rightEdge = c4[0];
    const VRxGePoint3d& topEdge = c7[0];
    const VRxGePoint3d& bottomEdge = c6[2];
    addRotatedDimension(leftEdge, verticalCentre, VRxGePoint3d((leftEdge.x + x0) / 2.0, r.top + gap, 0.0), 0.0,
                        nullptr, dimStyleId);
    addRotatedDimension(rightEdge, verticalCentre, VRxGePoint3d((rightEdge.x + x0) / 2.0, r.top + gap, 0.0), 0.0,
                        nullptr, dimStyleId);
    addRotatedDimension(topEdge, horizontalCentre, VRxGePoint3d(r.left - gap, (topEdge.y + y0) / 2.0, 0.0),
                        kQuarterTurn, nullptr, dimStyleId);
    addRotatedDimension(bottomEdge, horizontalCentre, VRxGePoint3d(r.left - gap, (bottomEdge.y + y0) / 2.0, 0.0),
                        kQuarterTurn, nullptr, dimStyleId);
}

// The label's base point is the arc centre shifted by the corner radius
// dimension's rules, which with these codes lands on the pocket's rectangle
// corner for both a fillet and a relief corner.
void PocketDrawer::labelCornerRadius(int32_t corner, int32_t placement, int32_t code) {
    VRxGePoint3d centre;
    double radius = 0.0;
    {
        OpenedObject<VRxDbEntity> entity(openEntity(m_arcs[corner], VRxDb::kForRead));
        const VRxDbArc* arc = VRxDbArc::cast(entity.get());
        if (arc == nullptr) return;
        centre = arc->center();
        radius = arc->radius();
    }
    DrawingTools::instance()->addCornerRadiusDimension(centre, placement, code, radius);
}

void PocketDrawer::drawSide() {
    if (m_view->plate == nullptr) return;
    const double left = m_view->centreX + m_pocket->centreX - m_pocket->width / 2.0;
    // The pocket opens on the parting face, the upper face of every side view.
    const double top = m_view->centreY + m_view->plate->thickness / 2.0;
    DrawingTools::instance()->drawRectangle(VRxGePoint3d(left, top, 0.0), m_pocket->width, m_pocket->depth, m_lines,
                                            -1, kHiddenLine);
    dimensionDepth();
}

void PocketDrawer::dimensionDepth() {
    if (m_lines.size() != 4) return;
    VRxGePoint3d start, end;
    {
        OpenedObject<VRxDbEntity> entity(openEntity(m_lines[DrawingTools::kRight], VRxDb::kForRead));
        const VRxDbLine* side = VRxDbLine::cast(entity.get());
        if (side == nullptr) return;
        start = side->startPoint();
        end = side->endPoint();
    }
    addRotatedDimension(start, end, VRxGePoint3d(start.x + 2.0 * drawingScale, (start.y + end.y) / 2.0, 0.0),
                        kQuarterTurn, nullptr, dimStyleId);
}

void freeDrawnRecord(PocketDrawer* record) { delete record; }
