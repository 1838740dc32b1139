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
    // "Fill areas": the views fill land and shade the water by depth from the areas file beside
    // a chart (made by kvtool enc-import), beneath the chart's lines. Off draws lines only.
    bool FillAreas = false;

    bool operator==(const ExtraSettings&) const = default;
};

struct ExtraSettingsRead {
    ExtraSettings settings;
    bool missing = false; // no file: a first start
    std::string note;     // for the status line when the file was unreadable or damaged; else empty
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
