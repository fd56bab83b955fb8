// Copying another drawing's model space into this one as a block definition:
// the entities are cloned, and the layers, linetypes, styles and nested blocks
// they use come along unless this drawing already has a record of that name,
// which then wins. The source drawing is only read.
#include <map>

#include "vrxdb.h"
#include "vrxnames.h"
#include "vrxdbobjecttable.h"

namespace {

class DrawingCopier {
public:
    DrawingCopier(VRxDbDatabase& dest, const VRxDbDatabase& source) : m_dest(dest), m_source(source) {}

    // Copies the non-erased entities of a source block into a block of this drawing.
    void copyEntities(VRxDbObjectId sourceBlock, VRxDbObjectId destBlock) {
        auto* block = VRxDbBlockTableRecord::cast(vrxdbObjectAt(m_source, sourceBlock));
        if (block == nullptr) return;
        for (VRxDbObjectId id : block->entityIds()) {
            auto* entity = VRxDbEntity::cast(vrxdbObjectAt(m_source, id));
            if (entity == nullptr) continue;
            auto* copy = VRxDbEntity::cast(entity->clone());
            if (copy == nullptr) continue;
            ensureLayer(entity->layerRef());
            ensureLinetype(entity->linetypeRef());
            remapIds(*copy);
            vrxdbAddEntityTo(m_dest, destBlock, copy);
        }
    }

    // Marks the new block as what the source's model space becomes, so a source
    // entity referring to its own model space cannot nest the block in itself.
    void mapSpace(VRxDbObjectId sourceSpace, VRxDbObjectId destBlock) { m_map[sourceSpace] = destBlock; }

private:
    void remapIds(VRxDbObject& object) {
        std::vector<VRxDbObjectId*> refs;
        object.referencedIds(refs);
        for (VRxDbObjectId* ref : refs) {
            if (ref == nullptr || ref->isNull()) continue;
            if (ref->database() == &m_dest) continue;  // already one of ours
            *ref = ref->database() == &m_source ? mapRecord(*ref) : VRxDbObjectId::kNull;
        }
    }

    VRxDbObjectId destTableFor(VRxDbKind recordKind) const {
        switch (recordKind) {
            case VRxDbKind::BlockTableRecord: return m_dest.blockTableId();
            case VRxDbKind::LayerTableRecord: return m_dest.layerTableId();
            case VRxDbKind::LinetypeTableRecord: return m_dest.linetypeTableId();
            case VRxDbKind::TextStyleTableRecord: return m_dest.textStyleTableId();
            case VRxDbKind::DimStyleTableRecord: return m_dest.dimStyleTableId();
            default: return VRxDbObjectId::kNull;  // papers and anything else stay behind
        }
    }

    VRxDbObjectId mapRecord(VRxDbObjectId sourceId) {
        auto found = m_map.find(sourceId);
        if (found != m_map.end()) return found->second;
        auto* record = VRxDbSymbolTableRecord::cast(vrxdbObjectAt(m_source, sourceId));
        VRxDbObjectId table = record ? destTableFor(record->kind()) : VRxDbObjectId::kNull;
        if (record == nullptr || table.isNull()) return m_map[sourceId] = VRxDbObjectId::kNull;
        auto* block = VRxDbBlockTableRecord::cast(record);
        if (block != nullptr && block->isLayout()) return m_map[sourceId] = VRxDbObjectId::kNull;

        // Anonymous blocks are numbered per drawing, so "*U3" there is not "*U3" here.
        bool anonymous = block != nullptr && block->isAnonymous();
        if (!anonymous) {
            VRxDbObjectId existing = vrxdbRecordId(m_dest, table, record->getName().c_str());
            if (!existing.isNull()) return m_map[sourceId] = existing;
        }
        auto* copy = VRxDbSymbolTableRecord::cast(record->clone());
        if (copy == nullptr) return m_map[sourceId] = VRxDbObjectId::kNull;
        if (anonymous) copy->setName(record->getName().rfind(L"*D", 0) == 0 ? L"*D" : L"*U");
        VRxDbObjectId id;
        if (vrxdbAddRecordTo(m_dest, table, copy, id) != Vrx::eOk) {
            delete copy;
            return m_map[sourceId] = VRxDbObjectId::kNull;
        }
        m_map[sourceId] = id;  // before recursing: a block may refer to itself
        remapIds(*copy);
        if (auto* layer = VRxDbLayerTableRecord::cast(copy)) ensureLinetype(layer->linetypeName());
        if (block != nullptr) copyEntities(sourceId, id);
        return id;
    }

    void ensureLayer(const std::wstring& name) {
        VRxDbObjectId sourceId = vrxdbRecordId(m_source, m_source.layerTableId(), name.c_str());
        if (!sourceId.isNull()) mapRecord(sourceId);
    }

    void ensureLinetype(const std::wstring& name) {
        VRxDbObjectId sourceId = vrxdbRecordId(m_source, m_source.linetypeTableId(), name.c_str());
        if (!sourceId.isNull()) mapRecord(sourceId);
    }

    VRxDbDatabase& m_dest;
    const VRxDbDatabase& m_source;
    std::map<VRxDbObjectId, VRxDbObjectId> m_map;
};

}  // namespace

Vrx::ErrorStatus VRxDbDatabase::insert(VRxDbObjectId& blockId, const wchar_t* blockName, VRxDbDatabase* source,
                                       bool preserveSourceDatabase) {
    // The source is always copied, never taken apart, so it stays usable either way.
    (void)preserveSourceDatabase;
    blockId = VRxDbObjectId::kNull;
    if (source == nullptr) return Vrx::eNoDatabase;
    if (blockName == nullptr || *blockName == L'\0') return Vrx::eInvalidInput;
    if (source == this) return Vrx::eInvalidInput;
    if (m_blockTable.isNull()) return Vrx::eNoDatabase;
    VRxDbObjectId sourceSpace = source->modelSpaceId();
    if (sourceSpace.isNull()) return Vrx::eInvalidInput;
    if (!recordId(m_blockTable, blockName).isNull()) return Vrx::eDuplicateKey;

    // The caller may well hold the block table open while it inserts, so the new
    // definition goes in directly rather than through the table's own add.
    auto* block = new VRxDbBlockTableRecord;
    block->setName(blockName);
    if (auto* space = VRxDbBlockTableRecord::cast(vrxdbObjectAt(*source, sourceSpace))) block->setOrigin(space->origin());
    VRxDbObjectId id;
    Vrx::ErrorStatus es = addRecordTo(m_blockTable, block, id);
    if (es != Vrx::eOk) {
        delete block;
        return es;
    }
    DrawingCopier copier(*this, *source);
    copier.mapSpace(sourceSpace, id);
    copier.copyEntities(sourceSpace, id);
    blockId = id;
    return Vrx::eOk;
}
