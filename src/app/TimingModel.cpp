#include "app/TimingModel.h"

#include "app/MainController.h"
#include "routes/TidalStreams.h"

#include <algorithm>

namespace kv {

FixIntervalParts SplitFixInterval(std::uint32_t intervalMs)
{
    // The extra millisecond keeps an interval such as 9999.9 ms, stored as 10000, from showing
    // as 9.9 s.
    const long long i = intervalMs;
    FixIntervalParts p;
    p.minutes = static_cast<int>(i / 60000);
    p.seconds = static_cast<int>((i + 1 - p.minutes * 60000LL) / 1000);
    p.tenths = static_cast<int>((i + 1 - p.minutes * 60000LL - p.seconds * 1000LL) / 100);
    return p;
}

std::uint32_t JoinFixInterval(int minutes, int seconds, int tenths)
{
    minutes = std::clamp(minutes, 0, 60);
    seconds = std::clamp(seconds, 0, 59);
    tenths = std::clamp(tenths, 0, 10);
    return static_cast<std::uint32_t>(minutes * 60000 + seconds * 1000 + tenths * 100);
}

void TimingModel::Fill()
{
    const FixIntervalParts p = SplitFixInterval(c_.state().settings.fix.FixIntervalMs);
    fields.FixMins = std::clamp(p.minutes, 0, 60);
    fields.FixSecs = std::clamp(p.seconds, 0, 59);
    fields.FixDeciSecs = std::clamp(p.tenths, 0, 10);
    fields.TimeZone = std::clamp<int>(c_.state().settings.fix.TimeZoneHours, -12, 12);
    fields.UTCClock = c_.state().prefs.fix.UseGpsTime;
    fields.AverageN = std::clamp<int>(c_.state().settings.fix.AverageFixes, 1, 99);
    fields.DrawN = std::clamp<int>(c_.state().prefs.fix.RedrawEveryFixes, 1, 99);
}

void TimingModel::OKBtnClick()
{
    ProgramState& state = c_.state();
    state.settings.fix.FixIntervalMs = JoinFixInterval(fields.FixMins, fields.FixSecs, fields.FixDeciSecs);
    // The timer keeps running or stopped as it was; only its period changes.
    state.display.FixTimer.intervalMs = state.settings.fix.FixIntervalMs;
    state.settings.fix.TimeZoneHours = static_cast<std::int16_t>(std::clamp(fields.TimeZone, -12, 12));
    state.prefs.fix.UseGpsTime = fields.UTCClock;
    state.settings.fix.AverageFixes = static_cast<std::int16_t>(std::clamp(fields.AverageN, 1, 99));
    state.prefs.fix.RedrawEveryFixes = static_cast<std::uint16_t>(std::clamp(fields.DrawN, 1, 99));
    if (!state.tides.empty()) {
        const LocalDateTime now = c_.platform().clock.now();
        state.tideStream.TidalHour
            = static_cast<std::int16_t>(TideHourOf(now.hour, now.minute, state.prefs.tide.HighWaterHour));
        c_.RedrawViews();
    }
}

} // namespace kv
