// The pictures of docs/: every one is made by a scene of docs/make-pictures.sh (kvshot's or the
// script's own), and a kvshot scene writes its pictures without touching the folder it copies.

#include "support/RunTool.h"
#include "support/TempDir.h"

#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string KvshotPath()
{
    if (const char* env = std::getenv("KVSHOT"); env != nullptr && *env != '\0') {
        return env;
    }
    return std::string(KV_BINARY_DIR) + "/kvshot";
}

// Every file under `folder` with its size, by its path relative to it.
std::map<std::string, std::uintmax_t> Listing(const std::string& folder)
{
    std::map<std::string, std::uintmax_t> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        files[fs::relative(entry.path(), folder).string()] = entry.is_regular_file() ? entry.file_size() : 0;
    }
    return files;
}

TEST(PictureScenes, EveryPictureOfDocsIsMadeByExactlyOneScene)
{
    const std::string src = KV_SOURCE_DIR;
    const std::string build = fs::path(KvshotPath()).parent_path().string();
    const kvtest::ToolResult list = kvtest::RunShell("BUILD=" + kvtest::ShellQuote(build) + " bash "
        + kvtest::ShellQuote(src + "/docs/make-pictures.sh") + " --list 2>/dev/null");
    ASSERT_EQ(list.exitCode, 0);

    std::set<std::string> scenes;
    std::map<std::string, std::string> madeBy; // picture -> scene
    std::istringstream lines(list.out);
    std::string line;
    while (std::getline(lines, line)) {
        const auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string scene = line.substr(0, tab);
        EXPECT_TRUE(scenes.insert(scene).second) << "scene listed twice: " << scene;
        std::istringstream pictures(line.substr(tab + 1));
        std::string picture;
        while (pictures >> picture) {
            const auto [at, fresh] = madeBy.emplace(picture, scene);
            EXPECT_TRUE(fresh) << picture << " is made by both " << at->second << " and " << scene;
            EXPECT_TRUE(fs::exists(src + "/docs/" + picture)) << scene << " makes " << picture << ", not in docs/";
        }
    }
    for (const auto& entry : fs::directory_iterator(src + "/docs")) {
        if (entry.path().extension() == ".png") {
            EXPECT_EQ(madeBy.count(entry.path().filename().string()), 1u)
                << entry.path().filename() << " is made by no scene";
        }
    }
}

// A scene works in a copy: the folder given (the demo folder, when the script runs it) is left as
// it was, and the pictures go to the output folder at the size the scene gives its window.
TEST(PictureScenes, SceneWritesItsPictureAndLeavesTheFolderItCopiesAlone)
{
    kvtest::TempDir dir;
    const std::string work = dir.file("work");
    const std::string out = dir.file("out");
    fs::copy(std::string(KV_SOURCE_DIR) + "/demo", work, fs::copy_options::recursive);
    const auto before = Listing(work);

    const std::string run = "QT_QPA_PLATFORM=offscreen " + kvtest::ShellQuote(KvshotPath()) + " "
        + kvtest::ShellQuote(work) + " " + kvtest::ShellQuote(out) + " ";
    EXPECT_EQ(kvtest::RunShell(run + "anchor-watch >/dev/null 2>&1").exitCode, 0);
    EXPECT_EQ(Listing(work), before);
    EXPECT_EQ(Listing(out).size(), 1u);
    const QImage picture(QString::fromStdString(out + "/anchor-watch.png"));
    EXPECT_EQ(picture.width(), 1100);
    EXPECT_EQ(picture.height(), 760);

    // A name that is no scene is refused before any scene runs.
    fs::remove_all(out);
    EXPECT_EQ(kvtest::RunShell(run + "anchor-watch no-such-scene >/dev/null 2>&1").exitCode, 2);
    EXPECT_FALSE(fs::exists(out + "/anchor-watch.png"));
}

} // namespace
