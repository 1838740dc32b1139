#pragma once
// The "View and Zoom Properties" dialog: it mirrors ViewOptionsModel's fields, forwards the
// clicks that other controls follow, and hands OK to the model.

#include "app/ViewOptionsModel.h"

#include <QDialog>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace kvui {

class ViewOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ViewOptionsDialog(kv::ViewOptionsModel& model, QWidget* parent = nullptr);

    // The controls from the model's fields and enabling rules.
    void showFields();
    void readFields();
    void accept() override;

private:
    QCheckBox* box(const char* name, const QString& caption, bool kv::ViewOptionsFields::*field);
    QSpinBox* spin(const char* name, int max, int step, int kv::ViewOptionsFields::*field);
    void clicked(const std::function<void()>& op);

    kv::ViewOptionsModel& model_;
    bool showing_ = false;
    std::vector<std::pair<QCheckBox*, bool kv::ViewOptionsFields::*>> boxes_;
    std::vector<std::pair<QSpinBox*, int kv::ViewOptionsFields::*>> spins_;
    std::array<QCheckBox*, kv::kChartLineTypes> lay_ {};
    QComboBox* plotV_ = nullptr;
    QLineEdit* hiLite_ = nullptr;
    QLabel* vLabel_ = nullptr;
    QLabel* rangeLabel_ = nullptr;
};

} // namespace kvui
