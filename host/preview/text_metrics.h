// The one font the preview writes with and how big its text comes out, so the
// text can be placed (centred, right-aligned) and counted into the drawing's
// extents before anything is painted.
#pragma once

#include <string>

typedef struct _cairo_font_face cairo_font_face_t;
typedef struct _cairo_scaled_font cairo_scaled_font_t;

namespace zdtpreview {

// Chinese and Western text alike: a font with both.
extern const char* const kPreviewFontFamily;

class TextMetrics {
public:
    TextMetrics();
    ~TextMetrics();
    TextMetrics(const TextMetrics&) = delete;
    TextMetrics& operator=(const TextMetrics&) = delete;

    cairo_font_face_t* face() const { return m_face; }
    // Drawing text heights are the height of capitals; the font is sized by its em.
    double fontSizeFor(double capHeight) const { return capHeight / m_capRatio; }
    // Length along the baseline of one line of UTF-8 text of that capital height.
    double advance(const std::string& text, double capHeight) const;
    // How far below the baseline and above the capitals the font's glyphs reach,
    // as fractions of the capital height.
    double descentRatio() const { return m_descent; }
    double ascentRatio() const { return m_ascent; }

private:
    cairo_font_face_t* m_face = nullptr;
    cairo_scaled_font_t* m_font = nullptr;  // at the reference size
    double m_capRatio = 0.7, m_descent = 0.3, m_ascent = 1.3;
};

}  // namespace zdtpreview
