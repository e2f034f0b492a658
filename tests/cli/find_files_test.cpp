// quarnel-cli find --files: every hit in every file of the disk as PATH:OFFSET agrees with
// `find IMAGE HEX PATH` run on each file the listing shows (on built disks and the real ones);
// fileinfo's ranges cover exactly the clusters of its chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "support/image_builder.h"
#include "support/real_data.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::ImageBuilder;
using test::kRoot;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

using Hits = std::multiset<std::pair<std::string, std::uint64_t>>;

// Every file the listing shows, from the root down, as "GAMES/ZORK.BAS".
void ListFiles(const std::string& image, const std::string& dir, int depth,
               std::vector<std::string>& out) {
  std::vector<std::string> argv{Cli(), "ls", image, "--json"};
  if (!dir.empty()) argv.push_back(dir);
  const auto r = test::Run(argv);
  if (r.exitCode != 0 || depth > 8) return;
  const nlohmann::json listed = nlohmann::json::parse(r.out);
  for (const auto& e : listed["entries"]) {
    std::string name = e["name"];
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (name.empty() || name == "." || name == ".." || e["type"] == "Volume Name") continue;
    const std::string path = dir.empty() ? name : dir + "/" + name;
    if (e["type"] == "Directory")
      ListFiles(image, path, depth + 1, out);
    else
      out.push_back(path);
  }
}

// The hits of `find IMAGE HEX PATH` for each file the listing shows.
Hits FileByFile(const std::string& image, const std::string& hex) {
  std::vector<std::string> files;
  ListFiles(image, "", 0, files);
  Hits out;
  for (const std::string& f : files) {
    const auto r = test::Run({Cli(), "find", image, hex, f, "--json"});
    if (r.exitCode != 0) continue;  // a broken chain: nothing of it is read
    for (const auto& h : nlohmann::json::parse(r.out))
      out.emplace(f, h["offset"].get<std::uint64_t>());
  }
  return out;
}

Hits AllFiles(const std::string& image, const std::string& hex) {
  const auto r = test::Run({Cli(), "find", image, hex, "--files", "--json"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  Hits out;
  for (const auto& h : nlohmann::json::parse(r.out))
    out.emplace(h["path"].get<std::string>(), h["offset"].get<std::uint64_t>());
  return out;
}

TEST(FindInFiles, AgreesWithTheSearchOfEachFile) {
  test::TempDir tmp;
  const std::string image = (tmp / "d.dsk").string();
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", {'x', 'A', 'B', 'A', 'B', 'A'});
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");
  b.AddFile(sub, "B.BIN", {'A', 'B', 'A'});
  b.AddFile(b.AddDirectory(sub, "DEEP"), "C", {0, 'A', 'B'});
  b.WriteTo(image);
  const Hits all = AllFiles(image, "4142");
  EXPECT_EQ(all, (Hits{{"A.TXT", 1}, {"A.TXT", 3}, {"SUB/B.BIN", 0}, {"SUB/DEEP/C", 1}}));
  EXPECT_EQ(all, FileByFile(image, "4142"));
  const auto text = test::Run({Cli(), "find", image, "--text", "ab", "--files"});
  EXPECT_EQ(text.out, "A.TXT:1\nA.TXT:3\nSUB/B.BIN:0\nSUB/DEEP/C:1\n");
  // A file and --files at once is no search.
  EXPECT_EQ(test::Run({Cli(), "find", image, "4142", "A.TXT", "--files"}).exitCode, 2);
}

TEST(FindInFiles, FileinfoRangesCoverTheChain) {
  test::TempDir tmp;
  const std::string image = (tmp / "d.dsk").string();
  ImageBuilder b;
  b.WriteData(30, test::Pattern(4000, 3));
  b.Chain({30, 31, 60, 12});
  b.AddEntry(kRoot, {.name = "FRAG.BIN", .firstCluster = 30, .size = 4000});
  b.WriteTo(image);
  const auto r = test::Run({Cli(), "fileinfo", image, "FRAG.BIN", "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["ranges"], nlohmann::json::parse("[[30, 31], [60, 60], [12, 12]]"));
  std::vector<int> covered;
  for (const auto& range : j["ranges"])
    for (int c = range[0]; c <= range[1]; ++c) covered.push_back(c);
  EXPECT_EQ(j["chain"], nlohmann::json(covered));
  // Two sectors a cluster, cluster 2 at sector 14.
  EXPECT_EQ(j["sectors"][0], nlohmann::json::parse("[70, 73]"));
}

TEST(RealDisksFindInFiles, AgreesWithTheSearchOfEachFile) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  int withHits = 0;
  for (const auto& p : std::filesystem::directory_iterator(test::RealDataDir("dsk"))) {
    const std::string image = p.path().string();
    if (test::Run({Cli(), "ls", image}).exitCode != 0) continue;
    const Hits all = AllFiles(image, "0D0A");
    EXPECT_EQ(all, FileByFile(image, "0D0A")) << image;
    if (!all.empty()) ++withHits;
  }
  EXPECT_GT(withHits, 0);
}

}  // namespace
}  // namespace quarnel
