// The numeric edit control typed into as a user types: which keys reach the
// field (a refused key changes nothing and raises no change notification),
// how the text is tidied when the field is left, and text that arrives by a
// paste, which only the tidying sees.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/text_conversion.h"
#include "resources/module_resources.h"
#include "ui/num_edit.h"
#include "winui.h"

namespace {

const UINT kTestDialog = 9101;
const int kNumber = 2001;
const int kOther = 2002;

// A dialog with one numeric field and a plain one beside it.
class NumberDialog : public CDialog {
public:
    NumberDialog() : CDialog(kTestDialog, nullptr, zdtModuleInstance()) {}
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, kNumber, number); }
    void OnChange() { ++changes; }
    CNumEdit number;
    int changes = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(NumberDialog, CDialog)
ON_EN_CHANGE(kNumber, &NumberDialog::OnChange)
END_MESSAGE_MAP()

class NumEditTest : public testing::Test {
protected:
    void SetUp() override {
        WinDialogTemplate t;
        t.id = kTestDialog;
        t.title = L"number";
        t.cx = 100;
        t.cy = 60;
        for (int id : {kNumber, kOther}) {
            WinControlTemplate c;
            c.id = id;
            c.kind = WinControlKind::Edit;
            c.x = 5;
            c.y = id == kNumber ? 5 : 25;
            c.cx = 80;
            c.cy = 12;
            t.controls.push_back(c);
        }
        ASSERT_TRUE(winRegisterDialogTemplate(zdtModuleInstance(), t));
        previous = winSetUiBackend(&user);
    }
    void TearDown() override { winSetUiBackend(previous); }

    // Types each text into the numeric field in turn, leaving it after each;
    // returns the field's text at the end.
    std::wstring typed(const std::vector<std::wstring>& texts) {
        for (const std::wstring& t : texts) user.push(WinUiAction::type(kNumber, t));
        user.push(WinUiAction::ok());
        dialog.reset(new NumberDialog);
        EXPECT_EQ(IDOK, dialog->DoModal());
        EXPECT_TRUE(user.errors().empty());
        return dialog->number.GetWindowText();
    }

    WinQueuedUiBackend user;
    WinUiBackend* previous = nullptr;
    std::unique_ptr<NumberDialog> dialog;
};

}  // namespace

TEST_F(NumEditTest, RefusedKeysNeverReachTheFieldAndLeavingItTidiesTheNumber) {
    EXPECT_EQ(L"1.23", typed({L"1.2.3"})) << "a second point is refused";
    EXPECT_EQ(L"5.00", typed({L"5-"})) << "a sign after a digit is refused";
    EXPECT_EQ(L"12.00", typed({L"1a2 b"})) << "letters and spaces are refused";
    // Entering the field selects all of it: the old sign or point never stands
    // in the way of the new ones.
    EXPECT_EQ(L"-3.00", typed({L"12", L"-3"}));
    EXPECT_EQ(L"0.2", typed({L"1.5", L".2"}));

    // Refused keys raise no change notification: only the accepted ones and
    // the tidying on leaving the field do. A field left empty shows its zero.
    EXPECT_EQ(L"0.00", typed({L"x y"}));
    EXPECT_EQ(1, dialog->changes);
    typed({L"4z"});
    EXPECT_EQ(2, dialog->changes) << "the 4, then \"4.00\"";
}

TEST(NumEditRules, ACharacterIsJudgedByTheTextItLeaves) {
    EXPECT_TRUE(CNumEdit::acceptsChar(L'-', L"15", 0, 1)) << "replacing the first digit";
    EXPECT_FALSE(CNumEdit::acceptsChar(L'-', L"15", 1, 1)) << "a sign behind a digit";
    EXPECT_FALSE(CNumEdit::acceptsChar(L'-', L"-5", 0, 0)) << "a second sign in front";
    EXPECT_TRUE(CNumEdit::acceptsChar(L'-', L"-5", 0, 1)) << "retyping the sign";
    EXPECT_TRUE(CNumEdit::acceptsChar(L'.', L"1.5", 1, 3)) << "the old point is replaced";
    EXPECT_FALSE(CNumEdit::acceptsChar(L'.', L"1.5", 3, 3));
    EXPECT_TRUE(CNumEdit::acceptsChar(L'.', L"", 0, 0));
}

// Typed or pasted, the text is made a number when the field is left.
TEST(NumEditRules, TextIsMadeANumberWhenTheFieldIsLeft) {
    const struct {
        const wchar_t* typed;
        const wchar_t* shown;
    } cases[] = {
        {L"12", L"12.00"},   {L"-5", L"-5.00"},  {L"12.3456", L"12.3456"}, {L".5", L"0.5"},   {L"7.", L"7.00"},
        {L"-", L"0.00"},     {L"-.", L"0.00"},   {L"007", L"7.00"},        {L"-.25", L"-.25"}, {L"-0", L"0.00"},
        {L"-0.0", L"0.0"},   {L"  42 \t", L"42.00"}, {L"abc", L"0.00"},    {L"12abc", L"12.00"},
        {L"1.5e3", L"1.5e3"}, {L"1e999", L"0.00"}, {L"   ", L"0.00"},       {L" .75", L"0.75"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.shown, CNumEdit::tidyText(c.typed)) << toUtf8(c.typed);
    EXPECT_EQ(L"0.00", CNumEdit::tidyText(std::wstring(320, L'9'))) << "beyond the largest double";
}
