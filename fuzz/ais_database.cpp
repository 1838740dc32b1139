// The vessel database file as another program or a damaged disc may leave it: counted, searched,
// listed, and appended to.
#include "FuzzSupport.h"

#include "ais/AisDatabase.h"
#include "core/TextFile.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string path = scratch.write(kv::kAisDatabaseName, kvfuzz::AsText(data, size));
    const long whole = static_cast<long>(size / kv::kTAISTargetSize);

    const auto count = kv::CountAisDatabase(path);
    KV_FUZZ_CHECK(count && *count == whole);
    long visited = 0;
    std::uint32_t firstMmsi = 0;
    const auto listed = kv::ForEachAisDatabaseRecord(path, [&](const kv::TAISTarget& t) {
        if (visited == 0) {
            firstMmsi = t.MMSI;
        }
        // Records are the file's bytes as they are.
        KV_FUZZ_CHECK(std::memcmp(&t, data + visited * kv::kTAISTargetSize, kv::kTAISTargetSize) == 0);
        ++visited;
    });
    KV_FUZZ_CHECK(listed && *listed == whole && visited == whole);

    kv::TAISTarget target = kv::ZeroTarget();
    target.MMSI = firstMmsi;
    KV_FUZZ_CHECK(kv::SearchAisDatabase(path, target));
    KV_FUZZ_CHECK(target.VesselName.view().size() <= 20 && target.CallSign.view().size() <= 7);

    // An append lands on a record boundary and reads back whole, however the file ended: a piece
    // of a record left at the end (a write cut short) is dropped, every whole record before it
    // stays as it was.
    kv::TAISTarget vessel = kv::ZeroTarget();
    vessel.MMSI = 235000001;
    vessel.VesselName.set("FUZZ");
    const kv::TAISTarget record = kv::AisDatabaseRecord(vessel);
    KV_FUZZ_CHECK(kv::AppendAisDatabaseRecord(path, record));
    const long expected = whole + 1;
    const auto after = kv::CountAisDatabase(path);
    KV_FUZZ_CHECK(after && *after == expected);
    const auto bytes = kv::FileSize(path);
    KV_FUZZ_CHECK(bytes && *bytes == static_cast<unsigned long long>(expected) * kv::kTAISTargetSize);
    long n = 0;
    kv::TAISTarget lastRecord = kv::ZeroTarget();
    kv::ForEachAisDatabaseRecord(path, [&](const kv::TAISTarget& t) {
        if (n < whole) {
            KV_FUZZ_CHECK(std::memcmp(&t, data + n * kv::kTAISTargetSize, kv::kTAISTargetSize) == 0);
        }
        ++n;
        lastRecord = t;
    });
    KV_FUZZ_CHECK(n == expected && std::memcmp(&lastRecord, &record, sizeof record) == 0);
    return 0;
}
