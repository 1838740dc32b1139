// kvtool listen: opens a sentence source the way the program does and prints each complete
// sentence with its arrival time, to check a connection before starting the program.

#include "Command.h"

#include "core/SourceAddress.h"
#include "nmea/SentenceFramer.h"
#include "platform/qt/QtSerialPort.h"

#include <QCoreApplication>
#include <QDir>
#include <QTime>
#include <QTimer>

#include <charconv>
#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: kvtool listen SOURCE [--seconds N] [--baud 4800|38400]\n"
                               "  SOURCE: a COM number (through dev/com<n> of the current folder), a device path,\n"
                               "          tcp://HOST:PORT, udp://:PORT, gpsd://HOST[:PORT] or signalk://HOST[:PORT]\n"
                               "          (a Signal K server's deltas are printed as the sentences they become)\n";

class Printer final : public kv::SerialListener {
public:
    void onCharsAvailable(std::string_view chars) override
    {
        const kv::SentenceFramer::Sink sink { [](const std::string& sentence) {
                                                 if (sentence.empty()) {
                                                     return;
                                                 }
                                                 const std::string when
                                                     = QTime::currentTime().toString("HH:mm:ss.zzz").toStdString();
                                                 // A peer's escape sequences are shown, never obeyed.
                                                 std::printf(
                                                     "%s\t%s\n", when.c_str(), kv::VisibleText(sentence).c_str());
                                                 std::fflush(stdout);
                                             },
            {} };
        framer_.feed(chars, sink);
    }
    void onWatchdog() override { }
    void onSourceStatus(std::string_view text) override
    {
        std::fprintf(stderr, "kvtool listen: %s\n", kv::VisibleText(text).c_str());
    }

private:
    std::string buffer_;
    kv::SentenceFramer framer_ { buffer_ };
};

bool ParseNumber(const std::string& text, unsigned& value)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

int RunListen(const kvtool::Args& args)
{
    std::string sourceText;
    unsigned seconds = 0;
    unsigned baud = 4800;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--seconds" || args[i] == "--baud") && i + 1 < args.size()) {
            unsigned& target = args[i] == "--seconds" ? seconds : baud;
            if (!ParseNumber(args[i + 1], target)) {
                std::fprintf(stderr, "kvtool listen: %s takes a whole number, not \"%s\"\n", args[i].c_str(),
                    args[i + 1].c_str());
                return 2;
            }
            ++i;
        } else if (sourceText.empty() && args[i].rfind("--", 0) != 0) {
            sourceText = args[i];
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (sourceText.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string folder = QDir::currentPath().toLocal8Bit().toStdString() + "/";
    unsigned number = 0;
    kv::SourceParse source
        = ParseNumber(sourceText, number) ? kv::ResolveComSource(number, folder) : kv::ParseSourceAddress(sourceText);
    if (!source.ok()) {
        std::fprintf(stderr, "kvtool listen: %s\n", source.error.c_str());
        return 1;
    }
    kv::QtSerialPort port(folder);
    Printer printer;
    port.setListener(&printer);
    const bool opened = number > 0 ? port.open(number, baud) : port.openSource(source.address, baud);
    if (!opened) {
        std::fprintf(
            stderr, "kvtool listen: cannot open %s\n", kv::VisibleText(kv::SourceText(source.address)).c_str());
        return 1;
    }
    std::fprintf(stderr, "kvtool listen: listening to %s\n", kv::VisibleText(kv::SourceText(source.address)).c_str());
    if (seconds > 0) {
        QTimer::singleShot(static_cast<int>(seconds * 1000), [] { QCoreApplication::exit(0); });
    }
    const int code = QCoreApplication::exec();
    port.close();
    port.setListener(nullptr);
    return code;
}

const kvtool::CommandRegistration reg { { "listen",
    "SOURCE [--seconds N] [--baud B]: print each sentence of a COM number, device or network source with its arrival "
    "time",
    &RunListen } };

} // namespace
