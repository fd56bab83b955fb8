// Paints a fitted scene onto a cairo surface: white paper, filled areas, lines
// with their dash patterns and text in the preview's font.
#pragma once

#include "page_fit.h"
#include "scene.h"

typedef struct _cairo cairo_t;

namespace zdtpreview {

class TextMetrics;

void paintScene(cairo_t* cr, const Scene& scene, const PageFit& fit, const TextMetrics& metrics);

// A dash pattern in drawing units as page units cairo takes: alternating dash and
// gap lengths starting with a dash, dots a pixel long, and the whole pattern at
// least a few pixels so a dashed line never looks solid or grey.
std::vector<double> pageDashes(const std::vector<double>& dashes, const PageFit& fit);

}  // namespace zdtpreview
