// kvtool grid / pos: the grid conversions and position texts of the program, one tab-separated
// line per call, texts exactly as the program forms them (Latin-1, leading blanks kept).
//
//   kvtool grid osgb LAT LON             easting, northing, lettered reference (LON east +)
//   kvtool grid osgb-inverse N E         latitude, longitude east +, unsettled flag 0/1
//   kvtool grid utm MODE LAT LON         easting text, northing text (MODE 1-8)
//   kvtool pos LAT LON                   latitude text, longitude text, compact (LON west +)

#include "Command.h"

#include "core/Format.h"
#include "geodesy/Grid.h"
#include "geodesy/PositionText.h"

#include <cstdio>
#include <optional>

namespace {

void PrintFields(std::initializer_list<std::string> fields)
{
    std::string line;
    bool first = true;
    for (const auto& f : fields) {
        if (!first) {
            line += '\t';
        }
        line += f;
        first = false;
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
}

bool ReadNumbers(const kvtool::Args& args, std::size_t from, std::size_t count, double* out)
{
    if (args.size() != from + count) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const auto v = kv::ParseReal(args[from + i]);
        if (!v) {
            std::fprintf(stderr, "kvtool: not a number: %s\n", args[from + i].c_str());
            return false;
        }
        out[i] = *v;
    }
    return true;
}

int GridUsage()
{
    std::fprintf(stderr,
        "usage: kvtool grid osgb LAT LON\n"
        "       kvtool grid osgb-inverse NORTHING EASTING\n"
        "       kvtool grid utm MODE LAT LON    (MODE 1-8)\n");
    return 2;
}

int RunGrid(const kvtool::Args& args)
{
    if (args.empty()) {
        return GridUsage();
    }
    double v[3] = { 0, 0, 0 };
    if (args[0] == "osgb") {
        if (!ReadNumbers(args, 1, 2, v)) {
            return GridUsage();
        }
        const auto numeric = kv::NationalGridFromLatLong(v[0], v[1], false);
        const auto lettered = kv::NationalGridFromLatLong(v[0], v[1], true);
        PrintFields({ numeric.easting, numeric.northing, lettered.reference });
        return 0;
    }
    if (args[0] == "osgb-inverse") {
        if (!ReadNumbers(args, 1, 2, v)) {
            return GridUsage();
        }
        const auto p = kv::LatLongFromNationalGrid(v[0], v[1]);
        PrintFields(
            { kv::FormatFixed(p.latitude, 0, 10), kv::FormatFixed(p.longitudeEast, 0, 10), p.unsettled ? "1" : "0" });
        return 0;
    }
    if (args[0] == "utm") {
        const auto mode = args.size() == 4 ? kv::ParseInt(args[1]) : std::nullopt;
        if (!mode || *mode < 1 || *mode > 8 || !ReadNumbers(args, 2, 2, v)) {
            return GridUsage();
        }
        const auto r = kv::UtmFromLatLong(v[0], v[1], static_cast<int>(*mode));
        PrintFields({ r.easting, r.northing });
        return 0;
    }
    return GridUsage();
}

int RunPos(const kvtool::Args& args)
{
    double v[2] = { 0, 0 };
    if (!ReadNumbers(args, 0, 2, v)) {
        std::fprintf(stderr, "usage: kvtool pos LAT LON    (LON west positive)\n");
        return 2;
    }
    const auto texts = kv::PositionToText(v[0], v[1]);
    PrintFields({ texts.latitude, texts.longitude, kv::CompactPositionText(v[0], v[1]) });
    return 0;
}

const kvtool::CommandRegistration gridReg { { "grid",
    "osgb LAT LON | osgb-inverse N E | utm MODE LAT LON: grid texts (longitude east +)", &RunGrid } };
const kvtool::CommandRegistration posReg { { "pos", "LAT LON: position texts (longitude west +)", &RunPos } };

} // namespace
