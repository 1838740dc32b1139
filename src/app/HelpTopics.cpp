// The help topic table.

#include "app/HelpTopics.h"

#include <map>

namespace kv {

const std::vector<HelpTopic>& HelpTopics()
{
    static const std::vector<HelpTopic> topics {
        { kHelpContents, "Contents", "README.md" },
        { 2, "Getting started with the demo folder", "getting-started.md" },
        { 3, "Connecting a GPS and an AIS receiver", "gps.md" },
        { 4, "Charts", "charts.md" },
        { 55, "Chart editing and survey grids", "chart-editing.md" },
        { 5, "Routes and route following", "routes.md" },
        { 56, "Connecting an autopilot or a Signal K server", "autopilot.md" },
        { 6, "Tides", "tides.md" },
        { 7, "AIS targets and collision warnings", "ais.md" },
        { 8, "Logs and GPX export", "logs.md" },
        { 9, "Grids and position formats", "positions.md" },
        { kHelpPreferences, "Preferences", "preferences.md" },
        { 30, "Remarks document", "remarks.md" },
        { 31, "The working folder", "files.md" },
        { 32, "Troubleshooting", "troubleshooting.md" },
        { kHelpWaypointDialog, "Editing a route waypoint", "waypoint-dialog.md" },
        { 57, "Alarms and the anchor watch", "alarms.md" },
        { 66, "Signal K, gpsd, instruments and sharing NMEA", "network.md" },
    };
    return topics;
}

const HelpTopic* FindHelpTopic(int number)
{
    for (const HelpTopic& topic : HelpTopics()) {
        if (topic.number == number) {
            return &topic;
        }
    }
    return nullptr;
}

int HelpTopicForWindow(const std::string& objectName)
{
    static const std::map<std::string, int> byWindow {
        { "PreferencesDlg", kHelpPreferences },
        { "TimingDlg", kHelpPreferences },
        { "WPEditDlg", kHelpWaypointDialog },
        { "TAISInfo", 7 },
        { "RemarksDocumentWindow", 30 },
    };
    const auto it = byWindow.find(objectName);
    return it == byWindow.end() ? kHelpContents : it->second;
}

} // namespace kv
