// Colour numbers of drawings (ACI) as the red, green and blue the preview paints
// on its white paper.
#pragma once

namespace zdtpreview {

struct Rgb {
    double r = 0.0, g = 0.0, b = 0.0;
};

// 1-9 exactly; 10-249 from the colour wheel the numbers follow; 250-255 greys.
// 7 (and anything outside 1-255) is black, since the paper is white.
Rgb aciColour(int index);

}  // namespace zdtpreview
