// The preview library, loaded only by a run that draws an SVG or PNG picture.
#pragma once

#include <string>

#include "preview.h"

class VRxDbDatabase;

namespace zdtcad {

class PreviewLibrary {
public:
    PreviewLibrary() = default;
    // Lets go of the font caches it filled (see releaseFontCaches) and unloads.
    ~PreviewLibrary();
    PreviewLibrary(const PreviewLibrary&) = delete;
    PreviewLibrary& operator=(const PreviewLibrary&) = delete;

    // Draws db into a new file at path as zdtpreview::renderPreview does; false,
    // with a message for the user in error, also when the library cannot be loaded.
    bool render(const VRxDbDatabase& db, zdtpreview::PreviewFormat format, const std::string& path,
                std::string& error);

private:
    // Loads libzdtpreview.so from zdtcad's folder (once).
    bool load(std::string& why);

    void* m_handle = nullptr;
    bool (*m_render)(const VRxDbDatabase*, int, const std::string*, std::string*) = nullptr;
    void (*m_release)() = nullptr;
};

}  // namespace zdtcad
