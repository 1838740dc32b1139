#pragma once
// GPX files from other programs (plotters, phones, planning sites): their waypoints, routes and
// tracks, read with an XML reader so that comments, CDATA sections, character and entity
// references and namespace prefixes mean what XML says they mean. Only what the program's own
// files can hold is kept: positions, names and the times of track points.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Larger files are refused before they are read: a 10,000-point track is about 1 MB.
inline constexpr std::size_t kGpxMaxBytes = std::size_t { 64 } * 1024 * 1024;

struct GpxPoint {
    double lat = 0.0;
    double lon = 0.0; // east positive, as GPX has it
    std::string name; // single-byte, as the fixed-layout files hold it
    std::string time; // the <time> text of a track point as the file has it; empty when none
};

// A route, or a track with its segments joined in file order.
struct GpxLine {
    std::string name;
    std::vector<GpxPoint> points;
};

struct GpxData {
    std::vector<GpxPoint> waypoints;
    std::vector<GpxLine> routes;
    std::vector<GpxLine> tracks;
    // Points left out because their position is missing, not a number or beyond 90 or 180 degrees.
    std::size_t skipped = 0;
    // Why the file was not read (malformed XML with the reader's line and column, not GPX);
    // empty when it was. A file that is not read yields no points at all.
    std::string error;
};

// The whole document is checked before anything is returned, so a file cut short or broken
// after its first points gives an error and no points.
GpxData ReadGpx(std::string_view bytes);
// The same from a file; a file that cannot be read, or is larger than kGpxMaxBytes, is an error
// too (and a larger one is not read into memory).
GpxData ReadGpxFile(const std::string& path);

// Minutes since midnight of a GPX time ("2026-03-07T10:15:30.5Z"): the time of day as written,
// the zone not applied (the track log keeps the clock of its day). Nothing when there is no
// readable time of day.
std::optional<double> GpxMinutesOfDay(std::string_view time);

} // namespace kv
