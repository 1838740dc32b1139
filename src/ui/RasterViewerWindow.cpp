#include "ui/RasterViewerWindow.h"

#include "geodesy/PositionText.h"
#include "raster/GeoReference.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace kvui {

namespace {

using kv::raster::RasterCommand;

QString Latin1Text(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Latin1Bytes(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

} // namespace

// ---------------------------------------------------------------------------------------------

RasterCanvas::RasterCanvas(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("RasterImage"));
    setContextMenuPolicy(Qt::DefaultContextMenu);
}

void RasterCanvas::setPicture(const QImage& image, QSize shown)
{
    picture_ = image;
    setFixedSize(shown.expandedTo(QSize(1, 1)));
    update();
}

void RasterCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(rect(), palette().window());
        return;
    }
    painter.setClipRegion(event->region());
    painter.drawImage(rect(), picture_);
}

void RasterCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && onPress) {
        onPress(event->position().toPoint().x(), event->position().toPoint().y());
    }
}

void RasterCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if ((event->buttons() & Qt::LeftButton) && onMove) {
        onMove(event->position().toPoint().x(), event->position().toPoint().y());
    }
}

void RasterCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && onRelease) {
        onRelease(event->position().toPoint().x(), event->position().toPoint().y());
    }
}

// ---------------------------------------------------------------------------------------------

namespace {

void TypedPosition(QLineEdit* edit, bool longitude)
{
    kv::PositionField field { Latin1Bytes(edit->text()), static_cast<std::size_t>(edit->cursorPosition()) };
    field = kv::PositionFieldChange(std::move(field), longitude);
    edit->setText(Latin1Text(field.text));
    edit->setCursorPosition(static_cast<int>(field.caret));
}

} // namespace

ReferenceDialog::ReferenceDialog(const kv::raster::ReferenceForm& form, bool bitmap, const std::string& imagePath,
    kv::Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("ReferenceDialog"));
    setWindowTitle(QStringLiteral("Image Reference Information"));
    auto* layout = new QFormLayout;
    auto line = [this](const char* name, const std::string& text) {
        auto* edit = new QLineEdit(Latin1Text(text), this);
        edit->setObjectName(QLatin1String(name));
        return edit;
    };
    height_ = line("ImageHeight", form.height);
    width_ = line("ImageWidth", form.width);
    nwLat_ = line("NWLat", form.nwLat);
    nwLon_ = line("NWLong", form.nwLon);
    seLat_ = line("SELat", form.seLat);
    seLon_ = line("SELong", form.seLon);
    // The corners are typed as every other position: digits and the hemisphere letter, the
    // degree sign and the point supplied.
    for (QLineEdit* edit : { nwLat_, seLat_ }) {
        edit->setMaxLength(12);
        connect(edit, &QLineEdit::textEdited, this, [edit] { TypedPosition(edit, false); });
    }
    for (QLineEdit* edit : { nwLon_, seLon_ }) {
        edit->setMaxLength(13);
        connect(edit, &QLineEdit::textEdited, this, [edit] { TypedPosition(edit, true); });
    }
    colour_ = new QComboBox(this);
    colour_->setObjectName(QStringLiteral("TrackColour"));
    colour_->addItems(
        { QStringLiteral("Red"), QStringLiteral("Black"), QStringLiteral("Blue"), QStringLiteral("Green") });
    colour_->setCurrentIndex(form.colourChoice);
    thickness_ = new QComboBox(this);
    thickness_->setObjectName(QStringLiteral("Thickness"));
    thickness_->addItems({ QStringLiteral("Thin"), QStringLiteral("Thick") });
    thickness_->setCurrentIndex(form.thicknessChoice);
    auto spin = [this](const char* name, int value) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(-kv::raster::kOffsetLimit, kv::raster::kOffsetLimit);
        box->setValue(value);
        return box;
    };
    latOffset_ = spin("LatOffset", form.latOffset);
    lonOffset_ = spin("LongOffset", form.lonOffset);
    const QString base = QString::fromStdString(kv::raster::ImageBaseName(imagePath));
    audio_ = new QCheckBox(QStringLiteral("This Image File has an associated audio clip \"%1.wav\" :").arg(base), this);
    audio_->setObjectName(QStringLiteral("HasAudio"));
    audio_->setChecked(form.hasAudio);
    auto* name = new QLineEdit(QString::fromStdString(imagePath), this);
    name->setObjectName(QStringLiteral("ImageFileName"));
    name->setReadOnly(true);

    layout->addRow(QStringLiteral("Image Height Pixels"), height_);
    layout->addRow(QStringLiteral("Image Width Pixels"), width_);
    layout->addRow(QStringLiteral("North West Corner Lat"), nwLat_);
    layout->addRow(QStringLiteral("North West Corner Long"), nwLon_);
    layout->addRow(QStringLiteral("South East Corner Lat"), seLat_);
    layout->addRow(QStringLiteral("South East Corner Long"), seLon_);
    layout->addRow(QStringLiteral("Track Colour"), colour_);
    layout->addRow(QStringLiteral("Thickness"), thickness_);
    layout->addRow(QStringLiteral("Lat Offset"), latOffset_);
    layout->addRow(QStringLiteral("Long Offset"), lonOffset_);
    layout->addRow(audio_);
    layout->addRow(QStringLiteral("Image File Name"), name);
    // Positions, pen and offsets mean something only where the viewer can draw.
    for (QWidget* w : std::initializer_list<QWidget*> {
             nwLat_, nwLon_, seLat_, seLon_, colour_, thickness_, latOffset_, lonOffset_ }) {
        w->setEnabled(bitmap);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(layout);
    outer->addWidget(buttons);
}

kv::raster::ReferenceForm ReferenceDialog::form() const
{
    kv::raster::ReferenceForm f;
    f.height = Latin1Bytes(height_->text());
    f.width = Latin1Bytes(width_->text());
    f.nwLat = Latin1Bytes(nwLat_->text());
    f.nwLon = Latin1Bytes(nwLon_->text());
    f.seLat = Latin1Bytes(seLat_->text());
    f.seLon = Latin1Bytes(seLon_->text());
    f.colourChoice = colour_->currentIndex();
    f.thicknessChoice = thickness_->currentIndex();
    f.latOffset = latOffset_->value();
    f.lonOffset = lonOffset_->value();
    f.hasAudio = audio_->isChecked();
    return f;
}

void ReferenceDialog::accept()
{
    std::string problem;
    const std::optional<kv::raster::ImageReference> ref = kv::raster::ReferenceFromForm(form(), &problem);
    if (!ref) {
        // The dialog stays open on what was typed, so it can be put right.
        prompter_.warning(problem);
        return;
    }
    result_ = *ref;
    QDialog::accept();
}

// ---------------------------------------------------------------------------------------------

RasterViewerWindow::RasterViewerWindow(
    kv::raster::RasterRecords records, kv::Platform& platform, kv::raster::RasterHooks& hooks, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
    , platform_(platform)
    , folders_(records.folders)
    , viewer_(records, platform, hooks)
{
    setObjectName(QStringLiteral("RasterViewer"));
    setWindowTitle(QLatin1String(kv::raster::kViewerTitle));
    resize(640, 480);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("RasterScroll"));
    scroll_->setAlignment(Qt::AlignCenter);
    canvas_ = new RasterCanvas;
    canvas_->setFixedSize(1, 1);
    scroll_->setWidget(canvas_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);

    canvas_->onPress = [this](int x, int y) {
        viewer_.MousePress(x, y);
        sync();
    };
    canvas_->onMove = [this](int x, int y) {
        viewer_.MouseMove(x, y);
        sync();
    };
    canvas_->onRelease = [this](int x, int y) {
        viewer_.MouseRelease(x, y);
        sync();
    };

    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("RasterPopup"));
    for (const kv::raster::RasterCommandInfo& info : kv::raster::RasterCommands()) {
        QAction* action = menu_->addAction(QLatin1String(info.caption));
        action->setObjectName(QLatin1String(info.name));
        action->setCheckable(info.checkable);
        if (info.shortcut[0] != '\0') {
            action->setShortcut(QKeySequence(QLatin1String(info.shortcut)));
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        }
        const RasterCommand c = info.command;
        connect(action, &QAction::triggered, this, [this, c] { run(c); });
        addAction(action); // the shortcuts work while the window has the focus
        actions_[c] = action;
    }
    connect(menu_, &QMenu::aboutToShow, this, [this] { refreshMenu(); });
    canvas_->setContextMenuPolicy(Qt::CustomContextMenu);
    scroll_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto popup = [this](QWidget* from, const QPoint& at) { menu_->popup(from->mapToGlobal(at)); };
    connect(
        canvas_, &QWidget::customContextMenuRequested, this, [this, popup](const QPoint& at) { popup(canvas_, at); });
    connect(
        scroll_, &QWidget::customContextMenuRequested, this, [this, popup](const QPoint& at) { popup(scroll_, at); });

    trackTimer_ = new QTimer(this);
    trackTimer_->setObjectName(QStringLiteral("TrackTimer"));
    connect(trackTimer_, &QTimer::timeout, this, [this] {
        viewer_.TrackTimerTick();
        sync();
    });
    autoAddTimer_ = new QTimer(this);
    autoAddTimer_->setObjectName(QStringLiteral("AutoAddTimer"));
    autoAddTimer_->setInterval(kv::raster::kAutoAddIntervalMs);
    connect(autoAddTimer_, &QTimer::timeout, this, [this] {
        viewer_.AutoAddTimerTick();
        sync();
    });

    chooseImage = [this](const QString& folder) {
        QString filter = QStringLiteral("Bitmap Files (*.bmp);;JPEG Files (*.jpg)");
        if (kv::raster::GeoReferenceAvailable()) {
            filter += QStringLiteral(";;GeoTIFF and BSB/KAP Files (*.tif *.tiff *.kap)");
        }
        return QFileDialog::getOpenFileName(this, QStringLiteral("Open Image File"), folder, filter);
    };
    execDialog = [](QDialog& dialog) { return dialog.exec(); };
    refreshMenu();
}

RasterViewerWindow::~RasterViewerWindow() = default;

QAction* RasterViewerWindow::command(RasterCommand c) const
{
    const auto it = actions_.find(c);
    return it == actions_.end() ? nullptr : it->second;
}

void RasterViewerWindow::showViewer()
{
    show();
    raise();
    sync();
}

void RasterViewerWindow::showHandedOver(const std::string& name)
{
    hide();
    viewer_.OpenHandedOver(name);
    showViewer();
}

void RasterViewerWindow::refreshMenu()
{
    for (const auto& [c, action] : actions_) {
        action->setEnabled(viewer_.enabled(c));
        if (action->isCheckable()) {
            action->setChecked(viewer_.checked(c));
        }
    }
}

void RasterViewerWindow::run(RasterCommand c)
{
    using kv::raster::RasterViewer;
    // A shortcut reaches a command the menu would show greyed: it does nothing then.
    if (!viewer_.enabled(c)) {
        return;
    }
    switch (c) {
    case RasterCommand::ZoomIn:
        viewer_.ZoomInClick();
        break;
    case RasterCommand::ZoomOut:
        viewer_.ZoomOutClick();
        break;
    case RasterCommand::Normal:
        viewer_.NormalClick();
        break;
    case RasterCommand::OpenImage:
        openImageFile();
        break;
    case RasterCommand::ReferenceImage:
        referenceImage();
        break;
    case RasterCommand::StayOnTop: {
        viewer_.StayOnTopClick();
        const bool shown = isVisible();
        setWindowFlag(Qt::WindowStaysOnTopHint, viewer_.stayOnTop());
        if (shown) {
            show();
        }
        break;
    }
    case RasterCommand::TrackVessel:
        viewer_.TrackVesselClick();
        break;
    case RasterCommand::ShowFixCrosses:
        viewer_.ShowFixCrossesClick();
        break;
    case RasterCommand::PlotTrackHistory:
        viewer_.PlotTrackHistoryClick();
        break;
    case RasterCommand::ClearTrack:
        viewer_.ClearTrackClick();
        break;
    case RasterCommand::AutoPlayAudio:
        viewer_.AutoPlayAudioClick();
        break;
    case RasterCommand::PlayAudio:
        viewer_.PlayAudioClick();
        break;
    case RasterCommand::StopAudio:
        viewer_.StopAudioClick();
        break;
    case RasterCommand::CreateWaypoint:
        viewer_.CreateWaypointClick();
        break;
    case RasterCommand::AddChartPoint:
        viewer_.AddChartPointClick();
        break;
    case RasterCommand::AutoAddChartPoints:
        viewer_.AutoAddChartPointsClick();
        break;
    case RasterCommand::Print:
        viewer_.PrintClick();
        break;
    case RasterCommand::Copy:
        viewer_.CopyClick();
        break;
    }
    sync();
}

void RasterViewerWindow::openImageFile()
{
    const QString path = chooseImage(QString::fromStdString(folders_.ChartDir.str()));
    if (!path.isEmpty()) {
        viewer_.Open(path.toStdString());
    }
}

void RasterViewerWindow::referenceImage()
{
    ReferenceDialog dialog(kv::raster::FormFromReference(viewer_.reference()),
        viewer_.kind() == kv::raster::ImageKind::Bitmap, viewer_.imagePath(), platform_.prompter, this);
    if (execDialog(dialog) == QDialog::Accepted) {
        viewer_.ApplyReference(dialog.result());
    }
}

void RasterViewerWindow::sync()
{
    setWindowTitle(Latin1Text(viewer_.caption()));
    const kv::raster::RasterZoom& z = viewer_.zoom();
    if (viewer_.loaded()) {
        canvas_->setPicture(viewer_.canvas(), QSize(z.shown_width, z.shown_height));
    }
    if (const std::optional<QPoint> centre = viewer_.takeScrollRequest()) {
        QScrollBar* h = scroll_->horizontalScrollBar();
        QScrollBar* v = scroll_->verticalScrollBar();
        h->setRange(0, std::max(0, z.shown_width - scroll_->viewport()->width()));
        v->setRange(0, std::max(0, z.shown_height - scroll_->viewport()->height()));
        h->setValue(centre->x() - scroll_->viewport()->width() / 2);
        v->setValue(centre->y() - scroll_->viewport()->height() / 2);
    }
    // The tracking timer follows the fix interval as it stands now.
    const int interval = viewer_.trackIntervalMs();
    if (viewer_.trackTimerRunning()) {
        if (!trackTimer_->isActive() || trackTimer_->interval() != interval) {
            trackTimer_->start(interval);
        }
    } else {
        trackTimer_->stop();
    }
    if (viewer_.autoAddRunning() != autoAddTimer_->isActive()) {
        if (viewer_.autoAddRunning()) {
            autoAddTimer_->start();
        } else {
            autoAddTimer_->stop();
        }
    }
    refreshMenu();
}

} // namespace kvui
