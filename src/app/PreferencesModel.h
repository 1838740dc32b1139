#pragma once
// The "Preferences" dialog without its widgets: the values of its ten pages (filled from the
// settings when it opens), the controls whose click acts at once, and what OK stores, in the
// order the settings are applied. The Qt dialog only mirrors PreferencesFields and forwards clicks.
//
// Four clicks take effect at once and are not undone by Cancel: the distance unit, the colour
// grid (also when a colour scheme sets it), "Use" under "Enter Local Tide" and "WP Voice". Each
// replaces one setting by another the user can choose again, so Cancel loses nothing stored.

#include "core/Preferences.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

class MainController;

inline constexpr const char* kPositionOmitted = "You omitted position from the log format - it will be added!";
inline constexpr const char* kComPortChangesLater
    = "COM Port changes will not be applied until NMEA I/F is closed and re-opened !";
inline constexpr const char* kLogFormatChanged = "Log format has changed ! Overwrite the log file ?";
// Status line after the day's text log was set aside for a new format.
inline constexpr const char* kOldTextLogKept = "Old text log kept as ";
inline constexpr const char* kOldTextLogNotKept = "Text log could not be set aside, format not changed: ";
inline constexpr const char* kPositionPrefix = "@p:5,";

// The pages in tab order. "AIS Safety" edits settings of kvfree.ini (core/ExtraSettings.h).
inline constexpr std::array<const char*, 11> kPreferencesPages { "Colour", "Units", "Nav", "Tide", "Chart", "Log", "DR",
    "Stats", "Auto", "NMEA", "AIS Safety" };
inline constexpr const char* kExtraSettingsNotWritten = "AIS Safety settings could not be written to ";
// Limits of the collision warning, as kvfree.ini accepts them.
inline constexpr double kCpaLimitMaxNm = 100.0;
inline constexpr double kTcpaLimitMaxMin = 1440.0;
inline constexpr int kGpsLostMaxSeconds = 3600;
inline constexpr double kOffTrackMaxNm = 9.99;

// "Coastline / Background Colour".
inline constexpr std::array<const char*, 5> kColourSchemes { "KV Windows", "KV Classic", "White on Black",
    "Black on White", "Custom" };
inline constexpr int kCustomScheme = 4;

// The colour grid's 16 entries as 0xRRGGBB: black, maroon, green, olive, navy, purple, teal,
// silver, grey, red, lime, yellow, blue, fuchsia, aqua, white.
inline constexpr std::array<std::uint32_t, 16> kGridPalette { 0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
    0x800080, 0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF };
// Grid entry `index` (clamped to 0 … 15) in the form the configuration file stores (red low).
int ConfigColourOfGridIndex(int index);

// "Position Display Mode" captions, from -1 ("Lat/Long") to 8.
inline constexpr std::array<const char*, 10> kPositionModes { "Lat/Long", "British Grid", "UTM Intl. 1924", "Bessel",
    "Clarke 1866", "Clarke 1880", "Everest", "Australian 1967", "UTM WGS 1972", "UTM WGS 1984" };

enum class DistanceUnit { Naut, Kilo, Stat };
inline constexpr double kKilometreFactor = 1.852;
inline constexpr double kStatuteFactor = 1.15081;
double UnitFactorOf(DistanceUnit unit);
// The radio button a stored factor selects: below 1.1 nautical, above 1.8 kilometres, else statute.
DistanceUnit DistanceUnitOf(double unitFactor);

// Range and step of each spin field, by control name.
struct SpinSpec {
    const char* name;
    int min;
    int max;
    int step;
};
inline constexpr std::array<SpinSpec, 17> kPreferencesSpins { {
    { "CapDist", 0, 100, 1 },
    { "Deadband", 0, 100, 1 },
    { "HWhour", 0, 23, 1 },
    { "HWMin", 0, 59, 1 },
    { "Vspeed", 0, 1000, 1 },
    { "Tset", 0, 360, 45 },
    { "TDrift", 0, 100, 1 },
    { "LatOffs", -10000, 10000, 1 },
    { "LongOffs", -10000, 10000, 1 },
    { "ViewAngle", 0, 359, 1 },
    { "HUPdeadB", 0, 90, 1 },
    { "RepRate", 1, 100, 1 },
    { "PBspeed", 1, 50, 1 },
    { "Spoints", 0, 1000000, 1 },
    { "Enumber", 0, 1000000, 1 },
    { "Variation", -40, 40, 1 },
    { "COMno", 1, 15, 1 },
} };
const SpinSpec& SpinRange(const std::string& name);

// The values of every control, named after the controls.
struct PreferencesFields {
    // Colour
    int Defaults = 0;
    int GlobalColorFG = 15;
    int GlobalColorBG = 4;
    bool TextColourFG = false, TrackColourFG = false, TideColourFG = false;
    // Units
    DistanceUnit Unit = DistanceUnit::Naut;
    bool KnAlways = true;
    int PositionMode = -1;
    // Nav
    bool WP_auto = true;
    int CapDist = 20;
    int Deadband = 5;
    RouteCompletion Completion = RouteCompletion::NormalMode;
    bool RevRoute = false;
    bool Voice = false, WPVoice = false, Vfreq = false, AISvoice = false;
    // Tide
    int HWhour = 12, HWMin = 0;
    int Vspeed = 6;
    bool ManTide = false;
    int Tset = 0, TDrift = 0;
    // Chart
    int LatOffs = 0, LongOffs = 0;
    bool ALmode = false;
    int ViewAngle = 0;
    bool HeadUp = false;
    int HUPdeadB = 0;
    bool NoOffsets = false;
    // Log
    std::string LogParse = "@f,@t,@p:3,@q,@c,@s";
    bool KeepTextLog = false;
    int RepRate = 1;
    bool KeepLog = true; // "Intelligent Log Disposal"; false: "Discard old fixes if log is full "
    int PBspeed = 1;
    std::string BrowserPath;
    // DR
    int Mspeed = 0, Mcourse = 0;
    // Stats (the two counters; the rest is PreferencesStats)
    int Spoints = 0, Enumber = 0;
    // Auto
    bool NMEAOutputOn = false;
    bool sendAPB = true, sendXTE = true, sendHSC = true, SendBOD = true;
    bool sendBWR = false, SendVTG = false, SendRMB = false;
    int Variation = -4;
    bool SendCustom = false;
    std::string CustomNMEA;
    // NMEA
    int COMno = 1;
    int Rate = 0; // 0 "4800 NMEA", 1 "38400 HS-NMEA"
    bool AutoLaunch = false;
    int Sent = 0; // 0 "GGA", 1 "RMC"
    // AIS Safety
    bool ClassBAndAtoNTargets = false;
    bool CollisionWarnings = false;
    bool NightPalette = false; // kvfree.ini, shown on the Colour page
    bool CollisionAlarm = false;
    double CpaLimitNm = 0.5;
    double TcpaLimitMin = 12.0;
    // Alarms
    bool GpsLostAlarm = false;
    int GpsLostSeconds = 10;
    bool ArrivalAlarm = false;
    double OffTrackNm = 0.0;
    int AnchorRadiusM = 30;
    bool LargeNavFigures = false; // the navigation panel's figures in twice the size

    friend bool operator==(const PreferencesFields&, const PreferencesFields&) = default;
};

// What the "Stats" page shows.
struct PreferencesStats {
    int chartPoints = 0;
    std::string layerMask;
    int waypoints = 0;
    int tideDiamonds = 0;
    int routeWaypoints = 0;
    int quickLog = 0;
    long aisDatabase = 0;
    int aisTargets = 0;
    // Received sentences thrown away because they came faster than they could be used.
    unsigned long long droppedSentences = 0;
};

// The format with "@p:5," in front when it names no position ("@p" or "@P").
bool FormatHasPosition(const std::string& format);

// The name a text log is set aside under: "<folder><base>-<n><extension>".
std::string SetAsideName(const std::string& path, int n);

// Sets the grid and the three "=FG" boxes of a colour scheme; "Custom" keeps the grid and clears
// the boxes.
void ApplyColourScheme(PreferencesFields& fields, int scheme);

class PreferencesModel {
public:
    explicit PreferencesModel(MainController& controller);

    PreferencesFields fields;
    PreferencesStats stats;
    int page = 0;

    // GlobalViewClick's filling: every control from the current settings, the Stats counts.
    void Fill();
    // The Stats counts again (the page follows the tables while the dialog is open).
    void FillStats();

    // Enabling of controls that depend on others.
    bool GlobalColorEnabled() const { return fields.Defaults == kCustomScheme; }
    bool CapDistEnabled() const { return fields.WP_auto; }
    bool ManualTideEnabled() const { return fields.ManTide; } // Tset, TDrift, their labels, AvTide
    bool SentenceBoxesEnabled() const { return fields.NMEAOutputOn; }
    bool CountersEnabled() const; // Spoints, Enumber: stored only in this case
    bool CollisionAlarmEnabled() const { return fields.CollisionWarnings; }

    // Page handlers.
    void TabSetClick(int tab);
    void SpeedButton1Click(); // "&Page>": the next page, after the last the first
    void DefaultsClick(int scheme);
    void GlobalColorChange(int foreground, int background);
    void UnitClick(DistanceUnit unit); // NautClick, KiloClick, StatClick
    void WP_autoClick(bool on);
    void RevRouteClick(bool on);
    void CompletionClick(RouteCompletion completion); // NormalMode, Reverse, RepRouteClick
    void WPVoiceClick(bool on);
    void ManTideClick(bool on);
    void AvTideClick();
    void Cht2WGS84Click();
    void NMEAOutputOnClick(bool on);
    // Writes the source address of COM `COMno` in the working folder at once (a network source,
    // or a device path); a bad address is refused with its reason.
    void SetSourceClick(const std::string& address);

    // OK: the position check of the log format, then every setting applied. Always true: the
    // dialog closes.
    bool OKBtnClick();

private:
    void Apply();
    void ApplyLogFormat();
    void ApplyAisSafety();
    void RedrawAfterImmediateChange();

    MainController& c_;
    // The values as filled, so that a spin field left alone keeps the exact value behind it (a
    // hull speed of 6.5 kn is not rounded to 6 by pressing OK).
    PreferencesFields filled_;
};

} // namespace kv
