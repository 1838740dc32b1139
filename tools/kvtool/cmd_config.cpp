// kvtool config: show a main configuration file as the program reads it.

#include "Command.h"
#include "app/ProgramState.h"

#include "core/Config.h"
#include "core/Format.h"
#include "core/TextFile.h"

#include <cstdio>

namespace {

int RunConfig(const kvtool::Args& args)
{
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: kvtool config FILE.cfg\n");
        return 2;
    }
    // A missing file is a first start (the defaults); anything else in its place is refused.
    if (kv::PathTaken(args[0])) {
        if (const std::string problem = kv::RegularFileProblem(args[0]); !problem.empty()) {
            std::fprintf(stderr, "kvtool config: cannot read %s: %s\n", args[0].c_str(), problem.c_str());
            return 1;
        }
    }
    kv::ProgramState nav;
    kv::Settings& settings = nav.settings;
    const bool found = kv::ReadConfig(args[0], nav.fixInfo, nav.chartRef, nav.folders, settings);
    if (!found) {
        std::printf("# %s not found: defaults\n", args[0].c_str());
    }
    // The file as the program would write it back, numbered.
    const auto lines = kv::ConfigLines(nav.fixInfo, nav.chartRef, nav.folders, settings);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::printf("%2zu\t%s\n", i + 1, lines[i].c_str());
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "config", "FILE.cfg: the 47 configuration lines as the program reads them",
    &RunConfig } };

} // namespace
