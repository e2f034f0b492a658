// quarnel-cli floppy as a user runs it: images written to and read from regular files, refused
// targets and ranges, the device list on a made-up sysfs tree, and, where the machine can make
// one, a loop device end to end. No other block device is ever named.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "core/new_image.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class FloppyCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    image = BuildNewImage(GeometryTable[7]);
    const Buf data = test::Pattern(image.size() - 512 * 14, 9);
    std::copy(data.begin(), data.end(), image.begin() + 512 * 14);
    test::WriteHostFile(tmp / "game.dsk", image);
    test::WriteHostFile(tmp / "floppy.img", Buf(image.size(), 0xE5));
  }
  std::string P(const std::string& name) const { return (tmp / name).string(); }
  test::TempDir tmp;
  Buf image;
};

// write, then read back, on a regular file standing for the floppy.
TEST_F(FloppyCommands, WriteAndReadRegularFiles) {
  auto w = test::Run({Cli(), "floppy", "write", P("game.dsk"), P("floppy.img")});
  EXPECT_EQ(w.exitCode, 0) << w.err;
  EXPECT_EQ(w.err, "");  // no progress: stderr is no terminal
  EXPECT_TRUE(test::ReadHostFile(tmp / "floppy.img") == image);

  auto r = test::Run({Cli(), "floppy", "read", P("floppy.img"), P("back.dsk")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(test::ReadHostFile(tmp / "back.dsk") == image);

  auto again = test::Run({Cli(), "floppy", "read", P("floppy.img"), P("back.dsk")});
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_EQ(again.err, P("back.dsk") + " exists; give --force to replace it\n");
}

// --start / --end write that range only.
TEST_F(FloppyCommands, WriteARange) {
  auto w = test::Run(
      {Cli(), "floppy", "write", P("game.dsk"), P("floppy.img"), "--start", "10", "--end", "12"});
  EXPECT_EQ(w.exitCode, 0) << w.err;
  Buf expected(image.size(), 0xE5);
  std::copy(image.begin() + 10 * 512, image.begin() + 13 * 512, expected.begin() + 10 * 512);
  EXPECT_TRUE(test::ReadHostFile(tmp / "floppy.img") == expected);
}

// Refusals: what is not a file or usable device, a bad number, a range past the image; the
// target is left as it was.
TEST_F(FloppyCommands, RefusedTargetsAndRanges) {
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  } cases[] = {
      {{"/dev/null"}, 1, "/dev/null: neither a regular file nor a block device\n"},
      {{P("none.img")}, 1, P("none.img") + ": no such file or device\n"},
      {{tmp.path().string()},
       1,
       tmp.path().string() + ": neither a regular file nor a block device\n"},
      {{P("floppy.img"), "--start", "ten"}, 2, "'ten' is not a valid integer value\n"},
      {{P("floppy.img"), "--end", "1440"}, 1, "End lies past the image's last sector, 1439\n"},
      {{P("floppy.img"), "--start", "5", "--end", "4"}, 1, "Start lies after End\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> argv{Cli(), "floppy", "write", P("game.dsk")};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    auto r = test::Run(argv);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0];
    EXPECT_EQ(r.err, c.err);
  }
  EXPECT_TRUE(test::ReadHostFile(tmp / "floppy.img") == Buf(image.size(), 0xE5));
}

// floppy list on a made-up sysfs tree: the usable drive with size and model; a fixed disk and
// a mounted floppy are not listed.
TEST_F(FloppyCommands, ListOnAGivenSysfsTree) {
  const fs::path sys = tmp / "block";
  auto put = [](const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p) << text;
  };
  for (auto [name, removable] : {std::pair{"sda", "0"}, {"sdb", "1"}, {"sdc", "1"}}) {
    put(sys / name / "removable", std::string(removable) + "\n");
    put(sys / name / "size", "2880\n");
    put(sys / name / "device" / "model", "USB-FDU\n");
  }
  put(tmp / "mounts", "/dev/sdc /media/floppy vfat rw 0 0\n");
  auto r =
      test::Run({Cli(), "floppy", "list", "--sys-root", sys.string(), "--mounts", P("mounts")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "/dev/sdb\t1440 KB\tUSB-FDU\n");
  // Nothing usable: nothing on stdout, the reason on stderr.
  put(tmp / "mounts", "/dev/sdb /media/floppy vfat rw 0 0\n/dev/sdc /mnt vfat rw 0 0\n");
  r = test::Run({Cli(), "floppy", "list", "--sys-root", sys.string(), "--mounts", P("mounts")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_THAT(r.err, ::testing::StartsWith("No usable floppy drive"));
}

// A loop device over a file: refused as a fixed disk unless --allow-loop; with it, written and
// read back like a floppy.
TEST_F(FloppyCommands, LoopDeviceEndToEnd) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a loop device needs root";
  if (!test::HaveProgram("losetup")) GTEST_SKIP() << "losetup is not installed";
  auto made = test::Run({"losetup", "-f", "--show", P("floppy.img")});
  if (made.exitCode != 0 || made.out.empty())
    GTEST_SKIP() << "this machine cannot make a loop device: " << made.err;
  const std::string loop = made.out.substr(0, made.out.find('\n'));
  struct LoopDevice {
    std::string dev;
    void Detach() {
      if (!dev.empty()) test::Run({"losetup", "-d", dev});
      dev.clear();
    }
    ~LoopDevice() { Detach(); }
  } device{loop};

  auto refused = test::Run({Cli(), "floppy", "write", P("game.dsk"), loop});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, loop + ": a fixed disk, not a removable floppy drive; refused\n");
  EXPECT_TRUE(test::ReadHostFile(tmp / "floppy.img") == Buf(image.size(), 0xE5));

  auto w = test::Run({Cli(), "floppy", "write", P("game.dsk"), loop, "--allow-loop"});
  EXPECT_EQ(w.exitCode, 0) << w.err;
  auto r = test::Run({Cli(), "floppy", "read", loop, P("back.dsk"), "--allow-loop"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(test::ReadHostFile(tmp / "back.dsk") == image);
  device.Detach();  // the backing file holds everything once the device is gone
  EXPECT_TRUE(test::ReadHostFile(tmp / "floppy.img") == image);
}

}  // namespace
}  // namespace quarnel
