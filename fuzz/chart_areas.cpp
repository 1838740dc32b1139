// The areas file beside a chart (land and depth polygons for the FillAreas view option).
#include "FuzzSupport.h"

#include "charts/ChartAreas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const kv::ChartAreasRead read = kv::ParseChartAreas(kvfuzz::AsText(data, size));
    // Either areas or a message, never both and never neither.
    KV_FUZZ_CHECK(read.areas.has_value() == read.error.empty());
    if (!read.areas) {
        return 0;
    }
    long long points = 0;
    for (const kv::ChartArea& a : read.areas->areas) {
        KV_FUZZ_CHECK(kvfuzz::Finite(a.minDepth) && kvfuzz::Finite(a.maxDepth));
        for (const auto& ring : a.rings) {
            for (const kv::TilerPoint& p : ring) {
                KV_FUZZ_CHECK(kvfuzz::Finite(p.lat) && kvfuzz::Finite(p.lon));
                ++points;
            }
        }
    }
    KV_FUZZ_CHECK(points <= kv::kChartAreasMaxPoints);
    // What the program writes it reads back the same, to the written precision.
    const std::string text = kv::ChartAreasText(*read.areas);
    const kv::ChartAreasRead again = kv::ParseChartAreas(text);
    KV_FUZZ_CHECK(again.areas.has_value());
    KV_FUZZ_CHECK(kv::ChartAreasText(*again.areas) == text);
    // Cutting to a box never adds area.
    const kv::TilerBox box { 50.0, 51.0, 1.0, 2.0 };
    for (const kv::ChartArea& a : kv::ClipChartAreas(*again.areas, box).areas) {
        for (const auto& ring : a.rings) {
            for (const kv::TilerPoint& p : ring) {
                KV_FUZZ_CHECK(p.lat >= box.south - 1e-9 && p.lat <= box.north + 1e-9);
            }
        }
    }
    return 0;
}
