#pragma once
// The main window: menus, tool bar, navigation panel, status bar and up to two chart views. It
// forwards every command to the controller and then mirrors Display (one refresh() path).

#include "app/MainController.h"
#include "app/ProgramState.h"
#include "platform/Platform.h"
#include "views/RouteMouse.h"

#include <QMainWindow>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QSpinBox;
class QComboBox;
class QDialog;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPlainTextEdit;
class QTextBrowser;
class QProgressBar;
class QTimer;
class QToolBar;
class QWidget;

namespace kv {
class RasterViewerGlue;
}

namespace kvui {

class AisTargetWindow;
class AlarmBar;
class AisTargetListWindow;
class ClickLabel;
class ViewWindow;
class RasterViewerWindow;

// What a file dialog is asked for.
struct FileDialogSpec {
    QString title;
    QString filter; // Qt filter text ("KV Chart files (*.cht);;...")
    QString folder;
    QString defaultSuffix;
    QString fileName; // suggested name (save dialogs)
    bool save = false;
};

class MainWindow final : public QMainWindow, public kv::MainWindowHooks {
    Q_OBJECT
public:
    MainWindow(kv::ProgramState& state, kv::Platform& platform, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Creation of the window's contents from the configuration; then the timers run.
    void start(const std::string& workingFolder, const std::string& configArgument);
    // Shows what the state says: panels, check marks, enabled flags, hints, timers, views.
    void refresh();
    // What the timers do on each tick (public so tests can step them).
    void secsTick();
    // Presses the AIS view's "Show / Hide AIS Targets" button when it is up.
    void showAisTargets();
    // Presses the AIS view's "More range rings" button `times` times.
    void pressRangeRings(int times);
    void fixTick();

    kv::MainController& controller() { return *controller_; }
    // A note for a new user (the folder made for them), shown once the About box of the first
    // tick is up, in front of it.
    void setFirstStartNote(const std::string& text) { firstStartNote_ = text; }
    kv::ProgramState& state() { return state_; }
    // The command of this name (menu entry or tool button), or nullptr.
    QAction* command(const QString& name) const;
    QPlainTextEdit* remarkEditor() const { return remarkEditor_; }
    QTextBrowser* documentWindow() const { return documentWindow_; }
    ViewWindow* view(int index) const;
    AisTargetWindow* aisWindow() const { return aisWindow_; }
    AisTargetListWindow* aisList() const { return aisList_; }
    RasterViewerWindow* rasterViewer() const { return rasterViewer_; }
    QTimer* secsTimer() const { return secsTimer_; }
    QTimer* fixTimer() const { return fixTimer_; }

    // The file dialogs; replaced by tests. Returns the chosen path, empty when cancelled.
    std::function<QString(const FileDialogSpec&)> chooseFile;
    // "Edit Selected Route Waypoint": true when OK was pressed; replaced by tests.
    std::function<bool(kv::EditRouteDialog&)> editRouteDialog;
    // The about box; replaced by tests.
    std::function<void()> aboutBox;
    // Runs a modal dialog (QDialog::exec); replaced by tests, which press its buttons themselves.
    std::function<int(QDialog&)> execDialog;

    // Options: "&Preferences" (F11, GlobalView) and "&Timing" (TimeBtn).
    void GlobalViewClick();
    void Alarms1Click();

    // MainWindowHooks
    int activeViewIndex() const override;
    void cascadeViews() override;
    void tileViews() override;
    void setNavPanelVisible(bool visible) override;
    void showAboutBox() override;
    bool saveRouteForExit() override;
    void endProgram() override;
    bool runWaypointDialog(kv::WaypointDialogModel& model, bool readOnly) override;
    void openTimingDialog() override;
    // The "Auto Generate Survey Grid" dialog; nothing when cancelled.
    std::optional<kv::SurveyGrid> askSurveyGrid();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    using Op = std::function<void()>;
    QAction* addCommand(QMenu* menu, const char* name, const QString& caption, const std::string& hint, const Op& op,
        const QKeySequence& shortcut = {}, bool checkable = false);
    QAction* addButton(
        const char* name, const QString& caption, const std::string& hint, const Op& op, bool checkable = false);
    void run(const Op& op);
    QString openFile(const QString& title, const QString& filter, const QString& folder, const QString& suffix);
    QString saveFile(const QString& title, const QString& filter, const QString& folder, const QString& suffix,
        const QString& name = {});
    // The menu bar, one menu at a time in its order; each command only forwards to its operation.
    void buildMenus();
    QMenu* buildFileMenu();
    QMenu* buildChartsMenu();
    QMenu* buildRoutesMenu();
    void buildNavigationMenu();
    void buildNmeaMenu();
    void buildToolsMenu();
    void buildOptionsMenu();
    void buildWindowMenu();
    void buildHelpMenu();
    // The anchor watch commands of the Navigation menu and the alarm bar (AlarmCommands.cpp).
    void buildAnchorCommands(QMenu* nav);
    QWidget* buildAlarmBar();
    void buildEditMenu(QMenu* edit);
    // GPX import and export in the File, Charts and Routes menus (GpxMenus.cpp).
    void buildGpxCommands(QMenu* file, QMenu* charts, QMenu* routes);
    // "Save Route As": the file dialog, then the save; true when the route was written.
    bool saveRouteAs();
    void buildToolBar();
    void buildNavPanel();
    void buildStatusBar();
    void buildDataPlot(QWidget* parent);
    // Remarks mode: the Options entries, the remark editor with its "!" button, the document
    // window (RemarksWiring.cpp).
    void buildRemarks();
    void refreshRemarks();
    void refreshDataPlot();
    void mirrorTimer(QTimer* timer, const kv::TimerState& model);
    // Views: the windows follow the ViewSet.
    void syncViews();
    ViewWindow* addViewWindow();
    // The Follow button, its key and the orientation choice of a view (free look).
    void buildFollowCommands(ViewWindow* w);
    // Keeps the view's shown area and the Follow button's warning in step with the window.
    void noteShownArea(ViewWindow* w);
    // The commands of a view window: its tool bar, its pop-up menu with the AIS submenu, its mouse.
    void buildViewCommands(ViewWindow* window);
    void buildViewToolBar(ViewWindow* w);
    void buildViewPopupMenu(ViewWindow* w);
    void buildViewAisMenu(ViewWindow* w);
    void buildViewMouse(ViewWindow* w);
    // An entry of the pop-up menu of `w` (or of one of its submenus, `into`) running `op` on its view.
    QAction* addViewItem(ViewWindow* w, QMenu* into, const char* name, const QString& caption, const std::string& hint,
        const std::function<void(kv::ChartView&)>& op, bool checkable = false, const QKeySequence& shortcut = {});
    void openViewProperties(ViewWindow* w);
    // The end of a drag of a route waypoint: the route is marked modified and the move can be undone.
    void endRouteDrag(const std::optional<kv::RouteDrag::Result>& drag);
    // The part of a view's bitmap its window shows.
    kv::ShownArea shownArea(const kv::ChartView& v) const;
    int indexOf(const ViewWindow* window) const;
    // Runs a view command on the view shown by `window`, then refreshes.
    void onView(ViewWindow* window, const std::function<void(kv::ChartView&)>& op);
    QMdiSubWindow* subWindowOf(ViewWindow* view) const;
    // The scale bar image of a view for its window's corner.
    QImage scaleBarImage(const kv::ChartView& v) const;
    // The figures of the navigation panel in the size kvfree.ini asks for.
    void applyNavFigureSize();
    // Each figure of the navigation panel as wide as its widest text.
    void fitNavFigures();
    bool largeFiguresShown_ = false;
    // A press on an AIS target of the AIS view: its pop-up opens beside it; false elsewhere
    // (TargetPopupWiring.cpp).
    bool openTargetPopup(ViewWindow* window, int x, int y);
    bool eventFilter(QObject* watched, QEvent* event) override;

    kv::ProgramState& state_;
    kv::Platform& platform_;
    std::unique_ptr<kv::MainController> controller_;
    std::map<QString, QAction*> commands_;
    std::vector<ViewWindow*> views_; // in ViewSet order
    std::vector<const kv::ChartView*> shown_;
    QMdiArea* mdi_ = nullptr;
    QToolBar* speedPanel_ = nullptr;
    QWidget* navPanel_ = nullptr;
    class InstrumentStrip* instruments_ = nullptr;
    QWidget* dataPanel_ = nullptr;
    ClickLabel* dataPlot_ = nullptr;
    QSpinBox* dataGain_ = nullptr;
    QCheckBox* dataRev_ = nullptr;
    QLabel* statusLine_ = nullptr;
    ClickLabel* posnPanel_ = nullptr;
    QLabel* timePanel_ = nullptr;
    QLabel* gpsIndicator_ = nullptr;
    std::map<std::string, QLabel*> navLabels_;
    QComboBox* wpName_ = nullptr;
    QProgressBar* xtError_ = nullptr;
    QLabel* xteScale_ = nullptr;
    QLabel* xteText_ = nullptr;
    AlarmBar* alarmBar_ = nullptr;
    QLabel* hoverPanel_ = nullptr;
    QWidget* resetButton_ = nullptr;
    QTimer* secsTimer_ = nullptr;
    QTimer* fixTimer_ = nullptr;
    QTimer* aisPlayTimer_ = nullptr;
    AisTargetWindow* aisWindow_ = nullptr;
    AisTargetListWindow* aisList_ = nullptr;
    void buildTargetList();
    // The raster image viewer, made hidden with the window.
    std::unique_ptr<kv::RasterViewerGlue> rasterGlue_;
    RasterViewerWindow* rasterViewer_ = nullptr;

    QPlainTextEdit* remarkEditor_ = nullptr;
    QAction* remarkEditorAction_ = nullptr;
    std::string remarkTextShown_; // the editor text last put in from the state
    QTextBrowser* documentWindow_ = nullptr;
    bool refreshing_ = false;
    bool ending_ = false;
    std::string workingFolder_; // shown in the About box
    std::string firstStartNote_;
};

} // namespace kvui
