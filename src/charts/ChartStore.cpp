#include "charts/ChartStore.h"

#include <cstring>
#include <stdexcept>

namespace kv {

namespace {
// Strictly exceeded by the encoded latitude of a point of line type 1, 2, ... 6.
constexpr double kTypeThresholds[] = { 100.0, 300.0, 500.0, 700.0, 900.0, 1100.0 };
} // namespace

int LineTypeOf(double encodedLat)
{
    int type = 0;
    for (double threshold : kTypeThresholds) {
        if (encodedLat > threshold) {
            ++type;
        }
    }
    return type;
}

double LatitudeOf(double encodedLat)
{
    return encodedLat - 200.0 * LineTypeOf(encodedLat);
}

// -1.0 in the 48-bit real is 81 00 00 00 00 80.
ChartPoint::ChartPoint()
    : bytes_ { 0x81, 0, 0, 0, 0, 0x80, 0x81, 0, 0, 0, 0, 0x80 }
{
}

ChartPoint ChartPoint::penUp()
{
    return ChartPoint();
}

ChartPoint ChartPoint::make(double lat, double lon, int lineType)
{
    if (lineType < 0 || lineType >= kLineTypes) {
        lineType = 0;
    }
    return fromEncoded(lat + 200.0 * lineType, lon);
}

ChartPoint ChartPoint::fromEncoded(double encodedLat, double lon)
{
    ChartPoint p { Bytes {} };
    doubleToReal48(encodedLat, p.bytes_.data());
    doubleToReal48(lon, p.bytes_.data() + 6);
    return p;
}

ChartPoint ChartPoint::fromBytes(const std::uint8_t* record)
{
    ChartPoint p { Bytes {} };
    std::memcpy(p.bytes_.data(), record, kChartRecordSize);
    return p;
}

double ChartPoint::encodedLat() const
{
    return real48ToDouble(bytes_.data());
}
double ChartPoint::lon() const
{
    return real48ToDouble(bytes_.data() + 6);
}
int ChartPoint::lineType() const
{
    return LineTypeOf(encodedLat());
}
double ChartPoint::lat() const
{
    return LatitudeOf(encodedLat());
}
bool ChartPoint::isPenUp() const
{
    return encodedLat() == -1.0 && lon() == -1.0;
}

const ChartPoint& ChartStore::point(int number) const
{
    if (number < 1 || number > static_cast<int>(capacity)) {
        throw std::out_of_range("chart slot out of range");
    }
    return slots_[static_cast<std::size_t>(number - 1)];
}

void ChartStore::setPoint(int number, const ChartPoint& p)
{
    if (number < 1 || number > static_cast<int>(capacity)) {
        throw std::out_of_range("chart slot out of range");
    }
    slots_[static_cast<std::size_t>(number - 1)] = p;
}

void ChartStore::setCount(int newCount)
{
    if (newCount < 0) {
        newCount = 0;
    }
    if (newCount > static_cast<int>(capacity)) {
        newCount = static_cast<int>(capacity);
    }
    for (int i = newCount; i < count_; ++i) {
        slots_[static_cast<std::size_t>(i)] = ChartPoint::penUp();
    }
    count_ = newCount;
}

void ChartStore::clear()
{
    slots_.fill(ChartPoint::penUp());
    count_ = 0;
    LayerMarker = kAllLayers;
    Modified = false;
    ++Generation;
}

} // namespace kv
