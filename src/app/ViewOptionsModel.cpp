#include "app/ViewOptionsModel.h"

#include "app/MainController.h"
#include "core/Format.h"
#include "navigation/RouteFollowing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kv {

namespace {

std::string TwoDecimals(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

// The number a threshold text holds, or nothing.
std::optional<double> ThresholdOf(const std::string& text)
{
    const char* begin = text.c_str();
    while (*begin == ' ') {
        ++begin;
    }
    char* end = nullptr;
    const double v = std::strtod(begin, &end);
    if (end == begin || !std::isfinite(v)) {
        return std::nullopt;
    }
    while (*end == ' ') {
        ++end;
    }
    return *end == '\0' ? std::optional<double>(v) : std::nullopt;
}

} // namespace

int PlotFieldIndex(char c)
{
    for (std::size_t i = 1; i < kPlotFieldCaptions.size(); ++i) {
        if (kPlotFieldCaptions[i][0] == c) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

bool FormatHasCode(const std::string& format, char code)
{
    const char up = static_cast<char>(std::toupper(static_cast<unsigned char>(code)));
    for (std::size_t i = 0; i + 1 < format.size(); ++i) {
        if (format[i] == '@' && std::toupper(static_cast<unsigned char>(format[i + 1])) == up) {
            return true;
        }
    }
    return false;
}

ViewOptionsFields FieldsOfView(const ChartView& view)
{
    const ViewOptions& o = view.options;
    ViewOptionsFields f;
    f.xZoom = std::clamp(static_cast<int>(RoundHalfEven(view.zoom)), 0, kMaxThreshold);
    f.xShape = std::clamp(o.SymbolThreshold, 0, kMaxThreshold);
    f.xText = std::clamp(o.LabelThreshold, 0, kMaxThreshold);
    f.xTidal = std::clamp(o.TideLabelThreshold, 0, kMaxThreshold);
    f.ShowWPS = o.ShowWaypoints;
    f.ShowRT = o.ShowRoute;
    f.ShowTide = o.ShowTides;
    f.ShowTrack = o.ShowTrack;
    f.ShowScale = o.ShowGraticule;
    f.ShowV = o.ShowVessel;
    f.AutoZoom = o.AutoZoom;
    f.ShowEPE = o.ShowEPE;
    f.OnTop = o.OnTop;
    f.Lay = o.LineTypes;
    f.PlotTextLog = o.PlotTextLog;
    f.PlotV = PlotFieldIndex(o.PlotField);
    f.EVonly = o.EventsOnly;
    f.SVtrack = o.SurveyTrack;
    f.BlobOn = o.Blobs;
    f.PlotRange = std::clamp(o.PlotRange, 0, kMaxPlotRange);
    f.Last200 = o.LastN;
    f.Nshow = std::clamp(o.NShow, 0, kMaxNShow);
    f.HiLite = TwoDecimals(o.Highlight);
    f.UseCrosses = o.UseCrosses;
    f.Ubow = o.PlotTow;
    return f;
}

void CopyFieldsToOptions(const ViewOptionsFields& f, ViewOptions& o)
{
    o.SymbolThreshold = std::clamp(f.xShape, 0, kMaxThreshold);
    o.LabelThreshold = std::clamp(f.xText, 0, kMaxThreshold);
    o.TideLabelThreshold = std::clamp(f.xTidal, 0, kMaxThreshold);
    o.ShowWaypoints = f.ShowWPS;
    o.ShowRoute = f.ShowRT;
    o.ShowTides = f.ShowTide;
    o.ShowTrack = f.ShowTrack;
    o.ShowGraticule = f.ShowScale;
    o.ShowVessel = f.ShowV;
    o.AutoZoom = f.AutoZoom;
    o.ShowEPE = f.ShowEPE;
    o.OnTop = f.OnTop;
    o.LineTypes = f.Lay;
    o.PlotTextLog = f.PlotTextLog;
    const int index = f.PlotV >= 0 && f.PlotV < static_cast<int>(kPlotFieldCaptions.size()) ? f.PlotV : 0;
    o.PlotField = kPlotFieldCaptions[static_cast<std::size_t>(index)][0];
    o.EventsOnly = f.EVonly;
    o.SurveyTrack = f.SVtrack;
    o.Blobs = f.BlobOn;
    o.PlotRange = std::clamp(f.PlotRange, 0, kMaxPlotRange);
    o.LastN = f.Last200;
    o.NShow = std::clamp(f.Nshow, 0, kMaxNShow);
    o.UseCrosses = f.UseCrosses;
    o.PlotTow = f.Ubow;
}

ChartView* ViewOptionsModel::view()
{
    ViewSet& set = c_.views();
    return index_ >= 0 && index_ < set.count() ? &set.view(index_) : nullptr;
}

void ViewOptionsModel::Fill()
{
    if (const ChartView* v = view()) {
        fields = FieldsOfView(*v);
    }
}

ViewOptionsEnabled ViewOptionsModel::enabled() const
{
    ViewOptionsEnabled e;
    const bool plot = fields.PlotTextLog;
    e.PlotV = e.BlobOn = e.EVonly = e.SVtrack = e.VLabel = e.UseCrosses = e.Ubow = e.Last200 = plot;
    // The range and the count belong to their boxes, which the plot switch disables in turn.
    e.PlotRange = e.RangeLabel = plot && fields.BlobOn;
    e.Nshow = plot && fields.Last200;
    return e;
}

void ViewOptionsModel::PlotTextLogClick(bool on)
{
    fields.PlotTextLog = on;
}

void ViewOptionsModel::PlotVChange(int index)
{
    if (index <= 0 || index >= static_cast<int>(kPlotFieldCaptions.size())) {
        fields.PlotV = 0;
        return;
    }
    const char code = kPlotFieldCaptions[static_cast<std::size_t>(index)][0];
    if (!FormatHasCode(c_.state().settings.TextLogFormat, code)) {
        c_.platform().prompter.warning(kFieldNotInLogFormat);
        fields.PlotV = 0;
        return;
    }
    fields.PlotV = index;
}

void ViewOptionsModel::UbowClick(bool on)
{
    fields.Ubow = on;
    if (on && c_.state().settings.TextLogFormat.find("@>") == std::string::npos) {
        c_.platform().prompter.warning(kTowNotInLogFormat);
        fields.PlotV = 0;
        fields.Ubow = false;
    }
}

// The plot has no running scale of its own (its colours run over the fixed range), so a new
// count only changes which fixes the next redraw takes.
void ViewOptionsModel::Last200Click(bool on)
{
    fields.Last200 = on;
}

void ViewOptionsModel::NshowChange(int n)
{
    fields.Nshow = std::clamp(n, 0, kMaxNShow);
}

void ViewOptionsModel::AutoZoomClick(bool on)
{
    fields.AutoZoom = on;
    ProgramState& s = c_.state();
    const int count = static_cast<int>(s.route.count());
    if (count > 0 && s.routeProgress.ActiveWaypoint >= 1 && s.routeProgress.ActiveWaypoint <= count) {
        RangeBearingToWaypoint(
            s.routeProgress, s.routeTexts, s.fixInfo, s.chartRef, s.prefs.route.TowNavigation, s.route);
    }
}

void ViewOptionsModel::AllClick()
{
    fields.Lay.fill(true);
}

void ViewOptionsModel::NoneClick()
{
    fields.Lay.fill(false);
}

void ViewOptionsModel::LayClick(int type, bool on)
{
    if (type < 0 || type >= kChartLineTypes) {
        return;
    }
    fields.Lay[static_cast<std::size_t>(type)] = on;
    // The coastline comes back with any other line type: a chart of only soundings or contours
    // would have nothing to place them by.
    if (type >= 1) {
        fields.Lay[0] = true;
    }
}

void ViewOptionsModel::OKBtnClick()
{
    ChartView* v = view();
    if (!v) {
        return;
    }
    ProgramState& s = c_.state();
    // 1. The absolute zoom.
    const int zoom = std::clamp(fields.xZoom, 0, kMaxThreshold);
    if (zoom > 0) {
        v->zoom = zoom;
    }
    v->roundedZoom = static_cast<int>(RoundHalfEven(v->zoom));
    // 2. The options. The AIS view does not draw own track while an AIS log is played (the
    // played positions are not own ship's); the track records themselves stay in the quick log.
    CopyFieldsToOptions(fields, v->options);
    if (v->aisView && v->options.ShowTrack && s.aisPlayback.AISPlayback) {
        v->options.ShowTrack = false;
    }
    const std::string caption = kPlotFieldCaptions[static_cast<std::size_t>(PlotFieldIndex(v->options.PlotField))];
    if (caption.size() >= 2 && v->aisView) {
        s.app.plot.label = caption;
    }
    // 3. The highlight threshold; a text that is not a number keeps the one before.
    if (const auto t = ThresholdOf(fields.HiLite)) {
        v->options.Highlight = *t;
    }
    // 4. Re-centre (which copies the zoom to the last view's).
    c_.views().ReCentre(*v);
}

void RemoveSurveyTracks(MainController& controller)
{
    ViewSet& set = controller.views();
    const Fix& cursor = controller.state().fixInfo;
    for (int i = 0; i < set.count(); ++i) {
        ChartView& v = set.view(i);
        v.options.SurveyTrack = false;
        v.centreLat = cursor.OwnLat;
        v.centreLong = cursor.OwnLong;
        set.ReCentre(v);
    }
}

// The Edit menu's "&Survey Track" (ChartEditHooks) and the purge of everything come here.
void MainController::removeSurveyTrack()
{
    RemoveSurveyTracks(*this);
}

} // namespace kv
