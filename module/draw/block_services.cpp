// Block insertion from drawing files. A drawing file's model space becomes a
// block definition named by the file's path; the paper layout "Layout1" of the
// file is dropped first, so a file saved with that layout current still gives
// only its model content.
#include "draw/block_services.h"

#include <cmath>

#include "draw/entity_services.h"
#include "vrxed.h"

namespace {

VRxDbDatabase* workingDb() {
    VRxDbHostApplicationServices* services = vrxdbHostApplicationServices();
    return services != nullptr ? services->workingDatabase() : nullptr;
}

// Makes "model" the current paper where "Layout1" was, and erases "Layout1".
void dropLayout1(VRxDbDatabase& side) {
    VRxDbPaperTable* papers = nullptr;
    if (side.getPaperTable(papers, VRxDb::kForWrite) != Vrx::eOk) return;
    VRxDbPaperTableRecord* layout = nullptr;
    if (papers->getAt(L"Layout1", layout, VRxDb::kForWrite) != Vrx::eOk) layout = nullptr;
    if (layout != nullptr && papers->currentPaperId() == layout->objectId()) {
        VRxDbObjectId model;
        if (papers->getAt(L"model", model) == Vrx::eOk) papers->setCurrentPaper(model);
    }
    if (layout != nullptr) {
        layout->erase();
        layout->close();
    }
    papers->close();
}

}  // namespace

VRxDbObjectId insertStandardPart(const std::wstring& path, const VRxGePoint3d& position, double scale, double angle) {
    if (!fileExists(path.c_str())) {
        vrxutPrintf(L"\n无法找到文件%s", path.c_str());
        return VRxDbObjectId::kNull;
    }
    return insertBlockFromFile(path.c_str(), position, scale, angle);
}

VRxDbObjectId defineBlockFromFile(const wchar_t* path) {
    VRxDbDatabase* db = workingDb();
    if (path == nullptr || *path == L'\0' || db == nullptr) return VRxDbObjectId::kNull;
    VRxDbBlockTable* blocks = nullptr;
    if (db->getBlockTable(blocks, VRxDb::kForWrite) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId blockId;
    if (blocks->has(path)) {
        if (blocks->getAt(path, blockId) != Vrx::eOk) blockId = VRxDbObjectId::kNull;
        blocks->close();
        return blockId;
    }
    VRxDbDatabase* side = new VRxDbDatabase(false, true);
    if (side->readVdgFile(path, 64, false, nullptr) != Vrx::eOk &&
        side->readDwgFile(path, 64, false, nullptr) != Vrx::eOk) {
        blocks->close();
        delete side;
        return VRxDbObjectId::kNull;
    }
    dropLayout1(*side);
    // The table is let go before the host copies the definition in: insert adds
    // a record to it, and a host may refuse that while we still hold it for write.
    blocks->close();
    const Vrx::ErrorStatus es = db->insert(blockId, path, side, true);
    delete side;
    return es == Vrx::eOk ? blockId : VRxDbObjectId::kNull;
}

bool getBlockExtents(const wchar_t* name, VRxDbExtents& extents) {
    VRxDbDatabase* db = workingDb();
    if (name == nullptr || *name == L'\0' || db == nullptr) return false;
    VRxDbBlockTable* blocks = nullptr;
    if (db->getBlockTable(blocks, VRxDb::kForRead) != Vrx::eOk) return false;
    VRxDbObjectId blockId;
    const bool found = blocks->has(name) && blocks->getAt(name, blockId) == Vrx::eOk;
    blocks->close();
    VRxDbBlockTableRecord* block = nullptr;
    if (!found || vrxdbOpenObject(block, blockId, VRxDb::kForRead) != Vrx::eOk) return false;
    VRxDbBlockTableRecordIterator* it = nullptr;
    VRxDbExtents content;
    if (block->newIterator(it) == Vrx::eOk) {
        for (it->start(); !it->done(); it->step()) {
            VRxDbEntity* entity = nullptr;
            if (it->getEntity(entity, VRxDb::kForRead) != Vrx::eOk) continue;
            VRxDbExtents box;
            if (entity->getGeomExtents(box) == Vrx::eOk) content.addExt(box);
            entity->close();
        }
        delete it;
    }
    // Measured around the base point, where a reference's position puts it.
    const VRxGePoint3d base = block->origin();
    block->close();
    if (content.isEmpty()) return false;
    extents = VRxDbExtents(content.minPoint() - (base - VRxGePoint3d::kOrigin),
                           content.maxPoint() - (base - VRxGePoint3d::kOrigin));
    return true;
}

VRxDbObjectId insertBlockFromFile(const wchar_t* path, const VRxGePoint3d& position, double scale, double angle) {
    if (defineBlockFromFile(path).isNull()) return VRxDbObjectId::kNull;
    return insertBlockReference(path, position, scale, angle);
}

VRxDbObjectId insertBlockReference(const wchar_t* name, const VRxGePoint3d& position, double scale, double angle) {
    VRxDbDatabase* db = workingDb();
    if (name == nullptr || *name == L'\0' || db == nullptr) return VRxDbObjectId::kNull;
    VRxDbBlockTable* blocks = nullptr;
    if (db->getBlockTable(blocks, VRxDb::kForWrite) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId blockId;
    if (!blocks->has(name) || blocks->getAt(name, blockId) != Vrx::eOk) {
        blocks->close();
        return VRxDbObjectId::kNull;
    }
    const double pi = 4.0 * std::atan(1.0);
    VRxDbBlockReference* reference = new VRxDbBlockReference();
    reference->setPosition(position);
    reference->setScaleFactors(VRxGeScale3d(scale));
    reference->setRotation(angle * pi / 180.0);
    reference->setBlockTableRecord(blockId);

    VRxDbBlockTableRecord* space = nullptr;
    if (vrxdbOpenObject(space, db->currentSpaceId(), VRxDb::kForWrite) != Vrx::eOk) {
        delete reference;
        blocks->close();
        return VRxDbObjectId::kNull;
    }
    VRxDbObjectId id;
    if (space->appendVRxDbEntity(id, reference) != Vrx::eOk) {
        if (!reference->isDatabaseResident()) delete reference;
        space->close();
        blocks->close();
        return VRxDbObjectId::kNull;
    }
    reference->close();
    space->close();
    blocks->close();
    return id;
}
