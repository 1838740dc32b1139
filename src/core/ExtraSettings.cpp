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
