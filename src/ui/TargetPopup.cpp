#include "ui/TargetPopup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kvui {

TargetPopup::TargetPopup(QWidget* parent)
    : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("TargetPopup"));
    setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    lines_ = new QLabel(this);
    lines_->setObjectName(QStringLiteral("TargetPopupText"));
    layout->addWidget(lines_);
    auto* buttons = new QHBoxLayout;
    follow_ = new QPushButton(QStringLiteral("Follow"), this);
    follow_->setObjectName(QStringLiteral("TargetPopupFollow"));
    details_ = new QPushButton(QStringLiteral("Details"), this);
    details_->setObjectName(QStringLiteral("TargetPopupDetails"));
    buttons->addWidget(follow_);
    buttons->addWidget(details_);
    layout->addLayout(buttons);
    connect(follow_, &QPushButton::clicked, this, [this] {
        hide();
        if (followed) {
            followed(target_);
        }
    });
    connect(details_, &QPushButton::clicked, this, [this] {
        hide();
        if (detailed) {
            detailed(target_);
        }
    });
}

void TargetPopup::showTarget(int n, const std::vector<std::string>& lines, const QPoint& globalAt)
{
    target_ = n;
    QStringList text;
    for (const std::string& line : lines) {
        text << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    }
    lines_->setText(text.join(QLatin1Char('\n')));
    adjustSize();
    move(globalAt);
    show();
}

QString TargetPopup::text() const
{
    return lines_->text();
}

} // namespace kvui
