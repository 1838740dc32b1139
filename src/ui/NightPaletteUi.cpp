#include "ui/NightPaletteUi.h"

#include "views/NightPalette.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QPalette>

#include <optional>

namespace kvui {

namespace {

QPalette NightPalette()
{
    const QColor black(0, 0, 0);
    const QColor panel(24, 0, 0);
    const QColor text(170, 0, 0);
    const QColor dim(90, 0, 0);
    QPalette p;
    for (const QPalette::ColorGroup group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
        p.setColor(group, QPalette::Window, panel);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, black);
        p.setColor(group, QPalette::AlternateBase, panel);
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Button, panel);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::BrightText, text);
        p.setColor(group, QPalette::Highlight, dim);
        p.setColor(group, QPalette::HighlightedText, black);
        p.setColor(group, QPalette::ToolTipBase, panel);
        p.setColor(group, QPalette::ToolTipText, text);
        p.setColor(group, QPalette::PlaceholderText, dim);
        p.setColor(group, QPalette::Light, dim);
        p.setColor(group, QPalette::Midlight, dim);
        p.setColor(group, QPalette::Mid, panel);
        p.setColor(group, QPalette::Dark, black);
        p.setColor(group, QPalette::Shadow, black);
    }
    // Disabled controls (and their frames, which take the same colours) are dimmer still.
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText }) {
        p.setColor(QPalette::Disabled, role, dim);
    }
    return p;
}

} // namespace

void ApplyNightPalette(bool on, QAction* toggle)
{
    // The palette the program started with, to go back to by day.
    static std::optional<QPalette> day;
    static bool shown = false;
    if (toggle && toggle->isChecked() != on) {
        toggle->setChecked(on);
    }
    if (on == shown) {
        return;
    }
    if (!day) {
        day = QApplication::palette();
    }
    QApplication::setPalette(on ? NightPalette() : *day);
    shown = on;
}

QString NightAwareColour(const QString& colour, bool night)
{
    if (!night) {
        return colour;
    }
    const QColor day(colour);
    return QColor::fromRgb(0xFF000000u | kv::NightColour(day.isValid() ? (day.rgb() & 0xFFFFFFu) : 0u)).name();
}

void ApplyNightBackground(QMdiArea* area, bool night)
{
    if (!area) {
        return;
    }
    // The area's own brush is kept the first time it changes, to go back to by day.
    const char* key = "dayBackground";
    if (!area->property(key).isValid()) {
        area->setProperty(key, QVariant::fromValue(area->background()));
    }
    const QBrush wanted = night ? QBrush(Qt::black) : area->property(key).value<QBrush>();
    if (area->background() != wanted) {
        area->setBackground(wanted);
    }
}

} // namespace kvui
