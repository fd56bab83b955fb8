// Helpers for the catalogue tests: scratch folders, small catalogues built from
// SQL, a recorder for message boxes and a guard for the system code page.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "winapi.h"
#include "winhost.h"

namespace cattest {

// A scratch folder removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zdtcatXXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data()) != nullptr) path_ = buf.data();
    }
    ~TempDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The tables as the module's statements read them, without the shipped
// catalogue's constraints, so tests can store NULLs and duplicates.
inline const char* looseSchema() {
    return "CREATE TABLE MODEL_PLATE_LIST (MTYPE TEXT, platename TEXT, slocation TEXT, sortnumber INTEGER);"
           "CREATE TABLE MODE_PLATE_SIZE (MCODE TEXT, sapw REAL, sapl REAL, abplate_h NUMERIC, fplate_h NUMERIC,"
           " stph REAL, suph REAL, ssbw REAL, erpw REAL, erph NUMERIC, ejph NUMERIC, tpih REAL, bpih REAL, tpiw REAL);"
           "CREATE TABLE plate_thick_setup (VATCODE TEXT, SVALUE INTEGER);"
           "CREATE TABLE MODE_EYEBOLT_INFO (mcodef INTEGER, mcodet INTEGER, platename TEXT, itemvalue TEXT);"
           "CREATE TABLE MODE_LALING_SETUP (mcodef INTEGER, mcodet INTEGER, GROUPCODE TEXT, attribute1 INTEGER,"
           " attribute2 INTEGER, attribute3 INTEGER, attribute4 INTEGER);"
           "CREATE TABLE STANDITEMBLOCKSETUP (PLATENAME TEXT, ITEMTYPENAME TEXT, INSTALLWAY INTEGER, FACEDIR TEXT,"
           " blockname TEXT);"
           "CREATE TABLE MODE_LOCK_FIT (MCODE TEXT, MTYPE TEXT, size TEXT, edges TEXT);";
}

// Writes a catalogue file from SQL (UTF-8); fails the test on an SQL error.
inline void writeCatalogue(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    std::string message = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// Records every message box instead of showing it; answers OK.
class MessageBoxRecorder {
public:
    MessageBoxRecorder() {
        previous_ = winSetMessageBoxBackend([this](const std::wstring&, const std::wstring& text, UINT) {
            texts.push_back(text);
            return IDOK;
        });
    }
    ~MessageBoxRecorder() { winSetMessageBoxBackend(previous_); }
    std::vector<std::wstring> texts;

private:
    WinMessageBoxBackend previous_;
};

// A UTF-8 terminal for one test (LC_ALL), whatever the environment's locale:
// the standard error lines of the module reach it as UTF-8.
class Utf8Terminal {
public:
    Utf8Terminal() {
        if (const char* old = std::getenv("LC_ALL")) saved_ = old, had_ = true;
        setenv("LC_ALL", "C.UTF-8", 1);
    }
    ~Utf8Terminal() {
        if (had_) setenv("LC_ALL", saved_.c_str(), 1);
        else unsetenv("LC_ALL");
    }

private:
    std::string saved_;
    bool had_ = false;
};

// Sets the system code page for one test and restores the default after it.
class CodePageGuard {
public:
    explicit CodePageGuard(UINT codePage) { ok = winSetAnsiCodePage(codePage) != FALSE; }
    ~CodePageGuard() { winSetAnsiCodePage(0); }
    bool ok = false;
};

}  // namespace cattest
