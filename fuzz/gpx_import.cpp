// A GPX file from another program: its route points and its waypoints, and the route lines made
// of them.
#include "FuzzSupport.h"

#include "charts/WaypointFiles.h"
#include "routes/GpxImport.h"
#include "routes/Routes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view xml = kvfuzz::AsText(data, size);
    for (const char* element : { "rtept", "wpt" }) {
        bool bad = false;
        const auto points = kv::ReadGpxPoints(xml, element, bad);
        KV_FUZZ_CHECK(points.size() <= size);
        for (const auto& p : points) {
            KV_FUZZ_CHECK(kvfuzz::Finite(p.lat) && kvfuzz::Finite(p.lon));
            KV_FUZZ_CHECK(std::fabs(p.lat) <= 90.0 && std::fabs(p.lon) <= 180.0);
            // The route line keeps the position to the precision of its columns.
            const std::string line = kv::RouteLine({ kv::DefaultRouteName(1), p.lat, -p.lon });
            const auto parsed = kv::ParsePositionLine(line, kv::PositionLayout::Wpt);
            KV_FUZZ_CHECK(!parsed.formatError);
            KV_FUZZ_CHECK(std::fabs(parsed.lat - p.lat) < 1e-4 && std::fabs(parsed.lon + p.lon) < 1e-4);
        }
    }
    return 0;
}
