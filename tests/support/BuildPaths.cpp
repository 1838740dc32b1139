// The folder names behind KV_SOURCE_DIR and KV_BINARY_DIR (see BuildPaths.h).

#include "support/BuildPaths.h"

const char* const kvtest::kSourceDir = KV_TEST_SOURCE_DIR;
const char* const kvtest::kBinaryDir = KV_TEST_BINARY_DIR;
