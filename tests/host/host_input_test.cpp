// Unit tests of zdtcad's input handling: arguments, script lines, points, text
// decoding and how command-line output is laid out.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "command_line.h"
#include "options.h"
#include "script_reader.h"
#include "session.h"
#include "text_utf8.h"

using namespace zdtcad;

namespace {

bool parse(std::vector<std::string> args, HostOptions& options, std::string& error) {
    return parseOptions(args, options, error);
}

// Everything a CommandLine writes, captured through a temporary file.
class CapturedOutput {
public:
    CapturedOutput() : m_file(std::tmpfile()) {}
    ~CapturedOutput() { std::fclose(m_file); }
    FILE* file() { return m_file; }
    std::string text() {
        std::fflush(m_file);
        std::rewind(m_file);
        std::string out;
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, m_file)) > 0) out.append(buffer, n);
        return out;
    }

private:
    FILE* m_file;
};

}  // namespace

TEST(HostOptions, ReadsEveryFlagAndTheScript) {
    HostOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--template", "t.dxf", "--save", "out.dxf", "--svg", "p.svg", "--png", "p.png", "--list-ui",
                       "--module", "m.so", "run.zdt"},
                      o, error));
    EXPECT_EQ(o.templatePath, "t.dxf");
    EXPECT_EQ(o.savePath, "out.dxf");
    EXPECT_EQ(o.svgPath, "p.svg");
    EXPECT_EQ(o.pngPath, "p.png");
    EXPECT_TRUE(o.listUi);
    EXPECT_EQ(o.modulePath, "m.so");
    EXPECT_TRUE(o.scriptGiven);
    EXPECT_EQ(o.scriptPath, "run.zdt");

    ASSERT_TRUE(parse({"--no-template", "--no-module", "-"}, o, error));
    EXPECT_TRUE(o.noTemplate);
    EXPECT_TRUE(o.noModule);
    EXPECT_TRUE(o.scriptGiven);
    EXPECT_EQ(o.scriptPath, "");  // standard input

    ASSERT_TRUE(parse({}, o, error));
    EXPECT_FALSE(o.scriptGiven);
}

TEST(HostOptions, RefusesWhatItCannotMeanWithAMessage) {
    HostOptions o;
    const std::vector<std::vector<std::string>> bad = {
        {"--template"},                       // no value
        {"--save", ""},                       // empty value
        {"--template", "a.dxf", "--no-template"},
        {"--no-template", "--no-template"},
        {"--module", "a.so", "--no-module"},
        {"--save", "a.dxf", "--save", "b.dxf"},
        {"--png", "a.png", "--png", "b.png"},
        {"--svg"},
        {"--frobnicate"},
        {"one.zdt", "two.zdt"},
    };
    for (const auto& args : bad) {
        std::string error;
        EXPECT_FALSE(parse(args, o, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
    std::string error;
    parse({"--frobnicate"}, o, error);
    EXPECT_NE(error.find("--frobnicate"), std::string::npos);
}

TEST(ScriptLines, CommentsAndBlanksAreDropped) {
    EXPECT_EQ(stripScriptLine("  ZDTSGS  "), "ZDTSGS");
    EXPECT_EQ(stripScriptLine("# a comment"), "");
    EXPECT_EQ(stripScriptLine("\t100,200\t# the corner\r"), "100,200");
    EXPECT_EQ(stripScriptLine("@type 1001 A#1"), "@type 1001 A#1");  // # inside a word is text
    EXPECT_EQ(stripScriptLine("   "), "");
}

TEST(ScriptLines, FileIsReadWholeWithLineNumbers) {
    const std::string path = testing::TempDir() + "zdtcad_reader_test.zdt";
    {
        std::ofstream f(path, std::ios::binary);
        f << "\xEF\xBB\xBF# header\r\n\r\nZDTSGS\r\n  100,200 # point\nESC";  // BOM, CRLF, no final newline
    }
    ScriptReader reader;
    std::string error;
    ASSERT_TRUE(reader.openFile(path, error)) << error;
    std::string line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "ZDTSGS");
    EXPECT_EQ(reader.lineNumber(), 3);
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "100,200");
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "ESC");
    EXPECT_EQ(reader.lineNumber(), 5);
    EXPECT_FALSE(reader.next(line));
    std::remove(path.c_str());
}

TEST(ScriptLines, BadFilesAreRefusedBeforeAnythingRuns) {
    ScriptReader reader;
    std::string error;
    EXPECT_FALSE(reader.openFile(testing::TempDir() + "no_such_script.zdt", error));
    EXPECT_NE(error.find("no_such_script.zdt"), std::string::npos);
    error.clear();
    EXPECT_FALSE(reader.openFile(testing::TempDir(), error));  // a folder reads as nothing on Linux
    EXPECT_FALSE(error.empty());

    const std::string path = testing::TempDir() + "zdtcad_reader_gbk.zdt";
    {
        std::ofstream f(path, std::ios::binary);
        f << "ZDTSGS\n\xB4\xF3\xCB\xAE\n";  // GBK bytes, not UTF-8
    }
    error.clear();
    EXPECT_FALSE(reader.openFile(path, error));
    EXPECT_NE(error.find("第 2 行"), std::string::npos) << error;
    std::remove(path.c_str());
}

TEST(ScriptLines, StreamSkipsLinesInAWrongEncodingAndGoesOn) {
    std::istringstream in("A\n\xFF\xFE\nB\n");
    ScriptReader reader;
    reader.openStream(in, false);
    std::string line;
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "A");
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "B");
    EXPECT_EQ(reader.lineNumber(), 3);
}

TEST(Points, TwoOrThreeFiniteNumbers) {
    double p[3] = {9, 9, 9};
    ASSERT_TRUE(parsePoint("100,200", p));
    EXPECT_DOUBLE_EQ(p[0], 100);
    EXPECT_DOUBLE_EQ(p[1], 200);
    EXPECT_DOUBLE_EQ(p[2], 0);  // Z defaults to 0, not to what was there
    ASSERT_TRUE(parsePoint(" -1.5 , +2e1 ,0.25", p));
    EXPECT_DOUBLE_EQ(p[0], -1.5);
    EXPECT_DOUBLE_EQ(p[1], 20);
    EXPECT_DOUBLE_EQ(p[2], 0.25);

    for (const char* bad : {"", "100", "100;200", "1,2,3,4", "1,,2", "a,1", "1,2x", "nan,1", "inf,1", "1e999,0",
                            ",1", "1,"}) {
        double q[3] = {7, 7, 7};
        EXPECT_FALSE(parsePoint(bad, q)) << bad;
        EXPECT_EQ(q[0], 7) << bad;  // a refused point changes nothing
    }
}

TEST(Text, Utf8RoundTripAndMalformedInput) {
    const std::wstring chinese = L"岱川标准模架 ZDTSGS";
    EXPECT_EQ(fromUtf8(toUtf8(chinese)), chinese);
    bool ok = true;
    EXPECT_EQ(fromUtf8("a\xC0\x80" "b", &ok), L"a\uFFFD\uFFFDb");  // overlong NUL
    EXPECT_FALSE(ok);
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));  // a surrogate
    EXPECT_FALSE(isValidUtf8("\xE5\xB2"));      // cut short
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80"));
    EXPECT_EQ(upperAscii("gzdtSGS 大"), "GZDTSGS 大");
}

TEST(CommandLineOutput, ModuleLinesAndPromptsKeepTheirOwnLines) {
    CapturedOutput captured;
    CommandLine out(captured.file());
    out.write(L"\n无法找到文件%s");  // a leading line end at the start of a line adds no blank line
    out.line(L"命令: ZDTSGS");      // starts on a fresh line
    out.write(L"一\n\n二\n");
    out.write(L"三");
    out.endLine();
    out.endLine();  // ending an ended line adds nothing
    EXPECT_EQ(captured.text(), "无法找到文件%s\n命令: ZDTSGS\n一\n二\n三\n");
}

TEST(CommandLineOutput, PromptsEndWithOneColon) {
    EXPECT_EQ(promptText(L"请选择插入点", L"指定点"), L"请选择插入点: ");
    EXPECT_EQ(promptText(L"\n请选择插入点: ", L"指定点"), L"请选择插入点: ");
    EXPECT_EQ(promptText(L"请选择插入点：", L"指定点"), L"请选择插入点： ");
    EXPECT_EQ(promptText(L"", L"指定点"), L"指定点: ");
}
