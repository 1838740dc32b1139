#pragma once
// The "View and Zoom Properties" dialog without its widgets: one view's display options copied
// in when it opens, the rules that tie its controls together while it is open, and what OK
// copies back. The Qt dialog mirrors ViewOptionsFields and forwards the clicks; Cancel simply
// drops the model, leaving the view as it was.

#include "views/SurveyLogDraw.h"

#include <array>
#include <string>

namespace kv {

class MainController;
struct ChartView;

inline constexpr const char* kFieldNotInLogFormat = "The selected field is not in the current log format !";
inline constexpr const char* kTowNotInLogFormat = "The tow position is not in the current log format !";

inline constexpr int kMaxThreshold = 12000; // the zoom and threshold spin boxes
inline constexpr int kMaxPlotRange = 10000;
inline constexpr int kMaxNShow = 100000;
inline constexpr int kNShowStep = 100;

// Hints of the seven line-type boxes ("Show Line Style").
inline constexpr std::array<const char*, kChartLineTypes> kLineStyleHints { "Solid foreground", "Dashed light green",
    "Dashed blue", "Dashed light blue", "Solid light green", "Solid blue", "Solid light blue" };

// The dialog's controls by their window names.
struct ViewOptionsFields {
    int xZoom = 0;
    int xShape = 15;
    int xText = 100;
    int xTidal = 20;
    bool ShowWPS = true;
    bool ShowRT = true;
    bool ShowTide = true;
    bool ShowTrack = true;
    bool ShowScale = true;
    bool ShowV = true; // hidden
    bool AutoZoom = false;
    bool ShowEPE = false; // hidden
    bool OnTop = false; // hidden
    std::array<bool, kChartLineTypes> Lay { true, true, true, true, true, true, true };
    // "Survey Log"
    bool PlotTextLog = false;
    int PlotV = 0; // index into kPlotFieldCaptions
    bool EVonly = false;
    bool SVtrack = false;
    bool BlobOn = false;
    int PlotRange = 10;
    bool Last200 = false;
    int Nshow = 100;
    std::string HiLite = "1000.00";
    bool UseCrosses = true;
    bool Ubow = false; // hidden
    friend bool operator==(const ViewOptionsFields&, const ViewOptionsFields&) = default;
};

// Which controls can be used.
struct ViewOptionsEnabled {
    bool PlotV = false, BlobOn = false, EVonly = false, SVtrack = false, VLabel = false;
    bool UseCrosses = false, Ubow = false, Last200 = false;
    bool PlotRange = false, RangeLabel = false, Nshow = false;
    friend bool operator==(const ViewOptionsEnabled&, const ViewOptionsEnabled&) = default;
};

// The fields a view's options show; and the options the fields give, onto those of a view
// (the zoom and the highlight number are OK's own steps and are left alone here).
ViewOptionsFields FieldsOfView(const ChartView& view);
void CopyFieldsToOptions(const ViewOptionsFields& fields, ViewOptions& options);
// The plot field list's entry of a plot character (0, "- None", for any other).
int PlotFieldIndex(char c);
// Whether the text-log format has the code of a plot field: "@" and the caption's first letter.
// The expander reads codes in either case, so either case counts.
bool FormatHasCode(const std::string& format, char code);

class ViewOptionsModel {
public:
    // The model of view `index` of the view set.
    ViewOptionsModel(MainController& controller, int index)
        : c_(controller)
        , index_(index)
    {
    }

    ViewOptionsFields fields;

    // Opening: the controls from the view's options.
    void Fill();
    ViewOptionsEnabled enabled() const;

    // The clicks that the other controls follow.
    void PlotTextLogClick(bool on);
    // Choosing entry `index` of the plot field list (out of range counts as an empty choice).
    void PlotVChange(int index);
    void UbowClick(bool on);
    void BlobOnClick(bool on) { fields.BlobOn = on; }
    void Last200Click(bool on);
    void NshowChange(int n);
    void AutoZoomClick(bool on);
    void AllClick();
    void NoneClick();
    void LayClick(int type, bool on);

    // OK: the zoom, the options, the highlight threshold, the re-centre.
    void OKBtnClick();

private:
    ChartView* view();
    MainController& c_;
    int index_;
};

// "&Survey Track" of the Edit menu: every view's survey track display off, its centre at the
// cursor and re-centred.
void RemoveSurveyTracks(MainController& controller);

} // namespace kv
