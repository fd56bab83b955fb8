// The order list's tables of the catalogue (order_schema.sql, order_*.csv):
// read, checked against the rest of the catalogue and written by catalogue_gen
// through the sink it hands over.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

// What the order tables need of the generator: its sources and its database.
class CatalogueSink {
public:
    virtual ~CatalogueSink() = default;
    // The data lines of a CSV source (comments and the header skipped), each checked for its field count.
    virtual std::vector<std::vector<std::string>> csv(const std::string& name, size_t columns) = 0;
    virtual std::string text(const std::string& name) = 0;
    virtual void exec(const std::string& sql) = 0;
    // Binds like the generator's own rows: numbers as numbers, "\x02..." as text.
    virtual void insert(const std::string& sql, const std::vector<std::string>& values) = 0;
};

// What the tables are checked against, from the rest of the catalogue.
struct OrderCatalogue {
    std::set<std::string> plates;     // every plate name a style lists, with the derived spacer outline
    std::set<std::string> processes;  // the machining processes of the hole rules
    std::set<std::string> styles;
    // Per mould code, its part sizes by the names of the hole rules (gp, ts, stoph, ...).
    std::map<std::string, std::map<std::string, double>> partSizes;
};

// Writes the tables, with the part sizes the part rules name for every code
// that has them. Throws std::runtime_error naming the line of a row that names
// an unknown plate, style, process, part, size, series or figure, or has a
// value out of range.
void writeOrderTables(CatalogueSink& out, const OrderCatalogue& catalogue);
