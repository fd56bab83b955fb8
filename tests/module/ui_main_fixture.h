// Test fixture for the main mould base dialog: a small catalogue written for
// each test beside a stand-in module file name, the module's dialog templates,
// a queued user, and a dialog that records its controls' state when OK is
// pressed, so a test can see what the user saw at that moment.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/text_conversion.h"
#include "catalogue_fixture.h"
#include "resources/module_resources.h"
#include "ui/dialog_resources.h"
#include "ui/main_dlg.h"
#include "winui.h"

namespace maintest {

// Styles sort as SBI, SCI, SDI, SXYZW: the first has a B in the middle, the
// last is not three letters. Codes come in the order 3035, 9999, 2025; 9999
// has no thickness choices at all. On SCI, TL-050 locks fit every edge of
// 3035 but only the top and bottom edges of 2025.
inline const char* smallCatalogueRows() {
    return "INSERT INTO MODEL_PLATE_LIST VALUES ('SBI','A板','上模',1),('SBI','B板','下模',2),"
           "('SBI','托板','下模',3),('SBI','面针板','下模',4),('SCI','A板','上模',1),('SDI','A板','上模',1),"
           "('SXYZW','A板','上模',1);"
           "INSERT INTO MODE_PLATE_SIZE VALUES ('3035',300,350,'AB-30','FP-30',25,40,58,180,25,30,31,30,350),"
           "('9999',300,350,'NONE',NULL,25,40,58,180,NULL,NULL,31,30,350),"
           "('2025',200,250,'AB-20',90,25,40,58,120,'ER-20',20,31,30,250);"
           "INSERT INTO plate_thick_setup VALUES ('AB-30',50),('AB-30',60),('AB-30',70),('FP-30',100),"
           "('FP-30',110),('AB-20',35),('AB-20',40),('ER-20',15),('ER-20',20);"
           "INSERT INTO MODE_LOCK_FIT VALUES ('3035','SCI','TL-050','TB'),('3035','SCI','TL-050','LR'),"
           "('2025','SCI','TL-050','TB');";
}

// What the dialog showed when OK was pressed.
struct Snapshot {
    bool taken = false;
    std::map<int, std::vector<std::wstring>> items;  // combo and list box lines
    std::map<int, bool> enabled;
    bool showAllChecked = false;
};

class ProbedMainDlg : public MainDlg {
public:
    using MainDlg::MainDlg;
    void OnOK() override {
        snapshot.taken = true;
        for (int id : GetControlIds()) {
            const WinControlState& s = GetDlgItem(id)->state();
            snapshot.items[id] = s.items;
            snapshot.enabled[id] = s.enabled;
        }
        snapshot.showAllChecked = IsDlgButtonChecked(IDC_SHOW_ALL) == BST_CHECKED;
        MainDlg::OnOK();
    }
    Snapshot snapshot;
};

class MainDialogTest : public testing::Test {
protected:
    void SetUp() override {
        winOverrideModuleFileName(zdtModuleInstance(), fromUtf8(dir.file("libzdtmould.so")));
        registerDialogResources(zdtModuleInstance());
        previousUi = winSetUiBackend(&user);
        model.reset(new MouldBaseModel);
    }
    void TearDown() override {
        winSetUiBackend(previousUi);
        winOverrideModuleFileName(zdtModuleInstance(), L"");
    }

    void writeSmallCatalogue() {
        cattest::writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"),
                                std::string(cattest::looseSchema()) + smallCatalogueRows());
    }
    // Runs the dialog of a series (the side-gate series' by default) on the
    // model with the queued actions; every action must have been possible
    // unless the test expects otherwise.
    INT_PTR run(const MouldSeries& series = sideGateSeries()) {
        CModuleResourceScope resources(zdtModuleInstance());
        MouldBaseModel* m = model.get();
        ProbedMainDlg dialog(m, series);
        INT_PTR result = dialog.DoModal();
        snapshot = dialog.snapshot;
        return result;
    }
    void push(WinUiAction a) { user.push(std::move(a)); }

    cattest::TempDir dir;
    WinQueuedUiBackend user;
    WinUiBackend* previousUi = nullptr;
    std::unique_ptr<MouldBaseModel> model;
    Snapshot snapshot;
};

}  // namespace maintest
