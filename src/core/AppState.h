#pragma once
// What the main window itself keeps between its commands: the start-up flag of the one-second
// tick, the navigation panel and the chart edit switch. Lives in ProgramState as `app`.

#include <string>

namespace kv {

struct AppState {
    bool FirstTickPending = true; // the first one-second tick still has the start-up work to do
    bool TextLogBlink = false;    // which of the two text-log button images is shown
    bool ChartEditMode = false;
    bool NavPanelVisible = true;     // "Navigation &Data"
    std::string StartupConfigPath;   // the file read at start (argument or kelvw.cfg)
    std::string TextLogButtonImage;  // AppDir + "TLG.bmp" or "TLG2.bmp"
    // Folders the file dialogs open in (each ends in "/").
    std::string ChartDialogDir;
    std::string RouteDialogDir;
    std::string TideDialogDir;
    std::string ConfigDialogDir;
    std::string LogDialogDir;
    std::string HelpFile;
};

} // namespace kv
