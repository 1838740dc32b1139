#include "ui/PreferencesDialog.h"
#include "app/HelpTopics.h"
#include "ui/HelpWindow.h"

#include "app/ComSourceFile.h"
#include "core/SourceAddress.h"
#include "platform/qt/QtSerialPort.h"
#include "ui/ColourGrid.h"
#include "ui/UiText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace kvui {

using kv::PreferencesFields;

QString PortResolutionText(unsigned portNumber, const std::string& workingFolder)
{
    const kv::SourceParse source = kv::ResolveComSource(portNumber, workingFolder);
    const QString com = QStringLiteral("COM %1").arg(portNumber);
    if (!source.ok()) {
        return com + QStringLiteral(" resolves to nothing on this machine (") + QString::fromStdString(source.error)
            + QStringLiteral(")");
    }
    return com + QStringLiteral(" \u2192 ") + QString::fromLocal8Bit(kv::SourceText(source.address).c_str());
}

PreferencesDialog::PreferencesDialog(kv::PreferencesModel& model, std::string workingFolder, QWidget* parent)
    : QDialog(parent)
    , model_(model)
    , workingFolder_(std::move(workingFolder))
{
    setObjectName(QStringLiteral("PreferencesDlg"));
    setWindowTitle(QStringLiteral("Preferences"));
    auto* layout = new QVBoxLayout(this);
    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("TabSet"));
    pages_ = new QStackedWidget(this);
    layout->addWidget(tabs_);
    layout->addWidget(pages_, 1);

    buildColour();
    buildUnits();
    buildNav();
    buildTide();
    buildChart();
    buildLog();
    buildDR();
    buildStats();
    buildAuto();
    buildNmea();
    buildAisSafety();
    connect(tabs_, &QTabBar::tabBarClicked, this, [this](int tab) {
        model_.TabSetClick(tab);
        showPage(model_.page);
    });

    auto* buttons = new QHBoxLayout;
    auto* next = new QPushButton(QStringLiteral("&Page>"), this);
    next->setObjectName(QStringLiteral("SpeedButton1"));
    connect(next, &QPushButton::clicked, this, [this] {
        model_.SpeedButton1Click();
        showPage(model_.page);
    });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(next);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    // HelpBtnClick: the dialog's page of the manual; F1 does the same.
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("HelpBtn"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, kv::kHelpPreferences); });
    buttons->addWidget(help);
    layout->addLayout(buttons);

    showFields();
    showPage(model_.page);

    // The counts go on changing while the dialog is open (fixes, AIS targets).
    auto* statsTimer = new QTimer(this);
    statsTimer->setObjectName(QStringLiteral("StatsTimer"));
    statsTimer->setInterval(1000);
    connect(statsTimer, &QTimer::timeout, this, [this] {
        model_.FillStats();
        showStats();
    });
    statsTimer->start();
}

QWidget* PreferencesDialog::addPage(const char* name)
{
    auto* page = new QWidget(pages_);
    page->setObjectName(QStringLiteral("Page") + QLatin1String(name));
    pages_->addWidget(page);
    tabs_->addTab(QLatin1String(name));
    return page;
}

void PreferencesDialog::showPage(int page)
{
    tabs_->setCurrentIndex(page);
    pages_->setCurrentIndex(page);
}

QSpinBox* PreferencesDialog::spin(QGridLayout* grid, int row, const char* name, const QString& caption,
    const QString& suffix, int PreferencesFields::*field)
{
    const kv::SpinSpec& range = kv::SpinRange(name);
    auto* box = new QSpinBox(grid->parentWidget());
    box->setObjectName(QLatin1String(name));
    box->setRange(range.min, range.max);
    box->setSingleStep(range.step);
    auto* label = new QLabel(caption, grid->parentWidget());
    label->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
    label->setBuddy(box);
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    if (!suffix.isEmpty()) {
        grid->addWidget(new QLabel(suffix, grid->parentWidget()), row, 2);
    }
    spins_.emplace_back(box, field);
    return box;
}

QCheckBox* PreferencesDialog::check(
    QWidget* parent, const char* name, const QString& caption, bool PreferencesFields::*field)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QLatin1String(name));
    checks_.emplace_back(box, field);
    return box;
}

QButtonGroup* PreferencesDialog::radios(QWidget* box, const std::vector<std::pair<const char*, QString>>& buttons)
{
    auto* group = new QButtonGroup(box);
    auto* layout = new QVBoxLayout(box);
    int id = 0;
    for (const auto& [name, caption] : buttons) {
        auto* radio = new QRadioButton(caption, box);
        radio->setObjectName(QLatin1String(name));
        group->addButton(radio, id++);
        layout->addWidget(radio);
    }
    return group;
}

void PreferencesDialog::act(const std::function<void()>& op)
{
    if (showing_) {
        return;
    }
    readFields();
    op();
    showFields();
    if (changedAtOnce) {
        changedAtOnce();
    }
}

void PreferencesDialog::buildColour()
{
    QWidget* page = addPage("Colour");
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("Coastline / Background Colour"), page), 0, 0);
    defaults_ = new QComboBox(page);
    defaults_->setObjectName(QStringLiteral("Defaults"));
    for (const char* scheme : kv::kColourSchemes) {
        defaults_->addItem(QLatin1String(scheme));
    }
    connect(defaults_, &QComboBox::activated, this,
        [this](int scheme) { act([this, scheme] { model_.DefaultsClick(scheme); }); });
    grid->addWidget(defaults_, 0, 1);
    grid_ = new ColourGrid(page);
    grid_->setObjectName(QStringLiteral("GlobalColor"));
    grid_->setToolTip(QStringLiteral("Left click: foreground (coastline); right click: background"));
    grid_->changed = [this](int fg, int bg) { act([this, fg, bg] { model_.GlobalColorChange(fg, bg); }); };
    grid->addWidget(grid_, 1, 0, 3, 1);
    grid->addWidget(check(page, "TextColourFG", QStringLiteral("Text = FG"), &PreferencesFields::TextColourFG), 1, 1);
    grid->addWidget(check(page, "TrackColourFG", QStringLiteral("Track=FG"), &PreferencesFields::TrackColourFG), 2, 1);
    grid->addWidget(check(page, "TideColourFG", QStringLiteral("Tides=FG"), &PreferencesFields::TideColourFG), 3, 1);
    grid->addWidget(
        check(page, "NightPalette", QStringLiteral("Night palette (Ctrl+Shift+N)"), &PreferencesFields::NightPalette),
        4, 0, 1, 2);
    grid->setRowStretch(5, 1);
}

void PreferencesDialog::buildUnits()
{
    QWidget* page = addPage("Units");
    auto* layout = new QGridLayout(page);
    auto* distance = new QGroupBox(QStringLiteral("Distance"), page);
    units_ = radios(distance,
        { { "Naut", QStringLiteral("Nautical Miles") }, { "Kilo", QStringLiteral("Kilometres") },
            { "Stat", QStringLiteral("Statute Miles") } });
    connect(units_, &QButtonGroup::idClicked, this,
        [this](int id) { act([this, id] { model_.UnitClick(static_cast<kv::DistanceUnit>(id)); }); });
    layout->addWidget(distance, 0, 0);
    layout->addWidget(
        check(page, "KnAlways", QStringLiteral("Speed always in Knots"), &PreferencesFields::KnAlways), 1, 0);
    auto* modes = new QGroupBox(QStringLiteral("Position Display Mode"), page);
    std::vector<std::pair<const char*, QString>> buttons;
    const char* names[] = { "LatLongMode", "OSGridMode", "UTMint1924", "Bessel", "Clarke1866", "Clarke1880", "Everest",
        "Australian", "WGS1972", "WGS1984" };
    for (std::size_t i = 0; i < kv::kPositionModes.size(); ++i) {
        buttons.emplace_back(names[i], QLatin1String(kv::kPositionModes[i]));
    }
    positionModes_ = radios(modes, buttons);
    layout->addWidget(modes, 0, 1, 3, 1);
    layout->setRowStretch(2, 1);
}

void PreferencesDialog::buildNav()
{
    QWidget* page = addPage("Nav");
    auto* grid = new QGridLayout(page);
    QCheckBox* wpAuto = check(page, "WP_auto", QStringLiteral("Auto Waypoint"), &PreferencesFields::WP_auto);
    connect(wpAuto, &QCheckBox::clicked, this, [this](bool on) { act([this, on] { model_.WP_autoClick(on); }); });
    grid->addWidget(wpAuto, 0, 0);
    spin(grid, 1, "CapDist", QStringLiteral("Change at Rng :"), QStringLiteral("x 0.01 Nm"),
        &PreferencesFields::CapDist);
    spin(grid, 2, "Deadband", QStringLiteral("XTE Deadband :"), QStringLiteral("x 0.01 Nm"),
        &PreferencesFields::Deadband);
    auto* completion = new QGroupBox(QStringLiteral("On Completion of route ..."), page);
    completion_ = radios(completion,
        { { "NormalMode", QStringLiteral("Normal - Prompt for next waypoint") },
            { "Reverse", QStringLiteral("Reverse current route") },
            { "RepRoute", QStringLiteral("Repeat current route") } });
    connect(completion_, &QButtonGroup::idClicked, this,
        [this](int id) { act([this, id] { model_.CompletionClick(static_cast<kv::RouteCompletion>(id)); }); });
    grid->addWidget(completion, 3, 0, 1, 3);
    QCheckBox* rev = check(page, "RevRoute", QStringLiteral("Reversed route"), &PreferencesFields::RevRoute);
    connect(rev, &QCheckBox::clicked, this, [this](bool on) { act([this, on] { model_.RevRouteClick(on); }); });
    grid->addWidget(rev, 4, 0);
    grid->addWidget(check(page, "Voice", QStringLiteral("XTE Voice -"), &PreferencesFields::Voice), 5, 0);
    QCheckBox* vfreq = check(page, "Vfreq", QStringLiteral("Only on change"), &PreferencesFields::Vfreq);
    vfreq->setEnabled(false);
    grid->addWidget(vfreq, 5, 1);
    QCheckBox* wpVoice = check(page, "WPVoice", QStringLiteral("WP Voice"), &PreferencesFields::WPVoice);
    connect(wpVoice, &QCheckBox::clicked, this, [this](bool on) { act([this, on] { model_.WPVoiceClick(on); }); });
    grid->addWidget(wpVoice, 6, 0);
    grid->addWidget(
        check(page, "AISvoice", QStringLiteral("AIS New Target Announcement Voice"), &PreferencesFields::AISvoice), 7,
        0, 1, 3);
    grid->setRowStretch(8, 1);
}

void PreferencesDialog::buildTide()
{
    QWidget* page = addPage("Tide");
    auto* layout = new QVBoxLayout(page);
    auto* highWater = new QGroupBox(QStringLiteral("High Water"), page);
    auto* hw = new QGridLayout(highWater);
    spin(hw, 0, "HWhour", QStringLiteral("Hour"), {}, &PreferencesFields::HWhour);
    spin(hw, 1, "HWMin", QStringLiteral("Minute"), {}, &PreferencesFields::HWMin);
    layout->addWidget(highWater);
    auto* speed = new QWidget(page);
    auto* sp = new QGridLayout(speed);
    sp->setContentsMargins(0, 0, 0, 0);
    spin(sp, 0, "Vspeed", QStringLiteral("Vessel's Water speed "), QStringLiteral("Knots"), &PreferencesFields::Vspeed);
    layout->addWidget(speed);
    auto* local = new QGroupBox(QStringLiteral("Enter Local Tide"), page);
    auto* lt = new QGridLayout(local);
    QCheckBox* use = check(local, "ManTide", QStringLiteral("Use"), &PreferencesFields::ManTide);
    connect(use, &QCheckBox::clicked, this, [this](bool on) { act([this, on] { model_.ManTideClick(on); }); });
    lt->addWidget(use, 0, 0);
    spin(lt, 1, "Tset", QStringLiteral("Set \u00b0T"), {}, &PreferencesFields::Tset);
    spin(lt, 2, "TDrift", QStringLiteral("Drift x0.1kn"), {}, &PreferencesFields::TDrift);
    auto* average = new QPushButton(QStringLiteral("Average"), local);
    average->setObjectName(QStringLiteral("AvTide"));
    connect(average, &QPushButton::clicked, this, [this] { act([this] { model_.AvTideClick(); }); });
    lt->addWidget(average, 3, 1);
    layout->addWidget(local);
    layout->addStretch(1);
}

void PreferencesDialog::buildChart()
{
    QWidget* page = addPage("Chart");
    auto* grid = new QGridLayout(page);
    auto* offsets = new QGroupBox(QStringLiteral("Chart Offsets for GPS WG84 positions:"), page);
    offsets->setObjectName(QStringLiteral("OffsetsGroup"));
    auto* og = new QGridLayout(offsets);
    spin(og, 0, "LatOffs", QStringLiteral("LAT x 0.001 Mins (S -ve)"), {}, &PreferencesFields::LatOffs);
    spin(og, 1, "LongOffs", QStringLiteral("LONG x 0.001 Mins (W -ve)"), {}, &PreferencesFields::LongOffs);
    grid->addWidget(offsets, 0, 0, 2, 2);
    auto* wgs = new QPushButton(QStringLiteral("->WGS84"), page);
    wgs->setObjectName(QStringLiteral("Cht2WGS84"));
    wgs->setToolTip(QStringLiteral("Convert chart to WGS84"));
    connect(wgs, &QPushButton::clicked, this, [this] { act([this] { model_.Cht2WGS84Click(); }); });
    grid->addWidget(wgs, 0, 2, 2, 1);
    grid->addWidget(
        check(page, "ALmode", QStringLiteral("Autoload charts when required"), &PreferencesFields::ALmode), 2, 0, 1, 3);
    spin(grid, 3, "ViewAngle", QStringLiteral("Viewing Angle 0\u00b0 = North up"), {}, &PreferencesFields::ViewAngle);
    grid->addWidget(
        check(page, "HeadUp", QStringLiteral("Heading Up While Navigating"), &PreferencesFields::HeadUp), 4, 0, 1, 3);
    spin(grid, 5, "HUPdeadB", QStringLiteral("Heading Up Dead Band \u00b0"), {}, &PreferencesFields::HUPdeadB);
    QCheckBox* noOffsets
        = check(page, "NoOffsets", QStringLiteral("Display Survey Log Without Offsets"), &PreferencesFields::NoOffsets);
    noOffsets->setVisible(false);
    grid->addWidget(noOffsets, 6, 0, 1, 3);
    grid->setRowStretch(7, 1);
}

void PreferencesDialog::buildLog()
{
    QWidget* page = addPage("Log");
    auto* grid = new QGridLayout(page);
    grid->addWidget(new QLabel(QStringLiteral("Log format"), page), 0, 0);
    logParse_ = new QLineEdit(page);
    logParse_->setObjectName(QStringLiteral("LogParse"));
    grid->addWidget(logParse_, 0, 1, 1, 2);
    auto* codes = new QLabel(QStringLiteral("@f,@d,@t,@p:3,@q,@c,@s,@v,@x,@y"), page);
    codes->setObjectName(QStringLiteral("LogParseLabel"));
    grid->addWidget(codes, 1, 1, 1, 2);
    grid->addWidget(
        check(page, "KeepTextLog", QStringLiteral("Keep Text Log every"), &PreferencesFields::KeepTextLog), 2, 0);
    auto* repRate = new QSpinBox(page);
    repRate->setObjectName(QStringLiteral("RepRate"));
    repRate->setRange(kv::SpinRange("RepRate").min, kv::SpinRange("RepRate").max);
    repRate->setEnabled(false);
    spins_.emplace_back(repRate, &PreferencesFields::RepRate);
    grid->addWidget(repRate, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Fixes"), page), 2, 2);
    auto* disposal = new QGroupBox(page);
    disposal_ = radios(disposal,
        { { "KeepLog", QStringLiteral("Intelligent Log Disposal") },
            { "LoseLog", QStringLiteral("Discard old fixes if log is full ") } });
    grid->addWidget(disposal, 3, 0, 1, 3);
    spin(grid, 4, "PBspeed", QStringLiteral("Log Playback Speed"), {}, &PreferencesFields::PBspeed);
    auto* viewerLabel = new QLabel(QStringLiteral("Choose Text Log Viewer"), page);
    viewerLabel->setObjectName(QStringLiteral("BrowserPathLabel"));
    grid->addWidget(viewerLabel, 5, 0);
    browserPath_ = new QLineEdit(page);
    browserPath_->setObjectName(QStringLiteral("BrowserPath"));
    grid->addWidget(browserPath_, 5, 1, 1, 2);
    grid->setRowStretch(6, 1);
}

void PreferencesDialog::buildDR()
{
    QWidget* page = addPage("DR");
    auto* layout = new QVBoxLayout(page);
    auto* speed = new QGroupBox(QStringLiteral("Speed"), page);
    speed->setObjectName(QStringLiteral("Mspeed"));
    mspeed_ = radios(speed,
        { { "Mspeed0", QStringLiteral("Use Hull Speed  (seeTidal tab)") },
            { "Mspeed1", QStringLiteral("Use Last Logged SOG") } });
    auto* course = new QGroupBox(QStringLiteral("Course"), page);
    course->setObjectName(QStringLiteral("Mcourse"));
    mcourse_ = radios(course,
        { { "Mcourse0", QStringLiteral("Use Bearing to Current Waypoint") },
            { "Mcourse1", QStringLiteral("Use Last Logged COG") } });
    layout->addWidget(speed);
    layout->addWidget(course);
    layout->addStretch(1);
}

void PreferencesDialog::buildStats()
{
    QWidget* page = addPage("Stats");
    auto* grid = new QGridLayout(page);
    const char* captions[] = { "Chart Points", "Layer Mask", "Waypoints", "Tide diamonds", "Route WPs", "Quick Log",
        "AIS database", "AIS targets", "Dropped input" };
    int row = 0;
    for (const char* caption : captions) {
        grid->addWidget(new QLabel(QLatin1String(caption), page), row, 0);
        auto* value = new QLabel(page);
        value->setObjectName(QStringLiteral("Stat") + QString::number(row));
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        grid->addWidget(value, row++, 1);
        statLabels_.push_back(value);
    }
    auto* session = new QGroupBox(QStringLiteral("Session Text Log Information"), page);
    auto* sg = new QGridLayout(session);
    spin(sg, 0, "Spoints", QStringLiteral("Text Log Fix #"), {}, &PreferencesFields::Spoints);
    spin(sg, 1, "Enumber", QStringLiteral("Event Number"), {}, &PreferencesFields::Enumber);
    grid->addWidget(session, row, 0, 1, 2);
    grid->setRowStretch(row + 1, 1);
}

void PreferencesDialog::buildAuto()
{
    QWidget* page = addPage("Auto");
    auto* grid = new QGridLayout(page);
    QCheckBox* on
        = check(page, "NMEAOutputOn", QStringLiteral("Send NMEA sentences on Fix:"), &PreferencesFields::NMEAOutputOn);
    connect(on, &QCheckBox::clicked, this,
        [this](bool checked) { act([this, checked] { model_.NMEAOutputOnClick(checked); }); });
    grid->addWidget(on, 0, 0, 1, 2);
    grid->addWidget(check(page, "sendAPB", QStringLiteral("$ECAPB"), &PreferencesFields::sendAPB), 1, 0);
    grid->addWidget(check(page, "sendXTE", QStringLiteral("$ECXTE"), &PreferencesFields::sendXTE), 2, 0);
    grid->addWidget(check(page, "sendHSC", QStringLiteral("$ECHSC"), &PreferencesFields::sendHSC), 3, 0);
    grid->addWidget(check(page, "SendBOD", QStringLiteral("$ECBOD"), &PreferencesFields::SendBOD), 4, 0);
    // Many plotters and autopilots want RMB (and some BWR or VTG): these are offered beside the
    // four sent by default.
    grid->addWidget(check(page, "sendBWR", QStringLiteral("$ECBWR"), &PreferencesFields::sendBWR), 1, 1);
    grid->addWidget(check(page, "SendRMB", QStringLiteral("$ECRMB"), &PreferencesFields::SendRMB), 2, 1);
    grid->addWidget(check(page, "SendVTG", QStringLiteral("$ECVTG"), &PreferencesFields::SendVTG), 3, 1);
    auto* variation = new QWidget(page);
    auto* vg = new QGridLayout(variation);
    vg->setContentsMargins(0, 0, 0, 0);
    QSpinBox* variationBox
        = spin(vg, 0, "Variation", QStringLiteral("Magnetic Variation W-ve:"), {}, &PreferencesFields::Variation);
    variationBox->setToolTip(QStringLiteral("Magnetic variation to nearest degree - west negative"));
    variationBox->setStatusTip(variationBox->toolTip());
    grid->addWidget(variation, 5, 0, 1, 2);
    auto* custom = new QGroupBox(QStringLiteral("Custom NMEA Output"), page);
    custom->setObjectName(QStringLiteral("CustomGroup"));
    auto* cl = new QHBoxLayout(custom);
    cl->addWidget(check(custom, "SendCustom", QString(), &PreferencesFields::SendCustom));
    customNmea_ = new QLineEdit(custom);
    customNmea_->setObjectName(QStringLiteral("CustomNMEA"));
    cl->addWidget(customNmea_);
    custom->setVisible(false);
    grid->addWidget(custom, 6, 0, 1, 2);
    grid->setRowStretch(7, 1);
}

void PreferencesDialog::buildNmea()
{
    QWidget* page = addPage("NMEA");
    auto* grid = new QGridLayout(page);
    QSpinBox* com = spin(grid, 0, "COMno", QStringLiteral("COM Port Number :"), {}, &PreferencesFields::COMno);
    port_ = new QLabel(page);
    port_->setObjectName(QStringLiteral("PortResolution"));
    port_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(port_, 1, 0, 1, 3);
    connect(com, &QSpinBox::valueChanged, this, [this](int n) { showPort(n); });
    auto* address = new QWidget(page);
    auto* al = new QHBoxLayout(address);
    al->setContentsMargins(0, 0, 0, 0);
    al->addWidget(new QLabel(QStringLiteral("Source address"), address));
    source_ = new QLineEdit(address);
    source_->setObjectName(QStringLiteral("SourceAddress"));
    source_->setPlaceholderText(
        QStringLiteral("tcp://HOST:PORT, udp://:PORT, gpsd://HOST, signalk://HOST or a device path"));
    al->addWidget(source_, 1);
    setSource_ = new QPushButton(QStringLiteral("Set"), address);
    setSource_->setObjectName(QStringLiteral("SetSource"));
    setSource_->setToolTip(QStringLiteral("Write the address as dev/com<n> of the working folder"));
    connect(setSource_, &QPushButton::clicked, this, [this] {
        readFields();
        model_.SetSourceClick(source_->text().toLocal8Bit().toStdString());
        showPort(model_.fields.COMno);
    });
    al->addWidget(setSource_);
    grid->addWidget(address, 6, 0, 1, 3);
    auto* rate = new QGroupBox(QStringLiteral("Baud Rate"), page);
    rate_ = radios(rate, { { "Rate0", QStringLiteral("4800 NMEA") }, { "Rate1", QStringLiteral("38400 HS-NMEA") } });
    grid->addWidget(rate, 2, 0, 1, 3);
    grid->addWidget(
        check(page, "AutoLaunch", QStringLiteral("Auto Open NMEA I/F on Start"), &PreferencesFields::AutoLaunch), 3, 0,
        1, 3);
    auto* sent = new QGroupBox(QStringLiteral("NMEA Sentence"), page);
    sent_ = radios(sent, { { "Sent0", QStringLiteral("GGA") }, { "Sent1", QStringLiteral("RMC") } });
    grid->addWidget(sent, 4, 0, 1, 3);
    grid->setRowStretch(7, 1);
}

void PreferencesDialog::buildAisSafety()
{
    QWidget* page = addPage("AIS Safety");
    auto* grid = new QGridLayout(page);
    grid->addWidget(check(page, "ClassBAndAtoNTargets", QStringLiteral("Class B and AtoN targets"),
                        &PreferencesFields::ClassBAndAtoNTargets),
        0, 0, 1, 3);
    QCheckBox* warnings
        = check(page, "CollisionWarnings", QStringLiteral("Collision warnings"), &PreferencesFields::CollisionWarnings);
    connect(warnings, &QCheckBox::clicked, this, [this] {
        readFields();
        updateEnabling();
    });
    grid->addWidget(warnings, 1, 0, 1, 3);
    const auto real = [this, page, grid](int row, const char* name, const QString& caption, const QString& unit,
                          double max, int decimals, double step, double PreferencesFields::*field) {
        auto* box = new QDoubleSpinBox(page);
        box->setObjectName(QLatin1String(name));
        box->setRange(0.0, max);
        box->setDecimals(decimals);
        box->setSingleStep(step);
        grid->addWidget(new QLabel(caption, page), row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(new QLabel(unit, page), row, 2);
        reals_.emplace_back(box, field);
    };
    real(2, "CpaLimitNm", QStringLiteral("Dangerous when closer than (CPA)"), QStringLiteral("Nm"), kv::kCpaLimitMaxNm,
        2, 0.1, &PreferencesFields::CpaLimitNm);
    real(3, "TcpaLimitMinutes", QStringLiteral("within (TCPA)"), QStringLiteral("minutes"), kv::kTcpaLimitMaxMin, 1,
        1.0, &PreferencesFields::TcpaLimitMin);
    grid->addWidget(check(page, "CollisionAlarm", QStringLiteral("Sound an alarm once per encounter"),
                        &PreferencesFields::CollisionAlarm),
        4, 0, 1, 3);
    grid->addWidget(
        check(page, "LargeNavFigures", QStringLiteral("Large navigation figures"), &PreferencesFields::LargeNavFigures),
        5, 0, 1, 3);
    auto* note = new QLabel(QStringLiteral("Kept in kvfree.ini in the working folder."), page);
    grid->addWidget(note, 6, 0, 1, 3);
    grid->addWidget(buildAlarmSettings(page), 7, 0, 1, 3);
    grid->setRowStretch(8, 1);
}

namespace {
void Check(QButtonGroup* group, int id)
{
    if (QAbstractButton* b = group->button(id)) {
        b->setChecked(true);
    }
}
} // namespace

void PreferencesDialog::showFields()
{
    showing_ = true;
    const PreferencesFields& f = model_.fields;
    for (auto& [box, field] : spins_) {
        box->setValue(f.*field);
    }
    for (auto& [box, field] : checks_) {
        box->setChecked(f.*field);
    }
    for (auto& [box, field] : reals_) {
        box->setValue(f.*field);
    }
    defaults_->setCurrentIndex(f.Defaults);
    grid_->setIndices(f.GlobalColorFG, f.GlobalColorBG);
    Check(units_, static_cast<int>(f.Unit));
    Check(positionModes_, f.PositionMode + 1);
    Check(completion_, static_cast<int>(f.Completion));
    Check(disposal_, f.KeepLog ? 0 : 1);
    Check(mspeed_, f.Mspeed);
    Check(mcourse_, f.Mcourse);
    Check(rate_, f.Rate);
    Check(sent_, f.Sent);
    logParse_->setText(Latin1(f.LogParse));
    browserPath_->setText(QString::fromLocal8Bit(f.BrowserPath.c_str()));
    customNmea_->setText(Latin1(f.CustomNMEA));
    showPort(f.COMno);
    showStats();
    updateEnabling();
    showing_ = false;
}

void PreferencesDialog::showPort(int portNumber)
{
    const auto n = static_cast<unsigned>(portNumber);
    port_->setText(PortResolutionText(n, workingFolder_));
    // A link to a device is left alone; a missing entry or an address file can be edited.
    const bool editable = kv::ComEntryKind(workingFolder_, n) != kv::ComEntry::Other;
    source_->setText(QString::fromLocal8Bit(kv::ComEntryText(workingFolder_, n).c_str()));
    source_->setEnabled(editable);
    setSource_->setEnabled(editable);
}

void PreferencesDialog::showStats()
{
    const kv::PreferencesStats& s = model_.stats;
    const QString values[] = { QString::number(s.chartPoints), Latin1(s.layerMask), QString::number(s.waypoints),
        QString::number(s.tideDiamonds), QString::number(s.routeWaypoints), QString::number(s.quickLog),
        QString::number(s.aisDatabase), QString::number(s.aisTargets) + QStringLiteral("   Targets"),
        QString::number(s.droppedSentences) + QStringLiteral("   Sentences") };
    for (std::size_t i = 0; i < statLabels_.size(); ++i) {
        statLabels_[i]->setText(values[i]);
    }
}

void PreferencesDialog::readFields()
{
    PreferencesFields& f = model_.fields;
    for (auto& [box, field] : spins_) {
        f.*field = box->value();
    }
    for (auto& [box, field] : checks_) {
        f.*field = box->isChecked();
    }
    for (auto& [box, field] : reals_) {
        // A value the box shows rounded is kept as it was unless the user changed it.
        if (std::abs(box->value() - f.*field) >= 0.5 * std::pow(10.0, -box->decimals())) {
            f.*field = box->value();
        }
    }
    f.Defaults = defaults_->currentIndex();
    f.GlobalColorFG = grid_->foreground();
    f.GlobalColorBG = grid_->background();
    f.Unit = static_cast<kv::DistanceUnit>(std::max(units_->checkedId(), 0));
    f.PositionMode = std::max(positionModes_->checkedId(), 0) - 1;
    f.Completion = static_cast<kv::RouteCompletion>(std::max(completion_->checkedId(), 0));
    f.KeepLog = disposal_->checkedId() != 1;
    f.Mspeed = std::max(mspeed_->checkedId(), 0);
    f.Mcourse = std::max(mcourse_->checkedId(), 0);
    f.Rate = std::max(rate_->checkedId(), 0);
    f.Sent = std::max(sent_->checkedId(), 0);
    f.LogParse = logParse_->text().toLatin1().toStdString();
    f.BrowserPath = browserPath_->text().toLocal8Bit().toStdString();
    f.CustomNMEA = customNmea_->text().toLatin1().toStdString();
}

void PreferencesDialog::updateEnabling()
{
    grid_->setEnabled(model_.GlobalColorEnabled());
    findChild<QSpinBox*>(QStringLiteral("CapDist"))->setEnabled(model_.CapDistEnabled());
    for (const char* name : { "Tset", "TDrift", "TsetLabel", "TDriftLabel", "AvTide" }) {
        findChild<QWidget*>(QLatin1String(name))->setEnabled(model_.ManualTideEnabled());
    }
    for (const char* name : { "sendAPB", "sendXTE", "sendHSC", "SendBOD", "sendBWR", "SendRMB", "SendVTG" }) {
        findChild<QWidget*>(QLatin1String(name))->setEnabled(model_.SentenceBoxesEnabled());
    }
    findChild<QWidget*>(QStringLiteral("CollisionAlarm"))->setEnabled(model_.CollisionAlarmEnabled());
    for (const char* name : { "Spoints", "Enumber" }) {
        findChild<QWidget*>(QLatin1String(name))->setEnabled(model_.CountersEnabled());
    }
}

void PreferencesDialog::accept()
{
    readFields();
    model_.OKBtnClick();
    showFields();
    QDialog::accept();
}

} // namespace kvui
