// The chain walker: what each policy makes of loops, early ends, values that lead nowhere and
// clusters marked free or bad.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/extract.h"
#include "core/fat.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"

namespace quarnel {
namespace {

using test::ImageBuilder;

// 713 data clusters (2 .. 714) with one damaged chain of each kind.
DiskImage DamagedChains() {
  ImageBuilder b;
  b.Chain({2, 3});
  b.SetFat(10, 11);
  b.SetFat(11, 10);   // a loop of two
  b.SetFat(30, 0);    // into a free cluster
  b.SetFat(40, 715);  // past the disk
  b.SetFat(50, 51);
  b.SetFat(51, test::kFatBad);  // a cluster marked bad, linked to
  b.Chain({60, 61});
  b.SetFat(70, 71);
  b.SetFat(71, 0x900);  // broken after two clusters
  // Long chains that come back: early on, and to a cluster met late.
  for (std::uint16_t c = 100; c < 149; ++c) b.SetFat(c, c + 1);
  b.SetFat(149, 105);
  for (std::uint16_t c = 200; c < 249; ++c) b.SetFat(c, c + 1);
  b.SetFat(249, 240);
  Workspace ws;
  test::ScriptedUi ui;
  ws.LoadImageBytes(b.Bytes(), "t.dsk");
  EXPECT_TRUE(ws.HasImage());
  return ws.image;
}

std::vector<std::uint16_t> Clusters(std::uint16_t from, std::uint16_t to) {
  std::vector<std::uint16_t> out;
  for (std::uint16_t c = from; c <= to; ++c) out.push_back(c);
  return out;
}

struct WalkCase {
  std::string what;
  std::uint16_t first;
  ChainPolicy policy;
  std::vector<std::uint16_t> clusters;
  ChainStop stop;
  bool broken;
};

TEST(ChainWalk, EachPolicyStopsWhereItSays) {
  const DiskImage img = DamagedChains();
  const auto follow = ChainPolicy::Follow();
  const auto free = ChainPolicy::Free();
  const auto readShort = ChainPolicy::Read(3, ChainEarlyEnd::Short);
  const auto readBroken = ChainPolicy::Read(3, ChainEarlyEnd::Broken);
  const std::vector<WalkCase> cases = {
      {"whole chain", 2, follow, {2, 3}, ChainStop::End, false},
      {"limit reached: the entry after it is not read",
       70,
       ChainPolicy::Read(2, ChainEarlyEnd::Broken),
       {70, 71},
       ChainStop::Limit,
       false},
      {"broken past the limit's reach", 70, follow, {70, 71}, ChainStop::Broken, true},
      {"into a free cluster", 30, follow, {30}, ChainStop::Broken, true},
      {"past the disk", 40, follow, {40}, ChainStop::Broken, true},
      {"first cluster past the disk", 0x900, follow, {}, ChainStop::Outside, true},
      {"first cluster 0", 0, free, {}, ChainStop::Outside, true},
      {"loop met again", 10, readShort, {10, 11}, ChainStop::Loop, true},
      {"early end that is short", 60, readShort, {60, 61}, ChainStop::EarlyEnd, false},
      {"early end that breaks", 60, readBroken, {60, 61}, ChainStop::EarlyEnd, true},
      {"a bad cluster linked to is read", 50, follow, {50, 51}, ChainStop::Broken, true},
      {"a bad cluster is never freed", 50, free, {50}, ChainStop::FreeOrBad, true},
      {"a free first cluster is never freed", 5, free, {}, ChainStop::FreeOrBad, true},
      {"a free first cluster is read", 5, follow, {5}, ChainStop::Broken, true},
      {"freeing stops at the loop", 10, free, {10, 11}, ChainStop::Loop, true},
      {"freeing keeps a cluster that leads past the disk", 40, free, {40}, ChainStop::Broken, true},
      {"a long chain back to its start", 100, free, Clusters(100, 149), ChainStop::Loop, true},
      {"a long chain back to its end", 200, free, Clusters(200, 249), ChainStop::Loop, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ChainWalk walk(img, c.first, c.policy);
    std::vector<std::uint16_t> got;
    for (std::uint16_t cluster : walk) got.push_back(cluster);
    EXPECT_EQ(got, c.clusters);
    EXPECT_EQ(walk.Stop(), c.stop);
    EXPECT_EQ(walk.Broken(), c.broken);
    EXPECT_EQ(walk.Count(), c.clusters.size());
    if (!got.empty()) {
      EXPECT_EQ(walk.Cluster(), got.back());  // the last one, after the stop
    }
  }
}

TEST(ChainWalk, FollowYieldsALoopAgainUntilItIsLongerThanTheDisk) {
  const DiskImage img = DamagedChains();
  ChainWalk walk(img, 10, ChainPolicy::Follow());
  std::vector<std::uint16_t> got;
  for (std::uint16_t c : walk) got.push_back(c);
  ASSERT_EQ(got.size(), 713u);  // the disk's data clusters
  EXPECT_EQ(got[2], 10);
  EXPECT_EQ(got[3], 11);
  EXPECT_EQ(walk.Stop(), ChainStop::Loop);
  EXPECT_TRUE(walk.Broken());
}

TEST(ChainWalk, FollowChainIsTheFollowWalk) {
  const DiskImage img = DamagedChains();
  for (std::uint16_t first : {2, 10, 30, 40, 50, 60, 70, 0x900}) {
    SCOPED_TRACE(first);
    ChainWalk walk(img, first, ChainPolicy::Follow(5));
    std::vector<std::uint16_t> walked;
    for (std::uint16_t c : walk) walked.push_back(c);
    const Chain chain = FollowChain(img, first, 5);
    EXPECT_EQ(chain.clusters, walked);
    EXPECT_EQ(chain.broken, walk.Broken());
  }
}

struct EarlyEndCase {
  ChainEarlyEnd policy;
  bool ok;
  bool endedEarly;
};

TEST(ChainWalk, ReadingSaysWhetherAnEarlyEndStands) {
  const DiskImage img = DamagedChains();  // 60 -> 61 -> end: 2048 bytes for a size of 3000
  for (const auto& c : {EarlyEndCase{ChainEarlyEnd::Short, true, true},
                        EarlyEndCase{ChainEarlyEnd::Broken, false, false}}) {
    SCOPED_TRACE(static_cast<int>(c.policy));
    const ChainBytes read = ReadChainBytes(img, 60, 3000, c.policy);
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.ok(), c.ok);
    EXPECT_EQ(read.endedEarly, c.endedEarly);
    EXPECT_EQ(read.bytes.size(), 2048u);  // nothing invented for the rest
  }
  const ChainBytes whole = ReadChainBytes(img, 70, 2048, ChainEarlyEnd::Broken);
  EXPECT_TRUE(whole.ok());  // the broken link after the size's clusters is not looked at
}

// An image cut short: a cluster whose bytes it holds only in part is outside, and a chain stops
// before it.
TEST(ChainWalk, StopsAtTheFirstClusterTheImageDoesNotHoldWhole) {
  const std::size_t whole = 737280;  // the last cluster, 714, ends with it
  const std::vector<std::pair<std::size_t, std::vector<std::uint16_t>>> cases = {
      {whole, {712, 713, 714}},
      {whole - 1, {712, 713}},
      {whole - 1024, {712, 713}},
      {whole - 1025, {712}},
  };
  for (const auto& [size, clusters] : cases) {
    SCOPED_TRACE(size);
    ImageBuilder b(test::GeometryLayout::Msx720(), size);
    b.Chain({712, 713, 714});
    Workspace ws;
    test::ScriptedUi ui;
    ws.LoadImageBytes(b.Bytes(), "t.dsk");
    std::vector<std::uint16_t> got;
    for (std::uint16_t c : ChainWalk(ws.image, 712, ChainPolicy::Follow())) got.push_back(c);
    EXPECT_EQ(got, clusters);
    EXPECT_EQ(ClusterHeld(ws.image, 714), clusters.size() == 3);
  }
}

}  // namespace
}  // namespace quarnel
