// Statements of the BlockRes generator against the catalogue, finalized on
// every path.
#include "catalogue_rows.h"

#include <memory>

#include "block_drawing.h"

namespace blockres {

Rows catalogueRows(sqlite3* db, const std::string& sql) {
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw Failure(std::string("catalogue query failed: ") + sqlite3_errmsg(db));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> st(raw, sqlite3_finalize);
    Rows rows;
    while (sqlite3_step(st.get()) == SQLITE_ROW) {
        std::vector<std::string> r;
        for (int c = 0; c < sqlite3_column_count(st.get()); ++c) {
            const unsigned char* t = sqlite3_column_text(st.get(), c);
            r.push_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        rows.push_back(r);
    }
    return rows;
}

}  // namespace blockres
