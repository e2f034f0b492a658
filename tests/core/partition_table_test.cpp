// Partition tables: which scheme sector 0 holds, the numbering and offsets of the Nextor chain,
// and every fault of a hostile table ending in a finding, never in a hang or a write outside.
#include "core/partition_table.h"

#include <gtest/gtest.h>

#include "core/new_image.h"
#include "support/partition_builder.h"

namespace quarnel {
namespace {

using test::PartitionedImage;

PartitionTable Read(const std::vector<std::uint8_t>& bytes) {
  MemoryStore store(ImageBytes(bytes.begin(), bytes.end()));
  return ReadPartitionTable(store);
}

std::string Findings(const PartitionTable& t) {
  std::string all;
  for (const auto& f : t.findings) all += f + "\n";
  return all;
}

TEST(PartitionTable, SchemeOfSectorZero) {
  // A floppy boot sector that carries the Nextor text, 55 AA and an entry that looks like one.
  auto floppy = BuildNewImage(*GeometryForSize("720"));
  std::copy_n("NEXTOR20", 8, floppy.begin() + 3);
  PartitionedImage fake(0);
  fake.bytes = floppy;
  fake.Entry(0, 0, 0x01, 1, 100);

  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
    PartitionScheme scheme;
  } cases[] = {
      {"zeros", PartitionedImage(64).bytes, PartitionScheme::None},
      {"shorter than a sector", std::vector<std::uint8_t>(300, 0), PartitionScheme::None},
      {"nextor", PartitionedImage(64).Mark("NEXTOR20").Entry(0, 0, 0x01, 1, 63).bytes,
       PartitionScheme::Nextor},
      {"pc", PartitionedImage(64).Entry(0, 0, 0x06, 8, 56, 0x80).bytes,
       PartitionScheme::StandardMbr},
      {"sunrise", PartitionedImage(64).Mark("MSX_IDE ").SunriseEntry(1, 0x01, 1, 63).bytes,
       PartitionScheme::SunriseIde},
      {"floppy with nextor text", fake.bytes, PartitionScheme::None},
      {"boot flag no flag", PartitionedImage(64).Entry(0, 0, 0x06, 8, 56, 0x33).bytes,
       PartitionScheme::None},
      {"no entry used", PartitionedImage(64).Sign(0).bytes, PartitionScheme::None},
      {"no 55 AA",
       [] {
         auto b = PartitionedImage(64).Entry(0, 0, 0x06, 8, 56).bytes;
         b[511] = 0;
         return b;
       }(),
       PartitionScheme::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(c.bytes).scheme, c.scheme);
  }
}

// Each EBR's partition counts from that EBR, each link from the outermost one: with four and
// more partitions a link counted from the EBR that holds it would land elsewhere.
TEST(PartitionTable, NextorChainNumbersAndPlaces) {
  const std::vector<std::uint32_t> sizes = {40, 30, 20, 10, 5};
  const auto img = PartitionedImage::Nextor(sizes);
  const PartitionTable t = Read(img.bytes);
  ASSERT_EQ(t.scheme, PartitionScheme::Nextor);
  EXPECT_EQ(Findings(t), "");
  ASSERT_EQ(t.partitions.size(), sizes.size());
  std::uint64_t first = 1;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    SCOPED_TRACE(i);
    const Partition& p = t.partitions[i];
    EXPECT_EQ(p.number, static_cast<int>(i) + 1);
    EXPECT_EQ(p.firstSector, first);
    EXPECT_EQ(p.Offset(), first * 512);
    EXPECT_EQ(p.sectors, sizes[i]);
    EXPECT_EQ(p.Length(), sizes[i] * 512ull);
    EXPECT_EQ(p.type, i == 0 ? 0x01 : 0x06);
    EXPECT_TRUE(p.IsFatVolume());
    EXPECT_EQ(p.refusal, "");
    EXPECT_EQ(p.writeRefusal, "");
    first += sizes[i] + 1;  // the next EBR lies in between
  }
}

// PC order: primaries by entry, the extended entry standing for its logical partitions.
TEST(PartitionTable, PrimariesAroundAnExtendedPartition) {
  PartitionedImage img(200);
  img.Entry(0, 0, 0x83, 10, 20, 0x80).Entry(0, 1, 0x0F, 40, 100).Entry(0, 2, 0x0B, 150, 40);
  img.Entry(40, 0, 0x0E, 2, 30).Entry(40, 1, 0x05, 50, 50);
  img.Entry(90, 0, 0x04, 4, 40);
  const PartitionTable t = Read(img.bytes);
  EXPECT_EQ(t.scheme, PartitionScheme::StandardMbr);
  EXPECT_EQ(Findings(t), "");
  struct Want {
    int number;
    std::uint8_t type;
    std::uint64_t first;
    bool active;
    bool fat;
  } want[] = {{1, 0x83, 10, true, false},
              {2, 0x0E, 42, false, true},
              {3, 0x04, 94, false, true},
              {4, 0x0B, 150, false, false}};
  ASSERT_EQ(t.partitions.size(), std::size(want));
  for (std::size_t i = 0; i < std::size(want); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t.partitions[i].number, want[i].number);
    EXPECT_EQ(t.partitions[i].type, want[i].type);
    EXPECT_EQ(t.partitions[i].firstSector, want[i].first);
    EXPECT_EQ(t.partitions[i].active, want[i].active);
    EXPECT_EQ(t.partitions[i].IsFatVolume(), want[i].fat);
  }
  EXPECT_EQ(t.Find(3)->firstSector, 94u);
  EXPECT_EQ(t.Find(5), nullptr);
}

// Sunrise IDE: partition p in the slot 31 - p from offset 14, first sectors absolute, slots
// with first sector 0 unused.
TEST(PartitionTable, SunriseSlotsInReverse) {
  PartitionedImage img(100);
  img.Mark("MSX_IDE ").SunriseEntry(1, 0x01, 1, 30).SunriseEntry(3, 0x01, 60, 40);
  img.SunriseEntry(2, 0x01, 0, 20);  // unused: first sector 0
  const PartitionTable t = Read(img.bytes);
  ASSERT_EQ(t.scheme, PartitionScheme::SunriseIde);
  ASSERT_EQ(t.partitions.size(), 2u);
  EXPECT_EQ(t.partitions[0].number, 1);
  EXPECT_EQ(t.partitions[0].firstSector, 1u);
  EXPECT_EQ(t.partitions[1].number, 3);
  EXPECT_EQ(t.partitions[1].firstSector, 60u);
  EXPECT_EQ(t.partitions[1].sectors, 40u);
}

TEST(PartitionTable, HostileTablesEndInFindings) {
  struct Case {
    const char* name;
    PartitionedImage img;
    const char* finding;  // part of a finding; "" for none
    int number;           // the partition whose refusals are checked (0: none)
    const char* refusal;  // part of its refusal
    const char* writeRefusal;
    std::uint64_t usable;  // its sectors inside the image
  };
  auto chain = [](int records, bool loop) {
    PartitionedImage img(static_cast<std::uint64_t>(records) * 2 + 4);
    img.Entry(0, 0, 0x05, 2, static_cast<std::uint32_t>(records) * 2);
    for (int r = 0; r < records; ++r) {
      const std::uint32_t at = 2 + static_cast<std::uint32_t>(r) * 2;
      img.Entry(at, 0, 0x01, 1, 1);
      // A loop goes back to the second record (a link of 0 would end the chain).
      const std::uint32_t next =
          loop && r == records - 1 ? 2 : static_cast<std::uint32_t>(r + 1) * 2;
      if (r + 1 < records || loop) img.Entry(at, 1, 0x05, next, 2);
    }
    return img;
  };
  std::vector<Case> cases;
  cases.push_back({"starts past the end", PartitionedImage(64).Entry(0, 0, 0x06, 64, 10),
                   "partition 1 starts at sector 64, past the end of the image (64 sectors)", 1,
                   "past the end of the image", "", 0});
  cases.push_back({"runs past the end", PartitionedImage(64).Entry(0, 0, 0x06, 4, 100),
                   "partition 1 runs past the end of the image: 100 sectors in its entry, 60 in "
                   "the image",
                   1, "", "", 60});
  cases.push_back({"sector count wraps 32 bits",
                   PartitionedImage(64).Entry(0, 0, 0x06, 0xFFFFFFF0u, 0x20),
                   "past the end of the image", 1, "past the end", "", 0});
  cases.push_back({"zero size", PartitionedImage(64).Entry(0, 0, 0x06, 4, 0),
                   "partition 1 holds no sector (its size is 0)", 1, "holds no sector", "", 0});
  cases.push_back(
      {"overlap", PartitionedImage(64).Entry(0, 0, 0x06, 4, 30).Entry(0, 1, 0x06, 20, 30),
       "partitions 1 and 2 overlap (sectors 20-33)", 2, "", "it overlaps partition 1", 30});
  cases.push_back({"covers the MBR", PartitionedImage(64).Entry(0, 0, 0x06, 0, 30),
                   "partition 1 covers the partition table at sector 0", 1, "",
                   "it covers the partition table at sector 0", 30});
  cases.push_back({"covers its EBR",
                   PartitionedImage(64).Entry(0, 0, 0x05, 10, 40).Entry(10, 0, 0x06, 0, 8),
                   "partition 1 covers the partition table at sector 10", 1, "",
                   "covers the partition table", 8});
  cases.push_back({"chain loops", chain(3, true),
                   "the chain of extended boot records loops back to sector 4: cut there", 3, "",
                   "", 1});
  cases.push_back({"extended points at the MBR", PartitionedImage(64).Entry(0, 0, 0x05, 0, 64),
                   "loops back to sector 0", 0, "", "", 0});
  cases.push_back({"chain too long", chain(kMostChainedRecords + 5, false),
                   "longer than 256 records: cut there", kMostChainedRecords, "", "", 1});
  cases.push_back({"EBR past the end", PartitionedImage(64).Entry(0, 0, 0x05, 500, 64),
                   "the extended boot record at sector 500 lies past the end of the image", 0, "",
                   "", 0});
  cases.push_back({"EBR without 55 AA",
                   [] {
                     PartitionedImage img(64);
                     img.Entry(0, 0, 0x05, 10, 50);
                     img.bytes[10 * 512 + 0x1BE + 4] = 0x06;
                     return img;
                   }(),
                   "the extended boot record at sector 10 lacks the 55 AA mark", 0, "", "", 0});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const PartitionTable t = Read(c.img.bytes);
    EXPECT_TRUE(t.Partitioned());
    EXPECT_NE(Findings(t).find(c.finding), std::string::npos) << Findings(t);
    if (c.number == 0) continue;
    const Partition* p = t.Find(c.number);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p->refusal.find(c.refusal), std::string::npos) << p->refusal;
    if (*c.refusal == '\0') {
      EXPECT_EQ(p->refusal, "");
    }
    EXPECT_NE(p->writeRefusal.find(c.writeRefusal), std::string::npos) << p->writeRefusal;
    if (*c.writeRefusal == '\0') {
      EXPECT_EQ(p->writeRefusal, "");
    }
    EXPECT_EQ(p->usableSectors, c.usable);
    // Nothing the table says reaches past the image.
    for (const auto& q : t.partitions) {
      if (q.Length() > 0) {
        EXPECT_LE(q.Offset() + q.Length(), c.img.bytes.size());
      }
    }
  }
}

}  // namespace
}  // namespace quarnel
