#pragma once
// The scenes of kvshot. Each starts the program, or the part of it the pictures show, over
// recording fakes (no port is opened, no message box waits) on a working folder of its own, does
// what a user would, and saves its pictures in the output folder. True when every picture was
// written.

#include "Shot.h"

#include <QStringList>

#include <string>
#include <vector>

namespace kvui {
class MainWindow;
}

namespace kvshot {

// Starts the main window on the working folder `work` with its second timer held, shows it at
// the given size and runs the first tick, which loads the chart.
void OpenMainWindow(kvui::MainWindow& window, const std::string& work, int width, int height);

// Dialogs (DialogScenes.cpp).
QStringList PreferencesPictures(); // one a page
bool PreferencesScene(const Folders& folders);
bool TimingScene(const Folders& folders);
bool WaypointDialogScene(const Folders& folders);
bool HelpScene(const Folders& folders);
bool RemarksScene(const Folders& folders);

// AIS targets in the chart view (AisScenes.cpp).
bool AisEncounterScene(const Folders& folders);
bool AisGlanceScene(const Folders& folders);

// A view's options and a survey-log plot (ViewOptionsScene.cpp).
bool ViewOptionsScene(const Folders& folders);

// Editing a chart and a route (EditScenes.cpp).
bool ChartEditScene(const Folders& folders);
bool RouteDragScene(const Folders& folders);

// The raster image viewer following the vessel (RasterScene.cpp).
bool RasterViewerScene(const Folders& folders);

// An anchor watch with its alarm raised (AnchorScene.cpp).
bool AnchorWatchScene(const Folders& folders);

struct Scene {
    QString name;
    QStringList pictures; // the files the scene writes in the output folder
    bool (*run)(const Folders&);
};

// Every scene, in the order a run without scene names makes them.
std::vector<Scene> AllScenes();

} // namespace kvshot
