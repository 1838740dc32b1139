#pragma once
// Building payloads field by field for the AIS tests.

#include "ais/AisDecoder.h"
#include "ais/AisEncoder.h"

#include <string>
#include <vector>

namespace aistest {

struct PositionReport {
    int type = 1, repeat = 0;
    long long mmsi = 235000001;
    int navStatus = 0, rot = -128, sog = 0, posAccuracy = 0;
    long long lon = 0, lat = 0; // 1/10000 minute
    int cog = 0, heading = 511, second = 0, regional = 0, spare = 0, raim = 0;
    long long commState = 0;
};

inline std::string PositionPayload(const PositionReport& p)
{
    kv::AisBitWriter w;
    w.put(p.type, 6);
    w.put(p.repeat, 2);
    w.put(p.mmsi, 30);
    w.put(p.navStatus, 4);
    w.put(p.rot, 8);
    w.put(p.sog, 10);
    w.put(p.posAccuracy, 1);
    w.put(p.lon, 28);
    w.put(p.lat, 27);
    w.put(p.cog, 12);
    w.put(p.heading, 9);
    w.put(p.second, 6);
    w.put(p.regional, 4);
    w.put(p.spare, 1);
    w.put(p.raim, 1);
    w.put(p.commState, 19);
    return w.armoured();
}

inline std::string PositionSentence(const PositionReport& p)
{
    return kv::AisSentences(PositionPayload(p), 0, "")[0];
}

// Degrees (east/north positive) to 1/10000 minute.
inline long long Raw(double degrees)
{
    return static_cast<long long>(degrees * 600000.0 + (degrees < 0 ? -0.5 : 0.5));
}

struct StaticData {
    long long mmsi = 235000001;
    long long imo = 9134270;
    std::string callSign = "3FOF8";
    std::string name = "EVER DIADEM";
    int shipType = 70, dimA = 225, dimB = 70, dimC = 1, dimD = 31, epfd = 1;
    long long eta = (5 << 16) | (15 << 11) | (14 << 6) | 0;
    int draught = 122;
    std::string destination = "NEW YORK";
    int dte = 0;
};

inline std::string StaticPayload(const StaticData& s, int* fill = nullptr)
{
    kv::AisBitWriter w;
    w.put(5, 6);
    w.put(0, 2);
    w.put(s.mmsi, 30);
    w.put(0, 2);
    w.put(s.imo, 30);
    w.putText(s.callSign, 7);
    w.putText(s.name, 20);
    w.put(s.shipType, 8);
    w.put(s.dimA, 9);
    w.put(s.dimB, 9);
    w.put(s.dimC, 6);
    w.put(s.dimD, 6);
    w.put(s.epfd, 4);
    w.put(s.eta, 20);
    w.put(s.draught, 8);
    w.putText(s.destination, 20);
    w.put(s.dte, 1);
    w.put(0, 1);
    return w.armoured(fill);
}

inline std::vector<std::string> StaticSentences(const StaticData& s, const std::string& seqId = "3")
{
    int fill = 0;
    const std::string payload = StaticPayload(s, &fill);
    return kv::AisSentences(payload, fill, seqId, 'A', 60);
}

} // namespace aistest
