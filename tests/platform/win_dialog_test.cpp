// The dialog toolkit driven as a user would, through the queued UI backend: the
// sorted list box, refused actions, number parsing, a subclassed edit's key and
// focus handling, EndDialog results and bad use of templates and controls.
// (Radio groups, the number prompt, nested dialogs and message box answers are
// played end to end by the probe module's scenarios.)
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "afxdialog.h"
#include "afxstub.h"
#include "winhost.h"
#include "winui.h"
#include "windialoguser.h"

namespace {

constexpr UINT kMainId = 9001;

WinControlTemplate ctl(int id, WinControlKind kind, const wchar_t* caption, bool group = false) {
    WinControlTemplate t;
    t.id = id;
    t.kind = kind;
    t.caption = caption;
    t.groupStart = group;
    return t;
}

void registerTemplates() {
    using K = WinControlKind;
    WinDialogTemplate main;
    main.id = kMainId;
    main.title = L"测试";
    main.cx = 200;
    main.cy = 150;
    main.controls = {ctl(IDC_STATIC, K::Label, L"类型："),
                     ctl(100, K::RadioButton, L"A", true),
                     ctl(101, K::RadioButton, L"B"),
                     ctl(102, K::RadioButton, L"C"),
                     ctl(110, K::RadioButton, L"X", true),
                     ctl(111, K::RadioButton, L"Y"),
                     ctl(120, K::CheckBox, L"check", true),
                     ctl(130, K::ListBox, L""),
                     ctl(140, K::ComboBox, L""),
                     ctl(150, K::Edit, L""),
                     ctl(151, K::Edit, L""),
                     ctl(160, K::PushButton, L"nested"),
                     ctl(161, K::PushButton, L"disabled"),
                     ctl(162, K::PushButton, L"ask"),
                     ctl(163, K::PushButton, L"validate"),
                     ctl(164, K::PushButton, L"end 42"),
                     ctl(165, K::PushButton, L"throws"),
                     ctl(166, K::CheckBox, L"hidden"),
                     ctl(IDOK, K::PushButton, L"确定"),
                     ctl(IDCANCEL, K::PushButton, L"取消")};
    main.controls[7].sorted = true;
    main.controls[12].disabled = true;
    main.controls[17].visible = false;
    std::wstring error;
    ASSERT_TRUE(winRegisterDialogTemplate(AfxGetResourceHandle(), main, &error)) << winToUtf8(error);
}

// Takes digits only and writes "0" into a field left empty.
class DigitsEdit : public CEdit {
public:
    int refused = 0;
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) override {
        if ((nChar >= L'0' && nChar <= L'9') || nChar == 8) CEdit::OnChar(nChar, nRepCnt, nFlags);
        else ++refused;
    }
    void OnKillFocus(CWnd* newFocus) override {
        CEdit::OnKillFocus(newFocus);
        if (GetWindowText().empty()) SetWindowText(L"0");
    }
};

class TestDlg : public CVRxUiBaseDialog {
public:
    TestDlg() : CVRxUiBaseDialog(kMainId) {}

    CListBox m_list;
    CComboBox m_combo;
    DigitsEdit m_digits;
    double m_value = 1.5;
    int m_radio = -1;
    int m_check = 0;
    std::wstring m_comboText;

    std::vector<std::wstring> log;
    BOOL validated = TRUE;
    int focusAfterValidate = 0;

    BOOL OnInitDialog() override {
        CVRxUiBaseDialog::OnInitDialog();
        m_list.AddString(L"c");
        m_list.AddString(L"a");
        m_list.AddString(L"b");
        m_combo.AddString(L"Red");
        m_combo.AddString(L"Green");
        m_combo.SetCurSel(0);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 130, m_list);
        DDX_Control(pDX, 140, m_combo);
        DDX_Control(pDX, 150, m_digits);
        DDX_Text(pDX, 151, m_value);
        DDX_Radio(pDX, 100, m_radio);
        DDX_Check(pDX, 120, m_check);
        DDX_CBString(pDX, 140, m_comboText);
    }

    void OnDisabled() { log.push_back(L"disabled handler ran"); }
    void OnValidate() {
        validated = UpdateData(TRUE);
        focusAfterValidate = GetFocus() != nullptr ? GetFocus()->GetDlgCtrlID() : 0;
    }
    void OnEnd42() { EndDialog(42); }
    void OnThrows() { throw std::runtime_error("boom"); }
    void OnListSel() {
        std::wstring t;
        m_list.GetText(m_list.GetCurSel(), t);
        log.push_back(L"list " + t);
    }
    void OnComboSel() { log.push_back(L"combo " + std::to_wstring(m_combo.GetCurSel())); }
    void OnDigitsLeft() { log.push_back(L"left " + m_digits.GetWindowText()); }
    void OnRadioB() { log.push_back(L"radio B"); }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestDlg, CVRxUiBaseDialog)
ON_BN_CLICKED(161, &TestDlg::OnDisabled)
ON_BN_CLICKED(163, &TestDlg::OnValidate)
ON_BN_CLICKED(164, &TestDlg::OnEnd42)
ON_BN_CLICKED(165, &TestDlg::OnThrows)
ON_BN_CLICKED(101, &TestDlg::OnRadioB)
ON_LBN_SELCHANGE(130, &TestDlg::OnListSel)
ON_CBN_SELCHANGE(140, &TestDlg::OnComboSel)
ON_EN_KILLFOCUS(150, &TestDlg::OnDigitsLeft)
END_MESSAGE_MAP()

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerTemplates();
        m_previous = winSetUiBackend(&ui);
    }
    void TearDown() override { winSetUiBackend(m_previous); }

    std::string errors() const {
        std::string all;
        for (const auto& e : ui.errors()) all += winToUtf8(e) + "\n";
        return all;
    }

    WinQueuedUiBackend ui;
    WinUiBackend* m_previous = nullptr;
};

using A = WinUiAction;

TEST_F(DialogTest, SortedListBoxAndSelections) {
    ui.push(A::select(130, L"b"));
    ui.push(A::select(140, L"Green"));
    ui.push(A::ok());
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK) << errors();
    std::vector<std::wstring> lines;
    for (int i = 0; i < dlg.m_list.GetCount(); ++i) {
        std::wstring t;
        dlg.m_list.GetText(i, t);
        lines.push_back(t);
    }
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(dlg.log, (std::vector<std::wstring>{L"list b", L"combo 1"}));
    EXPECT_EQ(dlg.m_comboText, L"Green");
    EXPECT_EQ(dlg.m_list.AddString(L"aa"), 1);  // lands in its sorted place
    EXPECT_EQ(dlg.m_list.GetCurSel(), 2);       // the selected "b" moved down with it
    EXPECT_EQ(dlg.m_list.DeleteString(0), 3);
    EXPECT_EQ(dlg.m_list.DeleteString(7), LB_ERR);
}

TEST_F(DialogTest, ActionsThatCannotBeDoneAreRefusedWithAReason) {
    struct Case {
        WinUiAction action;
        const char* reason;
    };
    const Case cases[] = {
        {A::clickOn(161), "disabled"},
        {A::clickOn(166), "hidden"},
        {A::clickOn(999), "no control 999"},
        {A::type(140, L"x"), "not an edit control"},
        {A::select(140, L"Blue"), "not in the list"},
        {A::select(140, L"red"), "not in the list"},  // exact text only
        {A::clickOn(130), "not a button"},
        {A::answerWith(IDOK), "no message box"},
    };
    for (const auto& c : cases) {
        WinQueuedUiBackend local;
        winSetUiBackend(&local);
        local.push(c.action);
        local.push(A::ok());  // never reached: play stops at the first refusal
        TestDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        ASSERT_EQ(local.errors().size(), 1u) << c.reason;
        EXPECT_NE(winToUtf8(local.errors()[0]).find(c.reason), std::string::npos) << winToUtf8(local.errors()[0]);
        EXPECT_TRUE(dlg.log.empty());
        EXPECT_EQ(local.pending(), 1u);
    }
    winSetUiBackend(&ui);
}

TEST_F(DialogTest, NumberParsingAcceptsOnlyDecimalNumbers) {
    double v = 0;
    EXPECT_TRUE(winParseDialogNumber(L" -12.5 ", v));
    EXPECT_DOUBLE_EQ(v, -12.5);
    EXPECT_TRUE(winParseDialogNumber(L"-0.00", v));
    EXPECT_TRUE(winParseDialogNumber(L"1e3", v));
    EXPECT_DOUBLE_EQ(v, 1000);
    for (const wchar_t* bad : {L"", L"  ", L"abc", L"1.2.3", L"inf", L"nan", L"0x10", L"1e999", L"5 mm", L"-"})
        EXPECT_FALSE(winParseDialogNumber(bad, v)) << winToUtf8(bad);
}

TEST_F(DialogTest, SubclassedEditRefusesKeysAndTidiesOnLeaving) {
    ui.push(A::type(150, L"1a2 3"));
    ui.push(A::type(150, L"9\b"));  // replaces the selected text, then erases it
    ui.push(A::ok());
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK) << errors();
    EXPECT_EQ(dlg.m_digits.refused, 2);
    // The dialog hears of the leaving before the field tidies itself.
    EXPECT_EQ(dlg.log, (std::vector<std::wstring>{L"left 123", L"left "}));
    EXPECT_EQ(dlg.m_digits.GetWindowText(), L"0");
}

TEST_F(DialogTest, EditDefaultHandlingAndPaste) {
    CEdit e;
    e.SetWindowText(L"abcd");
    e.SetSel(1, 3);
    e.OnChar(L'X', 1, 0);
    EXPECT_EQ(e.GetWindowText(), L"aXd");
    e.OnChar(8, 1, 0);
    EXPECT_EQ(e.GetWindowText(), L"ad");
    e.OnChar(16, 1, 0);  // control characters are not text
    EXPECT_EQ(e.GetWindowText(), L"ad");
    e.SetSel(0, -1);
    e.ReplaceSel(L"x.y");  // a paste is not filtered
    EXPECT_EQ(e.GetWindowText(), L"x.y");
    int s = 0, t = 0;
    e.GetSel(s, t);
    EXPECT_EQ(s, 3);
    EXPECT_EQ(t, 3);
}

TEST_F(DialogTest, EndDialogResultAndHandlerFailures) {
    ui.push(A::clickOn(164));
    TestDlg dlg;
    EXPECT_EQ(dlg.DoModal(), 42);

    WinQueuedUiBackend local;
    winSetUiBackend(&local);
    local.push(A::clickOn(165));
    TestDlg failing;
    EXPECT_EQ(failing.DoModal(), IDCANCEL);
    ASSERT_EQ(local.errors().size(), 1u);
    EXPECT_NE(winToUtf8(local.errors()[0]).find("boom"), std::string::npos);

    // Nothing left to do: the dialog is cancelled, and it can be run again.
    EXPECT_EQ(failing.DoModal(), IDCANCEL);
    winSetUiBackend(&ui);
}

TEST_F(DialogTest, TemplatesAndControlsRefuseBadUse) {
    WinDialogTemplate dup;
    dup.id = 9003;
    dup.controls = {ctl(5, WinControlKind::Edit, L""), ctl(5, WinControlKind::CheckBox, L"")};
    std::wstring error;
    EXPECT_FALSE(winRegisterDialogTemplate(AfxGetResourceHandle(), dup, &error));
    EXPECT_NE(winToUtf8(error).find("used twice"), std::string::npos);
    EXPECT_FALSE(winRegisterDialogTemplate(nullptr, dup, &error));

    std::wstring text = winDescribeDialogTemplate(*winFindDialogTemplate(AfxGetResourceHandle(), kMainId));
    EXPECT_NE(text.find(L"161 push button \"disabled\" at 0,0 size 0x0 disabled\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"130 list box \"\" at 0,0 size 0x0 sorted\n"), std::wstring::npos);

    CVRxUiBaseDialog missing(9999);
    EXPECT_EQ(missing.DoModal(), -1);

    // A combo box cannot be taken over by an edit class; the edit stays usable alone.
    ui.push(A::ok());
    TestDlg dlg;
    dlg.DoModal();
    CEdit stray;
    EXPECT_FALSE(stray.SubclassDlgItem(140, &dlg));
    EXPECT_EQ(stray.GetParentDialog(), nullptr);

    CComboBox combo;
    combo.AddString(L"TL-035");
    combo.AddString(L"TL-050");
    EXPECT_EQ(combo.SetCurSel(5), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), -1);
    EXPECT_EQ(combo.FindStringExact(-1, L"tl-050"), 1);
    EXPECT_EQ(combo.SelectString(-1, L"TL-0"), 0);  // prefix
    EXPECT_EQ(combo.SelectString(-1, L"GTL"), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), 0);  // kept
    std::wstring t;
    EXPECT_EQ(combo.GetLBText(3, t), CB_ERR);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetWindowText(), L"");
}

}  // namespace
