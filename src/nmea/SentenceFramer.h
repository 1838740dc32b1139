#pragma once
// Received bytes into sentences, for every sentence source. A carriage return ends a sentence;
// line feeds are dropped; text that grows to 100 characters without a carriage return is noise
// and is thrown away, so no sentence longer than 99 characters is ever passed on.
//
// The length is judged after each run of bytes up to a CR or LF and at the end of each delivery,
// as the receive callbacks always have: noise ending in LF alone is judged on its own and does
// not take the next sentence with it.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace kv {

inline constexpr std::size_t kSentenceLimit = 100;

class SentenceFramer {
public:
    // What a delivery produced, in order.
    struct Sink {
        std::function<void(const std::string& sentence)> sentence; // at each CR (maybe empty)
        std::function<void()> discarded; // the buffer reached the limit
    };

    // The pending text lives in `buffer` (the receive buffer of the navigation state).
    explicit SentenceFramer(std::string& buffer)
        : buffer_(buffer)
    {
    }

    void feed(std::string_view bytes, const Sink& sink);

private:
    std::string& buffer_;
};

} // namespace kv
