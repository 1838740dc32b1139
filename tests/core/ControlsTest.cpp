// The controls' window names: one name per control, and a name leads back to its control.

#include "core/Controls.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace kv;

TEST(Controls, EachNameBelongsToOneControl)
{
    std::set<std::string> names;
    for (const ControlEntry& entry : kControls) {
        EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
        EXPECT_EQ(ControlNamed(entry.name), entry.control) << entry.name;
    }
    // Window names are exact: a near miss or another window's control is no control.
    for (const char* name : { "", "RR", "drmode1", "DRMode", "DRMode1 ", "Tset" }) {
        EXPECT_FALSE(ControlNamed(name).has_value()) << '"' << name << '"';
    }
}

TEST(Controls, LineTypesHaveTheirCommands)
{
    for (int type = 0; type < 7; ++type) {
        EXPECT_EQ(std::string(ControlName(LineTypeControl(type))), "LineT" + std::to_string(type));
    }
}

} // namespace
