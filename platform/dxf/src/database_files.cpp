// The drawing database's file operations: drawing files are DXF text, whatever
// their extension (the block drawings the module asks for end in .dwg or .vdg).
#include "vrxdb.h"
#include "vrxdxf.h"

Vrx::ErrorStatus VRxDbDatabase::readDwgFile(const wchar_t* fileName, int shareMode, bool allowCPConversion,
                                            const wchar_t* password) {
    (void)shareMode;
    (void)allowCPConversion;
    (void)password;
    return readDrawingFile(fileName);
}

Vrx::ErrorStatus VRxDbDatabase::readVdgFile(const wchar_t* fileName, int shareMode, bool allowCPConversion,
                                            const wchar_t* password) {
    (void)shareMode;
    (void)allowCPConversion;
    (void)password;
    return readDrawingFile(fileName);
}

Vrx::ErrorStatus VRxDbDatabase::readDrawingFile(const wchar_t* fileName) {
    m_readError.clear();
    if (fileName == nullptr || *fileName == L'\0') {
        m_readError = L"no file name was given";
        return Vrx::eFileNotFound;
    }
    // Nothing of a drawing that is open may be replaced under its users.
    if (openObjectCount() != 0) {
        m_readError = std::wstring(fileName) + L": the drawing has open objects and cannot be replaced";
        return Vrx::eWasOpenedForWrite;
    }
    return VRxDxf::readDxfFile(*this, fileName, m_readError);
}

Vrx::ErrorStatus VRxDbDatabase::saveAs(const wchar_t* fileName) {
    std::wstring error;
    Vrx::ErrorStatus es = VRxDxf::writeDxfFile(*this, fileName ? std::wstring(fileName) : std::wstring(), error);
    VRxDxf::setLastSaveError(error);
    return es;
}
