// Which devices are offered and accepted as floppies, on a sysfs tree and mounts table made in a
// temporary folder. No device is opened here.
#include "formats/floppy_devices.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

void Put(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << text;
}

// A device folder as /sys/class/block shows one.
struct FakeDevice {
  std::string name, dev;
  int removable;
  std::uint64_t sectors;
  std::string model;  // empty: no device/model
  bool loop = false;
};

class FloppyDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    const FakeDevice devices[] = {
        {"fd0", "2:0", 1, 2880, ""},                   // a floppy on a controller
        {"sda", "8:0", 0, 2880, "FIXED DISK"},         // fixed, however small
        {"sdb", "8:16", 1, 2880, "TEAC FD-05PUB   "},  // a USB floppy drive
        {"sdc", "8:32", 1, 4194304, "Flash Disk"},     // a 2 GB stick
        {"sdd", "8:48", 1, 1440, "USB FDD"},           // a floppy, mounted through a partition
        {"sde", "8:64", 1, 1440, "USB FDD"},           // a floppy, mounted itself
        {"sdf", "8:80", 1, 0, "USB FDD"},              // a drive without a disk
        {"sdg", "8:96", 1, 1440, "USB FDD"},           // mounted, its name escaped in the table
        {"loop0", "7:0", 0, 1440, "", true},           // a loop device
    };
    for (const auto& d : devices) {
      const fs::path dir = sys() / d.name;
      Put(dir / "dev", d.dev + "\n");
      Put(dir / "removable", std::to_string(d.removable) + "\n");
      Put(dir / "size", std::to_string(d.sectors) + "\n");
      if (!d.model.empty()) Put(dir / "device" / "model", d.model + "\n");
      if (d.loop) fs::create_directories(dir / "loop");
    }
    // sdd1: a partition of sdd, in sdd's folder and at the top as sysfs lists it.
    for (const fs::path& dir : {sys() / "sdd" / "sdd1", sys() / "sdd1"}) {
      Put(dir / "partition", "1\n");
      Put(dir / "dev", "8:49\n");
      Put(dir / "removable", "0\n");
      Put(dir / "size", "1439\n");
    }
    Put(mounts(),
        "sysfs /sys sysfs rw 0 0\n"
        "/dev/sdd1 /media/floppy vfat rw 0 0\n"
        "/dev/sde /media/other vfat rw 0 0\n"
        "/dev/sd\\147 /media/my\\040disk vfat rw 0 0\n");
  }
  fs::path sys() const { return tmp / "block"; }
  fs::path mounts() const { return tmp / "mounts"; }
  DeviceSources Sources(bool loop = false) const { return {sys(), mounts(), loop}; }
  test::TempDir tmp;
};

// Only removable whole disks of at most 5,760 sectors that hold a disk and are not mounted are
// listed, with their model when the system gives one.
TEST_F(FloppyDevices, ListsOnlyUsableRemovableFloppies) {
  auto list = ListFloppyDevices(Sources());
  std::vector<std::string> names;
  for (const auto& d : list) names.push_back(d.name);
  EXPECT_EQ(names, (std::vector<std::string>{"fd0", "sdb"}));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].path, "/dev/fd0");
  EXPECT_EQ(list[0].model, "");
  EXPECT_EQ(list[1].model, "TEAC FD-05PUB");
  EXPECT_EQ(list[1].sectors, 2880u);
}

// A named target passes the same rules, with a message naming it and the reason.
TEST_F(FloppyDevices, BlockDeviceTargetsAreCheckedByTheSameRules) {
  const struct {
    std::string number;
    bool allowLoop;
    TargetStatus status;
    std::string why;
  } cases[] = {
      {"8:16", false, TargetStatus::Accepted, ""},
      {"8:0", false, TargetStatus::FixedDisk,
       ": a fixed disk, not a removable floppy drive; refused"},
      {"8:32", false, TargetStatus::TooLarge,
       ": larger than 2.88 MB (5760 sectors), so no floppy disk; refused"},
      {"8:48", false, TargetStatus::Mounted,
       ": mounted (it or a partition of it); unmount it first"},
      {"8:64", false, TargetStatus::Mounted,
       ": mounted (it or a partition of it); unmount it first"},
      {"8:49", false, TargetStatus::Partition, ": a partition, not a whole floppy disk; refused"},
      {"8:80", false, TargetStatus::NoDisk, ": holds no disk"},
      {"9:9", false, TargetStatus::UnknownDevice,
       ": a block device the system does not list in /sys/class/block"},
      {"7:0", false, TargetStatus::FixedDisk,
       ": a fixed disk, not a removable floppy drive; refused"},
      {"7:0", true, TargetStatus::Accepted, ""},
      {"8:0", true, TargetStatus::FixedDisk,
       ": a fixed disk, not a removable floppy drive; refused"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    auto o = CheckBlockDevice("/dev/target", c.number, Sources(c.allowLoop));
    EXPECT_EQ(o.status, c.status);
    EXPECT_EQ(o.message, c.why.empty() ? "" : "/dev/target" + c.why);
  }
}

// A mounts table that cannot be read counts as "mounted": nothing is offered.
TEST_F(FloppyDevices, UnreadableMountsOffersNothing) {
  EXPECT_TRUE(ListFloppyDevices({sys(), tmp / "none", false}).empty());
}

// Regular files are accepted; other kinds of files are refused without being opened.
TEST_F(FloppyDevices, RegularFilesAcceptedOtherKindsRefused) {
  Put(tmp / "image.dsk", "x");
  EXPECT_EQ(CheckFloppyTarget(tmp / "image.dsk", Sources()).status, TargetStatus::Accepted);
  EXPECT_EQ(CheckFloppyTarget(tmp.path(), Sources()).status, TargetStatus::NotUsable);
  EXPECT_EQ(CheckFloppyTarget("/dev/null", Sources()).status, TargetStatus::NotUsable);
  auto missing = CheckFloppyTarget(tmp / "none", Sources());
  EXPECT_EQ(missing.status, TargetStatus::Missing);
  EXPECT_EQ(missing.message, (tmp / "none").string() + ": no such file or device");
}

// The mounts table's first fields, octal escapes decoded; sysfs numbers strictly decimal.
TEST(FloppyParsing, MountSourcesAndSysfsNumbers) {
  EXPECT_EQ(MountSources("/dev/a\\040b /m vfat\n\nnone /x tmpfs\n/dev/c\\04 /y\n"),
            (std::vector<std::string>{"/dev/a b", "none", "/dev/c\\04"}));
  EXPECT_EQ(SysfsNumber("2880\n"), 2880u);
  EXPECT_EQ(SysfsNumber(""), std::nullopt);
  EXPECT_EQ(SysfsNumber("-1\n"), std::nullopt);
  EXPECT_EQ(SysfsNumber("99999999999999999999"), std::nullopt);
}

}  // namespace
}  // namespace quarnel
