// The Options commands of the main window: the preferences and timing dialogs.

#include "app/PreferencesModel.h"
#include "app/TimingModel.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesDialog.h"
#include "ui/TimingDialog.h"

namespace kvui {

void MainWindow::GlobalViewClick()
{
    kv::PreferencesModel model(*controller_);
    model.Fill();
    PreferencesDialog dialog(model, state_.folders.AppDir.str(), this);
    // The clicks that act at once show in the main window while the dialog is still open.
    dialog.changedAtOnce = [this] { refresh(); };
    execDialog(dialog);
    refresh();
}

void MainWindow::Alarms1Click()
{
    kv::TimingModel model(*controller_);
    model.Fill();
    TimingDialog dialog(model, this);
    execDialog(dialog);
    refresh();
}

} // namespace kvui
