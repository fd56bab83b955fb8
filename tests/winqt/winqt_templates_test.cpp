// Every control of the three dialog templates shows in its window with its id,
// its kind and its caption; no caption is cut off by its control; the pictures
// show their bitmaps and the hidden check box stays hidden.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <vector>

#include "afxdialog.h"
#include "resources/module_resources.h"
#include "ui/dialog_resources.h"
#include "winqt_fixture.h"

using namespace qttest;

namespace {

enum class Kind { Button, Radio, Check, Edit, Combo, List };

struct Expected {
    int id;
    Kind kind;
    const wchar_t* caption;
};

struct Shown {
    std::vector<QString> labels, groups;
    int pictures = 0;
};

const char* kindName(Kind k) {
    switch (k) {
    case Kind::Button: return "push button";
    case Kind::Radio: return "radio button";
    case Kind::Check: return "check box";
    case Kind::Edit: return "edit";
    case Kind::Combo: return "drop-down list";
    case Kind::List: return "list box";
    }
    return "?";
}

bool isKind(QWidget* w, Kind k) {
    switch (k) {
    case Kind::Button: return qobject_cast<QPushButton*>(w) != nullptr;
    case Kind::Radio: return qobject_cast<QRadioButton*>(w) != nullptr;
    case Kind::Check: return qobject_cast<QCheckBox*>(w) != nullptr;
    case Kind::Edit: return qobject_cast<QLineEdit*>(w) != nullptr;
    case Kind::Combo: return qobject_cast<QComboBox*>(w) != nullptr;
    case Kind::List: return qobject_cast<QListWidget*>(w) != nullptr;
    }
    return false;
}

class TemplateWindowTest : public WindowedTest {
protected:
    void SetUp() override {
        WindowedTest::SetUp();
        registerModuleResources(zdtModuleInstance());
        registerDialogResources(zdtModuleInstance());
    }

    // Opens the template in a window and checks what a user sees in it.
    void check(UINT templateId, const std::vector<Expected>& controls, const std::vector<const wchar_t*>& labels,
               const std::vector<const wchar_t*>& groups, int pictures) {
        CDialog dialog(templateId, nullptr, zdtModuleInstance());
        UserDriver user;
        user.step([&] {
            QWidget* window = top();
            ASSERT_NE(nullptr, window);
            EXPECT_EQ(qs(dialog.GetTemplate().title), window->windowTitle());
            for (const Expected& e : controls) {
                SCOPED_TRACE(e.id);
                QWidget* w = control(e.id);
                ASSERT_NE(nullptr, w) << "control " << e.id << " is not shown";
                EXPECT_TRUE(isKind(w, e.kind)) << e.id << " is no " << kindName(e.kind);
                if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                    EXPECT_EQ(qs(e.caption), b->text());
                    EXPECT_LE(b->sizeHint().width(), b->width()) << "caption of " << e.id << " cut off";
                    EXPECT_LE(b->fontMetrics().height(), b->height());
                }
            }
            Shown shown;
            for (QWidget* w : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (auto* group = qobject_cast<QGroupBox*>(w)) {
                    shown.groups.push_back(group->title());
                    EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()) + 16, group->width());
                } else if (auto* label = qobject_cast<QLabel*>(w)) {
                    if (!label->pixmap().isNull()) {
                        ++shown.pictures;
                        continue;
                    }
                    shown.labels.push_back(label->text());
                    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                        << "label cut off: " << label->text().toStdString();
                    EXPECT_LE(label->fontMetrics().height(), label->height());
                }
            }
            for (const wchar_t* text : labels)
                EXPECT_NE(shown.labels.end(), std::find(shown.labels.begin(), shown.labels.end(), qs(text)))
                    << "label missing: " << QString::fromWCharArray(text).toStdString();
            for (const wchar_t* text : groups)
                EXPECT_NE(shown.groups.end(), std::find(shown.groups.begin(), shown.groups.end(), qs(text)))
                    << "group box missing: " << QString::fromWCharArray(text).toStdString();
            EXPECT_EQ(pictures, shown.pictures) << "bitmaps shown";
            QTest::keyClick(window, Qt::Key_Escape);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_TRUE(user.done());
    }
};

}  // namespace

TEST_F(TemplateWindowTest, MainDialogShowsBannerRadiosNineListsButtonsAndInformationList) {
    check(101,
          {{1035, Kind::Radio, L"全部显示"},
           {1036, Kind::Radio, L"简化显示"},
           {1001, Kind::Combo, L""},
           {1002, Kind::Combo, L""},
           {1003, Kind::Combo, L""},
           {1004, Kind::Combo, L""},
           {1005, Kind::Combo, L""},
           {1006, Kind::Combo, L""},
           {1007, Kind::Combo, L""},
           {1008, Kind::Combo, L""},
           {1009, Kind::Combo, L""},
           {1010, Kind::Button, L"增加框"},
           {1011, Kind::Button, L"增加锁"},
           {1012, Kind::List, L""},
           {1, Kind::Button, L"确定"},
           {2, Kind::Button, L"取消"}},
          {L"板件显示：", L"型号：", L"花式：", L"针板导柱：", L"导柱倒装：", L"A板厚度：", L"B板厚度：", L"方铁厚度：",
           L"面针板厚度：", L"底针板厚度："},
          {L"标准模架参数", L"加工项目", L"信息"}, 1);
}

TEST_F(TemplateWindowTest, PocketDialogShowsFieldsCornerChoicesAndOptionsWithTheFineBoxHidden) {
    check(104,
          {{1013, Kind::Combo, L""},
           {1020, Kind::Check, L"精框"},
           {1025, Kind::Edit, L""},
           {1026, Kind::Edit, L""},
           {1027, Kind::Edit, L""},
           {1028, Kind::Edit, L""},
           {1029, Kind::Edit, L""},
           {1021, Kind::Radio, L"四个角位相同"},
           {1014, Kind::Combo, L""},
           {1015, Kind::Combo, L""},
           {1022, Kind::Radio, L"基准角处R角类型/大小与其它三个不同"},
           {1016, Kind::Combo, L""},
           {1017, Kind::Combo, L""},
           {1018, Kind::Combo, L""},
           {1019, Kind::Combo, L""},
           {1030, Kind::Check, L"精框倒角(开框板件统一于开模面倒C1)"},
           {1023, Kind::Radio, L"精框分中取数"},
           {1024, Kind::Radio, L"精框基准角取数"},
           {1, Kind::Button, L"确定"},
           {2, Kind::Button, L"取消"}},
          {L"板名：", L"中心坐标:", L"X", L",     Y", L"深:", L"宽:", L"长:", L"类型:", L"R=", L"基准角R位类型:",
           L"非基准角R位类型:"},
          {L"基本信息", L"角位", L"其他信息"}, 0);
}

TEST_F(TemplateWindowTest, LockDialogShowsTypesListsMountingAndThePositionsPicture) {
    check(105,
          {{1031, Kind::Radio, L"顶锁"},
           {1032, Kind::Radio, L"超薄顶锁"},
           {1033, Kind::Combo, L""},
           {1035, Kind::Combo, L""},
           {1034, Kind::Radio, L"正装"},
           {1036, Kind::Radio, L"倒装"},
           {1, Kind::Button, L"确定"},
           {2, Kind::Button, L"取消"}},
          {L"规格:", L"位置:"}, {L"类型", L"位置及规格", L"安装方式"}, 1);
}

// The check box the pocket dialog keeps out of sight is not shown.
TEST_F(TemplateWindowTest, HiddenControlsStayHidden) {
    CDialog dialog(104, nullptr, zdtModuleInstance());
    UserDriver user;
    user.step([&] {
        QWidget* fine = control(1020);
        ASSERT_NE(nullptr, fine);
        EXPECT_TRUE(fine->isHidden());
        EXPECT_FALSE(control(1030)->isHidden());
        QTest::keyClick(top(), Qt::Key_Escape);
    });
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}
