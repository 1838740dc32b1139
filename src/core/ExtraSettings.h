#pragma once
// Settings beyond the 47 lines of kelvw.cfg, which keeps its layout unchanged. They live in
// kvfree.ini in the working folder (INI format), are read once at start and written whenever one
// of them changes. The defaults below are the one place they are defined: with them the program
// behaves exactly as it does without the file.

#include <string>

namespace kv {

inline constexpr const char* kExtraSettingsFile = "kvfree.ini";

struct ExtraSettings {
    // "Class B and AtoN targets": messages 18, 19, 21 and 24 make and update targets.
    bool ClassBAndAtoNTargets = false;
    // A moving target is dangerous when its closest approach is nearer than CpaLimitNm and lies
    // between now and TcpaLimitMin minutes ahead.
    double CpaLimitNm = 0.5;
    double TcpaLimitMin = 12.0;
    // "Collision warnings": dangerous moving targets are drawn in red with their track to the
    // closest point and named in the status line. Off keeps the target display as it always was.
    bool CollisionWarnings = false;
    // A sound once per encounter with a dangerous target (only while the warnings are on).
    bool CollisionAlarm = false;
    // "Large navigation figures": the figures of the navigation panel in twice the font size,
    // to be read from the helm. Off keeps the panel's ordinary look.
    bool LargeNavFigures = false;
    // The day's AIS log grows to at most AisMaxLogMB megabytes (of 1,048,576 bytes); AIS logging
    // also pauses while less than AisMinFreeMB are free on the log disk, so that the track logs
    // and the settings can always be written. A flood of AIS reports fills neither.
    int AisMaxLogMB = 500;
    int AisMinFreeMB = 200;
    // Alarms in the alarm bar, each to be acknowledged. A dangerous target is listed while the
    // collision warnings are on (its sound follows CollisionAlarm); the others are off until
    // switched on. "GPS fix lost": no valid position for GpsLostSeconds; "Arrival": entering the
    // waypoint change circle; "Off track": |XTE| above OffTrackNm (0: off).
    bool GpsLostAlarm = false;
    int GpsLostSeconds = 10;
    bool ArrivalAlarm = false;
    double OffTrackNm = 0.0;
    // The anchor watch: "Drop Anchor" stores the anchor here, so that it survives a restart;
    // a fix outside the circle raises "Anchor drag". Longitude west positive.
    int AnchorRadiusM = 30;
    bool AnchorSet = false;
    double AnchorLat = 0.0;
    double AnchorLong = 0.0;
    // The AIS view starts with its targets shown, and its AIS button no longer opens and closes
    // the target text window (that window keeps its own command).
    bool ShowTargetsAtStart = false;
    // Target labels are moved to a free side of their mark, or left out, so that none covers
    // another label or a mark; off draws each label at its fixed place beside its mark.
    bool PlaceTargetLabels = false;
    // Dark red and dim colours on black for the chart, the panels and the dialogs at night.
    bool NightPalette = false;
    // "Instruments": a strip of depth, wind and heading under the navigation panel. Off keeps the
    // panel as it always was.
    bool Instruments = false;
    // A depth below this many metres raises the shallow-water alarm; 0 = none.
    double ShallowAlarmMetres = 0.0;
    // A TCP server relaying every received sentence and the program's own output to up to 8
    // clients; 0 = no server. It listens on ServeNmeaAddress only (the loopback by default).
    int ServeNmeaPort = 0;
    std::string ServeNmeaAddress = "127.0.0.1";
    // The access token a Signal K server asks for ("" = none).
    std::string SignalKToken;
    // "Fill areas": the views fill land and shade the water by depth from the areas file beside
    // a chart (made by kvtool enc-import), beneath the chart's lines. Off draws lines only.
    bool FillAreas = false;

    bool operator==(const ExtraSettings&) const = default;
};

struct ExtraSettingsRead {
    ExtraSettings settings;
    bool missing = false; // no file: a first start
    std::string note; // for the status line when the file was unreadable or damaged; else empty
};

// The settings of the file at `path`. A missing file gives the defaults; an unreadable or
// damaged file, or a value that does not read as its type or lies outside its range, gives the
// default for that value and a note. Reading never fails.
ExtraSettingsRead ReadExtraSettings(const std::string& path);

// Writes all settings; false when the file could not be written.
bool WriteExtraSettings(const std::string& path, const ExtraSettings& settings);

// Makes `wanted` the current settings, writing the file only when they differ. False when the
// file could not be written (the settings still change for the run).
bool ChangeExtraSettings(const std::string& path, ExtraSettings& current, const ExtraSettings& wanted);

} // namespace kv
