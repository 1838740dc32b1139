#pragma once
// What the main window shows, held as plain data so that every operation's visible effect can be
// asserted without a window. Core operations write it; the Qt layer mirrors it after each one.

#include "core/Controls.h"

#include <map>
#include <string>
#include <vector>

namespace kv {

struct TimerState {
    bool enabled = false;
    unsigned intervalMs = 0;
    bool running() const { return enabled && intervalMs > 0; }
};

struct Display {
    std::string StatusLine;
    std::string PosnPanel;
    std::string TimePanel;

    // GPS indicator: text, colour ("red", "lime", "silver" or "" while the text is empty), hint.
    std::string GPSIndicatorText;
    std::string GPSIndicatorColour;
    std::string GPSIndicatorHint;

    // Navigation panel
    std::string RngToWp;
    std::string BearingToWP;
    std::string TimeToWP;
    std::string SpeedOG;
    std::string CourseOG;
    std::string SpeedMG;
    std::string Trip = "0.00 Nm";
    std::string XTEScale;
    int XTerror = 0; // gauge value
    std::string XTerrorColour = "white"; // "red", "white" or "lime"
    // The route waypoint list (labels) and its selected entry (-1 none).
    std::vector<std::string> WPNameItems;
    int WPNameIndex = -1;

    // Check marks, enabled flags and hints ("short|long") of the controls written so far; a
    // control not written keeps what the window gives it. Check marks of the user's switches are
    // not here: the window takes them from Preferences.
    std::map<Control, bool> checked;
    std::map<Control, bool> enabled;
    std::map<Control, std::string> hints;

    TimerState FixTimer;
    TimerState SecsTimer { true, 1000 };
    TimerState AISPlayTimer { false, 500 };

    // Empties the navigation panel's readouts and the GPS indicator (the gauge and trip stay).
    void ClearNavDisplay()
    {
        RngToWp.clear();
        BearingToWP.clear();
        TimeToWP.clear();
        SpeedOG.clear();
        CourseOG.clear();
        SpeedMG.clear();
        GPSIndicatorText.clear();
        GPSIndicatorColour.clear(); // no colour while the text is empty
    }

    bool isChecked(Control c) const
    {
        const auto it = checked.find(c);
        return it != checked.end() && it->second;
    }
    bool isEnabled(Control c) const
    {
        const auto it = enabled.find(c);
        return it != enabled.end() && it->second;
    }
    std::string hint(Control c) const
    {
        const auto it = hints.find(c);
        return it == hints.end() ? std::string() : it->second;
    }
};

} // namespace kv
