// kvtool and kvtool-gdal: the commands that do not read GDAL sources start without loading
// GDAL's libraries, and kvtool still offers every command of both programs.

#include "support/RunTool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

bool GdalPartBuilt()
{
    return std::filesystem::exists(std::filesystem::path(kvtest::KvtoolPath()).parent_path() / "kvtool-gdal");
}

TEST(KvtoolParts, DecodingNeverLoadsGdal)
{
    // The dynamic loader names every library it opens on standard error under LD_DEBUG=files.
    const auto r = kvtest::RunShell("echo '!AIVDM,1,1,,A,13u?etPv2;0n:dDPwUM1U1Cb069D,0*24' | LD_DEBUG=files "
        + kvtest::ShellQuote(kvtest::KvtoolPath()) + " ais-decode 2>&1 >/dev/null");
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_NE(r.out.find("libQt6Core"), std::string::npos) << "the loader said nothing:\n" << r.out.substr(0, 2000);
    EXPECT_EQ(r.out.find("libgdal"), std::string::npos);
}

TEST(KvtoolParts, HelpAndUnknownCommandsSpeakForBothParts)
{
    const auto help = kvtest::RunKvtool({ "--help" });
    EXPECT_EQ(help.exitCode, 0);
    const auto unknown = kvtest::RunKvtoolLine("no-such-command 2>&1");
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.out.find("kvtool: unknown command 'no-such-command'"), std::string::npos) << unknown.out;
    for (const auto* text : { &help.out, &unknown.out }) {
        EXPECT_NE(text->find("  ais-decode "), std::string::npos) << *text;
        if (GdalPartBuilt()) {
            EXPECT_NE(text->find("  chart-import "), std::string::npos) << *text;
            EXPECT_NE(text->find("  chart-portfolio "), std::string::npos) << *text;
        }
    }
}

TEST(KvtoolParts, GdalCommandsRunThroughKvtool)
{
    if (!GdalPartBuilt()) {
        GTEST_SKIP() << "built without GDAL";
    }
    // Arguments and exit code pass through: a missing argument is a usage error of the command.
    const auto r = kvtest::RunKvtoolLine("chart-import only-one-argument 2>&1");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.out.find("usage: kvtool chart-import SOURCE OUT.cht"), std::string::npos) << r.out;
}

} // namespace
