// The Preferences, Timing Functions and waypoint edit dialogs as widgets: filled from the
// settings, stored on OK, left alone on Cancel, the controls that act at once, the port
// resolution, the Options commands of the main window, and the symbol preview.

#include "UiSupport.h"

#include "app/MainController.h"
#include "app/PreferencesModel.h"
#include "app/TimingModel.h"
#include "app/WaypointDialog.h"
#include "core/Config.h"
#include "core/Paths.h"
#include "core/TextFile.h"
#include "platform/fake/Fakes.h"
#include "ui/ColourGrid.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/TimingDialog.h"
#include "ui/WaypointEditDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace {

using namespace kv;
using kvui::PreferencesDialog;

class PreferencesDialogTest : public ::testing::Test {
protected:
    PreferencesDialogTest() { kvtest::App(); }

    void SetUp() override
    {
        kvtest::PrepareWorkingFolder(dir);
        controller = std::make_unique<MainController>(state, fakes.platform, hooks);
        controller->FormCreate(dir.path(), "");
        fakes.prompter.messages.clear();
    }

    std::unique_ptr<PreferencesDialog> open()
    {
        model = std::make_unique<PreferencesModel>(*controller);
        model->Fill();
        auto dialog = std::make_unique<PreferencesDialog>(*model, dir.path() + "/");
        dialog->changedAtOnce = [this] { ++immediate; };
        return dialog;
    }

    template <class W> W* find(QWidget* dialog, const char* name)
    {
        W* w = dialog->findChild<W*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }

    void press(QWidget* dialog, const char* button) { find<QPushButton>(dialog, button)->click(); }

    kvtest::TempDir dir;
    ProgramState state;
    FakePlatform fakes;
    MainWindowHooks hooks;
    std::unique_ptr<MainController> controller;
    std::unique_ptr<PreferencesModel> model;
    int immediate = 0;
};

// One control: how the state is set before the dialog opens, what the control then shows, how
// the test changes it, and what OK stores.
struct ControlCase {
    const char* control;
    std::function<void(ProgramState&)> before;
    std::function<void(QWidget*)> shows;
    std::function<void(QWidget*)> change;
    std::function<void(const ProgramState&)> stored;
};

QSpinBox* Spin(QWidget* d, const char* n)
{
    return d->findChild<QSpinBox*>(QLatin1String(n));
}
QAbstractButton* Button(QWidget* d, const char* n)
{
    return d->findChild<QAbstractButton*>(QLatin1String(n));
}

TEST_F(PreferencesDialogTest, EachPageFillsFromTheSettingsAndStoresOnOk)
{
    const ControlCase cases[] = {
        { "Defaults", [](ProgramState& s) { s.settings.ColourScheme = 2; },
            [](QWidget* d) { EXPECT_EQ(d->findChild<QComboBox*>("Defaults")->currentIndex(), 2); },
            [](QWidget* d) { d->findChild<QComboBox*>("Defaults")->setCurrentIndex(1); },
            [](const ProgramState& s) { EXPECT_EQ(s.settings.ColourScheme, 1); } },
        { "TrackColourFG", [](ProgramState& s) { s.settings.TrackColourFG = true; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "TrackColourFG")->isChecked()); },
            [](QWidget* d) { Button(d, "TrackColourFG")->setChecked(false); },
            [](const ProgramState& s) { EXPECT_FALSE(s.settings.TrackColourFG); } },
        { "KnAlways", [](ProgramState& s) { s.prefs.units.KnotsAlways = true; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "KnAlways")->isChecked()); },
            [](QWidget* d) { Button(d, "KnAlways")->setChecked(false); },
            [](const ProgramState& s) { EXPECT_FALSE(s.prefs.units.KnotsAlways); } },
        { "Position Display Mode", [](ProgramState& s) { s.settings.PositionDisplayMode = 2; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "Bessel")->isChecked()); },
            [](QWidget* d) { Button(d, "OSGridMode")->click(); },
            [](const ProgramState& s) { EXPECT_EQ(s.settings.PositionDisplayMode, 0); } },
        { "CapDist", [](ProgramState& s) { s.settings.route.ArrivalRadius = 0.35; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "CapDist")->value(), 35); },
            [](QWidget* d) { Spin(d, "CapDist")->setValue(50); },
            [](const ProgramState& s) { EXPECT_DOUBLE_EQ(s.settings.route.ArrivalRadius, 0.5); } },
        { "Deadband", [](ProgramState& s) { s.settings.route.XTEDeadband = 0.05; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "Deadband")->value(), 5); },
            [](QWidget* d) { Spin(d, "Deadband")->setValue(12); },
            [](const ProgramState& s) { EXPECT_DOUBLE_EQ(s.settings.route.XTEDeadband, 0.12); } },
        { "Route completion", [](ProgramState& s) { s.prefs.OnRouteCompletion = RouteCompletion::Reverse; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "Reverse")->isChecked()); },
            [](QWidget* d) { Button(d, "RepRoute")->click(); },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.OnRouteCompletion, RouteCompletion::RepRoute); } },
        { "Voice", [](ProgramState& s) { s.prefs.Voice = false; },
            [](QWidget* d) { EXPECT_FALSE(Button(d, "Voice")->isChecked()); },
            [](QWidget* d) { Button(d, "Voice")->setChecked(true); },
            [](const ProgramState& s) { EXPECT_TRUE(s.prefs.Voice); } },
        { "High water", [](ProgramState& s) { s.prefs.tide.HighWaterHour = 9; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "HWhour")->value(), 9); },
            [](QWidget* d) {
                Spin(d, "HWhour")->setValue(10);
                Spin(d, "HWMin")->setValue(40);
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.prefs.tide.HighWaterHour, 11);
                EXPECT_EQ(s.prefs.tide.HighWaterMinute, 40);
            } },
        { "Vspeed 0", [](ProgramState& s) { s.settings.vessel.BoatSpeed = 6.0; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "Vspeed")->value(), 6); },
            [](QWidget* d) { Spin(d, "Vspeed")->setValue(0); },
            [](const ProgramState& s) { EXPECT_DOUBLE_EQ(s.settings.vessel.BoatSpeed, 0.001); } },
        { "LatOffs", [](ProgramState& s) { s.chartRef.ChartLatOffset = -0.005; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "LatOffs")->value(), -300); },
            [](QWidget* d) { Spin(d, "LatOffs")->setValue(120); },
            [](const ProgramState& s) { EXPECT_DOUBLE_EQ(s.chartRef.ChartLatOffset, 0.002); } },
        { "ALmode", [](ProgramState& s) { s.settings.fix.AutoChart = true; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "ALmode")->isChecked()); },
            [](QWidget* d) { Button(d, "ALmode")->setChecked(false); },
            [](const ProgramState& s) { EXPECT_FALSE(s.settings.fix.AutoChart); } },
        { "HUPdeadB", [](ProgramState& s) { s.prefs.fix.HeadUpDeadBand = 4; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "HUPdeadB")->value(), 4); },
            [](QWidget* d) { Spin(d, "HUPdeadB")->setValue(15); },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.fix.HeadUpDeadBand, 15); } },
        { "LoseLog", [](ProgramState& s) { s.prefs.fix.DisposalStep = 2; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "KeepLog")->isChecked()); },
            [](QWidget* d) { Button(d, "LoseLog")->click(); },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.fix.DisposalStep, 0); } },
        { "PBspeed", [](ProgramState& s) { s.ais.PBspeed = 10; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "PBspeed")->value(), 10); },
            [](QWidget* d) { Spin(d, "PBspeed")->setValue(50); },
            [](const ProgramState& s) { EXPECT_EQ(s.display.AISPlayTimer.intervalMs, 100u); } },
        { "Mcourse", [](ProgramState& s) { s.settings.vessel.DRCourseSource = 1; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "Mcourse1")->isChecked()); },
            [](QWidget* d) { Button(d, "Mcourse0")->click(); },
            [](const ProgramState& s) { EXPECT_EQ(s.settings.vessel.DRCourseSource, 0); } },
        { "Spoints", [](ProgramState& s) { s.textLog.TextLogFixCount = 12; },
            [](QWidget* d) {
                EXPECT_EQ(Spin(d, "Spoints")->value(), 12);
                EXPECT_TRUE(Spin(d, "Spoints")->isEnabled());
            },
            [](QWidget* d) { Spin(d, "Spoints")->setValue(40); },
            [](const ProgramState& s) { EXPECT_EQ(s.textLog.TextLogFixCount, 40); } },
        { "Variation", [](ProgramState& s) { s.sentenceFix.MagVariation = -4; },
            [](QWidget* d) { EXPECT_EQ(Spin(d, "Variation")->value(), -4); },
            [](QWidget* d) { Spin(d, "Variation")->setValue(-40); },
            [](const ProgramState& s) { EXPECT_EQ(s.sentenceFix.MagVariation, -40); } },
        { "sendHSC", [](ProgramState& s) { s.prefs.nmea.sendHSC = true; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "sendHSC")->isChecked()); },
            [](QWidget* d) { Button(d, "sendHSC")->setChecked(false); },
            [](const ProgramState& s) { EXPECT_FALSE(s.prefs.nmea.sendHSC); } },
        { "COMno and Rate",
            [](ProgramState& s) {
                s.settings.nmea.ComPortNumber = 1;
                s.settings.nmea.BaudRate = 38400;
            },
            [](QWidget* d) {
                EXPECT_EQ(Spin(d, "COMno")->value(), 1);
                EXPECT_TRUE(Button(d, "Rate1")->isChecked());
            },
            [](QWidget* d) {
                Spin(d, "COMno")->setValue(2);
                Button(d, "Rate0")->click();
            },
            [](const ProgramState& s) {
                EXPECT_EQ(s.settings.nmea.ComPortNumber, 2u);
                EXPECT_EQ(s.settings.nmea.BaudRate, 4800u);
            } },
        { "AutoLaunch", [](ProgramState& s) { s.settings.fix.NmeaStartMode = "Manual"; },
            [](QWidget* d) { EXPECT_FALSE(Button(d, "AutoLaunch")->isChecked()); },
            [](QWidget* d) { Button(d, "AutoLaunch")->setChecked(true); },
            [](const ProgramState& s) { EXPECT_EQ(s.settings.fix.NmeaStartMode.str(), "Auto"); } },
        { "Sent", [](ProgramState& s) { s.prefs.nmea.PositionSentence = 0; },
            [](QWidget* d) { EXPECT_TRUE(Button(d, "Sent0")->isChecked()); },
            [](QWidget* d) { Button(d, "Sent1")->click(); },
            [](const ProgramState& s) { EXPECT_EQ(s.prefs.nmea.PositionSentence, 1); } },
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.control);
        c.before(state);
        auto dialog = open();
        c.shows(dialog.get());
        c.change(dialog.get());
        press(dialog.get(), "OKBtn");
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        c.stored(state);
    }
}

TEST_F(PreferencesDialogTest, CancelStoresNothing)
{
    const auto before = ConfigLines(state.fixInfo, state.chartRef, state.folders, state.settings);
    auto dialog = open();
    Spin(dialog.get(), "CapDist")->setValue(90);
    Spin(dialog.get(), "COMno")->setValue(7);
    Button(dialog.get(), "UTMint1924")->click();
    Button(dialog.get(), "AutoLaunch")->setChecked(true);
    find<QLineEdit>(dialog.get(), "LogParse")->setText(QStringLiteral("@t"));
    press(dialog.get(), "CancelBtn");
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(ConfigLines(state.fixInfo, state.chartRef, state.folders, state.settings), before);
    EXPECT_TRUE(fakes.prompter.messages.empty());
}

TEST_F(PreferencesDialogTest, FourControlsActAtOnce)
{
    auto dialog = open();
    Button(dialog.get(), "Kilo")->click();
    EXPECT_DOUBLE_EQ(state.settings.units.UnitFactor, 1.852);

    auto* scheme = find<QComboBox>(dialog.get(), "Defaults");
    emit scheme->activated(3); // "Black on White"
    for (const char* box : { "TextColourFG", "TrackColourFG", "TideColourFG" }) {
        EXPECT_TRUE(Button(dialog.get(), box)->isChecked()) << box;
    }
    auto* grid = find<kvui::ColourGrid>(dialog.get(), "GlobalColor");
    EXPECT_FALSE(grid->isEnabled());
    EXPECT_EQ(state.settings.ChartBackColour, 0xFFFFFF);
    emit scheme->activated(kCustomScheme);
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_FALSE(Button(dialog.get(), "TextColourFG")->isChecked());
    // A right click on the red cell makes it the background at once.
    const QPoint red = grid->cellRect(9).center();
    QMouseEvent click(QEvent::MouseButtonPress, QPointF(red), grid->mapToGlobal(QPointF(red)), Qt::RightButton,
        Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &click);
    EXPECT_EQ(state.settings.ChartBackColour, 0x0000FF); // red, as the file keeps it

    EXPECT_FALSE(Spin(dialog.get(), "Tset")->isEnabled());
    Button(dialog.get(), "ManTide")->click();
    EXPECT_FALSE(state.prefs.tide.AtlasTide);
    EXPECT_TRUE(Spin(dialog.get(), "Tset")->isEnabled());
    EXPECT_TRUE(find<QPushButton>(dialog.get(), "AvTide")->isEnabled());

    state.cycleState.ApproachPending = true;
    Button(dialog.get(), "WPVoice")->click();
    EXPECT_TRUE(state.prefs.WPVoice);
    EXPECT_FALSE(state.cycleState.ApproachPending);
    EXPECT_EQ(immediate, 6);

    press(dialog.get(), "CancelBtn");
    EXPECT_DOUBLE_EQ(state.settings.units.UnitFactor, 1.852);
    EXPECT_FALSE(state.prefs.tide.AtlasTide);
    EXPECT_TRUE(state.prefs.WPVoice);
    EXPECT_EQ(state.settings.ColourScheme, 0); // the scheme itself waits for OK
}

TEST_F(PreferencesDialogTest, EnablingFollowsTheClicks)
{
    auto dialog = open();
    Button(dialog.get(), "WP_auto")->click();
    EXPECT_FALSE(Spin(dialog.get(), "CapDist")->isEnabled());
    // All seven sentence boxes are on the Auto page (three off by default), and follow the
    // output switch alike.
    for (const char* name : { "sendAPB", "sendXTE", "sendHSC", "SendBOD", "sendBWR", "SendRMB", "SendVTG" }) {
        EXPECT_FALSE(Button(dialog.get(), name)->isHidden()) << name;
        EXPECT_TRUE(Button(dialog.get(), name)->isEnabled()) << name;
    }
    EXPECT_FALSE(Button(dialog.get(), "SendRMB")->isChecked());
    Button(dialog.get(), "NMEAOutputOn")->click();
    for (const char* name : { "sendAPB", "SendRMB", "sendBWR", "SendVTG" }) {
        EXPECT_FALSE(Button(dialog.get(), name)->isEnabled()) << name;
    }
    Button(dialog.get(), "RepRoute")->click();
    Button(dialog.get(), "RevRoute")->click();
    EXPECT_FALSE(Button(dialog.get(), "RevRoute")->isChecked());
    EXPECT_FALSE(Button(dialog.get(), "Vfreq")->isEnabled());
    EXPECT_FALSE(Spin(dialog.get(), "RepRate")->isEnabled());

    // "&Page>" steps through the tabs (the ten of the settings and "AIS Safety") and round again.
    auto* tabs = dialog->tabs();
    ASSERT_EQ(tabs->count(), 11);
    EXPECT_EQ(tabs->tabText(7), QStringLiteral("Stats"));
    EXPECT_EQ(tabs->tabText(10), QStringLiteral("AIS Safety"));
    for (int i = 1; i <= 11; ++i) {
        press(dialog.get(), "SpeedButton1");
        EXPECT_EQ(tabs->currentIndex(), i % 11);
    }
}

// The switch the manual names on the AIS Safety page: the navigation figures in large type,
// kept in kvfree.ini.
TEST_F(PreferencesDialogTest, AisSafetyPageHasLargeNavigationFigures)
{
    auto dialog = open();
    QAbstractButton* large = Button(dialog.get(), "LargeNavFigures");
    ASSERT_NE(large, nullptr);
    EXPECT_EQ(large->text(), QStringLiteral("Large navigation figures"));
    EXPECT_FALSE(large->isChecked());
    large->setChecked(true);
    press(dialog.get(), "OKBtn");
    EXPECT_TRUE(state.extra.LargeNavFigures);
    EXPECT_TRUE(ReadExtraSettings(dir.file(kExtraSettingsFile)).settings.LargeNavFigures);
    dialog = open();
    EXPECT_TRUE(Button(dialog.get(), "LargeNavFigures")->isChecked());
}

TEST_F(PreferencesDialogTest, AisSafetyPage)
{
    state.extra.CpaLimitNm = 0.333;
    auto dialog = open();
    auto* cpa = find<QDoubleSpinBox>(dialog.get(), "CpaLimitNm");
    EXPECT_DOUBLE_EQ(cpa->value(), 0.33);
    EXPECT_FALSE(Button(dialog.get(), "CollisionAlarm")->isEnabled());
    Button(dialog.get(), "CollisionWarnings")->click();
    EXPECT_TRUE(Button(dialog.get(), "CollisionAlarm")->isEnabled());
    Button(dialog.get(), "CollisionAlarm")->setChecked(true);
    find<QDoubleSpinBox>(dialog.get(), "TcpaLimitMinutes")->setValue(20.0);
    press(dialog.get(), "OKBtn");
    EXPECT_TRUE(state.extra.CollisionWarnings);
    EXPECT_TRUE(state.extra.CollisionAlarm);
    EXPECT_DOUBLE_EQ(state.extra.TcpaLimitMin, 20.0);
    EXPECT_DOUBLE_EQ(state.extra.CpaLimitNm, 0.333); // shown rounded, kept exact
    EXPECT_EQ(ReadExtraSettings(dir.file(kExtraSettingsFile)).settings, state.extra);
}

// The captions and hints the user reads, each from the control that carries it.
TEST_F(PreferencesDialogTest, CaptionsAndHintsOfTheChartLogAndDrPages)
{
    auto dialog = open();
    struct Case {
        const char* control;
        std::function<QString(QWidget*)> text;
        const char* expected;
    };
    const std::vector<Case> cases {
        { "OffsetsGroup", [](QWidget* w) { return static_cast<QGroupBox*>(w)->title(); },
            "Chart Offsets for GPS WG84 positions:" },
        { "BrowserPathLabel", [](QWidget* w) { return static_cast<QLabel*>(w)->text(); }, "Choose Text Log Viewer" },
        { "Variation", [](QWidget* w) { return w->toolTip(); },
            "Magnetic variation to nearest degree - west negative" },
        { "Variation", [](QWidget* w) { return w->statusTip(); },
            "Magnetic variation to nearest degree - west negative" },
    };
    for (const Case& c : cases) {
        QWidget* w = find<QWidget>(dialog.get(), c.control);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(c.text(w), QLatin1String(c.expected)) << c.control;
    }
    // The two offset spins sit in the group that names them.
    EXPECT_NE(find<QWidget>(dialog.get(), "OffsetsGroup")->findChild<QSpinBox*>(QStringLiteral("LatOffs")), nullptr);
}

TEST_F(PreferencesDialogTest, StatsPageFollowsTheTables)
{
    state.route.push({ "WP1", 50.0, 1.0 });
    state.ais.targets.add({});
    state.ais.targets.add({});
    auto dialog = open();
    EXPECT_EQ(find<QLabel>(dialog.get(), "Stat1")->text(), QStringLiteral("**********")); // layer mask
    EXPECT_EQ(find<QLabel>(dialog.get(), "Stat4")->text(), QStringLiteral("1")); // route waypoints
    EXPECT_EQ(find<QLabel>(dialog.get(), "Stat7")->text(), QStringLiteral("2   Targets"));
    EXPECT_EQ(find<QLabel>(dialog.get(), "Stat8")->text(), QStringLiteral("0   Sentences")); // dropped input
    for (int i = 0; i < 3; ++i) {
        state.ais.targets.add({});
    }
    state.nmeaLink.DroppedSentences = 12345;
    emit find<QTimer>(dialog.get(), "StatsTimer")->timeout({});
    EXPECT_EQ(find<QLabel>(dialog.get(), "Stat7")->text(), QStringLiteral("5   Targets"));
    EXPECT_EQ(find<QLabel>(dialog.get(), "Stat8")->text(), QStringLiteral("12345   Sentences"));
}

TEST_F(PreferencesDialogTest, LogFormatWithoutPositionAndTheOldLogKept)
{
    const std::string path = controller->logs().TextLogPath();
    ASSERT_TRUE(std::filesystem::exists(path)); // the day's log, created at start
    AppendToFile(path, "1,first fix\r\n");
    auto dialog = open();
    find<QLineEdit>(dialog.get(), "LogParse")->setText(QStringLiteral("@f,@t"));
    fakes.prompter.answer({ true });
    press(dialog.get(), "OKBtn");
    EXPECT_EQ(fakes.prompter.texts(), (std::vector<std::string> { kPositionOmitted, kLogFormatChanged }));
    EXPECT_EQ(find<QLineEdit>(dialog.get(), "LogParse")->text(), QStringLiteral("@p:5,@f,@t"));
    EXPECT_EQ(state.settings.TextLogFormat, "@p:5,@f,@t");
    const std::string kept = FolderOf(path) + NameWithoutExtension(path) + "-1.txt";
    const auto old = ReadTextLines(kept);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->back(), "1,first fix");
    EXPECT_EQ(ReadTextLines(path)->size(), 2u);
}

TEST_F(PreferencesDialogTest, NmeaPageShowsWhatTheComNumberResolvesTo)
{
    namespace fs = std::filesystem;
    fs::create_directories(dir.file("dev"));
    fs::create_symlink("/dev/null", dir.file("dev/com2"));
    dir.write("dev/com3", "tcp://localhost:10110\n");
    dir.write("dev/com15", "nonsense\n");
    auto dialog = open();
    QSpinBox* com = Spin(dialog.get(), "COMno");
    QLabel* port = dialog->portResolution();
    com->setValue(2);
    EXPECT_EQ(port->text(), QStringLiteral("COM 2 \u2192 /dev/null"));
    com->setValue(3);
    EXPECT_EQ(port->text(), QStringLiteral("COM 3 \u2192 tcp://localhost:10110"));
    com->setValue(15);
    EXPECT_TRUE(port->text().startsWith(QStringLiteral("COM 15 resolves to nothing on this machine")))
        << port->text().toStdString();
}

TEST_F(PreferencesDialogTest, NetworkSourceAddressIsEditedOnTheNmeaPage)
{
    namespace fs = std::filesystem;
    fs::create_directories(dir.file("dev"));
    fs::create_symlink("/dev/null", dir.file("dev/com2"));
    auto dialog = open();
    QSpinBox* com = Spin(dialog.get(), "COMno");
    auto* address = find<QLineEdit>(dialog.get(), "SourceAddress");
    com->setValue(2);
    EXPECT_FALSE(address->isEnabled()); // a device link stays as it is
    com->setValue(6);
    EXPECT_TRUE(address->isEnabled());
    address->setText(QStringLiteral("tcp://localhost:10110"));
    press(dialog.get(), "SetSource");
    EXPECT_EQ(dialog->portResolution()->text(), QStringLiteral("COM 6 \u2192 tcp://localhost:10110"));
    address->setText(QStringLiteral("tcp://localhost"));
    press(dialog.get(), "SetSource");
    EXPECT_EQ(fakes.prompter.messages.back().kind, "error");
    EXPECT_EQ(address->text(), QStringLiteral("tcp://localhost:10110")); // the file as it stands
    press(dialog.get(), "CancelBtn");
    EXPECT_EQ(state.settings.nmea.ComPortNumber, 1u); // the address is a file of its own, the number a setting
}

TEST_F(PreferencesDialogTest, PortChangeWhileOpenIsAnnounced)
{
    controller->nmea().OpenNmeaInterface();
    ASSERT_TRUE(state.nmeaLink.NmeaOpen);
    fakes.prompter.messages.clear();
    auto dialog = open();
    EXPECT_FALSE(Spin(dialog.get(), "Spoints")->isEnabled());
    Spin(dialog.get(), "COMno")->setValue(4);
    press(dialog.get(), "OKBtn");
    EXPECT_TRUE(fakes.prompter.lastMessageIs(kComPortChangesLater));
    EXPECT_EQ(fakes.serial.openedNumber, 1u);
    EXPECT_TRUE(fakes.serial.opened);
}

TEST_F(PreferencesDialogTest, TimingDialogShowsAndStoresTheInterval)
{
    struct Row {
        std::uint32_t ms;
        int mins, secs;
    };
    for (const Row& r : { Row { 10000, 0, 10 }, Row { 90000, 1, 30 } }) {
        state.settings.fix.FixIntervalMs = r.ms;
        TimingModel timing(*controller);
        timing.Fill();
        kvui::TimingDialog dialog(timing);
        EXPECT_EQ(Spin(&dialog, "FixMins")->value(), r.mins) << r.ms;
        EXPECT_EQ(Spin(&dialog, "FixSecs")->value(), r.secs) << r.ms;
        EXPECT_EQ(Spin(&dialog, "FixDeciSecs")->value(), 0);
    }
    TimingModel timing(*controller);
    timing.Fill();
    kvui::TimingDialog dialog(timing);
    Spin(&dialog, "FixSecs")->setValue(5);
    Spin(&dialog, "TimeZone")->setValue(-2);
    Spin(&dialog, "DrawN")->setValue(4);
    dialog.findChild<QCheckBox*>("UTCClock")->setChecked(false);
    press(&dialog, "CancelBtn");
    EXPECT_EQ(state.settings.fix.FixIntervalMs, 90000u);
    press(&dialog, "OKBtn");
    EXPECT_EQ(state.settings.fix.FixIntervalMs, 65000u);
    EXPECT_EQ(state.display.FixTimer.intervalMs, 65000u);
    EXPECT_EQ(state.settings.fix.TimeZoneHours, -2);
    EXPECT_EQ(state.prefs.fix.RedrawEveryFixes, 4);
    EXPECT_FALSE(state.prefs.fix.UseGpsTime);
}

// The main window's Options commands, tried as a new user would: kilometres, British Grid and
// COM 2 at 38400, OK, quit, start again.
TEST_F(PreferencesDialogTest, ChoicesMadeInTheMainWindowComeBackAfterARestart)
{
    kvtest::TempDir folder;
    kvtest::PrepareWorkingFolder(folder);
    {
        ProgramState s;
        kvui::MainWindow window(s, fakes.platform);
        window.aboutBox = [] {};
        int shown = 0;
        window.execDialog = [&](QDialog& d) {
            ++shown;
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Preferences"));
            d.findChild<QAbstractButton*>("Kilo")->click();
            d.findChild<QAbstractButton*>("OSGridMode")->click();
            d.findChild<QSpinBox*>("COMno")->setValue(2);
            d.findChild<QAbstractButton*>("Rate1")->click();
            d.accept();
            return static_cast<int>(d.result());
        };
        window.start(folder.path(), "");
        window.show();
        // The settings can be changed before any chart view is open.
        for (const char* name : { "Preferences1", "GlobalView", "Alarms1", "TimeBtn" }) {
            EXPECT_TRUE(window.command(QLatin1String(name))->isEnabled()) << name;
        }
        window.secsTick();
        QAction* prefs = window.command(QStringLiteral("Preferences1"));
        ASSERT_NE(prefs, nullptr);
        EXPECT_EQ(prefs->shortcut(), QKeySequence(Qt::Key_F11));
        auto* options = window.findChild<QMenu*>(QStringLiteral("OptionsMenu"));
        ASSERT_NE(options, nullptr);
        EXPECT_EQ(options->title(), QStringLiteral("&Options"));
        EXPECT_TRUE(options->actions().contains(prefs));
        EXPECT_TRUE(options->actions().contains(window.command(QStringLiteral("Alarms1"))));
        ASSERT_NE(window.command(QStringLiteral("GlobalView")), nullptr);
        window.command(QStringLiteral("GlobalView"))->trigger();
        EXPECT_EQ(shown, 1);
        EXPECT_DOUBLE_EQ(s.settings.units.UnitFactor, 1.852);
        EXPECT_EQ(s.settings.PositionDisplayMode, 0);
        // The position panel now reads as a National Grid position.
        EXPECT_EQ(s.display.PosnPanel.find('\xb0'), std::string::npos) << s.display.PosnPanel;

        window.execDialog = [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Timing Functions"));
            d.reject();
            return static_cast<int>(d.result());
        };
        window.command(QStringLiteral("TimeBtn"))->trigger();
        EXPECT_EQ(window.command(QStringLiteral("Alarms1"))->toolTip(), QStringLiteral("Timing Functions"));
        fakes.prompter.defaultAnswer = true;
        EXPECT_TRUE(window.close());
    }
    ProgramState saved;
    const Settings& settings = saved.settings;
    ASSERT_TRUE(ReadConfig(folder.file("kelvw.cfg"), saved.fixInfo, saved.chartRef, saved.folders, saved.settings));
    EXPECT_DOUBLE_EQ(settings.units.UnitFactor, 1.852);
    EXPECT_EQ(settings.PositionDisplayMode, 0);
    EXPECT_EQ(settings.nmea.ComPortNumber, 2u);
    EXPECT_EQ(settings.nmea.BaudRate, 38400u);

    // Started again: the choices are back, and the position panel reads in grid form.
    ProgramState again;
    kvui::MainWindow window(again, fakes.platform);
    window.aboutBox = [] {};
    window.start(folder.path(), "");
    window.secsTick();
    EXPECT_DOUBLE_EQ(again.settings.units.UnitFactor, 1.852);
    EXPECT_EQ(again.settings.PositionDisplayMode, 0);
    EXPECT_EQ(again.display.PosnPanel.find('\xb0'), std::string::npos) << again.display.PosnPanel;
    EXPECT_FALSE(again.display.PosnPanel.empty());
    EXPECT_TRUE(window.close());
}

class WaypointEditDialogTest : public ::testing::Test {
protected:
    WaypointEditDialogTest() { kvtest::App(); }
    FakePrompter prompter;
    Settings settings;
};

void Type(QLineEdit* edit, const std::string& keys)
{
    for (char c : keys) {
        const QString text(QChar::fromLatin1(c));
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
    }
}

void Leave(QWidget* w)
{
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(w, &out);
}

TEST_F(WaypointEditDialogTest, PositionAndGridStayInStepAsTheUserTypes)
{
    WaypointDialogModel model;
    model.fields.Caption = kEditWaypointCaption;
    model.fields.Nwps = 12;
    kvui::WaypointEditDialog dialog(model, settings, prompter);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Nearest Waypoint"));
    EXPECT_EQ(dialog.findChild<QLabel*>("Nwps")->text(), QStringLiteral("12"));
    auto* lat = dialog.findChild<QLineEdit*>("Latitude");
    auto* lon = dialog.findChild<QLineEdit*>("Longitude");
    auto* east = dialog.findChild<QLineEdit*>("Easting");
    lat->clear();
    Type(lat, "5130N");
    EXPECT_EQ(lat->text(),
        QString::fromLatin1("51\xb0"
                            "30.N"));
    lon->clear();
    Leave(lat);
    EXPECT_EQ(lat->text(),
        QString::fromLatin1("51\xb0"
                            "30.00000N"));
    EXPECT_EQ(lon->text(),
        QString::fromLatin1("000\xb0"
                            "00.00000W"));
    const QString firstEasting = east->text();
    EXPECT_FALSE(firstEasting.isEmpty());
    EXPECT_NE(firstEasting, QStringLiteral("**********"));

    east->setText(QStringLiteral("500000.00"));
    Leave(east);
    EXPECT_NE(lon->text(),
        QString::fromLatin1("000\xb0"
                            "00.00000W"));
    Leave(lat);
    EXPECT_EQ(east->text(), QStringLiteral("500000.00"));
}

TEST_F(WaypointEditDialogTest, ShapeChangesTheParameterFieldAndThePreview)
{
    WaypointDialogModel model;
    kvui::WaypointEditDialog dialog(model, settings, prompter);
    auto* shape = dialog.findChild<QComboBox*>("WPShape");
    auto* radius = dialog.findChild<QLineEdit*>("Radius");
    auto* label = dialog.findChild<QLabel*>("Label5");
    EXPECT_EQ(shape->currentIndex(), 0);
    EXPECT_FALSE(radius->isEnabled());
    QImage preview = dialog.preview()->pixmap().toImage();
    EXPECT_EQ(preview.pixel(18, 18) & 0xFFFFFF, 0xFFFFFFu); // the medium cross, white on navy
    EXPECT_EQ(preview.pixel(25, 18) & 0xFFFFFF, 0x000080u);

    emit shape->activated(23);
    EXPECT_EQ(label->text(), QStringLiteral("Zoom"));
    EXPECT_TRUE(radius->isEnabled());
    emit shape->activated(8);
    preview = dialog.preview()->pixmap().toImage();
    EXPECT_EQ(preview.pixel(15, 21) & 0xFFFFFF, 0xFF0000u);
    emit shape->activated(33);
    EXPECT_EQ(label->text(), QStringLiteral("Pointer"));

    // Typing R# keeps what was typed into the other fields.
    auto* desc = dialog.findChild<QLineEdit*>("WPdesc");
    desc->setText(QStringLiteral("Anchorage"));
    radius->clear();
    Type(radius, "5");
    EXPECT_EQ(desc->text(), QStringLiteral("Anchorage"));
    EXPECT_EQ(model.fields.Radius, "5");
}

TEST_F(WaypointEditDialogTest, CancellingAChartletHandsItsImageToTheViewer)
{
    WaypointDialogModel model;
    model.fields.WPdesc = "quay";
    model.fields.WPShape = "32   Chartlet / Information";
    kvui::WaypointEditDialog dialog(model, settings, prompter);
    std::vector<std::string> opened;
    dialog.openChartlet = [&opened](const std::string& name) { opened.push_back(name); };
    dialog.findChild<QPushButton*>("CancelBtn")->click();
    EXPECT_EQ(opened, std::vector<std::string> { "quay" });
    EXPECT_TRUE(prompter.messages.empty());

    WaypointDialogModel plain;
    kvui::WaypointEditDialog other(plain, settings, prompter);
    other.openChartlet = [&opened](const std::string& name) { opened.push_back(name); };
    other.findChild<QPushButton*>("OKBtn")->click();
    EXPECT_EQ(opened.size(), 1u);
}

} // namespace
