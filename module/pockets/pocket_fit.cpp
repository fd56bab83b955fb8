// The pocket's limits on its plate. The depth is judged first, then each axis:
// the size against the whole plate, then the centre against what the size
// leaves, so the message blames the number the designer has to change.
#include "pockets/pocket_fit.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>

#include "pockets/pocket_outline.h"
#include "winapi.h"

namespace {

// Rounding in the typed numbers must not refuse a pocket that sits exactly on a limit.
const double kSlack = 1e-9;

std::wstring formatted(const wchar_t* format, ...) {
    wchar_t buffer[512];
    va_list args;
    va_start(args, format);
    int n = vswprintf_s(buffer, sizeof buffer / sizeof buffer[0], format, args);
    va_end(args);
    // A refusal must never read as "fits": an unprintable one still says no.
    return n <= 0 ? std::wstring(L"框超出板件范围") : std::wstring(buffer);
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
        return formatted(L"%s超出[%s]：框边离板边至少留%0.2f，%s不能大于%0.2f", sizeField, plate.c_str(),
                         kPocketMinWall, sizeField, largest);
    const double low = -room / 2.0 + size / 2.0 + overLow;
    const double high = room / 2.0 - size / 2.0 - overHigh;
    if (centre < low - kSlack || centre > high + kSlack)
        return formatted(L"%s使框超出[%s]：框边离板边至少留%0.2f，%s须在%0.2f到%0.2f之间", centreField,
                         plate.c_str(), kPocketMinWall, centreField, low, high);
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
        if (!std::isfinite(value)) return formatted(L"%s不是有效的数字", field);

    const std::wstring& name = plate.name.empty() ? pocket.plateName : plate.name;
    if (plate.thickness > 0.0 && pocket.depth > plate.thickness - kPocketMinFloor + kSlack)
        return formatted(L"深超出[%s]：板厚%0.2f，框底至少留%0.2f，深不能大于%0.2f", name.c_str(), plate.thickness,
                         kPocketMinFloor, plate.thickness - kPocketMinFloor);
    // Corners 4 and 5 lie on the right, 6 and 7 on the left; 4 and 7 on top.
    std::wstring misfit = axisMisfit(L"宽", L"中心坐标X", pocket.width, pocket.centreX, plate.width,
                                     overhang(pocket, 6, 7), overhang(pocket, 4, 5), name);
    if (!misfit.empty()) return misfit;
    return axisMisfit(L"长", L"中心坐标Y", pocket.length, pocket.centreY, plate.length, overhang(pocket, 5, 6),
                      overhang(pocket, 4, 7), name);
}
