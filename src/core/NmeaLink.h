#pragma once
// The state of the sentence interface. Owner: nmea (the interface and the output sentences); AIS
// stores the last AIS sentence.

#include <cstdint>
#include <string>

namespace kv {

struct NmeaLink {
    bool NmeaOpen = false;
    std::string RxBuffer;
    std::string LastPositionSentence;
    std::string LastAisSentence;
    bool DataArriving = false;
    // Received sentences dropped because their checksum did not match.
    std::uint32_t RejectedSentences = 0;
    // Received sentences thrown away because they came faster than they could be used.
    std::uint64_t DroppedSentences = 0;
    std::string OutputText; // sentences built at the last fix, each ending in CR LF
};

} // namespace kv
