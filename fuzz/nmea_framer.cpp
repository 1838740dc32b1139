// Received bytes through the sentence framer, delivered in runs of varying length as a serial
// port or a socket hands them over.
#include "FuzzSupport.h"

#include "nmea/SentenceFramer.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0) {
        return 0;
    }
    // The first byte chooses the delivery size (1 … 64 bytes), the rest is the stream.
    const std::size_t step = (data[0] % 64) + 1;
    const std::string_view stream = kvfuzz::AsText(data + 1, size - 1);
    std::string withoutLf;
    std::remove_copy(stream.begin(), stream.end(), std::back_inserter(withoutLf), '\n');

    std::string buffer;
    kv::SentenceFramer framer(buffer);
    kv::SentenceFramer::Sink sink;
    sink.sentence = [&](const std::string& sentence) {
        KV_FUZZ_CHECK(sentence.size() < kv::kSentenceLimit);
        KV_FUZZ_CHECK(sentence.find('\r') == std::string::npos);
        KV_FUZZ_CHECK(sentence.find('\n') == std::string::npos);
        // A sentence is received text up to a carriage return, nothing made up.
        KV_FUZZ_CHECK(withoutLf.find(sentence + '\r') != std::string::npos);
    };
    sink.discarded = [] {};
    for (std::size_t at = 0; at < stream.size(); at += step) {
        framer.feed(stream.substr(at, step), sink);
        KV_FUZZ_CHECK(buffer.size() < kv::kSentenceLimit);
    }
    return 0;
}
