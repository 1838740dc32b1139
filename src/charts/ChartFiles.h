#pragma once
// Chart and layer files, the chart configuration file beside each chart, and the commands that
// fill, save and purge the chart store.

#include "charts/ChartIndex.h"
#include "charts/ChartStore.h"
#include "core/Caption.h"
#include "platform/Platform.h"

#include "charts/ChartWaypoints.h"
#include "core/AppState.h"
#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/Fix.h"
#include "core/FixCycleState.h"
#include "core/Folders.h"
#include "core/Motion.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/RouteProgress.h"
#include "core/RouteTable.h"
#include "core/Settings.h"
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kv {

// Messages of the chart commands.
inline constexpr const char* kChartStoreFullChart = "Chart Store full...";
inline constexpr const char* kChartStoreFullLayer = "Chart Store Full!";
inline constexpr const char* kDosChartRead = "KV DOS Chart file read.";
inline constexpr const char* kNonExistantFile = "Non existant File";
inline constexpr const char* kChartConfigMissing = "Chart Config File Missing!";
inline constexpr const char* kTotalChartPoints = "Total chart points = ";
inline constexpr const char* kWaypointDatabaseFull = "Waypoint Database Full !";
inline constexpr const char* kCheckChartOffsets = "Have you entered the correct chart offsets, zoom and centre?";
inline constexpr const char* kErrorWritingChart = "Error writing chart file!";
inline constexpr const char* kErrorWritingChartConfig = "Error Writing Chart Config File";
inline constexpr const char* kQuittingNow = "Quitting RU Rovi Now... When you restart you will see the World chart.";
inline constexpr const char* kConfigKeptAs = "Previous configuration kept as ";
inline constexpr const char* kConfigNotKept = "Previous configuration could not be set aside and is left as it is: ";
inline constexpr const char* kPurgeChartQuestion = "This will remove the chart! - Are you sure?";
inline constexpr const char* kPurgeLayersQuestion
    = "This will remove all layers from the current chart! - Are you sure?";
inline constexpr const char* kPurgeAllQuestion = "This will remove all data! - Are you sure?";
// Asked before a modified chart is replaced, at exit and when another chart is loaded.
inline constexpr const char* kSaveChartBeforeExit = "Save the modified chart before exit ?";
// The status line when a fix would load another chart over unsaved edits.
inline constexpr const char* kModifiedChartKept = "Modified chart kept: save it before another is loaded";

// Names a configuration naming a missing chart is set aside under: n = 0 gives "<file>.bak",
// later ones "<file>.bak-1", "<file>.bak-2", ... (the first free one is taken).
std::string ConfigBackupName(const std::string& config, int n);

// The records a chart or layer file gives the store. Every file the program writes ends in a
// pen-up that is not taken; a file ending in a partial record (older charts) gives all its whole
// records. At most capacity + 1 records are kept, so that appending still notices a file too
// large for the store.
struct ChartRecords {
    bool opened = false;
    bool partial = false;
    long long taken = 0; // how many records the reading rule takes
    std::vector<ChartPoint> records; // the first taken records (at most capacity + 1)
};
ChartRecords ReadChartRecords(const std::string& path);

// Record file image: the points as given followed by nothing else (callers add the terminator).
std::string ChartRecordBytes(const std::vector<ChartPoint>& points);

// Appends records from slot count + 1 on; false when the store became full and the rest of the
// records were dropped. The count and ChartBaseEnd are left at the last slot filled.
bool AppendChartRecords(ChartStore& store, const std::vector<ChartPoint>& records);

// The slots a save writes from `first` on: runs of pen-ups shrink to one, a pen-up at the end is
// dropped (the slot after the last counts as a pen-up), and one terminating pen-up follows.
struct CompactedChart {
    std::vector<ChartPoint> records; // including the terminator
    int removed = 0;
};
CompactedChart CompactChart(const ChartStore& store, int first);

// The chart configuration file: centre, zoom, the reserved integer and optional offsets.
struct ChartConfig {
    double centreLat = 0.0;
    double centreLong = 0.0;
    double zoom = 0.04;
    std::int16_t reserved = 0;
    std::optional<double> latOffset;
    std::optional<double> longOffset;
};
std::optional<ChartConfig> ReadChartConfigFile(const std::string& path);
std::vector<std::string> ChartConfigLines(const ChartConfig& config);
bool WriteChartConfigFile(const std::string& path, const ChartConfig& config);

// The chart name of a chart or layer file: its file name up to the first ".".
std::string ChartNameOf(const std::string& path);
// `<chart folder><chart name>.cfg`
std::string ChartConfigPath(const std::string& chartPath);
std::string LayerPath(const ChartStore& store, int layer);

// Everything the chart commands ask of the windows around them. The window duties do nothing by
// default, which is what a headless run (tests, kvtool) wants; the duties of features not built
// yet say so in the debug log.
class ChartViewHooks {
public:
    virtual ~ChartViewHooks() = default;
    virtual void setViewCaptions(const std::string& /*caption*/) { }
    virtual void RefreshViews() { }
    // After a chart point was edited at the cursor: the views move only when the cursor would
    // leave them.
    virtual void showEditedPoint() { RefreshViews(); }
    virtual void UpdateMenuItems() { }
    // Told after the chart index was listed again (the menus follow whether charts are available).
    virtual void rebuildChartIndex() { }
    // Captions after a nearest-chart load: the active view "<chart> (<config>)", every other
    // "<chart>.<n> (<config>)" with n its place in window order counting the active view as 1.
    virtual void setNumberedViewCaptions(const std::string& chartName, const std::string& configName)
    {
        setViewCaptions(CaptionWithConfig(chartName, configName));
    }
    virtual void createView(const std::string& /*caption*/) { }
    virtual void closeLowestView() { }
    virtual void endProgram() { }
};

// What the chart commands read and write: the chart store, its geometry and waypoints, the chart
// reference and the position a chart configuration places, the folders and the main configuration a
// reload reads again, the indicators; they read the track (a reload keeps the view on it), the main
// window's start-up file and the switches.
struct ChartFilesRecords {
    ChartStore& chart;
    ChartGeometry& chartGeometry;
    ChartWaypoints& waypoints;
    ChartReference& chartRef;
    Fix& fixInfo;
    Folders& folders;
    Settings& settings;
    Display& display;
    const QuickLog& quickLog;
    const AppState& app;
    Preferences& prefs;
    ChartIndex& chartIndex;
    const NmeaLink& nmeaLink;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    ChartFilesRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : chart(s.chart)
        , chartGeometry(s.chartGeometry)
        , waypoints(s.waypoints)
        , chartRef(s.chartRef)
        , fixInfo(s.fixInfo)
        , folders(s.folders)
        , settings(s.settings)
        , display(s.display)
        , quickLog(s.quickLog)
        , app(s.app)
        , prefs(s.prefs)
        , chartIndex(s.chartIndex)
        , nmeaLink(s.nmeaLink)
    {
    }
};

// Plane sailing scales every longitude difference by the cosine of the loaded chart's centre
// latitude. A main configuration read sets the factor from its own latitude; once a chart
// configuration has been read this puts the chart's factor back.
void KeepChartCosLat(ChartFilesRecords state);

// The chart commands of the main window, working on the program's tables.
class ChartFiles {
public:
    ChartFiles(ChartFilesRecords state, Platform& platform, ChartViewHooks& hooks)
        : state_(state)
        , platform_(platform)
        , hooks_(hooks)
    {
    }

    // Reads `<chart folder><chart name>.cfg` of chartPath; true when the file existed.
    bool ReadChartConfig(const std::string& chartPath);
    // Writes the last-view centre and zoom, the reserved integer and the offsets; false (and the
    // message shown) when the file cannot be written.
    bool WriteChartConfig(const std::string& chartPath);

    // Open chart with the path the open dialog returned; an empty path is a cancelled dialog.
    void OpenChart(const std::string& path);
    void LoadLayers();
    // Reloads the chart named by the open dialog's file name (start-up, purge layers).
    void ReloadChart();
    void ReloadChart(const std::string& path);
    // Save chart: the offsets warning, then the dialog (chooseFile gets the suggested name and
    // returns the chosen path, or nothing when cancelled), then the write.
    void SaveChartAsClick(const std::function<std::optional<std::string>(const std::string&)>& chooseFile);
    // The write itself, to the path the save dialog returned.
    void SaveChart(const std::string& path);

    // The chart index of the chart folder (the folder of the chart last opened, or the configured
    // one), listed again.
    void RebuildChartIndex();
    // "Nearest Chart": the name of the chart nearest the cursor (the current chart's own name when
    // none is nearer).
    std::string NearestChart() const;
    // "Load Nearest Chart": loads the nearest chart unless it is the current one or the chart is
    // being edited; true when a chart was loaded. The messages of the load are shown as the open
    // command shows them.
    bool LoadNearestChart();
    // The same at a fix: its messages go to the status line and the debug log instead of boxes,
    // and a chart that could not be loaded is not tried again until another chart is nearest.
    bool AutoLoadChart();

    void PurgeChart();
    void PurgeLayers();
    // "Remove Everything" as far as the charts go: the chart, its waypoints and the configuration's
    // name, once the user confirms (true). What else goes with it is the caller's part.
    bool PurgeAll();
    void ChartAppendModeClick();

    // The chart name followed by " (", the configuration name and ")".
    std::string ViewCaption() const;
    // Point count 0, reserved integer 0, chart name, captions and save name cleared, waypoints
    // 0, store cleared, navigation panel texts cleared.
    void ClearChart();

private:
    // How a chart load tells its messages: boxes for a command, the status line at a fix.
    enum class Voice { Boxes, StatusLine };
    void Say(Voice voice, const char* message, bool warning);
    // Before a modified chart is replaced: a command asks whether to save it first (false for
    // Cancel, or when it could not be saved); a fix keeps it and says so in the status line.
    bool MayReplaceModifiedChart(Voice voice);
    // The open command's load of path: clears unless appending, reads the records, the chart
    // configuration, the layers and the waypoint database; false when the file could not be opened
    // or the modified chart in use was kept.
    bool LoadChart(const std::string& path, bool append, Voice voice, bool showCount);
    bool LoadNearest(Voice voice);
    std::string IndexFolder() const;
    void SetChartName(const std::string& name);
    void ApplyBaseScales();

    ChartFilesRecords state_;
    Platform& platform_;
    ChartViewHooks& hooks_;
    std::string failedAutoLoad_; // the chart a fix could not load, not tried again while nearest
};

} // namespace kv
