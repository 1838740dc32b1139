#pragma once
// The user's switches as typed fields: what the preferences dialog edits beyond the values the
// configuration file and the navigation state already carry, and the switches the menus toggle.
// The model owns one Preferences (ProgramState::prefs); subsystems read the fields, and the
// window only mirrors them as check marks. None of these is stored in kelvw.cfg: every start
// begins with the initial values below, which are those of the dialogs' check boxes.
//
// Each field names the dialog control (or menu item) that edits it and its caption.

#include <array>

namespace kv {

// "On Completion of route ...": what happens when the last waypoint is passed.
enum class RouteCompletion {
    NormalMode, // "Normal - Prompt for next waypoint"
    Reverse,    // "Reverse current route"
    RepRoute,   // "Repeat current route"
};

struct Preferences {
    // Page "Nav": route completion and the voices. (The "Reversed route" box stores
    // NavState::RouteReversed, which the fix cycle also turns when a route is reversed at its end.)
    RouteCompletion OnRouteCompletion = RouteCompletion::NormalMode; // `NormalMode`, `Reverse`, `RepRoute` radio buttons
    bool Voice = false;    // `Voice` "XTE Voice -": spoken steering instructions (left, right, on track)
    bool WPVoice = false;  // `WPVoice` "WP Voice": the approach and end-of-route prompts
    bool Vfreq = false;    // `Vfreq` "Only on change": steer prompts only when the side of the track changes
    bool AISvoice = false; // `AISvoice` "AIS New Target Announcement Voice"

    // Page "Chart".
    bool HeadUp = false;    // `HeadUp` "Heading Up While Navigating": rotate the views to the course
    bool NoOffsets = false; // `NoOffsets` "Display Survey Log Without Offsets" (hidden box)

    // Switches of the main menus.
    bool DOSWPTformat = false;    // Edit, "DOS &WPT format": every waypoint save also writes the .wps file
    bool ShowNMEA = false;        // NMEA, "Show raw &NMEA": received sentences shown in the status line
    bool ProcAis = true;          // NMEA, "Process &AIS Data": "!AIVDM" sentences are decoded
    bool ChartAppendMode = false; // File, "Chart &Append": an opened chart is added to the one loaded
};

// Window names of the menu commands that toggle the switches above.
inline constexpr const char* kDOSWPTformat = "DOSWPTformat";
inline constexpr const char* kShowNMEAControl = "ShowNMEA";
inline constexpr const char* kProcAisControl = "ProcAis";
inline constexpr const char* kChartAppendControl = "ChartAppendMode";

// The main-window commands whose check mark is a Preferences switch. The window sets these
// marks from the record after every operation; the operations change only the record.
struct SwitchCommand {
    const char* control;
    bool Preferences::*field;
};

inline constexpr std::array<SwitchCommand, 4> kSwitchCommands{{
    {kDOSWPTformat, &Preferences::DOSWPTformat},
    {kShowNMEAControl, &Preferences::ShowNMEA},
    {kProcAisControl, &Preferences::ProcAis},
    {kChartAppendControl, &Preferences::ChartAppendMode},
}};

} // namespace kv
