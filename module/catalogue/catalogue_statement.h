// One statement against the catalogue, for the query files of this folder:
// prepared from wide text as UTF-8 and finalized however the query leaves, and
// values spliced between single quotes.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "catalogue/catalogue_db.h"

namespace catalogue_detail {

// A prepared statement that is finalized whatever way the query leaves.
class Statement {
public:
    // Prepares the wide statement text as UTF-8. A closed catalogue, a text that
    // cannot be converted or a statement SQLite rejects all leave it unprepared.
    Statement(CatalogueDb& catalogue, const std::wstring& text) {
        std::string utf8;
        if (!catalogue.isOpen() || !tryToUtf8(text, utf8)) return;
        if (sqlite3_prepare_v2(catalogue.handle(), utf8.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
            sqlite3_finalize(stmt_);
            stmt_ = nullptr;
        }
    }
    // The connection's kept statement of a fixed text (CatalogueDb::keptStatement),
    // its parameters bound by the query: reset for the next one, not finalized.
    struct Kept {};
    Statement(CatalogueDb& catalogue, const char* sqlUtf8, Kept) : stmt_(catalogue.keptStatement(sqlUtf8)), kept_(true) {}
    ~Statement() {
        if (!kept_) {
            sqlite3_finalize(stmt_);
        } else if (stmt_ != nullptr) {
            sqlite3_reset(stmt_);
            sqlite3_clear_bindings(stmt_);
        }
    }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool prepared() const { return stmt_ != nullptr; }
    bool next() { return stmt_ != nullptr && sqlite3_step(stmt_) == SQLITE_ROW; }

    // A statement run for many values: its parameters (?, from 1) bound anew
    // after a reset. An unprepared statement ignores them.
    void reset() {
        if (stmt_ != nullptr) sqlite3_reset(stmt_);
    }
    void bind(int index, const std::string& utf8) {
        if (stmt_ != nullptr) sqlite3_bind_text(stmt_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind(int index, int32_t value) {
        if (stmt_ != nullptr) sqlite3_bind_int(stmt_, index, value);
    }

    // NULL reads as an empty text or as 0.
    std::string bytes(int column) const {
        const unsigned char* t = sqlite3_column_text(stmt_, column);
        return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string();
    }
    // The column's bytes where SQLite keeps them, valid until the next step.
    std::string_view view(int column) const {
        const unsigned char* t = sqlite3_column_text(stmt_, column);
        return t ? std::string_view(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(stmt_, column)))
                 : std::string_view();
    }
    std::wstring text(int column) const { return fromUtf8(bytes(column)); }
    int32_t integer(int column) const { return sqlite3_column_int(stmt_, column); }
    int64_t integer64(int column) const { return sqlite3_column_int64(stmt_, column); }
    bool isNull(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
    double real(int column) const { return sqlite3_column_double(stmt_, column); }

private:
    sqlite3_stmt* stmt_ = nullptr;
    bool kept_ = false;
};

// A value between single quotes in a statement: its own quotes doubled, so it
// stays one value however it is spelled.
inline std::wstring quoted(const std::wstring& value) {
    std::wstring out(1, L'\'');
    for (wchar_t c : value) {
        out += c;
        if (c == L'\'') out += L'\'';
    }
    out += L'\'';
    return out;
}

}  // namespace catalogue_detail
