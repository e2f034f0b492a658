// Independent witnesses for images our changes wrote: fsck.fat finds nothing to fix, mdir lists
// the expected names, mtype (or mcopy) gives back the expected bytes.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_env.h"

namespace quarnel::test {

inline const std::vector<std::string> kMtoolsEnv = {"MTOOLS_NO_VFAT=1", "MTOOLS_SKIP_CHECK=1"};

inline bool HaveWitnesses() {
  return HaveProgram("fsck.fat") && HaveProgram("mdir") && HaveProgram("mtype") &&
         HaveProgram("mcopy");
}

// fsck.fat -n lines that are no finding: its banner, the summary, and the lines about the
// boot-sector label field, which MSX boot sectors do not have.
inline std::vector<std::string> FsckFindings(const std::filesystem::path& image) {
  auto r = Run({"fsck.fat", "-n", image.string()});
  std::vector<std::string> out;
  std::istringstream in(r.out + r.err);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line.rfind("fsck.fat ", 0) == 0 || line.rfind("Label '", 0) == 0 ||
        line == "  Auto-removing label from boot sector." || line.rfind("Volume label '", 0) == 0 ||
        line == "  Auto-copying volume label from root directory to boot sector." ||
        line == "Leaving filesystem unchanged." || line.rfind(image.string() + ":", 0) == 0)
      continue;
    out.push_back(line);
  }
  if (r.exitCode != 0 && r.exitCode != 1) out.push_back("exit code " + std::to_string(r.exitCode));
  return out;
}

// Paths mdir lists recursively, upper-cased ("GAMES/", "GAMES/ZORK.BAS").
inline std::set<std::string> MdirNames(const std::filesystem::path& image) {
  auto r = Run({"mdir", "-b", "-/", "-i", image.string(), "::"}, kMtoolsEnv);
  std::set<std::string> out;
  std::istringstream in(r.out);
  std::string line;
  while (std::getline(in, line)) {
    std::transform(line.begin(), line.end(), line.begin(), ::toupper);
    if (line.rfind("::/", 0) == 0) out.insert(line.substr(3));
  }
  return out;
}

inline std::vector<std::uint8_t> Mtype(const std::filesystem::path& image,
                                       const std::string& path) {
  auto r = Run({"mtype", "-i", image.string(), "::" + path}, kMtoolsEnv);
  if (r.exitCode != 0) return {0xDE, 0xAD, 0xBE, 0xEF};
  return std::vector<std::uint8_t>(r.out.begin(), r.out.end());
}

// Every check on `image`, whose root holds exactly `files` (upper-case names as mdir prints
// them, "README" for a name without extension). `useMtype` false reads the files back with one
// mcopy call instead of one mtype call per file.
inline void ExpectWitnessesAgree(const std::filesystem::path& image,
                                 const std::map<std::string, std::vector<std::uint8_t>>& files,
                                 bool useMtype = true) {
  EXPECT_EQ(FsckFindings(image), std::vector<std::string>{});
  std::set<std::string> names;
  for (const auto& [n, _] : files) names.insert(n);
  EXPECT_EQ(MdirNames(image), names);
  if (useMtype) {
    for (const auto& [n, bytes] : files) EXPECT_TRUE(Mtype(image, n) == bytes) << n;
    return;
  }
  TempDir out;
  auto r = Run({"mcopy", "-n", "-i", image.string(), "::*", out.path().string() + "/"}, kMtoolsEnv);
  if (files.empty()) return;
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (const auto& [n, bytes] : files) {
    std::string host = n;
    std::transform(host.begin(), host.end(), host.begin(), ::tolower);
    auto p = out.path() / host;
    if (!std::filesystem::exists(p)) p = out.path() / n;
    EXPECT_TRUE(std::filesystem::exists(p) && ReadHostFile(p) == bytes) << n;
  }
}

}  // namespace quarnel::test
