#pragma once
// The Qt side of the seams the window layer supplies: clipboard, program launch and a player
// that plays nothing (for a machine without the sound player).

#include "platform/Clipboard.h"
#include "platform/ProgramLauncher.h"
#include "platform/SoundPlayer.h"

namespace kvui {

class QtClipboard final : public kv::Clipboard {
public:
    void setText(const std::string& latin1Text) override;
    void setImage(const QImage& image) override;
};

class QtLauncher final : public kv::ProgramLauncher {
public:
    bool launch(const std::string& program, const std::vector<std::string>& arguments) override;
};

// Reports the end of every clip at once, so the voice prompts never wait on it.
class SilentSoundPlayer final : public kv::SoundPlayer {
public:
    bool play(const std::string& wavPath) override;
};

} // namespace kvui
