#pragma once
// Golden files: the bytes, lines or pixels a writer must produce, checked in under tests/. Run the
// tests with KV_UPDATE_GOLDEN=1 to write the golden files anew (look at the change and explain it
// in the commit).

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace kvtest {

// The one switch that rewrites golden files.
inline bool UpdatingGolden()
{
    const char* update = std::getenv("KV_UPDATE_GOLDEN");
    return update != nullptr && std::string(update) == "1";
}

// tests/<relativePath> in the source tree.
inline std::string GoldenPath(const std::string& relativePath)
{
    return std::string(KV_SOURCE_DIR) + "/tests/" + relativePath;
}

inline void ExpectGolden(const std::string& relativePath, const std::string& actual)
{
    const std::string path = GoldenPath(relativePath);
    if (UpdatingGolden()) {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden file " << path;
    const std::string expected { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    EXPECT_TRUE(actual == expected) << relativePath << " differs (" << actual.size() << " bytes written, "
                                    << expected.size() << " expected)";
}

// Line by line, naming the first lines that differ (`what` names a line, e.g. "fix").
inline void ExpectGoldenLines(const std::string& relativePath, const std::string& actual, const std::string& what)
{
    const std::string path = GoldenPath(relativePath);
    if (UpdatingGolden()) {
        std::ofstream(path, std::ios::binary) << actual;
    }
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            out.push_back(line);
        }
        return out;
    };
    std::ifstream in(path, std::ios::binary);
    const auto expected = lines({ std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() });
    const auto written = lines(actual);
    ASSERT_FALSE(expected.empty()) << "no golden file " << path;
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(written[i], expected[i]) << what << " " << i + 1;
    }
}

// Pixel for pixel against a PNG; a differing render is saved beside the build for a look.
inline void ExpectGoldenImage(const std::string& relativePath, const QImage& actual)
{
    const std::string path = GoldenPath(relativePath);
    if (UpdatingGolden()) {
        ASSERT_TRUE(actual.save(QString::fromStdString(path), "PNG"));
        return;
    }
    QImage expected(QString::fromStdString(path));
    ASSERT_FALSE(expected.isNull()) << "missing golden image " << path << " (KV_UPDATE_GOLDEN=1 makes it)";
    expected = expected.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), actual.size());
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            differing += (expected.pixel(x, y) & 0xFFFFFFu) != (actual.pixel(x, y) & 0xFFFFFFu);
        }
    }
    if (differing != 0) {
        const std::string name = relativePath.substr(relativePath.find_last_of('/') + 1);
        const std::string out = std::string(KV_BINARY_DIR) + "/" + name + ".actual.png";
        actual.save(QString::fromStdString(out), "PNG");
        ADD_FAILURE() << differing << " pixels differ from " << path << "; this render is in " << out;
    }
}

} // namespace kvtest
