// Opening and closing the catalogue, and reporting a catalogue that cannot be read.
#include "catalogue/catalogue_db.h"

#include <sqlite3.h>

#include <string>

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

// The parked connection of the reuse scopes; the command thread is the only one.
struct ParkedConnection {
    int scopes = 0;
    sqlite3* handle = nullptr;
    std::string path;
};

ParkedConnection& parked() {
    static ParkedConnection connection;
    return connection;
}

}  // namespace

void writeOpenFailureLine(const char* message) {
    // One write for the whole line, so no character is split between two.
    const std::string line = std::string(kOpenFailedGbk) + (message != nullptr ? message : "") + "\n";
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

CatalogueReuseScope::CatalogueReuseScope() { ++parked().scopes; }

CatalogueReuseScope::~CatalogueReuseScope() {
    ParkedConnection& p = parked();
    if (--p.scopes > 0 || p.handle == nullptr) return;
    sqlite3_close(p.handle);
    p.handle = nullptr;
    p.path.clear();
}

CatalogueDb::~CatalogueDb() { close(); }

bool CatalogueDb::open(const std::string& pathUtf8) {
    close();
    ParkedConnection& p = parked();
    if (p.handle != nullptr && p.path == pathUtf8) {
        handle_ = p.handle;
        path_ = pathUtf8;
        p.handle = nullptr;
        return true;
    }
    sqlite3* db = nullptr;
    std::string message;
    int rc = sqlite3_open_v2(pathUtf8.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
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
    path_ = pathUtf8;
    return true;
}

void CatalogueDb::close() {
    if (handle_ == nullptr) return;
    ParkedConnection& p = parked();
    if (p.scopes > 0 && p.handle == nullptr) {
        // A statement left unfinalized would pin the parked connection; a job
        // always finalizes its statements before it closes.
        p.handle = handle_;
        p.path = path_;
    } else {
        sqlite3_close(handle_);
    }
    handle_ = nullptr;
    path_.clear();
}
