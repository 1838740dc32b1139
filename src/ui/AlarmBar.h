#pragma once
// The alarm bar across the top of the chart area: one row per active alarm, the most urgent
// first, with its start time, its text and an Acknowledge button. Not a dialog: steering and every
// other command go on while it shows. An acknowledged alarm stays, dimmed, until its condition
// ends; the bar hides itself when no alarm is left.

#include <QWidget>

#include <functional>
#include <vector>

#include "navigation/Alarms.h"

class QVBoxLayout;

namespace kvui {

class AlarmBar : public QWidget {
public:
    explicit AlarmBar(QWidget* parent = nullptr);

    // Shows these alarms (in this order); rows are rebuilt only when something changed.
    void setAlarms(const std::vector<kv::Alarm>& alarms);
    // Called with the alarm's id when its Acknowledge button is pressed.
    std::function<void(int id)> acknowledge;
    // The rows in the night palette's reds (or their day colours) from the next setAlarms on.
    void setNight(bool night);

private:
    QVBoxLayout* rows_ = nullptr;
    std::vector<kv::Alarm> shown_;
    bool night_ = false;
    bool shownNight_ = false;
};

} // namespace kvui
