#pragma once
// A voyage at sea as a receiver would report it: own ship following a route (or holding a course)
// with the small wander of a helmsman or autopilot and the position noise of a GPS, reported by
// GGA, RMC and VTG once a second with the depth (DBT), the apparent and true wind (MWV) and the
// heading (HDT), and AIS traffic about it (Class A ships with position and
// static reports, Class B yachts with theirs). Pure: no I/O, no clock; the caller paces the
// seconds. The same options and seed give the same sentences.

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// Degrees, longitude east positive (as the AIS and NMEA hemispheres have it, not the program's
// west-positive chart longitudes).
struct SimPosition {
    double lat = 0.0;
    double lon = 0.0;
};

struct VoyageOptions {
    // Two or more points: own ship starts at the first and follows the legs to the last, where it
    // stops. With fewer, it starts at `start` and holds `courseDeg`.
    std::vector<SimPosition> route;
    SimPosition start;
    double courseDeg = 0.0;
    double speedKnots = 6.0;
    int targets = 0; // AIS targets about own ship
    std::uint64_t seed = 1;
    std::int64_t startUtc = 0; // seconds since 1970-01-01 UTC of the first fix
    // Noise: the GPS position error (metres, one standard deviation per axis, slowly varying),
    // the heading wander (degrees) and the speed wander (knots) of the vessel itself.
    double positionNoiseM = 3.0;
    double headingWanderDeg = 2.0;
    double speedWanderKnots = 0.2;
};

// xoshiro-style generator with its own normal deviates, so that a seed gives the same voyage
// whatever the standard library.
class SimRandom {
public:
    explicit SimRandom(std::uint64_t seed);
    std::uint64_t next();
    double uniform(); // [0, 1)
    double uniform(double lo, double hi); // [lo, hi)
    int uniformInt(int lo, int hi); // lo … hi inclusive
    double normal(); // mean 0, deviation 1

private:
    std::uint64_t s_[4];
};

// A first-order random process: deviation `sigma`, correlation time `tauSeconds`.
class SimWander {
public:
    SimWander(double sigma, double tauSeconds)
        : sigma_(sigma)
        , tau_(tauSeconds)
    {
    }
    double step(SimRandom& random); // one second on
    double value() const { return value_; }

private:
    double sigma_;
    double tau_;
    double value_ = 0.0;
};

// One AIS station about own ship.
struct SimTarget {
    bool classA = true;
    std::uint32_t mmsi = 0;
    std::string name;
    std::string callSign;
    std::string destination;
    int shipType = 0;
    int dimA = 0, dimB = 0, dimC = 0, dimD = 0;
    double speedKnots = 0.0;
    SimPosition position;
    double cogDeg = 0.0;
    // Its track: the own route (or line) followed forwards or backwards with a sideways offset.
    double along = 0.0; // metres along the track
    int direction = 1; // +1 forwards, -1 backwards
    double offsetM = 0.0; // to starboard of the track's direction
    int phase = 0; // second of its report cycle
    int reports = 0;
};

class VoyageSimulator {
public:
    explicit VoyageSimulator(const VoyageOptions& options);

    // The sentences (without line endings) of the next simulated second: own ship's GGA, RMC
    // and VTG, then the AIS reports due in that second.
    std::vector<std::string> step();

    // Seconds simulated so far.
    std::int64_t elapsed() const { return elapsed_; }
    // Own ship has reached the last waypoint and stopped.
    bool arrived() const { return arrived_; }
    // Where own ship really is (no GPS error), its course and speed through the last second.
    SimPosition truePosition() const { return own_; }
    // Where the receiver says it is.
    SimPosition reportedPosition() const { return reported_; }
    const std::vector<SimTarget>& targets() const { return targets_; }
    // The track the targets follow (the route, or own line of advance), and its length.
    const std::vector<SimPosition>& track() const { return track_; }

private:
    void moveOwnShip();
    void moveTarget(SimTarget& t);
    void makeTargets();
    void ownSentences(std::vector<std::string>& out) const;
    void instrumentSentences(std::vector<std::string>& out) const;
    void aisSentences(SimTarget& t, std::vector<std::string>& out);
    SimPosition trackPoint(double along, double offsetM, double* bearingDeg) const;

    VoyageOptions options_;
    SimRandom random_;
    SimWander heading_;
    SimWander speed_;
    SimWander noiseNorth_;
    SimWander noiseEast_;
    std::vector<SimPosition> track_;
    std::vector<double> trackAlong_; // metres from the track's start to each point
    SimPosition own_;
    SimPosition reported_;
    double ownCog_ = 0.0; // degrees true, over the last second
    double ownSog_ = 0.0; // knots
    double ownHeading_ = 0.0;
    std::size_t leg_ = 1; // the waypoint steered for
    bool arrived_ = false;
    std::int64_t elapsed_ = 0;
    std::vector<SimTarget> targets_;
    int sequence_ = 0; // multi-fragment sequence identifier, 0 … 9
    int channel_ = 0;
};

// "hhmmss.00" and "ddmmyy" of a time in seconds since 1970-01-01 UTC.
std::string NmeaUtcTime(std::int64_t utc);
std::string NmeaUtcDate(std::int64_t utc);
// Seconds since 1970-01-01 UTC of "YYYY-MM-DDTHH:MM:SS" (or with a space, or a trailing "Z");
// -1 when the text is no such time.
std::int64_t ParseUtcTime(const std::string& text);

// Plane sailing over short distances: the point `metres` from `from` on `bearingDeg`, and the
// distance (metres) and bearing (degrees true) from one point to another.
SimPosition MoveBy(SimPosition from, double bearingDeg, double metres);
double DistanceMetres(SimPosition a, SimPosition b);
double BearingDeg(SimPosition from, SimPosition to);
// Signed distance (metres, positive to starboard) of p from the line a → b.
double CrossTrackMetres(SimPosition a, SimPosition b, SimPosition p);

} // namespace kv
