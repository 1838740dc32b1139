#include "ui/InstrumentStrip.h"

#include "ui/UiText.h"

#include <QGridLayout>
#include <QLabel>

namespace kvui {

namespace {

void Show(QLabel* label, const std::string& text, bool stale)
{
    const QString shown = Latin1(text) + (stale && text != "---" ? QStringLiteral(" (old)") : QString());
    if (label->text() != shown) {
        label->setText(shown);
    }
    label->setEnabled(!stale);
}

} // namespace

InstrumentStrip::InstrumentStrip(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("InstrumentStrip"));
    setFrameShape(QFrame::StyledPanel);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    const std::pair<const char*, QLabel**> fields[] = { { "Depth", &depth_ }, { "Apparent wind", &apparent_ },
        { "True wind", &trueWind_ }, { "Heading", &heading_ } };
    int column = 0;
    for (const auto& [caption, label] : fields) {
        grid->addWidget(new QLabel(QLatin1String(caption), this), 0, column);
        *label = new QLabel(QStringLiteral("---"), this);
        (*label)->setObjectName(QStringLiteral("Instrument") + QString::fromLatin1(caption).remove(QLatin1Char(' ')));
        (*label)->setFrameShape(QFrame::Panel);
        (*label)->setFrameShadow(QFrame::Sunken);
        (*label)->setAlignment(Qt::AlignCenter);
        QFont font = (*label)->font();
        font.setPointSizeF(font.pointSizeF() * 1.5);
        font.setBold(true);
        (*label)->setFont(font);
        grid->addWidget(*label, 1, column);
        grid->setColumnStretch(column++, 1);
    }
    setVisible(false);
}

void InstrumentStrip::showReadings(bool on, const kv::InstrumentTexts& t)
{
    setVisible(on);
    if (!on) {
        return;
    }
    Show(depth_, t.depth, t.depthStale);
    Show(apparent_, t.apparentWind, t.apparentStale);
    Show(trueWind_, t.trueWind, t.trueStale);
    Show(heading_, t.heading, t.headingStale);
}

} // namespace kvui
