// Helpers for the hole tests: small machining catalogues written as SQL (one
// parameter row per X, Y and diameter of a hole step, as the catalogue stores
// them), and a module folder pointed at a scratch directory.
#pragma once

#include <cstdio>
#include <string>

#include "catalogue/text_conversion.h"
#include "catalogue_fixture.h"
#include "resources/module_resources.h"
#include "vrxed.h"

namespace holetest {

// Keeps the command line; every prompt is cancelled.
class CommandLine : public VRxEditorHost {
public:
    int getPoint(const double*, const std::wstring&, double[3]) override { return RTCAN; }
    int getString(bool, const std::wstring&, std::wstring&) override { return RTCAN; }
    void print(const std::wstring& text) override { output += text; }
    std::wstring output;
};

// The machining tables without the shipped catalogue's constraints, plus the
// block table. Processes: 1 导柱, 2 针板边, 3 拉令孔, 4 回针, each with the
// parameters id*10+1 X值, +2 Y值, +3 直径.
inline std::string machiningSchema() {
    return "CREATE TABLE base_proc (proc_id INTEGER, proc_name TEXT);"
           "CREATE TABLE base_proc_detail (para_id INTEGER, proc_id INTEGER, para_name TEXT);"
           "CREATE TABLE base_plate_proc_detail (id INTEGER PRIMARY KEY, style TEXT, itemType INTEGER,"
           " model_id TEXT, model TEXT, plate_name TEXT, g_c INTEGER, gg_c INTEGER, para_id INTEGER, para_val REAL);"
           "CREATE TABLE STANDITEMBLOCKSETUP (PLATENAME TEXT, ITEMTYPENAME TEXT, INSTALLWAY INTEGER, FACEDIR TEXT,"
           " blockname TEXT);"
           "INSERT INTO base_proc VALUES (1,'导柱'),(2,'针板边'),(3,'拉令孔'),(4,'回针');"
           "INSERT INTO base_proc_detail VALUES (11,1,'X值'),(12,1,'Y值'),(13,1,'直径'),"
           "(21,2,'X值'),(22,2,'Y值'),(23,2,'直径'),(31,3,'X值'),(32,3,'Y值'),(33,3,'直径'),"
           "(41,4,'X值'),(42,4,'Y值'),(43,4,'直径');";
}

// One hole step of process `proc` (1..4): its X, Y and diameter rows. withX
// false leaves the X row out.
struct Step {
    std::string plate;
    int proc = 1;
    int gc = 1;
    int ggc = 1;
    double x = 0, y = 0, dia = 10;
    std::string modelId = "3035";
    std::string model;
    std::string style = "S";
    bool withX = true;
};

inline Step step(const std::string& plate, int proc, int gc, int ggc, double x, double y, double dia) {
    Step s;
    s.plate = plate;
    s.proc = proc;
    s.gc = gc;
    s.ggc = ggc;
    s.x = x;
    s.y = y;
    s.dia = dia;
    return s;
}

// The text between single quotes in SQL.
inline std::string sqlText(const std::string& text) {
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out;
}

inline std::string rows(const Step& s) {
    std::string out;
    auto row = [&](int para, double value) {
        char buf[512];
        std::snprintf(buf, sizeof buf,
                      "INSERT INTO base_plate_proc_detail (style,itemType,model_id,model,plate_name,g_c,gg_c,para_id,"
                      "para_val) VALUES ('%s',1,'%s','%s','%s',%d,%d,%d,%.10g);",
                      sqlText(s.style).c_str(), sqlText(s.modelId).c_str(), sqlText(s.model).c_str(),
                      sqlText(s.plate).c_str(), s.gc, s.ggc,
                      s.proc * 10 + para, value);
        out += buf;
    };
    if (s.withX) row(1, s.x);
    row(2, s.y);
    row(3, s.dia);
    return out;
}

// Points the module's file name into dir while it lives, so the hole model and
// the drawing find the catalogue and BlockRes there.
class ModuleFolder {
public:
    explicit ModuleFolder(const std::string& dir) {
        winOverrideModuleFileName(zdtModuleInstance(), fromUtf8(dir + "/libzdtmould.so"));
    }
    ~ModuleFolder() { winOverrideModuleFileName(zdtModuleInstance(), L""); }
};

}  // namespace holetest
