#pragma once
// The 16-colour grid of the "Colour" page: a left click chooses the foreground (coastline)
// colour, a right click the background; the chosen cells are marked "FG" and "BG".

#include <QWidget>

#include <functional>

namespace kvui {

class ColourGrid final : public QWidget {
    Q_OBJECT
public:
    explicit ColourGrid(QWidget* parent = nullptr);

    int foreground() const { return fg_; }
    int background() const { return bg_; }
    void setIndices(int foreground, int background);
    // The cell under a point, or -1.
    int cellAt(QPoint p) const;
    QRect cellRect(int index) const;

    // A click of the user (not setIndices).
    std::function<void(int foreground, int background)> changed;

    QSize sizeHint() const override { return { 4 * kCell + 1, 4 * kCell + 1 }; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    static constexpr int kCell = 36;
    int fg_ = 15;
    int bg_ = 4;
};

} // namespace kvui
