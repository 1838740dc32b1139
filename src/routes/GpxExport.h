#pragma once
// GPX 1.1 files for other programs: the route, the chart waypoints and a day's track, written
// with an XML writer so that a name holding "&", "<" or quotes stays a name.

#include "routes/GpxImport.h"

#include <string>

namespace kv {

// The document: the waypoints, then the routes, then the tracks (each track one segment), as
// GPX 1.1 orders them. Names and times are single-byte program text.
std::string WriteGpx(const GpxData& data);

} // namespace kv
