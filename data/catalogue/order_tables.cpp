// The order list's tables: plate materials, standard part rules with the part
// sizes they name, preferred length series and stack figures. Every formula is checked here, name by
// name, so the module never meets a rule that names nothing.
#include "order_tables.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

namespace {

using Row = std::vector<std::string>;

[[noreturn]] void refuse(const std::string& source, const Row& row, const std::string& why) {
    std::string line;
    for (const std::string& f : row) line += (line.empty() ? "" : ",") + f;
    throw std::runtime_error(source + ": " + why + " in '" + line + "'");
}

bool isNumber(const std::string& s) {
    char* end = nullptr;
    std::strtod(s.c_str(), &end);
    return !s.empty() && *end == '\0';
}

// The names a formula uses: its terms split at + - and *, numbers left out;
// in a least or greatest of sums, "min(…, …)" or "max(…, …)", the names of every sum.
std::vector<std::string> formulaNames(const std::string& formula) {
    std::vector<std::string> names;
    std::string term;
    for (size_t i = 0; i <= formula.size(); ++i) {
        char c = i < formula.size() ? formula[i] : '+';
        if (c == '(' && (term == "min" || term == "max")) {
            term.clear();
        } else if (c == '+' || c == '-' || c == '*' || c == ',' || c == '(' || c == ')') {
            if (!term.empty() && !isNumber(term)) names.push_back(term);
            term.clear();
        } else if (c != ' ') {
            term += c;
        }
    }
    return names;
}

void checkFormula(const std::string& source, const Row& row, const std::string& formula,
                  const std::set<std::string>& known) {
    for (const std::string& name : formulaNames(formula))
        if (!known.count(name)) refuse(source, row, "unknown name '" + name + "' in formula '" + formula + "'");
}

std::string number(double v) {
    std::ostringstream text;
    text.precision(10);
    text << v;
    return text.str();
}

}  // namespace

void writeOrderTables(CatalogueSink& out, const OrderCatalogue& catalogue) {
    const std::set<std::string>& plates = catalogue.plates;
    out.exec(out.text("order_schema.sql"));

    for (const Row& f : out.csv("order_materials.csv", 3)) {
        if (!plates.count(f[0]) || f[1].empty()) refuse("order_materials.csv", f, "unknown plate or no material");
        out.insert("INSERT INTO BOM_PLATE_MATERIAL (platename, material, pocketed) VALUES (?,?,?)", f);
    }

    std::set<std::string> series;
    for (const Row& f : out.csv("order_lengths.csv", 2)) {
        std::istringstream lengths(f[1]);
        std::string length;
        double last = 0;
        while (lengths >> length) {
            if (!isNumber(length) || std::strtod(length.c_str(), nullptr) <= last)
                refuse("order_lengths.csv", f, "lengths must be numbers, shortest first");
            last = std::strtod(length.c_str(), nullptr);
            out.insert("INSERT INTO BOM_LENGTH_SERIES (series, length) VALUES (?,?)", {"\x02" + f[0], length});
        }
        if (last == 0) refuse("order_lengths.csv", f, "a series needs lengths");
        series.insert(f[0]);
    }

    std::set<std::string> sizeNames;
    for (const auto& code : catalogue.partSizes)
        for (const auto& size : code.second) sizeNames.insert(size.first);
    const std::vector<Row> parts = out.csv("order_parts.csv", 15);
    std::set<std::string> known = plates;
    for (const Row& f : parts) known.insert(f[5]);
    std::set<std::string> withSize = known;
    withSize.insert({"d", "D"});
    withSize.insert(sizeNames.begin(), sizeNames.end());
    std::set<std::string> sizesUsed;
    for (const Row& f : parts) {
        const std::string& counting = f[13];
        if (!isNumber(f[0])) refuse("order_parts.csv", f, "sortorder must be a number");
        if (counting != "hole" && counting != "plate" && counting != "lock")
            refuse("order_parts.csv", f, "counting must be hole, plate or lock");
        if (counting != "lock" && !catalogue.processes.count(f[1])) refuse("order_parts.csv", f, "unknown process");
        if (!f[2].empty() && !plates.count(f[2])) refuse("order_parts.csv", f, "unknown plate");
        std::istringstream styles(f[3]);
        for (std::string style; std::getline(styles, style, ',');)
            if (!catalogue.styles.count(style)) refuse("order_parts.csv", f, "unknown style '" + style + "'");
        if (f[4] != "-1" && f[4] != "0" && f[4] != "1") refuse("order_parts.csv", f, "installway must be -1, 0 or 1");
        if (f[6] != "0" && f[6] != "1") refuse("order_parts.csv", f, "thread must be 0 or 1");
        if (f[5].empty() || f[14].empty()) refuse("order_parts.csv", f, "a part needs a name and a material");
        if ((counting == "lock") != f[7].empty()) refuse("order_parts.csv", f, "a size formula, except for locks");
        if (!f[12].empty() && !series.count(f[12])) refuse("order_parts.csv", f, "unknown length series");
        if (!f[11].empty() && f[12].empty()) refuse("order_parts.csv", f, "a reach needs a length series");
        for (int column : {7, 8, 9, 10, 11}) {
            checkFormula("order_parts.csv", f, f[column], withSize);
            for (const std::string& name : formulaNames(f[column]))
                if (sizeNames.count(name)) sizesUsed.insert(name);
        }
        Row values = f;
        for (int column : {1, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13, 14}) values[column] = "\x02" + f[column];
        out.insert("INSERT INTO BOM_STANDARD_PART (sortorder, proc_name, platename, model, installway, partname, "
                   "thread, size, endthread, length, engage, reach, rounding, counting, material) "
                   "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                   values);
    }

    for (const Row& f : out.csv("order_figures.csv", 5)) {
        if (!isNumber(f[0]) || f[2].empty()) refuse("order_figures.csv", f, "a figure needs its order and formula");
        std::istringstream styles(f[4]);
        for (std::string style; std::getline(styles, style, ',');)
            if (!catalogue.styles.count(style)) refuse("order_figures.csv", f, "unknown style '" + style + "'");
        std::set<std::string> figureNames = known;  // and the code's part sizes; no hole of its own
        figureNames.insert(sizeNames.begin(), sizeNames.end());
        checkFormula("order_figures.csv", f, f[2], figureNames);
        for (const std::string& name : formulaNames(f[2]))
            if (sizeNames.count(name)) sizesUsed.insert(name);
        known.insert(f[1]);
        out.insert("INSERT INTO BOM_STACK_FIGURE (sortorder, name, formula, note, model) VALUES (?,?,?,?,?)",
                   {f[0], "\x02" + f[1], "\x02" + f[2], "\x02" + f[3], "\x02" + f[4]});
    }

    // Only the sizes the rules name: a code's few rows are all the module reads.
    for (const auto& code : catalogue.partSizes)
        for (const auto& size : code.second)
            if (sizesUsed.count(size.first))
                out.insert("INSERT INTO BOM_PART_SIZE (MCODE, name, value) VALUES (?,?,?)",
                           {"\x02" + code.first, "\x02" + size.first, number(size.second)});
}
