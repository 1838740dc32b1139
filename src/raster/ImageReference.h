#pragma once
// The reference data of a raster image (a scanned chart, harbour plan or photograph): its size,
// the positions of its north-west and south-east corners, the track pen and the plotting
// offsets, kept in a small `.ref` text file beside the image. Also the arithmetic the viewer
// does with them: positions to image pixels and back, and the zoom steps.
//
// Longitudes are west positive, as everywhere in the program: the west corner of an image has
// the larger longitude, and a place east of Greenwich has a negative one.

#include "core/ChartReference.h"

#include <optional>
#include <string>
#include <vector>

namespace kv::raster {

// Track pen colours as the reference file holds them (low byte red, then green, then blue).
inline constexpr int kTrackRed = 255;
inline constexpr int kTrackBlack = 0;
inline constexpr int kTrackBlue = 16711680;
inline constexpr int kTrackGreen = 65280;
inline constexpr int kOffsetLimit = 10000; // thousandths of a minute either way
inline constexpr int kRefLines = 11;

struct ImageReference {
    int height = 400;
    int width = 600;
    double nw_lat = 0.0;
    double nw_lon = 0.0;
    double se_lat = 0.0;
    double se_lon = 0.0;
    int track_colour = kTrackRed;
    int track_width = 2; // 1 thin, 2 thick
    int lat_offset = 0; // thousandths of a minute added to every plotted latitude
    int lon_offset = 0; // thousandths of a minute subtracted from every plotted longitude
    int has_audio = 0;
    friend bool operator==(const ImageReference&, const ImageReference&) = default;

    double latOffsetDegrees() const { return lat_offset / 60000.0; }
    double lonOffsetDegrees() const { return lon_offset / 60000.0; }
};

// The corners span a real area: the north corner above the south one and the west corner (west
// positive) beyond the east one. Coinciding or swapped corners leave the image unreferenced.
bool Referenced(const ImageReference& ref);

// The image file's folder, its base name and ".ref".
std::string RefPathFor(const std::string& imagePath);
// The image file's folder, its base name and ".wav".
std::string AudioPathFor(const std::string& imagePath);
// The base name without folder and extension, as the window caption shows it.
std::string ImageBaseName(const std::string& imagePath);

// The 11 lines of a reference file: integers bare, the four corner positions in the 23-character
// scientific form.
std::vector<std::string> RefFileLines(const ImageReference& ref);
// Reads the lines back, accepting any decimal number on each. A missing line, a line that is no
// number, a size of 0 or less, or a value out of its range refuses the whole file with the
// reason in `problem`.
std::optional<ImageReference> ParseRefLines(const std::vector<std::string>& lines, std::string* problem);

enum class RefRead { Read, Missing, Refused };
struct RefReadResult {
    RefRead status = RefRead::Missing;
    ImageReference ref; // the defaults unless status is Read
    std::string problem;
};
RefReadResult ReadRefFile(const std::string& path);
// Rewrites the file atomically (a temporary renamed over the old file); false when it could not.
bool WriteRefFile(const std::string& path, const ImageReference& ref);

// Image pixel (at magnification 1) of a plotted position, the offsets applied.
struct ImagePoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ImagePoint&, const ImagePoint&) = default;
};
ImagePoint PlotPixel(const ImageReference& ref, double lat, double lon);
// Position under a point of the image as shown (shown_width × shown_height pixels); the offsets
// are not applied. Only meaningful when Referenced(ref) and the shown size is at least 1 × 1.
LatLong ShownPixelPosition(const ImageReference& ref, double x, double y, int shownWidth, int shownHeight);

// Magnification and the displayed size of the image.
inline constexpr int kZoomInLimit = 16383;
inline constexpr double kZoomStep = 1.5;
struct RasterZoom {
    double zoom = 1.0;
    int shown_height = 400;
    int shown_width = 600;
    friend bool operator==(const RasterZoom&, const RasterZoom&) = default;
};
// One step in: false (and nothing changed) once the shown height has reached 16383.
bool ZoomIn(RasterZoom& z);
// One step out: false (and nothing changed) once the smaller shown side is down to 1 pixel, so
// the shown size never reaches 0 and the cursor arithmetic never divides by it.
bool ZoomOut(RasterZoom& z);

// The reference dialog's fields as typed.
struct ReferenceForm {
    std::string height;
    std::string width;
    std::string nwLat; // 12-character latitude text
    std::string nwLon; // 13-character longitude text
    std::string seLat;
    std::string seLon;
    int colourChoice = 0; // Red, Black, Blue, Green
    int thicknessChoice = 1; // Thin, Thick
    int latOffset = 0;
    int lonOffset = 0;
    bool hasAudio = false;
};
ReferenceForm FormFromReference(const ImageReference& ref);
// Reads the dialog back. A height or width that is not a whole number of 1 or more is refused
// with a message for the user in `problem` (nothing returned).
std::optional<ImageReference> ReferenceFromForm(const ReferenceForm& form, std::string* problem);

} // namespace kv::raster
