// A user's input in a dialog window goes through the dialog: keys the numeric
// edit control refuses never reach the field, leaving a field tidies it and
// tells the dialog, a disabled control ignores clicks, a control a handler
// disables is disabled on screen at once, and message boxes show their
// caption, icon and buttons and give the pressed button back.
#include <QCheckBox>
#include <QStringList>

#include "afxdialog.h"
#include "afxstub.h"
#include "winhost.h"
#include "ui/num_edit.h"
#include "winqt_fixture.h"

using namespace qttest;

namespace {

const UINT kTemplate = 9101;
const int kNumber = 3001, kPlain = 3002, kDisabled = 3003, kDisabler = 3004, kTarget = 3005, kCheck = 3006;

HINSTANCE testInstance() {
    static const char anchor = 0;
    return winModuleInstanceFromAddress(&anchor);
}

void registerTestTemplate() {
    WinDialogTemplate t;
    t.id = kTemplate;
    t.title = L"输入";
    t.cx = 200;
    t.cy = 120;
    t.controls.push_back(winControl(kNumber, WinControlKind::Edit, L"", 10, 10, 80, 12));
    t.controls.push_back(winControl(kPlain, WinControlKind::Edit, L"", 100, 10, 80, 12));
    WinControlTemplate disabled = winControl(kDisabled, WinControlKind::PushButton, L"停用", 10, 30, 50, 14);
    disabled.disabled = true;
    t.controls.push_back(disabled);
    t.controls.push_back(winControl(kDisabler, WinControlKind::PushButton, L"停用右边", 70, 30, 50, 14));
    t.controls.push_back(winControl(kTarget, WinControlKind::PushButton, L"目标", 130, 30, 50, 14));
    t.controls.push_back(winControl(kCheck, WinControlKind::CheckBox, L"选中", 10, 50, 60, 10));
    t.controls.push_back(winControl(IDOK, WinControlKind::PushButton, L"确定", 70, 100, 50, 14));
    t.controls.push_back(winControl(IDCANCEL, WinControlKind::PushButton, L"取消", 130, 100, 50, 14));
    winRegisterDialogTemplate(testInstance(), t);
}

class InputDlg : public CDialog {
public:
    InputDlg() : CDialog(kTemplate, nullptr, testInstance()) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        number.SubclassDlgItem(kNumber, this);
        return TRUE;
    }
    void onLeave() { ++leftNumber; }
    void onDisabledClicked() { ++disabledClicks; }
    void onDisabler() { GetDlgItem(kTarget)->EnableWindow(FALSE); }
    void onTarget() { ++targetClicks; }
    void onCheck() { ++checkClicks; }

    CNumEdit number;
    int leftNumber = 0, disabledClicks = 0, targetClicks = 0, checkClicks = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(InputDlg, CDialog)
ON_EN_KILLFOCUS(kNumber, &InputDlg::onLeave)
ON_BN_CLICKED(kDisabled, &InputDlg::onDisabledClicked)
ON_BN_CLICKED(kDisabler, &InputDlg::onDisabler)
ON_BN_CLICKED(kTarget, &InputDlg::onTarget)
ON_BN_CLICKED(kCheck, &InputDlg::onCheck)
END_MESSAGE_MAP()

class InputWindowTest : public WindowedTest {
protected:
    void SetUp() override {
        WindowedTest::SetUp();
        registerTestTemplate();
    }
};

QLineEdit* edit(int id) { return qobject_cast<QLineEdit*>(control(id)); }

}  // namespace

TEST_F(InputWindowTest, RefusedKeysNeverReachTheFieldAndLeavingItTidiesTheNumber) {
    InputDlg dialog;
    QStringList seen;  // every text the field ever showed
    UserDriver user;
    user.step([&] {
        QLineEdit* field = edit(kNumber);
        ASSERT_NE(nullptr, field);
        QObject::connect(field, &QLineEdit::textChanged, [&seen](const QString& t) { seen << t; });
        QTest::mouseClick(field, Qt::LeftButton);
        typeKeys(field, QStringLiteral("1a2.3.4 "));
        EXPECT_EQ(QStringLiteral("12.34"), field->text());
        // The caret in the middle: a sign may only go in front.
        field->setCursorPosition(2);
        QTest::keyClick(field, Qt::Key_Minus);
        EXPECT_EQ(QStringLiteral("12.34"), field->text());
        QTest::keyClick(field, Qt::Key_Backspace);
        EXPECT_EQ(QStringLiteral("1.34"), field->text()) << "backspace goes through the key handling";
        EXPECT_EQ(0, dialog.leftNumber);
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(1, dialog.leftNumber) << "leaving the field reaches the dialog";
    });
    user.step([&] {
        QLineEdit* field = edit(kNumber);
        QTest::mouseClick(field, Qt::LeftButton);
        field->selectAll();
        typeKeys(field, QStringLiteral("-12"));
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(QStringLiteral("-12.00"), field->text()) << "an integer gains two decimals on leaving";
        EXPECT_EQ(L"-12.00", dialog.number.GetWindowText());
        QTest::keyClick(top(), Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_TRUE(user.done());
    for (const QString& t : seen) {
        EXPECT_LE(t.count(QLatin1Char('.')), 1) << t.toStdString();
        EXPECT_FALSE(t.contains(QLatin1Char('a')) || t.contains(QLatin1Char(' '))) << t.toStdString();
    }
}

TEST_F(InputWindowTest, PlainFieldsTakeEveryPrintableKey) {
    InputDlg dialog;
    UserDriver user;
    user.step([&] {
        QLineEdit* field = edit(kPlain);
        QTest::mouseClick(field, Qt::LeftButton);
        typeKeys(field, qs(L"A板 x"));
        QTest::keyClick(field, Qt::Key_Tab);
        EXPECT_EQ(L"A板 x", dialog.GetDlgItem(kPlain)->GetWindowText());
        QTest::keyClick(top(), Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

TEST_F(InputWindowTest, DisabledControlsIgnoreClicksAndFollowTheDialogAtOnce) {
    InputDlg dialog;
    UserDriver user;
    user.step([&] {
        QWidget* disabled = control(kDisabled);
        ASSERT_NE(nullptr, disabled);
        EXPECT_FALSE(disabled->isEnabled());
        QTest::mouseClick(disabled, Qt::LeftButton);
        EXPECT_EQ(0, dialog.disabledClicks);

        EXPECT_TRUE(control(kTarget)->isEnabled());
        QTest::mouseClick(control(kDisabler), Qt::LeftButton);
        EXPECT_FALSE(control(kTarget)->isEnabled()) << "the handler's change shows at once";
        QTest::mouseClick(control(kTarget), Qt::LeftButton);
        EXPECT_EQ(0, dialog.targetClicks);

        auto* check = qobject_cast<QCheckBox*>(control(kCheck));
        QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(6, check->height() / 2));
        EXPECT_TRUE(check->isChecked());
        EXPECT_EQ(1, dialog.checkClicks);
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), dialog.IsDlgButtonChecked(kCheck));
        QTest::mouseClick(control(IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST_F(InputWindowTest, MessageBoxesShowCaptionIconAndButtonsAndReturnThePressedOne) {
    struct Case {
        UINT type;
        QMessageBox::Icon icon;
        std::vector<std::wstring> buttons;
        std::wstring press;
        int answer;
    };
    const Case cases[] = {
        {MB_OKCANCEL | MB_ICONEXCLAMATION, QMessageBox::Warning, {L"确定", L"取消"}, L"取消", IDCANCEL},
        {MB_OK, QMessageBox::NoIcon, {L"确定"}, L"确定", IDOK},
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Question, {L"是", L"否"}, L"否", IDNO},
        {MB_OK | MB_ICONINFORMATION, QMessageBox::Information, {L"确定"}, L"确定", IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        UserDriver user;
        user.answer(c.press, [&c](QMessageBox& box) {
            EXPECT_EQ(QStringLiteral("提示"), box.windowTitle());
            EXPECT_EQ(QStringLiteral("当前框数据未设置完成或设置有误\n是否不保存数据继续"), box.text());
            EXPECT_EQ(c.icon, box.icon());
            QStringList names;
            for (QAbstractButton* b : box.buttons()) names << b->text();
            EXPECT_EQ(static_cast<int>(c.buttons.size()), names.size());
            for (const auto& b : c.buttons) EXPECT_TRUE(names.contains(qs(b))) << names.join(QLatin1Char(' ')).toStdString();
        });
        // The toolkit's own road to a box: the installed backend shows it.
        EXPECT_EQ(c.answer, winShowMessageBox(L"提示", L"当前框数据未设置完成或设置有误\n是否不保存数据继续", c.type));
        EXPECT_TRUE(user.done());
    }
}
