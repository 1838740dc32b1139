#include "views/Render.h"
#include "views/AnchorDraw.h"

#include "ais/AisTargets.h"
#include "core/Format.h"
#include "routes/Routes.h"
#include "views/AisDraw.h"
#include "views/AreasDraw.h"
#include "views/SurveyLogDraw.h"
#include "views/Symbols.h"
#include "views/ViewText.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace kv {

namespace {

constexpr double kDegToRad = 0.01745329;
constexpr double kPi = 3.14159265358979323846;
constexpr double kMetreInDegrees = 0.000008999;

// Measures the steps in thread CPU time, so that the split holds on a busy machine too.
class StepTimer {
public:
    explicit StepTimer(RenderTimings* timings)
        : timings_(timings)
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
        timespec ts {};
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
void DrawTides(
    Plotter& plotter, const ChartView& view, int roundedZoom, RenderRecords state, const SchemeColours& colours)
{
    RenderCanvas& canvas = plotter.canvas();
    const Rgb colour = colours.tidesFG ? colours.foreground : kAqua;
    const int hour = std::clamp<int>(state.tideStream.TidalHour, -6, 6);
    for (const TidalDiamond& d : state.tides) {
        const auto px = PositionToPixel(plotter.projection(), d.lat, d.lon);
        if (!px) {
            continue;
        }
        const int x = px->x;
        const int y = px->y;
        if (roundedZoom < 3) {
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
        if (roundedZoom >= view.options.TideLabelThreshold) {
            std::string label = FormatFixed(rate / 10.0, 0, 1);
            if (roundedZoom >= 2 * view.options.TideLabelThreshold) {
                label += " " + FormatInt(set) + "\xb0T";
            }
            canvas.text(x + 2, y + 2, label, colour);
        }
    }
    plotter.resetCode();
}

// Step 5: the track with a fix cross at every drawn fix when zoomed in.
void DrawTrack(Plotter& plotter, const ChartView& view, RenderRecords state, const SchemeColours& colours)
{
    const Rgb colour = colours.trackFG ? colours.foreground : kYellow;
    plotter.liftPen();
    for (const QuickLogRecord& r : state.quickLog) {
        const auto px = plotter.plotPoint(
            r.lat + state.chartRef.ChartLatOffset, r.lon - state.chartRef.ChartLongOffset, LineCode::Track);
        if (px && view.zoom > 50.0) {
            DrawFixCross(plotter.canvas(), px->x, px->y, colour);
            plotter.moveToPixel(*px);
        }
    }
}

// Step 6: the distance grid, anchored at the bitmap's north-west corner. Returns the caption of
// the view's tool bar.
std::string DrawDistanceGrid(Plotter& plotter, const ChartView& view, RenderRecords state)
{
    Projection& p = plotter.projection();
    p.margin = kGridClipMargin;
    const double u = state.settings.units.UnitFactor;
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
    p.margin = ClipMargin(view.zoom);
    return FormatFixed(h, 0, 2) + " " + unitName + caption;
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
void DrawChartWaypoints(Plotter& plotter, const ChartView& view, int roundedZoom, const ChartWaypoints& waypoints,
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
        const bool labelled = roundedZoom >= view.options.LabelThreshold
            || (symbol == kBlankSymbol && !ParameterBlank(wp.name) && roundedZoom >= parameter);
        if (labelled) {
            plotter.canvas().text(px->x + 5, px->y + 4, LabelOf(wp.name), labelColour);
        }
        DrawSymbol(plotter, SymbolPlace { px->x, px->y, wp.lat, wp.lon }, parameter, symbol, roundedZoom,
            view.options.SymbolThreshold);
    }
    plotter.liftPen();
}

// Step 9.
void DrawRoute(
    Plotter& plotter, const ChartView& view, int roundedZoom, RenderRecords state, const SchemeColours& colours)
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
        if (symbol == kRouteWaypointSymbol && number == state.routeProgress.ActiveWaypoint) {
            symbol = kActiveWaypointSymbol;
        }
        const int parameter = std::max(0, TwoDigits(wp.name, 26));
        if (roundedZoom >= view.options.LabelThreshold) {
            plotter.canvas().text(px->x + 5, px->y + 4, LabelOf(wp.name), labelColour);
        }
        DrawSymbol(plotter, SymbolPlace { px->x, px->y, wp.lat, wp.lon }, parameter, symbol, roundedZoom,
            view.options.SymbolThreshold);
        plotter.selectCode(LineCode::Route);
    }
    plotter.liftPen();
}

// Mark 102: a silver ring around the vessel with an "N" at its north point, so a rotated view
// still shows where north is.
void DrawNorthIndicator(Plotter& plotter, const ChartView& view, LatLong vessel)
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
void DrawRangeRings(Plotter& plotter, const ChartView& view, RenderRecords state, LatLong vessel)
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
    // Each ring's distance just above its northern point, clear of the line.
    RenderCanvas& canvas = plotter.canvas();
    const int scale = canvas.deviceScale();
    for (double nm : rings) {
        if (const auto top = PositionToPixel(p, vessel.lat + nm / 60.0, vessel.lon)) {
            canvas.text(top->x + 3 * scale, top->y - 14 * scale, RangeRingLabel(nm), kLime);
        }
    }
    const auto from = PositionToPixel(p, vessel.lat, vessel.lon);
    if (!from) {
        return;
    }
    const double lengthPx = rings.back() / 60.0 * p.latScale;
    const double a = (state.motion.COGValue - 90.0) * kDegToRad + p.angle;
    plotter.canvas().solidLine(from->x, from->y, static_cast<int>(RoundHalfEven(from->x + lengthPx * std::cos(a))),
        static_cast<int>(RoundHalfEven(from->y + lengthPx * std::sin(a))), kLime);
}

// Step 12: the cross at the cursor pixel, the position panel's text and, in measure mode, the
// dotted line from the measure origin with its text.
void DrawCursor(Plotter& plotter, const RenderContext& ctx, LatLong cursorAt, RenderResult& out)
{
    RenderRecords state = ctx.state;
    plotter.liftPen();
    plotter.moveToPixel(out.cursor);
    DrawCursorCross(plotter.canvas(), out.cursor.x, out.cursor.y);
    out.positionText = ViewPositionText(state.prefs.units, state.settings, cursorAt.lat, cursorAt.lon, 4);
    if (ctx.shared.MeasureMode) {
        if (const auto origin
            = PositionToPixel(out.projection, ctx.shared.MeasureOriginLat, ctx.shared.MeasureOriginLong)) {
            RenderCanvas& c = plotter.canvas();
            c.setPen(Pen { plotter.colours().foreground, PenStyle::Dot, 1 });
            c.moveTo(origin->x, origin->y);
            c.lineTo(out.cursor.x, out.cursor.y);
            plotter.resetCode();
        }
        out.measurement = MeasureFromOrigin(state.chartRef, state.settings.units, ctx.shared, cursorAt);
    }
}

} // namespace

DrawingSurface SurfaceOf(const ChartGeometry& geometry)
{
    return DrawingSurface { geometry.SurfaceWidth, geometry.SurfaceHeight };
}

ViewMeasurement MeasureFromOrigin(
    const ChartReference& ref, const UnitSettings& units, const ViewShared& shared, LatLong to)
{
    const MeasureResult m = MeasureText(
        shared.MeasureOriginLat, shared.MeasureOriginLong, to.lat, to.lon, ref, units, shared.MeasureTotal);
    return ViewMeasurement { m.text, m.range };
}

std::string ViewMeasureText(const Fix& fix, const ChartReference& ref, const UnitSettings& units, ViewShared& shared)
{
    if (!shared.MeasureMode) {
        return {};
    }
    const ViewMeasurement m = MeasureFromOrigin(ref, units, shared, LatLong { fix.OwnLat, fix.OwnLong });
    shared.MeasureLastLeg = m.range;
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

void RecreateBitmap(ChartView& view, RenderRecords state)
{
    const DrawingSurface s = SurfaceOf(state.chartGeometry);
    if (view.bitmap.width() != s.width || view.bitmap.height() != s.height
        || view.bitmap.format() != QImage::Format_RGB32) {
        view.bitmap = QImage(s.width, s.height, QImage::Format_RGB32);
    }
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
        return { 4, 8, 12, 16, 20 };
    }
    if (s >= 10) {
        return { 2, 4, 6, 8, 10, 12 };
    }
    if (s >= 6) {
        return { 1, 2, 4, 6, 8 };
    }
    if (s >= 1) {
        return { 0.5, 1, 2, 3, 4 };
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

VesselDimensions OwnVesselDimensions(const VesselSettings& vessel, const Settings& settings)
{
    // "Locate Antenna" fixes the vessel's reference point, the bow on the centre line, and then
    // the antenna, with the vessel lying north-up: the offsets say how far the bow lies ahead
    // of the antenna and how far the centre line lies to starboard of it. The hull is the vessel
    // length long and reaches the two outline widths to port and starboard of the centre line.
    const double ahead = vessel.AntennaNorth / kMetreInDegrees;
    const double toStarboard = vessel.AntennaEast / kMetreInDegrees;
    const double length = std::max(0.0, settings.VesselLength);
    // An antenna found off the hull is drawn at the hull's edge rather than turning it inside out.
    VesselDimensions d;
    d.DimA = std::clamp(ahead, 0.0, length);
    d.DimB = length - d.DimA;
    d.DimC = std::max(0.0, settings.VesselOutlineDimA - toStarboard);
    d.DimD = std::max(0.0, settings.VesselOutlineDimB + toStarboard);
    return d;
}

void DrawVesselOutline(Plotter& plotter, LatLong antenna, double headingDeg, const VesselDimensions& dims, Rgb colour)
{
    // The hull around the antenna: DimA metres ahead, DimB astern, DimC to port, DimD to
    // starboard, with a pointed bow over the forward quarter of the length.
    const double a = dims.DimA;
    const double b = dims.DimB;
    const double c = dims.DimC;
    const double d = dims.DimD;
    const double length = a + b;
    const double shoulder = a - 0.25 * length;
    const double hull[6][2]
        = { { a, (d - c) / 2.0 }, { shoulder, d }, { -b, d }, { -b, -c }, { shoulder, -c }, { a, (d - c) / 2.0 } };
    const double h = headingDeg * kPi / 180.0;
    const double cosLat = plotter.projection().cosLat != 0.0 ? plotter.projection().cosLat : 1.0;
    RenderCanvas& canvas = plotter.canvas();
    std::optional<Pixel> prev;
    for (const auto& corner : hull) {
        const double north = corner[0] * std::cos(h) - corner[1] * std::sin(h);
        const double east = corner[0] * std::sin(h) + corner[1] * std::cos(h);
        const auto px = PositionToPixel(
            plotter.projection(), antenna.lat + north * kMetreInDegrees, antenna.lon - east * kMetreInDegrees / cosLat);
        if (px && prev) {
            canvas.solidLine(prev->x, prev->y, px->x, px->y, colour);
        }
        prev = px;
    }
    plotter.liftPen();
}

std::string RangeRingLabel(double nm)
{
    const bool whole = nm == std::floor(nm);
    return Trim(FormatFixed(nm, 0, whole ? 0 : 1)) + " Nm";
}

void DrawOwnShip(Plotter& plotter, LatLong at, double cogDeg, double sogKnots, Rgb colour)
{
    const Projection& p = plotter.projection();
    const auto centre = PositionToPixel(p, at.lat, at.lon);
    if (!centre) {
        return;
    }
    RenderCanvas& canvas = plotter.canvas();
    const double scale = canvas.deviceScale();
    // Screen direction of the bow (x right, y down) and of starboard, turned with the view.
    const double a = (cogDeg - 90.0) * kDegToRad + p.angle;
    const double fx = std::cos(a);
    const double fy = std::sin(a);
    const double sx = -fy;
    const double sy = fx;
    auto point = [&](double forward, double starboard) {
        return Pixel { static_cast<int>(RoundHalfEven(centre->x + scale * (forward * fx + starboard * sx))),
            static_cast<int>(RoundHalfEven(centre->y + scale * (forward * fy + starboard * sy))) };
    };
    // A pointed hull, the position at about a third of the length from the bow.
    const double bow = kOwnShipShapeLength * 0.4;
    const double stern = bow - kOwnShipShapeLength;
    const double beam = kOwnShipShapeLength * 0.2;
    const Pixel hull[] = { point(bow, 0), point(bow * 0.2, beam), point(stern, beam), point(stern, -beam),
        point(bow * 0.2, -beam), point(bow, 0) };
    for (std::size_t i = 1; i < std::size(hull); ++i) {
        canvas.solidLine(hull[i - 1].x, hull[i - 1].y, hull[i].x, hull[i].y, colour);
    }
    if (sogKnots > 0.0) {
        // Course and speed: six minutes of travel at the scale of the view, from the bow.
        const double lengthPx = sogKnots * kOwnShipVectorHours / 60.0 * p.latScale;
        const Pixel from = hull[0];
        const Pixel to { static_cast<int>(RoundHalfEven(from.x + lengthPx * fx)),
            static_cast<int>(RoundHalfEven(from.y + lengthPx * fy)) };
        // Two pixels wide: it stays visible beside the range rings' course line over it.
        canvas.solidLine(from.x, from.y, to.x, to.y, colour, 2);
        const int tick = static_cast<int>(4 * scale);
        canvas.solidLine(static_cast<int>(RoundHalfEven(to.x - tick * sx)),
            static_cast<int>(RoundHalfEven(to.y - tick * sy)), static_cast<int>(RoundHalfEven(to.x + tick * sx)),
            static_cast<int>(RoundHalfEven(to.y + tick * sy)), colour);
    }
    plotter.liftPen();
}

std::optional<LatLong> LastTrackPosition(RenderRecords state)
{
    if (state.quickLog.empty()) {
        return std::nullopt;
    }
    const QuickLogRecord& r = state.quickLog.at(state.quickLog.count());
    return LatLong { r.lat + state.chartRef.ChartLatOffset, r.lon - state.chartRef.ChartLongOffset };
}

RenderResult RedrawView(const ChartView& view, QImage& bitmap, const RenderContext& ctx)
{
    RenderRecords state = ctx.state;
    StepTimer timer(ctx.timings);
    const DrawingSurface surface = ctx.surface ? *ctx.surface : SurfaceOf(state.chartGeometry);
    if (bitmap.isNull() || bitmap.width() != surface.width || bitmap.height() != surface.height
        || bitmap.format() != QImage::Format_RGB32) {
        bitmap = QImage(surface.width, surface.height, QImage::Format_RGB32);
    }
    const SchemeColours colours = ColoursFromSettings(state.settings);
    // Every picture starts from the bare background, whoever asks for it: drawn over the last
    // one, a target that has moved on would keep its old mark and name beside the new ones.
    bitmap.fill(QColor::fromRgb(0xFF000000u | colours.background));
    RenderCanvas canvas(bitmap);
    canvas.setDeviceScale(ctx.deviceScale);
    RenderResult out;
    out.cursor = Pixel { view.cursorX, view.cursorY };

    // 1-2: grid decision and scales. A followed AIS target replaces the reference position.
    const bool gridWanted = view.zoom > 0.5 ? view.options.ShowGraticule : true;
    out.centre = LatLong { view.centreLat, view.centreLong };
    out.projection = ComputeScales(out.centre.lat, out.centre.lon, view.zoom, surface, ctx.shared.rotation);
    out.roundedZoom = static_cast<int>(RoundHalfEven(view.zoom));
    const bool showTargets = view.aisView && view.ais.ShowAIS;
    if (showTargets) {
        if (const auto target = FollowedTargetPosition(state, view)) {
            out.projection.refLat = target->lat;
            out.projection.refLong = target->lon;
            out.followingTarget = true;
        }
    }
    if (ctx.projection) {
        out.projection = *ctx.projection;
    }
    Plotter plotter(canvas, out.projection, colours);
    timer.done(2);

    if (state.extra.FillAreas && ctx.areas != nullptr) {
        const std::string path = state.chart.ChartFolder.str() + state.chart.ChartName.str() + kChartAreasExtension;
        if (const ChartAreas* areas = ctx.areas->load(path)) {
            DrawChartAreas(bitmap, out.projection, *areas, colours);
        }
    }
    DrawChart(plotter, view, state.chart);
    timer.done(3);
    if (view.options.ShowTides) {
        DrawTides(plotter, view, out.roundedZoom, state, colours);
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
        out.toolbarHint = DrawDistanceGrid(plotter, view, state);
    }
    timer.done(6);
    if (worldGraticule) {
        DrawWorldGraticule(plotter);
        out.toolbarHint = std::string();
    }
    timer.done(7);
    if (view.options.ShowWaypoints) {
        DrawChartWaypoints(plotter, view, out.roundedZoom, state.waypoints, colours);
    }
    timer.done(8);
    DrawRoute(plotter, view, out.roundedZoom, state, colours);
    timer.done(9);
    out.selectedTarget = state.ais.SelectedTarget;
    if (showTargets) {
        const RedrawSelection selection = SelectTargetForRedraw(state);
        out.targetsShown = true;
        out.selectedTarget = selection.selected;
        out.nearestTargetRange = selection.nearestRange;
        DrawAISTargets(plotter, view, state, selection.selected);
        plotter.resetCode();
    }
    timer.done(10);
    if (view.options.PlotTextLog) {
        DrawSurveyLogOf(canvas, out.projection, view.options, state, colours, ctx.surveyLog);
    }

    // 11-12: own vessel and cursor.
    const int targets = state.ais.targets.count();
    const auto vessel = LastTrackPosition(state);
    bool skipToRings = false;
    LatLong cursorAt { state.fixInfo.OwnLat, state.fixInfo.OwnLong };
    if (!vessel && targets == 0 && !view.ais.ShowAIS && view.aisView) {
        // The cursor goes to the bitmap centre, and the shared cursor position with it.
        out.cursor = Pixel { out.projection.halfW, out.projection.halfH };
        cursorAt = PixelToLatLong(out.projection, out.cursor.x, out.cursor.y);
        out.centre = cursorAt;
        out.cursorPosition = cursorAt;
        DrawCursor(plotter, ctx, cursorAt, out);
        skipToRings = true;
    } else {
        if (view.options.ShowTrack && vessel && !out.followingTarget) {
            // A view in free look stays where the user put it; own ship moves across it.
            if (view.following) {
                out.centre = *vessel;
            }
            out.vesselPixel = PositionToPixel(out.projection, vessel->lat, vessel->lon);
            if (view.options.ShowEPE) {
                plotter.liftPen();
                DrawGeographicCircle(plotter, vessel->lat, vessel->lon,
                    state.sentenceFix.PositionError * kMetreInDegrees, LineCode::Track);
            }
            if (ctx.shared.rotation.angle != 0.0) {
                DrawNorthIndicator(plotter, view, *vessel);
            }
            bool outlineVisible = false;
            if (view.options.ShowVessel && view.options.ShowOutline && ctx.shared.vesselOutline) {
                const VesselDimensions& dims = *ctx.shared.vesselOutline;
                DrawVesselOutline(plotter, *vessel, state.motion.COGValue, dims, colours.foreground);
                const double lengthPx = (dims.DimA + dims.DimB) * kMetreInDegrees * out.projection.latScale;
                outlineVisible = lengthPx >= kOwnShipShapeLength * ctx.deviceScale / 2.0;
            }
            // The hull to scale says everything once it is large enough to make out (half the
            // shape's length); until then the shape of fixed size shows where the vessel is and
            // where it is heading.
            if (view.options.ShowVessel && !outlineVisible) {
                DrawOwnShip(plotter, *vessel, state.motion.COGValue, state.motion.SOG, colours.foreground);
            }
        }
        if (out.followingTarget) {
            out.cursor = Pixel { out.projection.halfW, out.projection.halfH };
        } else if (const auto px = PositionToPixel(out.projection, cursorAt.lat, cursorAt.lon)) {
            out.cursor = *px;
        }
    }
    timer.done(11);
    if (!skipToRings) {
        DrawCursor(plotter, ctx, cursorAt, out);
    }
    timer.done(12);
    if (!skipToRings && out.followingTarget) {
        DrawSelectedOutline(plotter, view, state, out.selectedTarget);
        plotter.resetCode();
    }
    timer.done(13);
    if (view.options.ShowTrack && view.options.ShowVessel && view.ais.RingSetting >= 1 && !out.followingTarget) {
        const LatLong at = vessel ? *vessel : LatLong { state.fixInfo.OwnLat, state.fixInfo.OwnLong };
        DrawRangeRings(plotter, view, state, at);
    }
    DrawAnchorWatch(plotter, state.extra);
    timer.done(14);
    out.portfolioOutlines = ToUpperAscii(state.chart.ChartName.str()).find("PORTFOLIO") != std::string::npos;
    timer.done(15);
    return out;
}

} // namespace kv
