// The Windows types and services the module calls, with their Windows names,
// signatures and meanings: code page conversions, the last-error value, a
// module's own file name, libraries loaded at run time, wide-string formatting
// and message boxes.
// wchar_t is 32 bits on this platform; wide text is handled as UTF-32 inside
// and counted in UTF-16 code units only where a caller could tell the difference
// (all text of this system lies in the Basic Multilingual Plane).
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cwchar>

typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int32_t LONG;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef wchar_t TCHAR;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const char* LPCCH;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef const wchar_t* LPCWCH;
typedef const wchar_t* LPCTSTR;
typedef wchar_t* LPTSTR;
typedef BOOL* LPBOOL;
typedef void* HANDLE;
typedef DWORD* LPDWORD;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;

// A module instance is the platform's record of one loaded object (program or
// shared library): its file name and its resource table (afxstub.h).
struct WinModule;
typedef WinModule* HINSTANCE;
typedef WinModule* HMODULE;
// An exported function as GetProcAddress finds it; cast to its real type to call it.
typedef INT_PTR (*FARPROC)(void);
// A bitmap decoded from a resource; see WinBitmap in afxstub.h.
struct WinBitmap;
typedef WinBitmap* HBITMAP;
// Windows belong to the UI backend; the module only passes them through.
struct WinWindow;
typedef WinWindow* HWND;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef _T
#define _T(x) L##x
#endif
#ifndef _TRUNCATE
#define _TRUNCATE ((size_t)-1)
#endif

#define MAX_PATH 260

// The path separator of this platform, used wherever the Windows code writes a
// backslash into a path.
constexpr wchar_t kPathSeparator = L'/';

// ---- Code pages -------------------------------------------------------------
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001

#define STD_OUTPUT_HANDLE (static_cast<DWORD>(-11))
#define STD_ERROR_HANDLE (static_cast<DWORD>(-12))
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080

// ---- Last-error values ------------------------------------------------------
#define ERROR_SUCCESS 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_PATH_NOT_FOUND 3
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_INVALID_DATA 13
#define ERROR_NO_MORE_FILES 18
#define ERROR_INVALID_PARAMETER 87
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_MOD_NOT_FOUND 126
#define ERROR_PROC_NOT_FOUND 127
#define ERROR_INVALID_FLAGS 1004
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814
#define ERROR_NO_UNICODE_TRANSLATION 1113

// ---- Message boxes ----------------------------------------------------------
#define MB_OK 0x00000000u
#define MB_OKCANCEL 0x00000001u
#define MB_ABORTRETRYIGNORE 0x00000002u
#define MB_YESNOCANCEL 0x00000003u
#define MB_YESNO 0x00000004u
#define MB_RETRYCANCEL 0x00000005u
#define MB_TYPEMASK 0x0000000Fu
#define MB_ICONHAND 0x00000010u
#define MB_ICONQUESTION 0x00000020u
#define MB_ICONEXCLAMATION 0x00000030u
#define MB_ICONASTERISK 0x00000040u
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_ICONMASK 0x000000F0u
#define MB_DEFBUTTON1 0x00000000u
#define MB_DEFBUTTON2 0x00000100u
#define MB_DEFBUTTON3 0x00000200u
#define MB_DEFMASK 0x00000F00u

#define IDOK 1
#define IDCANCEL 2
#define IDABORT 3
#define IDRETRY 4
#define IDIGNORE 5
#define IDYES 6
#define IDNO 7

extern "C" {

DWORD GetLastError(void);
void SetLastError(DWORD error);

// The system 8-bit code page CP_ACP stands for (see winSetAnsiCodePage).
UINT GetACP(void);
BOOL IsValidCodePage(UINT codePage);

// cbMultiByte/cchWideChar -1: the input runs to its terminating zero, which is
// converted too. An output size of 0 asks for the needed size. Failure returns 0
// with the reason in GetLastError (ERROR_NO_UNICODE_TRANSLATION for invalid input
// with MB_ERR_INVALID_CHARS, ERROR_INSUFFICIENT_BUFFER, ERROR_INVALID_PARAMETER).
// Invalid bytes without MB_ERR_INVALID_CHARS become U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCCH multiByteStr, int cbMultiByte, LPWSTR wideCharStr,
                        int cchWideChar);
// Characters the target code page cannot hold become defaultChar (or '?') and set
// *usedDefaultChar, as on Windows; for CP_UTF8 both must be null. With
// WC_ERR_INVALID_CHARS (UTF-8 only) a character that is not a valid code point fails.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWCH wideCharStr, int cchWideChar, LPSTR multiByteStr,
                        int cbMultiByte, LPCCH defaultChar, LPBOOL usedDefaultChar);

// The full path of the file the module was loaded from; null means the program.
// The result is cut to size-1 characters and zero-terminated when it does not fit
// (then size is returned and the last error is ERROR_INSUFFICIENT_BUFFER).
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

// Loads a library at run time: a bare file name is looked for where the system
// looks for libraries. Null, with ERROR_MOD_NOT_FOUND, when it cannot be loaded.
// Each successful load is undone by one FreeLibrary.
HMODULE LoadLibraryW(LPCWSTR fileName);
// An exported function of a library LoadLibraryW loaded; null, with
// ERROR_PROC_NOT_FOUND, when it has none of that name.
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

// Shows a message box through the UI backend (winhost.h) and returns the button
// the user chose (IDOK, IDCANCEL, IDYES, ...).
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

// ---- Standard streams, as a console shows them --------------------------------
// STD_OUTPUT_HANDLE and STD_ERROR_HANDLE name the program's standard output and
// error streams; any other value gives INVALID_HANDLE_VALUE.
HANDLE GetStdHandle(DWORD stdHandle);
// Writes 8-bit text to a standard stream: the bytes are read in the console
// output code page and reach the terminal in its own encoding
// (winLocaleCodePage), as a console shows a program's output. Whole characters
// only: a multi-byte character must not be split between two writes. FALSE
// with ERROR_INVALID_HANDLE for a handle that is not a standard stream.
BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, LPDWORD bytesWritten, void* overlapped);
// The code page the console reads programs' 8-bit output in. It starts as 936
// (GBK), the console code page of the Chinese Windows systems the module's
// messages are written for. SetConsoleOutputCP refuses (FALSE) a code page
// this platform cannot convert.
UINT GetConsoleOutputCP(void);
BOOL SetConsoleOutputCP(UINT codePage);

// Sets the code page that CP_ACP stands for; 0 goes back to the default (the
// environment's ZDT_ACP, else the codeset of the locale variables, else 65001).
// Returns FALSE, changing nothing, for a code page this platform cannot convert.
BOOL winSetAnsiCodePage(UINT codePage);

}  // extern "C"

// ---- Wide formatting --------------------------------------------------------
// Formats take the Windows meaning in wide functions: %s and %c are a wide
// string and character, %S/%hs/%C/%hc narrow ones, %ls/%lc/%ws/%wc wide ones,
// %I64d a 64-bit integer. Narrow strings are taken as UTF-8.
//
// swprintf_s: an output that does not fit, a null buffer or format, or a bad
// format leave an empty string and return -1. Otherwise the count of characters
// written without the terminating zero.
int vswprintf_s(wchar_t* buffer, size_t sizeInWords, const wchar_t* format, va_list args);
int swprintf_s(wchar_t* buffer, size_t sizeInWords, const wchar_t* format, ...);
template <size_t N>
int swprintf_s(wchar_t (&buffer)[N], const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    int n = vswprintf_s(buffer, N, format, args);
    va_end(args);
    return n;
}
// _snwprintf: writes at most count characters; returns -1 when the output was
// cut. Unlike Windows it always zero-terminates within count when count > 0.
int _vsnwprintf(wchar_t* buffer, size_t count, const wchar_t* format, va_list args);
int _snwprintf(wchar_t* buffer, size_t count, const wchar_t* format, ...);

#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#define IS_INTRESOURCE(r) ((reinterpret_cast<uintptr_t>(r) >> 16) == 0)
