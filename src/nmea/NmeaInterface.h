#pragma once
// The serial NMEA interface: opening and closing it, gathering received characters into
// sentences, keeping the chosen position sentence and the last AIS sentence, handing AIS
// sentences on, and the no-data watchdog.
//
// Controls it writes in Display (by window name):
//   NMEAInterface1   the "NMEA &Interface" menu entry (checked while open)
//   NMEAServerOnOff  the NMEA button of the tool bar (hint)
//   DRMode1          the "&DR Mode" menu entry (unchecked on opening)
//   GetAvgPos        the waypoint dialog's "Get Avg. Position" button (enabled while open)
//   PlayAISlog       the AIS log playback button (disabled while open)
// and reads ShowNMEA ("Show raw &NMEA") and ProcAis ("Process &AIS Data").

#include "core/Display.h"
#include "core/NmeaLink.h"
#include "core/Preferences.h"
#include "core/Settings.h"
#include "nmea/AisHandOver.h"
#include "nmea/SentenceFramer.h"
#include "platform/Platform.h"

#include <functional>
#include <string>

namespace kv {

// Watchdog periods in ticks of about 55 ms: 15 s while data arrive, then 10 s between reports.
inline constexpr int kWatchdogTicks = 273;
inline constexpr int kNoDataTicks = 182;
// A buffer this long without a carriage return is noise.
inline constexpr std::size_t kRxBufferLimit = kSentenceLimit;

// Marks a sentence dropped for its checksum in the raw NMEA view.
inline constexpr const char* kRejectedChecksumMark = "REJECTED checksum: ";

inline constexpr const char* kPortUnavailable = "COM Port not availible or does not exist! Click OK and try Again";
inline constexpr const char* kCloseQuestion = "Close NMEA interface! - Are you sure?";

// The records the interface reads and writes: the link itself, the indicators, the port settings
// (and DR mode, which opening leaves) and the switches of the NMEA menu.
struct NmeaInterfaceRecords {
    NmeaLink& nmeaLink;
    Display& display;
    Settings& settings;
    Preferences& prefs;

    // Built from the program state, or from a wider bundle, by member name.
    template <class S>
    NmeaInterfaceRecords(S& s) // NOLINT(google-explicit-constructor): the records are handed over where they are named
        : nmeaLink(s.nmeaLink)
        , display(s.display)
        , settings(s.settings)
        , prefs(s.prefs)
    {
    }
};

class NmeaInterface final : public SerialListener {
public:
    NmeaInterface(NmeaInterfaceRecords state, Platform& platform, AisSentenceHandler* ais = nullptr);
    ~NmeaInterface() override;
    NmeaInterface(const NmeaInterface&) = delete;
    NmeaInterface& operator=(const NmeaInterface&) = delete;

    void setAisHandler(AisSentenceHandler* ais) { ais_ = ais; }
    // Called with every received sentence that passed its checksum (after its own use): the
    // instrument readings and the relay to other devices.
    void setSentenceTap(std::function<void(const std::string&)> tap) { tap_ = std::move(tap); }

    // The menu entry and the tool button toggle between opening and closing.
    void NMEAServerOnOffClick();
    // Opening by the user: the port, then the displays and "NMEA Interface Open!".
    void OpenNmeaInterface();
    // Opening at start-up ("Auto"): the port, the playback button, the fix timer; no message.
    void OpenAtStartup();
    // Closing by the user, after confirmation.
    void CloseNmeaInterface();
    // Closing when the program ends: no question, no message.
    void CloseAtExit();

    // "Show raw &NMEA": while checked the status line shows the sentences used and received;
    // unchecking clears it.
    void ShowNMEAClick();

    // Serial callbacks. The received bytes go through the sentence framer into RxBuffer.
    void onCharsAvailable(std::string_view chars) override;
    void onWatchdog() override;
    // A network link made, lost or retried, a device gone or back: shown in the status line.
    void onSourceStatus(std::string_view text) override;
    // Input came faster than it could be used: counted, and said in the status line.
    void onInputDropped(std::size_t sentences) override;

    int watchdogTicksLeft() const { return ticksLeft_; }

private:
    bool OpenPort();
    void ClosePort();
    void ArmWatchdog(int ticks);
    // One sentence ended by a carriage return (RxBuffer already emptied).
    void onSentence(const std::string& sentence);
    // Steps for a sentence that passed its checksum: the position sentence, the AIS hand-over.
    void UseSentence(const std::string& sentence);

    NmeaInterfaceRecords state_;
    Platform& platform_;
    AisSentenceHandler* ais_;
    std::function<void(const std::string&)> tap_;
    SentenceFramer framer_;
    bool armed_ = false;
    int ticksLeft_ = 0;
};

} // namespace kv
