// Helpers of the drawing file tests: a drawing with every kind of entity the
// host draws (Chinese names and texts included), and small look-ups into a
// database read back from DXF.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "vrxdb.h"
#include "vrxdxf.h"
#include "vrxrb.h"
#include "vrxdbobjecttable.h"

namespace dxftest {

inline const wchar_t* kPathBlock = L"/opt/x/BlockRes/DA1.dwg";
inline const wchar_t* kPathBlock2 = L"/opt/y/BlockRes/DA1.dwg";

// Appends an entity to a block and puts it on a layer and linetype, which the
// database checks against its tables once the entity belongs to it.
inline VRxDbObjectId place(VRxDbDatabase& db, VRxDbObjectId block, VRxDbEntity* e, const wchar_t* layer = nullptr,
                           const wchar_t* linetype = nullptr) {
    VRxDbObjectId id = vrxdbAddEntityTo(db, block, e);
    if (layer || linetype) {
        VRxDbEntity* open = nullptr;
        EXPECT_EQ(vrxdbOpenObject(open, id, VRxDb::kForWrite), Vrx::eOk);
        if (open) {
            if (layer) {
                EXPECT_EQ(open->setLayer(layer), Vrx::eOk);
            }
            if (linetype) {
                EXPECT_EQ(open->setLinetype(linetype), Vrx::eOk);
            }
            open->close();
        }
    }
    return id;
}

template <class R>
R* addRecord(VRxDbDatabase& db, VRxDbObjectId table, R* rec, const wchar_t* name) {
    rec->setName(name);
    VRxDbObjectId id;
    EXPECT_EQ(vrxdbAddRecordTo(db, table, rec, id), Vrx::eOk);
    return rec;
}

inline VRxDbObjectId newBlock(VRxDbDatabase& db, const wchar_t* name) {
    auto* b = new VRxDbBlockTableRecord;
    b->setName(name);
    VRxDbObjectId id;
    EXPECT_EQ(vrxdbAddRecordTo(db, db.blockTableId(), b, id), Vrx::eOk);
    return id;
}

// An XRecord of every value kind under name in a dictionary open for write,
// pointing at target; closed again.
inline void addXrecord(VRxDbDictionary& dictionary, const wchar_t* name, VRxDbObjectId target) {
    auto* x = new VRxDbXrecord;
    VRxDbObjectId id;
    ASSERT_EQ(dictionary.setAt(name, x, id), Vrx::eOk);
    vrx_name pointer;
    vrxdbGetVRxName(pointer, target);
    const double where[3] = {1.5, -2.25, 0.0};
    resbuf* values = vrxutBuildList(1, L"模架 3035", 40, 0.1, 10, where, 70, 7, 90, 123456, 160, 1LL << 40, 290, 1,
                                    340, pointer, 0);
    ASSERT_NE(values, nullptr);
    EXPECT_EQ(x->setFromRbChain(values), Vrx::eOk);
    vrxutRelRb(values);
    x->close();
}

// Application data as the module keeps it: an extension dictionary on a text
// and on a leader (whose annotation is written with the leader's properties),
// and a named dictionary listing the text.
inline void addApplicationData(VRxDbDatabase& db, VRxDbObjectId textId, VRxDbObjectId leaderId) {
    for (VRxDbObjectId owner : {textId, leaderId}) {
        VRxDbEntity* e = nullptr;
        ASSERT_EQ(vrxdbOpenObject(e, owner, VRxDb::kForWrite), Vrx::eOk);
        EXPECT_EQ(e->createExtensionDictionary(), Vrx::eOk);
        VRxDbObjectId xdict = e->extensionDictionary();
        e->close();
        VRxDbDictionary* d = nullptr;
        ASSERT_EQ(vrxdbOpenObject(d, xdict, VRxDb::kForWrite), Vrx::eOk);
        addXrecord(*d, L"APP_DATA", leaderId);
        d->close();
    }
    VRxDbDictionary* nod = nullptr;
    ASSERT_EQ(db.getNamedObjectsDictionary(nod, VRxDb::kForWrite), Vrx::eOk);
    auto* list = new VRxDbDictionary;
    VRxDbObjectId listId;
    ASSERT_EQ(nod->setAt(L"APP_LIST", list, listId), Vrx::eOk);
    addXrecord(*list, L"第一", textId);
    list->close();
    nod->close();
}

// The drawing every round trip starts from; without application data it is a
// plain drawing, as the standard parts' files are.
inline void buildSample(VRxDbDatabase& db, bool withApplicationData = true) {
    auto* ts = addRecord(db, db.textStyleTableId(), new VRxDbTextStyleTableRecord, L"zdt_txt_6000");
    ts->setTextSize(6.0);
    ts->setXIntFac(0.1);
    ts->setYIntFac(1.918);
    ts->setXScaleChina(0.8);
    ts->setXScaleWest(0.7);
    ts->setCFont(L"tavodx.fnt");
    ts->setEFont(L"ISO9.FNT");
    VRxDbObjectId tsId = ts->objectId();
    addRecord(db, db.textStyleTableId(), new VRxDbTextStyleTableRecord, L"仿宋体")->setTextSize(0.0);

    auto* ds = addRecord(db, db.dimStyleTableId(), new VRxDbDimStyleTableRecord, L"zdt_dim_6000");
    ds->setDimclrd(VRxCmColor(1));
    ds->setDimclre(VRxCmColor(1));
    ds->setDimclrt(VRxCmColor(255));
    ds->setDimtad(1);
    ds->setDimtxsty(tsId);
    ds->setDimtxt(6.0);
    ds->setDimasz(6.6);
    ds->setDimdle(7.8);
    ds->setDimexe(2.52);
    ds->setDimexo(1.998);
    ds->setDimgap(1.26);
    VRxDbObjectId dsId = ds->objectId();
    auto* da = addRecord(db, db.dimStyleTableId(), new VRxDbDimStyleTableRecord, L"zdt_assemble_6000");
    da->setDimtih(true);
    da->setDimtxsty(tsId);

    auto* lt = addRecord(db, db.linetypeTableId(), new VRxDbLinetypeTableRecord, L"中心线");
    lt->setComments(L"Center ____ _ ____");
    lt->setDashes({24.0, -3.0, 6.0, -3.0});
    auto* centre = addRecord(db, db.layerTableId(), new VRxDbLayerTableRecord, L"中心线层");
    centre->setColor(VRxCmColor(1));
    centre->setLinetypeName(L"中心线");
    auto* hidden = addRecord(db, db.layerTableId(), new VRxDbLayerTableRecord, L"隐藏层");
    hidden->setColor(VRxCmColor(3));
    hidden->setIsOff(true);
    hidden->setIsFrozen(true);

    // Blocks named by file paths (the module's block drawings) and by Chinese names.
    VRxDbObjectId pathBlock = newBlock(db, kPathBlock);
    place(db, pathBlock, new VRxDbCircle(VRxGePoint3d(0, 0, 0), VRxGeVector3d(0, 0, 1), 5.0));
    place(db, pathBlock, new VRxDbLine(VRxGePoint3d(-6, 0, 0), VRxGePoint3d(6, 0, 0)), L"中心线层");
    VRxDbObjectId pathBlock2 = newBlock(db, kPathBlock2);
    place(db, pathBlock2, new VRxDbLine(VRxGePoint3d(0, 0, 0), VRxGePoint3d(3, 3, 0)));
    VRxDbObjectId cnBlock = newBlock(db, L"导柱孔");
    place(db, cnBlock, new VRxDbArc(VRxGePoint3d(0, 0, 0), 4.0, 0.0, 3.14159265358979 / 2));

    VRxDbObjectId ms = db.modelSpaceId();
    auto* line = new VRxDbLine(VRxGePoint3d(0, 0, 0), VRxGePoint3d(300, 0, 0));
    line->setColorIndex(1);
    line->setLineWeight(VRxDb::kLnWt000);
    line->setLinetypeScale(2.0);
    place(db, ms, line, L"中心线层", L"中心线");
    place(db, ms, new VRxDbArc(VRxGePoint3d(50, 50, 0), 10.0, 0.5, 2.5));
    place(db, ms, new VRxDbCircle(VRxGePoint3d(100, 50, 0), VRxGeVector3d(0, 0, 1), 12.5));
    auto* pl = new VRxDbPolyline;
    pl->addVertexAt(0, VRxGePoint2d(0, -50));
    pl->addVertexAt(1, VRxGePoint2d(40, -50), 0.41421356);
    pl->addVertexAt(2, VRxGePoint2d(50, -60));
    pl->setClosed(true);
    place(db, ms, pl);
    auto* text = new VRxDbText(VRxGePoint3d(10, 100, 0), L"A板 模架 300×350", tsId, 6.0, 0.0);
    VRxDbObjectId textId = place(db, ms, text);
    auto* centred = new VRxDbText(VRxGePoint3d(0, 0, 0), L"居中", tsId, 4.0, 3.14159265358979 / 2);
    centred->setHorizontalMode(VRxDb::kTextCenter);
    centred->setVerticalMode(VRxDb::kTextVertMid);
    centred->setAlignmentPoint(VRxGePoint3d(150, 120, 0));
    place(db, ms, centred, L"隐藏层");
    auto* mt = new VRxDbMText;
    mt->setLocation(VRxGePoint3d(200, 100, 0));
    mt->setContents(L"第一行\\P第二行");
    mt->setTextHeight(5.0);
    mt->setAttachment(VRxDbMText::kMiddleCenter);
    place(db, ms, mt);
    place(db, ms, new VRxDbSolid(VRxGePoint3d(0, 0, 0), VRxGePoint3d(2, 0, 0), VRxGePoint3d(1, 1, 0)));
    auto* ref = new VRxDbBlockReference(VRxGePoint3d(120, -40, 0), pathBlock);
    ref->setScaleFactors(VRxGeScale3d(2.0));
    ref->setRotation(3.14159265358979 / 2);
    place(db, ms, ref);
    place(db, ms, new VRxDbBlockReference(VRxGePoint3d(160, -40, 0), pathBlock));
    place(db, ms, new VRxDbBlockReference(VRxGePoint3d(200, -40, 0), pathBlock2));
    place(db, ms, new VRxDbBlockReference(VRxGePoint3d(240, -40, 0), cnBlock));
    place(db, ms, new VRxDbRotatedDimension(0.0, VRxGePoint3d(0, 0, 0), VRxGePoint3d(300, 0, 0),
                                            VRxGePoint3d(150, 30, 0), nullptr, dsId));
    place(db, ms, new VRxDbRotatedDimension(3.14159265358979 / 2, VRxGePoint3d(0, 0, 0), VRxGePoint3d(0, -350, 0),
                                            VRxGePoint3d(-30, -175, 0), L"<> 板厚", dsId));
    place(db, ms, new VRxDbRadialDimension(VRxGePoint3d(90, 40, 0), VRxGePoint3d(97.0710678, 47.0710678, 0), 10.0,
                                           nullptr, dsId));
    place(db, ms, new VRxDbDiametricDimension(VRxGePoint3d(112.5, 50, 0), VRxGePoint3d(87.5, 50, 0), 5.0, nullptr,
                                              dsId));
    auto* leader = new VRxDbDimLeader(VRxGePoint3d(30, -100, 0), {VRxGePoint3d(30, -80, 0)},
                                      VRxGePoint3d(12, -80, 0), L"OFFSET", L"", dsId);
    leader->setColorIndex(1);
    leader->setLineWeight(VRxDb::kLnWt000);
    VRxDbObjectId leaderId = place(db, ms, leader);
    place(db, db.paperSpaceId(), new VRxDbText(VRxGePoint3d(10, 10, 0), L"图纸空间", tsId, 3.5, 0.0));
    if (withApplicationData) addApplicationData(db, textId, leaderId);
}

// Entities of a block, of one kind.
template <class T>
std::vector<const T*> entitiesOf(const VRxDbDatabase& db, VRxDbObjectId block) {
    std::vector<const T*> out;
    const auto* rec = VRxDbBlockTableRecord::cast(vrxdbObjectAt(db, block));
    if (rec == nullptr) return out;
    for (VRxDbObjectId id : rec->entityIds())
        if (const T* e = T::cast(vrxdbObjectAt(db, id))) out.push_back(e);
    return out;
}

template <class T>
const T* recordNamed(const VRxDbDatabase& db, VRxDbObjectId table, const wchar_t* name) {
    return T::cast(vrxdbObjectAt(db, vrxdbRecordId(db, table, name)));
}

inline std::wstring nameOf(const VRxDbDatabase& db, VRxDbObjectId id) {
    const auto* r = VRxDbSymbolTableRecord::cast(vrxdbObjectAt(db, id));
    return r ? r->getName() : std::wstring(L"<none>");
}

// A scratch folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir() {
        char tmpl[] = "/tmp/dxftest.XXXXXX";
        const char* d = mkdtemp(tmpl);
        m_path = d ? d : "/tmp";
    }
    ~TempDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    std::string path(const std::string& name) const { return m_path + "/" + name; }
    std::wstring wpath(const std::string& name) const {
        std::string p = path(name);
        return std::wstring(p.begin(), p.end());
    }
    const std::string& dir() const { return m_path; }

private:
    std::string m_path;
};

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string narrow(const std::wstring& w) {
    std::string out;
    for (wchar_t c : w) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace dxftest
