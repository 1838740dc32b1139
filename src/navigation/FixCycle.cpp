#include "navigation/FixCycle.h"
#include "navigation/UnitTexts.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "core/Units.h"
#include "navigation/NmeaBridge.h"
#include "navigation/RouteFollowing.h"
#include "nmea/NmeaParse.h"

#include <cmath>
#include <numbers>

namespace kv {

namespace {

constexpr double kPi = std::numbers::pi;

std::string TimeOfDayText(const LocalDateTime& t)
{
    return ZeroFill(FormatInt(t.hour, 2)) + ":" + ZeroFill(FormatInt(t.minute, 2)) + ":"
        + ZeroFill(FormatInt(t.second, 2));
}

int DigitsAt(const std::string& text, std::size_t pos)
{
    if (pos >= text.size()) {
        return 0;
    }
    return static_cast<int>(ParseInt(text.substr(pos, 2)).value_or(0));
}

} // namespace

FixCycle::FixCycle(FixCycleRecords state, Platform& platform, TrackLogs& logs, FixCycleHooks& hooks)
    : state_(state)
    , platform_(platform)
    , logs_(logs)
    , hooks_(hooks)
{
    platform_.sound.setFinishedHandler([this] { state_.cycleState.SoundIdle = true; });
}

FixCycle::~FixCycle()
{
    platform_.sound.setFinishedHandler({});
}

void FixCycle::FixTimerTimer()
{
    Display& display = state_.display;
    display.TimePanel = TimeOfDayText(platform_.clock.now());
    if (!state_.nmeaLink.NmeaOpen || state_.settings.fix.DRMode) {
        FixBtnClick();
        return;
    }
    if (state_.ais.AISMonitor) {
        state_.cycleState.CurrentSentence
            = ExpandTextTemplate(TemplateRecordsOf(state_), state_.routeTexts, platform_.clock, kMonitorTemplate);
    } else {
        const std::string& received = state_.nmeaLink.LastPositionSentence;
        // Nothing new since the last fix (the receiver's lines failed their checksum, or stopped
        // and the watchdog has not run out yet): the same time and place would only be logged
        // again, with a speed of 0. A manual fix still marks its event.
        if (!state_.cycleState.ManualFix && !received.empty() && received == state_.cycleState.UsedPositionSentence) {
            return;
        }
        state_.cycleState.CurrentSentence = received;
    }
    display.StatusLine = state_.prefs.ShowNMEA ? state_.cycleState.CurrentSentence : std::string();
    if (state_.cycleState.CurrentSentence.empty() || state_.cycleState.CurrentSentence == "No Data !\r\n") {
        platform_.prompter.beep(Beep::Information);
        display.StatusLine = kNoPositionData;
        display.GPSIndicatorColour = "red";
        return;
    }
    ProcessSentence();
}

void FixCycle::ManualFix()
{
    state_.fixInfo.FixSource = "MAN";
    state_.cycleState.ManualFix = true;
    FixTimerTimer();
    state_.cycleState.ManualFix = false;
    if (state_.app.RemarksMode && state_.settings.fix.KeepTextLog) {
        hooks_.OpenRemarkEditor();
    }
}

void FixCycle::ProcessSentence(bool fromPlayback)
{
    Display& display = state_.display;
    state_.fixInfo.FixSource = state_.cycleState.CurrentSentence.substr(0, 6);
    ParseSentence(
        state_.cycleState.CurrentSentence, state_.sentenceFix, state_.display, state_.aisPlayback.AISPlayback);
    if (state_.aisPlayback.AISPlayback && state_.sentenceFix.PositionValid
        && state_.sentenceFix.FixQuality.str() == "5") {
        // A played log of a monitor station puts the program in monitor mode; the menu mark shows
        // the mode, and unchecking it ends the mode.
        state_.ais.AISMonitor = true;
        display.checked[Control::AISMonitor] = true;
    }
    if (state_.sentenceFix.PositionValid) {
        state_.fixInfo.OwnLat = state_.sentenceFix.SentenceLat;
        state_.fixInfo.OwnLong = state_.sentenceFix.SentenceLong;
    }
    if (hooks_.OpenViewCount() == 0) {
        return; // no fix is taken without a view
    }
    if ((fromPlayback || state_.aisPlayback.AISPlayback) && !state_.nmeaLink.NmeaOpen) {
        if (!state_.sentenceFix.PositionValid) {
            display.ClearNavDisplay();
            display.GPSIndicatorText = "GPS";
            display.GPSIndicatorColour = "red";
            platform_.prompter.beep(Beep::Information);
        } else {
            FixBtnClick();
        }
        return;
    }
    if (!state_.sentenceFix.EventSentence && state_.sentenceFix.PositionValid) {
        FixBtnClick();
        state_.cycleState.UsedPositionSentence = state_.cycleState.CurrentSentence;
    }
    if (!state_.sentenceFix.PositionValid) {
        display.ClearNavDisplay();
        display.GPSIndicatorText = "GPS";
        platform_.prompter.beep(Beep::Information);
        display.GPSIndicatorColour = "red";
    }
    if (state_.sentenceFix.EventSentence && state_.cycleState.CurrentSentence != state_.cycleState.LastEventSentence
        && state_.sentenceFix.PositionValid) {
        FixBtnClick();
        state_.cycleState.LastEventSentence = state_.cycleState.CurrentSentence;
        state_.quickLog.clear(); // the track restarts after every event
        if (hooks_.ChartPointEditingEnabled()) {
            hooks_.AddChartPoint();
            platform_.prompter.beep(Beep::Default);
        }
    }
}

void FixCycle::TakeFixTime()
{
    double minutes = 0.0;
    if (state_.prefs.fix.UseGpsTime && (state_.nmeaLink.NmeaOpen || state_.aisPlayback.AISPlayback)
        && state_.sentenceFix.PositionValid && !state_.settings.fix.DRMode) {
        int hour = DigitsAt(state_.sentenceFix.FixTimeText, 0) + state_.settings.fix.TimeZoneHours;
        if (hour > 23) {
            hour -= 24;
        }
        if (hour < 0) {
            hour += 24;
        }
        state_.fixInfo.FixHour = static_cast<std::uint16_t>(hour);
        state_.fixInfo.FixMinute = static_cast<std::uint16_t>(DigitsAt(state_.sentenceFix.FixTimeText, 2));
        state_.fixInfo.FixSecond = static_cast<std::uint16_t>(DigitsAt(state_.sentenceFix.FixTimeText, 4));
        state_.fixInfo.FixTimeString = state_.sentenceFix.FixTimeText;
        minutes = state_.fixInfo.FixHour * 60.0 + state_.fixInfo.FixMinute + state_.fixInfo.FixSecond / 60.0;
    } else {
        const LocalDateTime now = platform_.clock.now();
        minutes = (now.hour * 3600.0 + now.minute * 60.0 + now.second + now.millisecond / 1000.0) / 60.0;
        state_.fixInfo.FixHour = static_cast<std::uint16_t>(now.hour);
        state_.fixInfo.FixMinute = static_cast<std::uint16_t>(now.minute);
        state_.fixInfo.FixSecond = static_cast<std::uint16_t>(now.second);
        state_.fixInfo.FixTimeString = ZeroFill(FormatInt(now.hour, 2)) + ZeroFill(FormatInt(now.minute, 2))
            + ZeroFill(FormatInt(now.second, 2));
    }
    state_.fixInfo.FixMinutes = minutes;
    state_.fixInfo.FixTimeValue
        = (state_.fixInfo.FixHour * 3600.0 + state_.fixInfo.FixMinute * 60.0 + state_.fixInfo.FixSecond) / 86400.0;
}

void FixCycle::StoreInQuickLog(bool positionIsChartDatum)
{
    QuickLog& log = state_.quickLog;
    // Thinning: a full log frees its last slot by dropping one record. With intelligent
    // disposal the first record stays and the dropped one walks forward through the track every
    // DisposalStep full fixes, so old track thins evenly; otherwise the oldest record goes.
    if (log.count() > 97) {
        if (state_.prefs.fix.DisposalStep < 1 || state_.cycleState.DropIndex > 97) {
            state_.cycleState.DropIndex = 2;
        } else {
            state_.cycleState.DropCounter = static_cast<std::int16_t>(state_.cycleState.DropCounter + 1);
            if (state_.cycleState.DropCounter == state_.prefs.fix.DisposalStep) {
                state_.cycleState.DropIndex = static_cast<std::int16_t>(state_.cycleState.DropIndex + 1);
                state_.cycleState.DropCounter = 0;
            }
        }
        if (state_.prefs.fix.DisposalStep == 0) {
            state_.cycleState.DropIndex = 1;
        }
        const int drop = std::clamp<int>(state_.cycleState.DropIndex, 1, 98);
        log.erase(static_cast<std::size_t>(drop));
    }
    LatLong position { state_.fixInfo.OwnLat, state_.fixInfo.OwnLong };
    if (positionIsChartDatum) {
        position = StateFromChartDatum(state_.chartRef, position);
    }
    log.push({ position.lat, position.lon, state_.fixInfo.FixMinutes });
    const LatLong chart = ChartDatumFromState(state_.chartRef, position);
    state_.fixInfo.OwnLat = chart.lat;
    state_.fixInfo.OwnLong = chart.lon;
}

void FixCycle::FixBtnClick()
{
    Display& display = state_.display;
    QuickLog& log = state_.quickLog;
    lastPrompt_.clear();
    state_.nmeaLink.OutputText.clear();

    ComputeSOG(state_.motion, log, state_.chartRef, state_.settings.units, state_.settings.fix.AverageFixes,
        state_.settings.vessel.BoatSpeed);
    // The course over ground is taken in dead reckoning too: the course panel, the velocity made
    // good and the heading-up rotation all read it, and a dead-reckoned track has a course.
    const std::int16_t course
        = ComputeCOG(state_.motion, log, state_.chartRef.CosLatFactor, state_.settings.fix.AverageFixes);
    if (!state_.settings.fix.DRMode) {
        state_.motion.DRSpeed
            = (state_.motion.SOG > 0.01 && log.count() > 1) ? state_.motion.SOG : state_.settings.vessel.BoatSpeed;
        state_.motion.DRCourse = course;
    }
    bool reckoned = false;
    if (state_.settings.fix.DRMode && state_.routeProgress.RouteLength > 0 && state_.routeProgress.ActiveWaypoint > 0) {
        DeadReckon(state_.motion, state_.fixInfo, state_.chartRef, state_.routeProgress, state_.settings.vessel,
            state_.settings.fix.FixIntervalMs, log);
        state_.fixInfo.OwnLat = state_.motion.DRLat;
        state_.fixInfo.OwnLong = state_.motion.DRLong;
        display.GPSIndicatorText = "DR";
        display.GPSIndicatorColour = "red";
        reckoned = true;
    }
    if (log.count() == 0) {
        state_.cycleState.LogEmpty = true;
    } else {
        state_.cycleState.LogEmpty = false;
        hooks_.UpdateMenuItems();
    }
    TakeFixTime();
    state_.tideStream.TidalHour
        = ComputeTidalHour(state_.fixInfo.FixHour, state_.fixInfo.FixMinute, state_.prefs.tide.HighWaterHour);

    // A manual fix records where the vessel was placed on the chart, and so does dead reckoning
    // that could not advance (no active route): both positions are in chart datum.
    const bool chartDatum = state_.fixInfo.FixSource == "MAN" || (state_.settings.fix.DRMode && !reckoned);
    StoreInQuickLog(chartDatum);

    state_.cycleState.RedrawCountdown = static_cast<std::uint16_t>(state_.cycleState.RedrawCountdown + 1);
    if (state_.cycleState.RedrawCountdown > state_.prefs.fix.RedrawEveryFixes) {
        hooks_.RefreshViews();
        state_.cycleState.RedrawCountdown = 1;
    }

    state_.fixInfo.FixDateText = DateText(platform_.clock.now());
    logs_.WriteLogFile(logs_.TrackLogPath());

    if (state_.settings.fix.AutoChart) {
        hooks_.AutoLoadChart();
    }

    // Nothing tells how far astern a tow streams: the tow position is the fix itself, in chart
    // datum, so that tow navigation and the remark's tow line name where the vessel is.
    if (log.count() > 0) {
        const QuickLogRecord& newest = log.at(log.count());
        state_.routeProgress.TowLat = newest.lat + state_.chartRef.ChartLatOffset;
        state_.routeProgress.TowLong = newest.lon - state_.chartRef.ChartLongOffset;
    }
    FollowRoute(state_);
    ComposeOutputSentences(state_.nmeaLink, state_.settings.nmea, state_.prefs.nmea, TemplateRecordsOf(state_),
        state_.routeTexts, platform_.clock);

    if (state_.cycleState.AntennaPending && log.count() >= 2) {
        const QuickLogRecord& reference = log.at(log.count() - 1);
        state_.settings.vessel.AntennaNorth = reference.lat - state_.fixInfo.OwnLat + state_.chartRef.ChartLatOffset;
        state_.settings.vessel.AntennaEast = (reference.lon - state_.fixInfo.OwnLong - state_.chartRef.ChartLongOffset)
            * std::fabs(std::cos(state_.fixInfo.OwnLat * kPi / 180.0));
        state_.cycleState.AntennaPending = false;
        hooks_.PlaceVesselOutline();
    }

    state_.motion.TripDistance += state_.motion.LastLegDistance / state_.settings.units.UnitFactor;
    display.Trip = TripText(state_.motion.TripDistance, state_.settings.units);

    state_.textLog.TextLogCountdown = static_cast<std::int16_t>(state_.textLog.TextLogCountdown + 1);
    if (state_.textLog.TextLogCountdown >= state_.prefs.fix.RepRate || state_.cycleState.ManualFix) {
        logs_.WriteTextLogLine(state_.cycleState.ManualFix);
        if (!state_.cycleState.ManualFix) {
            state_.textLog.TextLogCountdown = 0;
        }
    }

    display.WPNameIndex = state_.routeProgress.ActiveWaypoint - 1;

    const bool activeLeg = state_.routeProgress.ActiveWaypoint != 0
        && state_.routeProgress.ActiveWaypoint != state_.routeProgress.RouteLength + 1 && log.count() >= 2;
    if (activeLeg) {
        ShowActiveLeg();
    } else {
        ShowEndOfLeg();
    }
    HeadingUp();
    hooks_.FixTaken();
}

void FixCycle::ShowSpeedAndCourse()
{
    state_.display.SpeedOG
        = state_.routeTexts.SOGText.str() + SpeedUnitLabel(state_.settings.units, state_.prefs.units);
    state_.display.CourseOG = state_.routeTexts.COGText.str() + "\xb0T";
}

void FixCycle::ShowActiveLeg()
{
    Display& display = state_.display;
    ShowSpeedAndCourse();
    display.SpeedMG = state_.routeTexts.VMGText.str();
    if (state_.routeProgress.RouteLength > 0) {
        display.RngToWp = state_.routeTexts.RangeText.str();
    }
    display.TimeToWP = state_.routeTexts.TimeToWaypointText.str();
    display.BearingToWP
        = state_.routeTexts.BearingText.str() + "\xb0T" + (state_.prefs.route.TowNavigation ? " (Tow)" : "");

    const bool tideKnown = !state_.tides.empty() || !state_.prefs.tide.AtlasTide;
    if (!hooks_.MeasureModeOn() && tideKnown) {
        display.StatusLine = "Course to steer " + state_.routeTexts.CourseToSteerText.str() + "\xb0T";
    }

    const double xte = state_.routeProgress.XTE;
    const XteGaugeFigures gauge = XteGaugeIn(xte, state_.routeTexts.XTEScaleText.str(), state_.settings.units);
    display.XTerror = gauge.position;
    display.XTEScale = gauge.scale;

    std::string colour = "white";
    std::string voice = "OnTrack.wav";
    if (xte > state_.settings.route.XTEDeadband) {
        colour = "red";
        voice = "left.wav";
    } else if (xte < -state_.settings.route.XTEDeadband) {
        colour = "lime";
        voice = "right.wav";
    }
    const Preferences& prefs = state_.prefs;
    const bool silent = display.XTerrorColour == colour && prefs.Vfreq;
    display.XTerrorColour = colour;
    const bool speak = prefs.Voice && state_.routeProgress.RouteLength > 0;
    if (speak && state_.cycleState.SoundIdle) {
        LoadVoice(voice);
    }
    display.hints[Control::XTerror] = "XTE = " + FormatFixed(std::fabs(xte), 0, 2) + "|";
    if (speak && !silent && state_.cycleState.SoundIdle) {
        PlayLoaded();
    }

    if (prefs.WPVoice && state_.routeProgress.RouteLength > 0 && state_.cycleState.ApproachPending
        && state_.cycleState.SoundIdle) {
        state_.cycleState.ApproachPending = false;
        LoadVoice("approach.wav");
        PlayLoaded();
    }

    if (!state_.nmeaLink.OutputText.empty() && platform_.serial.outputFree() >= state_.nmeaLink.OutputText.size()) {
        platform_.serial.write(state_.nmeaLink.OutputText);
    }
}

void FixCycle::ShowEndOfLeg()
{
    Display& display = state_.display;
    const std::size_t n = state_.quickLog.count();
    if (n == 1) {
        state_.routeEdit.KeepActiveWaypoint = true;
    } else {
        display.WPNameIndex = -1;
    }
    const bool pastEnd = state_.routeProgress.ActiveWaypoint == 0
        || state_.routeProgress.ActiveWaypoint == state_.routeProgress.RouteLength + 1;
    const Preferences& prefs = state_.prefs;
    if (prefs.OnRouteCompletion == RouteCompletion::NormalMode && state_.app.NavPanelVisible
        && state_.routeProgress.RouteLength > 0 && pastEnd && !state_.sentenceFix.EventSentence
        && !hooks_.MeasureModeOn()) {
        display.StatusLine = kSelectNextWaypoint;
        state_.cycleState.SelectPromptPending = true;
        state_.cycleState.ApproachPending = false;
        display.hints[Control::WPName] = "End of route !|";
    }
    if (prefs.OnRouteCompletion == RouteCompletion::Reverse && state_.routeProgress.RouteLength > 1) {
        state_.routeProgress.RouteReversed = !state_.routeProgress.RouteReversed;
        state_.routeProgress.ActiveWaypoint
            = static_cast<std::int16_t>(state_.routeProgress.RouteReversed ? state_.routeProgress.RouteLength - 1 : 2);
        display.WPNameIndex = state_.routeProgress.ActiveWaypoint - 1;
        RestartLeg(state_.routeProgress, state_.routeTexts, state_.fixInfo, state_.chartRef,
            state_.prefs.route.TowNavigation, state_.route);
    }
    if (prefs.OnRouteCompletion == RouteCompletion::RepRoute && state_.routeProgress.RouteLength > 1) {
        state_.routeProgress.ActiveWaypoint = 1;
        display.WPNameIndex = 0;
        RestartLeg(state_.routeProgress, state_.routeTexts, state_.fixInfo, state_.chartRef,
            state_.prefs.route.TowNavigation, state_.route);
    }
    if (n < 2) {
        state_.display.ClearNavDisplay();
    } else {
        ShowSpeedAndCourse();
    }
    if (prefs.WPVoice && state_.routeProgress.RouteLength > 0 && state_.cycleState.SelectPromptPending
        && state_.cycleState.SoundIdle) {
        state_.cycleState.SelectPromptPending = false;
        LoadVoice("select.wav");
        PlayLoaded();
    }
}

void FixCycle::HeadingUp()
{
    if (!state_.prefs.HeadUp) {
        return;
    }
    const double c = state_.motion.COG;
    const double d = state_.prefs.fix.HeadUpDeadBand;
    const double low = kPi * (360.0 - c - d) / 180.0;
    const double high = kPi * (360.0 - c + d) / 180.0;
    if (state_.headUp.ViewAngle < low || state_.headUp.ViewAngle > high) {
        state_.headUp.ViewAngle = kPi * (360.0 - c) / 180.0;
        state_.headUp.ViewAngleCos = std::cos(state_.headUp.ViewAngle);
        state_.headUp.ViewAngleSin = std::sin(state_.headUp.ViewAngle);
    }
}

void FixCycle::LoadVoice(const std::string& name)
{
    loadedVoice_ = name;
}

void FixCycle::PlayLoaded()
{
    if (loadedVoice_.empty()) {
        return;
    }
    const std::string& folder = state_.folders.AppDir.str();
    const std::string path = FindFileCaseInsensitive(folder, loadedVoice_).value_or(JoinPath(folder, loadedVoice_));
    lastPrompt_ = "\\" + loadedVoice_;
    state_.cycleState.SoundIdle = false;
    if (!platform_.sound.play(path)) {
        state_.cycleState.SoundIdle = true; // nothing to wait for: a missing clip or no audio is not an error
    }
}

void FixCycle::DRMode1Click()
{
    Display& display = state_.display;
    const bool on = !state_.settings.fix.DRMode;
    display.checked[Control::DRMode1] = on;
    state_.settings.fix.DRMode = on;
    if (on) {
        display.FixTimer = { true, state_.settings.fix.FixIntervalMs };
        display.StatusLine = kDeadReckoningMode;
    } else {
        display.FixTimer.intervalMs = 0;
        display.GPSIndicatorText.clear();
        display.StatusLine.clear();
        if (state_.nmeaLink.NmeaOpen) {
            display.FixTimer.intervalMs = state_.settings.fix.FixIntervalMs;
        }
    }
    hooks_.UpdateMenuItems();
}

void FixCycle::TowNavigationClick()
{
    const bool on = !state_.prefs.route.TowNavigation;
    state_.display.checked[Control::TowNavigation1] = on;
    state_.prefs.route.TowNavigation = on;
}

void FixCycle::Find_Antenna()
{
    if (hooks_.OpenViewCount() != 1 || !state_.quickLog.empty()) {
        return;
    }
    platform_.prompter.information(kLocateAntennaMessage);
    state_.settings.vessel.AntennaNorth = 0.0;
    state_.settings.vessel.AntennaEast = 0.0;
    hooks_.PlaceVesselOutline();
    // The reference point, in receiver datum like every quick-log record.
    const LatLong here = StateFromChartDatum(state_.chartRef, { state_.fixInfo.OwnLat, state_.fixInfo.OwnLong });
    state_.quickLog.push({ here.lat, here.lon, state_.fixInfo.FixMinutes });
    state_.cycleState.AntennaPending = true;
}

void FixCycle::TripDblClick()
{
    if (!platform_.prompter.confirm(kResetTripQuestion)) {
        return;
    }
    state_.motion.TripDistance = 0.0;
    state_.motion.LastLegDistance = 0.0;
    state_.display.Trip = TripText(0.0, state_.settings.units);
}

void FixCycle::XTerrorDblClick()
{
    if (platform_.prompter.confirm(kResetXteQuestion)) {
        RestartLeg(state_.routeProgress, state_.routeTexts, state_.fixInfo, state_.chartRef,
            state_.prefs.route.TowNavigation, state_.route);
    }
}

} // namespace kv
