// Block insertion from drawing files. A drawing file's model space becomes a
// block definition named by the file's path; the paper layout "Layout1" of the
// file is dropped first, so a file saved with that layout current still gives
// only its model content.
#include "draw/block_services.h"

#include <cmath>
#include <memory>

#include "draw/entity_services.h"
#include "draw/opened_object.h"
#include "vrxed.h"

namespace {

VRxDbDatabase* workingDb() {
    VRxDbHostApplicationServices* services = vrxdbHostApplicationServices();
    return services != nullptr ? services->workingDatabase() : nullptr;
}

// Makes "model" the current paper where "Layout1" was, and erases "Layout1".
void dropLayout1(VRxDbDatabase& side) {
    OpenedObject<VRxDbPaperTable> papers;
    if (side.getPaperTable(papers.receive(), VRxDb::kForWrite) != Vrx::eOk) return;
    OpenedObject<VRxDbPaperTableRecord> layout;
    if (papers->getAt(L"Layout1", layout.receive(), VRxDb::kForWrite) != Vrx::eOk || !layout) return;
    if (papers->currentPaperId() == layout->objectId()) {
        VRxDbObjectId model;
        if (papers->getAt(L"model", model) == Vrx::eOk)
            Vrx::dropStatus(papers->setCurrentPaper(model), "a paper of the table just found is always current-able");
    }
    // A layout that stays only keeps a paper nobody inserts: the model space is what is copied.
    Vrx::dropStatus(layout->erase(), "a kept Layout1 changes nothing of the inserted block");
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
    OpenedObject<VRxDbBlockTable> blocks;
    if (db->getBlockTable(blocks.receive(), VRxDb::kForWrite) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId blockId;
    if (blocks->has(path)) {
        if (blocks->getAt(path, blockId) != Vrx::eOk) blockId = VRxDbObjectId::kNull;
        return blockId;
    }
    auto side = std::make_unique<VRxDbDatabase>(false, true);
    if (side->readVdgFile(path, 64, false, nullptr) != Vrx::eOk &&
        side->readDwgFile(path, 64, false, nullptr) != Vrx::eOk)
        return VRxDbObjectId::kNull;
    dropLayout1(*side);
    // The table is let go before the host copies the definition in: insert adds
    // a record to it, and a host may refuse that while we still hold it for write.
    blocks.reset();
    const Vrx::ErrorStatus es = db->insert(blockId, path, side.get(), true);
    return es == Vrx::eOk ? blockId : VRxDbObjectId::kNull;
}

bool getBlockExtents(const wchar_t* name, VRxDbExtents& extents) {
    VRxDbDatabase* db = workingDb();
    if (name == nullptr || *name == L'\0' || db == nullptr) return false;
    VRxDbObjectId blockId;
    {
        OpenedObject<VRxDbBlockTable> blocks;
        if (db->getBlockTable(blocks.receive(), VRxDb::kForRead) != Vrx::eOk) return false;
        if (!blocks->has(name) || blocks->getAt(name, blockId) != Vrx::eOk) return false;
    }
    OpenedObject<VRxDbBlockTableRecord> block;
    if (block.open(blockId, VRxDb::kForRead) != Vrx::eOk) return false;
    VRxDbExtents content;
    VRxDbBlockTableRecordIterator* iterator = nullptr;
    if (block->newIterator(iterator) == Vrx::eOk) {
        std::unique_ptr<VRxDbBlockTableRecordIterator> it(iterator);
        for (it->start(); !it->done(); it->step()) {
            OpenedObject<VRxDbEntity> entity;
            if (it->getEntity(entity.receive(), VRxDb::kForRead) != Vrx::eOk) continue;
            VRxDbExtents box;
            if (entity->getGeomExtents(box) == Vrx::eOk) content.addExt(box);
        }
    }
    // Measured around the base point, where a reference's position puts it.
    const VRxGePoint3d base = block->origin();
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
    OpenedObject<VRxDbBlockTable> blocks;
    if (db->getBlockTable(blocks.receive(), VRxDb::kForWrite) != Vrx::eOk) return VRxDbObjectId::kNull;
    VRxDbObjectId blockId;
    if (!blocks->has(name) || blocks->getAt(name, blockId) != Vrx::eOk) return VRxDbObjectId::kNull;
    const double pi = 4.0 * std::atan(1.0);
    auto reference = std::make_unique<VRxDbBlockReference>();
    if (Vrx::firstFailure({reference->setPosition(position), reference->setScaleFactors(VRxGeScale3d(scale)),
                           reference->setRotation(angle * pi / 180.0), reference->setBlockTableRecord(blockId)}) !=
        Vrx::eOk)
        return VRxDbObjectId::kNull;
    return appendToCurrentSpace(std::move(reference));
}
