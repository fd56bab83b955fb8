// The catalogue queries against small catalogues built here: plate lists and
// sizes, thickness choices, block names, size keys and eyebolt patterns, with NULL
// columns, quotes in names and Chinese names in two system code pages.
#include <gtest/gtest.h>

#include <cmath>

#include "catalogue/catalogue_queries.h"
#include "catalogue_fixture.h"

using namespace cattest;

namespace {

// Every size column of 2025 holds a different number, so a name that reads the
// wrong column shows. 3030 has a fixed A/B thickness; 9999 is all NULL.
const char* kRows =
    "INSERT INTO MODEL_PLATE_LIST VALUES ('SAI','工面','上模',1),('SAI','A板','上模',2),('SAI','B板','下模',3),"
    "('SAI','托板','下模',4),('SAI','方铁L','下模',5),('SAI','方铁R','下模',6),('SAI','面针板','下模',7),"
    "('SAI','底针板','下模',8),('SAI','工底','下模',9),"
    "('SBH','直身面板','上模',1),('SBH','成品推板','下模',2),('SBH','面针','下模',3),('SBH','直身底板','下模',4),"
    "('SNL',NULL,NULL,NULL);"
    "INSERT INTO MODE_PLATE_SIZE VALUES ('3030',300,300,60,'FP-30',30,50,58,180,'ER-30',25,30,31,350),"
    "('2025',200,250,'AB-20',0,25,30,33,120,15,20,26,27,250),"
    "('9999',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL);"
    "INSERT INTO plate_thick_setup VALUES ('AB-20',40),('FP-30',90),('AB-20',30),('AB-20',50),('ER-30',20);";

class SmallCatalogue : public testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("ZDTSTANDARDMOULD.db");
        writeCatalogue(path_, std::string(looseSchema()) + kRows + extraRows());
        ASSERT_TRUE(db.open(path_));
    }
    virtual std::string extraRows() { return ""; }
    TempDir dir_;
    std::string path_;
    CatalogueDb db;
};

}  // namespace

// A catalogue made before the series tables holds the side-gate series alone.
TEST_F(SmallCatalogue, TypesAndCodesAreAppendedInCatalogueOrder) {
    std::vector<std::wstring> list{L"kept"};
    listMouldTypes(db, kSideGateSeries, list);
    EXPECT_EQ(list, (std::vector<std::wstring>{L"kept", L"SAI", L"SBH", L"SNL"}));
    list.clear();
    listMouldCodes(db, kSideGateSeries, list);
    EXPECT_EQ(list, (std::vector<std::wstring>{L"3030", L"2025", L"9999"}));
    list.clear();
    listMouldTypes(db, kPinPointSeries, list);
    listMouldCodes(db, kPinPointSeries, list);
    EXPECT_TRUE(list.empty());
}

class SeriesCatalogue : public SmallCatalogue {
    std::string extraRows() override {
        return "CREATE TABLE MODE_SERIES_TYPE (SERIES TEXT, MTYPE TEXT);"
               "CREATE TABLE MODE_SERIES_CODE (SERIES TEXT, MCODE TEXT);"
               "INSERT INTO MODEL_PLATE_LIST VALUES ('DAI','水口板','上模',2),('JCH','水口板','上模',2);"
               "INSERT INTO MODE_SERIES_TYPE VALUES ('大水口','SAI'),('大水口','SBH'),('细水口','JCH'),('细水口','DAI');"
               "INSERT INTO MODE_SERIES_CODE VALUES ('大水口','2025'),('大水口','3030'),('细水口','3030');";
    }
};

TEST_F(SeriesCatalogue, EachSeriesListsItsOwnTypesAndCodes) {
    std::vector<std::wstring> types, codes;
    listMouldTypes(db, kSideGateSeries, types);
    listMouldCodes(db, kSideGateSeries, codes);
    EXPECT_EQ(types, (std::vector<std::wstring>{L"SAI", L"SBH"}));
    EXPECT_EQ(codes, (std::vector<std::wstring>{L"3030", L"2025"})) << "in the catalogue's order";
    types.clear();
    codes.clear();
    listMouldTypes(db, kPinPointSeries, types);
    listMouldCodes(db, kPinPointSeries, codes);
    EXPECT_EQ(types, (std::vector<std::wstring>{L"DAI", L"JCH"}));
    EXPECT_EQ(codes, (std::vector<std::wstring>{L"3030"}));
    types.clear();
    listMouldTypes(db, L"大水口' or '1'='1", types);
    EXPECT_TRUE(types.empty()) << "a series name stays one value";
}

TEST_F(SmallCatalogue, PlateSizesFollowThePlateName) {
    struct Expect {
        const wchar_t* name;
        double thickness, width;
    };
    const Expect cases[] = {
        {L"A板", -1, 200},     {L"B板", -1, 200},      {L"成品推板", 25, 200}, {L"托板", 30, 200},
        {L"面针", 15, 200},    {L"面针板", -1, 120},   {L"底针板", 20, 120},   {L"工面", 26, 250},
        {L"直身面板", 26, 200}, {L"工底", 27, 250},     {L"直身底板", 27, 200}, {L"方铁L", -1, 33},
        {L"方铁R", -1, 33},    {L"方铁", -1, 200},
    };
    for (const Expect& c : cases) {
        double t = 0, w = 0, l = 0;
        EXPECT_TRUE(lookupPlateSize(db, "2025", c.name, t, w, l)) << toUtf8(c.name);
        EXPECT_EQ(t, c.thickness) << toUtf8(c.name);
        EXPECT_EQ(w, c.width) << toUtf8(c.name);
        EXPECT_EQ(l, 250) << toUtf8(c.name);
    }
    // A value code in a thickness column reads as 0, NULL columns as 0.
    double t = 0, w = 0, l = 0;
    EXPECT_TRUE(lookupPlateSize(db, "3030", L"面针", t, w, l));
    EXPECT_EQ(t, 0);
    EXPECT_TRUE(lookupPlateSize(db, "9999", L"工面", t, w, l));
    EXPECT_EQ(t, 0);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(l, 0);
}

TEST_F(SmallCatalogue, PlateListCarriesCodeAndSizes) {
    auto rows = loadPlateList(db, "SAI", "2025");
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[0].plateName, L"工面");
    EXPECT_EQ(rows[0].location, L"上模");
    EXPECT_EQ(rows[0].thickness, 26);
    EXPECT_EQ(rows[0].width, 250);
    EXPECT_EQ(rows[1].plateName, L"A板");
    EXPECT_EQ(rows[1].thickness, -1);
    EXPECT_EQ(rows[4].plateName, L"方铁L");
    EXPECT_EQ(rows[4].width, 33);
    EXPECT_EQ(rows[8].sortNumber, 9);
    for (const CatalogueRow& r : rows) {
        EXPECT_EQ(r.mouldType, L"SAI");
        EXPECT_EQ(r.mouldCode, L"2025");
        EXPECT_EQ(r.length, 250);
    }

    // A code the size table does not hold: the plates come without sizes.
    rows = loadPlateList(db, "SAI", "4040");
    ASSERT_EQ(rows.size(), 9u);
    for (const CatalogueRow& r : rows) {
        EXPECT_EQ(r.mouldCode, L"4040");
        EXPECT_EQ(r.thickness, -1);
        EXPECT_EQ(r.width, -1);
        EXPECT_EQ(r.length, -1);
    }
    EXPECT_TRUE(loadPlateList(db, "SXX", "2025").empty());

    // NULL text columns read as empty texts, NULL numbers as 0.
    rows = loadPlateList(db, "SNL", "2025");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].plateName, L"");
    EXPECT_EQ(rows[0].location, L"");
    EXPECT_EQ(rows[0].sortNumber, 0);
}

TEST_F(SmallCatalogue, ThicknessOptionsFixedOrFromValueCode) {
    std::vector<int32_t> options{7};
    EXPECT_TRUE(listThicknessOptions(db, "3030", "ABPLATE_H", options));
    EXPECT_EQ(options, (std::vector<int32_t>{7, 60}));  // appended, one fixed value

    options.clear();
    EXPECT_TRUE(listThicknessOptions(db, "2025", "ABPLATE_H", options));
    EXPECT_EQ(options, (std::vector<int32_t>{40, 30, 50}));  // the code's rows in row order

    options.clear();
    EXPECT_TRUE(listThicknessOptions(db, "3030", "FPLATE_H", options));
    EXPECT_EQ(options, std::vector<int32_t>{90});
    options.clear();
    EXPECT_TRUE(listThicknessOptions(db, "2025", "FPLATE_H", options));  // 0 and no code
    EXPECT_TRUE(options.empty());
    EXPECT_TRUE(listThicknessOptions(db, "4040", "ERPH", options));  // unknown code
    EXPECT_TRUE(options.empty());
    EXPECT_TRUE(listThicknessOptions(db, "9999", "EJPH", options));  // NULL column
    EXPECT_TRUE(options.empty());

    // A column that is not a plain name never reaches the statement.
    EXPECT_FALSE(listThicknessOptions(db, "2025", "NOSUCH", options));
    EXPECT_FALSE(listThicknessOptions(db, "2025", "1 from mode_plate_size --", options));
    EXPECT_FALSE(listThicknessOptions(db, "2025", "", options));
    EXPECT_TRUE(options.empty());
}

TEST_F(SmallCatalogue, QuotesInValuesStayInsideTheirValue) {
    writeCatalogue(path_, "INSERT INTO MODEL_PLATE_LIST VALUES ('S''Q','A板','上模',1);"
                          "INSERT INTO STANDITEMBLOCKSETUP VALUES ('A''板','导柱',1,'A1','Q-A1'),"
                          "('A板','导柱',1,'A1','GB-A1');");
    auto rows = loadPlateList(db, "S'Q", "2025");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].mouldType, L"S'Q");

    std::string block;
    findStandardItemBlock(db, L"导柱", L"A'板", 1, "A1", block);
    EXPECT_EQ(block, "Q-A1");
    // A name written to widen the condition matches nothing and breaks nothing.
    block = "none";
    findStandardItemBlock(db, L"导柱", L"x' or '1'='1", 1, "A1", block);
    EXPECT_EQ(block, "none");
    findStandardItemBlock(db, L"导柱", L"A板", 1, "A1' or FACEDIR<>'", block);
    EXPECT_EQ(block, "none");
    EXPECT_TRUE(loadPlateList(db, "x' or '1'='1", "2025").empty());
    double t, w, l;
    EXPECT_FALSE(lookupPlateSize(db, "x' or '1'='1", L"A板", t, w, l));
    std::vector<int32_t> options;
    EXPECT_TRUE(listThicknessOptions(db, "' or MCODE='3030", "ABPLATE_H", options));
    EXPECT_TRUE(options.empty());
}

TEST_F(SmallCatalogue, BlockNameLastRowWinsAndNoRowKeepsTheName) {
    writeCatalogue(path_, "INSERT INTO STANDITEMBLOCKSETUP VALUES ('B板','导柱',1,'A1','GP-A1'),"
                          "('B板','导柱',0,'A1','GB-A1'),('B板','导柱',1,'A3','GP-A3'),"
                          "('B板','回针',1,'A1','FIRST'),('B板','回针',1,'A1','LAST'),"
                          "('B板','TL-035',1,'A1',NULL);");
    std::string block;
    EXPECT_TRUE(findStandardItemBlock(db, L"导柱", L"B板", 1, "A1", block));
    EXPECT_EQ(block, "GP-A1");
    EXPECT_TRUE(findStandardItemBlock(db, L"导柱", L"B板", 0, "A1", block));
    EXPECT_EQ(block, "GB-A1");
    EXPECT_TRUE(findStandardItemBlock(db, L"导柱", L"B板", 1, "A3", block));
    EXPECT_EQ(block, "GP-A3");
    EXPECT_TRUE(findStandardItemBlock(db, L"回针", L"B板", 1, "A1", block));
    EXPECT_EQ(block, "LAST");
    EXPECT_TRUE(findStandardItemBlock(db, L"回针", L"A板", 1, "A1", block));
    EXPECT_EQ(block, "LAST");
    EXPECT_TRUE(findStandardItemBlock(db, L"TL-035", L"B板", 1, "A1", block));
    EXPECT_EQ(block, "");
}

TEST_F(SmallCatalogue, ChineseNamesUnderGbkAndUtf8CodePages) {
    writeCatalogue(path_, "INSERT INTO MODEL_PLATE_LIST VALUES ('大水口','A板','上模',1);"
                          "INSERT INTO STANDITEMBLOCKSETUP VALUES ('A板','拉令孔',1,'正面','EB-A1');");
    for (UINT cp : {936u, 65001u}) {
        CodePageGuard guard(cp);
        ASSERT_TRUE(guard.ok);
        auto rows = loadPlateList(db, toAnsi(L"大水口"), toAnsi(L"2025"));
        ASSERT_EQ(rows.size(), 1u) << cp;
        EXPECT_EQ(rows[0].mouldType, L"大水口");
        EXPECT_EQ(rows[0].plateName, L"A板");
        EXPECT_EQ(rows[0].width, 200);
        std::string block;
        findStandardItemBlock(db, L"拉令孔", L"A板", 1, toAnsi(L"正面"), block);
        EXPECT_EQ(fromAnsi(block), L"EB-A1") << cp;
    }
}

TEST(CatalogueSizeKey, WidthAndLengthParts) {
    EXPECT_EQ(sizeRangeKey(L"2025"), "2000250");
    EXPECT_EQ(sizeRangeKey(L"3010"), "3001000");
    EXPECT_EQ(sizeRangeKey(L"6014"), "6001400");
    EXPECT_EQ(sizeRangeKey(L"6015"), "6000150");
    EXPECT_EQ(sizeRangeKey(L"1515"), "1500150");
    EXPECT_EQ(sizeRangeKey(L"M2025"), "10000020");  // the width part holds an M
    EXPECT_EQ(sizeRangeKey(L"1M12"), "10001200");
    EXPECT_EQ(sizeRangeKey(L"202"), "");
    EXPECT_EQ(sizeRangeKey(L""), "");
    // A key that is not a number would be spliced into a statement unquoted.
    EXPECT_EQ(sizeRangeKey(L"2A25"), "");
    EXPECT_EQ(sizeRangeKey(L"1=1 "), "");
}

TEST(CatalogueEyebolts, PatternLayouts) {
    std::vector<EyeboltPlacement> p{{L"old", 1, 1, 1}};
    layoutEyebolts(L"16", 300, 400, 0, 2, p);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].size, L"16");
    EXPECT_EQ(p[0].y, 200);
    EXPECT_EQ(p[0].angle, 180);
    EXPECT_EQ(p[1].y, -200);
    EXPECT_EQ(p[1].angle, 0);

    layoutEyebolts(L"16", 300, 400, 0, 4, p);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[2].x, 150);
    EXPECT_EQ(p[2].angle, 90);
    EXPECT_EQ(p[3].x, -150);
    EXPECT_EQ(p[3].angle, -90);

    // With an offset no eyebolt stays in the middle of an edge, where a lock sits:
    // each becomes a pair either side of it.
    layoutEyebolts(L"24", 500, 600, 120, 6, p);
    ASSERT_EQ(p.size(), 8u);
    const double expect[8][3] = {{120, 300, 180}, {-120, 300, 180}, {120, -300, 0},  {-120, -300, 0},
                                 {250, 120, 90},  {250, -120, 90},  {-250, 120, -90}, {-250, -120, -90}};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(p[i].x, expect[i][0]) << i;
        EXPECT_EQ(p[i].y, expect[i][1]) << i;
        EXPECT_EQ(p[i].angle, expect[i][2]) << i;
        EXPECT_EQ(p[i].size, L"24");
    }
    layoutEyebolts(L"16", 300, 400, 40, 4, p);
    ASSERT_EQ(p.size(), 8u);
    for (const EyeboltPlacement& e : p) EXPECT_EQ(std::fabs(e.x) == 150 ? std::fabs(e.y) : std::fabs(e.x), 40);
    layoutEyebolts(L"24", 500, 600, 120, 3, p);
    EXPECT_TRUE(p.empty());
}

namespace {

// Size keys: 2025 -> 2000250, 5060 -> 5000600, 6080 -> 6000800, M2025 -> 10000020.
class EyeboltCatalogue : public SmallCatalogue {
protected:
    std::string extraRows() override {
        return "INSERT INTO MODE_EYEBOLT_INFO VALUES (1500000,2909999,'A板','12'),(1500000,2909999,'托板','12'),"
               "(5000000,5509999,'A板','24'),(6000000,6009999,'B板','20'),(10000000,10009999,'A板','30'),"
               "(3000000,3009999,'B板','16');"
               "INSERT INTO MODE_LALING_SETUP VALUES (1500000,2909999,'A',50,40,2,4),"
               "(5000000,5509999,'B',NULL,120,NULL,6),(6000000,6009999,'A',40,NULL,2,3),"
               "(10000000,10009999,'A',NULL,NULL,NULL,4);";
    }
    std::vector<EyeboltPlacement> place(const wchar_t* code, const wchar_t* plate, double thickness) {
        CatalogueRow row;
        row.mouldCode = code;
        row.plateName = plate;
        row.thickness = thickness;
        row.width = 200;
        row.length = 300;
        std::vector<EyeboltPlacement> p{{L"old", 9, 9, 9}};
        EXPECT_TRUE(computeEyeboltPlacements(db, row, p));
        return p;
    }
};

}  // namespace

TEST_F(EyeboltCatalogue, PatternFollowsThePlateAndItsThickness) {
    // Group A: up to the threshold pattern 2, thicker pattern 4, the eyebolts in
    // pairs 40 either side of the edge middles.
    auto p = place(L"2025", L"A板", 50);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].size, L"12");
    EXPECT_EQ(p[0].x, 40);
    EXPECT_EQ(p[0].y, 150);
    p = place(L"2025", L"A板", 60);
    EXPECT_EQ(p.size(), 8u);
    // Plates other than A and B: always two, whatever the pattern table says.
    p = place(L"2025", L"托板", 80);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].y, -150);
    EXPECT_EQ(p[1].angle, 0);
    // Group B: pattern 6, the paired eyebolts 120 off centre.
    p = place(L"5060", L"A板", 80);
    ASSERT_EQ(p.size(), 8u);
    EXPECT_EQ(p[0].x, 120);
    EXPECT_EQ(p[0].size, L"24");
    // Pattern 3 is no pattern: no eyebolts at all.
    p = place(L"6080", L"B板", 60);
    EXPECT_TRUE(p.empty());
    // An M code's width part is 1000; a NULL threshold reads 0.
    p = place(L"M2025", L"A板", 30);
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].size, L"30");
    // No pattern rows for the size: two.
    p = place(L"3030", L"B板", 60);
    EXPECT_EQ(p.size(), 2u);
    // No eyebolt for the plate, or no usable key: the list stays as it was.
    p = place(L"2025", L"B板", 60);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(p[0].size, L"old");
    p = place(L"20", L"A板", 60);
    EXPECT_EQ(p.size(), 1u);
}
