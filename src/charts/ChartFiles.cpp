#include "charts/ChartFiles.h"
#include "core/Caption.h"

#include "charts/ChartEditor.h"
#include "charts/WaypointFiles.h"
#include "core/Config.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcCharts, "kv.charts", QtWarningMsg)

namespace kv {

ChartRecords ReadChartRecords(const std::string& path)
{
    ChartRecords result;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return result;
    }
    const auto size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in) {
        return result;
    }
    result.opened = true;
    const long long whole = static_cast<long long>(size / kChartRecordSize);
    result.partial = size % kChartRecordSize != 0;
    // The last whole record of a file the program wrote is its terminating pen-up; a file that
    // ends in a partial record was never terminated, so all its whole records count.
    result.taken = result.partial ? whole : std::max(whole - 1, 0LL);
    const long long keep = std::min<long long>(result.taken, kChartCapacity + 1);
    result.records.reserve(static_cast<std::size_t>(keep));
    std::uint8_t record[kChartRecordSize];
    for (long long i = 0; i < keep; ++i) {
        if (!in.read(reinterpret_cast<char*>(record), kChartRecordSize)) {
            // The file shrank under us: take what was read.
            result.taken = i;
            break;
        }
        result.records.push_back(ChartPoint::fromBytes(record));
    }
    return result;
}

std::string ChartRecordBytes(const std::vector<ChartPoint>& points)
{
    std::string bytes;
    bytes.reserve(points.size() * kChartRecordSize);
    for (const auto& p : points) {
        bytes.append(reinterpret_cast<const char*>(p.bytes().data()), kChartRecordSize);
    }
    return bytes;
}

bool AppendChartRecords(ChartStore& store, const std::vector<ChartPoint>& records)
{
    int p = store.count();
    bool fitted = true;
    for (const auto& record : records) {
        if (p + 1 > static_cast<int>(kChartCapacity)) {
            fitted = false;
            p = static_cast<int>(kChartCapacity);
            break;
        }
        ++p;
        store.setPoint(p, record);
    }
    store.setCount(p);
    store.ChartBaseEnd = p;
    return fitted;
}

CompactedChart CompactChart(const ChartStore& store, int first)
{
    CompactedChart out;
    const int last = store.count();
    auto penUpAt = [&](int slot) { return slot > last || store.point(slot).isPenUp(); };
    for (int i = std::max(first, 1); i <= last; ++i) {
        if (penUpAt(i) && penUpAt(i + 1)) {
            ++out.removed;
            continue;
        }
        out.records.push_back(store.point(i));
    }
    out.records.push_back(ChartPoint::penUp());
    return out;
}

std::optional<ChartConfig> ReadChartConfigFile(const std::string& path)
{
    const auto lines = ReadTextLines(path);
    if (!lines) {
        return std::nullopt;
    }
    ChartConfig config;
    auto real = [&](std::size_t index) -> std::optional<double> {
        if (index >= lines->size()) {
            return std::nullopt;
        }
        return ParseLeadingReal((*lines)[index]);
    };
    // A line that is missing or holds no number keeps the value a missing file would give.
    config.centreLat = real(0).value_or(config.centreLat);
    config.centreLong = real(1).value_or(config.centreLong);
    if (const auto zoom = real(2); zoom && *zoom > 0.0) {
        config.zoom = *zoom;
    }
    if (const auto reserved = real(3); reserved && std::fabs(*reserved) <= 32767.0) {
        config.reserved = static_cast<std::int16_t>(*reserved);
    }
    config.latOffset = real(4);
    config.longOffset = real(5);
    return config;
}

std::vector<std::string> ChartConfigLines(const ChartConfig& config)
{
    std::vector<std::string> lines { FormatScientific(config.centreLat), FormatScientific(config.centreLong),
        FormatScientific(config.zoom), std::to_string(config.reserved) };
    lines.push_back(FormatScientific(config.latOffset.value_or(0.0)));
    lines.push_back(FormatScientific(config.longOffset.value_or(0.0)));
    return lines;
}

bool WriteChartConfigFile(const std::string& path, const ChartConfig& config)
{
    return WriteTextLinesAtomic(path, ChartConfigLines(config));
}

std::string ChartNameOf(const std::string& path)
{
    const std::string p = NormalizeSeparators(path);
    const auto slash = p.rfind('/');
    std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

std::string ChartConfigPath(const std::string& chartPath)
{
    return FolderOf(chartPath) + ChartNameOf(chartPath) + ".cfg";
}

std::string LayerPath(const ChartStore& store, int layer)
{
    return store.ChartFolder.str() + store.ChartName.str() + ".00" + std::to_string(layer);
}

// ---------------------------------------------------------------------------------------------

std::string ChartFiles::ViewCaption() const
{
    return CaptionWithConfig(state_.chart.ChartName.str(), state_.chart.ConfigName);
}

void ChartFiles::SetChartName(const std::string& name)
{
    state_.chart.ChartName = name;
    state_.folders.ChartName = state_.chart.ChartName.str();
}

void ChartFiles::ClearChart()
{
    ChartStore& chart = state_.chart;
    chart.ReservedInteger = 0;
    SetChartName("");
    hooks_.setViewCaptions(ViewCaption());
    chart.SaveFileName.clear();
    state_.waypoints.clear();
    chart.clear();
    chart.ChartBaseEnd = 0;
    state_.display.ClearNavDisplay();
}

void ChartFiles::ApplyBaseScales()
{
    ChartGeometry& g = state_.chartGeometry;
    // The views hold their centre within these latitudes; so do the base scales, which would
    // otherwise grow without bound towards the poles.
    const double lat = std::clamp(g.ChartCentreLat, -80.0, 84.0);
    g.CosCentreLat = std::cos(lat * 2.0 * M_PI / 360.0);
    g.LatBaseScale
        = static_cast<int>(RoundHalfEven(static_cast<double>(g.SurfaceHeight) / 200.0 * 38.0 * 0.63 / g.CosCentreLat));
    g.LongBaseScale = static_cast<int>(RoundHalfEven(static_cast<double>(g.SurfaceWidth) / 640.0 * 55.0));
}

void KeepChartCosLat(ChartFilesRecords state)
{
    if (state.chartGeometry.ChartConfigRead) {
        state.chartRef.CosLatFactor = std::cos(state.chartGeometry.ChartCentreLat * M_PI / 180.0);
    }
}

bool ChartFiles::ReadChartConfig(const std::string& chartPath)
{
    const auto file = ReadChartConfigFile(ChartConfigPath(chartPath));
    const ChartConfig config = file.value_or(ChartConfig {});
    ChartGeometry& g = state_.chartGeometry;
    state_.fixInfo.OwnLat = config.centreLat;
    state_.fixInfo.OwnLong = config.centreLong;
    g.ChartCentreLat = config.centreLat;
    g.ChartCentreLong = config.centreLong;
    g.ChartZoom = config.zoom;
    state_.chart.ReservedInteger = config.reserved;
    // Offsets are optional lines: a file without them keeps the offsets in force.
    if (config.latOffset) {
        state_.chartRef.ChartLatOffset = *config.latOffset;
    }
    if (config.longOffset) {
        state_.chartRef.ChartLongOffset = *config.longOffset;
    }
    if (file) {
        g.LastViewLat = config.centreLat;
        g.LastViewLong = config.centreLong;
        g.LastViewZoom = config.zoom;
    }
    ApplyBaseScales();
    g.ChartConfigRead = true;
    KeepChartCosLat(state_);
    return file.has_value();
}

bool ChartFiles::WriteChartConfig(const std::string& chartPath)
{
    const ChartGeometry& g = state_.chartGeometry;
    ChartConfig config;
    config.centreLat = g.LastViewLat;
    config.centreLong = g.LastViewLong;
    config.zoom = g.LastViewZoom;
    config.reserved = state_.chart.ReservedInteger;
    config.latOffset = state_.chartRef.ChartLatOffset;
    config.longOffset = state_.chartRef.ChartLongOffset;
    if (!WriteChartConfigFile(ChartConfigPath(chartPath), config)) {
        platform_.prompter.error(kErrorWritingChartConfig);
        return false;
    }
    return true;
}

void ChartFiles::OpenChart(const std::string& path)
{
    if (path.empty()) {
        state_.chart.OpenFileName.clear();
        hooks_.UpdateMenuItems();
        return;
    }
    LoadChart(path, state_.prefs.ChartAppendMode, Voice::Boxes, true);
}

void ChartFiles::Say(Voice voice, const char* message, bool warning)
{
    if (voice == Voice::StatusLine) {
        // At a fix nothing may wait for a click: the skipper sees it in the status line.
        state_.display.StatusLine = message;
        qCDebug(lcCharts, "chart load: %s", message);
    } else if (warning) {
        platform_.prompter.warning(message);
    } else {
        platform_.prompter.information(message);
    }
}

bool ChartFiles::LoadChart(const std::string& path, bool append, Voice voice, bool showCount)
{
    ChartStore& chart = state_.chart;
    const ChartRecords records = ReadChartRecords(path);
    if (!records.opened) {
        // Nothing of the chart in use changes, the file name a later reload opens included: a
        // reload of a chart that was never loaded would end the program.
        Say(voice, kNonExistantFile, true);
        return false;
    }
    if (!append && !MayReplaceModifiedChart(voice)) {
        return false;
    }
    chart.OpenFileName = path;
    state_.chartIndex.Rebuild(FolderOf(path));
    hooks_.rebuildChartIndex();
    chart.ChartFolder = FolderOf(path);
    state_.folders.ChartDir = chart.ChartFolder.str();
    if (!append) {
        ClearChart();
        chart.LayerMarker = kAllLayers;
    }
    SetChartName(ChartNameOf(path));
    hooks_.setViewCaptions(ViewCaption());
    if (records.partial) {
        state_.display.PosnPanel = kDosChartRead;
    }
    if (!ReadChartConfig(path)) {
        Say(voice, kChartConfigMissing, true);
    }
    state_.display.enabled[Control::UndoAutoGrid1] = false;
    if (!AppendChartRecords(chart, records.records)) {
        Say(voice, kChartStoreFullChart, true);
    }
    chart.LayersEnabled = true;
    chart.LayerMarker = kAllLayers;
    if (ToUpperAscii(ExtensionOf(path)) == ".CHT") {
        LoadLayers();
    }
    const int baseEnd = chart.ChartBaseEnd;
    ReadWaypointDatabase(state_.waypoints, state_.chart, platform_.prompter);
    chart.setCount(baseEnd);
    state_.chartGeometry.FullChartZoomPending = true;
    hooks_.RefreshViews();
    if (showCount) {
        platform_.prompter.information(kTotalChartPoints + std::to_string(chart.count()));
    }
    chart.SaveFileName = chart.ChartName.str();
    if (state_.waypoints.count() == kWaypointCapacity) {
        Say(voice, kWaypointDatabaseFull, true);
    }
    hooks_.UpdateMenuItems();
    return true;
}

bool ChartFiles::MayReplaceModifiedChart(Voice voice)
{
    ChartStore& chart = state_.chart;
    if (!chart.Modified || chart.count() == 0) {
        return true;
    }
    if (voice == Voice::StatusLine) {
        // Nothing may wait for a click at a fix, and edits are never thrown away unasked.
        Say(voice, kModifiedChartKept, true);
        return false;
    }
    switch (platform_.prompter.yesNoCancel(kSaveChartBeforeExit)) {
    case Answer::Yes:
        SaveChart(ChartSavePath(chart));
        return !chart.Modified; // a chart that could not be written stays
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

std::string ChartFiles::IndexFolder() const
{
    if (!state_.chart.ChartFolder.empty()) {
        return state_.chart.ChartFolder.str();
    }
    if (!state_.folders.ChartDir.empty()) {
        return state_.folders.ChartDir.str();
    }
    return state_.folders.AppDir.str() + "charts/";
}

void ChartFiles::RebuildChartIndex()
{
    state_.chartIndex.Rebuild(IndexFolder());
    hooks_.rebuildChartIndex();
}

std::string ChartFiles::NearestChart() const
{
    const CurrentChart current { state_.chart.ChartName.str(), state_.chartGeometry.ChartCentreLat,
        state_.chartGeometry.ChartCentreLong };
    return NearestChartName(state_.chartIndex, state_.fixInfo.OwnLat, state_.fixInfo.OwnLong, current)
        .substr(0, kChartIndexNameLength);
}

bool ChartFiles::LoadNearestChart()
{
    return LoadNearest(Voice::Boxes);
}

bool ChartFiles::AutoLoadChart()
{
    const std::string name = NearestChart();
    if (!failedAutoLoad_.empty() && name == failedAutoLoad_) {
        return false;
    }
    failedAutoLoad_.clear();
    const bool loaded = LoadNearest(Voice::StatusLine);
    // A modified chart kept is tried again once it has been saved.
    if (!loaded && name != state_.chart.ChartName.str() && !state_.app.ChartEditMode && !state_.chart.Modified) {
        failedAutoLoad_ = name;
    }
    return loaded;
}

bool ChartFiles::LoadNearest(Voice voice)
{
    const std::string name = NearestChart();
    if (name == state_.chart.ChartName.str() || state_.app.ChartEditMode) {
        return false;
    }
    state_.display.StatusLine = name;
    const std::string folder = state_.chartIndex.folder().empty() ? IndexFolder() : state_.chartIndex.folder();
    const std::string path = JoinPath(folder, name + ".cht");
    state_.chartGeometry.TileChangePending = true; // for the views' refresh after the load
    if (!LoadChart(path, false, voice, false)) {
        state_.chartGeometry.TileChangePending = false;
        return false;
    }
    hooks_.setNumberedViewCaptions(state_.chart.ChartName.str(), state_.chart.ConfigName);
    // Under way the cursor stays with the vessel; otherwise it goes to the new chart's centre,
    // where reading its configuration has put it.
    const QuickLog& log = state_.quickLog;
    if (log.count() > 0 && (state_.nmeaLink.NmeaOpen || state_.settings.fix.DRMode)) {
        state_.fixInfo.OwnLat = log.at(log.count()).lat;
        state_.fixInfo.OwnLong = log.at(log.count()).lon;
    }
    state_.chartGeometry.FullChartZoomPending = true;
    state_.chartGeometry.TileChangePending = true;
    hooks_.RefreshViews();
    return true;
}

void ChartFiles::LoadLayers()
{
    ChartStore& chart = state_.chart;
    if (chart.LayerMarker.size() != 10) {
        chart.LayerMarker = kAllLayers;
    }
    for (int d = 0; d <= 9; ++d) {
        const auto index = static_cast<std::size_t>(d);
        if (chart.LayerMarker[index] == '-') {
            continue;
        }
        chart.LayerMarker[index] = '*';
        const ChartRecords records = ReadChartRecords(LayerPath(chart, d));
        if (!records.opened) {
            chart.LayerMarker[index] = '-';
            continue;
        }
        if (records.partial) {
            state_.display.PosnPanel = kDosChartRead;
        }
        if (!AppendChartRecords(chart, records.records)) {
            platform_.prompter.information(kChartStoreFullLayer);
        }
    }
}

void ChartFiles::ReloadChart(const std::string& path)
{
    state_.chart.OpenFileName = path;
    ReloadChart();
}

std::string ConfigBackupName(const std::string& config, int n)
{
    return n == 0 ? config + ".bak" : config + ".bak-" + std::to_string(n);
}

void ChartFiles::ReloadChart()
{
    ChartStore& chart = state_.chart;
    const std::string path = chart.OpenFileName;
    chart.ChartFolder = FolderOf(path);
    RebuildChartIndex();
    const ChartRecords records = ReadChartRecords(path);
    const std::string name = ChartNameOf(path);
    if (!records.opened) {
        platform_.prompter.error(
            "Chart File " + name + " not found in local chart directory. Quit and restart RU Rovi");
        // The configuration that named the missing chart is set aside, so that the next start
        // opens the world chart; the user's settings are kept beside it rather than thrown away.
        // Earlier backups are never replaced and the file is never deleted: when it cannot be
        // moved it stays as it is.
        const std::string config = state_.app.StartupConfigPath.empty()
            ? JoinPath(state_.folders.AppDir.str(), kConfigFileName)
            : state_.app.StartupConfigPath;
        if (FileExists(config)) {
            const auto backup = MoveAside(config, [&](int n) { return ConfigBackupName(config, n); });
            const std::string text = backup ? kConfigKeptAs + *backup : kConfigNotKept + config;
            state_.display.StatusLine = text;
            platform_.prompter.information(text);
        }
        ApplyConfigDefaults(state_.fixInfo, state_.chartRef, state_.folders, state_.settings);
        platform_.prompter.information(kQuittingNow);
        hooks_.endProgram();
        return;
    }
    SetChartName(name);
    state_.folders.ChartDir = chart.ChartFolder.str();
    if (records.partial) {
        state_.display.PosnPanel = kDosChartRead;
    }
    ReadChartConfig(path);
    state_.display.enabled[Control::UndoAutoGrid1] = false;
    if (!AppendChartRecords(chart, records.records)) {
        platform_.prompter.warning(kChartStoreFullChart);
    }
    hooks_.createView(ViewCaption());
    if (chart.LayersEnabled && ToUpperAscii(ExtensionOf(path)) == ".CHT") {
        LoadLayers();
    }
    const int baseEnd = chart.ChartBaseEnd;
    ReadWaypointDatabase(state_.waypoints, state_.chart, platform_.prompter);
    chart.setCount(baseEnd);
    state_.chartGeometry.FullChartZoomPending = true;
    hooks_.RefreshViews();
    if (state_.settings.fix.NmeaStartMode.str() != "Auto") {
        platform_.prompter.information(kTotalChartPoints + std::to_string(chart.count()));
    }
    chart.SaveFileName = chart.ChartName.str();
    if (state_.waypoints.count() == kWaypointCapacity) {
        platform_.prompter.warning(kWaypointDatabaseFull);
    }
}

void ChartFiles::SaveChartAsClick(const std::function<std::optional<std::string>(const std::string&)>& chooseFile)
{
    platform_.prompter.warning(kCheckChartOffsets);
    const auto path = chooseFile(state_.chart.ChartName.str());
    if (path && !path->empty()) {
        SaveChart(*path);
    }
}

void ChartFiles::SaveChart(const std::string& path)
{
    ChartStore& chart = state_.chart;
    const bool isChart = ToUpperAscii(ExtensionOf(path)) == ".CHT";
    // A layer written while the layers are not all loaded holds only what was added after the
    // base chart, starting with a copy of the base chart's last point.
    int first = 1;
    if (!isChart && chart.LayerMarker != kAllLayers) {
        first = std::max(chart.ChartBaseEnd, 1);
    }
    const CompactedChart out = CompactChart(chart, first);
    if (!WriteFileAtomic(path, ChartRecordBytes(out.records))) {
        // Nothing was written: the chart keeps its name and its waypoint file is left alone.
        platform_.prompter.error(kErrorWritingChart);
        return;
    }
    state_.display.StatusLine = "Removed " + std::to_string(out.removed) + " empty points";
    chart.Modified = false;
    if (isChart && WriteChartConfig(path)) {
        ReadChartConfig(path);
    }
    // The chart is now the saved file: the next start and the layer look-ups find it there.
    SetChartName(ChartNameOf(path));
    chart.ChartFolder = FolderOf(path);
    state_.folders.ChartDir = chart.ChartFolder.str();
    chart.SaveFileName = path;
    hooks_.setViewCaptions(ViewCaption());
    WriteWaypointDatabase(state_.waypoints, state_.chart, state_.prefs, platform_.prompter);
    RebuildChartIndex();
}

void ChartFiles::PurgeChart()
{
    if (!platform_.prompter.confirm(kPurgeChartQuestion)) {
        return;
    }
    ClearChart();
    hooks_.setViewCaptions("");
    state_.chart.LayerMarker = kAllLayers;
    hooks_.RefreshViews();
    hooks_.UpdateMenuItems();
}

void ChartFiles::PurgeLayers()
{
    if (!platform_.prompter.confirm(kPurgeLayersQuestion)) {
        return;
    }
    ChartStore& chart = state_.chart;
    chart.ReservedInteger = 0;
    state_.waypoints.clear();
    chart.clear();
    chart.ChartBaseEnd = 0;
    chart.LayersEnabled = false;
    chart.LayerMarker = kNoLayers;
    ReloadChart();
    hooks_.closeLowestView();
    hooks_.RefreshViews();
    hooks_.UpdateMenuItems();
}

bool ChartFiles::PurgeAll()
{
    if (!platform_.prompter.confirm(kPurgeAllQuestion)) {
        return false;
    }
    ClearChart();
    state_.chart.LayerMarker = kAllLayers;
    state_.chart.ConfigName.clear();
    // The captions forget the configuration with everything else.
    hooks_.setViewCaptions(ViewCaption());
    state_.display.StatusLine.clear();
    return true;
}

void ChartFiles::ChartAppendModeClick()
{
    state_.prefs.ChartAppendMode = !state_.prefs.ChartAppendMode;
}

} // namespace kv
