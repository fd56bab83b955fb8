// Tests of the host drawing database: the open/close protocol and its status
// codes, ids that outlive their database, table lookups and copying a side
// drawing in as a block definition.
#include <gtest/gtest.h>

#include "vrxdb.h"
#include "vrxdbobjecttable.h"

namespace {

VRxDbObjectId addLineTo(VRxDbDatabase& db, VRxDbObjectId space, VRxDbLine* line) {
    VRxDbBlockTableRecord* rec = nullptr;
    EXPECT_EQ(vrxdbOpenObject(rec, space, VRxDb::kForWrite), Vrx::eOk);
    VRxDbObjectId id;
    EXPECT_EQ(rec->appendVRxDbEntity(id, line), Vrx::eOk);
    line->close();
    rec->close();
    return id;
}

template <class Table, class Record>
VRxDbObjectId addRecord(VRxDbDatabase& db, Vrx::ErrorStatus (VRxDbDatabase::*get)(Table*&, VRxDb::OpenMode),
                        Record* rec) {
    Table* table = nullptr;
    EXPECT_EQ((db.*get)(table, VRxDb::kForWrite), Vrx::eOk);
    VRxDbObjectId id;
    EXPECT_EQ(table->add(id, rec), Vrx::eOk);
    rec->close();
    table->close();
    return id;
}

std::wstring nameOf(VRxDbObjectId id) {
    VRxDbSymbolTableRecord* rec = nullptr;
    if (vrxdbOpenObject(rec, id, VRxDb::kForRead) != Vrx::eOk) return L"<unopenable>";
    std::wstring n = rec->getName();
    rec->close();
    return n;
}

}  // namespace

TEST(VrxOpenClose, ReadersOrOneWriter) {
    VRxDbDatabase db;
    VRxDbObjectId id = addLineTo(db, db.modelSpaceId(), new VRxDbLine({0, 0}, {10, 0}));
    ASSERT_EQ(db.openObjectCount(), 0);

    VRxDbLine *r1 = nullptr, *r2 = nullptr, *w = nullptr;
    ASSERT_EQ(vrxdbOpenObject(r1, id, VRxDb::kForRead), Vrx::eOk);
    ASSERT_EQ(vrxdbOpenObject(r2, id, VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(vrxdbOpenObject(w, id, VRxDb::kForWrite), Vrx::eWasOpenedForRead);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(db.openObjectCount(), 1);
    EXPECT_EQ(r1->upgradeOpen(), Vrx::eWasOpenedForRead);  // the other reader still holds it
    EXPECT_EQ(r1->close(), Vrx::eOk);
    EXPECT_EQ(r2->upgradeOpen(), Vrx::eOk);
    EXPECT_TRUE(r2->isWriteEnabled());
    EXPECT_EQ(vrxdbOpenObject(r1, id, VRxDb::kForRead), Vrx::eWasOpenedForWrite);
    EXPECT_EQ(vrxdbOpenObject(w, id, VRxDb::kForWrite), Vrx::eWasOpenedForWrite);
    EXPECT_EQ(r2->close(), Vrx::eOk);
    EXPECT_EQ(r2->close(), Vrx::eWasNotOpen);
    EXPECT_EQ(db.openObjectCount(), 0);
    EXPECT_TRUE(db.openObjectIds().empty());
}

TEST(VrxOpenClose, StatusCodes) {
    VRxDbDatabase db;
    VRxDbObject* o = nullptr;
    EXPECT_EQ(vrxdbOpenVRxDbObject(o, VRxDbObjectId::kNull, VRxDb::kForRead), Vrx::eNullObjectId);
    EXPECT_EQ(vrxdbOpenVRxDbObject(o, vrxdbIdOf(db, 999999), VRxDb::kForRead), Vrx::eNullObjectId);

    // Wrong kind: the object is closed again, nothing stays open.
    VRxDbLine* line = nullptr;
    EXPECT_EQ(vrxdbOpenObject(line, db.layerTableId(), VRxDb::kForRead), Vrx::eNotThatKindOfClass);
    EXPECT_EQ(db.openObjectCount(), 0);

    // Erased objects open only on request.
    VRxDbObjectId id = addLineTo(db, db.modelSpaceId(), new VRxDbLine({0, 0}, {1, 1}));
    ASSERT_EQ(vrxdbOpenObject(line, id, VRxDb::kForWrite), Vrx::eOk);
    EXPECT_EQ(line->erase(), Vrx::eOk);
    line->close();
    EXPECT_EQ(vrxdbOpenObject(line, id, VRxDb::kForRead), Vrx::eWasErased);
    EXPECT_EQ(vrxdbOpenObject(line, id, VRxDb::kForRead, true), Vrx::eOk);
    EXPECT_TRUE(line->isErased());
    EXPECT_EQ(line->erase(), Vrx::eNotOpenForWrite);
    line->close();
    EXPECT_TRUE(id.isErased());

    // A new object is the creator's: it cannot be closed, it is deleted.
    VRxDbLine loose;
    EXPECT_EQ(loose.close(), Vrx::eNotInDatabase);

    // Text for every status, and something sensible for nonsense.
    for (int s = Vrx::eOk; s <= Vrx::eNoDatabase; ++s)
        EXPECT_GT(std::wcslen(Vrx::statusText(static_cast<Vrx::ErrorStatus>(s))), 1u) << s;
    EXPECT_STREQ(Vrx::statusText(Vrx::eWasOpenedForWrite), L"Object is open for write");
}

TEST(VrxOpenClose, AppendNeedsTheBlockOpenForWrite) {
    VRxDbDatabase db;
    VRxDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(vrxdbOpenObject(ms, db.modelSpaceId(), VRxDb::kForRead), Vrx::eOk);
    auto* line = new VRxDbLine({0, 0}, {5, 5});
    EXPECT_EQ(ms->appendVRxDbEntity(line), Vrx::eNotOpenForWrite);
    EXPECT_FALSE(line->isDatabaseResident());
    ASSERT_EQ(ms->upgradeOpen(), Vrx::eOk);
    VRxDbObjectId id;
    ASSERT_EQ(ms->appendVRxDbEntity(id, line), Vrx::eOk);
    EXPECT_TRUE(line->isWriteEnabled());  // left open for its creator
    EXPECT_EQ(ms->appendVRxDbEntity(line), Vrx::eAlreadyInDb);
    EXPECT_EQ(ms->appendVRxDbEntity(nullptr), Vrx::eInvalidInput);
    EXPECT_EQ(db.openObjectCount(), 2);
    line->close();
    ms->close();
    EXPECT_EQ(db.openObjectCount(), 0);
    EXPECT_EQ(id.database(), &db);
}

TEST(VrxIds, StopResolvingWhenTheDatabaseIsGone) {
    VRxDbObjectId id, layer;
    {
        VRxDbDatabase db;
        id = addLineTo(db, db.modelSpaceId(), new VRxDbLine({0, 0}, {1, 0}));
        layer = db.clayer();
        EXPECT_TRUE(id.isValid());
        vrxdbHostApplicationServices()->setWorkingDatabase(&db);
    }
    EXPECT_FALSE(id.isValid());
    EXPECT_EQ(id.database(), nullptr);
    EXPECT_EQ(vrxdbHostApplicationServices()->workingDatabase(), nullptr);
    VRxDbObject* o = nullptr;
    EXPECT_EQ(vrxdbOpenVRxDbObject(o, id, VRxDb::kForRead), Vrx::eNullObjectId);
    EXPECT_EQ(vrxdbOpenVRxDbObject(o, layer, VRxDb::kForRead), Vrx::eNullObjectId);

    // A later database never picks up the old serial.
    VRxDbDatabase other;
    EXPECT_FALSE(id.isValid());
    EXPECT_NE(vrxdbSerial(other), 0u);

    // Nor do ids survive a clear of their own database.
    VRxDbObjectId ms = other.modelSpaceId();
    vrxdbClear(other);
    vrxdbBuildDefaults(other);
    EXPECT_FALSE(ms.isValid());
    EXPECT_TRUE(other.modelSpaceId().isValid());
}

TEST(VrxTables, LookupFoldsLatinCaseOnly) {
    VRxDbDatabase db;
    auto* centre = new VRxDbLayerTableRecord;
    centre->setName(L"中心线层");
    VRxDbObjectId centreId = addRecord(db, &VRxDbDatabase::getLayerTable, centre);
    auto* hidden = new VRxDbLayerTableRecord;
    hidden->setName(L"Hidden虚线");
    addRecord(db, &VRxDbDatabase::getLayerTable, hidden);

    VRxDbLayerTable* layers = nullptr;
    ASSERT_EQ(db.getLayerTable(layers, VRxDb::kForWrite), Vrx::eOk);
    EXPECT_TRUE(layers->has(L"中心线层"));
    EXPECT_TRUE(layers->has(centreId));
    EXPECT_TRUE(layers->has(L"hIDDEN虚线"));
    EXPECT_FALSE(layers->has(L"中心线"));
    EXPECT_FALSE(layers->has(L"Hidden虚綫"));  // a different character, not a case variant
    VRxDbObjectId found;
    EXPECT_EQ(layers->getAt(L"HIDDEN虚线", found), Vrx::eOk);
    EXPECT_EQ(nameOf(found), L"Hidden虚线");  // the stored spelling is kept
    EXPECT_EQ(layers->getAt(L"nope", found), Vrx::eKeyNotFound);
    EXPECT_TRUE(found.isNull());

    auto* dup = new VRxDbLayerTableRecord;
    dup->setName(L"HIDDEN虚线");
    EXPECT_EQ(layers->add(dup), Vrx::eDuplicateKey);
    EXPECT_FALSE(dup->isDatabaseResident());
    delete dup;
    auto* unnamed = new VRxDbLayerTableRecord;
    EXPECT_EQ(layers->add(unnamed), Vrx::eInvalidInput);
    delete unnamed;
    auto* wrongKind = new VRxDbLinetypeTableRecord;
    wrongKind->setName(L"DASHED");
    EXPECT_EQ(layers->add(wrongKind), Vrx::eNotThatKindOfClass);
    delete wrongKind;
    layers->close();

    // Adding needs the table open for write.
    ASSERT_EQ(db.getLayerTable(layers, VRxDb::kForRead), Vrx::eOk);
    auto* late = new VRxDbLayerTableRecord;
    late->setName(L"late");
    EXPECT_EQ(layers->add(late), Vrx::eNotOpenForWrite);
    delete late;
    layers->close();

    // Renaming onto a taken name is refused; a renamed record goes by its new
    // name only; an erased record frees its name for a new one.
    VRxDbLayerTableRecord* rec = nullptr;
    ASSERT_EQ(vrxdbOpenObject(rec, centreId, VRxDb::kForWrite), Vrx::eOk);
    EXPECT_EQ(rec->setName(L"hidden虚线"), Vrx::eDuplicateKey);
    EXPECT_EQ(rec->getName(), L"中心线层");
    EXPECT_EQ(rec->setName(L"Axis轴线"), Vrx::eOk);
    EXPECT_EQ(vrxdbRecordId(db, db.layerTableId(), L"AXIS轴线"), centreId);
    EXPECT_TRUE(vrxdbRecordId(db, db.layerTableId(), L"中心线层").isNull());
    EXPECT_EQ(rec->setName(L"中心线层"), Vrx::eOk);
    EXPECT_EQ(rec->erase(), Vrx::eOk);
    rec->close();
    ASSERT_EQ(db.getLayerTable(layers, VRxDb::kForRead), Vrx::eOk);
    EXPECT_FALSE(layers->has(L"中心线层"));
    EXPECT_EQ(layers->getAt(L"中心线层", found, true), Vrx::eOk);
    EXPECT_EQ(found, centreId);
    layers->close();
    auto* successor = new VRxDbLayerTableRecord;
    successor->setName(L"中心线层");
    const VRxDbObjectId successorId = addRecord(db, &VRxDbDatabase::getLayerTable, successor);
    EXPECT_EQ(vrxdbRecordId(db, db.layerTableId(), L"中心线层"), successorId);
    EXPECT_TRUE(vrxdbRecordId(db, db.layerTableId(), L"Axis轴线").isNull());
    EXPECT_EQ(db.openObjectCount(), 0);
}

TEST(VrxTables, SkeletonCannotBeErased) {
    VRxDbDatabase db;
    VRxDbObject* o = nullptr;
    for (VRxDbObjectId id : {db.modelSpaceId(), db.clayer(), db.layerTableId()}) {
        ASSERT_EQ(vrxdbOpenVRxDbObject(o, id, VRxDb::kForWrite), Vrx::eOk);
        EXPECT_EQ(o->erase(), Vrx::eInvalidInput);
        o->close();
    }
}

TEST(VrxTables, AnonymousBlocksGetNumbers) {
    VRxDbDatabase db;
    std::vector<std::wstring> names;
    for (const wchar_t* n : {L"*U", L"*U", L"*D", L"*u"}) {
        auto* b = new VRxDbBlockTableRecord;
        b->setName(n);
        names.push_back(nameOf(addRecord(db, &VRxDbDatabase::getBlockTable, b)));
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"*U1", L"*U2", L"*D1", L"*U3"}));
    VRxDbBlockTableRecord* b = nullptr;
    VRxDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, VRxDb::kForRead), Vrx::eOk);
    ASSERT_EQ(bt->getAt(L"*u2", b, VRxDb::kForRead), Vrx::eOk);
    EXPECT_TRUE(b->isAnonymous());
    EXPECT_FALSE(b->isLayout());
    b->close();
    ASSERT_EQ(bt->getAt(L"*MODEL_SPACE", b, VRxDb::kForRead), Vrx::eOk);
    EXPECT_TRUE(b->isLayout());
    EXPECT_FALSE(b->isAnonymous());
    b->close();
    bt->close();
}

TEST(VrxEntities, LayerAndLinetypeMustExist) {
    VRxDbDatabase db;
    auto* layer = new VRxDbLayerTableRecord;
    layer->setName(L"中心线层");
    VRxDbObjectId layerId = addRecord(db, &VRxDbDatabase::getLayerTable, layer);

    VRxDbDatabase* previous = vrxdbHostApplicationServices()->workingDatabase();
    vrxdbHostApplicationServices()->setWorkingDatabase(&db);
    VRxDbLine line({0, 0}, {1, 0});  // not in a database yet: the working one decides
    EXPECT_EQ(line.setLayer(L"中心线层"), Vrx::eOk);
    EXPECT_EQ(line.layerId(), layerId);
    EXPECT_EQ(line.setLayer(L"无此层"), Vrx::eKeyNotFound);
    EXPECT_EQ(line.layer(), L"中心线层");
    EXPECT_EQ(line.setLinetype(L"DASHED"), Vrx::eKeyNotFound);
    EXPECT_EQ(line.linetype(), L"ByLayer");
    EXPECT_EQ(line.setLinetype(L"continuous"), Vrx::eOk);
    EXPECT_EQ(line.linetype(), L"Continuous");
    EXPECT_EQ(line.setLinetype(L"BYBLOCK"), Vrx::eOk);
    EXPECT_EQ(line.setLayer(db.clayer()), Vrx::eOk);
    EXPECT_EQ(line.layer(), L"0");
    EXPECT_EQ(line.setLayer(db.modelSpaceId()), Vrx::eNotThatKindOfClass);
    EXPECT_EQ(line.setColorIndex(300), Vrx::eInvalidInput);
    EXPECT_EQ(line.setLinetypeScale(0.0), Vrx::eInvalidInput);

    // A layer record of another drawing is refused rather than silently renamed.
    VRxDbDatabase other;
    EXPECT_EQ(line.setLayer(other.clayer()), Vrx::eWrongDatabase);
    vrxdbHostApplicationServices()->setWorkingDatabase(previous);

    // A resident entity open for read cannot change.
    VRxDbObjectId id = addLineTo(db, db.modelSpaceId(), new VRxDbLine({0, 0}, {2, 0}));
    VRxDbEntity* e = nullptr;
    ASSERT_EQ(vrxdbOpenVRxDbEntity(e, id, VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(e->setColorIndex(1), Vrx::eNotOpenForWrite);
    EXPECT_EQ(e->colorIndex(), VRxDb::kColorByLayer);
    e->close();
}

namespace {

// A side drawing as a block file would give: entities on their own layer and
// linetype, a text in its own style, a dimension in its own style, and a nested block.
void fillSideDrawing(VRxDbDatabase& side) {
    auto* lt = new VRxDbLinetypeTableRecord;
    lt->setName(L"虚线");
    lt->setDashes({5.0, -2.5});
    addRecord(side, &VRxDbDatabase::getLinetypeTable, lt);
    auto* layer = new VRxDbLayerTableRecord;
    layer->setName(L"轮廓");
    layer->setColor(VRxCmColor(3));
    layer->setLinetypeName(L"虚线");
    addRecord(side, &VRxDbDatabase::getLayerTable, layer);
    auto* existing = new VRxDbLayerTableRecord;
    existing->setName(L"Shared");
    existing->setColor(VRxCmColor(5));
    addRecord(side, &VRxDbDatabase::getLayerTable, existing);
    auto* style = new VRxDbTextStyleTableRecord;
    style->setName(L"side_txt");
    style->setTextSize(3.5);
    VRxDbObjectId styleId = addRecord(side, &VRxDbDatabase::getTextStyleTable, style);
    auto* dimStyle = new VRxDbDimStyleTableRecord;
    dimStyle->setName(L"side_dim");
    dimStyle->setDimtxsty(styleId);
    dimStyle->setDimtxt(7.0);
    VRxDbObjectId dimStyleId = addRecord(side, &VRxDbDatabase::getDimStyleTable, dimStyle);

    auto* nested = new VRxDbBlockTableRecord;
    nested->setName(L"螺钉");
    VRxDbObjectId nestedId = addRecord(side, &VRxDbDatabase::getBlockTable, nested);
    auto* circleOnLayer = new VRxDbLine({0, 0}, {1, 1});
    vrxdbAddEntityTo(side, nestedId, circleOnLayer);
    VRxDbLine* opened = nullptr;
    vrxdbOpenObject(opened, circleOnLayer->objectId(), VRxDb::kForWrite);
    vrxdbHostApplicationServices()->setWorkingDatabase(&side);
    EXPECT_EQ(opened->setLayer(L"Shared"), Vrx::eOk);
    opened->close();

    VRxDbObjectId ms = side.modelSpaceId();
    auto* line = new VRxDbLine({0, 0}, {10, 0});
    EXPECT_EQ(line->setLayer(L"轮廓"), Vrx::eOk);
    EXPECT_EQ(line->setLinetype(L"虚线"), Vrx::eOk);
    vrxdbAddEntityTo(side, ms, line);
    vrxdbAddEntityTo(side, ms, new VRxDbText({0, 5}, L"标记", styleId, 3.5));
    vrxdbAddEntityTo(side, ms, new VRxDbBlockReference({20, 0}, nestedId));
    vrxdbAddEntityTo(side, ms, new VRxDbRotatedDimension(0.0, {0, 0}, {10, 0}, {5, 8}, nullptr, dimStyleId));
    // Paper space content never comes along.
    vrxdbAddEntityTo(side, side.paperSpaceId(), new VRxDbLine({0, 0}, {99, 99}));
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
}

}  // namespace

TEST(VrxInsert, CopiesModelSpaceWithWhatItUses) {
    VRxDbDatabase side(true);
    fillSideDrawing(side);
    size_t sideEntities = 0;
    {
        VRxDbBlockTableRecord* ms = nullptr;
        ASSERT_EQ(vrxdbOpenObject(ms, side.modelSpaceId(), VRxDb::kForRead), Vrx::eOk);
        sideEntities = ms->entityIds().size();
        ms->close();
    }

    VRxDbDatabase db;
    auto* shared = new VRxDbLayerTableRecord;
    shared->setName(L"SHARED");
    shared->setColor(VRxCmColor(1));
    VRxDbObjectId sharedHere = addRecord(db, &VRxDbDatabase::getLayerTable, shared);

    // Block names are taken as given, a file path included.
    const wchar_t* path = L"/opt/zdt/BlockRes/DA1.dwg";
    VRxDbObjectId blockId;
    // The caller may still hold the block table open for write.
    VRxDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, VRxDb::kForWrite), Vrx::eOk);
    ASSERT_EQ(db.insert(blockId, path, &side, true), Vrx::eOk);
    bt->close();
    EXPECT_EQ(nameOf(blockId), path);
    EXPECT_EQ(db.openObjectCount(), 0);

    VRxDbBlockTableRecord* block = nullptr;
    ASSERT_EQ(vrxdbOpenObject(block, blockId, VRxDb::kForRead), Vrx::eOk);
    std::vector<VRxDbObjectId> ids = block->entityIds();
    block->close();
    ASSERT_EQ(ids.size(), 4u);
    for (VRxDbObjectId id : ids) EXPECT_EQ(id.database(), &db);

    VRxDbLine* line = nullptr;
    ASSERT_EQ(vrxdbOpenObject(line, ids[0], VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(line->layer(), L"轮廓");
    EXPECT_EQ(line->linetype(), L"虚线");
    EXPECT_FALSE(line->layerId().isNull());
    line->close();
    VRxDbLayerTableRecord* layer = nullptr;
    VRxDbLayerTable* layers = nullptr;
    ASSERT_EQ(db.getLayerTable(layers, VRxDb::kForRead), Vrx::eOk);
    ASSERT_EQ(layers->getAt(L"轮廓", layer, VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(layer->color().colorIndex(), 3);
    EXPECT_FALSE(layer->linetypeObjectId().isNull());  // its linetype came too
    layer->close();
    // An existing record of the same name wins, unchanged.
    VRxDbObjectId sharedFound;
    EXPECT_EQ(layers->getAt(L"Shared", sharedFound), Vrx::eOk);
    EXPECT_EQ(sharedFound, sharedHere);
    EXPECT_EQ(nameOf(sharedFound), L"SHARED");
    layers->close();

    VRxDbText* text = nullptr;
    ASSERT_EQ(vrxdbOpenObject(text, ids[1], VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(text->textStyle().database(), &db);
    EXPECT_EQ(nameOf(text->textStyle()), L"side_txt");
    text->close();

    VRxDbBlockReference* ref = nullptr;
    ASSERT_EQ(vrxdbOpenObject(ref, ids[2], VRxDb::kForRead), Vrx::eOk);
    VRxDbObjectId nestedHere = ref->blockTableRecord();
    ref->close();
    EXPECT_EQ(nestedHere.database(), &db);
    EXPECT_EQ(nameOf(nestedHere), L"螺钉");
    VRxDbBlockTableRecord* nested = nullptr;
    ASSERT_EQ(vrxdbOpenObject(nested, nestedHere, VRxDb::kForRead), Vrx::eOk);
    ASSERT_EQ(nested->entityIds().size(), 1u);
    nested->close();

    VRxDbRotatedDimension* dim = nullptr;
    ASSERT_EQ(vrxdbOpenObject(dim, ids[3], VRxDb::kForRead), Vrx::eOk);
    VRxDbObjectId dimStyle = dim->dimensionStyle();
    dim->close();
    EXPECT_EQ(nameOf(dimStyle), L"side_dim");
    VRxDbDimStyleTableRecord* ds = nullptr;
    ASSERT_EQ(vrxdbOpenObject(ds, dimStyle, VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(ds->dimtxsty().database(), &db);  // the style's own reference is remapped
    EXPECT_DOUBLE_EQ(ds->dimtxt(), 7.0);
    ds->close();

    // Nothing of the source's paper space or papers comes along.
    VRxDbPaperTable* papers = nullptr;
    ASSERT_EQ(db.getPaperTable(papers, VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(papers->recordIds().size(), 2u);
    papers->close();

    // The source is untouched, and a second insert under the same name is refused.
    VRxDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(vrxdbOpenObject(ms, side.modelSpaceId(), VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(ms->entityIds().size(), sideEntities);
    for (VRxDbObjectId id : ms->entityIds()) EXPECT_EQ(id.database(), &side);
    ms->close();
    VRxDbObjectId again;
    EXPECT_EQ(db.insert(again, path, &side, true), Vrx::eDuplicateKey);
    EXPECT_TRUE(again.isNull());
    EXPECT_EQ(db.insert(again, L"x", nullptr, true), Vrx::eNoDatabase);
    EXPECT_EQ(db.insert(again, L"", &side, true), Vrx::eInvalidInput);
    EXPECT_EQ(side.openObjectCount(), 0);
    EXPECT_EQ(db.openObjectCount(), 0);
}

TEST(VrxInsert, SameNestedBlockTwiceIsCopiedOnce) {
    VRxDbDatabase side;
    fillSideDrawing(side);
    VRxDbDatabase db;
    VRxDbObjectId a, b;
    ASSERT_EQ(db.insert(a, L"first", &side, true), Vrx::eOk);
    ASSERT_EQ(db.insert(b, L"second", &side, true), Vrx::eOk);
    VRxDbBlockTable* bt = nullptr;
    ASSERT_EQ(db.getBlockTable(bt, VRxDb::kForRead), Vrx::eOk);
    // Model, paper, the nested block once, and the two new definitions.
    EXPECT_EQ(bt->recordIds().size(), 5u);
    bt->close();
}

TEST(VrxTables, IteratorsSkipErasedEntities) {
    VRxDbDatabase db;
    VRxDbObjectId a = addLineTo(db, db.modelSpaceId(), new VRxDbLine({0, 0}, {1, 0}));
    VRxDbObjectId b = addLineTo(db, db.modelSpaceId(), new VRxDbLine({0, 0}, {2, 0}));
    VRxDbEntity* e = nullptr;
    ASSERT_EQ(vrxdbOpenVRxDbEntity(e, a, VRxDb::kForWrite), Vrx::eOk);
    e->erase();
    e->close();

    VRxDbBlockTableRecord* ms = nullptr;
    ASSERT_EQ(vrxdbOpenObject(ms, db.modelSpaceId(), VRxDb::kForRead), Vrx::eOk);
    VRxDbBlockTableRecordIterator* it = nullptr;
    ASSERT_EQ(ms->newIterator(it), Vrx::eOk);
    std::vector<VRxDbObjectId> seen;
    for (it->start(); !it->done(); it->step()) {
        ASSERT_EQ(it->getEntity(e, VRxDb::kForRead), Vrx::eOk);
        seen.push_back(e->objectId());
        e->close();
    }
    EXPECT_EQ(seen, std::vector<VRxDbObjectId>{b});
    VRxDbObjectId none;
    EXPECT_EQ(it->getEntityId(none), Vrx::eInvalidInput);
    delete it;
    ASSERT_EQ(ms->newIterator(it, true, false), Vrx::eOk);
    int all = 0;
    for (; !it->done(); it->step()) ++all;
    EXPECT_EQ(all, 2);
    delete it;
    ms->close();

    // The paper table's current paper must be one of its own records.
    VRxDbPaperTable* papers = nullptr;
    ASSERT_EQ(db.getPaperTable(papers, VRxDb::kForWrite), Vrx::eOk);
    EXPECT_EQ(papers->setCurrentPaper(db.modelSpaceId()), Vrx::eKeyNotFound);
    VRxDbObjectId layout;
    ASSERT_EQ(papers->getAt(L"layout1", layout), Vrx::eOk);
    EXPECT_EQ(papers->setCurrentPaper(layout), Vrx::eOk);
    papers->close();
    EXPECT_EQ(db.currentSpaceId(), db.paperSpaceId());
    EXPECT_EQ(db.openObjectCount(), 0);
}
