#pragma once
// The main configuration file: 47 lines in a fixed order, no keys.

#include "core/NavState.h"
#include "core/Settings.h"

#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kConfigFileName = "kelvw.cfg";
inline constexpr const char* kConfigWriteError = "Error creating config file !";

// Reads the file; a missing or unreadable file gives every default silently. Returns whether a
// file was read.
bool ReadConfig(const std::string& path, NavState& nav, Settings& settings);
// Sets every default of the configuration table (what a first start without a file sees).
void ApplyConfigDefaults(NavState& nav, Settings& settings);

// Writes the 47 lines atomically. False when the file cannot be created; the caller shows
// kConfigWriteError, and the old file is left as it was.
bool WriteConfig(const std::string& path, const NavState& nav, const Settings& settings);
std::vector<std::string> ConfigLines(const NavState& nav, const Settings& settings);

} // namespace kv
