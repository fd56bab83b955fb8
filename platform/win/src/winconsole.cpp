// The standard streams as a console shows a program's 8-bit output: the bytes
// are read in the console output code page and written in the terminal's own
// encoding, so the module's GBK messages read as Chinese on a UTF-8 terminal
// and the module writes the same bytes it writes on Windows.
#include <cstdint>
#include <cstdio>
#include <string>

#include "winapi.h"
#include "winhost.h"

namespace {

// The Chinese console the module's 8-bit messages are written for.
UINT g_consoleOutputCp = 936;

FILE* streamOf(HANDLE handle) {
    if (handle == reinterpret_cast<HANDLE>(static_cast<uintptr_t>(STD_OUTPUT_HANDLE))) return stdout;
    if (handle == reinterpret_cast<HANDLE>(static_cast<uintptr_t>(STD_ERROR_HANDLE))) return stderr;
    return nullptr;
}

// 8-bit text of one code page in another; bytes or characters that do not
// convert become U+FFFD or '?' rather than being lost silently.
std::string recoded(const char* bytes, int size, UINT from, UINT to) {
    if (from == to || size <= 0) return std::string(bytes, static_cast<size_t>(size > 0 ? size : 0));
    const int wide = MultiByteToWideChar(from, 0, bytes, size, nullptr, 0);
    if (wide <= 0) return std::string(bytes, static_cast<size_t>(size));
    std::wstring text(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(from, 0, bytes, size, text.data(), wide);
    if (to == CP_UTF8) return winToUtf8(text);
    const int narrow = WideCharToMultiByte(to, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (narrow <= 0) return winToUtf8(text);
    std::string out(static_cast<size_t>(narrow), '\0');
    WideCharToMultiByte(to, 0, text.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}

}  // namespace

extern "C" HANDLE GetStdHandle(DWORD stdHandle) {
    if (stdHandle != STD_OUTPUT_HANDLE && stdHandle != STD_ERROR_HANDLE) return INVALID_HANDLE_VALUE;
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(stdHandle));
}

extern "C" BOOL WriteFile(HANDLE file, const void* buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                          void* overlapped) {
    (void)overlapped;
    if (bytesWritten != nullptr) *bytesWritten = 0;
    FILE* stream = streamOf(file);
    if (stream == nullptr || (buffer == nullptr && bytesToWrite != 0)) {
        SetLastError(stream == nullptr ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string shown = recoded(static_cast<const char*>(buffer), static_cast<int>(bytesToWrite),
                                      g_consoleOutputCp, winLocaleCodePage());
    std::fwrite(shown.data(), 1, shown.size(), stream);
    std::fflush(stream);
    if (bytesWritten != nullptr) *bytesWritten = bytesToWrite;
    return TRUE;
}

extern "C" UINT GetConsoleOutputCP(void) { return g_consoleOutputCp; }

extern "C" BOOL SetConsoleOutputCP(UINT codePage) {
    if (codePage == CP_ACP || !IsValidCodePage(codePage)) return FALSE;
    g_consoleOutputCp = codePage;
    return TRUE;
}
