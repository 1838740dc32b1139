#include "ui/WaypointEditDialog.h"
#include "app/HelpTopics.h"
#include "ui/HelpWindow.h"

#include "ui/UiText.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace kvui {

namespace {
constexpr int kPreviewSize = 40;
std::string Bytes(const QString& text)
{
    return text.toLatin1().toStdString();
}
} // namespace

WaypointEditDialog::WaypointEditDialog(
    kv::WaypointDialogModel& model, const kv::Settings& settings, kv::Prompter& prompter, QWidget* parent)
    : QDialog(parent)
    , model_(model)
    , settings_(settings)
    , prompter_(prompter)
{
    setObjectName(QStringLiteral("WPEditDlg"));
    auto* grid = new QGridLayout(this);
    const auto edit = [this](const char* name, int length) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(length);
        return e;
    };
    grid->addWidget(new QLabel(QStringLiteral("Description"), this), 0, 0);
    desc_ = edit("WPdesc", static_cast<int>(kv::kWPdescLength));
    grid->addWidget(desc_, 0, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Lat"), this), 1, 0);
    lat_ = edit("Latitude", static_cast<int>(kv::kLatitudeTextLength));
    grid->addWidget(lat_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Long"), this), 1, 2);
    lon_ = edit("Longitude", static_cast<int>(kv::kLongitudeTextLength));
    grid->addWidget(lon_, 1, 3);
    eastLabel_ = new QLabel(this);
    grid->addWidget(eastLabel_, 2, 0);
    east_ = edit("Easting", 16);
    grid->addWidget(east_, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Northing"), this), 2, 2);
    north_ = edit("Northing", 16);
    grid->addWidget(north_, 2, 3);
    for (QLineEdit* e : { lat_, lon_, east_, north_ }) {
        e->installEventFilter(this);
    }
    connect(lat_, &QLineEdit::textEdited, this, [this] { typed(lat_, false); });
    connect(lon_, &QLineEdit::textEdited, this, [this] { typed(lon_, true); });

    grid->addWidget(new QLabel(QStringLiteral("Shape"), this), 3, 0);
    shape_ = new QComboBox(this);
    shape_->setObjectName(QStringLiteral("WPShape"));
    for (const std::string& entry : kv::WaypointShapeEntries()) {
        shape_->addItem(Latin1(entry));
    }
    connect(shape_, &QComboBox::activated, this, [this](int index) {
        readFields();
        model_.ChooseShape(Bytes(shape_->itemText(index)));
        showFields();
    });
    grid->addWidget(shape_, 3, 1, 1, 2);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("ImagePanel"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    auto* pl = new QHBoxLayout(panel);
    pl->setContentsMargins(1, 1, 1, 1);
    image_ = new QLabel(panel);
    image_->setObjectName(QStringLiteral("Image1"));
    image_->setFixedSize(kPreviewSize, kPreviewSize);
    pl->addWidget(image_);
    grid->addWidget(panel, 3, 3, 2, 1, Qt::AlignLeft);
    label5_ = new QLabel(this);
    label5_->setObjectName(QStringLiteral("Label5"));
    grid->addWidget(label5_, 4, 0);
    radius_ = edit("Radius", static_cast<int>(kv::kRadiusLength));
    radius_->setMaximumWidth(40);
    connect(radius_, &QLineEdit::textEdited, this, [this] {
        readFields(); // the other fields as typed so far, with the new R#
        showFields(); // the preview follows R#
    });
    grid->addWidget(radius_, 4, 1, Qt::AlignLeft);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("No.Wps="), this));
    nwps_ = new QLabel(this);
    nwps_->setObjectName(QStringLiteral("Nwps"));
    nwps_->setFrameShape(QFrame::Panel);
    nwps_->setFrameShadow(QFrame::Sunken);
    buttons->addWidget(nwps_);
    buttons->addStretch(1);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setToolTip(ShortHint(kv::kSaveChangesHint));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    // HelpBtnClick: the dialog's page of the manual; F1 does the same.
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("HelpBtn"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setAutoDefault(false);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, kv::kHelpWaypointDialog); });
    buttons->addWidget(help);
    grid->addLayout(buttons, 5, 0, 1, 4);

    // Showing the dialog runs the shape change once.
    model_.WPShapeChange();
    showFields();
}

void WaypointEditDialog::showFields()
{
    showing_ = true;
    const kv::WaypointDialogFields& f = model_.fields;
    setWindowTitle(Latin1(f.Caption));
    desc_->setText(Latin1(f.WPdesc));
    if (lat_->text() != Latin1(f.position.Latitude)) {
        lat_->setText(Latin1(f.position.Latitude));
    }
    if (lon_->text() != Latin1(f.position.Longitude)) {
        lon_->setText(Latin1(f.position.Longitude));
    }
    east_->setText(Latin1(f.position.Easting));
    north_->setText(Latin1(f.position.Northing));
    east_->setReadOnly(!model_.GridEditable());
    north_->setReadOnly(!model_.GridEditable());
    eastLabel_->setText(Latin1(model_.EastingCaption()));
    const int index = shape_->findText(Latin1(f.WPShape));
    if (index >= 0) {
        shape_->setCurrentIndex(index);
    } else {
        // A text that is no entry (the initial "00   Medium Cross +") selects its symbol's entry.
        shape_->setCurrentIndex(std::max(0, model_.CurrentSymbol));
    }
    radius_->setText(Latin1(f.Radius));
    radius_->setEnabled(f.RadiusEnabled);
    // The list's window colour when enabled, the inactive-border grey otherwise.
    const QPalette application = QApplication::palette();
    QPalette palette = radius_->palette();
    palette.setColor(QPalette::Base, application.color(f.RadiusEnabled ? QPalette::Base : QPalette::Window));
    radius_->setPalette(palette);
    label5_->setText(Latin1(f.Label5));
    nwps_->setText(QString::number(f.Nwps));
    image_->setPixmap(QPixmap::fromImage(model_.Preview(settings_, kPreviewSize, kPreviewSize)));
    showing_ = false;
}

void WaypointEditDialog::readFields()
{
    model_.SetDescription(Bytes(desc_->text()));
    model_.fields.position.Latitude = Bytes(lat_->text());
    model_.fields.position.Longitude = Bytes(lon_->text());
    model_.fields.position.Easting = Bytes(east_->text());
    model_.fields.position.Northing = Bytes(north_->text());
    model_.SetRadius(Bytes(radius_->text()));
}

void WaypointEditDialog::typed(QLineEdit* edit, bool longitude)
{
    kv::PositionField field { Bytes(edit->text()), static_cast<std::size_t>(edit->cursorPosition()) };
    field = longitude ? model_.LongitudeChange(field) : model_.LatitudeChange(field);
    edit->setText(Latin1(field.text));
    edit->setCursorPosition(static_cast<int>(field.caret));
}

bool WaypointEditDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && !showing_) {
        readFields();
        if (watched == lat_ || watched == lon_) {
            model_.ToOSClick();
        } else {
            model_.ToLatLongClick();
        }
        showFields();
    }
    return QDialog::eventFilter(watched, event);
}

void WaypointEditDialog::done(int result)
{
    readFields();
    const std::optional<std::string> image = model_.FormClose();
    showFields();
    QDialog::done(result);
    if (image && openChartlet) {
        // A chartlet's picture opens in the raster image viewer, OK or Cancel alike.
        openChartlet(*image);
    }
}

} // namespace kvui
