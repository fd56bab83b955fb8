// Drawings read from files, kept parsed so that a file read again is copied
// instead of parsed again: a design inserts its standard parts from some sixty
// drawing files, and the catalogue sweep draws hundreds of designs in one
// process. An entry is keyed by the file's state (path, device and inode, size,
// modification time to the nanosecond), so a file that was changed or replaced
// is read afresh; nothing is kept open.
#pragma once

#include <sys/stat.h>

#include <string>

class VRxDbDatabase;

namespace VRxDxf {
namespace detail {

// Fills db with the drawing last read from the file in this state, when one is
// kept; false otherwise (db is then untouched).
bool copyKeptDrawing(const std::string& path, const struct stat& state, VRxDbDatabase& db);
// Tells the cache that db was just read from the file in this state. A drawing
// is kept the second time its file is read in the same state: a file read once
// costs no copy.
void noteDrawingRead(const std::string& path, const struct stat& state, const VRxDbDatabase& db);

}  // namespace detail
}  // namespace VRxDxf
