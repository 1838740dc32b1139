// The main configuration file kelvw.cfg: read over the defaults, written, read again.
#include "FuzzSupport.h"

#include "core/Config.h"

namespace {

void CheckReals(const kv::NavState& nav, const kv::Settings& s)
{
    for (const double v : { nav.OwnLat, nav.OwnLong, s.ViewZoom, nav.UnitFactor, nav.BoatSpeed, nav.AntennaNorth,
             nav.AntennaEast, s.VesselDrawDimB, nav.ArrivalRadius, nav.XTEDeadband, s.VesselOutlineDimA,
             s.VesselOutlineDimB, s.PreferenceValue40, s.VesselLength, s.PreferenceValue42, nav.CosLatFactor }) {
        KV_FUZZ_CHECK(kvfuzz::Finite(v));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string path = scratch.write("kelvw.cfg", kvfuzz::AsText(data, size));
    static kv::NavState nav; // large: kept between runs, the defaults set again each time
    static kv::Settings settings;
    kv::ApplyConfigDefaults(nav, settings);
    KV_FUZZ_CHECK(kv::ReadConfig(path, nav, settings));
    CheckReals(nav, settings);
    const auto lines = kv::ConfigLines(nav, settings);
    KV_FUZZ_CHECK(lines.size() == 47);

    // Saved and read back, the configuration writes the same lines.
    KV_FUZZ_CHECK(kv::WriteConfig(path, nav, settings));
    kv::ApplyConfigDefaults(nav, settings);
    KV_FUZZ_CHECK(kv::ReadConfig(path, nav, settings));
    KV_FUZZ_CHECK(kv::ConfigLines(nav, settings) == lines);
    return 0;
}
