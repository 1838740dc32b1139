// The day's track log image (the quick log on disc) as a damaged or foreign file may hold it.
#include "FuzzSupport.h"

#include "navigation/TrackLog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const kv::TrackLogImage image = kv::DecodeTrackLog(kvfuzz::AsText(data, size));
    if (size <= kv::kTrackLogCountOffset) {
        KV_FUZZ_CHECK(image.count && *image.count == 0);
    }
    if (!image.count) {
        return 0;
    }
    KV_FUZZ_CHECK(*image.count <= kv::kQuickLogCapacity);
    kv::QuickLog log;
    for (std::size_t i = 0; i < *image.count; ++i) {
        const auto& r = image.records[i];
        KV_FUZZ_CHECK(kvfuzz::Finite(r.lat) && kvfuzz::Finite(r.lon) && kvfuzz::Finite(r.minutes));
        log.push(r);
    }
    // Records survive a write and a read exactly (48-bit reals convert both ways without loss).
    const std::string bytes = kv::EncodeTrackLog(log);
    KV_FUZZ_CHECK(bytes.size() == kv::kTrackLogSize);
    const kv::TrackLogImage again = kv::DecodeTrackLog(bytes);
    KV_FUZZ_CHECK(again.count && *again.count == *image.count);
    for (std::size_t i = 0; i < *image.count; ++i) {
        KV_FUZZ_CHECK(again.records[i] == image.records[i]);
    }
    return 0;
}
