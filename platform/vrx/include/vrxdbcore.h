// The host drawing database's object model: status codes, open modes, object ids,
// colours and the object base class. A database owns its objects; code outside
// it holds ids and opens objects for read or write, and closes them again.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "vrxgeometry.h"

namespace Vrx {
// Zero is success, as in the host; callers compare against eOk.
enum [[nodiscard]] ErrorStatus {
    eOk = 0,
    eNotImplemented,
    eNullObjectId,
    eInvalidInput,
    eKeyNotFound,
    eDuplicateKey,
    eWasErased,
    eWasOpenedForWrite,
    eWasOpenedForRead,
    eNotOpenForWrite,
    eWasNotOpen,
    eNotInDatabase,
    eAlreadyInDb,
    eNotThatKindOfClass,
    eWrongDatabase,
    eInvalidOwnerObject,
    eFileNotFound,
    eFileAccessErr,
    eBadDxfFile,
    eNoDatabase,
    eInvalidExtents,
};
const wchar_t* statusText(ErrorStatus status);

// Lets a status go where nothing depends on it or nothing could be done about
// it; why says which, for the reader (it is not kept).
inline void dropStatus(ErrorStatus, const char* why) { (void)why; }

// The first failure of several steps taken in order (braced lists evaluate left
// to right), eOk when every one succeeded.
inline ErrorStatus firstFailure(std::initializer_list<ErrorStatus> steps) {
    for (ErrorStatus es : steps)
        if (es != eOk) return es;
    return eOk;
}
}  // namespace Vrx

namespace VRxDb {
enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };

// Line weights in hundredths of a millimetre, and the three symbolic weights.
enum LineWeight : int {
    kLnWt000 = 0,
    kLnWt005 = 5,
    kLnWt009 = 9,
    kLnWt013 = 13,
    kLnWt018 = 18,
    kLnWt025 = 25,
    kLnWt035 = 35,
    kLnWt050 = 50,
    kLnWt070 = 70,
    kLnWtByLayer = -1,
    kLnWtByBlock = -2,
    kLnWtByLwDefault = -3,
};

// Colour indexes with a meaning of their own.
enum : uint16_t { kColorByBlock = 0, kColorByLayer = 256 };
}  // namespace VRxDb

class VRxDbDatabase;
class VRxDbObject;
class VRxDbObjectId;
Vrx::ErrorStatus vrxdbGetVRxName(int64_t name[2], VRxDbObjectId id);
Vrx::ErrorStatus vrxdbGetObjectId(VRxDbObjectId& id, const int64_t name[2]);

// A handle to an object of a database. Ids stay safe to hold after their
// database is gone: they then simply no longer resolve.
class VRxDbObjectId {
public:
    static const VRxDbObjectId kNull;

    VRxDbObjectId() = default;
    bool isNull() const { return m_handle == 0; }
    // The id names an object of a live database (erased or not).
    bool isValid() const;
    bool isErased() const;
    VRxDbDatabase* database() const;
    uint64_t handle() const { return m_handle; }

    bool operator==(const VRxDbObjectId& o) const { return m_db == o.m_db && m_handle == o.m_handle; }
    bool operator!=(const VRxDbObjectId& o) const { return !(*this == o); }
    bool operator<(const VRxDbObjectId& o) const {
        return m_db != o.m_db ? m_db < o.m_db : m_handle < o.m_handle;
    }

private:
    friend class VRxDbDatabase;
    // Lists carry ids as names; these two translate.
    friend Vrx::ErrorStatus vrxdbGetVRxName(int64_t name[2], VRxDbObjectId id);
    friend Vrx::ErrorStatus vrxdbGetObjectId(VRxDbObjectId& id, const int64_t name[2]);
    VRxDbObjectId(uint32_t db, uint64_t handle) : m_db(db), m_handle(handle) {}
    uint32_t m_db = 0;  // serial number of the database, never reused in a process
    uint64_t m_handle = 0;
};

using VRxDbObjectIdArray = std::vector<VRxDbObjectId>;

class VRxCmColor {
public:
    VRxCmColor() = default;
    explicit VRxCmColor(uint16_t index) : m_index(index) {}
    Vrx::ErrorStatus setColorIndex(uint16_t index) {
        m_index = index;
        return Vrx::eOk;
    }
    uint16_t colorIndex() const { return m_index; }
    bool isByLayer() const { return m_index == VRxDb::kColorByLayer; }
    bool isByBlock() const { return m_index == VRxDb::kColorByBlock; }

private:
    uint16_t m_index = VRxDb::kColorByLayer;
};

// Kinds of objects, so readers, writers and renderers can dispatch without
// knowing every class. The kinds of one base class (entity, dimension, symbol
// table, symbol table record) follow one another: its cast checks a range.
enum class VRxDbKind {
    Line, Arc, Circle, Polyline, Text, MText, Solid, BlockReference,
    RotatedDimension, RadialDimension, DiametricDimension, DimLeader,
    BlockTable, LayerTable, LinetypeTable, TextStyleTable, DimStyleTable, PaperTable,
    BlockTableRecord, LayerTableRecord, LinetypeTableRecord, TextStyleTableRecord,
    DimStyleTableRecord, PaperTableRecord,
    Dictionary, Xrecord,
};

// The checked down-casts of a class, by the object's kind: readers and writers
// cast every object they meet, and asking the kind costs one call.
#define VRX_DECLARE_MEMBERS_OF_KINDS(CLASS, FIRST, LAST)                                              \
    static bool isKind(VRxDbKind k) { return k >= VRxDbKind::FIRST && k <= VRxDbKind::LAST; }       \
    static CLASS* cast(VRxDbObject* o) { return o != nullptr && isKind(o->kind()) ? static_cast<CLASS*>(o) : nullptr; } \
    static const CLASS* cast(const VRxDbObject* o) {                                                \
        return o != nullptr && isKind(o->kind()) ? static_cast<const CLASS*>(o) : nullptr;          \
    }
#define VRX_DECLARE_MEMBERS(CLASS, KIND) VRX_DECLARE_MEMBERS_OF_KINDS(CLASS, KIND, KIND)

class VRxDbObject {
public:
    VRxDbObject() = default;
    VRxDbObject(const VRxDbObject& other);  // copies content, not identity, open state or extension dictionary
    VRxDbObject& operator=(const VRxDbObject&) = delete;
    virtual ~VRxDbObject();

    virtual VRxDbKind kind() const = 0;
    // A new object with the same content, not in any database.
    virtual VRxDbObject* clone() const = 0;
    // Every object id this object refers to (styles, blocks, linetypes), so that
    // copying between databases can map them. Owner and own id are not included.
    virtual void referencedIds(std::vector<VRxDbObjectId*>& ids) { (void)ids; }

    VRxDbObjectId objectId() const { return m_id; }
    VRxDbObjectId ownerId() const { return m_owner; }
    VRxDbDatabase* database() const;
    bool isDatabaseResident() const { return !m_id.isNull(); }

    // Ends one opening of the object. Objects not in a database cannot be closed:
    // their creator deletes them.
    Vrx::ErrorStatus close();
    Vrx::ErrorStatus upgradeOpen();
    Vrx::ErrorStatus downgradeOpen();
    bool isReadEnabled() const { return m_readers > 0 || m_writer; }
    bool isWriteEnabled() const { return m_writer || !isDatabaseResident(); }
    bool isErased() const { return m_erased; }
    // Marks the object erased (or un-erases it). It must be open for write.
    Vrx::ErrorStatus erase(bool erasing = true);

    // The object's extension dictionary, where applications keep their own data
    // with it; null when it has none.
    VRxDbObjectId extensionDictionary() const { return m_extensionDictionary; }
    // Gives the object (database-resident, open for write) an empty extension
    // dictionary; eAlreadyInDb when it has one already.
    Vrx::ErrorStatus createExtensionDictionary();

private:
    friend class VRxDbDatabase;
    friend Vrx::ErrorStatus vrxdbOpenVRxDbObject(VRxDbObject*&, VRxDbObjectId, VRxDb::OpenMode, bool);
    VRxDbObjectId m_id;
    VRxDbObjectId m_owner;
    VRxDbObjectId m_extensionDictionary;
    int m_readers = 0;
    bool m_writer = false;
    bool m_erased = false;
};

// Opens the object behind id. Fails with eWasOpenedForWrite when another opening
// holds it for write, eWasOpenedForRead when a write is asked while it is open for
// read, eWasErased for an erased object unless openErased, eNullObjectId for an id
// that names nothing.
Vrx::ErrorStatus vrxdbOpenVRxDbObject(VRxDbObject*& obj, VRxDbObjectId id, VRxDb::OpenMode mode,
                                      bool openErased = false);

template <class T>
Vrx::ErrorStatus vrxdbOpenObject(T*& obj, VRxDbObjectId id, VRxDb::OpenMode mode, bool openErased = false) {
    obj = nullptr;
    VRxDbObject* o = nullptr;
    Vrx::ErrorStatus es = vrxdbOpenVRxDbObject(o, id, mode, openErased);
    if (es != Vrx::eOk) return es;
    obj = T::cast(o);
    if (obj == nullptr) {
        Vrx::dropStatus(o->close(), "just opened here, so it closes; the wrong kind is what the caller hears");
        return Vrx::eNotThatKindOfClass;
    }
    return Vrx::eOk;
}
