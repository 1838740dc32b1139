#pragma once
// The stream of a gpsd daemon asked for raw NMEA: its own report lines are JSON objects ("{"
// at the start of a line), everything else is NMEA relayed from the receivers. The filter drops
// the JSON lines and passes the rest through unchanged, in whatever pieces the bytes arrive. A
// report ends at CR or LF, so a daemon that ends its lines with CR alone does not take the NMEA
// after a report with it.

#include <string>
#include <string_view>

namespace kv {

// Sent once connected: report the receivers' NMEA as it comes.
inline constexpr std::string_view kGpsdWatchCommand = "?WATCH={\"enable\":true,\"nmea\":true}\n";

class GpsdNmeaFilter {
public:
    std::string filter(std::string_view bytes);
    void reset()
    {
        lineStart_ = true;
        inJson_ = false;
        afterReport_ = false;
    }

private:
    bool lineStart_ = true;
    bool inJson_ = false;
    bool afterReport_ = false; // the last byte was the CR that ended a report
};

} // namespace kv
