#pragma once
// Where reception hands a complete "!AIVDM" line while AIS processing is on. Reception (nmea/)
// calls it; the AIS subsystem (ais/) implements it, so neither depends on the other.

#include <string_view>

namespace kv {

class AisSentenceHandler {
public:
    virtual ~AisSentenceHandler() = default;
    virtual void ProcessAISSentence(std::string_view sentence) = 0;
};

} // namespace kv
