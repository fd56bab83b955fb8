// Dictionaries and XRecords under the open/close protocol, the extension
// dictionary of any object, and the translation of XRecord values to and from
// result buffers.
#include "vrxdb.h"
#include "vrxnames.h"
#include "vrxrb.h"
#include "vrxdbobjecttable.h"

// ---- dictionaries ----

VRxDbDictionary::~VRxDbDictionary() = default;

Vrx::ErrorStatus VRxDbDictionary::getAt(const wchar_t* name, VRxDbObjectId& id) const {
    id = VRxDbObjectId::kNull;
    if (name == nullptr) return Vrx::eInvalidInput;
    const std::wstring wanted(name);
    for (const auto& entry : m_entries)
        if (VRxNames::sameName(entry.first, wanted) && !entry.second.isErased() && entry.second.isValid()) {
            id = entry.second;
            return Vrx::eOk;
        }
    return Vrx::eKeyNotFound;
}

bool VRxDbDictionary::has(const wchar_t* name) const {
    VRxDbObjectId id;
    return getAt(name, id) == Vrx::eOk;
}

bool VRxDbDictionary::has(VRxDbObjectId id) const {
    if (id.isNull() || id.isErased()) return false;
    for (const auto& entry : m_entries)
        if (entry.second == id) return true;
    return false;
}

Vrx::ErrorStatus VRxDbDictionary::setAt(const wchar_t* name, VRxDbObject* newValue, VRxDbObjectId& id) {
    id = VRxDbObjectId::kNull;
    if (name == nullptr || *name == L'\0' || newValue == nullptr) return Vrx::eInvalidInput;
    VRxDbDatabase* db = database();
    if (db == nullptr) return Vrx::eNotInDatabase;
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (newValue->isDatabaseResident()) return Vrx::eAlreadyInDb;
    if (has(name)) return Vrx::eDuplicateKey;
    id = vrxdbAddObject(*db, newValue, objectId());
    if (id.isNull()) return Vrx::eInvalidInput;
    m_entries.emplace_back(name, id);
    // The new object is its creator's to fill and close.
    VRxDbObject* opened = nullptr;
    vrxdbOpenVRxDbObject(opened, id, VRxDb::kForWrite);
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbDictionary::remove(const wchar_t* name, VRxDbObjectId& removedId) {
    removedId = VRxDbObjectId::kNull;
    if (name == nullptr) return Vrx::eInvalidInput;
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    const std::wstring wanted(name);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (VRxNames::sameName(it->first, wanted)) {
            removedId = it->second;
            m_entries.erase(it);
            return Vrx::eOk;
        }
    return Vrx::eKeyNotFound;
}

std::vector<std::pair<std::wstring, VRxDbObjectId>> VRxDbDictionary::entries() const {
    std::vector<std::pair<std::wstring, VRxDbObjectId>> live;
    for (const auto& entry : m_entries)
        if (entry.second.isValid() && !entry.second.isErased()) live.push_back(entry);
    return live;
}

Vrx::ErrorStatus VRxDbObject::createExtensionDictionary() {
    VRxDbDatabase* db = database();
    if (db == nullptr) return Vrx::eNotInDatabase;
    if (!m_writer) return Vrx::eNotOpenForWrite;
    if (!m_extensionDictionary.isNull() && m_extensionDictionary.isValid()) return Vrx::eAlreadyInDb;
    m_extensionDictionary = vrxdbAddObject(*db, new VRxDbDictionary, m_id);
    return m_extensionDictionary.isNull() ? Vrx::eInvalidInput : Vrx::eOk;
}

// ---- XRecords ----

VRxDbXrecord::~VRxDbXrecord() = default;

bool VRxDbXrecord::isValueCode(int code) {
    if (code <= 0 || code == 5 || code == 100 || code == 102 || code == 105) return false;
    if ((code >= 310 && code <= 329) || code >= 1000) return false;
    return vrxutRbValueKind(code) != VRxRbValueKind::None;
}

void VRxDbXrecord::referencedIds(std::vector<VRxDbObjectId*>& ids) {
    for (VRxDbXrecordValue& v : m_values)
        if (vrxutRbValueKind(v.code) == VRxRbValueKind::Name) ids.push_back(&v.id);
}

Vrx::ErrorStatus VRxDbXrecord::rbChain(resbuf*& chain) const {
    chain = nullptr;
    if (!isReadEnabled()) return Vrx::eWasNotOpen;
    resbuf** tail = &chain;
    for (const VRxDbXrecordValue& v : m_values) {
        resbuf* rb = vrxutNewRb(v.code);
        if (rb == nullptr) continue;  // setFromRbChain lets none such in
        switch (vrxutRbValueKind(v.code)) {
        case VRxRbValueKind::Real: rb->resval.rreal = v.real[0]; break;
        case VRxRbValueKind::Point:
            for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = v.real[i];
            break;
        case VRxRbValueKind::Short: rb->resval.rint = static_cast<int16_t>(v.integer); break;
        case VRxRbValueKind::Long: rb->resval.rlong = static_cast<int32_t>(v.integer); break;
        case VRxRbValueKind::Int64: rb->resval.mnInt64 = v.integer; break;
        case VRxRbValueKind::String: rb->resval.rstring = vrxutNewString(v.text.c_str()); break;
        case VRxRbValueKind::Name: vrxdbGetVRxName(rb->resval.rlname, v.id); break;
        case VRxRbValueKind::None: break;
        }
        *tail = rb;
        tail = &rb->rbnext;
    }
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbXrecord::setFromRbChain(const resbuf* chain) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    std::vector<VRxDbXrecordValue> values;
    for (const resbuf* rb = chain; rb != nullptr; rb = rb->rbnext) {
        if (!isValueCode(rb->restype)) return Vrx::eInvalidInput;
        VRxDbXrecordValue v;
        v.code = rb->restype;
        switch (vrxutRbValueKind(rb->restype)) {
        case VRxRbValueKind::Real: v.real[0] = rb->resval.rreal; break;
        case VRxRbValueKind::Point:
            for (int i = 0; i < 3; ++i) v.real[i] = rb->resval.rpoint[i];
            break;
        case VRxRbValueKind::Short: v.integer = rb->resval.rint; break;
        case VRxRbValueKind::Long: v.integer = rb->resval.rlong; break;
        case VRxRbValueKind::Int64: v.integer = rb->resval.mnInt64; break;
        case VRxRbValueKind::String:
            if (rb->resval.rstring == nullptr) return Vrx::eInvalidInput;
            v.text = rb->resval.rstring;
            break;
        case VRxRbValueKind::Name: {
            if (vrxdbGetObjectId(v.id, rb->resval.rlname) != Vrx::eOk) return Vrx::eInvalidInput;
            if (!v.id.isNull() && isDatabaseResident() && v.id.database() != database()) return Vrx::eWrongDatabase;
            break;
        }
        case VRxRbValueKind::None: return Vrx::eInvalidInput;
        }
        values.push_back(std::move(v));
    }
    m_values = std::move(values);
    return Vrx::eOk;
}
