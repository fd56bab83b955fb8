// Copying a whole drawing database, for drawings read from files that are
// read again and again (the host keeps a parsed copy of a standard part's
// drawing and hands out copies of it). Objects keep their order, so a copy
// is what reading the file again would have made; only the handles differ.
#include "vrxdb.h"

namespace {

// Only the root dictionary may exist, and it must be empty: entries are objects
// of their own that a plain copy of the dictionary would leave behind.
bool isPlain(const VRxDbObject& object, VRxDbObjectId root) {
    if (!object.extensionDictionary().isNull()) return false;
    if (object.kind() == VRxDbKind::Xrecord) return false;
    if (object.kind() == VRxDbKind::Dictionary)
        return object.objectId() == root && static_cast<const VRxDbDictionary&>(object).entries().empty();
    return true;
}

}  // namespace

bool VRxDbDatabase::copyPlainDrawing(const VRxDbDatabase& source) {
    if (&source == this || openObjectCount() != 0 || source.openObjectCount() != 0) return false;
    for (const auto& object : source.m_objects)
        if (!isPlain(*object, source.m_namedObjects)) return false;

    clear();
    const uint64_t from = source.m_firstHandle, to = m_firstHandle;
    const uint64_t count = source.m_objects.size();
    // An id of the source names the object at the same place here.
    auto map = [&](VRxDbObjectId id) {
        if (id.m_db != source.m_serial || id.m_handle < from || id.m_handle - from >= count) return id;
        return VRxDbObjectId(m_serial, id.m_handle - from + to);
    };
    m_objects.reserve(count);
    for (const auto& object : source.m_objects) {
        VRxDbObject* copy = object->clone();
        copy->m_id = map(object->m_id);
        copy->m_owner = map(object->m_owner);
        copy->m_erased = object->m_erased;
        std::vector<VRxDbObjectId*> references;
        copy->referencedIds(references);
        for (VRxDbObjectId* reference : references) *reference = map(*reference);
        // What a clone leaves out or copies as it stands: the tables' records and
        // name index, a block's entities, the current paper.
        if (auto* table = VRxDbSymbolTable::cast(copy)) {
            for (VRxDbObjectId& id : table->m_records) id = map(id);
            for (auto& named : table->m_byName) named.second = map(named.second);
            if (auto* papers = VRxDbPaperTable::cast(copy)) papers->m_current = map(papers->m_current);
        } else if (auto* block = VRxDbBlockTableRecord::cast(copy)) {
            const auto& original = static_cast<const VRxDbBlockTableRecord&>(*object);
            block->m_entities.reserve(original.m_entities.size());
            for (VRxDbObjectId id : original.m_entities) block->m_entities.push_back(map(id));
        }
        m_objects.emplace_back(copy);
        ++m_nextHandle;
    }
    m_blockTable = map(source.m_blockTable);
    m_layerTable = map(source.m_layerTable);
    m_linetypeTable = map(source.m_linetypeTable);
    m_textStyleTable = map(source.m_textStyleTable);
    m_dimStyleTable = map(source.m_dimStyleTable);
    m_paperTable = map(source.m_paperTable);
    m_namedObjects = map(source.m_namedObjects);
    m_clayer = map(source.m_clayer);
    m_textstyle = map(source.m_textstyle);
    m_dimstyle = map(source.m_dimstyle);
    m_header = source.m_header;
    return true;
}
