// The readable sources of the mould base catalogue (data/catalogue/*.csv) as
// catalogue_gen reads them: plate sizes per code, the standard parts each width
// carries, the tables of those parts, the plate lists of the styles, the hole
// rules and hole forms, and the eyebolt rules. Every source line is checked for
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

// One mould code with its plate sizes and the standard parts of its width.
struct Size {
    std::string code;
    double W = 0, L = 0;
    double ssbw = 0, erpw = 0, tpih = 0, bpih = 0, stph = 0, suph = 0;
    std::string erph, ejph, ab, fp;  // a thickness or a value code
    // Parts (parts.csv) and the sizes derived from them and the part tables,
    // by the names the hole rules use (gp, bush, ts, tsd, ...).
    std::map<std::string, double> vars;
    double var(const std::string& name) const;
};

struct Style {
    std::string name;
    std::vector<std::pair<std::string, std::string>> plates;  // name, location
};

// One line of holes.csv.
struct HoleRule {
    std::string process, plate, model, layout;
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
    std::vector<Size> sizes;
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

    const ThreadSize& thread(double size) const;
    const GuideSize& guide(double d) const;
};

Sources readSources(const std::string& dir);

// Whether a hole rule's styles (model, comma separated, '' for all) hold the style.
bool appliesTo(const std::string& model, const std::string& style);

// The width of a plate of a code; the derived spacer plate 方铁 is the B plate's outline.
double plateWidth(const std::string& plate, const Size& s);
// The thicknesses a plate of a code can have: the choices of its value code,
// or its one catalogue thickness.
std::vector<int> plateThicknesses(const Sources& src, const Size& s, const std::string& plate);
// A value of a hole rule's column: a number, a size variable, "var+n", "var-n" or "n*var".
double evaluate(const std::string& expr, const Size& s);

}  // namespace catalogue
