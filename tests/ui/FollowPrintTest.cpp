// Free look, course up and printing in the view windows as a user drives them: a pan held
// through fixes, the Follow button, the orientation menu with its north arrow, and the printed
// page of the area on screen.

#include "UiSupport.h"
#include "WindowFixture.h"

#include "platform/fake/Fakes.h"
#include "support/RmcSentence.h"
#include "ui/MainWindow.h"
#include "ui/QtPlatform.h"
#include "ui/ViewWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using namespace kv;
using kvui::MainWindow;

class FollowPrintTest : public kvtest::WindowTest {
protected:
    // The world chart in a window wider than tall and smaller than the view bitmap.
    void start()
    {
        startWindow(QSize(900, 520));
        state.chartGeometry.SurfaceWidth = 1600;
        state.chartGeometry.SurfaceHeight = 1200;
        window->controller().views().CommonTail(model());
        window->refresh();
        kvtest::Spin(30);
        state.nmeaLink.NmeaOpen = true;
    }
    void fixAt(double lat, double lonWest)
    {
        state.cycleState.CurrentSentence = kvtest::RmcAt(lat, lonWest);
        window->controller().fix().ProcessSentence();
        window->refresh();
        kvtest::Spin(5);
    }
    kvui::ViewWindow* view() { return window->view(0); }
    ChartView& model() { return window->controller().views().view(0); }
    QAction* follow() { return view()->toolBar()->findChild<QAction*>(QStringLiteral("FollowBtn")); }
    // A drag with the middle button by (dx, dy) screen pixels.
    void pan(int dx, int dy)
    {
        kvui::ViewWindow* w = view();
        const QPoint screenAt = w->image()->mapToGlobal(w->scrollArea()->middlePixel());
        auto send = [&](QEvent::Type type, QPoint d, Qt::MouseButton b, Qt::MouseButtons held) {
            const QPoint global = screenAt + d;
            QMouseEvent e(type, w->image()->mapFromGlobal(global), global, b, held, Qt::NoModifier);
            QApplication::sendEvent(w->image(), &e);
        };
        send(QEvent::MouseButtonPress, QPoint(), Qt::MiddleButton, Qt::MiddleButton);
        send(QEvent::MouseMove, QPoint(dx / 2, dy / 2), Qt::NoButton, Qt::MiddleButton);
        send(QEvent::MouseMove, QPoint(dx, dy), Qt::NoButton, Qt::MiddleButton);
        send(QEvent::MouseButtonRelease, QPoint(dx, dy), Qt::MiddleButton, Qt::NoButton);
        kvtest::Spin(10);
    }
};

// A pan stays through ten fixes while own ship crosses the chart; the button says so and warns
// when own ship has left the window; the button (or Ctrl+Shift+F) brings the chart back.
TEST_F(FollowPrintTest, APanStaysThroughTenFixesAndFollowRestoresIt)
{
    start();
    fixAt(-16.0, 41.0);
    fixAt(-16.0, 40.0);
    ASSERT_NE(follow(), nullptr);
    EXPECT_TRUE(follow()->isChecked());
    EXPECT_EQ(follow()->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    pan(-150, -60); // the chart moves up and left: looking ahead, east and south
    EXPECT_FALSE(follow()->isChecked());
    EXPECT_EQ(follow()->text(), QStringLiteral("Follow"));
    const double lat = model().referenceLat();
    const double lon = model().referenceLong();
    const QPoint middle = view()->scrollArea()->middlePixel();
    for (int i = 1; i <= 10; ++i) {
        fixAt(-16.0, 40.0 - 3.0 * i);
        EXPECT_DOUBLE_EQ(model().referenceLat(), lat) << i;
        EXPECT_DOUBLE_EQ(model().referenceLong(), lon) << i;
        EXPECT_EQ(view()->scrollArea()->middlePixel(), middle) << i;
    }
    EXPECT_EQ(follow()->text(), QStringLiteral("Follow"));
    fixAt(60.0, -80.0); // far to the north-east, out of the window
    EXPECT_EQ(follow()->text(), QStringLiteral("Follow !"));
    EXPECT_TRUE(follow()->toolTip().startsWith(QStringLiteral("Own ship is out of view")));

    follow()->trigger();
    EXPECT_TRUE(follow()->isChecked());
    EXPECT_EQ(follow()->text(), QStringLiteral("Follow"));
    EXPECT_NEAR(model().referenceLong(), -80.0, 1e-4);
    EXPECT_NEAR(model().referenceLat(), 60.0, 1e-4);
    fixAt(60.0, -85.0); // and follows again
    EXPECT_NEAR(model().referenceLong(), -85.0, 1e-4);
    // A Ctrl+wheel zoom is a look elsewhere too.
    const QPoint at = view()->scrollArea()->middlePixel() + QPoint(80, 40);
    QWheelEvent wheel(at, view()->image()->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(view()->image(), &wheel);
    kvtest::Spin(10);
    EXPECT_FALSE(follow()->isChecked());
    const double wheelLong = model().referenceLong();
    fixAt(60.0, -86.0);
    EXPECT_DOUBLE_EQ(model().referenceLong(), wheelLong);
}

// Course up from the pop-up menu: the view turns so that the course points up and a north arrow
// shows in the window's corner; north up takes both away.
TEST_F(FollowPrintTest, CourseUpFromThePopupTurnsTheViewAndShowsTheNorthArrow)
{
    start();
    fixAt(-16.0, 41.0);
    fixAt(-15.0, 40.0);
    const int cog = 44; // north-east, as a fix a few minutes later would have found
    state.motion.COG = cog;
    auto item = [this](const char* name) { return view()->popupMenu()->findChild<QAction*>(QLatin1String(name)); };
    ASSERT_NE(item("OrientCourseUp"), nullptr);
    EXPECT_TRUE(item("OrientPreferences")->isChecked());
    auto arrow = [this] { return view()->scrollArea()->viewport()->findChild<QLabel*>(QStringLiteral("NorthArrow")); };
    EXPECT_TRUE(arrow() == nullptr || !arrow()->isVisible());
    item("OrientCourseUp")->trigger();
    window->refresh();
    EXPECT_TRUE(item("OrientCourseUp")->isChecked());
    EXPECT_NEAR(model().projection.angle, 3.14159265358979 * (360 - cog) / 180.0, 1e-9);
    ASSERT_NE(arrow(), nullptr);
    EXPECT_TRUE(arrow()->isVisible());
    item("OrientNorthUp")->trigger();
    window->refresh();
    EXPECT_EQ(model().projection.angle, 0.0);
    EXPECT_FALSE(arrow()->isVisible());
}

// Printed through Qt's PDF writer and rasterised again: a landscape window prints on a
// landscape page, the picture has the window's proportions and holds the same stretch of chart
// (as many lines cross its middle row as cross the window's), and a margin line is written
// under it.
TEST_F(FollowPrintTest, APrintedPageShowsTheAreaOfTheWindowInItsOrientation)
{
    if (QProcess::execute(QStringLiteral("pdftoppm"), { QStringLiteral("-v") }) < 0) {
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    }
    start();
    fixAt(-16.0, 41.0);
    window->refresh();
    const ChartView& v = model();
    const QRect shown = v.shownArea;
    ASSERT_FALSE(shown.isEmpty());
    ASSERT_GT(shown.width(), shown.height());
    ASSERT_LT(shown.width(), v.bitmap.width() * 2 / 3); // a real part of the bitmap
    auto isNavy = [](QRgb c) { return qBlue(c) > 90 && qRed(c) < 40 && qGreen(c) < 40; };
    auto crossings = [&](const QImage& image, const QRect& box) {
        int lines = 0;
        bool inLine = false;
        const int y = box.top() + box.height() / 2;
        for (int x = box.left() + 2; x < box.right() - 2; ++x) {
            const bool line = !isNavy(image.pixel(x, y));
            lines += line && !inLine ? 1 : 0;
            inLine = line;
        }
        return lines;
    };
    const int onScreen = crossings(v.bitmap, shown);
    ASSERT_GE(onScreen, 4);

    kvui::QtPrinter qtPrinter;
    const QString pdf = QString::fromStdString(dir.file("page.pdf"));
    qtPrinter.printer().setOutputFormat(QPrinter::PdfFormat);
    qtPrinter.printer().setOutputFileName(pdf);
    qtPrinter.printer().setPageOrientation(QPageLayout::Portrait);
    qtPrinter.printDialog = [](QPrinter&, bool& whitePaper) {
        whitePaper = false;
        return true;
    };
    qtPrinter.preferOrientation(shown.width() > shown.height());
    ASSERT_TRUE(qtPrinter.printDrawn(
        [&](const PrintPage& page) { return window->controller().views().RenderForPage(v, page, "09-12-26 15:00"); }));
    const QString stem = QString::fromStdString(dir.file("page"));
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                  { QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-png"), QStringLiteral("-singlefile"),
                      pdf, stem }),
        0);
    const QImage page(stem + ".png");
    ASSERT_FALSE(page.isNull());
    EXPECT_GT(page.width(), page.height()); // landscape
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (isNavy(page.pixel(x, y))) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(
        static_cast<double>(box.width()) / box.height(), static_cast<double>(shown.width()) / shown.height(), 0.04);
    // (Lines a pixel apart on screen may merge or part on the page: a tenth either way. The
    // whole bitmap would give some 2.7 times as many.)
    EXPECT_NEAR(crossings(page, box), onScreen, onScreen / 10.0 + 1);
    // The margin line: dark text on the paper under the picture.
    int ink = 0;
    for (int y = box.bottom() + 2; y < std::min(page.height(), box.bottom() + 20); ++y) {
        for (int x = box.left(); x < box.right(); ++x) {
            ink += qGray(page.pixel(x, y)) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);
}

} // namespace
