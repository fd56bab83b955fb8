// Driving dialog windows as a user does: steps that run one after another
// whenever the event loop is idle, also inside the modal loops of nested
// dialogs and message boxes, each acting through real widget events (mouse
// clicks, key presses) on the topmost window.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "winqt.h"

namespace qttest {

inline QString qs(const std::wstring& text) { return QString::fromStdWString(text); }

// Key presses for each character, as a keyboard (or an input method for
// Chinese) sends them.
inline void typeKeys(QWidget* widget, const QString& text) {
    for (QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(widget, static_cast<char>(ch.unicode()));
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
        }
    }
}

// The topmost window: a dialog window or a message box.
inline QWidget* top() { return QApplication::activeModalWidget(); }

// The widget of control id in the topmost window.
inline QWidget* control(int id) {
    QWidget* window = top();
    if (window == nullptr) return nullptr;
    for (QWidget* w : window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->property("winControlId").toInt() == id) return w;
    return nullptr;
}

class UserDriver {
public:
    // A timer does not fire again while its own handler runs, and a step that
    // opens a box runs until the box closes; so each tick is a fresh single shot,
    // armed before the step runs, which the nested loop then fires.
    UserDriver() { arm(); }
    void step(std::function<void()> s) { m_steps.push_back(std::move(s)); }
    bool done() const { return m_steps.empty(); }

    // Presses the button with this text in the message box that is showing.
    void answer(const std::wstring& button, std::function<void(QMessageBox&)> check = nullptr) {
        step([button, check] {
            auto* box = qobject_cast<QMessageBox*>(top());
            ASSERT_NE(nullptr, box) << "no message box is showing";
            if (check) check(*box);
            for (QAbstractButton* b : box->buttons())
                if (b->text() == qs(button)) {
                    QTest::mouseClick(b, Qt::LeftButton);
                    return;
                }
            ADD_FAILURE() << "the box has no such button";
        });
    }

private:
    void arm() { QTimer::singleShot(0, &m_context, [this] { next(); }); }
    void next() {
        if (testing::Test::HasFatalFailure()) m_steps.clear();
        if (m_steps.empty() && top() == nullptr) {
            // Nothing to do and nothing open: wait for the next window.
            if (++m_waiting < 1000) arm();
            return;
        }
        m_waiting = 0;
        arm();
        if (m_steps.empty()) {
            // A user with nothing left to do closes what is still open, so a
            // failed step ends the test instead of leaving it waiting.
            if (top() != nullptr && ++m_idle > 200) {
                m_idle = 0;
                ADD_FAILURE() << "a window is still open when the user has nothing left to do";
                if (auto* box = qobject_cast<QMessageBox*>(top())) box->reject();
                else top()->close();
            }
            return;
        }
        m_idle = 0;
        // A user acts in the window in front, once the window system put it there.
        if (top() != nullptr && QApplication::activeWindow() != top() && ++m_activating < 10000) return;
        m_activating = 0;
        auto s = std::move(m_steps.front());
        m_steps.pop_front();
        s();
    }
    QObject m_context;
    int m_idle = 0;
    int m_waiting = 0;
    int m_activating = 0;
    std::deque<std::function<void()>> m_steps;
};

// A windowed backend installed for one test.
class WindowedTest : public testing::Test {
protected:
    void SetUp() override {
        std::wstring error;
        backend = WinQtUiBackend::create(true, error);
        ASSERT_TRUE(backend) << std::string(error.begin(), error.end());
        previous = winSetUiBackend(backend.get());
    }
    void TearDown() override {
        winSetUiBackend(previous);
        backend.reset();
    }
    std::unique_ptr<WinQtUiBackend> backend;
    WinUiBackend* previous = nullptr;
};

}  // namespace qttest
