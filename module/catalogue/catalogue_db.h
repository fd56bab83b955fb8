// CatalogueDb: one read-only connection to the mould base catalogue
// (ZDTSTANDARDMOULD.db beside the module) for the length of one job. Every
// catalogue query takes an open CatalogueDb; none opens or closes it.
#pragma once

#include <string>

#include "catalogue/text_conversion.h"

struct sqlite3;
struct sqlite3_stmt;

class CatalogueDb {
public:
    CatalogueDb() = default;
    // Closes the connection, so a job that leaves early never keeps the file open.
    ~CatalogueDb();
    CatalogueDb(const CatalogueDb&) = delete;
    CatalogueDb& operator=(const CatalogueDb&) = delete;

    // Opens the catalogue read-only. The catalogue is never created or written:
    // a missing, unreadable, locked or corrupt file is reported on standard error
    // ("数据库打开失败: %s") and in a message box with SQLite's own text, the
    // handle stays null and every query then returns nothing.
    bool open(const std::string& pathUtf8);
    void close();

    bool isOpen() const { return handle_ != nullptr; }
    sqlite3* handle() const { return handle_; }

    // The statement of a fixed text (sqlUtf8 a string literal; values bound to
    // its parameters), prepared once and kept with the connection until it
    // closes: for the questions a drawing asks a hundred times. Null when the
    // catalogue is closed or SQLite rejects the text. The user resets it.
    sqlite3_stmt* keptStatement(const char* sqlUtf8);

private:
    sqlite3* handle_ = nullptr;
    bool shared_ = false;  // the reuse scopes' connection: released, not closed
};

// Writes "数据库打开失败: " and message as one line to the standard error stream.
void writeOpenFailureLine(const char* message);

// While one lives, the first connection opened to the catalogue stays open and
// every later open of the same file uses it too, instead of opening the file
// again: the design of one mould base runs a hundred short jobs, and each
// fresh connection would read the catalogue's schema anew. The connection is
// closed when the last scope has ended and its last user has let it go, so
// nothing stays open between commands and a catalogue replaced between two
// runs is read afresh.
class CatalogueReuseScope {
public:
    CatalogueReuseScope();
    ~CatalogueReuseScope();
    CatalogueReuseScope(const CatalogueReuseScope&) = delete;
    CatalogueReuseScope& operator=(const CatalogueReuseScope&) = delete;
};

// The reuse scopes' connection to the file at pathUtf8, for a user that keeps
// a connection of its own otherwise (the hole models): counted as one more
// user until releaseSharedConnection. Null when no scope keeps one to that file.
sqlite3* borrowSharedConnection(const std::string& pathUtf8);
void releaseSharedConnection(sqlite3* handle);
