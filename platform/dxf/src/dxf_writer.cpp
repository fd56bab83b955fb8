// Writes a drawing database as DXF text (the 2010 file version, UTF-8,
// millimetres), complete enough that an independent, strict reader takes it
// without repair: handles and owners on everything, the block record table,
// the layout objects, and for every dimension the block that holds its drawn
// geometry, so a reader that does not measure dimensions itself still shows them.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "dxf_internal.h"
#include "vrxdxf.h"
#include "vrxrb.h"
#include "vrxdbobjecttable.h"

namespace VRxDxf {
namespace {

using detail::foldName;
using detail::toUtf8;

const double kPi = 3.14159265358979323846;
double deg(double radians) { return radians * 180.0 / kPi; }

// The shortest text that reads back as v, always with a decimal point or an
// exponent, so every reader takes it as a real.
size_t formatDouble(double v, char* buf, size_t size) {
    if (!std::isfinite(v) || v == 0.0) {
        std::memcpy(buf, "0.0", 3);
        return 3;
    }
    // Whole numbers below 10000 (most coordinates of a mould base) are their
    // digits: no shorter form exists, and they cost no shortest-form search.
    if (std::fabs(v) < 10000.0 && v == std::trunc(v)) {
        char* end = std::to_chars(buf, buf + size - 2, static_cast<int>(v)).ptr;
        std::memcpy(end, ".0", 2);
        return static_cast<size_t>(end + 2 - buf);
    }
    // Numbers with up to four decimals between 0.1 and 10000 (the rest of a
    // mould base's coordinates): the fewest decimals that read back as v are
    // the shortest form, as the general search would find it.
    const double magnitude = std::fabs(v);
    if (magnitude >= 0.1 && magnitude < 10000.0) {
        static const double kScale[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
        for (int decimals = 1; decimals <= 4; ++decimals) {
            const long long digits = static_cast<long long>(magnitude * kScale[decimals] + 0.5);
            if (static_cast<double>(digits) / kScale[decimals] != magnitude) continue;
            const long long unit = static_cast<long long>(kScale[decimals]);
            char* p = buf;
            if (v < 0) *p++ = '-';
            p = std::to_chars(p, buf + size, digits / unit).ptr;
            *p++ = '.';
            long long fraction = digits % unit;
            for (int d = decimals - 1; d >= 0; --d, fraction /= 10) p[d] = static_cast<char>('0' + fraction % 10);
            return static_cast<size_t>(p + decimals - buf);
        }
    }
    char* end = std::to_chars(buf, buf + size - 2, v).ptr;
    if (std::find_if(buf, end, [](char c) { return c == '.' || c == 'e' || c == 'E'; }) == end) {
        *end++ = '.';
        *end++ = '0';
    }
    return static_cast<size_t>(end - buf);
}

size_t formatHex(uint64_t h, char* buf, size_t size) {
    char* end = std::to_chars(buf, buf + size, h, 16).ptr;
    for (char* c = buf; c != end; ++c)
        if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
    return static_cast<size_t>(end - buf);
}

// A value DXF can carry on one line: no line breaks or other control characters.
std::string oneLine(const std::wstring& text) {
    if (std::none_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; })) return toUtf8(text);
    std::wstring w = text;
    for (wchar_t& c : w)
        if (c < 0x20 || c == 0x7F) c = L' ';
    return toUtf8(w);
}

// Paragraph text in a single value: line breaks become the paragraph code.
std::wstring mtextBreaks(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (c == L'\n' || c == L'\r') out += L"\\P";
        else if (c < 0x20) out += L' ';
        else out += c;
    }
    return out;
}

// Plain text made safe inside paragraph text, where backslash and braces are codes.
std::wstring mtextEscape(const std::wstring& text) {
    std::wstring out;
    for (wchar_t c : text) {
        if (c == L'\\') out += L"\\\\";
        else if (c == L'{') out += L"\\{";
        else if (c == L'}') out += L"\\}";
        else out += c;
    }
    return mtextBreaks(out);
}

// The text of one section as it is written: every line goes straight into
// the buffer, as a drawing has tens of thousands of them.
class Out {
public:
    std::string text() const { return std::string(m_data.get(), m_used); }

    // One line of the group code, right-aligned in three columns as DXF writers
    // lay it out, and one of the value.
    void raw(int c, std::string_view v) {
        char* p = code(room(v.size() + 1), c);
        std::memcpy(p, v.data(), v.size());
        end(p + v.size());
    }
    void str(int c, const std::wstring& v) { raw(c, oneLine(v)); }
    void num(int c, double v) {
        char* p = code(room(kNumberRoom), c);
        end(p + formatDouble(v, p, kNumberRoom));
    }
    void integer(int c, long long v) {
        char* p = code(room(kNumberRoom), c);
        end(std::to_chars(p, p + kNumberRoom, v).ptr);
    }
    void handle(int c, uint64_t h) {
        char* p = code(room(kNumberRoom), c);
        end(p + formatHex(h, p, kNumberRoom));
    }

private:
    static constexpr size_t kNumberRoom = 40;
    static constexpr size_t kCodeRoom = 16;

    // The place for a line of a code and at most n more bytes.
    char* room(size_t n) {
        if (m_used + kCodeRoom + n + 1 > m_size) {
            // Grown without clearing: only what was written is ever read.
            const size_t size = std::max(2 * m_size, m_used + kCodeRoom + n + 1 + 4096);
            std::unique_ptr<char[]> bigger(new char[size]);
            if (m_used != 0) std::memcpy(bigger.get(), m_data.get(), m_used);
            m_data = std::move(bigger);
            m_size = size;
        }
        return m_data.get() + m_used;
    }
    static char* code(char* p, int c) {
        if (c >= 0 && c < 1000) {
            p[0] = c >= 100 ? static_cast<char>('0' + c / 100) : ' ';
            p[1] = c >= 10 ? static_cast<char>('0' + c / 10 % 10) : ' ';
            p[2] = static_cast<char>('0' + c % 10);
            p[3] = '\n';
            return p + 4;
        }
        char digits[kCodeRoom];
        const size_t d = static_cast<size_t>(std::to_chars(digits, digits + sizeof digits, c).ptr - digits);
        for (size_t pad = d; pad < 3; ++pad) *p++ = ' ';
        std::memcpy(p, digits, d);
        p[d] = '\n';
        return p + d + 1;
    }
    void end(char* p) {
        *p++ = '\n';
        m_used = static_cast<size_t>(p - m_data.get());
    }

    std::unique_ptr<char[]> m_data;
    size_t m_size = 0, m_used = 0;

public:
    void point(int c, const VRxGePoint3d& p) {
        num(c, p.x);
        num(c + 10, p.y);
        num(c + 20, p.z);
    }
    void point(int c, double x, double y, double z) { point(c, VRxGePoint3d(x, y, z)); }
    void vector(int c, const VRxGeVector3d& v) { point(c, VRxGePoint3d(v.x, v.y, v.z)); }
    // Long paragraph text goes in chunks of group 3 and a last group 1.
    void longText(const std::wstring& text) {
        const size_t chunk = 250;
        size_t i = 0;
        while (text.size() - i > chunk) {
            size_t n = chunk;
            // Keep a code such as \P in one chunk.
            if (text[i + n - 1] == L'\\') --n;
            raw(3, toUtf8(text.substr(i, n)));
            i += n;
        }
        raw(1, toUtf8(text.substr(i)));
    }
};

// Names of one symbol table as written: every name DXF can hold stays as it
// is, the others get a valid name, and a clash gets a counter.
class NameTable {
public:
    // Registers a record name; returns the name written.
    std::wstring add(const std::wstring& original) {
        std::wstring key = foldName(original);
        auto it = m_byOriginal.find(key);
        if (it != m_byOriginal.end()) return it->second;
        std::wstring candidate = dxfSafeName(original);
        std::wstring name = candidate;
        for (int n = 2; m_written.count(foldName(name)) != 0; ++n) name = candidate + L"_" + std::to_wstring(n);
        m_written.insert(foldName(name));
        m_byOriginal[key] = name;
        return name;
    }
    bool has(const std::wstring& original) const { return m_byOriginal.count(foldName(original)) != 0; }
    std::wstring lookup(const std::wstring& original) const {
        auto it = m_byOriginal.find(foldName(original));
        return it == m_byOriginal.end() ? std::wstring() : it->second;
    }
    bool taken(const std::wstring& written) const { return m_written.count(foldName(written)) != 0; }
    void reserve(const std::wstring& written) { m_written.insert(foldName(written)); }

private:
    std::map<std::wstring, std::wstring> m_byOriginal;
    std::set<std::wstring> m_written;
};

struct LayerOut {
    std::wstring name;
    const VRxDbLayerTableRecord* rec = nullptr;
    uint64_t handle = 0;
};
struct LinetypeOut {
    std::wstring name;
    const VRxDbLinetypeTableRecord* rec = nullptr;
    uint64_t handle = 0;
};
struct StyleOut {
    std::wstring name;
    const VRxDbTextStyleTableRecord* rec = nullptr;
    uint64_t handle = 0;
};
struct DimStyleOut {
    std::wstring name;
    const VRxDbDimStyleTableRecord* rec = nullptr;
    uint64_t handle = 0;
};
struct BlockOut {
    std::wstring name;      // as written
    std::wstring original;  // as in the database
    const VRxDbBlockTableRecord* rec = nullptr;  // null for dimension blocks
    uint64_t recordHandle = 0, beginHandle = 0, endHandle = 0, layoutHandle = 0;
    bool paper = false, anonymous = false;
    std::string nameLine;  // the name as its references write it, once one has
};
struct LayoutOut {
    std::wstring name;
    uint64_t handle = 0;
    size_t block = 0;  // index into m_blocks
    int tabOrder = 0;
};

const wchar_t* const kAppName = L"ZDTCAD";

class Writer {
public:
    explicit Writer(const VRxDbDatabase& db)
        : m_db(db), m_handles(vrxdbNextHandle(db), 0), m_writtenEntities(vrxdbNextHandle(db), false) {}
    std::string run();

private:
    const VRxDbDatabase& m_db;
    uint64_t m_next = 1;
    // The handle written for each handle of the database (0: none yet).
    std::vector<uint64_t> m_handles;
    std::map<uint64_t, uint64_t> m_otherHandles;
    std::unordered_map<std::wstring, std::string> m_layerLines, m_linetypeLines;

    NameTable m_layerNames, m_ltypeNames, m_styleNames, m_dimStyleNames, m_blockNames;
    std::vector<LayerOut> m_layers;
    std::vector<LinetypeOut> m_ltypes;
    std::vector<StyleOut> m_styles;
    std::vector<DimStyleOut> m_dimStyles;
    std::vector<BlockOut> m_blocks;
    std::map<uint64_t, size_t> m_blockIndex;  // database handle -> m_blocks
    std::vector<LayoutOut> m_layouts;
    size_t m_model = 0, m_paper = 0;
    uint64_t m_rootDict = 0, m_groupDict = 0, m_layoutDict = 0;
    uint64_t m_tableVport = 0, m_tableLtype = 0, m_tableLayer = 0, m_tableStyle = 0, m_tableView = 0,
             m_tableUcs = 0, m_tableAppid = 0, m_tableDimstyle = 0, m_tableBlockRecord = 0;
    std::wstring m_defaultStyle = L"Standard", m_defaultDimStyle = L"Standard";
    Out m_dimBlocks;  // the blocks of the dimensions, written as the dimensions are met
    int m_dimCounter = 0;
    VRxDbExtents m_extents;
    std::map<VRxDbObjectId, VRxDbExtents> m_blockExtents;  // a block's content, measured once
    bool m_currentIsModel = true;
    // Applications' dictionaries and XRecords, in the order they are written,
    // and the entities written (pointers to anything else are written as null).
    std::vector<VRxDbObjectId> m_extensionDictionaries;
    std::vector<VRxDbObjectId> m_objects;
    std::set<uint64_t> m_objectHandles;
    std::vector<bool> m_writtenEntities;  // by handle of the database

    uint64_t fresh() { return m_next++; }
    uint64_t handleOf(VRxDbObjectId id) {
        if (id.isNull()) return 0;
        if (id.handle() >= m_handles.size()) {
            // Not an object of this database: found the slow way.
            auto it = m_otherHandles.find(id.handle());
            return it != m_otherHandles.end() ? it->second : (m_otherHandles[id.handle()] = fresh());
        }
        if (m_handles[id.handle()] == 0) m_handles[id.handle()] = fresh();
        return m_handles[id.handle()];
    }
    template <class R>
    std::vector<const R*> records(VRxDbObjectId tableId) const {
        std::vector<const R*> out;
        const VRxDbSymbolTable* table = VRxDbSymbolTable::cast(vrxdbObjectAt(m_db, tableId));
        if (table == nullptr) return out;
        for (VRxDbObjectId id : table->recordIds()) {
            const R* r = R::cast(vrxdbObjectAt(m_db, id));
            if (r != nullptr && !r->isErased()) out.push_back(r);
        }
        return out;
    }

    // A table's records, each once under the name it is written with, in table order.
    template <class Out>
    void collectRecords(VRxDbObjectId tableId, NameTable& names, std::vector<Out>& out) {
        using Record = std::remove_const_t<std::remove_pointer_t<decltype(Out::rec)>>;
        for (const Record* r : records<Record>(tableId)) {
            if (names.has(r->getName())) continue;
            Out o;
            o.name = names.add(r->getName());
            o.rec = r;
            o.handle = handleOf(r->objectId());
            out.push_back(o);
        }
    }
    // The "Standard" record every drawing has, when the table lacks one.
    template <class Out>
    void collectStandard(NameTable& names, std::vector<Out>& out) {
        if (names.has(L"Standard")) return;
        Out o;
        o.name = names.add(L"Standard");
        o.handle = fresh();
        out.push_back(o);
    }
    void collectTables();
    void collectBlocks();
    void collectLayouts();
    std::wstring layerName(const std::wstring& name);
    std::wstring linetypeName(const std::wstring& name);
    // The entities' layer and linetype lines, by the names the entities carry:
    // worked out once per name (a linetype written as ByLayer is left out: null).
    const std::string& layerLine(const std::wstring& name);
    const std::string* linetypeLine(const std::wstring& name);
    std::wstring styleName(VRxDbObjectId id) const;
    uint64_t styleHandle(VRxDbObjectId id) const;
    std::wstring dimStyleName(VRxDbObjectId id) const;
    const VRxDbDimStyleTableRecord* dimStyle(VRxDbObjectId id) const;

    void writeEntity(Out& o, const VRxDbEntity& e, uint64_t handle, uint64_t owner, bool paper,
                     VRxDbExtents* ext);
    void measure(const VRxDbEntity& e, VRxDbExtents* extents);
    void common(Out& o, const char* type, const VRxDbEntity& e, uint64_t handle, uint64_t owner, bool paper,
                uint64_t reactor = 0);
    void writeDimension(Out& o, const VRxDbDimension& d, uint64_t handle, uint64_t owner, bool paper, VRxDbExtents* ext);
    void writeLeader(Out& o, const VRxDbDimLeader& l, uint64_t handle, uint64_t owner, bool paper, VRxDbExtents* ext);
    void blockBegin(Out& o, const BlockOut& b);
    // The 102 {ACAD_XDICTIONARY group of an object with a live extension
    // dictionary; the dictionary is then written with the objects.
    void extensionDictionary(Out& o, const VRxDbObject& object);
    void collectObjects();
    // An application object's record up to its subclass marker: type, handle,
    // owner as reactor and owner, its own extension dictionary.
    void objectHeader(Out& o, const char* type, const VRxDbObject& object, uint64_t owner, const char* subclass);
    void writeDictionary(Out& o, const VRxDbDictionary& d, uint64_t owner);
    void writeXrecord(Out& o, const VRxDbXrecord& x);
    uint64_t pointerHandle(VRxDbObjectId id);
    void blockEnd(Out& o, const BlockOut& b);

    std::string header();
    std::string classes();
    std::string tables();
    std::string blocksAndEntities(std::string& entities);
    std::string objects();
};

// --- Collection ---------------------------------------------------------------

void Writer::collectTables() {
    m_tableVport = fresh();
    m_tableLtype = handleOf(m_db.linetypeTableId());
    if (m_tableLtype == 0) m_tableLtype = fresh();
    m_tableLayer = handleOf(m_db.layerTableId());
    if (m_tableLayer == 0) m_tableLayer = fresh();
    m_tableStyle = handleOf(m_db.textStyleTableId());
    if (m_tableStyle == 0) m_tableStyle = fresh();
    m_tableView = fresh();
    m_tableUcs = fresh();
    m_tableAppid = fresh();
    m_tableDimstyle = handleOf(m_db.dimStyleTableId());
    if (m_tableDimstyle == 0) m_tableDimstyle = fresh();
    m_tableBlockRecord = handleOf(m_db.blockTableId());
    if (m_tableBlockRecord == 0) m_tableBlockRecord = fresh();

    // Linetypes: the three every drawing has come first.
    for (const wchar_t* fixed : {L"ByBlock", L"ByLayer", L"Continuous"}) {
        LinetypeOut lt;
        lt.name = m_ltypeNames.add(fixed);
        lt.handle = fresh();
        m_ltypes.push_back(lt);
    }
    for (const VRxDbLinetypeTableRecord* r : records<VRxDbLinetypeTableRecord>(m_db.linetypeTableId())) {
        std::wstring name = r->getName();
        if (m_ltypeNames.has(name)) {
            for (LinetypeOut& lt : m_ltypes)
                if (foldName(lt.name) == foldName(name)) {
                    lt.rec = r;
                    lt.handle = handleOf(r->objectId());
                }
            continue;
        }
        LinetypeOut lt;
        lt.name = m_ltypeNames.add(name);
        lt.rec = r;
        lt.handle = handleOf(r->objectId());
        m_ltypes.push_back(lt);
    }

    collectRecords(m_db.layerTableId(), m_layerNames, m_layers);
    layerName(L"0");  // a drawing always has layer 0

    collectRecords(m_db.textStyleTableId(), m_styleNames, m_styles);
    collectStandard(m_styleNames, m_styles);
    if (const auto* cur = VRxDbTextStyleTableRecord::cast(vrxdbObjectAt(m_db, m_db.textstyle())))
        m_defaultStyle = m_styleNames.lookup(cur->getName());
    if (m_defaultStyle.empty()) m_defaultStyle = m_styleNames.lookup(L"Standard");

    collectRecords(m_db.dimStyleTableId(), m_dimStyleNames, m_dimStyles);
    collectStandard(m_dimStyleNames, m_dimStyles);
    if (const auto* cur = VRxDbDimStyleTableRecord::cast(vrxdbObjectAt(m_db, m_db.dimstyle())))
        m_defaultDimStyle = m_dimStyleNames.lookup(cur->getName());
    if (m_defaultDimStyle.empty()) m_defaultDimStyle = m_dimStyleNames.lookup(L"Standard");
}

void Writer::collectBlocks() {
    VRxDbObjectId modelId = m_db.modelSpaceId(), paperId = m_db.paperSpaceId();
    // The two spaces first, under the names every reader knows.
    BlockOut model;
    model.name = model.original = VRxDbBlockTableRecord::kModelSpace;
    model.rec = VRxDbBlockTableRecord::cast(vrxdbObjectAt(m_db, modelId));
    model.recordHandle = model.rec ? handleOf(modelId) : fresh();
    BlockOut paper;
    paper.name = paper.original = VRxDbBlockTableRecord::kPaperSpace;
    paper.rec = VRxDbBlockTableRecord::cast(vrxdbObjectAt(m_db, paperId));
    paper.recordHandle = paper.rec ? handleOf(paperId) : fresh();
    paper.paper = true;
    m_blockNames.reserve(model.name);
    m_blockNames.reserve(paper.name);
    m_blocks.push_back(model);
    m_blocks.push_back(paper);
    m_model = 0;
    m_paper = 1;
    if (!modelId.isNull()) m_blockIndex[modelId.handle()] = 0;
    if (!paperId.isNull()) m_blockIndex[paperId.handle()] = 1;

    // Names of anonymous blocks are kept, so dimension blocks must not take one of them.
    std::vector<const VRxDbBlockTableRecord*> recs = records<VRxDbBlockTableRecord>(m_db.blockTableId());
    for (const VRxDbBlockTableRecord* r : recs)
        if (r->isAnonymous()) m_blockNames.reserve(r->getName());
    for (const VRxDbBlockTableRecord* r : recs) {
        if (r->objectId() == modelId || r->objectId() == paperId) continue;
        BlockOut b;
        b.original = r->getName();
        b.rec = r;
        b.anonymous = r->isAnonymous();
        b.name = b.anonymous ? b.original : m_blockNames.add(b.original);
        // Further layouts' spaces keep their names too.
        b.paper = foldName(b.original).rfind(L"*PAPER_SPACE", 0) == 0;
        b.recordHandle = handleOf(r->objectId());
        m_blockIndex[r->objectId().handle()] = m_blocks.size();
        m_blocks.push_back(b);
    }
}

void Writer::collectLayouts() {
    m_layoutDict = fresh();
    std::set<size_t> usedBlocks;
    const VRxDbPaperTable* table = VRxDbPaperTable::cast(vrxdbObjectAt(m_db, m_db.paperTableId()));
    VRxDbObjectId current = table ? table->currentPaperId() : VRxDbObjectId::kNull;
    bool haveModel = false;
    int index = 0;
    for (const VRxDbPaperTableRecord* p : records<VRxDbPaperTableRecord>(m_db.paperTableId())) {
        LayoutOut l;
        l.name = p->getName();
        l.handle = handleOf(p->objectId());
        l.tabOrder = p->tabOrder();
        bool isModel = foldName(l.name) == L"MODEL" || p->blockTableRecordId() == m_db.modelSpaceId();
        if (isModel) {
            if (haveModel) continue;
            haveModel = true;
            l.name = L"Model";
            l.block = m_model;
            l.tabOrder = 0;
        } else {
            auto it = m_blockIndex.find(p->blockTableRecordId().handle());
            size_t b = (it != m_blockIndex.end() && !p->blockTableRecordId().isNull()) ? it->second : m_paper;
            if (b == m_model || usedBlocks.count(b) != 0 || !m_blocks[b].paper) {
                // Each layout needs a paper space block of its own.
                b = usedBlocks.count(m_paper) == 0 ? m_paper : m_blocks.size();
                if (b == m_blocks.size()) {
                    BlockOut extra;
                    extra.paper = true;
                    std::wstring name;
                    for (int n = 0;; ++n) {
                        name = L"*Paper_Space" + std::to_wstring(n);
                        if (!m_blockNames.taken(name)) break;
                    }
                    m_blockNames.reserve(name);
                    extra.name = extra.original = name;
                    extra.recordHandle = fresh();
                    m_blocks.push_back(extra);
                }
            }
            l.block = b;
            if (l.tabOrder <= 0) l.tabOrder = ++index;
        }
        usedBlocks.insert(l.block);
        if (p->objectId() == current) m_currentIsModel = isModel;
        m_layouts.push_back(l);
    }
    if (!haveModel) {
        LayoutOut l;
        l.name = L"Model";
        l.handle = fresh();
        l.block = m_model;
        m_layouts.insert(m_layouts.begin(), l);
        usedBlocks.insert(m_model);
    }
    if (usedBlocks.count(m_paper) == 0) {
        // The active paper space block belongs to a layout; make one when the database has none.
        LayoutOut l;
        l.name = L"Layout1";
        for (const LayoutOut& other : m_layouts)
            if (foldName(other.name) == L"LAYOUT1") l.name = L"Layout" + std::to_wstring(m_layouts.size() + 1);
        l.handle = fresh();
        l.block = m_paper;
        l.tabOrder = static_cast<int>(m_layouts.size());
        m_layouts.push_back(l);
    }
    for (const LayoutOut& l : m_layouts) m_blocks[l.block].layoutHandle = l.handle;
}

std::wstring Writer::layerName(const std::wstring& name) {
    std::wstring n = name.empty() ? L"0" : name;
    if (m_layerNames.has(n)) return m_layerNames.lookup(n);
    LayerOut l;
    l.name = m_layerNames.add(n);
    l.handle = fresh();
    m_layers.push_back(l);
    return l.name;
}

const std::string& Writer::layerLine(const std::wstring& name) {
    auto known = m_layerLines.find(name);
    if (known != m_layerLines.end()) return known->second;
    return m_layerLines.emplace(name, oneLine(layerName(name))).first->second;
}

const std::string* Writer::linetypeLine(const std::wstring& name) {
    auto known = m_linetypeLines.find(name);
    if (known == m_linetypeLines.end()) {
        const std::wstring written = linetypeName(name);
        // ByLayer is what an entity without a linetype group has.
        known = m_linetypeLines.emplace(name, foldName(written) == L"BYLAYER" ? std::string() : oneLine(written)).first;
    }
    return known->second.empty() ? nullptr : &known->second;
}

std::wstring Writer::linetypeName(const std::wstring& name) {
    if (name.empty()) return L"ByLayer";
    if (m_ltypeNames.has(name)) return m_ltypeNames.lookup(name);
    // A linetype the database does not define: drawn solid rather than refused by readers.
    return L"Continuous";
}

std::wstring Writer::styleName(VRxDbObjectId id) const {
    if (const auto* r = VRxDbTextStyleTableRecord::cast(vrxdbObjectAt(m_db, id))) {
        std::wstring n = m_styleNames.lookup(r->getName());
        if (!n.empty() && !r->isErased()) return n;
    }
    return m_defaultStyle;
}

uint64_t Writer::styleHandle(VRxDbObjectId id) const {
    std::wstring name = styleName(id);
    for (const StyleOut& s : m_styles)
        if (s.name == name) return s.handle;
    return m_styles.empty() ? 0 : m_styles.front().handle;
}

std::wstring Writer::dimStyleName(VRxDbObjectId id) const {
    if (const auto* r = VRxDbDimStyleTableRecord::cast(vrxdbObjectAt(m_db, id))) {
        std::wstring n = m_dimStyleNames.lookup(r->getName());
        if (!n.empty() && !r->isErased()) return n;
    }
    return m_defaultDimStyle;
}

const VRxDbDimStyleTableRecord* Writer::dimStyle(VRxDbObjectId id) const {
    if (const auto* r = VRxDbDimStyleTableRecord::cast(vrxdbObjectAt(m_db, id)))
        if (!r->isErased()) return r;
    std::wstring name = dimStyleName(id);
    for (const DimStyleOut& d : m_dimStyles)
        if (d.name == name) return d.rec;
    return nullptr;
}

// --- Entities -------------------------------------------------------------------

void Writer::common(Out& o, const char* type, const VRxDbEntity& e, uint64_t handle, uint64_t owner, bool paper,
                    uint64_t reactor) {
    o.raw(0, type);
    o.handle(5, handle);
    if (reactor != 0) {
        o.raw(102, "{ACAD_REACTORS");
        o.handle(330, reactor);
        o.raw(102, "}");
    }
    // Only the entity's own record carries its dictionary (a leader's text is written with the leader's properties).
    if (handle == handleOf(e.objectId())) {
        if (e.objectId().handle() < m_writtenEntities.size()) m_writtenEntities[e.objectId().handle()] = true;
        extensionDictionary(o, e);
    }
    o.handle(330, owner);
    o.raw(100, "AcDbEntity");
    if (paper) o.integer(67, 1);
    o.raw(8, layerLine(e.layerRef()));
    const std::string* lt = linetypeLine(e.linetypeRef());
    if (lt != nullptr) o.raw(6, *lt);
    if (e.colorIndex() != VRxDb::kColorByLayer) o.integer(62, e.colorIndex() > 256 ? 256 : e.colorIndex());
    if (e.lineWeight() != VRxDb::kLnWtByLayer) o.integer(370, e.lineWeight());
    if (e.linetypeScale() != 1.0) o.num(48, e.linetypeScale());
}

// Adds what an entity covers to the drawing's extents (when they are being
// taken). A block's content is measured once, however often it is inserted.
void Writer::measure(const VRxDbEntity& e, VRxDbExtents* extents) {
    if (extents == nullptr) return;
    const auto* reference = VRxDbBlockReference::cast(&e);
    const auto* block =
        reference ? VRxDbBlockTableRecord::cast(vrxdbObjectAt(m_db, reference->blockTableRecord())) : nullptr;
    VRxDbExtents box;
    if (block == nullptr) {
        if (e.getGeomExtents(box) == Vrx::eOk) extents->addExt(box);
        return;
    }
    auto known = m_blockExtents.find(block->objectId());
    if (known == m_blockExtents.end()) {
        VRxDbExtents content;
        for (VRxDbObjectId id : block->entityIds()) {
            const VRxDbEntity* inside = VRxDbEntity::cast(vrxdbObjectAt(m_db, id));
            if (inside != nullptr && !inside->isErased() && inside->getGeomExtents(box) == Vrx::eOk)
                content.addExt(box);
        }
        known = m_blockExtents.emplace(block->objectId(), content).first;
    }
    box = known->second;
    box.transformBy(reference->blockTransform(block->origin()));
    extents->addExt(box);
}

void Writer::writeEntity(Out& o, const VRxDbEntity& e, uint64_t handle, uint64_t owner, bool paper, VRxDbExtents* ext) {
    // Dimensions and leaders are measured by the pieces they are written as.
    if (e.kind() != VRxDbKind::DimLeader && VRxDbDimension::cast(&e) == nullptr) measure(e, ext);
    switch (e.kind()) {
    case VRxDbKind::Line: {
        const auto& l = static_cast<const VRxDbLine&>(e);
        common(o, "LINE", e, handle, owner, paper);
        o.raw(100, "AcDbLine");
        o.point(10, l.startPoint());
        o.point(11, l.endPoint());
        break;
    }
    case VRxDbKind::Circle: {
        const auto& c = static_cast<const VRxDbCircle&>(e);
        detail::Ocs ocs(c.normal());
        common(o, "CIRCLE", e, handle, owner, paper);
        o.raw(100, "AcDbCircle");
        o.point(10, ocs.world ? c.center() : ocs.toOcs(c.center()));
        o.num(40, c.radius());
        if (!ocs.world) o.vector(210, ocs.az);
        break;
    }
    case VRxDbKind::Arc: {
        const auto& a = static_cast<const VRxDbArc&>(e);
        detail::Ocs ocs(a.normal());
        common(o, "ARC", e, handle, owner, paper);
        o.raw(100, "AcDbCircle");
        o.point(10, ocs.world ? a.center() : ocs.toOcs(a.center()));
        o.num(40, a.radius());
        if (!ocs.world) o.vector(210, ocs.az);
        o.raw(100, "AcDbArc");
        o.num(50, deg(a.startAngle()));
        o.num(51, deg(a.endAngle()));
        break;
    }
    case VRxDbKind::Polyline: {
        const auto& p = static_cast<const VRxDbPolyline&>(e);
        common(o, "LWPOLYLINE", e, handle, owner, paper);
        o.raw(100, "AcDbPolyline");
        o.integer(90, p.numVerts());
        o.integer(70, p.isClosed() ? 1 : 0);
        if (p.constantWidth() != 0.0) o.num(43, p.constantWidth());
        if (p.elevation() != 0.0) o.num(38, p.elevation());
        for (unsigned i = 0; i < p.numVerts(); ++i) {
            VRxGePoint2d v = p.pointAt(i);
            o.num(10, v.x);
            o.num(20, v.y);
            if (p.bulgeAt(i) != 0.0) o.num(42, p.bulgeAt(i));
        }
        break;
    }
    case VRxDbKind::Text: {
        const auto& t = static_cast<const VRxDbText&>(e);
        common(o, "TEXT", e, handle, owner, paper);
        o.raw(100, "AcDbText");
        o.point(10, t.position());
        double h = t.height();
        if (h <= 0.0) {
            const auto* s = VRxDbTextStyleTableRecord::cast(vrxdbObjectAt(m_db, t.textStyle()));
            h = (s && s->textSize() > 0.0) ? s->textSize() : 2.5;
        }
        o.num(40, h);
        o.str(1, t.textString());
        if (t.rotation() != 0.0) o.num(50, deg(t.rotation()));
        if (t.widthFactor() != 1.0) o.num(41, t.widthFactor());
        if (t.oblique() != 0.0) o.num(51, deg(t.oblique()));
        o.str(7, styleName(t.textStyle()));
        bool aligned = t.horizontalMode() != VRxDb::kTextLeft || t.verticalMode() != VRxDb::kTextBase;
        if (t.horizontalMode() != VRxDb::kTextLeft) o.integer(72, t.horizontalMode());
        if (aligned) o.point(11, t.alignmentPoint());
        o.raw(100, "AcDbText");
        if (t.verticalMode() != VRxDb::kTextBase) o.integer(73, t.verticalMode());
        break;
    }
    case VRxDbKind::MText: {
        const auto& t = static_cast<const VRxDbMText&>(e);
        common(o, "MTEXT", e, handle, owner, paper);
        o.raw(100, "AcDbMText");
        o.point(10, t.location());
        double h = t.textHeight() > 0.0 ? t.textHeight() : 2.5;
        o.num(40, h);
        o.num(41, t.width());
        o.integer(71, t.attachment());
        o.integer(72, 1);  // left to right
        o.longText(mtextBreaks(t.contents()));
        o.str(7, styleName(t.textStyle()));
        o.point(11, std::cos(t.rotation()), std::sin(t.rotation()), 0.0);
        break;
    }
    case VRxDbKind::Solid: {
        const auto& s = static_cast<const VRxDbSolid&>(e);
        common(o, "SOLID", e, handle, owner, paper);
        o.raw(100, "AcDbTrace");
        for (int i = 0; i < 4; ++i) {
            o.point(10 + i, s.pointAt(i));
        }
        break;
    }
    case VRxDbKind::BlockReference: {
        const auto& r = static_cast<const VRxDbBlockReference&>(e);
        auto block = m_blockIndex.find(r.blockTableRecord().handle());
        if (r.blockTableRecord().isNull() || block == m_blockIndex.end() || m_blocks[block->second].name.empty())
            return;  // a reference to nothing cannot be written
        // Hundreds of references name a few blocks: each name is put into UTF-8 once.
        std::string& nameLine = m_blocks[block->second].nameLine;
        if (nameLine.empty()) nameLine = oneLine(m_blocks[block->second].name);
        common(o, "INSERT", e, handle, owner, paper);
        o.raw(100, "AcDbBlockReference");
        o.raw(2, nameLine);
        o.point(10, r.position());
        VRxGeScale3d s = r.scaleFactors();
        if (s.sx != 1.0) o.num(41, s.sx);
        if (s.sy != 1.0) o.num(42, s.sy);
        if (s.sz != 1.0) o.num(43, s.sz);
        if (r.rotation() != 0.0) o.num(50, deg(r.rotation()));
        break;
    }
    case VRxDbKind::RotatedDimension:
    case VRxDbKind::RadialDimension:
    case VRxDbKind::DiametricDimension:
        writeDimension(o, static_cast<const VRxDbDimension&>(e), handle, owner, paper, ext);
        break;
    case VRxDbKind::DimLeader:
        writeLeader(o, static_cast<const VRxDbDimLeader&>(e), handle, owner, paper, ext);
        break;
    default:
        break;  // not an entity kind drawing files carry
    }
}

// Where the measured text of exploded geometry stands, if it has one.
static bool textAnchor(const std::vector<std::unique_ptr<VRxDbEntity>>& parts, VRxGePoint3d& at) {
    for (const auto& p : parts) {
        if (const auto* t = VRxDbText::cast(p.get())) {
            bool aligned = t->horizontalMode() != VRxDb::kTextLeft || t->verticalMode() != VRxDb::kTextBase;
            at = aligned ? t->alignmentPoint() : t->position();
            return true;
        }
        if (const auto* m = VRxDbMText::cast(p.get())) {
            at = m->location();
            return true;
        }
    }
    return false;
}

void Writer::writeDimension(Out& o, const VRxDbDimension& d, uint64_t handle, uint64_t owner, bool paper,
                            VRxDbExtents* ext) {
    // The drawn geometry, with the style the dimension is measured with.
    std::vector<std::unique_ptr<VRxDbEntity>> parts;
    const VRxDbDimStyleTableRecord* style = dimStyle(d.dimensionStyle());
    VRxDbDimStyleTableRecord fallback;
    d.explode(style ? *style : fallback, parts);

    BlockOut b;
    do {
        b.name = L"*D" + std::to_wstring(++m_dimCounter);
    } while (m_blockNames.taken(b.name));
    m_blockNames.reserve(b.name);
    b.original = b.name;
    b.anonymous = true;
    b.recordHandle = fresh();
    m_blocks.push_back(b);
    blockBegin(m_dimBlocks, b);
    for (const auto& p : parts) writeEntity(m_dimBlocks, *p, fresh(), b.recordHandle, false, ext);
    blockEnd(m_dimBlocks, b);

    int type = 0;
    VRxGePoint3d def, textAt;
    switch (d.kind()) {
    case VRxDbKind::RotatedDimension: type = 0; def = static_cast<const VRxDbRotatedDimension&>(d).dimLinePoint(); break;
    case VRxDbKind::DiametricDimension: type = 3; def = static_cast<const VRxDbDiametricDimension&>(d).farChordPoint(); break;
    default: type = 4; def = static_cast<const VRxDbRadialDimension&>(d).center(); break;
    }
    if (d.hasTextPosition()) textAt = d.textPosition();
    else if (!textAnchor(parts, textAt)) textAt = def;

    common(o, "DIMENSION", d, handle, owner, paper);
    o.raw(100, "AcDbDimension");
    o.integer(280, 0);
    o.str(2, b.name);
    o.point(10, def);
    o.point(11, textAt);
    o.integer(70, type | 32 | (d.hasTextPosition() ? 128 : 0));
    o.integer(71, 5);
    o.num(42, d.measurement());
    if (!d.dimensionText().empty()) o.str(1, d.dimensionText());
    o.str(3, dimStyleName(d.dimensionStyle()));
    if (d.kind() == VRxDbKind::RotatedDimension) {
        const auto& r = static_cast<const VRxDbRotatedDimension&>(d);
        o.raw(100, "AcDbAlignedDimension");
        o.point(13, r.xLine1Point());
        o.point(14, r.xLine2Point());
        if (r.rotation() != 0.0) o.num(50, deg(r.rotation()));
        o.raw(100, "AcDbRotatedDimension");
    } else if (d.kind() == VRxDbKind::DiametricDimension) {
        const auto& r = static_cast<const VRxDbDiametricDimension&>(d);
        o.raw(100, "AcDbDiametricDimension");
        o.point(15, r.chordPoint());
        o.num(40, r.leaderLength());
    } else {
        const auto& r = static_cast<const VRxDbRadialDimension&>(d);
        o.raw(100, "AcDbRadialDimension");
        o.point(15, r.chordPoint());
        o.num(40, r.leaderLength());
    }
}

void Writer::writeLeader(Out& o, const VRxDbDimLeader& l, uint64_t handle, uint64_t owner, bool paper,
                         VRxDbExtents* ext) {
    std::vector<VRxGePoint3d> pts = l.points();
    if (pts.size() < 2) return;
    const VRxDbDimStyleTableRecord* style = dimStyle(l.dimensionStyle());
    VRxDbDimStyleTableRecord fallback;
    std::vector<std::unique_ptr<VRxDbEntity>> parts;
    l.explode(style ? *style : fallback, parts);
    for (const auto& p : parts) measure(*p, ext);

    // The annotation stands where the host draws the leader's text.
    const VRxDbDimStyleTableRecord& s = style ? *style : fallback;
    double height = s.dimtxt() * (s.dimscale() > 0.0 ? s.dimscale() : 1.0);
    VRxGePoint3d at = pts.back();
    int attachment = VRxDbMText::kBottomLeft;
    double rotation = 0.0;
    VRxDbObjectId textStyle = s.dimtxsty();
    bool found = false;
    for (const auto& p : parts) {
        if (const auto* t = VRxDbText::cast(p.get())) {
            if (t->textString() != l.text1()) continue;
            at = t->position();
            if (t->horizontalMode() != VRxDb::kTextLeft || t->verticalMode() != VRxDb::kTextBase) {
                // An aligned text hangs on its alignment point: the paragraph attaches there the same way.
                at = t->alignmentPoint();
                int column = t->horizontalMode() == VRxDb::kTextLeft    ? 0
                             : t->horizontalMode() == VRxDb::kTextRight ? 2
                                                                        : 1;
                int row = t->verticalMode() == VRxDb::kTextTop       ? 0
                          : t->verticalMode() == VRxDb::kTextVertMid ? 1
                                                                     : 2;
                if (t->horizontalMode() == VRxDb::kTextMid) row = 1;
                attachment = 1 + row * 3 + column;
            }
            if (t->height() > 0.0) height = t->height();
            rotation = t->rotation();
            if (!t->textStyle().isNull()) textStyle = t->textStyle();
            found = true;
            break;
        }
        if (const auto* m = VRxDbMText::cast(p.get())) {
            at = m->location();
            attachment = m->attachment();
            if (m->textHeight() > 0.0) height = m->textHeight();
            rotation = m->rotation();
            if (!m->textStyle().isNull()) textStyle = m->textStyle();
            found = true;
            break;
        }
    }
    if (!found) at = pts.back() + VRxGeVector3d(0, s.dimgap() * s.dimscale(), 0);
    std::wstring contents = mtextEscape(l.text1());
    if (!l.text2().empty()) {
        contents += L"\\P" + mtextEscape(l.text2());
        if (!found) {
            at = pts.back();
            attachment = VRxDbMText::kMiddleLeft;
        }
    }
    uint64_t textHandle = (l.text1().empty() && l.text2().empty()) ? 0 : fresh();

    common(o, "LEADER", l, handle, owner, paper);
    o.raw(100, "AcDbLeader");
    o.str(3, dimStyleName(l.dimensionStyle()));
    o.integer(71, 1);
    o.integer(72, 0);
    o.integer(73, textHandle ? 0 : 3);
    o.integer(74, 0);
    o.integer(75, 0);
    o.num(40, height);
    o.num(41, 0.0);
    o.integer(76, static_cast<long long>(pts.size()));
    for (const VRxGePoint3d& p : pts) {
        o.point(10, p);
    }
    if (textHandle) o.handle(340, textHandle);
    if (!textHandle) return;

    common(o, "MTEXT", l, textHandle, owner, paper, handle);
    o.raw(100, "AcDbMText");
    o.point(10, at);
    o.num(40, height);
    o.num(41, 0.0);
    o.integer(71, attachment);
    o.integer(72, 1);
    o.longText(contents);
    o.str(7, styleName(textStyle));
    o.point(11, std::cos(rotation), std::sin(rotation), 0.0);
}

// --- Sections ---------------------------------------------------------------------

void Writer::blockBegin(Out& o, const BlockOut& b) {
    o.raw(0, "BLOCK");
    o.handle(5, b.beginHandle ? b.beginHandle : fresh());
    o.handle(330, b.recordHandle);
    o.raw(100, "AcDbEntity");
    if (b.paper) o.integer(67, 1);
    o.raw(8, "0");
    o.raw(100, "AcDbBlockBegin");
    o.str(2, b.name);
    o.integer(70, b.anonymous ? 1 : 0);
    o.point(10, b.rec ? b.rec->origin() : VRxGePoint3d());
    o.str(3, b.name);
    o.raw(1, "");
}

void Writer::blockEnd(Out& o, const BlockOut& b) {
    o.raw(0, "ENDBLK");
    o.handle(5, b.endHandle ? b.endHandle : fresh());
    o.handle(330, b.recordHandle);
    o.raw(100, "AcDbEntity");
    if (b.paper) o.integer(67, 1);
    o.raw(8, "0");
    o.raw(100, "AcDbBlockEnd");
}

std::string Writer::blocksAndEntities(std::string& entities) {
    Out blocks, ents;
    // The spaces' entities go to ENTITIES (model and the active paper space),
    // every other block's to its definition.
    size_t count = m_blocks.size();  // dimension blocks are added while writing
    for (size_t i = 0; i < count; ++i) {
        BlockOut b = m_blocks[i];
        bool inEntities = (i == m_model || i == m_paper);
        blockBegin(blocks, b);
        if (b.rec != nullptr) {
            Out& target = inEntities ? ents : blocks;
            for (VRxDbObjectId id : b.rec->entityIds()) {
                const VRxDbEntity* e = VRxDbEntity::cast(vrxdbObjectAt(m_db, id));
                if (e == nullptr || e->isErased()) continue;
                writeEntity(target, *e, handleOf(id), b.recordHandle, b.paper, i == m_model ? &m_extents : nullptr);
            }
        }
        blockEnd(blocks, b);
    }
    entities = ents.text();
    return blocks.text() + m_dimBlocks.text();
}

std::string Writer::tables() {
    Out o;
    auto tableBegin = [&](const char* name, uint64_t h, size_t count) {
        o.raw(0, "TABLE");
        o.raw(2, name);
        o.handle(5, h);
        o.handle(330, 0);
        o.raw(100, "AcDbSymbolTable");
        o.integer(70, static_cast<long long>(count));
    };
    auto record = [&](const char* type, uint64_t h, uint64_t table, const char* subclass, const std::wstring& name,
                      int flags, int handleCode = 5) {
        o.raw(0, type);
        o.handle(handleCode, h);
        o.handle(330, table);
        o.raw(100, "AcDbSymbolTableRecord");
        o.raw(100, subclass);
        o.str(2, name);
        o.integer(70, flags);
    };
    auto endTable = [&]() { o.raw(0, "ENDTAB"); };

    // VPORT: the view opens on the drawing's extents.
    tableBegin("VPORT", m_tableVport, 1);
    {
        double cx = 210, cy = 148.5, h = 297;
        if (!m_extents.isEmpty()) {
            const VRxGePoint3d lo = m_extents.minPoint(), hi = m_extents.maxPoint();
            cx = (lo.x + hi.x) / 2;
            cy = (lo.y + hi.y) / 2;
            h = std::max({hi.y - lo.y, (hi.x - lo.x) / 1.5, 1.0}) * 1.1;
        }
        record("VPORT", fresh(), m_tableVport, "AcDbViewportTableRecord", L"*Active", 0);
        o.point(10, 0, 0, 0);
        o.point(11, 1, 1, 0);
        o.num(12, cx);
        o.num(22, cy);
        o.num(13, 0);
        o.num(23, 0);
        o.num(14, 10);
        o.num(24, 10);
        o.num(15, 10);
        o.num(25, 10);
        o.point(16, 0, 0, 1);
        o.point(17, 0, 0, 0);
        o.num(40, h);
        o.num(41, 1.5);
        o.num(42, 50);
        o.num(43, 0);
        o.num(44, 0);
        o.num(50, 0);
        o.num(51, 0);
        o.integer(71, 0);
        o.integer(72, 1000);
        o.integer(73, 1);
        o.integer(74, 3);
        o.integer(75, 0);
        o.integer(76, 0);
        o.integer(77, 0);
        o.integer(78, 0);
    }
    endTable();

    tableBegin("LTYPE", m_tableLtype, m_ltypes.size());
    for (const LinetypeOut& lt : m_ltypes) {
        record("LTYPE", lt.handle, m_tableLtype, "AcDbLinetypeTableRecord", lt.name, 0);
        std::wstring comments = lt.rec ? lt.rec->comments() : std::wstring();
        if (comments.empty() && foldName(lt.name) == L"CONTINUOUS") comments = L"Solid line";
        o.str(3, comments);
        o.integer(72, 65);
        int n = lt.rec ? lt.rec->numDashes() : 0;
        o.integer(73, n);
        double total = 0;
        for (int i = 0; i < n; ++i) total += std::fabs(lt.rec->dashLengthAt(i));
        o.num(40, total);
        for (int i = 0; i < n; ++i) {
            o.num(49, lt.rec->dashLengthAt(i));
            o.integer(74, 0);
        }
    }
    endTable();

    tableBegin("LAYER", m_tableLayer, m_layers.size());
    for (const LayerOut& l : m_layers) {
        int flags = 0;
        int colour = 7;
        std::wstring lt = L"Continuous";
        int weight = VRxDb::kLnWtByLwDefault;
        if (l.rec) {
            if (l.rec->isFrozen()) flags |= 1;
            if (l.rec->isLocked()) flags |= 4;
            colour = l.rec->color().colorIndex();
            if (colour < 1 || colour > 255) colour = 7;
            if (l.rec->isOff()) colour = -colour;
            lt = linetypeName(l.rec->linetypeName());
            if (foldName(lt) == L"BYLAYER" || foldName(lt) == L"BYBLOCK") lt = L"Continuous";
            weight = l.rec->lineWeight();
            if (weight == VRxDb::kLnWtByLayer || weight == VRxDb::kLnWtByBlock) weight = VRxDb::kLnWtByLwDefault;
        }
        record("LAYER", l.handle, m_tableLayer, "AcDbLayerTableRecord", l.name, flags);
        o.integer(62, colour);
        o.str(6, lt);
        o.integer(370, weight);
    }
    endTable();

    tableBegin("STYLE", m_tableStyle, m_styles.size());
    for (const StyleOut& s : m_styles) {
        record("STYLE", s.handle, m_tableStyle, "AcDbTextStyleTableRecord", s.name, 0);
        o.num(40, s.rec ? s.rec->textSize() : 0.0);
        o.num(41, s.rec && s.rec->xScale() > 0.0 ? s.rec->xScale() : 1.0);
        o.num(50, s.rec ? deg(s.rec->obliquingAngle()) : 0.0);
        o.integer(71, 0);
        o.num(42, s.rec && s.rec->textSize() > 0.0 ? s.rec->textSize() : 2.5);
        o.str(3, s.rec ? s.rec->eFont() : std::wstring(L"txt"));
        o.str(4, s.rec ? s.rec->cFont() : std::wstring());
        if (s.rec) {
            // The host's own spacing and Chinese width factors, for reading back.
            o.raw(1001, toUtf8(kAppName));
            o.num(1040, s.rec->xIntFac());
            o.num(1040, s.rec->yIntFac());
            o.num(1040, s.rec->xScaleChina());
        }
    }
    endTable();

    tableBegin("VIEW", m_tableView, 0);
    endTable();
    tableBegin("UCS", m_tableUcs, 0);
    endTable();

    tableBegin("APPID", m_tableAppid, 2);
    record("APPID", fresh(), m_tableAppid, "AcDbRegAppTableRecord", L"ACAD", 0);
    record("APPID", fresh(), m_tableAppid, "AcDbRegAppTableRecord", kAppName, 0);
    endTable();

    tableBegin("DIMSTYLE", m_tableDimstyle, m_dimStyles.size());
    o.raw(100, "AcDbDimStyleTable");
    o.integer(71, static_cast<long long>(m_dimStyles.size()));
    for (const DimStyleOut& d : m_dimStyles) o.handle(340, d.handle);
    for (const DimStyleOut& d : m_dimStyles) {
        VRxDbDimStyleTableRecord defaults;
        const VRxDbDimStyleTableRecord& r = d.rec ? *d.rec : defaults;
        record("DIMSTYLE", d.handle, m_tableDimstyle, "AcDbDimStyleTableRecord", d.name, 0, 105);
        o.num(40, r.dimscale());
        o.num(41, r.dimasz());
        o.num(42, r.dimexo());
        o.num(44, r.dimexe());
        o.num(46, r.dimdle());
        o.integer(73, r.dimtih() ? 1 : 0);
        o.integer(74, r.dimtoh() ? 1 : 0);
        o.integer(77, r.dimtad());
        o.integer(78, r.dimzin());
        o.num(140, r.dimtxt());
        o.num(144, r.dimlfac());
        o.num(147, r.dimgap());
        o.integer(176, r.dimclrd().colorIndex());
        o.integer(177, r.dimclre().colorIndex());
        o.integer(178, r.dimclrt().colorIndex());
        o.integer(271, r.dimdec());
        o.integer(277, 2);
        o.integer(278, 46);
        o.handle(340, styleHandle(r.dimtxsty()));
    }
    endTable();

    tableBegin("BLOCK_RECORD", m_tableBlockRecord, m_blocks.size());
    for (const BlockOut& b : m_blocks) {
        o.raw(0, "BLOCK_RECORD");
        o.handle(5, b.recordHandle);
        o.handle(330, m_tableBlockRecord);
        o.raw(100, "AcDbSymbolTableRecord");
        o.raw(100, "AcDbBlockTableRecord");
        o.str(2, b.name);
        o.handle(340, b.layoutHandle);
        o.integer(70, 0);
        o.integer(280, 1);
        o.integer(281, 0);
        // A name DXF cannot hold travels beside the valid one, so this reader gets it back.
        std::wstring path = b.rec ? b.rec->pathName() : std::wstring();
        if ((b.name != b.original && toUtf8(b.original).size() <= 250) ||
            (!path.empty() && toUtf8(path).size() <= 250)) {
            o.raw(1001, toUtf8(kAppName));
            o.str(1000, b.original);
            if (!path.empty() && toUtf8(path).size() <= 250) o.str(1000, path);
        }
    }
    endTable();
    return o.text();
}

void Writer::extensionDictionary(Out& o, const VRxDbObject& object) {
    const auto* d = VRxDbDictionary::cast(vrxdbObjectAt(m_db, object.extensionDictionary()));
    if (d == nullptr || d->isErased()) return;
    o.raw(102, "{ACAD_XDICTIONARY");
    o.handle(360, handleOf(d->objectId()));
    o.raw(102, "}");
    m_extensionDictionaries.push_back(d->objectId());
}

// Every dictionary and XRecord reachable from the named object dictionary and
// from the extension dictionaries of what was written, each once.
void Writer::collectObjects() {
    std::vector<VRxDbObjectId> pending;
    if (const auto* root = VRxDbDictionary::cast(vrxdbObjectAt(m_db, m_db.namedObjectsDictionaryId())))
        for (const auto& entry : root->entries()) pending.push_back(entry.second);
    pending.insert(pending.end(), m_extensionDictionaries.begin(), m_extensionDictionaries.end());
    for (size_t i = 0; i < pending.size(); ++i) {
        const VRxDbObject* object = vrxdbObjectAt(m_db, pending[i]);
        if (object == nullptr || object->isErased() || m_objectHandles.count(pending[i].handle()) != 0) continue;
        const auto* d = VRxDbDictionary::cast(object);
        if (d == nullptr && VRxDbXrecord::cast(object) == nullptr) continue;
        m_objectHandles.insert(pending[i].handle());
        m_objects.push_back(pending[i]);
        if (d != nullptr)
            for (const auto& entry : d->entries()) pending.push_back(entry.second);
        if (!object->extensionDictionary().isNull()) pending.push_back(object->extensionDictionary());
    }
}

uint64_t Writer::pointerHandle(VRxDbObjectId id) {
    if (id.isNull() || id.database() != &m_db) return 0;
    const bool entity = id.handle() < m_writtenEntities.size() && m_writtenEntities[id.handle()];
    if (!entity && m_objectHandles.count(id.handle()) == 0) return 0;
    return handleOf(id);
}

void Writer::objectHeader(Out& o, const char* type, const VRxDbObject& object, uint64_t owner, const char* subclass) {
    o.raw(0, type);
    o.handle(5, handleOf(object.objectId()));
    o.raw(102, "{ACAD_REACTORS");
    o.handle(330, owner);
    o.raw(102, "}");
    extensionDictionary(o, object);
    o.handle(330, owner);
    o.raw(100, subclass);
}

void Writer::writeDictionary(Out& o, const VRxDbDictionary& d, uint64_t owner) {
    objectHeader(o, "DICTIONARY", d, owner, "AcDbDictionary");
    o.integer(281, 1);
    for (const auto& entry : d.entries()) {
        if (m_objectHandles.count(entry.second.handle()) == 0) continue;
        o.str(3, entry.first);
        o.handle(350, handleOf(entry.second));
    }
}

void Writer::writeXrecord(Out& o, const VRxDbXrecord& x) {
    objectHeader(o, "XRECORD", x, handleOf(x.ownerId()), "AcDbXrecord");
    o.integer(280, 1);
    for (const VRxDbXrecordValue& v : x.values()) {
        switch (vrxutRbValueKind(v.code)) {
        case VRxRbValueKind::Real: o.num(v.code, v.real[0]); break;
        case VRxRbValueKind::Point:
            for (int i = 0; i < 3; ++i) o.num(v.code + 10 * i, v.real[i]);
            break;
        case VRxRbValueKind::Short:
        case VRxRbValueKind::Long:
        case VRxRbValueKind::Int64: o.integer(v.code, v.integer); break;
        case VRxRbValueKind::String: o.str(v.code, v.text); break;
        case VRxRbValueKind::Name: o.handle(v.code, pointerHandle(v.id)); break;
        case VRxRbValueKind::None: break;
        }
    }
}

std::string Writer::objects() {
    Out o;
    collectObjects();
    const VRxDbObjectId rootId = m_db.namedObjectsDictionaryId();
    o.raw(0, "DICTIONARY");
    o.handle(5, m_rootDict);
    o.handle(330, 0);
    o.raw(100, "AcDbDictionary");
    o.integer(281, 1);
    o.raw(3, "ACAD_GROUP");
    o.handle(350, m_groupDict);
    o.raw(3, "ACAD_LAYOUT");
    o.handle(350, m_layoutDict);
    // The applications' entries; the host's own two are made above.
    if (const auto* root = VRxDbDictionary::cast(vrxdbObjectAt(m_db, rootId)))
        for (const auto& entry : root->entries()) {
            if (foldName(entry.first) == L"ACAD_GROUP" || foldName(entry.first) == L"ACAD_LAYOUT") continue;
            if (m_objectHandles.count(entry.second.handle()) == 0) continue;
            o.str(3, entry.first);
            o.handle(350, handleOf(entry.second));
        }

    auto ownedDict = [&](uint64_t h) {
        o.raw(0, "DICTIONARY");
        o.handle(5, h);
        o.raw(102, "{ACAD_REACTORS");
        o.handle(330, m_rootDict);
        o.raw(102, "}");
        o.handle(330, m_rootDict);
        o.raw(100, "AcDbDictionary");
        o.integer(281, 1);
    };
    ownedDict(m_groupDict);
    ownedDict(m_layoutDict);
    for (const LayoutOut& l : m_layouts) {
        o.str(3, l.name);
        o.handle(350, l.handle);
    }
    for (const LayoutOut& l : m_layouts) {
        bool model = l.block == m_model;
        o.raw(0, "LAYOUT");
        o.handle(5, l.handle);
        o.raw(102, "{ACAD_REACTORS");
        o.handle(330, m_layoutDict);
        o.raw(102, "}");
        o.handle(330, m_layoutDict);
        o.raw(100, "AcDbPlotSettings");
        o.raw(1, "");
        o.raw(2, "none_device");
        o.raw(4, "ISO_A3_(420.00_x_297.00_MM)");
        o.raw(6, "");
        for (int c : {40, 41, 42, 43}) o.num(c, 7.5);
        o.num(44, 420.0);
        o.num(45, 297.0);
        for (int c : {46, 47, 48, 49}) o.num(c, 0.0);
        o.num(140, 0.0);
        o.num(141, 0.0);
        o.num(142, 1.0);
        o.num(143, 1.0);
        o.integer(70, model ? 1712 : 688);
        o.integer(72, 1);
        o.integer(73, 0);
        o.integer(74, 5);
        o.raw(7, "");
        o.integer(75, 16);
        o.integer(76, 0);
        o.integer(77, 2);
        o.integer(78, 300);
        o.num(147, 1.0);
        o.num(148, 0.0);
        o.num(149, 0.0);
        o.raw(100, "AcDbLayout");
        o.str(1, l.name);
        o.integer(70, 1);
        o.integer(71, l.tabOrder);
        o.num(10, 0.0);
        o.num(20, 0.0);
        o.num(11, 420.0);
        o.num(21, 297.0);
        o.point(12, 0, 0, 0);
        o.point(14, 0, 0, 0);
        o.point(15, 420, 297, 0);
        o.num(146, 0.0);
        o.point(13, 0, 0, 0);
        o.point(16, 1, 0, 0);
        o.point(17, 0, 1, 0);
        o.integer(76, 0);
        o.handle(330, m_blocks[l.block].recordHandle);
    }
    for (VRxDbObjectId id : m_objects) {
        const VRxDbObject* object = vrxdbObjectAt(m_db, id);
        if (const auto* d = VRxDbDictionary::cast(object))
            writeDictionary(o, *d, handleOf(d->ownerId()));
        else if (const auto* x = VRxDbXrecord::cast(object))
            writeXrecord(o, *x);
    }
    return o.text();
}

std::string Writer::classes() {
    Out o;
    o.raw(0, "CLASS");
    o.raw(1, "LAYOUT");
    o.raw(2, "AcDbLayout");
    o.raw(3, "ObjectDBX Classes");
    o.integer(90, 0);
    o.integer(91, static_cast<long long>(m_layouts.size()));
    o.integer(280, 0);
    o.integer(281, 0);
    return o.text();
}

std::string Writer::header() {
    Out o;
    const VRxDbHeader& h = m_db.header();
    auto var = [&](const char* name) { o.raw(9, name); };
    var("$ACADVER");
    o.raw(1, "AC1024");
    var("$ACADMAINTVER");
    o.integer(70, 6);
    var("$DWGCODEPAGE");
    o.str(3, h.codePage.empty() ? std::wstring(L"ANSI_936") : h.codePage);
    var("$INSBASE");
    o.point(10, 0, 0, 0);
    // An empty drawing declares the empty box at the origin.
    var("$EXTMIN");
    o.point(10, m_extents.minPoint());
    var("$EXTMAX");
    o.point(10, m_extents.maxPoint());
    var("$LIMMIN");
    o.num(10, 0.0);
    o.num(20, 0.0);
    var("$LIMMAX");
    o.num(10, 420.0);
    o.num(20, 297.0);
    var("$LTSCALE");
    o.num(40, h.ltscale > 0.0 ? h.ltscale : 1.0);
    var("$TEXTSTYLE");
    o.str(7, m_defaultStyle);
    var("$CLAYER");
    std::wstring clayer = L"0";
    if (const auto* l = VRxDbLayerTableRecord::cast(vrxdbObjectAt(m_db, m_db.clayer())))
        if (m_layerNames.has(l->getName())) clayer = m_layerNames.lookup(l->getName());
    o.str(8, clayer);
    var("$CELTYPE");
    o.raw(6, "ByLayer");
    var("$CECOLOR");
    o.integer(62, 256);
    var("$CELWEIGHT");
    o.integer(370, -1);
    var("$DIMSTYLE");
    o.str(2, m_defaultDimStyle);
    var("$DIMZIN");
    o.integer(70, h.dimzin);
    var("$LUNITS");
    o.integer(70, h.lunits);
    var("$LUPREC");
    o.integer(70, h.luprec);
    var("$MEASUREMENT");
    o.integer(70, h.measurement);
    var("$INSUNITS");
    o.integer(70, h.insunits);
    var("$TILEMODE");
    o.integer(70, m_currentIsModel ? 1 : 0);
    var("$HANDSEED");
    o.handle(5, m_next);
    return o.text();
}

std::string Writer::run() {
    m_rootDict = m_db.namedObjectsDictionaryId().isNull() ? fresh() : handleOf(m_db.namedObjectsDictionaryId());
    m_groupDict = fresh();
    collectTables();
    collectBlocks();
    collectLayouts();
    for (BlockOut& b : m_blocks) {
        b.beginHandle = fresh();
        b.endHandle = fresh();
    }
    std::string entities;
    std::string blocks = blocksAndEntities(entities);
    std::string tableText = tables();
    std::string objectText = objects();
    std::string classText = classes();
    std::string headerText = header();  // last: it carries the next free handle

    std::string out;
    out.reserve(headerText.size() + tableText.size() + blocks.size() + entities.size() + objectText.size() + 512);
    auto section = [&](const char* name, const std::string& body) {
        out += "  0\nSECTION\n  2\n";
        out += name;
        out += '\n';
        out += body;
        out += "  0\nENDSEC\n";
    };
    section("HEADER", headerText);
    section("CLASSES", classText);
    section("TABLES", tableText);
    section("BLOCKS", blocks);
    section("ENTITIES", entities);
    section("OBJECTS", objectText);
    out += "  0\nEOF\n";
    return out;
}

}  // namespace

std::string writeDxf(const VRxDbDatabase& db) {
    // Nothing may escape to the host; an empty text is what a failed writing gives.
    try {
        Writer w(db);
        return w.run();
    } catch (...) {
        return std::string();
    }
}

}  // namespace VRxDxf
