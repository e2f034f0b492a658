// The real MSX files made by other people (disks, pictures, tapes, BASIC programs) live outside
// the repository, in the folder named by the environment variable QUARNEL_TEST_DATA or, without
// it, the one chosen when the build was configured (../shared beside the checkout when it is
// there). A test that needs them starts with QUARNEL_NEEDS_REAL_DATA("dsk") and is skipped,
// saying why, when they are absent. Such tests belong to a suite whose name starts with "Real":
// the build labels them `realdata` (`ctest -L realdata`).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string_view>

namespace quarnel::test {

inline constexpr std::string_view kRealDataMissing =
    "real MSX files not found: set QUARNEL_TEST_DATA";

// <test data>/realdata/<kind> ("dsk", "cas", "bas", "pictures"); empty when that folder is absent.
std::filesystem::path RealDataDir(std::string_view kind);

}  // namespace quarnel::test

#define QUARNEL_NEEDS_REAL_DATA(kind) \
  if (::quarnel::test::RealDataDir(kind).empty()) GTEST_SKIP() << ::quarnel::test::kRealDataMissing
