// Template of dialog 101, the main mould base dialog: the banner, the display
// mode radio pair, the nine choice lists with their labels, the two machining
// buttons, the information list and OK / Cancel. Controls are listed in tab
// order; a label sits to the left of its list, right-aligned against it.
#include "afxdialog.h"
#include "ui/dialog_resources.h"
#include "ui/main_dlg_ids.h"

namespace {

WinControlTemplate label(const wchar_t* caption, int x, int y, int cx) {
    return winControl(IDC_STATIC, WinControlKind::Label, caption, x, y, cx, 8);
}

// A drop-down list with its label; the label's baseline lines up with the list's text.
void addChoice(WinDialogTemplate& t, int id, const wchar_t* caption, int labelX, int labelWidth, int x, int y,
               int width) {
    t.controls.push_back(label(caption, labelX, y + 2, labelWidth));
    t.controls.push_back(winControl(id, WinControlKind::ComboBox, L"", x, y, width, 12));
}

}  // namespace

void registerMainDlgTemplate(HINSTANCE instance) {
    WinDialogTemplate t;
    t.id = IDD_MAIN_DLG;
    t.title = L"岱川标模";
    t.cx = 318;
    t.cy = 322;

    WinControlTemplate banner = winControl(IDC_STATIC, WinControlKind::Picture, L"", 7, 7, 304, 44);
    banner.bitmapId = IDB_MAIN_BANNER;
    t.controls.push_back(banner);

    t.controls.push_back(label(L"板件显示：", 40, 58, 48));
    WinControlTemplate all = winControl(IDC_SHOW_ALL, WinControlKind::RadioButton, L"全部显示", 91, 58, 48, 10);
    all.groupStart = true;
    t.controls.push_back(all);
    t.controls.push_back(winControl(IDC_SHOW_SIMPLIFIED, WinControlKind::RadioButton, L"简化显示", 174, 57, 48, 10));

    // The group box starts a new group, so the radio pair ends before it.
    WinControlTemplate params = winControl(IDC_STATIC, WinControlKind::GroupBox, L"标准模架参数", 7, 72, 304, 110);
    params.groupStart = true;
    t.controls.push_back(params);
    addChoice(t, IDC_MOULD_CODE, L"型号：", 20, 60, 83, 88, 68);
    addChoice(t, IDC_STYLE, L"花式：", 20, 60, 83, 106, 68);
    addChoice(t, IDC_EJECTOR_GUIDE, L"针板导柱：", 20, 60, 83, 124, 68);
    addChoice(t, IDC_GUIDE_REVERSED, L"导柱倒装：", 20, 60, 83, 142, 68);
    addChoice(t, IDC_A_PLATE_THICKNESS, L"A板厚度：", 156, 52, 211, 88, 92);
    addChoice(t, IDC_B_PLATE_THICKNESS, L"B板厚度：", 156, 52, 211, 106, 92);
    addChoice(t, IDC_SPACER_THICKNESS, L"方铁厚度：", 156, 52, 211, 124, 92);
    addChoice(t, IDC_RETAINER_THICKNESS, L"面针板厚度：", 156, 52, 211, 142, 92);
    addChoice(t, IDC_EJECTOR_THICKNESS, L"底针板厚度：", 156, 52, 211, 160, 92);

    t.controls.push_back(winControl(IDC_STATIC, WinControlKind::GroupBox, L"加工项目", 7, 185, 304, 30));
    t.controls.push_back(winControl(IDC_ADD_POCKET, WinControlKind::PushButton, L"增加框", 89, 195, 50, 14));
    t.controls.push_back(winControl(IDC_ADD_LOCK, WinControlKind::PushButton, L"增加锁", 172, 195, 50, 14));

    t.controls.push_back(winControl(IDC_STATIC, WinControlKind::GroupBox, L"信息", 7, 218, 304, 77));
    WinControlTemplate info = winControl(IDC_INFO_LIST, WinControlKind::ListBox, L"", 11, 228, 296, 63);
    info.sorted = true;
    info.vscroll = true;
    t.controls.push_back(info);

    WinControlTemplate ok = winControl(IDOK, WinControlKind::PushButton, L"确定", 104, 301, 50, 14);
    ok.defaultButton = true;
    t.controls.push_back(ok);
    t.controls.push_back(winControl(IDCANCEL, WinControlKind::PushButton, L"取消", 160, 301, 50, 14));

    winRegisterDialogTemplate(instance, t);
}
