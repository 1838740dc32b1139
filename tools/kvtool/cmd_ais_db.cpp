// kvtool ais-db: the records of a vessel database file KVAIS.ADB.

#include "Command.h"

#include "ais/AisDatabase.h"
#include "core/Format.h"
#include "core/TextFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void PrintRecord(long number, const kv::TAISTarget& r)
{
    const std::string callSign = kv::TrimRight(r.CallSign.view(), " @");
    const std::string name = kv::TrimRight(r.VesselName.view(), " @");
    std::printf("%ld\tMMSI %u\tIMO %u\tCall %s\tName %s\tType %u\tDims %u/%u/%u/%u\tLength %u Beam %u\tDraught %s\n",
        number, r.MMSI, r.IMO, callSign.c_str(), name.c_str(), r.ShipType, r.DimA, r.DimB, r.DimC, r.DimD,
        r.DimA + r.DimB, r.DimC + r.DimD, kv::FormatFixed(r.Draught / 10.0, 0, 1).c_str());
}

int RunAisDb(const kvtool::Args& args)
{
    std::string mode = "list";
    std::size_t next = 0;
    std::uint32_t mmsi = 0;
    if (next < args.size() && (args[next] == "list" || args[next] == "find")) {
        mode = args[next++];
        if (mode == "find") {
            if (next >= args.size()) {
                std::fprintf(stderr, "usage: kvtool ais-db [list|find MMSI] [FILE]\n");
                return 2;
            }
            char* end = nullptr;
            const unsigned long v = std::strtoul(args[next].c_str(), &end, 10);
            if (end == args[next].c_str() || *end != '\0' || v > 0xFFFFFFFFul) {
                std::fprintf(stderr, "kvtool ais-db: bad MMSI %s\n", args[next].c_str());
                return 2;
            }
            mmsi = static_cast<std::uint32_t>(v);
            ++next;
        }
    }
    const std::string path = next < args.size() ? args[next++] : kv::kAisDatabaseName;
    if (next != args.size()) {
        std::fprintf(stderr, "usage: kvtool ais-db [list|find MMSI] [FILE]\n");
        return 2;
    }
    long number = 0;
    std::optional<long> result;
    if (mode == "list") {
        result = kv::ForEachAisDatabaseRecord(path, [&number](const kv::TAISTarget& r) { PrintRecord(++number, r); });
    } else {
        // Record numbers are not known through the match visitor, so walk all records.
        long matches = 0;
        result = kv::ForEachAisDatabaseRecord(path, [&](const kv::TAISTarget& r) {
            ++number;
            if (r.MMSI == mmsi) {
                ++matches;
                PrintRecord(number, r);
            }
        });
        if (result && matches == 0) {
            std::printf("# MMSI %u not found\n", mmsi);
        }
    }
    if (!result) {
        std::fprintf(stderr, "kvtool ais-db: cannot read %s\n", path.c_str());
        return 1;
    }
    const auto size = kv::FileSize(path);
    if (size && *size % kv::kTAISTargetSize != 0) {
        std::printf("# %llu trailing bytes of an incomplete record ignored\n", *size % kv::kTAISTargetSize);
    }
    return 0;
}

const kvtool::CommandRegistration reg { { "ais-db",
    "[list|find MMSI] [FILE]: vessel database records (default ./KVAIS.ADB)", &RunAisDb } };

} // namespace
