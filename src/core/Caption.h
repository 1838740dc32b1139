#pragma once
// The caption of a chart view and of the main window's chart: the chart name and, when a
// configuration is named, the configuration in brackets ("Solent-B3 (harbour)"). Without a
// configuration name the brackets are left out rather than shown empty.

#include <string>

namespace kv {

inline std::string CaptionWithConfig(const std::string& name, const std::string& config)
{
    return config.empty() ? name : name + " (" + config + ")";
}

} // namespace kv
