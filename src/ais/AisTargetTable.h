#pragma once
// The target table: up to kAisTargetCapacity stations in order of first hearing, numbered from 1
// as the user sees them (the target selector, the list's slot column). The table owns the count,
// so a number is checked in one place (valid, find) and the overflow rule lives in add.

#include "ais/AisTarget.h"
#include "core/LatLong.h"

#include <array>
#include <cstdint>
#include <span>

namespace kv {

inline constexpr int kAisTargetCapacity = 60;

// A position report's "not available" values (91° and 181° in 1/10000 minute).
inline constexpr std::int32_t kAisLatitudeUnknown = 91 * 600000;
inline constexpr std::int32_t kAisLongitudeUnknown = 181 * 600000;

inline bool PositionKnown(const TAISTarget& t)
{
    return t.Latitude != kAisLatitudeUnknown && t.Longitude != kAisLongitudeUnknown;
}

// The record's Latitude/Longitude fields in degrees, as received (longitude east positive).
inline double AisLatDegrees(const TAISTarget& t)
{
    return t.Latitude / 600000.0;
}
inline double AisLonDegrees(const TAISTarget& t)
{
    return t.Longitude / 600000.0;
}
// The same in the program's convention (longitude west positive).
inline LatLong AisPosition(const TAISTarget& t)
{
    return FromEastPositive(AisLatDegrees(t), AisLonDegrees(t));
}
// Where the range and bearing are measured to: the newest track point, else the report's fields.
inline LatLong AisLatestPosition(const TAISTarget& t)
{
    const int k = TrackPointCount(t);
    return k >= 1 ? FromEastPositive(t.point(k).lat, t.point(k).lon) : AisPosition(t);
}

class AisTargetTable {
public:
    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    bool full() const { return count_ == kAisTargetCapacity; }
    bool valid(int n) const { return n >= 1 && n <= count_; }

    // Target n; n must be valid.
    TAISTarget& operator[](int n) { return slots_[static_cast<std::size_t>(n - 1)]; }
    const TAISTarget& operator[](int n) const { return slots_[static_cast<std::size_t>(n - 1)]; }
    // Target n, or nullptr for a number no target has.
    TAISTarget* find(int n) { return valid(n) ? &(*this)[n] : nullptr; }
    const TAISTarget* find(int n) const { return valid(n) ? &(*this)[n] : nullptr; }

    // The occupied slots, 1..count().
    TAISTarget* begin() { return slots_.data(); }
    TAISTarget* end() { return slots_.data() + count_; }
    const TAISTarget* begin() const { return slots_.data(); }
    const TAISTarget* end() const { return slots_.data() + count_; }

    // Appends a copy of t and returns the slot. A full table gives its last slot to the newcomer:
    // the station heard most recently for the first time is the one shown.
    TAISTarget& add(const TAISTarget& t)
    {
        if (count_ < kAisTargetCapacity) {
            ++count_;
        }
        TAISTarget& slot = (*this)[count_];
        slot = t;
        return slot;
    }

    // Drops every target for which drop(t) holds, keeping the others in order and zeroing the
    // slots freed. Returns how many went.
    template <class Pred> int removeIf(Pred drop)
    {
        int kept = 0;
        for (int i = 1; i <= count_; ++i) {
            if (drop(static_cast<const TAISTarget&>((*this)[i]))) {
                continue;
            }
            ++kept;
            if (kept != i) {
                (*this)[kept] = (*this)[i];
            }
        }
        for (int i = kept + 1; i <= count_; ++i) {
            ZeroTarget((*this)[i]);
        }
        const int removed = count_ - kept;
        count_ = kept;
        return removed;
    }

    // Zeroes every slot.
    void clear()
    {
        for (TAISTarget& t : slots_) {
            ZeroTarget(t);
        }
        count_ = 0;
    }

    // Every slot, occupied or not, for byte-level comparisons.
    std::span<const TAISTarget, kAisTargetCapacity> allSlots() const { return slots_; }

private:
    std::array<TAISTarget, kAisTargetCapacity> slots_ {};
    int count_ = 0;
};

} // namespace kv
