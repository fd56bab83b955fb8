// The entity services: one new entity per call, appended to the current space
// of the working database. Nothing here reports to the user; a failure shows as
// a null id (or false) and leaves the drawing as it was.
#include "draw/entity_services.h"

#include "afxstub.h"
#include "draw/opened_object.h"

namespace {

VRxDbDatabase* workingDb() {
    VRxDbHostApplicationServices* services = vrxdbHostApplicationServices();
    return services != nullptr ? services->workingDatabase() : nullptr;
}

}  // namespace

VRxDbObjectId appendToCurrentSpace(std::unique_ptr<VRxDbEntity> entity) {
    if (entity == nullptr) return VRxDbObjectId::kNull;
    VRxDbDatabase* db = workingDb();
    OpenedObject<VRxDbBlockTableRecord> space;
    // Until the space takes it, the entity is ours and goes with us.
    if (db == nullptr || space.open(db->currentSpaceId(), VRxDb::kForWrite) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId id;
    if (space->appendVRxDbEntity(id, entity.get()) != Vrx::eOk) {
        if (entity->isDatabaseResident()) entity.release();
        return VRxDbObjectId::kNull;
    }
    // The space owns it now and left it open for us.
    OpenedObject<VRxDbEntity> appended(entity.release());
    return id;
}

VRxDbObjectId addLine(const VRxGePoint3d& start, const VRxGePoint3d& end, int colorIndex, const wchar_t* linetype) {
    auto line = std::make_unique<VRxDbLine>(start, end);
    // A colour or linetype the drawing does not know leaves the line in its layer's: still drawn.
    if (colorIndex != -1)
        Vrx::dropStatus(line->setColorIndex(static_cast<uint16_t>(colorIndex)), "an unknown colour stays ByLayer");
    if (linetype != nullptr) Vrx::dropStatus(line->setLinetype(linetype), "an unknown linetype stays ByLayer");
    return appendToCurrentSpace(std::move(line));
}

VRxDbObjectId addArc(const VRxGePoint3d& centre, const VRxGeVector3d& normal, double radius, double startAngle,
                     double endAngle) {
    return appendToCurrentSpace(std::make_unique<VRxDbArc>(centre, normal, radius, startAngle, endAngle));
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
    return appendToCurrentSpace(
        std::make_unique<VRxDbText>(position, text != nullptr ? text : L"", style, height, rotation));
}

VRxDbObjectId addRotatedDimension(const VRxGePoint3d& xLine1, const VRxGePoint3d& xLine2,
                                  const VRxGePoint3d& dimLine, double rotation, const wchar_t* text,
                                  VRxDbObjectId style) {
    return appendToCurrentSpace(
        std::make_unique<VRxDbRotatedDimension>(rotation, xLine1, xLine2, dimLine, text, style));
}

VRxDbObjectId addRadialDimension(const VRxGePoint3d& centre, const VRxGePoint3d& chordPoint, double leaderLength,
                                 const wchar_t* text, VRxDbObjectId style) {
    return appendToCurrentSpace(
        std::make_unique<VRxDbRadialDimension>(centre, chordPoint, leaderLength, text, style));
}

VRxDbObjectId addDimLeader(const VRxGePoint3d& start, const std::vector<VRxGePoint3d>& vertices,
                           const VRxGePoint3d& end, const wchar_t* text1, const wchar_t* text2,
                           VRxDbObjectId style) {
    auto leader = std::make_unique<VRxDbDimLeader>(start, vertices, end, text1, text2, style);
    if (Vrx::firstFailure({leader->setColorIndex(1), leader->setLineWeight(VRxDb::kLnWt000)}) != Vrx::eOk)
        return VRxDbObjectId::kNull;
    return appendToCurrentSpace(std::move(leader));
}

VRxDbEntity* openEntity(VRxDbObjectId id, VRxDb::OpenMode mode) {
    VRxDbEntity* entity = nullptr;
    if (vrxdbOpenVRxDbEntity(entity, id, mode, false) != Vrx::eOk) return nullptr;
    return entity;
}

VRxDbObjectId findLayer(const wchar_t* name) {
    VRxDbDatabase* db = workingDb();
    if (name == nullptr || db == nullptr) return VRxDbObjectId::kNull;
    OpenedObject<VRxDbLayerTable> layers;
    if (db->getLayerTable(layers.receive(), VRxDb::kForRead) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId id;
    if (layers->has(name) && layers->getAt(name, id) != Vrx::eOk) id = VRxDbObjectId::kNull;
    return id;
}

bool applyLayerStyle(std::unique_ptr<VRxDbObjectIdArray> ids, const wchar_t* layerName, int colorIndex) {
    const VRxDbObjectId layer = findLayer(layerName);
    if (layer.isNull()) return false;
    if (ids != nullptr) {
        for (const VRxDbObjectId& id : *ids) {
            OpenedObject<VRxDbEntity> entity(openEntity(id, VRxDb::kForWrite));
            if (!entity) continue;  // erased or held open elsewhere: left as it is
            // The layer was just found and the values are the host's own: these cannot fail.
            Vrx::dropStatus(Vrx::firstFailure({entity->setLayer(layer),
                                               colorIndex > 0 ? entity->setColorIndex(static_cast<uint16_t>(colorIndex))
                                                              : Vrx::eOk,
                                               entity->setLinetype(L"ByLayer"),
                                               entity->setLineWeight(VRxDb::kLnWtByLayer)}),
                            "a found layer, ByLayer and a colour index 1..255 are always accepted");
        }
    }
    return true;
}

bool fileExists(const wchar_t* path) {
    // A null path would mean "*" to the finder: anything in the current folder.
    if (path == nullptr || *path == L'\0') return false;
    CFileFind finder;
    return finder.FindFile(path) != FALSE;
}
