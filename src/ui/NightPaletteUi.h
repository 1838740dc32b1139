#pragma once
// The night palette of the panels and dialogs: the application's palette in dim red on black.

class QAction;
class QMdiArea;
class QString;

namespace kvui {

// Puts the night palette on (or the ordinary one back) when it differs from the one shown, and
// keeps the check mark of the command `toggle` (may be null) in step.
void ApplyNightPalette(bool on, QAction* toggle);

// A colour of a style sheet ("red", "#c00000") as it is by day, or in the night palette's red.
QString NightAwareColour(const QString& colour, bool night);
// The area behind the chart windows: its own grey by day, black at night.
void ApplyNightBackground(QMdiArea* area, bool night);

} // namespace kvui
