// The ZDTSGS command from the point pick to the drawing, with the shipped
// catalogue and a queued user: Cancel after the stack was computed draws
// nothing; OK draws the title with styles scaled from the A plate; no object is
// left open and the model is freed on every path (the sanitizer build sees any
// leak).
#include <string>
#include <vector>

#include "catalogue/text_conversion.h"
#include "draw/drawing_styles.h"
#include "resources/module_resources.h"
#include "shell/mould_base_command.h"
#include "shell_fixture.h"
#include "ui/dialog_resources.h"
#include "ui/main_dlg_ids.h"
#include "winui.h"
#include "vrxdbobjecttable.h"

namespace {

class DesignCommand : public ShellFixture {
protected:
    void SetUp() override {
        ShellFixture::SetUp();
        m_scale = drawingScale;
        m_ids = {textStyleId, dimStyleId, assemblyDimStyleId};
        winOverrideModuleFileName(zdtModuleInstance(), fromUtf8(std::string(ZDT_BIN_DIR) + "/libzdtmould.so"));
        registerModuleResources(zdtModuleInstance());
        registerDialogResources(zdtModuleInstance());
        m_previousUi = winSetUiBackend(&user);
    }
    void TearDown() override {
        winSetUiBackend(m_previousUi);
        winOverrideModuleFileName(zdtModuleInstance(), L"");
        ShellFixture::TearDown();
        drawingScale = m_scale;
        textStyleId = m_ids[0], dimStyleId = m_ids[1], assemblyDimStyleId = m_ids[2];
    }

    std::vector<VRxDbObjectId> modelSpaceEntities() {
        std::vector<VRxDbObjectId> ids;
        VRxDbBlockTableRecord* space = nullptr;
        if (vrxdbOpenObject(space, db->modelSpaceId(), VRxDb::kForRead) != Vrx::eOk) return ids;
        ids = space->entityIds();
        space->close();
        return ids;
    }
    struct TextSeen {
        std::wstring text;
        VRxGePoint3d position;
        double height = 0;
        double rotation = 0;
        std::wstring style;
    };
    std::vector<TextSeen> texts() {
        std::vector<TextSeen> seen;
        for (VRxDbObjectId id : modelSpaceEntities()) {
            VRxDbText* text = nullptr;
            if (vrxdbOpenObject(text, id, VRxDb::kForRead) != Vrx::eOk) continue;
            TextSeen t{text->textString(), text->position(), text->height(), text->rotation(), L""};
            VRxDbObjectId styleId = text->textStyle();
            text->close();
            VRxDbTextStyleTableRecord* style = nullptr;
            if (vrxdbOpenObject(style, styleId, VRxDb::kForRead) == Vrx::eOk) {
                t.style = style->getName();
                style->close();
            }
            seen.push_back(t);
        }
        return seen;
    }
    bool hasDimStyle(const wchar_t* name) {
        VRxDbDimStyleTable* table = nullptr;
        if (vrxdbOpenObject(table, db->dimStyleTableId(), VRxDb::kForRead) != Vrx::eOk) return false;
        bool has = table->has(name);
        table->close();
        return has;
    }
    std::wstring firstError() const { return user.errors().empty() ? L"" : user.errors()[0]; }

    WinQueuedUiBackend user;

private:
    WinUiBackend* m_previousUi = nullptr;
    double m_scale = 6.0;
    std::vector<VRxDbObjectId> m_ids;
};

}  // namespace

// A pocket question confirmed computes the stack inside the dialog; a later
// Cancel must still free every plate and view it made.
TEST_F(DesignCommand, CancelAfterTheStackWasComputedDrawsNothing) {
    editor.pointAnswers = {RTNORM};
    user.push(WinUiAction::clickOn(IDC_ADD_POCKET));
    user.push(WinUiAction::answerWith(IDOK));
    user.push(WinUiAction::answerWith(IDOK));  // the pocket dialog's notice
    user.push(WinUiAction::cancel());          // the pocket dialog
    user.push(WinUiAction::cancel());  // the main dialog
    const uint64_t handles = vrxdbNextHandle(*db);
    MouldBaseCommand();
    EXPECT_TRUE(user.errors().empty()) << std::string(toUtf8(firstError()));
    EXPECT_EQ(handles, vrxdbNextHandle(*db));
}

TEST_F(DesignCommand, OkDrawsTheTitleWithStylesScaledFromTheAPlate) {
    editor.pointAnswers = {RTNORM};
    user.push(WinUiAction::select(IDC_MOULD_CODE, L"3035"));
    user.push(WinUiAction::select(IDC_STYLE, L"SAI"));
    user.push(WinUiAction::ok());
    MouldBaseCommand();
    EXPECT_TRUE(user.errors().empty()) << std::string(toUtf8(firstError()));
    EXPECT_TRUE(user.shown().empty());
    EXPECT_EQ(L"", editor.output);

    // 300 wide / 50: scale 6.
    EXPECT_DOUBLE_EQ(6.0, drawingScale);
    EXPECT_TRUE(hasDimStyle(L"zdt_dim_6000"));
    EXPECT_TRUE(hasDimStyle(L"zdt_assemble_6000"));
    std::vector<TextSeen> seen = texts();
    ASSERT_FALSE(seen.empty());
    // The title comes first, before any plate view.
    EXPECT_EQ(L"3035 SAI", seen[0].text);
    EXPECT_DOUBLE_EQ(12.0, seen[0].height);
    EXPECT_DOUBLE_EQ(0.0, seen[0].rotation);
    EXPECT_EQ(L"zdt_txt_6000", seen[0].style);
    // The cursor ends right of the last plate, on the plan views' top edge.
    EXPECT_GT(seen[0].position.x, 100.0 + 300.0);
    EXPECT_DOUBLE_EQ(200.0, seen[0].position.y);
}
