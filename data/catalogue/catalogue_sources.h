// The readable sources of the mould base catalogue (data/catalogue/*.csv) as
// catalogue_gen reads them: plate sizes per code, the standard parts each width
// carries, the tables of those parts, the plate lists of the styles and their
// series, the hole rules and hole forms, and the eyebolt rules. Every source line is checked for
// its shape here; what the numbers mean together is checked by layout_checks.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace catalogue {

// Why the catalogue cannot be built; the message names the source or the hole.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

using Fields = std::vector<std::string>;

// The data lines of a CSV source: comments (#) and the header line skipped,
// every line checked for its field count; double quotes protect commas.
std::vector<Fields> readCsv(const std::string& dir, const std::string& name, size_t columns);
std::string readText(const std::string& path);
std::vector<std::string> words(const std::string& s);
double number(const std::string& s, const std::string& what);
bool isNumber(const std::string& s);

// Metric thread with the holes of a socket head cap screw (threads.csv).
struct ThreadSize {
    double size = 0, pitch = 0, tapDrill = 0, clearance = 0, cbDia = 0, cbDepth = 0;
};
// Guide pillar and its bush (guides.csv).
struct GuideSize {
    double d = 0, bush = 0, collar = 0, collarThk = 0, head = 0, headThk = 0, wall = 0;
};

// The two series of the catalogue, as MODE_SERIES_TYPE and MODE_SERIES_CODE name them.
const char* const kSideGate = "大水口";
const char* const kPinPoint = "细水口";

// One mould code with its plate sizes and the standard parts of its width, in
// one series: a code of the pin-point series carries that series' parts too.
struct Size {
    std::string code;
    bool pinPoint = false;
    double W = 0, L = 0;
    double ssbw = 0, erpw = 0, tpih = 0, bpih = 0, stph = 0, suph = 0;
    std::string erph, ejph, ab, fp;  // a thickness or a value code
    std::string rs, tp;              // pin-point: runner stripper and top clamp plate, likewise
    // Parts (parts.csv) and the sizes derived from them and the part tables,
    // by the names the hole rules use (gp, bush, ts, tsd, ...).
    std::map<std::string, double> vars;
    double var(const std::string& name) const;
};

struct Style {
    std::string series;  // kSideGate or kPinPoint
    std::string name;
    std::vector<std::pair<std::string, std::string>> plates;  // name, location
};

// The family a style's holes are laid out for: its first letter (S side gate,
// D pin-point, J simplified pin-point), as the catalogue's hole rows carry it.
char familyOf(const std::string& style);

// One line of holes.csv.
struct HoleRule {
    std::string process, plate, model, series, layout;  // series: the family letters it applies to
    int install = 1;
    std::vector<std::string> steps;
    std::string depth, cbDepth, block;
};

// One line of holeforms.csv.
struct HoleStem {
    std::string stem, kind, face;  // kind "hole" or "slot"; face "top", "bottom", "side"
    bool threaded = false;
};

struct EyeboltRule {
    double widthFrom = 0, widthTo = 0;
    std::string plate, size;
};

struct LalingRule {
    double widthFrom = 0, widthTo = 0;
    std::string group;
    double threshold = 0, movex = 0;
    int thin = 0, thick = 0;
};

struct Sources {
    std::vector<Size> sizes;     // the side-gate series: every code
    std::vector<Size> pinSizes;  // the pin-point series: the codes of the widths pinpoint.csv lists
    std::map<std::string, std::vector<int>> thickness;  // value code -> thicknesses
    std::vector<std::string> thicknessOrder;
    std::vector<Style> styles;
    std::map<std::string, std::string> locationOf;  // plate -> 上模 / 下模
    std::vector<HoleRule> rules;
    std::map<std::string, HoleStem> stems;
    std::map<int, ThreadSize> threads;
    std::map<int, GuideSize> guides;
    std::vector<EyeboltRule> eyebolts;
    std::vector<LalingRule> laling;
    std::map<double, std::pair<double, double>> clampSlots;  // plate thickness -> slot height, depth

    const ThreadSize& thread(double size) const;
    const GuideSize& guide(double d) const;
    // The clamp slot of a straight clamp plate this thick: its height and depth.
    std::pair<double, double> clampSlot(double plateThickness, const std::string& code) const;
};

Sources readSources(const std::string& dir);

// Whether a hole rule's styles (model, comma separated, '' for all) hold the style.
bool appliesTo(const std::string& model, const std::string& style);
// Whether a hole rule is laid out for a family (its series letters hold it).
bool inFamily(const HoleRule& rule, char family);

// The width of a plate of a code; the derived spacer plate 方铁 is the B plate's outline.
double plateWidth(const std::string& plate, const Size& s);
// The thicknesses a plate of a code can have: the choices of its value code,
// or its one catalogue thickness. The pin-point series chooses its top clamp
// plate and its runner stripper plate too.
std::vector<int> plateThicknesses(const Sources& src, const Size& s, const std::string& plate);
// A value of a hole rule's column: a number, a size variable, "var+n", "var-n" or "n*var".
double evaluate(const std::string& expr, const Size& s);

}  // namespace catalogue
