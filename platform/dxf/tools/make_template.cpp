// Generates the default drawing template of zdtcad (data/templates/zdt_template.dxf):
// what a mould designer's drawing starts from. Run by hand when the template
// should change; the file it writes is checked in, as users may replace it.
//   zdt_make_template OUT.dxf
#include <cstdio>
#include <string>

#include "vrxdb.h"
#include "vrxdxf.h"
#include "vrxdbobjecttable.h"

namespace {

bool addLinetype(VRxDbDatabase& db, const wchar_t* name, const wchar_t* comments, const std::vector<double>& dashes) {
    auto* lt = new VRxDbLinetypeTableRecord;
    lt->setName(name);
    lt->setComments(comments);
    lt->setDashes(dashes);
    VRxDbObjectId id;
    if (vrxdbAddRecordTo(db, db.linetypeTableId(), lt, id) != Vrx::eOk) {
        delete lt;
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.dxf\n", argv[0]);
        return 2;
    }
    VRxDbDatabase db;
    // Millimetre patterns: hidden edges 6 on 3 off; centre lines long dash, gap, short dash, gap.
    bool ok = addLinetype(db, L"虚线", L"Dashed __ __ __", {6.0, -3.0});
    ok = addLinetype(db, L"中心线", L"Center ____ _ ____ _", {24.0, -3.0, 6.0, -3.0}) && ok;
    auto* centre = new VRxDbLayerTableRecord;
    centre->setName(L"中心线层");
    centre->setColor(VRxCmColor(1));
    centre->setLinetypeName(L"中心线");
    VRxDbObjectId id;
    if (vrxdbAddRecordTo(db, db.layerTableId(), centre, id) != Vrx::eOk) {
        delete centre;
        ok = false;
    }
    if (!ok) {
        std::fprintf(stderr, "the template's records could not be made\n");
        return 1;
    }
    std::wstring path;
    for (const char* p = argv[1]; *p; ++p) path += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    std::wstring error;
    if (VRxDxf::writeDxfFile(db, path, error) != Vrx::eOk) {
        std::fprintf(stderr, "%ls\n", error.c_str());
        return 1;
    }
    return 0;
}
