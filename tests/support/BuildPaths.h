#pragma once
// Where the source tree and the build folder of the test programs are. Every test file sees this
// header (the build includes it first); the folder names themselves are compiled into one small
// file per program, BuildPaths.cpp, so that the compile lines of the tests are the same in every
// clone of the project and the compiler cache serves a clone in another folder.

namespace kvtest {
extern const char* const kSourceDir;
extern const char* const kBinaryDir;
} // namespace kvtest

#define KV_SOURCE_DIR (::kvtest::kSourceDir)
#define KV_BINARY_DIR (::kvtest::kBinaryDir)
