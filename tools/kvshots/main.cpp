// kvshots WORKDIR OUTDIR: pictures of the dialogs for the documentation. Starts the program's
// model on WORKDIR (over recording fakes: no port is opened, no message box waits), then saves
// every page of Preferences, the Timing Functions dialog and the waypoint edit dialog as PNG
// files in OUTDIR. docs/make_dialog_screenshots.sh runs it under Xvfb.

#include "app/MainController.h"
#include "app/PreferencesModel.h"
#include "app/TimingModel.h"
#include "app/WaypointDialog.h"
#include "platform/fake/Fakes.h"
#include "ui/PreferencesDialog.h"
#include "ui/TimingDialog.h"
#include "ui/WaypointEditDialog.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

bool Save(QWidget& widget, const QString& file)
{
    widget.show();
    QApplication::processEvents();
    const bool saved = widget.grab().save(file);
    if (!saved) {
        std::fprintf(stderr, "kvshots: cannot write %s\n", file.toLocal8Bit().constData());
    }
    return saved;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: kvshots WORKDIR OUTDIR\n");
        return 2;
    }
    const std::string work = QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdString() + "/";
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath() + QStringLiteral("/");

    kv::ProgramState state;
    kv::FakePlatform fakes;
    kv::MainWindowHooks hooks;
    kv::MainController controller(state, fakes.platform, hooks);
    controller.FormCreate(work, "");
    controller.SecsTimerTimer(); // the first tick loads the chart

    bool ok = true;
    kv::PreferencesModel prefs(controller);
    prefs.Fill();
    kvui::PreferencesDialog preferences(prefs, work);
    preferences.resize(preferences.sizeHint().expandedTo(QSize(520, 460)));
    for (int page = 0; page < static_cast<int>(kv::kPreferencesPages.size()); ++page) {
        preferences.showPage(page);
        const QString name =
            QString::fromLatin1(kv::kPreferencesPages[static_cast<std::size_t>(page)]).toLower().replace(QLatin1Char(' '), QLatin1Char('-'));
        ok = Save(preferences, out + QStringLiteral("preferences-") + name + QStringLiteral(".png")) && ok;
    }

    kv::TimingModel timingModel(controller);
    timingModel.Fill();
    kvui::TimingDialog timing(timingModel);
    ok = Save(timing, out + QStringLiteral("timing-dialog.png")) && ok;

    kv::WaypointDialogModel waypoint;
    waypoint.fields.Caption = kv::kEditWaypointCaption;
    waypoint.fields.WPdesc = "Needles Lighthouse";
    waypoint.fields.position.Latitude = "50\xb0" "39.73000N";
    waypoint.fields.position.Longitude = "001\xb0" "35.50000W";
    waypoint.fields.WPShape = "05   Light or Lighthouse";
    waypoint.fields.Nwps = 12;
    kvui::WaypointEditDialog edit(waypoint, state.settings, fakes.prompter);
    ok = Save(edit, out + QStringLiteral("waypoint-dialog.png")) && ok;
    return ok ? 0 : 1;
}
