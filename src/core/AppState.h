#pragma once
// What the main window itself keeps between its commands: the start-up flag of the one-second
// tick, the navigation panel and the chart edit switch. Lives in ProgramState as `app`; the
// controller owns it, and a few switches are read below it (the remarks mode, the navigation
// panel, pen-up, the start-up file), which is why the record sits on the floor.

#include <string>

namespace kv {

// The data trend plot panel of the main window.
struct DataPlotState {
    bool visible = false;
    int gain = 1;
    int gainStep = 1;
    bool reversed = false; // Data_Rev: the offsets drawn the other way up
    bool plotAll = false; // PlotAll: every fix, without the marked range
    int markA = -1, markB = -1; // the two x positions last marked with the mouse
    std::string label = "Data Trend"; // Data_Label: the AIS view's survey-log plot field, once chosen
};

struct AppState {
    bool FirstTickPending = true; // the first one-second tick still has the start-up work to do
    bool TextLogBlink = false; // which of the two text-log button images is shown
    bool ChartEditMode = false;
    bool PenUp = true; // chart editing's "Pen Up" line type is chosen (as at start)
    bool RemarksMode = false; // "&Remarks": a remarks document takes the events
    bool NavPanelVisible = true; // "Navigation &Data"
    std::string StartupConfigPath; // the file read at start (argument or kelvw.cfg)
    std::string TextLogButtonImage; // AppDir + "TLG.bmp" or "TLG2.bmp"
    // Folders the file dialogs open in (each ends in "/").
    std::string ChartDialogDir;
    std::string RouteDialogDir;
    std::string TideDialogDir;
    std::string ConfigDialogDir;
    std::string LogDialogDir;
    std::string HelpFile;
    DataPlotState plot;
};

} // namespace kv
