#pragma once
// The vessel database KVAIS.ADB: TAISTarget records of 824 bytes, no header. It is opened and
// closed on every use (the external viewers share it), read by mapping the file, and grown only
// by appending whole records.

#include "ais/AisTarget.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kv {

inline constexpr const char* kAisDatabaseName = "KVAIS.ADB";

// Number of whole records; nullopt when the file cannot be read. A partial record at the end
// (a truncated file) is not counted.
std::optional<long> CountAisDatabase(const std::string& path);

// Calls visit for every whole record whose MMSI is `mmsi`, in file order. Returns the number of
// matches, or nullopt when the file cannot be read.
std::optional<long> ForEachAisDatabaseMatch(
    const std::string& path, std::uint32_t mmsi, const std::function<void(const TAISTarget&)>& visit);

// Calls visit for every whole record; nullopt when the file cannot be read.
std::optional<long> ForEachAisDatabaseRecord(
    const std::string& path, const std::function<void(const TAISTarget&)>& visit);

// Copies IMO, name, call sign, type and dimensions of every record with the target's MMSI into
// the target (the last matching record wins). False when the file cannot be read.
bool SearchAisDatabase(const std::string& path, TAISTarget& target);

// The database record of a vessel: only the static fields carry meaning, the rest is zero.
TAISTarget AisDatabaseRecord(const TAISTarget& target);

// Appends one whole record. A file whose length is not a multiple of 824 ends in the start of a
// record that a killed append left: that piece is cut off first. It never counted as a record
// (the readers take whole records only), so its vessel is still missing from the database and
// is appended again, complete, at its next static report; kept as a record padded with zeros it
// would hold the MMSI without the details and stop that vessel from ever being appended again.
// Every whole record stays as it was. False when the file cannot be written.
bool AppendAisDatabaseRecord(const std::string& path, const TAISTarget& record);

} // namespace kv
