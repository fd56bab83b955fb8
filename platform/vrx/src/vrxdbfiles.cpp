// The drawing database's file operations. Both file names a host reads (.dwg,
// .vdg) hold the same content; which format that is, the drawing file library
// decides through the format it registers.
#include "vrxdb.h"
#include "vrxdbfiles.h"

namespace {
VRxDbDrawingFileFormat g_format;
}  // namespace

VRxDbDrawingFileFormat vrxdbSetDrawingFileFormat(const VRxDbDrawingFileFormat& format) {
    VRxDbDrawingFileFormat previous = g_format;
    g_format = format;
    return previous;
}

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
    if (g_format.read == nullptr) {
        m_readError = std::wstring(fileName) + L": no drawing file format is installed";
        return Vrx::eNotImplemented;
    }
    return g_format.read(*this, fileName, m_readError);
}

Vrx::ErrorStatus VRxDbDatabase::saveAs(const wchar_t* fileName) {
    if (g_format.write == nullptr) return Vrx::eNotImplemented;
    std::wstring error;
    return g_format.write(*this, fileName ? std::wstring(fileName) : std::wstring(), error);
}
