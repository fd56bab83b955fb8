// The drawing database: the process-wide registry that lets ids find their
// database, object storage and handles, the tables, the default drawing and the
// header values. Ids of a deleted database stop resolving because the database
// leaves the registry before its objects go.
#include <atomic>
#include <cwchar>
#include <map>
#include <mutex>

#include "vrxdb.h"
#include "vrxnames.h"
#include "vrxdbobjecttable.h"

namespace {

struct Registry {
    std::mutex lock;
    std::map<uint32_t, VRxDbDatabase*> live;
    uint32_t lastSerial = 0;
    // Counts the databases that left; a thread's last answer of fromSerial
    // stands while it has not changed (every object opening asks).
    std::atomic<uint64_t> departures{0};
};

struct LastFound {
    uint32_t serial = 0;
    VRxDbDatabase* db = nullptr;
    uint64_t departures = 0;
};
thread_local LastFound t_lastFound;

Registry& registry() {
    static Registry r;
    return r;
}

template <class Table>
Vrx::ErrorStatus openTable(VRxDbObjectId id, Table*& table, VRxDb::OpenMode mode) {
    table = nullptr;
    if (id.isNull()) return Vrx::eNoDatabase;
    return vrxdbOpenObject(table, id, mode);
}

}  // namespace

VRxDbDatabase::VRxDbDatabase(bool buildDefaultDrawing, bool noDocument) {
    (void)noDocument;  // there are no documents in this host; every database is a plain drawing
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> guard(r.lock);
        m_serial = ++r.lastSerial;
        r.live[m_serial] = this;
    }
    if (buildDefaultDrawing) buildDefaults();
}

VRxDbDatabase::~VRxDbDatabase() {
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> guard(r.lock);
        r.live.erase(m_serial);
        r.departures.fetch_add(1);
    }
    // The host must not keep working on a drawing that is gone.
    if (vrxdbHostApplicationServices()->workingDatabase() == this)
        vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
    m_objects.clear();
}

VRxDbDatabase* VRxDbDatabase::fromSerial(uint32_t serial) {
    Registry& r = registry();
    LastFound& last = t_lastFound;
    const uint64_t departures = r.departures.load();
    if (serial != 0 && serial == last.serial && departures == last.departures) return last.db;
    std::lock_guard<std::mutex> guard(r.lock);
    auto it = r.live.find(serial);
    if (it == r.live.end()) return nullptr;
    last = LastFound{serial, it->second, departures};
    return it->second;
}

VRxDbObject* VRxDbDatabase::objectAt(VRxDbObjectId id) const {
    if (id.m_db != m_serial || id.m_handle < m_firstHandle) return nullptr;
    const uint64_t index = id.m_handle - m_firstHandle;
    return index < m_objects.size() ? m_objects[index].get() : nullptr;
}

VRxDbObjectId VRxDbDatabase::idOf(uint64_t handle) const {
    return handle >= m_firstHandle && handle - m_firstHandle < m_objects.size() ? VRxDbObjectId(m_serial, handle)
                                                                                 : VRxDbObjectId::kNull;
}

VRxDbObjectId VRxDbDatabase::addObject(VRxDbObject* object, VRxDbObjectId owner) {
    if (object == nullptr || object->isDatabaseResident()) return VRxDbObjectId::kNull;
    VRxDbObjectId id(m_serial, m_nextHandle++);
    object->m_id = id;
    object->m_owner = owner;
    object->m_readers = 0;
    object->m_writer = false;
    m_objects.emplace_back(object);
    return id;
}

VRxDbObjectId VRxDbDatabase::addEntityTo(VRxDbObjectId block, VRxDbEntity* entity) {
    if (entity == nullptr || entity->isDatabaseResident()) return VRxDbObjectId::kNull;
    auto* record = VRxDbBlockTableRecord::cast(objectAt(block));
    if (record == nullptr) {
        // Taken over means taken over: a reader handing in an entity never deletes it.
        delete entity;
        return VRxDbObjectId::kNull;
    }
    VRxDbObjectId id = addObject(entity, block);
    record->m_entities.push_back(id);
    return id;
}

Vrx::ErrorStatus VRxDbDatabase::addRecordTo(VRxDbObjectId tableId, VRxDbSymbolTableRecord* record,
                                            VRxDbObjectId& id) {
    id = VRxDbObjectId::kNull;
    if (record == nullptr) return Vrx::eInvalidInput;
    if (record->isDatabaseResident()) return Vrx::eAlreadyInDb;
    auto* table = VRxDbSymbolTable::cast(objectAt(tableId));
    if (table == nullptr) return Vrx::eInvalidOwnerObject;
    if (!table->acceptsRecord(record)) return Vrx::eNotThatKindOfClass;
    std::wstring name = record->getName();
    if (name.empty()) return Vrx::eInvalidInput;
    // "*U" and "*D" ask for a fresh anonymous block; the number is never one in use,
    // erased records included, so old ids and names never get confused.
    if (table->kind() == VRxDbKind::BlockTable && (VRxNames::sameName(name, L"*U") || VRxNames::sameName(name, L"*D"))) {
        std::wstring prefix = VRxNames::sameName(name, L"*U") ? L"*U" : L"*D";
        for (unsigned n = 1;; ++n) {
            std::wstring candidate = prefix + std::to_wstring(n);
            bool taken = false;
            for (VRxDbObjectId rid : table->m_records) {
                auto* other = VRxDbSymbolTableRecord::cast(objectAt(rid));
                if (other != nullptr && VRxNames::sameName(other->getName(), candidate)) {
                    taken = true;
                    break;
                }
            }
            if (!taken) {
                name = candidate;
                break;
            }
        }
        record->setName(name.c_str());
    } else if (!recordId(tableId, name.c_str()).isNull()) {
        return Vrx::eDuplicateKey;
    }
    id = addObject(record, tableId);
    table->m_records.push_back(id);
    table->m_byName.emplace(VRxNames::nameHash(name), id);
    return Vrx::eOk;
}

VRxDbObjectId VRxDbDatabase::recordId(VRxDbObjectId tableId, const wchar_t* name) const {
    if (name == nullptr) return VRxDbObjectId::kNull;
    auto* table = VRxDbSymbolTable::cast(objectAt(tableId));
    if (table == nullptr) return VRxDbObjectId::kNull;
    const size_t length = std::wcslen(name);
    const auto named = table->m_byName.equal_range(VRxNames::nameHash(name, length));
    // At most one live record has the name: a name is taken only while no live record has it.
    for (auto entry = named.first; entry != named.second; ++entry) {
        const VRxDbObjectId rid = entry->second;
        const VRxDbObject* object = objectAt(rid);
        if (object == nullptr || object->isErased()) continue;
        const std::wstring& recordName = static_cast<const VRxDbSymbolTableRecord*>(object)->nameRef();
        if (VRxNames::sameName(recordName, name, length)) return rid;
    }
    return VRxDbObjectId::kNull;
}

Vrx::ErrorStatus VRxDbDatabase::getBlockTable(VRxDbBlockTable*& table, VRxDb::OpenMode mode) {
    return openTable(m_blockTable, table, mode);
}
Vrx::ErrorStatus VRxDbDatabase::getLayerTable(VRxDbLayerTable*& table, VRxDb::OpenMode mode) {
    return openTable(m_layerTable, table, mode);
}
Vrx::ErrorStatus VRxDbDatabase::getLinetypeTable(VRxDbLinetypeTable*& table, VRxDb::OpenMode mode) {
    return openTable(m_linetypeTable, table, mode);
}
Vrx::ErrorStatus VRxDbDatabase::getTextStyleTable(VRxDbTextStyleTable*& table, VRxDb::OpenMode mode) {
    return openTable(m_textStyleTable, table, mode);
}
Vrx::ErrorStatus VRxDbDatabase::getDimStyleTable(VRxDbDimStyleTable*& table, VRxDb::OpenMode mode) {
    return openTable(m_dimStyleTable, table, mode);
}
Vrx::ErrorStatus VRxDbDatabase::getPaperTable(VRxDbPaperTable*& table, VRxDb::OpenMode mode) {
    return openTable(m_paperTable, table, mode);
}
Vrx::ErrorStatus VRxDbDatabase::getNamedObjectsDictionary(VRxDbDictionary*& dictionary, VRxDb::OpenMode mode) {
    return openTable(m_namedObjects, dictionary, mode);
}

VRxDbObjectId VRxDbDatabase::modelSpaceId() const { return recordId(m_blockTable, VRxDbBlockTableRecord::kModelSpace); }
VRxDbObjectId VRxDbDatabase::paperSpaceId() const { return recordId(m_blockTable, VRxDbBlockTableRecord::kPaperSpace); }

VRxDbObjectId VRxDbDatabase::currentSpaceId() const {
    // The current paper's space; the model space whenever the paper is unusable.
    auto* papers = VRxDbPaperTable::cast(objectAt(m_paperTable));
    if (papers != nullptr) {
        auto* paper = VRxDbPaperTableRecord::cast(objectAt(papers->currentPaperId()));
        if (paper != nullptr && !paper->isErased()) {
            auto* space = VRxDbBlockTableRecord::cast(objectAt(paper->blockTableRecordId()));
            if (space != nullptr && !space->isErased()) return paper->blockTableRecordId();
        }
    }
    return modelSpaceId();
}

namespace {
// A header variable must name a live record of the right table of this database.
template <class Record>
Vrx::ErrorStatus checkRecord(const VRxDbDatabase& db, VRxDbObjectId id) {
    if (id.isNull()) return Vrx::eNullObjectId;
    if (id.database() != &db) return Vrx::eWrongDatabase;
    VRxDbObject* o = vrxdbObjectAt(db, id);
    if (o == nullptr) return Vrx::eNullObjectId;
    if (Record::cast(o) == nullptr) return Vrx::eNotThatKindOfClass;
    if (o->isErased()) return Vrx::eWasErased;
    return Vrx::eOk;
}
}  // namespace

Vrx::ErrorStatus VRxDbDatabase::setClayer(VRxDbObjectId layer) {
    Vrx::ErrorStatus es = checkRecord<VRxDbLayerTableRecord>(*this, layer);
    if (es == Vrx::eOk) m_clayer = layer;
    return es;
}
Vrx::ErrorStatus VRxDbDatabase::setTextstyle(VRxDbObjectId style) {
    Vrx::ErrorStatus es = checkRecord<VRxDbTextStyleTableRecord>(*this, style);
    if (es == Vrx::eOk) m_textstyle = style;
    return es;
}
Vrx::ErrorStatus VRxDbDatabase::setDimstyle(VRxDbObjectId style) {
    Vrx::ErrorStatus es = checkRecord<VRxDbDimStyleTableRecord>(*this, style);
    if (es == Vrx::eOk) m_dimstyle = style;
    return es;
}

int VRxDbDatabase::openObjectCount() const {
    int n = 0;
    for (const auto& object : m_objects)
        if (object->m_writer || object->m_readers > 0) ++n;
    return n;
}

std::vector<VRxDbObjectId> VRxDbDatabase::openObjectIds() const {
    std::vector<VRxDbObjectId> ids;
    for (const auto& object : m_objects)
        if (object->m_writer || object->m_readers > 0) ids.push_back(object->m_id);
    return ids;
}

void VRxDbDatabase::clear() {
    m_objects.clear();
    m_firstHandle = m_nextHandle;
    // Handles keep counting up so that an id from before the clear never names a new object.
    m_blockTable = m_layerTable = m_linetypeTable = m_textStyleTable = m_dimStyleTable = m_paperTable =
        m_namedObjects = VRxDbObjectId::kNull;
    m_clayer = m_textstyle = m_dimstyle = VRxDbObjectId::kNull;
    m_header = VRxDbHeader();
}

namespace {

template <class Record>
VRxDbObjectId ensureRecord(VRxDbDatabase& db, VRxDbObjectId table, const wchar_t* name,
                           void (*setUp)(Record&) = nullptr) {
    VRxDbObjectId id = vrxdbRecordId(db, table, name);
    if (!id.isNull()) return id;
    auto* rec = new Record;
    rec->setName(name);
    if (setUp != nullptr) setUp(*rec);
    if (vrxdbAddRecordTo(db, table, rec, id) != Vrx::eOk) {
        delete rec;
        return VRxDbObjectId::kNull;
    }
    return id;
}

}  // namespace

void VRxDbDatabase::buildDefaults() {
    // Only what is missing is made, so a reader can call this after filling the
    // drawing from a file that left out some of the essentials.
    if (m_blockTable.isNull()) m_blockTable = addObject(new VRxDbBlockTable, VRxDbObjectId::kNull);
    if (m_layerTable.isNull()) m_layerTable = addObject(new VRxDbLayerTable, VRxDbObjectId::kNull);
    if (m_linetypeTable.isNull()) m_linetypeTable = addObject(new VRxDbLinetypeTable, VRxDbObjectId::kNull);
    if (m_textStyleTable.isNull()) m_textStyleTable = addObject(new VRxDbTextStyleTable, VRxDbObjectId::kNull);
    if (m_dimStyleTable.isNull()) m_dimStyleTable = addObject(new VRxDbDimStyleTable, VRxDbObjectId::kNull);
    if (m_paperTable.isNull()) m_paperTable = addObject(new VRxDbPaperTable, VRxDbObjectId::kNull);
    if (m_namedObjects.isNull()) m_namedObjects = addObject(new VRxDbDictionary, VRxDbObjectId::kNull);

    ensureRecord<VRxDbLinetypeTableRecord>(*this, m_linetypeTable, L"ByBlock");
    ensureRecord<VRxDbLinetypeTableRecord>(*this, m_linetypeTable, L"ByLayer");
    ensureRecord<VRxDbLinetypeTableRecord>(*this, m_linetypeTable, L"Continuous",
                                           [](VRxDbLinetypeTableRecord& r) { r.setComments(L"Solid line"); });
    VRxDbObjectId layer0 = ensureRecord<VRxDbLayerTableRecord>(*this, m_layerTable, L"0", [](VRxDbLayerTableRecord& r) {
        r.setColor(VRxCmColor(7));
        r.setLinetypeName(L"Continuous");
    });
    VRxDbObjectId standardText = ensureRecord<VRxDbTextStyleTableRecord>(
        *this, m_textStyleTable, L"Standard", [](VRxDbTextStyleTableRecord& r) { r.setEFont(L"txt"); });
    VRxDbObjectId standardDim = recordId(m_dimStyleTable, L"Standard");
    if (standardDim.isNull()) {
        auto* dim = new VRxDbDimStyleTableRecord;  // its defaults are the metric ones
        dim->setName(L"Standard");
        dim->setDimtxsty(standardText);
        if (addRecordTo(m_dimStyleTable, dim, standardDim) != Vrx::eOk) delete dim;
    }
    VRxDbObjectId model = ensureRecord<VRxDbBlockTableRecord>(*this, m_blockTable, VRxDbBlockTableRecord::kModelSpace);
    VRxDbObjectId paper = ensureRecord<VRxDbBlockTableRecord>(*this, m_blockTable, VRxDbBlockTableRecord::kPaperSpace);

    auto* papers = VRxDbPaperTable::cast(objectAt(m_paperTable));
    if (papers != nullptr && papers->recordIds().empty()) {
        VRxDbObjectId modelPaper, layoutPaper;
        auto* m = new VRxDbPaperTableRecord;
        m->setName(L"Model");
        m->setBlockTableRecordId(model);
        m->setTabOrder(0);
        if (addRecordTo(m_paperTable, m, modelPaper) != Vrx::eOk) delete m;
        auto* l = new VRxDbPaperTableRecord;
        l->setName(L"Layout1");
        l->setBlockTableRecordId(paper);
        l->setTabOrder(1);
        if (addRecordTo(m_paperTable, l, layoutPaper) != Vrx::eOk) delete l;
        // The table is not open for anyone yet: mark it for write just for this.
        papers->m_writer = true;
        papers->setCurrentPaper(modelPaper);
        papers->m_writer = false;
    }

    if (objectAt(m_clayer) == nullptr) m_clayer = layer0;
    if (objectAt(m_textstyle) == nullptr) m_textstyle = standardText;
    if (objectAt(m_dimstyle) == nullptr) m_dimstyle = standardDim;
}

VRxDbHostApplicationServices* vrxdbHostApplicationServices() {
    static VRxDbHostApplicationServices services;
    return &services;
}
