// kvaisshot WORKDIR OUTDIR: pictures of an AIS encounter for the documentation. Starts the main
// window over recording fakes on WORKDIR, switches Class B targets and collision warnings on,
// lets a Class B yacht on a collision course, a passing ship, a yacht at anchor and an aid to
// navigation be heard, then saves the main window (the red target and its track to the closest
// point) as ais-encounter.png and the target list as ais-target-list.png in OUTDIR; then picks a
// row of the list, opens a second view and tiles the two (ais-new-view-tile.png), and clears all
// targets (ais-clear-all-targets.png).
// docs/make_ais_screenshots.sh runs it under Xvfb.

#include "../shotsupport/ShotSupport.h"

#include "ais/AisEncoder.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/AisTargetListWindow.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/ViewWindow.h"
#include "views/ViewAis.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTableWidget>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kNmPerDegree = 60.0;

std::int64_t Raw(double degrees) { return std::llround(degrees * 600000.0); }

std::vector<std::string> Sentences(const kv::AisBitWriter& w)
{
    int fill = 0;
    const std::string payload = w.armoured(&fill);
    return kv::AisSentences(payload, fill, "");
}

// A Class A position report (message 1).
std::vector<std::string> ClassA(unsigned mmsi, double lat, double lonE, double sog, double cog)
{
    kv::AisBitWriter w;
    w.put(1, 6), w.put(0, 2), w.put(mmsi, 30), w.put(0, 4), w.put(-128, 8);
    w.put(std::llround(sog * 10), 10), w.put(1, 1), w.put(Raw(lonE), 28), w.put(Raw(lat), 27);
    w.put(std::llround(cog * 10), 12), w.put(511, 9), w.put(30, 6), w.put(0, 2), w.put(0, 3), w.put(0, 1), w.put(0, 19);
    return Sentences(w);
}

// A Class B position report (message 18).
std::vector<std::string> ClassB(unsigned mmsi, double lat, double lonE, double sog, double cog)
{
    kv::AisBitWriter w;
    w.put(18, 6), w.put(0, 2), w.put(mmsi, 30), w.put(0, 8), w.put(std::llround(sog * 10), 10), w.put(1, 1);
    w.put(Raw(lonE), 28), w.put(Raw(lat), 27), w.put(std::llround(cog * 10), 12), w.put(511, 9), w.put(30, 6);
    w.put(0, 2), w.put(1, 1), w.put(0, 1), w.put(1, 1), w.put(1, 1), w.put(1, 1), w.put(0, 1), w.put(0, 1);
    w.put(393222, 20);
    return Sentences(w);
}

// Class B static data, part A (the name) and part B (type, vendor, call sign, dimensions).
std::vector<std::string> ClassBStatic(unsigned mmsi, const char* name, const char* callSign, int type)
{
    kv::AisBitWriter a;
    a.put(24, 6), a.put(0, 2), a.put(mmsi, 30), a.put(0, 2), a.putText(name, 20);
    kv::AisBitWriter b;
    b.put(24, 6), b.put(0, 2), b.put(mmsi, 30), b.put(1, 2), b.put(type, 8), b.putText("KVF1234", 7);
    b.putText(callSign, 7), b.put(8, 9), b.put(4, 9), b.put(2, 6), b.put(2, 6), b.put(0, 6);
    auto out = Sentences(a);
    for (auto& s : Sentences(b)) {
        out.push_back(s);
    }
    return out;
}

// An aid to navigation (message 21).
std::vector<std::string> Aid(unsigned mmsi, const char* name, int aidType, double lat, double lonE)
{
    kv::AisBitWriter w;
    w.put(21, 6), w.put(0, 2), w.put(mmsi, 30), w.put(aidType, 5), w.putText(name, 20), w.put(1, 1);
    w.put(Raw(lonE), 28), w.put(Raw(lat), 27), w.put(0, 9), w.put(0, 9), w.put(0, 6), w.put(0, 6);
    w.put(7, 4), w.put(60, 6), w.put(0, 1), w.put(0, 8), w.put(0, 1), w.put(0, 1), w.put(0, 1), w.put(0, 1);
    return Sentences(w);
}


} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const auto folders = kvshot::FolderArguments(argc, argv);
    if (!folders) {
        return 2;
    }
    const std::string& work = folders->work;
    const QString& out = folders->out;

    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    window.start(work, "");
    window.resize(1100, 760);
    window.show();
    window.secsTick(); // the first tick loads the chart
    QApplication::processEvents();

    state.extra.ClassBAndAtoNTargets = true;
    state.extra.CollisionWarnings = true;
    state.ais.HighlightNearest = false;

    // Own vessel heading north at 5 knots; the yacht comes from the east at 6 knots to the point
    // own vessel reaches in 10 minutes.
    const double lat = state.fixInfo.OwnLat;
    const double lonE = -state.fixInfo.OwnLong;
    const double cosLat = std::cos(lat * M_PI / 180.0);
    state.motion.SOG = 5.0;
    state.motion.COGValue = 0.0;
    const double meetLat = lat + (5.0 / 6.0) / kNmPerDegree;
    const double eastNm = 1.0;
    std::vector<std::string> lines;
    auto add = [&lines](const std::vector<std::string>& s) { lines.insert(lines.end(), s.begin(), s.end()); };
    add(ClassB(235109876, meetLat, lonE + eastNm / kNmPerDegree / cosLat, 6.0, 270.0));
    add(ClassBStatic(235109876, "BLUE HERON", "MBHX7", 36));
    add(ClassA(636012345, lat + 2.0 / kNmPerDegree, lonE - 2.4 / kNmPerDegree / cosLat, 14.2, 95.0));
    add(ClassB(235208642, lat - 0.6 / kNmPerDegree, lonE - 0.8 / kNmPerDegree / cosLat, 0.0, 0.0));
    add(ClassBStatic(235208642, "SEA BREEZE", "MSBZ2", 37));
    add(Aid(992356001, "NORTH CARDINAL", 20, lat + 1.4 / kNmPerDegree, lonE + 0.5 / kNmPerDegree / cosLat));
    for (const auto& line : lines) {
        window.controller().ais().DecodeAndUpdate(line);
    }

    kv::ViewSet& views = window.controller().views();
    if (kv::ChartView* v = views.aisView()) {
        if (!v->ais.ShowAIS) {
            kv::ShowAISClick(views, *v);
        }
        for (int i = 0; i < 12 && v->zoom < 2000; ++i) {
            views.ZoomInClick(*v);
        }
        views.ZoomOutClick(*v); // room for the other targets around the encounter
        state.ais.SelectedTarget = 1;
        views.ReCentre(*v);
    }
    window.refresh();
    QApplication::processEvents();

    bool ok = kvshot::Save(window, out + QStringLiteral("ais-encounter.png"));
    window.command(QStringLiteral("AISTargetList1"))->trigger();
    kvui::AisTargetListWindow* list = window.aisList();
    list->resize(800, 190);
    list->table()->resizeColumnsToContents();
    ok = kvshot::Save(*list, out + QStringLiteral("ais-target-list.png")) && ok;
    list->hide();

    // A row of the list picked, then File > New View and Window > Tile: the AIS view (left)
    // keeps its targets and the picked one, through its next five-second refresh.
    list->table()->selectRow(1);
    window.command(QStringLiteral("FileNewItem"))->trigger();
    window.command(QStringLiteral("WindowTileItem"))->trigger();
    for (int i = 0; i < views.count(); ++i) {
        window.controller().RefRateTimer(i);
    }
    window.refresh();
    QApplication::processEvents();
    ok = kvshot::Save(window, out + QStringLiteral("ais-new-view-tile.png")) && ok;

    // "AIS Clear All Targets" (answered Yes): the AIS view is drawn again without them.
    fakes.prompter.defaultAnswer = true;
    if (kvui::ViewWindow* first = window.view(0)) {
        if (auto* clear = first->popupMenu()->findChild<QAction*>(QStringLiteral("ClearAllTargets1"))) {
            clear->trigger();
        }
    }
    window.refresh();
    QApplication::processEvents();
    ok = kvshot::Save(window, out + QStringLiteral("ais-clear-all-targets.png")) && ok;
    return ok ? 0 : 1;
}
