// zdtcad: a small CAD host. It opens a working drawing, loads the mould base
// module through its entry point, lists what the module registered, plays a
// script (or what the user types) through the module's commands, saves the
// drawing as DXF and draws it as SVG or PNG previews.
//
// Exit status: 0 when the script ran to its end (and the drawing was saved and
// drawn when asked); 1 for bad arguments, an unreadable template or script, or a
// failed save or preview; 2 when the script asked for something that could not be done.
#include <sys/stat.h>
#include <unistd.h>

#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "module_loader.h"
#include "options.h"
#include "preview_library.h"
#include "script_reader.h"
#include "session.h"
#include "text_utf8.h"
#include "ui_listing.h"
#include "ui_mode.h"
#include "vrxdb.h"
#include "window_library.h"

namespace {

using namespace zdtcad;

int fail(const std::string& message) {
    std::cerr << "zdtcad: " << message << std::endl;
    return 1;
}

// The reason of a failed read or save in the host's words.
std::string statusReason(Vrx::ErrorStatus es) {
    switch (es) {
    case Vrx::eFileNotFound: return "文件不存在";
    case Vrx::eFileAccessErr: return "无法读写该文件";
    case Vrx::eBadDxfFile: return "不是有效的 DXF 图形文件";
    default: return toUtf8(Vrx::statusText(es));
    }
}

// failure: how a message about this output begins, e.g. "无法保存图形".
bool outputFolderExists(const std::string& path, const std::string& failure, std::string& error) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        error = failure + "“" + path + "”：文件夹“" + folder + "”不存在。";
        return false;
    }
    if (slash + 1 == path.size()) {
        error = failure + "“" + path + "”：没有给出文件名。";
        return false;
    }
    return true;
}

// The previews asked for, drawn from the drawing as the script left it.
int writePreviews(const HostOptions& options, const VRxDbDatabase& db, CommandLine& out) {
    int status = 0;
    PreviewLibrary library;
    const std::pair<zdtpreview::PreviewFormat, const std::string*> previews[] = {
        {zdtpreview::PreviewFormat::Svg, &options.svgPath}, {zdtpreview::PreviewFormat::Png, &options.pngPath}};
    for (const auto& preview : previews) {
        if (preview.second->empty()) continue;
        std::string error;
        if (library.render(db, preview.first, *preview.second, error))
            out.line("预览图已写入：" + fileNameOf(*preview.second));
        else
            status = fail(error);
    }
    return status;
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The windows of the run, when it gets them; null for dialogs on the command
// line. Windows asked for by name that cannot be had end the run (false).
bool startWindows(const HostOptions& options, WindowLibrary& library, std::unique_ptr<WinWindowedUiBackend>& windows,
                  std::string& error) {
    UiEnvironment environment;
    environment.terminal = isatty(STDIN_FILENO) == 1;
    // A script run without window options keeps its command-line dialogs
    // whatever the display, so it never loads the window system at all.
    const bool mayWantWindows = options.ui == "window" || !options.picturesDir.empty() ||
                                (options.ui.empty() && !options.scriptGiven && environment.terminal);
    if (mayWantWindows) environment.display = library.displayAvailable(environment.noDisplay);
    UiChoice choice;
    if (!chooseUi(options, environment, choice, error)) return false;
    if (!choice.windows) return true;
    if (!options.picturesDir.empty() && !folderExists(options.picturesDir)) {
        error = "无法写入对话框图片：文件夹“" + options.picturesDir + "”不存在。";
        return false;
    }
    std::string why;
    windows = library.createBackend(choice.offscreen, options.picturesDir, why);
    if (!windows) {
        if (choice.required) {
            error = "--ui window 无法显示窗口：" + why + "。";
            return false;
        }
        // Nobody asked for windows: the terminal will do.
        std::cerr << "zdtcad: " << why << "；对话框在命令行中操作。" << std::endl;
        return true;
    }
    return true;
}

// The drawing the session works on: the template's content, or the database's
// own default drawing.
std::unique_ptr<VRxDbDatabase> openWorkingDrawing(const HostOptions& options, std::string& error) {
    if (options.noTemplate) return std::make_unique<VRxDbDatabase>(true);
    std::string path = options.templatePath;
    if (path.empty()) path = executableDirectory() + "templates/zdt_template.dxf";
    auto db = std::make_unique<VRxDbDatabase>(false);
    const Vrx::ErrorStatus es = db->readDwgFile(fromUtf8(path).c_str());
    if (es != Vrx::eOk) {
        const std::wstring& detail = db->lastReadError();
        error = "无法读取样板图形“" + path + "”：" + statusReason(es) +
                (detail.empty() ? std::string() : "（" + toUtf8(detail) + "）");
        if (options.templatePath.empty()) error += "。可用 --template 指定样板，或用 --no-template 从空白图形开始";
        return nullptr;
    }
    return db;
}

int runHost(const std::vector<std::string>& args) {
    HostOptions options;
    std::string error;
    if (!parseOptions(args, options, error)) {
        std::cerr << "zdtcad: " << error << "\n" << usageText();
        return 1;
    }
    if (options.help) {
        std::cout << usageText();
        return 0;
    }

    // A drawing that could never be saved is refused before the script runs, not
    // after all its work.
    if (!options.savePath.empty() && !outputFolderExists(options.savePath, "无法保存图形", error)) return fail(error);
    if (!options.svgPath.empty() && !outputFolderExists(options.svgPath, "无法写入 SVG 预览", error)) return fail(error);
    if (!options.pngPath.empty() && !outputFolderExists(options.pngPath, "无法写入 PNG 预览", error)) return fail(error);

    // The script is read before anything else, so a missing one costs nothing.
    const bool runScript = options.scriptGiven || !options.listUi;
    ScriptReader input;
    if (runScript) {
        if (options.scriptPath.empty()) {
            input.openStdin();
        } else if (!input.openFile(options.scriptPath, error)) {
            return fail(error);
        }
    }

    WindowLibrary windowLibrary;
    std::unique_ptr<WinWindowedUiBackend> windows;
    if (runScript && !startWindows(options, windowLibrary, windows, error)) return fail(error);

    std::unique_ptr<VRxDbDatabase> db = openWorkingDrawing(options, error);
    if (!db) return fail(error);
    vrxdbHostApplicationServices()->setWorkingDatabase(db.get());

    int status = 0;
    {
        ModuleLoader modules;
        CommandLine out;
        // The session is the editor from the start: what the module prints while
        // it loads goes to the command line in order with everything else.
        Session session(input, out, modules, windows.get());
        if (!options.noModule) {
            const std::string path =
                options.modulePath.empty() ? executableDirectory() + "libzdtmould.so" : options.modulePath;
            // The host is still useful without its module: the run goes on.
            if (!modules.load(path, error)) std::cerr << "zdtcad: " << error << std::endl;
        }

        // A person in front of windows is shown what there is to run.
        if (options.listUi || (windows && input.interactive())) listUserInterface(out);
        if (runScript) status = session.run();

        const bool reachedEnd = status == 0;
        if (reachedEnd && !options.savePath.empty()) {
            const Vrx::ErrorStatus es = db->saveAs(fromUtf8(options.savePath).c_str());
            if (es != Vrx::eOk) {
                status = fail("无法保存图形“" + options.savePath + "”：" + statusReason(es) + "。");
            } else {
                out.line("图形已保存：" + fileNameOf(options.savePath));
            }
        }
        // The previews show the drawing in memory, whether or not it could be saved.
        if (reachedEnd) {
            const int drawn = writePreviews(options, *db, out);
            if (status == 0) status = drawn;
        }

        // The module is told to unload while the drawing it worked on still exists.
        if (modules.isLoaded() && !modules.unload(error)) std::cerr << "zdtcad: " << error << std::endl;
    }
    vrxdbHostApplicationServices()->setWorkingDatabase(nullptr);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return runHost(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "zdtcad: 内部错误：" << e.what() << std::endl;
    } catch (...) {
        std::cerr << "zdtcad: 内部错误。" << std::endl;
    }
    return 1;
}
