// Dictionaries, XRecords and extension dictionaries under the open/close
// protocol, and the result buffers values travel in.
#include <gtest/gtest.h>

#include "vrxdb.h"
#include "vrxrb.h"
#include "vrxdbobjecttable.h"

namespace {

VRxDbObjectId addLine(VRxDbDatabase& db) {
    return vrxdbAddEntityTo(db, db.modelSpaceId(), new VRxDbLine(VRxGePoint3d(0, 0, 0), VRxGePoint3d(1, 0, 0)));
}

TEST(VrxDictionary, EntriesFollowTheOpenRulesAndAreNeverReplaced) {
    VRxDbDatabase db;
    VRxDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, VRxDb::kForRead), Vrx::eOk);
    auto* x = new VRxDbXrecord;
    VRxDbObjectId id;
    EXPECT_EQ(nod->setAt(L"ZDT", x, id), Vrx::eNotOpenForWrite);
    nod->close();

    ASSERT_EQ(db.getNamedObjectsDictionary(nod, VRxDb::kForWrite), Vrx::eOk);
    ASSERT_EQ(nod->setAt(L"ZDT", x, id), Vrx::eOk);
    EXPECT_TRUE(x->isWriteEnabled());  // left open for its creator
    auto* second = new VRxDbXrecord;
    VRxDbObjectId secondId;
    EXPECT_EQ(nod->setAt(L"zdt", second, secondId), Vrx::eDuplicateKey);
    EXPECT_EQ(nod->setAt(L"", second, secondId), Vrx::eInvalidInput);
    delete second;  // a refused object stays its maker's
    EXPECT_EQ(x->close(), Vrx::eOk);
    EXPECT_EQ(x->ownerId(), nod->objectId());

    // An erased entry is no longer found; the dictionary itself cannot go.
    ASSERT_EQ(vrxdbOpenObject(x, id, VRxDb::kForWrite), Vrx::eOk);
    EXPECT_EQ(x->erase(), Vrx::eOk);
    x->close();
    EXPECT_FALSE(nod->has(L"ZDT"));
    EXPECT_EQ(nod->numEntries(), 0);
    EXPECT_EQ(nod->erase(), Vrx::eInvalidInput);
    nod->close();
    EXPECT_EQ(db.openObjectCount(), 0);
}

TEST(VrxDictionary, ExtensionDictionaryNeedsAWriterAndIsMadeOnce) {
    VRxDbDatabase db;
    VRxDbObjectId line = addLine(db);
    VRxDbEntity* e = nullptr;
    ASSERT_EQ(vrxdbOpenObject(e, line, VRxDb::kForRead), Vrx::eOk);
    EXPECT_EQ(e->createExtensionDictionary(), Vrx::eNotOpenForWrite);
    ASSERT_EQ(e->upgradeOpen(), Vrx::eOk);
    ASSERT_EQ(e->createExtensionDictionary(), Vrx::eOk);
    VRxDbObjectId xdict = e->extensionDictionary();
    EXPECT_EQ(e->createExtensionDictionary(), Vrx::eAlreadyInDb);
    EXPECT_EQ(e->extensionDictionary(), xdict);
    e->close();
    const auto* d = VRxDbDictionary::cast(vrxdbObjectAt(db, xdict));
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->ownerId(), line);
    // A copy of the entity is content only.
    VRxDbObject* copy = vrxdbObjectAt(db, line)->clone();
    EXPECT_TRUE(copy->extensionDictionary().isNull());
    delete copy;
}

TEST(VrxXrecord, ValuesGoInAndOutAsResultBuffersAndBadListsChangeNothing) {
    VRxDbDatabase db;
    VRxDbObjectId line = addLine(db);
    VRxDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, VRxDb::kForWrite), Vrx::eOk);
    auto* x = new VRxDbXrecord;
    VRxDbObjectId id;
    ASSERT_EQ(nod->setAt(L"R", x, id), Vrx::eOk);
    nod->close();

    vrx_name name;
    vrxdbGetVRxName(name, line);
    resbuf* in = vrxutBuildList(1, L"3035", 70, 2, 40, 25.5, 330, name, 0);
    ASSERT_NE(in, nullptr);
    ASSERT_EQ(x->setFromRbChain(in), Vrx::eOk);
    vrxutRelRb(in);

    // Refused: a structural code, a null string, an object of another drawing.
    resbuf* bad = vrxutBuildList(1, L"x", 0);
    bad->rbnext = vrxutNewRb(5);
    EXPECT_EQ(x->setFromRbChain(bad), Vrx::eInvalidInput);
    vrxutRelRb(bad);
    bad = vrxutNewRb(1);
    EXPECT_EQ(x->setFromRbChain(bad), Vrx::eInvalidInput);
    vrxutRelRb(bad);
    VRxDbDatabase other;
    vrxdbGetVRxName(name, addLine(other));
    bad = vrxutBuildList(340, name, 0);
    EXPECT_EQ(x->setFromRbChain(bad), Vrx::eWrongDatabase);
    vrxutRelRb(bad);
    EXPECT_EQ(vrxutBuildList(1, nullptr, 0), nullptr);
    EXPECT_EQ(vrxutBuildList(5999, 1, 0), nullptr);

    resbuf* out = nullptr;
    ASSERT_EQ(x->rbChain(out), Vrx::eOk);
    x->close();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(std::wstring(out->resval.rstring), L"3035");
    ASSERT_NE(out->rbnext, nullptr);
    EXPECT_EQ(out->rbnext->resval.rint, 2);
    EXPECT_EQ(out->rbnext->rbnext->resval.rreal, 25.5);
    VRxDbObjectId back;
    ASSERT_EQ(vrxdbGetObjectId(back, out->rbnext->rbnext->rbnext->resval.rlname), Vrx::eOk);
    EXPECT_EQ(back, line);
    EXPECT_EQ(out->rbnext->rbnext->rbnext->rbnext, nullptr);
    vrxutRelRb(out);
    EXPECT_EQ(x->rbChain(out), Vrx::eWasNotOpen);  // closed records are not read
}

}  // namespace
