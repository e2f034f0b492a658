// A partition as a store of its own: nothing outside its window is read or written through it,
// and a partition is opened only when it is a FAT volume that lies inside the image.
#include "core/partition_store.h"

#include <gtest/gtest.h>

#include "support/partition_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::PartitionedImage;

std::vector<std::uint8_t> Filled(std::size_t n) {
  std::vector<std::uint8_t> b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 13 + 7);
  return b;
}

// Writes inside the window land at its offset; a write or read crossing either edge is refused
// whole, and the bytes before and after the window never change.
TEST(PartitionStore, WritesStayInsideTheWindow) {
  test::TempDir tmp;
  const auto original = Filled(10 * 512);
  test::WriteHostFile(tmp / "hd.img", original);
  const std::uint64_t offset = 3 * 512, length = 4 * 512;
  PartitionStore window(FileStore::Open((tmp / "hd.img").string(), true), offset, length);
  ASSERT_EQ(window.Size(), length);
  struct Case {
    std::uint64_t at;
    std::size_t n;
    bool inside;
  } cases[] = {
      {0, 512, true},    {length - 512, 512, true}, {length - 511, 512, false},  {length, 1, false},
      {length, 0, true}, {~0ull - 10, 20, false},   {~0ull - offset, 600, false}};
  std::vector<std::uint8_t> expected = original;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.at);
    EXPECT_EQ(window.Read(c.at, c.n).has_value(), c.inside);
    const std::vector<std::uint8_t> data(c.n, 0xA5);
    EXPECT_EQ(window.Write(c.at, data), c.inside);
    if (c.inside)
      std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(offset + c.at), c.n, 0xA5);
  }
  auto got = window.Read(0, 512);
  ASSERT_TRUE(got);
  EXPECT_EQ((*got)[0], 0xA5);
  EXPECT_EQ(test::ReadHostFile(tmp / "hd.img"), expected);
  // A clone is the same window of an independent store.
  auto clone = window.Clone();
  ASSERT_TRUE(clone);
  EXPECT_EQ(clone->Size(), length);
  EXPECT_FALSE(clone->Write(length - 1, std::vector<std::uint8_t>(2, 0)));
}

TEST(PartitionStore, ReadOnlyAndCutWindows) {
  const auto bytes = Filled(4 * 512);
  PartitionStore readOnly(std::make_unique<MemoryStore>(ImageBytes(bytes.begin(), bytes.end())),
                          512, 512, false);
  EXPECT_FALSE(readOnly.Write(0, std::vector<std::uint8_t>(1, 0)));
  EXPECT_EQ((*readOnly.Read(0, 1))[0], bytes[512]);
  // A window reaching past its store is cut at the store's end.
  PartitionStore cut(std::make_unique<MemoryStore>(ImageBytes(bytes.begin(), bytes.end())), 3 * 512,
                     10 * 512);
  EXPECT_EQ(cut.Size(), 512u);
  PartitionStore past(std::make_unique<MemoryStore>(ImageBytes(bytes.begin(), bytes.end())),
                      9 * 512, 512);
  EXPECT_EQ(past.Size(), 0u);
}

TEST(PartitionStore, OpenRefusesWhatIsNoSafeVolume) {
  test::TempDir tmp;
  PartitionedImage img(200);
  img.Entry(0, 0, 0x01, 1, 50).Entry(0, 1, 0x83, 55, 10).Entry(0, 2, 0x06, 70, 40);
  img.Entry(0, 3, 0x06, 100, 30);  // overlaps partition 3
  test::WriteHostFile(tmp / "hd.img", img.bytes);
  test::WriteHostFile(tmp / "plain.img", std::vector<std::uint8_t>(2048, 0));
  const std::string hd = (tmp / "hd.img").string();
  struct Case {
    std::string path;
    int number;
    bool writable;
    std::string message;  // "" when it opens
  } cases[] = {
      {hd, 1, true, ""},
      {hd, 3, false, ""},
      {hd, 2, false, "partition 2 is of type 83 (Linux): not a FAT12 or FAT16 volume"},
      {hd, 3, true, "partition 3 cannot be changed: it overlaps partition 4"},
      {hd, 7, false,
       hd + " has no partition 7; it holds: 1 (FAT12, 25 KB), 2 (Linux, 5 KB), 3 (FAT16, 20 "
            "KB), 4 (FAT16, 15 KB)"},
      {(tmp / "plain.img").string(), 1, false,
       (tmp / "plain.img").string() + " holds no partition table"},
      {(tmp / "none.img").string(), 1, false, (tmp / "none.img").string() + ": cannot be opened"},
      {tmp.path().string(), 1, false, tmp.path().string() + ": is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + std::to_string(c.number));
    PartitionOpening o = OpenPartitionStore(c.path, c.number, c.writable);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(o.store != nullptr, c.message.empty());
    if (o.store) {
      EXPECT_EQ(o.store->Offset(), o.partition.Offset());
      EXPECT_EQ(o.store->Size(), o.partition.Length());
      EXPECT_EQ(o.store->Write(0, std::vector<std::uint8_t>(1, 1)), c.writable);
    }
  }
}

TEST(PartitionStore, SizeText) {
  struct Case {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {{0, "0 bytes"},
               {1023, "1023 bytes"},
               {1024, "1 KB"},
               {1536, "1.5 KB"},
               {32ull << 20, "32 MB"},
               {(4ull << 30) - 512, "4 GB"},
               {4ull << 30, "4 GB"},
               {(1ull << 20) + 1, "1 MB"},
               {(3ull << 30) / 2 - (60ull << 20), "1.4 GB"}};
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.text) << c.bytes;
}

}  // namespace
}  // namespace quarnel
