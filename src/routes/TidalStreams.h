#pragma once
// The tidal atlas commands: loading a `.pos` file with its stream file, removing the atlas,
// stepping the shown tide hour, the stream at the vessel and the average stream along the leg.

#include "core/ChartReference.h"
#include "core/Display.h"
#include "core/Fix.h"
#include "core/Motion.h"
#include "core/Preferences.h"
#include "core/RouteProgress.h"
#include "core/Settings.h"
#include "core/TidalAtlas.h"
#include "core/TidalStream.h"
#include "platform/Platform.h"

#include <string>

namespace kv {

inline constexpr const char* kNoFlowRateFile = "No FlowRate File";
inline constexpr const char* kRemoveTidesQuestion = "This will remove the current tidal atlas! - Are you sure?";
inline constexpr const char* kNoAtlasOrRoute = "No tidal atlas or no route! Enter manual values.";
inline constexpr const char* kLessThanOneHour = "Less than 1 hr to WP. Use nearest tide or enter manual values !";
inline constexpr std::size_t kPositionRecordSize = 12;
inline constexpr std::size_t kStreamRecordSize = 52;

// The stream file of an atlas: the path without its last three characters followed by "FLO",
// found whatever the letter case of the name on disc.
std::string StreamFilePath(const std::string& atlasPath);

// Tide hour of a clock time relative to high water, -6 … +6.
int TideHourOf(int hour, int minute, int highWaterHour);

// The tide hour shown by the tide step button, e.g. "Tide  3 Hrs rel to HW  (15:00)   ".
std::string TideStepText(int tideStep, int highWaterHour);

// The diamond nearest a position (plane sailing; of equal distances the later wins); 0 if none.
int NearestDiamondTo(const TidalDiamonds& tides, double lat, double lon, double cosLatFactor);

class TidalAtlas {
public:
    TidalAtlas(TidalDiamonds& tides, TidalStream& stream, TidePreferences& tidePrefs, const Fix& fix,
        const ChartReference& reference, const Motion& motion, const RouteProgress& progress,
        const VesselSettings& vessel, Display& display, Platform& platform)
        : tides_(tides)
        , stream_(stream)
        , tidePrefs_(tidePrefs)
        , fix_(fix)
        , reference_(reference)
        , motion_(motion)
        , progress_(progress)
        , vessel_(vessel)
        , display_(display)
        , platform_(platform)
    {
    }

    // Loads the atlas; false when nothing changed (a file missing).
    bool LoadAtlas(const std::string& posPath);
    // File, Open File, Tides: load, then the tide hour from the computer clock.
    void Tides1Click(const std::string& posPath);
    // Purge, Tides.
    void Tides2Click();
    // The tide step button and menu item.
    void IncTideClick();
    // Sets TideSet, TideRate and NearestDiamond from the nearest diamond while AtlasTide is set.
    void StreamAtVessel();
    // "Use" under "Enter Local Tide".
    void ManTideClick(bool ticked);
    // "Average": the mean stream over the hours to the next waypoint into Tset and TDrift.
    void AvTideClick();

private:
    TidalDiamonds& tides_;
    TidalStream& stream_;
    TidePreferences& tidePrefs_;
    const Fix& fix_;
    const ChartReference& reference_;
    const Motion& motion_;
    const RouteProgress& progress_;
    const VesselSettings& vessel_;
    Display& display_;
    Platform& platform_;
};

} // namespace kv
