// The entity services: one new entity per call, appended to the current space
// of the working database. Nothing here reports to the user; a failure shows as
// a null id (or false) and leaves the drawing as it was.
#include "draw/entity_services.h"

#include "afxstub.h"

namespace {

VRxDbDatabase* workingDb() {
    VRxDbHostApplicationServices* services = vrxdbHostApplicationServices();
    return services != nullptr ? services->workingDatabase() : nullptr;
}

}  // namespace

VRxDbObjectId appendToCurrentSpace(VRxDbEntity* entity) {
    if (entity == nullptr) return VRxDbObjectId::kNull;
    VRxDbDatabase* db = workingDb();
    VRxDbBlockTableRecord* space = nullptr;
    if (db == nullptr || vrxdbOpenObject(space, db->currentSpaceId(), VRxDb::kForWrite) != Vrx::eOk) {
        // The entity never became the drawing's, so it is still ours to free.
        delete entity;
        return VRxDbObjectId::kNull;
    }
    VRxDbObjectId id;
    if (space->appendVRxDbEntity(id, entity) != Vrx::eOk) {
        space->close();
        if (!entity->isDatabaseResident()) delete entity;
        return VRxDbObjectId::kNull;
    }
    space->close();
    entity->close();
    return id;
}

VRxDbObjectId addLine(const VRxGePoint3d& start, const VRxGePoint3d& end, int colorIndex, const wchar_t* linetype) {
    VRxDbLine* line = new VRxDbLine(start, end);
    if (colorIndex != -1) line->setColorIndex(static_cast<uint16_t>(colorIndex));
    if (linetype != nullptr) line->setLinetype(linetype);
    return appendToCurrentSpace(line);
}

VRxDbObjectId addArc(const VRxGePoint3d& centre, const VRxGeVector3d& normal, double radius, double startAngle,
                     double endAngle) {
    return appendToCurrentSpace(new VRxDbArc(centre, normal, radius, startAngle, endAngle));
}

VRxDbObjectId addArcThroughPoints(const VRxGePoint2d& first, const VRxGePoint2d& middle, const VRxGePoint2d& last) {
    VRxGeCircArc2d circle(first, middle, last);
    // Three points on a line fix no circle; a zero-radius arc would only be litter.
    if (!circle.isValid()) return VRxDbObjectId::kNull;
    const VRxGePoint2d centre = circle.center();
    const double startAngle = (first - centre).angle();
    const double endAngle = (last - centre).angle();
    return addArc(VRxGePoint3d(centre.x, centre.y, 0.0), VRxGeVector3d(0, 0, 1), circle.radius(), startAngle,
                  endAngle);
}

VRxDbObjectId addText(const VRxGePoint3d& position, const wchar_t* text, VRxDbObjectId style, double height,
                      double rotation) {
    return appendToCurrentSpace(new VRxDbText(position, text != nullptr ? text : L"", style, height, rotation));
}

VRxDbObjectId addRotatedDimension(const VRxGePoint3d& xLine1, const VRxGePoint3d& xLine2,
                                  const VRxGePoint3d& dimLine, double rotation, const wchar_t* text,
                                  VRxDbObjectId style) {
    return appendToCurrentSpace(new VRxDbRotatedDimension(rotation, xLine1, xLine2, dimLine, text, style));
}

VRxDbObjectId addRadialDimension(const VRxGePoint3d& centre, const VRxGePoint3d& chordPoint, double leaderLength,
                                 const wchar_t* text, VRxDbObjectId style) {
    return appendToCurrentSpace(new VRxDbRadialDimension(centre, chordPoint, leaderLength, text, style));
}

VRxDbObjectId addDimLeader(const VRxGePoint3d& start, const std::vector<VRxGePoint3d>& vertices,
                           const VRxGePoint3d& end, const wchar_t* text1, const wchar_t* text2,
                           VRxDbObjectId style) {
    VRxDbDimLeader* leader = new VRxDbDimLeader(start, vertices, end, text1, text2, style);
    leader->setColorIndex(1);
    leader->setLineWeight(VRxDb::kLnWt000);
    return appendToCurrentSpace(leader);
}

VRxDbEntity* openEntity(VRxDbObjectId id, VRxDb::OpenMode mode) {
    VRxDbEntity* entity = nullptr;
    if (vrxdbOpenVRxDbEntity(entity, id, mode, false) != Vrx::eOk) return nullptr;
    return entity;
}

VRxDbObjectId findLayer(const wchar_t* name) {
    VRxDbDatabase* db = workingDb();
    if (name == nullptr || db == nullptr) return VRxDbObjectId::kNull;
    VRxDbLayerTable* layers = nullptr;
    if (db->getLayerTable(layers, VRxDb::kForRead) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId id;
    if (layers->has(name) && layers->getAt(name, id) != Vrx::eOk) id = VRxDbObjectId::kNull;
    layers->close();
    return id;
}

bool applyLayerStyle(VRxDbObjectIdArray* ids, const wchar_t* layerName, int colorIndex) {
    const VRxDbObjectId layer = findLayer(layerName);
    if (layer.isNull()) {
        delete ids;
        return false;
    }
    if (ids != nullptr) {
        for (const VRxDbObjectId& id : *ids) {
            VRxDbEntity* entity = openEntity(id, VRxDb::kForWrite);
            if (entity == nullptr) continue;  // erased or held open elsewhere: left as it is
            entity->setLayer(layer);
            if (colorIndex > 0) entity->setColorIndex(static_cast<uint16_t>(colorIndex));
            entity->setLinetype(L"ByLayer");
            entity->setLineWeight(VRxDb::kLnWtByLayer);
            entity->close();
        }
    }
    delete ids;
    return true;
}

bool fileExists(const wchar_t* path) {
    // A null path would mean "*" to the finder: anything in the current folder.
    if (path == nullptr || *path == L'\0') return false;
    CFileFind finder;
    return finder.FindFile(path) != FALSE;
}
