#include "app/ChartEditGlue.h"

#include "core/Format.h"
#include "geodesy/PositionText.h"
#include "nmea/Templates.h"

namespace kv {

void FillWaypointDialog(WaypointDialogModel& model, const ChartWaypointForm& form)
{
    WaypointDialogFields& f = model.fields;
    f.Caption = form.caption;
    f.WPdesc = form.label;
    const PositionTexts texts = PositionToText(form.lat, form.lon);
    f.position.Latitude = texts.latitude;
    f.position.Longitude = texts.longitude;
    const std::string prefix = ZeroFill(FormatInt(form.symbol, 2));
    for (const std::string& entry : WaypointShapeEntries()) {
        if (entry.compare(0, 2, prefix) == 0) {
            f.WPShape = entry;
            break;
        }
    }
    f.Radius = form.radius;
    f.RadiusEnabled = form.radiusEnabled;
    f.Nwps = form.count;
    model.CurrentSymbol = form.symbol;
}

void ReadWaypointDialog(const WaypointDialogModel& model, ChartWaypointForm& form)
{
    const WaypointDialogFields& f = model.fields;
    form.label = f.WPdesc;
    const LatLong p = TextToPosition(
        CompletePositionText(f.position.Latitude, false), CompletePositionText(f.position.Longitude, true));
    form.lat = p.lat;
    form.lon = p.lon;
    const int symbol = ShapeSymbol(f.WPShape);
    form.symbol = symbol < 0 ? 0 : symbol;
    form.radius = f.Radius;
    form.radiusEnabled = f.RadiusEnabled;
}

std::string SnapSentence(ProgramState& state, const Clock& clock, double lat, double lon)
{
    // The position code prints the newest log record: lend it one holding the snapped point.
    if (!state.quickLog.push(QuickLogRecord { lat, lon, 0.0 })) {
        return {};
    }
    std::string text = ExpandTemplate(kSnapSentenceTemplate, MakeTemplateContext(TemplateRecordsOf(state), clock));
    state.quickLog.erase(state.quickLog.count());
    return text;
}

} // namespace kv
