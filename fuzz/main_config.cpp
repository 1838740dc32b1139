// The main configuration file kelvw.cfg: read over the defaults, written, read again.
#include "FuzzSupport.h"

#include "core/ChartReference.h"
#include "core/Config.h"
#include "core/Fix.h"
#include "core/Folders.h"

namespace {

// What the file carries besides Settings.
struct Records {
    kv::Fix fix;
    kv::ChartReference chartRef;
    kv::Folders folders;
    kv::Settings settings;
};

void CheckReals(const Records& r)
{
    const kv::Settings& s = r.settings;
    for (const double v :
        { r.fix.OwnLat, r.fix.OwnLong, s.ViewZoom, s.units.UnitFactor, s.vessel.BoatSpeed, s.vessel.AntennaNorth,
            s.vessel.AntennaEast, s.VesselDrawDimB, s.route.ArrivalRadius, s.route.XTEDeadband, s.VesselOutlineDimA,
            s.VesselOutlineDimB, s.PreferenceValue40, s.VesselLength, s.PreferenceValue42, r.chartRef.CosLatFactor }) {
        KV_FUZZ_CHECK(kvfuzz::Finite(v));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string path = scratch.write("kelvw.cfg", kvfuzz::AsText(data, size));
    static Records r; // large: kept between runs, the defaults set again each time
    kv::ApplyConfigDefaults(r.fix, r.chartRef, r.folders, r.settings);
    KV_FUZZ_CHECK(kv::ReadConfig(path, r.fix, r.chartRef, r.folders, r.settings));
    CheckReals(r);
    const auto lines = kv::ConfigLines(r.fix, r.chartRef, r.folders, r.settings);
    KV_FUZZ_CHECK(lines.size() == 47);

    // Saved and read back, the configuration writes the same lines.
    KV_FUZZ_CHECK(kv::WriteConfig(path, r.fix, r.chartRef, r.folders, r.settings));
    kv::ApplyConfigDefaults(r.fix, r.chartRef, r.folders, r.settings);
    KV_FUZZ_CHECK(kv::ReadConfig(path, r.fix, r.chartRef, r.folders, r.settings));
    KV_FUZZ_CHECK(kv::ConfigLines(r.fix, r.chartRef, r.folders, r.settings) == lines);
    return 0;
}
