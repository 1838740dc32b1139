#include "routes/TidalStreams.h"

#include "charts/ChartFiles.h"
#include "core/Format.h"
#include "core/Paths.h"
#include "core/Real48.h"
#include "core/TextFile.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kv {

namespace {

std::int16_t Int16At(const std::string& bytes, std::size_t offset)
{
    const auto lo = static_cast<std::uint8_t>(bytes[offset]);
    const auto hi = static_cast<std::uint8_t>(bytes[offset + 1]);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
}

// The stream of a diamond at a tide hour; hours outside -6 … +6 are held at the ends.
int SafeHour(int hour)
{
    return std::clamp(hour, -6, 6);
}

} // namespace

std::string StreamFilePath(const std::string& atlasPath)
{
    if (atlasPath.size() < 3) {
        return {};
    }
    const std::string wanted = NormalizeSeparators(atlasPath.substr(0, atlasPath.size() - 3) + "FLO");
    const std::string folder = FolderOf(wanted);
    const std::string name = wanted.substr(folder.size());
    return FindFileCaseInsensitive(folder, name).value_or(wanted);
}

int TideHourOf(int hour, int minute, int highWaterHour)
{
    if (minute > 29) {
        ++hour;
    }
    if (hour == 24) {
        hour = 0;
    }
    int h = (hour - highWaterHour) % 13; // the remainder keeps the sign
    if (h > 6) {
        h -= 13;
    }
    if (h < -6) {
        h += 13;
    }
    return h;
}

std::string TideStepText(int tideStep, int highWaterHour)
{
    int clock = highWaterHour + tideStep;
    if (clock < 0) {
        clock += 24;
    }
    if (clock > 23) {
        clock -= 24;
    }
    return "Tide " + FormatInt(tideStep, 2) + " Hrs rel to HW " + " (" + FormatInt(clock, 2) + ":00)   ";
}

int NearestDiamondTo(const TidalDiamonds& tides, double lat, double lon, double cosLatFactor)
{
    double best = 99999.0;
    int nearest = 0;
    for (std::size_t k = 1; k <= tides.count(); ++k) {
        const TidalDiamond& d = tides.at(k);
        const double dLat = d.lat - lat;
        const double dLong = (d.lon - lon) * cosLatFactor;
        const double distance = 60.0 * std::sqrt(dLat * dLat + dLong * dLong);
        if (best >= distance) {
            best = distance;
            nearest = static_cast<int>(k);
        }
    }
    return nearest;
}

bool TidalAtlas::LoadAtlas(const std::string& posPath)
{
    TidalDiamonds& tides = tides_;
    std::array<TidalDiamond, kDiamondCapacity> work {};
    std::copy(tides.begin(), tides.end(), work.begin());

    const auto positions = FileExists(posPath) ? ReadWholeFile(posPath) : std::nullopt;
    if (!positions) {
        platform_.prompter.warning(kNonExistantFile);
    } else {
        const std::size_t n = std::min(positions->size() / kPositionRecordSize, kDiamondCapacity);
        for (std::size_t i = 0; i < n; ++i) {
            const auto* record = reinterpret_cast<const std::uint8_t*>(positions->data() + i * kPositionRecordSize);
            work[i].lat = real48ToDouble(record);
            work[i].lon = real48ToDouble(record + 6);
        }
    }
    const std::string streamPath = StreamFilePath(posPath);
    const auto streams = FileExists(streamPath) ? ReadWholeFile(streamPath) : std::nullopt;
    if (!streams) {
        // The atlas in use stays whole: new positions are not mixed with the old streams.
        platform_.prompter.warning(kNoFlowRateFile);
        return false;
    }
    const std::size_t count = std::min(streams->size() / kStreamRecordSize, kDiamondCapacity);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t base = i * kStreamRecordSize;
        for (std::size_t h = 0; h < static_cast<std::size_t>(kTideHours); ++h) {
            work[i].set[h] = Int16At(*streams, base + 4 * h);
            work[i].rate[h] = Int16At(*streams, base + 4 * h + 2);
        }
    }
    tides.clear();
    for (std::size_t i = 0; i < count; ++i) {
        tides.push(work[i]);
    }
    return true;
}

void TidalAtlas::Tides1Click(const std::string& posPath)
{
    if (posPath.empty()) {
        return;
    }
    LoadAtlas(posPath);
    if (!tides_.empty()) {
        const LocalDateTime now = platform_.clock.now();
        stream_.TidalHour = static_cast<std::int16_t>(TideHourOf(now.hour, now.minute, tidePrefs_.HighWaterHour));
    }
}

void TidalAtlas::Tides2Click()
{
    if (platform_.prompter.confirm(kRemoveTidesQuestion)) {
        tides_.clear();
    }
}

void TidalAtlas::IncTideClick()
{
    if (tides_.empty()) {
        return;
    }
    stream_.TideStep = static_cast<std::int16_t>(stream_.TideStep + 1);
    if (stream_.TideStep >= 7) {
        stream_.TideStep = -6;
    }
    stream_.TidalHour = stream_.TideStep;
    display_.StatusLine = TideStepText(stream_.TideStep, tidePrefs_.HighWaterHour);
}

void TidalAtlas::StreamAtVessel()
{
    if (!tidePrefs_.AtlasTide) {
        return;
    }
    stream_.TideSet = 0;
    stream_.TideRate = 0.0;
    const int k = NearestDiamondTo(tides_, fix_.OwnLat, fix_.OwnLong, reference_.CosLatFactor);
    if (k > 0) {
        const TidalDiamond& d = tides_.at(static_cast<std::size_t>(k));
        stream_.NearestDiamond = static_cast<std::int16_t>(k);
        stream_.TideSet = d.setAt(SafeHour(stream_.TidalHour));
        stream_.TideRate = d.rateAt(SafeHour(stream_.TidalHour)) / 10.0;
    }
}

void TidalAtlas::ManTideClick(bool ticked)
{
    tidePrefs_.AtlasTide = !ticked;
}

void TidalAtlas::AvTideClick()
{
    if (progress_.RouteLength == 0 || tides_.empty()) {
        platform_.prompter.error(kNoAtlasOrRoute);
        return;
    }
    const double hours
        = std::isfinite(progress_.TimeToWaypoint) ? std::clamp(progress_.TimeToWaypoint, -1.0, 1000.0) : 0.0;
    const int n = static_cast<int>(std::trunc(hours));
    const double course = (vessel_.DRCourseSource == 0 ? progress_.BearingToWaypoint : motion_.DRCourse) * M_PI / 180.0;
    const double speed = vessel_.DRSpeedSource == 0 ? vessel_.BoatSpeed : motion_.DRSpeed;
    // The sample position moves on its own; the vessel's position is never touched.
    double lat = fix_.OwnLat;
    double lon = fix_.OwnLong;
    int h = SafeHour(stream_.TidalHour);
    double north = 0.0;
    double east = 0.0;
    int samples = 0;
    for (int j = 0; j < n && j < 40; ++j) {
        if (j >= 1) {
            const double previousLat = lat;
            lat += std::cos(course) * speed / 60.0;
            lon -= std::sin(course) * speed / 60.0 / std::fabs(std::cos(previousLat * M_PI / 180.0));
        }
        const int k = NearestDiamondTo(tides_, lat, lon, reference_.CosLatFactor);
        if (k > 0) {
            const TidalDiamond& d = tides_.at(static_cast<std::size_t>(k));
            const double set = d.setAt(h) * M_PI / 180.0;
            north += d.rateAt(h) * std::cos(set);
            east += d.rateAt(h) * std::sin(set);
            ++samples;
        }
        if (++h == 7) {
            h = -6;
        }
    }
    if (samples == 0) {
        tidePrefs_.Tset = 0;
        tidePrefs_.TDrift = 0;
        platform_.prompter.warning(kLessThanOneHour);
        return;
    }
    long long set = RoundHalfEven(std::atan2(east, north) * 180.0 / M_PI);
    if (set < 0) {
        set += 360;
    }
    const double m = samples;
    tidePrefs_.Tset = static_cast<std::int16_t>(set);
    tidePrefs_.TDrift = static_cast<std::int16_t>(RoundHalfEven(std::hypot(north / m, east / m)));
}

} // namespace kv
