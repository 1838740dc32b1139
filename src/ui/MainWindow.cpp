#include "ui/MainWindow.h"
#include "app/ProgramState.h"
#include "ui/NightPaletteUi.h"

#include "app/CommandLine.h"
#include "app/RasterViewerGlue.h"
#include "navigation/UnitTexts.h"
#include "navigation/XteText.h"
#include "ui/AisTargetListWindow.h"
#include "ui/AisTargetWindow.h"
#include "ui/AlarmBar.h"
#include "ui/ClickLabel.h"
#include "ui/InstrumentStrip.h"
#include "ui/RasterViewerWindow.h"
#include "ui/UiText.h"
#include "ui/ViewWindow.h"
#include "views/ViewAis.h"
#include "views/ViewGeometry.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace kvui {

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QString ShortHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return Latin1(bar == std::string::npos ? hint : hint.substr(0, bar));
}

QString LongHint(const std::string& hint)
{
    const auto bar = hint.find('|');
    return Latin1(bar == std::string::npos ? hint : hint.substr(bar + 1));
}

void ApplyHint(QAction* action, const std::string& hint)
{
    action->setToolTip(ShortHint(hint).isEmpty() ? action->text().remove(QLatin1Char('&')) : ShortHint(hint));
    action->setStatusTip(LongHint(hint));
}

MainWindow::MainWindow(kv::ProgramState& state, kv::Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , state_(state)
    , platform_(platform)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("KVFree"));
    controller_ = std::make_unique<kv::MainController>(state_, platform_, *this);
    controller_->views().hooks.shownArea = [this](const kv::ChartView& v) { return shownArea(v); };

    secsTimer_ = new QTimer(this);
    secsTimer_->setObjectName(QStringLiteral("SecsTimer"));
    connect(secsTimer_, &QTimer::timeout, this, &MainWindow::secsTick);
    fixTimer_ = new QTimer(this);
    fixTimer_->setObjectName(QStringLiteral("FixTimer"));
    connect(fixTimer_, &QTimer::timeout, this, &MainWindow::fixTick);
    controller_->views().hooks.refreshTargetText = [this] {
        if (aisWindow_->isVisible()) {
            aisWindow_->refresh();
        }
        if (aisList_ && aisList_->isVisible()) {
            aisList_->refresh();
        }
    };
    aisPlayTimer_ = new QTimer(this);
    aisPlayTimer_->setObjectName(QStringLiteral("AISplayTime"));
    connect(aisPlayTimer_, &QTimer::timeout, this, [this] { run([this] { controller_->ais().AISplayTimeTimer(); }); });

    chooseFile = [this](const FileDialogSpec& request) {
        QFileDialog dialog(this, request.title, request.folder, request.filter);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(request.defaultSuffix);
        if (!request.fileName.isEmpty()) {
            dialog.selectFile(request.fileName);
        }
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                       : QString();
    };
    editRouteDialog = [this](kv::EditRouteDialog& edit) {
        QDialog dialog(this);
        dialog.setWindowTitle(QStringLiteral("Edit Selected Route Waypoint"));
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(new QLabel(QStringLiteral("Enter new WP name if required"), &dialog));
        auto* name = new QLineEdit(Latin1(edit.name), &dialog);
        name->setObjectName(QStringLiteral("WPNameEdit"));
        name->setMaxLength(24);
        layout->addWidget(name);
        auto* move = new QCheckBox(QStringLiteral("Move WP to Cursor  Position"), &dialog);
        move->setObjectName(QStringLiteral("MoveWP"));
        layout->addWidget(move);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        layout->addWidget(buttons);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        edit.name = name->text().toLatin1().toStdString();
        edit.MoveWP = move->isChecked();
        return true;
    };
    aboutBox = [this] {
        auto* box = new QMessageBox(QMessageBox::Information, QStringLiteral("About KVFree"),
            QString::fromStdString(kv::AboutText(workingFolder_)), QMessageBox::Ok, this);
        box->setObjectName(QStringLiteral("AboutBox"));
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    };

    execDialog = [](QDialog& dialog) { return dialog.exec(); };

    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("ClientArea"));
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow*) {
        if (!refreshing_ && !ending_) {
            run([this] { controller_->UpdateMenuItems(); });
        }
    });
    aisWindow_ = new AisTargetWindow(state_, platform_.clock, this);
    aisWindow_->redrawViews = [this] { run([this] { controller_->RedrawViews(); }); };
    aisWindow_->copyToRemarks
        = [this](const std::string& text) { run([this, text] { controller_->remarks().AddCopiedText(text); }); };
    buildTargetList();
    rasterGlue_ = std::make_unique<kv::RasterViewerGlue>(state_, *controller_);
    rasterViewer_ = new RasterViewerWindow(kv::raster::RasterRecords(state_), platform_, *rasterGlue_, this);
    rasterViewer_->hide();

    buildMenus();
    buildToolBar();
    buildRemarks();
    buildNavPanel();
    buildStatusBar();
    resize(1024, 768);
}

MainWindow::~MainWindow()
{
    ending_ = true;
    // The chart views and their sub-windows call back into this window (activation, close
    // events). Remove them while this window and its controller are still whole: after this
    // body the controller is destroyed, and the base class then deletes the children with only
    // a QWidget left to receive their signals and events.
    disconnect(mdi_, nullptr, this, nullptr);
    for (ViewWindow* view : views_) {
        if (QMdiSubWindow* sub = subWindowOf(view)) {
            sub->removeEventFilter(this);
        }
    }
    xtError_->removeEventFilter(this);
    views_.clear();
    shown_.clear();
    delete mdi_;
    mdi_ = nullptr;
}

void MainWindow::start(const std::string& workingFolder, const std::string& configArgument)
{
    // The views draw on a surface of the screen's size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const kv::DrawingSurface surface = kv::SurfaceForScreen(screen->size().width(), screen->size().height());
        state_.chartGeometry.SurfaceWidth = surface.width;
        state_.chartGeometry.SurfaceHeight = surface.height;
    }
    workingFolder_ = workingFolder;
    controller_->FormCreate(workingFolder, configArgument);
    refresh();
    secsTimer_->start(static_cast<int>(state_.display.SecsTimer.intervalMs));
}

void MainWindow::secsTick()
{
    run([this] { controller_->SecsTimerTimer(); });
}

void MainWindow::fixTick()
{
    run([this] { controller_->fix().FixTimerTimer(); });
}

QAction* MainWindow::command(const QString& name) const
{
    const auto it = commands_.find(name);
    return it == commands_.end() ? nullptr : it->second;
}

ViewWindow* MainWindow::view(int index) const
{
    return index >= 0 && index < static_cast<int>(views_.size()) ? views_[static_cast<std::size_t>(index)] : nullptr;
}

QAction* MainWindow::addCommand(QMenu* menu, const char* name, const QString& caption, const std::string& hint,
    const Op& op, const QKeySequence& shortcut, bool checkable)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setCheckable(checkable);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
    }
    ApplyHint(action, hint);
    if (op) {
        connect(action, &QAction::triggered, this, [this, op] { run(op); });
    }
    if (menu) {
        menu->addAction(action);
    }
    commands_[QLatin1String(name)] = action;
    return action;
}

QAction* MainWindow::addButton(
    const char* name, const QString& caption, const std::string& hint, const Op& op, bool checkable)
{
    QAction* action = addCommand(nullptr, name, caption, hint, op, {}, checkable);
    speedPanel_->addAction(action);
    return action;
}

void MainWindow::buildTargetList()
{
    aisList_ = new AisTargetListWindow(state_, platform_.clock, this);
    // Choosing a row selects the target in the views and the text window.
    aisList_->onSelect = [this](int slot) { run([this, slot] { controller_->SelectTarget(slot); }); };
    // A double-click shows the target in the AIS view and opens its text.
    aisList_->onActivate = [this](int slot) {
        run([this, slot] { controller_->ShowTarget(slot); });
        aisWindow_->show();
        aisWindow_->refresh();
    };
}

void MainWindow::run(const Op& op)
{
    op();
    if (!ending_) {
        refresh();
    }
}

QString MainWindow::openFile(const QString& title, const QString& filter, const QString& folder, const QString& suffix)
{
    return chooseFile(FileDialogSpec { title, filter, folder, suffix, {}, false });
}

QString MainWindow::saveFile(
    const QString& title, const QString& filter, const QString& folder, const QString& suffix, const QString& name)
{
    return chooseFile(FileDialogSpec { title, filter, folder, suffix, name, true });
}

void MainWindow::mirrorTimer(QTimer* timer, const kv::TimerState& model)
{
    if (!model.running()) {
        timer->stop();
        return;
    }
    if (!timer->isActive() || timer->interval() != static_cast<int>(model.intervalMs)) {
        timer->start(static_cast<int>(model.intervalMs));
    }
}

void MainWindow::refresh()
{
    if (refreshing_) {
        return;
    }
    refreshing_ = true;
    const kv::Display& d = state_.display;
    const bool night = state_.extra.NightPalette;
    // The palette first: a control given a style sheet below takes its colours from the palette
    // of that moment.
    ApplyNightPalette(night, command(QStringLiteral("NightPalette1")));
    statusLine_->setText(Latin1(d.StatusLine));
    alarmBar_->setNight(night);
    alarmBar_->setAlarms(controller_->alarms().Alarms());
    posnPanel_->setText(Latin1(d.PosnPanel));
    timePanel_->setText(Latin1(d.TimePanel));
    gpsIndicator_->setText(Latin1(d.GPSIndicatorText));
    // At night the indicator's colour turns to the palette's red, under black letters.
    gpsIndicator_->setStyleSheet(d.GPSIndicatorColour.empty() ? QString()
            : night ? QStringLiteral("QLabel { background: %1; color: black; }")
                          .arg(NightAwareColour(Latin1(d.GPSIndicatorColour), true))
                    : QStringLiteral("QLabel { background: %1; }").arg(Latin1(d.GPSIndicatorColour)));
    gpsIndicator_->setToolTip(ShortHint(d.GPSIndicatorHint));

    navLabels_["RngToWp"]->setText(Latin1(d.RngToWp));
    navLabels_["BearingToWP"]->setText(Latin1(d.BearingToWP));
    navLabels_["TimeToWP"]->setText(Latin1(d.TimeToWP));
    navLabels_["SpeedOG"]->setText(Latin1(d.SpeedOG));
    navLabels_["CourseOG"]->setText(Latin1(d.CourseOG));
    navLabels_["SpeedMG"]->setText(Latin1(d.SpeedMG));
    navLabels_["Trip"]->setText(Latin1(d.Trip));
    xteScale_->setText(Latin1(d.XTEScale));
    xteText_->setText(state_.routeProgress.RouteLength > 0
            ? Latin1(kv::XteGaugeTextIn(state_.routeProgress.XTE, state_.settings.units))
            : QString());
    applyNavFigureSize();
    ApplyNightBackground(mdi_, night);
    // The style edges a tool bar with a light line of its own; at night the bars go without.
    const QString barSheet = night ? QStringLiteral("QToolBar { border: none; }") : QString();
    for (QToolBar* bar : findChildren<QToolBar*>()) {
        if (bar->styleSheet() != barSheet) {
            bar->setStyleSheet(barSheet);
        }
    }
    xtError_->setValue(std::clamp(d.XTerror, -100, 100));
    // The gauge's colour says on track or which side off it; at night in the palette's red.
    xtError_->setStyleSheet(QStringLiteral("QProgressBar::chunk { background: %1; }")
                                .arg(NightAwareColour(Latin1(d.XTerrorColour), night)));

    QStringList items;
    for (const auto& item : d.WPNameItems) {
        items << Latin1(item);
    }
    QStringList current;
    for (int i = 0; i < wpName_->count(); ++i) {
        current << wpName_->itemText(i);
    }
    if (current != items) {
        wpName_->clear();
        wpName_->addItems(items);
    }
    wpName_->setCurrentIndex(d.WPNameIndex < wpName_->count() ? d.WPNameIndex : -1);
    const std::string wpHint
        = d.hint(kv::Control::WPName).empty() ? kv::kSelectedWaypointHint : d.hint(kv::Control::WPName);
    wpName_->setToolTip(ShortHint(wpHint));
    wpName_->setStatusTip(LongHint(wpHint));
    navPanel_->setVisible(state_.app.NavPanelVisible);
    instruments_->showReadings(state_.extra.Instruments,
        kv::InstrumentStripTexts(state_.instruments, kv::InstrumentSeconds(platform_.clock.now())));

    // The gauge's hint names the cross-track error it shows.
    if (const auto it = d.hints.find(kv::Control::XTerror); it != d.hints.end()) {
        xtError_->setToolTip(ShortHint(it->second));
        xtError_->setStatusTip(LongHint(it->second));
    }

    for (const kv::ControlEntry& entry : kv::kControls) {
        QAction* action = command(QLatin1String(entry.name));
        if (action == nullptr) {
            continue;
        }
        if (const auto it = d.enabled.find(entry.control); it != d.enabled.end()) {
            action->setEnabled(it->second);
        }
        if (const auto it = d.checked.find(entry.control); it != d.checked.end() && action->isCheckable()) {
            action->setChecked(it->second);
        }
        if (const auto it = d.hints.find(entry.control); it != d.hints.end()) {
            ApplyHint(action, it->second);
        }
    }

    // Switches are the preferences record's: their check marks follow it, whatever a click did.
    for (const kv::SwitchCommand& item : kv::kSwitchCommands) {
        if (QAction* action = command(QLatin1String(kv::ControlName(item.control)))) {
            action->setChecked(state_.prefs.*item.field);
        }
    }

    // The text-log button shows its image when the working folder has one.
    if (QAction* textLog = command(QLatin1String(kv::ControlName(kv::Control::TxtLogOnOff)))) {
        const QString image = QString::fromLocal8Bit(state_.app.TextLogButtonImage.c_str());
        textLog->setIcon(!image.isEmpty() && QFileInfo::exists(image) ? QIcon(image) : QIcon());
    }
    mirrorTimer(fixTimer_, d.FixTimer);
    mirrorTimer(aisPlayTimer_, d.AISPlayTimer);
    syncViews();
    refreshDataPlot();
    refreshRemarks();
    if (aisWindow_->isVisible()) {
        aisWindow_->refresh();
    }
    if (aisList_->isVisible()) {
        aisList_->refresh();
    }
    refreshing_ = false;
}

bool MainWindow::event(QEvent* event)
{
    // The long part of a hint goes to the status line; leaving a control (an empty tip) keeps
    // whatever message is there.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        if (!tip.isEmpty()) {
            state_.display.StatusLine = tip.toLatin1().toStdString();
            statusLine_->setText(tip);
        }
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (ending_ || controller_->FormCloseQuery()) {
        ending_ = true;
        secsTimer_->stop();
        fixTimer_->stop();
        aisPlayTimer_->stop();
        aisWindow_->close();
        event->accept();
    } else {
        refresh();
        event->ignore();
    }
}

void MainWindow::cascadeViews()
{
    // Each view as large as the area allows with every one a title bar lower and to the right of
    // the one before (at least three quarters of the area), so every title bar stays in reach.
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
    const QSize area = mdi_->viewport()->size();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight) + 6;
    const int n = static_cast<int>(subs.size());
    const QSize size(std::max(area.width() * 3 / 4, area.width() - step * (n - 1)),
        std::max(area.height() * 3 / 4, area.height() - step * (n - 1)));
    int k = 0;
    for (QMdiSubWindow* sub : subs) {
        sub->showNormal();
        const QSize fitted(
            std::min(size.width(), area.width() - step * k), std::min(size.height(), area.height() - step * k));
        sub->setGeometry(QRect(QPoint(step * k, step * k), fitted));
        sub->raise();
        ++k;
    }
    if (!subs.isEmpty()) {
        mdi_->setActiveSubWindow(subs.last());
    }
}

void MainWindow::tileViews()
{
    // Side by side, each the full height of the area.
    const QList<QMdiSubWindow*> subs = mdi_->subWindowList();
    if (subs.isEmpty()) {
        return;
    }
    const QSize area = mdi_->viewport()->size();
    const int n = static_cast<int>(subs.size());
    int x = 0;
    for (int k = 0; k < n; ++k) {
        const int w = (k == n - 1) ? area.width() - x : area.width() / n;
        subs[k]->showNormal();
        subs[k]->setGeometry(x, 0, w, area.height());
        x += w;
    }
}

void MainWindow::applyNavFigureSize()
{
    const bool large = state_.extra.LargeNavFigures;
    if (large == largeFiguresShown_) {
        return;
    }
    largeFiguresShown_ = large;
    QFont font = navPanel_->font();
    if (large) {
        font.setPointSizeF(font.pointSizeF() * 2.0);
        font.setBold(true);
    }
    for (auto& [name, label] : navLabels_) {
        label->setFont(font);
    }
    xteText_->setFont(font);
    fitNavFigures();
}

void MainWindow::fitNavFigures()
{
    // The widest text each figure shows, so that the panel never cuts one off ("0 Hr 10.0 Mir").
    const std::pair<const char*, const char*> widest[] = {
        { "RngToWp", "9999.99 Mls" },
        { "BearingToWP", "359\xb0T (Tow)" },
        { "TimeToWP", "99 Hr 59.9 Min" },
        { "SpeedOG", "999.99 Mph" },
        { "CourseOG", "359\xb0T" },
        { "SpeedMG", "Speed<Tide! " },
        { "Trip", "99999.99 Mls" },
    };
    for (const auto& [name, text] : widest) {
        if (QLabel* label = navLabels_[name]) {
            const int frame = 2 * label->frameWidth() + label->margin() * 2 + label->contentsMargins().left()
                + label->contentsMargins().right();
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QString::fromLatin1(text)) + frame + 8);
        }
    }
    xteScale_->setMinimumWidth(xteScale_->fontMetrics().horizontalAdvance(QStringLiteral("x 1.0 MLS")) + 8);
}

void MainWindow::setNavPanelVisible(bool visible)
{
    navPanel_->setVisible(visible);
}

void MainWindow::showAboutBox()
{
    if (aboutBox) {
        aboutBox();
    }
    if (!firstStartNote_.empty()) {
        // After the box is up, so that the modal note comes in front of it.
        QTimer::singleShot(
            0, this, [this, note = std::move(firstStartNote_)] { platform_.prompter.information(note); });
        firstStartNote_.clear();
    }
}

void MainWindow::endProgram()
{
    ending_ = true;
    QTimer::singleShot(0, this, [this] { close(); });
}

} // namespace kvui
