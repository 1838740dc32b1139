// The chart view windows: kept in step with the ViewSet, with their tool bars, pop-up menus,
// mouse handling and per-view timers.

#include "app/EditUndo.h"
#include "ui/AisTargetWindow.h"
#include "ui/MainWindow.h"
#include "ui/NightPaletteUi.h"
#include "ui/UiText.h"
#include "ui/ViewOptionsDialog.h"
#include "ui/ViewWindow.h"

#include "ais/AisCollisionWatch.h"
#include "ais/AisTargets.h"
#include "views/NightPalette.h"
#include "views/NorthArrow.h"
#include "views/RouteMouse.h"
#include "views/SurveyLogDraw.h"
#include "views/ViewAis.h"
#include "views/ViewPrint.h"
#include "views/ViewReadouts.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QSet>
#include <QTimer>
#include <QToolBar>

namespace kvui {

namespace {
constexpr int kTargetRefreshMs = 5000;

// The part of the view's bitmap the window shows, in bitmap pixels.
QRect ShownArea(ViewWindow* w)
{
    const QScrollArea* box = w->scrollArea();
    const QRect seen(
        QPoint(box->horizontalScrollBar()->value(), box->verticalScrollBar()->value()), box->viewport()->size());
    return seen.intersected(w->image()->rect());
}

// The Follow button says whether the view follows own ship and, in free look, whether own ship
// has gone out of the window.
void ShowFollowState(ViewWindow* w, bool following, bool outside, bool night)
{
    QAction* follow = w->toolBar()->findChild<QAction*>(QStringLiteral("FollowBtn"));
    if (!follow) {
        return;
    }
    follow->setChecked(following);
    follow->setText(!following && outside ? QStringLiteral("Follow !") : QStringLiteral("Follow"));
    ApplyHint(follow,
        following     ? "Following own ship|The chart moves with own ship at each fix"
            : outside ? "Own ship is out of view|Free look: own ship is outside the view - click to follow it again"
                      : "Free look|Free look: fixes move own ship, not the chart - click to follow it again");
    if (QWidget* button = w->toolBar()->widgetForAction(follow)) {
        button->setStyleSheet(!following && outside
                ? QStringLiteral("color: %1; font-weight: bold").arg(NightAwareColour(QStringLiteral("red"), night))
                : QString());
    }
}
// The north arrow in the window's upper left corner while the view is turned.
void ShowNorthArrow(ViewWindow* w, const kv::ChartView& v, const kv::SchemeColours& colours)
{
    QWidget* viewport = w->scrollArea()->viewport();
    auto* arrow = viewport->findChild<QLabel*>(QStringLiteral("NorthArrow"));
    const QImage image = kv::NorthArrowImage(v.projection.angle, colours.foreground, colours.background);
    if (image.isNull()) {
        if (arrow) {
            arrow->hide();
        }
        return;
    }
    if (!arrow) {
        arrow = new QLabel(viewport);
        arrow->setObjectName(QStringLiteral("NorthArrow"));
        arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
        arrow->move(8, 8);
    }
    arrow->setPixmap(QPixmap::fromImage(image));
    arrow->resize(image.size());
    arrow->show();
    arrow->raise();
}

// The orientation marks of the pop-up menu follow the view's choice.
void ShowOrientation(ViewWindow* w, kv::ViewOrientation orientation)
{
    const std::pair<const char*, kv::ViewOrientation> marks[]
        = { { "OrientPreferences", kv::ViewOrientation::Preferences },
              { "OrientNorthUp", kv::ViewOrientation::NorthUp }, { "OrientCourseUp", kv::ViewOrientation::CourseUp } };
    for (const auto& [name, choice] : marks) {
        if (QAction* a = w->popupMenu()->findChild<QAction*>(QLatin1String(name))) {
            a->setChecked(choice == orientation);
        }
    }
}
} // namespace

void MainWindow::noteShownArea(ViewWindow* w)
{
    const int index = indexOf(w);
    if (index < 0 || index >= controller_->views().count()) {
        return;
    }
    kv::ViewSet& set = controller_->views();
    kv::ChartView& v = set.view(index);
    v.shownArea = ShownArea(w);
    ShowFollowState(w, v.following, set.VesselOutside(v, v.shownArea), state_.extra.NightPalette);
}

int MainWindow::indexOf(const ViewWindow* window) const
{
    for (std::size_t i = 0; i < views_.size(); ++i) {
        if (views_[i] == window) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int MainWindow::activeViewIndex() const
{
    QMdiSubWindow* sub = mdi_->activeSubWindow();
    return sub ? indexOf(qobject_cast<ViewWindow*>(sub->widget())) : -1;
}

QMdiSubWindow* MainWindow::subWindowOf(ViewWindow* view) const
{
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (sub->widget() == view) {
            return sub;
        }
    }
    return nullptr;
}

void MainWindow::onView(ViewWindow* window, const std::function<void(kv::ChartView&)>& op)
{
    run([this, window, op] {
        const int index = indexOf(window);
        if (index >= 0 && index < controller_->views().count()) {
            kv::ChartView& v = controller_->views().view(index);
            const double zoom = v.zoom;
            op(v);
            // Chart-point editing depends on the zoom.
            if (v.zoom != zoom) {
                controller_->UpdateMenuItems();
            }
        }
    });
}

void MainWindow::showAisTargets()
{
    kv::ChartView* v = controller_->views().aisView();
    if (v && !v->ais.ShowAIS) {
        run([this, v] { kv::ShowAISClick(controller_->views(), *v); });
    }
}

void MainWindow::pressRangeRings(int times)
{
    if (kv::ChartView* v = controller_->views().aisView()) {
        for (int i = 0; i < times; ++i) {
            run([this, v] { kv::RRUpClick(controller_->views(), *v); });
        }
    }
}

ViewWindow* MainWindow::addViewWindow()
{
    auto* window = new ViewWindow(static_cast<int>(views_.size()) + 1);
    auto* sub = mdi_->addSubWindow(window);
    sub->installEventFilter(this);
    // The window's system menu closes with Ctrl+W, which is "Next Waypoint" here: it keeps
    // Ctrl+F4 and loses every key a command of the main window uses.
    QSet<QKeySequence> taken;
    for (const auto& [name, action] : commands_) {
        for (const QKeySequence& key : action->shortcuts()) {
            taken.insert(key);
        }
    }
    if (QMenu* system = sub->systemMenu()) {
        for (QAction* a : system->actions()) {
            QList<QKeySequence> keys = a->shortcuts();
            keys.removeIf([&taken](const QKeySequence& k) { return taken.contains(k); });
            a->setShortcuts(keys);
        }
    }
    buildViewCommands(window);
    // The first view fills the area; a second one is placed by the window commands.
    if (views_.empty()) {
        sub->setGeometry(QRect(QPoint(0, 0), mdi_->viewport()->size()));
    } else {
        sub->setGeometry(QRect(QPoint(0, 0), mdi_->viewport()->size() * 3 / 4));
    }
    sub->show();
    return window;
}

void MainWindow::syncViews()
{
    kv::ViewSet& set = controller_->views();
    // Drop the windows of views that are gone.
    for (std::size_t i = 0; i < views_.size();) {
        bool present = false;
        for (int k = 0; k < set.count(); ++k) {
            present = present || &set.view(k) == shown_[i];
        }
        if (present) {
            ++i;
            continue;
        }
        QMdiSubWindow* sub = subWindowOf(views_[i]);
        views_.erase(views_.begin() + static_cast<std::ptrdiff_t>(i));
        shown_.erase(shown_.begin() + static_cast<std::ptrdiff_t>(i));
        if (sub) {
            sub->removeEventFilter(this);
            delete sub;
        }
    }
    // Windows for new views, in the set's order.
    std::vector<ViewWindow*> ordered;
    std::vector<const kv::ChartView*> orderedShown;
    for (int k = 0; k < set.count(); ++k) {
        const kv::ChartView* v = &set.view(k);
        ViewWindow* window = nullptr;
        for (std::size_t i = 0; i < shown_.size(); ++i) {
            if (shown_[i] == v) {
                window = views_[i];
            }
        }
        if (!window) {
            window = addViewWindow();
        }
        ordered.push_back(window);
        orderedShown.push_back(v);
    }
    views_ = ordered;
    shown_ = orderedShown;
    for (int k = 0; k < set.count(); ++k) {
        const kv::ChartView& v = set.view(k);
        ViewWindow* window = views_[static_cast<std::size_t>(k)];
        window->setNumber(v.number);
        if (QMdiSubWindow* sub = subWindowOf(window)) {
            sub->setWindowTitle(Latin1(v.caption));
        }
        if (!v.bitmap.isNull()) {
            const kv::Rgb background = kv::ColoursFromSettings(state_.settings).background;
            window->setImage(state_.extra.NightPalette ? kv::NightImage(v.bitmap, background) : v.bitmap);
            // Only a common tail moves the picture in the window: a click that moves the view's
            // centre waits for the next redraw, so the cross stays where it was clicked.
            if (v.centredCount != window->shownCentred || !window->shownOnce) {
                window->shownCentred = v.centredCount;
                window->shownOnce = true;
                window->centreOn(v.bitmap.width() / 2, v.bitmap.height() / 2);
            }
            window->setScaleBar(
                state_.extra.NightPalette ? kv::NightImage(scaleBarImage(v), background) : scaleBarImage(v));
            const QImage legend = kv::SurveyLegendImage(v.options, kv::ColoursFromSettings(state_.settings));
            window->setLegend(state_.extra.NightPalette ? kv::NightImage(legend, background) : legend);
            window->setZoomText(Latin1(kv::ZoomCaption(v.zoom)));
            window->setBackground(QColor::fromRgb(0xFF000000u | (state_.extra.NightPalette ? 0u : background)));
        }
        if (QAction* show = window->toolBar()->findChild<QAction*>(QStringLiteral("ShowAIS"))) {
            show->setVisible(v.aisView);
            show->setChecked(v.ais.ShowAIS);
        }
        // The AIS buttons belong to the AIS view; the ring buttons carry the rings they show.
        for (QAction* a : window->toolBar()->findChildren<QAction*>()) {
            if (a->property("aisOnly").toBool()) {
                a->setVisible(v.aisView);
            }
            if (const auto control = kv::ControlNamed(a->objectName().toStdString())) {
                if (const auto it = state_.display.hints.find(*control); it != state_.display.hints.end()) {
                    ApplyHint(a, it->second);
                }
            }
        }
        for (QAction* a : window->popupMenu()->findChildren<QAction*>()) {
            const QString name = a->objectName();
            if (name == QLatin1String("WaypointSnapMode")) {
                a->setChecked(state_.routeEdit.WaypointSnap);
            } else if (name == QLatin1String("DragRouteWaypoints")) {
                a->setChecked(state_.routeEdit.DragWaypoints);
            } else if (name == QLatin1String("HighlightNearest1")) {
                a->setChecked(state_.ais.HighlightNearest);
                a->setEnabled(state_.ais.HighlightNearestEnabled);
            } else if (name == QLatin1String("ShowMMSI1")) {
                a->setChecked(v.ais.ShowMMSI);
            } else if (name == QLatin1String("OnAll1")) {
                a->setChecked(v.ais.LabelsOnAll);
            } else if (name == QLatin1String("OnSelected1")) {
                a->setChecked(!v.ais.LabelsOnAll);
            } else if (name == QLatin1String("LargeLollipop1")) {
                a->setChecked(v.ais.LargeLollipop);
            } else if (name == QLatin1String("AISFollowSelectedTarget1")) {
                a->setChecked(v.ais.FollowSelected);
            } else if (name == QLatin1String("AISCOG1")) {
                a->setChecked(v.ais.OrientByCOG);
            } else if (name == QLatin1String("AISTrueHead1")) {
                a->setChecked(!v.ais.OrientByCOG);
            } else if (name == QLatin1String("AISZoom")) {
                a->setChecked(state_.ais.AISZoom); // one setting for the program, as the click keeps it
            } else if (name == QLatin1String("AISShape")) {
                a->setChecked(v.ais.ConventionalShape);
            } else if (const auto control = kv::ControlNamed(name.toStdString()); control && a->isCheckable()) {
                if (const auto it = state_.display.checked.find(*control); it != state_.display.checked.end()) {
                    a->setChecked(it->second);
                }
            }
            a->setVisible(!a->property("aisOnly").toBool() || v.aisView);
        }
        window->showInformation(v);
        noteShownArea(window);
        ShowOrientation(window, v.orientation);
        ShowNorthArrow(window, v, kv::ColoursFromSettings(state_.settings));
        // The Delay timer mirrors the view's playback state.
        const kv::TimerState& delay = window->playback.Delay;
        if (delay.running() && !window->delayTimer()->isActive()) {
            window->delayTimer()->start(static_cast<int>(delay.intervalMs));
        } else if (!delay.running() && window->delayTimer()->isActive()) {
            window->delayTimer()->stop();
        }
        if (auto* rings = window->toolBar()->findChild<QLabel*>(QStringLiteral("RangeR"))) {
            rings->setText(QString::number(v.ais.RingSetting));
            rings->setVisible(v.aisView);
        }
    }
    // The target window follows the ShowAIS button of the AIS view, unless targets are shown
    // from the start: then the window goes only by its own command.
    const kv::ChartView* ais = set.aisView();
    const bool showTargets = ais && ais->ais.ShowAIS;
    if (!state_.extra.ShowTargetsAtStart && showTargets != aisWindow_->isVisible()) {
        aisWindow_->setVisible(showTargets);
    }
}

QImage MainWindow::scaleBarImage(const kv::ChartView& v) const
{
    const auto bar = kv::ComputeScaleBar(v.projection, state_.settings.units.UnitFactor, kv::kScaleBarPixels);
    if (!bar) {
        return {};
    }
    // Drawn by the same code as on a printed page, on a patch of the chart's background.
    const kv::SchemeColours colours = kv::ColoursFromSettings(state_.settings);
    QImage image(std::max(bar->pixels + 16, 90), 30, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(0xFF000000u | colours.background));
    kv::RenderCanvas canvas(image);
    kv::DrawScaleBar(canvas, *bar, 8, 24, colours.foreground);
    return image;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == xtError_ && event->type() == QEvent::MouseButtonDblClick) {
        run([this] { controller_->fix().XTerrorDblClick(); });
        return true;
    }
    // Closing a view window goes through the view rules (the only view, the AIS view).
    if (event->type() == QEvent::Close && !ending_) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched)) {
            const int index = indexOf(qobject_cast<ViewWindow*>(sub->widget()));
            if (index >= 0) {
                event->ignore();
                QTimer::singleShot(0, this, [this, index] { run([this, index] { controller_->CloseView(index); }); });
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::buildFollowCommands(ViewWindow* w)
{
    kv::ViewSet& set = controller_->views();
    // Follow: on again and re-centred on own ship (Ctrl+Shift+F in the view).
    auto* follow = new QAction(QStringLiteral("Follow"), w->toolBar());
    follow->setObjectName(QStringLiteral("FollowBtn"));
    follow->setCheckable(true);
    follow->setChecked(true);
    follow->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    follow->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    w->addAction(follow);
    connect(follow, &QAction::triggered, this,
        [this, w, &set] { onView(w, [&set](kv::ChartView& v) { set.FollowClick(v); }); });
    w->toolBar()->addAction(follow);
    ShowFollowState(w, true, false, state_.extra.NightPalette);

    // Which way up: north up, course up, or as the preferences turn every view.
    QMenu* orientation = w->popupMenu()->addMenu(QStringLiteral("Orientation"));
    auto* group = new QActionGroup(orientation);
    const std::tuple<const char*, const char*, kv::ViewOrientation> choices[]
        = { { "OrientPreferences", "As Preferences (Heading Up)", kv::ViewOrientation::Preferences },
              { "OrientNorthUp", "North Up", kv::ViewOrientation::NorthUp },
              { "OrientCourseUp", "Course Up", kv::ViewOrientation::CourseUp } };
    for (const auto& [name, caption, choice] : choices) {
        auto* a = new QAction(QLatin1String(caption), orientation);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        a->setChecked(choice == kv::ViewOrientation::Preferences);
        group->addAction(a);
        orientation->addAction(a);
        connect(a, &QAction::triggered, this, [this, w, &set, choice = choice] {
            onView(w, [&set, choice](kv::ChartView& v) { set.SetOrientation(v, choice); });
        });
    }

    // The area shown is what a print shows, and where own ship is against it.
    for (QScrollBar* bar : { w->scrollArea()->horizontalScrollBar(), w->scrollArea()->verticalScrollBar() }) {
        connect(bar, &QScrollBar::valueChanged, this, [this, w] { noteShownArea(w); });
        connect(bar, &QScrollBar::rangeChanged, this, [this, w] { noteShownArea(w); });
    }
}

void MainWindow::endRouteDrag(const std::optional<kv::RouteDrag::Result>& drag)
{
    if (!drag) {
        return;
    }
    controller_->MoveDraggedWaypoint(
        drag->index, drag->lat, drag->lon, kv::RouteSnapshot { drag->before, drag->activeWaypoint, drag->modified });
}

kv::ShownArea MainWindow::shownArea(const kv::ChartView& v) const
{
    for (std::size_t i = 0; i < shown_.size(); ++i) {
        if (shown_[i] == &v) {
            // Asked afresh: an edit may come before the scroll bars have told `v.shownArea`.
            const QRect area = ShownArea(views_[i]);
            return kv::ShownArea { area.x(), area.y(), area.width(), area.height() };
        }
    }
    return kv::ShownArea { 0, 0, v.bitmap.width(), v.bitmap.height() };
}

void MainWindow::buildViewCommands(ViewWindow* w)
{
    buildViewToolBar(w);
    buildFollowCommands(w);
    buildViewPopupMenu(w);
    buildViewAisMenu(w);
    connect(w->popupMenu(), &QMenu::aboutToShow, this, [this] { syncViews(); });
    buildViewMouse(w);
}

void MainWindow::buildViewToolBar(ViewWindow* w)
{
    kv::ViewSet& set = controller_->views();
    QToolBar* bar = w->toolBar();
    auto tool = [this, w, bar](const char* name, const QString& caption, const std::string& hint,
                    const std::function<void(kv::ChartView&)>& op, bool checkable = false) {
        auto* a = new QAction(caption, bar);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(checkable);
        ApplyHint(a, hint);
        connect(a, &QAction::triggered, this, [this, w, op] { onView(w, op); });
        bar->addAction(a);
        return a;
    };
    tool("ZoomIn", QStringLiteral("+"), "Zoom in 2x", [&set](kv::ChartView& v) { set.ZoomInClick(v); });
    tool("ZoomOut", QStringLiteral("-"), "Zoom out 2x", [&set](kv::ChartView& v) { set.ZoomOutClick(v); });
    tool("Zoom1_1", QStringLiteral("1:1"), "Full Chart", [&set](kv::ChartView& v) { set.Zoom1_1Click(v); });
    tool("CentreButton1", QStringLiteral("Centre"), "Re-Centre", [&set](kv::ChartView& v) { set.ReCentre(v); });
    tool("UpDownUp", QStringLiteral("\u2191"), "Move cursor 1 pixel up/down",
        [&set](kv::ChartView& v) { set.UpDownClick(v, false); });
    tool("UpDownDown", QStringLiteral("\u2193"), "Move cursor 1 pixel up/down",
        [&set](kv::ChartView& v) { set.UpDownClick(v, true); });
    tool("LeftRightLeft", QStringLiteral("\u2190"), "Move cursor 1 pixel left/right",
        [&set](kv::ChartView& v) { set.LeftRightClick(v, false); });
    tool("LeftRightRight", QStringLiteral("\u2192"), "Move cursor 1 pixel left/right",
        [&set](kv::ChartView& v) { set.LeftRightClick(v, true); });
    bar->addSeparator();
    tool(
        "ShowAIS", QStringLiteral("AIS"), "Show / Hide AIS Targets",
        [&set](kv::ChartView& v) { kv::ShowAISClick(set, v); }, true);
    tool("RRDown", QStringLiteral("R-"), "Fewer range rings", [&set](kv::ChartView& v) {
        kv::RRDownClick(set, v);
    })->setProperty("aisOnly", true);
    auto* rings = new QLabel(QStringLiteral("0"), bar);
    rings->setObjectName(QStringLiteral("RangeR"));
    bar->addWidget(rings)->setProperty("aisOnly", true); // the count goes with its buttons
    tool("RRUp", QStringLiteral("R+"), "More range rings", [&set](kv::ChartView& v) {
        kv::RRUpClick(set, v);
    })->setProperty("aisOnly", true);
    tool("AISrepeat", QStringLiteral("Rpt"), "Repeat last AIS target announcement", [this, &set](kv::ChartView&) {
        kv::AISrepeatClick(set.state(), platform_);
    })->setProperty("aisOnly", true);
    tool("ViewBtn", QStringLiteral("View"), "View / Zoom properties",
        [this, w](kv::ChartView&) { openViewProperties(w); });
}

// "View and Zoom Properties" for the view of `w`, from its tool bar and its pop-up menu.
void MainWindow::openViewProperties(ViewWindow* w)
{
    const int index = indexOf(w);
    if (index < 0) {
        return;
    }
    kv::ViewOptionsModel model(*controller_, index);
    model.Fill();
    ViewOptionsDialog dialog(model, this);
    execDialog(dialog);
}

QAction* MainWindow::addViewItem(ViewWindow* w, QMenu* into, const char* name, const QString& caption,
    const std::string& hint, const std::function<void(kv::ChartView&)>& op, bool checkable,
    const QKeySequence& shortcut)
{
    auto* a = new QAction(caption, w->popupMenu());
    a->setObjectName(QLatin1String(name));
    a->setCheckable(checkable);
    if (!shortcut.isEmpty()) {
        a->setShortcut(shortcut);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        w->addAction(a);
    }
    ApplyHint(a, hint);
    connect(a, &QAction::triggered, this, [this, w, op] { onView(w, op); });
    into->addAction(a);
    return a;
}

void MainWindow::buildViewPopupMenu(ViewWindow* w)
{
    kv::MainController& c = *controller_;
    kv::ViewSet& set = c.views();
    QMenu* menu = w->popupMenu();
    addViewItem(w, menu, "ReCentre1", QStringLiteral("Re-Centre"), "Re-centre on cursor position",
        [&set](kv::ChartView& v) { set.ReCentre(v); });
    addViewItem(w, menu, "ZoomOut2x", QStringLiteral("Zoom Out"), "Zoom out 2x with centre at cursor",
        [&set](kv::ChartView& v) { set.ZoomOutClick(v); });
    addViewItem(w, menu, "ZoomIn2x", QStringLiteral("Zoom In"), "Zoom in 2x with centre at cursor",
        [&set](kv::ChartView& v) { set.ZoomInClick(v); });
    addViewItem(w, menu, "ZoomFullChart", QStringLiteral("Zoom 1:1"), "Display whole chart",
        [&set](kv::ChartView& v) { set.Zoom1_1Click(v); });
    menu->addSeparator();
    // Route commands work where the user clicked, even after a fix has put the cursor back on
    // own ship.
    auto routeCommand = [&c](void (kv::RouteEditor::*f)()) {
        return [&c, f](kv::ChartView& v) { c.RouteCommand(v, [&c, f] { (c.routes().*f)(); }); };
    };
    addViewItem(w, menu, "AddRouteWaypoint1", QStringLiteral("&Add Route Waypoint"),
        "Append a waypoint to the current route", routeCommand(&kv::RouteEditor::AddRouteWaypoint1Click), false,
        QKeySequence(Qt::CTRL | Qt::Key_R));
    addViewItem(w, menu, "InsertWaypoint1", QStringLiteral("Insert &Route Waypoint"),
        "Insert waypoint at current position in route", routeCommand(&kv::RouteEditor::InsertWaypoint1Click));
    addViewItem(w, menu, "EditRoute1", QStringLiteral("&Edit Route Waypoint"), "Re-position current route waypoint",
        [this, &c](kv::ChartView& v) {
            kv::EditRouteDialog edit = c.routes().EditRoute1Click();
            if (editRouteDialog && editRouteDialog(edit)) {
                c.RouteCommand(v, [&c, &edit] { c.routes().EditRouteOk(edit); });
            }
        });
    addViewItem(w, menu, "DeleteSelectedWaypoint1", QStringLiteral("&Delete Route Waypoint"),
        "Delete current route waypoint", routeCommand(&kv::RouteEditor::DeleteSelectedWaypoint1Click));
    addViewItem(
        w, menu, "WaypointSnapMode", QStringLiteral("Waypoint &Snap Mode"),
        "Enable / Disable snapping to nearest chart waypoint",
        [&c](kv::ChartView&) { c.routes().WaypointSnapModeClick(); }, true);
    addViewItem(
        w, menu, "DragRouteWaypoints", QStringLiteral("Dra&g Route Waypoints"),
        "Drag route waypoints with the mouse|A left drag that starts on a route waypoint moves it",
        [&c](kv::ChartView&) { c.state().routeEdit.DragWaypoints = !c.state().routeEdit.DragWaypoints; }, true);
    menu->addSeparator();
    addViewItem(w, menu, "CopyView1", QStringLiteral("Cop&y View"), "", [this](kv::ChartView& v) {
        platform_.clipboard.setImage(
            kv::WithSurveyLegend(v.bitmap, v.options, kv::ColoursFromSettings(state_.settings)));
    });
    addViewItem(w, menu, "Delete1", QStringLiteral("&View Properties"), "Select features in this view",
        [this, w](kv::ChartView&) { openViewProperties(w); });
    addViewItem(
        w, menu, "ShowChts", QStringLiteral("Show Charts"), "", [&set](kv::ChartView& v) { set.ShowChartOutlines(v); });
    addViewItem(w, menu, "ShowToolBar1", QStringLiteral("Show ToolBar"), "",
        [w](kv::ChartView&) { w->toolBar()->setVisible(!w->toolBar()->isVisible()); });
    menu->addSeparator();
    addViewItem(w, menu, "PlaybackLog1", QStringLiteral("Playback Log"), "Playback the current quick log in this view",
        [w, &set](kv::ChartView& v) { kv::PlaybackLog1Click(set, v, w->playback); });
    addViewItem(w, menu, "Area1", QStringLiteral("&Area"), "Calculate area ...", [&set](kv::ChartView& v) {
        kv::Area1Click(set, v);
    })->setProperty("aisOnly", true);
    addViewItem(
        w, menu, "Information1", QStringLiteral("&Chart Information"), "",
        [this, w, &set](kv::ChartView& v) {
            if (v.infoOpen && v.infoEditable) {
                v.infoText = w->informationText(); // what the user typed is what is saved
            }
            kv::Information1Click(set, v, state_.app.ChartEditMode);
        },
        false, QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(w->delayTimer(), &QTimer::timeout, this,
        [this, w, &set] { onView(w, [w, &set](kv::ChartView& v) { kv::DelayTimer(set, v, w->playback); }); });
}

void MainWindow::buildViewAisMenu(ViewWindow* w)
{
    kv::MainController& c = *controller_;
    kv::ViewSet& set = c.views();
    QMenu* ais = w->popupMenu()->addMenu(QStringLiteral("AIS"));
    ais->menuAction()->setProperty("aisOnly", true);
    auto aisItem = [&](const char* name, const QString& caption, void (*f)(kv::ViewSet&, kv::ChartView&),
                       QActionGroup* group = nullptr) {
        QAction* a = addViewItem(
            w, ais, name, caption, "", [&set, f](kv::ChartView& v) { f(set, v); }, true);
        a->setProperty("aisOnly", true);
        if (group) {
            group->addAction(a);
        }
        return a;
    };
    aisItem("HighlightNearest1", QStringLiteral("AIS Highlight Nearest Target"), kv::HighlightNearest1Click);
    aisItem("ShowMMSI1", QStringLiteral("AIS Show MMSI"), kv::ShowMMSI1Click);
    ais->addSection(QStringLiteral("AIS Show Name / MMSI"))->setObjectName(QStringLiteral("AISLabelsHeader"));
    auto* labels = new QActionGroup(ais);
    aisItem("OnAll1", QStringLiteral("On All"), kv::OnAll1Click, labels);
    aisItem("OnSelected1", QStringLiteral("On Selected"), kv::OnSelected1Click, labels);
    aisItem("LargeLollipop1", QStringLiteral("AIS Large Lollipops"), kv::LargeLollipop1Click);
    aisItem(
        "AISFollowSelectedTarget1", QStringLiteral("AIS Follow Selected Target"), kv::AISFollowSelectedTarget1Click);
    ais->addSection(QStringLiteral("AIS Vessel Orientation"))->setObjectName(QStringLiteral("AISOrientationHeader"));
    auto* orientation = new QActionGroup(ais);
    aisItem("AISCOG1", QStringLiteral("AIS COG"), kv::AISCOG1Click, orientation);
    aisItem("AISTrueHead1", QStringLiteral("AIS True Head"), kv::AISTrueHead1Click, orientation);
    aisItem("AISZoom", QStringLiteral("AIS Zoom Nearest Target"), kv::AISZoomClick);
    aisItem("AISShape", QStringLiteral("AIS Conventional Target Shape"), kv::AISShapeClick);
    QMenu* age = ais->addMenu(QStringLiteral("AIS Auto Remove"));
    age->menuAction()->setProperty("aisOnly", true);
    auto* ages = new QActionGroup(age);
    const std::pair<const char*, kv::AisAgeChoice> choices[]
        = { { "Never1", kv::AisAgeChoice::Never }, { "After15Mins1", kv::AisAgeChoice::After15Mins },
              { "After10Mins1", kv::AisAgeChoice::After10Mins }, { "After5Mins1", kv::AisAgeChoice::After5Mins } };
    const char* ageCaptions[] = { "Never", "After 15 Mins", "After 10 Mins", "After 5 Mins" };
    int n = 0;
    for (const auto& [name, choice] : choices) {
        QAction* a = addViewItem(
            w, age, name, QLatin1String(ageCaptions[n++]), "",
            [this, choice = choice](kv::ChartView&) { kv::SetAISAgeChoice(state_.ais, state_.display, choice); }, true);
        a->setProperty("aisOnly", true);
        ages->addAction(a);
    }
    addViewItem(w, ais, "ClearAllTargets1", QStringLiteral("AIS Clear All Targets"), "", [&c](kv::ChartView& v) {
        c.ClearAllTargets1Click(v);
    })->setProperty("aisOnly", true);
}

void MainWindow::buildViewMouse(ViewWindow* w)
{
    kv::ViewSet& set = controller_->views();
    // The picture dragged with the middle button (or Shift + left) is drawn again around the
    // position now in the middle of the window; Ctrl + wheel zooms about the mouse.
    w->image()->panned = [this, w, &set] {
        const QPoint middle = w->scrollArea()->middlePixel();
        onView(w, [&set, middle](kv::ChartView& v) { set.PanTo(v, kv::Pixel { middle.x(), middle.y() }); });
    };
    w->image()->wheelZoom = [this, w, &set](int x, int y, bool in) {
        const QPoint middle = w->scrollArea()->middlePixel();
        onView(w, [&set, middle, x, y, in](kv::ChartView& v) {
            set.ZoomAbout(v, kv::Pixel { x, y }, kv::Pixel { middle.x(), middle.y() }, in);
        });
    };
    // The readout follows the mouse without redrawing anything.
    w->image()->hovered = [this, w, &set](int x, int y) {
        const int index = indexOf(w);
        if (index < 0 || index >= set.count()) {
            return;
        }
        const kv::ChartView& v = set.view(index);
        hoverPanel_->setText(Latin1(kv::HoverReadout(
            state_.prefs.units, state_.chartRef, state_.settings, v.projection, kv::LastTrackPosition(state_), x, y)));
    };
    w->image()->left = [this] { hoverPanel_->clear(); };

    // Mouse: the cursor follows presses and drags; a press on an AIS target opens its pop-up
    // instead and its release places no cursor; a press that takes hold of a route waypoint
    // (RouteMouse.h) drags the waypoint instead.
    w->image()->pressed = [this, w, &set](int x, int y) {
        w->setProperty("targetClick", openTargetPopup(w, x, y));
        if (w->property("targetClick").toBool()) {
            return;
        }
        onView(w, [w, &set, x, y](kv::ChartView& v) {
            if (!w->routeDrag.press(set, v, x, y)) {
                set.MouseDown(v, x, y);
            }
        });
    };
    w->image()->moved = [this, w, &set](int x, int y) {
        onView(w, [w, &set, x, y](kv::ChartView& v) {
            if (w->routeDrag.active()) {
                w->routeDrag.move(set, v, x, y);
            } else {
                set.MouseMove(v, x, y);
            }
        });
    };
    w->image()->released = [this, w, &set](int x, int y) {
        if (w->property("targetClick").toBool()) {
            return;
        }
        onView(w, [this, w, &set, x, y](kv::ChartView& v) {
            if (w->routeDrag.active()) {
                endRouteDrag(w->routeDrag.release(set, v, x, y));
            } else {
                set.MouseUp(v, x, y);
            }
        });
    };
    w->image()->doubleClicked
        = [this, w, &set](int, int) { onView(w, [&set](kv::ChartView& v) { set.Image1DblClick(v); }); };

    auto* refRate = new QTimer(w);
    refRate->setObjectName(QStringLiteral("RefRate"));
    connect(refRate, &QTimer::timeout, this, [this, w] {
        const int index = indexOf(w);
        if (index >= 0) {
            run([this, index] { controller_->RefRateTimer(index); });
        }
    });
    refRate->start(kTargetRefreshMs);
}

} // namespace kvui
