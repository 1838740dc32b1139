#pragma once
// Settings kept in the main configuration file that are not navigation state: display colours,
// helper programs, vessel drawing dimensions and the last view. The navigation settings of the
// file live in NavState itself (one source of truth for each value).

#include "core/ShortString.h"

#include <string>

namespace kv {

// The text-log field format the configuration reader always installs.
inline constexpr const char* kTextLogFormat = "@f,@d,@t,@p:3,@q,@c,@s,@v,@x,@y";
inline constexpr const char* kDefaultTextLogFormat = "@d,@f,@t,@p:3,@q,@c,@s,@v,@x,@y";

// Colours are RGB values as the file stores them: red in the low byte.
inline constexpr int kColourNavy = 0x800000;
inline constexpr int kColourWhite = 0xFFFFFF;

struct Settings {
    double ViewZoom = 0.03125;       // zoom of the first view (line 4)
    int PositionDisplayMode = -1;    // -1 latitude/longitude, 0 … the grid index
    std::string TextLogFormat = kDefaultTextLogFormat;
    std::string RouteName;           // route loaded at start, without folder or ".rte"
    int ChartBackColour = kColourNavy;
    int ChartForeColour = kColourWhite;
    int GridForeIndex = 15;
    int GridBackIndex = 4;
    int ColourScheme = 0;
    bool TextColourFG = false;
    bool TrackColourFG = false;
    bool TideColourFG = false;
    // NMEA server program lines, carried from file to file unchanged.
    ShortString<33> NmeaServerName = "Seabridge3";
    ShortString<33> NmeaServerInput = "NMEA";
    ShortString<33> NmeaServerOutput = "COMBINED";
    std::string NmeaServerPath = ".\\Seabridge3.exe";
    // Vessel drawing dimensions of the view rendering (metres). Lines 30 and 31 are read and then
    // replaced by 100 and 20.0 at start-up.
    int VesselDrawDimA = 0;
    double VesselDrawDimB = 0.0;
    double VesselOutlineDimA = 1.0;
    double VesselOutlineDimB = 1.0;
    double PreferenceValue40 = 0.0;
    double VesselLength = 10.0;
    double PreferenceValue42 = 0.0;
    std::string TextLogViewerPath;   // a viewer counts as chosen when not empty
    std::string AISLogViewerPath;
};

} // namespace kv
