// The whole design of a mould base done twice on the shipped catalogue: once
// by the scripted user of the toolkit, once through real widget events in the
// dialog windows (choices in the drop-down lists, numbers typed key by key,
// clicks, message box buttons). Both must leave the same model, and the boxes
// on the way show the question and the notice with their captions and icons.
#include <QListWidget>
#include <sstream>

#include "afxstub.h"
#include "model/mould_base_model.h"
#include "resources/module_resources.h"
#include "ui/dialog_resources.h"
#include "ui/main_dlg.h"
#include "winhost.h"
#include "winqt_fixture.h"

using namespace qttest;

namespace {

// The model as text: everything the dialogs write into it.
std::string describe(const MouldBaseModel& m) {
    std::wostringstream out;
    const MouldBaseParams& p = *m.params;
    out << p.mouldCode << L"|" << p.style << L"|" << p.ejectorGuide << L"|" << p.guideReversed << L"|"
        << p.aPlateThickness << L"|" << p.bPlateThickness << L"|" << p.spacerThickness << L"|" << p.retainerThickness
        << L"|" << p.ejectorThickness << L"\nstack " << m.stackComputed << L" plates " << m.plates.size()
        << L" filter " << m.displayFilter.size() << L"\n";
    for (const auto& [name, pocket] : m.pocketTable) {
        out << L"pocket " << name << L" " << pocket->plateName << L" " << pocket->mouldHalf << L" " << pocket->centreX
            << L"," << pocket->centreY << L" " << pocket->width << L"x" << pocket->length << L"x" << pocket->depth;
        for (const auto& [corner, spec] : pocket->corners) out << L" " << corner << L":" << spec.radius << L"/" << spec.type;
        out << L"\n";
    }
    for (const auto& [side, lock] : *m.lockTable)
        out << L"lock " << side << L" " << lock->side << L" " << lock->type << L" " << lock->size << L" " << lock->upright
            << L"\n";
    return winToUtf8(out.str());
}

class DesignWindowTest : public WindowedTest {
protected:
    void SetUp() override {
        WindowedTest::SetUp();
        winOverrideModuleFileName(zdtModuleInstance(), winFromUtf8(std::string(ZDT_BIN_DIR) + "/libzdtmould.so"));
        registerModuleResources(zdtModuleInstance());
        registerDialogResources(zdtModuleInstance());
    }
    void TearDown() override {
        winOverrideModuleFileName(zdtModuleInstance(), L"");
        WindowedTest::TearDown();
    }
    INT_PTR run(MouldBaseModel* model) {
        CModuleResourceScope resources(zdtModuleInstance());
        MainDlg dialog(model);
        return dialog.DoModal();
    }
};

}  // namespace

TEST_F(DesignWindowTest, WidgetEventsLeaveTheSameModelAsTheScriptedUser) {
    // The scripted user.
    WinQueuedUiBackend scripted;
    for (const WinUiAction& a : {WinUiAction::select(1001, L"3035"), WinUiAction::select(1002, L"SAI"),
                                 WinUiAction::clickOn(1010), WinUiAction::answerWith(IDOK),
                                 WinUiAction::answerWith(IDOK), WinUiAction::type(1027, L"25"),
                                 WinUiAction::type(1028, L"100"), WinUiAction::type(1029, L"150"),
                                 WinUiAction::clickOn(1021), WinUiAction::select(1014, L"R角"),
                                 WinUiAction::select(1015, L"5.00"), WinUiAction::ok(), WinUiAction::clickOn(1011),
                                 WinUiAction::clickOn(1031), WinUiAction::select(1033, L"TL-050"),
                                 WinUiAction::select(1035, L"四侧分中"), WinUiAction::clickOn(1034), WinUiAction::ok(),
                                 WinUiAction::ok()})
        scripted.push(a);
    winSetUiBackend(&scripted);
    std::unique_ptr<MouldBaseModel> byScript(new MouldBaseModel);
    ASSERT_EQ(IDOK, run(byScript.get()));
    ASSERT_TRUE(scripted.errors().empty()) << winToUtf8(scripted.errors()[0]);
    winSetUiBackend(backend.get());

    // The same through the windows.
    UserDriver user;
    user.select(1001, L"3035");
    user.select(1002, L"SAI");
    user.click(1010);
    user.answer(L"确定", [](QMessageBox& box) {
        EXPECT_EQ(QStringLiteral("提示"), box.windowTitle());
        EXPECT_EQ(qs(L"是否选定型号[3035],花式[SAI]？\n若选定框尺寸后无法修改"), box.text());
        EXPECT_EQ(QMessageBox::Warning, box.icon());
        EXPECT_EQ(2, box.buttons().size());
    });
    user.answer(L"确定", [](QMessageBox& box) {
        EXPECT_EQ(qs(L"即将在[A板]上创建框"), box.text());
        EXPECT_EQ(1, box.buttons().size());
    });
    user.type(1027, L"25");
    user.type(1028, L"100");
    user.type(1029, L"150");
    user.click(1021);
    user.select(1014, L"R角");
    user.select(1015, L"5.00");
    user.click(IDOK);
    user.click(1011);
    user.click(1031);
    user.select(1033, L"TL-050");
    user.select(1035, L"四侧分中");
    user.click(1034);
    user.click(IDOK);
    user.step([] {
        // Back in the main dialog: the information list shows what was added.
        auto* list = qobject_cast<QListWidget*>(control(1012));
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(5, list->count());
        EXPECT_FALSE(control(1001)->isEnabled()) << "the mould code is fixed once a pocket exists";
    });
    user.click(IDOK);
    std::unique_ptr<MouldBaseModel> byWindows(new MouldBaseModel);
    ASSERT_EQ(IDOK, run(byWindows.get()));
    EXPECT_TRUE(user.done());

    EXPECT_EQ(describe(*byScript), describe(*byWindows));
    EXPECT_EQ(1u, byWindows->pocketTable.size());
    EXPECT_EQ(4u, byWindows->lockTable->size());
}

// Escape in the pocket window and the close box of the main window cancel both:
// nothing reaches the model.
TEST_F(DesignWindowTest, CancellingThePocketWindowLeavesTheModelWithoutPockets) {
    UserDriver user;
    user.click(1010);
    user.answer(L"确定");
    user.answer(L"确定");
    user.type(1027, L"40");
    user.step([] { QTest::keyClick(top(), Qt::Key_Escape); });
    user.step([] {
        auto* list = qobject_cast<QListWidget*>(control(1012));
        ASSERT_NE(nullptr, list);
        EXPECT_EQ(0, list->count());
        EXPECT_TRUE(control(1001)->isEnabled());
        top()->close();
    });
    std::unique_ptr<MouldBaseModel> model(new MouldBaseModel);
    EXPECT_EQ(IDCANCEL, run(model.get()));
    EXPECT_TRUE(user.done());
    EXPECT_TRUE(model->pocketTable.empty());
}
