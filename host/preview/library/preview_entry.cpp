// The entry points zdtcad finds with dlsym after loading the preview library on
// demand: a run that draws no picture never loads cairo and the font libraries.
#include <string>

#include "preview.h"

extern "C" {

__attribute__((visibility("default"))) bool zdtpreviewRender(const VRxDbDatabase* db, int format,
                                                             const std::string* path, std::string* error) {
    if (db == nullptr || path == nullptr || error == nullptr) return false;
    const auto kind = format == 0 ? zdtpreview::PreviewFormat::Svg : zdtpreview::PreviewFormat::Png;
    return zdtpreview::renderPreview(*db, kind, *path, *error);
}

__attribute__((visibility("default"))) void zdtpreviewReleaseFontCaches() { zdtpreview::releaseFontCaches(); }

}  // extern "C"
