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
    static constexpr std::array<Scheme, 4> kSchemes{{{4, 15, false}, {0, 3, false}, {0, 15, false}, {15, 0, true}}};
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

PreferencesModel::PreferencesModel(MainController& controller) : c_(controller) {}

void PreferencesModel::Fill()
{
    const ProgramState& state = c_.state();
    const NavState& nav = state.nav;
    const Settings& settings = state.settings;
    const Preferences& prefs = state.prefs;
    PreferencesFields& f = fields;

    f.Defaults = std::clamp(settings.ColourScheme, 0, kCustomScheme);
    f.GlobalColorFG = std::clamp(settings.GridForeIndex, 0, 15);
    f.GlobalColorBG = std::clamp(settings.GridBackIndex, 0, 15);
    f.TextColourFG = settings.TextColourFG;
    f.TrackColourFG = settings.TrackColourFG;
    f.TideColourFG = settings.TideColourFG;

    f.Unit = DistanceUnitOf(nav.UnitFactor);
    f.KnAlways = nav.KnotsAlways;
    f.PositionMode = std::clamp(settings.PositionDisplayMode, -1, 8);

    f.WP_auto = nav.AutoNextWaypoint;
    f.CapDist = Clamp(Rounded(nav.ArrivalRadius * 100.0), "CapDist");
    f.Deadband = Clamp(Rounded(nav.XTEDeadband * 100.0), "Deadband");
    f.Completion = prefs.OnRouteCompletion;
    f.RevRoute = nav.RouteReversed;
    f.Voice = prefs.Voice;
    f.WPVoice = prefs.WPVoice;
    f.Vfreq = prefs.Vfreq;
    f.AISvoice = prefs.AISvoice;

    // The stored hour is already rounded up by the minutes; the dialog shows the hour typed.
    f.HWMin = Clamp(nav.HighWaterMinute, "HWMin");
    f.HWhour = nav.HighWaterHour;
    if (f.HWMin > 29) {
        f.HWhour = (f.HWhour + 23) % 24;
    }
    f.HWhour = Clamp(f.HWhour, "HWhour");
    f.Vspeed = Clamp(Rounded(nav.BoatSpeed), "Vspeed");
    f.ManTide = !nav.AtlasTide;
    f.Tset = Clamp(nav.Tset, "Tset");
    f.TDrift = Clamp(nav.TDrift, "TDrift");

    f.LatOffs = Clamp(Rounded(nav.ChartLatOffset * kChartOffsetUnitsPerDegree), "LatOffs");
    f.LongOffs = Clamp(Rounded(nav.ChartLongOffset * kChartOffsetUnitsPerDegree), "LongOffs");
    f.ALmode = nav.AutoChart;
    // The rotation is kept as the negated angle in radians.
    f.ViewAngle = ((Rounded(-nav.ViewAngle * 180.0 / kPi) % 360) + 360) % 360;
    f.HeadUp = prefs.HeadUp;
    f.HUPdeadB = Clamp(nav.HeadUpDeadBand, "HUPdeadB");
    f.NoOffsets = prefs.NoOffsets;

    f.LogParse = settings.TextLogFormat;
    f.KeepTextLog = nav.KeepTextLog;
    f.RepRate = Clamp(nav.RepRate, "RepRate");
    f.KeepLog = nav.DisposalStep != 0;
    f.PBspeed = Clamp(state.ais.PBspeed, "PBspeed");
    f.BrowserPath = settings.TextLogViewerPath;

    f.Mspeed = std::clamp<int>(nav.DRSpeedSource, 0, 1);
    f.Mcourse = std::clamp<int>(nav.DRCourseSource, 0, 1);

    f.Spoints = nav.TextLogFixCount;
    f.Enumber = nav.EventNumber;

    f.NMEAOutputOn = nav.NMEAOutputOn;
    f.sendAPB = nav.sendAPB;
    f.sendXTE = nav.sendXTE;
    f.sendHSC = nav.sendHSC;
    f.SendBOD = nav.SendBOD;
    f.sendBWR = nav.sendBWR;
    f.SendVTG = nav.SendVTG;
    f.SendRMB = nav.SendRMB;
    f.Variation = Clamp(nav.MagVariation, "Variation");
    f.SendCustom = nav.SendCustom;
    f.CustomNMEA = nav.CustomNMEA;

    f.COMno = Clamp(static_cast<int>(std::min<std::uint32_t>(nav.ComPortNumber, 1000)), "COMno");
    f.Rate = nav.BaudRate == 38400 ? 1 : 0;
    f.AutoLaunch = nav.NmeaStartMode == "Auto";
    f.Sent = nav.PositionSentence == 1 ? 1 : 0;

    const ExtraSettings& extra = state.extra;
    f.ClassBAndAtoNTargets = extra.ClassBAndAtoNTargets;
    f.CollisionWarnings = extra.CollisionWarnings;
    f.CollisionAlarm = extra.CollisionAlarm;
    f.CpaLimitNm = extra.CpaLimitNm;
    f.TcpaLimitMin = extra.TcpaLimitMin;

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
    stats.aisTargets = state.ais.AISTargetCount;
}

bool PreferencesModel::CountersEnabled() const
{
    const NavState& nav = c_.state().nav;
    return !nav.DRMode && !nav.NmeaOpen;
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
    c_.state().nav.UnitFactor = UnitFactorOf(unit);
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
    c_.state().nav.ApproachPending = false;
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
    NavState& nav = c_.state().nav;
    const std::int16_t set = nav.Tset;
    const std::int16_t drift = nav.TDrift;
    c_.tides().AvTideClick();
    fields.Tset = Clamp(nav.Tset, "Tset");
    fields.TDrift = Clamp(nav.TDrift, "TDrift");
    nav.Tset = set;
    nav.TDrift = drift;
}

void PreferencesModel::Cht2WGS84Click()
{
    ProgramState& state = c_.state();
    ChartDatumController datum(state.nav, c_.platform());
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
        }
    });
    datum.setChartWaypoints([&state](const PositionEdit& edit) {
        for (ChartWaypoint& w : state.waypoints) {
            edit(w.lat, w.lon);
        }
    });
    ChartOffsetFields offsets{fields.LatOffs, fields.LongOffs};
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
    const std::string problem =
        SetComEntry(c_.state().nav.AppDir.str(), static_cast<unsigned>(Clamp(fields.COMno, "COMno")), address);
    if (!problem.empty()) {
        c_.platform().prompter.error(problem);
    }
}

bool PreferencesModel::OKBtnClick()
{
    if (!FormatHasPosition(fields.LogParse) && !c_.state().nav.EventSentence) {
        fields.LogParse = kPositionPrefix + fields.LogParse;
        c_.platform().prompter.information(kPositionOmitted);
    }
    Apply();
    return true;
}

void PreferencesModel::Apply()
{
    ProgramState& state = c_.state();
    NavState& nav = state.nav;
    Settings& settings = state.settings;
    Preferences& prefs = state.prefs;
    const PreferencesFields& f = fields;
    // A spin field the user did not touch keeps the exact value it was filled from.
    const auto changed = [this](int PreferencesFields::*field) { return fields.*field != filled_.*field; };

    nav.DRSpeedSource = static_cast<std::int16_t>(f.Mspeed);
    nav.DRCourseSource = static_cast<std::int16_t>(f.Mcourse);
    if (CountersEnabled()) {
        nav.TextLogFixCount = static_cast<std::uint16_t>(std::clamp(f.Spoints, 0, 65535));
        nav.EventNumber = static_cast<std::uint16_t>(std::clamp(f.Enumber, 0, 65535));
    }
    nav.NmeaStartMode = f.AutoLaunch ? "Auto" : "Manual";

    // A port or rate the dialog cannot show (COM 20, 9600 baud from a hand-edited file) stays
    // unless the user chooses another.
    const std::uint32_t port =
        changed(&PreferencesFields::COMno) ? static_cast<std::uint32_t>(Clamp(f.COMno, "COMno")) : nav.ComPortNumber;
    const std::uint32_t baud = changed(&PreferencesFields::Rate) ? (f.Rate == 1 ? 38400u : 4800u) : nav.BaudRate;
    if (nav.NmeaOpen && (port != nav.ComPortNumber || baud != nav.BaudRate)) {
        c_.platform().prompter.warning(kComPortChangesLater);
    }
    nav.ComPortNumber = port;
    nav.BaudRate = baud;

    prefs.OnRouteCompletion = f.Completion;
    nav.RouteReversed = f.RevRoute && f.Completion != RouteCompletion::RepRoute;
    nav.AutoNextWaypoint = f.WP_auto;
    if (changed(&PreferencesFields::CapDist)) {
        nav.ArrivalRadius = Clamp(f.CapDist, "CapDist") / 100.0;
    }
    if (changed(&PreferencesFields::Deadband)) {
        nav.XTEDeadband = Clamp(f.Deadband, "Deadband") / 100.0;
    }

    nav.HighWaterMinute = static_cast<std::int16_t>(Clamp(f.HWMin, "HWMin"));
    nav.HighWaterHour = static_cast<std::int16_t>((Clamp(f.HWhour, "HWhour") + (f.HWMin > 29 ? 1 : 0)) % 24);

    if (changed(&PreferencesFields::Vspeed) || nav.BoatSpeed <= 0.0) {
        const int knots = Clamp(f.Vspeed, "Vspeed");
        // The hull speed divides the time to go; it is never quite zero.
        nav.BoatSpeed = knots == 0 ? 0.001 : knots;
    }
    if (f.ManTide) {
        nav.Tset = static_cast<std::int16_t>(Clamp(f.Tset, "Tset"));
        nav.TDrift = static_cast<std::int16_t>(Clamp(f.TDrift, "TDrift"));
    }
    settings.PositionDisplayMode = std::clamp(f.PositionMode, -1, 8);
    nav.KnotsAlways = f.KnAlways;

    if (changed(&PreferencesFields::LatOffs)) {
        nav.ChartLatOffset = Clamp(f.LatOffs, "LatOffs") / kChartOffsetUnitsPerDegree;
    }
    if (changed(&PreferencesFields::LongOffs)) {
        nav.ChartLongOffset = Clamp(f.LongOffs, "LongOffs") / kChartOffsetUnitsPerDegree;
    }
    prefs.HeadUp = f.HeadUp;
    nav.HeadUpDeadBand = static_cast<std::int16_t>(Clamp(f.HUPdeadB, "HUPdeadB"));
    if (!f.HeadUp && changed(&PreferencesFields::ViewAngle)) {
        nav.ViewAngle = -Clamp(f.ViewAngle, "ViewAngle") * kPi / 180.0;
        nav.ViewAngleCos = std::cos(nav.ViewAngle);
        nav.ViewAngleSin = std::sin(nav.ViewAngle);
    }
    nav.AutoChart = f.ALmode;
    prefs.NoOffsets = f.NoOffsets;

    ApplyLogFormat();

    if (changed(&PreferencesFields::PBspeed)) {
        c_.ais().SetPlaybackSpeed(Clamp(f.PBspeed, "PBspeed"));
    }
    // The text-log button is down while text logging is off.
    c_.logs().TxtLogOnOffClick(!f.KeepTextLog);
    nav.DisposalStep = static_cast<std::int16_t>(f.KeepLog ? 2 : 0);
    settings.TextLogViewerPath = f.BrowserPath;

    settings.ColourScheme = f.Defaults;
    settings.GridForeIndex = f.GlobalColorFG;
    settings.GridBackIndex = f.GlobalColorBG;
    settings.ChartForeColour = ConfigColourOfGridIndex(f.GlobalColorFG);
    settings.ChartBackColour = ConfigColourOfGridIndex(f.GlobalColorBG);
    settings.TextColourFG = f.TextColourFG;
    settings.TrackColourFG = f.TrackColourFG;
    settings.TideColourFG = f.TideColourFG;

    nav.SendCustom = f.SendCustom;
    nav.CustomNMEA = f.CustomNMEA;
    nav.sendAPB = f.sendAPB;
    nav.sendXTE = f.sendXTE;
    nav.sendHSC = f.sendHSC;
    nav.SendBOD = f.SendBOD;
    nav.sendBWR = f.sendBWR;
    nav.SendVTG = f.SendVTG;
    nav.SendRMB = f.SendRMB;
    if (changed(&PreferencesFields::Variation)) {
        nav.MagVariation = static_cast<std::int16_t>(Clamp(f.Variation, "Variation"));
    }
    nav.NMEAOutputOn = f.NMEAOutputOn;

    prefs.Voice = f.Voice;
    prefs.WPVoice = f.WPVoice;
    prefs.Vfreq = f.Vfreq;
    prefs.AISvoice = f.AISvoice;
    nav.PositionSentence = f.Sent;

    ApplyAisSafety();

    const LocalDateTime now = c_.platform().clock.now();
    nav.TidalHour = static_cast<std::int16_t>(TideHourOf(now.hour, now.minute, nav.HighWaterHour));
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
    const std::string path = state.nav.AppDir.str() + kExtraSettingsFile;
    if (!ChangeExtraSettings(path, state.extra, wanted)) {
        state.display.StatusLine = kExtraSettingsNotWritten + path;
    }
}

void PreferencesModel::ApplyLogFormat()
{
    ProgramState& state = c_.state();
    NavState& nav = state.nav;
    const std::string& format = fields.LogParse;
    const std::string path = c_.logs().TextLogPath();
    // The format of the open log is the one in its header, which every line written follows.
    std::string open = nav.TextLogFileFormat;
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
    if (!WriteTextLinesAtomic(path, {"Log Date : " + nav.LogNameBase.str(), format})) {
        c_.platform().prompter.error(kTextLogWriteError);
        return;
    }
    state.settings.TextLogFormat = format;
    nav.TextLogFileFormat = format;
    nav.TextLogFixCount = 0;
    nav.EventNumber = 0;
    if (!kept.empty()) {
        state.display.StatusLine = kOldTextLogKept + NameWithoutExtension(kept) + ExtensionOf(kept);
    }
}

} // namespace kv
