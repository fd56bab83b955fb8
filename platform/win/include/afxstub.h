// The application framework services the module uses beside raw Windows calls:
// message boxes with the application's caption, the current resource source,
// module instances with their resources (bitmaps) and a file finder.
// An HINSTANCE names one loaded object (program or shared library); the
// platform keeps one record per object for the life of the process.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "winapi.h"

#define RT_BITMAP 2u
#define RT_DIALOG 5u

// A bitmap decoded from a resource: top-down rows of width*4 bytes, each pixel
// in the order R, G, B, A. Owned by the module record it came from.
struct WinBitmap {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
    HINSTANCE module = nullptr;
    UINT resourceId = 0;
};

// A message box owned by the application: the caption is the application title
// (winhost.h). Returns the chosen button.
int AfxMessageBox(const wchar_t* text, UINT type = MB_OK, UINT helpId = 0);

// The instance resources are loaded from. Starts as the program's instance.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE instance);
// The program's instance.
HINSTANCE AfxGetInstanceHandle();

// Loads a bitmap resource (MAKEINTRESOURCE(id)) of an instance. Null with
// ERROR_RESOURCE_NAME_NOT_FOUND when the instance has no such bitmap, or
// ERROR_INVALID_DATA when its bytes are not a bitmap this platform decodes
// (uncompressed 24- or 32-bit, or 8-bit with a palette). The same resource
// yields the same HBITMAP each time; it lives as long as its instance.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);
#define LoadBitmap LoadBitmapW
// Bitmaps from resources belong to their instance; deleting them is a no-op.
BOOL DeleteObject(void* object);

// The instance of the loaded object whose code or data contains address;
// null when no loaded object contains it.
extern "C" HINSTANCE winModuleInstanceFromAddress(const void* address);
// Adds a resource to an instance, copying the bytes. A resource of the same type
// and id is replaced (and its decoded bitmap with it). FALSE for a null instance
// or null bytes.
BOOL winRegisterResource(HINSTANCE instance, UINT type, UINT id, const unsigned char* bytes, size_t size);
BOOL winRegisterBitmapResource(HINSTANCE instance, UINT id, const unsigned char* bmpBytes, size_t size);
// The bytes of a resource, null when the instance has none of that type and id.
const std::vector<unsigned char>* winFindResource(HINSTANCE instance, UINT type, UINT id);
// Every instance the platform has a record of, and the ids of one type in one.
std::vector<HINSTANCE> winModuleInstances();
std::vector<UINT> winResourceIds(HINSTANCE instance, UINT type);
// Every bitmap decoded so far (for the host to list and render).
std::vector<HBITMAP> winLoadedBitmaps();

// Finds files by name. The last component of the path may hold the wildcards *
// and ?; names are matched exactly otherwise. "." and ".." are never matched by
// wildcards.
class CFileFind {
public:
    CFileFind();
    ~CFileFind();
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // True when at least one file or directory matches; null means "*" in the
    // current directory. The first match becomes current after FindNextFile.
    BOOL FindFile(LPCTSTR name = nullptr, DWORD flags = 0);
    // Moves to the next match; FALSE when this was the last one (the current
    // match then stays readable, as on Windows).
    BOOL FindNextFile();
    std::wstring GetFilePath() const;
    std::wstring GetFileName() const;
    BOOL IsDirectory() const;
    void Close();

private:
    std::vector<std::wstring> m_matches;  // full paths
    std::vector<bool> m_isDir;
    size_t m_next = 0;
    bool m_hasCurrent = false;
};
