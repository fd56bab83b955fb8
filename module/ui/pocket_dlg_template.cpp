// Template of dialog 104, the pocket dialog: the plate and the pocket's
// numbers under "基本信息", the two ways of giving the corners under "角位",
// and the finishing options under "其他信息" (shown for the machinist's
// habit, not read). Controls are listed in tab order; each label sits left of
// its field with its baseline on the field's text.
#include "afxdialog.h"
#include "ui/dialog_resources.h"
#include "ui/pocket_dlg.h"

namespace {

WinControlTemplate label(const wchar_t* caption, int x, int y, int cx) {
    return winControl(IDC_STATIC, WinControlKind::Label, caption, x, y + 2, cx, 8);
}

WinControlTemplate list(int id, int x, int y, int cx) { return winControl(id, WinControlKind::ComboBox, L"", x, y, cx, 12); }

WinControlTemplate field(int id, int x, int y, int cx) { return winControl(id, WinControlKind::Edit, L"", x, y, cx, 12); }

}  // namespace

void registerPocketDlgTemplate(HINSTANCE instance) {
    WinDialogTemplate t;
    t.id = PocketDlg::IDD;
    t.title = L"框";
    t.cx = 318;
    t.cy = 339;
    auto& c = t.controls;

    c.push_back(winGroupBox(L"基本信息", 7, 7, 304, 98));
    c.push_back(label(L"板名：", 18, 22, 40));
    c.push_back(list(IDC_POCKET_PLATE, 66, 22, 90));
    WinControlTemplate fine = winControl(IDC_POCKET_FINE, WinControlKind::CheckBox, L"精框", 176, 24, 40, 10);
    fine.visible = false;
    c.push_back(fine);
    c.push_back(label(L"中心坐标:", 18, 42, 40));
    c.push_back(label(L"X", 58, 42, 6));
    c.push_back(field(IDC_POCKET_CENTRE_X, 66, 42, 60));
    c.push_back(label(L",     Y", 130, 42, 30));
    c.push_back(field(IDC_POCKET_CENTRE_Y, 162, 42, 60));
    c.push_back(label(L"深:", 18, 62, 40));
    c.push_back(field(IDC_POCKET_DEPTH, 66, 62, 60));
    c.push_back(label(L"宽:", 18, 82, 40));
    c.push_back(field(IDC_POCKET_WIDTH, 66, 82, 60));
    c.push_back(label(L"长:", 130, 82, 30));
    c.push_back(field(IDC_POCKET_LENGTH, 162, 82, 60));

    c.push_back(winGroupBox(L"角位", 7, 111, 304, 118));
    WinControlTemplate alike =
        winControl(IDC_POCKET_ALL_ALIKE, WinControlKind::RadioButton, L"四个角位相同", 18, 125, 120, 10);
    alike.groupStart = true;
    c.push_back(alike);
    c.push_back(label(L"类型:", 30, 141, 32));
    c.push_back(list(IDC_POCKET_ALL_TYPE, 66, 141, 70));
    c.push_back(label(L"R=", 146, 141, 14));
    c.push_back(list(IDC_POCKET_ALL_RADIUS, 162, 141, 60));
    c.push_back(winControl(IDC_POCKET_DATUM_DIFFERS, WinControlKind::RadioButton, L"基准角处R角类型/大小与其它三个不同", 18,
                        163, 200, 10));
    c.push_back(label(L"基准角R位类型:", 30, 179, 66));
    c.push_back(list(IDC_POCKET_DATUM_TYPE, 100, 179, 70));
    c.push_back(label(L"R=", 180, 179, 14));
    c.push_back(list(IDC_POCKET_DATUM_RADIUS, 196, 179, 60));
    c.push_back(label(L"非基准角R位类型:", 30, 201, 66));
    c.push_back(list(IDC_POCKET_OTHER_TYPE, 100, 201, 70));
    c.push_back(label(L"R=", 180, 201, 14));
    c.push_back(list(IDC_POCKET_OTHER_RADIUS, 196, 201, 60));

    c.push_back(winGroupBox(L"其他信息", 7, 235, 304, 74));
    c.push_back(winControl(IDC_POCKET_CHAMFER, WinControlKind::CheckBox, L"精框倒角(开框板件统一于开模面倒C1)", 18, 251,
                        220, 10));
    WinControlTemplate centred =
        winControl(IDC_POCKET_DIM_CENTRED, WinControlKind::RadioButton, L"精框分中取数", 18, 271, 100, 10);
    centred.groupStart = true;
    c.push_back(centred);
    c.push_back(winControl(IDC_POCKET_DIM_DATUM, WinControlKind::RadioButton, L"精框基准角取数", 130, 271, 100, 10));

    WinControlTemplate ok = winControl(IDOK, WinControlKind::PushButton, L"确定", 192, 316, 50, 14);
    ok.groupStart = true;
    ok.defaultButton = true;
    c.push_back(ok);
    c.push_back(winControl(IDCANCEL, WinControlKind::PushButton, L"取消", 254, 316, 50, 14));

    winRegisterDialogTemplate(instance, t);
}
