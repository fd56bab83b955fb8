// The lock dialog driven as a user would: the refusals in their order, the
// three position patterns with the records they make (each commit replacing
// the table before), re-opening on a table, and a cancel or refused commit
// leaving the table exactly as it was.
#include "model/lock_record.h"
#include "ui/lock_dlg.h"
#include "ui_pocket_fixture.h"

#include <algorithm>
#include <map>

namespace {

class LockDialogTest : public DialogTest {
protected:
    void TearDown() override {
        for (auto& [side, record] : table) delete record;
        table.clear();
        DialogTest::TearDown();
    }
    INT_PTR commit(const wchar_t* type, const wchar_t* size, const wchar_t* position, int mounting) {
        ProbingUser local;
        winSetUiBackend(&local);
        local.click(type == std::wstring(L"顶锁") ? IDC_LOCK_STANDARD : IDC_LOCK_THIN)
            .select(IDC_LOCK_SIZE, size)
            .select(IDC_LOCK_POSITION, position)
            .click(mounting)
            .ok();
        LockDlg dlg(&table);
        INT_PTR result = dlg.DoModal();
        EXPECT_TRUE(local.errors().empty());
        EXPECT_TRUE(local.shown().empty());
        winSetUiBackend(&user);
        return result;
    }
    std::vector<std::wstring> sides() const {
        std::vector<std::wstring> s;
        for (const auto& [side, record] : table) s.push_back(side);
        return s;
    }

    LockTable table;
};

TEST_F(LockDialogTest, AnEmptyTableOpensWithNothingChosenAndEachMissingChoiceIsNamed) {
    user.probe([](CDialog& d) {
            for (int id : {IDC_LOCK_STANDARD, IDC_LOCK_THIN, IDC_LOCK_UPRIGHT, IDC_LOCK_INVERTED})
                EXPECT_EQ(d.IsDlgButtonChecked(id), 0u) << id;
            EXPECT_EQ(comboOf(d, IDC_LOCK_SIZE)->GetCurSel(), -1);
            EXPECT_EQ(comboOf(d, IDC_LOCK_POSITION)->GetCurSel(), -1);
            EXPECT_EQ(itemsOf(d, IDC_LOCK_POSITION),
                      (std::vector<std::wstring>{L"天地分中", L"左右分中", L"四侧分中"}));
        })
        .ok()
        .answer(IDOK)
        .click(IDC_LOCK_THIN)
        .probe([](CDialog& d) {
            EXPECT_EQ(itemsOf(d, IDC_LOCK_SIZE), (std::vector<std::wstring>{L"GTL-035", L"GTL-050", L"GTL-075"}));
        })
        .ok()
        .answer(IDOK)
        .select(IDC_LOCK_SIZE, L"GTL-075")
        .ok()
        .answer(IDOK)
        .select(IDC_LOCK_POSITION, L"四侧分中")
        .ok()
        .answer(IDOK)
        .probe([](CDialog& d) { EXPECT_TRUE(d.IsRunning()); })
        .cancel();
    LockDlg dlg(&table);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(user.texts(), (std::vector<std::wstring>{L"请选择锁类型", L"请选择位置及规格", L"请选择位置及规格",
                                                       L"请选择安装方式"}));
    for (const auto& s : user.shown()) EXPECT_EQ(s.type & MB_TYPEMASK, MB_OK);
    EXPECT_TRUE(table.empty());
}

// Each position pattern makes its sides, thin and inverted locks as well, and
// the dialog opens again on what was stored.
TEST_F(LockDialogTest, EachPositionPatternMakesItsSidesAndReopensOnIt) {
    struct Case {
        const wchar_t* type;
        const wchar_t* size;
        const wchar_t* position;
        int mounting;
        std::vector<std::wstring> sides;
    };
    for (const Case& c : {Case{L"顶锁", L"TL-050", L"天地分中", IDC_LOCK_UPRIGHT, {L"B", L"T"}},
                          Case{L"顶锁", L"TL-050", L"左右分中", IDC_LOCK_UPRIGHT, {L"L", L"R"}},
                          Case{L"顶锁", L"TL-050", L"四侧分中", IDC_LOCK_UPRIGHT, {L"B", L"L", L"R", L"T"}},
                          Case{L"超薄顶锁", L"GTL-035", L"左右分中", IDC_LOCK_INVERTED, {L"L", L"R"}}}) {
        SCOPED_TRACE(winToUtf8(c.position));
        const bool upright = c.mounting == IDC_LOCK_UPRIGHT;
        ASSERT_EQ(commit(c.type, c.size, c.position, c.mounting), IDOK);
        EXPECT_EQ(sides(), c.sides);
        for (const auto& [side, record] : table) {
            EXPECT_EQ(record->side, side);
            EXPECT_EQ(record->type, c.type);
            EXPECT_EQ(record->size, c.size);
            EXPECT_EQ(record->upright, upright ? 1 : 0);
        }
        ProbingUser again;
        winSetUiBackend(&again);
        again.probe([&](CDialog& d) {
                EXPECT_EQ(selectedText(d, IDC_LOCK_POSITION), c.position);
                EXPECT_EQ(selectedText(d, IDC_LOCK_SIZE), c.size);
                EXPECT_EQ(d.IsDlgButtonChecked(c.type == std::wstring(L"顶锁") ? IDC_LOCK_STANDARD : IDC_LOCK_THIN), 1u);
                EXPECT_EQ(d.IsDlgButtonChecked(c.mounting), 1u);
                EXPECT_EQ(d.IsDlgButtonChecked(upright ? IDC_LOCK_INVERTED : IDC_LOCK_UPRIGHT), 0u);
            })
            .cancel();
        LockDlg dlg(&table);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(again.errors().empty());
        winSetUiBackend(&user);
    }
}

TEST_F(LockDialogTest, SwitchingTypeDropsTheSizeAndARefusedCommitChangesNothing) {
    ASSERT_EQ(commit(L"顶锁", L"TL-075", L"四侧分中", IDC_LOCK_UPRIGHT), IDOK);
    const LockTable before = table;
    user.click(IDC_LOCK_THIN)
        .probe([](CDialog& d) { EXPECT_EQ(comboOf(d, IDC_LOCK_SIZE)->GetCurSel(), -1); })
        .ok()
        .answer(IDOK)
        .cancel();
    LockDlg dlg(&table);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(user.texts(), (std::vector<std::wstring>{L"请选择位置及规格"}));
    EXPECT_EQ(table, before);  // the very same records
    EXPECT_EQ(table.at(L"T")->size, L"TL-075");
}

}  // namespace
