#include "platform/fake/Fakes.h"

namespace kv {

bool FakePrompter::nextAnswer()
{
    if (script.empty()) {
        return defaultAnswer;
    }
    const bool a = script.front();
    script.pop_front();
    return a;
}

bool FakePrompter::confirm(const std::string& text)
{
    messages.push_back({ "confirm", text });
    return nextAnswer();
}

bool FakePrompter::okCancel(const std::string& text)
{
    messages.push_back({ "okCancel", text });
    return nextAnswer();
}

bool FakePrompter::okCancelCaptioned(const std::string& caption, const std::string& text)
{
    messages.push_back({ "okCancel", text, caption });
    return nextAnswer();
}

bool FakePrompter::informationOkCancel(const std::string& text)
{
    messages.push_back({ "informationOkCancel", text });
    return nextAnswer();
}

std::vector<std::string> FakePrompter::texts() const
{
    std::vector<std::string> out;
    for (const auto& m : messages) {
        out.push_back(m.text);
    }
    return out;
}

bool FakeSerialPort::open(unsigned portNumber, unsigned baud)
{
    if (!available) {
        return false;
    }
    opened = true;
    openedNumber = portNumber;
    openedBaud = baud;
    return true;
}

bool FakeSerialPort::write(std::string_view bytes)
{
    if (!opened) {
        return false;
    }
    written.append(bytes);
    return true;
}

void FakeSerialPort::receive(std::string_view chars)
{
    if (listener() == nullptr) {
        return;
    }
    listener()->onCharsAvailable(chars);
}

void FakeSerialPort::tick(int count)
{
    for (int i = 0; i < count && listener() != nullptr; ++i) {
        listener()->onWatchdog();
    }
}

bool FakeSoundPlayer::play(const std::string& wavPath)
{
    played.push_back(wavPath);
    if (autoFinish) {
        finished();
    }
    return true;
}

bool FakeLauncher::launch(const std::string& program, const std::vector<std::string>& arguments)
{
    launches.push_back({ program, arguments });
    return succeed;
}

} // namespace kv
