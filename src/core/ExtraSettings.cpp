#include "core/ExtraSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>

namespace kv {

namespace {

constexpr const char* kClassB = "AIS/ClassBAndAtoNTargets";
constexpr const char* kCpa = "AIS/CpaLimitNm";
constexpr const char* kTcpa = "AIS/TcpaLimitMinutes";
constexpr const char* kWarnings = "AIS/CollisionWarnings";
constexpr const char* kAlarm = "AIS/CollisionAlarm";
constexpr const char* kLargeNav = "Display/LargeNavFigures";
constexpr const char* kFillAreas = "Display/FillAreas";
constexpr const char* kMaxLog = "AIS/MaxLogMB";
constexpr const char* kMinFree = "AIS/MinFreeMB";
constexpr const char* kGpsLost = "Alarms/GpsLostAlarm";
constexpr const char* kGpsLostSeconds = "Alarms/GpsLostSeconds";
constexpr const char* kArrival = "Alarms/ArrivalAlarm";
constexpr const char* kOffTrack = "Alarms/OffTrackNm";
constexpr const char* kAnchorRadius = "Alarms/AnchorRadiusM";
constexpr const char* kAnchorSet = "Anchor/Set";
constexpr const char* kAnchorLat = "Anchor/Lat";
constexpr const char* kAnchorLong = "Anchor/LongW";
constexpr const char* kShowAtStart = "AIS/ShowTargetsAtStart";
constexpr const char* kPlaceLabels = "AIS/PlaceTargetLabels";
constexpr const char* kNight = "Display/NightPalette";
constexpr const char* kInstruments = "Display/Instruments";
constexpr const char* kShallow = "Display/ShallowAlarmMetres";
constexpr const char* kServePort = "Network/ServeNmeaPort";
constexpr const char* kServeAddress = "Network/ServeNmeaAddress";
constexpr const char* kToken = "Network/SignalKToken";

// A text without control characters (an address, a token).
bool ReadText(const QSettings& s, const char* key, std::string& value)
{
    if (!s.contains(key)) {
        return true;
    }
    const QString text = s.value(key).toString().trimmed();
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return false;
        }
    }
    value = text.toStdString();
    return true;
}

// A switch written as true/false (or 1/0); anything else is damage.
bool ReadSwitch(const QSettings& s, const char* key, bool& value)
{
    if (!s.contains(key)) {
        return true;
    }
    const QString text = s.value(key).toString().trimmed().toLower();
    if (text == "true" || text == "1") {
        value = true;
    } else if (text == "false" || text == "0") {
        value = false;
    } else {
        return false;
    }
    return true;
}

bool ReadLimit(const QSettings& s, const char* key, double lo, double hi, double& value)
{
    if (!s.contains(key)) {
        return true;
    }
    bool ok = false;
    const double v = s.value(key).toString().trimmed().toDouble(&ok);
    if (!ok || !(v >= lo && v <= hi)) {
        return false;
    }
    value = v;
    return true;
}

bool ReadWhole(const QSettings& s, const char* key, int lo, int hi, int& value)
{
    if (!s.contains(key)) {
        return true;
    }
    bool ok = false;
    const int v = s.value(key).toString().trimmed().toInt(&ok);
    if (!ok || v < lo || v > hi) {
        return false;
    }
    value = v;
    return true;
}

} // namespace

ExtraSettingsRead ReadExtraSettings(const std::string& path)
{
    ExtraSettingsRead r;
    const QString file = QString::fromStdString(path);
    const QFileInfo info(file);
    if (!info.exists()) {
        r.missing = true;
        return r;
    }
    if (!info.isFile() || !info.isReadable()) {
        r.note = std::string(kExtraSettingsFile) + " cannot be read: default settings used";
        return r;
    }
    QSettings s(file, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        r.note = std::string(kExtraSettingsFile) + " is damaged: default settings used";
        return r;
    }
    ExtraSettings v;
    bool ok = ReadSwitch(s, kClassB, v.ClassBAndAtoNTargets);
    ok = ReadLimit(s, kCpa, 0.0, 100.0, v.CpaLimitNm) && ok;
    ok = ReadLimit(s, kTcpa, 0.0, 1440.0, v.TcpaLimitMin) && ok;
    ok = ReadSwitch(s, kWarnings, v.CollisionWarnings) && ok;
    ok = ReadSwitch(s, kAlarm, v.CollisionAlarm) && ok;
    ok = ReadSwitch(s, kLargeNav, v.LargeNavFigures) && ok;
    ok = ReadSwitch(s, kFillAreas, v.FillAreas) && ok;
    ok = ReadWhole(s, kMaxLog, 1, 1000000, v.AisMaxLogMB) && ok;
    ok = ReadWhole(s, kMinFree, 0, 1000000, v.AisMinFreeMB) && ok;
    ok = ReadSwitch(s, kGpsLost, v.GpsLostAlarm) && ok;
    ok = ReadWhole(s, kGpsLostSeconds, 1, 3600, v.GpsLostSeconds) && ok;
    ok = ReadSwitch(s, kArrival, v.ArrivalAlarm) && ok;
    ok = ReadLimit(s, kOffTrack, 0.0, 9.99, v.OffTrackNm) && ok;
    ok = ReadWhole(s, kAnchorRadius, 10, 500, v.AnchorRadiusM) && ok;
    {
        // The anchor is one record: a damaged part drops the whole watch, never half of it.
        ExtraSettings anchor;
        const bool anchorOk = ReadSwitch(s, kAnchorSet, anchor.AnchorSet)
            && ReadLimit(s, kAnchorLat, -90.0, 90.0, anchor.AnchorLat)
            && ReadLimit(s, kAnchorLong, -180.0, 180.0, anchor.AnchorLong);
        if (anchorOk) {
            v.AnchorSet = anchor.AnchorSet;
            v.AnchorLat = anchor.AnchorLat;
            v.AnchorLong = anchor.AnchorLong;
        }
        ok = anchorOk && ok;
    }
    ok = ReadSwitch(s, kShowAtStart, v.ShowTargetsAtStart) && ok;
    ok = ReadSwitch(s, kPlaceLabels, v.PlaceTargetLabels) && ok;
    ok = ReadSwitch(s, kNight, v.NightPalette) && ok;
    ok = ReadSwitch(s, kInstruments, v.Instruments) && ok;
    ok = ReadLimit(s, kShallow, 0.0, 1000.0, v.ShallowAlarmMetres) && ok;
    ok = ReadWhole(s, kServePort, 0, 65535, v.ServeNmeaPort) && ok;
    ok = ReadText(s, kServeAddress, v.ServeNmeaAddress) && ok;
    if (v.ServeNmeaAddress.empty()) {
        v.ServeNmeaAddress = ExtraSettings {}.ServeNmeaAddress;
        ok = false;
    }
    ok = ReadText(s, kToken, v.SignalKToken) && ok;
    r.settings = v;
    if (!ok) {
        r.note = std::string(kExtraSettingsFile) + " has damaged values: their defaults used";
    }
    return r;
}

bool WriteExtraSettings(const std::string& path, const ExtraSettings& v)
{
    QSettings s(QString::fromStdString(path), QSettings::IniFormat);
    s.setValue(kClassB, v.ClassBAndAtoNTargets ? "true" : "false");
    s.setValue(kCpa, QString::number(v.CpaLimitNm, 'g', 10));
    s.setValue(kTcpa, QString::number(v.TcpaLimitMin, 'g', 10));
    s.setValue(kWarnings, v.CollisionWarnings ? "true" : "false");
    s.setValue(kAlarm, v.CollisionAlarm ? "true" : "false");
    s.setValue(kLargeNav, v.LargeNavFigures ? "true" : "false");
    s.setValue(kFillAreas, v.FillAreas ? "true" : "false");
    s.setValue(kMaxLog, v.AisMaxLogMB);
    s.setValue(kMinFree, v.AisMinFreeMB);
    s.setValue(kGpsLost, v.GpsLostAlarm ? "true" : "false");
    s.setValue(kGpsLostSeconds, v.GpsLostSeconds);
    s.setValue(kArrival, v.ArrivalAlarm ? "true" : "false");
    s.setValue(kOffTrack, QString::number(v.OffTrackNm, 'g', 10));
    s.setValue(kAnchorRadius, v.AnchorRadiusM);
    s.setValue(kAnchorSet, v.AnchorSet ? "true" : "false");
    s.setValue(kAnchorLat, QString::number(v.AnchorLat, 'g', 12));
    s.setValue(kAnchorLong, QString::number(v.AnchorLong, 'g', 12));
    s.setValue(kShowAtStart, v.ShowTargetsAtStart ? "true" : "false");
    s.setValue(kPlaceLabels, v.PlaceTargetLabels ? "true" : "false");
    s.setValue(kNight, v.NightPalette ? "true" : "false");
    s.setValue(kInstruments, v.Instruments ? "true" : "false");
    s.setValue(kShallow, QString::number(v.ShallowAlarmMetres, 'g', 10));
    s.setValue(kServePort, v.ServeNmeaPort);
    s.setValue(kServeAddress, QString::fromStdString(v.ServeNmeaAddress));
    s.setValue(kToken, QString::fromStdString(v.SignalKToken));
    s.sync();
    return s.status() == QSettings::NoError;
}

bool ChangeExtraSettings(const std::string& path, ExtraSettings& current, const ExtraSettings& wanted)
{
    if (wanted == current) {
        return true;
    }
    current = wanted;
    return WriteExtraSettings(path, current);
}

} // namespace kv
