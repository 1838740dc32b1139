#include "geodesy/GridFields.h"

#include "core/Format.h"
#include "geodesy/Grid.h"
#include "geodesy/PositionText.h"

namespace kv {

void ToOSClick(WaypointPositionFields& fields)
{
    fields.Latitude = CompletePositionText(fields.Latitude, false);
    fields.Longitude = CompletePositionText(fields.Longitude, true);
    const LatLong p = TextToPosition(fields.Latitude, fields.Longitude);
    const auto grid = NationalGridFromLatLong(p.lat, EastLongitude(p), false);
    fields.Easting = grid.easting;
    fields.Northing = grid.northing;
}

void ToLatLongClick(WaypointPositionFields& fields)
{
    if (fields.Easting == kGridNumberStars || fields.Northing == kGridNumberStars) {
        return;
    }
    const auto easting = ParseReal(fields.Easting);
    const auto northing = ParseReal(fields.Northing);
    if (!easting || !northing) {
        return; // a half-typed or garbled number must not overwrite the position
    }
    const auto p = LatLongFromNationalGrid(*northing, *easting);
    const auto texts = PositionToText(p.latitude, -p.longitudeEast);
    fields.Latitude = texts.latitude;
    fields.Longitude = texts.longitude;
}

} // namespace kv
