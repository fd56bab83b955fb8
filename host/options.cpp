// Parsing of zdtcad's arguments. Every mistake is reported with the argument it
// concerns; nothing is guessed, since a misread flag would run the wrong drawing.
#include "options.h"

namespace zdtcad {

const char* usageText() {
    return "用法: zdtcad [--template FILE.dxf | --no-template] [--save FILE.dxf] [--svg FILE.svg] [--png FILE.png]\n"
           "              [--list-ui] [--module PATH | --no-module] [--ui window|script] [--dialog-pictures DIR]\n"
           "              [SCRIPT | -]\n"
           "  --template FILE.dxf  以该图形文件为样板开始工作图形（默认: zdtcad 旁的 templates/zdt_template.dxf）\n"
           "  --no-template        以空白图形开始\n"
           "  --save FILE.dxf      脚本执行完毕后将工作图形保存为 DXF\n"
           "  --svg FILE.svg       脚本执行完毕后将工作图形画成 SVG 预览图\n"
           "  --png FILE.png       脚本执行完毕后将工作图形画成 PNG 预览图\n"
           "  --list-ui            列出模块注册的命令、菜单、工具栏和功能区\n"
           "  --module PATH        加载该模块（默认: zdtcad 旁的 libzdtmould.so）\n"
           "  --no-module          不加载模块\n"
           "  --ui window|script   对话框显示为窗口，或由脚本操作（默认: 在有显示的终端上交互时为窗口）\n"
           "  --dialog-pictures DIR 对话框确定时将其图片写入 DIR/dialog-<编号>.png（无需显示）\n"
           "  SCRIPT | -           脚本文件；\"-\" 或省略时从标准输入读取\n";
}

bool parseOptions(const std::vector<std::string>& args, HostOptions& options, std::string& error) {
    options = HostOptions();
    bool templateGiven = false, moduleGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Flags that take a value read it from the next argument; a missing or
        // empty value is an error rather than a silent default.
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "参数“" + arg + "”缺少文件路径。";
                return false;
            }
            out = args[++i];
            return true;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--template") {
            if (options.noTemplate || templateGiven) {
                error = "只能给出一次 --template 或 --no-template。";
                return false;
            }
            if (!value(options.templatePath)) return false;
            templateGiven = true;
        } else if (arg == "--no-template") {
            if (options.noTemplate || templateGiven) {
                error = "只能给出一次 --template 或 --no-template。";
                return false;
            }
            options.noTemplate = true;
        } else if (arg == "--save") {
            if (!options.savePath.empty()) {
                error = "只能给出一次 --save。";
                return false;
            }
            if (!value(options.savePath)) return false;
        } else if (arg == "--svg" || arg == "--png") {
            std::string& path = arg == "--svg" ? options.svgPath : options.pngPath;
            if (!path.empty()) {
                error = "只能给出一次 " + arg + "。";
                return false;
            }
            if (!value(path)) return false;
        } else if (arg == "--list-ui") {
            options.listUi = true;
        } else if (arg == "--module") {
            if (options.noModule || moduleGiven) {
                error = "只能给出一次 --module 或 --no-module。";
                return false;
            }
            if (!value(options.modulePath)) return false;
            moduleGiven = true;
        } else if (arg == "--no-module") {
            if (options.noModule || moduleGiven) {
                error = "只能给出一次 --module 或 --no-module。";
                return false;
            }
            options.noModule = true;
        } else if (arg == "--ui") {
            if (!options.ui.empty()) {
                error = "只能给出一次 --ui。";
                return false;
            }
            if (i + 1 >= args.size() || (args[i + 1] != "window" && args[i + 1] != "script")) {
                error = "参数“--ui”需要 window 或 script。";
                return false;
            }
            options.ui = args[++i];
        } else if (arg == "--dialog-pictures") {
            if (!options.picturesDir.empty()) {
                error = "只能给出一次 --dialog-pictures。";
                return false;
            }
            if (!value(options.picturesDir)) return false;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "未知参数“" + arg + "”。";
            return false;
        } else {
            if (options.scriptGiven) {
                error = "只能给出一个脚本，多余的参数“" + arg + "”。";
                return false;
            }
            options.scriptGiven = true;
            options.scriptPath = arg == "-" ? std::string() : arg;
        }
    }
    return true;
}

}  // namespace zdtcad
