#pragma once
// The help topics: each number the program opens help on names one page of the user manual
// (docs/manual, bundled with the program). The help window and F1 go through this table.

#include <string>
#include <vector>

namespace kv {

struct HelpTopic {
    int number;
    std::string title;
    std::string page; // file name inside the manual folder
};

// Topics the windows open: the main window's contents, the preferences, the waypoint dialog.
inline constexpr int kHelpContents = 1;
inline constexpr int kHelpPreferences = 29;
inline constexpr int kHelpWaypointDialog = 2050;

// Every topic, in the order of the manual's contents.
const std::vector<HelpTopic>& HelpTopics();
// The topic of that number, or nullptr.
const HelpTopic* FindHelpTopic(int number);
// The topic F1 opens for the window or dialog of that object name; the contents for any other.
int HelpTopicForWindow(const std::string& objectName);

} // namespace kv
