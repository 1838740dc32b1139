#pragma once
// The survey-log plot of a view: every fix of the text log drawn where it was taken, with the
// value of one logged field as text and, on request, as a blob coloured over the view's range,
// the values above the highlight threshold marked, the fixes joined as the survey track.
//
// The text log is read back from its file: its second line is the format its fix lines were
// written with, so the field's place in a line and the fix's position are found from it.

#include "views/RenderCanvas.h"
#include "views/RenderPlotter.h"
#include "views/ViewGeometry.h"
#include "views/ViewModel.h"
#include "views/ViewRecords.h"

#include <QImage>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// The fields the plot can show ("Plot Survey Log"); a view keeps the first character.
inline constexpr std::array<const char*, 9> kPlotFieldCaptions { "- None", "Date", "Fix Number", "Quality of fix",
    "Speed Over Ground", "Time (Sys. or UT)", "Vel. made good to WP", "X Cross Track Error",
    "Y Position decimal deg." };
// The caption whose first character is c ("- None" for any other).
std::string PlotFieldCaption(char c);

// One fix line of the text log.
struct SurveyLogFix {
    double lat = 0.0; // chart datum
    double lon = 0.0; // chart datum, west positive
    bool event = false; // a manual fix (the line after "*n")
    bool penUp = false; // not joined to the fix before ("# -b", or a line without a position before it)
    std::string text; // the plotted field as logged; empty without a field
    std::optional<double> value;
    // Where the tow was at this fix (chart datum, west positive), when the log carries "@>".
    std::optional<double> towLat, towLon;
};

// The comma-separated field of a line expanded from `format` where code `code` (either case)
// begins, or nothing when the format lacks it. Position codes fill four fields, "@y" two.
std::optional<int> LogFieldIndex(std::string_view format, char code);

// The fixes of a text log's lines (the two header lines included). `field` is the plot field's
// character ('-' none). "@p" positions are in receiver datum and are moved to chart datum by the
// chart offsets; without "@p" the "@y" position (chart datum) is used; lines without either are
// skipped. A "@>" tow position (receiver datum, like "@p") gives each fix its tow.
std::vector<SurveyLogFix> ParseSurveyLog(
    const std::vector<std::string>& lines, char field, double chartLatOffset, double chartLongOffset);

// The same reading one line at a time, for a log that is read as it grows.
class SurveyLogParser {
public:
    SurveyLogParser(char field, double chartLatOffset, double chartLongOffset);
    // The next line of the log (the two header lines first, line ends taken off or not); a fix
    // line appends its fix to `out`.
    void feed(std::string_view line, std::vector<SurveyLogFix>& out);

private:
    char field_;
    double latOffset_;
    double longOffset_;
    std::size_t lines_ = 0;
    std::optional<int> posIndex_;
    std::optional<int> decIndex_;
    std::optional<int> valueIndex_;
    std::optional<int> towIndex_;
    bool event_ = false;
    bool penUp_ = true;
};

// The text log as the redraws read it while it grows, one fix a second through a survey day:
// the fixes of the lines read so far are kept, and each read takes only the bytes written since.
// A log that shrank, was replaced, or whose header lines changed is read again from the start.
// Two views may plot different fields, so a few logs are kept, each with its field.
class SurveyLogReader {
public:
    // The fixes of the log at `path` as it is now, as ParseSurveyLog reads them; nothing when
    // the log cannot be read. Valid until the next read.
    const std::vector<SurveyLogFix>* read(
        const std::string& path, char field, double chartLatOffset, double chartLongOffset);

private:
    struct Log;
    std::vector<std::shared_ptr<Log>> logs_; // the last read last
};

// The number a logged field stands for: "hh:mm:ss" in hours, otherwise its leading number.
std::optional<double> LogFieldValue(std::string_view text);

// The perceptual colour scale of the blobs, t from 0 (dark purple) to 1 (yellow).
Rgb ViridisColour(double t);
// A value's blob colour: its absolute value over 0 … range.
Rgb BlobColour(double value, int range);

// The fixes the options show: the newest NShow with "Show Last N=", then only the events with
// "Show Events Only" (the survey track still joins all of the newest N).
std::vector<const SurveyLogFix*> ShownFixes(const std::vector<SurveyLogFix>& fixes, const ViewOptions& options);

inline constexpr Rgb kSurveyTrackColour = kAqua;
inline constexpr Rgb kHighlightBox = kYellow;
inline constexpr Rgb kHighlightRing = kRed;
// " Plot Tow": the towline from each fix to its tow, and the tow's mark.
inline constexpr Rgb kTowColour = kFuchsia;
inline constexpr int kBlobRadius = 5;

// Draws the plot over the view's picture. Returns the number of labels written (the rest
// would have covered others).
int DrawSurveyLog(RenderCanvas& canvas, const Projection& p, const ViewOptions& options,
    const std::vector<SurveyLogFix>& fixes, const SchemeColours& colours);

// The colour legend of the blobs: the field's name, the scale from 0 to the range, the highlight
// threshold. A null image when the view shows no blobs.
QImage SurveyLegendImage(const ViewOptions& options, const SchemeColours& colours);

// The picture with that legend in its top-right corner, as the view window shows it, so that a
// copied or printed view explains its colours too (the legend enlarged by `scale` for a page).
// The picture unchanged when the view has no legend.
QImage WithSurveyLegend(QImage picture, const ViewOptions& options, const SchemeColours& colours, int scale = 1);

// The text log of the log set in use (the folder, the base name).
std::string SurveyLogPath(const std::string& logDir, const std::string& logNameBase);

// The redraw's step: the text log in use read (through `reader` when there is one, else whole)
// and drawn. A missing or unreadable log draws nothing.
int DrawSurveyLogOf(RenderCanvas& canvas, const Projection& p, const ViewOptions& options, RenderRecords state,
    const SchemeColours& colours, SurveyLogReader* reader = nullptr);

} // namespace kv
