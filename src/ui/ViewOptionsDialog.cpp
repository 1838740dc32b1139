#include "ui/ViewOptionsDialog.h"

#include "ui/UiText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kvui {

using kv::ViewOptionsFields;

ViewOptionsDialog::ViewOptionsDialog(kv::ViewOptionsModel& model, QWidget* parent)
    : QDialog(parent)
    , model_(model)
{
    setObjectName(QStringLiteral("ViewOptions"));
    setWindowTitle(QStringLiteral("View and Zoom Properties"));
    auto* top = new QHBoxLayout(this);

    // Left: zoom, thresholds, what the view draws and the line styles.
    auto* left = new QVBoxLayout;
    auto* numbers = new QGridLayout;
    const std::pair<const char*, const char*> spinRows[] = { { "xZoom", "Absolute Zoom Value:" },
        { "xShape", "WP Shape Threshold:" }, { "xText", "WP Text Threshold:" }, { "xTidal", "Tidal Text Threshold:" } };
    int ViewOptionsFields::*spinFields[] = { &ViewOptionsFields::xZoom, &ViewOptionsFields::xShape,
        &ViewOptionsFields::xText, &ViewOptionsFields::xTidal };
    for (int r = 0; r < 4; ++r) {
        numbers->addWidget(new QLabel(QLatin1String(spinRows[r].second), this), r, 0);
        numbers->addWidget(spin(spinRows[r].first, kv::kMaxThreshold, 1, spinFields[r]), r, 1);
    }
    left->addLayout(numbers);
    left->addWidget(box("ShowWPS", QStringLiteral("Show Waypoints"), &ViewOptionsFields::ShowWPS));
    left->addWidget(box("ShowRT", QStringLiteral(" Show Route"), &ViewOptionsFields::ShowRT));
    left->addWidget(box("ShowTide", QStringLiteral("Show Tides"), &ViewOptionsFields::ShowTide));
    left->addWidget(box("ShowTrack", QStringLiteral("Show Track"), &ViewOptionsFields::ShowTrack));
    left->addWidget(box("ShowScale", QStringLiteral("Show Graticule"), &ViewOptionsFields::ShowScale));
    QCheckBox* autoZoom = box("AutoZoom", QStringLiteral("Auto Zoom"), &ViewOptionsFields::AutoZoom);
    left->addWidget(autoZoom);
    connect(
        autoZoom, &QCheckBox::clicked, this, [this](bool on) { clicked([this, on] { model_.AutoZoomClick(on); }); });
    // Kept for the options they hold; not shown.
    box("ShowV", QStringLiteral("Show Vessel"), &ViewOptionsFields::ShowV)->setVisible(false);
    box("ShowEPE", QStringLiteral("Show EPE"), &ViewOptionsFields::ShowEPE)->setVisible(false);
    box("OnTop", QStringLiteral("Keep on top"), &ViewOptionsFields::OnTop)->setVisible(false);

    auto* styles = new QGroupBox(QStringLiteral("Show Line Style"), this);
    auto* styleRow = new QGridLayout(styles);
    for (int t = 0; t < kv::kChartLineTypes; ++t) {
        auto* b = new QCheckBox(QString::number(t), styles);
        b->setObjectName(QStringLiteral("Lay%1").arg(t));
        b->setToolTip(QLatin1String(kv::kLineStyleHints[static_cast<std::size_t>(t)]));
        connect(
            b, &QCheckBox::clicked, this, [this, t](bool on) { clicked([this, t, on] { model_.LayClick(t, on); }); });
        styleRow->addWidget(b, t / 4, t % 4);
        lay_[static_cast<std::size_t>(t)] = b;
    }
    auto* all = new QPushButton(QStringLiteral("All"), styles);
    all->setObjectName(QStringLiteral("All"));
    connect(all, &QPushButton::clicked, this, [this] { clicked([this] { model_.AllClick(); }); });
    auto* none = new QPushButton(QStringLiteral("None"), styles);
    none->setObjectName(QStringLiteral("None"));
    connect(none, &QPushButton::clicked, this, [this] { clicked([this] { model_.NoneClick(); }); });
    styleRow->addWidget(all, 2, 0, 1, 2);
    styleRow->addWidget(none, 2, 2, 1, 2);
    left->addWidget(styles);
    left->addStretch(1);
    top->addLayout(left);

    // Right: the survey-log plot.
    auto* right = new QVBoxLayout;
    auto* survey = new QGroupBox(QStringLiteral("Survey Log"), this);
    auto* grid = new QGridLayout(survey);
    QCheckBox* plot = box("PlotTextLog", QStringLiteral("Plot Survey Log"), &ViewOptionsFields::PlotTextLog);
    connect(plot, &QCheckBox::clicked, this, [this](bool on) { clicked([this, on] { model_.PlotTextLogClick(on); }); });
    grid->addWidget(plot, 0, 0, 1, 3);
    vLabel_ = new QLabel(QStringLiteral("V"), survey);
    vLabel_->setObjectName(QStringLiteral("VLabel"));
    grid->addWidget(vLabel_, 1, 0);
    plotV_ = new QComboBox(survey);
    plotV_->setObjectName(QStringLiteral("PlotV"));
    for (const char* caption : kv::kPlotFieldCaptions) {
        plotV_->addItem(QLatin1String(caption));
    }
    connect(plotV_, &QComboBox::activated, this,
        [this](int index) { clicked([this, index] { model_.PlotVChange(index); }); });
    grid->addWidget(plotV_, 1, 1, 1, 2);
    QCheckBox* blob = box("BlobOn", QStringLiteral("Colour"), &ViewOptionsFields::BlobOn);
    connect(blob, &QCheckBox::clicked, this, [this](bool on) { clicked([this, on] { model_.BlobOnClick(on); }); });
    grid->addWidget(blob, 2, 0);
    grid->addWidget(spin("PlotRange", kv::kMaxPlotRange, 1, &ViewOptionsFields::PlotRange), 2, 1);
    rangeLabel_ = new QLabel(QStringLiteral(" Range"), survey);
    rangeLabel_->setObjectName(QStringLiteral("RangeLabel"));
    grid->addWidget(rangeLabel_, 2, 2);
    grid->addWidget(box("EVonly", QStringLiteral("Show Events Only"), &ViewOptionsFields::EVonly), 3, 0, 1, 3);
    grid->addWidget(box("SVtrack", QStringLiteral(" Show Survey Track"), &ViewOptionsFields::SVtrack), 4, 0, 1, 3);
    grid->addWidget(
        box("UseCrosses", QStringLiteral("Show Fix Crosses X"), &ViewOptionsFields::UseCrosses), 5, 0, 1, 3);
    QCheckBox* tow = box("Ubow", QStringLiteral(" Plot Tow"), &ViewOptionsFields::Ubow);
    connect(tow, &QCheckBox::clicked, this, [this](bool on) { clicked([this, on] { model_.UbowClick(on); }); });
    QCheckBox* last = box("Last200", QStringLiteral("Show Last N="), &ViewOptionsFields::Last200);
    connect(last, &QCheckBox::clicked, this, [this](bool on) { clicked([this, on] { model_.Last200Click(on); }); });
    grid->addWidget(last, 6, 0);
    QSpinBox* nshow = spin("Nshow", kv::kMaxNShow, kv::kNShowStep, &ViewOptionsFields::Nshow);
    connect(nshow, &QSpinBox::valueChanged, this, [this](int n) {
        if (!showing_) {
            clicked([this, n] { model_.NshowChange(n); });
        }
    });
    grid->addWidget(nshow, 6, 1);
    grid->addWidget(new QLabel(QStringLiteral("Highlight text if absolute value greater than "), survey), 7, 0, 1, 3);
    hiLite_ = new QLineEdit(survey);
    hiLite_->setObjectName(QStringLiteral("HiLite"));
    grid->addWidget(hiLite_, 8, 0, 1, 2);
    // The tow's plot: its positions come from the "@>" field of the text log.
    grid->addWidget(tow, 9, 0, 1, 3);
    right->addWidget(survey);
    right->addStretch(1);

    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    right->addLayout(buttons);
    top->addLayout(right);
    showFields();
}

QCheckBox* ViewOptionsDialog::box(const char* name, const QString& caption, bool ViewOptionsFields::*field)
{
    auto* b = new QCheckBox(caption, this);
    b->setObjectName(QLatin1String(name));
    boxes_.emplace_back(b, field);
    return b;
}

QSpinBox* ViewOptionsDialog::spin(const char* name, int max, int step, int ViewOptionsFields::*field)
{
    auto* s = new QSpinBox(this);
    s->setObjectName(QLatin1String(name));
    s->setRange(0, max);
    s->setSingleStep(step);
    spins_.emplace_back(s, field);
    return s;
}

void ViewOptionsDialog::clicked(const std::function<void()>& op)
{
    readFields();
    op();
    showFields();
}

void ViewOptionsDialog::showFields()
{
    showing_ = true;
    const ViewOptionsFields& f = model_.fields;
    for (auto& [b, field] : boxes_) {
        b->setChecked(f.*field);
    }
    for (auto& [s, field] : spins_) {
        s->setValue(f.*field);
    }
    for (int t = 0; t < kv::kChartLineTypes; ++t) {
        lay_[static_cast<std::size_t>(t)]->setChecked(f.Lay[static_cast<std::size_t>(t)]);
    }
    plotV_->setCurrentIndex(f.PlotV);
    hiLite_->setText(Latin1(f.HiLite));
    const kv::ViewOptionsEnabled e = model_.enabled();
    const std::pair<const char*, bool> enabling[]
        = { { "PlotV", e.PlotV }, { "BlobOn", e.BlobOn }, { "EVonly", e.EVonly }, { "SVtrack", e.SVtrack },
              { "VLabel", e.VLabel }, { "UseCrosses", e.UseCrosses }, { "Ubow", e.Ubow }, { "Last200", e.Last200 },
              { "PlotRange", e.PlotRange }, { "RangeLabel", e.RangeLabel }, { "Nshow", e.Nshow } };
    for (const auto& [name, on] : enabling) {
        if (auto* w = findChild<QWidget*>(QLatin1String(name))) {
            w->setEnabled(on);
        }
    }
    showing_ = false;
}

void ViewOptionsDialog::readFields()
{
    ViewOptionsFields& f = model_.fields;
    for (auto& [b, field] : boxes_) {
        f.*field = b->isChecked();
    }
    for (auto& [s, field] : spins_) {
        f.*field = s->value();
    }
    for (int t = 0; t < kv::kChartLineTypes; ++t) {
        f.Lay[static_cast<std::size_t>(t)] = lay_[static_cast<std::size_t>(t)]->isChecked();
    }
    f.PlotV = plotV_->currentIndex() < 0 ? 0 : plotV_->currentIndex();
    f.HiLite = hiLite_->text().toLatin1().toStdString();
}

void ViewOptionsDialog::accept()
{
    readFields();
    model_.OKBtnClick();
    QDialog::accept();
}

} // namespace kvui
