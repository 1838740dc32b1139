#pragma once
// The one navigation state of the program. Positions are decimal degrees, latitude north
// positive, longitude WEST positive; distances nautical miles and speeds knots unless a field
// says display units. Field names are the program's own, so every operation that reads or writes
// one can be found with a grep.

#include "core/ShortString.h"

#include <cstdint>
#include <string>

namespace kv {

inline constexpr std::size_t kPathCapacity = 4096;
inline constexpr double kDefaultOwnLat = -16.780192674;
inline constexpr double kDefaultOwnLong = -41.779279083;

struct NavState {
    // Position and fix
    double OwnLat = kDefaultOwnLat;
    double OwnLong = kDefaultOwnLong;
    double SentenceLat = 0.0;
    double SentenceLong = 0.0;
    bool PositionValid = false;
    ShortString<8> FixSource;
    std::string FixTimeText;
    ShortString<1> FixQuality;
    double Hdop = 0.0;
    ShortString<8> SatellitesText;
    double PositionError = 0.0;
    std::int16_t MagVariation = 0; // west negative
    bool EventSentence = false;
    ShortString<33> ExtraField1, ExtraField2, ExtraField3, ExtraField4, ExtraField5, ExtraField6,
        ExtraField7, ExtraField8, ExtraField9, ExtraField0;
    double ChartLatOffset = 0.0;
    double ChartLongOffset = 0.0;
    double CosLatFactor = 1.0;

    // Time
    double FixMinutes = 0.0;
    std::uint16_t FixHour = 0, FixMinute = 0, FixSecond = 0;
    ShortString<33> FixTimeString;
    double FixTimeValue = 0.0; // days
    ShortString<33> FixDateText; // "dd-mm-yy", base name of the day's logs
    std::int16_t TimeZoneHours = 0;
    bool UseGpsTime = true;
    std::uint32_t FixIntervalMs = 10000;
    std::int16_t AverageFixes = 1;
    std::uint16_t RedrawEveryFixes = 1;

    // Motion
    double SOG = 0.0;
    double SOGShown = 0.0;
    std::int16_t COG = 0;
    double COGValue = 0.0;
    double LastLegDistance = 0.0; // display units
    double TripDistance = 0.0;
    double BoatSpeed = 10.0;
    double DRSpeed = 10.0;
    double DRCourse = 0.0;
    std::int16_t DRSpeedSource = 0;
    std::int16_t DRCourseSource = 0;
    double DRLat = 0.0;
    double DRLong = 0.0;

    // Units
    double UnitFactor = 1.0;
    bool KnotsAlways = true;

    // Route following
    std::int16_t RouteLength = 0;
    std::int16_t ActiveWaypoint = 0;
    bool RouteReversed = false;
    bool AutoNextWaypoint = true;
    double ArrivalRadius = 0.2;
    double XTE = 0.0;
    double XTEDeadband = 0.05;
    double RangeToWaypoint = 0.0; // display units
    double RangeToWaypointNm = 0.0;
    double BearingToWaypoint = 0.0;
    double LegBearing = 0.0;
    std::int16_t CourseToSteer = -1;
    double VMG = 0.0;
    double TimeToWaypoint = 0.0; // hours; -1 unreachable at VMG, -2 stream stronger than the boat
    ShortString<33> WaypointName;
    bool TowNavigation = false;

    // Modes and switches
    bool NmeaOpen = false;
    bool DRMode = false;
    bool ManualFix = false;
    ShortString<33> NmeaStartMode = "Manual";
    ShortString<8> StartInDR;
    std::uint32_t ComPortNumber = 1;
    std::uint32_t BaudRate = 38400;
    int PositionSentence = 0; // 0 "GGA", 1 "RMC"
    bool AutoChart = true;
    bool KeepTextLog = true;
    bool NMEAOutputOn = true;
    bool SoundIdle = true;
    bool ApproachPending = false;
    bool SelectPromptPending = false;
    bool LogEmpty = true;
    bool DecimalStyle = true; // decimal minutes and lettered grid references; not stored
    bool AISPlayback = false; // an AIS log is being played

    // Tidal stream at the vessel
    std::int16_t TideSet = 0;
    double TideRate = 0.0;
    std::int16_t TidalHour = 0;
    std::int16_t HighWaterHour = 12;
    std::int16_t HighWaterMinute = 0;
    std::int16_t NearestDiamond = 0;
    bool AtlasTide = true;     // the stream comes from the atlas, not the manual set and drift
    std::int16_t TideStep = 0; // hour shown by the tide step button, -6 … +6
    std::int16_t Tset = 0;     // manual set (degrees) and drift (tenths of a knot)
    std::int16_t TDrift = 0;

    // Route editing
    bool RouteListChanged = false;   // the waypoint name list is rebuilt on the next tick
    bool KeepActiveWaypoint = false; // that rebuild keeps ActiveWaypoint
    bool WaypointSnap = false;       // new route waypoints snap to the nearest chart waypoint

    // Quick-log thinning
    std::int16_t DisposalStep = 2;
    std::int16_t DropIndex = 2;
    std::int16_t DropCounter = 0;

    // Sentence buffers
    std::string RxBuffer;
    std::string LastPositionSentence;
    std::string CurrentSentence;
    std::string LastAisSentence;
    bool DataArriving = false;
    // Received sentences dropped because their checksum did not match.
    std::uint32_t RejectedSentences = 0;

    // Counters
    std::uint16_t EventNumber = 0;
    std::uint16_t TextLogFixCount = 0;
    std::int16_t TextLogCountdown = 0;
    std::uint16_t RedrawCountdown = 0;

    // Antenna position relative to the vessel reference point (degrees; east × cos latitude)
    double AntennaNorth = 0.0;
    double AntennaEast = 0.0;
    bool AntennaPending = false;

    // Output sentences: switches of the autopilot sentences, the user's own template and the
    // sentences built at the last fix (each ending in CR LF).
    bool sendAPB = true, sendXTE = true, sendHSC = true, SendBOD = true;
    bool sendBWR = false, SendRMB = false, SendVTG = false, SendCustom = false;
    std::string CustomNMEA;
    std::string OutputText;

    // Directories end in "/"; ChartName is the chart named in the configuration.
    // The classic program cut folders at 80 characters; a Linux path is often longer and a cut one
    // points somewhere else, so folders are kept whole (up to the system's path limit).
    ShortString<kPathCapacity> AppDir;
    ShortString<kPathCapacity> LogDir;
    ShortString<kPathCapacity> ChartDir;
    std::string ChartName = "world";

    // Route following: the stream at the vessel and the texts the panels and the output
    // sentences read after each fix.
    double TideCross = 0.0;         // kn, across the bearing line
    double TideAlong = 0.0;         // kn, along the bearing line
    double WaterSpeedShown = 0.0;   // kn
    double CourseToSteerExact = -1.0; // course to steer before rounding, degrees
    ShortString<33> PreviousWaypointName;
    ShortString<33> ArrivalFlagText;
    ShortString<33> XTEScaleText;
    ShortString<33> BearingText, CourseToSteerText, COGText, COGMagText, RangeText,
        TimeToWaypointText, VMGText, SOGText, XTEText;
    double TowLat = 0.0;            // tow position, chart datum
    double TowLong = 0.0;

    // Fix cycle
    std::string LastEventSentence;
    double ViewAngle = 0.0;         // radians, heading-up rotation of the views
    double ViewAngleCos = 1.0;
    double ViewAngleSin = 0.0;
    std::int16_t RepRate = 1;       // a text-log line every this many fixes
    std::int16_t HeadUpDeadBand = 0; // degrees

    // Log set in use
    ShortString<32> LogNameBase;
    std::string TextLogFileFormat;
};

struct LatLong {
    double lat = 0.0;
    double lon = 0.0; // west positive
    friend bool operator==(const LatLong&, const LatLong&) = default;
};

// Chart datum = (lat + ChartLatOffset, long - ChartLongOffset); the state holds receiver datum.
LatLong ChartDatumFromState(const NavState& nav, LatLong state);
LatLong StateFromChartDatum(const NavState& nav, LatLong chart);

// Display units: distance = nm × UnitFactor; speed = kn × UnitFactor unless KnotsAlways.
double DistanceInDisplayUnits(const NavState& nav, double nauticalMiles);
double SpeedInDisplayUnits(const NavState& nav, double knots);

// Unit labels follow the factor by thresholds, not the user's choice: < 1.1 nautical,
// > 1.2 kilometres, 1.0 < f < 1.8 statute (later tests override earlier ones).
std::string DistanceUnitLabel(const NavState& nav);
std::string SpeedUnitLabel(const NavState& nav);

// The track starts again after the quick log is emptied: the log is marked empty, the thinning
// of old records restarts and the trip and last-leg distances go back to zero, so that the next
// fix does not add the old trip back.
void RestartTrack(NavState& nav);

} // namespace kv
