// The raster image viewer following the vessel across the demo harbour plan
// (charts/HarbourPlan.bmp of the working folder, with its HarbourPlan.ref): the main window with
// the serial interface open on the fake port, the viewer opened from the Tools menu with "Track
// Vessel" and "Show Fix Crosses" checked, while GPS sentences of a short passage across the
// image arrive and the fix timer and the viewer's tracking timer run. The main window and the
// viewer are saved as one picture, the viewer where it stands over the main window's corner.

#include "Scenes.h"

#include "app/ProgramState.h"
#include "core/Config.h"
#include "nmea/Templates.h"
#include "platform/fake/Fakes.h"
#include "raster/ImageReference.h"
#include "ui/MainWindow.h"
#include "ui/RasterViewerWindow.h"
#include "views/ViewSet.h"

#include <QAction>
#include <QTimer>

#include <cmath>
#include <cstdio>

namespace kvshot {

namespace {

std::string DegreesMinutes(double degrees, int degreeDigits)
{
    const double a = std::fabs(degrees);
    const int d = static_cast<int>(a);
    char text[32];
    std::snprintf(text, sizeof text, "%0*d%07.4f", degreeDigits, d, (a - d) * 60.0);
    return text;
}

// "$GPGGA" at a position, longitude west positive as the program holds it.
std::string Gga(int secondOfDay, double lat, double lonWest)
{
    char time[32];
    std::snprintf(time, sizeof time, "%02d%02d%02d.00", secondOfDay / 3600, secondOfDay / 60 % 60, secondOfDay % 60);
    const std::string body = std::string("$GPGGA,") + time + "," + DegreesMinutes(lat, 2) + (lat < 0 ? ",S," : ",N,")
        + DegreesMinutes(lonWest, 3) + (lonWest > 0 ? ",W," : ",E,") + "1,08,0.9,10.0,M,0.0,M,,";
    return body + kv::NMEAChecksum(body) + "\r\n";
}

} // namespace

bool RasterViewerScene(const Folders& folders)
{
    const std::string& work = folders.work;
    const QString out = folders.out + QStringLiteral("raster-viewer.png");
    const QString image = QString::fromStdString(work) + QStringLiteral("charts/HarbourPlan.bmp");

    const kv::raster::RefReadResult ref = kv::raster::ReadRefFile(kv::raster::RefPathFor(image.toStdString()));
    if (ref.status != kv::raster::RefRead::Read || !kv::raster::Referenced(ref.ref)) {
        std::fprintf(stderr, "kvshot: %s has no usable reference file\n", image.toLocal8Bit().constData());
        return false;
    }
    const kv::raster::ImageReference& r = ref.ref;

    {
        // The configuration of the run: the interface opens at start on the fake port, a fix is
        // taken every 300 ms, the views start where the passage is.
        kv::ProgramState config;
        kv::ApplyConfigDefaults(config.fixInfo, config.chartRef, config.folders, config.settings);
        config.folders.AppDir = work;
        config.folders.LogDir = work + "logs/";
        config.folders.ChartDir = work + "charts/";
        config.fixInfo.OwnLat = r.se_lat + 0.5 * (r.nw_lat - r.se_lat);
        config.fixInfo.OwnLong = r.se_lon + 0.5 * (r.nw_lon - r.se_lon);
        config.settings.fix.NmeaStartMode = "Auto";
        config.settings.fix.FixIntervalMs = 300;
        config.settings.nmea.ComPortNumber = 1;
        config.settings.nmea.BaudRate = 4800;
        if (!kv::WriteConfig(work + "kelvw.cfg", config.fixInfo, config.chartRef, config.folders, config.settings)) {
            std::fprintf(stderr, "kvshot: cannot write %skelvw.cfg\n", work.c_str());
            return false;
        }
    }

    kv::ProgramState state;
    kv::FakePlatform fakes;
    fakes.sound.autoFinish = true;
    kvui::MainWindow window(state, fakes.platform);
    window.aboutBox = [] {};
    window.start(work, "");
    window.resize(1000, 700);
    window.move(0, 0);
    window.show();
    window.secsTick(); // the first tick loads the chart and opens the interface

    // The passage: from the image's south-west quarter toward its north-east, a little curved.
    const double lat0 = r.se_lat + 0.25 * (r.nw_lat - r.se_lat);
    const double lon0 = r.nw_lon - 0.2 * (r.nw_lon - r.se_lon);
    const double dLat = (r.nw_lat - r.se_lat) * 0.5;
    const double dLon = -(r.nw_lon - r.se_lon) * 0.55;
    int step = 0;
    const int steps = 36;
    QTimer receiver;
    QObject::connect(&receiver, &QTimer::timeout, [&] {
        if (step >= steps) {
            return;
        }
        ++step;
        const double f = static_cast<double>(step) / steps;
        const double lat = lat0 + dLat * f + 0.08 * dLat * std::sin(f * 3.14159);
        const double lon = lon0 + dLon * f;
        fakes.serial.receive(Gga(10 * 3600 + 30 * step, lat, lon));
    });
    receiver.start(150);
    Spin(1200);
    // The chart view closer in, around the passage.
    kv::ViewSet& views = window.controller().views();
    if (views.count() > 0) {
        kv::ChartView& v = views.view(0);
        for (int i = 0; i < 20 && v.zoom < 4.0; ++i) {
            views.ZoomInClick(v);
        }
        window.refresh();
    }

    // Tools, "Raster Image Viewer", then its pop-up menu.
    window.command(QStringLiteral("RasterImageViewer1"))->trigger();
    kvui::RasterViewerWindow* viewer = window.rasterViewer();
    viewer->resize(560, 470);
    viewer->move(430, 20);
    viewer->chooseImage = [image](const QString&) { return QString(image); };
    viewer->command(kv::raster::RasterCommand::OpenImage)->trigger();
    viewer->command(kv::raster::RasterCommand::ShowFixCrosses)->trigger();
    viewer->command(kv::raster::RasterCommand::TrackVessel)->trigger();
    Spin(steps * 150 + 1500);
    receiver.stop();
    // A click on the plan: its position in the caption.
    viewer->viewer().MousePress(380, 120);
    viewer->viewer().MouseRelease(380, 120);
    viewer->sync();
    Spin(300);

    QImage main = window.grab().toImage();
    const QImage inner = viewer->grab().toImage();
    // The viewer as a window: a title bar with its caption over the picture, and a frame.
    const int bar = 24;
    QImage framed(inner.width() + 2, inner.height() + bar + 1, QImage::Format_RGB32);
    framed.fill(QColor(60, 60, 70));
    {
        QPainter p(&framed);
        p.drawImage(1, bar, inner);
        p.setPen(Qt::white);
        QFont font = p.font();
        font.setBold(true);
        p.setFont(font);
        p.drawText(QRect(8, 0, framed.width() - 16, bar), Qt::AlignVCenter | Qt::AlignLeft, viewer->windowTitle());
    }
    QImage shot = main.convertToFormat(QImage::Format_RGB32);
    {
        QPainter p(&shot);
        const QPoint at(shot.width() - framed.width() - 12, 60);
        p.fillRect(QRect(at + QPoint(4, 4), framed.size()), QColor(0, 0, 0, 90));
        p.drawImage(at, framed);
    }
    if (!shot.save(out)) {
        std::fprintf(stderr, "kvshot: cannot write %s\n", out.toLocal8Bit().constData());
        return false;
    }
    return true;
}

} // namespace kvshot
