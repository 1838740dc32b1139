#pragma once
// The user's switches as typed fields: what the preferences dialog and the menus edit but the
// configuration file does not store (what kelvw.cfg carries lives in Settings, core/Settings.h;
// each value has one home). The model owns one Preferences (ProgramState::prefs); subsystems read
// the fields, and the window only mirrors them as check marks. Every start begins with the initial
// values below, which are those of the dialogs' check boxes.
//
// Each field names the dialog control (or menu item) that edits it and its caption.

#include "core/Controls.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

// "On Completion of route ...": what happens when the last waypoint is passed.
enum class RouteCompletion {
    NormalMode, // "Normal - Prompt for next waypoint"
    Reverse, // "Reverse current route"
    RepRoute, // "Repeat current route"
};

// Display units beyond the stored factor (Settings::UnitSettings).
struct UnitPreferences {
    bool KnotsAlways = true; // speeds stay in knots whatever the distance unit
    bool DecimalStyle = true; // decimal minutes and lettered grid references
};

struct FixPreferences {
    bool UseGpsTime = true; // also forced by AIS monitor and playback
    std::uint16_t RedrawEveryFixes = 1;
    std::int16_t RepRate = 1; // a text-log line every this many fixes
    std::int16_t HeadUpDeadBand = 0; // degrees
    std::int16_t DisposalStep = 2; // quick-log thinning step
};

struct RoutePreferences {
    bool AutoNextWaypoint = true;
    bool TowNavigation = false; // range and bearing from the tow position
};

// Output sentences: which autopilot sentences go out at each fix, the sentence taken as the
// position source (0 "GGA", 1 "RMC") and the user's own template.
struct NmeaPreferences {
    int PositionSentence = 0;
    bool sendAPB = true, sendXTE = true, sendHSC = true, SendBOD = true;
    bool sendBWR = false, SendRMB = false, SendVTG = false, SendCustom = false;
    std::string CustomNMEA;
};

struct TidePreferences {
    bool AtlasTide = true; // the stream comes from the atlas, not the manual set and drift
    std::int16_t HighWaterHour = 12;
    std::int16_t HighWaterMinute = 0;
    std::int16_t Tset = 0; // manual set, degrees true
    std::int16_t TDrift = 0; // manual drift, tenths of a knot
};

struct Preferences {
    // Values of the dialogs' pages, grouped as the settings are.
    UnitPreferences units;
    FixPreferences fix;
    RoutePreferences route;
    NmeaPreferences nmea;
    TidePreferences tide;

    // Page "Nav": route completion and the voices. (The "Reversed route" box stores
    // RouteProgress::RouteReversed, which the fix cycle also turns when a route is reversed at its end.)
    RouteCompletion OnRouteCompletion
        = RouteCompletion::NormalMode; // `NormalMode`, `Reverse`, `RepRoute` radio buttons
    bool Voice = false; // `Voice` "XTE Voice -": spoken steering instructions (left, right, on track)
    bool WPVoice = false; // `WPVoice` "WP Voice": the approach and end-of-route prompts
    bool Vfreq = false; // `Vfreq` "Only on change": steer prompts only when the side of the track changes
    bool AISvoice = false; // `AISvoice` "AIS New Target Announcement Voice"

    // Page "Chart".
    bool HeadUp = false; // `HeadUp` "Heading Up While Navigating": rotate the views to the course
    bool NoOffsets = false; // `NoOffsets` "Display Survey Log Without Offsets" (hidden box)

    // Switches of the main menus.
    bool DOSWPTformat = false; // Edit, "DOS &WPT format": every waypoint save also writes the .wps file
    bool ShowNMEA = false; // NMEA, "Show raw &NMEA": received sentences shown in the status line
    bool ProcAis = true; // NMEA, "Process &AIS Data": "!AIVDM" sentences are decoded
    bool ChartAppendMode = false; // File, "Chart &Append": an opened chart is added to the one loaded
};

// The main-window commands whose check mark is a Preferences switch. The window sets these
// marks from the record after every operation; the operations change only the record.
struct SwitchCommand {
    Control control;
    bool Preferences::*field;
};

inline constexpr std::array<SwitchCommand, 4> kSwitchCommands { {
    { Control::DOSWPTformat, &Preferences::DOSWPTformat },
    { Control::ShowNMEA, &Preferences::ShowNMEA },
    { Control::ProcAis, &Preferences::ProcAis },
    { Control::ChartAppendMode, &Preferences::ChartAppendMode },
} };

} // namespace kv
