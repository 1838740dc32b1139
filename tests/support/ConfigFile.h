#pragma once
// The main configuration file of a working folder made by a test: the defaults of a first start
// with the program, log and chart folders inside the working folder, changed by the test.

#include "core/Config.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace kvtest {

// Writes dir/name (kelvw.cfg or another configuration) after `edit(nav, settings)`.
template <class Edit>
void WriteConfigIn(const TempDir& dir, const std::string& name, Edit edit)
{
    kv::NavState nav;
    kv::Settings settings;
    kv::ApplyConfigDefaults(nav, settings);
    nav.AppDir = dir.path() + "/";
    nav.LogDir = dir.path() + "/logs/";
    nav.ChartDir = dir.path() + "/charts/";
    edit(nav, settings);
    ASSERT_TRUE(kv::WriteConfig(dir.file(name), nav, settings));
}

} // namespace kvtest
