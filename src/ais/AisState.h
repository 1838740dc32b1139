#pragma once
// Everything the AIS subsystem keeps for the run: the assembler with the current message, the
// target table, the vessel database count, the AIS switches, the log writer's memory and the
// playback. One instance lives in ProgramState.

#include "ais/AisCollision.h"
#include "ais/AisDecoder.h"
#include "ais/AisSmallCraft.h"
#include "ais/AisTarget.h"
#include "ais/AisTargetTable.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The view menu "AIS Auto Remove" choices and their limits in days.
enum class AisAgeChoice { Never, After15Mins, After10Mins, After5Mins };
inline constexpr double kAisAge15Mins = 0.010417;
inline constexpr double kAisAge10Mins = 0.006945;
inline constexpr double kAisAge5Mins = 0.003472;

struct AisState {
    AisAssembler assembler; // holds the current message record
    AisSmallCraftCounts SmallCraftCounts; // Class B and AtoN messages decoded and dropped
    CollisionAlarm Collisions; // the encounters the alarm has sounded for
    std::string CollisionNote; // the status line note last written ("" when none)

    AisTargetTable targets;
    std::uint16_t SelectedTarget = 0;
    AisAgeChoice AgeChoice = AisAgeChoice::After15Mins;
    double AISAgeLimit = kAisAge15Mins; // days
    long AISDatabaseCount = 0;

    // Switches (menu items and the preferences' voice check box). "Process &AIS Data" is the
    // check mark ProcAis of the display, which the reception reads.
    bool UpdateAISDatabase = true; // "Update AIS Database"
    bool SearchAISDatabase = true; // "Search AIS Database"
    bool AISMonitor = false; // "AIS Monitor Mode"
    bool AdditionalTargetData = false; // "Additional Target Data"

    // View options the table operations consult (the views own their drawing).
    bool HighlightNearest = true; // HighlightNearest1 checked
    bool HighlightNearestEnabled = false; // HighlightNearest1 enabled
    bool AISZoom = false;
    double NearestTargetRange = 0.0; // nm, written when AISZoom is checked
    int HeadUpReference = 0; // 3 = heading sensor
    bool TargetSelectorVisible = false; // TgtNum of the target text window
    std::string LastSpokenText;

    // Log writer.
    std::string AisLogPath; // LogDir + LogNameBase + ".AIS", set when the day's logs are opened
    std::string LastLoggedAIS;
    std::string LastLoggedTime;
    // Why AIS logging is paused (the day's limit reached, the disk nearly full); "" while it logs.
    std::string AisLogNote;

    // Playback.
    int PBspeed = 10;
    std::string PlayFileName; // the file being played
    std::vector<std::string> PlayLines; // its lines, read whole when playback starts
    std::size_t PlayNext = 0; // index of the next line to play
    // What a playback switches for its own sake, given back when it ends so that the user's
    // choices (and the configuration written later) are not the playback's.
    bool TextLogStoppedByPlayback = false;
    bool UseGpsTimeBeforePlayback = false;

    const TAISTarget& current() const { return assembler.Current; }
};

} // namespace kv
