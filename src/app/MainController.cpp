#include "app/MainController.h"
#include "app/ChartEditGlue.h"
#include "core/Caption.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisTargets.h"
#include "app/DataPlot.h"
#include "app/EditUndo.h"
#include "app/Lifecycle.h"
#include "app/MenuState.h"
#include "core/Config.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "geodesy/PositionReadout.h"
#include "navigation/RouteFollowing.h"
#include "nmea/InstrumentSentences.h"
#include "views/EditRefresh.h"
#include "views/SurveyLogDraw.h"
#include "views/ViewAis.h"

namespace kv {

MainController::MainController(ProgramState& state, Platform& platform, MainWindowHooks& window)
    : state_(state)
    , platform_(platform)
    , window_(window)
{
    ais_ = std::make_unique<AisController>(state_, platform_);
    nmea_ = std::make_unique<NmeaInterface>(state_, platform_, ais_.get());
    charts_ = std::make_unique<ChartFiles>(state_, platform_, static_cast<ChartViewHooks&>(*this));
    editor_ = std::make_unique<ChartEditor>(
        state_, platform_.prompter, static_cast<ChartViewHooks&>(*this), static_cast<ChartEditHooks&>(*this));
    routes_ = std::make_unique<RouteEditor>(state_.route, state_.routeProgress, state_.routeEdit, state_.fixInfo,
        state_.chartRef, state_.waypoints, state_.settings, state_.settings.fix, state_.folders, state_.display,
        platform_.prompter, static_cast<RouteHooks&>(*this));
    tides_ = std::make_unique<TidalAtlas>(state_.tides, state_.tideStream, state_.prefs.tide, state_.fixInfo,
        state_.chartRef, state_.motion, state_.routeProgress, state_.settings.vessel, state_.display, platform_);
    views_ = std::make_unique<ViewSet>(ViewRecords(state_), platform_.prompter);
    views_->nowDays = [this] { return DaysFromDateTime(platform_.clock.now()); };
    views_->hooks.waypointSnap = [this] { editor_->WaypointSnapMode1Click(); };
    // Every drawing of a view, whatever command asks for it, turns by the angle the preferences
    // or the heading-up rule last set.
    views_->viewAngle = [this] { return state_.headUp.ViewAngle; };
    logs_ = std::make_unique<TrackLogs>(state_, platform_);
    remarks_ = std::make_unique<Remarks>(state_, platform_);
    fix_ = std::make_unique<FixCycle>(FixCycleRecords(state_), platform_, *logs_, static_cast<FixCycleHooks&>(*this));
    alarms_ = std::make_unique<AlarmWatch>(state_, platform_);
    undo_ = std::make_unique<EditUndo>(*this);
    ais_->redrawViews = [this] { RedrawViews(); };
    ais_->processPositionSentence = [this](const std::string& line) {
        state_.cycleState.CurrentSentence = line;
        fix_->ProcessSentence(true);
    };
    ais_->purgeQuickLog = [this] { logs_->PurgeQuickLog(); };
    nmea_->setSentenceTap([this](const std::string& sentence) { SentenceReceived(sentence); });
    ais_->purgeQuickLogAsking = [this] { logs_->Log1Click(); };
}

void MainController::setViewCaptions(const std::string& caption)
{
    for (int i = 0; i < views_->count(); ++i) {
        views_->view(i).caption = caption;
    }
}

bool MainController::ChartPointsAllowed() const
{
    return state_.display.isEnabled(Control::ChartPoints1) && views_->count() > 0
        && views_->view(ActiveView()).zoom >= 1.0;
}

std::string MainController::snapSentence(double lat, double lon)
{
    return SnapSentence(state_, platform_.clock, lat, lon);
}

bool MainController::showWaypointForm(ChartWaypointForm& form)
{
    WaypointDialogModel model;
    // The grid fields show the grid the positions are displayed in (UTM read-only).
    model.PositionMode = state_.settings.PositionDisplayMode;
    FillWaypointDialog(model, form);
    const bool ok = window_.runWaypointDialog(model, form.readOnly);
    if (ok && !form.readOnly) {
        ReadWaypointDialog(model, form);
    }
    return ok && !form.readOnly;
}

void MainController::resetCrossTrack()
{
    RestartLeg(state_.routeProgress, state_.routeTexts, state_.fixInfo, state_.chartRef,
        state_.prefs.route.TowNavigation, state_.route);
}

void MainController::PlaceVesselOutline()
{
    views_->shared.vesselOutline = OwnVesselDimensions(state_.settings.vessel, state_.settings);
}

void MainController::RedrawViews()
{
    views_->SyncRotation(); // also with no view open: the next one turns by it from the start
    for (int i = 0; i < views_->count(); ++i) {
        views_->Redraw(views_->view(i));
    }
}

int MainController::ActiveView() const
{
    const int active = window_.activeViewIndex();
    return active >= 0 && active < views_->count() ? active : views_->count() - 1;
}

void MainController::RefRateTimer(int index)
{
    if (index >= 0 && index < views_->count()) {
        kv::RefRateTimer(*views_, views_->view(index), DaysFromDateTime(platform_.clock.now()));
    }
    // Other messages take the status line between AIS reports; a dangerous target is named again.
    WatchCollisions(state_, platform_);
    alarms_->EncountersChanged();
}

void MainController::SentenceReceived(const std::string& sentence)
{
    ApplyInstrumentRecord(ParseInstrumentSentence(sentence, state_.sentenceFix.MagVariation), state_.instruments,
        InstrumentSeconds(platform_.clock.now()), state_.extra.ShallowAlarmMetres, state_.display);
    if (relay_ != nullptr) {
        relay_->relay(sentence + "\r\n");
    }
}

void MainController::FixTaken()
{
    // The fix's own output goes to the other devices as well as to the link.
    if (relay_ != nullptr && !state_.nmeaLink.OutputText.empty()) {
        relay_->relay(state_.nmeaLink.OutputText);
    }
    // Own position and motion have changed: an encounter may have begun or ended without any
    // target report, and the fix's own status texts must not hide the warning.
    WatchCollisions(state_, platform_);
    alarms_->FixTaken();
}

MainController::~MainController() = default;

void MainController::FormCreate(const std::string& workingFolder, const std::string& configArgument)
{
    Display& d = state_.display;
    AppState& app = state_.app;

    state_.cycleState.SoundIdle = true;
    state_.prefs.units.DecimalStyle = true;
    state_.prefs.units.KnotsAlways = true;
    state_.nmeaLink.NmeaOpen = false;
    state_.sentenceFix.EventSentence = false;
    app.ChartEditMode = false;
    state_.prefs.route.AutoNextWaypoint = true;
    state_.prefs.fix.DisposalStep = 2;
    state_.cycleState.DropIndex = 2;
    state_.textLog.TextLogCountdown = 0;
    state_.settings.route.ArrivalRadius = 0.2;
    state_.prefs.tide.HighWaterHour = 12;
    state_.textLog.EventNumber = 0;
    state_.textLog.TextLogFixCount = 0;
    state_.settings.fix.AverageFixes = 6;
    state_.prefs.fix.RedrawEveryFixes = 1;
    state_.motion.TripDistance = 0.0;
    state_.motion.LastLegDistance = 0.0;
    d.Trip = "0.00 Nm";
    state_.settings.units.UnitFactor = 1.0;
    state_.chart.LayerMarker = kAllLayers;

    state_.folders.AppDir = WithTrailingSeparator(workingFolder);
    const std::string appDir = state_.folders.AppDir.str();
    app.ChartDialogDir = appDir + "charts/";
    app.RouteDialogDir = appDir + "routes/";
    app.TideDialogDir = appDir + "tides/";
    app.ConfigDialogDir = appDir;
    app.HelpFile = appDir + "KVAIS6.chm";

    d.FixTimer = { false, 0 };
    d.AISPlayTimer.intervalMs = 5000 / 10;

    app.StartupConfigPath = StartupConfigPath(appDir, configArgument);
    if (!ReadConfig(app.StartupConfigPath, state_.fixInfo, state_.chartRef, state_.folders, state_.settings)
        && PathTaken(app.StartupConfigPath)) {
        // Not a missing file (that is a first start) but something unreadable in its place.
        d.StatusLine = "Configuration " + app.StartupConfigPath + " " + RegularFileProblem(app.StartupConfigPath)
            + " - defaults used";
    }
    ApplyStartupVesselDimensions(state_.settings);
    // Until a view is drawn, the view to keep is the one the configuration names.
    state_.chartGeometry.LastViewLat = state_.fixInfo.OwnLat;
    state_.chartGeometry.LastViewLong = state_.fixInfo.OwnLong;
    state_.chartGeometry.LastViewZoom = state_.settings.ViewZoom;
    // kvfree.ini beside it: a missing file is a first start; a damaged one is noted, never fatal.
    const ExtraSettingsRead extra = ReadExtraSettings(appDir + kExtraSettingsFile);
    state_.extra = extra.settings;
    if (!extra.note.empty() && d.StatusLine.empty()) {
        d.StatusLine = extra.note;
    }
    alarms_->ApplySettings();
    // Rewrites cut short by a crash leave their temporaries behind; they are never finished.
    for (const std::string& folder : { appDir, appDir + "charts/", appDir + "routes/", appDir + "tides/",
             NormalizeSeparators(state_.folders.LogDir.str()), NormalizeSeparators(state_.folders.ChartDir.str()) }) {
        RemoveStaleTemporaries(folder);
    }

    app.LogDialogDir = state_.folders.LogDir.str();
    if (!state_.folders.ChartDir.empty()) {
        app.ChartDialogDir = state_.folders.ChartDir.str();
    }

    if (state_.settings.fix.NmeaStartMode.str() == "Auto") {
        d.checked[Control::NMEAInterface1] = true;
        state_.nmeaLink.NmeaOpen = true;
        d.hints[Control::NMEAServerOnOff] = kCloseNmeaHint;
        state_.settings.fix.DRMode = false;
    }

    platform_.serial.close();
    state_.nmeaLink.RxBuffer.clear();

    if (state_.settings.fix.DRMode) {
        d.FixTimer = { true, state_.settings.fix.FixIntervalMs };
        d.StatusLine = kDeadReckoningStatus;
    }
    d.checked[Control::DRMode1] = state_.settings.fix.DRMode;

    d.checked[Control::After15Mins1] = true;
    logs_->OpenDayLogs();

    state_.motion.DRSpeed = state_.settings.vessel.BoatSpeed;
    app.FirstTickPending = true;
    charts_->RebuildChartIndex();
    d.hints[Control::MeasureMode] = kMeasureStartHint;
    d.hints[Control::ExMeasure] = kTotaliseHint;
    d.checked[Control::NavigationData1] = app.NavPanelVisible;
    d.checked[Control::UpdateAISDatabase] = state_.ais.UpdateAISDatabase;
    d.checked[Control::SearchAISDatabase] = state_.ais.SearchAISDatabase;
    UpdateMenuItems();
    state_.routeProgress.RouteReversed = false;
}

void MainController::LoadStartupFiles()
{
    const std::string& configPath = state_.app.StartupConfigPath;
    ReadConfig(configPath, state_.fixInfo, state_.chartRef, state_.folders, state_.settings);
    ApplyStartupVesselDimensions(state_.settings);
    if (state_.folders.ChartName.empty()) {
        return;
    }
    const std::string routeName = state_.settings.RouteName;
    if (!routeName.empty()) {
        routes_->Routes1Click(JoinPath(state_.folders.AppDir.str(), "routes/" + routeName + ".rte"));
    }
    state_.chart.LayerMarker = kAllLayers;
    state_.chart.LayersEnabled = true;
    const std::string chartDir
        = state_.folders.ChartDir.empty() ? state_.folders.AppDir.str() + "charts/" : state_.folders.ChartDir.str();
    charts_->ReloadChart(chartDir + state_.folders.ChartName + ".cht");
    if (ended_) {
        return;
    }
    // The configuration wins over the chart's own position and settings, but not over the
    // chart's latitude for plane sailing.
    ReadConfig(configPath, state_.fixInfo, state_.chartRef, state_.folders, state_.settings);
    ApplyStartupVesselDimensions(state_.settings);
    KeepChartCosLat(state_);
    if (views_->count() > 0) {
        views_->view(0).zoom = state_.settings.ViewZoom;
    }
}

void MainController::StopDeadReckoning()
{
    Display& d = state_.display;
    d.checked[Control::DRMode1] = false;
    state_.settings.fix.DRMode = false;
    d.FixTimer = { false, 0 };
    d.StatusLine.clear();
}

void MainController::SecsTimerTimer()
{
    Display& d = state_.display;
    AppState& app = state_.app;

    if (app.FirstTickPending) {
        app.FirstTickPending = false;
        LoadStartupFiles();
        if (ended_) {
            return;
        }
        PlaceVesselOutline();
        if (state_.routeProgress.RouteLength == 0) {
            StopDeadReckoning();
        }
        RefreshViews();
        if (state_.settings.fix.NmeaStartMode.str() == "Auto") {
            if (state_.settings.nmea.ComPortNumber > 0) {
                nmea_->OpenAtStartup();
            }
            d.FixTimer = { true, state_.settings.fix.FixIntervalMs };
        }
        UpdateMenuItems();
        window_.showAboutBox();
    }

    const LocalDateTime now = platform_.clock.now();
    d.TimePanel = ZeroFill(FormatInt(now.hour, 2)) + ":" + ZeroFill(FormatInt(now.minute, 2)) + ":"
        + ZeroFill(FormatInt(now.second, 2));
    alarms_->Tick();

    if (state_.routeEdit.RouteListChanged) {
        routes_->RefreshNameList();
    }

    if (!state_.settings.fix.KeepTextLog) {
        app.TextLogButtonImage = state_.folders.AppDir.str() + "TLG.bmp";
    } else {
        app.TextLogBlink = !app.TextLogBlink;
        app.TextLogButtonImage = state_.folders.AppDir.str() + (app.TextLogBlink ? "TLG2.bmp" : "TLG.bmp");
    }
}

void MainController::UpdateMenuItems()
{
    MenuInputs in = MenuInputsFrom(state_.routeProgress, state_.settings.fix, state_.nmeaLink, views_->count(),
        static_cast<int>(state_.quickLog.count()));
    in.tidesLoaded = state_.tides.count() > 0;
    in.chartPointCount = state_.chart.count();
    in.chartWaypointCount = static_cast<int>(state_.waypoints.count());
    in.chartEditMode = state_.app.ChartEditMode;
    in.layerMaskSet = !state_.chart.LayerMarker.empty() && state_.chart.LayerMarker != kNoLayers;
    in.chartsAvailable = state_.chartIndex.count() > 0;
    if (views_->count() > 0) {
        in.activeViewZoom = views_->view(ActiveView()).zoom;
    }
    const bool viewsGone = kv::UpdateMenuItems(state_.display, in);
    if (viewsGone) {
        state_.chart.setCount(0);
        state_.waypoints.clear();
        state_.chart.LayerMarker = kAllLayers;
        state_.chart.ChartName.clear();
        state_.folders.ChartName.clear();
    }
    // Totalising only makes sense while the cursor is the user's, not the receiver's.
    const bool totalise = views_->shared.MeasureMode && !state_.settings.fix.DRMode && !state_.nmeaLink.NmeaOpen;
    state_.display.enabled[Control::ExMeasure] = totalise;
    state_.display.enabled[Control::ExMeasure1] = totalise;
}

void MainController::RefreshViews()
{
    views_->RefreshViews();
}

void MainController::showEditedPoint()
{
    RefreshKeepingViews(*views_);
}

bool MainController::FormCloseQuery()
{
    if (!platform_.prompter.confirm(kQuitQuestion)) {
        return false;
    }
    // Asked before anything is shut, so that Cancel leaves the program exactly as it was.
    if (state_.routeEdit.RouteModified && state_.routeProgress.RouteLength > 0) {
        switch (platform_.prompter.yesNoCancel(kSaveRouteBeforeExit)) {
        case Answer::Yes:
            if (!window_.saveRouteForExit()) {
                return false; // not saved: nothing is lost, the program keeps running
            }
            break;
        case Answer::No:
            break;
        case Answer::Cancel:
            return false;
        }
    }
    nmea_->CloseAtExit();
    ais_->StopPlayback();
    // Edits made with chart editing since switched off are asked about too.
    const bool chartEdited = state_.app.ChartEditMode || (state_.chart.Modified && state_.chart.count() > 0);
    if (chartEdited && views_->count() > 0 && platform_.prompter.confirm(kSaveChartBeforeExit)) {
        charts_->SaveChart(ChartSavePath(state_.chart));
    }
    WriteConfigAtExit(state_, platform_.prompter);
    remarks_->Shutdown();
    return true;
}

void MainController::FileNewItemClick()
{
    const int before = views_->count();
    views_->FileNewItemClick();
    if (views_->count() > before) {
        window_.cascadeViews();
    }
    UpdateMenuItems();
}

void MainController::FileCloseItemClick()
{
    CloseView(ActiveView());
}

void MainController::CloseAll1Click()
{
    if (!platform_.prompter.confirm(kDeleteViewsQuestion)) {
        return;
    }
    PurgeAllClick();
    while (views_->count() > 0) {
        views_->RemoveView(views_->count() - 1);
    }
    UpdateMenuItems();
}

void MainController::PosnPanelClick()
{
    const auto text
        = PosnPanelClickText(state_.fixInfo.OwnLat, state_.fixInfo.OwnLong, state_.settings.PositionDisplayMode);
    if (text) {
        state_.display.PosnPanel = *text;
    }
}

void MainController::PosnPanelDblClick()
{
    state_.prefs.units.DecimalStyle = !state_.prefs.units.DecimalStyle;
    RefreshViews();
}

void MainController::SelectWaypoint1Click()
{
    state_.routeProgress.ActiveWaypoint = static_cast<std::int16_t>(
        NextWaypoint(state_.routeProgress.ActiveWaypoint, state_.routeProgress.RouteLength));
    state_.display.WPNameIndex = state_.routeProgress.ActiveWaypoint - 1;
}

void MainController::WPNameChange(int entry)
{
    Display& d = state_.display;
    if (entry < 0 || entry >= static_cast<int>(state_.route.count())) {
        return;
    }
    state_.routeProgress.ActiveWaypoint = static_cast<std::int16_t>(entry + 1);
    d.WPNameIndex = entry;
    if (views_->count() > 0) {
        RangeBearingToWaypoint(state_.routeProgress, state_.routeTexts, state_.fixInfo, state_.chartRef,
            state_.prefs.route.TowNavigation, state_.route);
        state_.routeProgress.LegBearing = state_.routeProgress.BearingToWaypoint;
        state_.routeProgress.LegWaypoint = state_.routeProgress.ActiveWaypoint;
        state_.routeProgress.LegOrigin = 0;
        d.RngToWp.clear();
        d.BearingToWP.clear();
    }
    // The hint shows the label as the list shows it (without the symbol columns of the name field).
    const std::size_t item = static_cast<std::size_t>(entry);
    d.hints[Control::WPName] = WaypointListHint(item < d.WPNameItems.size() ? d.WPNameItems[item] : std::string());
}

void MainController::NavigationData1Click()
{
    AppState& app = state_.app;
    app.NavPanelVisible = !app.NavPanelVisible;
    state_.display.checked[Control::NavigationData1] = app.NavPanelVisible;
    window_.setNavPanelVisible(app.NavPanelVisible);
    window_.tileViews();
}

void MainController::MeasureModeClick(bool pressed)
{
    ViewShared& shared = views_->shared;
    Display& d = state_.display;
    if (pressed) {
        shared.MeasureMode = true;
        shared.MeasureOriginLat = state_.fixInfo.OwnLat;
        shared.MeasureOriginLong = state_.fixInfo.OwnLong;
        shared.MeasureOriginPending = true;
        d.hints[Control::MeasureMode] = kMeasureOffHint;
    } else {
        shared.MeasureMode = false;
        d.hints[Control::MeasureMode] = kMeasureOnHint;
        d.StatusLine.clear();
    }
    d.checked[Control::MeasureMode] = shared.MeasureMode;
    RefreshViews();
    shared.MeasureTotal = 0.0;
    UpdateMenuItems();
}

void MainController::ExMeasureClick()
{
    ViewShared& shared = views_->shared;
    if (!shared.MeasureMode) {
        return;
    }
    shared.MeasureTotal += shared.MeasureLastLeg;
    shared.MeasureOriginLat = state_.fixInfo.OwnLat;
    shared.MeasureOriginLong = state_.fixInfo.OwnLong;
    shared.MeasureOriginPending = true;
    state_.display.StatusLine = ViewMeasureText(state_.fixInfo, state_.chartRef, state_.settings.units, shared);
    RefreshViews();
}

bool MainController::Config1Allowed()
{
    if (state_.nmeaLink.NmeaOpen) {
        platform_.prompter.warning(kConfigLoadRefused);
        return false;
    }
    return true;
}

void MainController::Config1Click(const std::string& path)
{
    if (path.empty() || !Config1Allowed()) {
        return;
    }
    const std::string previousChart = state_.chart.ChartName.str();
    ReadConfig(path, state_.fixInfo, state_.chartRef, state_.folders, state_.settings);
    KeepChartCosLat(state_);
    charts_->RebuildChartIndex();
    // Kept before anything redraws: a redraw puts the cursor back at the view centre.
    const double viewLat = state_.fixInfo.OwnLat;
    const double viewLong = state_.fixInfo.OwnLong;
    state_.app.ChartDialogDir
        = state_.folders.ChartDir.empty() ? state_.folders.AppDir.str() + "charts/" : state_.folders.ChartDir.str();
    PlaceVesselOutline();
    state_.chart.ConfigName = NameWithoutExtension(path);
    if (!state_.settings.RouteName.empty()) {
        routes_->Routes1Click(JoinPath(state_.folders.AppDir.str(), "routes/" + state_.settings.RouteName + ".rte"));
    }
    const std::string chartDir
        = state_.folders.ChartDir.empty() ? state_.folders.AppDir.str() + "charts/" : state_.folders.ChartDir.str();
    const auto chartConfig = ReadChartConfigFile(chartDir + state_.folders.ChartName + ".cfg");
    if (!chartConfig) {
        platform_.prompter.warning(kChartConfigMissing);
        UpdateMenuItems();
        return;
    }
    // The vessel goes to the chart's reference position; the active view shows the position and
    // zoom of the configuration.
    state_.fixInfo.OwnLat = chartConfig->centreLat;
    state_.fixInfo.OwnLong = chartConfig->centreLong;
    // The chart in the store is still the one loaded before: the configuration's chart is
    // reached through the best chart for its position.
    if (!previousChart.empty()) {
        state_.folders.ChartName = previousChart;
    }
    charts_->LoadNearestChart();
    if (views_->count() > 0) {
        ChartView& v = views_->view(ActiveView());
        v.centreLat = viewLat;
        v.centreLong = viewLong;
        v.zoom = state_.settings.ViewZoom;
        views_->CommonTail(v);
    }
    UpdateMenuItems();
}

void MainController::SaveConfigAs1Click(const std::string& path)
{
    if (path.empty()) {
        return;
    }
    if (!WriteProgramConfig(path, state_)) {
        platform_.prompter.error(kConfigWriteError);
        return;
    }
    state_.chart.ConfigName = NameWithoutExtension(path);
    setViewCaptions(CaptionWithConfig(state_.chart.ChartName.str(), state_.chart.ConfigName));
}

void MainController::setNumberedViewCaptions(const std::string& chartName, const std::string& configName)
{
    // The active view comes first in window order and carries no number; the others follow it.
    const int active = ActiveView();
    int place = 1;
    for (int i = 0; i < views_->count(); ++i) {
        if (i == active) {
            views_->view(i).caption = CaptionWithConfig(chartName, configName);
        } else {
            ++place;
            views_->view(i).caption = CaptionWithConfig(chartName + "." + std::to_string(place), configName);
        }
    }
}

void MainController::AutoLoadChart()
{
    // Chart editing switches automatic loading off: the chart being edited stays.
    if (!state_.app.ChartEditMode) {
        charts_->AutoLoadChart();
    }
}

void MainController::NearestChart1Click()
{
    state_.display.StatusLine = charts_->NearestChart();
}

void MainController::LoadNearestChart1Click()
{
    charts_->LoadNearestChart();
    UpdateMenuItems();
}

void MainController::AvailableChartsClick()
{
    for (int i = 0; i < views_->count(); ++i) {
        views_->ShowChartOutlines(views_->view(i));
    }
}

void MainController::OpenPortfolio1Click(const std::string& path)
{
    charts_->OpenChart(path);
    if (path.empty()) {
        return;
    }
    state_.folders.ChartDir = FolderOf(path);
    state_.app.ChartDialogDir = state_.folders.ChartDir.str();
    charts_->RebuildChartIndex();
    UpdateMenuItems();
}

void MainController::TidalAtlasEditor1Click()
{
    if (!platform_.launcher.launch(state_.folders.AppDir.str() + kTidalAtlasEditorProgram, {})) {
        platform_.prompter.information(kApplicationNotAvailableBang);
    }
}

void MainController::CopyViewClick()
{
    if (views_->count() > 0) {
        const ChartView& view = views_->view(ActiveView());
        const QImage picture = WithSurveyLegend(view.bitmap, view.options, ColoursFromSettings(state_.settings));
        platform_.clipboard.setImage(picture);
        remarks_->PastePicture(picture);
    }
}

void MainController::Print1Click()
{
    if (views_->count() > 0) {
        // Drawn again at the page's resolution rather than the screen bitmap enlarged.
        const ChartView& view = views_->view(ActiveView());
        const QRect shown = view.shownArea.isEmpty() ? view.bitmap.rect() : view.shownArea;
        platform_.printer.preferOrientation(shown.width() > shown.height());
        const LocalDateTime now = platform_.clock.now();
        const std::string stamp
            = DateText(now) + " " + ZeroFill(FormatInt(now.hour, 2)) + ":" + ZeroFill(FormatInt(now.minute, 2));
        platform_.printer.printDrawn(
            [this, &view, stamp](const PrintPage& page) { return views_->RenderForPage(view, page, stamp); });
    }
}

void MainController::PrinterSetUp1Click()
{
    platform_.printer.setup();
}

void MainController::DataPlot1Click()
{
    DataPlotState& plot = state_.app.plot;
    plot.visible = !plot.visible;
    state_.display.checked[Control::DataPlot1] = plot.visible;
    state_.display.hints[Control::Data_Gain] = FullScaleHint(plot.gain);
}

void MainController::Data_GainChange(int gain)
{
    DataGainChange(state_.app.plot, state_.display, gain);
}

void MainController::PlotAllClick()
{
    if (views_->count() != 1) {
        return;
    }
    DataPlotState& plot = state_.app.plot;
    plot.plotAll = !plot.plotAll;
    state_.display.checked[Control::PlotAll] = plot.plotAll;
    RefreshViews();
}

void MainController::MarkPlot(int x)
{
    DataPlotState& plot = state_.app.plot;
    plot.markA = plot.markB;
    plot.markB = x;
}

bool MainController::MeasureModeOn() const
{
    return views_->shared.MeasureMode;
}

void MainController::ShowNMEAClick()
{
    state_.prefs.ShowNMEA = !state_.prefs.ShowNMEA;
    if (!state_.prefs.ShowNMEA) {
        state_.display.StatusLine.clear();
    }
}

void MainController::AdditionalTargetData1Click()
{
    state_.ais.AdditionalTargetData = !state_.ais.AdditionalTargetData;
    state_.display.checked[Control::AdditionalTargetData1] = state_.ais.AdditionalTargetData;
}

void MainController::UpdateAISDatabaseClick()
{
    state_.ais.UpdateAISDatabase = !state_.ais.UpdateAISDatabase;
    state_.display.checked[Control::UpdateAISDatabase] = state_.ais.UpdateAISDatabase;
}

void MainController::SearchAISDatabaseClick()
{
    state_.ais.SearchAISDatabase = !state_.ais.SearchAISDatabase;
    state_.display.checked[Control::SearchAISDatabase] = state_.ais.SearchAISDatabase;
}

} // namespace kv
