// The delta stream of a Signal K server, one message per line of the input: whatever a server
// (or something posing as one) sends, what comes out are well-formed NMEA 0183 sentences that the
// receiver side takes as from a serial link.
#include "FuzzSupport.h"

#include "core/SignalKStream.h"
#include "nmea/NmeaParse.h"

#include <string>
#include <string_view>

namespace {

void CheckSentences(const std::string& out)
{
    std::size_t start = 0;
    while (start < out.size()) {
        const std::size_t end = out.find("\r\n", start);
        KV_FUZZ_CHECK(end != std::string::npos); // every sentence ends in CR LF
        const std::string_view s(out.data() + start, end - start);
        KV_FUZZ_CHECK(s.size() >= 9 && s.size() <= 82);
        KV_FUZZ_CHECK(s[0] == '$' || s[0] == '!');
        for (const unsigned char c : s) {
            KV_FUZZ_CHECK(c >= 0x20 && c < 0x7f);
        }
        KV_FUZZ_CHECK(s[s.size() - 3] == '*' && !kv::ChecksumMismatch(s));
        start = end + 2;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text = kvfuzz::AsText(data, size);
    kv::SignalKStream stream;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        CheckSentences(stream.take(text.substr(start, end - start)));
        start = end + 1;
    }
    KV_FUZZ_CHECK(stream.vessels() <= kv::kSignalKVesselLimit);
    return 0;
}
