#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace kv {

LocalDateTime SystemClock::now() const
{
    using namespace std::chrono;
    const auto t = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(t);
    std::tm local {};
    localtime_r(&seconds, &local);
    LocalDateTime out;
    out.year = local.tm_year + 1900;
    out.month = local.tm_mon + 1;
    out.day = local.tm_mday;
    out.hour = local.tm_hour;
    out.minute = local.tm_min;
    out.second = local.tm_sec;
    out.millisecond = static_cast<int>(duration_cast<milliseconds>(t.time_since_epoch()).count() % 1000);
    return out;
}

} // namespace kv
