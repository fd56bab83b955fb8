// The main mould base dialog driven as a user drives it: its lists from the
// catalogue, thickness lists that a code without choices leaves alone, the
// display filter, the pocket question and the plate stack it fixes, and the
// lines of the information list.
#include <algorithm>
#include <string>
#include <vector>

#include "afxstub.h"
#include "ui_main_fixture.h"

using namespace maintest;

namespace {

const std::vector<std::wstring> kNoLines;

}  // namespace

TEST_F(MainDialogTest, OpensWithTheCatalogueListsAndOkStoresAllNineChoices) {
    writeSmallCatalogue();
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run());
    EXPECT_TRUE(user.errors().empty()) << std::string(toUtf8(user.errors().empty() ? L"" : user.errors()[0]));
    EXPECT_TRUE(user.shown().empty()) << "no message box on a good catalogue";

    ASSERT_TRUE(snapshot.taken);
    EXPECT_EQ((std::vector<std::wstring>{L"3035", L"9999", L"2025"}), snapshot.items[IDC_MOULD_CODE])
        << "codes keep the catalogue's order";
    EXPECT_EQ((std::vector<std::wstring>{L"SBI", L"SCI", L"SDI", L"SXYZW"}), snapshot.items[IDC_STYLE]);
    EXPECT_EQ((std::vector<std::wstring>{L"有", L"无"}), snapshot.items[IDC_EJECTOR_GUIDE]);
    EXPECT_EQ((std::vector<std::wstring>{L"否", L"是"}), snapshot.items[IDC_GUIDE_REVERSED]);
    EXPECT_EQ((std::vector<std::wstring>{L"50", L"60", L"70"}), snapshot.items[IDC_A_PLATE_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"50", L"60", L"70"}), snapshot.items[IDC_B_PLATE_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"100", L"110"}), snapshot.items[IDC_SPACER_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"25"}), snapshot.items[IDC_RETAINER_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"30"}), snapshot.items[IDC_EJECTOR_THICKNESS]);
    EXPECT_TRUE(snapshot.showAllChecked);
    EXPECT_EQ(kNoLines, snapshot.items[IDC_INFO_LIST]);

    const MouldBaseParams& p = *model->params;
    EXPECT_EQ(L"3035", p.mouldCode);
    EXPECT_EQ(L"SBI", p.style);
    EXPECT_EQ(L"有", p.ejectorGuide);
    EXPECT_EQ(L"否", p.guideReversed);
    EXPECT_EQ(L"50", p.aPlateThickness);
    EXPECT_EQ(L"50", p.bPlateThickness);
    EXPECT_EQ(L"100", p.spacerThickness);
    EXPECT_EQ(L"25", p.retainerThickness);
    EXPECT_EQ(L"30", p.ejectorThickness);
    EXPECT_TRUE(model->displayFilter.empty());
    EXPECT_FALSE(model->stackComputed) << "the dialog computes nothing on OK";
}

TEST_F(MainDialogTest, ACodeWithoutThicknessChoicesKeepsTheListsAsTheyWere) {
    writeSmallCatalogue();
    push(WinUiAction::select(IDC_A_PLATE_THICKNESS, L"60"));
    push(WinUiAction::select(IDC_SPACER_THICKNESS, L"110"));
    push(WinUiAction::select(IDC_MOULD_CODE, L"9999"));
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run());
    EXPECT_TRUE(user.errors().empty());
    EXPECT_EQ((std::vector<std::wstring>{L"50", L"60", L"70"}), snapshot.items[IDC_A_PLATE_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"100", L"110"}), snapshot.items[IDC_SPACER_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"30"}), snapshot.items[IDC_EJECTOR_THICKNESS]);
    const MouldBaseParams& p = *model->params;
    EXPECT_EQ(L"9999", p.mouldCode);
    EXPECT_EQ(L"60", p.aPlateThickness) << "the user's choice stays selected";
    EXPECT_EQ(L"50", p.bPlateThickness);
    EXPECT_EQ(L"110", p.spacerThickness);
    EXPECT_EQ(L"25", p.retainerThickness);

    // A code with choices replaces every list and selects its first value.
    model.reset(new MouldBaseModel);
    push(WinUiAction::select(IDC_A_PLATE_THICKNESS, L"70"));
    push(WinUiAction::select(IDC_MOULD_CODE, L"9999"));
    push(WinUiAction::select(IDC_MOULD_CODE, L"2025"));
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run());
    EXPECT_EQ((std::vector<std::wstring>{L"35", L"40"}), snapshot.items[IDC_A_PLATE_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"35", L"40"}), snapshot.items[IDC_B_PLATE_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"90"}), snapshot.items[IDC_SPACER_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"15", L"20"}), snapshot.items[IDC_RETAINER_THICKNESS]);
    EXPECT_EQ((std::vector<std::wstring>{L"20"}), snapshot.items[IDC_EJECTOR_THICKNESS]);
    EXPECT_EQ(L"35", model->params->aPlateThickness);
    EXPECT_EQ(L"20", model->params->ejectorThickness);
}

TEST_F(MainDialogTest, SimplifiedDisplayLeavesExactlyFourFilterKeysAndShowAllNone) {
    writeSmallCatalogue();
    model->displayFilter[L"面针板"] = 1;  // whatever a caller left there
    push(WinUiAction::clickOn(IDC_SHOW_SIMPLIFIED));
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run());
    EXPECT_FALSE(snapshot.showAllChecked) << "the two display buttons are one group";
    std::map<std::wstring, int32_t> four{{L"A板", 1}, {L"B板", 1}, {L"成品推板", 1}, {L"托板", 1}};
    model->displayFilter.erase(L"面针板");
    EXPECT_EQ(four, model->displayFilter);

    // Back to all plates: the filter is emptied, not just left alone.
    model->displayFilter = four;
    push(WinUiAction::clickOn(IDC_SHOW_SIMPLIFIED));
    push(WinUiAction::clickOn(IDC_SHOW_ALL));
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run());
    EXPECT_TRUE(user.errors().empty());
    EXPECT_TRUE(model->displayFilter.empty());
}

TEST_F(MainDialogTest, CancellingThePocketQuestionChangesNothing) {
    writeSmallCatalogue();
    push(WinUiAction::select(IDC_MOULD_CODE, L"2025"));
    push(WinUiAction::select(IDC_STYLE, L"SCI"));
    push(WinUiAction::clickOn(IDC_SHOW_SIMPLIFIED));
    push(WinUiAction::clickOn(IDC_ADD_POCKET));
    push(WinUiAction::answerWith(IDCANCEL));
    push(WinUiAction::cancel());
    EXPECT_EQ(IDCANCEL, run());
    EXPECT_TRUE(user.errors().empty());
    ASSERT_EQ(1u, user.shown().size());
    EXPECT_EQ(L"提示", user.shown()[0].caption);
    EXPECT_EQ(L"是否选定型号[2025],花式[SCI]？\n若选定框尺寸后无法修改", user.shown()[0].text);
    EXPECT_EQ(MB_OKCANCEL | MB_ICONEXCLAMATION, user.shown()[0].type);
    EXPECT_FALSE(model->stackComputed);
    EXPECT_TRUE(model->plates.empty());
    EXPECT_TRUE(model->displayFilter.empty()) << "the filter is set only after the question";
}

TEST(MainDialogInformation, PocketAndLockLines) {
    PocketRecord pocket;
    pocket.plateName = L"A板";
    pocket.depth = 25;
    pocket.width = 100;
    pocket.length = 150;
    EXPECT_EQ(L"A板; 框; 25.00x100.00x150.00", MainDlg::pocketLine(pocket)) << "depth, width, length in that order";
    pocket.depth = 12.345;
    EXPECT_EQ(L"A板; 框; 12.35x100.00x150.00", MainDlg::pocketLine(pocket));

    LockRecord lock;
    lock.type = L"顶锁";
    lock.size = L"TL-050";
    lock.side = L"L";
    lock.upright = 1;
    EXPECT_EQ(L"顶锁; TL-050; L; 正装", MainDlg::lockLine(lock));
    lock.upright = 0;
    EXPECT_EQ(L"顶锁; TL-050; L; 倒装", MainDlg::lockLine(lock));
    lock.upright = 2;
    EXPECT_EQ(L"顶锁; TL-050; L; 倒装", MainDlg::lockLine(lock)) << "only 1 is upright";
}

// A pocket and locks committed in their dialogs: every choice the stack was
// computed from is locked, the guide pillar options and the display mode
// included, the information list shows every pocket and lock in sorted order,
// and a second pocket needs no confirmation.
TEST_F(MainDialogTest, CommittedPocketsAndLocksLockTheChoicesAndFillTheInformationList) {
    writeSmallCatalogue();
    push(WinUiAction::select(IDC_STYLE, L"SCI"));
    push(WinUiAction::clickOn(IDC_ADD_POCKET));
    push(WinUiAction::answerWith(IDOK));  // the question
    push(WinUiAction::answerWith(IDOK));  // "即将在[A板]上创建框"
    push(WinUiAction::type(1027, L"25"));
    push(WinUiAction::type(1028, L"100"));
    push(WinUiAction::type(1029, L"150"));
    push(WinUiAction::clickOn(1021));
    push(WinUiAction::select(1014, L"R角"));
    push(WinUiAction::select(1015, L"5.00"));
    push(WinUiAction::ok());  // the pocket dialog

    push(WinUiAction::clickOn(IDC_ADD_LOCK));
    push(WinUiAction::clickOn(1031));
    push(WinUiAction::select(1033, L"TL-050"));
    push(WinUiAction::select(1035, L"左右分中"));
    push(WinUiAction::clickOn(1034));
    push(WinUiAction::ok());  // the lock dialog

    push(WinUiAction::clickOn(IDC_ADD_POCKET));  // no question now
    push(WinUiAction::cancel());                  // the pocket dialog
    push(WinUiAction::clickOn(IDC_ADD_LOCK));
    push(WinUiAction::cancel());  // the lock dialog: the list stays
    push(WinUiAction::ok());
    ASSERT_EQ(IDOK, run());
    ASSERT_TRUE(user.errors().empty()) << std::string(toUtf8(user.errors()[0]));
    ASSERT_EQ(2u, user.shown().size()) << "the question and the notice only";

    ASSERT_EQ(1u, model->pocketTable.count(L"A板"));
    ASSERT_EQ(2u, model->lockTable->size());
    EXPECT_EQ((std::vector<std::wstring>{L"A板; 框; 25.00x100.00x150.00", L"顶锁; TL-050; L; 正装",
                                         L"顶锁; TL-050; R; 正装"}),
              snapshot.items[IDC_INFO_LIST]);
    for (int id : {IDC_MOULD_CODE, IDC_STYLE, IDC_EJECTOR_GUIDE, IDC_GUIDE_REVERSED, IDC_A_PLATE_THICKNESS,
                   IDC_B_PLATE_THICKNESS, IDC_SPACER_THICKNESS, IDC_RETAINER_THICKNESS, IDC_EJECTOR_THICKNESS,
                   IDC_SHOW_ALL, IDC_SHOW_SIMPLIFIED})
        EXPECT_FALSE(snapshot.enabled[id]) << id;
    EXPECT_EQ(L"SCI", model->params->style) << "a disabled list still hands its text to the model";
}
