// Keeping designs in the drawing and finding them again. Every object opened
// here is closed on every path, by the small guard below, since a drawing
// object left open would block the next command that writes to it.
#include "model/stored_designs.h"

#include "draw/opened_object.h"
#include "model/design_record.h"
#include "vrxrb.h"
#include "winhost.h"

const wchar_t* const kMouldBaseListName = L"ZDT_MOULD_BASES";
const wchar_t* const kDesignRecordEntry = L"ZDT_MOULD_BASE";
const wchar_t* const kOrderTableEntry = L"ZDT_ORDER_TABLE";

namespace {

std::wstring statusWhy(const wchar_t* what, Vrx::ErrorStatus es) {
    std::wstring why;
    winFormat(why, L"%s：%s", what, Vrx::statusText(es));
    return why;
}

// The record of the list entry: a pointer to the title.
resbuf* titlePointer(VRxDbObjectId title) {
    vrx_name name;
    Vrx::dropStatus(vrxdbGetVRxName(name, title), "naming an id into a buffer of ours cannot fail");
    return vrxutBuildList(340, name, 0);
}

// Puts a new XRecord holding values under name in an open dictionary.
Vrx::ErrorStatus putRecord(VRxDbDictionary& dictionary, const std::wstring& name, const resbuf* values) {
    auto* record = new VRxDbXrecord;
    VRxDbObjectId id;
    Vrx::ErrorStatus es = dictionary.setAt(name.c_str(), record, id);
    if (es != Vrx::eOk) {
        delete record;
        return es;
    }
    OpenedObject<VRxDbXrecord> added(record);
    return added->setFromRbChain(values);
}

// Puts values under entry in the title's extension dictionary, in place of what was there.
Vrx::ErrorStatus keepWithTitle(VRxDbObjectId title, const wchar_t* entry, const resbuf* values) {
    OpenedObject<VRxDbEntity> entity;
    Vrx::ErrorStatus es = entity.open(title, VRxDb::kForWrite);
    if (es != Vrx::eOk) return es;
    if (entity->extensionDictionary().isNull() && (es = entity->createExtensionDictionary()) != Vrx::eOk) return es;
    const VRxDbObjectId dictionaryId = entity->extensionDictionary();
    entity.reset();

    OpenedObject<VRxDbDictionary> dictionary;
    if ((es = dictionary.open(dictionaryId, VRxDb::kForWrite)) != Vrx::eOk) return es;
    VRxDbObjectId old;
    if (dictionary->remove(entry, old) == Vrx::eOk) {
        OpenedObject<VRxDbObject> stale;
        if (vrxdbOpenVRxDbObject(stale.receive(), old, VRxDb::kForWrite) == Vrx::eOk)
            Vrx::dropStatus(stale->erase(), "a stale record left behind is out of the dictionary and read by nobody");
    }
    return putRecord(*dictionary.get(), entry, values);
}

// A copy of the values under entry in the title's extension dictionary (for
// vrxutRelRb), with the title's position; false when there is no such entry.
bool readFromTitle(VRxDbObjectId titleId, const wchar_t* entry, resbuf*& values, VRxGePoint3d* position = nullptr) {
    values = nullptr;
    OpenedObject<VRxDbText> title;
    if (title.open(titleId, VRxDb::kForRead) != Vrx::eOk) return false;
    if (position != nullptr) *position = title->position();
    const VRxDbObjectId dictionaryId = title->extensionDictionary();
    title.reset();
    OpenedObject<VRxDbDictionary> dictionary;
    OpenedObject<VRxDbXrecord> record;
    VRxDbObjectId recordId;
    if (dictionaryId.isNull() || dictionary.open(dictionaryId, VRxDb::kForRead) != Vrx::eOk ||
        dictionary->getAt(entry, recordId) != Vrx::eOk || record.open(recordId, VRxDb::kForRead) != Vrx::eOk)
        return false;
    return record->rbChain(values) == Vrx::eOk;
}

Vrx::ErrorStatus listTitle(VRxDbDatabase& db, VRxDbObjectId title) {
    OpenedObject<VRxDbDictionary> root;
    VRxDbDictionary* opened = nullptr;
    Vrx::ErrorStatus es = db.getNamedObjectsDictionary(opened, VRxDb::kForWrite);
    if (es != Vrx::eOk) return es;
    root.adopt(opened);

    OpenedObject<VRxDbDictionary> list;
    VRxDbObjectId listId;
    if (root->getAt(kMouldBaseListName, listId) == Vrx::eOk) {
        if ((es = list.open(listId, VRxDb::kForWrite)) != Vrx::eOk) return es;
    } else {
        auto* fresh = new VRxDbDictionary;
        if ((es = root->setAt(kMouldBaseListName, fresh, listId)) != Vrx::eOk) {
            delete fresh;
            return es;
        }
        list.adopt(fresh);
    }
    root.reset();

    // Entries are numbered in drawing order; a number is never given twice
    // while its entry is there.
    std::wstring name;
    for (int n = list->numEntries() + 1; name.empty() || list->has(name.c_str()); ++n)
        name = L"MB" + std::to_wstring(n);
    resbuf* pointer = titlePointer(title);
    es = putRecord(*list.get(), name, pointer);
    vrxutRelRb(pointer);
    return es;
}

// The design kept with a listed title, read into a fresh model.
void readDesignOf(StoredMouldBase& base) {
    resbuf* values = nullptr;
    if (!readFromTitle(base.title, kDesignRecordEntry, values, &base.titlePosition)) {
        base.problem = L"模架标题上没有设计记录";
        return;
    }
    auto design = std::make_unique<MouldBaseModel>();
    if (readDesignRecord(values, *design, base.layout, base.problem)) base.design = std::move(design);
    vrxutRelRb(values);
}

// The title a list entry points at; null when the entry holds no pointer.
bool listedTitle(VRxDbObjectId entry, VRxDbObjectId& title) {
    title = VRxDbObjectId::kNull;
    OpenedObject<VRxDbXrecord> record;
    if (record.open(entry, VRxDb::kForRead) != Vrx::eOk) return false;
    resbuf* values = nullptr;
    const bool ok = record->rbChain(values) == Vrx::eOk && values != nullptr && values->rbnext == nullptr && values->restype == 340 &&
                    vrxdbGetObjectId(title, values->resval.rlname) == Vrx::eOk;
    vrxutRelRb(values);
    return ok;
}

}  // namespace

bool storeMouldBaseDesign(VRxDbDatabase& db, const MouldBaseModel& model, const VRxGePoint3d& insertionPoint,
                          double scale, VRxDbObjectId title, std::wstring& why) {
    why.clear();
    resbuf* design = makeDesignRecord(model, insertionPoint, scale);
    Vrx::ErrorStatus es = keepWithTitle(title, kDesignRecordEntry, design);
    vrxutRelRb(design);
    if (es != Vrx::eOk) {
        why = statusWhy(L"设计记录", es);
        return false;
    }
    if ((es = listTitle(db, title)) != Vrx::eOk) {
        why = statusWhy(L"模架列表", es);
        return false;
    }
    return true;
}

std::vector<StoredMouldBase> readStoredMouldBases(VRxDbDatabase& db, bool& hasList) {
    std::vector<StoredMouldBase> bases;
    hasList = false;
    OpenedObject<VRxDbDictionary> root;
    VRxDbDictionary* opened = nullptr;
    if (db.getNamedObjectsDictionary(opened, VRxDb::kForRead) != Vrx::eOk) return bases;
    root.adopt(opened);
    OpenedObject<VRxDbDictionary> list;
    VRxDbObjectId listId;
    if (root->getAt(kMouldBaseListName, listId) != Vrx::eOk || list.open(listId, VRxDb::kForRead) != Vrx::eOk)
        return bases;
    hasList = true;
    for (const auto& entry : list->entries()) {
        StoredMouldBase base;
        if (!listedTitle(entry.second, base.title)) {
            base.problem = L"模架列表项“" + entry.first + L"”已损坏";
            bases.push_back(std::move(base));
            continue;
        }
        // A base whose title was erased has been taken out of the drawing.
        if (base.title.isNull() || !base.title.isValid() || base.title.isErased()) continue;
        readDesignOf(base);
        bases.push_back(std::move(base));
    }
    return bases;
}

std::vector<VRxDbObjectId> storedOrderTable(VRxDbObjectId title) {
    std::vector<VRxDbObjectId> entities;
    resbuf* values = nullptr;
    if (!readFromTitle(title, kOrderTableEntry, values)) return entities;
    for (const resbuf* rb = values; rb != nullptr; rb = rb->rbnext) {
        VRxDbObjectId id;
        if (rb->restype == 330 && vrxdbGetObjectId(id, rb->resval.rlname) == Vrx::eOk && !id.isNull())
            entities.push_back(id);
    }
    vrxutRelRb(values);
    return entities;
}

bool storeOrderTable(VRxDbObjectId title, const std::vector<VRxDbObjectId>& entities) {
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (VRxDbObjectId id : entities) {
        resbuf* rb = vrxutNewRb(330);
        Vrx::dropStatus(vrxdbGetVRxName(rb->resval.rlname, id), "naming an id into a buffer of ours cannot fail");
        *tail = rb;
        tail = &rb->rbnext;
    }
    const Vrx::ErrorStatus es = keepWithTitle(title, kOrderTableEntry, head);
    vrxutRelRb(head);
    return es == Vrx::eOk;
}
