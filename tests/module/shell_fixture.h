// Test fixture for the module shell: each test starts with empty host
// registries (no "ZDTApp" group, no toolbars, menus or ribbon entries), a fresh
// working database, a scripted editor and a recording message box backend, and
// puts the host's state back when it ends.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "afxstub.h"
#include "shell/zdt_mould_base_app.h"
#include "vrxcmds.h"
#include "vrxdb.h"
#include "vrxed.h"
#include "vrxui.h"
#include "winhost.h"

// Answers point prompts from a list (RTCAN once the list is used up) and keeps
// every prompt and command-line line.
class ShellTestEditor : public VRxEditorHost {
public:
    std::vector<int> pointAnswers;
    std::vector<std::wstring> prompts;
    std::vector<bool> hadBase;
    std::wstring output;

    int getPoint(const double* base, const std::wstring& prompt, double result[3]) override {
        prompts.push_back(prompt);
        hadBase.push_back(base != nullptr);
        if (pointAnswers.empty()) return RTCAN;
        int rc = pointAnswers.front();
        pointAnswers.erase(pointAnswers.begin());
        result[0] = 100.0;
        result[1] = 200.0;
        result[2] = 0.0;
        return rc;
    }
    int getString(bool, const std::wstring& prompt, std::wstring& result) override {
        prompts.push_back(prompt);
        result.clear();
        return RTCAN;
    }
    void print(const std::wstring& text) override { output += text; }
};

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override {
        removeGroup();
        vrxUIManagerPtr()->reset();
        m_resourceHandle = AfxGetResourceHandle();
        m_previousDb = vrxdbHostApplicationServices()->workingDatabase();
        db = std::make_unique<VRxDbDatabase>(true);
        vrxdbHostApplicationServices()->setWorkingDatabase(db.get());
        m_previousEditor = vrxedSetHost(&editor);
        m_previousBackend = winSetMessageBoxBackend([this](const std::wstring& c, const std::wstring& t, UINT) {
            messageBoxes.push_back(c + L": " + t);
            return IDCANCEL;
        });
    }
    void TearDown() override {
        EXPECT_EQ(0, db->openObjectCount()) << "objects were left open";
        winSetMessageBoxBackend(m_previousBackend);
        vrxedSetHost(m_previousEditor);
        vrxdbHostApplicationServices()->setWorkingDatabase(m_previousDb);
        db.reset();
        AfxSetResourceHandle(m_resourceHandle);
        removeGroup();
        vrxUIManagerPtr()->reset();
    }

    static VRxEdCommandStack* commands() {
        return VRxEdCommandStack::cast(vrxSysRegistry()->at(L"VRX_REGISTERED_COMMANDS"));
    }
    static void removeGroup() { commands()->removeGroup(L"ZDTApp"); }
    static VRxUiManager* ui() { return vrxUIManagerPtr(); }

    std::unique_ptr<VRxDbDatabase> db;
    ShellTestEditor editor;
    std::vector<std::wstring> messageBoxes;

private:
    HINSTANCE m_resourceHandle = nullptr;
    VRxDbDatabase* m_previousDb = nullptr;
    VRxEditorHost* m_previousEditor = nullptr;
    WinMessageBoxBackend m_previousBackend;
};
