#include "ui/AisTargetWindow.h"
#include "app/ProgramState.h"

#include "ais/AisText.h"

#include <QAction>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kvui {

namespace {
constexpr int kHeight = 420;
constexpr int kTallHeight = 550;
} // namespace

AisTargetWindow::AisTargetWindow(kv::ProgramState& state, kv::Clock& clock, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
    , state_(state)
    , clock_(clock)
{
    setObjectName(QStringLiteral("TAISInfo"));
    setWindowTitle(QStringLiteral("AIS Target Data"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    tgtNum_ = new QSpinBox(this);
    tgtNum_->setObjectName(QStringLiteral("TgtNum"));
    tgtNum_->setToolTip(QStringLiteral("Select Target Number"));
    tgtNum_->setStatusTip(QStringLiteral(""));
    tgtNum_->setMinimum(1);
    layout->addWidget(tgtNum_);
    memo_ = new QPlainTextEdit(this);
    memo_->setObjectName(QStringLiteral("Memo1"));
    memo_->setReadOnly(true);
    memo_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    layout->addWidget(memo_, 1);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("AISpopup"));
    auto* stay = popup_->addAction(QStringLiteral("&Stay On Top"));
    stay->setObjectName(QStringLiteral("StayOnTop1"));
    stay->setCheckable(true);
    stay->setChecked(true);
    connect(stay, &QAction::toggled, this, [this](bool on) { setStayOnTop(on); });
    auto* wrap = popup_->addAction(QStringLiteral("&Word Wrap"));
    wrap->setObjectName(QStringLiteral("WordWrap1"));
    wrap->setCheckable(true);
    wrap->setChecked(true);
    connect(wrap, &QAction::toggled, this,
        [this](bool on) { memo_->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap); });
    auto* all = popup_->addAction(QStringLiteral("Select &All"));
    all->setObjectName(QStringLiteral("SelectAll1"));
    connect(all, &QAction::triggered, memo_, &QPlainTextEdit::selectAll);
    auto* copy = popup_->addAction(QStringLiteral("&Copy"));
    copy->setObjectName(QStringLiteral("Copy1"));
    connect(copy, &QAction::triggered, this, [this] {
        memo_->copy();
        if (copyToRemarks) {
            const QByteArray text = memo_->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")).toLatin1();
            copyToRemarks(std::string(text.constData(), static_cast<std::size_t>(text.size())));
        }
    });
    auto* minimise = popup_->addAction(QStringLiteral("&Minimise"));
    minimise->setObjectName(QStringLiteral("Minimise1"));
    connect(minimise, &QAction::triggered, this, &QWidget::showMinimized);
    memo_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo_, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& p) { popup_->popup(memo_->mapToGlobal(p)); });

    connect(tgtNum_, &QSpinBox::valueChanged, this, [this](int n) {
        if (!updating_ && state_.ais.targets.valid(n)) {
            state_.ais.SelectedTarget = static_cast<std::uint16_t>(n);
            refresh();
            if (redrawViews) {
                redrawViews();
            }
        }
    });
    resize(300, kHeight);
}

QAction* AisTargetWindow::action(const QString& name) const
{
    return popup_->findChild<QAction*>(name);
}

void AisTargetWindow::setStayOnTop(bool on)
{
    const bool visible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (visible) {
        show();
    }
}

void AisTargetWindow::refresh()
{
    updating_ = true;
    const kv::AisState& ais = state_.ais;
    const bool targets = !ais.targets.empty();
    tgtNum_->setVisible(targets && !ais.HighlightNearest);
    tgtNum_->setMaximum(std::max(1, ais.targets.count()));
    memo_->clear();
    const int n = ais.SelectedTarget;
    if (ais.targets.valid(n)) {
        tgtNum_->setValue(n);
        QStringList lines;
        for (const auto& line :
            kv::WriteTargetText(state_.ais, kv::OwnShipOf(state_), n, clock_.now(), &state_.extra)) {
            lines << QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
        }
        memo_->setPlainText(lines.join(QLatin1Char('\n')));
    }
    resize(width(), ais.AdditionalTargetData ? kTallHeight : kHeight);
    updating_ = false;
}

} // namespace kvui
