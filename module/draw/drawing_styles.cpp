// The annotation styles of a mould drawing. Their sizes are the drawing scale
// times fixed factors, and their names carry the scale, so a drawing that
// already has the styles for a scale reuses them as they are (a user may have
// adjusted them) and a new scale gets styles of its own.
#include "draw/drawing_styles.h"

#include <climits>
#include <cmath>
#include <memory>
#include <string>

#include "draw/opened_object.h"
#include "winapi.h"

double drawingScale = 6.0;
VRxDbObjectId textStyleId;
VRxDbObjectId dimStyleId;
VRxDbObjectId assemblyDimStyleId;

namespace {

std::wstring styleName(const wchar_t* format, int number) {
    wchar_t name[64];
    swprintf_s(name, format, number);
    return name;
}

// Finds the style by name, or fills a new record through make and adds it
// (nothing is added when make fails).
// The id is written only when the style was found or added.
template <class Table, class Record, class Make>
bool findOrAddStyle(Table* table, const std::wstring& name, VRxDbObjectId& id, Make make) {
    if (table->has(name.c_str())) {
        VRxDbObjectId found;
        if (table->getAt(name.c_str(), found) != Vrx::eOk) return false;
        id = found;
        return true;
    }
    auto record = std::make_unique<Record>();
    if (make(*record) != Vrx::eOk) return false;
    VRxDbObjectId added;
    if (table->add(added, record.get()) != Vrx::eOk) {
        if (record->isDatabaseResident()) record.release();  // the table's now, refused or not
        return false;
    }
    id = added;
    return record.release()->close() == Vrx::eOk;
}

bool setupDimStyle(VRxDbDatabase& db, const std::wstring& name, double s, bool horizontalInside,
                   VRxDbObjectId& id) {
    OpenedObject<VRxDbDimStyleTable> table;
    if (db.getDimStyleTable(table.receive(), VRxDb::kForWrite) != Vrx::eOk) return false;
    return findOrAddStyle<VRxDbDimStyleTable, VRxDbDimStyleTableRecord>(
        table.get(), name, id, [&](VRxDbDimStyleTableRecord& r) {
            return Vrx::firstFailure({r.setName(name.c_str()), r.setDimclrd(VRxCmColor(1)),
                                      r.setDimclre(VRxCmColor(1)), r.setDimclrt(VRxCmColor(255)), r.setDimtad(1),
                                      horizontalInside ? r.setDimtih(true) : Vrx::eOk, r.setDimtxsty(textStyleId),
                                      r.setDimtxt(s), r.setDimasz(1.1 * s), r.setDimdle(1.3 * s),
                                      r.setDimexe(0.42 * s), r.setDimexo(0.333 * s), r.setDimgap(0.21 * s)});
        });
}

// False for a scale that cannot name a style: not a number, or beyond what %d holds.
bool styleNumberOf(double scale, int& number) {
    const double product = scale * 1000.0;
    if (!std::isfinite(product) || product >= static_cast<double>(INT_MAX) ||
        product <= static_cast<double>(INT_MIN))
        return false;
    // A scale such as 4.02 (a 201 wide plate / 50) times 1000 comes out a hair
    // under 4020 in binary floating point; cutting that to 4019 would name the
    // styles after a scale nobody chose. A product within a few units in the last
    // place of a whole number is that number; anything further off is cut toward zero.
    const double whole = std::round(product);
    number = std::fabs(product - whole) <= 1e-9 * std::fmax(1.0, std::fabs(product))
                 ? static_cast<int>(whole)
                 : static_cast<int>(std::trunc(product));
    return true;
}

}  // namespace

int drawingStyleNumber(double scale) {
    int number = 0;
    return styleNumberOf(scale, number) ? number : 0;
}

bool setupDrawingStyles(double scale) {
    // Styles named after an unusable scale could never be found again; nothing is changed.
    int number = 0;
    if (!styleNumberOf(scale, number)) return false;
    VRxDbHostApplicationServices* services = vrxdbHostApplicationServices();
    VRxDbDatabase* db = services != nullptr ? services->workingDatabase() : nullptr;

    drawingScale = scale;
    if (db == nullptr) return false;

    const std::wstring textName = styleName(L"zdt_txt_%d", number);
    {
        OpenedObject<VRxDbTextStyleTable> texts;
        if (db->getTextStyleTable(texts.receive(), VRxDb::kForWrite) != Vrx::eOk) return false;
        const bool textOk = findOrAddStyle<VRxDbTextStyleTable, VRxDbTextStyleTableRecord>(
            texts.get(), textName, textStyleId, [&](VRxDbTextStyleTableRecord& r) {
                return Vrx::firstFailure({r.setName(textName.c_str()), r.setObliquingAngle(0.0), r.setTextSize(scale),
                                          r.setXIntFac(0.1), r.setYIntFac(1.918), r.setXScaleChina(1.0),
                                          r.setXScaleWest(1.0), r.setCFont(L"tavodx.fnt"), r.setEFont(L"ISO9.FNT")});
            });
        if (!textOk) return false;
    }

    if (!setupDimStyle(*db, styleName(L"zdt_dim_%d", number), scale, false, dimStyleId)) return false;
    return setupDimStyle(*db, styleName(L"zdt_assemble_%d", number), scale, true, assemblyDimStyleId);
}
