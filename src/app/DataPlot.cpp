#include "app/DataPlot.h"
#include "app/ProgramState.h"

#include "core/Format.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {
constexpr double kMetresPerNm = 1852.0;

// Colours are kept as the configuration file stores them: red in the low byte.
QColor FileColour(int rgb)
{
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// Plane-sailing offset (nm) of p from the line a -> b, right of the direction of travel positive.
double OffsetFromLine(double cosLat, LatLong a, LatLong b, LatLong p)
{
    // East and north in nautical miles; longitude is west positive.
    const double bx = -(b.lon - a.lon) * 60.0 * cosLat, by = (b.lat - a.lat) * 60.0;
    const double px = -(p.lon - a.lon) * 60.0 * cosLat, py = (p.lat - a.lat) * 60.0;
    const double length = std::hypot(bx, by);
    if (length == 0.0) {
        return 0.0;
    }
    return (px * by - py * bx) / length;
}
} // namespace

std::string FullScaleHint(int gain)
{
    return "Full Scale=" + Trim(FormatFixed(kPlotFullScaleAtGainOne / std::max(gain, 1), 0, 2)) + "|";
}

void DataGainChange(DataPlotState& plot, Display& display, int gain)
{
    plot.gain = std::max(gain, 1);
    plot.gainStep = plot.gain > 99 ? 100 : 1;
    display.hints[Control::Data_Gain] = FullScaleHint(plot.gain);
}

std::vector<double> CrossTrackOffsets(const ProgramState& state)
{
    std::vector<double> out;
    const QuickLog& log = state.quickLog;
    if (log.count() < 2) {
        return out;
    }
    LatLong a { log.at(1).lat, log.at(1).lon };
    LatLong b { log.at(log.count()).lat, log.at(log.count()).lon };
    const int active = state.routeProgress.ActiveWaypoint;
    const int length = static_cast<int>(state.route.count());
    if (active >= 2 && active <= length) {
        const RouteWaypoint& from = state.route.at(static_cast<std::size_t>(active - 1));
        const RouteWaypoint& to = state.route.at(static_cast<std::size_t>(active));
        a = { from.lat, from.lon };
        b = { to.lat, to.lon };
    }
    for (const QuickLogRecord& r : log) {
        out.push_back(OffsetFromLine(state.chartRef.CosLatFactor, a, b, { r.lat, r.lon }) * kMetresPerNm);
    }
    return out;
}

QImage DrawDataPlot(const ProgramState& state, const DataPlotState& plot, int width, int height)
{
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(FileColour(state.settings.ChartBackColour));
    QPainter painter(&image);
    const QColor foreground = FileColour(state.settings.ChartForeColour);
    painter.setPen(foreground);
    const int middle = image.height() / 2;
    painter.drawLine(0, middle, image.width() - 1, middle);

    const std::vector<double> offsets = CrossTrackOffsets(state);
    if (offsets.size() >= 2) {
        const double fullScale = kPlotFullScaleAtGainOne / std::max(plot.gain, 1);
        const double sign = plot.reversed ? 1.0 : -1.0;
        const double dx = static_cast<double>(image.width() - 1) / static_cast<double>(offsets.size() - 1);
        QPointF last;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            const double clamped = std::clamp(offsets[i] / fullScale, -1.0, 1.0);
            const QPointF p(static_cast<double>(i) * dx, middle + sign * clamped * middle);
            if (i > 0) {
                painter.drawLine(last, p);
            }
            last = p;
        }
    }
    if (!plot.plotAll) {
        painter.setPen(Qt::red);
        for (const int x : { plot.markA, plot.markB }) {
            if (x >= 0) {
                painter.drawLine(x, middle - kPlotMarkHeight / 2, x, middle + kPlotMarkHeight / 2);
            }
        }
    }
    return image;
}

} // namespace kv
