// Dictionaries and XRecords: where applications keep their own data in a
// drawing. A dictionary maps names (Latin letters without regard to case) to
// objects it owns; an XRecord holds a list of typed values, handed in and out
// as result buffers. The database's named object dictionary is the root every
// application hangs its dictionaries on; any object can carry an extension
// dictionary of its own (vrxdbcore.h).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "vrxdbcore.h"

struct resbuf;

class VRxDbDictionary : public VRxDbObject {
public:
    VRX_DECLARE_MEMBERS(VRxDbDictionary, Dictionary)
    VRxDbDictionary() = default;
    // Out of line, so the class's virtual table lives in the host: a dictionary
    // an extension module adds outlives the module once it is unloaded.
    ~VRxDbDictionary() override;
    VRxDbKind kind() const override { return VRxDbKind::Dictionary; }
    // A copy without entries: the entries are objects of their own.
    VRxDbObject* clone() const override { return new VRxDbDictionary(); }

    // eKeyNotFound when there is no live entry of that name.
    Vrx::ErrorStatus getAt(const wchar_t* name, VRxDbObjectId& id) const;
    template <class T>
    Vrx::ErrorStatus getAt(const wchar_t* name, T*& object, VRxDb::OpenMode mode) const {
        object = nullptr;
        VRxDbObjectId id;
        Vrx::ErrorStatus es = getAt(name, id);
        return es != Vrx::eOk ? es : vrxdbOpenObject(object, id, mode);
    }
    bool has(const wchar_t* name) const;
    bool has(VRxDbObjectId id) const;
    // Puts a new object under name: the dictionary must be open for write and in
    // a database, the object new and the name not empty and not taken
    // (eDuplicateKey: an entry is never replaced behind its owner's back). The
    // dictionary owns the object, which is left open for write for its creator to close.
    Vrx::ErrorStatus setAt(const wchar_t* name, VRxDbObject* newValue, VRxDbObjectId& id);
    // Takes the entry out (the dictionary open for write); the object stays in the
    // database, for the caller to erase or to put elsewhere.
    Vrx::ErrorStatus remove(const wchar_t* name, VRxDbObjectId& removedId);
    // Live entries in the order they were added.
    std::vector<std::pair<std::wstring, VRxDbObjectId>> entries() const;
    int numEntries() const { return static_cast<int>(entries().size()); }

private:
    std::vector<std::pair<std::wstring, VRxDbObjectId>> m_entries;
};

// One value of an XRecord, as the drawing file holds it.
struct VRxDbXrecordValue {
    int code = 0;             // DXF group code
    double real[3] = {0, 0, 0};  // reals and points
    long long integer = 0;    // shorts, longs, 64-bit integers, booleans
    std::wstring text;
    VRxDbObjectId id;         // object pointers (codes 330-369, 390-399, 480-481)
};

class VRxDbXrecord : public VRxDbObject {
public:
    VRX_DECLARE_MEMBERS(VRxDbXrecord, Xrecord)
    VRxDbXrecord() = default;
    VRxDbXrecord(const VRxDbXrecord&) = default;
    ~VRxDbXrecord() override;  // out of line, as the dictionary's
    VRxDbKind kind() const override { return VRxDbKind::Xrecord; }
    VRxDbObject* clone() const override { return new VRxDbXrecord(*this); }
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override;

    // A new list of the values (null when there are none), for the caller to
    // free with vrxutRelRb. The record must be open.
    Vrx::ErrorStatus rbChain(resbuf*& chain) const;
    // Replaces the values (the record open for write). Group codes that are not
    // values (0, 5, 100, 102, 105), handles as text (310-329), extended data
    // (1000 and up) and codes of no known type are refused with eInvalidInput,
    // as are null strings; object names must be of this record's database
    // (eWrongDatabase). Nothing changes when a node is refused.
    Vrx::ErrorStatus setFromRbChain(const resbuf* chain);

    // --- For the platform's own readers and writers. ---
    const std::vector<VRxDbXrecordValue>& values() const { return m_values; }
    void setValues(std::vector<VRxDbXrecordValue> values) { m_values = std::move(values); }
    // True for a group code an XRecord can hold.
    static bool isValueCode(int code);

private:
    std::vector<VRxDbXrecordValue> m_values;
};
