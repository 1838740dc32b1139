// Mutated sentences by the hundred thousand: the assembler, decoder, table, text and database
// must hold their bounds whatever arrives.

#include "AisTestSupport.h"

#include "ais/AisController.h"
#include "ais/AisDatabase.h"
#include "ais/AisTargets.h"
#include "ais/AisText.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>

using namespace kv;
using namespace aistest;

namespace {

class Mutator {
public:
    explicit Mutator(unsigned seed)
        : rng_(seed)
    {
    }

    long pick(long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(rng_); }

    std::vector<std::string> validMessage()
    {
        if (pick(0, 3) == 0) {
            StaticData s;
            s.mmsi = pick(1, 50);
            s.name = std::string(static_cast<std::size_t>(pick(0, 25)), static_cast<char>(pick(32, 95)));
            return StaticSentences(s, std::to_string(pick(0, 9)));
        }
        PositionReport p;
        p.type = static_cast<int>(pick(0, 2) == 0 ? pick(0, 63) : pick(1, 4));
        p.mmsi = pick(0, 80);
        p.lat = pick(-(1 << 26), (1 << 26) - 1);
        p.lon = pick(-(1 << 27), (1 << 27) - 1);
        p.rot = static_cast<int>(pick(-128, 127));
        p.heading = static_cast<int>(pick(0, 511));
        p.commState = pick(0, (1 << 19) - 1);
        return { PositionSentence(p) };
    }

    std::string mutate(std::string s)
    {
        switch (pick(0, 9)) {
        case 0: // random bytes anywhere
            for (long k = pick(1, 5); k > 0 && !s.empty(); --k) {
                s[static_cast<std::size_t>(pick(0, static_cast<long>(s.size()) - 1))] = static_cast<char>(pick(0, 255));
            }
            break;
        case 1: // cut short
            s.resize(static_cast<std::size_t>(pick(0, static_cast<long>(s.size()))));
            break;
        case 2: { // fragment fields
            static const char* const counts[] = { "0", "1", "2", "3", "9", "10", "", "A", "99999999" };
            std::string field = counts[pick(0, 8)];
            std::string num = counts[pick(0, 8)];
            const std::size_t c1 = s.find(',');
            const std::size_t c3 = c1 == std::string::npos ? c1 : s.find(',', s.find(',', c1 + 1) + 1);
            if (c3 != std::string::npos) {
                s = s.substr(0, c1 + 1) + field + "," + num + s.substr(c3);
            }
            break;
        }
        case 3: // an over-long payload
            s.insert(std::min(s.size(), std::size_t { 16 }),
                std::string(static_cast<std::size_t>(pick(400, 3000)), static_cast<char>(pick(48, 119))));
            break;
        case 4: // commas removed or added
            for (auto& c : s) {
                if (c == ',' && pick(0, 2) == 0) {
                    c = 'x';
                }
            }
            s.insert(static_cast<std::size_t>(pick(0, static_cast<long>(s.size()))), ",");
            break;
        case 5: // sequential identifier changed
            if (s.size() > 11) {
                s[11] = static_cast<char>(pick(48, 57));
            }
            break;
        default: // left intact
            break;
        }
        return s;
    }

private:
    std::mt19937 rng_;
};

void CheckInvariants(const ProgramState& state)
{
    const AisState& ais = state.ais;
    ASSERT_GE(ais.targets.count(), 0);
    ASSERT_LE(ais.targets.count(), kAisTargetCapacity);
    ASSERT_LE(ais.assembler.AISPayload.size(), kSixBitBufSize + 1);
    for (int i = 1; i <= ais.targets.count(); ++i) {
        const TAISTarget& t = ais.targets[i];
        ASSERT_GE(t.MMSI, 1u);
        ASSERT_GE(t.TrackCount, 1);
        ASSERT_LE(t.TrackCount, kAisTrackPoints);
        ASSERT_LE(t.CallSign.length, 7);
        ASSERT_LE(t.VesselName.length, 20);
        ASSERT_LE(t.Destination.length, 20);
    }
}

TEST(AisRandom, HundredThousandMutatedSentences)
{
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    state.folders.AppDir = dir.path() + "/";
    AisController ais(state, fake.platform);
    // The database is exercised by the smaller run below; here it would only cost time.
    state.ais.UpdateAISDatabase = false;
    state.ais.SearchAISDatabase = false;
    state.prefs.AISvoice = true;
    state.quickLog.push({});
    state.quickLog.push({});
    state.ais.AdditionalTargetData = true;

    Mutator m(20261208);
    // Valid messages are drawn from a pool: building payloads bit by bit would cost more than
    // the decoding under test.
    std::vector<std::vector<std::string>> pool;
    pool.reserve(2000);
    for (int i = 0; i < 2000; ++i) {
        pool.push_back(m.validMessage());
    }
    long sentences = 0;
    while (sentences < 100000) {
        for (const std::string& s : pool[static_cast<std::size_t>(m.pick(0, 1999))]) {
            ais.DecodeAndUpdate(m.mutate(s));
            ++sentences;
        }
        if (sentences % 997 == 0) {
            CheckInvariants(state);
            for (int i = 1; i <= state.ais.targets.count(); ++i) {
                ASSERT_GE(WriteTargetText(state.ais, kv::OwnShipOf(state), i, fake.clock.time).size(), 21u);
            }
            fake.clock.time.minute = (fake.clock.time.minute + 7) % 60;
            AgeAISTargets(state, DaysFromDateTime(fake.clock.time));
        }
    }
    CheckInvariants(state);
}

// A busy channel: position reports arrive between the fragments of static data messages. Every
// message must come out exactly once, in order, and nothing else may complete.
TEST(AisRandom, PositionReportsBetweenStaticDataFragments)
{
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    state.folders.AppDir = dir.path() + "/";
    state.ais.UpdateAISDatabase = false;
    state.ais.SearchAISDatabase = false;
    AisController ais(state, fake.platform);

    Mutator m(4105);
    struct Expected {
        int type;
        std::uint32_t mmsi;
        std::int32_t lat;
        std::string name; // type 5 only, as decoded (padded with "@")
    };
    std::vector<Expected> expected;
    std::vector<Expected> decoded;
    std::vector<std::string> names(41); // per MMSI 1..40: the name of its last static message
    auto send = [&](const std::string& sentence) {
        if (state.ais.assembler.ProcessAISSentence(sentence)) {
            const TAISTarget& c = state.ais.current();
            decoded.push_back({ c.MsgType, c.MMSI, c.Latitude, c.MsgType == 5 ? c.VesselName.str() : "" });
        }
        UpdateAISTargets(state, fake.platform);
    };
    auto report = [&]() {
        PositionReport p;
        p.type = static_cast<int>(m.pick(1, 3));
        p.mmsi = m.pick(1, 40);
        p.lat = m.pick(-(1 << 26), (1 << 26) - 1);
        expected.push_back({ p.type, static_cast<std::uint32_t>(p.mmsi), static_cast<std::int32_t>(p.lat), "" });
        send(PositionSentence(p));
    };
    for (int n = 0; n < 3000; ++n) {
        StaticData st;
        st.mmsi = m.pick(1, 40);
        st.name = "SHIP " + std::to_string(m.pick(0, 99999));
        int fill = 0;
        const std::string payload = StaticPayload(st, &fill);
        // Two, three or four fragments, as receivers split them.
        const std::size_t part = m.pick(0, 2) == 0 ? 60 : static_cast<std::size_t>(m.pick(18, 35));
        const auto fragments = kv::AisSentences(payload, fill, std::to_string(m.pick(0, 9)), 'A', part);
        std::string padded = st.name;
        padded.resize(20, '@');
        for (std::size_t i = 0; i < fragments.size(); ++i) {
            if (i + 1 == fragments.size()) {
                expected.push_back({ 5, static_cast<std::uint32_t>(st.mmsi), 0, padded });
                names[static_cast<std::size_t>(st.mmsi)] = padded;
            }
            send(fragments[i]);
            for (long k = m.pick(0, 3); k > 0 && i + 1 < fragments.size(); --k) {
                report();
            }
        }
        ASSERT_EQ(decoded.size(), expected.size()) << "message " << n << " lost or duplicated";
    }
    ASSERT_EQ(decoded.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(decoded[i].type, expected[i].type) << i;
        ASSERT_EQ(decoded[i].mmsi, expected[i].mmsi) << i;
        ASSERT_EQ(decoded[i].lat, expected[i].lat) << i;
        ASSERT_EQ(decoded[i].name, expected[i].name) << i;
    }
    // The table carries each vessel's latest static data.
    ASSERT_GT(state.ais.targets.count(), 0);
    for (int i = 1; i <= state.ais.targets.count(); ++i) {
        const TAISTarget& t = state.ais.targets[i];
        if (!names[t.MMSI].empty()) {
            EXPECT_EQ(t.VesselName.str(), names[t.MMSI]) << t.MMSI;
        }
    }
    CheckInvariants(state);
}

TEST(AisRandom, MutatedTrafficWithTheDatabase)
{
    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fake;
    state.folders.AppDir = dir.path() + "/";
    OpenAisDatabase(state.ais, state.folders);
    AisController ais(state, fake.platform);
    Mutator m(77);
    for (int n = 0; n < 3000; ++n) {
        for (const std::string& s : m.validMessage()) {
            ais.DecodeAndUpdate(m.mutate(s));
        }
    }
    CheckInvariants(state);
    // One record per MMSI, whatever the traffic.
    std::vector<int> seen(1u << 16, 0);
    long records = 0;
    ForEachAisDatabaseRecord(AisDatabasePath(state.folders), [&](const TAISTarget& r) {
        ++records;
        if (r.MMSI < seen.size()) {
            EXPECT_EQ(++seen[r.MMSI], 1) << r.MMSI;
        }
    });
    EXPECT_GT(records, 0);
    EXPECT_EQ(records, state.ais.AISDatabaseCount);
}

} // namespace
