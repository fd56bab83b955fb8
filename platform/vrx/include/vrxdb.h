// The drawing database: it owns every object of one drawing, hands out ids,
// keeps the tables and the header values, reads drawing files into itself and
// saves itself. One database is the host's working database; side databases
// read block drawings and are inserted into it as block definitions.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "vrxdbcore.h"
#include "vrxdbdict.h"
#include "vrxdbdims.h"
#include "vrxdbents.h"
#include "vrxdbtables.h"

// Header values that travel with the drawing file.
struct VRxDbHeader {
    int insunits = 4;      // millimetres
    int measurement = 1;   // metric
    int lunits = 2;        // decimal
    int luprec = 2;        // decimals shown
    int dimzin = 8;        // trailing zeros suppressed
    double ltscale = 1.0;
    std::wstring codePage = L"ANSI_936";
};

class VRxDbDatabase {
public:
    // buildDefaultDrawing: layer "0", linetypes ByBlock/ByLayer/Continuous, text style
    // "Standard", dimension style "Standard" (metric), model and paper space with
    // their papers "Model" and "Layout1", an empty named object dictionary.
    // Without it the database is empty until read.
    explicit VRxDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    VRxDbDatabase(const VRxDbDatabase&) = delete;
    VRxDbDatabase& operator=(const VRxDbDatabase&) = delete;
    ~VRxDbDatabase();

    Vrx::ErrorStatus getBlockTable(VRxDbBlockTable*& table, VRxDb::OpenMode mode);
    Vrx::ErrorStatus getLayerTable(VRxDbLayerTable*& table, VRxDb::OpenMode mode);
    Vrx::ErrorStatus getLinetypeTable(VRxDbLinetypeTable*& table, VRxDb::OpenMode mode);
    Vrx::ErrorStatus getTextStyleTable(VRxDbTextStyleTable*& table, VRxDb::OpenMode mode);
    Vrx::ErrorStatus getDimStyleTable(VRxDbDimStyleTable*& table, VRxDb::OpenMode mode);
    Vrx::ErrorStatus getPaperTable(VRxDbPaperTable*& table, VRxDb::OpenMode mode);
    VRxDbObjectId blockTableId() const { return m_blockTable; }
    VRxDbObjectId layerTableId() const { return m_layerTable; }
    VRxDbObjectId linetypeTableId() const { return m_linetypeTable; }
    VRxDbObjectId textStyleTableId() const { return m_textStyleTable; }
    VRxDbObjectId dimStyleTableId() const { return m_dimStyleTable; }
    VRxDbObjectId paperTableId() const { return m_paperTable; }
    // The root dictionary applications keep their named dictionaries in.
    Vrx::ErrorStatus getNamedObjectsDictionary(VRxDbDictionary*& dictionary, VRxDb::OpenMode mode);
    VRxDbObjectId namedObjectsDictionaryId() const { return m_namedObjects; }

    VRxDbObjectId currentSpaceId() const;
    VRxDbObjectId modelSpaceId() const;
    VRxDbObjectId paperSpaceId() const;
    VRxDbObjectId clayer() const { return m_clayer; }
    Vrx::ErrorStatus setClayer(VRxDbObjectId layer);
    VRxDbObjectId textstyle() const { return m_textstyle; }
    Vrx::ErrorStatus setTextstyle(VRxDbObjectId style);
    VRxDbObjectId dimstyle() const { return m_dimstyle; }
    Vrx::ErrorStatus setDimstyle(VRxDbObjectId style);
    VRxDbHeader& header() { return m_header; }
    const VRxDbHeader& header() const { return m_header; }

    // Drawing files are DXF. Both names read the same content; the share mode,
    // code page flag and password are accepted for the host's signature and unused.
    Vrx::ErrorStatus readDwgFile(const wchar_t* fileName, int shareMode = 64, bool allowCPConversion = false,
                                 const wchar_t* password = nullptr);
    Vrx::ErrorStatus readVdgFile(const wchar_t* fileName, int shareMode = 64, bool allowCPConversion = false,
                                 const wchar_t* password = nullptr);
    // Why the last read failed, with the line of the file where it did.
    const std::wstring& lastReadError() const { return m_readError; }
    // Saves as DXF: written to a temporary file beside the target, then renamed.
    Vrx::ErrorStatus saveAs(const wchar_t* fileName);

    // Copies the model space of source, with the layers, linetypes, text and dimension
    // styles and nested blocks its entities use, into a new block definition named
    // blockName. Records of those names already here are used as they are.
    Vrx::ErrorStatus insert(VRxDbObjectId& blockId, const wchar_t* blockName, VRxDbDatabase* source,
                            bool preserveSourceDatabase = true);

    // How many objects are open right now, and which (a command must close all it opens).
    int openObjectCount() const;
    std::vector<VRxDbObjectId> openObjectIds() const;

private:
    // The object table's back doors for the platform's own readers, writers and
    // renderers and for the host program (vrxdbobjecttable.h); a module goes
    // through ids and the open/close protocol.
    friend class VRxDbObjectTable;
    // The object behind an id of this database without opening it, null when none.
    VRxDbObject* objectAt(VRxDbObjectId id) const;
    // Puts a new object into the database under an owner; the database takes it over.
    // It is not left open. A null or already resident object is refused (null id) and not taken.
    VRxDbObjectId addObject(VRxDbObject* object, VRxDbObjectId owner);
    // Appends an entity to a block record without the open/close protocol. A new entity
    // is always taken over: when the block is not a block record of this database it is
    // deleted and the null id returned.
    VRxDbObjectId addEntityTo(VRxDbObjectId block, VRxDbEntity* entity);
    // Adds a record to a table without the open/close protocol (names checked, "*U"/"*D"
    // numbered). On failure the record stays the caller's to delete.
    Vrx::ErrorStatus addRecordTo(VRxDbObjectId table, VRxDbSymbolTableRecord* record, VRxDbObjectId& id);
    // The record of a table by name, or null id.
    VRxDbObjectId recordId(VRxDbObjectId table, const wchar_t* name) const;
    // Drops every object: the database is as after construction without a default drawing.
    void clear();
    // Makes this database a copy of source, object for object in the same order,
    // when source holds only tables, records and entities (no application
    // dictionaries, XRecords or extension dictionaries), as drawing files of
    // standard parts do. False, and nothing changed, for any other source or
    // while an object of either is open.
    bool copyPlainDrawing(const VRxDbDatabase& source);
    // Builds what buildDefaultDrawing builds (used after clear and by readers).
    void buildDefaults();
    uint32_t serial() const { return m_serial; }
    static VRxDbDatabase* fromSerial(uint32_t serial);
    VRxDbObjectId idOf(uint64_t handle) const;
    uint64_t nextHandle() const { return m_nextHandle; }


    friend class VRxDbObject;
    friend class VRxDbObjectId;
    friend Vrx::ErrorStatus vrxdbOpenVRxDbObject(VRxDbObject*&, VRxDbObjectId, VRxDb::OpenMode, bool);
    Vrx::ErrorStatus readDrawingFile(const wchar_t* fileName);

    uint32_t m_serial;
    uint64_t m_nextHandle = 1;
    // Objects by handle: handles are handed out in sequence and never reused, and
    // objects leave only all together (clear), so the object of handle h sits at
    // h - m_firstHandle. Every id is looked up this way, many times per entity.
    uint64_t m_firstHandle = 1;
    std::vector<std::unique_ptr<VRxDbObject>> m_objects;
    VRxDbObjectId m_blockTable, m_layerTable, m_linetypeTable, m_textStyleTable, m_dimStyleTable, m_paperTable;
    VRxDbObjectId m_namedObjects;
    VRxDbObjectId m_clayer, m_textstyle, m_dimstyle;
    VRxDbHeader m_header;
    std::wstring m_readError;
};

// The host's services: which database is being worked on.
class VRxDbHostApplicationServices {
public:
    VRxDbDatabase* workingDatabase() const { return m_working; }
    void setWorkingDatabase(VRxDbDatabase* db) { m_working = db; }

private:
    VRxDbDatabase* m_working = nullptr;
};

VRxDbHostApplicationServices* vrxdbHostApplicationServices();

inline Vrx::ErrorStatus vrxdbOpenVRxDbEntity(VRxDbEntity*& entity, VRxDbObjectId id, VRxDb::OpenMode mode,
                                            bool openErased = false) {
    return vrxdbOpenObject(entity, id, mode, openErased);
}
