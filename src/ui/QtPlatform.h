#pragma once
// The Qt side of the seams the window layer supplies: clipboard and program launch.

#include "platform/Clipboard.h"
#include "platform/ProgramLauncher.h"

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

} // namespace kvui
