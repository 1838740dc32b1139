// An anchor watch with its alarm raised: the main window on the working folder, the anchor
// dropped at own ship's position with the 30 m circle, the vessel dragging 45 m to the south-east
// over a few fixes; saves the main window with the circle, the track leaving it and the "Anchor
// drag" alarm in the alarm bar above the chart.

#include "Scenes.h"

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/MainWindow.h"
#include "views/ViewSet.h"

#include <cmath>

namespace kvshot {

bool AnchorWatchScene(const Folders& folders)
{
    kv::ProgramState state;
    kv::FakePlatform fakes;
    fakes.clock.time = kv::LocalDateTime { 2026, 7, 14, 3, 12, 0, 0 };
    kvui::MainWindow window(state, fakes.platform);
    OpenMainWindow(window, folders.work, 1100, 760);

    // At anchor where the chart opens; the anchor goes down at own ship's last fix.
    const double lat = state.fixInfo.OwnLat, lon = state.fixInfo.OwnLong;
    const double cosLat = std::cos(lat * M_PI / 180.0);
    const double metre = 1.0 / 1852.0 / 60.0;
    state.quickLog.push({ lat, lon, 3 * 60.0 });
    window.command(QStringLiteral("DropAnchor1"))->trigger();

    // The wind gets up: eight fixes a minute apart, the last 45 m south-east of the anchor.
    state.fixInfo.FixSource = "GPS";
    for (int k = 1; k <= 8; ++k) {
        const double m = 45.0 * k / 8.0;
        const double fixLat = lat - m * std::sqrt(0.5) * metre, fixLon = lon - m * std::sqrt(0.5) * metre / cosLat;
        state.quickLog.push({ fixLat, fixLon, 3 * 60.0 + k });
        state.fixInfo.OwnLat = fixLat;
        state.fixInfo.OwnLong = fixLon;
        fakes.clock.time.minute = 12 + k;
        window.controller().alarms().FixTaken();
    }
    window.secsTick();

    kv::ViewSet& views = window.controller().views();
    if (views.count() > 0) {
        kv::ChartView& v = views.view(0);
        for (int i = 0; i < 40 && v.zoom < 5000; ++i) {
            views.ZoomInClick(v);
        }
        views.ZoomOutClick(v); // the whole circle and the vessel outside it
        views.ReCentre(v);
    }
    window.refresh();
    QApplication::processEvents();
    return Save(window, folders.out + QStringLiteral("anchor-watch.png"));
}

} // namespace kvshot
