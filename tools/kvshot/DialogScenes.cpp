// The dialogs: every page of Preferences, the Timing Functions dialog, the waypoint edit dialog,
// the help window and a remarks document, each over the program's model started on the working
// folder.

#include "Scenes.h"

#include "app/MainController.h"
#include "app/PreferencesModel.h"
#include "app/TimingModel.h"
#include "app/WaypointDialog.h"
#include "platform/fake/Fakes.h"
#include "ui/HelpWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/TimingDialog.h"
#include "ui/WaypointEditDialog.h"

#include <QTextBrowser>

namespace kvshot {

namespace {

// The program's model as it stands after its first second on the working folder.
struct Model {
    explicit Model(const std::string& work)
        : controller(state, fakes.platform, hooks)
    {
        controller.FormCreate(work, "");
        controller.SecsTimerTimer(); // the first tick loads the chart
    }
    kv::ProgramState state;
    kv::FakePlatform fakes;
    kv::MainWindowHooks hooks;
    kv::MainController controller;
};

} // namespace

QStringList PreferencesPictures()
{
    QStringList pictures;
    for (const char* page : kv::kPreferencesPages) {
        pictures << QStringLiteral("preferences-")
                + QString::fromLatin1(page).toLower().replace(QLatin1Char(' '), QLatin1Char('-'))
                + QStringLiteral(".png");
    }
    return pictures;
}

bool PreferencesScene(const Folders& folders)
{
    Model model(folders.work);
    kv::PreferencesModel prefs(model.controller);
    prefs.Fill();
    kvui::PreferencesDialog preferences(prefs, folders.work);
    preferences.resize(preferences.sizeHint().expandedTo(QSize(520, 460)));
    const QStringList pictures = PreferencesPictures();
    bool ok = true;
    for (int page = 0; page < pictures.size(); ++page) {
        preferences.showPage(page);
        ok = Save(preferences, folders.out + pictures[page]) && ok;
    }
    return ok;
}

bool TimingScene(const Folders& folders)
{
    Model model(folders.work);
    kv::TimingModel timingModel(model.controller);
    timingModel.Fill();
    kvui::TimingDialog timing(timingModel);
    return Save(timing, folders.out + QStringLiteral("timing-dialog.png"));
}

bool WaypointDialogScene(const Folders& folders)
{
    Model model(folders.work);
    kv::WaypointDialogModel waypoint;
    waypoint.fields.Caption = kv::kEditWaypointCaption;
    waypoint.fields.WPdesc = "Needles Lighthouse";
    waypoint.fields.position.Latitude = "50\xb0"
                                        "39.73000N";
    waypoint.fields.position.Longitude = "001\xb0"
                                         "35.50000W";
    waypoint.fields.WPShape = "05   Light or Lighthouse";
    waypoint.fields.Nwps = 12;
    kvui::WaypointEditDialog edit(waypoint, model.state.settings, model.fakes.prompter);
    return Save(edit, folders.out + QStringLiteral("waypoint-dialog.png"));
}

bool HelpScene(const Folders& folders)
{
    // The help window on the page about connecting a receiver; closed after, so that it does not
    // stand in the pictures of the scenes that follow.
    kvui::HelpWindow* help = kvui::ShowHelp(nullptr, 3);
    const bool ok = Save(*help, folders.out + QStringLiteral("help-window.png"));
    help->close();
    return ok;
}

bool RemarksScene(const Folders& folders)
{
    // An event log with a remark and a view copy, as the document window shows it.
    Model model(folders.work);
    kv::Remarks& remarks = model.controller.remarks();
    remarks.RemarksModeClick();
    remarks.OpenRemarkEditor();
    remarks.SaveRemark1Click(remarks.editor().text + "Tow fish deployed, cable out 120 m");
    if (model.controller.views().count() > 0) {
        QImage view = model.controller.views().view(0).bitmap;
        remarks.PastePicture(view.scaledToWidth(360, Qt::SmoothTransformation));
    }
    bool ok = false;
    if (const kv::RemarksDocument* document = remarks.document()) {
        QTextBrowser shown;
        shown.setHtml(QString::fromLatin1(document->Html().c_str()));
        shown.resize(560, 560);
        ok = Save(shown, folders.out + QStringLiteral("remarks-document.png"));
    } else {
        std::fprintf(stderr, "kvshot: no remarks document\n");
    }
    remarks.Shutdown();
    return ok;
}

} // namespace kvshot
