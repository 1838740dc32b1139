// A voyage from a multi-constellation receiver ("$GN..." sentences) sails exactly as the same
// voyage from a GPS receiver: the same fixes, route following and output, with only the
// sentence identifier kept as received.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

// The RMC and GGA sentences of a track given the talker, with their checksums recomputed.
std::string Retalk(const std::string& track, const std::string& talker)
{
    std::istringstream in(track);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        const std::string kind = line.substr(3, 3);
        if (line.rfind("$GP", 0) == 0 && (kind == "RMC" || kind == "GGA")) {
            const std::string body = talker + line.substr(3, line.find('*') - 3);
            unsigned sum = 0;
            for (const char c : body) {
                sum ^= static_cast<unsigned char>(c);
            }
            char tail[8];
            std::snprintf(tail, sizeof tail, "*%02X", sum);
            line = "$" + body + tail;
        }
        out += line + "\n";
    }
    return out;
}

void Replace(std::string& text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

kvtest::ToolResult Sail(const kvtest::TempDir& work, const std::string& track, const std::string& options)
{
    fs::copy(
        std::string(KV_SOURCE_DIR) + "/tests/navigation/golden/voyage_route", work.path(), fs::copy_options::recursive);
    fs::remove(work.file("expected.jsonl"));
    work.write("track.nmea", track);
    return kvtest::RunKvtoolLine(
        "navigate '" + work.path() + "' '" + work.file("track.nmea") + "' " + options + " 2>/dev/null");
}

} // namespace

TEST(TalkerVoyage, MultiConstellationSentencesSailLikeGps)
{
    const std::string gpTrack
        = ReadFile(std::string(KV_SOURCE_DIR) + "/tests/navigation/golden/voyage_route/track.nmea");
    ASSERT_NE(gpTrack.find("$GPGGA"), std::string::npos);
    for (const std::string sentence : { "GGA", "RMC" }) {
        kvtest::TempDir gpWork;
        const kvtest::ToolResult gp = Sail(gpWork, gpTrack, "--clock 2026-06-01T10:00:00 --sentence " + sentence);
        ASSERT_EQ(gp.exitCode, 0);
        ASSERT_NE(gp.out.find("\"OwnLat\""), std::string::npos);
        for (const std::string talker : { "GN", "GL", "BD" }) {
            SCOPED_TRACE(talker + sentence);
            kvtest::TempDir work;
            const kvtest::ToolResult r
                = Sail(work, Retalk(gpTrack, talker), "--clock 2026-06-01T10:00:00 --sentence " + sentence);
            ASSERT_EQ(r.exitCode, 0);
            std::string out = r.out;
            const std::string received = "\"FixSource\":\"$" + talker + sentence + "\"";
            ASSERT_NE(out.find(received), std::string::npos) << "the sentence is kept as received";
            Replace(out, received, "\"FixSource\":\"$GP" + sentence + "\"");
            EXPECT_EQ(out, gp.out);
        }
    }
}
