// The pocket dialog driven as a user would: the notice for a new pocket, the
// corner controls and the radius lists by depth, seeding a new pocket from the
// facing plate, the questions and refusals, and what reaches the model's
// pocket table on OK and on cancel.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "model/mould_base_model.h"
#include "ui/pocket_dlg.h"
#include "ui_pocket_fixture.h"

namespace {

const wchar_t* const kUnfinished = L"当前框数据未设置完成或设置有误\n是否不保存数据继续";

class PocketDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        model.params->style = L"DBI";
        addPlate(L"A板", L"上模");
        addPlate(L"B板", L"下模");
        addPlate(L"成品推板", L"下模");
    }
    void addPlate(const std::wstring& name, const std::wstring& location) {
        auto* plate = new PlateRecord;
        plate->name = name;
        plate->location = location;
        model.plates[name] = plate;
    }
    // The user's part for an A-plate pocket whose datum corner differs.
    void finishAPocket() {
        user.answer(IDOK)
            .type(IDC_POCKET_CENTRE_X, L"-12.5")
            .type(IDC_POCKET_CENTRE_Y, L"8")
            .type(IDC_POCKET_DEPTH, L"30")
            .type(IDC_POCKET_WIDTH, L"200")
            .type(IDC_POCKET_LENGTH, L"150")
            .click(IDC_POCKET_DATUM_DIFFERS)
            .select(IDC_POCKET_DATUM_TYPE, L"避空角")
            .select(IDC_POCKET_DATUM_RADIUS, L"12.50")
            .select(IDC_POCKET_OTHER_TYPE, L"R角")
            .select(IDC_POCKET_OTHER_RADIUS, L"10.00");
    }
    // A pocket the model already holds before the dialog opens.
    PocketRecord* givenPocket(const wchar_t* plate, const wchar_t* half, double width, double length, double depth) {
        auto* p = new PocketRecord;
        p->plateName = plate;
        p->mouldHalf = half;
        p->width = width;
        p->length = length;
        p->depth = depth;
        model.pocketTable[plate] = p;
        return p;
    }
    PocketRecord* pocket(const std::wstring& plate) {
        auto it = model.pocketTable.find(plate);
        return it == model.pocketTable.end() ? nullptr : it->second;
    }

    MouldBaseModel model;
};

void expectCorner(const PocketRecord& p, int corner, double radius, int type) {
    SCOPED_TRACE(corner);
    EXPECT_EQ(p.cornerSpec(corner).radius, radius);
    EXPECT_EQ(p.cornerSpec(corner).type, type);
}

TEST_F(PocketDialogTest, OpeningWithoutPocketsAnnouncesTheAPlateAndLocksTheCorners) {
    bool probed = false;
    user.answer(IDOK).probe([&](CDialog& d) {
        probed = true;
        EXPECT_EQ(itemsOf(d, IDC_POCKET_PLATE), (std::vector<std::wstring>{L"A板", L"成品推板", L"B板"}));
        EXPECT_EQ(selectedText(d, IDC_POCKET_PLATE), L"A板");
        for (int id = IDC_POCKET_ALL_TYPE; id <= IDC_POCKET_OTHER_RADIUS; ++id) EXPECT_FALSE(enabled(d, id)) << id;
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_POCKET_ALL_ALIKE), 0u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_POCKET_DATUM_DIFFERS), 0u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_POCKET_FINE), 1u);
        EXPECT_EQ(itemsOf(d, IDC_POCKET_ALL_TYPE), (std::vector<std::wstring>{L"R角", L"避空角"}));
    });
    user.select(IDC_POCKET_ALL_TYPE, L"R角").cancel();  // refused: the list is disabled
    PocketDlg dlg(&model);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(probed);
    ASSERT_FALSE(user.errors().empty());
    EXPECT_NE(user.errors().front().find(L"disabled"), std::wstring::npos);
    ASSERT_EQ(user.shown().size(), 1u);
    EXPECT_EQ(user.shown()[0].text, L"即将在[A板]上创建框");
    EXPECT_EQ(user.shown()[0].type & MB_TYPEMASK, MB_OK);
    EXPECT_TRUE(model.pocketTable.empty());
}

TEST_F(PocketDialogTest, StylesWithoutStripperPlateOfferOnlyAAndB) {
    for (const wchar_t* style : {L"DAI", L"DCH"}) {
        model.params->style = style;
        ProbingUser local;
        winSetUiBackend(&local);
        local.answer(IDOK).probe([](CDialog& d) {
            EXPECT_EQ(itemsOf(d, IDC_POCKET_PLATE), (std::vector<std::wstring>{L"A板", L"B板"}));
        });
        local.cancel();
        PocketDlg dlg(&model);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_TRUE(local.errors().empty());
        winSetUiBackend(&user);
    }
}

TEST_F(PocketDialogTest, DatumCornerOfTheUpperHalfIsBottomLeft) {
    finishAPocket();
    user.ok();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDOK);
    PocketRecord* a = pocket(L"A板");
    ASSERT_NE(a, nullptr);
    EXPECT_DOUBLE_EQ(a->centreX, -12.5);
    EXPECT_DOUBLE_EQ(a->centreY, 8.0);
    expectCorner(*a, 6, 12.5, ReliefCorner);
    for (int corner : {4, 5, 7}) expectCorner(*a, corner, 10.0, FilletCorner);
}

TEST_F(PocketDialogTest, SwitchingPlatesSeedsTheNewPocketMirroredWithoutDepth) {
    finishAPocket();
    user.select(IDC_POCKET_PLATE, L"B板")
        .answer(IDOK)
        .probe([](CDialog& d) {
            std::wstring depth, width;
            d.GetDlgItemText(IDC_POCKET_DEPTH, depth);
            d.GetDlgItemText(IDC_POCKET_WIDTH, width);
            EXPECT_EQ(depth, L"0");
            EXPECT_EQ(width, L"200");
        })
        .type(IDC_POCKET_DEPTH, L"45")
        .ok();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDOK);
    EXPECT_EQ(user.texts(), (std::vector<std::wstring>{L"即将在[A板]上创建框", L"即将在[B板]上创建框"}));
    ASSERT_EQ(model.pocketTable.size(), 2u);
    PocketRecord* a = pocket(L"A板");
    PocketRecord* b = pocket(L"B板");
    ASSERT_TRUE(a != nullptr && b != nullptr);
    EXPECT_DOUBLE_EQ(a->depth, 30.0);
    EXPECT_DOUBLE_EQ(b->depth, 45.0);
    EXPECT_EQ(b->mouldHalf, L"下模");
    EXPECT_DOUBLE_EQ(b->width, 200.0);
    EXPECT_DOUBLE_EQ(b->length, 150.0);
    EXPECT_DOUBLE_EQ(b->centreY, 8.0);
    EXPECT_DOUBLE_EQ(b->centreX, 12.5);
    // The bottom corners trade places, so the relief corner is B's datum (5).
    expectCorner(*b, 5, 12.5, ReliefCorner);
    for (int corner : {4, 6, 7}) expectCorner(*b, corner, 10.0, FilletCorner);
}

TEST_F(PocketDialogTest, OpeningOnABPocketSeedsTheAPocketKeepingItsDepth) {
    auto* b = new PocketRecord;
    b->plateName = L"B板";
    b->mouldHalf = L"下模";
    b->width = 220;
    b->length = 160;
    b->depth = 40;
    b->centreX = 5;
    b->centreY = -3;
    b->setNonDatumSpec({8.0, FilletCorner});
    b->setDatumSpec({10.0, ReliefCorner});
    model.pocketTable[L"B板"] = b;

    user.answer(IDOK)
        .probe([](CDialog& d) {
            std::wstring depth;
            d.GetDlgItemText(IDC_POCKET_DEPTH, depth);
            EXPECT_EQ(depth, L"40");
            // The seeded corners show although the controls stay locked.
            EXPECT_EQ(selectedText(d, IDC_POCKET_DATUM_TYPE), L"避空角");
            EXPECT_EQ(selectedText(d, IDC_POCKET_DATUM_RADIUS), L"10.00");
            EXPECT_EQ(selectedText(d, IDC_POCKET_OTHER_RADIUS), L"8.00");
        })
        .ok();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDOK);
    ASSERT_EQ(model.pocketTable.size(), 2u);
    PocketRecord* a = pocket(L"A板");
    ASSERT_NE(a, nullptr);
    EXPECT_DOUBLE_EQ(a->depth, 40.0);
    EXPECT_DOUBLE_EQ(a->centreX, -5.0);
    EXPECT_DOUBLE_EQ(a->centreY, -3.0);
    expectCorner(*a, 6, 10.0, ReliefCorner);  // B's datum 5 lands on A's datum 6
    for (int corner : {4, 5, 7}) expectCorner(*a, corner, 8.0, FilletCorner);
    // B's working copy replaced the model's record with the same numbers.
    ASSERT_NE(pocket(L"B板"), nullptr);
    EXPECT_DOUBLE_EQ(pocket(L"B板")->width, 220.0);
    expectCorner(*pocket(L"B板"), 5, 10.0, ReliefCorner);
}

TEST_F(PocketDialogTest, RadiusListsFollowTheDepthTable) {
    auto radii = [](const std::vector<std::wstring>& items) { return items; };
    using L = std::vector<std::wstring>;
    user.answer(IDOK).type(IDC_POCKET_DEPTH, L"20").click(IDC_POCKET_DATUM_DIFFERS);
    user.select(IDC_POCKET_DATUM_TYPE, L"R角").select(IDC_POCKET_OTHER_TYPE, L"避空角").probe([&](CDialog& d) {
        EXPECT_EQ(radii(itemsOf(d, IDC_POCKET_DATUM_RADIUS)),
                  (L{L"4.00", L"5.00", L"6.00", L"8.00", L"10.00", L"13.00", L"16.50", L"20.00"}));
        EXPECT_EQ(itemsOf(d, IDC_POCKET_OTHER_RADIUS),
                  (L{L"4.00", L"5.00", L"6.00", L"8.00", L"10.00", L"12.50", L"16.00"}));
    });
    user.type(IDC_POCKET_DEPTH, L"20.001").probe([&](CDialog& d) {
        EXPECT_EQ(itemsOf(d, IDC_POCKET_DATUM_RADIUS).front(), L"5.00");
        EXPECT_EQ(itemsOf(d, IDC_POCKET_OTHER_RADIUS).front(), L"4.00");
    });
    user.type(IDC_POCKET_DEPTH, L"80").probe([&](CDialog& d) {
        EXPECT_EQ(itemsOf(d, IDC_POCKET_DATUM_RADIUS), (L{L"10.00", L"13.00", L"16.50", L"20.00", L"25.00"}));
        EXPECT_EQ(itemsOf(d, IDC_POCKET_OTHER_RADIUS), (L{L"10.00", L"12.50", L"16.00"}));
    });
    user.type(IDC_POCKET_DEPTH, L"300").probe([&](CDialog& d) {
        EXPECT_EQ(itemsOf(d, IDC_POCKET_DATUM_RADIUS), (L{L"16.50", L"20.00", L"25.00", L"30.00", L"50.00"}));
        EXPECT_EQ(itemsOf(d, IDC_POCKET_OTHER_RADIUS), (L{L"16.00", L"20.00"}));
    });
    // Deeper than any cutter: no list applies, the drop-downs keep their lines.
    user.type(IDC_POCKET_DEPTH, L"350").probe([&](CDialog& d) {
        EXPECT_EQ(itemsOf(d, IDC_POCKET_DATUM_RADIUS), (L{L"16.50", L"20.00", L"25.00", L"30.00", L"50.00"}));
        EXPECT_EQ(itemsOf(d, IDC_POCKET_OTHER_RADIUS), (L{L"16.00", L"20.00"}));
        EXPECT_EQ(comboOf(d, IDC_POCKET_DATUM_RADIUS)->GetCurSel(), -1);
    });
    user.cancel();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(user.texts(), (std::vector<std::wstring>{L"即将在[A板]上创建框"}));
}

TEST_F(PocketDialogTest, ARadiusNoLongerOfferedLeavesNoSelectionAndBlocksTheCommit) {
    user.answer(IDOK)
        .type(IDC_POCKET_DEPTH, L"10")
        .type(IDC_POCKET_WIDTH, L"100")
        .type(IDC_POCKET_LENGTH, L"100")
        .click(IDC_POCKET_ALL_ALIKE)
        .select(IDC_POCKET_ALL_TYPE, L"R角")
        .select(IDC_POCKET_ALL_RADIUS, L"4.00")
        .type(IDC_POCKET_DEPTH, L"30")
        .probe([](CDialog& d) {
            EXPECT_EQ(comboOf(d, IDC_POCKET_ALL_RADIUS)->GetCurSel(), -1);
            EXPECT_EQ(itemsOf(d, IDC_POCKET_ALL_RADIUS).front(), L"5.00");
        })
        .ok()
        .answer(IDOK)
        .probe([](CDialog& d) { EXPECT_TRUE(d.IsRunning()); })
        .select(IDC_POCKET_ALL_RADIUS, L"5.00")
        .ok();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDOK);
    EXPECT_EQ(user.texts(), (std::vector<std::wstring>{L"即将在[A板]上创建框", L"转角信息尚未完整"}));
    ASSERT_NE(pocket(L"A板"), nullptr);
    for (int corner = 4; corner <= 7; ++corner) expectCorner(*pocket(L"A板"), corner, 5.0, FilletCorner);
}

TEST_F(PocketDialogTest, ChoosingARadiusWithoutDepthAsksForTheDepthFirst) {
    user.answer(IDOK)
        .type(IDC_POCKET_DEPTH, L"10")
        .click(IDC_POCKET_ALL_ALIKE)
        .select(IDC_POCKET_ALL_TYPE, L"避空角")
        .type(IDC_POCKET_DEPTH, L"0")
        .select(IDC_POCKET_ALL_RADIUS, L"6.00")
        .answer(IDOK)
        .cancel();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(user.texts(), (std::vector<std::wstring>{L"即将在[A板]上创建框", L"请先输入框深"}));
    EXPECT_TRUE(model.pocketTable.empty());
}

TEST_F(PocketDialogTest, LeavingAnUnfinishedPocketAsksAndCancelStaysOnThePlate) {
    user.answer(IDOK)
        .type(IDC_POCKET_DEPTH, L"12")
        .select(IDC_POCKET_PLATE, L"B板")
        .answer(IDCANCEL)
        .probe([](CDialog& d) { EXPECT_EQ(selectedText(d, IDC_POCKET_PLATE), L"A板"); })
        .select(IDC_POCKET_PLATE, L"成品推板")
        .answer(IDOK)
        .answer(IDOK)
        .probe([](CDialog& d) { EXPECT_EQ(selectedText(d, IDC_POCKET_PLATE), L"成品推板"); })
        .ok()
        .answer(IDOK)
        .answer(IDOK)
        .probe([](CDialog& d) { EXPECT_TRUE(d.IsRunning()); })
        .cancel();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDCANCEL);
    const auto& shown = user.shown();
    ASSERT_EQ(shown.size(), 6u);
    EXPECT_EQ(shown[1].text, kUnfinished);
    EXPECT_EQ(shown[1].caption, L"提示");
    EXPECT_EQ(shown[1].type, MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(shown[1].answer, IDCANCEL);
    EXPECT_EQ(shown[2].text, kUnfinished);
    EXPECT_EQ(shown[3].text, L"即将在[成品推板]上创建框");
    // OK on an unfinished pocket: the question, then the missing corners.
    EXPECT_EQ(shown[4].text, kUnfinished);
    EXPECT_EQ(shown[5].text, L"转角信息尚未完整");
    EXPECT_TRUE(model.pocketTable.empty());
}

TEST_F(PocketDialogTest, TextThatIsNotANumberIsRefusedAndTheDialogStaysOpen) {
    // Pasted text passes the field's key filter; only the exchange can refuse it.
    auto paste = [](const wchar_t* text) {
        return [text](CDialog& d) {
            auto* edit = dynamic_cast<CEdit*>(d.GetDlgItem(IDC_POCKET_WIDTH));
            ASSERT_NE(edit, nullptr);
            edit->SetSel(0, -1);
            edit->ReplaceSel(text);
        };
    };
    user.answer(IDOK)
        .type(IDC_POCKET_DEPTH, L"10")
        .type(IDC_POCKET_LENGTH, L"90")
        .click(IDC_POCKET_ALL_ALIKE)
        .select(IDC_POCKET_ALL_TYPE, L"R角")
        .select(IDC_POCKET_ALL_RADIUS, L"8.00")
        .probe(paste(L"1.2.3"))
        .ok()
        .answer(IDOK)
        .probe([](CDialog& d) { EXPECT_TRUE(d.IsRunning()); })
        .select(IDC_POCKET_PLATE, L"B板")
        .answer(IDOK)
        .probe([](CDialog& d) { EXPECT_EQ(selectedText(d, IDC_POCKET_PLATE), L"A板"); })
        .probe(paste(L"95.5"))
        .ok();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDOK);
    EXPECT_EQ(user.texts(),
              (std::vector<std::wstring>{L"即将在[A板]上创建框", L"请输入一个数字。", L"请输入一个数字。"}));
    ASSERT_NE(pocket(L"A板"), nullptr);
    EXPECT_DOUBLE_EQ(pocket(L"A板")->width, 95.5);
}

TEST_F(PocketDialogTest, CancelAfterEditsOnSeveralPlatesLeavesTheTableAsItWas) {
    PocketRecord* a = givenPocket(L"A板", L"上模", 150, 100, 20);
    a->setAllCorners({8.0, FilletCorner});

    user.probe([](CDialog& d) {
            // An existing pocket with one spec opens on "all corners alike".
            EXPECT_EQ(d.IsDlgButtonChecked(IDC_POCKET_ALL_ALIKE), 1u);
            EXPECT_TRUE(enabled(d, IDC_POCKET_ALL_RADIUS));
            EXPECT_FALSE(enabled(d, IDC_POCKET_DATUM_RADIUS));
            EXPECT_EQ(selectedText(d, IDC_POCKET_ALL_RADIUS), L"8.00");
        })
        .type(IDC_POCKET_WIDTH, L"999")
        .select(IDC_POCKET_ALL_RADIUS, L"10.00")
        .select(IDC_POCKET_PLATE, L"B板")
        .answer(IDOK)
        .type(IDC_POCKET_DEPTH, L"35")
        .select(IDC_POCKET_PLATE, L"成品推板")
        .answer(IDOK)
        .select(IDC_POCKET_PLATE, L"A板")
        .answer(IDOK)
        .probe([](CDialog& d) {
            std::wstring width;
            d.GetDlgItemText(IDC_POCKET_WIDTH, width);
            EXPECT_EQ(width, L"999");  // the working copy kept the edit
        })
        .cancel();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDCANCEL);
    ASSERT_EQ(model.pocketTable.size(), 1u);
    EXPECT_EQ(model.pocketTable.at(L"A板"), a);
    EXPECT_DOUBLE_EQ(a->width, 150.0);
    expectCorner(*a, 4, 8.0, FilletCorner);
}

TEST_F(PocketDialogTest, CommitReplacesTheModelsRecordsAndKeepsUnfinishedOnesOut) {
    PocketRecord* a = givenPocket(L"A板", L"上模", 150, 100, 20);
    a->setAllCorners({8.0, FilletCorner});

    // The B plate is visited and left without a depth (the user agrees not to
    // keep it); only the edited A pocket reaches the model, in a new record.
    user.type(IDC_POCKET_WIDTH, L"160")
        .select(IDC_POCKET_ALL_RADIUS, L"6.00")
        .select(IDC_POCKET_PLATE, L"B板")
        .answer(IDOK)
        .select(IDC_POCKET_PLATE, L"A板")
        .answer(IDOK)
        .ok();
    PocketDlg dlg(&model);
    EXPECT_EQ(run(dlg), IDOK);
    ASSERT_EQ(model.pocketTable.size(), 1u);
    PocketRecord* now = pocket(L"A板");
    ASSERT_NE(now, nullptr);
    EXPECT_DOUBLE_EQ(now->width, 160.0);
    for (int corner = 4; corner <= 7; ++corner) expectCorner(*now, corner, 6.0, FilletCorner);
}

TEST(PocketRecordRules, OnlyARecordTheDrawingCanUseIsValid) {
    PocketRecord p;
    p.plateName = L"B板";
    p.width = 100;
    p.length = 80;
    p.depth = 12;
    p.setAllCorners({5.0, FilletCorner});
    EXPECT_TRUE(p.isValid());
    EXPECT_EQ(p.datumCorner(), 5);  // an empty mould half counts as the lower one
    for (auto spoil : std::vector<std::function<void(PocketRecord&)>>{
             [](PocketRecord& r) { r.plateName.clear(); }, [](PocketRecord& r) { r.depth = 0.0005; },
             [](PocketRecord& r) { r.width = -100; }, [](PocketRecord& r) { r.corners[7].type = -1; },
             [](PocketRecord& r) { r.corners[7].type = 2; }, [](PocketRecord& r) { r.corners[4].radius = -5; }}) {
        PocketRecord q = p;
        spoil(q);
        EXPECT_FALSE(q.isValid());
    }
}

}  // namespace
