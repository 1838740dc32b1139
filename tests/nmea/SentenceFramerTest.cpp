// The framer that every sentence source feeds: what comes out for bytes cut anywhere.

#include "nmea/SentenceFramer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace kv;

namespace {

const std::string kDiscard = "<discarded>";

// The events of feeding the chunks in turn: sentences, and kDiscard for each discard.
std::vector<std::string> Frame(const std::vector<std::string>& chunks, std::string& buffer)
{
    std::vector<std::string> events;
    SentenceFramer framer(buffer);
    const SentenceFramer::Sink sink { [&](const std::string& s) { events.push_back(s); },
        [&] { events.push_back(kDiscard); } };
    for (const std::string& chunk : chunks) {
        framer.feed(chunk, sink);
    }
    return events;
}

} // namespace

TEST(SentenceFramer, Table)
{
    const std::string s99 = "$GPGGA" + std::string(93, ',');
    const std::string s100 = s99 + ",";
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<std::string> events;
        std::string pending;
    };
    const Case cases[] = {
        { "CR LF", { "$A,1\r\n$B,2\r\n" }, { "$A,1", "$B,2" }, "" },
        { "CR only", { "$A,1\r$B,2\r" }, { "$A,1", "$B,2" }, "" },
        { "split across chunks", { "$GP", "GGA,1", "\r", "\n$B", ",2\r\n" }, { "$GPGGA,1", "$B,2" }, "" },
        { "CR and LF in different chunks", { "$A,1\r", "\n", "$B" }, { "$A,1" }, "$B" },
        { "LF alone does not end a sentence", { "$A,1\n$B,2\r" }, { "$A,1$B,2" }, "" },
        { "LF CR", { "$A,1\n\r" }, { "$A,1" }, "" },
        { "empty line", { "\r\n\r" }, { "", "" }, "" },
        { "nothing", { "", "" }, {}, "" },
        { "unfinished text waits", { "$A,1" }, {}, "$A,1" },
        { "99 characters pass", { s99 + "\r" }, { s99 }, "" },
        { "100 characters are discarded", { s100 + "\r" }, { kDiscard, "" }, "" },
        { "discarded at the limit, the rest starts afresh", { s100, "$B,2\r" }, { kDiscard, "$B,2" }, "" },
        { "noise ending in LF is judged on its own",
            { std::string(60, '#') + "\n" + std::string(60, '#') + "\n$B,2\r" }, { kDiscard, "$B,2" }, "" },
        { "noise and a sentence in one run go together", { std::string(120, '#') + "$B,2\r" }, { kDiscard, "" }, "" },
        { "a long run judged at the end of each chunk", { std::string(50, '#'), std::string(49, '#'), "\r" },
            { std::string(99, '#') }, "" },
        { "embedded NUL and garbage are kept", { std::string("$A,\0\xff\x01", 6) + "\r" },
            { std::string("$A,\0\xff\x01", 6) }, "" },
    };
    for (const Case& c : cases) {
        std::string buffer;
        EXPECT_EQ(Frame(c.chunks, buffer), c.events) << c.name;
        EXPECT_EQ(buffer, c.pending) << c.name;
    }
}

TEST(SentenceFramer, NoiseNeverGrowsTheBufferAndEveryCutGivesTheSameSentences)
{
    std::string buffer;
    SentenceFramer framer(buffer);
    int discards = 0;
    const SentenceFramer::Sink sink { {}, [&] { ++discards; } };
    for (int i = 0; i < 1000; ++i) {
        framer.feed(std::string(7, '#'), sink);
        ASSERT_LT(buffer.size(), kSentenceLimit);
    }
    EXPECT_EQ(discards, 7000 / 105); // judged after each delivery: at 105 characters

    // A stream cut at every possible place into two deliveries frames as it does whole.
    const std::string stream = "$GPGGA,1*47\r\n!AIVDM,1,1,,A,x,0*00\r\n\n$GPRMC,2\r";
    std::string whole;
    const auto expected = Frame({ stream }, whole);
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        std::string b;
        EXPECT_EQ(Frame({ stream.substr(0, cut), stream.substr(cut) }, b), expected) << cut;
    }
}
