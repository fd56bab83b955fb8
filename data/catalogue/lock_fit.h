// Which lock sizes a mould base has room for: a lock block sits in the middle
// of a plate edge, and fits there when its seat in the A and B plates keeps
// clear of every machining hole of both. catalogue_gen stores the answer per
// mould code and style, so the lock dialog offers only locks that fit.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// One hole of a plate: its centre from the plate centre (x across the width, y
// along the length) and its largest radius; or, with half extents, a hole
// running along the plate (an eyebolt hole from a side face), the box
// x ± halfX, y ± halfY grown by the radius.
struct LockFitHole {
    double x = 0;
    double y = 0;
    double radius = 0;
    double halfX = 0;
    double halfY = 0;
};

class LockFitter {
public:
    // catalogueLocks: the plan view rows of catalogue/locks.csv (platename,
    // size, blockname); lockShapes: the rows of blockres/locks.csv (blockname,
    // length along the edge, width into the plate, tongue, height). A block
    // without a shape throws std::runtime_error.
    LockFitter(const std::vector<std::vector<std::string>>& catalogueLocks,
               const std::vector<std::vector<std::string>>& lockShapes);

    // Lock size -> the edge pairs ("TB" top and bottom, "LR" left and right) on
    // which it fits every plate that carries it, for plates width x length with
    // these holes (plate name -> holes). A size missing from the result fits
    // nowhere.
    std::map<std::string, std::set<std::string>> fits(
        double width, double length, const std::map<std::string, std::vector<LockFitHole>>& holes) const;

private:
    struct Seat {
        std::string plate;
        double length = 0;  // along the edge
        double depth = 0;   // into the plate
    };
    std::map<std::string, std::vector<Seat>> m_seats;  // size -> its seat on each plate
};
