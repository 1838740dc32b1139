#pragma once
// The waypoint edit dialog: label, position as latitude/longitude and grid fields kept in step,
// the shape list with its live preview, and R#. It mirrors WaypointDialogModel.

#include "app/WaypointDialog.h"
#include "core/Settings.h"
#include "platform/Prompter.h"

#include <QDialog>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kvui {

class WaypointEditDialog final : public QDialog {
    Q_OBJECT
public:
    // The preview draws in the chart colours of `settings`; `prompter` shows the note of a
    // chartlet closing the dialog.
    WaypointEditDialog(kv::WaypointDialogModel& model, const kv::Settings& settings, kv::Prompter& prompter,
        QWidget* parent = nullptr);

    // Model → widgets, and the typed texts back.
    void showFields();
    void readFields();
    QLabel* preview() const { return image_; }

    void done(int result) override;
    // Where a chartlet waypoint's image name goes when the dialog closes (the raster image
    // viewer); unset, nothing opens.
    std::function<void(const std::string&)> openChartlet;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void typed(QLineEdit* edit, bool longitude);

    kv::WaypointDialogModel& model_;
    const kv::Settings& settings_;
    kv::Prompter& prompter_;
    QLineEdit* desc_ = nullptr;
    QLineEdit* lat_ = nullptr;
    QLineEdit* lon_ = nullptr;
    QLineEdit* east_ = nullptr;
    QLineEdit* north_ = nullptr;
    QLabel* eastLabel_ = nullptr;
    QComboBox* shape_ = nullptr;
    QLineEdit* radius_ = nullptr;
    QLabel* label5_ = nullptr;
    QLabel* image_ = nullptr;
    QLabel* nwps_ = nullptr;
    bool showing_ = false;
};

} // namespace kvui
