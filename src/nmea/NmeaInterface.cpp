#include "nmea/NmeaInterface.h"

#include "nmea/NmeaParse.h"
#include "nmea/Talkers.h"

namespace kv {

NmeaInterface::NmeaInterface(ProgramState& state, Platform& platform, AisSentenceHandler* ais)
    : state_(state), platform_(platform), ais_(ais), framer_(state.nav.RxBuffer)
{
    platform_.serial.setListener(this);
}

NmeaInterface::~NmeaInterface()
{
    platform_.serial.setListener(nullptr);
}

void NmeaInterface::NMEAServerOnOffClick()
{
    if (state_.nav.NmeaOpen) {
        CloseNmeaInterface();
    } else {
        OpenNmeaInterface();
    }
}

bool NmeaInterface::OpenPort()
{
    NavState& nav = state_.nav;
    if (nav.ComPortNumber == 0) {
        return false;
    }
    if (!platform_.serial.open(nav.ComPortNumber, nav.BaudRate)) {
        const std::string why = platform_.serial.openFailure();
        platform_.prompter.error(why.empty() ? std::string(kPortUnavailable) : std::string(kPortUnavailable) + "\n" + why);
        ClosePort();
        return false;
    }
    ArmWatchdog(kWatchdogTicks);
    nav.DataArriving = true;
    return true;
}

void NmeaInterface::ClosePort()
{
    platform_.serial.close();
    armed_ = false;
    ticksLeft_ = 0;
}

void NmeaInterface::ArmWatchdog(int ticks)
{
    armed_ = true;
    ticksLeft_ = ticks;
}

void NmeaInterface::OpenNmeaInterface()
{
    if (!OpenPort()) {
        return;
    }
    NavState& nav = state_.nav;
    Display& d = state_.display;
    d.hints[kNmeaButtonControl] = "Close NMEA interface|";
    d.checked[kNmeaInterfaceControl] = true;
    d.FixTimer = {true, nav.FixIntervalMs};
    nav.NmeaOpen = true;
    nav.DRMode = false;
    d.checked[kDRModeControl] = false;
    d.StatusLine.clear();
    d.enabled[kGetAvgPosControl] = true;
    d.enabled[kPlayAISlogControl] = false;
    platform_.prompter.information("NMEA Interface Open!");
}

void NmeaInterface::OpenAtStartup()
{
    OpenPort();
    state_.display.enabled[kPlayAISlogControl] = false;
    state_.display.FixTimer = {true, state_.nav.FixIntervalMs};
}

void NmeaInterface::CloseNmeaInterface()
{
    if (!platform_.prompter.confirm(kCloseQuestion)) {
        return;
    }
    Display& d = state_.display;
    d.hints[kNmeaButtonControl] = "Open NMEA interface|";
    d.StatusLine.clear();
    d.checked[kNmeaInterfaceControl] = false;
    d.FixTimer = {false, 0};
    ClosePort();
    state_.nav.NmeaOpen = false;
    d.ClearNavDisplay();
    d.enabled[kGetAvgPosControl] = false;
    platform_.prompter.beep(Beep::Default);
    d.enabled[kPlayAISlogControl] = true;
    platform_.prompter.information("NMEA Interface Closed!");
    SetGPSIndicator(d, "GPS ?", "silver");
}

void NmeaInterface::CloseAtExit()
{
    if (!state_.nav.NmeaOpen) {
        return;
    }
    Display& d = state_.display;
    d.StatusLine.clear();
    d.checked[kNmeaInterfaceControl] = false;
    d.FixTimer = {false, 0};
    ClosePort();
    state_.nav.NmeaOpen = false;
    d.ClearNavDisplay();
}

void NmeaInterface::ShowNMEAClick()
{
    Display& d = state_.display;
    const bool show = !state_.prefs.ShowNMEA;
    state_.prefs.ShowNMEA = show;
    if (!show) {
        d.StatusLine.clear();
    }
}

void NmeaInterface::onCharsAvailable(std::string_view chars)
{
    // Noise discarded for its length still counts as data arriving.
    const SentenceFramer::Sink sink{[this](const std::string& s) { onSentence(s); },
                                    [this] {
                                        ArmWatchdog(kWatchdogTicks);
                                        state_.nav.DataArriving = true;
                                    }};
    framer_.feed(chars, sink);
}

void NmeaInterface::onSentence(const std::string& sentence)
{
    NavState& nav = state_.nav;
    Display& d = state_.display;
    if (ChecksumMismatch(sentence)) {
        // A damaged sentence is counted and shown, never used: not as the position, not as AIS.
        ++nav.RejectedSentences;
        if (d.isChecked(kShowNMEAControl)) {
            d.StatusLine = kRejectedChecksumMark + sentence;
        }
    } else {
        UseSentence(sentence);
    }
    ArmWatchdog(kWatchdogTicks);
    nav.DataArriving = true;
}

void NmeaInterface::UseSentence(const std::string& sentence)
{
    NavState& nav = state_.nav;
    Display& d = state_.display;
    const std::string_view id = std::string_view(sentence).substr(0, 6);
    if (IsChosenPositionSentence(sentence, nav.PositionSentence)) {
        nav.LastPositionSentence = sentence;
        nav.LastAisSentence.clear();
    }
    if (id == "!AIVDM") {
        nav.LastAisSentence = sentence;
    }
    // The last AIS sentence is kept until a position sentence replaces it, but it goes to the
    // decoder only at its own sentence end: handing it on again after a following satellite
    // sentence would join a middle fragment twice and decode a corrupt message. (The log would
    // have kept the repeat out of the file anyway: it skips an AIS line equal to the last one.)
    if (id == "!AIVDM" && state_.prefs.ProcAis && nav.LastAisSentence.rfind("!AIVDM", 0) == 0) {
        if (state_.prefs.ShowNMEA) {
            d.StatusLine = nav.LastAisSentence;
        }
        if (ais_ != nullptr) {
            const std::string sentence = nav.LastAisSentence; // the handler may change the state
            ais_->ProcessAISSentence(sentence);
        }
    }
}

void NmeaInterface::onWatchdog()
{
    if (!armed_ || --ticksLeft_ > 0) {
        return;
    }
    NavState& nav = state_.nav;
    state_.display.StatusLine = "No NMEA data on COM" + std::to_string(nav.ComPortNumber);
    nav.LastPositionSentence.clear();
    if (nav.DataArriving) {
        platform_.prompter.beep(Beep::Exclamation);
    }
    ArmWatchdog(kNoDataTicks);
    nav.DataArriving = false;
}

void NmeaInterface::onSourceStatus(std::string_view text)
{
    state_.display.StatusLine = std::string(text);
}

} // namespace kv
