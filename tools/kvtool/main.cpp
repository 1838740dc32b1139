// kvtool: the command-line companion of the chart plotter (decoders, converters, renderers).

#include "Command.h"
#include "OtherPart.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

namespace kvtool {

std::vector<Command>& Commands()
{
    static std::vector<Command> commands;
    return commands;
}

} // namespace kvtool

namespace {

void PrintHelp(std::FILE* out)
{
    auto commands = kvtool::Commands();
    const auto others = kvtool::OtherPartCommands();
    commands.insert(commands.end(), others.begin(), others.end());
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::fprintf(out, "usage: kvtool COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const auto& c : commands) {
        std::fprintf(out, "  %-14s %s\n", c.name.c_str(), c.usage.c_str());
    }
    std::fprintf(out, "  %-14s %s\n", "--help", "this list");
}

// Qt wants a private runtime folder (XDG_RUNTIME_DIR) and says so on standard error when a
// machine without a login session has none. Scripted output must stay clean, so without one
// kvtool makes its own for the run (mkdtemp gives it mode 0700) and removes it at the end.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder()
    {
        if (const char* current = std::getenv("XDG_RUNTIME_DIR"); current != nullptr && *current != '\0') {
            return;
        }
        std::error_code ec;
        const std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
        std::string pattern = ((ec ? std::filesystem::path("/tmp") : temp) / "kvtool-runtime-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            ::setenv("XDG_RUNTIME_DIR", path_.c_str(), 1);
        }
    }
    ~PrivateRuntimeFolder()
    {
        if (!path_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(path_, ec);
        }
    }
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

private:
    std::string path_;
};

} // namespace

int main(int argc, char** argv)
{
    // Some commands render with QPainter (text needs the font database of a GUI application) or
    // open a serial port: give them a Qt application object. No window system is needed.
    if (argc >= 2) {
        for (const auto& c : kvtool::Commands()) {
            if (c.plain && c.name == argv[1]) {
                return c.run(kvtool::Args(argv + 2, argv + argc));
            }
        }
        if (const int code = kvtool::RunOtherPart(argc, argv); code >= 0) {
            return code;
        }
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    const PrivateRuntimeFolder runtimeFolder; // outlives the application object
    QGuiApplication app(argc, argv);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0
        || std::strcmp(argv[1], "help") == 0) {
        PrintHelp(stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string name = argv[1];
    for (const auto& c : kvtool::Commands()) {
        if (c.name == name) {
            return c.run(kvtool::Args(argv + 2, argv + argc));
        }
    }
    std::fprintf(stderr, "kvtool: unknown command '%s'\n\n", name.c_str());
    PrintHelp(stderr);
    return 2;
}
