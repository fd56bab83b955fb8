// Module instances and what hangs off them: the module's own file name (also
// from a directory with a Chinese name), bitmap resources, the current resource
// source; message boxes through the host's backend; the file finder.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "afxstub.h"
#include "winapi.h"
#include "winhost.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory under the system's temporary directory, removed again.
struct TempDir {
    fs::path path;
    explicit TempDir(const std::string& leaf) {
        path = fs::temp_directory_path() / ("zdt_win_" + std::to_string(getpid())) / fs::u8path(leaf);
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path.parent_path(), ec);
    }
    std::wstring wide() const { return winFromUtf8(path.u8string()); }
};

void touch(const fs::path& p) { std::ofstream(p) << "x"; }

std::wstring fileNameOf(HINSTANCE h) {
    wchar_t buf[1024];
    DWORD n = GetModuleFileNameW(h, buf, 1024);
    return std::wstring(buf, n);
}

// A 2x2 24-bit bitmap file, bottom-up: red, green on the top row.
std::vector<unsigned char> tinyBitmap() {
    static const unsigned char file[70] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                      // file header
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0,
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,                      // info header
        // bottom row: blue, white; top row: red, green (B, G, R order, rows padded to 8)
        255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0};
    return std::vector<unsigned char>(file, file + sizeof file);
}

}  // namespace

TEST(WinModule, ProgramAndLibraryFileNames) {
    std::wstring program = fileNameOf(nullptr);
    ASSERT_FALSE(program.empty());
    EXPECT_EQ(L"platform_tests", program.substr(program.rfind(L'/') + 1));
    HINSTANCE lib = winModuleInstanceFromAddress(reinterpret_cast<const void*>(&MultiByteToWideChar));
    ASSERT_NE(nullptr, lib);
    EXPECT_EQ(lib, winModuleInstanceFromAddress(reinterpret_cast<const void*>(&GetModuleFileNameW)));
    std::wstring libName = fileNameOf(lib);
    EXPECT_EQ(L"libvrxhost.so", libName.substr(libName.rfind(L'/') + 1));
    EXPECT_EQ(AfxGetInstanceHandle(), winModuleInstanceFromAddress(reinterpret_cast<const void*>(&tinyBitmap)));

    // A name that does not fit is cut, terminated and reported.
    wchar_t small[5];
    EXPECT_EQ(5u, GetModuleFileNameW(lib, small, 5));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(4u, std::wcslen(small));
    // Handles the platform never gave out are refused, not followed.
    int notAModule = 0;
    EXPECT_EQ(0u, GetModuleFileNameW(reinterpret_cast<HINSTANCE>(&notAModule), small, 5));
    EXPECT_EQ(nullptr, winModuleInstanceFromAddress(nullptr));
}

TEST(WinModule, LibraryLoadedFromAChineseDirectory) {
    // The real loader and a real copy of the module library in a folder named in
    // Chinese. (Copying the host library itself would load its exported globals
    // twice.)
    fs::path built = fs::path(ZDT_BIN_DIR) / "libzdtmould.so";
    if (!fs::exists(built)) GTEST_SKIP() << "libzdtmould.so is not built";
    TempDir dir("模具 库");
    fs::path copy = dir.path / "libzdtmould.so";
    fs::copy_file(built, copy);
    void* handle = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, handle) << dlerror();
    void* entry = dlsym(handle, "vrxrxEntryPoint");
    ASSERT_NE(nullptr, entry);
    HINSTANCE copied = winModuleInstanceFromAddress(entry);
    ASSERT_NE(nullptr, copied);
    EXPECT_EQ(dir.wide() + L"/libzdtmould.so", fileNameOf(copied));
    dlclose(handle);
}

// A library loaded at run time is the instance its own code finds, its
// functions are found by name, and a name that is not there is an error.
TEST(WinModule, LibrariesLoadedAtRunTime) {
    HMODULE math = LoadLibraryW(L"libm.so.6");
    ASSERT_NE(nullptr, math);
    auto cosine = reinterpret_cast<double (*)(double)>(reinterpret_cast<void (*)()>(GetProcAddress(math, "cos")));
    ASSERT_NE(nullptr, cosine);
    EXPECT_DOUBLE_EQ(1.0, cosine(0.0));
    EXPECT_EQ(math, winModuleInstanceFromAddress(reinterpret_cast<const void*>(cosine)));
    EXPECT_EQ(nullptr, GetProcAddress(math, "no_such_function"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    EXPECT_TRUE(FreeLibrary(math));
    EXPECT_FALSE(FreeLibrary(math)) << "one FreeLibrary per load";

    EXPECT_EQ(nullptr, LoadLibraryW(L"libno-such-library.so"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

TEST(WinModule, OverriddenFileNameAndResources) {
    HINSTANCE program = AfxGetInstanceHandle();
    std::wstring real = fileNameOf(program);
    ASSERT_TRUE(winOverrideModuleFileName(program, L"/opt/模具/zdtcad"));
    EXPECT_EQ(L"/opt/模具/zdtcad", fileNameOf(program));
    EXPECT_EQ(L"zdtcad", winAppTitle());
    winOverrideModuleFileName(program, L"");
    EXPECT_EQ(real, fileNameOf(program));
    EXPECT_FALSE(winOverrideModuleFileName(nullptr, L"/x"));

    std::vector<unsigned char> bytes = tinyBitmap();
    ASSERT_TRUE(winRegisterBitmapResource(program, 4001, bytes.data(), bytes.size()));
    HBITMAP bmp = LoadBitmapW(program, MAKEINTRESOURCE(4001));
    ASSERT_NE(nullptr, bmp);
    EXPECT_EQ(2, bmp->width);
    EXPECT_EQ(2, bmp->height);
    // Top-left pixel is red, bottom-right white, in R, G, B, A order.
    EXPECT_EQ((std::vector<unsigned char>{255, 0, 0, 255}), std::vector<unsigned char>(bmp->rgba.begin(), bmp->rgba.begin() + 4));
    EXPECT_EQ((std::vector<unsigned char>{255, 255, 255, 255}), std::vector<unsigned char>(bmp->rgba.end() - 4, bmp->rgba.end()));
    EXPECT_EQ(bmp, LoadBitmapW(program, MAKEINTRESOURCE(4001))) << "a resource decodes once";
    EXPECT_EQ(4001u, bmp->resourceId);

    EXPECT_EQ(nullptr, LoadBitmapW(program, MAKEINTRESOURCE(4002)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    // Damaged bitmaps: cut short, a header that claims more than there is, not a bitmap at all.
    std::vector<unsigned char> cut(bytes.begin(), bytes.end() - 3);
    winRegisterBitmapResource(program, 4003, cut.data(), cut.size());
    EXPECT_EQ(nullptr, LoadBitmapW(program, MAKEINTRESOURCE(4003)));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_DATA), GetLastError());
    std::vector<unsigned char> huge = bytes;
    huge[18] = 0xFF;
    huge[19] = 0x7F;
    winRegisterBitmapResource(program, 4004, huge.data(), huge.size());
    EXPECT_EQ(nullptr, LoadBitmapW(program, MAKEINTRESOURCE(4004)));
    const unsigned char text[] = "not a bitmap";
    winRegisterBitmapResource(program, 4005, text, sizeof text);
    EXPECT_EQ(nullptr, LoadBitmapW(program, MAKEINTRESOURCE(4005)));
    EXPECT_EQ(nullptr, LoadBitmapW(nullptr, MAKEINTRESOURCE(4001)));
    EXPECT_FALSE(winRegisterBitmapResource(program, 4006, nullptr, 10));
}

TEST(WinModule, ResourceHandleStartsAtTheProgram) {
    HINSTANCE program = AfxGetInstanceHandle();
    EXPECT_EQ(program, AfxGetResourceHandle());
    HINSTANCE lib = winModuleInstanceFromAddress(reinterpret_cast<const void*>(&MultiByteToWideChar));
    AfxSetResourceHandle(lib);
    EXPECT_EQ(lib, AfxGetResourceHandle());
    AfxSetResourceHandle(program);
}

TEST(WinMessageBox, BackendReceivesCaptionTextAndType) {
    struct Seen {
        std::wstring caption, text;
        UINT type = 0;
    } seen;
    WinMessageBoxBackend previous = winSetMessageBoxBackend([&](const std::wstring& c, const std::wstring& t, UINT type) {
        seen = {c, t, type};
        return IDCANCEL;
    });
    winSetAppTitle(L"zdtcad");
    EXPECT_EQ(IDCANCEL, AfxMessageBox(L"数据库打开失败", MB_OKCANCEL));
    EXPECT_EQ(L"zdtcad", seen.caption);
    EXPECT_EQ(L"数据库打开失败", seen.text);
    EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), seen.type);
    EXPECT_EQ(IDCANCEL, MessageBoxW(nullptr, nullptr, L"提示", MB_OK));
    EXPECT_EQ(L"提示", seen.caption);
    EXPECT_EQ(L"", seen.text);

    // A backend that throws answers "cancel" (or "no") and the caller goes on.
    winSetMessageBoxBackend([](const std::wstring&, const std::wstring&, UINT) -> int { throw 1; });
    EXPECT_EQ(IDCANCEL, AfxMessageBox(L"x", MB_OKCANCEL));
    EXPECT_EQ(IDNO, AfxMessageBox(L"x", MB_YESNO));
    winSetMessageBoxBackend(previous);
    winSetAppTitle(L"");
}

TEST(WinMessageBox, DefaultBackendPrintsAndAnswersTheDefaultButton) {
    EXPECT_EQ(IDOK, winDefaultMessageBoxAnswer(MB_OK));
    EXPECT_EQ(IDOK, winDefaultMessageBoxAnswer(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_EQ(IDCANCEL, winDefaultMessageBoxAnswer(MB_OKCANCEL | MB_DEFBUTTON2));
    EXPECT_EQ(IDYES, winDefaultMessageBoxAnswer(MB_YESNO));
    EXPECT_EQ(IDNO, winDefaultMessageBoxAnswer(MB_YESNO | MB_DEFBUTTON2));
    EXPECT_EQ(IDCANCEL, winDefaultMessageBoxAnswer(MB_YESNOCANCEL | MB_DEFBUTTON3));
    testing::internal::CaptureStdout();
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, L"数据库打开失败: 无法打开", L"提示", MB_OKCANCEL));
    EXPECT_EQ("提示: 数据库打开失败: 无法打开\n", testing::internal::GetCapturedStdout());
}

TEST(WinFileFind, ExactNamesAndWildcards) {
    TempDir dir("BlockRes 块");
    touch(dir.path / "基准角.dwg");
    touch(dir.path / "12M8.dwg");
    touch(dir.path / "16M8.dwg");
    touch(dir.path / "锁-T.dwg");
    fs::create_directory(dir.path / "sub");
    std::wstring base = dir.wide() + L"/";

    CFileFind finder;
    EXPECT_TRUE(finder.FindFile((base + L"基准角.dwg").c_str()));
    EXPECT_FALSE(finder.FindNextFile()) << "one match: the first is also the last";
    EXPECT_EQ(base + L"基准角.dwg", finder.GetFilePath());
    EXPECT_EQ(L"基准角.dwg", finder.GetFileName());
    EXPECT_FALSE(finder.FindFile((base + L"基准角.DWG").c_str())) << "names match exactly on this platform";
    EXPECT_FALSE(finder.FindFile((base + L"缺少.dwg").c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_FALSE(finder.FindFile(L""));
    EXPECT_FALSE(finder.FindFile((base + L"nodir/*.dwg").c_str()));

    ASSERT_TRUE(finder.FindFile((base + L"1?M8.dwg").c_str()));
    std::vector<std::wstring> names;
    BOOL more = TRUE;
    while (more) {
        more = finder.FindNextFile();
        names.push_back(finder.GetFileName());
    }
    EXPECT_EQ((std::vector<std::wstring>{L"12M8.dwg", L"16M8.dwg"}), names);
    EXPECT_FALSE(finder.FindNextFile()) << "stepping past the end stays false";

    ASSERT_TRUE(finder.FindFile((base + L"*").c_str()));
    int count = 0, dirs = 0;
    for (more = TRUE; more;) {
        more = finder.FindNextFile();
        ++count;
        if (finder.IsDirectory()) ++dirs;
        EXPECT_NE(L".", finder.GetFileName());
        EXPECT_NE(L"..", finder.GetFileName());
    }
    EXPECT_EQ(5, count);
    EXPECT_EQ(1, dirs);
    EXPECT_TRUE(finder.FindFile((base + L"锁-*.dwg").c_str()));
    finder.Close();
    EXPECT_EQ(L"", finder.GetFilePath());
}
