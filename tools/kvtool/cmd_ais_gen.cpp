// kvtool ais-gen: a reproducible stream of "!AIVDM" sentences for tests and benchmarks. A mixed
// stream: position reports (1, 2, 3), base stations (4, 11) and two-fragment static data (5),
// with plausible values drawn from a fixed seed.

#include "BufferedOut.h"
#include "Command.h"

#include "ais/AisEncoder.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>

namespace {

using kvtool::BufferedOut;

// Small-craft traffic: Class B positions (18), extended reports (19, some split over two
// fragments), aids to navigation (21, with and without a name extension, some virtual) and
// static data (24 parts A and B, some from auxiliary craft), with "not available" values and
// positions on both sides of the equator and the prime meridian.
void GenSmallCraft(BufferedOut& out, const std::function<long(long, long)>& uni, long& written, int& seq)
{
    static const char* const kYachts[] = { "BLUE MOON", "SEA WITCH", "PERSEVERANCE", "KESTREL", "HALCYON DAYS",
        "WILD GOOSE", "ARIEL", "MORNING STAR OF HAMBLE" };
    static const char* const kMarks[] = { "NAB TOWER", "BRAMBLE BANK", "E SOLENT CARDINAL BUOY", "NEEDLES FAIRWAY", "W",
        "CHICHESTER BAR BEACON VIRTUAL AIS" };
    kv::AisBitWriter w;
    const long pick = uni(0, 99);
    long mmsi = uni(200000000, 799999999);
    const bool na = uni(0, 9) == 0; // "not available" values in one message out of ten
    const long lon = na ? 181L * 600000 : uni(-180L * 600000, 180L * 600000);
    const long lat = na ? 91L * 600000 : uni(-90L * 600000, 90L * 600000);
    std::size_t maxChars = 60;
    std::string seqId;
    char channel = 0; // drawn with the payload unless set
    if (pick < 50) {
        w.put(18, 6);
        w.put(uni(0, 3), 2);
        w.put(mmsi, 30);
        w.put(uni(0, 255), 8);
        w.put(na ? 1023 : uni(0, 1022), 10);
        w.put(uni(0, 1), 1);
        w.put(lon, 28);
        w.put(lat, 27);
        w.put(na ? 3600 : uni(0, 3599), 12);
        w.put(na ? 511 : uni(0, 359), 9);
        w.put(na ? 60 : uni(0, 63), 6);
        w.put(uni(0, 3), 2);
        for (int i = 0; i < 7; ++i) {
            w.put(uni(0, 1), 1);
        }
        w.put(uni(0, (1 << 20) - 1), 20);
    } else if (pick < 62) {
        w.put(19, 6);
        w.put(uni(0, 3), 2);
        w.put(mmsi, 30);
        w.put(uni(0, 255), 8);
        w.put(na ? 1023 : uni(0, 1022), 10);
        w.put(uni(0, 1), 1);
        w.put(lon, 28);
        w.put(lat, 27);
        w.put(na ? 3600 : uni(0, 3599), 12);
        w.put(na ? 511 : uni(0, 359), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 15), 4);
        w.putText(kYachts[uni(0, 7)], 20);
        w.put(uni(0, 99), 8);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 15), 4);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(0, 4);
        if (uni(0, 3) == 0) { // a 312-bit report sent as two fragments
            maxChars = 30;
            seqId = std::to_string(seq);
            seq = (seq + 1) % 10;
        }
    } else if (pick < 74) {
        const std::string name = kMarks[uni(0, 5)];
        w.put(21, 6);
        w.put(uni(0, 3), 2);
        w.put(uni(992000000, 992999999), 30);
        w.put(uni(0, 31), 5);
        w.putText(name.substr(0, 20), 20);
        w.put(uni(0, 1), 1);
        w.put(lon, 28);
        w.put(lat, 27);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 15), 4);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 255), 8);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(0, 1);
        if (name.size() > 20) {
            const std::string ext = name.substr(20, 14);
            w.putText(ext, static_cast<int>(ext.size()));
        }
    } else {
        // Static data as stations send it: part A then part B; one B in ten comes alone.
        if (uni(0, 9) == 0) {
            mmsi = uni(980000000, 989999999);
        }
        // Both parts on one channel, as most receivers pass them on.
        channel = uni(0, 1) != 0 ? 'A' : 'B';
        if (uni(0, 9) != 0) {
            kv::AisBitWriter a;
            a.put(24, 6);
            a.put(uni(0, 3), 2);
            a.put(mmsi, 30);
            a.put(0, 2);
            a.putText(kYachts[uni(0, 7)], 20);
            int fill = 0;
            const std::string payload = a.armoured(&fill);
            out.raw(kv::AisSentences(payload, fill, "", channel)[0]);
            out.raw("\r\n");
            ++written;
        }
        w.put(24, 6);
        w.put(uni(0, 3), 2);
        w.put(mmsi, 30);
        w.put(1, 2);
        w.put(uni(0, 99), 8);
        w.putText(std::string("SRT") + static_cast<char>('A' + uni(0, 25)), 4);
        w.put(uni(0, (1 << 18) - 1), 18);
        w.putText(std::to_string(uni(10000, 99999)).insert(0, "M"), 7);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 63), 6);
        w.put(0, 6);
    }
    int fill = 0;
    const std::string payload = w.armoured(&fill);
    if (channel == 0) {
        channel = uni(0, 1) != 0 ? 'A' : 'B';
    }
    for (const auto& s : kv::AisSentences(payload, fill, seqId, channel, maxChars)) {
        out.raw(s);
        out.raw("\r\n");
        ++written;
    }
}

int RunAisGen(const kvtool::Args& all)
{
    // --small-craft makes three messages in five Class B or AtoN, the rest as without it.
    kvtool::Args args;
    bool smallCraft = false;
    for (const std::string& a : all) {
        if (a == "--small-craft") {
            smallCraft = true;
        } else {
            args.push_back(a);
        }
    }
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: kvtool ais-gen N [SEED] [--small-craft]\n");
        return 2;
    }
    const long n = std::strtol(args[0].c_str(), nullptr, 10);
    const unsigned long seed = args.size() > 1 ? std::strtoul(args[1].c_str(), nullptr, 10) : 1;
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    auto uni = [&rng](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(rng); };
    static const char* const kNames[] = { "EVER DIADEM", "SEA WITCH", "MARY ROSE", "NORDIC STAR", "CAPE WRATH",
        "SOLENT FERRY 2", "ATLANTIC CONVEYOR", "ISLE OF WIGHT" };
    static const char* const kPorts[] = { "NEW YORK", "SOUTHAMPTON", "ROTTERDAM", "COWES", "CHERBOURG", "LE HAVRE" };
    BufferedOut out(stdout);
    long written = 0;
    int seq = 0;
    while (written < n) {
        if (smallCraft && uni(0, 99) < 60) {
            GenSmallCraft(out, uni, written, seq);
            out.maybeFlush();
            continue;
        }
        const long pick = uni(0, 99);
        kv::AisBitWriter w;
        const long mmsi = uni(200000000, 799999999);
        if (pick < 70 || n - written < 2) {
            const int type = pick < 40 ? 1 : pick < 50 ? 2 : pick < 60 ? 3 : pick < 66 ? 4 : 11;
            w.put(type, 6);
            w.put(uni(0, 3), 2);
            w.put(mmsi, 30);
            const long lon = uni(-180L * 600000, 180L * 600000);
            const long lat = uni(-90L * 600000, 90L * 600000);
            if (type <= 3) {
                w.put(uni(0, 15), 4);
                w.put(uni(-128, 127), 8);
                w.put(uni(0, 1023), 10);
                w.put(uni(0, 1), 1);
                w.put(lon, 28);
                w.put(lat, 27);
                w.put(uni(0, 3600), 12);
                w.put(uni(0, 1) != 0 ? 511 : uni(0, 359), 9);
                w.put(uni(0, 63), 6);
                w.put(0, 4);
                w.put(0, 1);
                w.put(uni(0, 1), 1);
                w.put(uni(0, (1 << 19) - 1), 19);
            } else {
                w.put(uni(2000, 2030), 14);
                w.put(uni(1, 12), 4);
                w.put(uni(1, 31), 5);
                w.put(uni(0, 23), 5);
                w.put(uni(0, 59), 6);
                w.put(uni(0, 59), 6);
                w.put(uni(0, 1), 1);
                w.put(lon, 28);
                w.put(lat, 27);
                w.put(uni(0, 8), 4);
                w.put(0, 10);
                w.put(uni(0, 1), 1);
                w.put(uni(0, (1 << 19) - 1), 19);
            }
            int fill = 0;
            const std::string payload = w.armoured(&fill);
            for (const auto& s : kv::AisSentences(payload, fill, "", uni(0, 1) != 0 ? 'A' : 'B')) {
                out.raw(s);
                out.raw("\r\n");
                ++written;
            }
        } else {
            w.put(5, 6);
            w.put(0, 2);
            w.put(mmsi, 30);
            w.put(0, 2);
            w.put(uni(1000000, 9999999), 30);
            w.putText(std::to_string(uni(10000, 99999)).insert(0, "V"), 7);
            w.putText(kNames[uni(0, 7)], 20);
            w.put(uni(20, 99), 8);
            w.put(uni(5, 300), 9);
            w.put(uni(5, 100), 9);
            w.put(uni(1, 30), 6);
            w.put(uni(1, 30), 6);
            w.put(1, 4);
            w.put((uni(1, 12) << 16) | (uni(1, 31) << 11) | (uni(0, 23) << 6) | uni(0, 59), 20);
            w.put(uni(10, 200), 8);
            w.putText(kPorts[uni(0, 5)], 20);
            w.put(0, 1);
            w.put(0, 1);
            int fill = 0;
            const std::string payload = w.armoured(&fill);
            const std::string seqId = std::to_string(seq);
            seq = (seq + 1) % 10;
            for (const auto& s : kv::AisSentences(payload, fill, seqId, 'A')) {
                out.raw(s);
                out.raw("\r\n");
                ++written;
            }
        }
        out.maybeFlush();
    }
    return 0;
}

const kvtool::CommandRegistration genReg { { "ais-gen",
    "N [SEED] [--small-craft]: N !AIVDM sentences of types 1, 2, 3, 4, 11 and two-fragment 5 "
    "(with --small-craft also 18, 19, 21 and 24)",
    &RunAisGen, true } };

} // namespace
