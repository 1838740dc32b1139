// The user manual in docs/manual: every link between its pages and to its pictures resolves, each
// "#section" names a heading of its page, and the help topics and the pages match one to one.

#include "app/HelpTopics.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

fs::path ManualDir()
{
    return fs::path(KV_SOURCE_DIR) / "docs" / "manual";
}

std::string Read(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The anchor a code-hosting site gives a heading: lower case, spaces to '-', punctuation dropped.
std::string Slug(const std::string& heading)
{
    std::string out;
    for (unsigned char c : heading) {
        if (std::isalnum(c) || c == '-' || c == '_') {
            out += static_cast<char>(std::tolower(c));
        } else if (c == ' ') {
            out += '-';
        }
    }
    return out;
}

std::set<std::string> Anchors(const std::string& page)
{
    std::set<std::string> anchors;
    std::istringstream lines(page);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind('#', 0) == 0) {
            const std::string title = line.substr(line.find_first_not_of("# "));
            anchors.insert(Slug(title));
        }
    }
    return anchors;
}

std::vector<fs::path> Pages()
{
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(ManualDir())) {
        if (entry.path().extension() == ".md") {
            pages.push_back(entry.path());
        }
    }
    return pages;
}

TEST(Manual, EveryLinkResolves)
{
    const std::regex link(R"(\]\(([^)\s]+)\))");
    int links = 0;
    for (const fs::path& page : Pages()) {
        const std::string text = Read(page);
        for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
            std::string target = (*it)[1];
            if (target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0) {
                continue;
            }
            ++links;
            std::string anchor;
            if (const auto hash = target.find('#'); hash != std::string::npos) {
                anchor = target.substr(hash + 1);
                target = target.substr(0, hash);
            }
            const fs::path resolved = target.empty() ? page : page.parent_path() / target;
            ASSERT_TRUE(fs::exists(resolved)) << page.filename() << " links to missing " << target;
            if (!anchor.empty()) {
                EXPECT_TRUE(Anchors(Read(resolved)).count(anchor))
                    << page.filename() << " links to missing #" << anchor;
            }
        }
    }
    EXPECT_GT(links, 20);
}

TEST(Manual, TopicsAndPagesMatchOneToOne)
{
    std::set<std::string> pages;
    for (const fs::path& page : Pages()) {
        pages.insert(page.filename().string());
    }
    std::set<std::string> topicPages;
    std::set<int> numbers;
    for (const kv::HelpTopic& topic : kv::HelpTopics()) {
        EXPECT_TRUE(pages.count(topic.page)) << topic.number << " names a missing page " << topic.page;
        EXPECT_TRUE(topicPages.insert(topic.page).second) << topic.page << " is named twice";
        EXPECT_TRUE(numbers.insert(topic.number).second) << topic.number << " is used twice";
    }
    EXPECT_EQ(topicPages, pages) << "a page of the manual has no topic";
    for (int number : { kv::kHelpContents, kv::kHelpPreferences, kv::kHelpWaypointDialog }) {
        EXPECT_NE(kv::FindHelpTopic(number), nullptr) << number;
    }
    EXPECT_EQ(kv::FindHelpTopic(12345), nullptr);
}

TEST(Manual, WindowsOpenTheirOwnTopics)
{
    struct Case {
        const char* window;
        const char* page;
    };
    for (const Case& c : { Case { "PreferencesDlg", "preferences.md" }, Case { "TimingDlg", "preferences.md" },
             Case { "WPEditDlg", "waypoint-dialog.md" }, Case { "TAISInfo", "ais.md" },
             Case { "RemarksDocumentWindow", "remarks.md" }, Case { "MainWindow", "README.md" },
             Case { "", "README.md" } }) {
        const kv::HelpTopic* topic = kv::FindHelpTopic(kv::HelpTopicForWindow(c.window));
        ASSERT_NE(topic, nullptr) << c.window;
        EXPECT_EQ(topic->page, c.page) << c.window;
    }
}

} // namespace
