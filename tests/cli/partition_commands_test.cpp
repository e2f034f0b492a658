// quarnel-cli parts and new --hd as a user runs them, and image commands on a partitioned image.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/partition_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class PartitionCommands : public ::testing::Test {
 protected:
  test::CommandResult Q(std::vector<std::string> args) {
    args.insert(args.begin(), Cli());
    return test::Run(args);
  }
  std::string Path(const std::string& name) { return (tmp / name).string(); }
  test::TempDir tmp;
};

TEST_F(PartitionCommands, NewHardDiskListedByParts) {
  const std::string img = Path("card.img");
  auto r = Q({"new", img, "--hd", "40M", "--partitions", "8M,20M,2M"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(fs::file_size(img), 40u << 20);
  r = Q({"parts", img});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "card.img: Nextor partition table, 40 MB\n"
            "  #  Type                   Start     Sectors      Size  FAT    Volume\n"
            "  1* 01 FAT12                   1       16384      8 MB  FAT12  \n"
            "  2  04 FAT16 <32M          16386       40960     20 MB  FAT16  \n"
            "  3  01 FAT12               57347        4096      2 MB  FAT12  \n");
  EXPECT_EQ(r.err, "");

  r = Q({"parts", img, "--json"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["scheme"], "Nextor");
  ASSERT_EQ(j["partitions"].size(), 3u);
  EXPECT_EQ(j["partitions"][1]["number"], 2);
  EXPECT_EQ(j["partitions"][1]["type"], "04");
  EXPECT_EQ(j["partitions"][1]["offset"], 16386u * 512);
  EXPECT_EQ(j["partitions"][1]["bytes"], 20u << 20);
  EXPECT_EQ(j["partitions"][1]["fat"], "FAT16");
  EXPECT_EQ(j["partitions"][2]["fat"], "FAT12");
  EXPECT_TRUE(j["findings"].empty());

  // A command on one volume is told which partitions there are.
  r = Q({"ls", img});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, img +
                       " holds partitions: 1 (FAT12, 8 MB), 2 (FAT16 <32M, 20 MB), 3 (FAT12, 2 "
                       "MB); name one with --partition N\n");
}

TEST_F(PartitionCommands, NewHardDiskUsageErrors) {
  struct Case {
    std::vector<std::string> args;
    const char* err;  // part of stderr
  } cases[] = {
      {{"new", Path("a.img"), "--hd", "12Q"}, "--hd: not a size: 12Q"},
      {{"new", Path("a.img"), "--hd", "64M", "--partitions", "8M,x"},
       "--partitions: not a size: x"},
      {{"new", Path("a.img"), "--hd", "8G"}, "more than a partition holds (4 GB)"},
      {{"new", Path("a.img"), "--hd", "64M", "--partitions", "40M", "--fat12"},
       "too large for FAT12"},
      {{"new", Path("a.img"), "--hd", "64M", "--partitions", "40M,40M"},
       "partition 2: does not fit in the image"},
      {{"new", Path("a.img"), Path("b.img"), "--hd", "64M"}, "new --hd takes one IMAGE"},
      {{"new", "720", Path("a.img"), "--fat16"}, "go with --hd"},
      {{"new", "1440", Path("a.img")}, "SIZE: 1440 is none of"},
      {{"new", Path("a.img"), "--hd", "64M", "--fat12", "--fat16"}, "excludes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1] + " " + c.err);
    auto r = Q(c.args);
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("a.img")));
  }
  // An existing file is replaced only when asked for.
  ASSERT_EQ(Q({"new", Path("a.img"), "--hd", "4M"}).exitCode, 0);
  auto r = Q({"new", Path("a.img"), "--hd", "8M"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(fs::file_size(Path("a.img")), 4u << 20);
  EXPECT_EQ(Q({"new", Path("a.img"), "--hd", "8M", "--force"}).exitCode, 0);
  EXPECT_EQ(fs::file_size(Path("a.img")), 8u << 20);
}

TEST_F(PartitionCommands, PartsOfHostileAndPlainImages) {
  test::PartitionedImage hostile(64);
  hostile.Entry(0, 0, 0x06, 4, 30).Entry(0, 1, 0x83, 20, 100).Entry(0, 2, 0x05, 0, 10);
  test::WriteHostFile(tmp / "bad.img", hostile.bytes);
  auto r = Q({"parts", Path("bad.img")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_NE(r.out.find("MBR partition table"), std::string::npos) << r.out;
  EXPECT_EQ(r.err,
            "bad.img: partition 2 runs past the end of the image: 100 sectors in its entry, 44 "
            "in the image\n"
            "bad.img: the chain of extended boot records loops back to sector 0: cut there\n"
            "bad.img: partitions 1 and 2 overlap (sectors 20-33)\n");
  r = Q({"parts", Path("bad.img"), "--json"});
  ASSERT_EQ(r.exitCode, 0);
  const auto j = nlohmann::json::parse(r.out);
  EXPECT_EQ(j["findings"].size(), 3u);
  EXPECT_EQ(j["partitions"][0]["readOnly"], "it overlaps partition 2");

  ASSERT_EQ(Q({"new", "720", Path("f.dsk")}).exitCode, 0);
  r = Q({"parts", Path("f.dsk")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "f.dsk holds no partition table: it is one volume\n");
  test::WriteHostFile(tmp / "zeros.img", std::vector<std::uint8_t>(4096, 0));
  r = Q({"parts", Path("zeros.img")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "zeros.img holds no partition table and no volume's boot sector\n");
  r = Q({"parts", Path("none.img")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "No such disk image: " + Path("none.img") + "\n");
  // A FIFO is refused without being opened (opening it would wait for a writer).
  ASSERT_EQ(test::Run({"mkfifo", Path("pipe.img")}).exitCode, 0);
  r = Q({"parts", Path("pipe.img")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "No such disk image: " + Path("pipe.img") + "\n");
}

}  // namespace
}  // namespace quarnel
