#pragma once
// Voice clips through Qt Multimedia. A missing file or a machine without audio plays nothing
// and is not an error; the end of playback is always reported, so the caller's "sound idle"
// flag never stays cleared.

#include "platform/SoundPlayer.h"

#include <memory>

class QSoundEffect;
class QTimer;

namespace kv {

class QtSoundPlayer final : public SoundPlayer {
public:
    // `longestClipMs`: a clip still "playing" after this long is taken as ended (a device that
    // never reports the end must not silence every later prompt).
    explicit QtSoundPlayer(int longestClipMs = 20000);
    ~QtSoundPlayer() override;

    bool play(const std::string& wavPath) override;
    void stop() override;
    bool busy() const { return pending_; }

private:
    void end();

    std::unique_ptr<QSoundEffect> effect_;
    std::unique_ptr<QTimer> watchdog_;
    bool pending_ = false;
};

} // namespace kv
