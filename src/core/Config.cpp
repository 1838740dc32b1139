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
    explicit LineSource(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    const std::string& line(std::size_t n) const
    {
        static const std::string empty;
        return n >= 1 && n <= lines_.size() ? lines_[n - 1] : empty;
    }
    double real(std::size_t n, double fallback) const { return ParseLeadingReal(line(n)).value_or(fallback); }
    long long integer(std::size_t n, long long fallback) const
    {
        return ParseLeadingInt(line(n)).value_or(fallback);
    }

private:
    std::vector<std::string> lines_;
};

std::string Folder(const std::string& text, const std::string& fallback)
{
    return text.empty() ? fallback : WithTrailingSeparator(text);
}

void RecomputeCosLat(NavState& nav)
{
    nav.CosLatFactor = std::cos(nav.OwnLat * std::numbers::pi / 180.0);
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

void ApplyConfigDefaults(NavState& nav, Settings& settings)
{
    const std::string appDir = nav.AppDir.str();
    nav.ChartName = "world";
    nav.OwnLat = kDefaultOwnLat;
    nav.OwnLong = kDefaultOwnLong;
    settings.ViewZoom = 0.03125;
    nav.TimeZoneHours = 0;
    nav.UnitFactor = 1.0;
    settings.PositionDisplayMode = -1;
    nav.KeepTextLog = true;
    settings.TextLogFormat = kDefaultTextLogFormat;
    nav.BoatSpeed = 10.0;
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
    nav.NmeaStartMode = "Manual";
    nav.DRMode = false;
    nav.StartInDR.clear();
    nav.FixIntervalMs = 10000;
    nav.DRSpeedSource = 0;
    nav.DRCourseSource = 0;
    nav.AntennaNorth = 0.0;
    nav.AntennaEast = 0.0;
    settings.VesselDrawDimA = 0;
    settings.VesselDrawDimB = 0.0;
    nav.ArrivalRadius = 0.2;
    nav.XTEDeadband = 0.05;
    settings.TextLogViewerPath.clear();
    nav.AverageFixes = 1;
    nav.LogDir = JoinPath(appDir, "logs/");
    nav.NMEAOutputOn = true;
    settings.VesselOutlineDimA = 1.0;
    settings.VesselOutlineDimB = 1.0;
    settings.PreferenceValue40 = 0.0;
    settings.VesselLength = 10.0;
    settings.PreferenceValue42 = 0.0;
    nav.AutoChart = true;
    settings.AISLogViewerPath.clear();
    nav.ChartDir = JoinPath(appDir, "charts/");
    nav.ComPortNumber = 1;
    nav.BaudRate = 38400;
    RecomputeCosLat(nav);
}

bool ReadConfig(const std::string& path, NavState& nav, Settings& settings)
{
    auto lines = ReadTextLines(path);
    if (!lines) {
        ApplyConfigDefaults(nav, settings);
        return false;
    }
    const LineSource f(std::move(*lines));
    const std::string appDir = nav.AppDir.str();

    nav.ChartName = f.line(1).empty() ? std::string("missing or") : f.line(1);
    nav.OwnLat = f.real(2, 0.0);
    nav.OwnLong = f.real(3, 0.0);
    settings.ViewZoom = f.real(4, 0.0);
    // Line 5 (the chart offsets) is skipped: offsets belong to the chart's own configuration.
    nav.TimeZoneHours = static_cast<std::int16_t>(f.integer(6, 0));
    nav.UnitFactor = f.real(7, 0.0);
    settings.PositionDisplayMode = static_cast<int>(f.integer(8, -1));
    nav.KeepTextLog = f.line(9) == "Keep";
    // The stored log format is read and replaced: the text log always uses the program's own.
    settings.TextLogFormat = kTextLogFormat;
    nav.BoatSpeed = f.real(11, 0.0);
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
    nav.NmeaStartMode = f.line(23);
    nav.StartInDR = f.line(24);
    nav.DRMode = nav.StartInDR == "DR" && !(nav.NmeaStartMode == "Auto");
    nav.FixIntervalMs = static_cast<std::uint32_t>(std::max<long long>(0, f.integer(25, 10000)));
    nav.DRSpeedSource = static_cast<std::int16_t>(f.integer(26, 0));
    nav.DRCourseSource = static_cast<std::int16_t>(f.integer(27, 0));
    nav.AntennaNorth = f.real(28, 0.0);
    nav.AntennaEast = f.real(29, 0.0);
    settings.VesselDrawDimA = static_cast<int>(f.integer(30, 0));
    settings.VesselDrawDimB = f.real(31, 0.0);
    nav.ArrivalRadius = f.real(32, 0.0);
    nav.XTEDeadband = f.real(33, 0.0);
    settings.TextLogViewerPath = f.line(34);
    nav.AverageFixes = static_cast<std::int16_t>(f.integer(35, 1));
    if (nav.AverageFixes == 0) {
        nav.AverageFixes = 1;
    }
    nav.LogDir = Folder(f.line(36), JoinPath(appDir, "logs/"));
    nav.NMEAOutputOn = f.line(37) == "AutoON";
    settings.VesselOutlineDimA = f.real(38, 0.0);
    settings.VesselOutlineDimB = f.real(39, 0.0);
    settings.PreferenceValue40 = f.real(40, 0.0);
    settings.VesselLength = f.real(41, 0.0);
    settings.PreferenceValue42 = f.real(42, 0.0);
    nav.AutoChart = f.line(43) == "AutoCHT";
    settings.AISLogViewerPath = f.line(44);
    nav.ChartDir = Folder(f.line(45), JoinPath(appDir, "charts/"));
    nav.ComPortNumber = static_cast<std::uint32_t>(std::max<long long>(0, f.integer(46, 0)));
    nav.BaudRate = static_cast<std::uint32_t>(std::max<long long>(0, f.integer(47, 0)));
    if (nav.ComPortNumber == 0 || nav.BaudRate == 0) {
        nav.ComPortNumber = 1;
        nav.BaudRate = 4800;
    }
    RecomputeCosLat(nav);
    return true;
}

std::vector<std::string> ConfigLines(const NavState& nav, const Settings& settings)
{
    std::vector<std::string> out;
    out.reserve(kConfigLines);
    out.push_back(nav.ChartName);
    out.push_back(FormatScientific(nav.OwnLat));
    out.push_back(FormatScientific(nav.OwnLong));
    out.push_back(FormatScientific(settings.ViewZoom));
    out.push_back(FormatScientific(nav.ChartLatOffset) + FormatScientific(nav.ChartLongOffset));
    out.push_back(std::to_string(nav.TimeZoneHours));
    out.push_back(FormatScientific(nav.UnitFactor));
    out.push_back(std::to_string(settings.PositionDisplayMode));
    out.push_back(nav.KeepTextLog ? "Keep" : "");
    out.push_back(settings.TextLogFormat);
    out.push_back(FormatScientific(nav.BoatSpeed));
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
    out.push_back(nav.NmeaStartMode.str());
    out.push_back(nav.DRMode ? "DR" : "");
    out.push_back(std::to_string(nav.FixIntervalMs));
    out.push_back(std::to_string(nav.DRSpeedSource));
    out.push_back(std::to_string(nav.DRCourseSource));
    out.push_back(FormatScientific(nav.AntennaNorth));
    out.push_back(FormatScientific(nav.AntennaEast));
    out.push_back(std::to_string(settings.VesselDrawDimA));
    out.push_back(FormatScientific(settings.VesselDrawDimB));
    out.push_back(FormatScientific(nav.ArrivalRadius));
    out.push_back(FormatScientific(nav.XTEDeadband));
    out.push_back(settings.TextLogViewerPath);
    out.push_back(std::to_string(nav.AverageFixes));
    out.push_back(nav.LogDir.str());
    out.push_back(nav.NMEAOutputOn ? "AutoON" : "");
    out.push_back(FormatScientific(settings.VesselOutlineDimA));
    out.push_back(FormatScientific(settings.VesselOutlineDimB));
    out.push_back(FormatScientific(settings.PreferenceValue40));
    out.push_back(FormatScientific(settings.VesselLength));
    out.push_back(FormatScientific(settings.PreferenceValue42));
    out.push_back(nav.AutoChart ? "AutoCHT" : "");
    out.push_back(settings.AISLogViewerPath);
    out.push_back(nav.ChartDir.str());
    out.push_back(std::to_string(nav.ComPortNumber));
    out.push_back(std::to_string(nav.BaudRate));
    return out;
}

bool WriteConfig(const std::string& path, const NavState& nav, const Settings& settings)
{
    return WriteTextLinesAtomic(path, ConfigLines(nav, settings));
}

} // namespace kv
