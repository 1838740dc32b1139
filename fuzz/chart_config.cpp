// The small configuration file beside a chart: centre, zoom, reserved integer, offsets.
#include "FuzzSupport.h"

#include "charts/ChartFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string path = scratch.write("fuzz.cfg", kvfuzz::AsText(data, size));
    const auto config = kv::ReadChartConfigFile(path);
    KV_FUZZ_CHECK(config.has_value());
    KV_FUZZ_CHECK(kvfuzz::Finite(config->centreLat) && kvfuzz::Finite(config->centreLong));
    KV_FUZZ_CHECK(kvfuzz::Finite(config->zoom) && config->zoom > 0.0);
    KV_FUZZ_CHECK(!config->latOffset || kvfuzz::Finite(*config->latOffset));
    KV_FUZZ_CHECK(!config->longOffset || kvfuzz::Finite(*config->longOffset));

    // What the program writes, it reads back to the same lines.
    const auto lines = kv::ChartConfigLines(*config);
    KV_FUZZ_CHECK(kv::WriteChartConfigFile(path, *config));
    const auto again = kv::ReadChartConfigFile(path);
    KV_FUZZ_CHECK(again.has_value() && kv::ChartConfigLines(*again) == lines);
    return 0;
}
