// Wide formatting with the Windows meaning of %s and %c, the bounded forms'
// handling of output that does not fit, and formats that must be refused.
#include <gtest/gtest.h>

#include <string>

#include "winapi.h"
#include "winhost.h"

TEST(WinFormat, PercentSIsWideInWideFormats) {
    wchar_t buf[64];
    ASSERT_EQ(14, swprintf_s(buf, L"%s-%s-%d-%s", L"大水口", L"CI", 2525, L"A板"));
    EXPECT_STREQ(L"大水口-CI-2525-A板", buf);
    ASSERT_GT(swprintf_s(buf, 64, L"无法找到文件%s", L"/模具/BlockRes/锁.dwg"), 0);
    EXPECT_STREQ(L"无法找到文件/模具/BlockRes/锁.dwg", buf);
    swprintf_s(buf, L"[%c%c]", L'框', L'x');
    EXPECT_STREQ(L"[框x]", buf);
    // Narrow forms take UTF-8 text; %ls stays wide.
    swprintf_s(buf, L"%S|%hs|%ls|%C", "\xE9\x94\x81", "ab", L"锁", 'z');
    EXPECT_STREQ(L"锁|ab|锁|z", buf);
    swprintf_s(buf, L"%0.2f|%5s|%-4s|%.1s|%%|%I64d|%x", 12.345, L"ab", L"cd", L"锁框", 1LL << 40, 255u);
    EXPECT_STREQ(L"12.35|   ab|cd  |锁|%|1099511627776|ff", buf);
    swprintf_s(buf, L"%*d|%-*s|%s", 4, 7, 3, L"a", static_cast<const wchar_t*>(nullptr));
    EXPECT_STREQ(L"   7|a  |(null)", buf);
}

TEST(WinFormat, OutputThatDoesNotFitOrBadFormats) {
    wchar_t buf[8] = L"keep";
    EXPECT_EQ(-1, swprintf_s(buf, 8, L"%s", L"岱川标准模架大水口"));
    EXPECT_STREQ(L"", buf) << "swprintf_s leaves an empty string when the output does not fit";
    EXPECT_EQ(7, swprintf_s(buf, 8, L"%s", L"岱川标准模架大"));

    wchar_t cut[5];
    EXPECT_EQ(-1, _snwprintf(cut, 5, L"%d", 1234567));
    EXPECT_STREQ(L"1234", cut);
    EXPECT_EQ(3, _snwprintf(cut, 5, L"%s", L"abc"));

    int n = 0;
    EXPECT_EQ(-1, swprintf_s(buf, 8, L"%n", &n)) << "%n writes through a pointer and is refused";
    EXPECT_EQ(-1, swprintf_s(buf, 8, L"abc%"));
    EXPECT_EQ(-1, swprintf_s(buf, 8, L"%q", 1));
    EXPECT_EQ(-1, swprintf_s(buf, 8, nullptr));
    EXPECT_EQ(-1, swprintf_s(nullptr, 8, L"x"));
    std::wstring out;
    EXPECT_FALSE(winFormat(out, L"%999999999d", 1)) << "an absurd width is a bad format, not a huge allocation";
}

TEST(WinFormat, UnboundedFormatGrows) {
    std::wstring longText(5000, L'模');
    std::wstring out;
    ASSERT_TRUE(winFormat(out, L"<%s>%.3f", longText.c_str(), 1e300));
    EXPECT_EQ(L'<', out.front());
    EXPECT_EQ(longText, out.substr(1, longText.size()));
    EXPECT_EQ(L".000", out.substr(out.size() - 4));
}
