#pragma once
// The small pop-up beside an AIS target clicked in the AIS view: the target's lines and the
// buttons "Follow" and "Details". What it says and does comes from views/AisTargetPopup.h.

#include <QFrame>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace kvui {

class TargetPopup final : public QFrame {
    Q_OBJECT
public:
    explicit TargetPopup(QWidget* parent);
    // Shows the lines of target n with its top left corner at `globalAt`.
    void showTarget(int n, const std::vector<std::string>& lines, const QPoint& globalAt);
    int target() const { return target_; }
    QString text() const;
    QPushButton* followButton() const { return follow_; }
    QPushButton* detailsButton() const { return details_; }

    std::function<void(int)> followed; // "Follow" pressed for the target shown
    std::function<void(int)> detailed; // "Details" pressed

private:
    QLabel* lines_;
    QPushButton* follow_;
    QPushButton* details_;
    int target_ = 0;
};

} // namespace kvui
