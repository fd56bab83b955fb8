// The checks of one swept drawing. A plate is found by its name, centred under
// its plan view; its width dimension stands on the plan view's top edge, its
// length dimension starts at one of its corners and its thickness dimension
// hangs below in the side view. The spacer blocks carry no name: they are the plan
// views no name claims.
#include "drawing_checks.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "winhost.h"
#include "vrxdbobjecttable.h"

namespace sweep {
namespace {

const double kTol = 1e-6;

struct Dimension {
    VRxGePoint3d from, to;
    double value;
    bool upright;  // measured along Y
};

struct Found {
    std::vector<Dimension> dims;
    std::vector<std::pair<VRxGePoint3d, VRxGePoint3d>> edges;
    std::vector<const VRxDbText*> texts;
};

bool near(double a, double b) { return std::fabs(a - b) < kTol; }
bool samePoint(const VRxGePoint3d& a, const VRxGePoint3d& b) { return near(a.x, b.x) && near(a.y, b.y); }

std::string utf8(const std::wstring& text) { return winToUtf8(text); }

std::string number(double v) {
    std::ostringstream s;
    s << v;
    return s.str();
}

Found collect(const VRxDbDatabase& db) {
    Found found;
    auto* space = static_cast<VRxDbBlockTableRecord*>(vrxdbObjectAt(db, db.modelSpaceId()));
    if (space == nullptr) return found;
    for (VRxDbObjectId id : space->entityIds()) {
        VRxDbObject* object = vrxdbObjectAt(db, id);
        if (object == nullptr) continue;
        switch (object->kind()) {
        case VRxDbKind::Line: {
            auto* line = static_cast<VRxDbLine*>(object);
            found.edges.emplace_back(line->startPoint(), line->endPoint());
            break;
        }
        case VRxDbKind::RotatedDimension: {
            auto* dim = static_cast<VRxDbRotatedDimension*>(object);
            const bool upright = std::fabs(std::fabs(std::sin(dim->rotation())) - 1.0) < 1e-9;
            found.dims.push_back({dim->xLine1Point(), dim->xLine2Point(), dim->measurement(), upright});
            break;
        }
        case VRxDbKind::Text:
            found.texts.push_back(static_cast<const VRxDbText*>(object));
            break;
        default:
            break;
        }
    }
    return found;
}

bool hasEdge(const Found& found, const VRxGePoint3d& a, const VRxGePoint3d& b) {
    for (const auto& e : found.edges)
        if ((samePoint(e.first, a) && samePoint(e.second, b)) || (samePoint(e.first, b) && samePoint(e.second, a)))
            return true;
    return false;
}

class Checker {
public:
    Checker(const VRxDbDatabase& db, const std::wstring& title, const ExpectedPlates& plates)
        : m_found(collect(db)), m_title(title), m_plates(plates) {}

    std::vector<std::string> run() {
        if (!findScale()) return m_problems;
        std::vector<const Dimension*> claimed;
        for (const auto& plate : m_plates) {
            if (isSpacerBlock(plate.first)) continue;
            if (const Dimension* width = checkNamedPlate(plate.first, plate.second)) claimed.push_back(width);
        }
        checkSpacerBlocks(claimed);
        checkNoOverlap();
        return m_problems;
    }

private:
    static bool isSpacerBlock(const std::wstring& name) { return name == L"方铁L" || name == L"方铁R"; }

    void problem(const std::string& text) { m_problems.push_back(text); }

    bool findScale() {
        int titles = 0;
        for (const VRxDbText* t : m_found.texts) {
            if (t->textString() != m_title) continue;
            ++titles;
            m_scale = t->height() / 2.0;
        }
        if (titles != 1) problem("title \"" + utf8(m_title) + "\" found " + std::to_string(titles) + " times");
        return titles == 1;
    }

    std::vector<const Dimension*> widthsCentredAt(double x) const {
        std::vector<const Dimension*> out;
        for (const Dimension& d : m_found.dims)
            if (!d.upright && near((d.from.x + d.to.x) / 2.0, x)) out.push_back(&d);
        return out;
    }

    // The length dimension at one of the plan view's top corners (the left
    // one, the right spacer's right one) and the thickness dimensions below it,
    // in the side view.
    void viewsAt(const Dimension& width, const Dimension*& length, std::vector<const Dimension*>& below) const {
        length = nullptr;
        below.clear();
        for (const Dimension& d : m_found.dims) {
            if (!d.upright || !(near(d.from.x, width.from.x) || near(d.from.x, width.to.x))) continue;
            if (near(d.from.y, width.from.y)) length = &d;
            else if (d.from.y < width.from.y - kTol) below.push_back(&d);
        }
    }

    // The sizes one plate's dimensions measure, each standing on a drawn edge.
    void checkSizes(const std::string& who, const Dimension& width, const PlateSize& size) {
        const Dimension* length = nullptr;
        std::vector<const Dimension*> below;
        viewsAt(width, length, below);
        if (!near(width.value, size.width)) problem(who + ": width " + number(width.value) + ", catalogue " + number(size.width));
        if (length == nullptr || !near(length->value, size.length))
            problem(who + ": length " + (length ? number(length->value) : "missing") + ", catalogue " + number(size.length));
        if (below.size() != 1) {
            problem(who + ": " + std::to_string(below.size()) + " side view thickness dimensions");
        } else if (size.thickness >= 0 ? !near(below[0]->value, size.thickness) : below[0]->value <= 0) {
            problem(who + ": thickness " + number(below[0]->value) + ", catalogue " + number(size.thickness));
        }
        for (const Dimension* d : {&width, length, below.empty() ? nullptr : below[0]})
            if (d && !hasEdge(m_found, d->from, d->to))
                problem(who + ": the dimension " + number(d->value) + " measures no drawn edge");
    }

    const Dimension* checkNamedPlate(const std::wstring& name, const PlateSize& size) {
        const std::string who = utf8(name);
        std::vector<double> centres;
        for (const VRxDbText* t : m_found.texts)
            if (t->textString() == name && near(t->height(), 3.0 * m_scale))
                centres.push_back(t->position().x + static_cast<double>(name.size()) * t->height() / 2.0);
        if (centres.size() != 1) {
            problem(who + ": " + std::to_string(centres.size()) + " name labels");
            return nullptr;
        }
        std::vector<const Dimension*> widths = widthsCentredAt(centres[0]);
        if (widths.size() != 1) {
            problem(who + ": no plan view width dimension under its name");
            return nullptr;
        }
        checkSizes(who, *widths[0], size);
        return widths[0];
    }

    void checkSpacerBlocks(const std::vector<const Dimension*>& claimed) {
        std::vector<std::pair<std::wstring, PlateSize>> spacers;
        for (const auto& plate : m_plates)
            if (isSpacerBlock(plate.first)) spacers.push_back(plate);
        std::vector<const Dimension*> unclaimed;
        for (const Dimension& d : m_found.dims)
            if (!d.upright && std::find(claimed.begin(), claimed.end(), &d) == claimed.end()) unclaimed.push_back(&d);
        if (unclaimed.size() != spacers.size()) {
            problem(std::to_string(unclaimed.size()) + " plan views without a name, " + std::to_string(spacers.size()) +
                    " spacer blocks in the catalogue");
            return;
        }
        std::sort(unclaimed.begin(), unclaimed.end(), [](const Dimension* a, const Dimension* b) { return a->from.x < b->from.x; });
        for (size_t i = 0; i < spacers.size(); ++i) checkSizes(utf8(spacers[i].first), *unclaimed[i], spacers[i].second);
    }

    void checkNoOverlap() {
        std::vector<std::pair<double, double>> spans;
        for (const Dimension& d : m_found.dims)
            if (!d.upright) spans.emplace_back(std::min(d.from.x, d.to.x), std::max(d.from.x, d.to.x));
        std::sort(spans.begin(), spans.end());
        for (size_t i = 1; i < spans.size(); ++i)
            if (spans[i].first < spans[i - 1].second - kTol)
                problem("plan views overlap at x = " + number(spans[i].first));
    }

    Found m_found;
    std::wstring m_title;
    const ExpectedPlates& m_plates;
    double m_scale = 0;
    std::vector<std::string> m_problems;
};

}  // namespace

std::vector<std::string> checkMouldBaseDrawing(const VRxDbDatabase& db, const std::wstring& title,
                                               const ExpectedPlates& plates) {
    return Checker(db, title, plates).run();
}

}  // namespace sweep
