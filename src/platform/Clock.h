#pragma once
// The computer's local date and time. Core code never asks the system clock directly.

namespace kv {

struct LocalDateTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    friend bool operator==(const LocalDateTime&, const LocalDateTime&) = default;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime now() const = 0;
};

// The real local clock (std::chrono and the C library's local time).
class SystemClock final : public Clock {
public:
    LocalDateTime now() const override;
};

} // namespace kv
