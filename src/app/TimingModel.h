#pragma once
// The "Timing Functions" dialog without its widgets: the fix interval split into minutes,
// seconds and tenths, the time zone, the clock source, averaging and redrawing.

#include <array>
#include <cstdint>

namespace kv {

class MainController;

struct TimingFields {
    int FixMins = 0; // 0 … 60
    int FixSecs = 10; // 0 … 59
    int FixDeciSecs = 0; // 0 … 10 (hidden)
    int TimeZone = 0; // -12 … 12
    bool UTCClock = true;
    int AverageN = 1; // 1 … 99
    int DrawN = 1; // 1 … 99
    friend bool operator==(const TimingFields&, const TimingFields&) = default;
};

// The three interval fields of an interval in milliseconds (truncating, as the dialog shows them).
struct FixIntervalParts {
    int minutes = 0, seconds = 0, tenths = 0;
    friend bool operator==(const FixIntervalParts&, const FixIntervalParts&) = default;
};
FixIntervalParts SplitFixInterval(std::uint32_t intervalMs);
// minutes × 60000 + seconds × 1000 + tenths × 100, each field first brought into its range.
std::uint32_t JoinFixInterval(int minutes, int seconds, int tenths);

class TimingModel {
public:
    explicit TimingModel(MainController& controller)
        : c_(controller)
    {
    }

    TimingFields fields;

    // Alarms1Click's filling from the current settings.
    void Fill();
    // OK: stores the settings, sets the fix timer to the interval and, with a tidal atlas loaded,
    // recomputes the tide hour.
    void OKBtnClick();

private:
    MainController& c_;
};

} // namespace kv
