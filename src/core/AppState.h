#pragma once
// What the main window itself keeps between its commands: the start-up flag of the one-second
// tick, the measure tool and the chart edit switch. Lives in ProgramState as `app`.

#include <string>

namespace kv {

struct AppState {
    bool FirstTickPending = true; // the first one-second tick still has the start-up work to do
    bool TextLogBlink = false;    // which of the two text-log button images is shown
    bool MeasureMode = false;
    double MeasureOriginLat = 0.0;
    double MeasureOriginLong = 0.0; // west positive
    double MeasureTotal = 0.0;      // display units, as the measure text shows it
    double LastMeasuredRange = 0.0; // the range shown by the last measure text
    bool ChartEditMode = false;
    bool ZoomResetPending = false;   // the next view refresh sets scale 1:1 instead of re-centring
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
