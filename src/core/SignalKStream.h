#pragma once
// The delta stream of a Signal K server turned into the NMEA 0183 sentences a receiver, an
// instrument bus and an AIS receiver would have sent, so that everything behind the source (the
// sentence framer, the position sentence, the fix cycle, the logs, the AIS decoder and target
// table) works on it exactly as on a serial link:
//
//   own ship   navigation.position (+ courseOverGroundTrue, speedOverGround)  "$GPRMC", "$GPGGA"
//              environment.depth.belowTransducer                              "$IIDBT"
//              environment.depth.belowKeel                                    "$IIDPT"
//              environment.wind.angleApparent / speedApparent                 "$IIMWV" (R)
//              environment.wind.angleTrueWater / speedTrue                    "$IIMWV" (T)
//              navigation.headingTrue                                          "$IIHDT"
//              navigation.headingMagnetic (+ magneticVariation)               "$IIHDG"
//   vessels with an MMSI: a position report ("!AIVDM" type 1 for class A, 18 for class B) when
//              their position or motion changes, and their static data (type 5, or type 24
//              parts A and B) when name, call sign, type or dimensions change.
//
// Signal K speaks SI units (metres, m/s, radians); the sentences carry knots and degrees. The
// stream is read message by message (one WebSocket text frame each); a message that is not JSON
// or not a delta is passed over. Nothing here knows about sockets: the transport lives in the
// platform layer (platform/qt/QtSerialPort.cpp).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace kv {

// The stream's path on the server; "subscribe=none" so that only what is asked for comes.
inline constexpr std::string_view kSignalKStreamPath = "/signalk/v1/stream?subscribe=none";
// Vessels followed at once; deltas of further vessels are passed over.
inline constexpr std::size_t kSignalKVesselLimit = 500;

class SignalKStream {
public:
    // The subscription sent once connected: own ship's navigation and environment, and every
    // other vessel.
    static std::string subscribeMessage();

    // One message of the stream; the sentences it gives, each ending in CR LF.
    std::string take(std::string_view message);
    // A new connection: the server's greeting will say again which vessel is own ship.
    void reset();

    const std::string& self() const { return self_; }
    std::size_t vessels() const { return vessels_.size(); }
    std::uint64_t deltas() const { return deltas_; }

private:
    struct Own {
        double lat = 0, lon = 0;
        bool hasPosition = false;
        double sog = -1, cog = -1; // m/s, radians; -1 not known
        double variation = 0; // radians, east positive
        bool hasVariation = false;
        double depthTransducer = -1, depthKeel = -1;
        // A server sends angle and speed in deltas of their own: a wind sentence needs both.
        double awa = 0, aws = -1, twa = 0, tws = -1;
        bool hasAwa = false, hasTwa = false;
        int satellites = -1;
    };
    struct Vessel {
        std::uint32_t mmsi = 0;
        char cls = 'A';
        double lat = 0, lon = 0;
        bool hasPosition = false;
        double sog = -1, cog = -1, heading = -1; // m/s, radians; -1 not known
        int navStatus = 15;
        std::string name, callSign, destination;
        std::uint32_t imo = 0;
        double draught = -1; // metres
        int shipType = 0;
        double length = -1, beam = -1, fromBow = -1, fromCenter = 0;
        bool hasFromCenter = false;
    };

    std::string ownSentences(const Own& before, const std::string& time, bool position, bool wind, bool windTrue);
    std::string vesselSentences(const Vessel& v, bool motion, bool statics);

    std::string self_;
    Own own_;
    std::map<std::uint32_t, Vessel> vessels_;
    std::uint64_t deltas_ = 0;
    unsigned seq_ = 0; // sequential message identifier of multi-sentence AIS messages
};

} // namespace kv
