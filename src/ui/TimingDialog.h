#pragma once
// The "Timing Functions" dialog: it mirrors TimingModel's fields; OK hands them to the model.

#include "app/TimingModel.h"

#include <QDialog>

#include <utility>
#include <vector>

class QCheckBox;
class QSpinBox;

namespace kvui {

class TimingDialog final : public QDialog {
    Q_OBJECT
public:
    explicit TimingDialog(kv::TimingModel& model, QWidget* parent = nullptr);

    void showFields();
    void readFields();
    void accept() override;

private:
    kv::TimingModel& model_;
    std::vector<std::pair<QSpinBox*, int kv::TimingFields::*>> spins_;
    QCheckBox* utcClock_ = nullptr;
};

} // namespace kvui
