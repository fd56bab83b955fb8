// Reads DXF text into a drawing database: the files this host writes, the
// drawing templates and block drawings, and drawings of other programs from the
// 1992 to the 2018 file versions. The text is tokenized and its section
// structure checked completely before the database is touched, so a damaged
// file is refused with the line where it went wrong and the database keeps
// what it held. Entities this host has no kind for are passed over.
#include <charconv>
#include <cmath>
#include <cwchar>
#include <cwctype>
#include <map>
#include <set>

#include "dxf_internal.h"
#include "vrxdxf.h"
#include "vrxrb.h"
#include "vrxdbobjecttable.h"

namespace VRxDxf {
namespace {

using detail::foldName;
using detail::Tag;

const double kPi = 3.14159265358979323846;
double rad(double degrees) { return degrees * kPi / 180.0; }
// The size of a whole number from a file, safe for the most negative one.
long long magnitude(long long v) { return v >= 0 ? v : (v < -(1LL << 62) ? (1LL << 62) : -v); }

// One record of a section: the tags from its code-0 tag up to the next.
struct Rec {
    std::string_view type;  // into the file's text, as the tags' values
    size_t begin = 0, end = 0;  // tags [begin, end), begin is the code-0 tag
    int line = 0;
};

struct Section {
    std::string_view name;
    int line = 0;
    size_t begin = 0, end = 0;  // tags inside the section
    std::vector<Rec> recs;
};

// Handles are hexadecimal, as the tokenizer checked.
uint64_t parseHandle(std::string_view s) {
    uint64_t h = 0;
    if (s.empty() || std::from_chars(s.data(), s.data() + s.size(), h, 16).ec != std::errc()) return 0;
    return h;
}

// Read access to one record's tags. Tags inside 102 {...} groups (reactors,
// extension dictionaries) and extended data after 1001 are not the record's
// own values and are left out of the plain look-ups.
class View {
public:
    View(const std::vector<Tag>& tags, const Rec& r) : m_tags(tags), m_rec(r) {
        m_own.reserve(r.end - r.begin);
        bool inGroup = false;
        for (size_t i = r.begin + 1; i < r.end; ++i) {
            const Tag& t = tags[i];
            if (t.code == 1001) break;
            if (t.code == 102) {
                inGroup = !t.value.empty() && t.value[0] == '{';
                continue;
            }
            if (!inGroup) m_own.push_back(&t);
        }
    }
    const std::vector<const Tag*>& own() const { return m_own; }
    const Tag* first(int code) const {
        for (const Tag* t : m_own)
            if (t->code == code) return t;
        return nullptr;
    }
    bool has(int code) const { return first(code) != nullptr; }
    std::string str(int code, const std::string& def = std::string()) const {
        const Tag* t = first(code);
        return t ? std::string(t->value) : def;
    }
    double num(int code, double def = 0.0) const {
        const Tag* t = first(code);
        return t ? t->number() : def;
    }
    long long integer(int code, long long def = 0) const {
        const Tag* t = first(code);
        return t ? t->integer() : def;
    }
    uint64_t handle(int code) const { return parseHandle(str(code)); }
    VRxGePoint3d point(int code, const VRxGePoint3d& def = VRxGePoint3d()) const {
        if (!has(code)) return def;
        return VRxGePoint3d(num(code), num(code + 10), num(code + 20));
    }
    // Extended data of one application: the tags after its 1001 up to the next 1001.
    std::vector<const Tag*> xdata(const std::string& app) const {
        std::vector<const Tag*> out;
        bool in = false;
        for (size_t i = m_rec.begin + 1; i < m_rec.end; ++i) {
            const Tag& t = m_tags[i];
            if (t.code == 1001) {
                in = t.value == app;
                continue;
            }
            if (in) out.push_back(&t);
        }
        return out;
    }

private:
    const std::vector<Tag>& m_tags;
    const Rec& m_rec;
    std::vector<const Tag*> m_own;
};


// Paragraph text codes back to plain text (for a leader's annotation).
std::wstring mtextPlain(const std::wstring& s) {
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        wchar_t c = s[i];
        if (c == L'{' || c == L'}') continue;
        if (c != L'\\' || i + 1 >= s.size()) {
            out += c;
            continue;
        }
        wchar_t n = s[++i];
        if (n == L'\\' || n == L'{' || n == L'}') out += n;
        else if (n == L'P' || n == L'p') out += L'\n';
        else if (n == L'~') out += L' ';
        else if (std::wcschr(L"LlOoKk", n) != nullptr) {
        } else {
            // A code with an argument up to ';' (font, height, colour ...).
            size_t semi = s.find(L';', i);
            if (semi == std::wstring::npos) break;
            i = semi;
        }
    }
    return out;
}

class Reader {
public:
    Reader(VRxDbDatabase& db, const std::string& content) : m_db(db), m_content(content) {}
    Vrx::ErrorStatus run(std::wstring& error);
    bool touched() const { return m_touched; }

private:
    VRxDbDatabase& m_db;
    const std::string& m_content;
    bool m_touched = false;
    std::vector<Tag> m_tags;
    std::vector<Section> m_sections;
    detail::TextDecoder m_decoder;
    std::map<std::string, std::vector<const Tag*>> m_header;

    std::map<uint64_t, std::wstring> m_blockRecordName;     // record handle -> name in the file
    std::map<std::wstring, std::wstring> m_originalName;    // folded file name -> name to use
    std::map<std::wstring, std::wstring> m_blockPath;       // folded file name -> path
    std::map<uint64_t, std::wstring> m_styleByHandle;       // text style handle -> name
    std::map<std::wstring, VRxDbObjectId> m_blocks;         // folded file name -> block
    std::set<uint64_t> m_annotations;                       // MTEXT records a leader takes
    std::map<uint64_t, std::pair<const Rec*, const Section*>> m_byHandle;
    // Applications' data: the OBJECTS records by handle, what each file handle
    // became, the objects already read (each has one owner), the entities whose
    // extension dictionary waits to be read, and XRecord pointers to resolve
    // once everything is in.
    std::map<uint64_t, const Rec*> m_objectRecs;
    std::map<uint64_t, VRxDbObjectId> m_byFileHandle;
    std::set<uint64_t> m_objectsRead;
    std::vector<std::pair<VRxDbObjectId, uint64_t>> m_pendingXdicts;
    std::map<VRxDbObjectId, std::vector<std::pair<size_t, uint64_t>>> m_pendingPointers;

    bool parseSections(std::wstring& error);
    const Section* section(const char* name) const {
        for (const Section& s : m_sections)
            if (s.name == name) return &s;
        return nullptr;
    }
    std::wstring text(std::string_view bytes) { return m_decoder.decode(bytes); }
    std::wstring text(const View& v, int code, const std::wstring& def = std::wstring()) {
        const Tag* t = v.first(code);
        return t ? text(t->value) : def;
    }

    void readHeader();
    void setUpDecoder();
    void readTables();
    void readLinetype(const View& v);
    void readLayer(const View& v);
    void readStyle(const View& v);
    void readDimStyle(const View& v);
    void readBlockRecord(const View& v);
    void readBlocks();
    void readEntities();
    void readLayouts();
    void readObjects();
    // Reads the DICTIONARY or XRECORD record into a new entry name of parent.
    void readObjectInto(VRxDbDictionary& parent, const std::wstring& name, const Rec& r);
    void fillDictionary(VRxDbDictionary& d, const Rec& r);
    void fillXrecord(VRxDbXrecord& x, const Rec& r);
    // Gives the object behind id the dictionary of the file's handle as its extension dictionary.
    void readExtensionDictionary(VRxDbObjectId id, uint64_t dictionaryHandle);
    uint64_t extensionDictionaryHandle(const Rec& r) const;
    void readEntity(const Rec& r, const View& v, const Section& s, VRxDbObjectId block);
    VRxDbObjectId ownerSpace(const View& v);
    VRxDbObjectId ensureLayer(const std::wstring& name);
    VRxDbObjectId styleId(const std::wstring& name);
    VRxDbObjectId dimStyleId(const std::wstring& name);
    template <class T>
    T* record(VRxDbObjectId table, const std::wstring& name) {
        return T::cast(vrxdbObjectAt(m_db, vrxdbRecordId(m_db, table, name.c_str())));
    }
};

bool Reader::parseSections(std::wstring& error) {
    auto at = [](int line) { return L"line " + std::to_wstring(line) + L": "; };
    size_t i = 0, n = m_tags.size();
    while (i < n && m_tags[i].code == 999) ++i;
    while (i < n) {
        const Tag& t = m_tags[i];
        if (t.code == 0 && t.value == "EOF") break;
        if (t.code != 0 || t.value != "SECTION") {
            error = at(t.line) + L"a SECTION was expected, found group " + std::to_wstring(t.code) + L" \"" +
                    detail::fromUtf8(std::string(t.value.substr(0, 40))) + L"\"" +
                    (m_sections.empty() ? std::wstring(L": this is not a DXF file") : std::wstring());
            return false;
        }
        Section s;
        s.line = t.line;
        if (i + 1 >= n || m_tags[i + 1].code != 2) {
            error = at(t.line) + L"the SECTION has no name";
            return false;
        }
        s.name = m_tags[i + 1].value;
        i += 2;
        s.begin = i;
        while (true) {
            if (i >= n) {
                error = at(m_tags.back().line) + L"section " + detail::fromUtf8(std::string(s.name)) + L" (line " +
                        std::to_wstring(s.line) + L") is not closed: the file is truncated";
                return false;
            }
            const Tag& u = m_tags[i];
            if (u.code == 0 && u.value == "ENDSEC") break;
            if (u.code == 0 && (u.value == "SECTION" || u.value == "EOF")) {
                error = at(u.line) + L"section " + detail::fromUtf8(std::string(s.name)) + L" (line " + std::to_wstring(s.line) +
                        L") ends without ENDSEC: the file is truncated or damaged";
                return false;
            }
            if (s.name != "HEADER") {
                if (u.code != 0) {
                    if (s.recs.empty()) {
                        error = at(u.line) + L"group " + std::to_wstring(u.code) + L" where a record of section " +
                                detail::fromUtf8(std::string(s.name)) + L" should start";
                        return false;
                    }
                } else {
                    Rec r;
                    r.type = u.value;
                    r.begin = i;
                    r.line = u.line;
                    if (!s.recs.empty()) s.recs.back().end = i;
                    s.recs.push_back(r);
                }
            }
            ++i;
        }
        s.end = i;
        if (!s.recs.empty()) s.recs.back().end = i;
        m_sections.push_back(std::move(s));
        ++i;
    }
    if (section("ENTITIES") == nullptr) {
        error = L"the file has no ENTITIES section: it is not a complete drawing";
        return false;
    }
    return true;
}

void Reader::readHeader() {
    const Section* s = section("HEADER");
    if (s == nullptr) return;
    std::string var;
    for (size_t i = s->begin; i < s->end; ++i) {
        const Tag& t = m_tags[i];
        if (t.code == 9) {
            var = std::string(t.value);
            m_header[var];
        } else if (!var.empty()) {
            m_header[var].push_back(&t);
        }
    }
}

void Reader::setUpDecoder() {
    auto value = [&](const char* name) -> std::string {
        auto it = m_header.find(name);
        return (it == m_header.end() || it->second.empty()) ? std::string() : std::string(it->second.front()->value);
    };
    std::string version = value("$ACADVER");
    std::string codePage = value("$DWGCODEPAGE");
    if (version >= "AC1021") {
        m_decoder.useUtf8();
    } else if (!codePage.empty()) {
        if (!m_decoder.useCodePage(codePage) && detail::isValidUtf8(m_content)) m_decoder.useUtf8();
    } else if (detail::isValidUtf8(m_content)) {
        m_decoder.useUtf8();
    } else {
        m_decoder.useCodePage("ANSI_936");
    }
}

VRxDbObjectId Reader::ensureLayer(const std::wstring& name) {
    std::wstring n = name.empty() ? L"0" : name;
    VRxDbObjectId id = vrxdbRecordId(m_db, m_db.layerTableId(), n.c_str());
    if (!id.isNull()) return id;
    auto* rec = new VRxDbLayerTableRecord;
    rec->setName(n.c_str());
    if (vrxdbAddRecordTo(m_db, m_db.layerTableId(), rec, id) != Vrx::eOk) {
        delete rec;
        return VRxDbObjectId::kNull;
    }
    return id;
}

VRxDbObjectId Reader::styleId(const std::wstring& name) {
    VRxDbObjectId id = vrxdbRecordId(m_db, m_db.textStyleTableId(), name.c_str());
    return id.isNull() ? m_db.textstyle() : id;
}

VRxDbObjectId Reader::dimStyleId(const std::wstring& name) {
    VRxDbObjectId id = vrxdbRecordId(m_db, m_db.dimStyleTableId(), name.c_str());
    return id.isNull() ? m_db.dimstyle() : id;
}

// --- Tables -----------------------------------------------------------------------

void Reader::readLinetype(const View& v) {
    std::wstring name = text(v, 2);
    if (name.empty()) return;
    auto* rec = record<VRxDbLinetypeTableRecord>(m_db.linetypeTableId(), name);
    bool isNew = rec == nullptr;
    if (isNew) {
        rec = new VRxDbLinetypeTableRecord;
        rec->setName(name.c_str());
    }
    rec->setComments(text(v, 3).c_str());
    std::vector<double> dashes;
    for (const Tag* t : v.own())
        if (t->code == 49) dashes.push_back(t->number());
    rec->setDashes(dashes);
    VRxDbObjectId id;
    if (isNew && vrxdbAddRecordTo(m_db, m_db.linetypeTableId(), rec, id) != Vrx::eOk) delete rec;
}

void Reader::readLayer(const View& v) {
    std::wstring name = text(v, 2);
    if (name.empty()) return;
    auto* rec = record<VRxDbLayerTableRecord>(m_db.layerTableId(), name);
    bool isNew = rec == nullptr;
    if (isNew) {
        rec = new VRxDbLayerTableRecord;
        rec->setName(name.c_str());
    }
    long long colour = v.integer(62, 7);
    rec->setIsOff(colour < 0);
    colour = magnitude(colour);
    if (colour < 1 || colour > 255) colour = 7;
    rec->setColor(VRxCmColor(static_cast<uint16_t>(colour)));
    long long flags = v.integer(70, 0);
    rec->setIsFrozen((flags & 1) != 0);
    rec->setIsLocked((flags & 4) != 0);
    std::wstring lt = text(v, 6, L"Continuous");
    VRxDbObjectId ltId = vrxdbRecordId(m_db, m_db.linetypeTableId(), lt.c_str());
    rec->setLinetypeName(ltId.isNull() ? L"Continuous"
                                       : VRxDbSymbolTableRecord::cast(vrxdbObjectAt(m_db, ltId))->getName().c_str());
    long long w = v.integer(370, VRxDb::kLnWtByLwDefault);
    if (w < -3 || w > 211) w = VRxDb::kLnWtByLwDefault;
    rec->setLineWeight(static_cast<VRxDb::LineWeight>(w));
    VRxDbObjectId id;
    if (isNew && vrxdbAddRecordTo(m_db, m_db.layerTableId(), rec, id) != Vrx::eOk) delete rec;
}

void Reader::readStyle(const View& v) {
    std::wstring name = text(v, 2);
    // Shape files are listed as nameless styles; they are fonts, not text styles.
    if (name.empty() || (v.integer(70, 0) & 1) != 0) return;
    auto* rec = record<VRxDbTextStyleTableRecord>(m_db.textStyleTableId(), name);
    bool isNew = rec == nullptr;
    if (isNew) {
        rec = new VRxDbTextStyleTableRecord;
        rec->setName(name.c_str());
    }
    rec->setTextSize(v.num(40, 0.0));
    double width = v.num(41, 1.0);
    rec->setXScaleWest(width > 0.0 ? width : 1.0);
    rec->setXScaleChina(width > 0.0 ? width : 1.0);
    rec->setObliquingAngle(rad(v.num(50, 0.0)));
    rec->setEFont(text(v, 3).c_str());
    rec->setCFont(text(v, 4).c_str());
    std::vector<const Tag*> extra = v.xdata("ZDTCAD");
    std::vector<double> values;
    for (const Tag* t : extra)
        if (t->code == 1040) values.push_back(t->number());
    if (values.size() >= 3) {
        rec->setXIntFac(values[0]);
        rec->setYIntFac(values[1]);
        rec->setXScaleChina(values[2]);
    }
    VRxDbObjectId id;
    if (isNew && vrxdbAddRecordTo(m_db, m_db.textStyleTableId(), rec, id) != Vrx::eOk) {
        delete rec;
        return;
    }
    uint64_t h = v.handle(5);
    if (h != 0) m_styleByHandle[h] = rec->getName();
}

void Reader::readDimStyle(const View& v) {
    std::wstring name = text(v, 2);
    if (name.empty()) return;
    auto* rec = record<VRxDbDimStyleTableRecord>(m_db.dimStyleTableId(), name);
    bool isNew = rec == nullptr;
    if (isNew) {
        rec = new VRxDbDimStyleTableRecord;
        rec->setName(name.c_str());
        rec->setDimtxsty(m_db.textstyle());
    }
    for (const Tag* t : v.own()) {
        switch (t->code) {
        case 40: rec->setDimscale(t->number()); break;
        case 41: rec->setDimasz(t->number()); break;
        case 42: rec->setDimexo(t->number()); break;
        case 44: rec->setDimexe(t->number()); break;
        case 46: rec->setDimdle(t->number()); break;
        case 73: rec->setDimtih(t->integer() != 0); break;
        case 74: rec->setDimtoh(t->integer() != 0); break;
        case 77: rec->setDimtad(static_cast<int>(t->integer())); break;
        case 78: rec->setDimzin(static_cast<int>(t->integer())); break;
        case 140: rec->setDimtxt(t->number()); break;
        case 144: rec->setDimlfac(t->number()); break;
        case 147: rec->setDimgap(t->number()); break;
        case 176: rec->setDimclrd(VRxCmColor(static_cast<uint16_t>(std::min<long long>(magnitude(t->integer()), 256)))); break;
        case 177: rec->setDimclre(VRxCmColor(static_cast<uint16_t>(std::min<long long>(magnitude(t->integer()), 256)))); break;
        case 178: rec->setDimclrt(VRxCmColor(static_cast<uint16_t>(std::min<long long>(magnitude(t->integer()), 256)))); break;
        case 271: rec->setDimdec(static_cast<int>(t->integer())); break;
        case 340: {
            auto it = m_styleByHandle.find(parseHandle(t->value));
            if (it != m_styleByHandle.end()) rec->setDimtxsty(styleId(it->second));
            break;
        }
        default: break;
        }
    }
    VRxDbObjectId id;
    if (isNew && vrxdbAddRecordTo(m_db, m_db.dimStyleTableId(), rec, id) != Vrx::eOk) delete rec;
}

void Reader::readBlockRecord(const View& v) {
    std::wstring name = text(v, 2);
    uint64_t h = v.handle(5);
    if (h != 0) m_blockRecordName[h] = name;
    // The name and path this host wrote beside a name DXF could not hold.
    std::vector<std::wstring> strings;
    for (const Tag* t : v.xdata("ZDTCAD"))
        if (t->code == 1000) strings.push_back(text(t->value));
    if (!strings.empty() && !strings[0].empty()) m_originalName[foldName(name)] = strings[0];
    if (strings.size() >= 2) m_blockPath[foldName(name)] = strings[1];
}

void Reader::readTables() {
    const Section* s = section("TABLES");
    if (s == nullptr) return;
    // Linetypes before layers, styles before dimension styles: later tables refer to earlier ones.
    for (const char* wanted : {"LTYPE", "LAYER", "STYLE", "DIMSTYLE", "BLOCK_RECORD"}) {
        std::string current;
        for (const Rec& r : s->recs) {
            if (r.type == "TABLE") {
                View v(m_tags, r);
                current = v.str(2);
                continue;
            }
            if (r.type == "ENDTAB") {
                current.clear();
                continue;
            }
            if (current != wanted || r.type != wanted) continue;
            View v(m_tags, r);
            if (r.type == "LTYPE") readLinetype(v);
            else if (r.type == "LAYER") readLayer(v);
            else if (r.type == "STYLE") readStyle(v);
            else if (r.type == "DIMSTYLE") readDimStyle(v);
            else readBlockRecord(v);
        }
    }
    auto headerText = [&](const char* name) -> std::wstring {
        auto it = m_header.find(name);
        return (it == m_header.end() || it->second.empty()) ? std::wstring() : text(it->second.front()->value);
    };
    VRxDbObjectId id = vrxdbRecordId(m_db, m_db.layerTableId(), headerText("$CLAYER").c_str());
    if (!id.isNull()) m_db.setClayer(id);
    id = vrxdbRecordId(m_db, m_db.textStyleTableId(), headerText("$TEXTSTYLE").c_str());
    if (!id.isNull()) m_db.setTextstyle(id);
    id = vrxdbRecordId(m_db, m_db.dimStyleTableId(), headerText("$DIMSTYLE").c_str());
    if (!id.isNull()) m_db.setDimstyle(id);
}

// --- Blocks and entities ---------------------------------------------------------------

static bool isDimensionBlock(const std::wstring& folded) {
    return folded.size() > 2 && folded[0] == L'*' && folded[1] == L'D' && std::iswdigit(folded[2]);
}

void Reader::readBlocks() {
    m_blocks[L"*MODEL_SPACE"] = m_db.modelSpaceId();
    m_blocks[L"*PAPER_SPACE"] = m_db.paperSpaceId();
    const Section* s = section("BLOCKS");
    if (s == nullptr) return;
    // First every definition, so references between blocks find each other in any order.
    for (const Rec& r : s->recs) {
        if (r.type != "BLOCK") continue;
        View v(m_tags, r);
        std::wstring name = text(v, 2);
        if (name.empty()) name = text(v, 3);
        std::wstring folded = foldName(name);
        if (name.empty() || m_blocks.count(folded) != 0 || isDimensionBlock(folded)) continue;
        auto it = m_originalName.find(folded);
        std::wstring dbName = it != m_originalName.end() ? it->second : name;
        auto* rec = new VRxDbBlockTableRecord;
        rec->setName(dbName.c_str());
        rec->setOrigin(v.point(10));
        auto p = m_blockPath.find(folded);
        if (p != m_blockPath.end()) rec->setPathName(p->second.c_str());
        VRxDbObjectId id;
        if (vrxdbAddRecordTo(m_db, m_db.blockTableId(), rec, id) != Vrx::eOk) {
            delete rec;
            id = vrxdbRecordId(m_db, m_db.blockTableId(), dbName.c_str());
            if (id.isNull()) continue;
        }
        m_blocks[folded] = id;
    }
    VRxDbObjectId current;
    bool skipping = true;
    for (const Rec& r : s->recs) {
        if (r.type == "BLOCK") {
            View v(m_tags, r);
            std::wstring name = text(v, 2);
            if (name.empty()) name = text(v, 3);
            std::wstring folded = foldName(name);
            auto it = m_blocks.find(folded);
            skipping = it == m_blocks.end() || isDimensionBlock(folded);
            current = skipping ? VRxDbObjectId::kNull : it->second;
        } else if (r.type == "ENDBLK") {
            skipping = true;
        } else if (!skipping) {
            readEntity(r, View(m_tags, r), *s, current);
        }
    }
}

VRxDbObjectId Reader::ownerSpace(const View& v) {
    uint64_t owner = v.handle(330);
    auto it = m_blockRecordName.find(owner);
    if (owner != 0 && it != m_blockRecordName.end()) {
        auto b = m_blocks.find(foldName(it->second));
        if (b != m_blocks.end()) return b->second;
    }
    return v.integer(67, 0) == 1 ? m_db.paperSpaceId() : m_db.modelSpaceId();
}

void Reader::readEntities() {
    const Section* s = section("ENTITIES");
    // Leader annotations belong to their leader, not to the drawing on their own.
    for (const Section& sec : m_sections) {
        if (sec.name != "ENTITIES" && sec.name != "BLOCKS") continue;
        for (const Rec& r : sec.recs) {
            View v(m_tags, r);
            uint64_t h = v.handle(5);
            if (h != 0) m_byHandle[h] = {&r, &sec};
            if (r.type == "LEADER" && v.integer(73, 3) == 0 && v.handle(340) != 0) m_annotations.insert(v.handle(340));
        }
    }
    if (s == nullptr) return;
    for (const Rec& r : s->recs) {
        View v(m_tags, r);
        readEntity(r, v, *s, ownerSpace(v));
    }
}

void Reader::readEntity(const Rec& r, const View& v, const Section& s, VRxDbObjectId block) {
    if (block.isNull()) return;
    if (r.type == "MTEXT" && m_annotations.count(v.handle(5)) != 0) return;

    VRxDbEntity* e = nullptr;
    const std::string_view type = r.type;
    VRxGeVector3d normal(v.num(210, 0.0), v.num(220, 0.0), v.num(230, 1.0));
    detail::Ocs ocs(normal);
    if (type == "LINE") {
        e = new VRxDbLine(v.point(10), v.point(11));
    } else if (type == "CIRCLE") {
        e = new VRxDbCircle(ocs.toWorld(v.point(10)), ocs.az, v.num(40));
    } else if (type == "ARC") {
        e = new VRxDbArc(ocs.toWorld(v.point(10)), ocs.az, v.num(40), rad(v.num(50)), rad(v.num(51)));
    } else if (type == "LWPOLYLINE") {
        auto* p = new VRxDbPolyline;
        // A polyline seen from below (mirrored): x runs the other way and arcs turn the other way.
        bool flipped = !ocs.world && ocs.az.z < -0.999999;
        double sign = flipped ? -1.0 : 1.0;
        std::vector<std::pair<VRxGePoint2d, double>> verts;
        for (const Tag* t : v.own()) {
            if (t->code == 10) verts.push_back({VRxGePoint2d(sign * t->number(), 0.0), 0.0});
            else if (t->code == 20 && !verts.empty()) verts.back().first.y = t->number();
            else if (t->code == 42 && !verts.empty()) verts.back().second = sign * t->number();
        }
        for (size_t i = 0; i < verts.size(); ++i)
            p->addVertexAt(static_cast<unsigned>(i), verts[i].first, verts[i].second);
        p->setClosed((v.integer(70, 0) & 1) != 0);
        p->setElevation(sign * v.num(38, 0.0));
        p->setConstantWidth(v.num(43, 0.0));
        e = p;
    } else if (type == "POLYLINE") {
        // The old polyline: its vertices follow as records of their own, up to SEQEND.
        long long flags = v.integer(70, 0);
        if ((flags & (8 | 16 | 64)) != 0) return;  // 3-D polylines and meshes have no kind here
        auto* p = new VRxDbPolyline;
        unsigned n = 0;
        size_t k = static_cast<size_t>(&r - s.recs.data());
        for (size_t j = k + 1; j < s.recs.size() && s.recs[j].type == "VERTEX"; ++j) {
            View vv(m_tags, s.recs[j]);
            if ((vv.integer(70, 0) & 16) != 0) continue;  // spline frame points
            p->addVertexAt(n++, VRxGePoint2d(vv.num(10), vv.num(20)), vv.num(42, 0.0));
        }
        p->setClosed((flags & 1) != 0);
        p->setElevation(v.num(30, 0.0));
        e = p;
    } else if (type == "TEXT") {
        auto* t = new VRxDbText;
        t->setPosition(v.point(10));
        t->setAlignmentPoint(v.point(11, v.point(10)));
        t->setTextString(text(v, 1).c_str());
        t->setHeight(v.num(40, 0.0));
        t->setRotation(rad(v.num(50, 0.0)));
        t->setWidthFactor(v.num(41, 1.0));
        t->setOblique(rad(v.num(51, 0.0)));
        t->setTextStyle(styleId(text(v, 7, L"Standard")));
        long long h = v.integer(72, 0), vert = v.integer(73, 0);
        t->setHorizontalMode(static_cast<VRxDb::TextHorzMode>(h >= 0 && h <= 5 ? h : 0));
        t->setVerticalMode(static_cast<VRxDb::TextVertMode>(vert >= 0 && vert <= 3 ? vert : 0));
        e = t;
    } else if (type == "MTEXT") {
        auto* m = new VRxDbMText;
        m->setLocation(v.point(10));
        m->setTextHeight(v.num(40, 0.0));
        m->setWidth(v.num(41, 0.0));
        long long a = v.integer(71, 1);
        m->setAttachment(static_cast<VRxDbMText::AttachmentPoint>(a >= 1 && a <= 9 ? a : 1));
        std::string bytes;
        for (const Tag* t : v.own())
            if (t->code == 3) bytes += t->value;
        bytes += v.str(1);
        m->setContents(text(bytes).c_str());
        m->setTextStyle(styleId(text(v, 7, L"Standard")));
        if (v.has(11)) m->setRotation(std::atan2(v.num(21), v.num(11)));
        else m->setRotation(rad(v.num(50, 0.0)));  // degrees, as writers store it in practice
        e = m;
    } else if (type == "SOLID" || type == "TRACE") {
        VRxGePoint3d p2 = v.point(12);
        e = new VRxDbSolid(ocs.toWorld(v.point(10)), ocs.toWorld(v.point(11)), ocs.toWorld(p2),
                           ocs.toWorld(v.point(13, p2)));
    } else if (type == "INSERT") {
        auto it = m_blocks.find(foldName(text(v, 2)));
        if (it == m_blocks.end() || it->second == m_db.modelSpaceId()) return;
        auto* b = new VRxDbBlockReference(v.point(10), it->second);
        b->setScaleFactors(VRxGeScale3d(v.num(41, 1.0), v.num(42, 1.0), v.num(43, 1.0)));
        b->setRotation(rad(v.num(50, 0.0)));
        e = b;
    } else if (type == "DIMENSION") {
        long long kind = v.integer(70, 0) & 0x0F;
        std::wstring userText = text(v, 1);
        VRxDbObjectId style = dimStyleId(text(v, 3, L"Standard"));
        VRxDbDimension* d = nullptr;
        if (kind == 0 || kind == 1) {
            VRxGePoint3d x1 = v.point(13), x2 = v.point(14);
            double angle = kind == 0 ? rad(v.num(50, 0.0)) : std::atan2(x2.y - x1.y, x2.x - x1.x);
            d = new VRxDbRotatedDimension(angle, x1, x2, v.point(10), userText.c_str(), style);
        } else if (kind == 4) {
            d = new VRxDbRadialDimension(v.point(10), v.point(15), v.num(40, 0.0), userText.c_str(), style);
        } else if (kind == 3) {
            d = new VRxDbDiametricDimension(v.point(15), v.point(10), v.num(40, 0.0), userText.c_str(), style);
        } else {
            return;  // angular and ordinate dimensions have no kind here
        }
        if ((v.integer(70, 0) & 128) != 0) d->setTextPosition(v.point(11));
        e = d;
    } else if (type == "LEADER") {
        std::vector<VRxGePoint3d> pts;
        for (const Tag* t : v.own()) {
            if (t->code == 10) pts.push_back(VRxGePoint3d(t->number(), 0, 0));
            else if (t->code == 20 && !pts.empty()) pts.back().y = t->number();
            else if (t->code == 30 && !pts.empty()) pts.back().z = t->number();
        }
        if (pts.size() < 2) return;
        std::wstring text1, text2;
        auto a = m_byHandle.find(v.handle(340));
        if (a != m_byHandle.end() && m_annotations.count(v.handle(340)) != 0) {
            View av(m_tags, *a->second.first);
            std::string bytes;
            for (const Tag* t : av.own())
                if (t->code == 3) bytes += t->value;
            bytes += av.str(1);
            std::wstring plain = mtextPlain(text(bytes));
            size_t nl = plain.find(L'\n');
            text1 = plain.substr(0, nl);
            if (nl != std::wstring::npos) text2 = plain.substr(nl + 1);
        }
        std::vector<VRxGePoint3d> middle(pts.begin() + 1, pts.end() - 1);
        e = new VRxDbDimLeader(pts.front(), middle, pts.back(), text1.c_str(), text2.c_str(),
                               dimStyleId(text(v, 3, L"Standard")));
    } else {
        return;  // a kind this host does not draw: passed over
    }

    // Colour and line weight can be set before the entity joins the drawing;
    // layer and linetype are checked against the drawing, so they come after.
    long long colour = v.integer(62, VRxDb::kColorByLayer);
    colour = magnitude(colour);
    if (colour <= 256) e->setColorIndex(static_cast<uint16_t>(colour));
    long long w = v.integer(370, VRxDb::kLnWtByLayer);
    if (w >= -3 && w <= 211) e->setLineWeight(static_cast<VRxDb::LineWeight>(w));
    double ltscale = v.num(48, 1.0);
    if (ltscale > 0.0) e->setLinetypeScale(ltscale);

    std::wstring layer = text(v, 8, L"0");
    std::wstring linetype = text(v, 6, L"ByLayer");
    VRxDbObjectId layerId = ensureLayer(layer);
    VRxDbObjectId id = vrxdbAddEntityTo(m_db, block, e);
    if (id.isNull()) return;
    if (v.handle(5) != 0) m_byFileHandle[v.handle(5)] = id;
    if (uint64_t xdict = extensionDictionaryHandle(r)) m_pendingXdicts.emplace_back(id, xdict);
    VRxDbEntity* open = nullptr;
    if (vrxdbOpenObject(open, id, VRxDb::kForWrite) == Vrx::eOk) {
        if (!layerId.isNull()) open->setLayer(layerId);
        if (open->setLinetype(linetype.c_str()) != Vrx::eOk) open->setLinetype(L"ByLayer");
        open->close();
    }
}

// --- Layouts ----------------------------------------------------------------------

void Reader::readLayouts() {
    struct Layout {
        std::wstring name;
        int tabOrder = 0;
        uint64_t block = 0;
    };
    std::vector<Layout> layouts;
    if (const Section* s = section("OBJECTS")) {
        for (const Rec& r : s->recs) {
            if (r.type != "LAYOUT") continue;
            // The name and block are the values of the layout part, after the plot settings.
            Layout l;
            bool inLayout = false;
            View v(m_tags, r);
            for (const Tag* t : v.own()) {
                if (t->code == 100) inLayout = t->value == "AcDbLayout";
                else if (inLayout && t->code == 1) l.name = text(t->value);
                else if (inLayout && t->code == 71) l.tabOrder = static_cast<int>(t->integer());
                else if (inLayout && t->code == 330) l.block = parseHandle(t->value);
            }
            if (!l.name.empty()) layouts.push_back(l);
        }
    }
    auto tilemode = m_header.find("$TILEMODE");
    bool modelCurrent = tilemode == m_header.end() || tilemode->second.empty() ||
                        tilemode->second.front()->integer() != 0;

    VRxDbPaperTable* table = nullptr;
    if (vrxdbOpenObject(table, m_db.paperTableId(), VRxDb::kForWrite) != Vrx::eOk) return;
    VRxDbObjectId currentPaper;
    std::set<VRxDbObjectId> keep;
    for (const Layout& l : layouts) {
        VRxDbObjectId block;
        auto bn = m_blockRecordName.find(l.block);
        if (bn != m_blockRecordName.end()) {
            auto b = m_blocks.find(foldName(bn->second));
            if (b != m_blocks.end()) block = b->second;
        }
        bool isModel = foldName(l.name) == L"MODEL" || (!block.isNull() && block == m_db.modelSpaceId());
        if (isModel) {
            VRxDbObjectId id = vrxdbRecordId(m_db, m_db.paperTableId(), L"Model");
            keep.insert(id);
            if (modelCurrent) currentPaper = id;
            continue;
        }
        if (block.isNull()) block = m_db.paperSpaceId();
        VRxDbObjectId id = vrxdbRecordId(m_db, m_db.paperTableId(), l.name.c_str());
        if (id.isNull()) {
            auto* p = new VRxDbPaperTableRecord;
            p->setName(l.name.c_str());
            if (table->add(id, p) != Vrx::eOk) {
                delete p;
                continue;
            }
            p->close();
        }
        VRxDbPaperTableRecord* p = nullptr;
        if (vrxdbOpenObject(p, id, VRxDb::kForWrite) == Vrx::eOk) {
            p->setBlockTableRecordId(block);
            p->setTabOrder(l.tabOrder);
            p->close();
        }
        keep.insert(id);
        if (!modelCurrent && block == m_db.paperSpaceId()) currentPaper = id;
    }
    if (!currentPaper.isNull()) table->setCurrentPaper(currentPaper);
    // The default sheet goes when the file has sheets of its own under other names.
    if (!layouts.empty()) {
        for (VRxDbObjectId id : table->recordIds()) {
            if (keep.count(id) != 0 || id == currentPaper) continue;
            auto* p = VRxDbPaperTableRecord::cast(vrxdbObjectAt(m_db, id));
            if (p == nullptr || foldName(p->getName()) == L"MODEL") continue;
            if (vrxdbOpenObject(p, id, VRxDb::kForWrite) == Vrx::eOk) {
                p->erase();
                p->close();
            }
        }
    }
    table->close();
}

// --- Applications' dictionaries and XRecords -------------------------------------

uint64_t Reader::extensionDictionaryHandle(const Rec& r) const {
    bool inGroup = false;
    for (size_t i = r.begin + 1; i < r.end; ++i) {
        const Tag& t = m_tags[i];
        if (t.code == 1001) break;
        if (t.code == 102) inGroup = t.value == "{ACAD_XDICTIONARY";
        else if (inGroup && t.code == 360) return parseHandle(t.value);
    }
    return 0;
}

void Reader::readObjects() {
    const Section* s = section("OBJECTS");
    if (s != nullptr)
        for (const Rec& r : s->recs)
            if (r.type == "DICTIONARY" || r.type == "XRECORD") {
                View v(m_tags, r);
                if (v.handle(5) != 0) m_objectRecs.emplace(v.handle(5), &r);
            }
    // The named object dictionary is the dictionary nobody owns. Its ACAD_
    // entries are the host's own (groups, layouts ...), made anew when saved.
    const Rec* root = nullptr;
    for (const auto& entry : m_objectRecs) {
        View v(m_tags, *entry.second);
        const bool earlier = root == nullptr || entry.second->begin < root->begin;
        if (entry.second->type == "DICTIONARY" && v.handle(330) == 0 && earlier) root = entry.second;
    }
    if (root != nullptr) {
        m_objectsRead.insert(View(m_tags, *root).handle(5));
        VRxDbDictionary* nod = nullptr;
        if (m_db.getNamedObjectsDictionary(nod, VRxDb::kForWrite) == Vrx::eOk) {
            fillDictionary(*nod, *root);
            nod->close();
        }
    }
    for (const auto& pending : m_pendingXdicts) readExtensionDictionary(pending.first, pending.second);

    for (const auto& pointers : m_pendingPointers) {
        VRxDbXrecord* x = nullptr;
        if (vrxdbOpenObject(x, pointers.first, VRxDb::kForWrite) != Vrx::eOk) continue;
        std::vector<VRxDbXrecordValue> values = x->values();
        for (const auto& p : pointers.second) {
            auto it = m_byFileHandle.find(p.second);
            if (p.first < values.size())
                values[p.first].id = it == m_byFileHandle.end() ? VRxDbObjectId::kNull : it->second;
        }
        x->setValues(std::move(values));
        x->close();
    }
}

void Reader::fillDictionary(VRxDbDictionary& d, const Rec& r) {
    View v(m_tags, r);
    std::wstring name;
    bool named = false;
    const bool isRoot = d.objectId() == m_db.namedObjectsDictionaryId();
    for (const Tag* t : v.own()) {
        if (t->code == 3) {
            name = text(t->value);
            named = true;
        } else if ((t->code == 350 || t->code == 360) && named) {
            named = false;
            if (isRoot && foldName(name).rfind(L"ACAD_", 0) == 0) continue;
            auto child = m_objectRecs.find(parseHandle(t->value));
            if (child != m_objectRecs.end()) readObjectInto(d, name, *child->second);
        }
    }
}

void Reader::readObjectInto(VRxDbDictionary& parent, const std::wstring& name, const Rec& r) {
    View v(m_tags, r);
    const uint64_t handle = v.handle(5);
    // An object is read once, under its first owner: a damaged file that lists
    // it twice, or in a circle, cannot make it two objects or loop for ever.
    if (!m_objectsRead.insert(handle).second) return;
    const bool isDictionary = r.type == "DICTIONARY";
    VRxDbObject* object = isDictionary ? static_cast<VRxDbObject*>(new VRxDbDictionary)
                                       : static_cast<VRxDbObject*>(new VRxDbXrecord);
    VRxDbObjectId id;
    if (parent.setAt(name.c_str(), object, id) != Vrx::eOk) {
        delete object;
        return;
    }
    m_byFileHandle[handle] = id;
    if (isDictionary) fillDictionary(*static_cast<VRxDbDictionary*>(object), r);
    else fillXrecord(*static_cast<VRxDbXrecord*>(object), r);
    object->close();
    if (uint64_t xdict = extensionDictionaryHandle(r)) readExtensionDictionary(id, xdict);
}

void Reader::readExtensionDictionary(VRxDbObjectId id, uint64_t dictionaryHandle) {
    auto rec = m_objectRecs.find(dictionaryHandle);
    if (rec == m_objectRecs.end() || rec->second->type != "DICTIONARY") return;
    if (!m_objectsRead.insert(dictionaryHandle).second) return;
    VRxDbObject* owner = nullptr;
    if (vrxdbOpenVRxDbObject(owner, id, VRxDb::kForWrite) != Vrx::eOk) return;
    const bool made = owner->createExtensionDictionary() == Vrx::eOk;
    const VRxDbObjectId dictionaryId = owner->extensionDictionary();
    owner->close();
    if (!made) return;
    m_byFileHandle[dictionaryHandle] = dictionaryId;
    VRxDbDictionary* d = nullptr;
    if (vrxdbOpenObject(d, dictionaryId, VRxDb::kForWrite) != Vrx::eOk) return;
    fillDictionary(*d, *rec->second);
    d->close();
}

void Reader::fillXrecord(VRxDbXrecord& x, const Rec& r) {
    View v(m_tags, r);
    const std::vector<const Tag*>& tags = v.own();
    size_t i = 0;
    while (i < tags.size() && !(tags[i]->code == 100 && tags[i]->value == "AcDbXrecord")) ++i;
    if (i < tags.size()) ++i;
    if (i < tags.size() && tags[i]->code == 280) ++i;  // the cloning flag
    std::vector<VRxDbXrecordValue> values;
    for (; i < tags.size(); ++i) {
        const Tag& t = *tags[i];
        if (!VRxDbXrecord::isValueCode(t.code)) continue;
        VRxDbXrecordValue value;
        value.code = t.code;
        switch (vrxutRbValueKind(t.code)) {
        case VRxRbValueKind::Real: value.real[0] = t.number(); break;
        case VRxRbValueKind::Point:
            value.real[0] = t.number();
            for (int k = 1; k < 3 && i + 1 < tags.size() && tags[i + 1]->code == t.code + 10 * k; ++k)
                value.real[k] = tags[++i]->number();
            break;
        case VRxRbValueKind::Short:
        case VRxRbValueKind::Long:
        case VRxRbValueKind::Int64: value.integer = t.integer(); break;
        case VRxRbValueKind::String: value.text = text(t.value); break;
        case VRxRbValueKind::Name:
            if (parseHandle(t.value) != 0)
                m_pendingPointers[x.objectId()].emplace_back(values.size(), parseHandle(t.value));
            break;
        case VRxRbValueKind::None: continue;
        }
        values.push_back(std::move(value));
    }
    x.setValues(std::move(values));
}

Vrx::ErrorStatus Reader::run(std::wstring& error) {
    if (!detail::tokenize(m_content, m_tags, error)) return Vrx::eBadDxfFile;
    if (!parseSections(error)) return Vrx::eBadDxfFile;
    readHeader();
    setUpDecoder();

    if (m_db.openObjectCount() != 0) {
        error = L"the drawing has open objects and cannot be replaced";
        return Vrx::eBadDxfFile;
    }
    // The file is sound: only now is the database replaced.
    m_touched = true;
    vrxdbClear(m_db);
    vrxdbBuildDefaults(m_db);
    VRxDbHeader& h = m_db.header();
    auto integer = [&](const char* name, int& target) {
        auto it = m_header.find(name);
        if (it != m_header.end() && !it->second.empty()) target = static_cast<int>(it->second.front()->integer());
    };
    integer("$INSUNITS", h.insunits);
    integer("$MEASUREMENT", h.measurement);
    integer("$LUNITS", h.lunits);
    integer("$LUPREC", h.luprec);
    integer("$DIMZIN", h.dimzin);
    auto lt = m_header.find("$LTSCALE");
    if (lt != m_header.end() && !lt->second.empty() && lt->second.front()->number() > 0.0)
        h.ltscale = lt->second.front()->number();
    auto cp = m_header.find("$DWGCODEPAGE");
    if (cp != m_header.end() && !cp->second.empty()) h.codePage = text(cp->second.front()->value);

    readTables();
    readBlocks();
    readEntities();
    readLayouts();
    readObjects();
    return Vrx::eOk;
}

}  // namespace

Vrx::ErrorStatus readDxf(VRxDbDatabase& db, const std::string& content, std::wstring& error) {
    error.clear();
    Reader reader(db, content);
    try {
        return reader.run(error);
    } catch (const std::exception& ex) {
        error = L"the drawing could not be read: " + detail::fromUtf8(ex.what());
    } catch (...) {
        error = L"the drawing could not be read";
    }
    // Never leave a half-read drawing behind: an empty one instead.
    if (reader.touched()) {
        vrxdbClear(db);
        vrxdbBuildDefaults(db);
    }
    return Vrx::eBadDxfFile;
}

}  // namespace VRxDxf
