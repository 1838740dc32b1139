// One received sentence through the position parser and the checks before it.
#include "FuzzSupport.h"

#include "core/Display.h"
#include "core/SentenceFix.h"
#include "nmea/NmeaParse.h"
#include "nmea/Templates.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view sentence = kvfuzz::AsText(data, size);
    kv::SentenceFix fix;
    kv::Display display;
    const bool aisPlayback = size % 2 == 1;
    const bool taken = kv::ParseSentence(sentence, fix, display, aisPlayback);
    KV_FUZZ_CHECK(kvfuzz::Finite(fix.SentenceLat) && kvfuzz::Finite(fix.SentenceLong));
    KV_FUZZ_CHECK(kvfuzz::Finite(fix.Hdop) && kvfuzz::Finite(fix.PositionError));
    if (taken && fix.PositionValid) {
        KV_FUZZ_CHECK(std::fabs(fix.SentenceLat) <= 90.0 && std::fabs(fix.SentenceLong) <= 180.0);
    }
    if (kv::PositionOutOfRange(sentence)) {
        KV_FUZZ_CHECK(!fix.PositionValid);
    }

    // Fields: joined with commas they give the sentence back.
    std::string joined;
    for (std::size_t n = 0; n <= size; ++n) {
        if (n > 0) {
            joined += ',';
        }
        joined += kv::NmeaField(sentence, n);
        if (joined.size() >= size) {
            break;
        }
    }
    KV_FUZZ_CHECK(joined == sentence);

    // A sentence given the checksum the output side computes passes the input side's check.
    if (size > 0 && sentence.find('*') == std::string_view::npos) {
        const std::string sealed = std::string(sentence) + kv::NMEAChecksum(sentence);
        KV_FUZZ_CHECK(!kv::ChecksumMismatch(sealed));
    }
    return 0;
}
