// quarnel-cli parts and new --hd as a user runs them, and image commands on a partitioned image.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/change_witness.h"
#include "support/image_builder.h"
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
  r = Q({"ls", Path("pipe.img"), "--partition", "1"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, Path("pipe.img") + ": is a FIFO\n");
}

// Changes to one partition are saved in place inside it: every byte before and after it stays,
// and fsck.fat and mtools find the volume sound with our files in it.
TEST_F(PartitionCommands, ChangesToOnePartitionStayInsideIt) {
  const std::string img = Path("card.img");
  ASSERT_EQ(Q({"new", img, "--hd", "40M", "--partitions", "8M,20M,2M"}).exitCode, 0);
  const auto before = test::ReadHostFile(img);
  const auto big = test::Pattern(200000, 5);
  test::WriteHostFile(tmp / "BIG.BIN", big);
  const auto note = test::Pattern(700, 6);
  test::WriteHostFile(tmp / "NOTE.TXT", note);
  const std::vector<std::vector<std::string>> steps = {
      {"add", img, (tmp / "BIG.BIN").string()},
      {"mkdir", img, "DOCS"},
      {"add", img, (tmp / "NOTE.TXT").string(), "--to", "DOCS"},
      {"add", img, (tmp / "NOTE.TXT").string()},
      {"rm", img, "NOTE.TXT"},
      {"label", img, "SECOND"},
  };
  for (auto step : steps) {
    step.insert(step.end(), {"--partition", "2"});
    const auto r = Q(step);
    ASSERT_EQ(r.exitCode, 0) << step[0] << ": " << r.err;
  }
  const auto after = test::ReadHostFile(img);
  ASSERT_EQ(after.size(), before.size());
  const std::size_t start = 16386u * 512, end = start + (20u << 20);
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + start, after.begin()));
  EXPECT_TRUE(std::equal(before.begin() + end, before.end(), after.begin() + end));

  const auto check = Q({"check", img, "--partition", "2", "--json"});
  EXPECT_EQ(check.exitCode, 0) << check.out;
  EXPECT_EQ(nlohmann::json::parse(check.out)["partition"], 2);
  for (const std::vector<std::string>& json :
       {std::vector<std::string>{"ls", img, "DOCS"}, {"fileinfo", img, "BIG.BIN"}}) {
    auto args = json;
    args.insert(args.end(), {"--partition", "2", "--json"});
    const auto r = Q(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(nlohmann::json::parse(r.out)["partition"], 2) << json[0];
  }
  EXPECT_EQ(Q({"cat", img, "DOCS/NOTE.TXT", "--partition", "2"}).out,
            std::string(note.begin(), note.end()));
  // The other partitions are as new.
  EXPECT_EQ(Q({"ls", img, "--partition", "1"}).out.find("BIG.BIN"), std::string::npos);
  const auto none = Q({"ls", img, "--partition", "9"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("has no partition 9"), std::string::npos) << none.err;

  if (!test::HaveWitnesses()) GTEST_SKIP() << "needs fsck.fat and mtools";
  const fs::path volume = tmp / "volume2.img";
  test::WriteHostFile(volume,
                      std::vector<std::uint8_t>(after.begin() + start, after.begin() + end));
  EXPECT_EQ(test::FsckFindings(volume), std::vector<std::string>{});
  EXPECT_EQ(test::MdirNames(volume), (std::set<std::string>{"BIG.BIN", "DOCS/", "DOCS/NOTE.TXT"}));
  EXPECT_TRUE(test::Mtype(volume, "BIG.BIN") == big);
}

// pack --partition fills one partition of a card from a host tree, in place: nothing outside
// the partition changes, and a tree that does not fit leaves the image as it was.
TEST_F(PartitionCommands, PackFillsOnePartition) {
  const std::string img = Path("card.img");
  ASSERT_EQ(Q({"new", img, "--hd", "40M", "--partitions", "8M,20M,2M"}).exitCode, 0);
  const auto before = test::ReadHostFile(img);
  const fs::path tree = tmp / "tree";
  fs::create_directories(tree / "GAMES");
  const auto rom = test::Pattern(300000, 7);
  test::WriteHostFile(tree / "GAMES" / "GAME.ROM", rom);
  test::WriteHostFile(tree / "README.TXT", test::Pattern(900, 8));
  auto r = Q({"pack", tree.string(), img, "--partition", "2", "--label", "CARD"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto after = test::ReadHostFile(img);
  ASSERT_EQ(after.size(), before.size());
  const std::size_t start = 16386u * 512, end = start + (20u << 20);
  EXPECT_TRUE(std::equal(before.begin(), before.begin() + start, after.begin()));
  EXPECT_TRUE(std::equal(before.begin() + end, before.end(), after.begin() + end));
  EXPECT_EQ(Q({"cat", img, "GAMES/GAME.ROM", "--partition", "2"}).out,
            std::string(rom.begin(), rom.end()));

  // The 2 MB partition cannot take a 3 MB file: nothing is written.
  test::WriteHostFile(tree / "BIG.BIN", test::Pattern(3 << 20, 9));
  r = Q({"pack", tree.string(), img, "--partition", "3"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("BIG.BIN"), std::string::npos) << r.err;
  EXPECT_TRUE(test::ReadHostFile(img) == after);
  EXPECT_EQ(Q({"pack", tree.string(), img, "--partition", "2", "--size", "360"}).exitCode, 2);

  if (!test::HaveWitnesses()) GTEST_SKIP() << "needs fsck.fat and mtools";
  EXPECT_EQ(test::MdirNames(img + "@@" + std::to_string(start)),
            (std::set<std::string>{"GAMES/", "GAMES/GAME.ROM", "README.TXT"}));
  const fs::path volume = tmp / "volume2.img";
  test::WriteHostFile(volume,
                      std::vector<std::uint8_t>(after.begin() + start, after.begin() + end));
  EXPECT_EQ(test::FsckFindings(volume), std::vector<std::string>{});
}

}  // namespace
}  // namespace quarnel
