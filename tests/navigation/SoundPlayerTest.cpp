// The Qt sound player: a missing clip or a machine without audio is no error, and the end of
// playback is always reported so the fix cycle's prompts never stay silenced.

#include "platform/qt/QtSoundPlayer.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

// A short 8 kHz mono 16-bit PCM clip of silence.
std::string SilentWav(int samples)
{
    auto le = [](std::uint32_t v, int bytes) {
        std::string s;
        for (int i = 0; i < bytes; ++i) {
            s += static_cast<char>((v >> (8 * i)) & 0xff);
        }
        return s;
    };
    const std::uint32_t data = static_cast<std::uint32_t>(samples) * 2;
    return "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) + le(16000, 4)
        + le(2, 2) + le(16, 2) + "data" + le(data, 4) + std::string(data, '\0');
}

} // namespace

TEST(QtSoundPlayer, MissingClipAndRealClipBothEnd)
{
    int argc = 1;
    char name[] = "test";
    char* argv[] = { name, nullptr };
    QCoreApplication app(argc, argv);
    kvtest::TempDir dir;
    kv::QtSoundPlayer player(1500);
    int ended = 0;
    player.setFinishedHandler([&] { ++ended; });

    EXPECT_FALSE(player.play(dir.file("left.wav")));
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(player.busy());

    dir.write("OnTrack.wav", SilentWav(800));
    EXPECT_TRUE(player.play(dir.file("OnTrack.wav")));
    QElapsedTimer clock;
    clock.start();
    while (ended < 2 && clock.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    EXPECT_EQ(ended, 2); // played, or given up on by the watchdog: either way reported once
    EXPECT_FALSE(player.busy());
}
