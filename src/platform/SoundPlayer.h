#pragma once
// Voice clips: open a wave file by name, play it, report the end of playback.

#include <functional>
#include <string>

namespace kv {

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Plays the file; false when it cannot be played (missing file, no audio). Not an error.
    virtual bool play(const std::string& wavPath) = 0;
    // Stops the clip being played, if any (its end is reported as for a clip that ran out).
    virtual void stop() { }
    // Called when playback ends (or at once when play() fails), so SoundIdle can be set again.
    void setFinishedHandler(std::function<void()> handler) { finished_ = std::move(handler); }

protected:
    void finished() const
    {
        if (finished_) {
            finished_();
        }
    }

private:
    std::function<void()> finished_;
};

} // namespace kv
