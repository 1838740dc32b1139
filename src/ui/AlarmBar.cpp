#include "ui/AlarmBar.h"

#include "ui/NightPaletteUi.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvui {

namespace {

bool SameRows(const std::vector<kv::Alarm>& a, const std::vector<kv::Alarm>& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id || a[i].text != b[i].text || a[i].acknowledged != b[i].acknowledged) {
            return false;
        }
    }
    return true;
}

} // namespace

AlarmBar::AlarmBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("AlarmBar"));
    rows_ = new QVBoxLayout(this);
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(1);
    hide();
}

void AlarmBar::setAlarms(const std::vector<kv::Alarm>& alarms)
{
    if (SameRows(alarms, shown_) && night_ == shownNight_) {
        return;
    }
    shown_ = alarms;
    shownNight_ = night_;
    while (QLayoutItem* item = rows_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const kv::Alarm& a : alarms) {
        auto* row = new QWidget(this);
        row->setObjectName(QStringLiteral("AlarmRow"));
        row->setProperty("alarmId", a.id);
        row->setProperty("acknowledged", a.acknowledged);
        row->setAutoFillBackground(true);
        // Red until acknowledged, then grey: still there, no longer calling.
        const QString background
            = NightAwareColour(a.acknowledged ? QStringLiteral("#808080") : QStringLiteral("#c00000"), night_);
        const QString letters
            = NightAwareColour(a.acknowledged ? QStringLiteral("#d8d8d8") : QStringLiteral("white"), night_);
        row->setStyleSheet(a.acknowledged
                ? QStringLiteral("QWidget#AlarmRow { background: %1; } QLabel { color: %2; }").arg(background, letters)
                : QStringLiteral("QWidget#AlarmRow { background: %1; } QLabel { color: %2; font-weight: bold; }")
                      .arg(background, letters));
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(6, 2, 6, 2);
        auto* time = new QLabel(QString::fromStdString(kv::AlarmClockText(a.start)), row);
        time->setObjectName(QStringLiteral("AlarmTime"));
        line->addWidget(time);
        auto* text = new QLabel(QString::fromLatin1(a.text.c_str()), row);
        text->setObjectName(QStringLiteral("AlarmText"));
        line->addWidget(text, 1);
        auto* ack = new QPushButton(QStringLiteral("Acknowledge"), row);
        ack->setObjectName(QStringLiteral("Acknowledge"));
        ack->setEnabled(!a.acknowledged);
        ack->setFocusPolicy(Qt::NoFocus); // the helm's keys stay with the chart
        const int id = a.id;
        connect(ack, &QPushButton::clicked, this, [this, id] {
            if (acknowledge) {
                acknowledge(id);
            }
        });
        line->addWidget(ack);
        rows_->addWidget(row);
    }
    setVisible(!alarms.empty());
}

void AlarmBar::setNight(bool night)
{
    night_ = night;
}

} // namespace kvui
