// A chart or layer file of point records: read, appended to the store, compacted for a save.
#include "FuzzSupport.h"

#include "charts/ChartFiles.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string path = scratch.write("fuzz.cht", kvfuzz::AsText(data, size));
    const kv::ChartRecords read = kv::ReadChartRecords(path);
    KV_FUZZ_CHECK(read.opened);
    KV_FUZZ_CHECK(read.partial == (size % kv::kChartRecordSize != 0));
    KV_FUZZ_CHECK(read.records.size() <= kv::kChartCapacity + 1);
    KV_FUZZ_CHECK(read.taken >= 0 && static_cast<std::size_t>(read.taken) <= size / kv::kChartRecordSize);
    // Records keep the file's bytes, so a chart read and written again is unchanged.
    const std::string bytes = kv::ChartRecordBytes(read.records);
    KV_FUZZ_CHECK(bytes.size() <= size && std::memcmp(bytes.data(), data, bytes.size()) == 0);

    static kv::ChartStore store; // 130 kB: kept between runs, cleared each time
    store.clear();
    // Part of the store already in use, as when a layer is added to a loaded chart.
    const int preload = size > 0 ? data[0] * 40 : 0;
    store.setCount(preload);
    const bool fitted = kv::AppendChartRecords(store, read.records);
    KV_FUZZ_CHECK(store.count() >= 0 && static_cast<std::size_t>(store.count()) <= kv::kChartCapacity);
    KV_FUZZ_CHECK(fitted == (preload + read.records.size() <= kv::kChartCapacity));
    for (int i = preload + 1; i <= store.count(); ++i) {
        const kv::ChartPoint& p = store.point(i);
        KV_FUZZ_CHECK(p.lineType() >= 0 && p.lineType() < kv::kLineTypes);
        (void)p.lat();
        (void)p.lon();
    }
    // A layer save writes what follows the base chart.
    const int first = std::min(preload + 1, store.count() + 1);
    const kv::CompactedChart compact = kv::CompactChart(store, first);
    KV_FUZZ_CHECK(!compact.records.empty() && compact.records.back().isPenUp());
    KV_FUZZ_CHECK(compact.records.size() <= static_cast<std::size_t>(store.count() - first + 1) + 1);
    for (std::size_t i = 1; i < compact.records.size(); ++i) {
        KV_FUZZ_CHECK(!(compact.records[i].isPenUp() && compact.records[i - 1].isPenUp()));
    }
    return 0;
}
