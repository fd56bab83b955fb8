// A drawing written as DXF and read back must be the drawing it was: every
// entity kind with its geometry and properties, Chinese names and texts, the
// tables, the dimensions' geometry blocks, and blocks named by file paths.
#include <cmath>

#include "dxf_test_support.h"
#include "vrxdbobjecttable.h"

using namespace dxftest;

namespace {

const double kTol = 1e-9;

void expectPoint(const VRxGePoint3d& a, const VRxGePoint3d& b) {
    EXPECT_NEAR(a.x, b.x, kTol);
    EXPECT_NEAR(a.y, b.y, kTol);
    EXPECT_NEAR(a.z, b.z, kTol);
}

class DxfRoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        buildSample(source);
        text = VRxDxf::writeDxf(source);
        std::wstring error;
        ASSERT_EQ(VRxDxf::readDxf(back, text, error), Vrx::eOk) << narrow(error);
    }
    size_t count(const std::string& needle) const {
        size_t n = 0;
        for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + 1)) ++n;
        return n;
    }
    VRxDbDatabase source;
    VRxDbDatabase back{false};
    std::string text;
};

TEST_F(DxfRoundTrip, TablesComeBackWithTheirValues) {
    const auto* layer = recordNamed<VRxDbLayerTableRecord>(back, back.layerTableId(), L"中心线层");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(layer->color().colorIndex(), 1);
    EXPECT_EQ(layer->linetypeName(), L"中心线");
    EXPECT_FALSE(layer->isOff());
    const auto* hidden = recordNamed<VRxDbLayerTableRecord>(back, back.layerTableId(), L"隐藏层");
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(hidden->isOff());
    EXPECT_TRUE(hidden->isFrozen());
    EXPECT_EQ(hidden->color().colorIndex(), 3);

    const auto* lt = recordNamed<VRxDbLinetypeTableRecord>(back, back.linetypeTableId(), L"中心线");
    ASSERT_NE(lt, nullptr);
    ASSERT_EQ(lt->numDashes(), 4);
    EXPECT_DOUBLE_EQ(lt->dashLengthAt(0), 24.0);
    EXPECT_DOUBLE_EQ(lt->dashLengthAt(1), -3.0);

    const auto* ts = recordNamed<VRxDbTextStyleTableRecord>(back, back.textStyleTableId(), L"zdt_txt_6000");
    ASSERT_NE(ts, nullptr);
    EXPECT_DOUBLE_EQ(ts->textSize(), 6.0);
    EXPECT_EQ(ts->cFont(), L"tavodx.fnt");
    EXPECT_EQ(ts->eFont(), L"ISO9.FNT");
    EXPECT_DOUBLE_EQ(ts->xIntFac(), 0.1);
    EXPECT_DOUBLE_EQ(ts->yIntFac(), 1.918);
    EXPECT_DOUBLE_EQ(ts->xScaleWest(), 0.7);
    EXPECT_DOUBLE_EQ(ts->xScaleChina(), 0.8);
    EXPECT_NE(recordNamed<VRxDbTextStyleTableRecord>(back, back.textStyleTableId(), L"仿宋体"), nullptr);

    const auto* ds = recordNamed<VRxDbDimStyleTableRecord>(back, back.dimStyleTableId(), L"zdt_dim_6000");
    ASSERT_NE(ds, nullptr);
    EXPECT_EQ(ds->dimclrd().colorIndex(), 1);
    EXPECT_EQ(ds->dimclre().colorIndex(), 1);
    EXPECT_EQ(ds->dimclrt().colorIndex(), 255);
    EXPECT_EQ(ds->dimtad(), 1);
    EXPECT_FALSE(ds->dimtih());
    EXPECT_DOUBLE_EQ(ds->dimtxt(), 6.0);
    EXPECT_DOUBLE_EQ(ds->dimasz(), 6.6);
    EXPECT_DOUBLE_EQ(ds->dimdle(), 7.8);
    EXPECT_DOUBLE_EQ(ds->dimexe(), 2.52);
    EXPECT_DOUBLE_EQ(ds->dimexo(), 1.998);
    EXPECT_DOUBLE_EQ(ds->dimgap(), 1.26);
    EXPECT_EQ(nameOf(back, ds->dimtxsty()), L"zdt_txt_6000");
    const auto* da = recordNamed<VRxDbDimStyleTableRecord>(back, back.dimStyleTableId(), L"zdt_assemble_6000");
    ASSERT_NE(da, nullptr);
    EXPECT_TRUE(da->dimtih());

    EXPECT_EQ(back.header().insunits, 4);
    EXPECT_EQ(back.header().measurement, 1);
    EXPECT_NE(text.find("$INSUNITS\n 70\n4\n"), std::string::npos);
    EXPECT_NE(text.find("$MEASUREMENT\n 70\n1\n"), std::string::npos);
}

TEST_F(DxfRoundTrip, EveryEntityKindKeepsItsGeometryAndProperties) {
    VRxDbObjectId ms = back.modelSpaceId();
    auto lines = entitiesOf<VRxDbLine>(back, ms);
    ASSERT_EQ(lines.size(), 1u);
    expectPoint(lines[0]->endPoint(), VRxGePoint3d(300, 0, 0));
    EXPECT_EQ(lines[0]->layer(), L"中心线层");
    EXPECT_EQ(lines[0]->linetype(), L"中心线");
    EXPECT_EQ(lines[0]->colorIndex(), 1);
    EXPECT_EQ(lines[0]->lineWeight(), VRxDb::kLnWt000);
    EXPECT_DOUBLE_EQ(lines[0]->linetypeScale(), 2.0);

    auto arcs = entitiesOf<VRxDbArc>(back, ms);
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_NEAR(arcs[0]->startAngle(), 0.5, kTol);  // radians in the database, degrees in the file
    EXPECT_NEAR(arcs[0]->endAngle(), 2.5, kTol);
    EXPECT_NEAR(arcs[0]->radius(), 10.0, kTol);
    auto circles = entitiesOf<VRxDbCircle>(back, ms);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_NEAR(circles[0]->radius(), 12.5, kTol);

    auto pls = entitiesOf<VRxDbPolyline>(back, ms);
    ASSERT_EQ(pls.size(), 1u);
    ASSERT_EQ(pls[0]->numVerts(), 3u);
    EXPECT_TRUE(pls[0]->isClosed());
    EXPECT_NEAR(pls[0]->bulgeAt(1), 0.41421356, kTol);
    EXPECT_NEAR(pls[0]->pointAt(2).y, -60, kTol);

    auto texts = entitiesOf<VRxDbText>(back, ms);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0]->textString(), L"A板 模架 300×350");
    EXPECT_EQ(nameOf(back, texts[0]->textStyle()), L"zdt_txt_6000");
    EXPECT_DOUBLE_EQ(texts[0]->height(), 6.0);
    EXPECT_EQ(texts[1]->textString(), L"居中");
    EXPECT_EQ(texts[1]->layer(), L"隐藏层");
    EXPECT_EQ(texts[1]->horizontalMode(), VRxDb::kTextCenter);
    EXPECT_EQ(texts[1]->verticalMode(), VRxDb::kTextVertMid);
    expectPoint(texts[1]->alignmentPoint(), VRxGePoint3d(150, 120, 0));
    EXPECT_NEAR(texts[1]->rotation(), 3.14159265358979 / 2, 1e-9);

    auto mts = entitiesOf<VRxDbMText>(back, ms);
    ASSERT_EQ(mts.size(), 1u) << "the leader's annotation must not come back as a text of its own";
    EXPECT_EQ(mts[0]->contents(), L"第一行\\P第二行");
    EXPECT_EQ(mts[0]->attachment(), VRxDbMText::kMiddleCenter);

    auto solids = entitiesOf<VRxDbSolid>(back, ms);
    ASSERT_EQ(solids.size(), 1u);
    expectPoint(solids[0]->pointAt(2), VRxGePoint3d(1, 1, 0));

    auto dims = entitiesOf<VRxDbRotatedDimension>(back, ms);
    ASSERT_EQ(dims.size(), 2u);
    EXPECT_NEAR(dims[0]->measurement(), 300.0, kTol);
    EXPECT_EQ(nameOf(back, dims[0]->dimensionStyle()), L"zdt_dim_6000");
    EXPECT_NEAR(dims[1]->rotation(), 3.14159265358979 / 2, 1e-9);
    EXPECT_EQ(dims[1]->dimensionText(), L"<> 板厚");
    EXPECT_NEAR(dims[1]->measurement(), 350.0, kTol);
    auto radial = entitiesOf<VRxDbRadialDimension>(back, ms);
    ASSERT_EQ(radial.size(), 1u);
    EXPECT_NEAR(radial[0]->measurement(), 10.0, 1e-6);
    EXPECT_NEAR(radial[0]->leaderLength(), 10.0, kTol);
    auto diametric = entitiesOf<VRxDbDiametricDimension>(back, ms);
    ASSERT_EQ(diametric.size(), 1u);
    EXPECT_NEAR(diametric[0]->measurement(), 25.0, kTol);
    expectPoint(diametric[0]->chordPoint(), VRxGePoint3d(112.5, 50, 0));

    auto leaders = entitiesOf<VRxDbDimLeader>(back, ms);
    ASSERT_EQ(leaders.size(), 1u);
    EXPECT_EQ(leaders[0]->text1(), L"OFFSET");
    EXPECT_EQ(leaders[0]->text2(), L"");
    ASSERT_EQ(leaders[0]->vertices().size(), 1u);
    expectPoint(leaders[0]->startPoint(), VRxGePoint3d(30, -100, 0));
    expectPoint(leaders[0]->endPoint(), VRxGePoint3d(12, -80, 0));
    EXPECT_EQ(leaders[0]->colorIndex(), 1);
    EXPECT_EQ(leaders[0]->lineWeight(), VRxDb::kLnWt000);

    auto paper = entitiesOf<VRxDbText>(back, back.paperSpaceId());
    ASSERT_EQ(paper.size(), 1u);
    EXPECT_EQ(paper[0]->textString(), L"图纸空间");
}

TEST_F(DxfRoundTrip, BlocksNamedByPathsAreWrittenUnderValidNamesAndComeBackWhole) {
    std::wstring safe = VRxDxf::dxfSafeName(kPathBlock);
    std::wstring safe2 = VRxDxf::dxfSafeName(kPathBlock2);
    EXPECT_EQ(safe.find_first_of(L"<>/\\\":;?*|=`"), std::wstring::npos);
    EXPECT_EQ(safe.rfind(L"DA1.dwg", 0), 0u) << "the file name stays recognisable";
    EXPECT_NE(safe, safe2) << "two paths with one file name must not share a block";
    EXPECT_EQ(VRxDxf::dxfSafeName(L"*U7"), L"*U7");
    EXPECT_EQ(VRxDxf::dxfSafeName(L"导柱孔"), L"导柱孔");

    // The path never appears as a symbol name, and both references use the valid name.
    std::string safeUtf8(safe.begin(), safe.end());
    EXPECT_EQ(text.find("\n  2\n/opt/x/BlockRes/DA1.dwg\n"), std::string::npos);
    EXPECT_EQ(count("\n  2\n" + safeUtf8 + "\n"), 2u /*BLOCK_RECORD, BLOCK*/ + 2u /*two INSERTs*/);

    VRxDbObjectId block = vrxdbRecordId(back, back.blockTableId(), kPathBlock);
    ASSERT_FALSE(block.isNull()) << "this reader restores the block's own name";
    EXPECT_EQ(entitiesOf<VRxDbCircle>(back, block).size(), 1u);
    EXPECT_EQ(entitiesOf<VRxDbLine>(back, block).size(), 1u);
    EXPECT_FALSE(vrxdbRecordId(back, back.blockTableId(), kPathBlock2).isNull());
    VRxDbObjectId cn = vrxdbRecordId(back, back.blockTableId(), L"导柱孔");
    ASSERT_FALSE(cn.isNull());

    int toPath = 0, toCn = 0;
    for (const auto* ref : entitiesOf<VRxDbBlockReference>(back, back.modelSpaceId())) {
        if (ref->blockTableRecord() == block) {
            ++toPath;
            if (ref->rotation() != 0.0) {
                EXPECT_NEAR(ref->rotation(), 3.14159265358979 / 2, 1e-9);
                EXPECT_DOUBLE_EQ(ref->scaleFactors().sx, 2.0);
            }
        }
        if (ref->blockTableRecord() == cn) ++toCn;
    }
    EXPECT_EQ(toPath, 2);
    EXPECT_EQ(toCn, 1);
}

TEST_F(DxfRoundTrip, EveryDimensionHasItsOwnGeometryBlock) {
    // Four dimensions: four *D blocks, each referenced by exactly one DIMENSION.
    EXPECT_EQ(count("\nDIMENSION\n"), 4u);
    for (int n = 1; n <= 4; ++n) {
        std::string name = "\n*D" + std::to_string(n) + "\n";
        EXPECT_EQ(count("\n  2" + name), 3u) << name;  // block record, block, dimension
    }
    // The measured text is drawn into the block, so readers that do not measure show it.
    EXPECT_NE(text.find("\n300\n"), std::string::npos);
    EXPECT_NE(text.find("350 板厚"), std::string::npos);
    // Dimension blocks are the host's to regenerate: none is read back as a block.
    const auto* table = VRxDbBlockTable::cast(vrxdbObjectAt(back, back.blockTableId()));
    ASSERT_NE(table, nullptr);
    for (VRxDbObjectId id : table->recordIds()) EXPECT_NE(nameOf(back, id).rfind(L"*D", 0), 0u);
}

// The values of an XRecord of back, and the object its pointer names.
std::vector<VRxDbXrecordValue> xrecordAt(const VRxDbDatabase& db, VRxDbObjectId dictionary, const wchar_t* name) {
    const auto* d = VRxDbDictionary::cast(vrxdbObjectAt(db, dictionary));
    VRxDbObjectId id;
    if (d == nullptr || d->getAt(name, id) != Vrx::eOk) return {};
    const auto* x = VRxDbXrecord::cast(vrxdbObjectAt(db, id));
    return x ? x->values() : std::vector<VRxDbXrecordValue>();
}

TEST_F(DxfRoundTrip, ApplicationDictionariesAndXrecordsComeBackWithTheirPointers) {
    // The text's and the leader's extension dictionaries, written once each
    // (the leader's annotation does not repeat it), and the named list.
    EXPECT_EQ(count("{ACAD_XDICTIONARY"), 2u);
    EXPECT_EQ(count("\nXRECORD\n"), 3u);

    const VRxDbText* named = nullptr;
    const VRxDbDimLeader* leader = nullptr;
    for (const auto* t : entitiesOf<VRxDbText>(back, back.modelSpaceId()))
        if (t->textString() == L"A板 模架 300×350") named = t;
    for (const auto* l : entitiesOf<VRxDbDimLeader>(back, back.modelSpaceId())) leader = l;
    ASSERT_NE(named, nullptr);
    ASSERT_NE(leader, nullptr);

    const auto* nod = VRxDbDictionary::cast(vrxdbObjectAt(back, back.namedObjectsDictionaryId()));
    ASSERT_NE(nod, nullptr);
    VRxDbObjectId list;
    ASSERT_EQ(nod->getAt(L"app_list", list), Vrx::eOk);  // names compare as symbol names do
    EXPECT_FALSE(nod->has(L"ACAD_LAYOUT"));                // the host's own are made anew at every save
    std::vector<VRxDbXrecordValue> listed = xrecordAt(back, list, L"第一");
    ASSERT_EQ(listed.size(), 8u);
    EXPECT_EQ(listed[0].text, L"模架 3035");
    EXPECT_EQ(listed[1].real[0], 0.1);
    EXPECT_EQ(listed[2].code, 10);
    EXPECT_EQ(listed[2].real[1], -2.25);
    EXPECT_EQ(listed[3].integer, 7);
    EXPECT_EQ(listed[4].integer, 123456);
    EXPECT_EQ(listed[5].integer, 1LL << 40);
    EXPECT_EQ(listed[6].integer, 1);
    EXPECT_EQ(listed[7].id, named->objectId());

    std::vector<VRxDbXrecordValue> kept = xrecordAt(back, named->extensionDictionary(), L"APP_DATA");
    ASSERT_EQ(kept.size(), 8u);
    EXPECT_EQ(kept[7].id, leader->objectId());
    EXPECT_EQ(xrecordAt(back, leader->extensionDictionary(), L"APP_DATA").size(), 8u);
}

TEST_F(DxfRoundTrip, PointersToWhatIsNotWrittenBecomeNull) {
    VRxDbEntity* erased = nullptr;
    for (VRxDbObjectId id : VRxDbBlockTableRecord::cast(vrxdbObjectAt(source, source.modelSpaceId()))->entityIds()) {
        const auto* t = VRxDbText::cast(vrxdbObjectAt(source, id));
        if (t && t->textString() == L"A板 模架 300×350") {
            ASSERT_EQ(vrxdbOpenObject(erased, id, VRxDb::kForWrite), Vrx::eOk);
        }
    }
    ASSERT_NE(erased, nullptr);
    ASSERT_EQ(erased->erase(), Vrx::eOk);
    erased->close();
    VRxDbDatabase again(false);
    std::wstring error;
    ASSERT_EQ(VRxDxf::readDxf(again, VRxDxf::writeDxf(source), error), Vrx::eOk) << narrow(error);
    VRxDbObjectId list;
    ASSERT_EQ(VRxDbDictionary::cast(vrxdbObjectAt(again, again.namedObjectsDictionaryId()))->getAt(L"APP_LIST", list),
              Vrx::eOk);
    std::vector<VRxDbXrecordValue> listed = xrecordAt(again, list, L"第一");
    ASSERT_EQ(listed.size(), 8u);
    EXPECT_TRUE(listed[7].id.isNull());
}

// A drawing file read again is a copy of its first reading, and writes the
// same text; a file changed in between is read afresh. A drawing with
// application data is never copied (the copy would lose it) but read again.
TEST(DxfDrawingFiles, ReadAgainUntilTheFileChanges) {
    TempDir dir;
    auto reread = [&](const char* name) {
        VRxDbDatabase side(false, true);
        EXPECT_EQ(side.readDwgFile(dir.wpath(name).c_str()), Vrx::eOk);
        return VRxDxf::writeDxf(side);
    };
    VRxDbDatabase plain;
    buildSample(plain, false);
    writeBytes(dir.path("part.dwg"), VRxDxf::writeDxf(plain));
    const std::string first = reread("part.dwg");
    EXPECT_EQ(first, reread("part.dwg"));
    EXPECT_EQ(first, reread("part.dwg"));
    place(plain, plain.modelSpaceId(), new VRxDbLine(VRxGePoint3d(0, 0, 0), VRxGePoint3d(9, 9, 0)));
    writeBytes(dir.path("part.dwg"), VRxDxf::writeDxf(plain));
    const std::string changed = reread("part.dwg");
    EXPECT_NE(first, changed);
    EXPECT_EQ(changed, reread("part.dwg"));
    EXPECT_EQ(changed, reread("part.dwg"));

    VRxDbDatabase full;
    buildSample(full);
    VRxDbDatabase copy(false, true);
    EXPECT_FALSE(vrxdbCopyPlainDrawing(copy, full));
    EXPECT_TRUE(copy.modelSpaceId().isNull()) << "a refused copy changes nothing";
    writeBytes(dir.path("data.dwg"), VRxDxf::writeDxf(full));
    const std::string withData = reread("data.dwg");
    EXPECT_NE(withData.find("AcDbXrecord"), std::string::npos);
    EXPECT_EQ(withData, reread("data.dwg"));
    EXPECT_EQ(withData, reread("data.dwg"));
}

TEST(DxfLayouts, LayoutsAndTheCurrentOneAreRead) {
    VRxDbDatabase db;
    VRxDbPaperTable* papers = nullptr;
    ASSERT_EQ(db.getPaperTable(papers, VRxDb::kForWrite), Vrx::eOk);
    VRxDbObjectId layout1;
    ASSERT_EQ(papers->getAt(L"Layout1", layout1), Vrx::eOk);
    ASSERT_EQ(papers->setCurrentPaper(layout1), Vrx::eOk);
    papers->close();

    VRxDbDatabase back(false);
    std::wstring error;
    ASSERT_EQ(VRxDxf::readDxf(back, VRxDxf::writeDxf(db), error), Vrx::eOk) << narrow(error);
    const auto* table = VRxDbPaperTable::cast(vrxdbObjectAt(back, back.paperTableId()));
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(vrxdbRecordId(back, back.paperTableId(), L"Model").isNull());
    EXPECT_FALSE(vrxdbRecordId(back, back.paperTableId(), L"Layout1").isNull());
    EXPECT_EQ(nameOf(back, table->currentPaperId()), L"Layout1");
    EXPECT_EQ(back.currentSpaceId(), back.paperSpaceId());
}

}  // namespace
