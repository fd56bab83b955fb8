// Object identity and the open/close protocol: several readers or one writer,
// ids that resolve only while their database lives, and the status texts the
// host reports. Objects never hand out pointers that outlive their database.
#include "vrxdb.h"
#include "vrxexport.h"
#include "vrxdbobjecttable.h"

VRX_EXPORTED_FIXED_CONSTANT const VRxDbObjectId VRxDbObjectId::kNull;

const wchar_t* Vrx::statusText(ErrorStatus status) {
    switch (status) {
        case eOk: return L"OK";
        case eNotImplemented: return L"Not implemented";
        case eNullObjectId: return L"Null or unknown object id";
        case eInvalidInput: return L"Invalid input";
        case eKeyNotFound: return L"Key not found";
        case eDuplicateKey: return L"Duplicate key";
        case eWasErased: return L"Object was erased";
        case eWasOpenedForWrite: return L"Object is open for write";
        case eWasOpenedForRead: return L"Object is open for read";
        case eNotOpenForWrite: return L"Object is not open for write";
        case eWasNotOpen: return L"Object was not open";
        case eNotInDatabase: return L"Object is not in a database";
        case eAlreadyInDb: return L"Object is already in a database";
        case eNotThatKindOfClass: return L"Object is not of that kind";
        case eWrongDatabase: return L"Object belongs to another database";
        case eInvalidOwnerObject: return L"Invalid owner object";
        case eFileNotFound: return L"File not found";
        case eFileAccessErr: return L"File access error";
        case eBadDxfFile: return L"Bad DXF file";
        case eNoDatabase: return L"No database";
        case eInvalidExtents: return L"Nothing to measure";
    }
    return L"Unknown status";
}

bool VRxDbObjectId::isValid() const {
    VRxDbDatabase* db = database();
    return db != nullptr && vrxdbObjectAt(*db, *this) != nullptr;
}

bool VRxDbObjectId::isErased() const {
    VRxDbDatabase* db = database();
    VRxDbObject* o = db ? vrxdbObjectAt(*db, *this) : nullptr;
    return o != nullptr && o->isErased();
}

VRxDbDatabase* VRxDbObjectId::database() const {
    return m_db == 0 ? nullptr : VRxDbDatabase::fromSerial(m_db);
}

VRxDbObject::VRxDbObject(const VRxDbObject&) {}

VRxDbObject::~VRxDbObject() = default;

VRxDbDatabase* VRxDbObject::database() const { return m_id.database(); }

Vrx::ErrorStatus VRxDbObject::close() {
    if (!isDatabaseResident()) return Vrx::eNotInDatabase;
    if (m_writer) {
        m_writer = false;
        return Vrx::eOk;
    }
    if (m_readers > 0) {
        --m_readers;
        return Vrx::eOk;
    }
    return Vrx::eWasNotOpen;
}

Vrx::ErrorStatus VRxDbObject::upgradeOpen() {
    if (!isDatabaseResident() || m_writer) return Vrx::eOk;
    if (m_readers == 0) return Vrx::eWasNotOpen;
    // Another reader still relies on the object not changing under it.
    if (m_readers > 1) return Vrx::eWasOpenedForRead;
    m_readers = 0;
    m_writer = true;
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbObject::downgradeOpen() {
    if (!isDatabaseResident()) return Vrx::eOk;
    if (m_writer) {
        m_writer = false;
        m_readers = 1;
        return Vrx::eOk;
    }
    return m_readers > 0 ? Vrx::eOk : Vrx::eWasNotOpen;
}

Vrx::ErrorStatus VRxDbObject::erase(bool erasing) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (erasing == m_erased) return erasing ? Vrx::eWasErased : Vrx::eOk;
    if (erasing) {
        // The skeleton of a drawing cannot go: its tables, the two spaces, the named
        // object dictionary, layer "0" and the three built-in linetypes are what
        // every other record relies on.
        VRxDbDatabase* db = database();
        if (db != nullptr) {
            VRxDbKind k = kind();
            if (k == VRxDbKind::BlockTable || k == VRxDbKind::LayerTable || k == VRxDbKind::LinetypeTable ||
                k == VRxDbKind::TextStyleTable || k == VRxDbKind::DimStyleTable || k == VRxDbKind::PaperTable)
                return Vrx::eInvalidInput;
            if (m_id == db->modelSpaceId() || m_id == db->paperSpaceId() || m_id == db->namedObjectsDictionaryId())
                return Vrx::eInvalidInput;
            if (const auto* rec = VRxDbSymbolTableRecord::cast(this)) {
                static const wchar_t* const kFixedLinetypes[] = {L"ByBlock", L"ByLayer", L"Continuous"};
                if (k == VRxDbKind::LayerTableRecord && rec->getName() == L"0") return Vrx::eInvalidInput;
                if (k == VRxDbKind::LinetypeTableRecord)
                    for (const wchar_t* fixed : kFixedLinetypes)
                        if (vrxdbRecordId(*db, db->linetypeTableId(), fixed) == m_id) return Vrx::eInvalidInput;
            }
        }
    }
    m_erased = erasing;
    return Vrx::eOk;
}

Vrx::ErrorStatus vrxdbOpenVRxDbObject(VRxDbObject*& obj, VRxDbObjectId id, VRxDb::OpenMode mode, bool openErased) {
    obj = nullptr;
    if (id.isNull()) return Vrx::eNullObjectId;
    VRxDbDatabase* db = id.database();
    if (db == nullptr) return Vrx::eNullObjectId;
    VRxDbObject* o = vrxdbObjectAt(*db, id);
    if (o == nullptr) return Vrx::eNullObjectId;
    if (o->m_erased && !openErased) return Vrx::eWasErased;
    if (o->m_writer) return Vrx::eWasOpenedForWrite;
    if (mode == VRxDb::kForWrite) {
        if (o->m_readers > 0) return Vrx::eWasOpenedForRead;
        o->m_writer = true;
    } else {
        ++o->m_readers;
    }
    obj = o;
    return Vrx::eOk;
}
