// The colour numbers of drawings as paint. The first nine are the ones drawings
// name most; the rest follow the wheel of hues the numbering is laid out on, close
// enough for a preview.
#include "aci_colour.h"

#include <cmath>

namespace zdtpreview {

namespace {

Rgb fromHsv(double hue, double saturation, double value) {
    const double c = value * saturation;
    const double h = std::fmod(hue, 360.0) / 60.0;
    const double x = c * (1.0 - std::fabs(std::fmod(h, 2.0) - 1.0));
    double r = 0, g = 0, b = 0;
    if (h < 1) { r = c; g = x; }
    else if (h < 2) { r = x; g = c; }
    else if (h < 3) { g = c; b = x; }
    else if (h < 4) { g = x; b = c; }
    else if (h < 5) { r = x; b = c; }
    else { r = c; b = x; }
    const double m = value - c;
    return {r + m, g + m, b + m};
}

}  // namespace

Rgb aciColour(int index) {
    switch (index) {
    case 1: return {1.0, 0.0, 0.0};
    case 2: return {1.0, 1.0, 0.0};
    case 3: return {0.0, 1.0, 0.0};
    case 4: return {0.0, 1.0, 1.0};
    case 5: return {0.0, 0.0, 1.0};
    case 6: return {1.0, 0.0, 1.0};
    case 8: return {0.5, 0.5, 0.5};
    case 9: return {0.75, 0.75, 0.75};
    default: break;
    }
    if (index >= 10 && index <= 249) {
        // Ten numbers per hue step of 15 degrees; the last digit darkens in pairs,
        // odd digits are the paler shade of the even one before them.
        const double hue = (index / 10 - 1) * 15.0;
        const int shade = index % 10;
        static const double values[] = {1.0, 0.8, 0.6, 0.5, 0.3};
        return fromHsv(hue, shade % 2 == 0 ? 1.0 : 0.5, values[shade / 2]);
    }
    if (index >= 250 && index <= 255) {
        const double grey = 0.2 + (index - 250) * 0.16;
        return {grey, grey, grey};
    }
    return {0.0, 0.0, 0.0};
}

}  // namespace zdtpreview
