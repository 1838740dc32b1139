// The Edit menu of the main window: chart edit mode, chart points and line types, chart
// waypoints through the waypoint dialog, and the survey grid dialog.

#include "app/EditUndo.h"
#include "app/MenuState.h"
#include "charts/ChartEditor.h"
#include "ui/MainWindow.h"
#include "ui/RasterViewerWindow.h"
#include "ui/UiText.h"
#include "ui/WaypointEditDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>

namespace kvui {

namespace {

// The hints of the line types: what each style is drawn for.
constexpr const char* kLineTypeHints[kv::kLineTypes] = {
    "Solid forground colour (coastlines)",
    "Dashed light green (drying)",
    "Dashed blue, (channels, sectors, leading lines)",
    "Dashed light blue, (depth contours)",
    "Solid light green, (depth contours)",
    "Solid blue, (depth contours)",
    "Solid light blue, (depth contours)",
};

QSpinBox* GridField(QWidget* parent, const char* name, int low, int high, int value, int step)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(low, high);
    box->setValue(value);
    box->setSingleStep(step);
    return box;
}

} // namespace

std::optional<kv::SurveyGrid> MainWindow::askSurveyGrid()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("SurveyGridDialog"));
    dialog.setWindowTitle(QStringLiteral("Auto Generate Survey Grid"));
    auto* form = new QFormLayout(&dialog);
    QSpinBox* length = GridField(&dialog, "GLength", 1, 100000, 100, 50);
    QSpinBox* pitch = GridField(&dialog, "GPitch", 1, 1000, 10, 1);
    QSpinBox* angle = GridField(&dialog, "Gangle", 0, 180, 0, 15);
    QSpinBox* number = GridField(&dialog, "Gnumber", 1, 500, 10, 10);
    auto* alternate = new QCheckBox(QStringLiteral("Alternate the line style"), &dialog);
    alternate->setObjectName(QStringLiteral("AltLine"));
    form->addRow(QStringLiteral("Line Length metres"), length);
    form->addRow(QStringLiteral("Line Spacing metres"), pitch);
    form->addRow(QString::fromLatin1("Line Angle \xB0 true"), angle);
    form->addRow(QStringLiteral("Number of lines"), number);
    form->addRow(alternate);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (execDialog(dialog) != QDialog::Accepted) {
        return std::nullopt;
    }
    kv::SurveyGrid grid;
    grid.length = length->value();
    grid.spacing = pitch->value();
    grid.angle = angle->value();
    grid.lines = number->value();
    grid.alternate = alternate->isChecked();
    return grid;
}

bool MainWindow::runWaypointDialog(kv::WaypointDialogModel& model, bool readOnly)
{
    WaypointEditDialog dialog(model, state_.settings, platform_.prompter, this);
    dialog.openChartlet = [this](const std::string& name) { rasterViewer_->showHandedOver(name); };
    dialog.setWindowTitle(Latin1(model.fields.Caption));
    if (readOnly) {
        // Shown for reading: every field greyed, nothing taken back.
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (qobject_cast<QLineEdit*>(w) != nullptr || w->inherits("QComboBox")) {
                w->setEnabled(false);
            }
        }
    }
    const bool ok = execDialog(dialog) == QDialog::Accepted;
    return ok && !readOnly;
}

void MainWindow::openTimingDialog()
{
    Alarms1Click();
}

void MainWindow::buildEditMenu(QMenu* edit)
{
    kv::MainController& c = *controller_;
    using kv::Control;
    using kv::ControlName;
    // The commands that change the chart go through the undo history.
    auto undoable = [&c](const Op& op) { return [&c, op] { c.undo().chartEdit(op); }; };
    addCommand(
        edit, ControlName(Control::ChartEdit1), QStringLiteral("&Chart Edit"), "Enable / Disable chart editing",
        [&c] { c.editor().ChartEdit1Click(); }, {}, true);
    addCommand(edit, ControlName(Control::StartNew), QStringLiteral("Start a &New Chart"), "",
        [&c] { c.editor().StartNewClick(); });

    QMenu* points = edit->addMenu(QStringLiteral("Chart &Points"));
    points->menuAction()->setObjectName(QLatin1String(kv::ControlName(kv::Control::ChartPoints1)));
    commands_[QLatin1String(kv::ControlName(kv::Control::ChartPoints1))] = points->menuAction();
    addCommand(points, ControlName(Control::AddChartPoint1), QStringLiteral("Add Chart P&oint"),
        "Add a point at cursor position", undoable([&c] { c.editor().AddChartPoint1Click(); }));
    QMenu* types = points->addMenu(QStringLiteral("Set Line &Type"));
    types->menuAction()->setObjectName(QLatin1String(ControlName(Control::SetLineType1)));
    commands_[QLatin1String(ControlName(Control::SetLineType1))] = types->menuAction();
    addCommand(
        types, ControlName(Control::PenUp1), QStringLiteral("Pen Up"), "No line", [&c] { c.editor().PenUp1Click(); },
        {}, true);
    state_.display.checked[Control::PenUp1] = state_.app.PenUp;
    for (int t = 0; t < kv::kLineTypes; ++t) {
        addCommand(types, ControlName(kv::LineTypeControl(t)), QStringLiteral("Line Type %1").arg(t), kLineTypeHints[t],
            undoable([&c, t] { c.editor().LineTypeClick(t); }), {}, true);
    }
    addCommand(points, ControlName(Control::EditPoint1), QStringLiteral("&Edit Point"),
        "Move the selected point to the cursor", undoable([&c] { c.editor().EditPoint1Click(); }));
    addCommand(points, ControlName(Control::DeletePoint1), QStringLiteral("&Delete Point"),
        "Delete the line to the selected point", undoable([&c] { c.editor().DeletePoint1Click(); }));
    addCommand(points, ControlName(Control::SnaptoChart1), QStringLiteral("&Snap to Chart"),
        "Snap the cursor to the nearest chart point", [&c] { c.editor().SnaptoChart1Click(); });

    QMenu* waypoints = edit->addMenu(QStringLiteral("Chart &Waypoints"));
    addCommand(waypoints, ControlName(Control::AddChartWaypoint1), QStringLiteral("&Add Chart Waypoint"),
        "Add a waypoint at cursor position", undoable([&c] { c.editor().AddChartWaypoint1Click(); }));
    addCommand(waypoints, ControlName(Control::EditChartWaypoint1), QStringLiteral("&Edit Chart Waypoint"),
        "Edit the nearest waypoint", undoable([&c] { c.editor().EditChartWaypoint1Click(); }));
    addCommand(waypoints, ControlName(Control::DeleteChartWaypoint1), QStringLiteral("&Delete Chart Waypoint"),
        "Delete the nearest waypoint", undoable([&c] { c.editor().DeleteChartWaypoint1Click(); }));
    addCommand(waypoints, ControlName(Control::WaypointSnapMode1), QStringLiteral("Waypoint &Snap"),
        "Show the nearest waypoint", [&c] { c.editor().WaypointSnapMode1Click(); });

    addCommand(edit, ControlName(Control::AutoMakeGrid1), QStringLiteral("&Make Auto Grid"),
        "Auto generate survey grid lines", [this, &c] {
            if (const auto grid = askSurveyGrid()) {
                c.undo().chartEdit([&c, &grid] { c.editor().AutoMakeGrid(*grid); });
            }
        });
    addCommand(edit, ControlName(Control::UndoAutoGrid1), QStringLiteral("&Undo Auto Grid"),
        "Delete the last auto grid", undoable([&c] { c.editor().UndoAutoGrid1Click(); }))
        ->setEnabled(false);
    state_.display.enabled[Control::UndoAutoGrid1] = false;
    addCommand(edit, ControlName(Control::SurveyTrack1), QStringLiteral("&Survey Track"), "Remove Survey Track",
        [&c] { c.editor().SurveyTrack1Click(); });

    // Undo and redo of the chart and route edits, newest first.
    edit->addSeparator();
    addCommand(
        edit, "EditUndo1", QStringLiteral("&Undo"), "Undo|Take back the last chart or route edit",
        [&c] { c.Undo1Click(); }, QKeySequence(Qt::CTRL | Qt::Key_Z));
    addCommand(
        edit, "EditRedo1", QStringLiteral("&Redo"), "Redo|Make the last undone edit again", [&c] { c.Redo1Click(); },
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
}

} // namespace kvui
