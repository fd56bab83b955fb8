// Where a scene lands on the page: the scale from drawing units to page units,
// the margin round the drawing and the page's size, with the drawing's y axis
// (up) turned into the page's (down).
#pragma once

#include <vector>

#include "scene.h"

namespace zdtpreview {

struct PageFit {
    double scale = 1.0;   // page units per drawing unit
    double pixel = 1.0;   // page units of one picture pixel: thin lines, dash sizes
    double margin = 0.0;  // page units
    double width = 0.0, height = 0.0;
    double left = 0.0, top = 0.0;  // the drawing point at the margin's corner

    VRxGePoint2d toPage(const VRxGePoint2d& p) const {
        return {margin + (p.x - left) * scale, margin + (top - p.y) * scale};
    }
};

// Pixels per drawing unit for the picture: the drawing's longer side fills
// kPictureSide pixels, more when that would leave the usual text too small to read,
// never more than kPictureMaxSide.
const double kPictureSide = 3200.0;
const double kPictureMaxSide = 10000.0;
double pictureScale(const Bounds& bounds, const std::vector<Label>& labels);

// The page for a scene at a scale; an empty or flat drawing still gets a page.
PageFit fitPage(const Bounds& bounds, double scale, double pixel);

}  // namespace zdtpreview
