#pragma once
// The chart store: the one vector chart the program holds, as a fixed table of 12-byte point
// records broken by pen-up marks, plus what belongs to the chart as a whole (name, folder, layer
// marker, the geometry read from its configuration file).

#include "core/Folders.h"
#include "core/Real48.h"
#include "core/ShortString.h"

#include <array>
#include <cstdint>
#include <string>

namespace kv {

inline constexpr std::size_t kChartCapacity = 10800;
inline constexpr std::size_t kChartRecordSize = 12;
inline constexpr int kLineTypes = 7;
inline constexpr const char* kAllLayers = "**********";
inline constexpr const char* kNoLayers = "----------";

// One record of the store and of every chart and layer file: the encoded latitude (latitude plus
// 200 times the line type) and the west-positive longitude, each a 48-bit real. The bytes are
// kept as read so that a file read and written again is unchanged.
class ChartPoint {
public:
    using Bytes = std::array<std::uint8_t, kChartRecordSize>;

    ChartPoint();
    static ChartPoint penUp();
    // A point of line type 0-6 at latitude / west-positive longitude.
    static ChartPoint make(double lat, double lon, int lineType = 0);
    static ChartPoint fromEncoded(double encodedLat, double lon);
    static ChartPoint fromBytes(const std::uint8_t* record);

    double encodedLat() const;
    double lon() const;
    // The line type is the number of the thresholds 100, 300, ... 1100 the encoded latitude
    // strictly exceeds; the latitude is what remains after taking 200 per type away.
    int lineType() const;
    double lat() const;
    bool isPenUp() const;

    const Bytes& bytes() const { return bytes_; }
    friend bool operator==(const ChartPoint&, const ChartPoint&) = default;

private:
    explicit ChartPoint(const Bytes& bytes)
        : bytes_(bytes)
    {
    }
    Bytes bytes_ {};
};

static_assert(sizeof(ChartPoint) == kChartRecordSize, "a chart point is one 12-byte file record");

int LineTypeOf(double encodedLat);
double LatitudeOf(double encodedLat);

// Slots 1 … 10800; slots above the count always hold pen-ups.
class ChartStore {
public:
    static constexpr std::size_t capacity = kChartCapacity;

    int count() const { return count_; }
    const ChartPoint& point(int number) const; // 1 … capacity
    void setPoint(int number, const ChartPoint& p); // 1 … capacity
    // Sets the count; slots beyond it become pen-ups again.
    void setCount(int newCount);
    // Point count 0, every slot a pen-up, LayerMarker "**********".
    void clear();

    // The point count when the chart and its layers had finished loading.
    int ChartBaseEnd = 0;
    ShortString<33> ChartName;
    ShortString<kPathCapacity> ChartFolder; // ends in "/"
    std::string LayerMarker = kAllLayers;
    bool LayersEnabled = true;
    std::int16_t ReservedInteger = 0;
    // The file names the open and save dialogs hold between commands: a reload opens the
    // former, the waypoint database is written beside the latter.
    std::string OpenFileName;
    std::string SaveFileName;
    // The base name of the main configuration file in use, shown in the view captions.
    std::string ConfigName;
    // Points were added, moved or removed since the chart was loaded or saved: a command that
    // would replace the chart asks first whether to save it.
    bool Modified = false;
    // Counts the times the store was emptied for another chart: an undo history kept for one
    // chart does not apply to the next.
    unsigned Generation = 0;

private:
    std::array<ChartPoint, kChartCapacity> slots_ {};
    int count_ = 0;
};

// Where the chart is seen from: the values of the chart configuration file and the shared view
// geometry they feed.
struct ChartGeometry {
    // The shared drawing surface every view bitmap has (fixed for the program's run).
    int SurfaceWidth = 1024;
    int SurfaceHeight = 768;

    double ChartCentreLat = 0.0;
    double ChartCentreLong = 0.0; // west positive
    double ChartZoom = 0.04;
    // Left by the latest zoom or re-centre of any view; what the next chart save writes.
    double LastViewLat = 0.0;
    double LastViewLong = 0.0;
    double LastViewZoom = 0.04;
    // Derived from the chart centre whenever the chart configuration is read.
    double CosCentreLat = 1.0;
    int LatBaseScale = 0;
    int LongBaseScale = 0;
    // A chart configuration has been read: from then on plane sailing uses the chart's centre
    // latitude, whatever latitude a main configuration read later names.
    bool ChartConfigRead = false;
    // Set by a chart open: the next view refresh zooms each view to the whole chart.
    bool FullChartZoomPending = false;
    // The chart was loaded as the nearest one (a portfolio tile): a view whose zoom the user chose
    // keeps it, no smaller than the new chart's own zoom.
    bool TileChangePending = false;
};

} // namespace kv
