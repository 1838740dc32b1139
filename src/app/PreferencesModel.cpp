#include "app/PreferencesModel.h"

#include "app/ComSourceFile.h"
#include "app/MainController.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "geodesy/ChartDatum.h"
#include "routes/TidalStreams.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;

int Clamp(int value, const char* spin)
{
    const SpinSpec& s = SpinRange(spin);
    return std::clamp(value, s.min, s.max);
}

int Rounded(double value)
{
    return std::isfinite(value) ? static_cast<int>(RoundHalfEven(value)) : 0;
}

} // namespace

int ConfigColourOfGridIndex(int index)
{
    const std::uint32_t rgb = kGridPalette[static_cast<std::size_t>(std::clamp(index, 0, 15))];
    // The file keeps red in the low byte.
    return static_cast<int>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

double UnitFactorOf(DistanceUnit unit)
{
    switch (unit) {
    case DistanceUnit::Kilo:
        return kKilometreFactor;
    case DistanceUnit::Stat:
        return kStatuteFactor;
    case DistanceUnit::Naut:
        break;
    }
    return 1.0;
}

DistanceUnit DistanceUnitOf(double unitFactor)
{
    if (unitFactor < 1.1) {
        return DistanceUnit::Naut;
    }
    return unitFactor > 1.8 ? DistanceUnit::Kilo : DistanceUnit::Stat;
}

const SpinSpec& SpinRange(const std::string& name)
{
    for (const SpinSpec& s : kPreferencesSpins) {
        if (name == s.name) {
            return s;
        }
    }
    throw std::out_of_range("no spin field " + name);
}

bool FormatHasPosition(const std::string& format)
{
    // The template engine takes "@P" as it takes "@p".
    return format.find("@p") != std::string::npos || format.find("@P") != std::string::npos;
}

std::string SetAsideName(const std::string& path, int n)
{
    return FolderOf(path) + NameWithoutExtension(path) + "-" + std::to_string(n) + ExtensionOf(path);
}

void ApplyColourScheme(PreferencesFields& f, int scheme)
{
    struct Scheme {
        int background, foreground;
        bool fg;
    };
    static constexpr std::array<Scheme, 4> kSchemes { { { 4, 15, false }, { 0, 3, false }, { 0, 15, false },
        { 15, 0, true } } };
    f.Defaults = std::clamp(scheme, 0, kCustomScheme);
    if (f.Defaults == kCustomScheme) {
        f.TextColourFG = f.TrackColourFG = f.TideColourFG = false;
        return;
    }
    const Scheme& s = kSchemes[static_cast<std::size_t>(f.Defaults)];
    f.GlobalColorBG = s.background;
    f.GlobalColorFG = s.foreground;
    f.TextColourFG = f.TrackColourFG = f.TideColourFG = s.fg;
}

PreferencesModel::PreferencesModel(MainController& controller)
    : c_(controller)
{
}

void PreferencesModel::Fill()
{
    const ProgramState& state = c_.state();
    const Settings& settings = state.settings;
    const Preferences& prefs = state.prefs;
    PreferencesFields& f = fields;

    f.Defaults = std::clamp(settings.ColourScheme, 0, kCustomScheme);
    f.GlobalColorFG = std::clamp(settings.GridForeIndex, 0, 15);
    f.GlobalColorBG = std::clamp(settings.GridBackIndex, 0, 15);
    f.TextColourFG = settings.TextColourFG;
    f.TrackColourFG = settings.TrackColourFG;
    f.TideColourFG = settings.TideColourFG;

    f.Unit = DistanceUnitOf(state.settings.units.UnitFactor);
    f.KnAlways = state.prefs.units.KnotsAlways;
    f.PositionMode = std::clamp(settings.PositionDisplayMode, -1, 8);

    f.WP_auto = state.prefs.route.AutoNextWaypoint;
    f.CapDist = Clamp(Rounded(state.settings.route.ArrivalRadius * 100.0), "CapDist");
    f.Deadband = Clamp(Rounded(state.settings.route.XTEDeadband * 100.0), "Deadband");
    f.Completion = prefs.OnRouteCompletion;
    f.RevRoute = state.routeProgress.RouteReversed;
    f.Voice = prefs.Voice;
    f.WPVoice = prefs.WPVoice;
    f.Vfreq = prefs.Vfreq;
    f.AISvoice = prefs.AISvoice;

    // The stored hour is already rounded up by the minutes; the dialog shows the hour typed.
    f.HWMin = Clamp(state.prefs.tide.HighWaterMinute, "HWMin");
    f.HWhour = state.prefs.tide.HighWaterHour;
    if (f.HWMin > 29) {
        f.HWhour = (f.HWhour + 23) % 24;
    }
    f.HWhour = Clamp(f.HWhour, "HWhour");
    f.Vspeed = Clamp(Rounded(state.settings.vessel.BoatSpeed), "Vspeed");
    f.ManTide = !state.prefs.tide.AtlasTide;
    f.Tset = Clamp(state.prefs.tide.Tset, "Tset");
    f.TDrift = Clamp(state.prefs.tide.TDrift, "TDrift");

    f.LatOffs = Clamp(Rounded(state.chartRef.ChartLatOffset * kChartOffsetUnitsPerDegree), "LatOffs");
    f.LongOffs = Clamp(Rounded(state.chartRef.ChartLongOffset * kChartOffsetUnitsPerDegree), "LongOffs");
    f.ALmode = state.settings.fix.AutoChart;
    // The rotation is kept as the negated angle in radians.
    f.ViewAngle = ((Rounded(-state.headUp.ViewAngle * 180.0 / kPi) % 360) + 360) % 360;
    f.HeadUp = prefs.HeadUp;
    f.HUPdeadB = Clamp(state.prefs.fix.HeadUpDeadBand, "HUPdeadB");
    f.NoOffsets = prefs.NoOffsets;

    f.LogParse = settings.TextLogFormat;
    f.KeepTextLog = state.settings.fix.KeepTextLog;
    f.RepRate = Clamp(state.prefs.fix.RepRate, "RepRate");
    f.KeepLog = state.prefs.fix.DisposalStep != 0;
    f.PBspeed = Clamp(state.ais.PBspeed, "PBspeed");
    f.BrowserPath = settings.TextLogViewerPath;

    f.Mspeed = std::clamp<int>(state.settings.vessel.DRSpeedSource, 0, 1);
    f.Mcourse = std::clamp<int>(state.settings.vessel.DRCourseSource, 0, 1);

    f.Spoints = state.textLog.TextLogFixCount;
    f.Enumber = state.textLog.EventNumber;

    f.NMEAOutputOn = state.settings.nmea.NMEAOutputOn;
    f.sendAPB = state.prefs.nmea.sendAPB;
    f.sendXTE = state.prefs.nmea.sendXTE;
    f.sendHSC = state.prefs.nmea.sendHSC;
    f.SendBOD = state.prefs.nmea.SendBOD;
    f.sendBWR = state.prefs.nmea.sendBWR;
    f.SendVTG = state.prefs.nmea.SendVTG;
    f.SendRMB = state.prefs.nmea.SendRMB;
    f.Variation = Clamp(state.sentenceFix.MagVariation, "Variation");
    f.SendCustom = state.prefs.nmea.SendCustom;
    f.CustomNMEA = state.prefs.nmea.CustomNMEA;

    f.COMno = Clamp(static_cast<int>(std::min<std::uint32_t>(state.settings.nmea.ComPortNumber, 1000)), "COMno");
    f.Rate = state.settings.nmea.BaudRate == 38400 ? 1 : 0;
    f.AutoLaunch = state.settings.fix.NmeaStartMode == "Auto";
    f.Sent = state.prefs.nmea.PositionSentence == 1 ? 1 : 0;

    const ExtraSettings& extra = state.extra;
    f.ClassBAndAtoNTargets = extra.ClassBAndAtoNTargets;
    f.CollisionWarnings = extra.CollisionWarnings;
    f.CollisionAlarm = extra.CollisionAlarm;
    f.CpaLimitNm = extra.CpaLimitNm;
    f.TcpaLimitMin = extra.TcpaLimitMin;
    f.GpsLostAlarm = extra.GpsLostAlarm;
    f.GpsLostSeconds = extra.GpsLostSeconds;
    f.ArrivalAlarm = extra.ArrivalAlarm;
    f.OffTrackNm = extra.OffTrackNm;
    f.AnchorRadiusM = extra.AnchorRadiusM;
    f.NightPalette = extra.NightPalette;
    f.LargeNavFigures = extra.LargeNavFigures;

    FillStats();
    filled_ = f;
}

void PreferencesModel::FillStats()
{
    const ProgramState& state = c_.state();
    stats.chartPoints = state.chart.count();
    stats.layerMask = state.chart.LayerMarker;
    stats.waypoints = static_cast<int>(state.waypoints.count());
    stats.tideDiamonds = static_cast<int>(state.tides.count());
    stats.routeWaypoints = static_cast<int>(state.route.count());
    stats.quickLog = static_cast<int>(state.quickLog.count());
    stats.aisDatabase = state.ais.AISDatabaseCount;
    stats.aisTargets = state.ais.targets.count();
    stats.droppedSentences = state.nmeaLink.DroppedSentences;
}

bool PreferencesModel::CountersEnabled() const
{
    return !c_.state().settings.fix.DRMode && !c_.state().nmeaLink.NmeaOpen;
}

void PreferencesModel::TabSetClick(int tab)
{
    page = std::clamp(tab, 0, static_cast<int>(kPreferencesPages.size()) - 1);
}

void PreferencesModel::SpeedButton1Click()
{
    page = (page + 1) % static_cast<int>(kPreferencesPages.size());
}

void PreferencesModel::RedrawAfterImmediateChange()
{
    c_.RedrawViews();
    c_.UpdateMenuItems();
}

void PreferencesModel::DefaultsClick(int scheme)
{
    const int bg = fields.GlobalColorBG;
    const int fg = fields.GlobalColorFG;
    ApplyColourScheme(fields, scheme);
    if (fields.GlobalColorBG != bg || fields.GlobalColorFG != fg) {
        GlobalColorChange(fields.GlobalColorFG, fields.GlobalColorBG);
    }
}

void PreferencesModel::GlobalColorChange(int foreground, int background)
{
    fields.GlobalColorFG = std::clamp(foreground, 0, 15);
    fields.GlobalColorBG = std::clamp(background, 0, 15);
    // The grid's indices go with its colours, so that the dialog opens again on the colours the
    // views show even after Cancel.
    Settings& settings = c_.state().settings;
    settings.GridForeIndex = fields.GlobalColorFG;
    settings.GridBackIndex = fields.GlobalColorBG;
    settings.ChartForeColour = ConfigColourOfGridIndex(fields.GlobalColorFG);
    settings.ChartBackColour = ConfigColourOfGridIndex(fields.GlobalColorBG);
    RedrawAfterImmediateChange();
}

void PreferencesModel::UnitClick(DistanceUnit unit)
{
    fields.Unit = unit;
    c_.state().settings.units.UnitFactor = UnitFactorOf(unit);
    RedrawAfterImmediateChange();
}

void PreferencesModel::WP_autoClick(bool on)
{
    fields.WP_auto = on;
}

void PreferencesModel::RevRouteClick(bool on)
{
    // A repeated route always runs forwards.
    fields.RevRoute = on && fields.Completion != RouteCompletion::RepRoute;
}

void PreferencesModel::CompletionClick(RouteCompletion completion)
{
    fields.Completion = completion;
    if (completion == RouteCompletion::RepRoute) {
        fields.RevRoute = false;
    }
}

void PreferencesModel::WPVoiceClick(bool on)
{
    fields.WPVoice = on;
    c_.state().prefs.WPVoice = on;
    c_.state().cycleState.ApproachPending = false;
}

void PreferencesModel::ManTideClick(bool on)
{
    fields.ManTide = on;
    c_.tides().ManTideClick(on);
    RedrawAfterImmediateChange();
}

void PreferencesModel::AvTideClick()
{
    // The average goes into the two fields; like them it is stored by OK, not by the click.
    const std::int16_t set = c_.state().prefs.tide.Tset;
    const std::int16_t drift = c_.state().prefs.tide.TDrift;
    c_.tides().AvTideClick();
    fields.Tset = Clamp(c_.state().prefs.tide.Tset, "Tset");
    fields.TDrift = Clamp(c_.state().prefs.tide.TDrift, "TDrift");
    c_.state().prefs.tide.Tset = set;
    c_.state().prefs.tide.TDrift = drift;
}

void PreferencesModel::Cht2WGS84Click()
{
    ProgramState& state = c_.state();
    ChartDatumController datum(state.chartRef, c_.platform());
    datum.setChartPoints([&state](const PositionEdit& edit) {
        for (int i = 1; i <= state.chart.count(); ++i) {
            const ChartPoint& p = state.chart.point(i);
            if (p.isPenUp()) {
                continue;
            }
            double lat = p.lat();
            double lon = p.lon();
            edit(lat, lon);
            state.chart.setPoint(i, ChartPoint::make(lat, lon, p.lineType()));
            state.chart.Modified = true;
        }
    });
    datum.setChartWaypoints([&state](const PositionEdit& edit) {
        for (ChartWaypoint& w : state.waypoints) {
            edit(w.lat, w.lon);
        }
    });
    ChartOffsetFields offsets { fields.LatOffs, fields.LongOffs };
    datum.Cht2WGS84Click(offsets);
    fields.LatOffs = offsets.LatOffs;
    fields.LongOffs = offsets.LongOffs;
    // The offsets now in the state are what the chart was converted with (or as before).
    filled_.LatOffs = fields.LatOffs;
    filled_.LongOffs = fields.LongOffs;
    c_.RedrawViews();
}

void PreferencesModel::NMEAOutputOnClick(bool on)
{
    fields.NMEAOutputOn = on;
}

void PreferencesModel::SetSourceClick(const std::string& address)
{
    const std::string problem
        = SetComEntry(c_.state().folders.AppDir.str(), static_cast<unsigned>(Clamp(fields.COMno, "COMno")), address);
    if (!problem.empty()) {
        c_.platform().prompter.error(problem);
    }
}

bool PreferencesModel::OKBtnClick()
{
    if (!FormatHasPosition(fields.LogParse) && !c_.state().sentenceFix.EventSentence) {
        fields.LogParse = kPositionPrefix + fields.LogParse;
        c_.platform().prompter.information(kPositionOmitted);
    }
    Apply();
    return true;
}

void PreferencesModel::Apply()
{
    ProgramState& state = c_.state();
    Settings& settings = state.settings;
    Preferences& prefs = state.prefs;
    const PreferencesFields& f = fields;
    // A spin field the user did not touch keeps the exact value it was filled from.
    const auto changed = [this](int PreferencesFields::*field) { return fields.*field != filled_.*field; };

    state.settings.vessel.DRSpeedSource = static_cast<std::int16_t>(f.Mspeed);
    state.settings.vessel.DRCourseSource = static_cast<std::int16_t>(f.Mcourse);
    if (CountersEnabled()) {
        state.textLog.TextLogFixCount = static_cast<std::uint16_t>(std::clamp(f.Spoints, 0, 65535));
        state.textLog.EventNumber = static_cast<std::uint16_t>(std::clamp(f.Enumber, 0, 65535));
    }
    state.settings.fix.NmeaStartMode = f.AutoLaunch ? "Auto" : "Manual";

    // A port or rate the dialog cannot show (COM 20, 9600 baud from a hand-edited file) stays
    // unless the user chooses another.
    const std::uint32_t port = changed(&PreferencesFields::COMno) ? static_cast<std::uint32_t>(Clamp(f.COMno, "COMno"))
                                                                  : state.settings.nmea.ComPortNumber;
    const std::uint32_t baud
        = changed(&PreferencesFields::Rate) ? (f.Rate == 1 ? 38400u : 4800u) : state.settings.nmea.BaudRate;
    if (state.nmeaLink.NmeaOpen
        && (port != state.settings.nmea.ComPortNumber || baud != state.settings.nmea.BaudRate)) {
        c_.platform().prompter.warning(kComPortChangesLater);
    }
    state.settings.nmea.ComPortNumber = port;
    state.settings.nmea.BaudRate = baud;

    prefs.OnRouteCompletion = f.Completion;
    state.routeProgress.RouteReversed = f.RevRoute && f.Completion != RouteCompletion::RepRoute;
    state.prefs.route.AutoNextWaypoint = f.WP_auto;
    if (changed(&PreferencesFields::CapDist)) {
        state.settings.route.ArrivalRadius = Clamp(f.CapDist, "CapDist") / 100.0;
    }
    if (changed(&PreferencesFields::Deadband)) {
        state.settings.route.XTEDeadband = Clamp(f.Deadband, "Deadband") / 100.0;
    }

    state.prefs.tide.HighWaterMinute = static_cast<std::int16_t>(Clamp(f.HWMin, "HWMin"));
    state.prefs.tide.HighWaterHour
        = static_cast<std::int16_t>((Clamp(f.HWhour, "HWhour") + (f.HWMin > 29 ? 1 : 0)) % 24);

    if (changed(&PreferencesFields::Vspeed) || state.settings.vessel.BoatSpeed <= 0.0) {
        const int knots = Clamp(f.Vspeed, "Vspeed");
        // The hull speed divides the time to go; it is never quite zero.
        state.settings.vessel.BoatSpeed = knots == 0 ? 0.001 : knots;
    }
    if (f.ManTide) {
        state.prefs.tide.Tset = static_cast<std::int16_t>(Clamp(f.Tset, "Tset"));
        state.prefs.tide.TDrift = static_cast<std::int16_t>(Clamp(f.TDrift, "TDrift"));
    }
    if (!state.prefs.tide.AtlasTide) {
        // With the local tide in use the atlas no longer sets the stream at each fix: the course
        // to steer works with the set and drift the skipper typed (or averaged).
        state.tideStream.TideSet = state.prefs.tide.Tset;
        state.tideStream.TideRate = state.prefs.tide.TDrift / 10.0;
    }
    settings.PositionDisplayMode = std::clamp(f.PositionMode, -1, 8);
    state.prefs.units.KnotsAlways = f.KnAlways;

    if (changed(&PreferencesFields::LatOffs)) {
        state.chartRef.ChartLatOffset = Clamp(f.LatOffs, "LatOffs") / kChartOffsetUnitsPerDegree;
    }
    if (changed(&PreferencesFields::LongOffs)) {
        state.chartRef.ChartLongOffset = Clamp(f.LongOffs, "LongOffs") / kChartOffsetUnitsPerDegree;
    }
    prefs.HeadUp = f.HeadUp;
    state.prefs.fix.HeadUpDeadBand = static_cast<std::int16_t>(Clamp(f.HUPdeadB, "HUPdeadB"));
    if (!f.HeadUp && changed(&PreferencesFields::ViewAngle)) {
        state.headUp.ViewAngle = -Clamp(f.ViewAngle, "ViewAngle") * kPi / 180.0;
        state.headUp.ViewAngleCos = std::cos(state.headUp.ViewAngle);
        state.headUp.ViewAngleSin = std::sin(state.headUp.ViewAngle);
    }
    state.settings.fix.AutoChart = f.ALmode;
    prefs.NoOffsets = f.NoOffsets;

    ApplyLogFormat();

    if (changed(&PreferencesFields::PBspeed)) {
        c_.ais().SetPlaybackSpeed(Clamp(f.PBspeed, "PBspeed"));
    }
    // The text-log button is down while text logging is off.
    c_.logs().TxtLogOnOffClick(!f.KeepTextLog);
    state.prefs.fix.DisposalStep = static_cast<std::int16_t>(f.KeepLog ? 2 : 0);
    settings.TextLogViewerPath = f.BrowserPath;

    settings.ColourScheme = f.Defaults;
    settings.GridForeIndex = f.GlobalColorFG;
    settings.GridBackIndex = f.GlobalColorBG;
    settings.ChartForeColour = ConfigColourOfGridIndex(f.GlobalColorFG);
    settings.ChartBackColour = ConfigColourOfGridIndex(f.GlobalColorBG);
    settings.TextColourFG = f.TextColourFG;
    settings.TrackColourFG = f.TrackColourFG;
    settings.TideColourFG = f.TideColourFG;

    state.prefs.nmea.SendCustom = f.SendCustom;
    state.prefs.nmea.CustomNMEA = f.CustomNMEA;
    state.prefs.nmea.sendAPB = f.sendAPB;
    state.prefs.nmea.sendXTE = f.sendXTE;
    state.prefs.nmea.sendHSC = f.sendHSC;
    state.prefs.nmea.SendBOD = f.SendBOD;
    state.prefs.nmea.sendBWR = f.sendBWR;
    state.prefs.nmea.SendVTG = f.SendVTG;
    state.prefs.nmea.SendRMB = f.SendRMB;
    if (changed(&PreferencesFields::Variation)) {
        state.sentenceFix.MagVariation = static_cast<std::int16_t>(Clamp(f.Variation, "Variation"));
    }
    state.settings.nmea.NMEAOutputOn = f.NMEAOutputOn;

    prefs.Voice = f.Voice;
    prefs.WPVoice = f.WPVoice;
    prefs.Vfreq = f.Vfreq;
    prefs.AISvoice = f.AISvoice;
    state.prefs.nmea.PositionSentence = f.Sent;

    ApplyAisSafety();

    const LocalDateTime now = c_.platform().clock.now();
    state.tideStream.TidalHour
        = static_cast<std::int16_t>(TideHourOf(now.hour, now.minute, state.prefs.tide.HighWaterHour));
    c_.UpdateMenuItems();
    c_.RedrawViews();
}

void PreferencesModel::ApplyAisSafety()
{
    ProgramState& state = c_.state();
    const PreferencesFields& f = fields;
    ExtraSettings wanted = state.extra;
    wanted.ClassBAndAtoNTargets = f.ClassBAndAtoNTargets;
    wanted.CollisionWarnings = f.CollisionWarnings;
    wanted.NightPalette = f.NightPalette;
    // The alarm sounds only for warnings; without them it stays as it was.
    if (f.CollisionWarnings) {
        wanted.CollisionAlarm = f.CollisionAlarm;
    }
    if (std::isfinite(f.CpaLimitNm)) {
        wanted.CpaLimitNm = std::clamp(f.CpaLimitNm, 0.0, kCpaLimitMaxNm);
    }
    if (std::isfinite(f.TcpaLimitMin)) {
        wanted.TcpaLimitMin = std::clamp(f.TcpaLimitMin, 0.0, kTcpaLimitMaxMin);
    }
    wanted.GpsLostAlarm = f.GpsLostAlarm;
    wanted.GpsLostSeconds = std::clamp(f.GpsLostSeconds, 1, kGpsLostMaxSeconds);
    wanted.ArrivalAlarm = f.ArrivalAlarm;
    if (std::isfinite(f.OffTrackNm)) {
        wanted.OffTrackNm = std::clamp(f.OffTrackNm, 0.0, kOffTrackMaxNm);
    }
    wanted.AnchorRadiusM
        = std::clamp(f.AnchorRadiusM, static_cast<int>(kAnchorRadiusMinM), static_cast<int>(kAnchorRadiusMaxM));
    wanted.LargeNavFigures = f.LargeNavFigures;
    const std::string path = state.folders.AppDir.str() + kExtraSettingsFile;
    if (!ChangeExtraSettings(path, state.extra, wanted)) {
        state.display.StatusLine = kExtraSettingsNotWritten + path;
    }
    c_.alarms().ApplySettings();
}

void PreferencesModel::ApplyLogFormat()
{
    ProgramState& state = c_.state();
    const std::string& format = fields.LogParse;
    const std::string path = c_.logs().TextLogPath();
    // The format of the open log is the one in its header, which every line written follows.
    std::string open = state.textLog.TextLogFileFormat;
    if (const auto lines = ReadTextLines(path); lines && lines->size() >= 2) {
        open = (*lines)[1];
    } else if (!PathTaken(path)) {
        open = format; // no log yet: the next line creates it with this format
    }
    if (format == open) {
        state.settings.TextLogFormat = format;
        return;
    }
    if (!c_.platform().prompter.confirm(kLogFormatChanged)) {
        return;
    }
    // The day's lines stay: the old file moves to a name beside it before the new header.
    std::string kept;
    if (PathTaken(path)) {
        const auto moved = MoveAside(path, [&path](int n) { return SetAsideName(path, n + 1); });
        if (!moved) {
            state.display.StatusLine = kOldTextLogNotKept + path;
            return;
        }
        kept = *moved;
    }
    if (!WriteTextLinesAtomic(path, { "Log Date : " + state.textLog.LogNameBase.str(), format })) {
        c_.platform().prompter.error(kTextLogWriteError);
        return;
    }
    state.settings.TextLogFormat = format;
    state.textLog.TextLogFileFormat = format;
    state.textLog.TextLogFixCount = 0;
    state.textLog.EventNumber = 0;
    if (!kept.empty()) {
        state.display.StatusLine = kOldTextLogKept + NameWithoutExtension(kept) + ExtensionOf(kept);
    }
}

} // namespace kv
