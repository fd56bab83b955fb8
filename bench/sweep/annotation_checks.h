// What a toolmaker checks of the annotation of one swept drawing: no text (a
// plate name, a dimension's value, the OFFSET leader's text, the title) over a
// block (a hole, a lock, a datum mark) or over another text, and header
// extents that hold the whole drawing, so a program that zooms to them shows
// all of it.
#pragma once

#include <string>
#include <vector>

#include "vrxdb.h"

namespace sweep {

// The problems found (empty when the annotation is clear). dxfText is the saved
// drawing, back the drawing read back from it.
std::vector<std::string> checkAnnotation(const std::string& dxfText, const VRxDbDatabase& back);

}  // namespace sweep
