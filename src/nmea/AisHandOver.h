#pragma once
// Where reception hands a complete "!AIVDM" line while AIS processing is on. Reception (nmea/)
// calls it; the AIS subsystem (ais/) implements it, so neither depends on the other.

#include <string_view>

namespace kv {

class AisSentenceHandler {
public:
    virtual ~AisSentenceHandler() = default;
    virtual void ProcessAISSentence(std::string_view sentence) = 0;
    // The sentences between these two calls come from one slice of received input: what they
    // leave to be written goes out once, at the end.
    virtual void BeginBatch() { }
    virtual void EndBatch() { }
    // The interface closed: files kept open for its sentences are let go of.
    virtual void InterfaceClosed() { }
};

} // namespace kv
