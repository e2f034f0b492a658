// quarnel-cli add / rm / ren / label / oem / new as a user runs them: a change is saved in place
// when it succeeds, and a failure leaves the image file byte for byte as it was.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using test::ImageBuilder;
using test::kRoot;

const std::vector<std::string> kMtoolsEnv = {"MTOOLS_NO_VFAT=1", "MTOOLS_SKIP_CHECK=1"};

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

bool Witnesses() {
  return test::HaveProgram("fsck.fat") && test::HaveProgram("mdir") && test::HaveProgram("mtype");
}

// fsck.fat -n findings apart from its banner, summary and the lines about the boot sector's label
// field, which MSX boot sectors do not have.
std::string FsckFindings(const fs::path& image) {
  auto r = test::Run({"fsck.fat", "-n", image.string()});
  std::istringstream in(r.out + r.err);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.empty() || line.rfind("fsck.fat ", 0) == 0 || line.rfind("Label '", 0) == 0 ||
        line == "  Auto-removing label from boot sector." || line.rfind("Volume label '", 0) == 0 ||
        line == "  Auto-copying volume label from root directory to boot sector." ||
        line == "Leaving filesystem unchanged." || line.rfind(image.string() + ":", 0) == 0)
      continue;
    out += line + "\n";
  }
  return out;
}

std::set<std::string> MdirNames(const fs::path& image) {
  auto r = test::Run({"mdir", "-b", "-/", "-i", image.string(), "::"}, kMtoolsEnv);
  std::set<std::string> out;
  std::istringstream in(r.out);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("::/", 0) == 0) out.insert(line.substr(3));
  return out;
}

std::string Mtype(const fs::path& image, const std::string& path) {
  return test::Run({"mtype", "-i", image.string(), "::" + path}, kMtoolsEnv).out;
}

class ChangeCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    image = tmp / "disk.dsk";
    auto r = test::Run({Cli(), "new", "720", image.string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }
  fs::path Host(const std::string& name, std::size_t size, std::uint32_t seed = 1) {
    fs::path p = tmp / name;
    test::WriteHostFile(p, test::Pattern(size, seed));
    return p;
  }
  static std::string Str(const std::vector<std::uint8_t>& v) {
    return std::string(v.begin(), v.end());
  }
  test::TempDir tmp;
  fs::path image;
};

TEST_F(ChangeCommands, AddRenameLabelDeleteAsMtoolsSeesThem) {
  auto a = Host("game.bas", 5000, 1);
  auto b = Host("with space.txt", 300, 2);  // 14 characters: needs a name
  auto c = Host("#x$-y!.[1]", 10, 3);       // 10 characters, but [ ] are no name characters
  auto d = Host("€uro.txt", 20, 4);         // no euro sign in the MSX character set
  auto r = test::Run({Cli(), "add", image.string(), a.string(), b.string(), c.string(), d.string(),
                      "--name", "SPACE.TXT"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "#x$-y!.[1] added as #x$-y!._1_\n€uro.txt added as _uro.txt\n");
  r = test::Run({Cli(), "label", image.string(), "MSX Disk"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::Run({Cli(), "label", image.string()}).out, "MSX DISK\n");
  if (!Witnesses()) GTEST_SKIP() << "no fsck.fat / mtools";
  EXPECT_EQ(FsckFindings(image), "");
  EXPECT_EQ(MdirNames(image),
            (std::set<std::string>{"GAME.BAS", "SPACE.TXT", "#X$-Y!._1_", "_URO.TXT"}));
  EXPECT_EQ(Mtype(image, "GAME.BAS"), Str(test::Pattern(5000, 1)));
  EXPECT_EQ(Mtype(image, "SPACE.TXT"), Str(test::Pattern(300, 2)));
  EXPECT_NE(test::Run({"mdir", "-i", image.string(), "::"}, kMtoolsEnv).out.find("MSX DISK"),
            std::string::npos);

  r = test::Run({Cli(), "ren", image.string(), "game.bas", "zork.bas"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = test::Run({Cli(), "rm", image.string(), "SPACE.TXT", "#x$-y!._1_"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(FsckFindings(image), "");
  EXPECT_EQ(MdirNames(image), (std::set<std::string>{"ZORK.BAS", "_URO.TXT"}));
  EXPECT_EQ(Mtype(image, "ZORK.BAS"), Str(test::Pattern(5000, 1)));
  // Replacing keeps one entry and the new bytes.
  auto again = Host("ZORK.BAS", 7000, 9);
  r = test::Run({Cli(), "add", image.string(), again.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(MdirNames(image), (std::set<std::string>{"ZORK.BAS", "_URO.TXT"}));
  EXPECT_EQ(Mtype(image, "ZORK.BAS"), Str(test::Pattern(7000, 9)));
  EXPECT_EQ(FsckFindings(image), "");
}

TEST_F(ChangeCommands, TwoLongHostNamesAlikeGetDistinctShortNames) {
  fs::create_directories(tmp / "one");
  fs::create_directories(tmp / "two");
  auto first = Host("one/longfilename.txt", 100, 1);
  auto second = Host("two/longfilename.txt", 200, 2);
  auto r = test::Run({Cli(), "add", image.string(), first.string(), second.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err,
            "longfilename.txt added as longfile.txt\nlongfilename.txt added as longfi~1.txt\n");
  // Neither replaces the other.
  EXPECT_EQ(test::Run({Cli(), "cat", image.string(), "LONGFILE.TXT"}).out,
            Str(test::Pattern(100, 1)));
  EXPECT_EQ(test::Run({Cli(), "cat", image.string(), "LONGFI~1.TXT"}).out,
            Str(test::Pattern(200, 2)));
}

TEST_F(ChangeCommands, OneAddGivesHostFilesThatComeOutAlikeDistinctNames) {
  for (const char* d : {"d1", "d2", "a/d/", "b/d/"}) fs::create_directories(tmp / d);
  Host("d1/NOTE.TXT", 100, 1);
  Host("d2/NOTE.TXT", 200, 2);
  Host("a/d/X.TXT", 300, 3);
  Host("b/d/X.TXT", 400, 4);
  const struct {
    std::vector<std::string> args;
    std::string err;
    std::vector<std::pair<std::string, std::uint32_t>> files;  // path, seed of its pattern
  } cases[] = {
      {{(tmp / "d1/NOTE.TXT").string(), (tmp / "d2/NOTE.TXT").string()},
       "NOTE.TXT added as NOTE~1.TXT\n",
       {{"NOTE.TXT", 1}, {"NOTE~1.TXT", 2}}},
      {{"-r", (tmp / "a/d").string(), (tmp / "b/d").string()},
       "d added as d~1\n",
       {{"D/X.TXT", 3}, {"D~1/X.TXT", 4}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    std::vector<std::string> args = {Cli(), "add", image.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    auto r = test::Run(args);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, c.err);
    for (const auto& [path, seed] : c.files)
      EXPECT_EQ(test::Run({Cli(), "cat", image.string(), path}).out,
                Str(test::Pattern((seed)*100, seed)));
  }
}

TEST_F(ChangeCommands, NamesGoThroughTheMsxCharacterSet) {
  auto r = test::Run({Cli(), "add", image.string(), Host("ção.txt", 10).string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");  // the name is 8.3 as the MSX shows it
  EXPECT_EQ(test::Run({Cli(), "ls", image.string()}).out.rfind("çãO.TXT\t", 0), 0u);
  EXPECT_EQ(test::Run({Cli(), "cat", image.string(), "ção.txt"}).out, Str(test::Pattern(10)));
  const std::string noSuch = " (has a character the MSX character set does not have)\n";
  const std::string forbidden =
      " (has a character MSX-DOS does not allow in names (\" * + , / : ; < = > ? [ \\ ] |))\n";
  const std::string control = " (has a control character)\n";
  const struct {
    std::string field, text;
    std::string shown;  // after the change, or
    std::string err;    // the refusal
  } cases[] = {
      {"label", "ção", "çãO", ""},
      {"label", "disk 1", "DISK 1", ""},
      {"label", "a/b", "", "Not a valid volume name: a/b" + forbidden},
      {"label", "a*", "", "Not a valid volume name: a*" + forbidden},
      {"label", "x\x01", "", "Not a valid volume name: x\x01" + control},
      {"label", "€", "", "Not a valid volume name: €" + noSuch},
      {"oem", "mkfs.fat", "mkfs.fat", ""},
      {"oem", "çã", "çã", ""},
      {"oem", "€", "", "Not a valid OEM signature: €" + noSuch},
      {"oem", "A\tB", "", "Not a valid OEM signature: A\tB" + control},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field + " " + c.text);
    const auto before = test::ReadHostFile(image);
    r = test::Run({Cli(), c.field, image.string(), c.text});
    EXPECT_EQ(r.exitCode, c.err.empty() ? 0 : 1);
    EXPECT_EQ(r.err, c.err);
    if (c.err.empty())
      EXPECT_EQ(test::Run({Cli(), c.field, image.string()}).out, c.shown + "\n");
    else
      EXPECT_TRUE(test::ReadHostFile(image) == before);
  }
}

TEST_F(ChangeCommands, FailuresLeaveTheFileUntouched) {
  auto a = Host("A.TXT", 100);
  ASSERT_EQ(test::Run({Cli(), "add", image.string(), a.string()}).exitCode, 0);
  const auto before = test::ReadHostFile(image);
  auto big = Host("BIG.BIN", 800000);
  // The first file fits, the second does not: nothing is saved.
  auto r = test::Run({Cli(), "add", image.string(), Host("B.TXT", 10).string(), big.string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Disk full\n");
  r = test::Run({Cli(), "add", image.string(), (tmp / "missing").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "read ERROR!\n");
  r = test::Run({Cli(), "rm", image.string(), "A.TXT", "NOPE.TXT"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Not found in the disk image: NOPE.TXT\n");
  r = test::Run({Cli(), "ren", image.string(), "A.TXT", "TOOLONGNAME"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err,
            "Not a valid MSX-DOS name (8.3): TOOLONGNAME (has more than 8 characters before the "
            "dot or 3 after it)\n");
  r = test::Run({Cli(), "label", image.string(), "TWELVE CHARS"});
  EXPECT_EQ(r.exitCode, 1);
  r = test::Run({Cli(), "oem", image.string(), "NINECHARS"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(test::ReadHostFile(image) == before);
  r = test::Run({Cli(), "new", "1440", (tmp / "x.dsk").string()});
  EXPECT_EQ(r.exitCode, 2);
  r = test::Run({Cli(), "new", "720", (tmp / "no" / "such" / "x.dsk").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot write file: " + (tmp / "no" / "such" / "x.dsk").string() + "\n");
}

TEST_F(ChangeCommands, DirectoriesAndSubdirectoryEntries) {
  ImageBuilder b;
  std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
  b.AddFile(games, "ZORK.BAS", test::Pattern(3000, 5));
  b.AddDirectory(kRoot, "EMPTY");
  b.WriteTo(image);
  auto r = test::Run({Cli(), "rm", image.string(), "GAMES"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Directory not empty!\n");
  r = test::Run({Cli(), "ren", image.string(), "GAMES/ZORK.BAS", "ADVENT.BAS"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  r = test::Run({Cli(), "rm", image.string(), "games/advent.bas", "GAMES", "EMPTY"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::Run({Cli(), "ls", image.string()}).out, "0 Files Listed \n730112 Bytes free \n");
  if (Witnesses()) {
    EXPECT_EQ(FsckFindings(image), "");
  }
}

TEST_F(ChangeCommands, OemAndNewIntoAFolder) {
  EXPECT_EQ(test::Run({Cli(), "oem", image.string()}).out, "Quarnel1\n");
  ASSERT_EQ(test::Run({Cli(), "oem", image.string(), "MSX"}).exitCode, 0);
  auto bytes = test::ReadHostFile(image);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 3, bytes.begin() + 11),
            (std::vector<std::uint8_t>{'M', 'S', 'X', 0, 0, 0, 0, 0}));
  fs::create_directory(tmp / "folder");
  ASSERT_EQ(test::Run({Cli(), "new", "360s", (tmp / "folder").string()}).exitCode, 0);
  EXPECT_EQ(fs::file_size(tmp / "folder" / "New360.dsk"), 368640u);
  EXPECT_EQ(test::ReadHostFile(tmp / "folder" / "New360.dsk")[21], 0xF8);
}

TEST_F(ChangeCommands, ExtractKeepsDateAndReadOnly) {
  auto a = Host("RO.TXT", 100);
  fs::permissions(a, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  ASSERT_EQ(test::Run({Cli(), "add", image.string(), a.string()}).exitCode, 0);
  auto out = tmp / "out";
  auto r = test::Run({Cli(), "extract", image.string(), "-o", out.string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::ReadHostFile(out / "RO.TXT"), test::Pattern(100));
  EXPECT_EQ(fs::status(out / "RO.TXT").permissions() & fs::perms::owner_write, fs::perms::none);
  auto t1 = fs::last_write_time(a), t2 = fs::last_write_time(out / "RO.TXT");
  EXPECT_LE(std::chrono::abs(t1 - t2), std::chrono::seconds(2));
}

}  // namespace
}  // namespace quarnel
