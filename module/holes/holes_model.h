// The machining holes of one plate (or of the whole upper or lower mould) as
// the catalogue lists them for a mould code and style, by process name and
// then by hole number, plus the eyebolt holes laid out by the eyebolt rules.
// The model keeps a read-only connection to the catalogue for its whole life
// (its own, or the one a catalogue reuse scope shares) and owns every hole it
// holds.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "catalogue/catalogue_queries.h"
#include "holes/standard_holes.h"

struct sqlite3;

namespace Models {

// Hole number within a process -> the hole, owned by the HolesModel.
using HoleGroupMap = std::map<int32_t, StandardMultiHole*>;
// Process name -> its holes.
using ProcessHoleMap = std::map<std::wstring, HoleGroupMap*>;

class HolesModel {
public:
    // plateSelector is a plate name, or "上模" / "下模" for every plate of that
    // mould half. ejectorGuide "无" leaves out the ejector guide holes. Loads
    // the holes at once; a catalogue that cannot be read leaves the model empty.
    HolesModel(std::wstring plateSelector, std::wstring style, std::wstring mouldCode, std::wstring ejectorGuide);
    virtual ~HolesModel();
    HolesModel(const HolesModel&) = delete;
    HolesModel& operator=(const HolesModel&) = delete;

    // Runs a machining statement and merges its rows (model id, process id,
    // process name, X, Y, diameter, step, hole number) into the holes. Reports
    // its own failures.
    void loadHoles(std::wstring statement);
    // Adds the eyebolt holes under "拉令孔", numbered from 0 in list order.
    // Does nothing when the model already has them or the list is empty.
    void addEyeboltHoles(const std::vector<EyeboltPlacement>& placements);

    ProcessHoleMap& processMap() { return *m_processMap; }
    bool connected() const { return m_connected; }

    // The statement that selects this plate's holes.
    std::wstring machiningStatement() const;

private:
    void queryPlateHoles();

    std::wstring m_plateSelector;
    std::wstring m_style;
    std::wstring m_mouldCode;
    ProcessHoleMap* m_processMap;
    sqlite3* m_connection = nullptr;
    bool m_connected = false;
    bool m_sharedConnection = false;  // borrowed from a reuse scope: released, not closed
    std::wstring m_ejectorGuide;
};


}  // namespace Models
