// The chart waypoint database in both column layouts (.wpt and the DOS .wps).
#include "FuzzSupport.h"

#include "charts/WaypointFiles.h"
#include "core/TextFile.h"

namespace {

void Check(const std::string& path, kv::PositionLayout layout)
{
    kv::ChartWaypoints table;
    bool formatError = false;
    KV_FUZZ_CHECK(kv::ReadWaypointFile(path, layout, table, formatError));
    KV_FUZZ_CHECK(table.count() <= kv::kWaypointCapacity);
    for (const auto& w : table) {
        KV_FUZZ_CHECK(kvfuzz::Finite(w.lat) && kvfuzz::Finite(w.lon));
        (void)w.symbol();
        (void)w.parameter();
        (void)w.label();
    }
    // Written and read again, a table writes the same file a second time.
    const std::string out = kvfuzz::Scratch::get().path("out.wpt");
    KV_FUZZ_CHECK(kv::WriteWaypointFile(out, layout, table));
    const auto first = kv::ReadWholeFile(out);
    kv::ChartWaypoints again;
    bool againError = false;
    KV_FUZZ_CHECK(kv::ReadWaypointFile(out, layout, again, againError));
    KV_FUZZ_CHECK(again.count() == table.count());
    KV_FUZZ_CHECK(kv::WriteWaypointFile(out, layout, again));
    KV_FUZZ_CHECK(first && kv::ReadWholeFile(out) == first);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = kvfuzz::Scratch::get().write("fuzz.wpt", kvfuzz::AsText(data, size));
    Check(path, kv::PositionLayout::Wpt);
    Check(path, kv::PositionLayout::Dos);
    return 0;
}
