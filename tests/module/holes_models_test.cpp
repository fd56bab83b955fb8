// The hole classes and the plate hole model: multi-step holes answering from
// their steps, holes read from small catalogues for every kind of plate
// selector (steps merged by radius, missing parameters, ejector edge holes left
// out, names with quotes), eyebolt holes, and a statement that cannot be run.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "holes/holes_model.h"
#include "holes_fixture.h"

using namespace cattest;
using namespace holetest;
using Models::HolesModel;
using Models::StandardMultiHole;
using Models::StandarHole;

namespace {

StandardMultiHole* holeOf(HolesModel& model, const wchar_t* process, int32_t number) {
    auto p = model.processMap().find(process);
    if (p == model.processMap().end()) return nullptr;
    auto h = p->second->find(number);
    return h == p->second->end() ? nullptr : h->second;
}

std::vector<double> stepRadii(const StandardMultiHole& hole) {
    std::vector<double> radii;
    for (const auto& step : hole.steps) radii.push_back(step.second->getRadius());
    return radii;
}

}  // namespace

TEST(StandardHoles, MultiStepHoleIsPlacedByItsThroughHoleAndBoundedByItsWidestStep) {
    StandardMultiHole hole;
    EXPECT_TRUE(hole.addStep(new StandarHole(11, 21, 10, L"导柱")));
    EXPECT_TRUE(hole.addStep(new StandarHole(10, 20, 6, L"导柱")));
    EXPECT_DOUBLE_EQ(10, hole.getX());
    EXPECT_DOUBLE_EQ(20, hole.getY());
    EXPECT_DOUBLE_EQ(6, hole.getKeyRadius());
    EXPECT_DOUBLE_EQ(10, hole.getRadius());
    EXPECT_DOUBLE_EQ(0, hole.getStartAngle());
    EXPECT_DOUBLE_EQ(2 * M_PI, hole.getEndAngle());
    EXPECT_EQ(L"导柱", hole.getCommonProcessName());

    hole.steps.begin()->second->setDepth(3);
    hole.steps.rbegin()->second->setDepth(4);
    hole.steps.rbegin()->second->setLevel(7);
    EXPECT_DOUBLE_EQ(7, hole.getDepth());
    EXPECT_DOUBLE_EQ(7, hole.getLevel());

    // A step of a radius already there is refused and stays the caller's.
    StandarHole again(0, 0, 6, L"x");
    EXPECT_FALSE(hole.addStep(&again));
    EXPECT_EQ(2u, hole.steps.size());
    // The smallest difference a double can hold still makes another step.
    EXPECT_TRUE(hole.addStep(new StandarHole(0, 0, std::nextafter(6.0, 7.0), L"导柱")));
    EXPECT_EQ(3u, hole.steps.size());
}

TEST(EyeboltSize, LeadingDecimalNumberOrZero) {
    EXPECT_DOUBLE_EQ(12.5, leadingDecimal(L" 12.5"));
    EXPECT_DOUBLE_EQ(16, leadingDecimal(L"16mm"));
    EXPECT_DOUBLE_EQ(0, leadingDecimal(L"M16"));
    EXPECT_DOUBLE_EQ(0, leadingDecimal(L""));
    EXPECT_DOUBLE_EQ(0, leadingDecimal(L"inf"));
    EXPECT_DOUBLE_EQ(0, leadingDecimal(L"0x10"));
    EXPECT_DOUBLE_EQ(0, leadingDecimal(L"1e999"));
}

namespace {

// A hole model over a catalogue written in a scratch folder.
class HolesModelTest : public testing::Test {
protected:
    void write(const std::string& sql) { writeCatalogue(dir.file("ZDTSTANDARDMOULD.db"), machiningSchema() + sql); }

    MessageBoxRecorder boxes;
    TempDir dir;
    ModuleFolder folder{dir.path()};
};


}  // namespace

TEST_F(HolesModelTest, RowsOfOneHoleBecomeItsStepsByRadius) {
    std::string sql;
    // Hole 1: diameters 20 then 12 (steps 2 and 1 of the catalogue).
    sql += rows(step("A板", 1, 2, 1, -100, -120, 20));
    sql += rows(step("A板", 1, 1, 1, -100, -120, 12));
    // Hole 2: the same diameter twice; the first row wins.
    sql += rows(step("A板", 1, 1, 2, 100, 120, 16));
    sql += rows(step("A板", 1, 2, 2, 101, 121, 16));
    // Hole 3 of another process, without an X row.
    Step noX = step("A板", 4, 1, 3, 0, -50, 8);
    noX.withX = false;
    sql += rows(noX);
    // Not this plate, not this code, not this style, not a machining hole.
    sql += rows(step("B板", 1, 1, 1, 0, 0, 30));
    Step otherCode = step("A板", 1, 1, 9, 0, 0, 30);
    otherCode.modelId = "3040";
    sql += rows(otherCode);
    Step otherStyle = step("A板", 1, 1, 9, 0, 0, 30);
    otherStyle.model = "SCI,SDI";
    sql += rows(otherStyle);
    sql += "INSERT INTO base_plate_proc_detail (style,itemType,model_id,model,plate_name,g_c,gg_c,para_id,para_val)"
           " VALUES ('S',2,'3035','','A板',1,9,13,30);";
    // Eyebolt holes only ever come from the eyebolt rules.
    sql += rows(step("A板", 3, 1, 9, 0, 0, 30));
    write(sql);

    HolesModel model(L"A板", L"SAI", L"3035", L"有");
    ASSERT_TRUE(model.connected());
    ASSERT_EQ(2u, model.processMap().size());
    ASSERT_EQ(2u, model.processMap().at(L"导柱")->size());
    ASSERT_EQ(1u, model.processMap().at(L"回针")->size());

    StandardMultiHole* pillar = holeOf(model, L"导柱", 1);
    ASSERT_NE(nullptr, pillar);
    EXPECT_EQ((std::vector<double>{6, 10}), stepRadii(*pillar));
    EXPECT_DOUBLE_EQ(-100, pillar->getX());
    EXPECT_DOUBLE_EQ(-120, pillar->getY());
    EXPECT_EQ(L"导柱", pillar->getCommonProcessName());

    StandardMultiHole* repeated = holeOf(model, L"导柱", 2);
    ASSERT_NE(nullptr, repeated);
    ASSERT_EQ(1u, repeated->steps.size());
    EXPECT_DOUBLE_EQ(100, repeated->getX()) << "the first row of a radius stays";

    StandardMultiHole* noXHole = holeOf(model, L"回针", 3);
    ASSERT_NE(nullptr, noXHole);
    EXPECT_DOUBLE_EQ(-9990, noXHole->getX());
    EXPECT_DOUBLE_EQ(-50, noXHole->getY());
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(HolesModelTest, SelectorsCodesStylesAndTheEjectorGuideOption) {
    std::string sql;
    sql += rows(step("A板", 1, 1, 1, 10, 10, 10));
    sql += rows(step("水口推板", 1, 1, 1, 10, 10, 12));
    sql += rows(step("直身面板", 1, 1, 1, 10, 10, 14));
    sql += rows(step("B板", 1, 1, 1, 10, 10, 16));
    sql += rows(step("面针板", 2, 1, 1, 10, 10, 18));
    sql += rows(step("面针板", 4, 1, 2, 10, 10, 20));
    Step m = step("托板", 1, 1, 1, 10, 10, 22);
    m.modelId = "02025";
    sql += rows(m);
    Step ci = step("托板", 4, 1, 1, 10, 10, 24);
    ci.modelId = "02025";
    ci.model = "SCI,SDI";
    sql += rows(ci);
    sql += rows(step("A'板", 1, 1, 1, 10, 10, 26));
    write(sql);

    // The upper mould: A plate, runner stripper plate and top clamp plate,
    // merged by hole number.
    HolesModel upper(L"上模", L"SAI", L"3035", L"有");
    ASSERT_NE(nullptr, holeOf(upper, L"导柱", 1));
    EXPECT_EQ((std::vector<double>{5, 6, 7}), stepRadii(*holeOf(upper, L"导柱", 1)));
    HolesModel lower(L"下模", L"SAI", L"3035", L"有");
    ASSERT_NE(nullptr, holeOf(lower, L"导柱", 1));
    EXPECT_EQ((std::vector<double>{8, 13}), stepRadii(*holeOf(lower, L"导柱", 1)));
    EXPECT_NE(nullptr, holeOf(lower, L"针板边", 1));

    // "无" leaves out the ejector guide holes; any other text keeps them.
    HolesModel without(L"面针板", L"SAI", L"3035", L"无");
    EXPECT_EQ(0u, without.processMap().count(L"针板边"));
    EXPECT_NE(nullptr, holeOf(without, L"回针", 2));
    HolesModel unset(L"面针板", L"SAI", L"3035", L"");
    EXPECT_NE(nullptr, holeOf(unset, L"针板边", 1));

    // A code with M is stored with 0; the whole style selects style-bound holes.
    HolesModel mCode(L"托板", L"SAI", L"M2025", L"有");
    ASSERT_NE(nullptr, holeOf(mCode, L"导柱", 1));
    EXPECT_DOUBLE_EQ(11, holeOf(mCode, L"导柱", 1)->getKeyRadius());
    EXPECT_EQ(0u, mCode.processMap().count(L"回针"));
    HolesModel sci(L"托板", L"SCI", L"M2025", L"有");
    EXPECT_NE(nullptr, holeOf(sci, L"回针", 1));

    // A plate name with a quote is found, not turned into a broken statement.
    HolesModel quoted(L"A'板", L"SAI", L"3035", L"有");
    ASSERT_NE(nullptr, holeOf(quoted, L"导柱", 1));
    EXPECT_DOUBLE_EQ(13, holeOf(quoted, L"导柱", 1)->getKeyRadius());
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(HolesModelTest, EyeboltHolesAreNumberedFromZeroAndAddedOnce) {
    write("");
    HolesModel model(L"A板", L"SAI", L"3035", L"有");
    model.addEyeboltHoles({});
    EXPECT_EQ(0u, model.processMap().count(L"拉令孔"));

    model.addEyeboltHoles({{L" 12.5", 0, 175, 90}, {L"M16", -150, 0, 180}, {L"16", 150, 0, 0}});
    ASSERT_EQ(1u, model.processMap().count(L"拉令孔"));
    ASSERT_EQ(3u, model.processMap().at(L"拉令孔")->size());
    StandardMultiHole* first = holeOf(model, L"拉令孔", 0);
    ASSERT_NE(nullptr, first);
    EXPECT_DOUBLE_EQ(6.25, first->getKeyRadius());
    EXPECT_DOUBLE_EQ(90, first->rotation);
    EXPECT_DOUBLE_EQ(175, first->getY());
    EXPECT_EQ(L"拉令孔", first->getCommonProcessName());
    ASSERT_NE(nullptr, holeOf(model, L"拉令孔", 1));
    EXPECT_DOUBLE_EQ(0, holeOf(model, L"拉令孔", 1)->getKeyRadius()) << "a size that starts with a letter";
    EXPECT_DOUBLE_EQ(-150, holeOf(model, L"拉令孔", 1)->getX());
    ASSERT_NE(nullptr, holeOf(model, L"拉令孔", 2));

    model.addEyeboltHoles({{L"20", 1, 1, 0}});
    EXPECT_EQ(3u, model.processMap().at(L"拉令孔")->size());
    EXPECT_DOUBLE_EQ(6.25, holeOf(model, L"拉令孔", 0)->getKeyRadius());
}

TEST_F(HolesModelTest, StatementThatCannotBeRunLeavesTheModelUsable) {
    write(rows(step("A板", 1, 1, 1, 10, 10, 10)));
    HolesModel model(L"A板", L"SAI", L"3035", L"有");
    ASSERT_EQ(1u, model.processMap().size());

    // A statement SQLite rejects adds nothing and says nothing.
    model.loadHoles(L"select nonsense from nowhere");
    EXPECT_TRUE(boxes.texts.empty());

    // A statement that cannot even be converted (a lone surrogate) is reported.
    model.loadHoles(std::wstring(L"select ") + wchar_t(0xD800));
    ASSERT_EQ(1u, boxes.texts.size());
    EXPECT_EQ(L"查询标准库数据时异常", boxes.texts[0]);

    // A plate name that cannot be converted is reported once; nothing leaks.
    HolesModel broken(std::wstring(L"A") + wchar_t(0xDC00), L"SAI", L"3035", L"有");
    EXPECT_EQ(2u, boxes.texts.size());
    EXPECT_TRUE(broken.processMap().empty());

    // The rows of a second statement merge into the holes already there.
    model.loadHoles(model.machiningStatement());
    ASSERT_EQ(1u, model.processMap().size());
    EXPECT_EQ(1u, holeOf(model, L"导柱", 1)->steps.size());
}
