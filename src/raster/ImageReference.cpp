#include "raster/ImageReference.h"

#include "core/Format.h"
#include "core/TextFile.h"
#include "geodesy/PositionText.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kv::raster {

namespace {

constexpr double kCornerTolerance = 1e-7;
// The reference file is eleven short numbers; anything much bigger is not one.
constexpr std::size_t kRefFileMaxBytes = 4096;
constexpr int kColours[] = { kTrackRed, kTrackBlack, kTrackBlue, kTrackGreen };

std::optional<int> WholeNumber(const std::string& text)
{
    const std::optional<double> value = ParseReal(text);
    if (!value || *value < -2147483647.0 || *value > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<int>(RoundHalfEven(*value));
}

} // namespace

bool Referenced(const ImageReference& ref)
{
    return ref.nw_lat - ref.se_lat > kCornerTolerance && ref.nw_lon - ref.se_lon > kCornerTolerance;
}

std::string RefPathFor(const std::string& imagePath)
{
    return std::filesystem::path(imagePath).replace_extension(".ref").string();
}

std::string AudioPathFor(const std::string& imagePath)
{
    return std::filesystem::path(imagePath).replace_extension(".wav").string();
}

std::string ImageBaseName(const std::string& imagePath)
{
    return std::filesystem::path(imagePath).stem().string();
}

std::vector<std::string> RefFileLines(const ImageReference& ref)
{
    return {
        FormatInt(ref.height),
        FormatInt(ref.width),
        FormatScientific(ref.nw_lat),
        FormatScientific(ref.nw_lon),
        FormatScientific(ref.se_lat),
        FormatScientific(ref.se_lon),
        FormatInt(ref.track_colour),
        FormatInt(ref.track_width),
        FormatInt(ref.lat_offset),
        FormatInt(ref.lon_offset),
        FormatInt(ref.has_audio),
    };
}

std::optional<ImageReference> ParseRefLines(const std::vector<std::string>& lines, std::string* problem)
{
    auto refuse = [problem](const std::string& why) -> std::optional<ImageReference> {
        if (problem != nullptr) {
            *problem = why;
        }
        return std::nullopt;
    };
    if (lines.size() < static_cast<std::size_t>(kRefLines)) {
        return refuse("it has " + std::to_string(lines.size()) + " lines of the " + std::to_string(kRefLines)
            + " a reference file holds");
    }
    static const char* const kNames[kRefLines] = { "height", "width", "north-west latitude", "north-west longitude",
        "south-east latitude", "south-east longitude", "track colour", "track width", "latitude offset",
        "longitude offset", "audio clip flag" };
    double reals[kRefLines];
    for (int i = 0; i < kRefLines; ++i) {
        const std::optional<double> value = ParseReal(lines[static_cast<std::size_t>(i)]);
        if (!value) {
            return refuse(std::string("line ") + std::to_string(i + 1) + " (" + kNames[i] + ") is not a number");
        }
        reals[i] = *value;
    }
    // Whole numbers within an int; corner positions on the globe (longitudes with a turn either
    // way, for images that straddle the date line). Far beyond them the image arithmetic overflows.
    constexpr double kWhole = 2147483647.0;
    constexpr double kLimits[kRefLines]
        = { kWhole, kWhole, 90.0, 360.0, 90.0, 360.0, kWhole, kWhole, kWhole, kWhole, kWhole };
    for (int i = 0; i < kRefLines; ++i) {
        if (std::fabs(reals[i]) > kLimits[i]) {
            return refuse(std::string("line ") + std::to_string(i + 1) + " (" + kNames[i] + ") is out of range");
        }
    }
    ImageReference ref;
    ref.height = static_cast<int>(RoundHalfEven(reals[0]));
    ref.width = static_cast<int>(RoundHalfEven(reals[1]));
    ref.nw_lat = reals[2];
    ref.nw_lon = reals[3];
    ref.se_lat = reals[4];
    ref.se_lon = reals[5];
    ref.track_colour = static_cast<int>(RoundHalfEven(reals[6]));
    ref.track_width = static_cast<int>(RoundHalfEven(reals[7]));
    ref.lat_offset = static_cast<int>(RoundHalfEven(reals[8]));
    ref.lon_offset = static_cast<int>(RoundHalfEven(reals[9]));
    ref.has_audio = RoundHalfEven(reals[10]) == 1 ? 1 : 0;
    if (ref.height <= 0 || ref.width <= 0) {
        return refuse("its image size " + std::to_string(ref.height) + " x " + std::to_string(ref.width)
            + " has a side of 0 pixels or less");
    }
    // A pen wider than a few pixels or an offset beyond the dialog's range is not something this
    // program wrote; keep them within what the dialog can show rather than refuse the file.
    ref.track_width = std::clamp(ref.track_width, 1, 2);
    ref.lat_offset = std::clamp(ref.lat_offset, -kOffsetLimit, kOffsetLimit);
    ref.lon_offset = std::clamp(ref.lon_offset, -kOffsetLimit, kOffsetLimit);
    return ref;
}

RefReadResult ReadRefFile(const std::string& path)
{
    RefReadResult result;
    if (!PathTaken(path)) {
        return result;
    }
    const FileReadResult file = ReadRegularFile(path, kRefFileMaxBytes);
    result.status = RefRead::Refused;
    if (!file.bytes) {
        result.problem = file.problem.empty() ? "it cannot be read" : file.problem;
        return result;
    }
    std::string problem;
    const std::optional<ImageReference> ref = ParseRefLines(SplitLines(*file.bytes), &problem);
    if (!ref) {
        result.problem = problem;
        return result;
    }
    result.status = RefRead::Read;
    result.ref = *ref;
    return result;
}

bool WriteRefFile(const std::string& path, const ImageReference& ref)
{
    return WriteTextLinesAtomic(path, RefFileLines(ref));
}

ImagePoint PlotPixel(const ImageReference& ref, double lat, double lon)
{
    const double y = (ref.nw_lat - (lat + ref.latOffsetDegrees())) * ref.height / (ref.nw_lat - ref.se_lat);
    const double x = (ref.nw_lon - (lon - ref.lonOffsetDegrees())) * ref.width / (ref.nw_lon - ref.se_lon);
    // Far off the image the pixel is still drawn toward (a line leaving the picture), but kept
    // in a range the drawing code handles.
    constexpr double kFar = 1e7;
    return ImagePoint { static_cast<int>(RoundHalfEven(std::clamp(x, -kFar, kFar))),
        static_cast<int>(RoundHalfEven(std::clamp(y, -kFar, kFar))) };
}

LatLong ShownPixelPosition(const ImageReference& ref, double x, double y, int shownWidth, int shownHeight)
{
    const int w = std::max(shownWidth, 1);
    const int h = std::max(shownHeight, 1);
    return LatLong { ref.nw_lat - (ref.nw_lat - ref.se_lat) * y / h, ref.nw_lon - (ref.nw_lon - ref.se_lon) * x / w };
}

bool ZoomIn(RasterZoom& z)
{
    if (z.shown_height >= kZoomInLimit) {
        return false;
    }
    z.zoom *= kZoomStep;
    z.shown_height = static_cast<int>(RoundHalfEven(z.shown_height * kZoomStep));
    z.shown_width = static_cast<int>(RoundHalfEven(z.shown_width * kZoomStep));
    return true;
}

bool ZoomOut(RasterZoom& z)
{
    if (std::min(z.shown_height, z.shown_width) <= 1) {
        return false;
    }
    z.zoom /= kZoomStep;
    z.shown_height = std::max(1, static_cast<int>(RoundHalfEven(z.shown_height / kZoomStep)));
    z.shown_width = std::max(1, static_cast<int>(RoundHalfEven(z.shown_width / kZoomStep)));
    return true;
}

ReferenceForm FormFromReference(const ImageReference& ref)
{
    ReferenceForm form;
    form.height = FormatInt(ref.height);
    form.width = FormatInt(ref.width);
    const PositionTexts nw = PositionToText(ref.nw_lat, ref.nw_lon);
    const PositionTexts se = PositionToText(ref.se_lat, ref.se_lon);
    form.nwLat = nw.latitude;
    form.nwLon = nw.longitude;
    form.seLat = se.latitude;
    form.seLon = se.longitude;
    form.colourChoice = 0;
    for (int i = 0; i < 4; ++i) {
        if (kColours[i] == ref.track_colour) {
            form.colourChoice = i;
        }
    }
    form.thicknessChoice = ref.track_width == 1 ? 0 : 1;
    form.latOffset = ref.lat_offset;
    form.lonOffset = ref.lon_offset;
    form.hasAudio = ref.has_audio == 1;
    return form;
}

std::optional<ImageReference> ReferenceFromForm(const ReferenceForm& form, std::string* problem)
{
    const std::optional<int> height = WholeNumber(form.height);
    const std::optional<int> width = WholeNumber(form.width);
    const char* bad = nullptr;
    if (!height || *height < 1) {
        bad = "height";
    } else if (!width || *width < 1) {
        bad = "width";
    }
    if (bad != nullptr) {
        if (problem != nullptr) {
            *problem = std::string("The image ") + bad + " must be a whole number of pixels, 1 or more.";
        }
        return std::nullopt;
    }
    ImageReference ref;
    ref.height = *height;
    ref.width = *width;
    // Partly typed corners ("50°07.2S") are brought to full length first, as the dialog does
    // with every position field, so that the hemisphere letter is read where it belongs.
    const LatLong nw = TextToPosition(CompletePositionText(form.nwLat, false), CompletePositionText(form.nwLon, true));
    const LatLong se = TextToPosition(CompletePositionText(form.seLat, false), CompletePositionText(form.seLon, true));
    ref.nw_lat = std::clamp(nw.lat, kTextLatitudeMin, kTextLatitudeMax);
    ref.nw_lon = nw.lon;
    ref.se_lat = std::clamp(se.lat, kTextLatitudeMin, kTextLatitudeMax);
    ref.se_lon = se.lon;
    ref.track_colour = kColours[std::clamp(form.colourChoice, 0, 3)];
    ref.track_width = form.thicknessChoice == 0 ? 1 : 2;
    ref.lat_offset = std::clamp(form.latOffset, -kOffsetLimit, kOffsetLimit);
    ref.lon_offset = std::clamp(form.lonOffset, -kOffsetLimit, kOffsetLimit);
    ref.has_audio = form.hasAudio ? 1 : 0;
    return ref;
}

} // namespace kv::raster
