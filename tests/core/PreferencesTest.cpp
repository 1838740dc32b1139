// The preferences record starts as the dialogs' check boxes and the menus' switches are drawn on
// a first start, and every switch command names a field of its own.

#include "core/Preferences.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace kv;

TEST(Preferences, SwitchesStartAsTheirBoxesAndMenuItems)
{
    const Preferences p;
    const struct {
        const char* control;
        bool Preferences::*field;
        bool on;
    } rows[] = {
        { "Voice", &Preferences::Voice, false },
        { "WPVoice", &Preferences::WPVoice, false },
        { "Vfreq", &Preferences::Vfreq, false },
        { "AISvoice", &Preferences::AISvoice, false },
        { "HeadUp", &Preferences::HeadUp, false },
        { "NoOffsets", &Preferences::NoOffsets, false },
        { "DOSWPTformat", &Preferences::DOSWPTformat, false },
        { "ShowNMEA", &Preferences::ShowNMEA, false },
        { "ProcAis", &Preferences::ProcAis, true }, // AIS sentences are decoded from the start
        { "ChartAppendMode", &Preferences::ChartAppendMode, false },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(p.*row.field, row.on) << row.control;
    }
    EXPECT_EQ(p.OnRouteCompletion, RouteCompletion::NormalMode);
}

TEST(Preferences, EachSwitchCommandHasItsOwnField)
{
    std::set<Control> controls;
    for (const SwitchCommand& item : kSwitchCommands) {
        EXPECT_TRUE(controls.insert(item.control).second) << ControlName(item.control);
        // Turning one switch changes that command's field and no other command's.
        Preferences p;
        p.*item.field = !(p.*item.field);
        const Preferences initial;
        for (const SwitchCommand& other : kSwitchCommands) {
            EXPECT_EQ(p.*other.field != initial.*other.field, other.field == item.field)
                << ControlName(item.control) << " / " << ControlName(other.control);
        }
    }
}

} // namespace
