#pragma once
// The chart editor's waypoint form carried to and from the waypoint dialog, and the position
// sentence a snap forms.

#include "app/ProgramState.h"
#include "app/WaypointDialog.h"
#include "charts/ChartEditor.h"
#include "platform/Clock.h"

#include <string>

namespace kv {

// Fills the dialog from the form: caption, label, position texts, symbol, R# and the count.
void FillWaypointDialog(WaypointDialogModel& model, const ChartWaypointForm& form);
// Reads back what the user left in the dialog.
void ReadWaypointDialog(const WaypointDialogModel& model, ChartWaypointForm& form);

// The "$--GLL,@P" text for a position, formed with a log record that holds it for the moment
// of the expansion (the quick log is as before afterwards).
std::string SnapSentence(ProgramState& state, const Clock& clock, double lat, double lon);

} // namespace kv
