// AIS at a glance in the main window: targets shown from the start, the pop-up of a clicked
// target with its "Follow" and "Details", and the night palette chosen and remembered.

#include "UiSupport.h"
#include "app/ProgramState.h"

#include "core/ExtraSettings.h"
#include "platform/fake/Fakes.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/TargetPopup.h"
#include "ui/ViewWindow.h"
#include "views/AisDraw.h"
#include "views/NightPalette.h"
#include "views/RenderCanvas.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPalette>

#include <QAction>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolBar>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

using namespace kv;
using kvui::MainWindow;

int CountColourIn(const QImage& image, kv::Rgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            n += (image.pixel(x, y) & 0xFFFFFFu) == colour;
        }
    }
    return n;
}

class AisGlanceTest : public ::testing::Test {
protected:
    AisGlanceTest() { kvtest::App(); }
    void SetUp() override { kvtest::PrepareWorkingFolder(dir); }
    void TearDown() override
    {
        if (window) {
            fakes.prompter.defaultAnswer = true;
            window->close();
            window.reset();
        }
    }
    void writeIni(const std::string& text)
    {
        std::ofstream f(dir.file("kvfree.ini"), std::ios::binary);
        f << text;
    }
    void start()
    {
        window = std::make_unique<MainWindow>(state, fakes.platform);
        window->start(dir.path(), "");
        window->show();
        window->secsTick();
    }
    // Two vessels a few miles apart near the view's centre.
    void addTargets()
    {
        window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235001234, -16.70, 41.80, 8.5, 45.0));
        window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235005678, -16.76, 41.75, 3.0, 270.0));
        ASSERT_EQ(state.ais.targets.count(), 2);
        kv::ChartView& v = window->controller().views().view(0);
        v.zoom = 16.0;
        v.centreLat = -16.73;
        v.centreLong = -41.78;
        window->controller().views().ReCentre(v);
        window->refresh();
    }
    QPoint targetPixel(int n)
    {
        const kv::ChartView& v = window->controller().views().view(0);
        const LatLong pos = AisTargetChartPosition(state.chartRef, state.ais.targets[n]);
        const auto px = PositionToPixel(v.projection, pos.lat, pos.lon);
        EXPECT_TRUE(px.has_value());
        return px ? QPoint(px->x, px->y) : QPoint();
    }
    void click(const QPoint& at)
    {
        kvui::ViewImage* image = window->view(0)->image();
        QMouseEvent press(
            QEvent::MouseButtonPress, at, image->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(image, &press);
        QMouseEvent release(
            QEvent::MouseButtonRelease, at, image->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &release);
    }
    QAction* showAis() { return window->view(0)->toolBar()->findChild<QAction*>(QStringLiteral("ShowAIS")); }
    kvui::TargetPopup* popup() { return window->view(0)->findChild<kvui::TargetPopup*>(); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    std::unique_ptr<MainWindow> window;
};

TEST_F(AisGlanceTest, WithTheSwitchTargetsAreShownAtStartAndTheButtonLeavesTheTargetWindowAlone)
{
    writeIni("[AIS]\nShowTargetsAtStart=true\n");
    start();
    ASSERT_NE(window->view(0), nullptr);
    EXPECT_TRUE(window->controller().views().view(0).ais.ShowAIS);
    EXPECT_TRUE(showAis()->isChecked());
    EXPECT_FALSE(window->aisWindow()->isVisible());
    showAis()->trigger(); // hides the targets
    showAis()->trigger(); // shows them again
    EXPECT_TRUE(window->controller().views().view(0).ais.ShowAIS);
    EXPECT_FALSE(window->aisWindow()->isVisible()) << "the window goes by its own command";
    window->command(QStringLiteral("AISTargetWindow1"))->trigger();
    EXPECT_TRUE(window->aisWindow()->isVisible());
    showAis()->trigger();
    EXPECT_TRUE(window->aisWindow()->isVisible());
}

TEST_F(AisGlanceTest, WithoutTheSwitchTargetsWaitForTheButtonWhichOpensTheTargetWindow)
{
    start();
    EXPECT_FALSE(window->controller().views().view(0).ais.ShowAIS);
    showAis()->trigger();
    EXPECT_TRUE(window->aisWindow()->isVisible());
}

TEST_F(AisGlanceTest, AClickOnATargetOpensItsPopupAndElsewherePlacesTheCursor)
{
    writeIni("[AIS]\nShowTargetsAtStart=true\n");
    start();
    addTargets();
    const kv::ChartView& v = window->controller().views().view(0);
    const int cursorX = v.cursorX, cursorY = v.cursorY;
    const QPoint at = targetPixel(2) + QPoint(3, -2); // a few pixels off the mark still hits it
    click(at);
    ASSERT_NE(popup(), nullptr);
    EXPECT_TRUE(popup()->isVisible());
    EXPECT_EQ(popup()->target(), 2);
    const QString text = popup()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("MMSI 235005678"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("SOG 3.0 Kn"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("CPA "))) << text.toStdString();
    EXPECT_EQ(v.cursorX, cursorX) << "a click on a target places no cursor";
    EXPECT_EQ(v.cursorY, cursorY);

    popup()->detailsButton()->click();
    EXPECT_FALSE(popup()->isVisible());
    EXPECT_EQ(state.ais.SelectedTarget, 2);
    EXPECT_TRUE(window->aisWindow()->isVisible());

    click(targetPixel(1));
    ASSERT_TRUE(popup()->isVisible());
    popup()->followButton()->click();
    EXPECT_EQ(state.ais.SelectedTarget, 1);
    EXPECT_TRUE(window->controller().views().view(0).ais.FollowSelected);
    EXPECT_TRUE(window->controller().views().view(0).followingTarget);

    popup()->hide();
    // Far from both targets the press places the cursor as before.
    const QPoint away = targetPixel(1) + QPoint(40, 40);
    click(away);
    EXPECT_FALSE(popup()->isVisible());
    EXPECT_EQ(v.cursorX, away.x());
    EXPECT_EQ(v.cursorY, away.y());
}

TEST_F(AisGlanceTest, TargetsHiddenAreNotClicked)
{
    start();
    addTargets();
    click(targetPixel(1));
    EXPECT_EQ(popup(), nullptr);
    EXPECT_EQ(window->controller().views().view(0).cursorX, targetPixel(1).x());
}

TEST_F(AisGlanceTest, TheNightPaletteIsChosenByItsKeyAndRememberedInKvfreeIni)
{
    start();
    kvui::ViewWindow* view = window->view(0);
    ASSERT_NE(view, nullptr);
    const QColor dayWindow = QApplication::palette().color(QPalette::Window);
    QAction* night = window->command(QStringLiteral("NightPalette1"));
    ASSERT_NE(night, nullptr);
    EXPECT_EQ(night->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N));
    night->trigger();
    EXPECT_TRUE(state.extra.NightPalette);
    EXPECT_TRUE(night->isChecked());
    EXPECT_TRUE(kv::ReadExtraSettings(dir.file("kvfree.ini")).settings.NightPalette) << "remembered";
    // Panels and dialogs: dim red on black.
    const QPalette p = QApplication::palette();
    EXPECT_EQ(p.color(QPalette::Window).green(), 0);
    EXPECT_EQ(p.color(QPalette::WindowText).blue(), 0);
    EXPECT_GT(p.color(QPalette::WindowText).red(), 0);
    // The chart: the picture shown is the night version of the view's bitmap, which keeps its colours.
    const QImage shown = view->image()->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage& bitmap = window->controller().views().view(0).bitmap;
    EXPECT_EQ(shown, kv::NightImage(bitmap, kv::ColoursFromSettings(state.settings).background));
    EXPECT_EQ(CountColourIn(shown, 0x000000) > shown.width() * shown.height() / 2, true) << "on black";
    EXPECT_NE(shown, bitmap.convertToFormat(QImage::Format_RGB32));

    // A new start reads it back.
    window->close();
    window.reset();
    state.extra = kv::ExtraSettings {};
    start();
    EXPECT_TRUE(state.extra.NightPalette);
    EXPECT_TRUE(window->command(QStringLiteral("NightPalette1"))->isChecked());
    window->command(QStringLiteral("NightPalette1"))->trigger();
    EXPECT_FALSE(kv::ReadExtraSettings(dir.file("kvfree.ini")).settings.NightPalette);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), dayWindow) << "the day palette comes back";
}

// Pixels that are not dim red on black: any green or blue beyond a trace of a frame's shading,
// or a red brighter than the palette's letters.
int BrightPixels(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            n += qGreen(c) > 40 || qBlue(c) > 40 || qRed(c) > 200;
        }
    }
    return n;
}

TEST_F(AisGlanceTest, AtNightEveryPanelIsDimRedOnBlackAndByDayAsBefore)
{
    writeIni("[AIS]\nShowTargetsAtStart=true\n[Display]\nInstruments=true\n");
    start();
    addTargets();
    // A lit GPS indicator, the cross-track gauge in its on-track white, and an alarm in the bar.
    state.display.GPSIndicatorText = "GPS";
    state.display.GPSIndicatorColour = "lime";
    state.extra.GpsLostAlarm = true;
    window->controller().alarms().ApplySettings();
    state.nmeaLink.NmeaOpen = true;
    state.nmeaLink.LastPositionSentence = "$GPRMC,120000,A,5000.000,N,00100.000,W,0.0,0.0,081226,,";
    fakes.clock.time = kv::LocalDateTime { 2026, 12, 8, 12, 0, 0, 0 };
    window->secsTick();
    fakes.clock.time.second = 10;
    window->secsTick();
    ASSERT_EQ(window->controller().alarms().Alarms().size(), 1u);
    state.display.GPSIndicatorText = "GPS";
    state.display.GPSIndicatorColour = "lime";
    window->refresh();
    ASSERT_EQ(state.display.XTerrorColour, "white");
    // The chart area is judged round its windows (the chart picture's own night is tested above).
    const char* panels[] = { "NavPanel", "InstrumentStrip", "AlarmBar", "Panel1", "SpeedPanel", "ClientArea" };
    auto grabAll = [&] {
        QApplication::processEvents();
        std::vector<QImage> out;
        for (const char* name : panels) {
            QWidget* panel = window->findChild<QWidget*>(QLatin1String(name));
            EXPECT_TRUE(panel && panel->isVisible()) << name;
            QImage image = panel ? panel->grab().toImage().convertToFormat(QImage::Format_RGB32) : QImage();
            if (auto* area = qobject_cast<QMdiArea*>(panel)) {
                QPainter cover(&image);
                for (const QMdiSubWindow* sub : area->subWindowList()) {
                    cover.fillRect(QRect(sub->mapTo(area, QPoint(0, 0)), sub->size()), Qt::black);
                }
            }
            out.push_back(image);
        }
        return out;
    };
    const std::vector<QImage> day = grabAll();
    EXPECT_GT(BrightPixels(day[0]), 0) << "by day the panel has its light colours";

    QAction* night = window->command(QStringLiteral("NightPalette1"));
    night->trigger();
    const std::vector<QImage> dark = grabAll();
    for (std::size_t i = 0; i < dark.size(); ++i) {
        EXPECT_EQ(BrightPixels(dark[i]), 0) << panels[i];
    }

    night->trigger();
    const std::vector<QImage> dayAgain = grabAll();
    for (std::size_t i = 0; i < day.size(); ++i) {
        EXPECT_EQ(dayAgain[i], day[i]) << panels[i] << ": the day colours come back unchanged";
    }
}

// The places in `picture` where `text` is written in the label colour, whole or for the most
// part (a track mark drawn later may cross a name that is not placed clear of it).
int Occurrences(const QImage& picture, const std::string& text)
{
    QImage stamp(200, 40, QImage::Format_RGB32);
    stamp.fill(Qt::black);
    kv::RenderCanvas(stamp).text(4, 4, text, kv::kSilver);
    std::vector<QPoint> lit;
    for (int y = 0; y < stamp.height(); ++y) {
        for (int x = 0; x < stamp.width(); ++x) {
            if ((stamp.pixel(x, y) & 0xFFFFFFu) == kv::kSilver) {
                lit.push_back(QPoint(x, y));
            }
        }
    }
    if (lit.empty()) {
        return -1;
    }
    int found = 0;
    for (int y = 0; y + 40 <= picture.height(); ++y) {
        for (int x = 0; x + 200 <= picture.width(); ++x) {
            std::size_t misses = 0;
            for (std::size_t i = 0; i < lit.size() && misses * 10 <= lit.size(); ++i) {
                misses += (picture.pixel(x + lit[i].x(), y + lit[i].y()) & 0xFFFFFFu) != kv::kSilver;
            }
            found += misses * 10 <= lit.size();
        }
    }
    return found;
}

class AisNamesOnceTest : public AisGlanceTest, public ::testing::WithParamInterface<bool> { };

TEST_P(AisNamesOnceTest, EveryNameIsWrittenOnceThroughHoveringAndTheTargetRefresh)
{
    const std::pair<const char*, int> kinds[] = { { "KESTREL", 1 }, { "WILD GOOSE", 18 }, { "NAB TOWER", 21 } };
    writeIni(std::string("[AIS]\nShowTargetsAtStart=true\nClassBAndAtoNTargets=true\nPlaceTargetLabels=")
        + (GetParam() ? "true" : "false") + "\n");
    start();
    addTargets();
    window->controller().ais().DecodeAndUpdate(kvtest::AisPositionReport(235009999, -16.73, 41.77, 0.0, 0.0));
    ASSERT_EQ(state.ais.targets.count(), 3);
    for (int n = 1; n <= 3; ++n) {
        TAISTarget& t = state.ais.targets[n];
        t.VesselName.set(kinds[n - 1].first);
        t.MsgType = static_cast<std::uint8_t>(kinds[n - 1].second);
    }
    kvui::ViewImage* image = window->view(0)->image();
    for (int tick = 1; tick <= 3; ++tick) {
        // The pointer goes over each mark and its name; the targets move on; the refresh comes.
        for (int n = 1; n <= 3; ++n) {
            for (const QPoint at : { targetPixel(n), targetPixel(n) + QPoint(20, 8) }) {
                QMouseEvent move(
                    QEvent::MouseMove, at, image->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
                QApplication::sendEvent(image, &move);
            }
        }
        const QPoint before = targetPixel(1);
        for (int n = 1; n <= 2; ++n) {
            state.ais.targets[n].Latitude += 12000; // the ships go 0.02 degree north; the aid stays
        }
        window->controller().RefRateTimer(0);
        window->refresh();
        ASSERT_GT(before.y() - targetPixel(1).y(), 20) << "the marks have moved on";
        const QImage shown = image->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
        for (const auto& [name, type] : kinds) {
            EXPECT_EQ(Occurrences(shown, name), 1) << name << " after refresh " << tick;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(LabelsPlacedOrNot, AisNamesOnceTest, ::testing::Bool());

TEST(NightPalette, ColoursBecomeRedOfTheirLightnessOnBlack)
{
    struct Case {
        kv::Rgb in, out;
    };
    // A red mark stays about as plain as a white one; navy (the usual background) goes dark.
    for (const Case c : { Case { 0x000000, 0x000000 }, Case { 0xFFFFFF, 0xAA0000 }, Case { 0x000080, 0x2F0000 },
             Case { 0xFF0000, 0x6E0000 }, Case { 0xFFFF00, 0xA00000 }, Case { 0xC0C0C0, 0x800000 } }) {
        EXPECT_EQ(kv::NightColour(c.in), c.out) << std::hex << c.in;
    }
}

} // namespace
