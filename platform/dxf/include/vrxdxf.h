// Drawing files: a database read from DXF text and written as DXF text. The
// model (platform/vrx) knows nothing of the format; this is the only place that does.
#pragma once

#include <string>

#include "vrxdb.h"

namespace VRxDxf {

// Reads DXF content into db, which is cleared first. Truncated, corrupt or
// non-DXF content fails with eBadDxfFile and a message naming the line where the
// reading stopped; the content is checked whole before db is touched, so db then
// keeps what it held, never half-read. A db with open objects is not replaced.
Vrx::ErrorStatus readDxf(VRxDbDatabase& db, const std::string& content, std::wstring& error);
Vrx::ErrorStatus readDxfFile(VRxDbDatabase& db, const std::wstring& path, std::wstring& error);

// The whole database as DXF text (UTF-8, millimetres, every dimension with its block);
// empty only when the text could not be made (memory).
std::string writeDxf(const VRxDbDatabase& db);
// Writes to a temporary file beside path and renames it over path, so a failed
// save never leaves a half-written drawing.
Vrx::ErrorStatus writeDxfFile(const VRxDbDatabase& db, const std::wstring& path, std::wstring& error);

// A block name DXF can hold: names with characters DXF forbids in symbol names
// (such as a file path's separators and colon) are mapped to a valid name that
// stays unique and recognisable.
std::wstring dxfSafeName(const std::wstring& name);

// Why the last VRxDbDatabase::saveAs of this process failed (empty after a success).
const std::wstring& lastSaveError();
void setLastSaveError(const std::wstring& message);

}  // namespace VRxDxf
