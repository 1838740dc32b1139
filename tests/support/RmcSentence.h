#pragma once
// A valid "$GPRMC" sentence at a position (longitude west positive), with its checksum.

#include <cmath>
#include <cstdio>
#include <string>

namespace kvtest {

inline std::string RmcAt(double lat, double lonWest)
{
    auto field = [](double deg, int width) {
        const double a = std::fabs(deg);
        const int whole = static_cast<int>(a);
        char text[32];
        std::snprintf(text, sizeof text, "%0*d%07.4f", width, whole, (a - whole) * 60.0);
        return std::string(text);
    };
    const std::string body = "GPRMC,120000,A," + field(lat, 2) + (lat >= 0 ? ",N," : ",S,") + field(lonWest, 3)
        + (lonWest >= 0 ? ",W," : ",E,") + "5.0,90.0,081226,,";
    unsigned char sum = 0;
    for (char ch : body) {
        sum ^= static_cast<unsigned char>(ch);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X", sum);
    return "$" + body + tail;
}

} // namespace kvtest
