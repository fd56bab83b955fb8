// A stand-in module for zdtcad's scenario tests: small commands that exercise
// what the host does around a command (point and text prompts, command-line
// output, message boxes, a command that throws, one that leaves an object open,
// one that draws a line, a small dialog with a nested dialog and message boxes
// that a script drives). Built three ways: a well-behaved module, one whose
// load fails after it registered a command, and a library without entry point.
#include <cstdio>
#include <stdexcept>

#include "vrxapp.h"
#include "vrxcmds.h"
#include "vrxdb.h"
#include "vrxed.h"
#include "afxdialog.h"
#include "winapi.h"

#ifndef PROBE_NO_ENTRY
namespace {

const wchar_t* const kGroup = L"ZDTPROBE";
HINSTANCE g_instance = nullptr;

// ---- The probe dialog: one control of each kind a script acts on ----------------
enum : UINT { kProbeDlg = 9001, kProbeNestedDlg = 9002 };
enum : int {
    kSize = 1001, kThickness = 1002, kPlateA = 1003, kPlateB = 1004, kSimple = 1005,
    kMore = 1006, kAsk = 1007, kLocked = 1008, kConfirm = 1009, kNote = 2001
};

WinControlTemplate control(int id, WinControlKind kind, const wchar_t* caption, int y, bool group = false) {
    WinControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.caption = caption;
    c.x = 10;
    c.y = y;
    c.cx = 100;
    c.cy = 12;
    c.groupStart = group;
    return c;
}

void registerProbeTemplates(HINSTANCE instance) {
    using K = WinControlKind;
    WinDialogTemplate main;
    main.id = kProbeDlg;
    main.title = L"探测对话框";
    main.cx = 200;
    main.cy = 180;
    main.controls = {control(kSize, K::ComboBox, L"", 10),
                     control(kThickness, K::Edit, L"", 25),
                     control(kPlateA, K::RadioButton, L"A板", 40, true),
                     control(kPlateB, K::RadioButton, L"B板", 55),
                     control(kSimple, K::CheckBox, L"简化", 70, true),
                     control(kMore, K::PushButton, L"更多...", 85),
                     control(kAsk, K::PushButton, L"询问", 100),
                     control(kLocked, K::PushButton, L"锁定", 115),
                     control(kConfirm, K::PushButton, L"确认", 130),
                     control(IDOK, K::PushButton, L"确定", 150),
                     control(IDCANCEL, K::PushButton, L"取消", 165)};
    main.controls[7].disabled = true;
    WinDialogTemplate nested;
    nested.id = kProbeNestedDlg;
    nested.title = L"探测子对话框";
    nested.cx = 120;
    nested.cy = 60;
    nested.controls = {control(kNote, K::Edit, L"", 10), control(IDOK, K::PushButton, L"确定", 30),
                       control(IDCANCEL, K::PushButton, L"取消", 45)};
    std::wstring error;
    if (!winRegisterDialogTemplate(instance, main, &error) || !winRegisterDialogTemplate(instance, nested, &error))
        vrxutPrintf(L"\n探测对话框模板无法注册：%s\n", error.c_str());
}

class ProbeNestedDlg : public CDialog {
public:
    ProbeNestedDlg() : CDialog(kProbeNestedDlg, nullptr, g_instance) {}
    std::wstring m_note = L"无";

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, kNote, m_note); }
    // Something typed is not thrown away without asking; "no" keeps the dialog open.
    void OnCancel() override {
        std::wstring typed;
        GetDlgItemText(kNote, typed);
        if (typed != m_note && MessageBox(L"放弃输入吗？", L"提示", MB_YESNO) != IDYES) return;
        CDialog::OnCancel();
    }
};

class ProbeDlg : public CDialog {
public:
    ProbeDlg() : CDialog(kProbeDlg, nullptr, g_instance) {}
    std::wstring m_size;
    double m_thickness = 0.0;
    int m_plate = 0;
    int m_simple = 0;
    std::wstring m_note = L"（未打开）";
    int m_nestedResult = 0, m_askAnswer = 0, m_confirmAnswer = 0;

protected:
    BOOL OnInitDialog() override {
        // The exchange attaches the list first; the lines go into the control it now is.
        CDialog::OnInitDialog();
        for (const wchar_t* size : {L"小号", L"中号", L"大号"}) m_sizes.AddString(size);
        return TRUE;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, kSize, m_sizes);
        DDX_CBString(pDX, kSize, m_size);
        DDX_Text(pDX, kThickness, m_thickness);
        DDX_Radio(pDX, kPlateA, m_plate);
        DDX_Check(pDX, kSimple, m_simple);
    }
    void OnMore() {
        ProbeNestedDlg nested;
        m_nestedResult = static_cast<int>(nested.DoModal());
        if (m_nestedResult == IDOK) m_note = nested.m_note;
    }
    void OnAsk() { m_askAnswer = MessageBox(L"继续吗？", L"提示", MB_OKCANCEL); }
    void OnConfirm() { m_confirmAnswer = MessageBox(L"要记下吗？", L"提示", MB_YESNO); }

    DECLARE_MESSAGE_MAP()

private:
    CComboBox m_sizes;
};

BEGIN_MESSAGE_MAP(ProbeDlg, CDialog)
ON_BN_CLICKED(kMore, &ProbeDlg::OnMore)
ON_BN_CLICKED(kAsk, &ProbeDlg::OnAsk)
ON_BN_CLICKED(kConfirm, &ProbeDlg::OnConfirm)
END_MESSAGE_MAP()

// Shows what the dialog ended with and what it read, so a scenario sees the
// effect of every action.
void probeDialog() {
    ProbeDlg dlg;
    const INT_PTR result = dlg.DoModal();
    vrxutPrintf(L"\n对话框返回 %d\n", static_cast<int>(result));
    if (result != IDOK) return;
    vrxutPrintf(L"尺寸“%s” 厚度 %g 板 %d 简化 %d\n", dlg.m_size.c_str(), dlg.m_thickness, dlg.m_plate, dlg.m_simple);
    vrxutPrintf(L"子对话框 %d “%s” 询问 %d 确认 %d\n", dlg.m_nestedResult, dlg.m_note.c_str(), dlg.m_askAnswer,
                dlg.m_confirmAnswer);
}

void probePoint() {
    vrx_point pt = {0, 0, 0};
    const int rc = vrxedGetPoint(nullptr, L"\n指定探测点", pt);
    if (rc != RTNORM) {
        vrxutPrintf(L"\n探测点已取消（%d）\n", rc);
        return;
    }
    vrxutPrintf(L"\n探测点 %0.3f,%0.3f,%0.3f\n", pt[0], pt[1], pt[2]);
}

void probeText() {
    wchar_t text[kVrxMaxStringInput + 1] = {0};
    if (vrxedGetString(1, L"输入名称", text) == RTNORM) vrxutPrintf(L"\n名称“%s”", text);
}

void probeThrow() {
    vrxutPrintf(L"\n即将出错");
    throw std::runtime_error("探测异常");
}

void probeBox() {
    const int answer = MessageBoxW(nullptr, L"继续吗？", L"提示", MB_OKCANCEL);
    vrxutPrintf(L"\n回答代码 %d\n", answer);
}

// Opens the model space and forgets to close it.
void probeLeak() {
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    VRxDbObject* space = nullptr;
    if (db) vrxdbOpenVRxDbObject(space, db->modelSpaceId(), VRxDb::kForRead);
}

void probeLine() {
    VRxDbDatabase* db = vrxdbHostApplicationServices()->workingDatabase();
    VRxDbBlockTableRecord* space = nullptr;
    if (!db || vrxdbOpenObject(space, db->modelSpaceId(), VRxDb::kForWrite) != Vrx::eOk) return;
    VRxDbLine* line = new VRxDbLine(VRxGePoint3d(0, 0, 0), VRxGePoint3d(100, 50, 0));
    if (space->appendVRxDbEntity(line) == Vrx::eOk) {
        line->close();
    } else {
        delete line;
    }
    space->close();
}

VRxEdCommandStack* stack() {
    return VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS"));
}

}  // namespace

extern "C" VRxRx::AppRetCode vrxrxEntryPoint(VRxRx::AppMsgCode message, void* instance) {
    VRxEdCommandStack* commands = stack();
    if (!commands) return VRxRx::kRetError;
    switch (message) {
    case VRxRx::kInitAppMsg:
        commands->addCommand(kGroup, L"GPROBEPOINT", L"PROBEPOINT", 0, probePoint);
        commands->addCommand(kGroup, L"GPROBETEXT", L"PROBETEXT", 0, probeText);
        commands->addCommand(kGroup, L"GPROBETHROW", L"PROBETHROW", 0, probeThrow);
        commands->addCommand(kGroup, L"GPROBEBOX", L"PROBEBOX", 0, probeBox);
        commands->addCommand(kGroup, L"GPROBELEAK", L"PROBELEAK", 0, probeLeak);
        commands->addCommand(kGroup, L"GPROBELINE", L"PROBELINE", 0, probeLine);
        commands->addCommand(kGroup, L"GPROBEDIALOG", L"PROBEDIALOG", 0, probeDialog);
        g_instance = static_cast<HINSTANCE>(instance);
        registerProbeTemplates(g_instance);
#ifdef PROBE_FAIL_INIT
        return VRxRx::kRetError;  // after registering: the host must take it all back
#else
        vrxutPrintf(L"\n探测模块已加载\n");
        return VRxRx::kRetOK;
#endif
    case VRxRx::kUnloadAppMsg:
        commands->removeGroup(kGroup);
        return VRxRx::kRetOK;
    default:
        return VRxRx::kRetOK;
    }
}
#else
extern "C" int probeNothing() { return 0; }
#endif
