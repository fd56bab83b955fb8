// The windowed backend: starting the window system without ever aborting, the
// stack of open dialog windows (a nested dialog opens over its parent), the
// user's modal loops, scripted play on the windows, and pictures of confirmed
// dialogs.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QPixmap>
#include <QStyleFactory>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "dialog_units.h"
#include "dialog_window.h"
#include "message_box.h"
#include "winhost.h"
#include "winqt.h"

using winqt::DialogWindow;

namespace {

int g_argc = 1;
char g_program[] = "zdtcad";
char* g_argv[] = {g_program, nullptr};

// A platform plugin that cannot start reports it as a fatal message, which
// would abort the program: it becomes a clear message and an orderly exit.
void runningMessages(QtMsgType type, const QMessageLogContext& context, const QString& message);

void startupMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        runningMessages(type, context, message);
        return;
    }
    std::fprintf(stderr, "窗口系统无法启动：%s\n", message.toUtf8().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

QtMessageHandler g_qtDefault = nullptr;

// Qt's own remarks about what a platform cannot do (the offscreen one cannot
// raise windows or grab the keyboard) and about the session's run-time folder
// say nothing to a user of zdtcad; everything else is passed on.
void runningMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && (message.startsWith(QLatin1String("This plugin does not support")) ||
                                 message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR"))))
        return;
    if (g_qtDefault != nullptr) g_qtDefault(type, context, message);
}

std::string envText(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

bool winQtDisplayAvailable(std::wstring* why) {
    const std::string platform = envText("QT_QPA_PLATFORM");
    auto missing = [&](const wchar_t* text) {
        if (why != nullptr) *why = text;
        return false;
    };
    if (platform.rfind("offscreen", 0) == 0 || platform.rfind("minimal", 0) == 0) return true;
    if (platform.rfind("xcb", 0) == 0) {
        return !envText("DISPLAY").empty() || missing(L"没有图形显示：DISPLAY 未设置");
    }
    if (platform.rfind("wayland", 0) == 0) {
        return !envText("WAYLAND_DISPLAY").empty() || missing(L"没有图形显示：WAYLAND_DISPLAY 未设置");
    }
    if (!platform.empty()) return true;
    if (!envText("DISPLAY").empty() || !envText("WAYLAND_DISPLAY").empty()) return true;
    return missing(L"没有图形显示：DISPLAY 和 WAYLAND_DISPLAY 都未设置（无显示时可设 QT_QPA_PLATFORM=offscreen）");
}

class WinQtUiBackend::Impl : public winqt::DialogWindowHost {
public:
    ~Impl() override {
        while (!windows.empty()) closeWindow(windows.back());
        app.reset();
    }

    void afterAction() override {
        for (DialogWindow* w : windows) {
            w->sync();
            if (!w->dialog().IsRunning() && w->loop() != nullptr) w->loop()->quit();
        }
    }

    void confirming(const CDialog& dialog) override {
        if (pictureFolder.empty()) return;
        const std::string path = pictureFolder + "/dialog-" + std::to_string(dialog.GetTemplateId()) + ".png";
        if (!picture(dialog, path)) winWriteUtf8(stderr, L"无法写入对话框图片“" + winFromUtf8(path) + L"”\n");
    }

    bool picture(const CDialog& dialog, const std::string& path) {
        DialogWindow* w = find(dialog);
        if (w == nullptr) return false;
        w->sync();
        return w->grab().save(QString::fromStdString(path), "PNG");
    }

    DialogWindow* find(const CDialog& dialog) const {
        for (DialogWindow* w : windows)
            if (&w->dialog() == &dialog) return w;
        return nullptr;
    }

    DialogWindow* open(CDialog& dialog) {
        if (DialogWindow* w = find(dialog)) return w;
        afterAction();
        QWidget* parent = windows.empty() ? nullptr : windows.back();
        auto* w = new DialogWindow(dialog, parent, *this);
        windows.push_back(w);
        w->show();
        w->raise();
        w->activateWindow();
        return w;
    }

    void closeWindow(DialogWindow* w) {
        w->setClosing();
        windows.erase(std::remove(windows.begin(), windows.end(), w), windows.end());
        w->hide();
        delete w;
    }

    QWidget* top() const { return windows.empty() ? nullptr : windows.back(); }

    std::unique_ptr<QApplication> app;
    std::vector<DialogWindow*> windows;  // bottom to top, owned
    std::string pictureFolder;
};

WinQtUiBackend::WinQtUiBackend() : m_impl(std::make_unique<Impl>()) {}

WinQtUiBackend::~WinQtUiBackend() = default;

std::unique_ptr<WinQtUiBackend> WinQtUiBackend::create(bool offscreen, std::wstring& error) {
    std::unique_ptr<WinQtUiBackend> backend(new WinQtUiBackend);
    if (QCoreApplication::instance() == nullptr) {
        if (offscreen) qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!winQtDisplayAvailable(&error)) return nullptr;
        g_qtDefault = qInstallMessageHandler(startupMessages);
        backend->m_impl->app = std::make_unique<QApplication>(g_argc, g_argv);
        qInstallMessageHandler(runningMessages);
    } else if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        error = L"窗口无法显示：程序已有一个不带窗口的应用对象";
        return nullptr;
    }
    QApplication::setQuitOnLastWindowClosed(false);
    // One look everywhere, so pictures and layouts do not depend on the desktop.
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(fusion);
    QApplication::setFont(winqt::dialogFont());
    if (!winqt::dialogFontInstalled())
        winWriteUtf8(stderr, L"未安装字体 WenQuanYi Micro Hei（fonts-wqy-microhei），中文可能无法显示\n");
    return backend;
}

void WinQtUiBackend::runModal(CDialog& dialog) {
    DialogWindow* w = m_impl->open(dialog);
    QEventLoop loop;
    w->setLoop(&loop);
    if (dialog.IsRunning()) loop.exec();
    w->setLoop(nullptr);
    m_impl->closeWindow(w);
}

int WinQtUiBackend::messageBox(const std::wstring& caption, const std::wstring& text, UINT type) {
    m_impl->afterAction();
    winqt::MessageBoxWindow box(caption, text, type, m_impl->top());
    return box.exec();
}

void WinQtUiBackend::showDialog(CDialog& dialog) {
    m_impl->open(dialog);
    QCoreApplication::processEvents();
}

WinActionResult WinQtUiBackend::playAction(CDialog& dialog, const WinUiAction& action) {
    DialogWindow* w = m_impl->open(dialog);
    WinActionResult result = w->play(action);
    // Let the window paint what the action changed, as the screen would show it.
    if (m_impl->find(dialog) != nullptr) QCoreApplication::processEvents();
    return result;
}

int WinQtUiBackend::answerMessageBox(const std::wstring& caption, const std::wstring& text, UINT type, int answer) {
    m_impl->afterAction();
    winqt::MessageBoxWindow box(caption, text, type, m_impl->top());
    const int given = box.pressAndWait(answer);
    return given != 0 ? given : answer;
}

void WinQtUiBackend::closeDialog(CDialog& dialog) {
    if (DialogWindow* w = m_impl->find(dialog)) m_impl->closeWindow(w);
}

void WinQtUiBackend::setPictureFolder(const std::string& folder) { m_impl->pictureFolder = folder; }

bool WinQtUiBackend::savePicture(const CDialog& dialog, const std::string& path) const {
    return m_impl->picture(dialog, path);
}

QWidget* WinQtUiBackend::windowOf(const CDialog& dialog) const { return m_impl->find(dialog); }
