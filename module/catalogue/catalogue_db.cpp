// Opening and closing the catalogue, and reporting a catalogue that cannot be read.
#include "catalogue/catalogue_db.h"

#include <sqlite3.h>

#include <string>
#include <vector>

#include "afxstub.h"

namespace {

// "数据库打开失败: " in GBK (code page 936): the standard error line carries
// these bytes whatever the system code page; the console they are written to
// reads them in its code page and shows them in the terminal's encoding.
const char kOpenFailedGbk[] = "\xca\xfd\xbe\xdd\xbf\xe2\xb4\xf2\xbf\xaa\xca\xa7\xb0\xdc: ";

void reportOpenFailure(const char* message) {
    writeOpenFailureLine(message);
    // SQLite's messages are UTF-8.
    AfxMessageBox(fromUtf8(message).c_str(), MB_OK, 0);
}

// The connection the reuse scopes share; the command thread is the only one.
struct SharedConnection {
    int scopes = 0;
    int users = 0;  // catalogue objects and hole models holding it now
    sqlite3* handle = nullptr;
    std::string path;
};

SharedConnection& shared() {
    static SharedConnection connection;
    return connection;
}

// The statements kept with their connections (CatalogueDb::keptStatement).
struct KeptStatement {
    sqlite3* connection;
    const char* text;
    sqlite3_stmt* statement;
};

std::vector<KeptStatement>& keptStatements() {
    static std::vector<KeptStatement> kept;
    return kept;
}

// Closes a connection with the statements kept for it.
void closeConnection(sqlite3* connection) {
    std::vector<KeptStatement>& kept = keptStatements();
    for (auto it = kept.begin(); it != kept.end();) {
        if (it->connection != connection) {
            ++it;
            continue;
        }
        sqlite3_finalize(it->statement);
        it = kept.erase(it);
    }
    sqlite3_close(connection);
}

// Closes the shared connection once no scope and no user is left.
void closeSharedWhenUnused() {
    SharedConnection& s = shared();
    if (s.scopes > 0 || s.users > 0 || s.handle == nullptr) return;
    // Every user finalizes its own statements before it lets the connection go.
    closeConnection(s.handle);
    s.handle = nullptr;
    s.path.clear();
}

}  // namespace

void writeOpenFailureLine(const char* message) {
    // One write for the whole line, so no character is split between two.
    const std::string line = std::string(kOpenFailedGbk) + (message != nullptr ? message : "") + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

CatalogueReuseScope::CatalogueReuseScope() { ++shared().scopes; }

CatalogueReuseScope::~CatalogueReuseScope() {
    --shared().scopes;
    closeSharedWhenUnused();
}

sqlite3* borrowSharedConnection(const std::string& pathUtf8) {
    SharedConnection& s = shared();
    if (s.handle == nullptr || s.path != pathUtf8) return nullptr;
    ++s.users;
    return s.handle;
}

void releaseSharedConnection(sqlite3* handle) {
    SharedConnection& s = shared();
    if (handle == nullptr || handle != s.handle || s.users == 0) return;
    --s.users;
    closeSharedWhenUnused();
}

CatalogueDb::~CatalogueDb() { close(); }

bool CatalogueDb::open(const std::string& pathUtf8) {
    close();
    if (sqlite3* reused = borrowSharedConnection(pathUtf8)) {
        handle_ = reused;
        shared_ = true;
        return true;
    }
    sqlite3* db = nullptr;
    std::string message;
    // Only the command thread ever uses a catalogue connection: SQLite need not lock it.
    int rc = sqlite3_open_v2(pathUtf8.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    } else {
        // SQLite reads the file only at the first statement; read the schema now
        // so that a corrupt, foreign or locked file is reported here, once,
        // instead of silently emptying every list.
        sqlite3_stmt* probe = nullptr;
        rc = sqlite3_prepare_v2(db, "select count(*) from sqlite_master", -1, &probe, nullptr);
        if (rc == SQLITE_OK && sqlite3_step(probe) != SQLITE_ROW) rc = SQLITE_ERROR;
        if (rc != SQLITE_OK) message = sqlite3_errmsg(db);
        sqlite3_finalize(probe);
    }
    if (rc != SQLITE_OK) {
        if (message.empty()) message = sqlite3_errstr(rc);
        reportOpenFailure(message.c_str());
        sqlite3_close(db);
        handle_ = nullptr;
        return false;
    }
    handle_ = db;
    SharedConnection& s = shared();
    if (s.scopes > 0 && s.handle == nullptr) {
        // The first connection of a scope is the one the scope's jobs share.
        s.handle = db;
        s.path = pathUtf8;
        s.users = 1;
        shared_ = true;
    }
    return true;
}

void CatalogueDb::close() {
    if (handle_ == nullptr) return;
    if (shared_)
        releaseSharedConnection(handle_);
    else
        closeConnection(handle_);
    handle_ = nullptr;
    shared_ = false;
}

sqlite3_stmt* CatalogueDb::keptStatement(const char* sqlUtf8) {
    if (handle_ == nullptr || sqlUtf8 == nullptr) return nullptr;
    std::vector<KeptStatement>& kept = keptStatements();
    for (const KeptStatement& k : kept)
        if (k.connection == handle_ && k.text == sqlUtf8) return k.statement;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, sqlUtf8, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return nullptr;
    }
    kept.push_back({handle_, sqlUtf8, statement});
    return statement;
}
