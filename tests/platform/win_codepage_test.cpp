// Code page conversions: Chinese text through UTF-8 and through GBK as the
// system code page, the length-query mode, and the failures Windows reports
// with 0 (invalid UTF-8, characters GBK cannot hold, bad arguments).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "winapi.h"
#include "winhost.h"

namespace {

std::string toMb(UINT cp, const std::wstring& w, DWORD flags = 0) {
    int n = WideCharToMultiByte(cp, flags, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0) return "<fail>";
    std::string out(static_cast<size_t>(n), '\0');
    EXPECT_EQ(n, WideCharToMultiByte(cp, flags, w.c_str(), static_cast<int>(w.size()), &out[0], n, nullptr, nullptr));
    return out;
}

std::wstring toWide(UINT cp, const std::string& s, DWORD flags = 0) {
    int n = MultiByteToWideChar(cp, flags, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) return L"<fail>";
    std::wstring out(static_cast<size_t>(n), L'\0');
    EXPECT_EQ(n, MultiByteToWideChar(cp, flags, s.data(), static_cast<int>(s.size()), &out[0], n));
    return out;
}

// Puts the system code page back whatever a test set.
struct AcpGuard {
    ~AcpGuard() { winSetAnsiCodePage(0); }
};

// Keeps the variables a test changes and puts them back.
struct Env {
    std::vector<std::pair<std::string, std::string>> saved;
    std::vector<std::string> unset;
    void set(const char* name, const char* value) {
        if (const char* old = std::getenv(name)) saved.emplace_back(name, old);
        else unset.push_back(name);
        if (value != nullptr) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~Env() {
        for (auto& s : saved) setenv(s.first.c_str(), s.second.c_str(), 1);
        for (auto& u : unset) unsetenv(u.c_str());
    }
};

const std::wstring kPlate = L"岱川标准模架 A板-300";
const std::string kPlateUtf8 = "\xE5\xB2\xB1\xE5\xB7\x9D\xE6\xA0\x87\xE5\x87\x86\xE6\xA8\xA1\xE6\x9E\xB6 A\xE6\x9D\xBF-300";

}  // namespace

TEST(WinCodePage, ChineseRoundTripsThroughUtf8) {
    EXPECT_EQ(kPlateUtf8, toMb(CP_UTF8, kPlate));
    EXPECT_EQ(kPlate, toWide(CP_UTF8, kPlateUtf8, MB_ERR_INVALID_CHARS));
    // Characters outside the Basic Multilingual Plane survive as well.
    std::wstring astral = L"\U0001F600x";
    EXPECT_EQ(astral, toWide(CP_UTF8, toMb(CP_UTF8, astral)));
}

TEST(WinCodePage, GbkAsSystemCodePage) {
    AcpGuard guard;
    ASSERT_TRUE(winSetAnsiCodePage(936));
    EXPECT_EQ(936u, GetACP());
    // 中 is D6 D0 and 文 is CE C4 in GBK.
    EXPECT_EQ("\xD6\xD0\xCE\xC4", toMb(CP_ACP, L"中文"));
    EXPECT_EQ(L"中文", toWide(CP_ACP, "\xD6\xD0\xCE\xC4"));
    std::string gbk = toMb(CP_ACP, kPlate);
    EXPECT_EQ(kPlate, toWide(CP_ACP, gbk));
    EXPECT_EQ(kPlate, toWide(936, gbk));

    ASSERT_TRUE(winSetAnsiCodePage(CP_UTF8));
    EXPECT_EQ(kPlateUtf8, toMb(CP_ACP, kPlate));
    EXPECT_FALSE(winSetAnsiCodePage(12345)) << "an unknown code page must be refused";
    EXPECT_EQ(65001u, GetACP()) << "a refused code page must change nothing";
}

TEST(WinCodePage, LengthQueryCountsTheTerminatorOnlyWhenAskedFor) {
    EXPECT_EQ(2, MultiByteToWideChar(CP_UTF8, 0, "\xE4\xB8\xAD\xE6\x96\x87", 6, nullptr, 0));
    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "\xE4\xB8\xAD\xE6\x96\x87", -1, nullptr, 0));
    EXPECT_EQ(7, WideCharToMultiByte(CP_UTF8, 0, L"中文", -1, nullptr, 0, nullptr, nullptr));
    wchar_t buf[8];
    EXPECT_EQ(3, MultiByteToWideChar(CP_UTF8, 0, "\xE4\xB8\xAD\xE6\x96\x87", -1, buf, 8));
    EXPECT_STREQ(L"中文", buf);
}

TEST(WinCodePage, FailuresReturnZeroWithTheReason) {
    AcpGuard guard;
    // A lone continuation byte and a truncated sequence are invalid UTF-8.
    const char bad[] = "ab\x80" "cd\xE4\xB8";
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, -1, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    // Overlong encodings and encoded surrogates are invalid too.
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xC0\xAF", 2, nullptr, 0));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "\xED\xA0\x80", 3, nullptr, 0));
    // Without the flag each bad byte becomes U+FFFD and the rest is kept.
    EXPECT_EQ(std::wstring(L"ab\xFFFD" L"cd\xFFFD\xFFFD"), toWide(CP_UTF8, std::string(bad, sizeof bad - 1)));

    // A character GBK cannot hold fails rather than turning into '?'.
    ASSERT_TRUE(winSetAnsiCodePage(936));
    EXPECT_EQ(0, WideCharToMultiByte(CP_ACP, 0, L"A\u00C5B", -1, nullptr, 0, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    // Asking for substitution gets the Windows default character and the flag.
    char out[8] = {};
    BOOL used = FALSE;
    EXPECT_EQ(4, WideCharToMultiByte(CP_ACP, 0, L"A\u00C5B", -1, out, 8, nullptr, &used));
    EXPECT_STREQ("A?B", out);
    EXPECT_TRUE(used);

    // Too small a buffer, bad arguments, an unknown code page.
    wchar_t small[2];
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 3, small, 2));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, nullptr, 3, nullptr, 0));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 0, nullptr, 0));
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 3, nullptr, 5));
    EXPECT_EQ(0, MultiByteToWideChar(4242, 0, "abc", 3, nullptr, 0));
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, L"abc", -1, nullptr, 0, "?", nullptr))
        << "UTF-8 takes no default character";
    // A wide value that is no character fails with WC_ERR_INVALID_CHARS.
    const wchar_t notAChar[] = {L'a', static_cast<wchar_t>(0xD800), 0};
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, notAChar, -1, nullptr, 0, nullptr, nullptr));
}

TEST(WinCodePage, OtherEightBitCodePages) {
    EXPECT_EQ("caf\xE9", toMb(1252, L"café"));
    EXPECT_EQ(L"café", toWide(28591, "caf\xE9"));
    EXPECT_EQ("<fail>", toMb(20127, L"café"));
    EXPECT_EQ(L"abc", toWide(20127, "abc"));
}

TEST(WinCodePage, SystemCodePageFromTheEnvironment) {
    AcpGuard guard;
    Env env;
    winSetAnsiCodePage(0);
    env.set("LC_ALL", nullptr);
    env.set("LC_CTYPE", nullptr);
    env.set("LANG", "zh_CN.GB18030");
    env.set("ZDT_ACP", nullptr);
    EXPECT_EQ(936u, GetACP());
    env.set("LC_ALL", "en_US.UTF-8@euro");
    EXPECT_EQ(65001u, GetACP());
    env.set("LC_ALL", "C");
    EXPECT_EQ(65001u, GetACP()) << "the C locale means UTF-8 on this platform";
    env.set("ZDT_ACP", "936");
    EXPECT_EQ(936u, GetACP());
    env.set("ZDT_ACP", "936x");
    EXPECT_EQ(65001u, GetACP()) << "a malformed ZDT_ACP is ignored";
    ASSERT_TRUE(winSetAnsiCodePage(1252));
    EXPECT_EQ(1252u, GetACP()) << "the program's own choice wins over the environment";
}

TEST(WinConsole, EightBitOutputReachesTheTerminalInItsEncoding) {
    Env env;
    const std::string gbk = toMb(936, L"数据库打开失败: x\n");
    auto written = [&gbk] {
        testing::internal::CaptureStderr();
        DWORD n = 0;
        EXPECT_TRUE(WriteFile(GetStdHandle(STD_ERROR_HANDLE), gbk.data(), static_cast<DWORD>(gbk.size()), &n, nullptr));
        EXPECT_EQ(gbk.size(), n);
        return testing::internal::GetCapturedStderr();
    };
    ASSERT_EQ(936u, GetConsoleOutputCP());
    env.set("LC_ALL", "C.UTF-8");
    EXPECT_EQ(winToUtf8(L"数据库打开失败: x\n"), written());
    env.set("LC_ALL", "zh_CN.GBK");
    EXPECT_EQ(gbk, written()) << "a GBK terminal takes the bytes as they are";

    EXPECT_FALSE(SetConsoleOutputCP(12345));
    EXPECT_EQ(936u, GetConsoleOutputCP());
    DWORD n = 7;
    EXPECT_FALSE(WriteFile(GetStdHandle(0), "x", 1, &n, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(0u, n);
}
