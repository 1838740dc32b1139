#pragma once
// What the last position sentence said. Owner: nmea (the sentence parser); the preferences also
// set MagVariation, which each RMC sentence overwrites.

#include "core/ShortString.h"

#include <cstdint>
#include <string>

namespace kv {

struct SentenceFix {
    double SentenceLat = 0.0; // receiver datum
    double SentenceLong = 0.0; // receiver datum, west positive
    bool PositionValid = false;
    std::string FixTimeText;
    ShortString<1> FixQuality;
    double Hdop = 0.0;
    ShortString<8> SatellitesText;
    double PositionError = 0.0; // metres (10 × HDOP)
    std::int16_t MagVariation = 0; // degrees, west negative
    bool EventSentence = false;
    ShortString<33> ExtraField1, ExtraField2, ExtraField3, ExtraField4, ExtraField5, ExtraField6, ExtraField7,
        ExtraField8, ExtraField9, ExtraField0;
};

} // namespace kv
