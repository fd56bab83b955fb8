// Where a drawing database's files are read from and written to. The database
// knows no file format: the drawing file library (DXF) registers its reader and
// writer here when it is loaded, and readDwgFile, readVdgFile and saveAs go
// through them.
#pragma once

#include <string>

#include "vrxdbcore.h"

struct VRxDbDrawingFileFormat {
    // Reads the file into db (which has no open objects); error says why it failed.
    Vrx::ErrorStatus (*read)(VRxDbDatabase& db, const std::wstring& path, std::wstring& error) = nullptr;
    // Writes db to the file, which is replaced whole or not at all.
    Vrx::ErrorStatus (*write)(const VRxDbDatabase& db, const std::wstring& path, std::wstring& error) = nullptr;
};

// Installs the format every database reads and saves with; returns the previous one.
VRxDbDrawingFileFormat vrxdbSetDrawingFileFormat(const VRxDbDrawingFileFormat& format);
