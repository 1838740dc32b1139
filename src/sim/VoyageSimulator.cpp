#include "sim/VoyageSimulator.h"

#include "ais/AisEncoder.h"
#include "nmea/Templates.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kv {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetresPerDegree = 1852.0 * 60.0;
constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

double Rad(double deg)
{
    return deg * kPi / 180.0;
}
double Deg(double rad)
{
    return rad * 180.0 / kPi;
}

double Wrap360(double deg)
{
    deg = std::fmod(deg, 360.0);
    return deg < 0.0 ? deg + 360.0 : deg;
}

// -180 … 180
double Wrap180(double deg)
{
    deg = Wrap360(deg);
    return deg > 180.0 ? deg - 360.0 : deg;
}

std::uint64_t SplitMix(std::uint64_t& x)
{
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t Rotl(std::uint64_t x, int k)
{
    return (x << k) | (x >> (64 - k));
}

// "ddmm.mmmm,N" / "dddmm.mmmm,W" from degrees, rounded to the 1/10000 minute first so that the
// minutes never read 60.
std::string NmeaAngle(double deg, int degreeDigits, char positive, char negative)
{
    const long long units = std::llround(std::fabs(deg) * 600000.0);
    const long long whole = units / 600000;
    const long long minutes = units % 600000;
    char text[40];
    std::snprintf(text, sizeof text, "%0*lld%02lld.%04lld,%c", degreeDigits, whole, minutes / 10000, minutes % 10000,
        deg < 0.0 ? negative : positive);
    return text;
}

std::string WithChecksum(const std::string& body)
{
    return body + NMEAChecksum(body);
}

std::string Fixed1(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

long long AisAngle(double deg)
{
    return std::llround(deg * 600000.0);
}

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month, day;
};

CivilDate CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return { static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d };
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// Names and particulars of the traffic.
struct ShipKind {
    const char* name;
    const char* destination;
    int shipType;
    int length, beam;
    double minKnots, maxKnots;
};

constexpr ShipKind kShips[] = {
    { "SOLENT STAR", "SOUTHAMPTON", 70, 180, 28, 10, 14 },
    { "RED FALCON", "EAST COWES", 60, 93, 17, 11, 13 },
    { "WIGHT SKY", "YARMOUTH IOW", 60, 65, 17, 9, 11 },
    { "NORMANDIE TRADER", "LE HAVRE", 70, 150, 23, 12, 15 },
    { "FAWLEY SPIRIT", "FAWLEY", 80, 120, 20, 9, 12 },
    { "SAINT CLAIR", "PORTSMOUTH", 60, 160, 27, 14, 19 },
    { "HAMBLE PRIDE", "HAMBLE", 52, 30, 10, 8, 10 },
    { "ATLANTIC ROSE", "SOUTHAMPTON", 70, 290, 40, 12, 16 },
};

constexpr const char* kYachts[]
    = { "BLUE MOON", "SEA WITCH", "KESTREL", "HALCYON DAYS", "WILD GOOSE", "ARIEL", "MORNING STAR", "FAIR WIND" };

constexpr std::uint32_t kCountryCodes[] = { 232, 235, 244, 211, 227, 538 };

std::string CallSign(SimRandom& random, bool british)
{
    std::string text = british ? "M" : std::string(1, static_cast<char>('A' + random.uniformInt(0, 25)));
    text += static_cast<char>('A' + random.uniformInt(0, 25));
    for (int i = 0; i < 4; ++i) {
        text += static_cast<char>('0' + random.uniformInt(0, 9));
    }
    return text;
}

} // namespace

SimRandom::SimRandom(std::uint64_t seed)
{
    std::uint64_t x = seed;
    for (auto& s : s_) {
        s = SplitMix(x);
    }
}

std::uint64_t SimRandom::next()
{
    // xoshiro256**
    const std::uint64_t result = Rotl(s_[1] * 5, 7) * 9;
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = Rotl(s_[3], 45);
    return result;
}

double SimRandom::uniform()
{
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

double SimRandom::uniform(double lo, double hi)
{
    return lo + (hi - lo) * uniform();
}

int SimRandom::uniformInt(int lo, int hi)
{
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(next() % span);
}

double SimRandom::normal()
{
    // Box-Muller; the second deviate is thrown away to keep the generator state simple.
    const double u1 = 1.0 - uniform(); // (0, 1]
    const double u2 = uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
}

double SimWander::step(SimRandom& random)
{
    const double a = tau_ > 0.0 ? std::exp(-1.0 / tau_) : 0.0;
    value_ = a * value_ + sigma_ * std::sqrt(1.0 - a * a) * random.normal();
    return value_;
}

SimPosition MoveBy(SimPosition from, double bearingDeg, double metres)
{
    const double north = metres * std::cos(Rad(bearingDeg));
    const double east = metres * std::sin(Rad(bearingDeg));
    const double lat = from.lat + north / kMetresPerDegree;
    const double midLat = (from.lat + lat) / 2.0;
    return { lat, from.lon + east / (kMetresPerDegree * std::cos(Rad(midLat))) };
}

double DistanceMetres(SimPosition a, SimPosition b)
{
    const double north = (b.lat - a.lat) * kMetresPerDegree;
    const double east = (b.lon - a.lon) * kMetresPerDegree * std::cos(Rad((a.lat + b.lat) / 2.0));
    return std::hypot(north, east);
}

double BearingDeg(SimPosition from, SimPosition to)
{
    const double north = to.lat - from.lat;
    const double east = (to.lon - from.lon) * std::cos(Rad((from.lat + to.lat) / 2.0));
    return Wrap360(Deg(std::atan2(east, north)));
}

double CrossTrackMetres(SimPosition a, SimPosition b, SimPosition p)
{
    const double legLength = DistanceMetres(a, b);
    if (legLength <= 0.0) {
        return 0.0;
    }
    const double toP = DistanceMetres(a, p);
    return toP * std::sin(Rad(BearingDeg(a, p) - BearingDeg(a, b)));
}

std::string NmeaUtcTime(std::int64_t utc)
{
    const std::int64_t second = utc - FloorDiv(utc, 86400) * 86400;
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d.00", static_cast<int>(second / 3600),
        static_cast<int>(second / 60 % 60), static_cast<int>(second % 60));
    return text;
}

std::string NmeaUtcDate(std::int64_t utc)
{
    const CivilDate date = CivilFromDays(FloorDiv(utc, 86400));
    char text[16];
    std::snprintf(text, sizeof text, "%02u%02u%02d", date.day, date.month, static_cast<int>(date.year % 100));
    return text;
}

std::int64_t ParseUtcTime(const std::string& text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char sep = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &y, &mo, &d, &sep, &h, &mi, &s, &used) != 7) {
        return -1;
    }
    const std::string rest = text.substr(static_cast<std::size_t>(used));
    if ((sep != 'T' && sep != ' ') || !(rest.empty() || rest == "Z") || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23
        || mi > 59 || s > 59 || h < 0 || mi < 0 || s < 0 || y < 1970) {
        return -1;
    }
    const CivilDate check = CivilFromDays(DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)));
    if (check.day != static_cast<unsigned>(d)) {
        return -1; // 31 April and the like
    }
    const std::int64_t days = DaysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d));
    return days * 86400 + std::int64_t { h } * 3600 + std::int64_t { mi } * 60 + s;
}

VoyageSimulator::VoyageSimulator(const VoyageOptions& options)
    : options_(options)
    , random_(options.seed)
    , heading_(options.headingWanderDeg, 20.0)
    , speed_(options.speedWanderKnots, 60.0)
    , noiseNorth_(options.positionNoiseM, 30.0)
    , noiseEast_(options.positionNoiseM, 30.0)
{
    if (options_.route.size() >= 2) {
        track_ = options_.route;
    } else {
        // A long straight line on the course: far enough for a day's run.
        track_ = { options_.start, MoveBy(options_.start, options_.courseDeg, 200.0 * 1852.0) };
    }
    trackAlong_.push_back(0.0);
    for (std::size_t i = 1; i < track_.size(); ++i) {
        trackAlong_.push_back(trackAlong_.back() + DistanceMetres(track_[i - 1], track_[i]));
    }
    own_ = track_.front();
    reported_ = own_;
    ownHeading_ = BearingDeg(track_[0], track_[1]);
    ownCog_ = ownHeading_;
    ownSog_ = options_.speedKnots;
    makeTargets();
}

void VoyageSimulator::makeTargets()
{
    const double length = trackAlong_.back();
    for (int i = 0; i < options_.targets; ++i) {
        SimTarget t;
        // Three stations in five are ships, the others yachts.
        t.classA = i % 5 != 2 && i % 5 != 4;
        const std::uint32_t country = kCountryCodes[random_.uniformInt(0, t.classA ? 5 : 1)];
        t.mmsi = country * 1000000u + static_cast<std::uint32_t>(random_.uniformInt(0, 999999));
        t.callSign = CallSign(random_, country == 232 || country == 235);
        t.direction = random_.uniformInt(0, 1) == 0 ? 1 : -1;
        if (t.classA) {
            const ShipKind& kind = kShips[static_cast<std::size_t>(i) % std::size(kShips)];
            t.name = kind.name;
            t.destination = kind.destination;
            t.shipType = kind.shipType;
            t.dimA = kind.length * 2 / 3;
            t.dimB = kind.length - t.dimA;
            t.dimC = kind.beam / 2;
            t.dimD = kind.beam - t.dimC;
            t.speedKnots = random_.uniform(kind.minKnots, kind.maxKnots);
            // Ships keep to the starboard side of the fairway, spread over the first miles ahead
            // of own ship: those coming the other way pass, the faster ones going the same way
            // draw ahead.
            t.offsetM = random_.uniform(80.0, 250.0);
            t.along = random_.uniform(0.8, 6.0) * 1852.0;
            t.phase = random_.uniformInt(0, 9);
        } else {
            t.name = kYachts[static_cast<std::size_t>(i) % std::size(kYachts)];
            t.shipType = random_.uniformInt(0, 1) == 0 ? 36 : 37; // sailing, pleasure craft
            t.dimA = random_.uniformInt(6, 10);
            t.dimB = random_.uniformInt(1, 3);
            t.dimC = 2;
            t.dimD = 2;
            t.speedKnots = random_.uniform(4.0, 7.0);
            t.offsetM = random_.uniform(-350.0, 350.0);
            t.along = random_.uniform(0.3, 4.0) * 1852.0;
            t.phase = random_.uniformInt(0, 29);
        }
        t.along = std::clamp(t.along, 0.0, length);
        double bearing = 0.0;
        t.position = trackPoint(t.along, t.offsetM * t.direction, &bearing);
        t.cogDeg = Wrap360(bearing + (t.direction < 0 ? 180.0 : 0.0));
        targets_.push_back(std::move(t));
    }
}

SimPosition VoyageSimulator::trackPoint(double along, double offsetM, double* bearingDeg) const
{
    std::size_t i = 1;
    while (i + 1 < track_.size() && trackAlong_[i] < along) {
        ++i;
    }
    const double legStart = trackAlong_[i - 1];
    const double legLength = trackAlong_[i] - legStart;
    const double bearing = BearingDeg(track_[i - 1], track_[i]);
    const double into = std::clamp(along - legStart, 0.0, legLength);
    *bearingDeg = bearing;
    return MoveBy(MoveBy(track_[i - 1], bearing, into), bearing + 90.0, offsetM);
}

void VoyageSimulator::moveOwnShip()
{
    if (arrived_) {
        ownSog_ = 0.0;
        return;
    }
    const SimPosition a = track_[leg_ - 1];
    const SimPosition b = track_[leg_];
    // Steer for the leg, coming back to it when set off: a degree for every two metres off,
    // at most 20, and the helm's own wander on top; turns at most 6 degrees a second.
    const double xte = CrossTrackMetres(a, b, own_);
    const double wanted = BearingDeg(a, b) - std::clamp(xte * 0.5, -20.0, 20.0) + heading_.step(random_);
    ownHeading_ = Wrap360(ownHeading_ + std::clamp(Wrap180(wanted - ownHeading_), -6.0, 6.0));
    ownSog_ = std::max(0.0, options_.speedKnots + speed_.step(random_));
    const double metres = ownSog_ * kMetresPerSecondPerKnot;
    const SimPosition before = own_;
    own_ = MoveBy(own_, ownHeading_, metres);
    if (metres > 0.0) {
        ownCog_ = BearingDeg(before, own_);
    }
    // The waypoint is reached when it is abeam or within a boat's length or two.
    const double legBearing = BearingDeg(a, b);
    const double ahead = DistanceMetres(own_, b) * std::cos(Rad(BearingDeg(own_, b) - legBearing));
    if (ahead <= 0.0 || DistanceMetres(own_, b) < std::max(15.0, metres)) {
        ++leg_;
        if (leg_ >= track_.size()) {
            leg_ = track_.size() - 1;
            arrived_ = true;
        }
    }
}

void VoyageSimulator::moveTarget(SimTarget& t)
{
    const double length = trackAlong_.back();
    t.along += t.direction * t.speedKnots * kMetresPerSecondPerKnot;
    // At either end of the track it turns about and comes back on the other side.
    if (t.along > length) {
        t.along = 2.0 * length - t.along;
        t.direction = -1;
    } else if (t.along < 0.0) {
        t.along = -t.along;
        t.direction = 1;
    }
    double bearing = 0.0;
    t.position = trackPoint(t.along, t.offsetM * t.direction, &bearing);
    t.cogDeg = Wrap360(bearing + (t.direction < 0 ? 180.0 : 0.0));
}

void VoyageSimulator::ownSentences(std::vector<std::string>& out) const
{
    const std::int64_t utc = options_.startUtc + elapsed_;
    const std::string time = NmeaUtcTime(utc);
    const std::string lat = NmeaAngle(reported_.lat, 2, 'N', 'S');
    const std::string lon = NmeaAngle(reported_.lon, 3, 'E', 'W');
    const std::string sog = Fixed1(ownSog_);
    const double roundedCog = std::round(Wrap360(ownCog_) * 10.0) / 10.0;
    const std::string cog = Fixed1(roundedCog >= 360.0 ? 0.0 : roundedCog);
    out.push_back(WithChecksum("$GPGGA," + time + "," + lat + "," + lon + ",1,09,0.9,2.5,M,47.0,M,,"));
    out.push_back(WithChecksum(
        "$GPRMC," + time + ",A," + lat + "," + lon + "," + sog + "," + cog + "," + NmeaUtcDate(utc) + ",,,A"));
    out.push_back(WithChecksum("$GPVTG," + cog + ",T,,M," + sog + ",N," + Fixed1(ownSog_ * 1.852) + ",K,A"));
    instrumentSentences(out);
}

void VoyageSimulator::instrumentSentences(std::vector<std::string>& out) const
{
    // The echo sounder and the wind instrument. Smooth functions of the elapsed time rather than
    // draws of the generator, so that the voyage itself (positions and AIS traffic) is the same
    // with them as without: the depth swells between 6 and 20 metres, a south-westerly of 12 to
    // 16 knots veers and backs a little, and the apparent wind is made from it and own motion.
    const double t = static_cast<double>(elapsed_);
    const double depth = 13.0 + 7.0 * std::sin(t / 97.0) * std::cos(t / 331.0);
    out.push_back(WithChecksum(
        "$SDDBT," + Fixed1(depth / 0.3048) + ",f," + Fixed1(depth) + ",M," + Fixed1(depth / 1.8288) + ",F"));
    const double twd = 225.0 + 10.0 * std::sin(t / 211.0); // the direction it blows from
    const double tws = 14.0 + 2.0 * std::sin(t / 67.0);
    const double twa = Wrap360(twd - ownHeading_);
    // Wind felt aboard: the true wind plus the wind of the boat's own speed from dead ahead.
    const double along = tws * std::cos(Rad(twa)) + ownSog_;
    const double across = tws * std::sin(Rad(twa));
    const double aws = std::hypot(along, across);
    const double awa = Wrap360(Deg(std::atan2(across, along)));
    out.push_back(WithChecksum("$WIMWV," + Fixed1(awa >= 359.95 ? 0.0 : awa) + ",R," + Fixed1(aws) + ",N,A"));
    out.push_back(WithChecksum("$WIMWV," + Fixed1(twa >= 359.95 ? 0.0 : twa) + ",T," + Fixed1(tws) + ",N,A"));
    const double heading = std::round(Wrap360(ownHeading_) * 10.0) / 10.0;
    out.push_back(WithChecksum("$HEHDT," + Fixed1(heading >= 360.0 ? 0.0 : heading) + ",T"));
}

void VoyageSimulator::aisSentences(SimTarget& t, std::vector<std::string>& out)
{
    const std::int64_t utc = options_.startUtc + elapsed_;
    // Static data at the first report and every six minutes.
    const bool staticDue = t.reports % (t.classA ? 36 : 12) == 0;
    const std::string channel(1, channel_++ % 2 == 0 ? 'A' : 'B');
    const int heading = static_cast<int>(std::lround(t.cogDeg)) % 360;
    AisBitWriter w;
    if (t.classA) {
        w.put(t.reports % 3 == 2 ? 3 : 1, 6); // scheduled (1) and, now and then, interrogated (3) reports
        w.put(0, 2);
        w.put(t.mmsi, 30);
        w.put(0, 4); // under way using engine
        w.put(0, 8); // not turning
        w.put(std::lround(t.speedKnots * 10.0), 10);
        w.put(1, 1);
        w.put(AisAngle(t.position.lon), 28);
        w.put(AisAngle(t.position.lat), 27);
        w.put(std::lround(t.cogDeg * 10.0) % 3600, 12);
        w.put(heading, 9);
        w.put(utc % 60, 6);
        w.put(0, 4);
        w.put(0, 1);
        w.put(0, 1);
        w.put(0, 19);
    } else {
        w.put(18, 6);
        w.put(0, 2);
        w.put(t.mmsi, 30);
        w.put(0, 8);
        w.put(std::lround(t.speedKnots * 10.0), 10);
        w.put(1, 1);
        w.put(AisAngle(t.position.lon), 28);
        w.put(AisAngle(t.position.lat), 27);
        w.put(std::lround(t.cogDeg * 10.0) % 3600, 12);
        w.put(511, 9); // yachts seldom give a heading
        w.put(utc % 60, 6);
        w.put(0, 2);
        for (int flag :
            { 1, 0, 1, 1, 1, 0, 0 }) { // CS unit, no display, DSC, whole band, message 22, autonomous, no RAIM
            w.put(flag, 1);
        }
        w.put(0b11000000000000000110, 20); // the fixed commstate of a CS unit
    }
    int fill = 0;
    std::string payload = w.armoured(&fill);
    for (auto& s : AisSentences(payload, fill, "", channel[0])) {
        out.push_back(std::move(s));
    }
    if (staticDue) {
        if (t.classA) {
            const CivilDate date = CivilFromDays(FloorDiv(utc, 86400) + 1);
            AisBitWriter s;
            s.put(5, 6);
            s.put(0, 2);
            s.put(t.mmsi, 30);
            s.put(0, 2);
            s.put(9000000 + t.mmsi % 1000000, 30);
            s.putText(t.callSign, 7);
            s.putText(t.name, 20);
            s.put(t.shipType, 8);
            s.put(t.dimA, 9);
            s.put(t.dimB, 9);
            s.put(t.dimC, 6);
            s.put(t.dimD, 6);
            s.put(1, 4); // GPS
            s.put((static_cast<long long>(date.month) << 16) | (date.day << 11) | (8 << 6), 20);
            s.put(std::clamp(t.dimC + t.dimD, 20, 120) / 3, 8); // a draught in decimetres to suit the beam
            s.putText(t.destination, 20);
            s.put(0, 1);
            s.put(0, 1);
            payload = s.armoured(&fill);
            const std::string seqId(1, static_cast<char>('0' + sequence_));
            sequence_ = (sequence_ + 1) % 10;
            for (auto& line : AisSentences(payload, fill, seqId, channel[0])) {
                out.push_back(std::move(line));
            }
        } else {
            AisBitWriter a;
            a.put(24, 6);
            a.put(0, 2);
            a.put(t.mmsi, 30);
            a.put(0, 2);
            a.putText(t.name, 20);
            a.put(0, 8);
            payload = a.armoured(&fill);
            out.push_back(AisSentences(payload, fill, "", channel[0]).front());
            AisBitWriter b;
            b.put(24, 6);
            b.put(0, 2);
            b.put(t.mmsi, 30);
            b.put(1, 2);
            b.put(t.shipType, 8);
            b.putText("SIM", 3); // vendor; model and serial number left 0
            b.put(0, 24);
            b.putText(t.callSign, 7);
            b.put(t.dimA, 9);
            b.put(t.dimB, 9);
            b.put(t.dimC, 6);
            b.put(t.dimD, 6);
            b.put(0, 6);
            payload = b.armoured(&fill);
            out.push_back(AisSentences(payload, fill, "", channel[0]).front());
        }
    }
    ++t.reports;
}

std::vector<std::string> VoyageSimulator::step()
{
    std::vector<std::string> out;
    if (elapsed_ > 0) {
        moveOwnShip();
        for (SimTarget& t : targets_) {
            moveTarget(t);
        }
    }
    const double north = noiseNorth_.step(random_);
    const double east = noiseEast_.step(random_);
    reported_ = MoveBy(MoveBy(own_, 0.0, north), 90.0, east);
    ownSentences(out);
    for (SimTarget& t : targets_) {
        // Ships report every ten seconds under way, yachts every thirty.
        const int period = t.classA ? 10 : 30;
        if ((elapsed_ + t.phase) % period == 0) {
            aisSentences(t, out);
        }
    }
    ++elapsed_;
    return out;
}

} // namespace kv
