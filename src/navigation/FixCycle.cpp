#include "navigation/FixCycle.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "navigation/NmeaBridge.h"
#include "navigation/RouteFollowing.h"

#include <cmath>
#include <numbers>

namespace kv {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kMetreOfLatitude = 8.999e-06; // degrees

std::string TimeOfDayText(const LocalDateTime& t)
{
    return ZeroFill(FormatInt(t.hour, 2)) + ":" + ZeroFill(FormatInt(t.minute, 2)) + ":" + ZeroFill(FormatInt(t.second, 2));
}

int DigitsAt(const std::string& text, std::size_t pos)
{
    if (pos >= text.size()) {
        return 0;
    }
    return static_cast<int>(ParseInt(text.substr(pos, 2)).value_or(0));
}

} // namespace

FixCycle::FixCycle(ProgramState& state, Platform& platform, TrackLogs& logs, FixCycleHooks& hooks)
    : state_(state), platform_(platform), logs_(logs), hooks_(hooks)
{
    platform_.sound.setFinishedHandler([this] { state_.nav.SoundIdle = true; });
}

FixCycle::~FixCycle()
{
    platform_.sound.setFinishedHandler({});
}

void FixCycle::FixTimerTimer()
{
    NavState& nav = state_.nav;
    Display& display = state_.display;
    display.TimePanel = TimeOfDayText(platform_.clock.now());
    if (!nav.NmeaOpen || nav.DRMode) {
        FixBtnClick();
        return;
    }
    if (display.isChecked("AISMonitor")) {
        nav.CurrentSentence = ExpandTextTemplate(state_, platform_.clock, kMonitorTemplate);
    } else {
        nav.CurrentSentence = nav.LastPositionSentence;
    }
    display.StatusLine = state_.prefs.ShowNMEA ? nav.CurrentSentence : std::string();
    if (nav.CurrentSentence.empty() || nav.CurrentSentence == "No Data !\r\n") {
        platform_.prompter.beep(Beep::Information);
        display.StatusLine = kNoPositionData;
        display.GPSIndicatorColour = "red";
        return;
    }
    ProcessSentence();
}

void FixCycle::ManualFix()
{
    NavState& nav = state_.nav;
    nav.FixSource = "MAN";
    nav.ManualFix = true;
    FixTimerTimer();
    nav.ManualFix = false;
    if (state_.app.RemarksMode && nav.KeepTextLog) {
        hooks_.OpenRemarkEditor();
    }
}

void FixCycle::ProcessSentence(bool fromPlayback)
{
    NavState& nav = state_.nav;
    Display& display = state_.display;
    nav.FixSource = nav.CurrentSentence.substr(0, 6);
    ParsePositionSentence(state_, nav.CurrentSentence);
    if (nav.PositionValid) {
        nav.OwnLat = nav.SentenceLat;
        nav.OwnLong = nav.SentenceLong;
    }
    if (hooks_.OpenViewCount() == 0) {
        return; // no fix is taken without a view
    }
    if ((fromPlayback || nav.AISPlayback) && !nav.NmeaOpen) {
        if (!nav.PositionValid) {
            display.ClearNavDisplay();
            display.GPSIndicatorText = "GPS";
            display.GPSIndicatorColour = "red";
            platform_.prompter.beep(Beep::Information);
        } else {
            FixBtnClick();
        }
        return;
    }
    if (!nav.EventSentence && nav.PositionValid) {
        FixBtnClick();
    }
    if (!nav.PositionValid) {
        display.ClearNavDisplay();
        display.GPSIndicatorText = "GPS";
        platform_.prompter.beep(Beep::Information);
        display.GPSIndicatorColour = "red";
    }
    if (nav.EventSentence && nav.CurrentSentence != nav.LastEventSentence && nav.PositionValid) {
        FixBtnClick();
        nav.LastEventSentence = nav.CurrentSentence;
        state_.quickLog.clear(); // the track restarts after every event
        if (hooks_.ChartPointEditingEnabled()) {
            hooks_.AddChartPoint();
            platform_.prompter.beep(Beep::Default);
        }
    }
}

void FixCycle::TakeFixTime()
{
    NavState& nav = state_.nav;
    double minutes = 0.0;
    if (nav.UseGpsTime && (nav.NmeaOpen || nav.AISPlayback) && nav.PositionValid && !nav.DRMode) {
        int hour = DigitsAt(nav.FixTimeText, 0) + nav.TimeZoneHours;
        if (hour > 23) {
            hour -= 24;
        }
        if (hour < 0) {
            hour += 24;
        }
        nav.FixHour = static_cast<std::uint16_t>(hour);
        nav.FixMinute = static_cast<std::uint16_t>(DigitsAt(nav.FixTimeText, 2));
        nav.FixSecond = static_cast<std::uint16_t>(DigitsAt(nav.FixTimeText, 4));
        nav.FixTimeString = nav.FixTimeText;
        minutes = nav.FixHour * 60.0 + nav.FixMinute + nav.FixSecond / 60.0;
    } else {
        const LocalDateTime now = platform_.clock.now();
        minutes = (now.hour * 3600.0 + now.minute * 60.0 + now.second + now.millisecond / 1000.0) / 60.0;
        nav.FixHour = static_cast<std::uint16_t>(now.hour);
        nav.FixMinute = static_cast<std::uint16_t>(now.minute);
        nav.FixSecond = static_cast<std::uint16_t>(now.second);
        nav.FixTimeString = ZeroFill(FormatInt(now.hour, 2)) + ZeroFill(FormatInt(now.minute, 2)) + ZeroFill(FormatInt(now.second, 2));
    }
    nav.FixMinutes = minutes;
    nav.FixTimeValue = (nav.FixHour * 3600.0 + nav.FixMinute * 60.0 + nav.FixSecond) / 86400.0;
}

void FixCycle::StoreInQuickLog(bool positionIsChartDatum)
{
    NavState& nav = state_.nav;
    QuickLog& log = state_.quickLog;
    // Thinning: a full log frees its last slot by dropping one record. With intelligent
    // disposal the first record stays and the dropped one walks forward through the track every
    // DisposalStep full fixes, so old track thins evenly; otherwise the oldest record goes.
    if (log.count() > 97) {
        if (nav.DisposalStep < 1 || nav.DropIndex > 97) {
            nav.DropIndex = 2;
        } else {
            nav.DropCounter = static_cast<std::int16_t>(nav.DropCounter + 1);
            if (nav.DropCounter == nav.DisposalStep) {
                nav.DropIndex = static_cast<std::int16_t>(nav.DropIndex + 1);
                nav.DropCounter = 0;
            }
        }
        if (nav.DisposalStep == 0) {
            nav.DropIndex = 1;
        }
        const int drop = std::clamp<int>(nav.DropIndex, 1, 98);
        log.erase(static_cast<std::size_t>(drop));
    }
    LatLong position{nav.OwnLat, nav.OwnLong};
    if (positionIsChartDatum) {
        position = StateFromChartDatum(nav, position);
    }
    log.push({position.lat, position.lon, nav.FixMinutes});
    const LatLong chart = ChartDatumFromState(nav, position);
    nav.OwnLat = chart.lat;
    nav.OwnLong = chart.lon;
}

void FixCycle::FixBtnClick()
{
    NavState& nav = state_.nav;
    Display& display = state_.display;
    QuickLog& log = state_.quickLog;
    lastPrompt_.clear();
    nav.OutputText.clear();

    ComputeSOG(nav, log, nav, nav, nav.AverageFixes, nav.BoatSpeed);
    // The course over ground is taken in dead reckoning too: the course panel, the velocity made
    // good and the heading-up rotation all read it, and a dead-reckoned track has a course.
    const std::int16_t course = ComputeCOG(nav, log, nav.CosLatFactor, nav.AverageFixes);
    if (!nav.DRMode) {
        nav.DRSpeed = (nav.SOG > 0.01 && log.count() > 1) ? nav.SOG : nav.BoatSpeed;
        nav.DRCourse = course;
    }
    bool reckoned = false;
    if (nav.DRMode && nav.RouteLength > 0 && nav.ActiveWaypoint > 0) {
        DeadReckon(nav, nav, nav, nav, nav, nav.FixIntervalMs, log);
        nav.OwnLat = nav.DRLat;
        nav.OwnLong = nav.DRLong;
        display.GPSIndicatorText = "DR";
        display.GPSIndicatorColour = "red";
        reckoned = true;
    }
    if (log.count() == 0) {
        nav.LogEmpty = true;
    } else {
        nav.LogEmpty = false;
        hooks_.RefreshMenus();
    }
    TakeFixTime();
    nav.TidalHour = ComputeTidalHour(nav.FixHour, nav.FixMinute, nav.HighWaterHour);

    // A manual fix records where the vessel was placed on the chart, and so does dead reckoning
    // that could not advance (no active route): both positions are in chart datum.
    const bool chartDatum = nav.FixSource == "MAN" || (nav.DRMode && !reckoned);
    StoreInQuickLog(chartDatum);

    nav.RedrawCountdown = static_cast<std::uint16_t>(nav.RedrawCountdown + 1);
    if (nav.RedrawCountdown > nav.RedrawEveryFixes) {
        hooks_.RecentreViews();
        nav.RedrawCountdown = 1;
    }

    nav.FixDateText = DateText(platform_.clock.now());
    logs_.WriteLogFile(logs_.TrackLogPath());

    if (nav.AutoChart) {
        hooks_.AutoLoadChart();
    }

    FollowRoute(state_);
    ComposeOutputSentences(state_, platform_.clock);

    if (nav.AntennaPending && log.count() >= 2) {
        const QuickLogRecord& reference = log.at(log.count() - 1);
        nav.AntennaNorth = reference.lat - nav.OwnLat + nav.ChartLatOffset;
        nav.AntennaEast = (reference.lon - nav.OwnLong - nav.ChartLongOffset) * std::fabs(std::cos(nav.OwnLat * kPi / 180.0));
        nav.AntennaPending = false;
        hooks_.PlaceVesselOutline();
    }

    nav.TripDistance += nav.LastLegDistance / nav.UnitFactor;
    display.Trip = FormatFixed(nav.TripDistance, 0, 2) + " Nm";

    nav.TextLogCountdown = static_cast<std::int16_t>(nav.TextLogCountdown + 1);
    if (nav.TextLogCountdown >= nav.RepRate || nav.ManualFix) {
        logs_.WriteTextLogLine(nav.ManualFix);
        if (!nav.ManualFix) {
            nav.TextLogCountdown = 0;
        }
    }

    display.WPNameIndex = nav.ActiveWaypoint - 1;

    const bool activeLeg = nav.ActiveWaypoint != 0 && nav.ActiveWaypoint != nav.RouteLength + 1 && log.count() >= 2;
    if (activeLeg) {
        ShowActiveLeg();
    } else {
        ShowEndOfLeg();
    }
    HeadingUp();
}

void FixCycle::ShowSpeedAndCourse()
{
    state_.display.SpeedOG = state_.nav.SOGText.str() + SpeedUnitLabel(state_.nav);
    state_.display.CourseOG = state_.nav.COGText.str() + "\xb0T";
}

void FixCycle::ShowActiveLeg()
{
    NavState& nav = state_.nav;
    Display& display = state_.display;
    ShowSpeedAndCourse();
    display.SpeedMG = nav.VMGText.str();
    if (nav.RouteLength > 0) {
        display.RngToWp = nav.RangeText.str();
    }
    display.TimeToWP = nav.TimeToWaypointText.str();
    display.BearingToWP = nav.BearingText.str() + "\xb0T" + (nav.TowNavigation ? " (Tow)" : "");

    const bool tideKnown = !state_.tides.empty() || !nav.AtlasTide;
    if (!hooks_.MeasureModeOn() && tideKnown) {
        display.StatusLine = "Course to steer " + nav.CourseToSteerText.str() + "\xb0T";
    }

    const double xte = nav.XTE;
    const long long progress = std::fabs(xte) < 1.0 ? -RoundHalfEven(xte * 100.0) : -RoundHalfEven(xte * 10.0);
    display.XTerror = static_cast<int>(std::clamp<long long>(progress, -100, 100));
    display.XTEScale = nav.XTEScaleText.str();

    std::string colour = "white";
    std::string voice = "OnTrack.wav";
    if (xte > nav.XTEDeadband) {
        colour = "red";
        voice = "left.wav";
    } else if (xte < -nav.XTEDeadband) {
        colour = "lime";
        voice = "right.wav";
    }
    const Preferences& prefs = state_.prefs;
    const bool silent = display.XTerrorColour == colour && prefs.Vfreq;
    display.XTerrorColour = colour;
    const bool speak = prefs.Voice && nav.RouteLength > 0;
    if (speak && nav.SoundIdle) {
        LoadVoice(voice);
    }
    display.hints["XTerror"] = "XTE = " + FormatFixed(std::fabs(xte), 0, 2) + "|";
    if (speak && !silent && nav.SoundIdle) {
        PlayLoaded();
    }

    if (prefs.WPVoice && nav.RouteLength > 0 && nav.ApproachPending && nav.SoundIdle) {
        nav.ApproachPending = false;
        LoadVoice("approach.wav");
        PlayLoaded();
    }

    if (!nav.OutputText.empty() && platform_.serial.outputFree() >= nav.OutputText.size()) {
        platform_.serial.write(nav.OutputText);
    }
}

void FixCycle::ShowEndOfLeg()
{
    NavState& nav = state_.nav;
    Display& display = state_.display;
    const std::size_t n = state_.quickLog.count();
    if (n == 1) {
        nav.KeepActiveWaypoint = true;
    } else {
        display.WPNameIndex = -1;
    }
    const bool pastEnd = nav.ActiveWaypoint == 0 || nav.ActiveWaypoint == nav.RouteLength + 1;
    const Preferences& prefs = state_.prefs;
    if (prefs.OnRouteCompletion == RouteCompletion::NormalMode && state_.app.NavPanelVisible && nav.RouteLength > 0
        && pastEnd && !nav.EventSentence && !hooks_.MeasureModeOn()) {
        display.StatusLine = kSelectNextWaypoint;
        nav.SelectPromptPending = true;
        nav.ApproachPending = false;
        display.hints["WPName"] = "End of route !|";
    }
    if (prefs.OnRouteCompletion == RouteCompletion::Reverse && nav.RouteLength > 1) {
        nav.RouteReversed = !nav.RouteReversed;
        nav.ActiveWaypoint = static_cast<std::int16_t>(nav.RouteReversed ? nav.RouteLength - 1 : 2);
        display.WPNameIndex = nav.ActiveWaypoint - 1;
        RestartLeg(nav, nav, nav, nav, nav.TowNavigation, state_.route);
    }
    if (prefs.OnRouteCompletion == RouteCompletion::RepRoute && nav.RouteLength > 1) {
        nav.ActiveWaypoint = 1;
        display.WPNameIndex = 0;
        RestartLeg(nav, nav, nav, nav, nav.TowNavigation, state_.route);
    }
    if (n < 2) {
        state_.display.ClearNavDisplay();
    } else {
        ShowSpeedAndCourse();
    }
    if (prefs.WPVoice && nav.RouteLength > 0 && nav.SelectPromptPending && nav.SoundIdle) {
        nav.SelectPromptPending = false;
        LoadVoice("select.wav");
        PlayLoaded();
    }
}

void FixCycle::HeadingUp()
{
    NavState& nav = state_.nav;
    if (!state_.prefs.HeadUp) {
        return;
    }
    const double c = nav.COG;
    const double d = nav.HeadUpDeadBand;
    const double low = kPi * (360.0 - c - d) / 180.0;
    const double high = kPi * (360.0 - c + d) / 180.0;
    if (nav.ViewAngle < low || nav.ViewAngle > high) {
        nav.ViewAngle = kPi * (360.0 - c) / 180.0;
        nav.ViewAngleCos = std::cos(nav.ViewAngle);
        nav.ViewAngleSin = std::sin(nav.ViewAngle);
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
    NavState& nav = state_.nav;
    const std::string& folder = nav.AppDir.str();
    const std::string path = FindFileCaseInsensitive(folder, loadedVoice_).value_or(JoinPath(folder, loadedVoice_));
    lastPrompt_ = "\\" + loadedVoice_;
    nav.SoundIdle = false;
    if (!platform_.sound.play(path)) {
        nav.SoundIdle = true; // nothing to wait for: a missing clip or no audio is not an error
    }
}

void FixCycle::DRMode1Click()
{
    NavState& nav = state_.nav;
    Display& display = state_.display;
    const bool on = !nav.DRMode;
    display.checked["DRMode1"] = on;
    nav.DRMode = on;
    if (on) {
        display.FixTimer = {true, nav.FixIntervalMs};
        display.StatusLine = kDeadReckoningMode;
    } else {
        display.FixTimer.intervalMs = 0;
        display.GPSIndicatorText.clear();
        display.StatusLine.clear();
        if (nav.NmeaOpen) {
            display.FixTimer.intervalMs = nav.FixIntervalMs;
        }
    }
    hooks_.RefreshMenus();
}

void FixCycle::TowNavigationClick()
{
    const bool on = !state_.nav.TowNavigation;
    state_.display.checked["TowNavigation1"] = on;
    state_.nav.TowNavigation = on;
}

void FixCycle::Find_Antenna()
{
    NavState& nav = state_.nav;
    if (hooks_.OpenViewCount() != 1 || !state_.quickLog.empty()) {
        return;
    }
    platform_.prompter.information(kLocateAntennaMessage);
    nav.AntennaNorth = 0.0;
    nav.AntennaEast = 0.0;
    hooks_.PlaceVesselOutline();
    // The reference point, in receiver datum like every quick-log record.
    const LatLong here = StateFromChartDatum(nav, {nav.OwnLat, nav.OwnLong});
    state_.quickLog.push({here.lat, here.lon, nav.FixMinutes});
    nav.AntennaPending = true;
}

void FixCycle::TripDblClick()
{
    if (!platform_.prompter.confirm(kResetTripQuestion)) {
        return;
    }
    state_.nav.TripDistance = 0.0;
    state_.nav.LastLegDistance = 0.0;
    state_.display.Trip = "0.00 Nm";
}

void FixCycle::XTerrorDblClick()
{
    if (platform_.prompter.confirm(kResetXteQuestion)) {
        RestartLeg(state_.nav, state_.nav, state_.nav, state_.nav, state_.nav.TowNavigation, state_.route);
    }
}

} // namespace kv
