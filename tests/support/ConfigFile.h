#pragma once
// The main configuration file of a working folder made by a test: the defaults of a first start
// with the program, log and chart folders inside the working folder, changed by the test.

#include "app/ProgramState.h"
#include "core/Config.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace kvtest {

// Writes dir/name (kelvw.cfg or another configuration) after `edit(state, state.settings)`: the
// records the file carries are those of `state`.
template <class Edit> void WriteConfigIn(const TempDir& dir, const std::string& name, Edit edit)
{
    kv::ProgramState state;
    kv::ApplyConfigDefaults(state.fixInfo, state.chartRef, state.folders, state.settings);
    state.folders.AppDir = dir.path() + "/";
    state.folders.LogDir = dir.path() + "/logs/";
    state.folders.ChartDir = dir.path() + "/charts/";
    edit(state, state.settings);
    ASSERT_TRUE(kv::WriteConfig(dir.file(name), state.fixInfo, state.chartRef, state.folders, state.settings));
}

} // namespace kvtest
