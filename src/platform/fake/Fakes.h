#pragma once
// Recording fakes of the platform seams for tests and headless tools: they remember what was
// asked (messages, beeps, bytes written, sounds played) and answer confirmations from a script.

#include "platform/Platform.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace kv {

class FakePrompter final : public Prompter {
public:
    struct Message {
        std::string kind; // "warning", "error", "information", "confirm", "okCancel", "informationOkCancel"
        std::string text;
        std::string caption = {}; // a box's own caption; empty for the program's name
        friend bool operator==(const Message&, const Message&) = default;
    };

    void warning(const std::string& text) override { messages.push_back({ "warning", text }); }
    void error(const std::string& text) override { messages.push_back({ "error", text }); }
    void information(const std::string& text) override { messages.push_back({ "information", text }); }
    bool confirm(const std::string& text) override;
    bool okCancel(const std::string& text) override;
    bool okCancelCaptioned(const std::string& caption, const std::string& text) override;
    bool informationOkCancel(const std::string& text) override;
    // Answered from `choices`, then `defaultChoice`; recorded as kind "yesNoCancel".
    Answer yesNoCancel(const std::string& text) override
    {
        messages.push_back({ "yesNoCancel", text });
        if (choices.empty()) {
            return defaultChoice;
        }
        const Answer a = choices.front();
        choices.pop_front();
        return a;
    }
    void beep(Beep kind) override { beeps.push_back(kind); }

    // Answers for the next questions, in order; when the script runs out, defaultAnswer is used.
    void answer(std::initializer_list<bool> answers) { script.insert(script.end(), answers); }
    bool lastMessageIs(const std::string& text) const { return !messages.empty() && messages.back().text == text; }
    std::vector<std::string> texts() const;

    std::vector<Message> messages;
    std::vector<Beep> beeps;
    std::deque<bool> script;
    bool defaultAnswer = true;
    std::deque<Answer> choices;
    Answer defaultChoice = Answer::No;

private:
    bool nextAnswer();
};

class FakeClock final : public Clock {
public:
    LocalDateTime now() const override { return time; }
    LocalDateTime time { 2026, 12, 8, 12, 0, 0, 0 };
};

class FakeSerialPort final : public SerialPort {
public:
    bool open(unsigned portNumber, unsigned baud) override;
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    std::size_t outputFree() const override { return freeSpace; }
    bool write(std::string_view bytes) override;

    // Test side: deliver received characters as one read of the real port would, and watchdog
    // ticks.
    void receive(std::string_view chars);
    void tick(int count = 1);

    bool available = true;
    bool opened = false;
    unsigned openedNumber = 0;
    unsigned openedBaud = 0;
    std::size_t freeSpace = 4096;
    std::string written;
};

class FakeSoundPlayer final : public SoundPlayer {
public:
    bool play(const std::string& wavPath) override;
    // Ends the clip being played (as the media player reports at the end of playback).
    void finish() { finished(); }
    void stop() override { ++stops; }

    std::vector<std::string> played;
    int stops = 0;
    bool autoFinish = false;
};

class FakeLauncher final : public ProgramLauncher {
public:
    bool launch(const std::string& program, const std::vector<std::string>& arguments) override;

    struct Launch {
        std::string program;
        std::vector<std::string> arguments;
    };
    std::vector<Launch> launches;
    bool succeed = true;
};

class FakeClipboard final : public Clipboard {
public:
    void setText(const std::string& latin1Text) override { text = latin1Text; }
    void setImage(const QImage& picture) override { image = picture; }
    std::string text;
    QImage image;
};

class FakePrinter final : public Printer {
public:
    bool printFitted(const QImage& image) override
    {
        printed.push_back(image);
        return succeed;
    }
    bool printDrawn(const std::function<QImage(const PrintPage&)>& draw) override
    {
        pages.push_back(page);
        printed.push_back(draw(page));
        return succeed;
    }
    void setup() override { ++setups; }
    void preferOrientation(bool wide) override { landscape = wide; }
    PrintPage page { 1600, 1200, 300, false }; // what the print dialog chose
    std::optional<bool> landscape; // the orientation last asked for
    std::vector<PrintPage> pages;
    std::vector<QImage> printed;
    int setups = 0;
    bool succeed = true;
};

// One set of fakes wired as a Platform.
struct FakePlatform {
    FakePrompter prompter;
    FakeClock clock;
    FakeSerialPort serial;
    FakeSoundPlayer sound;
    FakeLauncher launcher;
    FakeClipboard clipboard;
    FakePrinter printer;
    Platform platform { prompter, clock, serial, sound, launcher, clipboard, printer };
};

} // namespace kv
