#pragma once
// The "Raster Image Viewer" window: a stay-on-top window made with the program and kept hidden
// until wanted, keeping its image while hidden. It shows the viewer's picture in a scroll area,
// forwards the mouse and the pop-up menu to raster::RasterViewer, and runs the tracking and
// auto-add timers the viewer asks for.

#include "raster/RasterViewer.h"

#include <QDialog>
#include <QWidget>

#include <functional>
#include <map>

class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSpinBox;
class QTimer;

namespace kvui {

class RasterCanvas;

// "Image Reference Information": the reference record as typed fields.
class ReferenceDialog final : public QDialog {
    Q_OBJECT
public:
    ReferenceDialog(const kv::raster::ReferenceForm& form, bool bitmap, const std::string& imagePath,
        kv::Prompter& prompter, QWidget* parent = nullptr);
    kv::raster::ReferenceForm form() const;
    // Valid after OK.
    const kv::raster::ImageReference& result() const { return result_; }
    void accept() override;

private:
    kv::Prompter& prompter_;
    QLineEdit* height_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* nwLat_ = nullptr;
    QLineEdit* nwLon_ = nullptr;
    QLineEdit* seLat_ = nullptr;
    QLineEdit* seLon_ = nullptr;
    QComboBox* colour_ = nullptr;
    QComboBox* thickness_ = nullptr;
    QSpinBox* latOffset_ = nullptr;
    QSpinBox* lonOffset_ = nullptr;
    QCheckBox* audio_ = nullptr;
    kv::raster::ImageReference result_;
};

class RasterViewerWindow final : public QWidget {
    Q_OBJECT
public:
    RasterViewerWindow(kv::raster::RasterRecords records, kv::Platform& platform, kv::raster::RasterHooks& hooks,
        QWidget* parent = nullptr);
    ~RasterViewerWindow() override;

    // Tools "Raster Image Viewer": shows the window with whatever it holds.
    void showViewer();
    // A chartlet waypoint's image: the window is closed and shown again on that image.
    void showHandedOver(const std::string& name);

    kv::raster::RasterViewer& viewer() { return viewer_; }
    QAction* command(kv::raster::RasterCommand command) const;
    QMenu* popupMenu() const { return menu_; }
    RasterCanvas* canvas() const { return canvas_; }
    QTimer* trackTimer() const { return trackTimer_; }
    QTimer* autoAddTimer() const { return autoAddTimer_; }
    // Enabled and checked states of the menu, from the viewer.
    void refreshMenu();
    // Everything shown, after a command.
    void sync();

    // The open dialog (path, or empty when cancelled) and the reference dialog's exec; replaced
    // by tests.
    std::function<QString(const QString& folder)> chooseImage;
    std::function<int(QDialog&)> execDialog;

private:
    void run(kv::raster::RasterCommand command);
    void openImageFile();
    void referenceImage();

    kv::Platform& platform_;
    const kv::Folders& folders_;
    kv::raster::RasterViewer viewer_;
    QScrollArea* scroll_ = nullptr;
    RasterCanvas* canvas_ = nullptr;
    QMenu* menu_ = nullptr;
    std::map<kv::raster::RasterCommand, QAction*> actions_;
    QTimer* trackTimer_ = nullptr;
    QTimer* autoAddTimer_ = nullptr;
};

// The picture stretched to its shown size (only the part in sight is drawn, so a high
// magnification costs no memory); mouse press, drag and release in shown pixels.
class RasterCanvas final : public QWidget {
    Q_OBJECT
public:
    explicit RasterCanvas(QWidget* parent = nullptr);
    void setPicture(const QImage& image, QSize shown);
    const QImage& picture() const { return picture_; }
    std::function<void(int, int)> onPress;
    std::function<void(int, int)> onMove;
    std::function<void(int, int)> onRelease;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage picture_;
};

} // namespace kvui
