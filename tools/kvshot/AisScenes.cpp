// AIS targets in the chart view: an encounter with a Class B yacht on a collision course with the
// target list, a second view and clearing the targets; and a dangerous ship picked out with its
// pop-up among labelled targets, by day and with the night palette. The targets are heard as the
// sentences a receiver would pass on.

#include "Scenes.h"

#include "ais/AisEncoder.h"
#include "app/ProgramState.h"
#include "platform/fake/Fakes.h"
#include "ui/AisTargetListWindow.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/TargetPopup.h"
#include "ui/ViewWindow.h"
#include "views/AisDraw.h"
#include "views/ViewAis.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QTableWidget>

#include <cmath>

namespace kvshot {

namespace {

constexpr double kNmPerDegree = 60.0;

std::int64_t Raw(double degrees)
{
    return std::llround(degrees * 600000.0);
}

using Lines = std::vector<std::string>;

void Append(Lines& to, const Lines& from)
{
    to.insert(to.end(), from.begin(), from.end());
}

Lines Sentences(const kv::AisBitWriter& w)
{
    int fill = 0;
    const std::string payload = w.armoured(&fill);
    return kv::AisSentences(payload, fill, "");
}

// A Class A position report (message 1).
Lines ClassA(unsigned mmsi, double lat, double lonE, double sog, double cog)
{
    kv::AisBitWriter w;
    w.put(1, 6), w.put(0, 2), w.put(mmsi, 30), w.put(0, 4), w.put(-128, 8);
    w.put(std::llround(sog * 10), 10), w.put(1, 1), w.put(Raw(lonE), 28), w.put(Raw(lat), 27);
    w.put(std::llround(cog * 10), 12), w.put(511, 9), w.put(30, 6), w.put(0, 2), w.put(0, 3), w.put(0, 1), w.put(0, 19);
    return Sentences(w);
}

// A Class A ship: its position report and its static data (message 5) with the name.
Lines Ship(unsigned mmsi, const char* name, double lat, double lonE, double sog, double cog)
{
    Lines out = ClassA(mmsi, lat, lonE, sog, cog);
    kv::AisBitWriter s;
    s.put(5, 6), s.put(0, 2), s.put(mmsi, 30), s.put(0, 2), s.put(9000000 + mmsi % 1000, 30), s.putText("CALL", 7);
    s.putText(name, 20), s.put(70, 8), s.put(90, 9), s.put(20, 9), s.put(8, 6), s.put(8, 6), s.put(1, 4);
    s.put(0, 20), s.put(80, 8), s.putText("PORTSMOUTH", 20), s.put(0, 1), s.put(0, 1);
    Append(out, Sentences(s));
    return out;
}

// A Class B position report (message 18).
Lines ClassB(unsigned mmsi, double lat, double lonE, double sog, double cog)
{
    kv::AisBitWriter w;
    w.put(18, 6), w.put(0, 2), w.put(mmsi, 30), w.put(0, 8), w.put(std::llround(sog * 10), 10), w.put(1, 1);
    w.put(Raw(lonE), 28), w.put(Raw(lat), 27), w.put(std::llround(cog * 10), 12), w.put(511, 9), w.put(30, 6);
    w.put(0, 2), w.put(1, 1), w.put(0, 1), w.put(1, 1), w.put(1, 1), w.put(1, 1), w.put(0, 1), w.put(0, 1);
    w.put(393222, 20);
    return Sentences(w);
}

// Class B static data, part A (the name) and part B (type, vendor, call sign, dimensions).
Lines ClassBStatic(unsigned mmsi, const char* name, const char* callSign, int type)
{
    kv::AisBitWriter a;
    a.put(24, 6), a.put(0, 2), a.put(mmsi, 30), a.put(0, 2), a.putText(name, 20);
    kv::AisBitWriter b;
    b.put(24, 6), b.put(0, 2), b.put(mmsi, 30), b.put(1, 2), b.put(type, 8), b.putText("KVF1234", 7);
    b.putText(callSign, 7), b.put(8, 9), b.put(4, 9), b.put(2, 6), b.put(2, 6), b.put(0, 6);
    Lines out = Sentences(a);
    Append(out, Sentences(b));
    return out;
}

// An aid to navigation (message 21).
Lines Aid(unsigned mmsi, const char* name, int aidType, double lat, double lonE)
{
    kv::AisBitWriter w;
    w.put(21, 6), w.put(0, 2), w.put(mmsi, 30), w.put(aidType, 5), w.putText(name, 20), w.put(1, 1);
    w.put(Raw(lonE), 28), w.put(Raw(lat), 27), w.put(0, 9), w.put(0, 9), w.put(0, 6), w.put(0, 6);
    w.put(7, 4), w.put(60, 6), w.put(0, 1), w.put(0, 8), w.put(0, 1), w.put(0, 1), w.put(0, 1), w.put(0, 1);
    return Sentences(w);
}

void Hear(kvui::MainWindow& window, const Lines& lines)
{
    for (const auto& line : lines) {
        window.controller().ais().DecodeAndUpdate(line);
    }
}

} // namespace

bool AisEncounterScene(const Folders& folders)
{
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    OpenMainWindow(window, folders.work, 1100, 760);

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
    Lines lines;
    Append(lines, ClassB(235109876, meetLat, lonE + eastNm / kNmPerDegree / cosLat, 6.0, 270.0));
    Append(lines, ClassBStatic(235109876, "BLUE HERON", "MBHX7", 36));
    Append(lines, ClassA(636012345, lat + 2.0 / kNmPerDegree, lonE - 2.4 / kNmPerDegree / cosLat, 14.2, 95.0));
    Append(lines, ClassB(235208642, lat - 0.6 / kNmPerDegree, lonE - 0.8 / kNmPerDegree / cosLat, 0.0, 0.0));
    Append(lines, ClassBStatic(235208642, "SEA BREEZE", "MSBZ2", 37));
    Append(lines, Aid(992356001, "NORTH CARDINAL", 20, lat + 1.4 / kNmPerDegree, lonE + 0.5 / kNmPerDegree / cosLat));
    Hear(window, lines);

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

    bool ok = Save(window, folders.out + QStringLiteral("ais-encounter.png"));
    window.command(QStringLiteral("AISTargetList1"))->trigger();
    kvui::AisTargetListWindow* list = window.aisList();
    list->resize(800, 190);
    list->table()->resizeColumnsToContents();
    ok = Save(*list, folders.out + QStringLiteral("ais-target-list.png")) && ok;
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
    ok = Save(window, folders.out + QStringLiteral("ais-new-view-tile.png")) && ok;

    // "AIS Clear All Targets" (answered Yes): the AIS view is drawn again without them.
    fakes.prompter.defaultAnswer = true;
    if (kvui::ViewWindow* first = window.view(0)) {
        if (auto* clear = first->popupMenu()->findChild<QAction*>(QStringLiteral("ClearAllTargets1"))) {
            clear->trigger();
        }
    }
    window.refresh();
    QApplication::processEvents();
    return Save(window, folders.out + QStringLiteral("ais-clear-all-targets.png")) && ok;
}

bool AisGlanceScene(const Folders& folders)
{
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kvui::MainWindow window(state, fakes.platform);
    OpenMainWindow(window, folders.work, 1100, 760);

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
    Lines lines = Ship(636012345, "ATLANTIC SPIRIT", meetLat, lonE + 2.0 / kNmPerDegree / cosLat, 12.0, 270.0);
    const char* names[] = { "SOLENT STAR", "WIGHT RYDER", "RED FALCON", "MARINA", "ORCA", "PETREL", "SHEARWATER",
        "GANNET", "TERN", "CORMORANT", "KITTIWAKE" };
    for (int i = 0; i < 11; ++i) {
        const double dLat = (0.9 + 0.12 * (i % 4)) / kNmPerDegree;
        const int row = i / 4; // four boats to a row
        const double dLon = (-1.3 + 0.11 * row + 0.05 * i) / kNmPerDegree / cosLat;
        Append(lines, Ship(235100000 + i, names[i], lat + dLat, lonE + dLon, 4.0 + i, i * 33.0));
    }
    Hear(window, lines);
    kv::ViewSet& views = window.controller().views();
    kv::ChartView* v = views.aisView();
    if (!v) {
        std::fprintf(stderr, "kvshot: no AIS view\n");
        return false;
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
    const kv::LatLong pos = kv::AisTargetChartPosition(state.chartRef, state.ais.targets[1]);
    const auto px = kv::PositionToPixel(v->projection, pos.lat, pos.lon);
    kvui::ViewWindow* view = window.view(0);
    if (!px || !view) {
        std::fprintf(stderr, "kvshot: the ship is not in the view\n");
        return false;
    }
    const QPoint at(px->x, px->y);
    QMouseEvent press(
        QEvent::MouseButtonPress, at, view->image()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->image(), &press);
    QMouseEvent release(
        QEvent::MouseButtonRelease, at, view->image()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->image(), &release);
    auto* popup = view->findChild<kvui::TargetPopup*>();
    bool ok = SaveWithPopup(window, popup, folders.out + QStringLiteral("ais-target-popup.png"));
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
    ok = Save(window, folders.out + QStringLiteral("ais-night-palette.png")) && ok;
    // The palette is the application's: back to day for the scenes that follow.
    window.command(QStringLiteral("NightPalette1"))->trigger();
    return ok;
}

} // namespace kvshot
