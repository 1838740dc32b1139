#pragma once
// The texts route following leaves for the panels and the output sentences after each fix.
// Owner: navigation (route following).

#include "core/ShortString.h"

namespace kv {

struct RoutePanelTexts {
    // The waypoint panel: the active waypoint's label, "Near <label> !" or "Select Next Waypoint !".
    ShortString<33> WaypointText;
    ShortString<33> PreviousWaypointName;
    ShortString<33> ArrivalFlagText;
    ShortString<33> XTEScaleText;
    ShortString<33> BearingText, CourseToSteerText, COGText, COGMagText, RangeText, TimeToWaypointText, VMGText,
        SOGText, XTEText;
};

} // namespace kv
