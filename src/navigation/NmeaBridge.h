#pragma once
// Where the fix cycle and the logs meet the template engine: the @-template expansion of
// text-log lines and the composition of the autopilot sentences, from the texts this fix's
// route-following computation produced.

#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/RoutePanelTexts.h"
#include "core/Settings.h"
#include "nmea/Templates.h"
#include "platform/Clock.h"

#include <string>

namespace kv {

// The texts of the route panel as the templates print them.
RouteTexts TextsOfThisFix(const RoutePanelTexts& panel, const RouteProgress& progress);

// ExpandTemplate of the template engine over the records as they stand.
std::string ExpandTextTemplate(
    const TemplateRecords& records, const RoutePanelTexts& panel, const Clock& clock, const std::string& tpl);

// BuildOutputSentences: fills link.OutputText (empty when nothing is due).
void ComposeOutputSentences(NmeaLink& link, const NmeaSettings& settings, const NmeaPreferences& prefs,
    const TemplateRecords& records, const RoutePanelTexts& panel, const Clock& clock);

} // namespace kv
