#pragma once
// The instrument strip under the navigation panel: depth, apparent wind, true wind and heading as
// last received, each greyed and marked "(old)" when it has not been repeated for ten seconds.
// Shown only while kvfree.ini's [Display] Instruments is on.

#include "nmea/InstrumentSentences.h"

#include <QFrame>

class QLabel;

namespace kvui {

class InstrumentStrip final : public QFrame {
public:
    explicit InstrumentStrip(QWidget* parent);
    void showReadings(bool on, const kv::InstrumentTexts& texts);

private:
    QLabel* depth_ = nullptr;
    QLabel* apparent_ = nullptr;
    QLabel* trueWind_ = nullptr;
    QLabel* heading_ = nullptr;
};

} // namespace kvui
