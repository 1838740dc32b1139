#include "charts/ChartEditor.h"

#include "charts/WaypointFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/PlaneSailing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace kv {

namespace {

constexpr double kBestStart = 100000.0;
// Degrees of latitude per metre.
constexpr double kDegreesPerMetre = 0.000539956804 / 60.0;

} // namespace

std::string NumberText(double value)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string text = buf;
    // The exponent, when there is one, is written without a plus sign or leading zeros: "1.5E-7".
    if (const auto e = text.find('E'); e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string sign = text[e + 1] == '-' ? "-" : "";
        std::string digits = text.substr(e + 2);
        digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
        text = mantissa + "E" + sign + digits;
    }
    return text;
}

namespace {

std::string TwoDigits(int value)
{
    return ZeroFill(FormatInt(value, 2));
}

} // namespace

static_assert(LineTypeControl(kLineTypes - 1) == Control::LineT6, "a line-type command for each line type");

double EditDistance(double lat, double lon, double cursorLat, double cursorLon, double cosLat)
{
    return PlaneSailingDistance(cosLat, cursorLat, cursorLon, lat, lon);
}

std::string ChartWaypointNameField(const std::string& label, int symbol, bool radiusEnabled, const std::string& radius)
{
    std::string field = PadRight(label.substr(0, std::min(label.size(), kWaypointLabelLength)), kWaypointLabelLength);
    field += TwoDigits(std::clamp(symbol, 0, 99));
    if (radiusEnabled) {
        std::string r = Trim(radius);
        if (r.empty()) {
            r = "  ";
        } else if (r.size() == 1) {
            r = "0" + r;
        }
        field += r.substr(0, 2) + " ";
    } else {
        field += "   ";
    }
    return field;
}

std::string SurveyGridStatus(const SurveyGrid& grid, double cosLat)
{
    const double a = (180.0 - grid.angle) * std::numbers::pi / 180.0;
    const double k = kDegreesPerMetre;
    const double kl = k / cosLat;
    return NumberText(std::cos(a) * k * grid.length / 2.0) + " / " + NumberText(std::sin(a) * kl * grid.length / 2.0);
}

std::vector<ChartPoint> SurveyGridRecords(const SurveyGrid& grid, double lat, double lon, double cosLat, int lineType)
{
    const double a = (180.0 - grid.angle) * std::numbers::pi / 180.0;
    const double ca = std::cos(a);
    const double sa = std::sin(a);
    const double k = kDegreesPerMetre;
    const double kl = k / cosLat;
    const double len = grid.length;
    const double p = grid.spacing;
    std::vector<ChartPoint> out;
    out.reserve(3 * static_cast<std::size_t>(std::max(grid.lines, 0)) + 2);
    out.push_back(ChartPoint::penUp());
    for (int i = 0; i < grid.lines; ++i) {
        const int type = (grid.alternate && i % 2 == 1) ? (lineType + 1) % kLineTypes : lineType;
        const double offset = 200.0 * type;
        for (int j = 0; j <= 1; ++j) {
            const double pLat = lat + ca * k * (j * len - len / 2.0) + sa * k * i * p;
            const double pLon = lon - ca * kl * i * p - sa * kl * ((1 - j) * len - len / 2.0);
            out.push_back(ChartPoint::fromEncoded(pLat + offset, pLon));
        }
        out.push_back(ChartPoint::penUp());
    }
    out.push_back(ChartPoint::penUp());
    return out;
}

SurveyGridResult AppendSurveyGrid(
    ChartStore& chart, const SurveyGrid& grid, double lat, double lon, double cosLat, int lineType)
{
    SurveyGridResult result;
    const long long needed = 3LL * grid.lines + 2;
    // Every record of the grid must fit: a grid cut short would leave half a survey.
    if (grid.lines < 1 || chart.count() + needed > static_cast<long long>(kChartCapacity)) {
        return result;
    }
    const std::vector<ChartPoint> records = SurveyGridRecords(grid, lat, lon, cosLat, lineType);
    int slot = chart.count();
    chart.setCount(slot + static_cast<int>(records.size()));
    for (const ChartPoint& r : records) {
        chart.setPoint(++slot, r);
    }
    result.added = true;
    result.records = static_cast<int>(records.size());
    result.status = SurveyGridStatus(grid, cosLat);
    return result;
}

std::string ChartSavePath(const ChartStore& chart)
{
    std::string name = chart.SaveFileName.empty() ? chart.ChartName.str() : chart.SaveFileName;
    if (FolderOf(name).empty()) {
        name = chart.ChartFolder.str() + name;
    }
    if (ExtensionOf(name).empty()) {
        name += ".cht";
    }
    return name;
}

bool ChartEditor::GpsFeedsPosition() const
{
    return state_.nmeaLink.NmeaOpen && !state_.settings.fix.DRMode && state_.settings.fix.FixIntervalMs > 0;
}

void ChartEditor::CorrectGpsPosition()
{
    if (GpsFeedsPosition()) {
        state_.fixInfo.OwnLat += state_.chartRef.ChartLatOffset;
        state_.fixInfo.OwnLong -= state_.chartRef.ChartLongOffset;
    }
}

void ChartEditor::SetUndoEnabled(bool on)
{
    state_.display.enabled[Control::UndoAutoGrid1] = on;
}

void ChartEditor::CheckLineType(int type)
{
    state_.app.PenUp = type < 0;
    state_.display.checked[Control::PenUp1] = type < 0;
    for (int t = 0; t < kLineTypes; ++t) {
        state_.display.checked[LineTypeControl(t)] = t == type;
    }
}

void ChartEditor::ChartEdit1Click()
{
    AppState& app = state_.app;
    if (!app.ChartEditMode) {
        if (hooks_.editViewCount() != 1 || !state_.quickLog.empty()) {
            prompter_.warning(kEditModeRefused);
        } else {
            app.ChartEditMode = true;
            prompter_.warning(kEditModeOn);
            state_.chartEdit.UndoMark = state_.chart.count();
            // The chart being edited must not be replaced by a better one at the next fix.
            state_.settings.fix.AutoChart = false;
        }
    } else {
        app.ChartEditMode = false;
        prompter_.information(kAutoLoadEnabled);
        SetUndoEnabled(false);
        state_.settings.fix.AutoChart = true;
    }
    state_.display.checked[Control::ChartEdit1] = app.ChartEditMode;
    views_.UpdateMenuItems();
}

void ChartEditor::StartNewClick()
{
    if (!prompter_.confirm(kStartNewQuestion)) {
        return;
    }
    ChartStore& chart = state_.chart;
    views_.setViewCaptions(kNewChartName);
    const std::string folder = state_.app.ChartDialogDir.empty() ? chart.ChartFolder.str() : state_.app.ChartDialogDir;
    chart.SaveFileName = folder + kNewChartName + ".cht";
    chart.OpenFileName = chart.SaveFileName;
    chart.ChartName = kNewChartName;
    chart.clear();
    chart.setCount(1);
    chart.setPoint(1, ChartPoint::penUp());
    state_.chartRef.ChartLatOffset = 0.0;
    state_.chartRef.ChartLongOffset = 0.0;
    state_.chartEdit.SelectedPoint = 0;
    views_.UpdateMenuItems();
    SetUndoEnabled(false);
}

void ChartEditor::AddChartPoint1Click()
{
    ChartStore& chart = state_.chart;
    if (chart.count() >= static_cast<int>(kChartCapacity)) {
        prompter_.warning(kChartStoreFullChart);
        return;
    }
    const int slot = chart.count() + 1;
    chart.setCount(slot);
    if (state_.app.PenUp) {
        chart.setPoint(slot, ChartPoint::penUp());
    } else {
        chart.setPoint(slot,
            ChartPoint::fromEncoded(state_.fixInfo.OwnLat + state_.chartEdit.LineTypeOffset, state_.fixInfo.OwnLong));
    }
    state_.chartEdit.SelectedPoint = slot;
    chart.Modified = true;
    views_.showEditedPoint();
    SetUndoEnabled(false);
}

void ChartEditor::LineTypeClick(int type)
{
    if (type < 0 || type >= kLineTypes || state_.display.isChecked(LineTypeControl(type))) {
        return;
    }
    // Putting the pen down after "Pen Up" starts a new line: without a pen-up record between them
    // the first point would be joined to the end of whatever line was drawn last.
    ChartStore& chart = state_.chart;
    const bool startsLine = state_.app.PenUp && chart.count() > 0 && !chart.point(chart.count()).isPenUp();
    if (startsLine && chart.count() + 2 > static_cast<int>(kChartCapacity)) {
        prompter_.warning(kChartStoreFullChart);
        return;
    }
    CorrectGpsPosition();
    CheckLineType(type);
    state_.chartEdit.LineType = type;
    state_.chartEdit.LineTypeOffset = 200.0 * type;
    if (startsLine) {
        chart.setCount(chart.count() + 1);
        chart.setPoint(chart.count(), ChartPoint::penUp());
    }
    AddChartPoint1Click();
}

void ChartEditor::PenUp1Click()
{
    if (state_.display.isChecked(Control::PenUp1)) {
        return;
    }
    CheckLineType(-1);
}

int ChartEditor::NearestChartPoint()
{
    const ChartStore& chart = state_.chart;
    const double cosLat = state_.chartGeometry.CosCentreLat;
    double best = kBestStart;
    int found = 0;
    for (int i = 1; i <= chart.count(); ++i) {
        const ChartPoint& p = chart.point(i);
        // A pen-up marks a break between lines, not a place on the chart.
        if (p.isPenUp()) {
            continue;
        }
        const double d = EditDistance(p.lat(), p.lon(), state_.fixInfo.OwnLat, state_.fixInfo.OwnLong, cosLat);
        if (d < best) {
            best = d;
            found = i;
        }
    }
    if (found > 0) {
        state_.chartEdit.SelectedPoint = found;
        state_.chartEdit.LineTypeOffset = 200.0 * chart.point(found).lineType();
    }
    return found;
}

void ChartEditor::SnaptoChart1Click()
{
    if (state_.settings.fix.FixIntervalMs != 0) {
        prompter_.information(kSnapNeedsFixIntervalZero);
        hooks_.openTimingDialog();
        return;
    }
    const int n = NearestChartPoint();
    if (n == 0) {
        return;
    }
    const ChartPoint& p = state_.chart.point(n);
    state_.fixInfo.OwnLat = p.lat();
    state_.fixInfo.OwnLong = p.lon();
    views_.RefreshViews();
    if (state_.app.ChartEditMode) {
        state_.chartEdit.LastSnapSentence = hooks_.snapSentence(p.lat(), p.lon());
        state_.display.StatusLine = state_.chartEdit.LastSnapSentence;
    }
}

void ChartEditor::EditPoint1Click()
{
    ChartStore& chart = state_.chart;
    int target = state_.chartEdit.SelectedPoint;
    if (target < 1 || target > chart.count()) {
        target = NearestChartPoint();
    }
    if (target == 0) {
        return;
    }
    chart.setPoint(target,
        ChartPoint::fromEncoded(state_.fixInfo.OwnLat + state_.chartEdit.LineTypeOffset, state_.fixInfo.OwnLong));
    state_.chartEdit.SelectedPoint = target;
    chart.Modified = true;
    views_.showEditedPoint();
    SetUndoEnabled(false);
}

void ChartEditor::DeletePoint1Click()
{
    if (!prompter_.confirm(kDeletePointQuestion)) {
        return;
    }
    ChartStore& chart = state_.chart;
    int target = state_.chartEdit.SelectedPoint;
    if (target < 1 || target > chart.count()) {
        target = NearestChartPoint();
    }
    if (target == 0) {
        return;
    }
    chart.setPoint(target, ChartPoint::penUp());
    // The previous point is the natural next one to work on; the first slot stays the lowest.
    state_.chartEdit.SelectedPoint = std::max(target - 1, 1);
    chart.Modified = true;
    views_.showEditedPoint();
    SetUndoEnabled(false);
}

int ChartEditor::NearestWaypoint() const
{
    const double cosLat = state_.chartGeometry.CosCentreLat;
    double best = kBestStart;
    int found = 0;
    for (std::size_t i = 1; i <= state_.waypoints.count(); ++i) {
        const ChartWaypoint& w = state_.waypoints.at(i);
        const double d = EditDistance(w.lat, w.lon, state_.fixInfo.OwnLat, state_.fixInfo.OwnLong, cosLat);
        if (d < best) {
            best = d;
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool ChartEditor::StoreWaypoint(int number, const ChartWaypointForm& form)
{
    ChartWaypoint w;
    w.lat = form.lat;
    w.lon = form.lon;
    w.name = ChartWaypointNameField(form.label, form.symbol, form.radiusEnabled, form.radius);
    state_.waypoints.at(static_cast<std::size_t>(number)) = w;
    state_.fixInfo.OwnLat = w.lat;
    state_.fixInfo.OwnLong = w.lon;
    views_.RefreshViews();
    return WriteWaypointDatabase(state_.waypoints, state_.chart, state_.prefs, prompter_);
}

ChartWaypointForm ChartEditor::FormFor(int number, const std::string& caption) const
{
    const ChartWaypoint& w = state_.waypoints.at(static_cast<std::size_t>(number));
    ChartWaypointForm form;
    form.caption = caption;
    form.lat = w.lat;
    form.lon = w.lon;
    form.label = w.label();
    form.symbol = std::max(w.symbol(), 0);
    // The name field of a waypoint read from a damaged file may be short: a missing parameter
    // shows as blanks.
    form.radius = PadRight(w.name, kWaypointNameLength).substr(26, 2);
    form.radiusEnabled = form.symbol == 20 || form.symbol == 21;
    form.count = static_cast<int>(state_.waypoints.count());
    return form;
}

void ChartEditor::AddChartWaypoint1Click()
{
    CorrectGpsPosition();
    ChartWaypointForm form;
    form.caption = "Add New Waypoint";
    form.lat = state_.fixInfo.OwnLat;
    form.lon = state_.fixInfo.OwnLong;
    form.count = static_cast<int>(state_.waypoints.count());
    if (!hooks_.showWaypointForm(form)) {
        return;
    }
    ChartWaypoints& table = state_.waypoints;
    int number = static_cast<int>(table.count()) + 1;
    if (number > static_cast<int>(kWaypointCapacity)) {
        // The table stays at its capacity; the newest entry takes the last place.
        prompter_.warning(kWaypointTableFull);
        number = static_cast<int>(kWaypointCapacity);
    } else {
        table.push(ChartWaypoint {});
    }
    ChartStore& chart = state_.chart;
    if (!chart.ChartName.empty()) {
        chart.SaveFileName = chart.ChartFolder.str() + chart.ChartName.str() + ".cht";
    }
    StoreWaypoint(number, form);
    // The first waypoint makes the edit, delete and snap commands usable.
    views_.UpdateMenuItems();
}

void ChartEditor::EditChartWaypoint1Click()
{
    const int n = NearestWaypoint();
    if (n == 0) {
        return;
    }
    ChartWaypointForm form = FormFor(n, "Edit Nearest Waypoint");
    if (!hooks_.showWaypointForm(form)) {
        return;
    }
    StoreWaypoint(n, form);
}

void ChartEditor::DeleteChartWaypoint1Click()
{
    if (state_.waypoints.empty() || !prompter_.confirm(kDeleteWaypointQuestion)) {
        return;
    }
    const int n = NearestWaypoint();
    state_.waypoints.erase(static_cast<std::size_t>(n));
    views_.RefreshViews();
    WriteWaypointDatabase(state_.waypoints, state_.chart, state_.prefs, prompter_);
    // With the last waypoint gone those commands have nothing to work on.
    views_.UpdateMenuItems();
}

void ChartEditor::WaypointSnapMode1Click()
{
    const int n = NearestWaypoint();
    if (n == 0) {
        return;
    }
    ChartWaypointForm form = FormFor(n, "Nearest Waypoint");
    form.readOnly = true;
    hooks_.showWaypointForm(form); // shown only: nothing read back
}

SurveyGridResult ChartEditor::AutoMakeGrid(const SurveyGrid& grid)
{
    ChartStore& chart = state_.chart;
    const int before = chart.count();
    const int type = state_.chartEdit.LineType;
    SurveyGridResult r = AppendSurveyGrid(
        chart, grid, state_.fixInfo.OwnLat, state_.fixInfo.OwnLong, state_.chartGeometry.CosCentreLat, type);
    if (!r.added) {
        prompter_.warning(kChartStoreFullChart);
        return r;
    }
    state_.chartEdit.UndoMark = before;
    chart.Modified = true;
    state_.display.StatusLine = r.status;
    state_.chartEdit.LineTypeOffset = 200.0 * type;
    state_.chartEdit.SelectedPoint = chart.count();
    views_.RefreshViews();
    SetUndoEnabled(state_.app.ChartEditMode && chart.count() > state_.chartEdit.UndoMark);
    return r;
}

void ChartEditor::UndoAutoGrid1Click()
{
    ChartStore& chart = state_.chart;
    // The count goes back to the mark; the store keeps its slots above the count as pen-ups, so
    // the chart as drawn and as saved is exactly the chart before the grid.
    const int mark = std::clamp(state_.chartEdit.UndoMark, 0, static_cast<int>(kChartCapacity));
    chart.setCount(mark);
    chart.Modified = true;
    if (state_.chartEdit.SelectedPoint > mark) {
        state_.chartEdit.SelectedPoint = mark;
    }
    views_.RefreshViews();
    SetUndoEnabled(false);
}

void ChartEditor::SurveyTrack1Click()
{
    hooks_.removeSurveyTrack();
    views_.UpdateMenuItems();
}

} // namespace kv
