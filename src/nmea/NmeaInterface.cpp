#include "nmea/NmeaInterface.h"

#include "nmea/NmeaParse.h"
#include "nmea/Talkers.h"

namespace kv {

NmeaInterface::NmeaInterface(NmeaInterfaceRecords state, Platform& platform, AisSentenceHandler* ais)
    : state_(state)
    , platform_(platform)
    , ais_(ais)
    , framer_(state.nmeaLink.RxBuffer)
{
    platform_.serial.setListener(this);
}

NmeaInterface::~NmeaInterface()
{
    platform_.serial.setListener(nullptr);
}

void NmeaInterface::NMEAServerOnOffClick()
{
    if (state_.nmeaLink.NmeaOpen) {
        CloseNmeaInterface();
    } else {
        OpenNmeaInterface();
    }
}

bool NmeaInterface::OpenPort()
{
    if (state_.settings.nmea.ComPortNumber == 0) {
        return false;
    }
    if (!platform_.serial.open(state_.settings.nmea.ComPortNumber, state_.settings.nmea.BaudRate)) {
        const std::string why = platform_.serial.openFailure();
        platform_.prompter.error(
            why.empty() ? std::string(kPortUnavailable) : std::string(kPortUnavailable) + "\n" + why);
        ClosePort();
        return false;
    }
    ArmWatchdog(kWatchdogTicks);
    state_.nmeaLink.DataArriving = true;
    return true;
}

void NmeaInterface::ClosePort()
{
    platform_.serial.close();
    if (ais_ != nullptr) {
        ais_->InterfaceClosed();
    }
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
    Display& d = state_.display;
    d.hints[Control::NMEAServerOnOff] = "Close NMEA interface|";
    d.checked[Control::NMEAInterface1] = true;
    d.FixTimer = { true, state_.settings.fix.FixIntervalMs };
    state_.nmeaLink.NmeaOpen = true;
    state_.settings.fix.DRMode = false;
    d.checked[Control::DRMode1] = false;
    d.StatusLine.clear();
    d.enabled[Control::GetAvgPos] = true;
    d.enabled[Control::PlayAISlog] = false;
    platform_.prompter.information("NMEA Interface Open!");
}

void NmeaInterface::OpenAtStartup()
{
    OpenPort();
    state_.display.enabled[Control::PlayAISlog] = false;
    state_.display.FixTimer = { true, state_.settings.fix.FixIntervalMs };
}

void NmeaInterface::CloseNmeaInterface()
{
    if (!platform_.prompter.confirm(kCloseQuestion)) {
        return;
    }
    Display& d = state_.display;
    d.hints[Control::NMEAServerOnOff] = "Open NMEA interface|";
    d.StatusLine.clear();
    d.checked[Control::NMEAInterface1] = false;
    d.FixTimer = { false, 0 };
    ClosePort();
    state_.nmeaLink.NmeaOpen = false;
    d.ClearNavDisplay();
    platform_.prompter.beep(Beep::Default);
    d.enabled[Control::GetAvgPos] = false;
    d.enabled[Control::PlayAISlog] = true;
    platform_.prompter.information("NMEA Interface Closed!");
    SetGPSIndicator(d, "GPS ?", "silver");
}

void NmeaInterface::CloseAtExit()
{
    if (!state_.nmeaLink.NmeaOpen) {
        return;
    }
    Display& d = state_.display;
    d.StatusLine.clear();
    d.checked[Control::NMEAInterface1] = false;
    d.FixTimer = { false, 0 };
    ClosePort();
    state_.nmeaLink.NmeaOpen = false;
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
    const SentenceFramer::Sink sink { [this](const std::string& s) { onSentence(s); },
        [this] {
            ArmWatchdog(kWatchdogTicks);
            state_.nmeaLink.DataArriving = true;
        } };
    // Whatever the AIS sentences of this delivery leave to be logged is written at once.
    if (ais_ != nullptr) {
        ais_->BeginBatch();
    }
    framer_.feed(chars, sink);
    if (ais_ != nullptr) {
        ais_->EndBatch();
    }
}

void NmeaInterface::onSentence(const std::string& sentence)
{
    Display& d = state_.display;
    if (ChecksumMismatch(sentence)) {
        // A damaged sentence is counted and shown, never used: not as the position, not as AIS,
        // and not as a sign of data arriving, so a receiver whose every line is damaged gets the
        // no-data warning.
        ++state_.nmeaLink.RejectedSentences;
        if (state_.prefs.ShowNMEA) {
            d.StatusLine = kRejectedChecksumMark + sentence;
        }
        return;
    }
    UseSentence(sentence);
    ArmWatchdog(kWatchdogTicks);
    state_.nmeaLink.DataArriving = true;
    if (tap_) {
        tap_(sentence);
    }
}

void NmeaInterface::UseSentence(const std::string& sentence)
{
    Display& d = state_.display;
    const std::string_view id = std::string_view(sentence).substr(0, 6);
    if (IsChosenPositionSentence(sentence, state_.prefs.nmea.PositionSentence)) {
        state_.nmeaLink.LastPositionSentence = sentence;
        state_.nmeaLink.LastAisSentence.clear();
    }
    if (id == "!AIVDM") {
        state_.nmeaLink.LastAisSentence = sentence;
    }
    // The last AIS sentence is kept until a position sentence replaces it, but it goes to the
    // decoder only at its own sentence end: handing it on again after a following satellite
    // sentence would join a middle fragment twice and decode a corrupt message. (The log would
    // have kept the repeat out of the file anyway: it skips an AIS line equal to the last one.)
    if (id == "!AIVDM" && state_.prefs.ProcAis && state_.nmeaLink.LastAisSentence.rfind("!AIVDM", 0) == 0) {
        if (state_.prefs.ShowNMEA) {
            d.StatusLine = state_.nmeaLink.LastAisSentence;
        }
        if (ais_ != nullptr) {
            const std::string sentence = state_.nmeaLink.LastAisSentence; // the handler may change the state
            ais_->ProcessAISSentence(sentence);
        }
    }
}

void NmeaInterface::onWatchdog()
{
    if (!armed_ || --ticksLeft_ > 0) {
        return;
    }
    state_.display.StatusLine = "No NMEA data on COM" + std::to_string(state_.settings.nmea.ComPortNumber);
    state_.nmeaLink.LastPositionSentence.clear();
    if (state_.nmeaLink.DataArriving) {
        platform_.prompter.beep(Beep::Exclamation);
    }
    ArmWatchdog(kNoDataTicks);
    state_.nmeaLink.DataArriving = false;
}

void NmeaInterface::onInputDropped(std::size_t sentences)
{
    // The sentence begun before the gap cannot be finished by what follows it.
    state_.nmeaLink.RxBuffer.clear();
    state_.nmeaLink.DroppedSentences += sentences;
    state_.display.StatusLine = "Too much data on COM" + std::to_string(state_.settings.nmea.ComPortNumber) + ": "
        + std::to_string(state_.nmeaLink.DroppedSentences) + " sentences dropped";
}

void NmeaInterface::onSourceStatus(std::string_view text)
{
    state_.display.StatusLine = std::string(text);
}

} // namespace kv
