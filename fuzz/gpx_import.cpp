// A GPX file from another program: its waypoints, routes and tracks as the XML reader finds
// them, the route lines and track log records made of them, and the same data written out as
// GPX and read back.
#include "FuzzSupport.h"

#include "charts/WaypointFiles.h"
#include "routes/GpxExchange.h"
#include "routes/GpxExport.h"
#include "routes/GpxImport.h"
#include "routes/Routes.h"

namespace {

void CheckPoints(const std::vector<kv::GpxPoint>& points)
{
    for (const auto& p : points) {
        KV_FUZZ_CHECK(kvfuzz::Finite(p.lat) && kvfuzz::Finite(p.lon));
        KV_FUZZ_CHECK(std::fabs(p.lat) <= 90.0 && std::fabs(p.lon) <= 180.0);
        // Names go into line-oriented single-byte files: no control character may reach them.
        for (const unsigned char c : p.name) {
            KV_FUZZ_CHECK(c >= 0x20);
        }
    }
}

bool PlainAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return c > 0x20 && c < 0x7f; });
}

void CheckSame(const std::vector<kv::GpxPoint>& a, const std::vector<kv::GpxPoint>& b)
{
    KV_FUZZ_CHECK(a.size() == b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        // Eight decimals are written.
        KV_FUZZ_CHECK(std::fabs(a[i].lat - b[i].lat) < 1e-8 && std::fabs(a[i].lon - b[i].lon) < 1e-8);
        if (PlainAscii(a[i].name)) {
            KV_FUZZ_CHECK(a[i].name == b[i].name);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const kv::GpxData gpx = kv::ReadGpx(kvfuzz::AsText(data, size));
    if (!gpx.error.empty()) {
        // A file that is not read yields nothing at all.
        KV_FUZZ_CHECK(gpx.waypoints.empty() && gpx.routes.empty() && gpx.tracks.empty());
        return 0;
    }
    KV_FUZZ_CHECK(gpx.waypoints.size() + gpx.skipped <= size);
    CheckPoints(gpx.waypoints);
    for (const auto& route : gpx.routes) {
        CheckPoints(route.points);
        // The route line keeps the position to the precision of its columns.
        for (const kv::RouteWaypoint& w : kv::RouteFromGpx(route).waypoints) {
            const auto parsed = kv::ParsePositionLine(kv::RouteLine(w), kv::PositionLayout::Wpt);
            KV_FUZZ_CHECK(!parsed.formatError);
            KV_FUZZ_CHECK(std::fabs(parsed.lat - w.lat) < 1e-4 && std::fabs(parsed.lon - w.lon) < 1e-4);
        }
    }
    for (const auto& track : gpx.tracks) {
        CheckPoints(track.points);
        const kv::QuickLog log = kv::QuickLogFromGpx(track);
        KV_FUZZ_CHECK(log.count() == std::min(track.points.size(), kv::kQuickLogCapacity));
        for (std::size_t k = 1; k <= log.count(); ++k) {
            KV_FUZZ_CHECK(log.at(k).minutes >= 0.0 && log.at(k).minutes < 1441.0);
        }
    }
    // What was read, written by the program, reads back the same.
    const kv::GpxData back = kv::ReadGpx(kv::WriteGpx(gpx));
    KV_FUZZ_CHECK(back.error.empty() && back.skipped == 0);
    CheckSame(gpx.waypoints, back.waypoints);
    KV_FUZZ_CHECK(back.routes.size() == gpx.routes.size() && back.tracks.size() == gpx.tracks.size());
    for (std::size_t i = 0; i < gpx.routes.size(); ++i) {
        CheckSame(gpx.routes[i].points, back.routes[i].points);
    }
    for (std::size_t i = 0; i < gpx.tracks.size(); ++i) {
        CheckSame(gpx.tracks[i].points, back.tracks[i].points);
    }
    return 0;
}
