// kvglanceshot WORKDIR OUTDIR: pictures of AIS at a glance for the documentation. Starts the main
// window over recording fakes on WORKDIR with targets shown from the start, labels placed and
// collision warnings on, lets a ship on a collision course and a crowd of others be heard, clicks
// the dangerous ship and saves the window with the ship's pop-up (ais-target-popup.png), then
// switches the night palette on with the instrument strip and the GPS indicator shown
// (ais-night-palette.png) and off again.
// docs/make_glance_screenshots.sh runs it under Xvfb.

#include "../shotsupport/ShotSupport.h"

#include "ais/AisEncoder.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "ui/TargetPopup.h"
#include "ui/ViewWindow.h"
#include "views/AisDraw.h"

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kNmPerDegree = 60.0;

std::int64_t Raw(double degrees) { return std::llround(degrees * 600000.0); }

// A Class A position report (message 1) and its static data (message 5) with the name.
std::vector<std::string> Ship(unsigned mmsi, const char* name, double lat, double lonE, double sog, double cog)
{
    kv::AisBitWriter w;
    w.put(1, 6), w.put(0, 2), w.put(mmsi, 30), w.put(0, 4), w.put(-128, 8);
    w.put(std::llround(sog * 10), 10), w.put(1, 1), w.put(Raw(lonE), 28), w.put(Raw(lat), 27);
    w.put(std::llround(cog * 10), 12), w.put(511, 9), w.put(30, 6), w.put(0, 2), w.put(0, 3), w.put(0, 1), w.put(0, 19);
    int fill = 0;
    std::vector<std::string> out = kv::AisSentences(w.armoured(&fill), fill, "");
    kv::AisBitWriter s;
    s.put(5, 6), s.put(0, 2), s.put(mmsi, 30), s.put(0, 2), s.put(9000000 + mmsi % 1000, 30), s.putText("CALL", 7);
    s.putText(name, 20), s.put(70, 8), s.put(90, 9), s.put(20, 9), s.put(8, 6), s.put(8, 6), s.put(1, 4);
    s.put(0, 20), s.put(80, 8), s.putText("PORTSMOUTH", 20), s.put(0, 1), s.put(0, 1);
    for (auto& line : kv::AisSentences(s.armoured(&fill), fill, "")) {
        out.push_back(line);
    }
    return out;
}

// The window's picture with the pop-up painted where it stands on the screen.
bool SaveWithPopup(QWidget& window, QWidget* popup, const QString& file)
{
    QApplication::processEvents();
    QPixmap picture = window.grab();
    if (popup && popup->isVisible()) {
        QPainter painter(&picture);
        painter.drawPixmap(window.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    }
    const bool saved = picture.save(file);
    if (!saved) {
        std::fprintf(stderr, "kvglanceshot: cannot write %s\n", qPrintable(file));
    }
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const auto folders = kvshot::FolderArguments(argc, argv);
    if (!folders) {
        return 2;
    }
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    window.start(folders->work, "");
    window.resize(1100, 760);
    window.show();
    window.secsTick(); // the first tick loads the chart
    QApplication::processEvents();

    state.extra.CollisionWarnings = true;
    state.extra.PlaceTargetLabels = true;
    state.ais.HighlightNearest = false;

    // Own vessel heading north at 5 knots; the ship comes from the east at 12 knots to the point
    // own vessel reaches in 10 minutes; eleven others pass in a bunch to the north-west.
    const double lat = state.fixInfo.OwnLat;
    const double lonE = -state.fixInfo.OwnLong;
    const double cosLat = std::cos(lat * M_PI / 180.0);
    state.motion.SOG = 5.0;
    state.motion.COGValue = 0.0;
    const double meetLat = lat + (5.0 / 6.0) / kNmPerDegree;
    std::vector<std::string> lines = Ship(636012345, "ATLANTIC SPIRIT", meetLat, lonE + 2.0 / kNmPerDegree / cosLat, 12.0, 270.0);
    const char* names[] = {"SOLENT STAR", "WIGHT RYDER", "RED FALCON", "MARINA", "ORCA", "PETREL",
                           "SHEARWATER", "GANNET", "TERN", "CORMORANT", "KITTIWAKE"};
    for (int i = 0; i < 11; ++i) {
        const double dLat = (0.9 + 0.12 * (i % 4)) / kNmPerDegree;
        const double dLon = (-1.3 + 0.11 * (i / 4) + 0.05 * i) / kNmPerDegree / cosLat;
        for (auto& s : Ship(235100000 + i, names[i], lat + dLat, lonE + dLon, 4.0 + i, i * 33.0)) {
            lines.push_back(s);
        }
    }
    for (const auto& line : lines) {
        window.controller().ais().DecodeAndUpdate(line);
    }
    kv::ViewSet& views = window.controller().views();
    kv::ChartView* v = views.aisView();
    if (!v) {
        std::fprintf(stderr, "kvglanceshot: no AIS view\n");
        return 1;
    }
    v->ais.ShowAIS = true;
    for (int i = 0; i < 12 && v->zoom < 1000; ++i) {
        views.ZoomInClick(*v);
    }
    views.ZoomOutClick(*v);
    views.ReCentre(*v);
    window.refresh();
    QApplication::processEvents();

    // A click on the dangerous ship (target 1).
    const kv::LatLongValue pos = kv::AisTargetChartPosition(state.chartRef, state.ais.target(1));
    const auto px = kv::PositionToPixel(v->projection, pos.lat, pos.lon);
    kvui::ViewWindow* view = window.view(0);
    if (!px || !view) {
        std::fprintf(stderr, "kvglanceshot: the ship is not in the view\n");
        return 1;
    }
    const QPoint at(px->x, px->y);
    QMouseEvent press(QEvent::MouseButtonPress, at, view->image()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view->image(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, view->image()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view->image(), &release);
    auto* popup = view->findChild<kvui::TargetPopup*>();
    bool ok = SaveWithPopup(window, popup, folders->out + QStringLiteral("ais-target-popup.png"));
    if (popup) {
        popup->hide();
    }

    // The night picture shows the panels too: the navigation panel with its cross-track gauge,
    // the instrument strip and a lit GPS indicator.
    state.extra.Instruments = true;
    state.display.GPSIndicatorText = "GPS";
    state.display.GPSIndicatorColour = "lime";
    window.command(QStringLiteral("NightPalette1"))->trigger();
    QApplication::processEvents();
    ok = kvshot::Save(window, folders->out + QStringLiteral("ais-night-palette.png")) && ok;
    window.command(QStringLiteral("NightPalette1"))->trigger(); // the working copy's kvfree.ini back to day
    return ok ? 0 : 1;
}
