// PocketDrawer: one pocket drawn into one view of its plate. In the plan view
// the pocket shows its true outline, placed by four dimensions from the plate's
// centre lines and labelled with its corner radii; in a side view it is a
// hidden-line rectangle as deep as the pocket with its depth dimensioned.
#pragma once

#include "model/pocket_record.h"
#include "pockets/pocket_outline.h"

struct PlateView;

class PocketDrawer {
public:
    // Neither the pocket nor the view is owned; both outlive the drawer in the model.
    PocketDrawer(PocketRecord* pocket, PlateView* view);
    // The drawn entities stay in the drawing; only their ids go.
    virtual ~PocketDrawer();
    PocketDrawer(const PocketDrawer&) = delete;
    PocketDrawer& operator=(const PocketDrawer&) = delete;

    void draw();

    const PocketRecord* pocket() const { return m_pocket; }
    const PlateView* view() const { return m_view; }
    // Plan view: corner number 4..7 -> its arc.
    const PocketEntityMap& arcs() const { return m_arcs; }
    // Plan view: the outline's edges; side views: the rectangle's sides
    // (0 right, 1 bottom, 2 left, 3 top).
    const PocketEntityMap& lines() const { return m_lines; }

private:
    void drawPlan();
    void dimensionPlan();
    void labelCornerRadius(int32_t corner, int32_t placement, int32_t code);
    void drawSide();
    void dimensionDepth();

    PocketRecord* m_pocket;
    PlateView* m_view;
    PocketEntityMap m_arcs;
    PocketEntityMap m_lines;
};
