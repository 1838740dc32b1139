#include "core/SignalKStream.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace kv {

namespace {

constexpr double kKnotsPerMs = 3600.0 / 1852.0;
constexpr double kDegPerRad = 180.0 / std::numbers::pi;

std::string Checksummed(std::string body)
{
    unsigned char x = 0;
    for (std::size_t i = 1; i < body.size(); ++i) {
        x ^= static_cast<unsigned char>(body[i]);
    }
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", x);
    return body + tail;
}

std::string Fixed(double v, int decimals)
{
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

double Degrees0To360(double radians)
{
    double d = std::fmod(radians * kDegPerRad, 360.0);
    if (d < 0) {
        d += 360.0;
    }
    return d >= 359.95 ? 0.0 : d;
}

// "ddmm.mmmm,N" / "dddmm.mmmm,E" of a latitude or longitude (east positive).
std::string NmeaAngle(double value, int degreeDigits, char positive, char negative)
{
    const double a = std::fabs(value);
    int deg = static_cast<int>(a);
    double min = (a - deg) * 60.0;
    if (min >= 59.999995) { // would print as 60.0000
        ++deg;
        min = 0;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*d%07.4f,%c", degreeDigits, deg, min, value < 0 ? negative : positive);
    return buf;
}

// The fields of a Signal K timestamp "2026-12-09T14:48:43.123Z": "hhmmss.ss" and "ddmmyy".
struct NmeaTime {
    std::string time, date;
};

NmeaTime TimeOf(const QString& iso)
{
    QDateTime t = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!t.isValid()) {
        t = QDateTime::fromString(iso, Qt::ISODate);
    }
    if (!t.isValid()) {
        t = QDateTime::currentDateTimeUtc();
    }
    t = t.toUTC();
    NmeaTime r;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d%02d%02d.%02d", t.time().hour(), t.time().minute(), t.time().second(),
        t.time().msec() / 10);
    r.time = buf;
    std::snprintf(buf, sizeof buf, "%02d%02d%02d", t.date().day(), t.date().month(), t.date().year() % 100);
    r.date = buf;
    return r;
}

// AIS payload bits, most significant first.
class Bits {
public:
    void put(std::int64_t value, int width)
    {
        for (int i = width - 1; i >= 0; --i) {
            bits_.push_back(static_cast<std::uint8_t>((static_cast<std::uint64_t>(value) >> i) & 1U));
        }
    }
    void text(const std::string& s, int chars)
    {
        for (int i = 0; i < chars; ++i) {
            unsigned c
                = i < static_cast<int>(s.size()) ? static_cast<unsigned char>(s[static_cast<std::size_t>(i)]) : '@';
            if (c >= 'a' && c <= 'z') {
                c -= 32;
            }
            unsigned v = 0;
            if (c >= 64 && c <= 95) {
                v = c - 64;
            } else if (c >= 32 && c <= 63) {
                v = c;
            } else {
                v = 32; // a character AIS cannot carry becomes a space
            }
            put(v, 6);
        }
    }
    // The armoured payload and its fill bits.
    std::string armoured(int& fill) const
    {
        std::string out;
        fill = static_cast<int>((6 - bits_.size() % 6) % 6);
        for (std::size_t i = 0; i < bits_.size(); i += 6) {
            unsigned v = 0;
            for (std::size_t k = 0; k < 6; ++k) {
                v = (v << 1) | (i + k < bits_.size() ? bits_[i + k] : 0U);
            }
            out += static_cast<char>(v < 40 ? v + 48 : v + 56);
        }
        return out;
    }

private:
    std::vector<std::uint8_t> bits_;
};

std::string AisLines(const Bits& bits, unsigned& seq)
{
    int fill = 0;
    const std::string payload = bits.armoured(fill);
    constexpr std::size_t kPerSentence = 60;
    const std::size_t parts = (payload.size() + kPerSentence - 1) / kPerSentence;
    const std::string seqId = parts > 1 ? std::to_string(seq++ % 10) : std::string();
    std::string out;
    for (std::size_t i = 0; i < parts; ++i) {
        const bool last = i + 1 == parts;
        out += Checksummed("!AIVDM," + std::to_string(parts) + "," + std::to_string(i + 1) + "," + seqId + ",A,"
            + payload.substr(i * kPerSentence, kPerSentence) + "," + std::to_string(last ? fill : 0));
    }
    return out;
}

int NavStatusOf(const QString& state)
{
    static const std::pair<const char*, int> kStates[] = {
        { "motoring", 0 },
        { "anchored", 1 },
        { "not under command", 2 },
        { "restricted manouverability", 3 },
        { "restricted maneuverability", 3 },
        { "constrained by draft", 4 },
        { "moored", 5 },
        { "aground", 6 },
        { "fishing", 7 },
        { "sailing", 8 },
        { "ais-sart", 14 },
    };
    for (const auto& [name, code] : kStates) {
        if (state.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return code;
        }
    }
    return 15;
}

// The MMSI of a context "vessels.urn:mrn:imo:mmsi:230123456", or 0.
std::uint32_t MmsiOf(const QString& context)
{
    const int at = context.indexOf(QLatin1String("mmsi:"));
    if (at < 0) {
        return 0;
    }
    bool ok = false;
    const qulonglong v = context.mid(at + 5).toULongLong(&ok);
    return ok && v > 0 && v <= 999999999ULL ? static_cast<std::uint32_t>(v) : 0;
}

// A number of the paths followed: SI units and degrees, none of which is anywhere near 1e5 on
// a real boat (depth 11,000 m, speeds of a few hundred m/s, angles in radians). A figure beyond
// that is damage, and would make a sentence longer than a listener takes.
constexpr double kLargestValue = 1e5;

bool Number(const QJsonValue& v, double& out)
{
    if (!v.isDouble() || !std::isfinite(v.toDouble()) || std::fabs(v.toDouble()) > kLargestValue) {
        return false;
    }
    out = v.toDouble();
    return true;
}

} // namespace

std::string SignalKStream::subscribeMessage()
{
    // Own ship's navigation and environment; of the others their navigation, design, AIS data and
    // identity (which a delta carries under the empty path).
    return R"({"context":"vessels.self","subscribe":[{"path":"navigation.*","policy":"instant"},)"
           R"({"path":"environment.*","policy":"instant"}]})"
           "\n"
           R"({"context":"vessels.*","subscribe":[{"path":"*","policy":"instant"}]})";
}

void SignalKStream::reset()
{
    self_.clear();
}

std::string SignalKStream::take(std::string_view message)
{
    QJsonParseError error {};
    const QJsonDocument doc
        = QJsonDocument::fromJson(QByteArray(message.data(), static_cast<qsizetype>(message.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return {};
    }
    const QJsonObject root = doc.object();
    if (root.contains(QLatin1String("self")) && root.value(QLatin1String("self")).isString()) {
        self_ = root.value(QLatin1String("self")).toString().toStdString();
        if (self_.rfind("vessels.", 0) != 0) {
            self_ = "vessels." + self_;
        }
    }
    const QJsonValue updates = root.value(QLatin1String("updates"));
    if (!updates.isArray()) {
        return {};
    }
    ++deltas_;
    const QString context = root.value(QLatin1String("context")).toString();
    const bool own = context.isEmpty() || context == QLatin1String("vessels.self")
        || (!self_.empty() && context.toStdString() == self_);
    std::uint32_t mmsi = 0;
    if (!own) {
        if (!context.startsWith(QLatin1String("vessels."))) {
            return {}; // aids to navigation, aircraft, shore stations: not taken
        }
        mmsi = MmsiOf(context);
        if (mmsi == 0) {
            return {};
        }
        if (!vessels_.contains(mmsi) && vessels_.size() >= kSignalKVesselLimit) {
            return {};
        }
    }
    std::string out;
    for (const auto& u : updates.toArray()) {
        const QJsonObject update = u.toObject();
        const QJsonArray values = update.value(QLatin1String("values")).toArray();
        if (own) {
            const Own before = own_;
            bool position = false, wind = false, windTrue = false;
            std::string instruments;
            for (const auto& item : values) {
                const QJsonObject pv = item.toObject();
                const QString path = pv.value(QLatin1String("path")).toString();
                const QJsonValue value = pv.value(QLatin1String("value"));
                double x = 0;
                if (path == QLatin1String("navigation.position") && value.isObject()) {
                    double lat = 0, lon = 0;
                    if (Number(value[QLatin1String("latitude")], lat) && Number(value[QLatin1String("longitude")], lon)
                        && std::fabs(lat) <= 90 && std::fabs(lon) <= 180) {
                        own_.lat = lat;
                        own_.lon = lon;
                        own_.hasPosition = true;
                        position = true;
                    }
                } else if (path == QLatin1String("navigation.speedOverGround") && Number(value, x)) {
                    own_.sog = std::max(x, 0.0);
                } else if (path == QLatin1String("navigation.courseOverGroundTrue") && Number(value, x)) {
                    own_.cog = x;
                } else if (path == QLatin1String("navigation.magneticVariation") && Number(value, x)) {
                    own_.variation = x;
                    own_.hasVariation = true;
                } else if (path == QLatin1String("navigation.gnss.satellites") && Number(value, x)) {
                    own_.satellites = static_cast<int>(x);
                } else if (path == QLatin1String("navigation.headingTrue") && Number(value, x)) {
                    instruments += Checksummed("$IIHDT," + Fixed(Degrees0To360(x), 1) + ",T");
                } else if (path == QLatin1String("navigation.headingMagnetic") && Number(value, x)) {
                    std::string var = ",";
                    if (own_.hasVariation) {
                        var = Fixed(std::fabs(own_.variation * kDegPerRad), 1) + (own_.variation < 0 ? ",W" : ",E");
                    }
                    instruments += Checksummed("$IIHDG," + Fixed(Degrees0To360(x), 1) + ",,," + var);
                } else if (path == QLatin1String("environment.depth.belowTransducer") && Number(value, x) && x >= 0) {
                    own_.depthTransducer = x;
                    instruments += Checksummed(
                        "$IIDBT," + Fixed(x / 0.3048, 1) + ",f," + Fixed(x, 1) + ",M," + Fixed(x / 1.8288, 1) + ",F");
                } else if (path == QLatin1String("environment.depth.belowKeel") && Number(value, x) && x >= 0) {
                    own_.depthKeel = x;
                    // Depth below the transducer and the transducer's offset, negative down to the
                    // keel; without the transducer depth the keel depth stands alone.
                    const bool both = own_.depthTransducer >= 0;
                    const double depth = both ? own_.depthTransducer : x;
                    const double offset = both ? x - own_.depthTransducer : 0.0;
                    instruments += Checksummed("$IIDPT," + Fixed(depth, 1) + "," + Fixed(offset, 1));
                } else if (path == QLatin1String("environment.wind.angleApparent") && Number(value, x)) {
                    own_.awa = x;
                    own_.hasAwa = true;
                    wind = true;
                } else if (path == QLatin1String("environment.wind.speedApparent") && Number(value, x)) {
                    own_.aws = std::max(x, 0.0);
                    wind = true;
                } else if ((path == QLatin1String("environment.wind.angleTrueWater")) && Number(value, x)) {
                    own_.twa = x;
                    own_.hasTwa = true;
                    windTrue = true;
                } else if (path == QLatin1String("environment.wind.speedTrue") && Number(value, x)) {
                    own_.tws = std::max(x, 0.0);
                    windTrue = true;
                }
            }
            out += ownSentences(
                before, update.value(QLatin1String("timestamp")).toString().toStdString(), position, wind, windTrue);
            out += instruments;
            continue;
        }
        Vessel& v = vessels_[mmsi];
        v.mmsi = mmsi;
        bool motion = false, statics = false;
        for (const auto& item : values) {
            const QJsonObject pv = item.toObject();
            const QString path = pv.value(QLatin1String("path")).toString();
            const QJsonValue value = pv.value(QLatin1String("value"));
            double x = 0;
            if (path.isEmpty() && value.isObject()) {
                const QJsonObject o = value.toObject();
                if (o.value(QLatin1String("name")).isString()) {
                    v.name = o.value(QLatin1String("name")).toString().toStdString();
                    statics = true;
                }
            } else if (path == QLatin1String("name") && value.isString()) {
                v.name = value.toString().toStdString();
                statics = true;
            } else if (path == QLatin1String("navigation.position") && value.isObject()) {
                double lat = 0, lon = 0;
                if (Number(value[QLatin1String("latitude")], lat) && Number(value[QLatin1String("longitude")], lon)
                    && std::fabs(lat) <= 90 && std::fabs(lon) <= 180) {
                    v.lat = lat;
                    v.lon = lon;
                    v.hasPosition = true;
                    motion = true;
                }
            } else if (path == QLatin1String("navigation.speedOverGround") && Number(value, x)) {
                v.sog = std::max(x, 0.0);
                motion = true;
            } else if (path == QLatin1String("navigation.courseOverGroundTrue") && Number(value, x)) {
                v.cog = x;
                motion = true;
            } else if (path == QLatin1String("navigation.headingTrue") && Number(value, x)) {
                v.heading = x;
                motion = true;
            } else if (path == QLatin1String("navigation.state") && value.isString()) {
                v.navStatus = NavStatusOf(value.toString());
            } else if (path == QLatin1String("sensors.ais.class") && value.isString()) {
                const QString c = value.toString();
                v.cls = c.startsWith(QLatin1Char('B')) ? 'B' : 'A';
            } else if (path == QLatin1String("communication.callsignVhf") && value.isString()) {
                v.callSign = value.toString().toStdString();
                statics = true;
            } else if (path == QLatin1String("design.aisShipType") && value.isObject()) {
                v.shipType = value[QLatin1String("id")].toInt();
                statics = true;
            } else if (path == QLatin1String("design.length") && value.isObject()
                && Number(value[QLatin1String("overall")], x)) {
                v.length = x;
                statics = true;
            } else if (path == QLatin1String("navigation.destination.commonName") && value.isString()) {
                v.destination = value.toString().toStdString();
                statics = true;
            } else if (path == QLatin1String("design.draft") && value.isObject()
                && Number(value[QLatin1String("current")], x)) {
                v.draught = x;
                statics = true;
            } else if (path == QLatin1String("registrations.imo") && value.isString()) {
                // "IMO 9540522"
                bool ok = false;
                const uint imo = value.toString().remove(QLatin1String("IMO")).trimmed().toUInt(&ok);
                v.imo = ok && imo < (1U << 30) ? imo : 0;
                statics = true;
            } else if (path == QLatin1String("design.beam") && Number(value, x)) {
                v.beam = x;
                statics = true;
            } else if (path == QLatin1String("sensors.ais.fromBow") && Number(value, x)) {
                v.fromBow = x;
                statics = true;
            } else if (path == QLatin1String("sensors.ais.fromCenter") && Number(value, x)) {
                v.fromCenter = x;
                v.hasFromCenter = true;
                statics = true;
            }
        }
        out += vesselSentences(v, motion && v.hasPosition, statics);
    }
    return out;
}

std::string SignalKStream::ownSentences(
    const Own& /*before*/, const std::string& time, bool position, bool wind, bool windTrue)
{
    std::string out;
    if (position && own_.hasPosition) {
        const NmeaTime t = TimeOf(QString::fromStdString(time));
        const std::string lat = NmeaAngle(own_.lat, 2, 'N', 'S');
        const std::string lon = NmeaAngle(own_.lon, 3, 'E', 'W');
        const std::string sog = own_.sog >= 0 ? Fixed(own_.sog * kKnotsPerMs, 2) : std::string();
        const std::string cog = own_.cog >= 0 ? Fixed(Degrees0To360(own_.cog), 1) : std::string();
        std::string var = ",";
        if (own_.hasVariation) {
            var = Fixed(std::fabs(own_.variation * kDegPerRad), 1) + (own_.variation < 0 ? ",W" : ",E");
        }
        out += Checksummed(
            "$GPRMC," + t.time + ",A," + lat + "," + lon + "," + sog + "," + cog + "," + t.date + "," + var + ",A");
        const std::string sats = own_.satellites >= 0
            ? (own_.satellites < 10 ? "0" : "") + std::to_string(own_.satellites)
            : std::string();
        out += Checksummed("$GPGGA," + t.time + "," + lat + "," + lon + ",1," + sats + ",,,M,,M,,");
    }
    if (wind && own_.aws >= 0 && own_.hasAwa) {
        out += Checksummed(
            "$IIMWV," + Fixed(Degrees0To360(own_.awa), 1) + ",R," + Fixed(own_.aws * kKnotsPerMs, 1) + ",N,A");
    }
    if (windTrue && own_.tws >= 0 && own_.hasTwa) {
        out += Checksummed(
            "$IIMWV," + Fixed(Degrees0To360(own_.twa), 1) + ",T," + Fixed(own_.tws * kKnotsPerMs, 1) + ",N,A");
    }
    return out;
}

std::string SignalKStream::vesselSentences(const Vessel& v, bool motion, bool statics)
{
    std::string out;
    const auto sog = [&] { return v.sog < 0 ? 1023 : std::min(1022L, std::lround(v.sog * kKnotsPerMs * 10)); };
    const auto cog = [&] { return v.cog < 0 ? 3600 : std::lround(Degrees0To360(v.cog) * 10) % 3600; };
    const auto heading = [&] { return v.heading < 0 ? 511 : std::lround(Degrees0To360(v.heading)) % 360; };
    const auto lon = std::lround(v.lon * 600000.0);
    const auto lat = std::lround(v.lat * 600000.0);
    if (motion) {
        Bits b;
        if (v.cls == 'B') {
            b.put(18, 6);
            b.put(0, 2);
            b.put(v.mmsi, 30);
            b.put(0, 8);
            b.put(sog(), 10);
            b.put(0, 1);
            b.put(lon, 28);
            b.put(lat, 27);
            b.put(cog(), 12);
            b.put(heading(), 9);
            b.put(60, 6);
            b.put(0, 2);
            b.put(1, 1); // carrier-sense unit
            b.put(0, 5);
            b.put(0, 1);
            b.put(0, 20);
        } else {
            b.put(1, 6);
            b.put(0, 2);
            b.put(v.mmsi, 30);
            b.put(v.navStatus, 4);
            b.put(-128, 8);
            b.put(sog(), 10);
            b.put(0, 1);
            b.put(lon, 28);
            b.put(lat, 27);
            b.put(cog(), 12);
            b.put(heading(), 9);
            b.put(60, 6);
            b.put(0, 2);
            b.put(0, 3);
            b.put(0, 1);
            b.put(0, 19);
        }
        out += AisLines(b, seq_);
    }
    if (statics) {
        // Dimensions from the reference point: Signal K gives the distance from the bow and the
        // offset from the centre line (starboard positive).
        int a = 0, bb = 0, c = 0, d = 0;
        if (v.length > 0) {
            const double bow = v.fromBow >= 0 ? std::min(v.fromBow, v.length) : v.length / 2;
            a = static_cast<int>(std::lround(bow));
            bb = static_cast<int>(std::lround(v.length - bow));
        }
        if (v.beam > 0) {
            const double half = v.beam / 2;
            const double off = v.hasFromCenter ? std::clamp(v.fromCenter, -half, half) : 0.0;
            c = static_cast<int>(std::lround(half + off));
            d = static_cast<int>(std::lround(half - off));
        }
        a = std::min(a, 511);
        bb = std::min(bb, 511);
        c = std::min(c, 63);
        d = std::min(d, 63);
        if (v.cls == 'B') {
            Bits pa;
            pa.put(24, 6);
            pa.put(0, 2);
            pa.put(v.mmsi, 30);
            pa.put(0, 2);
            pa.text(v.name, 20);
            pa.put(0, 8);
            out += AisLines(pa, seq_);
            Bits pb;
            pb.put(24, 6);
            pb.put(0, 2);
            pb.put(v.mmsi, 30);
            pb.put(1, 2);
            pb.put(v.shipType, 8);
            pb.text("", 7);
            pb.text(v.callSign, 7);
            pb.put(a, 9);
            pb.put(bb, 9);
            pb.put(c, 6);
            pb.put(d, 6);
            pb.put(0, 6);
            out += AisLines(pb, seq_);
        } else {
            Bits s;
            s.put(5, 6);
            s.put(0, 2);
            s.put(v.mmsi, 30);
            s.put(0, 2);
            s.put(v.imo, 30);
            s.text(v.callSign, 7);
            s.text(v.name, 20);
            s.put(v.shipType, 8);
            s.put(a, 9);
            s.put(bb, 9);
            s.put(c, 6);
            s.put(d, 6);
            s.put(1, 4);
            s.put(0, 20);
            s.put(v.draught > 0 ? std::min(255L, std::lround(v.draught * 10)) : 0, 8);
            s.text(v.destination, 20);
            s.put(1, 1);
            s.put(0, 1);
            out += AisLines(s, seq_);
        }
    }
    return out;
}

} // namespace kv
