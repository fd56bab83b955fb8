// The module's paths (from its own file name, Chinese folders and long paths
// included) and the ZDTSGS command's point prompt: any answer but a point, or
// no editor at all, ends the command and draws nothing.
#include <string>

#include "resources/module_paths.h"
#include "resources/module_resources.h"
#include "shell/mould_base_command.h"
#include "shell_fixture.h"
#include "vrxdbobjecttable.h"

namespace {

// Makes the module report another file name for one test.
struct ModuleNameOverride {
    explicit ModuleNameOverride(const std::wstring& name) { winOverrideModuleFileName(zdtModuleInstance(), name); }
    ~ModuleNameOverride() { winOverrideModuleFileName(zdtModuleInstance(), L""); }
};

}  // namespace

TEST(ShellModulePaths, ChineseDirectoryGivesCorrectUtf8) {
    ModuleNameOverride name(L"/opt/岱川/模具 插件/libzdtmould.so");
    EXPECT_EQ(L"/opt/岱川/模具 插件/", ModulePaths::getModuleDirectory());
    ModulePaths& paths = ModulePaths::instance();
    // Directory, its trailing separator, one more separator, then the file name.
    EXPECT_EQ(L"/opt/岱川/模具 插件//ZDTSTANDARDMOULD.db", paths.catalogPath());
    EXPECT_EQ(std::string("/opt/\xE5\xB2\xB1\xE5\xB7\x9D/\xE6\xA8\xA1\xE5\x85\xB7 \xE6\x8F\x92\xE4\xBB\xB6//ZDTSTANDARDMOULD.db"),
              ModulePaths::getCatalogPathUtf8());
}

TEST(ShellModulePaths, RefreshedAtEveryAccess) {
    std::wstring realDir = ModulePaths::getModuleDirectory();
    ASSERT_FALSE(realDir.empty());
    EXPECT_EQ(L'/', realDir.back());
    {
        ModuleNameOverride name(L"/srv/a/libzdtmould.so");
        EXPECT_EQ(L"/srv/a/", ModulePaths::getModuleDirectory());
    }
    EXPECT_EQ(realDir, ModulePaths::getModuleDirectory()) << "the module's real name is read again";
    EXPECT_EQ(&ModulePaths::instance(), &ModulePaths::instance()) << "one object per process";
}

TEST(ShellModulePaths, NamesWithoutADirectoryOrLongerThanMaxPath) {
    {
        ModuleNameOverride name(L"libzdtmould.so");
        EXPECT_EQ(L"./", ModulePaths::getModuleDirectory()) << "never the file system's root";
        EXPECT_EQ("./" "/ZDTSTANDARDMOULD.db", ModulePaths::getCatalogPathUtf8());
    }
    std::wstring deep = L"/data";
    while (deep.size() < 400) deep += L"/模具目录";
    ModuleNameOverride name(deep + L"/libzdtmould.so");
    EXPECT_EQ(deep + L"/", ModulePaths::getModuleDirectory()) << "a long path must not be cut";
}

using ShellCommand = ShellFixture;

TEST_F(ShellCommand, AnyResultButAPointEndsTheCommand) {
    uint64_t handlesBefore = vrxdbNextHandle(*db);
    for (int rc : {static_cast<int>(RTNONE), static_cast<int>(RTERROR), static_cast<int>(RTREJ), 0}) {
        editor.pointAnswers = {rc};
        MouldBaseCommand();
    }
    EXPECT_EQ(4u, editor.prompts.size());
    EXPECT_EQ(handlesBefore, vrxdbNextHandle(*db));
    EXPECT_TRUE(messageBoxes.empty());
    EXPECT_EQ(L"", editor.output);
}

TEST_F(ShellCommand, WithoutAHostEditorTheCommandCancels) {
    vrxedSetHost(nullptr);
    testing::internal::CaptureStdout();
    MouldBaseCommand();
    EXPECT_EQ("请选择插入点\n", testing::internal::GetCapturedStdout());
    vrxedSetHost(&editor);
    EXPECT_EQ(0, db->openObjectCount());
}
