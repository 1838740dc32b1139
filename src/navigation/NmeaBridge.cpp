#include "navigation/NmeaBridge.h"

#include "nmea/NmeaParse.h"
#include "nmea/Templates.h"

namespace kv {

namespace {

// The texts this fix's route-following computation produced, as the templates print them.
RouteTexts TextsOfThisFix(const NavState& nav)
{
    RouteTexts texts;
    texts.ArrivalFlagText = nav.ArrivalFlagText.empty() ? std::string(",A") : nav.ArrivalFlagText.str();
    texts.RangeText = nav.RangeText.str();
    texts.TimeToWaypointText = nav.TimeToWaypointText.str();
    texts.VMGText = nav.VMGText.str();
    texts.SOGText = nav.SOGText.str();
    texts.XTEText = nav.XTEText.str();
    texts.PreviousWaypointName = nav.PreviousWaypointName.str();
    texts.CourseToSteerValue = nav.CourseToSteerExact;
    return texts;
}

TemplateContext ContextOf(const ProgramState& state, const Clock& clock)
{
    return TemplateContext{state.nav, state.quickLog, state.route, clock.now(), TextsOfThisFix(state.nav)};
}

} // namespace

void ParsePositionSentence(ProgramState& state, const std::string& sentence)
{
    ParseSentence(sentence, state.nav, state.display, state.nav.AISPlayback);
}

std::string ExpandTextTemplate(const ProgramState& state, const Clock& clock, const std::string& tpl)
{
    return ExpandTemplate(tpl, ContextOf(state, clock));
}

void ComposeOutputSentences(ProgramState& state, const Clock& clock)
{
    const TemplateContext context = ContextOf(state, clock);
    BuildOutputSentences(state.nav, context);
}

} // namespace kv
