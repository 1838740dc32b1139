// The "View and Zoom Properties" dialog and a survey-log plot: the program's model on the working
// folder with a small harbour chart laid in it and a text log of a survey run in six lines across
// it; the view set to plot the speed over ground with colour blobs, the survey track and the
// highlight. Saves the dialog and the view window with its legend and scale bar.

#include "Scenes.h"

#include "app/MainController.h"
#include "app/ViewOptionsModel.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "ui/ViewOptionsDialog.h"
#include "ui/ViewWindow.h"
#include "views/SurveyLogDraw.h"
#include "views/ViewPrint.h"
#include "views/ViewReadouts.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace kvshot {

namespace {

constexpr double kLat = 50.70; // the survey box's middle
constexpr double kLon = 1.30; // west positive

// A bay open to the south with a breakwater and two depth contours.
void LayHarbourChart(kv::ChartStore& chart)
{
    chart.setCount(0);
    auto add = [&chart](double dLat, double dLon, int type) {
        const int n = chart.count() + 1;
        chart.setCount(n);
        chart.setPoint(n, kv::ChartPoint::make(kLat + dLat, kLon + dLon, type));
    };
    auto lift = [&chart] {
        const int n = chart.count() + 1;
        chart.setCount(n);
        chart.setPoint(n, kv::ChartPoint::penUp());
    };
    const double coast[][2]
        = { { -0.030, 0.046 }, { -0.012, 0.042 }, { 0.006, 0.040 }, { 0.017, 0.030 }, { 0.021, 0.005 },
              { 0.020, -0.018 }, { 0.015, -0.036 }, { 0.002, -0.041 }, { -0.016, -0.044 }, { -0.030, -0.048 } };
    for (const auto& c : coast) {
        add(c[0], c[1], 0);
    }
    lift();
    add(-0.020, -0.044, 0);
    add(-0.019, -0.034, 0);
    lift();
    for (double depth : { 0.006, 0.014 }) {
        for (const auto& c : coast) {
            add(c[0] - depth * 0.5, c[1] * (1.0 - depth * 6.0), depth < 0.01 ? 2 : 3);
        }
        lift();
    }
}

// Six survey lines run east and west in turn, a fix every 20 seconds, the speed dropping in the
// turns and rising on two lines where the tide runs with the boat.
std::vector<std::string> SurveyLog(const std::string& date)
{
    std::vector<std::string> lines = { "Log Date : " + date, "@f,@t,@p:3,@q,@s,@x" };
    int fix = 0;
    for (int line = 0; line < 6; ++line) {
        const double lat = kLat - 0.012 + line * 0.0045;
        if (line == 3) {
            lines.emplace_back("# -b"); // a pause for a reading: the track is not joined
        }
        for (int i = 0; i < 12; ++i) {
            const int step = line % 2 == 0 ? i : 11 - i;
            const double lon = kLon + 0.028 - step * 0.0051;
            const double edge = std::min(i, 11 - i);
            double speed = 2.6 + 0.55 * edge + (line == 2 || line == 5 ? 1.2 : 0.0) + 0.2 * std::sin(fix * 1.7);
            if (edge == 0) {
                speed -= 1.3;
            }
            const double xte = 0.004 * std::sin(fix * 0.9);
            ++fix;
            if (fix % 23 == 0) {
                lines.push_back("*" + std::to_string(fix / 23)); // an event: the next fix was taken by hand
            }
            const double latMin = (lat - 50.0) * 60.0;
            const double lonMin = (lon - 1.0) * 60.0;
            char buf[160];
            std::snprintf(buf, sizeof buf, "%05d,10:%02d:%02d,50%06.3f,N,001%06.3f,W,2-09,%.2f,%.2f", fix, fix / 3,
                (fix % 3) * 20, latMin, lonMin, speed, xte);
            lines.emplace_back(buf);
        }
    }
    return lines;
}

} // namespace

bool ViewOptionsScene(const Folders& folders)
{
    const std::string& work = folders.work;
    const QString& out = folders.out;

    kv::ProgramState state;
    kv::FakePlatform fakes;
    kv::MainWindowHooks hooks;
    kv::MainController controller(state, fakes.platform, hooks);
    state.chartGeometry.SurfaceWidth = 1280;
    state.chartGeometry.SurfaceHeight = 1024;
    controller.FormCreate(work, "");
    controller.SecsTimerTimer(); // the first tick loads the chart and opens the view
    if (controller.views().count() == 0) {
        std::fprintf(stderr, "kvshot: no view\n");
        return false;
    }

    LayHarbourChart(state.chart);
    state.chart.ChartName = "harbour";
    state.settings.TextLogFormat = "@f,@t,@p:3,@q,@s,@x";
    const std::string log = kv::SurveyLogPath(state.folders.LogDir.str(), state.textLog.LogNameBase.str());
    if (!kv::WriteTextLinesAtomic(log, SurveyLog(state.textLog.LogNameBase.str()))) {
        std::fprintf(stderr, "kvshot: cannot write %s\n", log.c_str());
        return false;
    }
    state.fixInfo.OwnLat = kLat + 0.0105;
    state.fixInfo.OwnLong = kLon + 0.030;

    kv::ChartView& view = controller.views().view(0);
    view.centreLat = kLat;
    view.centreLong = kLon;

    // The dialog as a surveyor sets it: speed over ground, colour over 0 to 8 knots, above 6
    // highlighted, the survey track and the fix crosses.
    kv::ViewOptionsModel model(controller, 0);
    model.Fill();
    model.fields.xZoom = 75;
    model.PlotTextLogClick(true);
    model.PlotVChange(static_cast<int>(kv::PlotFieldIndex('S')));
    model.BlobOnClick(true);
    model.fields.PlotRange = 8;
    model.fields.SVtrack = true;
    model.fields.HiLite = "6.00";
    kvui::ViewOptionsDialog dialog(model);
    dialog.showFields();
    bool ok = Save(dialog, out + QStringLiteral("view-options-dialog.png"));
    dialog.accept();

    kvui::ViewWindow window(1);
    window.resize(900, 640);
    window.setBackground(QColor::fromRgb(0xFF000000u | kv::ColoursFromSettings(state.settings).background));
    window.setImage(view.bitmap);
    window.setZoomText(QString::fromLatin1(kv::ZoomCaption(view.zoom).c_str()));
    window.setLegend(kv::SurveyLegendImage(view.options, kv::ColoursFromSettings(state.settings)));
    if (const auto bar = kv::ComputeScaleBar(view.projection, state.settings.units.UnitFactor, kv::kScaleBarPixels)) {
        QImage image(std::max(bar->pixels + 16, 90), 30, QImage::Format_RGB32);
        image.fill(QColor::fromRgb(0xFF000000u | kv::ColoursFromSettings(state.settings).background));
        kv::RenderCanvas canvas(image);
        kv::DrawScaleBar(canvas, *bar, 8, 24, kv::ColoursFromSettings(state.settings).foreground);
        window.setScaleBar(image);
    }
    window.show();
    QApplication::processEvents();
    window.centreOn(view.bitmap.width() / 2, view.bitmap.height() / 2);
    ok = Save(window, out + QStringLiteral("survey-log-plot.png")) && ok;
    return ok;
}

} // namespace kvshot
