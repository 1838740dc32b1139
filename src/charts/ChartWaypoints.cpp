#include "charts/ChartWaypoints.h"

#include "core/Format.h"

namespace kv {

namespace {
int TwoDigits(const std::string& name, std::size_t offset)
{
    if (name.size() < offset + 2) {
        return -1;
    }
    const char a = name[offset];
    const char b = name[offset + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') {
        return -1;
    }
    return (a - '0') * 10 + (b - '0');
}
} // namespace

std::string ChartWaypoint::label() const
{
    return TrimRight(name.substr(0, kWaypointLabelLength));
}
int ChartWaypoint::symbol() const
{
    return TwoDigits(name, 24);
}
int ChartWaypoint::parameter() const
{
    return TwoDigits(name, 26);
}

std::string WaypointNameField(std::string_view label, int symbol, int parameter)
{
    std::string field = PadRight(label.substr(0, kWaypointLabelLength), kWaypointLabelLength);
    field += ZeroFill(FormatInt(symbol % 100, 2));
    field += ZeroFill(FormatInt(parameter % 100, 2));
    field += ' ';
    return field;
}

} // namespace kv
