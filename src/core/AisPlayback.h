#pragma once
// Whether an AIS log is being played. Owner: ais (playback). Read by the sentence parser and the
// fix cycle, which treat played sentences differently.

namespace kv {

struct AisPlayback {
    bool AISPlayback = false; // an AIS log is being played
};

} // namespace kv
