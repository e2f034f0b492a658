// The search of every file of a disk: hits by file and offset in the files' own bytes (across
// fragments, in subdirectories, letters in any case), where each hit's entry lies, files with a
// broken chain left out and said so, a search that ends at its most hits, and agreement with a
// plain search of each file on the real disks. Also the ranges a file's clusters and sectors are
// shown as.
#include "tools/file_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <tuple>

#include "core/volume.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/real_data.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"
#include "tools/file_properties.h"

namespace quarnel::tools {
namespace {

using test::ImageBuilder;
using test::kRoot;

DiskImage Load(const std::vector<std::uint8_t>& bytes) {
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(bytes, "/i/t.dsk");
  return ws.image;
}

std::vector<std::uint8_t> Text(const std::string& s) { return {s.begin(), s.end()}; }

// (path, offset) of each hit, in order.
std::vector<std::pair<std::string, std::uint64_t>> Places(const std::vector<FileHit>& hits) {
  std::vector<std::pair<std::string, std::uint64_t>> out;
  for (const FileHit& h : hits) out.emplace_back(h.path, h.offset);
  return out;
}

class FileSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    b.AddFile(kRoot, "NOTE.TXT", Text("zork and ZORK; Zork"));
    // A file in two fragments with a hit across the cluster boundary (clusters of 1024 bytes).
    std::vector<std::uint8_t> big = test::Pattern(3000, 4);
    std::fill(big.begin(), big.end(), 0x11);
    big[1022] = 0xAB, big[1023] = 0xCD, big[1024] = 0xEF;
    big[2500] = 0xAB, big[2501] = 0xCD, big[2502] = 0xEF;
    b.WriteData(40, std::vector<std::uint8_t>(big.begin(), big.begin() + 1024));
    b.WriteData(90, std::vector<std::uint8_t>(big.begin() + 1024, big.end()));
    b.Chain({40, 90, 91});
    b.AddEntry(kRoot, {.name = "FRAG.BIN", .firstCluster = 40, .size = 3000});
    games = b.AddDirectory(kRoot, "GAMES");
    b.AddFile(games, "INSIDE.TXT", Text("..ZORK..\xAB\xCD\xEF"));
    // A chain broken after its first cluster: not read, not searched.
    b.WriteData(200, Text("zork"));
    b.SetFat(200, 0);
    b.AddEntry(kRoot, {.name = "BROKEN.BIN", .firstCluster = 200, .size = 3000});
    b.AddFile(kRoot, "EMPTY.TXT", {});
  }
  ImageBuilder b;
  std::uint16_t games = 0;
};

TEST_F(FileSearchTest, FindsEveryHitByFileAndOffset) {
  const DiskImage image = Load(b.Bytes());
  using P = std::vector<std::pair<std::string, std::uint64_t>>;
  const struct {
    std::string pattern;
    bool ignoreCase;
    P hits;
  } cases[] = {
      {"\xAB\xCD\xEF", false, {{"FRAG.BIN", 1022}, {"FRAG.BIN", 2500}, {"GAMES\\INSIDE.TXT", 8}}},
      {"zork",
       true,
       {{"NOTE.TXT", 0}, {"NOTE.TXT", 9}, {"NOTE.TXT", 15}, {"GAMES\\INSIDE.TXT", 2}}},
      {"ZORK", false, {{"NOTE.TXT", 9}, {"GAMES\\INSIDE.TXT", 2}}},
      {"nowhere", true, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    FileSearch search(image, Text(c.pattern), c.ignoreCase);
    search.Run();
    EXPECT_EQ(Places(search.Hits()), c.hits) << c.pattern;
    EXPECT_EQ(search.Unreadable(), c.pattern.empty() ? std::vector<std::string>{}
                                                     : std::vector<std::string>{"BROKEN.BIN"});
  }
}

TEST_F(FileSearchTest, HitsNameTheEntryByDirectorySlotAndPlace) {
  const DiskImage image = Load(b.Bytes());
  const std::vector<FileHit> hits = FindInFiles(image, Text("ZORK"), false);
  ASSERT_EQ(hits.size(), 2u);
  const FileHit& inside = hits[1];
  EXPECT_EQ(inside.names, (std::vector<std::string>{"GAMES", "INSIDE.TXT"}));
  EXPECT_EQ(inside.dir, DirRef{games});
  const auto dir = ListDirectory(image, DirRef{games});
  ASSERT_TRUE(dir);
  const auto entry = EntryAt(*dir, inside.slot);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->Caption(), "INSIDE.TXT");
  EXPECT_EQ(inside.entryOffset, entry->offset);
  ASSERT_EQ(inside.folders.size(), 1u);
  EXPECT_EQ(inside.folders[0], b.EntryOffset(kRoot, 2));  // GAMES's own entry
  EXPECT_TRUE(hits[0].folders.empty());
  EXPECT_EQ(hits[0].dir, kRootDir);
}

TEST_F(FileSearchTest, StepsMakeTheSameHitsAndEndAtTheMost) {
  const DiskImage image = Load(b.Bytes());
  FileSearch whole(image, Text("o"), true);
  whole.Run();
  FileSearch stepped(image, Text("o"), true);
  int steps = 0;
  while (!stepped.Done()) {
    stepped.Step(1);  // one file a step
    ++steps;
  }
  EXPECT_EQ(steps, static_cast<int>(stepped.FileCount()));
  EXPECT_EQ(Places(stepped.Hits()), Places(whole.Hits()));
  EXPECT_EQ(stepped.BytesSearched(), stepped.TotalBytes());
  EXPECT_FALSE(whole.Capped());

  FileSearch capped(image, Text("o"), true, 2);
  capped.Run();
  EXPECT_TRUE(capped.Capped());
  auto first = Places(whole.Hits());
  first.resize(2);
  EXPECT_EQ(Places(capped.Hits()), first);
}

// The hits of one file by a plain search of the bytes a viewer reads.
void PlainSearch(const DiskImage& image, DirRef dir, const std::string& prefix, int depth,
                 const std::vector<std::uint8_t>& pattern,
                 std::vector<std::pair<std::string, std::uint64_t>>& out) {
  const auto listed = ListDirectory(image, dir);
  if (!listed || depth > 30) return;
  for (const FileEntry& e : EntriesOf(*listed)) {
    if (e.IsDot() || (e.IsVolume() && !e.IsDirectory())) continue;
    std::string name = e.Caption();
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (e.IsDirectory()) {
      if (FirstClusterValid(image, e.firstCluster))
        PlainSearch(image, DirRef{e.firstCluster}, prefix + name + "\\", depth + 1, pattern, out);
      continue;
    }
    const FileRead read = ReadFile(image, e);
    if (!read.ok()) continue;
    for (std::size_t i = 0; i + pattern.size() <= read.bytes.size(); ++i)
      if (std::equal(pattern.begin(), pattern.end(), read.bytes.begin() + i))
        out.emplace_back(prefix + name, i);
  }
}

TEST(RealDisksFileSearch, AgreesWithAPlainSearchOfEachFile) {
  QUARNEL_NEEDS_REAL_DATA("dsk");
  int disksWithHits = 0;
  for (const auto& p : std::filesystem::directory_iterator(test::RealDataDir("dsk"))) {
    const DiskImage image = Load(test::ReadHostFile(p.path()));
    if (!image.Usable()) continue;
    for (const std::vector<std::uint8_t>& pattern :
         {std::vector<std::uint8_t>{0x0D, 0x0A}, Text("A"), std::vector<std::uint8_t>{0xCD}}) {
      std::vector<std::pair<std::string, std::uint64_t>> plain;
      PlainSearch(image, kRootDir, "", 0, pattern, plain);
      auto found = Places(FindInFiles(image, pattern, false));
      // The tree walk meets a directory's files after the root's; compare as sets.
      std::sort(plain.begin(), plain.end());
      std::sort(found.begin(), found.end());
      EXPECT_EQ(found, plain) << p.path();
      if (!found.empty()) ++disksWithHits;
    }
  }
  EXPECT_GT(disksWithHits, 0);
}

TEST(FileRanges, RunsOfClustersAndTheSectorsTheyOccupy) {
  EXPECT_EQ(ClusterRanges({2, 3, 4, 9, 8, 10}),
            (std::vector<NumberRange>{{2, 4}, {9, 9}, {8, 8}, {10, 10}}));
  EXPECT_TRUE(ClusterRanges({}).empty());
  EXPECT_EQ(RangesText(ClusterRanges({40, 90, 91})), "40, 90-91");
  // 720 KB: two sectors a cluster, cluster 2 at sector 14.
  const DiskImage image = Load(ImageBuilder().Bytes());
  EXPECT_EQ(SectorRanges(image.geometry, {{2, 4}, {9, 9}}),
            (std::vector<NumberRange>{{14, 19}, {28, 29}}));
}

TEST(FileRanges, PropertiesTellWhetherTheChainIsSound) {
  ImageBuilder b;
  b.AddFile(kRoot, "GOOD.BIN", test::Pattern(2500, 1));
  b.Chain({50, 51});  // a size of 3000 needs three clusters
  b.AddEntry(kRoot, {.name = "SHORT.BIN", .firstCluster = 50, .size = 3000});
  const DiskImage image = Load(b.Bytes());
  const auto root = ListDirectory(image, kRootDir);
  ASSERT_TRUE(root);
  const FileProperties good = BuildFileProperties(image, *EntryAt(*root, 0));
  EXPECT_TRUE(good.ChainSound());
  EXPECT_EQ(good.clusters, (std::vector<NumberRange>{{2, 4}}));
  const FileProperties shortChain = BuildFileProperties(image, *EntryAt(*root, 1));
  EXPECT_FALSE(shortChain.ChainSound());
  EXPECT_EQ(shortChain.clusters, (std::vector<NumberRange>{{50, 51}}));
}

}  // namespace
}  // namespace quarnel::tools
