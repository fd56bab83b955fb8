// Templates of the main mould base dialog: 101 for the side-gate series, 106
// for the pin-point series. Both show the banner, the display mode radio
// pair, the choice lists with their labels, the two machining buttons, the
// information list and OK / Cancel; the pin-point dialog's right column starts
// with its top clamp and runner stripper plates, and everything under the
// lists moves down by the rows it adds. Controls are listed in tab order; a
// label sits to the left of its list, right-aligned against it.
#include <vector>

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

struct ThicknessRow {
    int id;
    const wchar_t* caption;
};

const int kRowHeight = 18;

WinDialogTemplate mainDialog(int id, const wchar_t* title, int bannerId, const std::vector<ThicknessRow>& thicknesses) {
    // The side-gate dialog's five thickness rows fit beside the four choices;
    // every further row makes the dialog taller.
    const int extra = (static_cast<int>(thicknesses.size()) - 5) * kRowHeight;
    WinDialogTemplate t;
    t.id = id;
    t.title = title;
    t.cx = 318;
    t.cy = 322 + extra;

    WinControlTemplate banner = winControl(IDC_STATIC, WinControlKind::Picture, L"", 7, 7, 304, 44);
    banner.bitmapId = bannerId;
    t.controls.push_back(banner);

    t.controls.push_back(label(L"板件显示：", 40, 58, 48));
    WinControlTemplate all = winControl(IDC_SHOW_ALL, WinControlKind::RadioButton, L"全部显示", 91, 58, 48, 10);
    all.groupStart = true;
    t.controls.push_back(all);
    t.controls.push_back(winControl(IDC_SHOW_SIMPLIFIED, WinControlKind::RadioButton, L"简化显示", 174, 57, 48, 10));

    // The group box starts a new group, so the radio pair ends before it.
    WinControlTemplate params =
        winControl(IDC_STATIC, WinControlKind::GroupBox, L"标准模架参数", 7, 72, 304, 110 + extra);
    params.groupStart = true;
    t.controls.push_back(params);
    addChoice(t, IDC_MOULD_CODE, L"型号：", 20, 60, 83, 88, 68);
    addChoice(t, IDC_STYLE, L"花式：", 20, 60, 83, 106, 68);
    addChoice(t, IDC_EJECTOR_GUIDE, L"针板导柱：", 20, 60, 83, 124, 68);
    addChoice(t, IDC_GUIDE_REVERSED, L"导柱倒装：", 20, 60, 83, 142, 68);
    int y = 88;
    for (const ThicknessRow& row : thicknesses) {
        addChoice(t, row.id, row.caption, 156, 52, 211, y, 92);
        y += kRowHeight;
    }

    t.controls.push_back(winControl(IDC_STATIC, WinControlKind::GroupBox, L"加工项目", 7, 185 + extra, 304, 30));
    t.controls.push_back(winControl(IDC_ADD_POCKET, WinControlKind::PushButton, L"增加框", 89, 195 + extra, 50, 14));
    t.controls.push_back(winControl(IDC_ADD_LOCK, WinControlKind::PushButton, L"增加锁", 172, 195 + extra, 50, 14));

    t.controls.push_back(winControl(IDC_STATIC, WinControlKind::GroupBox, L"信息", 7, 218 + extra, 304, 77));
    WinControlTemplate info = winControl(IDC_INFO_LIST, WinControlKind::ListBox, L"", 11, 228 + extra, 296, 63);
    info.sorted = true;
    info.vscroll = true;
    t.controls.push_back(info);

    WinControlTemplate ok = winControl(IDOK, WinControlKind::PushButton, L"确定", 104, 301 + extra, 50, 14);
    ok.defaultButton = true;
    t.controls.push_back(ok);
    t.controls.push_back(winControl(IDCANCEL, WinControlKind::PushButton, L"取消", 160, 301 + extra, 50, 14));
    return t;
}

const std::vector<ThicknessRow> kCommonThicknesses = {{IDC_A_PLATE_THICKNESS, L"A板厚度："},
                                                      {IDC_B_PLATE_THICKNESS, L"B板厚度："},
                                                      {IDC_SPACER_THICKNESS, L"方铁厚度："},
                                                      {IDC_RETAINER_THICKNESS, L"面针板厚度："},
                                                      {IDC_EJECTOR_THICKNESS, L"底针板厚度："}};

}  // namespace

void registerMainDlgTemplate(HINSTANCE instance) {
    winRegisterDialogTemplate(instance, mainDialog(IDD_MAIN_DLG, L"岱川标模", IDB_MAIN_BANNER, kCommonThicknesses));
}

void registerPinPointDlgTemplate(HINSTANCE instance) {
    // The top plates first, as they stack.
    std::vector<ThicknessRow> rows = {{IDC_TOP_PLATE_THICKNESS, L"面板厚度："},
                                      {IDC_RUNNER_PLATE_THICKNESS, L"水口板厚度："}};
    rows.insert(rows.end(), kCommonThicknesses.begin(), kCommonThicknesses.end());
    winRegisterDialogTemplate(instance,
                              mainDialog(IDD_PIN_POINT_DLG, L"岱川标模（细水口系统）", IDB_PIN_POINT_BANNER, rows));
}
