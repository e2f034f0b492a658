// The sector stores and a large volume read in place through FileStore.
#include "core/sector_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <set>

#include "core/disk_image.h"
#include "core/fat.h"
#include "core/fat_codec.h"
#include "core/volume.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

const std::vector<std::string> kMtoolsEnv = {"MTOOLS_NO_VFAT=1", "MTOOLS_SKIP_CHECK=1"};

std::optional<FileEntry> Named(const DirContents& dir, const std::string& caption) {
  for (const FileEntry& e : EntriesOf(dir))
    if (e.Caption() == caption) return e;
  return std::nullopt;
}

// Both stores refuse ranges that do not lie wholly inside them, and a span read before shows
// what is written later.
TEST(SectorStore, BoundsAndWritesShowThroughEarlierReads) {
  test::TempDir tmp;
  std::vector<std::uint8_t> bytes(3 * 512 + 100);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
  test::WriteHostFile(tmp / "v.img", bytes);
  auto file = FileStore::Open((tmp / "v.img").string(), true);
  ASSERT_TRUE(file);
  MemoryStore memory(ImageBytes(bytes.begin(), bytes.end()));
  for (SectorStore* store :
       {static_cast<SectorStore*>(&memory), static_cast<SectorStore*>(file.get())}) {
    SCOPED_TRACE(store == &memory ? "memory" : "file");
    EXPECT_EQ(store->Size(), bytes.size());
    struct Range {
      std::uint64_t offset;
      std::size_t length;
      bool inside;
    } ranges[] = {{0, 512, true},
                  {1500, 136, true},
                  {1500, 137, false},
                  {bytes.size(), 0, true},
                  {bytes.size() + 1, 0, false},
                  {~0ull - 3, 8, false}};
    for (const auto& r : ranges) {
      SCOPED_TRACE(r.offset);
      auto got = store->Read(r.offset, r.length);
      ASSERT_EQ(got.has_value(), r.inside);
      if (got && r.length > 0) {
        EXPECT_TRUE(std::equal(got->begin(), got->end(), bytes.begin() + r.offset));
      }
      const std::vector<std::uint8_t> data(r.length, 0x5A);
      EXPECT_EQ(store->Write(r.offset, data), r.inside);
    }
    // The span across the sector boundary was read before these writes.
    const Bytes earlier = *store->Read(500, 40);
    const std::uint8_t mark[] = {1, 2, 3};
    ASSERT_TRUE(store->Write(510, mark));
    EXPECT_EQ(earlier[10], 1);
    EXPECT_EQ(earlier[12], 3);
    EXPECT_EQ((*store->Read(511, 1))[0], 2);
  }
  // What was written reached the file.
  const auto back = test::ReadHostFile(tmp / "v.img");
  EXPECT_EQ(back[511], 2);
  EXPECT_EQ(back[1500], 0x5A);
  // A store opened for reading writes nothing.
  auto readOnly = FileStore::Open((tmp / "v.img").string());
  const std::uint8_t one[] = {9};
  EXPECT_FALSE(readOnly->Write(0, one));
  EXPECT_FALSE(FileStore::Open((tmp / "missing.img").string()));
  EXPECT_FALSE(FileStore::Open(tmp.path().string()));  // a folder is no image
}

// A FIFO is refused at once, for reading and for writing, without waiting for a writer.
TEST(SectorStore, FifoRefusedWithoutWaiting) {
  test::TempDir tmp;
  const std::string fifo = (tmp / "pipe.img").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const bool writable : {false, true}) {
    auto opening =
        std::async(std::launch::async, [&] { return FileStore::Open(fifo, writable) == nullptr; });
    if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      ADD_FAILURE() << "FileStore::Open waits on a FIFO";
      // Free the waiting open: a writer (or reader) on the other end lets it return.
      const int other = ::open(fifo.c_str(), (writable ? O_RDONLY : O_WRONLY) | O_NONBLOCK);
      opening.wait();
      if (other >= 0) ::close(other);
      continue;
    }
    EXPECT_TRUE(opening.get()) << writable;
  }
}

// FAT12 entries share bytes with their neighbours; FAT16 entries are words. Every write keeps the
// neighbours and reads back.
TEST(FatCodec, EntriesKeepTheirNeighbours) {
  for (FatKind kind : {FatKind::Fat12, FatKind::Fat16}) {
    SCOPED_TRACE(kind == FatKind::Fat12 ? "FAT12" : "FAT16");
    std::vector<std::uint8_t> table(64, 0);
    const std::uint16_t mask = FatMarksOf(kind).mask;
    auto put = [&](std::uint32_t n, std::uint16_t v) {
      EncodeFatEntry(kind, n, v, table.data() + FatEntryOffset(kind, n));
    };
    auto get = [&](std::uint32_t n) {
      return DecodeFatEntry(kind, n, table.data() + FatEntryOffset(kind, n));
    };
    for (std::uint32_t n = 2; n < 30; ++n) put(n, static_cast<std::uint16_t>((n * 0x9E3) & mask));
    put(7, FatMarksOf(kind).endOfChain);
    put(8, FatMarksOf(kind).bad);
    for (std::uint32_t n = 2; n < 30; ++n) {
      const std::uint16_t want = n == 7   ? FatMarksOf(kind).endOfChain
                                 : n == 8 ? FatMarksOf(kind).bad
                                          : static_cast<std::uint16_t>((n * 0x9E3) & mask);
      EXPECT_EQ(get(n), want) << n;
    }
  }
  // The known FAT12 packing: entries 2 and 3 in bytes 3..5.
  const std::uint8_t packed[] = {0xF9, 0xFF, 0xFF, 0x03, 0x40, 0x00};
  EXPECT_EQ(DecodeFatEntry(FatKind::Fat12, 2, packed + FatEntryOffset(FatKind::Fat12, 2)), 3);
  EXPECT_EQ(DecodeFatEntry(FatKind::Fat12, 3, packed + FatEntryOffset(FatKind::Fat12, 3)), 4);
  // What ends and what breaks a chain follows the volume's FAT kind.
  DiskGeometry g;
  g.dataClusters = 5000;
  g.fatKind = FatKind::Fat16;
  EXPECT_EQ(NextClusterCheck(g, 0xFFFF), ChainStep::End);
  EXPECT_EQ(NextClusterCheck(g, 0xFFF7), ChainStep::Broken);
  EXPECT_EQ(NextClusterCheck(g, 4500), ChainStep::Continue);
  EXPECT_EQ(NextClusterCheck(g, 5002), ChainStep::Broken);
}

// A 32 MB FAT12 volume made by mkfs.fat and filled by mtools is listed, a folder and all, through
// the file store, which reads the boot sector, the first FAT, the root directory and the folder's
// cluster, each once, and nothing of the files' data.
TEST(SectorStore, LargeVolumeListsReadingOnlyWhatItNeeds) {
  if (!test::HaveProgram("mkfs.fat") || !test::HaveProgram("mcopy") || !test::HaveProgram("mmd"))
    GTEST_SKIP() << "needs mkfs.fat and mtools";
  test::TempDir tmp;
  const std::string img = (tmp / "card.img").string();
  ASSERT_EQ(
      test::Run({"mkfs.fat", "-C", "-F", "12", "-S", "512", "-s", "32", img, "32767"}).exitCode, 0);
  std::vector<std::uint8_t> data(200 * 1024);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31 + 7);
  test::WriteHostFile(tmp / "DATA.BIN", data);
  test::WriteHostFile(tmp / "ZORK.TXT", std::vector<std::uint8_t>{'W', 'e', 's', 't'});
  for (const auto& argv : std::vector<std::vector<std::string>>{
           {"mmd", "-i", img, "::GAMES"},
           {"mcopy", "-i", img, (tmp / "DATA.BIN").string(), "::"},
           {"mcopy", "-i", img, (tmp / "ZORK.TXT").string(), "::GAMES"}})
    ASSERT_EQ(test::Run(argv, kMtoolsEnv).exitCode, 0) << argv[0];

  auto opened = FileStore::Open(img);
  ASSERT_TRUE(opened);
  const FileStore& store = *opened;
  ASSERT_GT(store.Size(), 32u * 1000 * 1000);
  const GeometryReading read = ReadGeometry(*store.Read(0, 512), store.Size());
  ASSERT_TRUE(read.Usable()) << read.detail;
  const DiskGeometry& g = read.geometry;
  EXPECT_EQ(g.fatKind, FatKind::Fat12);
  const DiskImage volume(std::move(opened), g);

  const auto root = ListDirectory(volume, kRootDir);
  ASSERT_TRUE(root);
  const auto games = Named(*root, "GAMES.   ");
  const auto file = Named(*root, "DATA.BIN");
  ASSERT_TRUE(games && file);
  EXPECT_EQ(file->size, data.size());
  const auto inside = ListDirectory(volume, DirRef{games->firstCluster});
  ASSERT_TRUE(inside);
  ASSERT_TRUE(Named(*inside, "ZORK.TXT"));

  // The sectors it was allowed to read.
  const std::uint64_t bps = g.bytesPerSector;
  std::set<std::uint64_t> allowed = {0};
  for (std::uint64_t s = 0; s < g.sectorsPerFat; ++s) allowed.insert(g.fatOffset / bps + s);
  for (std::uint64_t s = 0; s < std::uint64_t{g.rootEntries} * 32 / bps; ++s)
    allowed.insert(g.rootOffset / bps + s);
  for (std::uint16_t c : FollowChain(volume, games->firstCluster).clusters)
    for (std::uint64_t s = 0; s < g.sectorsPerCluster; ++s)
      allowed.insert(ClusterOffset(g, c) / bps + s);
  const std::vector<std::uint64_t>& got = store.SectorsRead();
  const std::set<std::uint64_t> distinct(got.begin(), got.end());
  EXPECT_EQ(distinct.size(), got.size()) << "a sector was read twice";
  for (std::uint64_t s : got) EXPECT_TRUE(allowed.count(s)) << "sector " << s << " read";
  EXPECT_EQ(distinct, allowed);

  // The file's bytes come through the store too.
  const FileRead bytes = ReadFile(volume, *file);
  ASSERT_TRUE(bytes.ok()) << bytes.message;
  EXPECT_TRUE(bytes.bytes == data);
}

}  // namespace
}  // namespace quarnel
