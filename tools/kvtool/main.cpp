// kvtool: the command-line companion of the chart plotter (decoders, converters, renderers).

#include "Command.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
    std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    std::fprintf(out, "usage: kvtool COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const auto& c : commands) {
        std::fprintf(out, "  %-14s %s\n", c.name.c_str(), c.usage.c_str());
    }
    std::fprintf(out, "  %-14s %s\n", "--help", "this list");
}

} // namespace

int main(int argc, char** argv)
{
    // Some commands render with QPainter (text needs the font database of a GUI application) or
    // open a serial port: give them a Qt application object. No window system is needed.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QGuiApplication app(argc, argv);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
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
