#pragma once
// Golden files: the bytes a writer must produce, checked in beside the tests. Run a test with
// KV_UPDATE_GOLDEN=1 to write the golden file anew (and explain the change in the commit).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace kvtest {

inline void ExpectGolden(const std::string& relativePath, const std::string& actual)
{
    const std::string path = std::string(KV_SOURCE_DIR) + "/tests/" + relativePath;
    if (const char* update = std::getenv("KV_UPDATE_GOLDEN"); update != nullptr && *update == '1') {
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in.good()) << "missing golden file " << path;
    const std::string expected { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
    EXPECT_TRUE(actual == expected) << relativePath << " differs (" << actual.size() << " bytes written, "
                                    << expected.size() << " expected)";
}

} // namespace kvtest
