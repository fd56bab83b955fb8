// Every control of the module's dialog templates shows in its window as the
// kind its template names, visible or hidden as it asks, and no caption is cut
// off by its control; the pictures show their bitmaps.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>

#include "afxdialog.h"
#include "resources/module_resources.h"
#include "ui/dialog_resources.h"
#include "winqt_fixture.h"

using namespace qttest;

namespace {

bool isKind(QWidget* w, WinControlKind k) {
    switch (k) {
    case WinControlKind::PushButton: return qobject_cast<QPushButton*>(w) != nullptr;
    case WinControlKind::RadioButton: return qobject_cast<QRadioButton*>(w) != nullptr;
    case WinControlKind::CheckBox: return qobject_cast<QCheckBox*>(w) != nullptr;
    case WinControlKind::Edit: return qobject_cast<QLineEdit*>(w) != nullptr;
    case WinControlKind::ComboBox: return qobject_cast<QComboBox*>(w) != nullptr;
    case WinControlKind::ListBox: return qobject_cast<QListWidget*>(w) != nullptr;
    default: return true;
    }
}

class TemplateWindowTest : public WindowedTest {
protected:
    void SetUp() override {
        WindowedTest::SetUp();
        registerModuleResources(zdtModuleInstance());
        registerDialogResources(zdtModuleInstance());
    }

    // Opens the template in a window and checks what a user sees in it.
    void check(UINT templateId) {
        CDialog dialog(templateId, nullptr, zdtModuleInstance());
        UserDriver user;
        user.step([&] {
            QWidget* window = top();
            ASSERT_NE(nullptr, window);
            EXPECT_EQ(qs(dialog.GetTemplate().title), window->windowTitle());
            int pictures = 0;
            for (const WinControlTemplate& e : dialog.GetTemplate().controls) {
                pictures += e.kind == WinControlKind::Picture;
                if (e.id == IDC_STATIC) continue;
                SCOPED_TRACE(e.id);
                QWidget* w = control(e.id);
                ASSERT_NE(nullptr, w) << "control " << e.id << " is not shown";
                EXPECT_TRUE(isKind(w, e.kind));
                EXPECT_EQ(!e.visible, w->isHidden());
                if (auto* b = qobject_cast<QAbstractButton*>(w)) {
                    EXPECT_EQ(qs(e.caption.c_str()), b->text());
                    EXPECT_LE(b->sizeHint().width(), b->width()) << "caption of " << e.id << " cut off";
                    EXPECT_LE(b->fontMetrics().height(), b->height());
                }
            }
            int shownPictures = 0;
            for (QWidget* w : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (auto* group = qobject_cast<QGroupBox*>(w)) {
                    EXPECT_LE(group->fontMetrics().horizontalAdvance(group->title()) + 16, group->width());
                } else if (auto* label = qobject_cast<QLabel*>(w)) {
                    if (!label->pixmap().isNull()) {
                        ++shownPictures;
                        continue;
                    }
                    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                        << "label cut off: " << label->text().toStdString();
                    EXPECT_LE(label->fontMetrics().height(), label->height());
                }
            }
            EXPECT_EQ(pictures, shownPictures) << "bitmaps shown";
            QTest::keyClick(window, Qt::Key_Escape);
        });
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_TRUE(user.done());
    }
};

}  // namespace

TEST_F(TemplateWindowTest, EveryControlOfTheMainPocketAndLockDialogsShowsWhole) {
    for (UINT id : {101u, 104u, 105u}) {
        SCOPED_TRACE(id);
        check(id);
    }
}
