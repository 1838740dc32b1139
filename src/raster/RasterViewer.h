#pragma once
// The raster image viewer without its window: the picture on show with its reference data, the
// drawing layer (track, fix crosses, cursor mark, chart-point lines) on bitmaps, the zoom, the
// cursor, vessel tracking from the track log, and the commands of the viewer's pop-up menu with
// their enabling. The window (ui/RasterViewerWindow) shows what this holds, forwards the mouse
// and the menu, and runs the two timers at the intervals given here.

#include "core/Folders.h"
#include "core/Preferences.h"
#include "core/QuickLog.h"
#include "core/Settings.h"
#include "platform/Platform.h"
#include "raster/ImageReference.h"

#include <QImage>
#include <QPoint>

#include <array>
#include <optional>
#include <string>
#include <type_traits>

namespace kv::raster {

inline constexpr const char* kViewerTitle = "Raster Image Viewer";
inline constexpr const char* kSaveReferenceQuestion = "Save modified chartlet reference data file ?";
inline constexpr const char* kWriteGeoRefQuestion
    = "Write a reference file beside this image, so that it opens referenced without GDAL ?";
inline constexpr int kAutoAddIntervalMs = 2000;
// The cursor mark's arms run from 3 to 30 pixels off the point; a fix cross is 6 pixels each way.
inline constexpr int kMarkInner = 3;
inline constexpr int kMarkOuter = 30;
inline constexpr int kFixCross = 6;

enum class ImageKind { Bitmap, Jpeg };

// The pop-up menu's commands, in menu order.
enum class RasterCommand {
    ZoomIn,
    ZoomOut,
    Normal,
    OpenImage,
    ReferenceImage,
    StayOnTop,
    TrackVessel,
    ShowFixCrosses,
    PlotTrackHistory,
    ClearTrack,
    AutoPlayAudio,
    PlayAudio,
    StopAudio,
    CreateWaypoint,
    AddChartPoint,
    AutoAddChartPoints,
    Print,
    Copy,
};
inline constexpr int kRasterCommandCount = 18;

struct RasterCommandInfo {
    RasterCommand command;
    const char* name; // object name of the menu entry
    const char* caption;
    const char* shortcut; // QKeySequence text, "" for none
    bool checkable;
};
const std::array<RasterCommandInfo, kRasterCommandCount>& RasterCommands();

// The records the viewer reads: the track log, the fix interval and position display mode, the
// position text style and the charts folder.
struct RasterRecords {
    const QuickLog& quickLog;
    const Settings& settings;
    const UnitPreferences& units;
    const Folders& folders;

    template <class State>
    requires(!std::is_same_v<std::remove_const_t<State>, RasterRecords>) explicit RasterRecords(State& s)
        : quickLog(s.quickLog)
        , settings(s.settings)
        , units(s.prefs.units)
        , folders(s.folders)
    {
    }
    RasterRecords(const QuickLog& q, const Settings& st, const UnitPreferences& u, const Folders& f)
        : quickLog(q)
        , settings(st)
        , units(u)
        , folders(f)
    {
    }
};

// What the viewer asks of the chart editor. The defaults do nothing, as a viewer without a
// chart wants.
class RasterHooks {
public:
    virtual ~RasterHooks() = default;
    // The main window's "Add Chart Point" may run: one view, no track log, a chart with points,
    // chart edit mode on, the view's zoom 1 or more.
    virtual bool chartPointAllowed() const { return false; }
    // The main window's "Pen Up" is checked.
    virtual bool penUp() const { return true; }
    // Moves the shared cursor to the position and runs the chart editor's command.
    virtual void addChartPoint(double /*lat*/, double /*lon*/) { }
    virtual void addChartWaypoint(double /*lat*/, double /*lon*/) { }
};

// A decoded picture as the loader hands it over.
struct LoadedPicture {
    QImage image;
    int fullWidth = 0;
    int fullHeight = 0;
};
// The one place images are read: `want` 0 × 0 asks for the full size; a JPEG may come back
// smaller than full when that is all that is shown. Nothing and a reason in `error` when the
// file is missing, truncated or not an image.
std::optional<LoadedPicture> LoadPicture(const std::string& path, int wantWidth, int wantHeight, std::string* error);

class RasterViewer {
public:
    RasterViewer(RasterRecords records, Platform& platform, RasterHooks& hooks);

    // "Open Image File" with a chosen path. False when the picture could not be read: a message
    // names the file and the image on show stays as it was.
    bool Open(const std::string& path);
    // The name a chartlet waypoint hands over: the charts folder, the name and ".jpg" when that
    // exists, else ".bmp".
    bool OpenHandedOver(const std::string& name);
    std::string HandedOverPath(const std::string& name) const;

    // "Reference Image", after the dialog's OK with a checked reference (ReferenceFromForm):
    // applies it, reloads the picture and asks whether to save the `.ref` file.
    void ApplyReference(const ImageReference& ref);

    void ZoomInClick();
    void ZoomOutClick();
    void NormalClick();
    void StayOnTopClick() { stayOnTop_ = !stayOnTop_; }
    void TrackVesselClick();
    void ShowFixCrossesClick() { showCrosses_ = !showCrosses_; }
    void PlotTrackHistoryClick();
    void ClearTrackClick();
    void AutoPlayAudioClick() { autoPlay_ = !autoPlay_; }
    void PlayAudioClick();
    void StopAudioClick();
    void CreateWaypointClick();
    void AddChartPointClick();
    void AutoAddChartPointsClick();
    void PrintClick();
    void CopyClick();

    // The tracking timer's tick (at the fix interval) and the auto-add timer's (2000 ms).
    void TrackTimerTick();
    void AutoAddTimerTick() { AddChartPointClick(); }

    // The mouse on the image, in displayed pixels.
    void MousePress(int x, int y);
    void MouseMove(int x, int y);
    void MouseRelease(int x, int y);

    bool enabled(RasterCommand command) const;
    bool checked(RasterCommand command) const;

    // What the window shows.
    std::string caption() const { return caption_; }
    bool loaded() const { return loaded_; }
    bool referenced() const { return referenced_; }
    ImageKind kind() const { return kind_; }
    const ImageReference& reference() const { return ref_; }
    const RasterZoom& zoom() const { return zoom_; }
    const std::string& imagePath() const { return path_; }
    // The picture with everything drawn on it, at magnification 1 (for a JPEG it may be decoded
    // smaller; the window stretches it to the shown size).
    const QImage& canvas() const { return canvas_; }
    // The picture as shown: the canvas at the shown size.
    QImage displayed() const;
    ImagePoint cursor() const { return cursor_; }
    LatLong cursorPosition() const { return cursorPos_; }
    bool trackTimerRunning() const { return trackTimer_; }
    bool autoAddRunning() const { return autoAdd_; }
    int trackIntervalMs() const;
    bool stayOnTop() const { return stayOnTop_; }
    // Where the window should scroll: the point of the shown image to put in the middle of the
    // window. Taken once.
    std::optional<QPoint> takeScrollRequest();

private:
    bool LoadCanvas(const std::string& path, std::string* error);
    // Takes the corners from a georeferenced raster's own data (GeoTIFF, BSB/KAP); false when it
    // has none the viewer can use.
    bool ApplyGeoReference(const std::string& path, bool haveRefFile);
    void ReloadCanvas();
    // One zoom step in or out (the step says whether the limit allowed it).
    void StepZoom(bool (*step)(RasterZoom&));
    void CentreOnImage();
    void ScrollTo(double x, double y);
    void PlotPosition(double lat, double lon);
    void PlotTrackHistory();
    void DrawLine(ImagePoint from, ImagePoint to);
    void DrawCross(ImagePoint at);
    void ToggleCursorMark(ImagePoint at);
    void UpdateCursor(int x, int y);
    void ResetCaption();
    bool bitmapOnShow() const { return loaded_ && kind_ == ImageKind::Bitmap; }
    bool drawable() const { return bitmapOnShow() && referenced_; }

    RasterRecords records_;
    Platform& platform_;
    RasterHooks& hooks_;

    std::string path_;
    ImageKind kind_ = ImageKind::Bitmap;
    ImageReference ref_;
    bool loaded_ = false;
    bool referenced_ = false;
    RasterZoom zoom_;
    QImage picture_; // as read from the file
    QImage canvas_; // the picture with the drawings
    bool fullSize_ = false; // picture_ holds every pixel of the file
    std::string caption_ = kViewerTitle;

    ImagePoint cursor_;
    LatLong cursorPos_;
    std::optional<ImagePoint> lastAdded_;
    std::optional<ImagePoint> pen_; // where the next track line starts
    std::optional<ImagePoint> mark_; // the cursor mark on the canvas
    bool firstPoint_ = true;
    bool dragging_ = false;

    bool stayOnTop_ = true;
    bool trackVessel_ = false;
    bool trackTimer_ = false;
    bool showCrosses_ = false;
    bool autoPlay_ = true;
    bool autoAdd_ = false;
    std::optional<QPoint> scroll_;
};

} // namespace kv::raster
