// The lock seat against the holes. The seat is the lock block's whole footprint
// taken into the plate (its length along the edge, its width inward), centred
// on the edge; a hole fits beside it when 2 mm of steel stay between them, the
// clearance the catalogue keeps between any two holes.
#include "lock_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace {

const double kClearance = 2.0;

double number(const std::string& text, const std::string& what) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0') throw std::runtime_error("not a number in " + what + ": '" + text + "'");
    return v;
}

// Whether a seat on one edge keeps clear of every hole. along/across: a hole's
// position along the edge and towards it; edge: the distance of the edge from
// the plate centre; span: the edge's length.
bool seatClear(double seatLength, double seatDepth, double edge, double span,
               const std::vector<LockFitHole>& holes, bool acrossIsY, double towards) {
    if (seatLength > span || seatDepth > edge) return false;
    for (const LockFitHole& h : holes) {
        const double along = acrossIsY ? h.x : h.y;
        const double across = towards * (acrossIsY ? h.y : h.x);
        const double halfAlong = acrossIsY ? h.halfX : h.halfY, halfAcross = acrossIsY ? h.halfY : h.halfX;
        const double dx = std::max(std::fabs(along) - halfAlong - seatLength / 2, 0.0);
        const double dy = std::max(edge - seatDepth - (across + halfAcross), 0.0);
        if (std::hypot(dx, dy) < h.radius + kClearance) return false;
    }
    return true;
}

}  // namespace

LockFitter::LockFitter(const std::vector<std::vector<std::string>>& catalogueLocks,
                       const std::vector<std::vector<std::string>>& lockShapes) {
    std::map<std::string, std::pair<double, double>> shapes;
    for (const auto& f : lockShapes)
        shapes[f.at(0)] = {number(f.at(1), "lock length of " + f.at(0)), number(f.at(2), "lock width of " + f.at(0))};
    for (const auto& f : catalogueLocks) {
        auto shape = shapes.find(f.at(2));
        if (shape == shapes.end()) throw std::runtime_error("no lock shape for " + f.at(2));
        m_seats[f.at(1)].push_back(Seat{f.at(0), shape->second.first, shape->second.second});
    }
}

std::map<std::string, std::set<std::string>> LockFitter::fits(
    double width, double length, const std::map<std::string, std::vector<LockFitHole>>& holes) const {
    std::map<std::string, std::set<std::string>> result;
    for (const auto& [size, seats] : m_seats) {
        bool topBottom = true, leftRight = true;
        for (const Seat& seat : seats) {
            auto plate = holes.find(seat.plate);
            if (plate == holes.end()) {
                topBottom = leftRight = false;  // the style has no such plate to seat the lock in
                break;
            }
            for (double towards : {1.0, -1.0}) {
                topBottom = topBottom && seatClear(seat.length, seat.depth, length / 2, width, plate->second, true, towards);
                leftRight = leftRight && seatClear(seat.length, seat.depth, width / 2, length, plate->second, false, towards);
            }
        }
        if (topBottom) result[size].insert("TB");
        if (leftRight) result[size].insert("LR");
    }
    return result;
}
