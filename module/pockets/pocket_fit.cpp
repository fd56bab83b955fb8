// The pocket's limits on its plate. The depth is judged first, then each axis:
// the size against the whole plate, then the centre against what the size
// leaves, so the message blames the number the designer has to change.
#include "pockets/pocket_fit.h"

#include <algorithm>
#include <cmath>

#include "pockets/pocket_outline.h"
#include "winapi.h"

namespace {

// Rounding in the typed numbers must not refuse a pocket that sits exactly on a limit.
const double kSlack = 1e-9;

// A length as the dialog shows it, two decimals.
std::wstring mm(double value) {
    wchar_t text[400];  // room for the largest double
    return swprintf_s(text, L"%0.2f", value) < 0 ? std::wstring(L"?") : std::wstring(text);
}

double overhang(const PocketRecord& pocket, int32_t a, int32_t b) {
    return std::max(cornerOverhang(pocket.cornerSpec(a)), cornerOverhang(pocket.cornerSpec(b)));
}

// One axis of the plan view: the size field and the centre field along it.
std::wstring axisMisfit(const wchar_t* sizeField, const wchar_t* centreField, double size, double centre,
                        double plateSize, double overLow, double overHigh, const std::wstring& plate) {
    if (plateSize <= 0.0) return L"";
    const double room = plateSize - 2.0 * kPocketMinWall;
    const double largest = room - overLow - overHigh;
    if (size > largest + kSlack)
        return std::wstring(sizeField) + L"超出[" + plate + L"]：框边离板边至少留" + mm(kPocketMinWall) + L"，" +
               sizeField + L"不能大于" + mm(largest);
    const double low = -room / 2.0 + size / 2.0 + overLow;
    const double high = room / 2.0 - size / 2.0 - overHigh;
    if (centre < low - kSlack || centre > high + kSlack)
        return std::wstring(centreField) + L"使框超出[" + plate + L"]：框边离板边至少留" + mm(kPocketMinWall) +
               L"，" + centreField + L"须在" + mm(low) + L"到" + mm(high) + L"之间";
    return L"";
}

}  // namespace

std::wstring pocketMisfit(const PocketRecord& pocket, const PlateRecord& plate) {
    const std::pair<const wchar_t*, double> numbers[] = {{L"中心坐标X", pocket.centreX},
                                                         {L"中心坐标Y", pocket.centreY},
                                                         {L"深", pocket.depth},
                                                         {L"宽", pocket.width},
                                                         {L"长", pocket.length}};
    for (const auto& [field, value] : numbers)
        if (!std::isfinite(value)) return std::wstring(field) + L"不是有效的数字";

    const std::wstring& name = plate.name.empty() ? pocket.plateName : plate.name;
    if (plate.thickness > 0.0 && pocket.depth > plate.thickness - kPocketMinFloor + kSlack)
        return L"深超出[" + name + L"]：板厚" + mm(plate.thickness) + L"，框底至少留" + mm(kPocketMinFloor) +
               L"，深不能大于" + mm(plate.thickness - kPocketMinFloor);
    // Corners 4 and 5 lie on the right, 6 and 7 on the left; 4 and 7 on top.
    std::wstring misfit = axisMisfit(L"宽", L"中心坐标X", pocket.width, pocket.centreX, plate.width,
                                     overhang(pocket, 6, 7), overhang(pocket, 4, 5), name);
    if (!misfit.empty()) return misfit;
    return axisMisfit(L"长", L"中心坐标Y", pocket.length, pocket.centreY, plate.length, overhang(pocket, 5, 6),
                      overhang(pocket, 4, 7), name);
}
