// Template of dialog 105, the lock dialog: the lock type, its size and
// position pattern, the mounting, and below them a plan sketch of a plate with
// the four lock positions (bitmap 110) that the position names refer to.
#include "afxdialog.h"
#include "ui/dialog_resources.h"
#include "ui/lock_dlg.h"

namespace {

const UINT kLockPositionsBitmap = 110;

WinControlTemplate label(const wchar_t* caption, int x, int y, int cx) {
    return winControl(IDC_STATIC, WinControlKind::Label, caption, x, y + 2, cx, 8);
}

WinControlTemplate radio(int id, const wchar_t* caption, int x, int y, bool groupStart) {
    WinControlTemplate c = winControl(id, WinControlKind::RadioButton, caption, x, y, 70, 10);
    c.groupStart = groupStart;
    return c;
}

}  // namespace

void registerLockDlgTemplate(HINSTANCE instance) {
    WinDialogTemplate t;
    t.id = LockDlg::IDD;
    t.title = L"锁";
    t.cx = 311;
    t.cy = 339;
    auto& c = t.controls;

    c.push_back(winGroupBox(L"类型", 7, 7, 297, 32));
    c.push_back(radio(IDC_LOCK_STANDARD, L"顶锁", 20, 21, true));
    c.push_back(radio(IDC_LOCK_THIN, L"超薄顶锁", 110, 21, false));

    c.push_back(winGroupBox(L"位置及规格", 7, 45, 297, 34));
    c.push_back(label(L"规格:", 20, 59, 26));
    c.push_back(winControl(IDC_LOCK_SIZE, WinControlKind::ComboBox, L"", 48, 59, 80, 12));
    c.push_back(label(L"位置:", 150, 59, 26));
    c.push_back(winControl(IDC_LOCK_POSITION, WinControlKind::ComboBox, L"", 178, 59, 90, 12));

    c.push_back(winGroupBox(L"安装方式", 7, 85, 297, 32));
    c.push_back(radio(IDC_LOCK_UPRIGHT, L"正装", 20, 99, true));
    c.push_back(radio(IDC_LOCK_INVERTED, L"倒装", 110, 99, false));

    WinControlTemplate sketch = winControl(IDC_STATIC, WinControlKind::Picture, L"", 7, 123, 297, 186);
    sketch.bitmapId = kLockPositionsBitmap;
    sketch.groupStart = true;
    c.push_back(sketch);

    WinControlTemplate ok = winControl(IDOK, WinControlKind::PushButton, L"确定", 192, 316, 50, 14);
    ok.groupStart = true;
    ok.defaultButton = true;
    c.push_back(ok);
    c.push_back(winControl(IDCANCEL, WinControlKind::PushButton, L"取消", 254, 316, 50, 14));

    winRegisterDialogTemplate(instance, t);
}
