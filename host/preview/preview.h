// Pictures of a drawing for people to look at: the model space of a database
// drawn as an SVG or PNG file, fitted with a margin on white paper.
#pragma once

#include <string>

class VRxDbDatabase;

namespace zdtpreview {

enum class PreviewFormat { Svg, Png };

// Draws db's model space into a new file at path (written beside it, then renamed
// over it). On failure returns false with a message for the user in error; the file
// is then left as it was.
bool renderPreview(const VRxDbDatabase& db, PreviewFormat format, const std::string& path, std::string& error);

// Drops what the font libraries keep for the whole process (loaded fonts, the font
// configuration), so a leak checker at exit sees only real leaks. Only once no
// preview is being drawn; a later preview loads them again.
void releaseFontCaches();

}  // namespace zdtpreview
