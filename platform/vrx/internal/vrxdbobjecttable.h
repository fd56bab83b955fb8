// A drawing database's object table reached directly, without ids being opened
// and closed: for the platform's own file readers and writers, the host program's
// previews and checks, and tests. A module never sees this header; it works
// through ids and the open/close protocol as with a real host.
#pragma once

#include <cstdint>

#include "vrxdb.h"

class VRxDbObjectTable {
public:
    static VRxDbObject* objectAt(const VRxDbDatabase& db, VRxDbObjectId id) { return db.objectAt(id); }
    static VRxDbObjectId addObject(VRxDbDatabase& db, VRxDbObject* object, VRxDbObjectId owner) {
        return db.addObject(object, owner);
    }
    static VRxDbObjectId addEntityTo(VRxDbDatabase& db, VRxDbObjectId block, VRxDbEntity* entity) {
        return db.addEntityTo(block, entity);
    }
    static Vrx::ErrorStatus addRecordTo(VRxDbDatabase& db, VRxDbObjectId table, VRxDbSymbolTableRecord* record,
                                        VRxDbObjectId& id) {
        return db.addRecordTo(table, record, id);
    }
    static VRxDbObjectId recordId(const VRxDbDatabase& db, VRxDbObjectId table, const wchar_t* name) {
        return db.recordId(table, name);
    }
    static void clear(VRxDbDatabase& db) { db.clear(); }
    static bool copyPlainDrawing(VRxDbDatabase& db, const VRxDbDatabase& source) {
        return db.copyPlainDrawing(source);
    }
    static void buildDefaults(VRxDbDatabase& db) { db.buildDefaults(); }
    static uint32_t serial(const VRxDbDatabase& db) { return db.serial(); }
    static VRxDbObjectId idOf(const VRxDbDatabase& db, uint64_t handle) { return db.idOf(handle); }
    static uint64_t nextHandle(const VRxDbDatabase& db) { return db.nextHandle(); }
};

// The object behind an id of db without opening it, null when none.
inline VRxDbObject* vrxdbObjectAt(const VRxDbDatabase& db, VRxDbObjectId id) {
    return VRxDbObjectTable::objectAt(db, id);
}
// Puts a new object into db under an owner; db takes it over and does not leave
// it open. A null or already resident object is refused (null id) and not taken.
inline VRxDbObjectId vrxdbAddObject(VRxDbDatabase& db, VRxDbObject* object, VRxDbObjectId owner) {
    return VRxDbObjectTable::addObject(db, object, owner);
}
// Appends an entity to a block record of db. The entity is always taken over:
// when block is no block record of db it is deleted and the null id returned.
inline VRxDbObjectId vrxdbAddEntityTo(VRxDbDatabase& db, VRxDbObjectId block, VRxDbEntity* entity) {
    return VRxDbObjectTable::addEntityTo(db, block, entity);
}
// Adds a record to a table of db (names checked, "*U"/"*D" numbered). On failure
// the record stays the caller's to delete.
inline Vrx::ErrorStatus vrxdbAddRecordTo(VRxDbDatabase& db, VRxDbObjectId table, VRxDbSymbolTableRecord* record,
                                         VRxDbObjectId& id) {
    return VRxDbObjectTable::addRecordTo(db, table, record, id);
}
// The record of a table by name, or null id.
inline VRxDbObjectId vrxdbRecordId(const VRxDbDatabase& db, VRxDbObjectId table, const wchar_t* name) {
    return VRxDbObjectTable::recordId(db, table, name);
}
// Drops every object: db is as after construction without a default drawing.
inline void vrxdbClear(VRxDbDatabase& db) { VRxDbObjectTable::clear(db); }
// Makes db a copy of a source that holds only tables, records and entities (as
// drawing files of standard parts do); false, and nothing changed, otherwise or
// while an object of either is open.
inline bool vrxdbCopyPlainDrawing(VRxDbDatabase& db, const VRxDbDatabase& source) {
    return VRxDbObjectTable::copyPlainDrawing(db, source);
}
// Builds the default drawing's tables and records (after vrxdbClear, for readers).
inline void vrxdbBuildDefaults(VRxDbDatabase& db) { VRxDbObjectTable::buildDefaults(db); }
// The database's serial number, never reused in a process.
inline uint32_t vrxdbSerial(const VRxDbDatabase& db) { return VRxDbObjectTable::serial(db); }
inline VRxDbObjectId vrxdbIdOf(const VRxDbDatabase& db, uint64_t handle) { return VRxDbObjectTable::idOf(db, handle); }
// The handle the next new object gets.
inline uint64_t vrxdbNextHandle(const VRxDbDatabase& db) { return VRxDbObjectTable::nextHandle(db); }
