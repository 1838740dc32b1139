#pragma once
// A position in the program's convention: latitude north positive, longitude WEST positive, as
// the charts, routes, the quick log and the views keep it. Receivers, AIS, the grids and the
// exchange files count longitude east positive; the conversions are named so that every sign
// flip between the two says which way it goes.

namespace kv {

struct LatLong {
    double lat = 0.0;
    double lon = 0.0; // west positive
    friend bool operator==(const LatLong&, const LatLong&) = default;
};

inline LatLong FromEastPositive(double lat, double lonEast)
{
    return { lat, -lonEast };
}
inline double EastLongitude(const LatLong& p)
{
    return -p.lon;
}

} // namespace kv
