// The symbol tables of a drawing (blocks, layers, linetypes, text styles,
// dimension styles, papers) and their records. A table is itself an object,
// opened and closed like any other; records are found by name without regard
// to the case of Latin letters, as CAD hosts do.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "vrxdbents.h"

class VRxDbSymbolTableRecord : public VRxDbObject {
public:
    VRX_DECLARE_MEMBERS_OF_KINDS(VRxDbSymbolTableRecord, BlockTableRecord, PaperTableRecord)
    std::wstring getName() const { return m_name; }
    Vrx::ErrorStatus getName(std::wstring& name) const { name = m_name; return Vrx::eOk; }
    // The name without a copy, for lookups that compare many records.
    const std::wstring& nameRef() const { return m_name; }
    Vrx::ErrorStatus setName(const wchar_t* name);

protected:
    VRxDbSymbolTableRecord() = default;
    VRxDbSymbolTableRecord(const VRxDbSymbolTableRecord&) = default;

private:
    std::wstring m_name;
};

class VRxDbSymbolTableIterator;

class VRxDbSymbolTable : public VRxDbObject {
public:
    VRX_DECLARE_MEMBERS_OF_KINDS(VRxDbSymbolTable, BlockTable, PaperTable)
    bool has(const wchar_t* name) const;
    bool has(VRxDbObjectId id) const;
    Vrx::ErrorStatus getAt(const wchar_t* name, VRxDbObjectId& id, bool getErased = false) const;
    // Adds a new record: the table must be open for write and the record of this
    // table's kind, named, not yet in a database and its name not taken (an
    // anonymous block "*U" or "*D" gets a fresh number). The record is left open for write.
    Vrx::ErrorStatus add(VRxDbSymbolTableRecord* record);
    Vrx::ErrorStatus add(VRxDbObjectId& id, VRxDbSymbolTableRecord* record);
    // Record ids in the order they were added, erased ones left out.
    std::vector<VRxDbObjectId> recordIds() const;
    // Caller deletes the iterator.
    Vrx::ErrorStatus newIterator(VRxDbSymbolTableIterator*& it, bool atBeginning = true, bool skipErased = true) const;
    VRxDbObject* clone() const override;

protected:
    VRxDbSymbolTable() = default;
    VRxDbSymbolTable(const VRxDbSymbolTable&) = default;
    virtual bool acceptsRecord(const VRxDbSymbolTableRecord* record) const = 0;

private:
    friend class VRxDbDatabase;
    friend class VRxDbSymbolTableRecord;
    std::vector<VRxDbObjectId> m_records;
    // Name hash -> the records whose names have it, erased ones included: a
    // drawing holds hundreds of blocks, and every block insertion looks its
    // block up by name.
    std::unordered_multimap<uint64_t, VRxDbObjectId> m_byName;
};

class VRxDbSymbolTableIterator {
public:
    explicit VRxDbSymbolTableIterator(std::vector<VRxDbObjectId> ids) : m_ids(std::move(ids)) {}
    void start() { m_pos = 0; }
    bool done() const { return m_pos >= m_ids.size(); }
    void step() { ++m_pos; }
    Vrx::ErrorStatus getRecordId(VRxDbObjectId& id) const;

private:
    std::vector<VRxDbObjectId> m_ids;
    size_t m_pos = 0;
};

// Typed access on top of the generic table.
template <class Record, VRxDbKind Kind>
class VRxDbTypedTable : public VRxDbSymbolTable {
public:
    VRxDbKind kind() const override { return Kind; }
    using VRxDbSymbolTable::getAt;
    Vrx::ErrorStatus getAt(const wchar_t* name, Record*& record, VRxDb::OpenMode mode, bool openErased = false) const {
        record = nullptr;
        VRxDbObjectId id;
        Vrx::ErrorStatus es = getAt(name, id, openErased);
        return es != Vrx::eOk ? es : vrxdbOpenObject(record, id, mode, openErased);
    }

protected:
    bool acceptsRecord(const VRxDbSymbolTableRecord* r) const override { return Record::cast(r) != nullptr; }
};

class VRxDbBlockTableRecordIterator;

class VRxDbBlockTableRecord : public VRxDbSymbolTableRecord {
public:
    VRX_DECLARE_MEMBERS(VRxDbBlockTableRecord, BlockTableRecord)
    static const wchar_t* const kModelSpace;  // "*Model_Space"
    static const wchar_t* const kPaperSpace;  // "*Paper_Space"
    VRxDbBlockTableRecord() = default;
    VRxDbKind kind() const override { return VRxDbKind::BlockTableRecord; }
    // A copy of the record alone; its entities stay where they are.
    VRxDbObject* clone() const override;

    // The record must be open for write and the entity new; the database takes the
    // entity over, and it is left open for write for its creator to close.
    Vrx::ErrorStatus appendVRxDbEntity(VRxDbEntity* entity);
    Vrx::ErrorStatus appendVRxDbEntity(VRxDbObjectId& id, VRxDbEntity* entity);
    // Entity ids in drawing order, erased ones left out.
    std::vector<VRxDbObjectId> entityIds() const;
    Vrx::ErrorStatus newIterator(VRxDbBlockTableRecordIterator*& it, bool atBeginning = true,
                                 bool skipErased = true) const;

    VRxGePoint3d origin() const { return m_origin; }
    Vrx::ErrorStatus setOrigin(const VRxGePoint3d& p) { m_origin = p; return Vrx::eOk; }
    bool isLayout() const;       // model or paper space
    bool isAnonymous() const;    // a name starting with "*" that is not a space
    // Where the block was read from, when it came from a drawing file.
    std::wstring pathName() const { return m_path; }
    void setPathName(const wchar_t* path) { m_path = path ? path : L""; }

private:
    friend class VRxDbDatabase;
    VRxGePoint3d m_origin;
    std::vector<VRxDbObjectId> m_entities;
    std::wstring m_path;
};

class VRxDbBlockTableRecordIterator {
public:
    explicit VRxDbBlockTableRecordIterator(std::vector<VRxDbObjectId> ids) : m_ids(std::move(ids)) {}
    void start() { m_pos = 0; }
    bool done() const { return m_pos >= m_ids.size(); }
    void step() { ++m_pos; }
    Vrx::ErrorStatus getEntityId(VRxDbObjectId& id) const;
    Vrx::ErrorStatus getEntity(VRxDbEntity*& entity, VRxDb::OpenMode mode, bool openErased = false) const;

private:
    std::vector<VRxDbObjectId> m_ids;
    size_t m_pos = 0;
};

class VRxDbLayerTableRecord : public VRxDbSymbolTableRecord {
public:
    VRX_DECLARE_MEMBERS(VRxDbLayerTableRecord, LayerTableRecord)
    VRxDbLayerTableRecord() = default;
    VRxDbLayerTableRecord(const VRxDbLayerTableRecord&) = default;
    // Out of line, so the class's virtual table lives in the host: a record an
    // extension module adds outlives the module once it is unloaded.
    ~VRxDbLayerTableRecord() override;
    VRxDbKind kind() const override { return VRxDbKind::LayerTableRecord; }
    VRxDbObject* clone() const override { return new VRxDbLayerTableRecord(*this); }

    VRxCmColor color() const { return m_color; }
    void setColor(const VRxCmColor& c) { m_color = c; }
    std::wstring linetypeName() const { return m_linetype; }
    void setLinetypeName(const wchar_t* name) { m_linetype = name ? name : L"Continuous"; }
    VRxDbObjectId linetypeObjectId() const;
    void setLinetypeObjectId(VRxDbObjectId id);
    VRxDb::LineWeight lineWeight() const { return m_weight; }
    void setLineWeight(VRxDb::LineWeight w) { m_weight = w; }
    bool isOff() const { return m_off; }
    void setIsOff(bool off) { m_off = off; }
    bool isFrozen() const { return m_frozen; }
    void setIsFrozen(bool frozen) { m_frozen = frozen; }
    bool isLocked() const { return m_locked; }
    void setIsLocked(bool locked) { m_locked = locked; }

private:
    VRxCmColor m_color{7};
    std::wstring m_linetype = L"Continuous";
    VRxDb::LineWeight m_weight = VRxDb::kLnWtByLwDefault;
    bool m_off = false, m_frozen = false, m_locked = false;
};

// A dash pattern: positive lengths are dashes, negative gaps, zero dots.
class VRxDbLinetypeTableRecord : public VRxDbSymbolTableRecord {
public:
    VRX_DECLARE_MEMBERS(VRxDbLinetypeTableRecord, LinetypeTableRecord)
    VRxDbLinetypeTableRecord() = default;
    VRxDbLinetypeTableRecord(const VRxDbLinetypeTableRecord&) = default;
    ~VRxDbLinetypeTableRecord() override;
    VRxDbKind kind() const override { return VRxDbKind::LinetypeTableRecord; }
    VRxDbObject* clone() const override { return new VRxDbLinetypeTableRecord(*this); }

    std::wstring comments() const { return m_comments; }
    void setComments(const wchar_t* text) { m_comments = text ? text : L""; }
    int numDashes() const { return static_cast<int>(m_dashes.size()); }
    double dashLengthAt(int i) const { return m_dashes.at(i); }
    void setDashes(const std::vector<double>& dashes) { m_dashes = dashes; }
    double patternLength() const;

private:
    std::wstring m_comments;
    std::vector<double> m_dashes;
};

// A text style: a fixed height (0 = set per text), a width factor, an obliquing
// angle, and font files for Western and for Chinese characters.
class VRxDbTextStyleTableRecord : public VRxDbSymbolTableRecord {
public:
    VRX_DECLARE_MEMBERS(VRxDbTextStyleTableRecord, TextStyleTableRecord)
    VRxDbTextStyleTableRecord() = default;
    VRxDbTextStyleTableRecord(const VRxDbTextStyleTableRecord&) = default;
    ~VRxDbTextStyleTableRecord() override;
    VRxDbKind kind() const override { return VRxDbKind::TextStyleTableRecord; }
    VRxDbObject* clone() const override { return new VRxDbTextStyleTableRecord(*this); }

    double textSize() const { return m_size; }
    Vrx::ErrorStatus setTextSize(double h) { m_size = h; return Vrx::eOk; }
    double obliquingAngle() const { return m_oblique; }
    Vrx::ErrorStatus setObliquingAngle(double a) { m_oblique = a; return Vrx::eOk; }
    // Character spacing factors of the host's font engine.
    double xIntFac() const { return m_xIntFac; }
    Vrx::ErrorStatus setXIntFac(double f) { m_xIntFac = f; return Vrx::eOk; }
    double yIntFac() const { return m_yIntFac; }
    Vrx::ErrorStatus setYIntFac(double f) { m_yIntFac = f; return Vrx::eOk; }
    // Width factors of Chinese and of Western characters.
    double xScaleChina() const { return m_xScaleChina; }
    Vrx::ErrorStatus setXScaleChina(double f) { m_xScaleChina = f; return Vrx::eOk; }
    double xScaleWest() const { return m_xScaleWest; }
    Vrx::ErrorStatus setXScaleWest(double f) { m_xScaleWest = f; return Vrx::eOk; }
    std::wstring cFont() const { return m_cFont; }
    Vrx::ErrorStatus setCFont(const wchar_t* file) { m_cFont = file ? file : L""; return Vrx::eOk; }
    std::wstring eFont() const { return m_eFont; }
    Vrx::ErrorStatus setEFont(const wchar_t* file) { m_eFont = file ? file : L""; return Vrx::eOk; }
    // The width factor a generic reader should use.
    double xScale() const { return m_xScaleWest; }

private:
    double m_size = 0.0, m_oblique = 0.0, m_xIntFac = 0.0, m_yIntFac = 0.0;
    double m_xScaleChina = 1.0, m_xScaleWest = 1.0;
    std::wstring m_cFont, m_eFont = L"txt";
};

// A dimension style: the dimension variables the host's dimensions are drawn with.
class VRxDbDimStyleTableRecord : public VRxDbSymbolTableRecord {
public:
    VRX_DECLARE_MEMBERS(VRxDbDimStyleTableRecord, DimStyleTableRecord)
    VRxDbDimStyleTableRecord() = default;
    VRxDbDimStyleTableRecord(const VRxDbDimStyleTableRecord&) = default;
    ~VRxDbDimStyleTableRecord() override;
    VRxDbKind kind() const override { return VRxDbKind::DimStyleTableRecord; }
    VRxDbObject* clone() const override { return new VRxDbDimStyleTableRecord(*this); }
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_dimtxsty); }

    VRxCmColor dimclrd() const { return m_dimclrd; }
    Vrx::ErrorStatus setDimclrd(const VRxCmColor& c) { m_dimclrd = c; return Vrx::eOk; }
    VRxCmColor dimclre() const { return m_dimclre; }
    Vrx::ErrorStatus setDimclre(const VRxCmColor& c) { m_dimclre = c; return Vrx::eOk; }
    VRxCmColor dimclrt() const { return m_dimclrt; }
    Vrx::ErrorStatus setDimclrt(const VRxCmColor& c) { m_dimclrt = c; return Vrx::eOk; }
    int dimtad() const { return m_dimtad; }
    Vrx::ErrorStatus setDimtad(int v) { m_dimtad = v; return Vrx::eOk; }
    bool dimtih() const { return m_dimtih; }
    Vrx::ErrorStatus setDimtih(bool v) { m_dimtih = v; return Vrx::eOk; }
    bool dimtoh() const { return m_dimtoh; }
    Vrx::ErrorStatus setDimtoh(bool v) { m_dimtoh = v; return Vrx::eOk; }
    VRxDbObjectId dimtxsty() const { return m_dimtxsty; }
    Vrx::ErrorStatus setDimtxsty(VRxDbObjectId id) { m_dimtxsty = id; return Vrx::eOk; }
    double dimtxt() const { return m_dimtxt; }
    Vrx::ErrorStatus setDimtxt(double v) { m_dimtxt = v; return Vrx::eOk; }
    double dimasz() const { return m_dimasz; }
    Vrx::ErrorStatus setDimasz(double v) { m_dimasz = v; return Vrx::eOk; }
    double dimdle() const { return m_dimdle; }
    Vrx::ErrorStatus setDimdle(double v) { m_dimdle = v; return Vrx::eOk; }
    double dimexe() const { return m_dimexe; }
    Vrx::ErrorStatus setDimexe(double v) { m_dimexe = v; return Vrx::eOk; }
    double dimexo() const { return m_dimexo; }
    Vrx::ErrorStatus setDimexo(double v) { m_dimexo = v; return Vrx::eOk; }
    double dimgap() const { return m_dimgap; }
    Vrx::ErrorStatus setDimgap(double v) { m_dimgap = v; return Vrx::eOk; }
    double dimscale() const { return m_dimscale; }
    Vrx::ErrorStatus setDimscale(double v) { m_dimscale = v; return Vrx::eOk; }
    double dimlfac() const { return m_dimlfac; }
    Vrx::ErrorStatus setDimlfac(double v) { m_dimlfac = v; return Vrx::eOk; }
    // Decimal places of measured values and suppression of zeros (8: trailing zeros).
    int dimdec() const { return m_dimdec; }
    Vrx::ErrorStatus setDimdec(int v) { m_dimdec = v; return Vrx::eOk; }
    int dimzin() const { return m_dimzin; }
    Vrx::ErrorStatus setDimzin(int v) { m_dimzin = v; return Vrx::eOk; }
    // Formats a measured value as the style shows it (30.00 -> "30", 12.50 -> "12.5").
    std::wstring formatValue(double value) const;

private:
    VRxCmColor m_dimclrd{0}, m_dimclre{0}, m_dimclrt{0};
    int m_dimtad = 1;
    bool m_dimtih = false, m_dimtoh = false;
    VRxDbObjectId m_dimtxsty;
    double m_dimtxt = 2.5, m_dimasz = 2.5, m_dimdle = 0.0, m_dimexe = 1.25, m_dimexo = 0.625;
    double m_dimgap = 0.625, m_dimscale = 1.0, m_dimlfac = 1.0;
    int m_dimdec = 2, m_dimzin = 8;
};

// A paper (layout): the model tab or a sheet, each drawn from its space block.
class VRxDbPaperTableRecord : public VRxDbSymbolTableRecord {
public:
    VRX_DECLARE_MEMBERS(VRxDbPaperTableRecord, PaperTableRecord)
    VRxDbPaperTableRecord() = default;
    VRxDbPaperTableRecord(const VRxDbPaperTableRecord&) = default;
    ~VRxDbPaperTableRecord() override;
    VRxDbKind kind() const override { return VRxDbKind::PaperTableRecord; }
    VRxDbObject* clone() const override { return new VRxDbPaperTableRecord(*this); }
    void referencedIds(std::vector<VRxDbObjectId*>& ids) override { ids.push_back(&m_block); }

    VRxDbObjectId blockTableRecordId() const { return m_block; }
    void setBlockTableRecordId(VRxDbObjectId id) { m_block = id; }
    int tabOrder() const { return m_tabOrder; }
    void setTabOrder(int order) { m_tabOrder = order; }

private:
    VRxDbObjectId m_block;
    int m_tabOrder = 0;
};

class VRxDbBlockTable : public VRxDbTypedTable<VRxDbBlockTableRecord, VRxDbKind::BlockTable> {
public:
    VRX_DECLARE_MEMBERS(VRxDbBlockTable, BlockTable)
};
class VRxDbLayerTable : public VRxDbTypedTable<VRxDbLayerTableRecord, VRxDbKind::LayerTable> {
public:
    VRX_DECLARE_MEMBERS(VRxDbLayerTable, LayerTable)
};
class VRxDbLinetypeTable : public VRxDbTypedTable<VRxDbLinetypeTableRecord, VRxDbKind::LinetypeTable> {
public:
    VRX_DECLARE_MEMBERS(VRxDbLinetypeTable, LinetypeTable)
};
class VRxDbTextStyleTable : public VRxDbTypedTable<VRxDbTextStyleTableRecord, VRxDbKind::TextStyleTable> {
public:
    VRX_DECLARE_MEMBERS(VRxDbTextStyleTable, TextStyleTable)
};
class VRxDbDimStyleTable : public VRxDbTypedTable<VRxDbDimStyleTableRecord, VRxDbKind::DimStyleTable> {
public:
    VRX_DECLARE_MEMBERS(VRxDbDimStyleTable, DimStyleTable)
};
class VRxDbPaperTable : public VRxDbTypedTable<VRxDbPaperTableRecord, VRxDbKind::PaperTable> {
public:
    VRX_DECLARE_MEMBERS(VRxDbPaperTable, PaperTable)
    VRxDbObjectId currentPaperId() const { return m_current; }
    // The paper must be a record of this table; the table must be open for write.
    Vrx::ErrorStatus setCurrentPaper(VRxDbObjectId paper);

private:
    friend class VRxDbDatabase;
    VRxDbObjectId m_current;
};
