// Shared by the pocket and lock dialog tests: the module's templates made
// current, and a user that plays queued actions into the running dialog with
// looks at the dialog ("probes") between them, recording every message box.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "afxdialog.h"
#include "afxstub.h"
#include "resources/module_resources.h"
#include "ui/dialog_resources.h"
#include "winhost.h"
#include "winui.h"

// Actions go to the toolkit's queued backend in batches; a probe runs at its
// place in the sequence while the dialog is still open.
class ProbingUser : public WinQueuedUiBackend {
public:
    using Probe = std::function<void(CDialog&)>;

    // Actions before the first probe are queued at once, so that boxes shown
    // while the dialog starts up find their answers.
    ProbingUser& act(WinUiAction action) {
        if (m_steps.empty()) push(std::move(action));
        else m_steps.push_back(Step{std::move(action), nullptr});
        return *this;
    }
    ProbingUser& select(int id, const std::wstring& text) { return act(WinUiAction::select(id, text)); }
    ProbingUser& type(int id, const std::wstring& text) { return act(WinUiAction::type(id, text)); }
    ProbingUser& click(int id) { return act(WinUiAction::clickOn(id)); }
    ProbingUser& ok() { return act(WinUiAction::ok()); }
    ProbingUser& cancel() { return act(WinUiAction::cancel()); }
    ProbingUser& answer(int button) { return act(WinUiAction::answerWith(button)); }
    ProbingUser& probe(Probe p) {
        m_steps.push_back(Step{WinUiAction::ok(), std::move(p)});
        return *this;
    }

    void runModal(CDialog& dialog) override {
        for (;;) {
            if (pending() != 0) WinQueuedUiBackend::runModal(dialog);
            if (!dialog.IsRunning() || !errors().empty() || pending() != 0 || m_steps.empty()) return;
            if (m_steps.front().probe) {
                Probe p = std::move(m_steps.front().probe);
                m_steps.pop_front();
                p(dialog);
                continue;
            }
            while (!m_steps.empty() && !m_steps.front().probe) {
                push(m_steps.front().action);
                m_steps.pop_front();
            }
        }
    }

    std::vector<std::wstring> texts() const {
        std::vector<std::wstring> t;
        for (const auto& s : shown()) t.push_back(s.text);
        return t;
    }
    size_t stepsLeft() const { return m_steps.size() + pending(); }

private:
    struct Step {
        WinUiAction action;
        Probe probe;
    };
    std::deque<Step> m_steps;
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerDialogResources(zdtModuleInstance());
        registerModuleResources(zdtModuleInstance());
        m_scope = new CModuleResourceScope(zdtModuleInstance());
        winSetUiBackend(&user);
    }
    void TearDown() override {
        winSetUiBackend(nullptr);
        delete m_scope;
    }
    // Runs a dialog and checks that every scripted step could be done.
    INT_PTR run(CDialog& dialog) {
        INT_PTR result = dialog.DoModal();
        EXPECT_TRUE(user.errors().empty()) << (user.errors().empty() ? "" : winToUtf8(user.errors().front()));
        EXPECT_EQ(user.stepsLeft(), 0u);
        return result;
    }

    static CComboBox* comboOf(CDialog& d, int id) { return dynamic_cast<CComboBox*>(d.GetDlgItem(id)); }
    static std::vector<std::wstring> itemsOf(CDialog& d, int id) { return d.GetDlgItem(id)->state().items; }
    static std::wstring selectedText(CDialog& d, int id) {
        CComboBox* c = comboOf(d, id);
        std::wstring text;
        if (c != nullptr && c->GetCurSel() >= 0) c->GetLBText(c->GetCurSel(), text);
        return text;
    }
    static bool enabled(CDialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled() != FALSE; }

    ProbingUser user;

private:
    CModuleResourceScope* m_scope = nullptr;
};
