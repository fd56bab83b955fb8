// The order list: its formulas; its hole table against the hole models the
// drawing is made from; its files (whole or none at all); and picking a kept
// base by a point in one of its views, where its title now stands.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "catalogue/text_conversion.h"
#include "catalogue_fixture.h"
#include "holes_fixture.h"
#include "model/plate_stack.h"
#include "order/order_files.h"
#include "order/order_formula.h"
#include "order/order_list.h"
#include "shell/order_list_command.h"

namespace {

TEST(OrderFormula, TermsAddUpAndBadTextIsRefused) {
    const std::map<std::wstring, double> names = {{L"工底", 35}, {L"方铁L", 100}, {L"d", 12}, {L"直身底板", 0}};
    OrderFormula::Lookup lookup = [&](const std::wstring& n, double& v) {
        auto it = names.find(n);
        if (it == names.end()) return false;
        v = it->second;
        return true;
    };
    OrderFormula f;
    std::wstring problem;
    double v = 0;
    ASSERT_TRUE(f.parse(L"工底+直身底板-d-0.5+方铁L + 1.5*d", problem));
    ASSERT_TRUE(f.evaluate(lookup, v, problem));
    EXPECT_DOUBLE_EQ(v, 35 - 12 - 0.5 + 100 + 18);
    EXPECT_EQ(f.explain(lookup), L"工底35-d12-0.5+方铁L100+1.5*d12");
    ASSERT_TRUE(f.parse(L"", problem));
    EXPECT_TRUE(f.empty());
    ASSERT_TRUE(f.parse(L"托板", problem));
    EXPECT_FALSE(f.evaluate(lookup, v, problem));
    EXPECT_NE(problem.find(L"托板"), std::wstring::npos);
    for (const wchar_t* bad : {L"A板+", L"*d", L"1.5.2", L"2*", L"A板 B板", L"1e5", L"min(工底)", L"min(工底,)",
                               L"min(工底, d", L"工底+min(d, 5)"})
        EXPECT_FALSE(f.parse(bad, problem)) << toUtf8(bad);
    // The least of sums, each evaluated whole.
    ASSERT_TRUE(f.parse(L" min(工底-5, 2*d+1, 方铁L) ", problem));
    ASSERT_TRUE(f.evaluate(lookup, v, problem));
    EXPECT_DOUBLE_EQ(v, 25);
    EXPECT_EQ(f.explain(lookup), L"min(工底35-5，2*d12+1，方铁L100)");
    EXPECT_EQ(formatMillimetres(-117.04), L"-117");
    EXPECT_EQ(formatMillimetres(60.25), L"60.3");
    EXPECT_EQ(formatMillimetres(-0.04), L"0");
    EXPECT_EQ(formatFineMillimetres(4.05), L"4.05");
    EXPECT_EQ(formatFineMillimetres(-73.5), L"-73.5");
}

void choose(MouldBaseModel& design, const wchar_t* code, const wchar_t* style, const wchar_t* guide,
            const wchar_t* reversed, const wchar_t* plates = L"70") {
    *design.params = {code, style, guide, reversed, plates, plates, L"100", L"25", L"30", L"", L""};
}

// The holes of the list, per plate and process: their positions.
using Listed = std::map<std::pair<std::wstring, std::wstring>, std::multiset<std::wstring>>;

std::wstring at(double x, double y) { return formatFineMillimetres(x) + L"," + formatFineMillimetres(y); }

const HoleItem* findHole(const OrderList& list, const wchar_t* plate, const wchar_t* process) {
    for (const HoleItem& h : list.holes)
        if (h.plate == plate && h.process == process) return &h;
    return nullptr;
}

TEST(OrderList, HoleTableListsTheHolesTheDrawingDrawsAsTheirBlocksMachineThem) {
    // Eyebolts of every rule: thick and thin A and B plates, and the paired ones of the largest sizes.
    const wchar_t* const designs[][5] = {{L"3035", L"SAI", L"有", L"否", L"70"}, {L"6010", L"SDH", L"无", L"是", L"70"},
                                         {L"2025", L"SBI", L"有", L"否", L"30"}};
    for (const auto& d : designs) {
        MouldBaseModel design, drawn;
        choose(design, d[0], d[1], d[2], d[3], d[4]);
        choose(drawn, d[0], d[1], d[2], d[3], d[4]);
        ComputePlateStack(drawn);
        OrderList list;
        std::wstring problem;
        ASSERT_TRUE(computeOrderList(design, list, problem)) << toUtf8(problem);

        Listed listed, expected;
        for (const HoleItem& h : list.holes) listed[{h.plate, h.process}].insert(at(h.x, h.y));
        for (const auto& plate : drawn.holes)
            for (const auto& process : plate.second->processMap())
                for (const auto& numbered : *process.second) {
                    const Models::StandardMultiHole& hole = *numbered.second;
                    // The spacer outline's holes are listed on the block they go through, from its middle.
                    std::wstring on = plate.first;
                    double x = hole.getX();
                    if (on == L"方铁") {
                        const double half = drawn.plates.at(on)->width / 2, block = drawn.plates.at(L"方铁L")->width / 2;
                        on = x < 0 ? L"方铁L" : L"方铁R";
                        x += x < 0 ? half - block : block - half;
                    }
                    expected[{on, process.first}].insert(at(x, hole.getY()));
                }
        EXPECT_EQ(listed, expected) << toUtf8(list.title);
    }

    // Reversed pillars stand in the A plate: its hole is the pillar's seat with
    // the head sunk from the top, not the bush seat of the catalogue's rows;
    // the clamp slots of a straight plate are listed as rebates.
    MouldBaseModel reversed;
    choose(reversed, L"6010", L"SDH", L"无", L"是");
    OrderList list;
    std::wstring problem;
    ASSERT_TRUE(computeOrderList(reversed, list, problem)) << toUtf8(problem);
    const HoleItem* pillar = findHole(list, L"A板", L"导柱");
    ASSERT_NE(pillar, nullptr);
    EXPECT_EQ(pillar->size + L" " + pillar->counterbore + L" " + pillar->face, L"Ø50 Ø56×12 顶面");
    const HoleItem* slot = findHole(list, L"直身底板", L"码模槽");
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->size + L" " + formatFineMillimetres(slot->depth) + L" " + slot->face, L"槽高25 25 顶面");
}

const OrderItem* findItem(const OrderList& list, const wchar_t* name) {
    for (const OrderItem& item : list.items)
        if (item.name == name) return &item;
    return nullptr;
}

TEST(OrderList, ACatalogueChangedSinceTheLastListIsReadAfresh) {
    // A copy of the shipped catalogue beside the module, so it can be edited.
    cattest::TempDir dir;
    const std::string path = dir.file("ZDTSTANDARDMOULD.db");
    std::filesystem::copy_file(std::string(ZDT_BIN_DIR) + "/ZDTSTANDARDMOULD.db", path);
    holetest::ModuleFolder folder{dir.path()};
    MouldBaseModel design;
    choose(design, L"3035", L"SAI", L"有", L"否");
    OrderList list;
    std::wstring problem;
    ASSERT_TRUE(computeOrderList(design, list, problem)) << toUtf8(problem);
    ASSERT_NE(findItem(list, L"A板"), nullptr);
    EXPECT_EQ(findItem(list, L"A板")->material, L"S50C");

    // The steel changed in place (same file, same size), a moment later.
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    cattest::writeCatalogue(path, "UPDATE BOM_PLATE_MATERIAL SET material = '1.2311' WHERE platename = 'A板';");
    const struct timespec later[2] = {before.st_atim, {before.st_mtim.tv_sec + 1, before.st_mtim.tv_nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), later, 0), 0);
    ASSERT_TRUE(computeOrderList(design, list, problem)) << toUtf8(problem);
    EXPECT_EQ(findItem(list, L"A板")->material, L"1.2311");

    // Rules gone: the list is refused rather than made from what was read before.
    cattest::writeCatalogue(path, "DELETE FROM BOM_STANDARD_PART;");
    const struct timespec evenLater[2] = {before.st_atim, {before.st_mtim.tv_sec + 2, before.st_mtim.tv_nsec}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), evenLater, 0), 0);
    EXPECT_FALSE(computeOrderList(design, list, problem));
    EXPECT_NE(problem.find(L"BOM_"), std::wstring::npos);
}

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(OrderFiles, WrittenWholeOrNotAtAll) {
    OrderList list;
    list.items.push_back({L"标准件", L"螺丝, 长", L"M12×40", 4, L"12.9级", -1, -1});
    list.holes.push_back({L"A板", L"面板螺丝", L"M12", -123, 117.25, 18, L"", L"顶面"});
    cattest::TempDir dir;
    std::wstring why;
    ASSERT_TRUE(writeOrderFile(list, fromUtf8(dir.file("order.csv")), why)) << toUtf8(why);
    const std::string csv = readAll(dir.file("order.csv"));
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBF类别,名称,规格,数量,材料,单重(kg),总重(kg)\r\n", 0), 0u);
    EXPECT_NE(csv.find("标准件,\"螺丝, 长\",M12×40,4,12.9级,,\r\n\r\n孔位表\r\n"), std::string::npos);
    EXPECT_NE(csv.find("A板,面板螺丝,M12,-123,117.25,18,,顶面\r\n"), std::string::npos);
    ASSERT_TRUE(writeOrderFile(list, fromUtf8(dir.file("order.XLSX")), why)) << toUtf8(why);
    EXPECT_EQ(readAll(dir.file("order.XLSX")).rfind("PK", 0), 0u);  // a zip, as workbooks are

    // No folder, or a folder in the way: nothing written, the folder untouched.
    std::filesystem::create_directory(dir.file("taken.csv"));
    // Nor is a device or pipe replaced (as /dev/null would be by a careless rename).
    ASSERT_EQ(mkfifo(dir.file("pipe.csv").c_str(), 0600), 0);
    for (const std::string& bad :
         {dir.file("none/order.csv"), dir.file("none/order.xlsx"), dir.file("taken.csv"), dir.file("pipe.csv")}) {
        EXPECT_FALSE(writeOrderFile(list, fromUtf8(bad), why)) << bad;
        EXPECT_FALSE(why.empty());
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("taken.csv")));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("pipe.csv")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

TEST(OrderListCommand, APointInAnyViewPicksTheBaseWhereItsTitleStands) {
    std::vector<StoredMouldBase> bases(2);
    for (StoredMouldBase& base : bases) base.design = std::make_unique<MouldBaseModel>();
    // The first base: a plan view at the origin, a side view below it; the
    // second drawn over the first's plan view, its design unreadable.
    bases[0].layout.views = {{L"工面", L"A1", VRxGePoint3d(0, 0, 0), 350, 350},
                             {L"B板", L"A3", VRxGePoint3d(883.3, -466.7, 0), 300, 30}};
    bases[0].layout.titlePosition = bases[0].titlePosition = VRxGePoint3d(4000, 0, 0);
    bases[1].layout.views = {{L"工面", L"A1", VRxGePoint3d(0, 0, 0), 350, 350}};
    bases[1].design.reset();
    EXPECT_EQ(pickMouldBase(bases, VRxGePoint3d(10, -10, 0)), &bases[0]);
    EXPECT_EQ(pickMouldBase(bases, VRxGePoint3d(1183.3, -496.7, 0)), &bases[0]);  // on the outline counts
    EXPECT_EQ(pickMouldBase(bases, VRxGePoint3d(10, -380, 0)), nullptr);         // between plan and side view
    // Moved with its title, the base is found where it now is.
    bases[0].titlePosition.x += 5000;
    EXPECT_EQ(pickMouldBase(bases, VRxGePoint3d(10, -10, 0)), nullptr);
    EXPECT_EQ(pickMouldBase(bases, VRxGePoint3d(5010, -10, 0)), &bases[0]);
}

}  // namespace
