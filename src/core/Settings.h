#pragma once
// The settings home, one rule for every value: Settings holds what the main configuration file
// (kelvw.cfg) carries; Preferences (core/Preferences.h) holds what the dialogs and menus edit but
// the file does not store. Each value has exactly one home. The navigation values of the file are
// grouped by topic (units, fix, vessel, route, nmea) so that a function takes the one group it
// reads; the other values (display colours, helper programs, vessel drawing dimensions, the last
// view) are plain fields.

#include "core/ShortString.h"

#include <cstdint>
#include <string>

namespace kv {

// The text-log field format the configuration reader always installs.
inline constexpr const char* kTextLogFormat = "@f,@d,@t,@p:3,@q,@c,@s,@v,@x,@y";
inline constexpr const char* kDefaultTextLogFormat = "@d,@f,@t,@p:3,@q,@c,@s,@v,@x,@y";

// Colours are RGB values as the file stores them: red in the low byte.
inline constexpr int kColourNavy = 0x800000;
inline constexpr int kColourWhite = 0xFFFFFF;

// Display units: distances are nautical miles × UnitFactor (1 nautical, 1.852 kilometres,
// 1.1508 statute miles).
struct UnitSettings {
    double UnitFactor = 1.0;
};

struct FixSettings {
    std::int16_t TimeZoneHours = 0; // hours added to UTC
    std::uint32_t FixIntervalMs = 10000;
    std::int16_t AverageFixes = 1; // fixes averaged for speed and course
    bool AutoChart = true;
    bool KeepTextLog = true; // also switched by the text-log button and AIS playback
    bool DRMode = false; // also left by opening the interface, removing a route, purge
    ShortString<33> NmeaStartMode = "Manual";
    ShortString<8> StartInDR;
};

struct VesselSettings {
    double BoatSpeed = 10.0; // knots through the water
    std::int16_t DRSpeedSource = 0;
    std::int16_t DRCourseSource = 0;
    // Antenna position relative to the vessel reference point (degrees; east × cos latitude),
    // also measured by locating the antenna.
    double AntennaNorth = 0.0;
    double AntennaEast = 0.0;
};

struct RouteSettings {
    double ArrivalRadius = 0.2; // nautical miles
    double XTEDeadband = 0.05; // nautical miles
};

struct NmeaSettings {
    std::uint32_t ComPortNumber = 1;
    std::uint32_t BaudRate = 38400;
    bool NMEAOutputOn = true;
};

struct Settings {
    // The navigation values, grouped so that a function takes the one group it reads.
    UnitSettings units;
    FixSettings fix;
    VesselSettings vessel;
    RouteSettings route;
    NmeaSettings nmea;

    double ViewZoom = 0.03125; // zoom of the first view (line 4)
    int PositionDisplayMode = -1; // -1 latitude/longitude, 0 … the grid index
    std::string TextLogFormat = kDefaultTextLogFormat;
    std::string RouteName; // route loaded at start, without folder or ".rte"
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
    std::string TextLogViewerPath; // a viewer counts as chosen when not empty
    std::string AISLogViewerPath;
};

} // namespace kv
