// The hooks through which the host program connects the Windows services to its
// own user interface: where message boxes go, the application's title, the
// console text is written to, and module file names the host wants to present
// differently (a module copied into a folder of another name, in tests).
#pragma once

#include <cstdarg>
#include <cstdio>
#include <functional>
#include <string>

#include "winapi.h"

// Shows one message box and returns the chosen button (IDOK, IDYES, ...).
using WinMessageBoxBackend = std::function<int(const std::wstring& caption, const std::wstring& text, UINT type)>;

// Installs a backend and returns the previous one; an empty function restores
// the default backend, which prints "caption: text" on standard output and
// answers with the box's default button (MB_DEFBUTTONn; the first one otherwise:
// IDOK, IDYES, IDABORT or IDRETRY).
WinMessageBoxBackend winSetMessageBoxBackend(WinMessageBoxBackend backend);
// The default backend's answer for a box type, without showing anything.
int winDefaultMessageBoxAnswer(UINT type);
// Whether button is one of the box type's own (the icon and default bits aside).
bool winMessageBoxOffers(UINT type, int button);
// Routes one message box to the current backend. A backend that throws counts as
// IDCANCEL (IDNO for a yes/no box): the exception never reaches the caller.
int winShowMessageBox(const std::wstring& caption, const std::wstring& text, UINT type);

// The caption of AfxMessageBox: the program's file name without directory and
// extension unless the host sets another.
void winSetAppTitle(const std::wstring& title);
std::wstring winAppTitle();

// The code page of the terminal the process writes to: the codeset the locale
// variables name (LC_ALL, LC_CTYPE, LANG, the first one set), UTF-8 when they
// name none this platform converts.
UINT winLocaleCodePage();

// Wide text written as UTF-8 bytes, whatever the locale (the platform never
// switches a stream to wide orientation).
void winWriteUtf8(FILE* stream, const std::wstring& text);
// Wide to UTF-8; values that are no character (surrogates, beyond Unicode) become U+FFFD.
std::string winToUtf8(const std::wstring& text);
// UTF-8 to wide; each invalid byte becomes U+FFFD, and ok (when given) tells
// whether the whole text was well formed.
std::wstring winFromUtf8(const std::string& text, bool* ok = nullptr);
bool winIsValidUtf8(const std::string& text);

// Formats with the wide Windows meaning of the conversions (see winapi.h) into
// out, without a length limit. False for a null or bad format (%n, an unknown
// conversion); out is then empty.
bool winVFormat(std::wstring& out, const wchar_t* format, va_list args);
bool winFormat(std::wstring& out, const wchar_t* format, ...);

// Makes GetModuleFileNameW report fileName for instance from now on (an empty
// name removes the override). FALSE for a null instance.
BOOL winOverrideModuleFileName(HINSTANCE instance, const std::wstring& fileName);
