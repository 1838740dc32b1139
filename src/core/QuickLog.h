#pragma once
// The quick log: the in-memory track of up to 98 records used for speed, course and the
// last-leg distance, and written whole to the day's track log.

#include "core/BoundedTable.h"

namespace kv {

struct QuickLogRecord {
    double lat = 0.0; // degrees, receiver datum
    double lon = 0.0; // degrees, west positive
    double minutes = 0.0; // time of the fix, minutes since midnight
    friend bool operator==(const QuickLogRecord&, const QuickLogRecord&) = default;
};

inline constexpr std::size_t kQuickLogCapacity = 98;
using QuickLog = BoundedTable<QuickLogRecord, kQuickLogCapacity>;

} // namespace kv
