#include "ais/AisText.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisSmallCraftTargets.h"
#include "ais/AisTargets.h"
#include "core/Format.h"
#include "core/Paths.h"

#include <cmath>
#include <cstdint>

namespace kv {

namespace {

std::string Two(long v)
{
    return ZeroFill(FormatInt(v, 2));
}

std::string Cleaned(std::string_view text)
{
    return TrimRight(text, " @");
}

bool IsLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int month, int year)
{
    static const int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Degrees and minutes of a position held in 1/10000 minute. Minutes are rounded to thousandths
// before splitting, so a value just under a whole degree never shows as "60.000".
std::string DegreesMinutes(std::int32_t value, int degreeWidth, char positive, char negative)
{
    const long long thousandths = RoundHalfEven(std::fabs(static_cast<double>(value)) / 10.0);
    const long long degrees = thousandths / 60000;
    const double minutes = static_cast<double>(thousandths % 60000) / 1000.0;
    return FormatInt(degrees, degreeWidth) + "\xb0" + FormatFixed(minutes, 0, 3) + " "
        + (value < 0 ? negative : positive);
}

} // namespace

std::string AisNavStatusText(const TAISTarget& t)
{
    switch (t.NavStatus) {
    case 0:
        return t.MsgType == 4 ? "Fixed AIS Base Station" : "Under way using engine";
    case 1:
        return "At Anchor";
    case 2:
        return "Not under command";
    case 3:
        return "Restricted Manoeuvrability";
    case 4:
        return "Constrained by her draught";
    case 5:
        return "Moored";
    case 6:
        return "Aground";
    case 7:
        return "Engaged in fishing";
    case 8:
        return "Under way sailing";
    default:
        return "NavStat Reserved";
    }
}

std::string AisEpfdText(unsigned epfd)
{
    switch (epfd) {
    case 0:
        return "Fix - Undefined";
    case 1:
        return "Fix - GPS";
    case 2:
        return "Fix - GLONASS";
    case 3:
        return "Fix - GPS/GLONASS";
    case 4:
        return "Fix - Loran-C";
    case 5:
        return "Fix - Chayka";
    case 6:
        return "Fix - Int. Nav Sys";
    case 7:
        return "Fix - Surveyed";
    default:
        return "Fix - Not Used";
    }
}

std::string AisEtaText(std::uint32_t eta, int currentYear)
{
    const int month = static_cast<int>((eta >> 16) & 15u);
    const int day = static_cast<int>((eta >> 11) & 31u);
    const int hour = static_cast<int>((eta >> 6) & 31u);
    const int minute = static_cast<int>(eta & 63u);
    std::string text = "ETA - ";
    if (month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(month, currentYear)) {
        text += Two(month) + "/" + Two(day) + " ";
    }
    if (hour < 24 && minute < 60) {
        text += Two(hour) + ":" + Two(minute);
    }
    return text;
}

std::string AisRotText(std::uint8_t rot)
{
    const int r = rot < 128 ? rot : rot - 256; // the byte holds a two's-complement rate
    const double rate = (r / 4.733) * (r / 4.733);
    std::string text = "ROT " + FormatFixed(rate, 0, 1) + (r < 0 ? " \xb0/Min Left" : " \xb0/Min Right");
    if (r == -128) {
        text += "- Not available";
    }
    return text;
}

std::string AisAgeText(double heardDays, double nowDays)
{
    long long ms = std::llround((nowDays - heardDays) * 86400000.0);
    if (ms < 0 || !std::isfinite(nowDays - heardDays)) {
        ms = 0; // the clock went back: show no age rather than a nonsense one
    }
    const long long seconds = ms / 1000;
    return "Age " + Two(seconds / 60 % 60) + ":" + Two(seconds % 60);
}

std::string AisLatText(std::int32_t latitude)
{
    return "Lat " + DegreesMinutes(latitude, 2, 'N', 'S');
}
std::string AisLongText(std::int32_t longitude)
{
    return "Long " + DegreesMinutes(longitude, 2, 'E', 'W');
}

namespace {

// Range and bearing to the newest track point.
void AddRangeBearing(std::vector<std::string>& lines, const TAISTarget& t, const OwnShip& own)
{
    const LatLong pos = AisLatestPosition(t);
    const double range
        = PlaneSailingDistance(own.chartRef.CosLatFactor, own.fix.OwnLat, own.fix.OwnLong, pos.lat, pos.lon)
        * own.units.UnitFactor;
    const double bearing
        = PlaneSailingBearing(own.chartRef.CosLatFactor, own.fix.OwnLat, own.fix.OwnLong, pos.lat, pos.lon);
    lines.push_back("Range " + FormatFixed(range, 0, 1) + (own.units.UnitFactor >= 1.8 ? " Km" : " Nm"));
    lines.push_back("Bearing " + FormatFixed(bearing, 0, 1) + "\xb0T");
}

void AddTimeAndDate(std::vector<std::string>& lines, const AisState& ais, const OwnShip& own, const LocalDateTime& now)
{
    const bool utc = own.fixPrefs.UseGpsTime && !ais.AISMonitor;
    lines.push_back("Timed at: " + Two(own.fix.FixHour) + ":" + Two(own.fix.FixMinute) + ":" + Two(own.fix.FixSecond)
        + (utc ? " UTC" : " Local"));
    if (own.playback.AISPlayback) {
        lines.push_back("Date: " + NameWithoutExtension(ais.PlayFileName));
    } else {
        lines.push_back("Date: " + Two(now.day) + "/" + Two(now.month) + "/" + ZeroFill(FormatInt(now.year, 4)));
    }
}

void AddDimensions(std::vector<std::string>& lines, const TAISTarget& t)
{
    lines.push_back("Length - " + std::to_string(t.DimA + t.DimB) + " Mtrs.");
    lines.push_back("Beam - " + std::to_string(t.DimC + t.DimD) + " Mtrs.");
}

// A Class B vessel or an aid to navigation: the class first, then what its messages carry (a
// Class B station sends no status, draught, destination or ETA; an aid no motion at all).
std::vector<std::string> SmallCraftText(const AisState& ais, const OwnShip& own, int n, const LocalDateTime& now)
{
    const TAISTarget& t = ais.targets[n];
    const AisTargetClass cls = TargetClass(t);
    const bool aid = cls != AisTargetClass::ClassB;
    std::vector<std::string> lines;
    lines.push_back("Target " + std::to_string(n) + " of " + std::to_string(ais.targets.count()));
    lines.push_back(AisAgeText(t.LastHeard, DaysFromDateTime(now)));
    lines.push_back(AisClassText(t));
    lines.push_back("MMSI - " + std::to_string(t.MMSI));
    if (aid) {
        lines.push_back("Name " + Cleaned(t.VesselName.view()));
        lines.push_back("Aid Type - " + std::to_string(t.ShipType) + " " + AisAidTypeText(t.ShipType));
        AddDimensions(lines, t);
    } else {
        lines.push_back("Call Sign - " + Cleaned(t.CallSign.view()));
        lines.push_back("Name " + Cleaned(t.VesselName.view()));
        lines.push_back("Type of Ship - " + std::to_string(t.ShipType));
        if (IsAuxiliaryCraft(t.MMSI)) {
            lines.push_back("Length - n/a (auxiliary craft)");
        } else {
            AddDimensions(lines, t);
        }
        lines.push_back("SOG " + (t.SOG < 1023 ? FormatFixed(t.SOG / 10.0, 0, 1) : std::string("- Not available")));
        lines.push_back("COG " + (t.COG < 3600 ? FormatFixed(t.COG / 10.0, 0, 1) : std::string("- Not available")));
        lines.push_back(
            "TrueHeading " + std::to_string(t.TrueHeading) + (t.TrueHeading == 511 ? "- Not available" : ""));
    }
    lines.push_back(AisLatText(t.Latitude));
    lines.push_back(AisLongText(t.Longitude));
    AddRangeBearing(lines, t, own);
    AddTimeAndDate(lines, ais, own, now);
    if (ais.AdditionalTargetData) {
        lines.push_back("------------------------------");
        lines.push_back("Message Type - " + std::to_string(t.MsgType));
        lines.push_back(AisEpfdText(t.EPFD));
        lines.push_back(t.PosAccuracy != 0 ? "High Accuracy < 10 m" : "Low Accuracy > 10 m");
    }
    return lines;
}

} // namespace

std::string AisClassText(const TAISTarget& t)
{
    switch (TargetClass(t)) {
    case AisTargetClass::ClassB:
        return IsAuxiliaryCraft(t.MMSI) ? "Class B - Auxiliary craft" : "Class B";
    case AisTargetClass::AidToNavigation:
        return "Aid to Navigation";
    case AisTargetClass::VirtualAidToNavigation:
        return "Virtual Aid to Navigation";
    case AisTargetClass::ClassA:
        break;
    }
    return "Class A";
}

std::string AisAidTypeText(unsigned aidType)
{
    static const char* const names[32] = { "Not specified", "Reference point", "RACON", "Fixed structure off shore",
        "Emergency wreck marking", "Light, without sectors", "Light, with sectors", "Leading Light Front",
        "Leading Light Rear", "Beacon, Cardinal N", "Beacon, Cardinal E", "Beacon, Cardinal S", "Beacon, Cardinal W",
        "Beacon, Port hand", "Beacon, Starboard hand", "Beacon, Preferred Channel port hand",
        "Beacon, Preferred Channel starboard hand", "Beacon, Isolated danger", "Beacon, Safe water",
        "Beacon, Special mark", "Cardinal Mark N", "Cardinal Mark E", "Cardinal Mark S", "Cardinal Mark W",
        "Port hand Mark", "Starboard hand Mark", "Preferred Channel Port hand", "Preferred Channel Starboard hand",
        "Isolated danger", "Safe Water", "Special Mark", "Light Vessel / LANBY / Rigs" };
    return aidType < 32 ? names[aidType] : "Unknown";
}

std::vector<std::string> CollisionLines(const TAISTarget& t, const OwnShip& own, const ExtraSettings& collision)
{
    if (!collision.CollisionWarnings) {
        return {};
    }
    const VesselMotion vessel { own.fix.OwnLat, own.fix.OwnLong, own.motion.SOG, own.motion.COGValue };
    const std::optional<CpaResult> r = TargetCpa(t, vessel);
    if (!r) {
        return {};
    }
    std::vector<std::string> lines { "CPA " + FormatFixed(r->cpaNm, 0, 2) + " Nm",
        "TCPA " + FormatFixed(r->tcpaMin, 0, 1) + " Min" };
    if (IsDangerous(*r, collision.CpaLimitNm, collision.TcpaLimitMin)) {
        lines.emplace_back("DANGEROUS TARGET");
    }
    return lines;
}

// The lines the target window has always shown.
static std::vector<std::string> TargetLines(const AisState& ais, const OwnShip& own, int n, const LocalDateTime& now)
{
    std::vector<std::string> lines;
    if (!ais.targets.valid(n)) {
        return lines;
    }
    const TAISTarget& t = ais.targets[n];
    if (TargetClass(t) != AisTargetClass::ClassA) {
        return SmallCraftText(ais, own, n, now);
    }

    lines.push_back("Target " + std::to_string(n) + " of " + std::to_string(ais.targets.count()));
    lines.push_back(AisAgeText(t.LastHeard, DaysFromDateTime(now)));
    lines.push_back("MMSI - " + std::to_string(t.MMSI));
    lines.push_back("Call Sign - " + Cleaned(t.CallSign.view()));
    lines.push_back("Name " + Cleaned(t.VesselName.view()));
    lines.push_back("Type of Ship - " + std::to_string(t.ShipType));
    AddDimensions(lines, t);
    lines.push_back("Max Draft - " + FormatFixed(t.Draught / 10.0, 0, 1) + " Mtrs.");
    lines.push_back(AisNavStatusText(t));
    lines.push_back("SOG " + FormatFixed(t.SOG / 10.0, 0, 1));
    lines.push_back("COG " + FormatFixed(t.COG / 10.0, 0, 1));
    lines.push_back("TrueHeading " + std::to_string(t.TrueHeading) + (t.TrueHeading == 511 ? "- Not available" : ""));
    lines.push_back(AisLatText(t.Latitude));
    lines.push_back(AisLongText(t.Longitude));
    lines.push_back("Destination " + Cleaned(t.Destination.view()));
    lines.push_back(AisEtaText(t.ETA, now.year));

    AddRangeBearing(lines, t, own);
    AddTimeAndDate(lines, ais, own, now);

    if (!ais.AdditionalTargetData) {
        return lines;
    }
    lines.push_back("------------------------------");
    lines.push_back("Message Type - " + std::to_string(t.MsgType));
    lines.push_back("IMO Number - " + std::to_string(t.IMO));
    lines.push_back(AisRotText(t.ROT));
    lines.push_back(AisEpfdText(t.EPFD));
    lines.push_back(t.PosAccuracy != 0 ? "High Accuracy < 10 m" : "Low Accuracy > 10 m");
    if (t.Year != 0) {
        lines.push_back(
            "UTC Tx Date: " + std::to_string(t.Day) + "-" + std::to_string(t.Month) + "-" + std::to_string(t.Year));
    }
    // The hour and minute are in the SOTDMA sub-message only when the slot time-out (bits
    // 16..14) is 1; type 3 reports carry an ITDMA state with no time in it.
    if (t.MsgType != 3 && t.MsgType != 5 && ((t.CommState >> 14) & 7u) == 1) {
        lines.push_back("UTC Tx Time: " + std::to_string((t.CommState >> 9) & 31u) + ":"
            + std::to_string((t.CommState >> 2) & 127u));
    }
    return lines;
}

std::vector<std::string> WriteTargetText(
    const AisState& ais, const OwnShip& own, int n, const LocalDateTime& now, const ExtraSettings* collision)
{
    std::vector<std::string> lines = TargetLines(ais, own, n, now);
    if (collision != nullptr && ais.targets.valid(n)) {
        for (std::string& line : CollisionLines(ais.targets[n], own, *collision)) {
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

} // namespace kv
