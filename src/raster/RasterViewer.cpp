#include "raster/RasterViewer.h"

#include "core/Format.h"
#include "core/TextFile.h"
#include "geodesy/PositionReadout.h"
#include "raster/GeoReference.h"
#include "raster/ImageDecode.h"

#include <QColor>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace kv::raster {

namespace {

bool IsJpegName(const std::string& path)
{
    const std::string ext = ToLowerAscii(std::filesystem::path(path).extension().string());
    return ext == ".jpg" || ext == ".jpeg";
}

// Rasters that carry their own georeferencing and that Qt has no reader for.
bool IsGeoRasterName(const std::string& path)
{
    const std::string ext = ToLowerAscii(std::filesystem::path(path).extension().string());
    return ext == ".tif" || ext == ".tiff" || ext == ".kap";
}

QColor TrackColour(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

} // namespace

const std::array<RasterCommandInfo, kRasterCommandCount>& RasterCommands()
{
    static const std::array<RasterCommandInfo, kRasterCommandCount> commands { {
        { RasterCommand::ZoomIn, "ZoomIn1", "Zoom In", "F7", false },
        { RasterCommand::ZoomOut, "ZoomOut1", "Zoom Out", "F6", false },
        { RasterCommand::Normal, "Normal1", "Normal 1:1", "F8", false },
        { RasterCommand::OpenImage, "OpenImageFile1", "Open Image File", "", false },
        { RasterCommand::ReferenceImage, "ReferenceImage1", "Reference Image", "", false },
        { RasterCommand::StayOnTop, "StayOnTop1", "Stay On Top", "", true },
        { RasterCommand::TrackVessel, "TrackVessel1", "Track Vessel", "", true },
        { RasterCommand::ShowFixCrosses, "ShowFixCrosses1", "Show Fix Crosses", "", true },
        { RasterCommand::PlotTrackHistory, "PlotTrackHistory1", "Plot Track History", "", false },
        { RasterCommand::ClearTrack, "ClearTrack1", "Clear Track", "", false },
        { RasterCommand::AutoPlayAudio, "AutoPlayAudioClips1", "Auto Play Audio Clips", "", true },
        { RasterCommand::PlayAudio, "PlayAudioClip1", "Play Audio Clip", "Shift+F11", false },
        { RasterCommand::StopAudio, "StopAudioClip1", "Stop Audio Clip", "Shift+F12", false },
        { RasterCommand::CreateWaypoint, "CreateKVWaypoint1", "Create KV Waypoint", "", false },
        { RasterCommand::AddChartPoint, "AddKVChartPoint1", "Add KV Chart Point", "F9", false },
        { RasterCommand::AutoAddChartPoints, "AutoAddChartPoints1", "Auto Add Chart Points", "", true },
        { RasterCommand::Print, "PrintRasterView1", "Print Raster View", "", false },
        { RasterCommand::Copy, "CopyRasterView1", "Copy Raster View", "", false },
    } };
    return commands;
}

std::optional<LoadedPicture> LoadPicture(const std::string& path, int wantWidth, int wantHeight, std::string* error)
{
    // GeoTIFF and BSB/KAP files go through GDAL there when the build has it.
    std::optional<DecodedImage> decoded = DecodeImage(path, wantWidth, wantHeight, error);
    if (!decoded) {
        return std::nullopt;
    }
    // Drawing on it needs 32-bit pixels (the cursor mark inverts them in place).
    return LoadedPicture { decoded->image.convertToFormat(QImage::Format_RGB32), decoded->full.width,
        decoded->full.height };
}

RasterViewer::RasterViewer(RasterRecords records, Platform& platform, RasterHooks& hooks)
    : records_(records)
    , platform_(platform)
    , hooks_(hooks)
{
}

bool RasterViewer::LoadCanvas(const std::string& path, std::string* error)
{
    // A JPEG is only shown, never drawn on: below magnification 1 it is decoded at the size it
    // is shown, which keeps a large scan quick to open and small in memory.
    int wantWidth = 0;
    int wantHeight = 0;
    if (IsJpegName(path) && zoom_.zoom < 1.0) {
        wantWidth = zoom_.shown_width;
        wantHeight = zoom_.shown_height;
    }
    const std::optional<LoadedPicture> picture = LoadPicture(path, wantWidth, wantHeight, error);
    if (!picture) {
        return false;
    }
    picture_ = picture->image;
    fullSize_ = picture_.width() >= picture->fullWidth && picture_.height() >= picture->fullHeight;
    canvas_ = picture_;
    mark_.reset();
    return true;
}

void RasterViewer::ReloadCanvas()
{
    if (!loaded_) {
        return;
    }
    // A JPEG decoded whole serves every magnification of 1 or more as it is.
    if (kind_ == ImageKind::Jpeg && !(fullSize_ && zoom_.zoom >= 1.0)) {
        std::string ignored;
        // The shown size changed: decode again for it; keep the old picture when that fails.
        if (LoadCanvas(path_, &ignored)) {
            return;
        }
    }
    canvas_ = picture_;
    mark_.reset();
}

bool RasterViewer::Open(const std::string& path)
{
    const bool jpeg = IsJpegName(path);
    // Read first: a picture that cannot be shown leaves the one on show as it was.
    const RasterZoom before = zoom_;
    zoom_ = RasterZoom {};
    std::string error;
    if (!LoadCanvas(path, &error)) {
        zoom_ = before;
        platform_.prompter.warning(error);
        return false;
    }
    trackTimer_ = false;
    trackVessel_ = false;
    referenced_ = false;
    path_ = path;
    kind_ = jpeg ? ImageKind::Jpeg : ImageKind::Bitmap;
    loaded_ = true;
    firstPoint_ = true;
    pen_.reset();
    lastAdded_.reset();
    ResetCaption();

    const RefReadResult read = ReadRefFile(RefPathFor(path));
    ref_ = read.ref;
    if (ApplyGeoReference(path, read.status == RefRead::Read)) {
        // The corners came from the file's own georeferencing.
    } else if (read.status != RefRead::Read) {
        // No usable reference: the image's own size, so that referencing it starts from there.
        ref_.height = canvas_.height();
        ref_.width = canvas_.width();
        if (read.status == RefRead::Refused) {
            platform_.prompter.warning("The reference file " + RefPathFor(path) + " was not used: " + read.problem
                + ". The image is shown without reference data.");
        }
    }
    // A new image always starts at magnification 1, referenced or not.
    zoom_.zoom = 1.0;
    zoom_.shown_height = ref_.height;
    zoom_.shown_width = ref_.width;
    cursor_ = ImagePoint {};
    CentreOnImage();
    referenced_ = Referenced(ref_);
    if (!records_.quickLog.empty()) {
        const QuickLogRecord& newest = records_.quickLog.at(records_.quickLog.count());
        PlotPosition(newest.lat, newest.lon);
    }
    if (ref_.has_audio == 1 && autoPlay_) {
        PlayAudioClick();
    }
    return true;
}

bool RasterViewer::ApplyGeoReference(const std::string& path, bool haveRefFile)
{
    if (!IsGeoRasterName(path) || !GeoReferenceAvailable()) {
        return false;
    }
    const GeoReadResult geo = ReadGeoReference(path);
    if (!geo.corners) {
        // A raster placed in a way the viewer's straight scaling cannot follow says why; one
        // without any georeferencing is an ordinary picture, for which a .ref file may exist.
        if (geo.problem == GeoProblem::Rotated || geo.problem == GeoProblem::NotWgs84
            || geo.problem == GeoProblem::OutOfRange) {
            platform_.prompter.warning(geo.message);
        }
        return false;
    }
    // The pen, offsets and clip of a .ref file still apply; the corners are the file's own.
    ref_.height = geo.corners->height;
    ref_.width = geo.corners->width;
    ref_.nw_lat = geo.corners->nwLat;
    ref_.nw_lon = geo.corners->nwLon;
    ref_.se_lat = geo.corners->seLat;
    ref_.se_lon = geo.corners->seLon;
    if (!haveRefFile && platform_.prompter.confirm(kWriteGeoRefQuestion)) {
        const std::string refPath = RefPathFor(path);
        if (!WriteRefFile(refPath, ref_)) {
            platform_.prompter.error("The reference file " + refPath + " could not be written.");
        }
    }
    return true;
}

std::string RasterViewer::HandedOverPath(const std::string& name) const
{
    std::string folder = records_.folders.ChartDir.str();
    if (!folder.empty() && folder.back() != '/') {
        folder += '/';
    }
    const std::string jpeg = folder + name + ".jpg";
    return FileExists(jpeg) ? jpeg : folder + name + ".bmp";
}

bool RasterViewer::OpenHandedOver(const std::string& name)
{
    return Open(HandedOverPath(name));
}

void RasterViewer::ApplyReference(const ImageReference& ref)
{
    ref_ = ref;
    zoom_ = RasterZoom { 1.0, ref_.height, ref_.width };
    ReloadCanvas();
    firstPoint_ = true;
    CentreOnImage();
    if (platform_.prompter.confirm(kSaveReferenceQuestion)) {
        const std::string refPath = RefPathFor(path_);
        if (!WriteRefFile(refPath, ref_)) {
            platform_.prompter.error("The reference file " + refPath + " could not be written.");
        }
    }
    referenced_ = Referenced(ref_);
}

void RasterViewer::CentreOnImage()
{
    ScrollTo(zoom_.shown_width / 2.0, zoom_.shown_height / 2.0);
}

void RasterViewer::ScrollTo(double x, double y)
{
    scroll_ = QPoint(static_cast<int>(RoundHalfEven(x)), static_cast<int>(RoundHalfEven(y)));
}

std::optional<QPoint> RasterViewer::takeScrollRequest()
{
    std::optional<QPoint> request = scroll_;
    scroll_.reset();
    return request;
}

void RasterViewer::ResetCaption()
{
    caption_ = std::string(kViewerTitle) + " (" + ImageBaseName(path_) + ")";
}

void RasterViewer::ZoomInClick()
{
    StepZoom(ZoomIn);
}

void RasterViewer::ZoomOutClick()
{
    StepZoom(ZoomOut);
}

void RasterViewer::StepZoom(bool (*step)(RasterZoom&))
{
    if (!loaded_) {
        return;
    }
    // At either limit the picture stays as it is and the user hears why nothing happened.
    if (!step(zoom_)) {
        platform_.prompter.beep(Beep::Default);
        return;
    }
    ScrollTo(cursor_.x * zoom_.zoom, cursor_.y * zoom_.zoom);
    ReloadCanvas();
    PlotTrackHistory();
    cursor_ = ImagePoint {};
}

void RasterViewer::NormalClick()
{
    if (!loaded_) {
        return;
    }
    zoom_ = RasterZoom { 1.0, ref_.height, ref_.width };
    ReloadCanvas();
    CentreOnImage();
    PlotTrackHistory();
    ResetCaption();
    cursor_ = ImagePoint {};
}

int RasterViewer::trackIntervalMs() const
{
    return static_cast<int>(std::max<std::uint32_t>(records_.settings.fix.FixIntervalMs, 100));
}

void RasterViewer::TrackVesselClick()
{
    trackVessel_ = !trackVessel_;
    if (trackVessel_) {
        PlotTrackHistory();
        firstPoint_ = true;
    }
    trackTimer_ = trackVessel_;
}

void RasterViewer::TrackTimerTick()
{
    if (!referenced_ || records_.quickLog.empty()) {
        return;
    }
    const QuickLogRecord& newest = records_.quickLog.at(records_.quickLog.count());
    PlotPosition(newest.lat, newest.lon);
}

void RasterViewer::PlotPosition(double lat, double lon)
{
    if (!referenced_ || !loaded_) {
        return;
    }
    const ImagePoint p = PlotPixel(ref_, lat, lon);
    if (firstPoint_ || !pen_) {
        pen_ = p;
        firstPoint_ = false;
    }
    DrawLine(*pen_, p);
    pen_ = p;
    if (showCrosses_) {
        DrawCross(p);
    }
    if (trackVessel_ && !records_.quickLog.empty()) {
        ScrollTo(p.x * zoom_.zoom, p.y * zoom_.zoom);
    }
}

void RasterViewer::PlotTrackHistory()
{
    if (!referenced_) {
        return;
    }
    firstPoint_ = true;
    for (const QuickLogRecord& record : records_.quickLog) {
        PlotPosition(record.lat, record.lon);
    }
}

void RasterViewer::PlotTrackHistoryClick()
{
    if (drawable()) {
        PlotTrackHistory();
    }
}

void RasterViewer::ClearTrackClick()
{
    if (!drawable()) {
        return;
    }
    // Back to the picture as read: the track, crosses and marks go.
    canvas_ = picture_;
    mark_.reset();
    firstPoint_ = true;
}

void RasterViewer::DrawLine(ImagePoint from, ImagePoint to)
{
    if (kind_ != ImageKind::Bitmap || canvas_.isNull()) {
        return;
    }
    QPainter painter(&canvas_);
    painter.setPen(QPen(TrackColour(ref_.track_colour), std::max(ref_.track_width, 1), Qt::SolidLine, Qt::RoundCap));
    if (from == to) {
        painter.drawPoint(to.x, to.y);
    } else {
        painter.drawLine(from.x, from.y, to.x, to.y);
    }
}

void RasterViewer::DrawCross(ImagePoint at)
{
    if (kind_ != ImageKind::Bitmap || canvas_.isNull()) {
        return;
    }
    QPainter painter(&canvas_);
    painter.setPen(QPen(TrackColour(ref_.track_colour), std::max(ref_.track_width, 1)));
    painter.drawLine(at.x - kFixCross, at.y, at.x + kFixCross, at.y);
    painter.drawLine(at.x, at.y - kFixCross, at.x, at.y + kFixCross);
}

void RasterViewer::ToggleCursorMark(ImagePoint at)
{
    if (kind_ != ImageKind::Bitmap || canvas_.isNull()) {
        return;
    }
    // Inverting pixels: the same mark drawn twice leaves the picture as it was. Each pixel is
    // inverted once per drawing, so the arms are set pixel by pixel rather than as lines whose
    // ends might overlap.
    const int w = canvas_.width();
    const int h = canvas_.height();
    auto invert = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < w && y < h) {
            canvas_.setPixel(x, y, canvas_.pixel(x, y) ^ 0x00FFFFFFu);
        }
    };
    for (int d = kMarkInner; d <= kMarkOuter; ++d) {
        invert(at.x - d, at.y);
        invert(at.x + d, at.y);
        invert(at.x, at.y - d);
        invert(at.x, at.y + d);
    }
}

void RasterViewer::UpdateCursor(int x, int y)
{
    if (!loaded_ || zoom_.zoom <= 0.0) {
        return;
    }
    cursor_ = ImagePoint { static_cast<int>(RoundHalfEven(x / zoom_.zoom)),
        static_cast<int>(RoundHalfEven(y / zoom_.zoom)) };
    if (referenced_) {
        cursorPos_ = ShownPixelPosition(ref_, x, y, zoom_.shown_width, zoom_.shown_height);
        caption_ = PositionReadout(
            cursorPos_.lat, cursorPos_.lon, 3, records_.settings.PositionDisplayMode, records_.units.DecimalStyle);
    }
    if (kind_ == ImageKind::Bitmap) {
        if (mark_) {
            ToggleCursorMark(*mark_);
        }
        ToggleCursorMark(cursor_);
        mark_ = cursor_;
    }
}

void RasterViewer::MousePress(int x, int y)
{
    trackTimer_ = false;
    dragging_ = true;
    UpdateCursor(x, y);
}

void RasterViewer::MouseMove(int x, int y)
{
    if (dragging_) {
        UpdateCursor(x, y);
    }
}

void RasterViewer::MouseRelease(int x, int y)
{
    UpdateCursor(x, y);
    dragging_ = false;
    firstPoint_ = true;
    trackTimer_ = trackVessel_;
}

void RasterViewer::PlayAudioClick()
{
    if (path_.empty()) {
        return;
    }
    platform_.sound.stop();
    platform_.sound.play(AudioPathFor(path_));
}

void RasterViewer::StopAudioClick()
{
    platform_.sound.stop();
}

void RasterViewer::CreateWaypointClick()
{
    if (drawable()) {
        hooks_.addChartWaypoint(cursorPos_.lat, cursorPos_.lon);
    }
}

void RasterViewer::AddChartPointClick()
{
    if (!drawable() || !hooks_.chartPointAllowed()) {
        return;
    }
    if (lastAdded_ && *lastAdded_ == cursor_) {
        return; // the cursor has not moved since the last point added from here
    }
    hooks_.addChartPoint(cursorPos_.lat, cursorPos_.lon);
    const ImagePoint from = lastAdded_.value_or(cursor_);
    if (!hooks_.penUp()) {
        // The cursor mark must not be inverted back over the new line.
        const std::optional<ImagePoint> mark = mark_;
        if (mark) {
            ToggleCursorMark(*mark);
        }
        DrawLine(from, cursor_);
        if (mark) {
            ToggleCursorMark(*mark);
        }
    }
    lastAdded_ = cursor_;
    if (showCrosses_) {
        DrawCross(cursor_);
    }
    ScrollTo(cursor_.x * zoom_.zoom, cursor_.y * zoom_.zoom);
}

void RasterViewer::AutoAddChartPointsClick()
{
    autoAdd_ = !autoAdd_;
}

QImage RasterViewer::displayed() const
{
    if (!loaded_ || canvas_.isNull()) {
        return {};
    }
    if (canvas_.width() == zoom_.shown_width && canvas_.height() == zoom_.shown_height) {
        return canvas_;
    }
    return canvas_.scaled(zoom_.shown_width, zoom_.shown_height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

void RasterViewer::PrintClick()
{
    if (loaded_) {
        platform_.printer.printFitted(displayed());
    }
}

void RasterViewer::CopyClick()
{
    if (loaded_) {
        platform_.clipboard.setImage(displayed());
    }
}

bool RasterViewer::enabled(RasterCommand command) const
{
    switch (command) {
    case RasterCommand::ZoomIn:
    case RasterCommand::ZoomOut:
    case RasterCommand::Normal:
    case RasterCommand::ReferenceImage:
    case RasterCommand::Print:
    case RasterCommand::Copy:
        return loaded_;
    case RasterCommand::OpenImage:
    case RasterCommand::StayOnTop:
    case RasterCommand::AutoPlayAudio:
        return true;
    case RasterCommand::TrackVessel:
    case RasterCommand::ShowFixCrosses:
        return bitmapOnShow();
    case RasterCommand::PlotTrackHistory:
    case RasterCommand::ClearTrack:
    case RasterCommand::CreateWaypoint:
        return drawable();
    case RasterCommand::PlayAudio:
    case RasterCommand::StopAudio:
        return loaded_ && ref_.has_audio == 1;
    case RasterCommand::AddChartPoint:
    case RasterCommand::AutoAddChartPoints:
        return drawable() && hooks_.chartPointAllowed();
    }
    return false;
}

bool RasterViewer::checked(RasterCommand command) const
{
    switch (command) {
    case RasterCommand::StayOnTop:
        return stayOnTop_;
    case RasterCommand::TrackVessel:
        return trackVessel_;
    case RasterCommand::ShowFixCrosses:
        return showCrosses_;
    case RasterCommand::AutoPlayAudio:
        return autoPlay_;
    case RasterCommand::AutoAddChartPoints:
        return autoAdd_;
    default:
        return false;
    }
}

} // namespace kv::raster
