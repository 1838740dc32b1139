// The chart waypoint database in both column layouts (.wpt and the DOS .wps).
#include "FuzzSupport.h"

#include "charts/WaypointFiles.h"
#include "core/TextFile.h"

namespace {

// The tables are kept between runs and emptied: a fresh one makes 600 name strings, which
// would take most of the time of a run.
kv::ChartWaypoints& Table(int which)
{
    static kv::ChartWaypoints tables[2];
    kv::ChartWaypoints& t = tables[which];
    t.clear();
    return t;
}

// The name fields as the file holds them: the first 29 characters, padded with spaces.
bool SameNameField(std::string_view a, std::string_view b)
{
    for (std::size_t i = 0; i < kv::kWaypointNameLength; ++i) {
        const char ca = i < a.size() ? a[i] : ' ';
        const char cb = i < b.size() ? b[i] : ' ';
        if (ca != cb) {
            return false;
        }
    }
    return true;
}

void Check(const std::string& path, kv::PositionLayout layout)
{
    kv::ChartWaypoints& table = Table(0);
    bool formatError = false;
    KV_FUZZ_CHECK(kv::ReadWaypointFile(path, layout, table, formatError));
    KV_FUZZ_CHECK(table.count() <= kv::kWaypointCapacity);
    for (const auto& w : table) {
        KV_FUZZ_CHECK(kvfuzz::Finite(w.lat) && kvfuzz::Finite(w.lon));
        (void)w.symbol();
        (void)w.parameter();
        (void)w.label();
    }
    // Written and read again: the same name fields, and the positions to the precision of the
    // layout's minutes (5 decimals, 3 in the DOS layout).
    const double precision = layout == kv::PositionLayout::Wpt ? 1e-6 : 1e-4;
    const std::string out = kvfuzz::Scratch::get().path("out.wpt");
    KV_FUZZ_CHECK(kv::WriteWaypointFile(out, layout, table));
    kv::ChartWaypoints& again = Table(1);
    bool againError = false;
    KV_FUZZ_CHECK(kv::ReadWaypointFile(out, layout, again, againError));
    KV_FUZZ_CHECK(again.count() == table.count());
    for (std::size_t i = 1; i <= table.count(); ++i) {
        const kv::ChartWaypoint& a = again.at(i);
        const kv::ChartWaypoint& b = table.at(i);
        KV_FUZZ_CHECK(SameNameField(a.name, b.name));
        // Three columns of degrees: larger values are written as 999.
        if (std::fabs(b.lat) < 999.0 && std::fabs(b.lon) < 999.0) {
            KV_FUZZ_CHECK(std::fabs(a.lat - b.lat) <= precision && std::fabs(a.lon - b.lon) <= precision);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = kvfuzz::Scratch::get().write("fuzz.wpt", kvfuzz::AsText(data, size));
    Check(path, kv::PositionLayout::Wpt);
    Check(path, kv::PositionLayout::Dos);
    return 0;
}
