// kvshots WORKDIR OUTDIR: pictures of the dialogs for the documentation. Starts the program's
// model on WORKDIR (over recording fakes: no port is opened, no message box waits), then saves
// every page of Preferences, the Timing Functions dialog, the waypoint edit dialog, the help
// window and a remarks document as PNG files in OUTDIR. docs/make_dialog_screenshots.sh runs it under Xvfb.

#include "../shotsupport/ShotSupport.h"

#include "app/MainController.h"
#include "app/PreferencesModel.h"
#include "app/TimingModel.h"
#include "app/WaypointDialog.h"
#include "platform/fake/Fakes.h"
#include "ui/HelpWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/TimingDialog.h"
#include "ui/WaypointEditDialog.h"

#include <QApplication>
#include <QDir>
#include <QTextBrowser>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const auto folders = kvshot::FolderArguments(argc, argv);
    if (!folders) {
        return 2;
    }
    const std::string& work = folders->work;
    const QString& out = folders->out;

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
        ok = kvshot::Save(preferences, out + QStringLiteral("preferences-") + name + QStringLiteral(".png")) && ok;
    }

    kv::TimingModel timingModel(controller);
    timingModel.Fill();
    kvui::TimingDialog timing(timingModel);
    ok = kvshot::Save(timing, out + QStringLiteral("timing-dialog.png")) && ok;

    kv::WaypointDialogModel waypoint;
    waypoint.fields.Caption = kv::kEditWaypointCaption;
    waypoint.fields.WPdesc = "Needles Lighthouse";
    waypoint.fields.position.Latitude = "50\xb0" "39.73000N";
    waypoint.fields.position.Longitude = "001\xb0" "35.50000W";
    waypoint.fields.WPShape = "05   Light or Lighthouse";
    waypoint.fields.Nwps = 12;
    kvui::WaypointEditDialog edit(waypoint, state.settings, fakes.prompter);
    ok = kvshot::Save(edit, out + QStringLiteral("waypoint-dialog.png")) && ok;

    // The help window on the page about connecting a receiver.
    kvui::HelpWindow* help = kvui::ShowHelp(nullptr, 3);
    ok = kvshot::Save(*help, out + QStringLiteral("help-window.png")) && ok;

    // An event log with a remark and a view copy, as the document window shows it.
    kv::Remarks& remarks = controller.remarks();
    remarks.RemarksModeClick();
    remarks.OpenRemarkEditor();
    remarks.SaveRemark1Click(remarks.editor().text + "Tow fish deployed, cable out 120 m");
    if (controller.views().count() > 0) {
        QImage view = controller.views().view(0).bitmap;
        remarks.PastePicture(view.scaledToWidth(360, Qt::SmoothTransformation));
    }
    if (const kv::RemarksDocument* document = remarks.document()) {
        QTextBrowser shown;
        shown.setHtml(QString::fromLatin1(document->Html().c_str()));
        shown.resize(560, 560);
        ok = kvshot::Save(shown, out + QStringLiteral("remarks-document.png")) && ok;
    }
    remarks.Shutdown();
    return ok ? 0 : 1;
}
