// The main dialog of the pin-point series: a catalogue without the series says
// so, and reversed guide pillars are offered only on styles that have A/B guide
// pillars.
#include <gtest/gtest.h>

#include "afxstub.h"
#include "ui_main_fixture.h"

using namespace maintest;

namespace {

// Both series in one catalogue: the side-gate styles SAI and the pin-point
// styles DAI and JAH; 3035 is made in both, 2025 only as a side-gate base.
const char* kBothSeries =
    "CREATE TABLE MODE_SERIES_TYPE (SERIES TEXT, MTYPE TEXT);"
    "CREATE TABLE MODE_SERIES_CODE (SERIES TEXT, MCODE TEXT);"
    "INSERT INTO MODEL_PLATE_LIST VALUES ('SAI','A板','上模',1),('DAI','A板','上模',1),('JAH','A板','上模',1);"
    "INSERT INTO MODE_SERIES_TYPE VALUES ('大水口','SAI'),('细水口','DAI'),('细水口','JAH');"
    "INSERT INTO MODE_SERIES_CODE VALUES ('大水口','2025'),('大水口','3035'),('细水口','3035');"
    "INSERT INTO MODE_PLATE_SIZE (MCODE,sapw,sapl,abplate_h,fplate_h,erph,ejph,tpih,rsph,tpph) VALUES"
    " ('2025',200,250,40,90,15,20,25,NULL,NULL),('3035',300,350,'AB-30',100,20,25,30,'RS-30','TP-30');"
    "INSERT INTO plate_thick_setup VALUES ('AB-30',50),('AB-30',60),('RS-30',30),('RS-30',35),('TP-30',30),('TP-30',35);";

class PinPointDialogTest : public MainDialogTest {
protected:
    void writeBothSeries() {
        std::string schema = cattest::looseSchema();
        schema.replace(schema.find("tpiw REAL)"), 10, "tpiw REAL, rsph NUMERIC, tpph NUMERIC)");
        cattest::writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"), schema + kBothSeries);
    }
};

}  // namespace

// A catalogue made before the pin-point series holds none: the dialog says so
// and offers nothing to pocket, lock or draw.
TEST_F(PinPointDialogTest, ACatalogueWithoutTheSeriesSaysSo) {
    writeSmallCatalogue();
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run(pinPointSeries()));
    EXPECT_TRUE(snapshot.items[IDC_STYLE].empty());
    EXPECT_EQ((std::vector<std::wstring>{L"标准库中没有细水口系统的型号或花式"}), snapshot.items[IDC_INFO_LIST]);
    EXPECT_FALSE(snapshot.enabled[IDC_ADD_POCKET]);
    EXPECT_EQ(L"", model->params->style);
}

// The simplified styles have no A/B guide pillars to reverse.
TEST_F(PinPointDialogTest, ReversedGuidePillarsOnlyWhereThereArePillars) {
    writeBothSeries();
    push(WinUiAction::select(IDC_GUIDE_REVERSED, L"是"));
    push(WinUiAction::select(IDC_STYLE, L"JAH"));
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run(pinPointSeries()));
    EXPECT_TRUE(user.errors().empty());
    EXPECT_FALSE(snapshot.enabled[IDC_GUIDE_REVERSED]);
    EXPECT_EQ(L"否", model->params->guideReversed);

    model.reset(new MouldBaseModel);
    push(WinUiAction::select(IDC_STYLE, L"JAH"));
    push(WinUiAction::select(IDC_STYLE, L"DAI"));
    push(WinUiAction::select(IDC_GUIDE_REVERSED, L"是"));
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run(pinPointSeries()));
    EXPECT_TRUE(user.errors().empty());
    EXPECT_TRUE(snapshot.enabled[IDC_GUIDE_REVERSED]);
    EXPECT_EQ(L"是", model->params->guideReversed);
}
