#pragma once
// The main configuration file: 47 lines in a fixed order, no keys.

#include "core/ChartReference.h"
#include "core/Fix.h"
#include "core/Folders.h"
#include "core/Settings.h"

#include <string>
#include <vector>

namespace kv {

inline constexpr const char* kConfigFileName = "kelvw.cfg";
inline constexpr const char* kConfigWriteError = "Error creating config file !";

// Reads the file; a missing or unreadable file gives every default silently. Returns whether a
// file was read.
// Besides Settings the file carries the position (lines 2 and 3), the chart offsets (line 5,
// written only; the cosine factor follows the position read), the folders and the chart name.
bool ReadConfig(const std::string& path, Fix& fix, ChartReference& chartRef, Folders& folders, Settings& settings);
// Sets every default of the configuration table (what a first start without a file sees).
void ApplyConfigDefaults(Fix& fix, ChartReference& chartRef, Folders& folders, Settings& settings);

// Writes the 47 lines atomically. False when the file cannot be created; the caller shows
// kConfigWriteError, and the old file is left as it was.
bool WriteConfig(const std::string& path, const Fix& fix, const ChartReference& chartRef, const Folders& folders,
    const Settings& settings);
std::vector<std::string> ConfigLines(
    const Fix& fix, const ChartReference& chartRef, const Folders& folders, const Settings& settings);

} // namespace kv
