#pragma once
// The night palette of the panels and dialogs: the application's palette in dim red on black.

class QAction;

namespace kvui {

// Puts the night palette on (or the ordinary one back) when it differs from the one shown, and
// keeps the check mark of the command `toggle` (may be null) in step.
void ApplyNightPalette(bool on, QAction* toggle);

} // namespace kvui
