// The chart view windows as a user drives them: layout changes then clicks, panning, zooming with
// the wheel, the mouse readout, shortcuts, the window commands, printing to a PDF and the
// question about an unsaved route at quit.

#include "UiSupport.h"
#include "WindowFixture.h"

#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "routes/Routes.h"
#include "support/ConfigFile.h"
#include "ui/MainWindow.h"
#include "ui/QtPlatform.h"
#include "ui/ViewWindow.h"
#include "views/ViewReadouts.h"
#include "views/ViewText.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using namespace kv;
using kvui::MainWindow;

class ViewWindowTest : public kvtest::WindowTest {
protected:
    // The program started on the world chart in a window smaller than the view bitmap, so the
    // views scroll.
    void start()
    {
        startWindow(QSize(760, 560));
        // A view bitmap larger than any window here, so the views always scroll both ways.
        state.chartGeometry.SurfaceWidth = 1600;
        state.chartGeometry.SurfaceHeight = 1200;
        for (int i = 0; i < window->controller().views().count(); ++i) {
            window->controller().views().CommonTail(window->controller().views().view(i));
        }
        window->refresh();
        kvtest::Spin(30);
    }

    QAction* command(const char* name) { return window->command(QLatin1String(name)); }
    QMdiArea* area() { return window->findChild<QMdiArea*>(); }
    QMdiSubWindow* sub(int i) { return area()->subWindowList().at(i); }
    kvui::ViewWindow* view(int i = 0) { return window->view(i); }
    const ChartView& model(int i = 0) { return window->controller().views().view(i); }
    QPoint scroll(kvui::ViewWindow* w)
    {
        return QPoint(w->scrollArea()->horizontalScrollBar()->value(), w->scrollArea()->verticalScrollBar()->value());
    }
    void mouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons,
        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QMouseEvent e(type, at, target->mapToGlobal(at), button, buttons, modifiers);
        QApplication::sendEvent(target, &e);
    }
    // A left click at a point of the window's viewport; returns the image pixel clicked.
    QPoint clickInWindow(kvui::ViewWindow* w, QPoint inViewport)
    {
        const QPoint at = inViewport + scroll(w);
        mouse(w->image(), QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        mouse(w->image(), QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        kvtest::Spin(10);
        return at;
    }
    QString text(const char* name) { return window->findChild<QLabel*>(QLatin1String(name))->text(); }
};

// After every change of the window's size the middle of the bitmap stays in the middle of the
// window; a click then puts the cross under the mouse without moving the picture, and the panel
// shows the position of that pixel.
TEST_F(ViewWindowTest, LayoutChangesThenAClickKeepCursorScrollAndBitmapInStep)
{
    start();
    command("FileNewItem")->trigger();
    ASSERT_EQ(area()->subWindowList().size(), 2);
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        { "resize",
            [&] {
                sub(0)->showNormal();
                sub(0)->resize(430, 330);
            } },
        { "maximise", [&] { sub(0)->showMaximized(); } },
        { "tile", [&] { command("WindowTileItem")->trigger(); } },
        { "cascade", [&] { command("WindowCascadeItem")->trigger(); } },
        { "restore",
            [&] {
                sub(0)->showMaximized();
                sub(0)->showNormal();
            } },
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        change();
        kvtest::Spin(30);
        kvui::ViewWindow* w = view(0);
        const QImage& bitmap = model().bitmap;
        const QPoint middle = w->scrollArea()->middlePixel();
        EXPECT_NEAR(middle.x(), bitmap.width() / 2.0, 1);
        EXPECT_NEAR(middle.y(), bitmap.height() / 2.0, 1);

        const QPoint before = scroll(w);
        const QPoint at = clickInWindow(w, QPoint(60, 50));
        EXPECT_EQ(scroll(w), before); // the picture does not jump
        EXPECT_EQ(model().cursorX, at.x());
        EXPECT_EQ(model().cursorY, at.y());
        const LatLong pos = PixelToLatLong(model().projection, at.x(), at.y());
        EXPECT_EQ(text("PosnPanel").toLatin1().toStdString(),
            ViewPositionText(state.prefs.units, state.settings, pos.lat, pos.lon, 4));
        // What the window shows is the bitmap at the scroll position, cross included.
        const QImage shown
            = w->scrollArea()->viewport()->grab(QRect(0, 0, 120, 90)).toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, bitmap.copy(QRect(scroll(w), QSize(120, 90))));
        EXPECT_NE(bitmap.pixel(at.x() + 5, at.y()), bitmap.pixel(at.x() + 5, at.y() + 2)); // the cross arm
    }
}

// No key of the main window's commands is also the key of another action that can fire in the
// same place: the main window with each view's own keys and its window menu.
TEST_F(ViewWindowTest, NoTwoActionsShareAShortcut)
{
    start();
    command("FileNewItem")->trigger();
    ASSERT_EQ(area()->subWindowList().size(), 2);
    std::map<QMdiSubWindow*, std::vector<std::pair<QKeySequence, QString>>> scoped;
    std::vector<std::pair<QKeySequence, QString>> global;
    for (QAction* a : window->findChildren<QAction*>()) {
        QMdiSubWindow* owner = nullptr;
        for (QObject* o = a->parent(); o != nullptr && owner == nullptr; o = o->parent()) {
            owner = qobject_cast<QMdiSubWindow*>(o);
        }
        for (const QKeySequence& key : a->shortcuts()) {
            (owner ? scoped[owner] : global).emplace_back(key, a->objectName() + "/" + a->text());
        }
    }
    EXPECT_FALSE(global.empty());
    ASSERT_EQ(scoped.size(), 2u);
    for (const auto& [owner, keys] : scoped) {
        std::map<QKeySequence, QStringList> uses;
        for (const auto& [key, who] : global) {
            uses[key] << who;
        }
        for (const auto& [key, who] : keys) {
            uses[key] << who;
        }
        for (const auto& [key, who] : uses) {
            EXPECT_EQ(who.size(), 1) << key.toString().toStdString() << ": " << who.join(", ").toStdString();
        }
    }
    EXPECT_EQ(command("SelectWaypoint1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
}

TEST_F(ViewWindowTest, MiddleOrShiftDragPansAndRedrawsAroundTheNewMiddle)
{
    start();
    for (bool shift : { false, true }) {
        SCOPED_TRACE(shift);
        kvui::ViewWindow* w = view(0);
        const double zoom = model().zoom;
        const unsigned tails = model().centredCount;
        const QPoint middle = w->scrollArea()->middlePixel();
        const LatLong target = PixelToLatLong(model().projection, middle.x() + 100, middle.y() + 50);
        const Qt::MouseButton button = shift ? Qt::LeftButton : Qt::MiddleButton;
        const Qt::KeyboardModifiers mods = shift ? Qt::ShiftModifier : Qt::NoModifier;
        // The mouse moves over the screen; the image moves under it as it scrolls.
        const QPoint screenAt = w->image()->mapToGlobal(middle);
        auto send = [&](QEvent::Type type, QPoint d, Qt::MouseButton b, Qt::MouseButtons held) {
            const QPoint global = screenAt + d;
            QMouseEvent e(type, w->image()->mapFromGlobal(global), global, b, held, mods);
            QApplication::sendEvent(w->image(), &e);
        };
        send(QEvent::MouseButtonPress, QPoint(), button, button);
        send(QEvent::MouseMove, QPoint(-40, -20), Qt::NoButton, button);
        EXPECT_EQ(w->scrollArea()->middlePixel(), middle + QPoint(40, 20)); // the picture follows at once
        send(QEvent::MouseMove, QPoint(-100, -50), Qt::NoButton, button);
        send(QEvent::MouseButtonRelease, QPoint(-100, -50), button, Qt::NoButton);
        kvtest::Spin(10);
        EXPECT_FALSE(model().dragging);
        EXPECT_EQ(model().zoom, zoom);
        EXPECT_EQ(model().centredCount, tails + 1);
        EXPECT_NEAR(model().referenceLat(), target.lat, 1e-9);
        EXPECT_NEAR(model().referenceLong(), target.lon, 1e-9);
        EXPECT_EQ(w->scrollArea()->middlePixel(), middle); // drawn again around it, in the middle
    }
}

TEST_F(ViewWindowTest, CtrlWheelZoomsAboutTheMouseAndTheWheelScrolls)
{
    start();
    kvui::ViewWindow* w = view(0);
    for (int step = 0; step < 2; ++step) {
        const double zoom = model().zoom;
        const QPoint at = scroll(w) + QPoint(100, 80);
        const LatLong under = PixelToLatLong(model().projection, at.x(), at.y());
        QWheelEvent wheel(at, w->image()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
            Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->image(), &wheel);
        kvtest::Spin(10);
        EXPECT_DOUBLE_EQ(model().zoom, zoom * 2);
        const auto now = PositionToPixel(model().projection, under.lat, under.lon);
        ASSERT_TRUE(now);
        const QPoint inWindow = QPoint(now->x, now->y) - scroll(w);
        EXPECT_NEAR(inWindow.x(), 100, 1);
        EXPECT_NEAR(inWindow.y(), 80, 1);
        EXPECT_EQ(text("ZoomLabel").toStdString(), ZoomCaption(model().zoom));
    }
    // Without Ctrl the view leaves the wheel to the scroll box (a real wheel event goes on to it;
    // Qt does not pass a synthetic one on) and the zoom as it is.
    const double zoom = model().zoom;
    const QPoint at = scroll(w) + QPoint(100, 80);
    QWheelEvent wheel(at, w->image()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(w->image(), &wheel);
    EXPECT_FALSE(wheel.isAccepted());
    EXPECT_EQ(model().zoom, zoom);
}

TEST_F(ViewWindowTest, HoverReadoutFollowsTheMouse)
{
    start();
    state.quickLog.push(QuickLogRecord { -16.0, -41.0, 0 }); // own ship for the range and bearing
    kvui::ViewWindow* w = view(0);
    const QPoint at = scroll(w) + QPoint(90, 70);
    mouse(w->image(), QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    const std::string expected = HoverReadout(state.prefs.units, state.chartRef, state.settings, model().projection,
        LastTrackPosition(state), at.x(), at.y());
    EXPECT_NE(expected.find("\xb0T"), std::string::npos);
    EXPECT_EQ(text("HoverPanel").toLatin1().toStdString(), expected);
    EXPECT_EQ(model().cursorX == at.x() && model().cursorY == at.y(), false); // the cursor stays put
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w->image(), &leave);
    EXPECT_TRUE(text("HoverPanel").isEmpty());
    // The scale bar is in the window's lower left corner.
    const QLabel* bar = w->scaleBar();
    EXPECT_TRUE(bar->isVisible());
    EXPECT_LT(bar->x(), 20);
    EXPECT_GT(bar->y() + bar->height(), w->scrollArea()->viewport()->height() - 20);
}

TEST_F(ViewWindowTest, NewViewTileCascadeSizesAndTheWindowMenuListsTheViews)
{
    start();
    command("FileNewItem")->trigger();
    kvtest::Spin(20);
    const QRect inside = area()->viewport()->rect();
    auto usable = [&](double wFraction, double hFraction) {
        for (QMdiSubWindow* s : area()->subWindowList()) {
            EXPECT_TRUE(inside.contains(s->geometry())) << s->geometry().x() << "," << s->geometry().y();
            EXPECT_GE(s->width(), inside.width() * wFraction);
            EXPECT_GE(s->height(), inside.height() * hFraction);
        }
    };
    usable(0.7, 0.7); // a new view cascades
    command("WindowTileItem")->trigger();
    usable(0.45, 0.95);
    command("WindowCascadeItem")->trigger();
    usable(0.7, 0.7);

    QMenu* menu = nullptr;
    for (QAction* a : window->menuBar()->actions()) {
        if (a->objectName() == QLatin1String("Window1")) {
            menu = a->menu();
        }
    }
    ASSERT_NE(menu, nullptr);
    emit menu->aboutToShow();
    QAction* first = menu->findChild<QAction*>(QStringLiteral("WindowView1"));
    QAction* second = menu->findChild<QAction*>(QStringLiteral("WindowView2"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(first->text().endsWith(sub(0)->windowTitle()));
    EXPECT_TRUE(second->isChecked()); // the new view is the active one
    first->trigger();
    EXPECT_EQ(area()->activeSubWindow(), sub(0));
    emit menu->aboutToShow(); // rebuilt, not doubled
    EXPECT_EQ(menu->findChildren<QAction*>(QStringLiteral("WindowView1")).size(), 1);
}

TEST_F(ViewWindowTest, NavigationPanelFiguresLargeSettingAndXteSide)
{
    start();
    QLabel* range = window->findChild<QLabel*>(QStringLiteral("RngToWp"));
    const qreal normal = range->font().pointSizeF();
    state.extra.LargeNavFigures = true;
    window->refresh();
    EXPECT_DOUBLE_EQ(range->font().pointSizeF(), normal * 2);
    state.extra.LargeNavFigures = false;
    window->refresh();
    EXPECT_DOUBLE_EQ(range->font().pointSizeF(), normal);
    // Wider window, wider figures (measured once the panel is laid out for the normal size).
    kvtest::Spin(30);
    const int narrow = range->width();
    window->resize(1200, 520);
    kvtest::Spin(30);
    EXPECT_GT(range->width(), narrow);

    state.routeProgress.RouteLength = 2;
    state.routeProgress.XTE = -0.25;
    window->refresh();
    EXPECT_EQ(text("XTEText"), QStringLiteral("0.25 L"));
    state.routeProgress.XTE = 1.5;
    window->refresh();
    EXPECT_EQ(text("XTEText"), QStringLiteral("1.50 R"));
}

// The view printed through Qt's PDF writer and the page rasterised again: the picture is drawn
// for the page (graticule lines unbroken across it), centred with the proportions of the window,
// and the white-paper choice leaves no navy.
TEST_F(ViewWindowTest, PrintToPdfDrawsTheViewAgainForThePage)
{
    if (QProcess::execute(QStringLiteral("pdftoppm"), { QStringLiteral("-v") }) < 0) {
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    }
    start();
    const ChartView& v = model();
    // The page shows the part of the bitmap the window shows.
    const QRect shown = v.shownArea.isEmpty() ? v.bitmap.rect() : v.shownArea;
    const double aspect = static_cast<double>(shown.width()) / shown.height();
    for (bool paper : { false, true }) {
        SCOPED_TRACE(paper);
        kvui::QtPrinter printer;
        const QString pdf = QString::fromStdString(dir.file(paper ? "white.pdf" : "navy.pdf"));
        printer.printer().setOutputFormat(QPrinter::PdfFormat);
        printer.printer().setOutputFileName(pdf);
        printer.printDialog = [paper](QPrinter&, bool& whitePaper) {
            whitePaper = paper;
            return true;
        };
        ASSERT_TRUE(printer.printDrawn(
            [&](const PrintPage& page) { return window->controller().views().RenderForPage(v, page); }));
        const QString stem = QString::fromStdString(dir.file(paper ? "white" : "navy"));
        ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                      { QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                          QStringLiteral("-singlefile"), pdf, stem }),
            0);
        const QImage page(stem + ".png");
        ASSERT_FALSE(page.isNull());
        auto isNavy = [](QRgb c) { return qBlue(c) > 90 && qRed(c) < 40 && qGreen(c) < 40; };
        auto isPaper = [](QRgb c) { return qRed(c) > 245 && qGreen(c) > 245 && qBlue(c) > 245; };
        // The picture's box: not paper-white (with navy) or where the drawing is (white paper).
        QRect box;
        int navy = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const QRgb c = page.pixel(x, y);
                navy += isNavy(c) ? 1 : 0;
                if (!paper && isNavy(c)) {
                    box |= QRect(x, y, 1, 1);
                }
            }
        }
        if (paper) {
            EXPECT_EQ(navy, 0);
            continue;
        }
        ASSERT_FALSE(box.isEmpty());
        EXPECT_NEAR(static_cast<double>(box.width()) / box.height(), aspect, 0.03);
        EXPECT_NEAR(box.left(), page.width() - 1 - box.right(), 3); // centred across
        // and down with the margin line of a sixth of an inch under it (100 dpi here)
        EXPECT_NEAR(page.height() - 1 - box.bottom() - box.top(), 100 / 6.0, 3);
        EXPECT_GT(box.width(), page.width() * 0.8);
        // A parallel of the world graticule runs across the picture without a gap.
        int longest = 0;
        for (int y = box.top() + 2; y < box.bottom() - 2; ++y) {
            int run = 0;
            for (int x = box.left(); x <= box.right(); ++x) {
                const bool line = !isNavy(page.pixel(x, y)) && !isPaper(page.pixel(x, y));
                run = line ? run + 1 : 0;
                longest = std::max(longest, run);
            }
        }
        // (The world ends at 180 degrees, short of the picture's right edge.)
        EXPECT_GT(longest, box.width() * 7 / 10);
    }
}

// Quit with a route edited in the view: Yes saves it through "Save Route As", No drops it,
// Cancel keeps the program running; an opened, unchanged route asks nothing.
// The AIS items of the pop-up menu show the settings the program runs with.
TEST_F(ViewWindowTest, AisPopupMarksFollowTheSettings)
{
    start();
    auto item = [this](int i, const char* name) {
        QAction* a = view(i)->popupMenu()->findChild<QAction*>(QLatin1String(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    };
    item(0, "AISZoom")->trigger();
    EXPECT_TRUE(state.ais.AISZoom);
    EXPECT_TRUE(item(0, "AISZoom")->isChecked());
    EXPECT_FALSE(item(0, "HighlightNearest1")->isEnabled()); // follows the zoom while it is on
    item(0, "AISZoom")->trigger();
    EXPECT_FALSE(item(0, "AISZoom")->isChecked());
    EXPECT_TRUE(item(0, "HighlightNearest1")->isEnabled());

    // The removal time is the AIS view's own: a second view leaves it, and the marks, alone.
    item(0, "After5Mins1")->trigger();
    EXPECT_TRUE(item(0, "After5Mins1")->isChecked());
    command("FileNewItem")->trigger();
    ASSERT_EQ(window->controller().views().count(), 2);
    EXPECT_EQ(state.ais.AgeChoice, AisAgeChoice::After5Mins);
    EXPECT_TRUE(item(0, "After5Mins1")->isChecked());
    EXPECT_FALSE(item(0, "After15Mins1")->isChecked());
    // Choosing again from the pop-up moves the marks with the setting.
    item(0, "After15Mins1")->trigger();
    EXPECT_EQ(state.ais.AgeChoice, AisAgeChoice::After15Mins);
    EXPECT_TRUE(item(0, "After15Mins1")->isChecked());
    EXPECT_FALSE(item(0, "After5Mins1")->isChecked());
}

// The AIS view's tool bar: the ring buttons name the rings shown, the announcement repeat is
// the AIS view's alone, and the pop-up's two radio groups have their headers.
TEST_F(ViewWindowTest, AisToolBarHintsAndPopupGroupHeaders)
{
    start();
    QAction* up = view(0)->toolBar()->findChild<QAction*>(QStringLiteral("RRUp"));
    QAction* down = view(0)->toolBar()->findChild<QAction*>(QStringLiteral("RRDown"));
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    struct Step {
        QAction* button;
        const char* hint;
    };
    for (const Step& s : { Step { up, "Rings 0.5,1,2,3,4 Nm" }, Step { up, "Rings 0.5,1,2,3,4 Nm" },
             Step { up, "Rings 1,2,4,6,8 Nm" }, Step { down, "Rings 0.5,1,2,3,4 Nm" },
             Step { down, "Rings 0.5,1,2,3,4 Nm" }, Step { down, "Rings off" } }) {
        s.button->trigger();
        EXPECT_EQ(up->toolTip(), QLatin1String(s.hint));
        EXPECT_EQ(down->toolTip(), QLatin1String(s.hint));
    }
    for (const char* header : { "AIS Show Name / MMSI", "AIS Vessel Orientation" }) {
        bool found = false;
        for (QAction* a : view(0)->popupMenu()->findChildren<QAction*>()) {
            found = found || (a->isSeparator() && a->text() == QLatin1String(header));
        }
        EXPECT_TRUE(found) << header;
    }
    command("FileNewItem")->trigger();
    ASSERT_NE(view(1), nullptr);
    EXPECT_TRUE(view(0)->toolBar()->findChild<QAction*>(QStringLiteral("AISrepeat"))->isVisible());
    EXPECT_FALSE(view(1)->toolBar()->findChild<QAction*>(QStringLiteral("AISrepeat"))->isVisible());
    // The ring count goes with its buttons.
    for (int i : { 0, 1 }) {
        const QLabel* rings = view(i)->toolBar()->findChild<QLabel*>(QStringLiteral("RangeR"));
        ASSERT_NE(rings, nullptr);
        EXPECT_EQ(rings->isVisibleTo(view(i)->toolBar()), i == 0) << i;
    }
}

TEST_F(ViewWindowTest, UnsavedRouteQuestionAtQuit)
{
    struct Case {
        const char* name;
        Answer answer;
        bool chooseAFile;
        bool closes;
        bool saved;
    };
    const Case cases[] = {
        { "yes", Answer::Yes, true, true, true },
        { "yes, save dialog cancelled", Answer::Yes, false, false, false },
        { "no", Answer::No, true, true, false },
        { "cancel", Answer::Cancel, true, false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kvtest::TempDir folder;
        kvtest::PrepareWorkingFolder(folder);
        ProgramState s;
        FakePlatform f;
        MainWindow w(s, f.platform);
        w.aboutBox = [] {};
        const std::string routeFile = folder.file("routes/edited.rte");
        w.chooseFile = [&](const kvui::FileDialogSpec&) {
            return c.chooseAFile ? QString::fromStdString(routeFile) : QString();
        };
        w.start(folder.path(), "");
        w.show();
        w.secsTick();
        QMenu* popup = w.view(0)->popupMenu();
        s.fixInfo.OwnLat = -16.5;
        s.fixInfo.OwnLong = -41.5;
        popup->findChild<QAction*>(QStringLiteral("AddRouteWaypoint1"))->trigger();
        s.fixInfo.OwnLat = -16.4;
        popup->findChild<QAction*>(QStringLiteral("AddRouteWaypoint1"))->trigger();
        ASSERT_EQ(s.route.count(), 2u);
        f.prompter.answer({ true });
        f.prompter.choices = { c.answer };
        EXPECT_EQ(w.close(), c.closes);
        EXPECT_TRUE(
            f.prompter.lastMessageIs("Save the modified route before exit ?") || (c.answer == Answer::Yes && c.saved));
        bool asked = false;
        for (const auto& m : f.prompter.messages) {
            asked = asked || (m.kind == "yesNoCancel" && m.text == "Save the modified route before exit ?");
        }
        EXPECT_TRUE(asked);
        EXPECT_EQ(std::filesystem::exists(routeFile), c.saved);
        if (c.saved) {
            EXPECT_EQ(ReadTextLines(routeFile)->size(), 2u);
        }
        // Still running: nothing was shut or written.
        EXPECT_EQ(std::filesystem::exists(folder.file("kelvw.cfg")), c.closes);
        if (!c.closes) {
            EXPECT_TRUE(w.secsTimer()->isActive());
            f.prompter.defaultAnswer = true;
            f.prompter.defaultChoice = Answer::No;
            EXPECT_TRUE(w.close());
        }
    }

    // A route opened from its file and left alone: only the quit question.
    std::vector<std::string> lines;
    for (int i = 1; i <= 3; ++i) {
        lines.push_back(RouteLine(RouteWaypoint { DefaultRouteName(i), -16.7 + i * 0.05, -41.7 + i * 0.05 }));
    }
    ASSERT_TRUE(WriteTextLinesAtomic(dir.file("routes/coast.rte"), lines));
    kvtest::WriteConfigIn(dir, "kelvw.cfg", [](ProgramState&, Settings& settings) { settings.RouteName = "coast"; });
    start();
    ASSERT_EQ(state.route.count(), 3u);
    fakes.prompter.answer({ true });
    EXPECT_TRUE(window->close());
    for (const auto& m : fakes.prompter.messages) {
        EXPECT_NE(m.kind, "yesNoCancel");
    }
    window.reset();
}

} // namespace
