// Measuring text with the preview's font through cairo, at one reference size
// scaled to each text's height: the same font the painter uses, so the measured
// lengths are the painted ones.
#include "text_metrics.h"

#include <cairo.h>

namespace zdtpreview {

const char* const kPreviewFontFamily = "WenQuanYi Micro Hei";

namespace {
const double kReferenceSize = 100.0;
}

TextMetrics::TextMetrics() {
    m_face = cairo_toy_font_face_create(kPreviewFontFamily, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_matrix_t size, identity;
    cairo_matrix_init_scale(&size, kReferenceSize, kReferenceSize);
    cairo_matrix_init_identity(&identity);
    cairo_font_options_t* options = cairo_font_options_create();
    // Unhinted, so lengths scale exactly with the size.
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    m_font = cairo_scaled_font_create(m_face, &size, &identity, options);
    cairo_font_options_destroy(options);

    cairo_text_extents_t capital;
    cairo_scaled_font_text_extents(m_font, "H", &capital);
    cairo_font_extents_t font;
    cairo_scaled_font_extents(m_font, &font);
    // A font that could not be loaded measures nothing: keep the usual proportions.
    if (cairo_scaled_font_status(m_font) == CAIRO_STATUS_SUCCESS && capital.height > 1.0) {
        m_capRatio = capital.height / kReferenceSize;
        m_descent = font.descent / capital.height;
        m_ascent = font.ascent / capital.height;
    }
}

TextMetrics::~TextMetrics() {
    cairo_scaled_font_destroy(m_font);
    cairo_font_face_destroy(m_face);
}

double TextMetrics::advance(const std::string& text, double capHeight) const {
    if (text.empty()) return 0.0;
    cairo_text_extents_t e;
    cairo_scaled_font_text_extents(m_font, text.c_str(), &e);
    return e.x_advance / kReferenceSize * fontSizeFor(capHeight);
}

}  // namespace zdtpreview
