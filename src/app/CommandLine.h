#pragma once
// kvfree's command line: the options, the --help and --version texts and the About text.

#include "app/WorkingFolder.h"

#include <string>
#include <vector>

namespace kv {

struct CommandLine {
    bool help = false;
    bool version = false;
    std::string error; // not empty: a usage error (exit status 2)
    std::string configArgument; // the optional configuration file
    std::string workdir; // --workdir DIR
    std::string screenshot; // --screenshot FILE
    double screenshotAfter = 3.0;
    double quitAfter = -1.0;
    bool showAis = false;
    int rings = 0; // --rings N: press the AIS view's "More range rings" N times
    std::string printPdf; // --print-pdf FILE: print the active view to FILE before the screenshot
    bool courseUp = false; // --course-up: the first view drawn course up
    // Arguments beginning with a single "-" that are not ours: left to Qt's own options
    // (-platform, -style, ...) when `passSingleDashToQt` is set.
    std::vector<std::string> qtArguments;
};

// `args` without the program name.
CommandLine ParseCommandLine(const std::vector<std::string>& args, bool passSingleDashToQt);

// The program's version, from the build's project version.
std::string ProgramVersion();

std::string VersionText();
std::string HelpText(const WorkingFolderChoice& folder);
// The demo charts' data credit, which their licence asks to be shown where the program names itself.
inline constexpr const char* kDemoChartCredit
    = "Demo charts: world from Natural Earth (public domain); Solent coastline \u00a9 OpenStreetMap contributors, "
      "ODbL (openstreetmap.org/copyright).";
std::string AboutText(const std::string& workingFolder);

} // namespace kv
