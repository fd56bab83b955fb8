// Standard parts come into the drawing as blocks read from drawing files. The
// file path is the block's name, so a file is read once per drawing and every
// later insertion only adds a reference to the definition already there.
#pragma once

#include "vrxdb.h"

// The block read from a drawing file, named by the path; a file is read only
// when the drawing has no block of that name yet. Null when the file can be
// read neither as a .vdg nor as a .dwg drawing.
VRxDbObjectId defineBlockFromFile(const wchar_t* path);
// The box a defined block's content covers around its base point; false when
// there is no block of that name or it holds nothing.
bool getBlockExtents(const wchar_t* name, VRxDbExtents& extents);
// Rotation in degrees. Null when the file can be read neither as a .vdg nor as a .dwg drawing.
VRxDbObjectId insertBlockFromFile(const wchar_t* path, const VRxGePoint3d& position, double scale, double angle);
// A standard part: inserted from its drawing file when the file exists;
// otherwise the file is named on a command-line line of its own
// ("无法找到文件%s"), nothing is inserted and the null id returned.
VRxDbObjectId insertStandardPart(const std::wstring& path, const VRxGePoint3d& position, double scale, double angle);
// A reference to a block already defined in the working database; null when there is none of that name.
VRxDbObjectId insertBlockReference(const wchar_t* name, const VRxGePoint3d& position, double scale, double angle);
