#include "navigation/NmeaBridge.h"

namespace kv {

RouteTexts TextsOfThisFix(const RoutePanelTexts& panel, const RouteProgress& progress)
{
    RouteTexts texts;
    texts.ArrivalFlagText = panel.ArrivalFlagText.empty() ? std::string(",A") : panel.ArrivalFlagText.str();
    texts.RangeText = panel.RangeText.str();
    texts.TimeToWaypointText = panel.TimeToWaypointText.str();
    texts.VMGText = panel.VMGText.str();
    texts.SOGText = panel.SOGText.str();
    texts.XTEText = panel.XTEText.str();
    texts.PreviousWaypointName = panel.PreviousWaypointName.str();
    texts.CourseToSteerValue = progress.CourseToSteerExact;
    return texts;
}

std::string ExpandTextTemplate(
    const TemplateRecords& records, const RoutePanelTexts& panel, const Clock& clock, const std::string& tpl)
{
    return ExpandTemplate(tpl, MakeTemplateContext(records, clock, TextsOfThisFix(panel, records.routeProgress)));
}

void ComposeOutputSentences(NmeaLink& link, const NmeaSettings& settings, const NmeaPreferences& prefs,
    const TemplateRecords& records, const RoutePanelTexts& panel, const Clock& clock)
{
    BuildOutputSentences(
        link, settings, prefs, MakeTemplateContext(records, clock, TextsOfThisFix(panel, records.routeProgress)));
}

} // namespace kv
