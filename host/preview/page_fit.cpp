// Fitting the drawing onto the page. The picture's size follows the text: a
// mould base drawing is several metres long while its dimension values are a
// few millimetres high, and a preview whose values cannot be read is of no use.
#include "page_fit.h"

#include <algorithm>
#include <cmath>

namespace zdtpreview {

namespace {
const double kMarginPixels = 24.0;
const double kMarginFraction = 0.02;
const double kReadableTextPixels = 12.0;
}  // namespace

double pictureScale(const Bounds& bounds, const std::vector<Label>& labels) {
    const double side = std::max(bounds.width(), bounds.height());
    if (!(side > 0.0) || !std::isfinite(side)) return 1.0;
    const double usable = 1.0 - 2.0 * kMarginFraction;
    double scale = kPictureSide * usable / side;
    if (!labels.empty()) {
        // The median height: most of a drawing's text is its dimension values.
        std::vector<double> heights;
        for (const Label& l : labels) heights.push_back(l.height);
        std::nth_element(heights.begin(), heights.begin() + heights.size() / 2, heights.end());
        const double typical = heights[heights.size() / 2];
        if (typical > 0.0) scale = std::max(scale, kReadableTextPixels / typical);
    }
    return std::min(scale, kPictureMaxSide * usable / side);
}

PageFit fitPage(const Bounds& bounds, double scale, double pixel) {
    PageFit fit;
    fit.scale = scale > 0.0 && std::isfinite(scale) ? scale : 1.0;
    fit.pixel = pixel > 0.0 && std::isfinite(pixel) ? pixel : 1.0;
    const double w = bounds.width() * fit.scale, h = bounds.height() * fit.scale;
    fit.margin = std::max(kMarginPixels * fit.pixel, kMarginFraction * std::max(w, h));
    fit.width = w + 2.0 * fit.margin;
    fit.height = h + 2.0 * fit.margin;
    fit.left = bounds.empty ? 0.0 : bounds.x0;
    fit.top = bounds.empty ? 0.0 : bounds.y1;
    return fit;
}

}  // namespace zdtpreview
