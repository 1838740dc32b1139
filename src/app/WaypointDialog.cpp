#include "app/WaypointDialog.h"

#include "core/Format.h"
#include "geodesy/Grid.h"
#include "views/Render.h"
#include "views/RenderPlotter.h"
#include "views/Symbols.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kv {

namespace {

bool TakesRadius(int symbol)
{
    switch (symbol) {
    case 20:
    case 21:
    case 23:
    case 30:
    case 31:
    case 32:
    case 33:
        return true;
    default:
        return false;
    }
}

// The preview draws a circle symbol this many pixels wide, whatever its radius on the chart.
constexpr double kPreviewCircleRadius = 14.0;

} // namespace

std::vector<std::string> WaypointShapeEntries()
{
    std::vector<std::string> entries;
    entries.reserve(kSymbolCount);
    for (int s = 0; s < kSymbolCount; ++s) {
        entries.push_back(ZeroFill(FormatInt(s, 2)) + "   " + std::string(SymbolName(s)));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

int ShapeSymbol(const std::string& shapeText)
{
    if (shapeText.size() < 2 || !std::isdigit(static_cast<unsigned char>(shapeText[0]))
        || !std::isdigit(static_cast<unsigned char>(shapeText[1]))) {
        return -1;
    }
    return (shapeText[0] - '0') * 10 + (shapeText[1] - '0');
}

std::string WaypointDialogModel::EastingCaption() const
{
    return GridEditable() ? "OS GB Easting" : "UTM Easting";
}

void WaypointDialogModel::ToOSClick()
{
    if (GridEditable()) {
        kv::ToOSClick(fields.position);
        return;
    }
    WaypointPositionFields& p = fields.position;
    p.Latitude = CompletePositionText(p.Latitude, false);
    p.Longitude = CompletePositionText(p.Longitude, true);
    const LatLong position = TextToPosition(p.Latitude, p.Longitude);
    const UtmResult utm = UtmFromLatLong(position.lat, EastLongitude(position), PositionMode);
    p.Easting = utm.easting;
    p.Northing = utm.northing;
}

void WaypointDialogModel::ToLatLongClick()
{
    if (GridEditable()) {
        kv::ToLatLongClick(fields.position);
    }
}

void WaypointDialogModel::WPShapeChange()
{
    ToOSClick();
    const std::string c = fields.WPShape.substr(0, 2);
    const int symbol = ShapeSymbol(fields.WPShape);
    fields.RadiusEnabled = TakesRadius(symbol);
    if (!fields.RadiusEnabled) {
        fields.Radius = "  ";
    }
    if (c == "32" || c == "33") {
        fields.Label5 = "Pointer";
    } else if (c == "23") {
        fields.Label5 = "Zoom";
    } else {
        fields.Label5 = "Radius";
    }
    CurrentSymbol = std::max(symbol, 0);
}

void WaypointDialogModel::ChooseShape(const std::string& entry)
{
    fields.WPShape = entry;
    WPShapeChange();
}

PositionField WaypointDialogModel::LatitudeChange(PositionField typed)
{
    PositionField out = PositionFieldChange(std::move(typed), false);
    if (out.text.size() > kLatitudeTextLength) {
        out.text.resize(kLatitudeTextLength);
        out.caret = std::min(out.caret, out.text.size());
    }
    fields.position.Latitude = out.text;
    return out;
}

PositionField WaypointDialogModel::LongitudeChange(PositionField typed)
{
    PositionField out = PositionFieldChange(std::move(typed), true);
    if (out.text.size() > kLongitudeTextLength) {
        out.text.resize(kLongitudeTextLength);
        out.caret = std::min(out.caret, out.text.size());
    }
    fields.position.Longitude = out.text;
    return out;
}

void WaypointDialogModel::SetDescription(const std::string& text)
{
    fields.WPdesc = text.substr(0, kWPdescLength);
}

void WaypointDialogModel::SetRadius(const std::string& text)
{
    if (fields.RadiusEnabled) {
        fields.Radius = text.substr(0, kRadiusLength);
    }
}

std::optional<std::string> WaypointDialogModel::FormClose()
{
    fields.position.Latitude = CompletePositionText(fields.position.Latitude, false);
    fields.position.Longitude = CompletePositionText(fields.position.Longitude, true);
    if (CurrentSymbol == 32 || CurrentSymbol == 33) {
        return fields.WPdesc;
    }
    return std::nullopt;
}

QImage WaypointDialogModel::Preview(const Settings& settings, int width, int height) const
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    RenderCanvas canvas(image);
    const SchemeColours colours = ColoursFromSettings(settings);
    canvas.fill(colours.background);
    canvas.setPen(Pen { colours.foreground });

    // A projection centred on the symbol at (0, 0) whose scale shows a circle symbol at a fixed
    // size in the small preview.
    Projection projection;
    projection.width = image.width();
    projection.height = image.height();
    projection.halfW = kPreviewCentre;
    projection.halfH = kPreviewCentre;
    const int parameter = static_cast<int>(ParseInt(fields.Radius).value_or(0));
    const double radius = GeographicRadius(CurrentSymbol, parameter);
    if (radius > 0.0) {
        projection.latScale = static_cast<int>(std::lround(kPreviewCircleRadius / radius));
        projection.longScale = projection.latScale;
    }
    Plotter plotter(canvas, projection, colours);
    DrawSymbol(plotter, SymbolPlace { kPreviewCentre, kPreviewCentre, 0.0, 0.0 }, parameter, CurrentSymbol, 1, 0);
    return image;
}

} // namespace kv
