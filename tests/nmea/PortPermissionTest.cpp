// A serial device the user may not open: the message that the port is not available, then what
// to do about it (the group "dialout"), through the NMEA interface and through the Qt port.

#include "app/ProgramState.h"
#include "nmea/NmeaInterface.h"
#include "platform/Platform.h"
#include "platform/fake/Fakes.h"
#include "platform/qt/QtSerialPort.h"
#include "support/TempDir.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace {

using namespace kv;

// A port that never opens and says why (or not).
class RefusingPort final : public SerialPort {
public:
    explicit RefusingPort(std::string why)
        : why_(std::move(why))
    {
    }
    bool open(unsigned, unsigned) override { return false; }
    void close() override { }
    bool isOpen() const override { return false; }
    std::size_t outputFree() const override { return 0; }
    bool write(std::string_view) override { return false; }
    std::string openFailure() const override { return why_; }

private:
    std::string why_;
};

TEST(PortPermission, TheReasonFollowsTheMessageUnchanged)
{
    struct Case {
        const char* why;
        std::string expected;
    };
    const Case cases[] = {
        { "", kPortUnavailable },
        { "Permission denied on /dev/ttyUSB0: ...",
            std::string(kPortUnavailable) + "\nPermission denied on /dev/ttyUSB0: ..." },
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.why);
        FakePlatform fakes;
        RefusingPort port(tc.why);
        Platform platform { fakes.prompter, fakes.clock, port, fakes.sound, fakes.launcher, fakes.clipboard,
            fakes.printer };
        ProgramState state;
        state.settings.nmea.ComPortNumber = 1;
        NmeaInterface nmea(state, platform);
        nmea.OpenNmeaInterface();
        EXPECT_EQ(fakes.prompter.texts(), std::vector<std::string> { tc.expected });
        EXPECT_FALSE(state.nmeaLink.NmeaOpen);
    }
}

TEST(PortPermission, HintNamesTheDeviceAndTheGroup)
{
    const std::string hint = SerialPermissionHint("/dev/ttyACM3");
    EXPECT_NE(hint.find("/dev/ttyACM3"), std::string::npos) << hint;
    EXPECT_NE(hint.find("dialout"), std::string::npos) << hint;
}

// The Qt port on a device file without read and write rights for the user. The superuser may
// open anything, so there the case cannot arise.
TEST(PortPermission, QtPortReportsADeviceWithoutRights)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "running as root: every device opens";
    }
    static int argc = 1;
    static char name[] = "test_nmea";
    static char* argv[] = { name, nullptr };
    if (QCoreApplication::instance() == nullptr) {
        new QCoreApplication(argc, argv);
    }
    kvtest::TempDir work;
    std::filesystem::create_directories(work.file("dev"));
    std::ofstream(work.file("locked")) << "";
    std::filesystem::permissions(work.file("locked"), std::filesystem::perms::none);
    std::filesystem::create_symlink(work.file("locked"), work.file("dev/com1"));
    QtSerialPort port(work.path(), 2);
    EXPECT_FALSE(port.open(1, 4800));
    EXPECT_EQ(port.openFailure(), SerialPermissionHint(work.file("locked")));
    // A missing device is not a matter of rights.
    std::filesystem::remove(work.file("dev/com1"));
    std::filesystem::create_symlink("/nonexistent/ttyUSB9", work.file("dev/com1"));
    EXPECT_FALSE(port.open(1, 4800));
    EXPECT_EQ(port.openFailure(), "");
}

} // namespace
