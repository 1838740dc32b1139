#include "ui/TimingDialog.h"

#include "app/HelpTopics.h"
#include "ui/HelpWindow.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>

namespace kvui {

using kv::TimingFields;

TimingDialog::TimingDialog(kv::TimingModel& model, QWidget* parent)
    : QDialog(parent)
    , model_(model)
{
    setObjectName(QStringLiteral("TimingDlg"));
    setWindowTitle(QStringLiteral("Timing Functions"));
    auto* grid = new QGridLayout(this);
    const auto add = [this](const char* name, int min, int max, int TimingFields::*field) {
        auto* box = new QSpinBox(this);
        box->setObjectName(QLatin1String(name));
        box->setRange(min, max);
        spins_.emplace_back(box, field);
        return box;
    };
    grid->addWidget(new QLabel(QStringLiteral("Fix Posn.Every:"), this), 0, 0);
    grid->addWidget(add("FixMins", 0, 60, &TimingFields::FixMins), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Mins"), this), 0, 2);
    grid->addWidget(add("FixSecs", 0, 59, &TimingFields::FixSecs), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Secs"), this), 0, 4);
    add("FixDeciSecs", 0, 10, &TimingFields::FixDeciSecs)->setVisible(false);
    grid->addWidget(new QLabel(QStringLiteral("Time Zone hrs :"), this), 1, 0);
    grid->addWidget(add("TimeZone", -12, 12, &TimingFields::TimeZone), 1, 1);
    utcClock_ = new QCheckBox(QStringLiteral("Log GPS UTC time if available"), this);
    utcClock_->setObjectName(QStringLiteral("UTCClock"));
    grid->addWidget(utcClock_, 2, 0, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("Average speed / heading for last :"), this), 3, 0);
    grid->addWidget(add("AverageN", 1, 99, &TimingFields::AverageN), 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("fixes"), this), 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("    Redraw Screen every :"), this), 4, 0);
    grid->addWidget(add("DrawN", 1, 99, &TimingFields::DrawN), 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("fixes"), this), 4, 2);

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
    grid->addLayout(buttons, 5, 0, 1, 5);
    // F1 opens the manual's page of the timing settings, as it does in the other dialogs (a modal
    // dialog keeps the main window's F1 from reaching it).
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setObjectName(QStringLiteral("TimingHelpKey"));
    connect(help, &QShortcut::activated, this, [this] { ShowHelp(this, kv::kHelpPreferences); });
    showFields();
}

void TimingDialog::showFields()
{
    for (auto& [box, field] : spins_) {
        box->setValue(model_.fields.*field);
    }
    utcClock_->setChecked(model_.fields.UTCClock);
}

void TimingDialog::readFields()
{
    for (auto& [box, field] : spins_) {
        model_.fields.*field = box->value();
    }
    model_.fields.UTCClock = utcClock_->isChecked();
}

void TimingDialog::accept()
{
    readFields();
    model_.OKBtnClick();
    QDialog::accept();
}

} // namespace kvui
