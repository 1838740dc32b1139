// The alarms on the AIS Safety page of the preferences: which alarms the alarm bar raises besides
// the dangerous targets, and the anchor watch's radius. Kept in kvfree.ini.

#include "app/PreferencesModel.h"
#include "navigation/Alarms.h"
#include "ui/PreferencesDialog.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

namespace kvui {

using kv::PreferencesFields;

QWidget* PreferencesDialog::buildAlarmSettings(QWidget* page)
{
    auto* group = new QGroupBox(QStringLiteral("Alarms"), page);
    group->setObjectName(QStringLiteral("AlarmSettings"));
    auto* grid = new QGridLayout(group);
    const auto whole = [this, group, grid](int row, const char* name, const QString& unit, int lo, int hi,
                           int PreferencesFields::*field) {
        auto* box = new QSpinBox(group);
        box->setObjectName(QLatin1String(name));
        box->setRange(lo, hi);
        grid->addWidget(box, row, 1);
        grid->addWidget(new QLabel(unit, group), row, 2);
        spins_.emplace_back(box, field);
    };
    grid->addWidget(
        check(group, "GpsLostAlarm", QStringLiteral("GPS fix lost for"), &PreferencesFields::GpsLostAlarm), 0, 0);
    whole(
        0, "GpsLostSeconds", QStringLiteral("seconds"), 1, kv::kGpsLostMaxSeconds, &PreferencesFields::GpsLostSeconds);
    grid->addWidget(check(group, "ArrivalAlarm", QStringLiteral("Arrival at a waypoint (Change at Rng)"),
                        &PreferencesFields::ArrivalAlarm),
        1, 0, 1, 3);
    auto* xte = new QDoubleSpinBox(group);
    xte->setObjectName(QStringLiteral("OffTrackNm"));
    xte->setRange(0.0, kv::kOffTrackMaxNm);
    xte->setDecimals(2);
    xte->setSingleStep(0.05);
    xte->setSpecialValueText(QStringLiteral("off"));
    grid->addWidget(new QLabel(QStringLiteral("Off track when XTE above"), group), 2, 0);
    grid->addWidget(xte, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Nm"), group), 2, 2);
    reals_.emplace_back(xte, &PreferencesFields::OffTrackNm);
    grid->addWidget(new QLabel(QStringLiteral("Anchor watch radius"), group), 3, 0);
    whole(3, "AnchorRadiusM", QStringLiteral("m"), static_cast<int>(kv::kAnchorRadiusMinM),
        static_cast<int>(kv::kAnchorRadiusMaxM), &PreferencesFields::AnchorRadiusM);
    return group;
}

} // namespace kvui
