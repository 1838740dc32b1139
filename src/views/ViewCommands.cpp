#include "views/ViewCommands.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "views/Render.h"
#include "views/ViewText.h"

#include <cmath>

namespace kv {

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

LatLong RecordInChartDatum(RenderRecords state, int n)
{
    const QuickLogRecord& r = state.quickLog.at(static_cast<std::size_t>(n));
    return LatLong { r.lat + state.chartRef.ChartLatOffset, r.lon - state.chartRef.ChartLongOffset };
}

// Draws record n of the quick log with a fix cross, joined to record n - 1 when there is one.
void DrawPlaybackRecord(ViewSet& views, ChartView& v, int n)
{
    ViewRecords state = views.state();
    if (n < 1 || n > static_cast<int>(state.quickLog.count()) || v.bitmap.isNull()) {
        return;
    }
    const SchemeColours colours = ColoursFromSettings(state.settings);
    RenderCanvas canvas(v.bitmap);
    Projection projection = v.projection;
    Plotter plotter(canvas, projection, colours);
    plotter.liftPen();
    if (n > 1) {
        const LatLong prev = RecordInChartDatum(state, n - 1);
        plotter.plotPoint(prev.lat, prev.lon, LineCode::Track);
    }
    const LatLong cur = RecordInChartDatum(state, n);
    if (const auto px = plotter.plotPoint(cur.lat, cur.lon, LineCode::Track)) {
        DrawFixCross(canvas, px->x, px->y, colours.trackFG ? colours.foreground : kYellow);
    }
}

} // namespace

AreaResult AreaFromPixelCount(long long count, double u, double chartCentreLat, int surfaceHeight, double zoom)
{
    AreaUnit unit = AreaUnitFor(u);
    const double c = std::cos(chartCentreLat * kDegToRad);
    const double scale = 600.0 / surfaceHeight;
    AreaResult r;
    r.value = static_cast<double>(count) * 0.7225 * u * u * unit.factor * c * c * scale * scale / (zoom * zoom);
    int decimals = 2;
    if (r.value < 0.1 && unit.name == " Hectares") {
        r.value *= 10000.0;
        unit.name = " Sq. Metres";
        decimals = 0;
    } else if (r.value < 0.1 && unit.name == " Acres") {
        r.value *= 43560.17;
        unit.name = " Sq. Feet";
        decimals = 0;
    }
    r.unit = unit.name;
    r.text = "Area = " + FormatFixed(r.value, 0, decimals) + unit.name;
    return r;
}

std::optional<AreaResult> Area1Click(ViewSet& views, ChartView& v)
{
    ViewRecords state = views.state();
    if (state.nmeaLink.NmeaOpen || state.settings.fix.DRMode || !state.quickLog.empty()) {
        views.prompter().warning(kAreaRefused);
        return std::nullopt;
    }
    v.options.ShowWaypoints = false;
    v.options.ShowRoute = false;
    v.options.ShowTides = false;
    v.options.ShowTrack = false;
    v.ais.ShowAIS = false;
    views.ReCentre(v);

    const SchemeColours colours = ColoursFromSettings(state.settings);
    long long count = 0;
    {
        RenderCanvas canvas(v.bitmap);
        // The cursor cross would cut the region: take it away first.
        DrawCursorCross(canvas, v.cursorX, v.cursorY);
        if (canvas.pixel(v.cursorX, v.cursorY) == colours.background) {
            canvas.floodFillSurface(v.cursorX, v.cursorY, kYellow);
        }
        for (int y = 0; y < canvas.height(); ++y) {
            for (int x = 0; x < canvas.width(); ++x) {
                const Rgb c = canvas.pixel(x, y);
                count += (c == kYellow || c == colours.foreground) ? 1 : 0;
            }
        }
    }
    const AreaResult result = AreaFromPixelCount(count, state.settings.units.UnitFactor,
        state.chartGeometry.ChartCentreLat, state.chartGeometry.SurfaceHeight, v.zoom);
    views.prompter().information(result.text);
    views.ReCentre(v);
    return result;
}

std::string ChartInfoPath(RenderRecords state)
{
    return JoinPath(state.chart.ChartFolder.str(), state.chart.ChartName.str() + ".inf");
}

void Information1Click(ViewSet& views, ChartView& v, bool chartEditMode)
{
    ViewRecords state = views.state();
    const std::string path = ChartInfoPath(state);
    if (v.infoOpen) {
        // Closing: an editable memo is saved back (creating the file when it was missing).
        if (v.infoEditable) {
            std::vector<std::string> lines = SplitLines(v.infoText);
            if (!WriteTextLinesAtomic(path, lines)) {
                views.prompter().error("Error writing " + path);
                return; // the memo stays open with the text
            }
        }
        v.infoOpen = false;
        v.infoEditable = false;
        return;
    }
    const auto lines = ReadTextLines(path);
    if (!lines) {
        views.prompter().warning(kNoInformation);
        if (chartEditMode) {
            v.infoText.clear();
            v.infoOpen = true;
            v.infoEditable = true;
            v.infoHint = kInfoSaveHint;
            state.display.checked[Control::Information1] = true;
        }
        return;
    }
    std::string text;
    for (std::size_t i = 0; i < lines->size(); ++i) {
        text += (*lines)[i];
        if (i + 1 < lines->size()) {
            text += "\n";
        }
    }
    v.infoText = text;
    v.infoOpen = true;
    v.infoEditable = chartEditMode;
    v.infoHint = chartEditMode ? kInfoSaveHint : kInfoCloseHint;
}

void PlaybackLog1Click(ViewSet& views, ChartView& v, LogPlayback& playback)
{
    ViewRecords state = views.state();
    if (state.display.AISPlayTimer.enabled) {
        views.prompter().information(kPlaybackRefused);
        return;
    }
    if (state.quickLog.count() <= 1) {
        return;
    }
    const LatLong first = RecordInChartDatum(state, 1);
    v.centreLat = first.lat;
    v.centreLong = first.lon;
    playback.savedShowTrack = v.options.ShowTrack;
    playback.savedShowVessel = v.options.ShowVessel;
    v.options.ShowTrack = false;
    v.options.ShowVessel = false;
    views.ReCentre(v);
    playback.index = 0;
    playback.ticks = 0;
    playback.speed = std::max(1, views.shared.PlaybackSpeed);
    playback.Delay.intervalMs = static_cast<unsigned>(RoundHalfEven(1000.0 / playback.speed));
    playback.Delay.enabled = true;
    playback.active = true;
    state.display.StatusLine = kPlaybackInProgress;
}

void DelayTimer(ViewSet& views, ChartView& v, LogPlayback& playback)
{
    ViewRecords state = views.state();
    if (!playback.active) {
        return;
    }
    const int count = static_cast<int>(state.quickLog.count());
    ++playback.ticks;
    const int s = playback.speed;
    if ((s > 5 && playback.ticks == s) || (s <= 5 && playback.ticks == 5)) {
        // About once a second (or every five records) the view follows the played record.
        if (playback.index >= 1 && playback.index <= count) {
            const LatLong at = RecordInChartDatum(state, playback.index);
            v.centreLat = at.lat;
            v.centreLong = at.lon;
        }
        views.ReCentre(v);
        for (int n = 1; n <= playback.index && n <= count; ++n) {
            DrawPlaybackRecord(views, v, n);
        }
        playback.ticks = 0;
    }
    ++playback.index;
    DrawPlaybackRecord(views, v, playback.index);
    if (playback.index >= count) {
        playback.Delay.enabled = false;
        playback.active = false;
        v.options.ShowTrack = playback.savedShowTrack;
        v.options.ShowVessel = playback.savedShowVessel;
        const LatLong last = RecordInChartDatum(state, count);
        v.centreLat = last.lat;
        v.centreLong = last.lon;
        views.ReCentre(v);
        state.display.StatusLine.clear();
    }
}

void RouteCommand(ViewSet& views, ChartView& v, const std::function<void()>& command)
{
    command();
    views.Redraw(v);
    views.state().routeEdit.RouteListChanged = true;
}

void PopupMenuOpening(ViewSet& views, const ChartView& v)
{
    Display& d = views.state().display;
    d.checked[Control::WaypointSnapMode] = views.state().routeEdit.WaypointSnap;
    for (Control item : { Control::Area1, Control::HighlightNearest1, Control::ShowMMSI1, Control::OnAll1,
             Control::OnSelected1, Control::LargeLollipop1, Control::AISFollowSelectedTarget1, Control::AISCOG1,
             Control::AISTrueHead1, Control::AISZoom, Control::AISShape }) {
        d.enabled[item] = v.aisView;
    }
}

void CopyView1Click(const ChartView& v, Clipboard& clipboard)
{
    clipboard.setImage(v.bitmap);
}

} // namespace kv
