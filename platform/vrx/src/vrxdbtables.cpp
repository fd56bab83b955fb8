// Symbol tables and their records: lookup by name (Latin case folded, everything
// else exact), adding under the open/close protocol, iteration, and the records
// whose behaviour goes beyond holding values (block records, layers, linetypes,
// dimension value formatting, the current paper).
#include <cmath>
#include <cstdio>
#include <cwchar>

#include "vrxdb.h"
#include "vrxexport.h"
#include "vrxnames.h"
#include "vrxdbobjecttable.h"

VRX_EXPORTED_FIXED_CONSTANT const wchar_t* const VRxDbBlockTableRecord::kModelSpace = L"*Model_Space";
VRX_EXPORTED_FIXED_CONSTANT const wchar_t* const VRxDbBlockTableRecord::kPaperSpace = L"*Paper_Space";

// ---- records ----

Vrx::ErrorStatus VRxDbSymbolTableRecord::setName(const wchar_t* name) {
    if (name == nullptr || *name == L'\0') return Vrx::eInvalidInput;
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    VRxDbSymbolTable* table = nullptr;
    if (isDatabaseResident()) {
        // A renamed record must not take the name of another record of its table.
        VRxDbDatabase* db = database();
        VRxDbObjectId other = db ? vrxdbRecordId(*db, ownerId(), name) : VRxDbObjectId::kNull;
        if (!other.isNull() && other != objectId()) return Vrx::eDuplicateKey;
        table = db ? VRxDbSymbolTable::cast(vrxdbObjectAt(*db, ownerId())) : nullptr;
    }
    if (table != nullptr) {
        // The table's index moves the record from its old name to the new one.
        const auto old = table->m_byName.equal_range(VRxNames::nameHash(m_name));
        for (auto entry = old.first; entry != old.second; ++entry)
            if (entry->second == objectId()) {
                table->m_byName.erase(entry);
                break;
            }
        table->m_byName.emplace(VRxNames::nameHash(name, std::wcslen(name)), objectId());
    }
    m_name = name;
    return Vrx::eOk;
}

// ---- tables ----

bool VRxDbSymbolTable::has(const wchar_t* name) const {
    VRxDbDatabase* db = database();
    return db != nullptr && !vrxdbRecordId(*db, objectId(), name).isNull();
}

bool VRxDbSymbolTable::has(VRxDbObjectId id) const {
    if (id.isNull()) return false;
    for (VRxDbObjectId rid : m_records)
        if (rid == id) return !id.isErased();
    return false;
}

Vrx::ErrorStatus VRxDbSymbolTable::getAt(const wchar_t* name, VRxDbObjectId& id, bool getErased) const {
    id = VRxDbObjectId::kNull;
    if (name == nullptr) return Vrx::eInvalidInput;
    VRxDbDatabase* db = database();
    if (db == nullptr) return Vrx::eNotInDatabase;
    id = vrxdbRecordId(*db, objectId(), name);
    if (!id.isNull()) return Vrx::eOk;
    if (getErased) {
        // The most recent erased record of that name.
        for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
            auto* rec = VRxDbSymbolTableRecord::cast(vrxdbObjectAt(*db, *it));
            if (rec != nullptr && VRxNames::sameName(rec->getName(), name)) {
                id = *it;
                return Vrx::eOk;
            }
        }
    }
    return Vrx::eKeyNotFound;
}

Vrx::ErrorStatus VRxDbSymbolTable::add(VRxDbSymbolTableRecord* record) {
    VRxDbObjectId id;
    return add(id, record);
}

Vrx::ErrorStatus VRxDbSymbolTable::add(VRxDbObjectId& id, VRxDbSymbolTableRecord* record) {
    id = VRxDbObjectId::kNull;
    if (record == nullptr) return Vrx::eInvalidInput;
    VRxDbDatabase* db = database();
    if (db == nullptr) return Vrx::eNotInDatabase;
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    Vrx::ErrorStatus es = vrxdbAddRecordTo(*db, objectId(), record, id);
    if (es != Vrx::eOk) return es;
    // The new record is its creator's to close.
    VRxDbObject* opened = nullptr;
    vrxdbOpenVRxDbObject(opened, id, VRxDb::kForWrite);
    return Vrx::eOk;
}

std::vector<VRxDbObjectId> VRxDbSymbolTable::recordIds() const {
    std::vector<VRxDbObjectId> ids;
    for (VRxDbObjectId rid : m_records)
        if (!rid.isErased()) ids.push_back(rid);
    return ids;
}

Vrx::ErrorStatus VRxDbSymbolTable::newIterator(VRxDbSymbolTableIterator*& it, bool atBeginning, bool skipErased) const {
    it = new VRxDbSymbolTableIterator(skipErased ? recordIds() : m_records);
    if (!atBeginning)
        while (!it->done()) it->step();
    return Vrx::eOk;
}

VRxDbObject* VRxDbSymbolTable::clone() const {
    switch (kind()) {
        case VRxDbKind::BlockTable: return new VRxDbBlockTable(*static_cast<const VRxDbBlockTable*>(this));
        case VRxDbKind::LayerTable: return new VRxDbLayerTable(*static_cast<const VRxDbLayerTable*>(this));
        case VRxDbKind::LinetypeTable: return new VRxDbLinetypeTable(*static_cast<const VRxDbLinetypeTable*>(this));
        case VRxDbKind::TextStyleTable: return new VRxDbTextStyleTable(*static_cast<const VRxDbTextStyleTable*>(this));
        case VRxDbKind::DimStyleTable: return new VRxDbDimStyleTable(*static_cast<const VRxDbDimStyleTable*>(this));
        case VRxDbKind::PaperTable: return new VRxDbPaperTable(*static_cast<const VRxDbPaperTable*>(this));
        default: return nullptr;
    }
}

Vrx::ErrorStatus VRxDbSymbolTableIterator::getRecordId(VRxDbObjectId& id) const {
    if (done()) {
        id = VRxDbObjectId::kNull;
        return Vrx::eInvalidInput;
    }
    id = m_ids[m_pos];
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbPaperTable::setCurrentPaper(VRxDbObjectId paper) {
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (paper.isNull()) return Vrx::eNullObjectId;
    if (!has(paper)) return Vrx::eKeyNotFound;
    m_current = paper;
    return Vrx::eOk;
}

// ---- block records ----

VRxDbObject* VRxDbBlockTableRecord::clone() const {
    auto* copy = new VRxDbBlockTableRecord(*this);
    copy->m_entities.clear();
    return copy;
}

Vrx::ErrorStatus VRxDbBlockTableRecord::appendVRxDbEntity(VRxDbEntity* entity) {
    VRxDbObjectId id;
    return appendVRxDbEntity(id, entity);
}

Vrx::ErrorStatus VRxDbBlockTableRecord::appendVRxDbEntity(VRxDbObjectId& id, VRxDbEntity* entity) {
    id = VRxDbObjectId::kNull;
    if (entity == nullptr) return Vrx::eInvalidInput;
    if (entity->isDatabaseResident()) return Vrx::eAlreadyInDb;
    VRxDbDatabase* db = database();
    if (db == nullptr) return Vrx::eNotInDatabase;
    if (!isWriteEnabled()) return Vrx::eNotOpenForWrite;
    if (isErased()) return Vrx::eWasErased;
    id = vrxdbAddEntityTo(*db, objectId(), entity);
    if (id.isNull()) return Vrx::eInvalidOwnerObject;
    VRxDbObject* opened = nullptr;
    vrxdbOpenVRxDbObject(opened, id, VRxDb::kForWrite);
    return Vrx::eOk;
}

std::vector<VRxDbObjectId> VRxDbBlockTableRecord::entityIds() const {
    if (!isDatabaseResident()) return m_entities;
    std::vector<VRxDbObjectId> ids;
    for (VRxDbObjectId id : m_entities)
        if (!id.isErased()) ids.push_back(id);
    return ids;
}

Vrx::ErrorStatus VRxDbBlockTableRecord::newIterator(VRxDbBlockTableRecordIterator*& it, bool atBeginning,
                                                    bool skipErased) const {
    it = new VRxDbBlockTableRecordIterator(skipErased ? entityIds() : m_entities);
    if (!atBeginning)
        while (!it->done()) it->step();
    return Vrx::eOk;
}

bool VRxDbBlockTableRecord::isLayout() const {
    std::wstring name = getName();
    return VRxNames::sameName(name, kModelSpace) || VRxNames::startsWithName(name, kPaperSpace);
}

bool VRxDbBlockTableRecord::isAnonymous() const {
    std::wstring name = getName();
    return !name.empty() && name[0] == L'*' && !isLayout();
}

Vrx::ErrorStatus VRxDbBlockTableRecordIterator::getEntityId(VRxDbObjectId& id) const {
    if (done()) {
        id = VRxDbObjectId::kNull;
        return Vrx::eInvalidInput;
    }
    id = m_ids[m_pos];
    return Vrx::eOk;
}

Vrx::ErrorStatus VRxDbBlockTableRecordIterator::getEntity(VRxDbEntity*& entity, VRxDb::OpenMode mode,
                                                          bool openErased) const {
    entity = nullptr;
    if (done()) return Vrx::eInvalidInput;
    return vrxdbOpenObject(entity, m_ids[m_pos], mode, openErased);
}

// ---- layers and linetypes ----

VRxDbObjectId VRxDbLayerTableRecord::linetypeObjectId() const {
    VRxDbDatabase* db = database();
    if (db == nullptr) db = vrxdbHostApplicationServices()->workingDatabase();
    return db ? vrxdbRecordId(*db, db->linetypeTableId(), m_linetype.c_str()) : VRxDbObjectId::kNull;
}

void VRxDbLayerTableRecord::setLinetypeObjectId(VRxDbObjectId id) {
    VRxDbDatabase* db = id.database();
    auto* lt = db ? VRxDbLinetypeTableRecord::cast(vrxdbObjectAt(*db, id)) : nullptr;
    if (lt != nullptr) m_linetype = lt->getName();
}

double VRxDbLinetypeTableRecord::patternLength() const {
    double sum = 0.0;
    for (double d : m_dashes) sum += std::fabs(d);
    return sum;
}

// ---- dimension value formatting ----

std::wstring VRxDbDimStyleTableRecord::formatValue(double value) const {
    if (!std::isfinite(value)) return L"?";
    int decimals = m_dimdec < 0 ? 0 : (m_dimdec > 8 ? 8 : m_dimdec);
    double factor = std::pow(10.0, decimals);
    // A value typed as 2.005 is stored a hair below it; the drafter expects it
    // rounded up, so nudge by far less than anything a drawing can measure.
    double scaled = value * factor;
    scaled += std::copysign(1e-9 + std::fabs(scaled) * 1e-12, scaled);
    // Values too large for the scaled form have no decimals worth rounding.
    double rounded = std::isfinite(scaled) ? std::round(scaled) / factor : value;
    if (rounded == 0.0) rounded = 0.0;  // no "-0"
    wchar_t buf[512];  // room for the largest double in fixed notation
    std::swprintf(buf, 512, L"%.*f", decimals, rounded);
    std::wstring text(buf);
    if ((m_dimzin & 8) && text.find(L'.') != std::wstring::npos) {
        while (!text.empty() && text.back() == L'0') text.pop_back();
        if (!text.empty() && text.back() == L'.') text.pop_back();
    }
    if (m_dimzin & 4) {
        // Leading zero suppression: "0.5" -> ".5", but a plain "0" stays.
        size_t digit = (!text.empty() && text[0] == L'-') ? 1 : 0;
        if (text.size() > digit + 1 && text[digit] == L'0' && text[digit + 1] == L'.') text.erase(digit, 1);
    }
    return text;
}

// Records outlive the modules that add them; see the header.
VRxDbLayerTableRecord::~VRxDbLayerTableRecord() = default;
VRxDbLinetypeTableRecord::~VRxDbLinetypeTableRecord() = default;
VRxDbTextStyleTableRecord::~VRxDbTextStyleTableRecord() = default;
VRxDbDimStyleTableRecord::~VRxDbDimStyleTableRecord() = default;
VRxDbPaperTableRecord::~VRxDbPaperTableRecord() = default;
