// Draws one of every entity the module's drawing services make into a fresh
// drawing and saves it, so the services' output can be looked at in any DXF
// viewer: a plate outline with centre lines and dimensions, coloured and dashed
// lines, an arc, Chinese text, corner radius dimensions, an "OFFSET" leader and
// a block read from a drawing file and inserted twice.
//
//   drawing_services_sample [OUT.dxf]     (default out/drawing-services.dxf)
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "draw/block_services.h"
#include "draw/drawing_styles.h"
#include "draw/drawing_tools.h"
#include "draw/entity_services.h"
#include "draw/opened_object.h"
#include "vrxdb.h"
#include "vrxdxf.h"
#include "vrxdbobjecttable.h"

namespace {

std::string narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

bool addLinetype(VRxDbDatabase& db, const wchar_t* name, const wchar_t* comments, const std::vector<double>& dashes) {
    OpenedObject<VRxDbLinetypeTable> table;
    if (db.getLinetypeTable(table.receive(), VRxDb::kForWrite) != Vrx::eOk) return false;
    auto linetype = std::make_unique<VRxDbLinetypeTableRecord>();
    if (linetype->setName(name) != Vrx::eOk) return false;
    linetype->setComments(comments);
    linetype->setDashes(dashes);
    if (table->add(linetype.get()) != Vrx::eOk) return false;
    OpenedObject<VRxDbLinetypeTableRecord> added(linetype.release());
    return true;
}

bool addLayer(VRxDbDatabase& db, const wchar_t* name, uint16_t color, const wchar_t* linetype) {
    OpenedObject<VRxDbLayerTable> table;
    if (db.getLayerTable(table.receive(), VRxDb::kForWrite) != Vrx::eOk) return false;
    auto layer = std::make_unique<VRxDbLayerTableRecord>();
    if (layer->setName(name) != Vrx::eOk) return false;
    layer->setColor(VRxCmColor(color));
    layer->setLinetypeName(linetype);
    if (table->add(layer.get()) != Vrx::eOk) return false;
    OpenedObject<VRxDbLayerTableRecord> added(layer.release());
    return true;
}

// What a drawing template brings: the centre-line layer with its linetype, and
// the dashed linetype pockets are drawn with. The module itself makes neither.
bool prepareTemplate(VRxDbDatabase& db) {
    return addLinetype(db, L"中心线", L"Center ____ _ ____ _ ____", {31.75, -6.35, 6.35, -6.35}) &&
           addLinetype(db, L"虚线", L"Dashed __ __ __ __", {6.35, -3.175}) &&
           addLayer(db, L"中心线层", 1, L"中心线");
}

// A small standard part drawing: a 40 x 20 block with a hole, drawn about its origin.
bool writeBlockDrawing(const std::wstring& path) {
    VRxDbDatabase part(true, true);
    const VRxDbObjectId model = part.modelSpaceId();
    vrxdbAddEntityTo(part, model, new VRxDbLine(VRxGePoint3d(-20, -10), VRxGePoint3d(20, -10)));
    vrxdbAddEntityTo(part, model, new VRxDbLine(VRxGePoint3d(20, -10), VRxGePoint3d(20, 10)));
    vrxdbAddEntityTo(part, model, new VRxDbLine(VRxGePoint3d(20, 10), VRxGePoint3d(-20, 10)));
    vrxdbAddEntityTo(part, model, new VRxDbLine(VRxGePoint3d(-20, 10), VRxGePoint3d(-20, -10)));
    vrxdbAddEntityTo(part, model, new VRxDbCircle(VRxGePoint3d(0, 0), VRxGeVector3d(0, 0, 1), 6));
    std::wstring error;
    if (VRxDxf::writeDxfFile(part, path, error) != Vrx::eOk) {
        std::fprintf(stderr, "cannot write the block drawing %s: %s\n", narrow(path).c_str(), narrow(error).c_str());
        return false;
    }
    return true;
}

int run(const std::wstring& outPath) {
    VRxDbDatabase db(true);
    vrxdbHostApplicationServices()->setWorkingDatabase(&db);
    if (!prepareTemplate(db)) {
        std::fprintf(stderr, "cannot prepare the drawing's layers and linetypes\n");
        return 1;
    }
    if (!setupDrawingStyles(6.0)) {
        std::fprintf(stderr, "cannot set up the text and dimension styles\n");
        return 1;
    }
    const double s = drawingScale;
    const double pi = 4.0 * std::atan(1.0);
    DrawingTools* tools = DrawingTools::instance();

    // A 300 x 350 plate in plan view with its centre lines and size dimensions.
    SideLineMap sides;
    VRxDbObjectIdArray centreLines;
    tools->drawRectangle(VRxGePoint3d(0, 0), 300, 350, sides);
    tools->drawCentreLines(VRxGePoint3d(0, 0), 300, 350, centreLines, L"A1");
    addRotatedDimension(VRxGePoint3d(0, 0), VRxGePoint3d(300, 0), VRxGePoint3d(150, 3 * s), 0.0, nullptr,
                        dimStyleId);
    addRotatedDimension(VRxGePoint3d(0, 0), VRxGePoint3d(0, -350), VRxGePoint3d(-3 * s, -175), pi / 2, nullptr,
                        dimStyleId);

    // A pocket 180 x 230 with rounded corners: dashed straight edges between the arcs.
    // Each rounded corner is dimensioned from its sharp corner point: the radius
    // runs from the arc's centre out through the arc at 45 degrees.
    const double r = 12.0;
    const VRxGePoint3d corners[] = {{240, -60}, {240, -290}, {60, -290}, {60, -60}};
    const VRxGeVector3d toCentre[] = {{-r, -r, 0}, {-r, r, 0}, {r, r, 0}, {r, -r, 0}};
    const double startAngles[] = {0.0, 1.5 * pi, pi, 0.5 * pi};
    for (int code = 4; code <= 7; ++code) {
        const int i = code - 4;
        addArc(corners[i] + toCentre[i], VRxGeVector3d(0, 0, 1), r, startAngles[i], startAngles[i] + pi / 2);
        tools->addCornerRadiusDimension(corners[i], 0, code, r);
    }
    addLine(VRxGePoint3d(60 + r, -60), VRxGePoint3d(240 - r, -60), -1, L"虚线");
    addLine(VRxGePoint3d(240, -60 - r), VRxGePoint3d(240, -290 + r), -1, L"虚线");
    addLine(VRxGePoint3d(240 - r, -290), VRxGePoint3d(60 + r, -290), -1, L"虚线");
    addLine(VRxGePoint3d(60, -290 + r), VRxGePoint3d(60, -60 - r), -1, L"虚线");

    // Coloured lines, an arc through three points and a text in Chinese.
    addLine(VRxGePoint3d(360, 0), VRxGePoint3d(480, 0), 1);
    addLine(VRxGePoint3d(360, -20), VRxGePoint3d(480, -20), 3);
    addLine(VRxGePoint3d(360, -40), VRxGePoint3d(480, -40), 5, L"虚线");
    addArcThroughPoints(VRxGePoint2d(480, -120), VRxGePoint2d(420, -60), VRxGePoint2d(360, -120));
    addText(VRxGePoint3d(360, -170), L"A板 300×350 模架", textStyleId, 2.0 * s, 0.0);

    // The guide pillar "OFFSET" leader.
    addDimLeader(VRxGePoint3d(30, -30), {VRxGePoint3d(-30, 30)}, VRxGePoint3d(-30 - 6 * s, 30), L"OFFSET", nullptr,
                 dimStyleId);

    // A standard part read from its drawing file, inserted twice: one definition.
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec) / "zdt_drawing_services_sample";
    std::filesystem::create_directories(folder, ec);
    const std::wstring blockFile = (folder / "EYEBOLT.dwg").wstring();
    if (!writeBlockDrawing(blockFile)) return 1;
    if (!fileExists(blockFile.c_str()) ||
        insertBlockFromFile(blockFile.c_str(), VRxGePoint3d(380, -260), 1.0, 0.0).isNull() ||
        insertBlockFromFile(blockFile.c_str(), VRxGePoint3d(460, -260), 1.5, 90.0).isNull()) {
        std::fprintf(stderr, "cannot insert the block drawing %s\n", narrow(blockFile).c_str());
        return 1;
    }
    std::filesystem::remove_all(folder, ec);

    if (db.openObjectCount() != 0) {
        std::fprintf(stderr, "%d objects were left open\n", db.openObjectCount());
        return 1;
    }
    const std::filesystem::path out(outPath);
    if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path(), ec);
    const Vrx::ErrorStatus es = db.saveAs(outPath.c_str());
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
    if (es != Vrx::eOk) {
        std::fprintf(stderr, "cannot save %s: %ls\n", narrow(outPath).c_str(), Vrx::statusText(es));
        return 1;
    }
    std::printf("saved %s\n", out.string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::filesystem::path out = argc > 1 ? std::filesystem::path(argv[1]) : "out/drawing-services.dxf";
    return run(out.wstring());
}
