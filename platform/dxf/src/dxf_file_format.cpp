// Drawing files are DXF text, whatever their extension (the block drawings the
// module asks for end in .dwg or .vdg): this library installs its reader and
// writer as every database's file format when it is loaded.
#include "vrxdbfiles.h"
#include "vrxdxf.h"

namespace {

Vrx::ErrorStatus saveDxfFile(const VRxDbDatabase& db, const std::wstring& path, std::wstring& error) {
    Vrx::ErrorStatus es = VRxDxf::writeDxfFile(db, path, error);
    VRxDxf::setLastSaveError(error);
    return es;
}

const bool g_installed = [] {
    VRxDbDrawingFileFormat dxf;
    dxf.read = &VRxDxf::readDxfFile;
    dxf.write = &saveDxfFile;
    vrxdbSetDrawingFileFormat(dxf);
    return true;
}();

}  // namespace
