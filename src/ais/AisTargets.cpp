#include "ais/AisTargets.h"

#include "ais/AisSmallCraftTargets.h"
#include "core/Display.h"

#include "ais/AisDatabase.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "platform/Platform.h"

#include <cmath>

namespace kv {

namespace {

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

constexpr long kDays1899To1970 = 25569; // 30 December 1899 to 1 January 1970

} // namespace

double DaysFromDateTime(const LocalDateTime& t)
{
    const double day = static_cast<double>(DaysFromCivil(t.year, t.month, t.day) + kDays1899To1970);
    const double ms = ((t.hour * 60.0 + t.minute) * 60.0 + t.second) * 1000.0 + t.millisecond;
    return day + ms / 86400000.0;
}

LocalDateTime DateTimeFromDays(double days)
{
    long whole = static_cast<long>(std::floor(days));
    long ms = std::lround((days - static_cast<double>(whole)) * 86400000.0);
    if (ms >= 86400000L) {
        ms -= 86400000L;
        ++whole;
    }
    // Civil date from days since 1970 (inverse of DaysFromCivil).
    const long z = whole - kDays1899To1970 + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    LocalDateTime t;
    t.year = y;
    t.month = m;
    t.day = d;
    t.hour = static_cast<int>(ms / 3600000L);
    t.minute = static_cast<int>(ms / 60000L % 60);
    t.second = static_cast<int>(ms / 1000L % 60);
    t.millisecond = static_cast<int>(ms % 1000);
    return t;
}

void AddTargetTrackPoint(TAISTarget& t)
{
    if (t.TrackCount < kAisTrackPoints) {
        ++t.TrackCount;
        return;
    }
    for (int k = 1; k < kAisTrackPoints; ++k) {
        t.point(k) = t.point(k + 1);
    }
    t.TrackCount = kAisTrackPoints; // also repairs a corrupt count read from a file
}

bool AddTrackPosition(TAISTarget& t, double lat, double lon)
{
    const int n = TrackPointCount(t);
    if (n >= 1 && t.point(n).lat == lat && t.point(n).lon == lon) {
        return false;
    }
    AddTargetTrackPoint(t);
    t.point(t.TrackCount) = { lat, lon };
    return true;
}

std::string AisSectorName(double rel)
{
    if (!std::isfinite(rel)) {
        return "Ahead";
    }
    rel = std::fmod(rel, 360.0);
    if (rel < 0) {
        rel += 360.0;
    }
    if (rel < 30)
        return "Ahead";
    if (rel < 60)
        return "AheadStarboard";
    if (rel < 120)
        return "Starboard";
    if (rel < 150)
        return "AsternStarboard";
    if (rel < 210)
        return "Astern";
    if (rel < 240)
        return "AsternPort";
    if (rel < 300)
        return "Port";
    if (rel < 330)
        return "AheadPort";
    return "Ahead";
}

std::string AisDatabasePath(const Folders& folders)
{
    // Without a working folder there is no database: a relative name would put it wherever the
    // program happened to be started.
    return folders.AppDir.empty() ? std::string() : JoinPath(folders.AppDir.str(), kAisDatabaseName);
}

void OpenAisDatabase(AisState& ais, const Folders& folders)
{
    const std::string path = AisDatabasePath(folders);
    if (path.empty()) {
        ais.AISDatabaseCount = 0;
        return;
    }
    if (!PathTaken(path)) {
        AppendToFile(path, {});
    }
    ais.AISDatabaseCount = CountAisDatabase(path).value_or(0);
}

void SayAISSector(AisState& ais, const Folders& folders, Platform& platform, const std::string& name)
{
    ais.LastSpokenText = name;
    platform.sound.play(JoinPath(folders.AppDir.str(), name + ".wav"));
}

namespace {

void CopyPositionReport(const TAISTarget& m, TAISTarget& t)
{
    t.MsgType = m.MsgType;
    t.Repeat = m.Repeat;
    t.MMSI = m.MMSI;
    t.NavStatus = m.NavStatus;
    t.ROT = m.ROT;
    t.SOG = m.SOG;
    t.PosAccuracy = m.PosAccuracy;
    t.Longitude = m.Longitude;
    t.Latitude = m.Latitude;
    t.COG = m.COG;
    AddTrackPosition(t, AisLatDegrees(m), AisLonDegrees(m));
    t.TrueHeading = m.TrueHeading;
    t.TimeStamp = m.TimeStamp;
    t.Regional = m.Regional;
    t.Spare = m.Spare;
    t.RAIM = m.RAIM;
    t.CommState = m.CommState;
}

void CopyBaseStation(const TAISTarget& m, TAISTarget& t)
{
    t.MsgType = m.MsgType;
    t.Repeat = m.Repeat;
    t.MMSI = m.MMSI;
    t.Year = m.Year;
    t.Month = m.Month;
    t.Day = m.Day;
    t.Hour = m.Hour;
    t.Minute = m.Minute;
    t.Second = m.Second;
    t.Longitude = m.Longitude;
    t.Latitude = m.Latitude;
    AddTrackPosition(t, AisLatDegrees(m), AisLonDegrees(m));
    t.PosAccuracy = m.PosAccuracy;
    t.EPFD = m.EPFD;
    t.Reserved52 = m.Reserved52;
    t.RAIM = m.RAIM;
    t.CommState = m.CommState;
}

void CopyStaticData(const TAISTarget& m, TAISTarget& t)
{
    t.MsgType = m.MsgType;
    t.Repeat = m.Repeat;
    t.MMSI = m.MMSI;
    t.AISVersion = m.AISVersion;
    t.IMO = m.IMO;
    t.CallSign = m.CallSign;
    t.VesselName = m.VesselName;
    t.ShipType = m.ShipType;
    t.DimA = m.DimA;
    t.DimB = m.DimB;
    t.DimC = m.DimC;
    t.DimD = m.DimD;
    t.EPFD = m.EPFD;
    t.ETA = m.ETA;
    std::memcpy(t.reserved112, m.reserved112, sizeof t.reserved112);
    t.Draught = m.Draught;
    t.Destination = m.Destination;
    t.DTE = m.DTE;
    t.reserved143 = m.reserved143;
}

// Appends the vessel to the database unless a record with its MMSI is there already. An
// unreadable file is left alone: appending blind could only make duplicates.
void UpdateDatabase(AisTargetRecords state, const TAISTarget& t)
{
    const std::string path = AisDatabasePath(state.folders);
    if (path.empty()) {
        return;
    }
    const auto matches = ForEachAisDatabaseMatch(path, t.MMSI, nullptr);
    if (!matches || *matches > 0) {
        return;
    }
    if (AppendAisDatabaseRecord(path, AisDatabaseRecord(t))) {
        state.ais.AISDatabaseCount = CountAisDatabase(path).value_or(state.ais.AISDatabaseCount);
    }
}

void AnnounceNewTarget(AisTargetRecords state, Platform& platform, const TAISTarget& t)
{
    const LatLong first = FromEastPositive(t.point(1).lat, t.point(1).lon);
    const double bearing = PlaneSailingBearing(
        state.chartRef.CosLatFactor, state.fixInfo.OwnLat, state.fixInfo.OwnLong, first.lat, first.lon);
    double reference = state.motion.COGValue;
    if (state.ais.HeadUpReference == 3) {
        reference = ParseReal(Trim(state.sentenceFix.ExtraField0.str())).value_or(0.0);
    }
    double rel = bearing - reference;
    if (rel < 0) {
        rel += 360.0;
    }
    SayAISSector(state.ais, state.folders, platform, AisSectorName(rel));
}

} // namespace

void UpdateAISTargets(AisTargetRecords state, Platform& platform)
{
    AisState& ais = state.ais;
    const TAISTarget& m = ais.current();
    const double now = DaysFromDateTime(platform.clock.now());
    bool updated = false;
    for (TAISTarget& t : ais.targets) {
        if (t.MMSI != m.MMSI) {
            continue;
        }
        t.LastHeard = now;
        switch (m.MsgType) {
        case 1:
        case 2:
        case 3:
            CopyPositionReport(m, t);
            updated = true;
            break;
        case 4:
        case 11:
            CopyBaseStation(m, t);
            updated = true;
            break;
        case 5:
            CopyStaticData(m, t);
            updated = true;
            break;
        default:
            updated = CopySmallCraft(m, t); // only with "Class B and AtoN targets" on
            break;
        }
        if (ais.UpdateAISDatabase && t.MsgType == 5) {
            UpdateDatabase(state, t);
        }
    }
    if (updated || m.MMSI < 1) {
        return;
    }

    platform.prompter.beep(Beep::Default);
    TAISTarget& t = ais.targets.add(m);
    t.LastHeard = now;
    t.point(1) = { AisLatDegrees(m), AisLonDegrees(m) };
    t.TrackCount = 1;

    if (state.prefs.AISvoice && state.quickLog.count() > 1 && !ais.AISMonitor && t.MsgType >= 1 && t.MsgType <= 11) {
        AnnounceNewTarget(state, platform, t);
    }
    if (ais.SearchAISDatabase && t.MsgType != 5) {
        SearchAisDatabase(AisDatabasePath(state.folders), t);
    }
    // A vessel first heard through its static data goes into the database at once, not only
    // when some later sentence happens to repeat the update for this message.
    if (ais.UpdateAISDatabase && t.MsgType == 5) {
        UpdateDatabase(state, t);
    }
}

NearestTarget FindNearestAISTarget(const AisState& ais, const Fix& fix, const ChartReference& ref)
{
    NearestTarget nearest;
    for (int i = 1; i <= ais.targets.count(); ++i) {
        const TAISTarget& t = ais.targets[i];
        const LatLong pos = AisPosition(t);
        const double range = PlaneSailingDistance(ref.CosLatFactor, fix.OwnLat, fix.OwnLong, pos.lat, pos.lon);
        if (nearest.range >= range) {
            nearest.range = range;
            nearest.number = i;
        }
    }
    return nearest;
}

int NearestAISTarget(AisTableRecords state)
{
    const NearestTarget nearest = FindNearestAISTarget(state.ais, state.fixInfo, state.chartRef);
    if (state.ais.AISZoom) {
        state.ais.NearestTargetRange = nearest.range;
    }
    return nearest.number;
}

void AgeAISTargets(AisTableRecords state, double now)
{
    AisState& ais = state.ais;
    if (ais.AgeChoice == AisAgeChoice::Never || ais.targets.empty()) {
        return;
    }
    const int removed = ais.targets.removeIf(
        [&](const TAISTarget& t) { return t.LastHeard + ais.AISAgeLimit < now || t.MsgType == 0; });
    for (int i = 0; i < removed; ++i) {
        if (ais.SelectedTarget > 1) {
            --ais.SelectedTarget;
        }
    }
    if (!ais.targets.empty()) {
        if (ais.HighlightNearest) {
            ais.SelectedTarget = static_cast<std::uint16_t>(NearestAISTarget(state));
        }
    } else {
        ais.SelectedTarget = 0;
        ais.HighlightNearest = true;
        ais.HighlightNearestEnabled = false;
    }
}

void EmptyTargetTable(AisState& ais)
{
    ais.targets.clear();
    ais.SelectedTarget = 0;
}

bool ClearAllTargets(AisTargetRecords state, Platform& platform)
{
    if (!platform.prompter.confirm("This will remove all displayed AIS targets ! - Are you sure?")) {
        return false;
    }
    AisState& ais = state.ais;
    EmptyTargetTable(ais);
    ais.HighlightNearest = true;
    ais.HighlightNearestEnabled = false;
    ais.TargetSelectorVisible = false;
    return true;
}

void SetAISAgeChoice(AisState& ais, Display& display, AisAgeChoice choice)
{
    ais.AgeChoice = choice;
    switch (choice) {
    case AisAgeChoice::Never:
        break;
    case AisAgeChoice::After15Mins:
        ais.AISAgeLimit = kAisAge15Mins;
        break;
    case AisAgeChoice::After10Mins:
        ais.AISAgeLimit = kAisAge10Mins;
        break;
    case AisAgeChoice::After5Mins:
        ais.AISAgeLimit = kAisAge5Mins;
        break;
    }
    display.checked[Control::Never1] = choice == AisAgeChoice::Never;
    display.checked[Control::After15Mins1] = choice == AisAgeChoice::After15Mins;
    display.checked[Control::After10Mins1] = choice == AisAgeChoice::After10Mins;
    display.checked[Control::After5Mins1] = choice == AisAgeChoice::After5Mins;
}

} // namespace kv
