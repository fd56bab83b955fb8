// Painting with cairo. Coordinates are turned into page units here rather than
// through a flipped cairo matrix, so text is never drawn upside down.
#include "scene_painter.h"

#include <cairo.h>

#include <cmath>

#include "aci_colour.h"
#include "text_metrics.h"

namespace zdtpreview {

namespace {

const double kMinPatternPixels = 16.0;

void setColour(cairo_t* cr, int aci) {
    const Rgb c = aciColour(aci);
    cairo_set_source_rgb(cr, c.r, c.g, c.b);
}

void tracePath(cairo_t* cr, const std::vector<VRxGePoint2d>& points, const PageFit& fit, bool closed) {
    cairo_new_path(cr);
    for (size_t i = 0; i < points.size(); ++i) {
        const VRxGePoint2d p = fit.toPage(points[i]);
        if (i == 0) cairo_move_to(cr, p.x, p.y);
        else cairo_line_to(cr, p.x, p.y);
    }
    if (closed) cairo_close_path(cr);
}

}  // namespace

std::vector<double> pageDashes(const std::vector<double>& dashes, const PageFit& fit) {
    // Even places hold dashes, odd places gaps; neighbours of one kind are one.
    std::vector<double> out;
    for (double d : dashes) {
        const bool dash = d >= 0.0;
        const double length = std::fabs(d) * fit.scale;
        if (out.empty() && !dash) out.push_back(0.0);
        const bool lastIsDash = !out.empty() && out.size() % 2 == 1;
        if (!out.empty() && lastIsDash == dash) out.back() += length;
        else out.push_back(length);
    }
    if (out.size() % 2 == 1) out.push_back(0.0);
    double total = 0.0;
    for (double d : out) total += d;
    if (out.size() < 2 || !(total > 0.0) || !std::isfinite(total)) return {};
    const double least = kMinPatternPixels * fit.pixel;
    if (total < least)
        for (double& d : out) d *= least / total;
    // A dot is a dash a pixel long; the leading empty dash of a pattern that starts with a gap stays empty.
    for (size_t i = 2; i < out.size(); i += 2) out[i] = std::max(out[i], fit.pixel);
    if (!dashes.empty() && dashes.front() >= 0.0) out[0] = std::max(out[0], fit.pixel);
    return out;
}

void paintScene(cairo_t* cr, const Scene& scene, const PageFit& fit, const TextMetrics& metrics) {
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);

    for (const Fill& f : scene.fills) {
        tracePath(cr, f.points, fit, true);
        setColour(cr, f.colour);
        cairo_fill(cr);
    }

    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (const Stroke& s : scene.strokes) {
        tracePath(cr, s.points, fit, s.closed);
        setColour(cr, s.colour);
        const double thin = (s.heavy ? 3.0 : 2.0) * fit.pixel;
        cairo_set_line_width(cr, std::max(thin, s.width * fit.scale));
        const std::vector<double> dashes = pageDashes(s.dashes, fit);
        cairo_set_dash(cr, dashes.empty() ? nullptr : dashes.data(), static_cast<int>(dashes.size()), 0.0);
        cairo_stroke(cr);
    }
    cairo_set_dash(cr, nullptr, 0, 0.0);

    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_set_font_face(cr, metrics.face());
    for (const Label& l : scene.labels) {
        const VRxGePoint2d at = fit.toPage(l.origin);
        cairo_save(cr);
        cairo_translate(cr, at.x, at.y);
        cairo_rotate(cr, -l.rotation);
        cairo_scale(cr, l.widthFactor, 1.0);
        if (l.oblique != 0.0) {
            // Slanted to the right as the text goes up (up is -y on the page).
            cairo_matrix_t shear;
            cairo_matrix_init(&shear, 1.0, 0.0, -std::tan(l.oblique), 1.0, 0.0, 0.0);
            cairo_transform(cr, &shear);
        }
        cairo_set_font_size(cr, metrics.fontSizeFor(l.height * fit.scale));
        setColour(cr, l.colour);
        cairo_move_to(cr, 0.0, 0.0);
        cairo_show_text(cr, l.text.c_str());
        cairo_restore(cr);
    }
}

}  // namespace zdtpreview
