#include "app/CommandLine.h"

#include <cstdlib>

#ifndef KV_VERSION
#define KV_VERSION "unknown"
#endif

namespace kv {

namespace {

// A number of seconds, or false when the text is not one.
bool ParseSeconds(const std::string& text, double& out)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == nullptr || *end != '\0' || !(value >= 0.0)) {
        return false;
    }
    out = value;
    return true;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args, bool passSingleDashToQt)
{
    CommandLine cl;
    const auto fail = [&cl](std::string text) {
        if (cl.error.empty()) {
            cl.error = std::move(text);
        }
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            cl.help = true;
        } else if (a == "--version" || a == "-V") {
            cl.version = true;
        } else if (a == "--show-ais") {
            cl.showAis = true;
        } else if (a == "--course-up") {
            cl.courseUp = true;
        } else if (a == "--workdir" || a == "--screenshot" || a == "--after" || a == "--quit-after" || a == "--rings"
            || a == "--print-pdf") {
            if (!hasValue) {
                fail("option " + a + " needs a value");
                continue;
            }
            const std::string& value = args[++i];
            if (a == "--workdir") {
                cl.workdir = value;
            } else if (a == "--screenshot") {
                cl.screenshot = value;
            } else if (a == "--print-pdf") {
                cl.printPdf = value;
            } else if (a == "--rings") {
                double presses = 0.0;
                if (!ParseSeconds(value, presses) || presses != static_cast<int>(presses) || presses > 8) {
                    fail("option --rings needs a count from 0 to 8, not '" + value + "'");
                } else {
                    cl.rings = static_cast<int>(presses);
                }
            } else if (!ParseSeconds(value, a == "--after" ? cl.screenshotAfter : cl.quitAfter)) {
                fail("option " + a + " needs a number of seconds, not '" + value + "'");
            }
        } else if (a.rfind("--workdir=", 0) == 0) {
            cl.workdir = a.substr(10);
            if (cl.workdir.empty()) {
                fail("option --workdir needs a value");
            }
        } else if (a.size() > 1 && a[0] == '-' && a[1] != '-' && passSingleDashToQt) {
            cl.qtArguments.push_back(a);
        } else if (a.size() > 1 && a[0] == '-') {
            fail("unknown option '" + a + "'");
        } else if (cl.configArgument.empty()) {
            cl.configArgument = a;
        } else {
            fail("more than one configuration file given ('" + cl.configArgument + "' and '" + a + "')");
        }
    }
    return cl;
}

std::string ProgramVersion()
{
    return KV_VERSION;
}

std::string VersionText()
{
    return "kvfree " + ProgramVersion() + "\nA chart plotter for small vessels.\n";
}

std::string HelpText(const WorkingFolderChoice& folder)
{
    return "Usage: kvfree [OPTION]... [CONFIG-FILE]\n"
           "A chart plotter for small vessels: GPS and AIS from an NMEA 0183 serial link over vector charts.\n"
           "\n"
           "  CONFIG-FILE            the configuration file to read at start (default kelvw.cfg)\n"
           "      --workdir DIR      work in the folder DIR\n"
           "      --screenshot FILE  save a picture of the window to FILE (PNG) and quit\n"
           "      --after SECONDS    when to take the screenshot (default 3)\n"
           "      --show-ais         open the AIS target list before the screenshot\n"
           "      --rings N          press the AIS view's \"More range rings\" N times\n"
           "      --print-pdf FILE   print the active view to FILE (PDF, white paper) before the\n"
           "                         screenshot\n"
           "      --course-up        draw the first view course up\n"
           "      --quit-after SECONDS  quit after SECONDS through the ordinary quit sequence\n"
           "  -h, --help             show this help and exit\n"
           "  -V, --version          show the version and exit\n"
           "\n"
           "The working folder holds kelvw.cfg and the folders charts/, routes/, tides/ and logs/\n"
           "(the day's track, text and AIS logs); sound clips and the vessel database KVAIS.ADB lie\n"
           "in the folder itself. kvfree uses\n"
           "  1. the folder given with --workdir, or\n"
           "  2. the current folder when it holds kelvw.cfg (or the CONFIG-FILE given), or else\n"
           "  3. $XDG_DATA_HOME/kvfree (normally ~/.local/share/kvfree), made on the first start\n"
           "     with a copy of the demo charts.\n"
           "Working folder now: "
        + DescribeWorkingFolder(folder)
        + "\n"
          "\n"
          "Serial ports (COM n): the device the link dev/com<n> in the working folder points to, or\n"
          "else the n-th serial port of the system. Opening one needs membership of the group\n"
          "'dialout' (sudo adduser $USER dialout, then log in again).\n"
          "\n"
          "Exit status: 0 on success, 1 when the working folder cannot be used, 2 on a usage error.\n";
}

std::string AboutText(const std::string& workingFolder)
{
    return "KVFree " + ProgramVersion() + "\nA chart plotter for small vessels.\n\nWorking folder: " + workingFolder
        + "\n\n" + kDemoChartCredit;
}

} // namespace kv
