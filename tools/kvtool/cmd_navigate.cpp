// kvtool navigate: a headless voyage. The program's own controller starts in a working folder
// exactly as kvfree does (window creation, then the first one-second tick loading the configured
// chart and route), with the recording platform and no window; then one fix runs for each
// position sentence of an NMEA file, and every fix prints one JSON line with what the navigator
// would see.

#include "Command.h"

#include "app/MainController.h"
#include "core/Format.h"
#include "core/Json.h"
#include "core/TextFile.h"
#include "nmea/Talkers.h"
#include "platform/fake/Fakes.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>

namespace {

std::optional<kv::LocalDateTime> ParseClock(const std::string& text)
{
    // YYYY-MM-DDTHH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':') {
        return std::nullopt;
    }
    auto number = [&](std::size_t pos, std::size_t len) { return kv::ParseInt(text.substr(pos, len)); };
    const auto y = number(0, 4), mo = number(5, 2), d = number(8, 2), h = number(11, 2), mi = number(14, 2),
               s = number(17, 2);
    if (!y || !mo || !d || !h || !mi || !s || *mo < 1 || *mo > 12 || *d < 1 || *d > 31 || *h > 23 || *mi > 59
        || *s > 59) {
        return std::nullopt;
    }
    return kv::LocalDateTime { static_cast<int>(*y), static_cast<int>(*mo), static_cast<int>(*d), static_cast<int>(*h),
        static_cast<int>(*mi), static_cast<int>(*s), 0 };
}

void PrintFix(const kv::ProgramState& state, const std::string& prompt, const std::string& output)
{
    const kv::Display& d = state.display;
    std::string line;
    kv::JsonObject json(line);
    json.text("FixSource", state.fixInfo.FixSource.str());
    json.number("OwnLat", state.fixInfo.OwnLat);
    json.number("OwnLong", state.fixInfo.OwnLong);
    json.number("SOG", state.motion.SOG);
    json.integer("COG", state.motion.COG);
    json.number("RangeToWaypoint", state.routeProgress.RangeToWaypoint);
    json.number("BearingToWaypoint", state.routeProgress.BearingToWaypoint);
    json.number("XTE", state.routeProgress.XTE);
    json.integer("CourseToSteer", state.routeProgress.CourseToSteer);
    json.number("VMG", state.routeProgress.VMG);
    json.number("TimeToWaypoint", state.routeProgress.TimeToWaypoint);
    json.integer("ActiveWaypoint", state.routeProgress.ActiveWaypoint);
    json.text("WaypointName", state.routeTexts.WaypointText.str()); // the panel text, under its old key
    json.integer("LogCount", static_cast<long long>(state.quickLog.count()));
    json.number("TripDistance", state.motion.TripDistance);
    json.text("RngToWp", d.RngToWp);
    json.text("BearingToWP", d.BearingToWP);
    json.text("TimeToWP", d.TimeToWP);
    json.text("SpeedOG", d.SpeedOG);
    json.text("CourseOG", d.CourseOG);
    json.text("SpeedMG", d.SpeedMG);
    json.text("StatusLine", d.StatusLine);
    json.integer("XTerror", d.XTerror);
    json.text("XTerrorColour", d.XTerrorColour);
    json.text("Prompt", prompt);
    json.text("OutputText", output);
    json.close();
    std::printf("%s\n", line.c_str());
}

kv::LocalDateTime AddMilliseconds(kv::LocalDateTime t, long long ms)
{
    long long total = ((t.hour * 60LL + t.minute) * 60LL + t.second) * 1000LL + t.millisecond + ms;
    long long days = total / 86400000LL;
    total %= 86400000LL;
    t.millisecond = static_cast<int>(total % 1000);
    total /= 1000;
    t.second = static_cast<int>(total % 60);
    total /= 60;
    t.minute = static_cast<int>(total % 60);
    t.hour = static_cast<int>(total / 60);
    while (days-- > 0) {
        static const int kDays[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
        const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
        const int inMonth = kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0);
        if (++t.day > inMonth) {
            t.day = 1;
            if (++t.month > 12) {
                t.month = 1;
                ++t.year;
            }
        }
    }
    return t;
}

int RunNavigate(const kvtool::Args& args)
{
    std::string workDir;
    std::string nmeaFile;
    std::optional<kv::LocalDateTime> clock;
    int sentence = 0;
    bool voices = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--clock" && i + 1 < args.size()) {
            clock = ParseClock(args[++i]);
            if (!clock) {
                std::fprintf(stderr, "kvtool navigate: --clock wants YYYY-MM-DDTHH:MM:SS\n");
                return 2;
            }
        } else if (a == "--sentence" && i + 1 < args.size()) {
            const std::string kind = kv::ToUpperAscii(args[++i]);
            if (kind != "GGA" && kind != "RMC") {
                std::fprintf(stderr, "kvtool navigate: --sentence is GGA or RMC\n");
                return 2;
            }
            sentence = kind == "RMC" ? 1 : 0;
        } else if (a == "--voices") {
            voices = true;
        } else if (workDir.empty()) {
            workDir = a;
        } else if (nmeaFile.empty()) {
            nmeaFile = a;
        } else {
            workDir.clear();
            break;
        }
    }
    if (workDir.empty() || nmeaFile.empty()) {
        std::fprintf(stderr,
            "usage: kvtool navigate WORKDIR NMEAFILE [--clock YYYY-MM-DDTHH:MM:SS] [--sentence GGA|RMC] [--voices]\n");
        return 2;
    }
    const auto lines = kv::ReadTextLines(nmeaFile);
    if (!lines) {
        std::fprintf(stderr, "kvtool navigate: cannot read %s\n", nmeaFile.c_str());
        return 1;
    }

    kv::FakePlatform fakes;
    kv::SystemClock systemClock;
    fakes.clock.time = clock ? *clock : systemClock.now();
    fakes.serial.freeSpace = 1 << 20;
    kv::ProgramState state;
    kv::MainWindowHooks noWindow;
    kv::MainController program(state, fakes.platform, noWindow);
    program.FormCreate(workDir, "");
    program.SecsTimerTimer();
    if (program.ended()) {
        for (const auto& m : fakes.prompter.messages) {
            std::fprintf(stderr, "%s: %s\n", m.kind.c_str(), m.text.c_str());
        }
        return 1;
    }
    state.prefs.nmea.PositionSentence = sentence;
    // The navigator connects the receiver with the NMEA button; that ends dead reckoning, which a
    // configuration asking for it gets back through its menu item, as at the helm.
    const bool deadReckoning = state.settings.fix.DRMode;
    if (!state.nmeaLink.NmeaOpen) {
        program.nmea().OpenNmeaInterface();
    }
    if (deadReckoning && !state.settings.fix.DRMode) {
        program.fix().DRMode1Click();
    }
    // The voices are off as the program starts; asked for, both speak and the voyage records its
    // prompts, steering prompts only when the side of the track changes.
    if (voices) {
        state.prefs.Voice = true;
        state.prefs.WPVoice = true;
        state.prefs.Vfreq = true;
    }
    kv::FixCycle& cycle = program.fix();

    std::size_t messagesShown = 0;
    bool firstFix = true;
    for (const std::string& line : *lines) {
        fakes.serial.receive(line + "\r\n");
        const bool position = kv::IsChosenPositionSentence(line, state.prefs.nmea.PositionSentence);
        if (!position || line.size() >= kv::kRxBufferLimit) {
            continue;
        }
        // The fix timer fires right after the sentence; the clock runs on one fix period each
        // time, and a clip started at the last fix has ended in between.
        if (!firstFix) {
            fakes.clock.time = AddMilliseconds(fakes.clock.time, state.settings.fix.FixIntervalMs);
        }
        firstFix = false;
        fakes.sound.finish();
        fakes.serial.written.clear();
        cycle.FixTimerTimer();
        PrintFix(state, cycle.LastPrompt(), fakes.serial.written);
        for (; messagesShown < fakes.prompter.messages.size(); ++messagesShown) {
            std::fprintf(stderr, "%s: %s\n", fakes.prompter.messages[messagesShown].kind.c_str(),
                fakes.prompter.messages[messagesShown].text.c_str());
        }
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "navigate",
    "WORKDIR NMEAFILE [--clock YYYY-MM-DDTHH:MM:SS] [--sentence GGA|RMC] [--voices]: one JSON line per fix of a "
    "headless voyage",
    &RunNavigate } };

} // namespace
