#pragma once
// The main window's controls whose check marks, enabled flags or hints the core writes, named as
// the window names them. Operations use the enumerators, so a misspelt control does not compile;
// the name is needed only where the Qt layer binds a control to its action or widget.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kv {

enum class Control {
    File1,
    Window1,
    Print1,
    Charts1,
    Logs1,
    Tides1,
    Routes1,
    Tides2,
    TideStep1,
    SaveLogAs1,
    SaveRouteAs1,
    SaveBtn,
    Route1,
    Fix1,
    FixBtn,
    DRMode1,
    TowNavigation1,
    Find_Antenna,
    SendWaypoints1,
    SendWPS,
    SendChartWaypoints1,
    AutoChart,
    LoadNearestChart1,
    NavigationData1,
    WPName,
    XTerror,
    MeasureMode,
    ExMeasure,
    ExMeasure1,
    DataPlot1,
    Data_Gain,
    PlotAll,
    RemarksMode,
    ShowHideDocument1,
    TxtLogOnOff,
    NMEAInterface1,
    NMEAServerOnOff,
    GetAvgPos,
    PlayAISlog,
    AISMonitor,
    AdditionalTargetData1,
    UpdateAISDatabase,
    SearchAISDatabase,
    Never1,
    After5Mins1,
    After10Mins1,
    After15Mins1,
    DOSWPTformat,
    ShowNMEA,
    ProcAis,
    ChartAppendMode,
    ChartEdit1,
    StartNew,
    ChartPoints1,
    SaveChartAs1,
    AddChartPoint1,
    SetLineType1,
    EditPoint1,
    DeletePoint1,
    SnaptoChart1,
    AutoMakeGrid1,
    UndoAutoGrid1,
    PenUp1,
    LineT0,
    LineT1,
    LineT2,
    LineT3,
    LineT4,
    LineT5,
    LineT6,
    AddChartWaypoint1,
    EditChartWaypoint1,
    DeleteChartWaypoint1,
    WaypointSnapMode1,
    SurveyTrack1,
    Layers1,
    ShowAIS,
    RRUp,
    RRDown,
    Information1,
    WaypointSnapMode,
    Area1,
    HighlightNearest1,
    ShowMMSI1,
    OnAll1,
    OnSelected1,
    LargeLollipop1,
    AISFollowSelectedTarget1,
    AISCOG1,
    AISTrueHead1,
    AISZoom,
    AISShape,
};

struct ControlEntry {
    Control control;
    const char* name;
};

// The one table of window names, in the order of the enumeration.
inline constexpr ControlEntry kControls[] = {
    { Control::File1, "File1" },
    { Control::Window1, "Window1" },
    { Control::Print1, "Print1" },
    { Control::Charts1, "Charts1" },
    { Control::Logs1, "Logs1" },
    { Control::Tides1, "Tides1" },
    { Control::Routes1, "Routes1" },
    { Control::Tides2, "Tides2" },
    { Control::TideStep1, "TideStep1" },
    { Control::SaveLogAs1, "SaveLogAs1" },
    { Control::SaveRouteAs1, "SaveRouteAs1" },
    { Control::SaveBtn, "SaveBtn" },
    { Control::Route1, "Route1" },
    { Control::Fix1, "Fix1" },
    { Control::FixBtn, "FixBtn" },
    { Control::DRMode1, "DRMode1" },
    { Control::TowNavigation1, "TowNavigation1" },
    { Control::Find_Antenna, "Find_Antenna" },
    { Control::SendWaypoints1, "SendWaypoints1" },
    { Control::SendWPS, "SendWPS" },
    { Control::SendChartWaypoints1, "SendChartWaypoints1" },
    { Control::AutoChart, "AutoChart" },
    { Control::LoadNearestChart1, "LoadNearestChart1" },
    { Control::NavigationData1, "NavigationData1" },
    { Control::WPName, "WPName" },
    { Control::XTerror, "XTerror" },
    { Control::MeasureMode, "MeasureMode" },
    { Control::ExMeasure, "ExMeasure" },
    { Control::ExMeasure1, "ExMeasure1" },
    { Control::DataPlot1, "DataPlot1" },
    { Control::Data_Gain, "Data_Gain" },
    { Control::PlotAll, "PlotAll" },
    { Control::RemarksMode, "RemarksMode" },
    { Control::ShowHideDocument1, "ShowHideDocument1" },
    { Control::TxtLogOnOff, "TxtLogOnOff" },
    { Control::NMEAInterface1, "NMEAInterface1" },
    { Control::NMEAServerOnOff, "NMEAServerOnOff" },
    { Control::GetAvgPos, "GetAvgPos" },
    { Control::PlayAISlog, "PlayAISlog" },
    { Control::AISMonitor, "AISMonitor" },
    { Control::AdditionalTargetData1, "AdditionalTargetData1" },
    { Control::UpdateAISDatabase, "UpdateAISDatabase" },
    { Control::SearchAISDatabase, "SearchAISDatabase" },
    { Control::Never1, "Never1" },
    { Control::After5Mins1, "After5Mins1" },
    { Control::After10Mins1, "After10Mins1" },
    { Control::After15Mins1, "After15Mins1" },
    { Control::DOSWPTformat, "DOSWPTformat" },
    { Control::ShowNMEA, "ShowNMEA" },
    { Control::ProcAis, "ProcAis" },
    { Control::ChartAppendMode, "ChartAppendMode" },
    { Control::ChartEdit1, "ChartEdit1" },
    { Control::StartNew, "StartNew" },
    { Control::ChartPoints1, "ChartPoints1" },
    { Control::SaveChartAs1, "SaveChartAs1" },
    { Control::AddChartPoint1, "AddChartPoint1" },
    { Control::SetLineType1, "SetLineType1" },
    { Control::EditPoint1, "EditPoint1" },
    { Control::DeletePoint1, "DeletePoint1" },
    { Control::SnaptoChart1, "SnaptoChart1" },
    { Control::AutoMakeGrid1, "AutoMakeGrid1" },
    { Control::UndoAutoGrid1, "UndoAutoGrid1" },
    { Control::PenUp1, "PenUp1" },
    { Control::LineT0, "LineT0" },
    { Control::LineT1, "LineT1" },
    { Control::LineT2, "LineT2" },
    { Control::LineT3, "LineT3" },
    { Control::LineT4, "LineT4" },
    { Control::LineT5, "LineT5" },
    { Control::LineT6, "LineT6" },
    { Control::AddChartWaypoint1, "AddChartWaypoint1" },
    { Control::EditChartWaypoint1, "EditChartWaypoint1" },
    { Control::DeleteChartWaypoint1, "DeleteChartWaypoint1" },
    { Control::WaypointSnapMode1, "WaypointSnapMode1" },
    { Control::SurveyTrack1, "SurveyTrack1" },
    { Control::Layers1, "Layers1" },
    { Control::ShowAIS, "ShowAIS" },
    { Control::RRUp, "RRUp" },
    { Control::RRDown, "RRDown" },
    { Control::Information1, "Information1" },
    { Control::WaypointSnapMode, "WaypointSnapMode" },
    { Control::Area1, "Area1" },
    { Control::HighlightNearest1, "HighlightNearest1" },
    { Control::ShowMMSI1, "ShowMMSI1" },
    { Control::OnAll1, "OnAll1" },
    { Control::OnSelected1, "OnSelected1" },
    { Control::LargeLollipop1, "LargeLollipop1" },
    { Control::AISFollowSelectedTarget1, "AISFollowSelectedTarget1" },
    { Control::AISCOG1, "AISCOG1" },
    { Control::AISTrueHead1, "AISTrueHead1" },
    { Control::AISZoom, "AISZoom" },
    { Control::AISShape, "AISShape" },
};

inline constexpr std::size_t kControlCount = std::size(kControls);

constexpr bool ControlTableInOrder()
{
    for (std::size_t i = 0; i < kControlCount; ++i) {
        if (static_cast<std::size_t>(kControls[i].control) != i) {
            return false;
        }
    }
    return static_cast<std::size_t>(Control::AISShape) + 1 == kControlCount;
}
static_assert(ControlTableInOrder(), "every control has its name, in the order of the enumeration");

constexpr const char* ControlName(Control c)
{
    return kControls[static_cast<std::size_t>(c)].name;
}

inline std::optional<Control> ControlNamed(std::string_view name)
{
    for (const ControlEntry& entry : kControls) {
        if (name == entry.name) {
            return entry.control;
        }
    }
    return std::nullopt;
}

// The chart editor's line-type commands "LineT0" … "LineT6" (type 0 … 6).
constexpr Control LineTypeControl(int type)
{
    return static_cast<Control>(static_cast<int>(Control::LineT0) + type);
}

} // namespace kv
