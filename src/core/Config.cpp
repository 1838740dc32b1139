#include "core/Config.h"

#include "core/Format.h"
#include "core/Paths.h"
#include "core/TextFile.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace kv {

namespace {

constexpr std::size_t kConfigLines = 47;

// Line n (1-based) of the file, "" beyond its end, as the original's sequential reads did.
class LineSource {
public:
    explicit LineSource(std::vector<std::string> lines)
        : lines_(std::move(lines))
    {
    }
    const std::string& line(std::size_t n) const
    {
        static const std::string empty;
        return n >= 1 && n <= lines_.size() ? lines_[n - 1] : empty;
    }
    double real(std::size_t n, double fallback) const { return ParseLeadingReal(line(n)).value_or(fallback); }
    long long integer(std::size_t n, long long fallback) const { return ParseLeadingInt(line(n)).value_or(fallback); }

private:
    std::vector<std::string> lines_;
};

std::string Folder(const std::string& text, const std::string& fallback)
{
    return text.empty() ? fallback : WithTrailingSeparator(text);
}

void RecomputeCosLat(const Fix& fix, ChartReference& chartRef)
{
    chartRef.CosLatFactor = std::cos(fix.OwnLat * std::numbers::pi / 180.0);
}

std::string FlagsText(const Settings& s)
{
    std::string text;
    text += s.TextColourFG ? '1' : '0';
    text += s.TrackColourFG ? '1' : '0';
    text += s.TideColourFG ? '1' : '0';
    return text;
}

} // namespace

void ApplyConfigDefaults(Fix& fix, ChartReference& chartRef, Folders& folders, Settings& settings)
{
    const std::string appDir = folders.AppDir.str();
    folders.ChartName = "world";
    fix.OwnLat = kDefaultOwnLat;
    fix.OwnLong = kDefaultOwnLong;
    settings.ViewZoom = 0.03125;
    settings.fix.TimeZoneHours = 0;
    settings.units.UnitFactor = 1.0;
    settings.PositionDisplayMode = -1;
    settings.fix.KeepTextLog = true;
    settings.TextLogFormat = kDefaultTextLogFormat;
    settings.vessel.BoatSpeed = 10.0;
    settings.RouteName.clear();
    settings.ChartBackColour = kColourNavy;
    settings.ChartForeColour = kColourWhite;
    settings.GridForeIndex = 15;
    settings.GridBackIndex = 4;
    settings.ColourScheme = 0;
    settings.TextColourFG = settings.TrackColourFG = settings.TideColourFG = false;
    settings.NmeaServerName = "Seabridge3";
    settings.NmeaServerInput = "NMEA";
    settings.NmeaServerOutput = "COMBINED";
    settings.NmeaServerPath = ".\\Seabridge3.exe";
    settings.fix.NmeaStartMode = "Manual";
    settings.fix.DRMode = false;
    settings.fix.StartInDR.clear();
    settings.fix.FixIntervalMs = 10000;
    settings.vessel.DRSpeedSource = 0;
    settings.vessel.DRCourseSource = 0;
    settings.vessel.AntennaNorth = 0.0;
    settings.vessel.AntennaEast = 0.0;
    settings.VesselDrawDimA = 0;
    settings.VesselDrawDimB = 0.0;
    settings.route.ArrivalRadius = 0.2;
    settings.route.XTEDeadband = 0.05;
    settings.TextLogViewerPath.clear();
    settings.fix.AverageFixes = 1;
    folders.LogDir = JoinPath(appDir, "logs/");
    settings.nmea.NMEAOutputOn = true;
    settings.VesselOutlineDimA = 1.0;
    settings.VesselOutlineDimB = 1.0;
    settings.PreferenceValue40 = 0.0;
    settings.VesselLength = 10.0;
    settings.PreferenceValue42 = 0.0;
    settings.fix.AutoChart = true;
    settings.AISLogViewerPath.clear();
    folders.ChartDir = JoinPath(appDir, "charts/");
    settings.nmea.ComPortNumber = 1;
    settings.nmea.BaudRate = 38400;
    RecomputeCosLat(fix, chartRef);
}

bool ReadConfig(const std::string& path, Fix& fix, ChartReference& chartRef, Folders& folders, Settings& settings)
{
    auto lines = ReadTextLines(path);
    if (!lines) {
        ApplyConfigDefaults(fix, chartRef, folders, settings);
        return false;
    }
    const LineSource f(std::move(*lines));
    const std::string appDir = folders.AppDir.str();

    folders.ChartName = f.line(1).empty() ? std::string("missing or") : f.line(1);
    fix.OwnLat = f.real(2, 0.0);
    fix.OwnLong = f.real(3, 0.0);
    settings.ViewZoom = f.real(4, 0.0);
    // Line 5 (the chart offsets) is skipped: offsets belong to the chart's own configuration.
    settings.fix.TimeZoneHours = static_cast<std::int16_t>(f.integer(6, 0));
    settings.units.UnitFactor = f.real(7, 0.0);
    settings.PositionDisplayMode = static_cast<int>(f.integer(8, -1));
    settings.fix.KeepTextLog = f.line(9) == "Keep";
    // The stored log format is read and replaced: the text log always uses the program's own.
    settings.TextLogFormat = kTextLogFormat;
    settings.vessel.BoatSpeed = f.real(11, 0.0);
    settings.RouteName = f.line(12);
    settings.ChartBackColour = static_cast<int>(f.integer(13, kColourNavy));
    settings.ChartForeColour = static_cast<int>(f.integer(14, kColourWhite));
    settings.GridForeIndex = static_cast<int>(f.integer(15, 15));
    settings.GridBackIndex = static_cast<int>(f.integer(16, 4));
    settings.ColourScheme = static_cast<int>(f.integer(17, 0));
    const ShortString<8> flags = f.line(18);
    settings.TextColourFG = flags.size() > 0 && flags.str()[0] == '1';
    settings.TrackColourFG = flags.size() > 1 && flags.str()[1] == '1';
    settings.TideColourFG = flags.size() > 2 && flags.str()[2] == '1';
    settings.NmeaServerName = f.line(19);
    settings.NmeaServerInput = f.line(20);
    settings.NmeaServerOutput = f.line(21);
    settings.NmeaServerPath = f.line(22);
    settings.fix.NmeaStartMode = f.line(23);
    settings.fix.StartInDR = f.line(24);
    settings.fix.DRMode = settings.fix.StartInDR == "DR" && !(settings.fix.NmeaStartMode == "Auto");
    settings.fix.FixIntervalMs = static_cast<std::uint32_t>(std::max<long long>(0, f.integer(25, 10000)));
    settings.vessel.DRSpeedSource = static_cast<std::int16_t>(f.integer(26, 0));
    settings.vessel.DRCourseSource = static_cast<std::int16_t>(f.integer(27, 0));
    settings.vessel.AntennaNorth = f.real(28, 0.0);
    settings.vessel.AntennaEast = f.real(29, 0.0);
    settings.VesselDrawDimA = static_cast<int>(f.integer(30, 0));
    settings.VesselDrawDimB = f.real(31, 0.0);
    settings.route.ArrivalRadius = f.real(32, 0.0);
    settings.route.XTEDeadband = f.real(33, 0.0);
    settings.TextLogViewerPath = f.line(34);
    settings.fix.AverageFixes = static_cast<std::int16_t>(f.integer(35, 1));
    if (settings.fix.AverageFixes == 0) {
        settings.fix.AverageFixes = 1;
    }
    folders.LogDir = Folder(f.line(36), JoinPath(appDir, "logs/"));
    settings.nmea.NMEAOutputOn = f.line(37) == "AutoON";
    settings.VesselOutlineDimA = f.real(38, 0.0);
    settings.VesselOutlineDimB = f.real(39, 0.0);
    settings.PreferenceValue40 = f.real(40, 0.0);
    settings.VesselLength = f.real(41, 0.0);
    settings.PreferenceValue42 = f.real(42, 0.0);
    settings.fix.AutoChart = f.line(43) == "AutoCHT";
    settings.AISLogViewerPath = f.line(44);
    folders.ChartDir = Folder(f.line(45), JoinPath(appDir, "charts/"));
    settings.nmea.ComPortNumber = static_cast<std::uint32_t>(std::max<long long>(0, f.integer(46, 0)));
    settings.nmea.BaudRate = static_cast<std::uint32_t>(std::max<long long>(0, f.integer(47, 0)));
    if (settings.nmea.ComPortNumber == 0 || settings.nmea.BaudRate == 0) {
        settings.nmea.ComPortNumber = 1;
        settings.nmea.BaudRate = 4800;
    }
    RecomputeCosLat(fix, chartRef);
    return true;
}

std::vector<std::string> ConfigLines(
    const Fix& fix, const ChartReference& chartRef, const Folders& folders, const Settings& settings)
{
    std::vector<std::string> out;
    out.reserve(kConfigLines);
    out.push_back(folders.ChartName);
    out.push_back(FormatScientific(fix.OwnLat));
    out.push_back(FormatScientific(fix.OwnLong));
    out.push_back(FormatScientific(settings.ViewZoom));
    out.push_back(FormatScientific(chartRef.ChartLatOffset) + FormatScientific(chartRef.ChartLongOffset));
    out.push_back(std::to_string(settings.fix.TimeZoneHours));
    out.push_back(FormatScientific(settings.units.UnitFactor));
    out.push_back(std::to_string(settings.PositionDisplayMode));
    out.push_back(settings.fix.KeepTextLog ? "Keep" : "");
    out.push_back(settings.TextLogFormat);
    out.push_back(FormatScientific(settings.vessel.BoatSpeed));
    out.push_back(settings.RouteName);
    out.push_back(std::to_string(settings.ChartBackColour));
    out.push_back(std::to_string(settings.ChartForeColour));
    out.push_back(std::to_string(settings.GridForeIndex));
    out.push_back(std::to_string(settings.GridBackIndex));
    out.push_back(std::to_string(settings.ColourScheme));
    out.push_back(FlagsText(settings));
    out.push_back(settings.NmeaServerName.str());
    out.push_back(settings.NmeaServerInput.str());
    out.push_back(settings.NmeaServerOutput.str());
    out.push_back(settings.NmeaServerPath);
    out.push_back(settings.fix.NmeaStartMode.str());
    out.push_back(settings.fix.DRMode ? "DR" : "");
    out.push_back(std::to_string(settings.fix.FixIntervalMs));
    out.push_back(std::to_string(settings.vessel.DRSpeedSource));
    out.push_back(std::to_string(settings.vessel.DRCourseSource));
    out.push_back(FormatScientific(settings.vessel.AntennaNorth));
    out.push_back(FormatScientific(settings.vessel.AntennaEast));
    out.push_back(std::to_string(settings.VesselDrawDimA));
    out.push_back(FormatScientific(settings.VesselDrawDimB));
    out.push_back(FormatScientific(settings.route.ArrivalRadius));
    out.push_back(FormatScientific(settings.route.XTEDeadband));
    out.push_back(settings.TextLogViewerPath);
    out.push_back(std::to_string(settings.fix.AverageFixes));
    out.push_back(folders.LogDir.str());
    out.push_back(settings.nmea.NMEAOutputOn ? "AutoON" : "");
    out.push_back(FormatScientific(settings.VesselOutlineDimA));
    out.push_back(FormatScientific(settings.VesselOutlineDimB));
    out.push_back(FormatScientific(settings.PreferenceValue40));
    out.push_back(FormatScientific(settings.VesselLength));
    out.push_back(FormatScientific(settings.PreferenceValue42));
    out.push_back(settings.fix.AutoChart ? "AutoCHT" : "");
    out.push_back(settings.AISLogViewerPath);
    out.push_back(folders.ChartDir.str());
    out.push_back(std::to_string(settings.nmea.ComPortNumber));
    out.push_back(std::to_string(settings.nmea.BaudRate));
    return out;
}

bool WriteConfig(const std::string& path, const Fix& fix, const ChartReference& chartRef, const Folders& folders,
    const Settings& settings)
{
    return WriteTextLinesAtomic(path, ConfigLines(fix, chartRef, folders, settings));
}

} // namespace kv
