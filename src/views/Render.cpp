#include "views/Render.h"

#include "views/AisDraw.h"
#include "ais/AisTargets.h"
#include "views/Symbols.h"
#include "routes/Routes.h"
#include "views/ViewText.h"
#include "core/Format.h"

#include <ctime>
#include <cmath>

namespace kv {

namespace {

constexpr double kDegToRad = 0.01745329;
constexpr double kMetreInDegrees = 0.000008999;

// Measures the steps in thread CPU time, so that the split holds on a busy machine too.
class StepTimer {
public:
    explicit StepTimer(RenderTimings* timings) : timings_(timings)
    {
        if (timings_ != nullptr) {
            timings_->step.fill(0);
            last_ = Now();
        }
    }
    void done(int step)
    {
        if (timings_ == nullptr) {
            return;
        }
        const long long now = Now();
        timings_->step[static_cast<std::size_t>(step)] += now - last_;
        last_ = now;
    }

private:
    static long long Now()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
    }
    RenderTimings* timings_;
    long long last_ = 0;
};

// Characters 25-26 (symbol) and 27-28 (parameter R#) of a name field; -1 when not two digits.
int TwoDigits(const std::string& name, std::size_t offset)
{
    if (name.size() < offset + 2) {
        return -1;
    }
    const char a = name[offset];
    const char b = name[offset + 1];
    if (a == ' ' && b >= '0' && b <= '9') {
        return b - '0';
    }
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}

bool ParameterBlank(const std::string& name)
{
    return name.size() < 28 || (name[26] == ' ' && name[27] == ' ');
}

std::string LabelOf(const std::string& name)
{
    return TrimRight(std::string_view(name).substr(0, std::min<std::size_t>(name.size(), 24)));
}

// Step 3: every slot of the store; hidden line types are skipped without lifting the pen, so the
// next visible point joins the last one drawn.
void DrawChart(Plotter& plotter, const ChartView& view, const ChartStore& store)
{
    plotter.liftPen();
    const int count = store.count();
    for (int n = 1; n <= count; ++n) {
        const ChartPoint& point = store.point(n);
        if (point.isPenUp()) {
            plotter.liftPen();
            continue;
        }
        const double encoded = point.encodedLat();
        const int t = LineTypeOf(encoded);
        if (!view.options.LineTypes[static_cast<std::size_t>(t)]) {
            continue;
        }
        plotter.plotPoint(encoded - 200.0 * t, point.lon(), t == 0 ? LineCode::Foreground : 2 * t);
    }
}

// Step 4.
void DrawTides(Plotter& plotter, const ChartView& view, const ProgramState& state, const SchemeColours& colours)
{
    RenderCanvas& canvas = plotter.canvas();
    const Rgb colour = colours.tidesFG ? colours.foreground : kAqua;
    const int hour = std::clamp<int>(state.nav.TidalHour, -6, 6);
    for (const TidalDiamond& d : state.tides) {
        const auto px = PositionToPixel(plotter.projection(), d.lat, d.lon);
        if (!px) {
            continue;
        }
        const int x = px->x;
        const int y = px->y;
        if (view.roundedZoom < 3) {
            for (int k = -1; k <= 1; ++k) {
                canvas.setPixel(x + k, y, colour);
                canvas.setPixel(x, y + k, colour);
            }
        } else {
            for (int k = -3; k <= 3; ++k) { // the four edges of a diamond of radius 3
                const int w = 3 - std::abs(k);
                canvas.setPixel(x - w, y + k, colour);
                canvas.setPixel(x + w, y + k, colour);
            }
        }
        const int rate = d.rateAt(hour);
        const int set = d.setAt(hour);
        const double a = (set - 90) * kDegToRad + plotter.projection().angle;
        const int ex = static_cast<int>(RoundHalfEven(x + 2.0 * rate * std::cos(a)));
        const int ey = static_cast<int>(RoundHalfEven(y + 2.0 * rate * std::sin(a)));
        canvas.solidLine(x, y, ex, ey, colour);
        if (view.roundedZoom >= view.options.TideLabelThreshold) {
            std::string label = FormatFixed(rate / 10.0, 0, 1);
            if (view.roundedZoom >= 2 * view.options.TideLabelThreshold) {
                label += " " + FormatInt(set) + "\xb0T";
            }
            canvas.text(x + 2, y + 2, label, colour);
        }
    }
    plotter.resetCode();
}

// Step 5: the track with a fix cross at every drawn fix when zoomed in.
void DrawTrack(Plotter& plotter, const ChartView& view, const ProgramState& state, const SchemeColours& colours)
{
    const Rgb colour = colours.trackFG ? colours.foreground : kYellow;
    plotter.liftPen();
    for (const QuickLogRecord& r : state.quickLog) {
        const auto px = plotter.plotPoint(r.lat + state.nav.ChartLatOffset, r.lon - state.nav.ChartLongOffset,
                                          LineCode::Track);
        if (px && view.zoom > 50.0) {
            DrawFixCross(plotter.canvas(), px->x, px->y, colour);
            plotter.moveToPixel(*px);
        }
    }
}

// Step 6: the distance grid, anchored at the bitmap's north-west corner.
void DrawDistanceGrid(Plotter& plotter, ChartView& view, const ProgramState& state)
{
    Projection& p = plotter.projection();
    p.margin = kGridClipMargin;
    const double u = state.nav.UnitFactor;
    const std::string unitName = GridUnitName(u);
    const double h = u * 60.0 * (static_cast<double>(p.height) / p.latBase) / view.zoom;
    double s = 1000.0;
    const char* caption = "Grat. 1000";
    if (h <= 0.1) {
        s = 0.01;
        caption = "Grat. 0.01";
    } else if (h < 1.0) {
        s = 0.1;
        caption = "Grat. 0.1";
    } else if (h < 10.0) {
        s = 1.0;
        caption = "Grat. 1.0";
    } else if (h < 100.0) {
        s = 10.0;
        caption = "Grat. 10";
    } else if (h < 1000.0) {
        s = 100.0;
        caption = "Grat. 100";
    }
    const double cosLat = p.cosLat;
    const double w = u * 60.0 * (static_cast<double>(p.width) / p.longBase) / (view.zoom * cosLat);
    const double north = p.refLat + static_cast<double>(p.halfH) / p.latScale;
    const double west = p.refLong + static_cast<double>(p.halfW) / p.longScale;
    const double south = p.refLat - static_cast<double>(p.height - p.halfH) / p.latScale;
    const double east = p.refLong - static_cast<double>(p.width - p.halfW) / p.longScale;
    const double latStep = s / (60.0 * u);
    const double lonStep = s / (60.0 * u * cosLat);
    // The loops are bounded by the spacing table (at most some thousand lines); a guard keeps
    // a degenerate scale from running away.
    int guard = 0;
    for (double lat = north + latStep; north - lat < h / 60.0 && guard < 5000; lat -= latStep, ++guard) {
        plotter.liftPen();
        plotter.plotPoint(lat, west + lonStep, LineCode::Grid);
        plotter.plotPoint(lat, east - lonStep, LineCode::Grid);
    }
    guard = 0;
    for (double lon = west + lonStep; west - lon < w / 60.0 && guard < 5000; lon -= lonStep, ++guard) {
        plotter.liftPen();
        plotter.plotPoint(north + latStep, lon, LineCode::Grid);
        plotter.plotPoint(south - latStep, lon, LineCode::Grid);
    }
    view.toolbarHint = FormatFixed(h, 0, 2) + " " + unitName + caption;
    p.margin = ClipMargin(view.zoom);
}

// Step 7: the world graticule.
void DrawWorldGraticule(Plotter& plotter)
{
    auto parallel = [&](double lat) {
        plotter.liftPen();
        const int code = lat == 0.0 ? LineCode::Meridian : LineCode::Graticule;
        for (int lon = -180; lon <= 180; lon += 6) {
            plotter.plotPoint(lat, lon, code);
        }
    };
    for (int lat = -80; lat <= 72; lat += 8) {
        parallel(lat);
    }
    parallel(84);
    for (int lon = -180; lon <= 180; lon += 6) {
        plotter.liftPen();
        const int code = lon == 0 ? LineCode::Meridian : LineCode::Graticule;
        for (int lat = -80; lat <= 80; lat += 8) {
            plotter.plotPoint(lat, lon, code);
        }
        plotter.plotPoint(84, lon, code);
    }
}

// Step 8.
void DrawChartWaypoints(Plotter& plotter, const ChartView& view, const ChartWaypoints& waypoints,
                        const SchemeColours& colours)
{
    const Rgb labelColour = colours.textFG ? colours.foreground : kSilver;
    for (const ChartWaypoint& wp : waypoints) {
        plotter.liftPen();
        const auto px = plotter.plotPoint(wp.lat, wp.lon, LineCode::Foreground);
        if (!px) {
            continue;
        }
        const int symbol = TwoDigits(wp.name, 24);
        const int parameter = std::max(0, TwoDigits(wp.name, 26));
        const bool labelled = view.roundedZoom >= view.options.LabelThreshold ||
                              (symbol == kBlankSymbol && !ParameterBlank(wp.name) && view.roundedZoom >= parameter);
        if (labelled) {
            plotter.canvas().text(px->x + 5, px->y + 4, LabelOf(wp.name), labelColour);
        }
        DrawSymbol(plotter, SymbolPlace{px->x, px->y, wp.lat, wp.lon}, parameter, symbol, view.roundedZoom,
                   view.options.SymbolThreshold);
    }
    plotter.liftPen();
}

// Step 9.
void DrawRoute(Plotter& plotter, const ChartView& view, const ProgramState& state, const SchemeColours& colours)
{
    const Rgb labelColour = colours.textFG ? colours.foreground : kWhite;
    plotter.liftPen();
    int number = 0;
    for (const RouteWaypoint& wp : state.route) {
        ++number;
        if (!view.options.ShowRoute) {
            plotter.liftPen();
        }
        const auto px = plotter.plotPoint(wp.lat, wp.lon, LineCode::Route);
        if (!px) {
            continue;
        }
        int symbol = TwoDigits(wp.name, 24);
        if (symbol < 0) {
            symbol = kRouteWaypointSymbol; // a name field without a symbol is a plain route mark
        }
        if (symbol == kRouteWaypointSymbol && number == state.nav.ActiveWaypoint) {
            symbol = kActiveWaypointSymbol;
        }
        const int parameter = std::max(0, TwoDigits(wp.name, 26));
        if (view.roundedZoom >= view.options.LabelThreshold) {
            plotter.canvas().text(px->x + 5, px->y + 4, LabelOf(wp.name), labelColour);
        }
        DrawSymbol(plotter, SymbolPlace{px->x, px->y, wp.lat, wp.lon}, parameter, symbol, view.roundedZoom,
                   view.options.SymbolThreshold);
        plotter.selectCode(LineCode::Route);
    }
    plotter.liftPen();
}

// Mark 102: a silver ring around the vessel with an "N" at its north point, so a rotated view
// still shows where north is.
void DrawNorthIndicator(Plotter& plotter, const ChartView& view, LatLongValue vessel)
{
    const double radius = 0.5 / view.zoom;
    DrawGeographicCircle(plotter, vessel.lat, vessel.lon, radius, LineCode::Grid);
    plotter.liftPen();
    if (const auto top = PositionToPixel(plotter.projection(), vessel.lat + radius, vessel.lon)) {
        plotter.canvas().text(top->x - 3, top->y - 6, "N", kSilver);
    }
}

// Mark 106 and the range rings: the rings around the vessel and a lime line from the vessel along
// its course over ground out to the outermost ring.
void DrawRangeRings(Plotter& plotter, const ChartView& view, const ProgramState& state, LatLongValue vessel)
{
    const auto rings = RangeRings(view.ais.RingSetting);
    if (rings.empty()) {
        return;
    }
    for (double nm : rings) {
        DrawGeographicCircle(plotter, vessel.lat, vessel.lon, nm / 60.0, LineCode::Lime);
    }
    plotter.liftPen();
    const Projection& p = plotter.projection();
    const auto from = PositionToPixel(p, vessel.lat, vessel.lon);
    if (!from) {
        return;
    }
    const double lengthPx = rings.back() / 60.0 * p.latScale;
    const double a = (state.nav.COGValue - 90.0) * kDegToRad + p.angle;
    plotter.canvas().solidLine(from->x, from->y, static_cast<int>(RoundHalfEven(from->x + lengthPx * std::cos(a))),
                               static_cast<int>(RoundHalfEven(from->y + lengthPx * std::sin(a))), kLime);
}

void MoveCursorToCentre(ChartView& view, ProgramState& state)
{
    view.cursorX = view.projection.halfW;
    view.cursorY = view.projection.halfH;
    const LatLongValue pos = PixelToLatLong(view.projection, view.cursorX, view.cursorY);
    view.centreLat = pos.lat;
    view.centreLong = pos.lon;
    state.nav.OwnLat = pos.lat;
    state.nav.OwnLong = pos.lon;
}

// Step 12.
void DrawCursor(Plotter& plotter, ChartView& view, RenderContext& ctx, bool atViewPixel)
{
    ProgramState& state = ctx.state;
    if (!atViewPixel) {
        if (const auto px = PositionToPixel(view.projection, state.nav.OwnLat, state.nav.OwnLong)) {
            view.cursorX = px->x;
            view.cursorY = px->y;
        }
    }
    plotter.liftPen();
    plotter.moveToPixel(Pixel{view.cursorX, view.cursorY});
    DrawCursorCross(plotter.canvas(), view.cursorX, view.cursorY);
    state.display.PosnPanel = ViewPositionText(state.nav, state.settings, state.nav.OwnLat, state.nav.OwnLong, 4);
    if (ctx.shared.MeasureMode) {
        if (const auto origin = PositionToPixel(view.projection, ctx.shared.MeasureOriginLat, ctx.shared.MeasureOriginLong)) {
            RenderCanvas& c = plotter.canvas();
            c.setPen(Pen{plotter.colours().foreground, PenStyle::Dot, 1});
            c.moveTo(origin->x, origin->y);
            c.lineTo(view.cursorX, view.cursorY);
            plotter.resetCode();
        }
        state.display.StatusLine = ViewMeasureText(state, ctx.shared);
    }
}

} // namespace

DrawingSurface SurfaceOf(const ChartGeometry& geometry)
{
    return DrawingSurface{geometry.SurfaceWidth, geometry.SurfaceHeight};
}

std::string ViewMeasureText(ProgramState& state, const ViewShared& shared)
{
    if (!shared.MeasureMode) {
        return {};
    }
    const MeasureResult m = MeasureText(shared.MeasureOriginLat, shared.MeasureOriginLong, state.nav, shared.MeasureTotal);
    state.nav.RangeToWaypoint = m.range;
    return m.text;
}

SchemeColours ColoursFromSettings(const Settings& settings)
{
    SchemeColours c;
    c.background = RgbFromConfigColour(settings.ChartBackColour);
    c.foreground = RgbFromConfigColour(settings.ChartForeColour);
    c.textFG = settings.TextColourFG;
    c.trackFG = settings.TrackColourFG;
    c.tidesFG = settings.TideColourFG;
    return c;
}

void RecreateBitmap(ChartView& view, const RenderContext& ctx)
{
    const DrawingSurface s = SurfaceOf(ctx.state.chartGeometry);
    if (view.bitmap.width() != s.width || view.bitmap.height() != s.height ||
        view.bitmap.format() != QImage::Format_RGB32) {
        view.bitmap = QImage(s.width, s.height, QImage::Format_RGB32);
    }
    view.bitmap.fill(QColor::fromRgb(0xFF000000u | ColoursFromSettings(ctx.state.settings).background));
}

void DrawCursorCross(RenderCanvas& canvas, int x, int y)
{
    for (int d = 3; d <= 30; ++d) {
        canvas.invertPixel(x - d, y);
        canvas.invertPixel(x + d, y);
        canvas.invertPixel(x, y - d);
        canvas.invertPixel(x, y + d);
    }
}

void DrawFixCross(RenderCanvas& canvas, int x, int y, Rgb colour)
{
    canvas.solidLine(x - 2, y - 2, x + 3, y + 3, colour);
    canvas.solidLine(x - 2, y + 2, x + 3, y - 3, colour);
}

std::vector<double> RangeRings(int s)
{
    if (s >= 14) {
        return {4, 8, 12, 16, 20};
    }
    if (s >= 10) {
        return {2, 4, 6, 8, 10, 12};
    }
    if (s >= 6) {
        return {1, 2, 4, 6, 8};
    }
    if (s >= 1) {
        return {0.5, 1, 2, 3, 4};
    }
    return {};
}

std::string RangeRingHint(int s)
{
    if (s >= 14) {
        return "Rings 4,8,12,16,20 Nm|";
    }
    if (s >= 10) {
        return "Rings 2,4,6,8,10,12 Nm|";
    }
    if (s >= 6) {
        return "Rings 1,2,4,6,8 Nm|";
    }
    if (s >= 1) {
        return "Rings 0.5,1,2,3,4 Nm|";
    }
    return "Rings off|";
}

std::optional<LatLongValue> LastTrackPosition(const ProgramState& state)
{
    if (state.quickLog.empty()) {
        return std::nullopt;
    }
    const QuickLogRecord& r = state.quickLog.at(state.quickLog.count());
    return LatLongValue{r.lat + state.nav.ChartLatOffset, r.lon - state.nav.ChartLongOffset};
}

void RedrawView(ChartView& view, RenderContext& ctx)
{
    ProgramState& state = ctx.state;
    StepTimer timer(ctx.timings);
    const DrawingSurface surface = SurfaceOf(state.chartGeometry);
    if (view.bitmap.isNull() || view.bitmap.width() != surface.width || view.bitmap.height() != surface.height) {
        RecreateBitmap(view, ctx);
    }
    const SchemeColours colours = ColoursFromSettings(state.settings);
    RenderCanvas canvas(view.bitmap);

    // 1-2: grid decision and scales. A followed AIS target replaces the reference position.
    const bool gridWanted = view.zoom > 0.5 ? view.options.ShowGraticule : true;
    view.projection = ComputeScales(view.centreLat, view.centreLong, view.zoom, surface, ctx.shared.rotation);
    view.roundedZoom = static_cast<int>(RoundHalfEven(view.zoom));
    view.followingTarget = false;
    const bool showTargets = view.aisView && view.ais.ShowAIS;
    if (showTargets) {
        if (const auto target = FollowedTargetPosition(state, view)) {
            view.projection.refLat = target->lat;
            view.projection.refLong = target->lon;
            view.followingTarget = true;
        }
    }
    Plotter plotter(canvas, view.projection, colours);
    timer.done(2);

    DrawChart(plotter, view, state.chart);
    timer.done(3);
    if (view.options.ShowTides) {
        DrawTides(plotter, view, state, colours);
    }
    timer.done(4);
    if (view.options.ShowTrack) {
        DrawTrack(plotter, view, state, colours);
    }
    timer.done(5);
    // Where the world graticule is drawn (zoom 0.5 or less) the distance grid is not: the two
    // over each other hide the chart, and a whole-world view has no use for a distance grid.
    const bool worldGraticule = view.zoom <= 0.5 && gridWanted;
    if (gridWanted && view.zoom > 0.2 && !worldGraticule) {
        DrawDistanceGrid(plotter, view, state);
    }
    timer.done(6);
    if (worldGraticule) {
        DrawWorldGraticule(plotter);
        view.toolbarHint.clear();
    }
    timer.done(7);
    if (view.options.ShowWaypoints) {
        DrawChartWaypoints(plotter, view, state.waypoints, colours);
    }
    timer.done(8);
    DrawRoute(plotter, view, state, colours);
    timer.done(9);
    if (showTargets) {
        DrawAISTargets(plotter, view, state);
        plotter.resetCode();
        if (ctx.nowDays) {
            AgeAISTargets(state, *ctx.nowDays);
        }
        if (ctx.hooks.refreshTargetText) {
            ctx.hooks.refreshTargetText();
        }
    }
    timer.done(10);

    // 11-12: own vessel and cursor.
    const int targets = state.ais.AISTargetCount;
    const auto vessel = LastTrackPosition(state);
    bool skipToRings = false;
    if (!vessel && targets == 0 && !view.ais.ShowAIS && view.aisView) {
        MoveCursorToCentre(view, state);
        DrawCursor(plotter, view, ctx, true);
        skipToRings = true;
    } else {
        if (view.options.ShowTrack && vessel && !view.followingTarget) {
            view.centreLat = vessel->lat;
            view.centreLong = vessel->lon;
            if (view.options.ShowEPE) {
                plotter.liftPen();
                DrawGeographicCircle(plotter, vessel->lat, vessel->lon, state.nav.PositionError * kMetreInDegrees,
                                     LineCode::Track);
            }
            if (ctx.shared.rotation.angle != 0.0) {
                DrawNorthIndicator(plotter, view, *vessel);
            }
        }
        if (view.followingTarget) {
            view.cursorX = view.projection.halfW;
            view.cursorY = view.projection.halfH;
        }
    }
    timer.done(11);
    if (!skipToRings) {
        DrawCursor(plotter, view, ctx, view.followingTarget);
    }
    timer.done(12);
    if (!skipToRings && view.followingTarget) {
        DrawSelectedOutline(plotter, view, state);
        plotter.resetCode();
    }
    timer.done(13);
    if (view.options.ShowTrack && view.options.ShowVessel && view.ais.RingSetting >= 1 && !view.followingTarget) {
        const LatLongValue at = vessel ? *vessel : LatLongValue{state.nav.OwnLat, state.nav.OwnLong};
        DrawRangeRings(plotter, view, state, at);
    }
    timer.done(14);
    if (ToUpperAscii(state.chart.ChartName.str()).find("PORTFOLIO") != std::string::npos && ctx.hooks.drawChartOutlines) {
        ctx.hooks.drawChartOutlines(view, plotter);
    }
    timer.done(15);
}

} // namespace kv
