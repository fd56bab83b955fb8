// Unit tests of zdtcad as the user of dialogs and message boxes: how dialog
// lines are read, which answers a box takes, and the session playing a dialog
// from a terminal, where a wrong line is told and asked again.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "afxdialog.h"
#include "afxstub.h"
#include "command_line.h"
#include "dialog_action.h"
#include "session.h"

using namespace zdtcad;

namespace {

std::string readAll(FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string out;
    char buffer[256];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) out.append(buffer, n);
    return out;
}

// A dialog with a list, a field, a button that asks a yes/no question and a
// cancel that asks before it gives up.
class AskingDlg : public CDialog {
public:
    static constexpr UINT kId = 7301;
    AskingDlg() : CDialog(kId, nullptr, AfxGetInstanceHandle()) {}
    std::wstring m_choice;
    int m_answer = 0;
    int m_cancelQuestions = 0;

    static void registerTemplate() {
        WinDialogTemplate t;
        t.id = kId;
        t.title = L"测试";
        auto add = [&](int id, WinControlKind kind, const wchar_t* caption) {
            WinControlTemplate c;
            c.id = id;
            c.kind = kind;
            c.caption = caption;
            t.controls.push_back(c);
        };
        add(10, WinControlKind::ComboBox, L"");
        add(11, WinControlKind::PushButton, L"提问");
        add(IDOK, WinControlKind::PushButton, L"确定");
        add(IDCANCEL, WinControlKind::PushButton, L"取消");
        ASSERT_TRUE(winRegisterDialogTemplate(AfxGetInstanceHandle(), t));
    }

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_list.AddString(L"甲");
        m_list.AddString(L"乙 丙");
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, 10, m_list);
        DDX_CBString(pDX, 10, m_choice);
    }
    void OnCancel() override {
        ++m_cancelQuestions;
        if (MessageBox(L"放弃吗？", L"提示", MB_YESNO) == IDYES) CDialog::OnCancel();
    }
    void OnAsk() { m_answer = MessageBox(L"继续吗？", L"提示", MB_YESNOCANCEL); }
    DECLARE_MESSAGE_MAP()

private:
    CComboBox m_list;
};

BEGIN_MESSAGE_MAP(AskingDlg, CDialog)
ON_BN_CLICKED(11, &AskingDlg::OnAsk)
END_MESSAGE_MAP()

// A session over the given input lines, its output captured.
struct Played {
    std::istringstream in;
    FILE* file = std::tmpfile();
    ScriptReader reader;
    CommandLine out{file};
    ModuleLoader modules;
    Played(const std::string& lines, bool interactive) : in(lines) { reader.openStream(in, interactive); }
    ~Played() { std::fclose(file); }
    std::string text() { return readAll(file); }
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST(DialogLines, EveryActionWithItsIdAndText) {
    WinUiAction a;
    std::string error;
    ASSERT_TRUE(parseDialogAction("@select 1001 乙 丙", a, error)) << error;
    EXPECT_EQ(a.kind, WinUiAction::Select);
    EXPECT_EQ(a.id, 1001);
    EXPECT_EQ(a.text, L"乙 丙");  // inner blanks are part of the text
    ASSERT_TRUE(parseDialogAction("@type\t1002   12.5", a, error)) << error;
    EXPECT_EQ(a.kind, WinUiAction::Type);
    EXPECT_EQ(a.text, L"12.5");
    ASSERT_TRUE(parseDialogAction("@type 1002", a, error));  // click in and out again
    EXPECT_EQ(a.text, L"");
    ASSERT_TRUE(parseDialogAction("@CLICK 1", a, error));
    EXPECT_EQ(a.kind, WinUiAction::Click);
    EXPECT_EQ(a.id, 1);
    ASSERT_TRUE(parseDialogAction("@ok", a, error));
    EXPECT_EQ(a.kind, WinUiAction::Ok);
    ASSERT_TRUE(parseDialogAction("@Cancel", a, error));
    EXPECT_EQ(a.kind, WinUiAction::Cancel);
    const std::pair<const char*, int> answers[] = {{"ok", IDOK}, {"CANCEL", IDCANCEL}, {"Yes", IDYES}, {"no", IDNO}};
    for (const auto& [word, button] : answers) {
        ASSERT_TRUE(parseDialogAction(std::string("@answer ") + word, a, error)) << word;
        EXPECT_EQ(a.kind, WinUiAction::Answer);
        EXPECT_EQ(a.answer, button) << word;
    }
}

TEST(DialogLines, MalformedLinesAreRefusedWithTheirReason) {
    const std::pair<const char*, const char*> bad[] = {
        {"@press 1", "@press"},          {"@select", "控件编号"},       {"@select 10", "文本"},
        {"@click abc", "abc"},           {"@click 1 2", "2"},           {"@ok now", "@ok"},
        {"@answer maybe", "maybe"},      {"@answer", "ok、cancel"},     {"@click 99999999999", "99999999999"},
        {"@type 1x 5", "1x"},
    };
    for (const auto& [line, part] : bad) {
        WinUiAction a;
        std::string error;
        EXPECT_FALSE(parseDialogAction(line, a, error)) << line;
        EXPECT_TRUE(has(error, part)) << line << " -> " << error;
    }
}

TEST(MessageBoxButtons, OfferedAnswersAndTheRetreat) {
    EXPECT_TRUE(boxOffers(MB_OK, IDOK));
    EXPECT_FALSE(boxOffers(MB_OK, IDCANCEL));
    EXPECT_TRUE(boxOffers(MB_OKCANCEL | MB_ICONHAND, IDCANCEL));  // icon bits do not change the buttons
    EXPECT_FALSE(boxOffers(MB_YESNO, IDOK));
    EXPECT_FALSE(boxOffers(MB_YESNO, IDCANCEL));
    EXPECT_EQ(boxAnswerWords(MB_YESNOCANCEL), "yes/no/cancel");
    EXPECT_EQ(boxAnswerWords(MB_OK), "ok");
    // Nobody left to answer: the box is declined wherever it can be.
    EXPECT_EQ(boxRetreatAnswer(MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(boxRetreatAnswer(MB_YESNOCANCEL), IDCANCEL);
    EXPECT_EQ(boxRetreatAnswer(MB_YESNO), IDNO);
    EXPECT_EQ(boxRetreatAnswer(MB_OK), IDOK);
}

TEST(SessionDialogs, TerminalUserIsToldAndAskedAgain) {
    AskingDlg::registerTemplate();
    Played p("@click 77\n100,200\n@select 10 乙 丙\n@click 11\nmaybe\nok\n@ok\nno\n@ok\n", true);
    {
        Session session(p.reader, p.out, p.modules);
        EXPECT_EQ(winUiBackend(), &session);
        AskingDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.m_choice, L"乙 丙");
        EXPECT_EQ(dlg.m_answer, IDNO);  // the bare word answers at the terminal
        EXPECT_FALSE(session.stopped());
    }
    EXPECT_EQ(winUiBackend(), nullptr);  // the session takes its backend with it
    const std::string out = p.text();
    EXPECT_TRUE(has(out, "10 drop-down list")) << out;  // the controls are listed for a person
    EXPECT_TRUE(has(out, "“@click 77”无法执行：dialog 7301: there is no control 77")) << out;
    EXPECT_TRUE(has(out, "“100,200”无法执行：对话框“测试”正在等待操作")) << out;
    EXPECT_TRUE(has(out, "消息框“提示”：继续吗？")) << out;
    EXPECT_TRUE(has(out, "“@answer maybe”无法执行")) << out;
    EXPECT_TRUE(has(out, "“@answer ok”无法执行：消息框“提示”（继续吗？）没有“确定”按钮")) << out;
    EXPECT_TRUE(has(out, "“@ok”无法执行：消息框“提示”（继续吗？）正在等待回答（@answer yes/no/cancel）")) << out;
    EXPECT_TRUE(has(out, "回答：否")) << out;
    EXPECT_TRUE(has(out, "对话框“测试”已关闭：确定。")) << out;
}

TEST(SessionDialogs, EndOfTerminalInputCancelsWithoutFailing) {
    AskingDlg::registerTemplate();
    Played p("@click 11\n", true);
    Session session(p.reader, p.out, p.modules);
    AskingDlg dlg;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.m_answer, IDCANCEL);  // the open box is declined
    EXPECT_FALSE(session.stopped());
}
