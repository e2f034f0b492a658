// Crafted and damaged disks (support/hostile_inputs.h) as a user meets them on the command
// line: nothing on them is lost or hidden, impossible layouts are refused, and a refused change
// leaves the image byte for byte as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "core/change_witness.h"
#include "core/dir_entry.h"
#include "support/hostile_inputs.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kMtoolsEnv = {"MTOOLS_NO_VFAT=1", "MTOOLS_SKIP_CHECK=1"};

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }
std::string Str(const std::vector<std::uint8_t>& v) { return std::string(v.begin(), v.end()); }

class HostileDisks : public ::testing::Test {
 protected:
  // A hostile image in the scratch folder.
  fs::path Copy(const std::string& name) { return test::WriteHostileInput(tmp.path(), name); }
  // A hostile image that is only read, kept apart from the scratch folder.
  fs::path Hostile(const std::string& name) { return test::WriteHostileInput(inputs.path(), name); }
  fs::path Host(const std::string& name, std::size_t size) {
    fs::path p = tmp / name;
    test::WriteHostFile(p, test::Pattern(size, 7));
    return p;
  }
  test::CommandResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), quarnel::Cli());
    return test::Run(args);
  }
  // The 32 bytes of root slot `slot` (720 KB layout: the root starts at byte 3,584).
  static std::string RootSlot(const fs::path& image, int slot) {
    auto b = test::ReadHostFile(image);
    return std::string(b.begin() + 3584 + slot * 32, b.begin() + 3584 + slot * 32 + 32);
  }
  static bool Fsck() { return test::HaveProgram("fsck.fat"); }
  test::TempDir tmp, inputs;
};

TEST_F(HostileDisks, KanaNamedFileIsListedReadAndNeverOverwritten) {
  auto img = Copy("kana_name.dsk");
  auto ls = Cli({"ls", img.string()});
  ASSERT_EQ(ls.exitCode, 0) << ls.err;
  // 0xB1 0xB2 0xB3 through the character table.
  const std::string shown = "ãĨĩ.TXT";
  EXPECT_EQ(ls.out.rfind(shown + "\t", 0), 0u) << ls.out;
  const auto before = Cli({"cat", img.string(), shown});
  ASSERT_EQ(before.exitCode, 0) << before.err;
  EXPECT_EQ(before.out.size(), 1040u);
  ASSERT_EQ(Cli({"add", img.string(), Host("NEW.BIN", 3000).string()}).exitCode, 0);
  EXPECT_EQ(RootSlot(img, 0).substr(0, 3), "\xB1\xB2\xB3");
  EXPECT_EQ(Cli({"cat", img.string(), shown}).out, before.out);
  EXPECT_EQ(Cli({"cat", img.string(), "NEW.BIN"}).out, Str(test::Pattern(3000, 7)));
  auto out = tmp / "out";
  ASSERT_EQ(Cli({"extract", img.string(), "-o", out.string()}).exitCode, 0);
  EXPECT_EQ(Str(test::ReadHostFile(out / shown)), before.out);
}

TEST_F(HostileDisks, LongNamePiecesAreKeptByAddAndGoWithTheirEntry) {
  auto img = Copy("lfn_mtools.dsk");
  const std::string piece0 = RootSlot(img, 0), piece1 = RootSlot(img, 1);
  ASSERT_EQ(Cli({"add", img.string(), Host("NEW.BIN", 100).string()}).exitCode, 0);
  EXPECT_EQ(RootSlot(img, 0), piece0);
  EXPECT_EQ(RootSlot(img, 1), piece1);
  EXPECT_EQ(RootSlot(img, 3).substr(0, 11), "NEW     BIN");
  // Deleting the short entry deletes its long name; renaming it drops the stale long name.
  auto r = Cli({"rm", img.string(), "ALONGF~1.TEX"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(RootSlot(img, 0)[0], '\xE5');
  EXPECT_EQ(RootSlot(img, 1)[0], '\xE5');
  auto vfat = Copy("vfat.dsk");
  r = Cli({"ren", vfat.string(), "LONGNA~1.TXT", "SHORT.TXT"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(RootSlot(vfat, 5)[0], '\xE5');
  EXPECT_EQ(RootSlot(vfat, 6).substr(0, 11), "SHORT   TXT");
  if (!Fsck()) GTEST_SKIP() << "no fsck.fat";
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
}

TEST_F(HostileDisks, ImpossibleLayoutsAreRefusedAndNeverWritten) {
  const struct {
    const char* image;
    std::string message, detail;
  } cases[] = {
      {"many_clusters.dsk", "Error in boot sector: more clusters than FAT12 can number!\n",
       ": 5715 clusters, 4084 at most\n"},
      {"reserved0.dsk", "Error in boot sector!\n",
       ": reserved sectors (offset 14) is 0: the FAT would lie on the boot sector\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.image);
    auto img = Copy(c.image);
    const auto before = test::ReadHostFile(img);
    auto r = Cli({"ls", img.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, c.message + img.string() + c.detail);
    EXPECT_EQ(Cli({"add", img.string(), Host("A.BIN", 2000).string()}).exitCode, 1);
    EXPECT_EQ(Cli({"rm", img.string(), "HELLO.BAS"}).exitCode, 1);
    EXPECT_EQ(Cli({"oem", img.string(), "X"}).exitCode, 1);
    EXPECT_EQ(test::ReadHostFile(img), before);
  }
}

TEST_F(HostileDisks, ChangesNeverWriteIntoDataThatIsNotTheEntrys) {
  const struct {
    const char* what;
    std::function<void(test::ImageBuilder&)> damage;
    std::vector<std::string> args;  // after the image
  } cases[] = {
      {"poke into a cross-linked file",
       [](test::ImageBuilder& b) {
         b.AddFile(test::kRoot, "DATA.BIN", test::Pattern(5000));  // 2-6
         b.PutEntry(test::kRoot, 1, {.name = "README.TXT", .firstCluster = 4, .size = 3000});
       },
       {"poke", "README.TXT", "--offset", "0", "41"}},
      {"mkdir into a file marked a directory",
       [](test::ImageBuilder& b) {
         b.AddFile(test::kRoot, "DATA.BIN", test::Pattern(5000), kAttrDirectory);
       },
       {"mkdir", "-p", "DATA.BIN/X"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::ImageBuilder b;
    c.damage(b);
    const auto img = tmp / "d.dsk";
    b.WriteTo(img);
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, img.string());
    const auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("The disk needs checking: cluster ", 0), 0u) << r.err;
    EXPECT_EQ(test::ReadHostFile(img), b.Bytes());
  }
}

TEST_F(HostileDisks, FilesReadAsTheirSizeAsks) {
  // A chain longer than the size: the size's bytes, as extraction and mtools give them.
  auto r = Cli({"cat", Hostile("chain_longer_than_size.dsk").string(), "DATA.BIN"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.size(), 100u);
  // With 64-sector clusters the last data cluster is a cluster like any other.
  r = Cli({"cat", Hostile("spc64.dsk").string(), "README.TXT"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.size(), 31u);
  // A size beyond the disk is damage, not an empty file.
  r = Cli({"cat", Hostile("size_high_byte.dsk").string(), "DATA.BIN"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cluster Error in Fat\n  in DATA.BIN\n");
  r = Cli(
      {"extract", Hostile("size_high_byte.dsk").string(), "DATA.BIN", "-o", (tmp / "o").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(fs::exists(tmp / "o" / "DATA.BIN"));
}

TEST_F(HostileDisks, DeleteFreesEveryClusterOfTheEntry) {
  for (const char* name : {"size0_with_chain.dsk", "spc64.dsk"}) {
    SCOPED_TRACE(name);
    auto img = Copy(name);
    const std::string file = std::string(name) == "spc64.dsk" ? "README.TXT" : "DATA.BIN";
    auto r = Cli({"rm", img.string(), file});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    if (!Fsck()) continue;
    // fsck.fat finds no cluster that is marked used but belongs to no file.
    for (const auto& line : test::FsckFindings(img))
      EXPECT_EQ(line.find("unused clusters"), std::string::npos) << line;
  }
}

TEST_F(HostileDisks, RenameRefusesNamesMsxDosCannotUse) {
  auto img = Copy("valid.dsk");
  const auto before = test::ReadHostFile(img);
  for (const char* bad : {"A/B.TXT", "A\\B.TXT", "A*.TXT", "A?.TXT", "A:B.TXT", "A\"B.TXT",
                          "A B.TXT", "A\x01.TXT", "X.Y.Z", ".TXT"}) {
    SCOPED_TRACE(bad);
    auto r = Cli({"ren", img.string(), "README.TXT", bad});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("Not a valid MSX-DOS name (8.3): ", 0), 0u) << r.err;
  }
  EXPECT_EQ(test::ReadHostFile(img), before);
  // Host names with such characters get '_' for each.
  auto r = Cli({"add", img.string(), Host("x*y.txt", 10).string(), Host("a.b.c", 10).string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "x*y.txt added as x_y.txt\na.b.c added as a_b.c\n");
  EXPECT_EQ(Cli({"cat", img.string(), "X_Y.TXT"}).exitCode, 0);
  EXPECT_EQ(Cli({"cat", img.string(), "A_B.C"}).exitCode, 0);
}

TEST_F(HostileDisks, WholeRootExtractKeepsEveryEntry) {
  auto out = tmp / "out";
  auto r = Cli({"extract", Hostile("dup_names.dsk").string(), "-o", out.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "README.TXT extracted as README~1.TXT\n");
  EXPECT_EQ(fs::file_size(out / "README.TXT"), 31u);
  EXPECT_EQ(fs::file_size(out / "README~1.TXT"), 459u);
  // Odd names: blanks and control bytes are shown, "." and ".." files are reported, and no name
  // leads out of the target folder.
  auto odd = tmp / "odd";
  fs::create_directories(odd);
  auto ls = Cli({"ls", Hostile("names_odd_root.dsk").string()});
  EXPECT_NE(ls.out.find("SP ACE.TXT\t"), std::string::npos);
  EXPECT_NE(ls.out.find("CTRL???.TXT\t"), std::string::npos);
  r = Cli({"extract", Hostile("names_odd_root.dsk").string(), "-o", odd.string()});
  EXPECT_EQ(r.err, ".. extracted as _.\n. extracted as _\n");
  r = Cli({"extract", "-r", Hostile("names_odd_root.dsk").string(), "-o", (odd / "r").string()});
  EXPECT_EQ(r.err, ".. extracted as _.\n. extracted as _\n");
  for (const auto& e : fs::directory_iterator(tmp.path()))
    EXPECT_TRUE(e.path() == odd || e.path() == out) << e.path();
}

TEST_F(HostileDisks, NewNeverReplacesAFileUnasked) {
  auto img = Copy("valid.dsk");
  const auto before = test::ReadHostFile(img);
  auto r = Cli({"new", "720", img.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, img.string() + " exists; give --force to replace it\n");
  EXPECT_EQ(test::ReadHostFile(img), before);
  EXPECT_EQ(Cli({"new", "360", img.string(), "--force"}).exitCode, 0);
  EXPECT_EQ(fs::file_size(img), 368640u);
  auto dir = tmp / "d";
  fs::create_directories(dir);
  EXPECT_EQ(Cli({"new", "720", dir.string()}).exitCode, 0);
  EXPECT_EQ(Cli({"new", "720", dir.string()}).exitCode, 1);
}

TEST_F(HostileDisks, ReadOnlyImageIsNeverChanged) {
  auto img = Copy("valid.dsk");
  fs::permissions(img, fs::perms::owner_read | fs::perms::group_read);
  const auto before = test::ReadHostFile(img);
  for (std::vector<std::string> args :
       {std::vector<std::string>{"add", img.string(), Host("A.BIN", 10).string()},
        {"rm", img.string(), "README.TXT"},
        {"ren", img.string(), "README.TXT", "B.TXT"},
        {"label", img.string(), "X"},
        {"oem", img.string(), "X"}}) {
    SCOPED_TRACE(args[0]);
    auto r = Cli(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, img.string() + " is read-only\n");
  }
  EXPECT_EQ(test::ReadHostFile(img), before);
  EXPECT_EQ(fs::status(img).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST_F(HostileDisks, VolumeNameClearedAndInTheCharacterSet) {
  auto img = Copy("valid.dsk");
  ASSERT_EQ(Cli({"label", img.string(), "ãMSX"}).exitCode, 0);
  EXPECT_EQ(RootSlot(img, 5).substr(0, 4), "\xB1MSX");
  EXPECT_EQ(Cli({"label", img.string()}).out, "ãMSX\n");
  auto r = Cli({"label", img.string(), " LEAD"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "A volume name cannot start with a blank!\n");
  ASSERT_EQ(Cli({"label", img.string(), ""}).exitCode, 0);
  EXPECT_EQ(RootSlot(img, 5)[0], '\xE5');
  EXPECT_EQ(Cli({"label", img.string()}).out, "\n");
  if (!Fsck()) GTEST_SKIP() << "no fsck.fat";
  EXPECT_EQ(test::FsckFindings(img), std::vector<std::string>{});
}

}  // namespace
}  // namespace quarnel
