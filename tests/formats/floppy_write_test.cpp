// Writing images to floppies and reading them back, on a file-backed disk (the POSIX disk over a
// regular file) and on the in-memory disk that records and fails what it is told to.
#include "formats/floppy_write.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <system_error>

#include "core/new_image.h"
#include "core/save_image.h"
#include "fake_raw_disk.h"
#include "formats/raw_disk_posix.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

using test::FakeRawDisk;
using Buf = std::vector<std::uint8_t>;

constexpr GeometryRow k1440Row{"", "1.44 MB", 0xF0, 224, 9, 18, 2, 1, 2880, 1440};

// A new image of `row` with every sector after the boot sector stamped with its number, so that
// a sector written to the wrong place shows.
Buf StampedImage(const GeometryRow& row) {
  Buf image = BuildNewImage(row);
  for (std::size_t s = 1; s < image.size() / kRawSectorBytes; ++s) {
    const std::size_t at = s * kRawSectorBytes + kRawSectorBytes - 8;
    for (std::size_t i = 0; i < 8; ++i)
      image[at + i] = static_cast<std::uint8_t>((s >> (i % 2 * 8)) + i);
  }
  return image;
}

Buf ImageSectorOf(const Buf& image, std::uint64_t s) { return ImageSector(image, s); }

std::string Reason(int e) { return std::error_code(e, std::generic_category()).message(); }

// Whole-disk writes of each geometry to a file-backed disk leave the file equal to the image,
// and the last status before "Done" counts the image's last sector.
TEST(FloppyWrite, WholeDiskEqualsImageForEachGeometry) {
  const struct {
    GeometryRow row;
    const char* lastStatus;
  } cases[] = {
      {GeometryTable[1], "Sector 360 of 360"},    // 180 KB
      {GeometryTable[5], "Sector 720 of 720"},    // 360 KB
      {GeometryTable[7], "Sector 1440 of 1440"},  // 720 KB
      {k1440Row, "Sector 2880 of 2880"},          // 1.44 MB
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row.caption);
    test::TempDir tmp;
    const Buf image = StampedImage(c.row);
    test::WriteHostFile(tmp / "floppy", Buf(image.size(), 0xE5));
    int error = 0;
    auto disk = OpenRawDisk(tmp / "floppy", RawDiskAccess::ReadWrite, error);
    ASSERT_TRUE(disk) << Reason(error);
    WriteRange range;
    ASSERT_EQ(PlanWrite(image.size(), {}, *disk, range).status, FloppyStatus::Done);
    std::string lastStatus;
    FloppyRun run;
    run.progress = [&](FloppyPhase phase, std::uint64_t s, std::uint64_t, std::uint64_t last) {
      if (phase == FloppyPhase::Writing) lastStatus = PhaseStatusText(phase, s, last);
    };
    auto o = WriteImageToDisk(*disk, image, range, run);
    EXPECT_EQ(o.status, FloppyStatus::Done) << o.message;
    EXPECT_EQ(lastStatus, c.lastStatus);
    disk.reset();
    EXPECT_TRUE(test::ReadHostFile(tmp / "floppy") == image);
  }
}

// Start 10 / End 12 writes sectors 10, 11 and 12 and nothing else.
TEST(FloppyWrite, StartEndWritesExactlyThoseSectors) {
  const Buf image = StampedImage(GeometryTable[7]);
  FakeRawDisk disk(1440);
  WriteRange range;
  ASSERT_EQ(PlanWrite(image.size(), {false, 10, 12}, disk, range).status, FloppyStatus::Done);
  ASSERT_EQ(WriteImageToDisk(disk, image, range).status, FloppyStatus::Done);
  EXPECT_EQ(disk.writes, (std::vector<std::uint64_t>{10, 11, 12}));
  for (std::uint64_t s = 0; s < 1440; ++s)
    EXPECT_EQ(disk.Sector(s), s >= 10 && s <= 12 ? ImageSectorOf(image, s) : Buf(512, 0xE5))
        << "sector " << s;
}

// Images under 400 sectors write their boot sector first, reset the drive and read its boot
// sector again, then write the range from sector 0; larger ones start with the range.
TEST(FloppyWrite, SmallImagesWriteTheBootSectorFirst) {
  const Buf small = StampedImage(GeometryTable[1]);  // 180 KB, 360 sectors
  FakeRawDisk disk(360);
  ASSERT_EQ(WriteImageToDisk(disk, small, {0, 359}, {nullptr, nullptr, false}).status,
            FloppyStatus::Done);
  ASSERT_GE(disk.log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(disk.log.begin(), disk.log.begin() + 5),
            (std::vector<std::string>{"write 0", "reset", "read 0", "write 0", "write 1"}));
  EXPECT_EQ(disk.writes.size(), 361u);
  EXPECT_TRUE(disk.bytes == small);

  FakeRawDisk big(1440);
  const Buf image = StampedImage(GeometryTable[7]);
  ASSERT_EQ(WriteImageToDisk(big, image, {0, 1439}, {nullptr, nullptr, false}).status,
            FloppyStatus::Done);
  EXPECT_EQ(big.log[0], "write 0");
  EXPECT_EQ(big.log[1], "write 1");
}

// A failed write stops at that sector: the message names it and the system's reason, the
// sectors before it are written, none after it.
TEST(FloppyWrite, WriteFailureStopsAtTheSector) {
  const Buf image = StampedImage(GeometryTable[7]);
  const struct {
    std::uint64_t failAt;
    int errnum;
  } cases[] = {{0, EIO}, {17, EROFS}, {1439, EIO}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failAt);
    FakeRawDisk disk(1440);
    disk.failWriteAt = c.failAt;
    disk.failErrno = c.errnum;
    auto o = WriteImageToDisk(disk, image, {0, 1439});
    EXPECT_EQ(o.status, FloppyStatus::WriteError);
    EXPECT_EQ(o.message, "Error writing sector " + std::to_string(c.failAt) + ": " +
                             Reason(c.errnum) + ". Sectors before it were written, none after it.");
    EXPECT_EQ(disk.writes.back(), c.failAt);
    EXPECT_EQ(disk.rawDiskError(), c.errnum);
    for (std::uint64_t s = 0; s < 1440; ++s)
      ASSERT_EQ(disk.Sector(s), s < c.failAt ? ImageSectorOf(image, s) : Buf(512, 0xE5))
          << "sector " << s;
  }
}

// Verifying reads every written sector back: a sector the disk silently changed, or cannot read
// back, is reported by number; without verifying the write ends "Done".
TEST(FloppyWrite, VerifyReportsTheFirstDifference) {
  const Buf image = StampedImage(GeometryTable[7]);
  {
    FakeRawDisk disk(1440);
    disk.corruptAt = 77;
    auto o = WriteImageToDisk(disk, image, {0, 1439});
    EXPECT_EQ(o.status, FloppyStatus::Differs);
    EXPECT_EQ(o.message, "Verify: the disk differs from the image at sector 77");
  }
  {
    FakeRawDisk disk(1440);
    disk.corruptAt = 77;
    EXPECT_EQ(WriteImageToDisk(disk, image, {0, 1439}, {nullptr, nullptr, false}).status,
              FloppyStatus::Done);
  }
  {
    FakeRawDisk disk(1440);
    disk.failReadAt = 900;
    auto o = WriteImageToDisk(disk, image, {0, 1439});
    EXPECT_EQ(o.status, FloppyStatus::ReadError);
    EXPECT_EQ(o.message, "Error reading sector 900: " + Reason(EIO));
  }
}

// The range is checked before anything is written: End past the image, Start after End,
// negative numbers, and a range past the end of the disk are refused.
TEST(FloppyWrite, RangesOutsideTheImageOrDiskAreRefused) {
  const std::uint64_t bytes = 1440 * 512;
  const struct {
    RangeChoice choice;
    std::uint64_t diskSectors;
    const char* message;  // empty: accepted
  } cases[] = {
      {{false, 0, 1439}, 1440, ""},
      {{false, 0, 1440}, 1440, "End lies past the image's last sector, 1439"},
      {{false, 12, 10}, 1440, "Start lies after End"},
      {{false, -1, 10}, 1440, "Start and End must not be negative"},
      {{true, 0, 0}, 720, "The disk holds only 720 sectors; the range ends at sector 1439"},
      {{false, 0, 719}, 720, ""},
  };
  for (const auto& c : cases) {
    FakeRawDisk disk(c.diskSectors);
    WriteRange range;
    auto o = PlanWrite(bytes, c.choice, disk, range);
    EXPECT_EQ(o.message, c.message);
    EXPECT_EQ(o.status == FloppyStatus::Done, std::string(c.message).empty());
  }
}

// An image whose size is no whole number of sectors has its last sector padded with zeros:
// nothing past the image is read, and a partial sector is never left on the disk.
TEST(FloppyWrite, PartialLastSectorIsPaddedWithZeros) {
  Buf image = test::Pattern(1000, 5);
  FakeRawDisk disk(4);
  WriteRange range;
  ASSERT_EQ(PlanWrite(image.size(), {}, disk, range).status, FloppyStatus::Done);
  EXPECT_EQ(range.last, 1u);
  ASSERT_EQ(WriteImageToDisk(disk, image, range).status, FloppyStatus::Done);
  Buf second(image.begin() + 512, image.end());
  second.resize(512, 0);
  EXPECT_EQ(disk.Sector(1), second);
  EXPECT_EQ(disk.Sector(2), Buf(512, 0xE5));
}

// The cancel flag stops the work before the next sector.
TEST(FloppyWrite, CancelStopsBeforeTheNextSector) {
  const Buf image = StampedImage(GeometryTable[7]);
  FakeRawDisk disk(1440);
  std::atomic<bool> cancel{false};
  FloppyRun run;
  run.cancel = &cancel;
  run.progress = [&](FloppyPhase, std::uint64_t s, std::uint64_t, std::uint64_t) {
    if (s == 3) cancel = true;
  };
  auto o = WriteImageToDisk(disk, image, {0, 1439}, run);
  EXPECT_EQ(o.status, FloppyStatus::Cancelled);
  EXPECT_EQ(o.message, "Cancelled before sector 4");
  EXPECT_EQ(disk.writes.back(), 3u);
}

// Reading a floppy: the size comes from its boot sector, which must be readable, give a size,
// and claim no more than the disk holds.
TEST(FloppyRead, SizeComesFromTheBootSector) {
  const Buf image = StampedImage(GeometryTable[7]);
  {
    FakeRawDisk disk(2880);  // a larger disk: only what the boot sector covers is read
    std::memcpy(disk.bytes.data(), image.data(), image.size());
    DiskRead r = ReadDiskImage(disk);
    EXPECT_EQ(r.outcome.status, FloppyStatus::Done) << r.outcome.message;
    EXPECT_TRUE(r.bytes == image);
  }
  {
    FakeRawDisk disk(720);
    std::memcpy(disk.bytes.data(), image.data(), 720 * 512);
    DiskRead r = ReadDiskImage(disk);
    EXPECT_EQ(r.outcome.status, FloppyStatus::Refused);
    EXPECT_EQ(r.outcome.message,
              "The disk's boot sector claims 737280 bytes, but the disk holds 368640");
  }
  {
    FakeRawDisk disk(1440, 0);
    DiskRead r = ReadDiskImage(disk);
    EXPECT_EQ(r.outcome.status, FloppyStatus::Refused);
    EXPECT_TRUE(r.bytes.empty());
  }
  {
    FakeRawDisk disk(1440);
    disk.failReadAt = 0;
    DiskRead r = ReadDiskImage(disk);
    EXPECT_EQ(r.outcome.status, FloppyStatus::DriveNotReady);
    EXPECT_EQ(r.outcome.message, "No readable disk in the drive: " + Reason(EIO));
  }
  {
    FakeRawDisk disk(1440);
    std::memcpy(disk.bytes.data(), image.data(), image.size());
    disk.failReadAt = 600;
    DiskRead r = ReadDiskImage(disk);
    EXPECT_EQ(r.outcome.status, FloppyStatus::ReadError);
    EXPECT_TRUE(r.bytes.empty());
  }
}

// A read saved to a file; a failed save leaves no file.
TEST(FloppyRead, SavedAtomically) {
  struct FailingIo : FileIo {
    bool Sync(int) override { return false; }
  };
  const Buf image = StampedImage(GeometryTable[7]);
  FakeRawDisk disk(1440);
  std::memcpy(disk.bytes.data(), image.data(), image.size());
  test::TempDir tmp;
  EXPECT_EQ(ReadDiskToFile(disk, tmp / "out.dsk", {}, DefaultFileIo()).status, FloppyStatus::Done);
  EXPECT_TRUE(test::ReadHostFile(tmp / "out.dsk") == image);
  FailingIo failing;
  auto o = ReadDiskToFile(disk, tmp / "bad.dsk", {}, failing);
  EXPECT_EQ(o.status, FloppyStatus::CannotSave);
  EXPECT_FALSE(std::filesystem::exists(tmp / "bad.dsk"));
}

// The geometry lines of a boot sector; zero fields and short sectors give zeros, no fault.
TEST(FloppyGeometry, LinesOfTheBootSector) {
  const Buf boot720 = BuildNewImage(GeometryTable[7]);
  EXPECT_EQ(GeometryLines(Bytes(boot720.data(), 512)),
            (std::vector<std::string>{"Total physical sectors: 1440", "Cylinders: 80", "Heads: 2",
                                      "Bytes per sector: 512", "Sectors per Cluster: 2"}));
  Buf noTracks(512, 0);
  noTracks[19] = 0xA0;  // 1440 sectors, 0 per track, 0 heads
  noTracks[20] = 0x05;
  EXPECT_EQ(GeometryLines(noTracks)[1], "Cylinders: 0");
  EXPECT_EQ(GeometryLines(Bytes(boot720.data(), 20))[0], "Total physical sectors: 0");
}

// The boot sector read from the disk is trimmed to its bytes per sector when that is shorter.
TEST(FloppyGeometry, BootSectorTrimmedToItsSectorSize) {
  FakeRawDisk disk(4, 0);
  disk.bytes[11] = 0x00;  // 256 bytes per sector
  disk.bytes[12] = 0x01;
  auto boot = ReadBootSector(disk);
  ASSERT_TRUE(boot);
  EXPECT_EQ(boot->size(), 256u);
  disk.bytes[12] = 0x08;  // 2048: kept at the 512 bytes read
  EXPECT_EQ(ReadBootSector(disk)->size(), 512u);
}

}  // namespace
}  // namespace quarnel
