// The openings of the pin-point series and how far its parts reach under the
// parting line when the mould is closed. The order list orders the bolts and
// pins by the same rules (order_parts.csv); the generator checks with them
// that every thickness choice leaves each part the room it needs.
//
// Stroke by stroke, as seen from the A plate's parting face:
//   S1 = L_PB - A + h_PB: the puller bolt's shoulder under its head, less
//        what of it the A plate and the head's counterbore take; the bolt is
//        cut to open s1, L_PB = s1 + A - h_PB;
//   closed, its head stands S1 - h_PB under the parting face;
//   S2 = L_SB - R + h_SB, with L_SB = R - h_SB + s2;
//   the support pin ends 1.5 D into the A plate's bush at full opening:
//   R + S1 + S2 + 1.5 D under the top clamp plate, so closed
//   S1 + S2 + 1.5 D - A under the parting face.
#include <algorithm>
#include <cmath>

#include "hole_layout.h"

namespace catalogue {

double pullerShoulder(const Sources&, const Size& s, double a) { return s.var("s1") + a - s.var("pbcb"); }

double firstOpening(const Sources& src, const Size& s, double a) {
    return pullerShoulder(src, s, a) - a + s.var("pbcb");
}

double secondOpening(const Size& s, double runner) {
    const double shoulder = runner - s.var("sbcb") + s.var("s2");
    return shoulder - runner + s.var("sbcb");
}

double pullerHeadDepth(const Sources& src, const Size& s, double a) {
    return firstOpening(src, s, a) - s.var("pbcb") + s.var("pbk");
}

double pinEndDepth(const Sources& src, const Size& s, double a, double room) {
    // The stop bolt opens s2 whatever the runner stripper plate's thickness.
    return std::max(room - kPinPointSpare, firstOpening(src, s, a) + s.var("s2") + s.var("spg") - a);
}

std::vector<std::pair<std::string, std::vector<int>>> platesUnderA(const Sources& src, const Size& s,
                                                                   const Style& style) {
    std::vector<std::pair<std::string, std::vector<int>>> out;
    bool under = false;
    for (const auto& p : style.plates) {
        if (p.first == "方铁L") break;
        if (under) out.push_back({p.first, plateThicknesses(src, s, p.first)});
        if (p.first == "A板") under = true;
    }
    return out;
}

bool reachesSpacer(const Sources& src, const Size& s, const Style& style, const std::string& part) {
    const auto plates = platesUnderA(src, s, style);
    // The thinnest plates leave the least room; the A plate's thickness moves the strokes.
    double room = 0;
    for (const auto& p : plates) room += *std::min_element(p.second.begin(), p.second.end());
    for (int a : plateThicknesses(src, s, "A板")) {
        const double depth = part == "小拉杆" ? pullerHeadDepth(src, s, a) : pinEndDepth(src, s, a, room);
        if (depth + kPinPointSpare > room + 1e-9) return true;
    }
    return false;
}

const Style& styleNamed(const Sources& src, const std::string& name) {
    for (const Style& st : src.styles)
        if (st.name == name) return st;
    throw Failure("no style " + name);
}

}  // namespace catalogue
