// The GPX commands of the File, Charts and Routes menus: the file dialogs and the choice of one
// route or track; the work is GpxCommands'.

#include "app/GpxCommands.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

namespace kvui {

namespace {
std::string Path(const QString& path)
{
    return path.toLocal8Bit().toStdString();
}
QString QPath(const std::string& path)
{
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}
const QString kGpxFilter = QStringLiteral("GPX files (*.gpx);;All files (*)");
} // namespace

void MainWindow::buildGpxCommands(QMenu* file, QMenu* charts, QMenu* routes)
{
    kv::AppState& app = state_.app;
    routes->addSeparator();
    addCommand(
        routes, "ImportGpx1", QStringLiteral("Import GPX…"), "Import a route or a track from a GPX file", [this, &app] {
            const QString path = openFile(
                QStringLiteral("Import a GPX file"), kGpxFilter, QPath(app.RouteDialogDir), QStringLiteral("gpx"));
            kv::GpxCommands(*controller_).ImportGpx1Click(Path(path), [this](const std::vector<std::string>& choices) {
                QInputDialog dialog(this);
                dialog.setObjectName(QStringLiteral("GpxChoiceDialog"));
                dialog.setWindowTitle(QStringLiteral("Import GPX"));
                dialog.setLabelText(QStringLiteral("The file holds more than one route or track. Import:"));
                QStringList items;
                for (const std::string& choice : choices) {
                    items << QString::fromLatin1(choice.data(), static_cast<qsizetype>(choice.size()));
                }
                dialog.setComboBoxItems(items);
                dialog.setComboBoxEditable(false);
                if (execDialog(dialog) != QDialog::Accepted) {
                    return std::optional<std::size_t>();
                }
                const auto index = items.indexOf(dialog.textValue());
                return index < 0 ? std::optional<std::size_t>()
                                 : std::optional<std::size_t>(static_cast<std::size_t>(index));
            });
        });
    addCommand(routes, "ExportGpx1", QStringLiteral("Export GPX…"), "Write the route as a GPX file", [this, &app] {
        const QString path = saveFile(
            QStringLiteral("Export the route as GPX"), kGpxFilter, QPath(app.RouteDialogDir), QStringLiteral("gpx"));
        kv::GpxCommands(*controller_).ExportGpx1Click(Path(path));
    });

    charts->addSeparator();
    addCommand(charts, "ImportGpxWaypoints1", QStringLiteral("Import GPX Waypoints…"),
        "Add the waypoints of a GPX file to the chart's waypoints", [this, &app] {
            const QString path = openFile(
                QStringLiteral("Import GPX waypoints"), kGpxFilter, QPath(app.ChartDialogDir), QStringLiteral("gpx"));
            kv::GpxCommands(*controller_).ImportGpxWaypoints1Click(Path(path));
        });
    addCommand(charts, "ExportGpxWaypoints1", QStringLiteral("Export GPX Waypoints…"),
        "Write the chart's waypoints as a GPX file", [this, &app] {
            const QString path = saveFile(QStringLiteral("Export the chart waypoints as GPX"), kGpxFilter,
                QPath(app.ChartDialogDir), QStringLiteral("gpx"));
            kv::GpxCommands(*controller_).ExportGpxWaypoints1Click(Path(path));
        });

    // Beside "Save Log As": a day's track log, chosen as the log dialog chooses one, as GPX.
    QAction* exportLog = addCommand(
        file, "ExportLogGpx1", QStringLiteral("Export Log as GPX…"), "Write a track log as a GPX file", [this, &app] {
            const QString log = openFile(QStringLiteral("Export a log file as GPX"),
                QStringLiteral("Log Files (*.log)"), QPath(app.LogDialogDir), QStringLiteral("log"));
            if (log.isEmpty()) {
                return;
            }
            const QString path = saveFile(
                QStringLiteral("Export the log as GPX"), kGpxFilter, QPath(app.LogDialogDir), QStringLiteral("gpx"));
            kv::GpxCommands(*controller_).ExportLogGpx1Click(Path(log), Path(path));
        });
    if (QAction* saveRoute = command(QStringLiteral("SaveRouteAs1"))) {
        file->removeAction(exportLog);
        file->insertAction(saveRoute, exportLog);
    }
}

} // namespace kvui
