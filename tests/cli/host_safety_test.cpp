// Hostile host files as a user might hand them over: FIFOs and folders where files belong, a
// sparse file of 100 GB, and symbolic links waiting in the output folder. Every command ends
// promptly with its message, and no write goes through a link.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

std::string Bin(const std::string& tool) { return (test::BinDir() / tool).string(); }

// Runs a built program under `timeout`, so that a command that blocks fails (exit 124) instead
// of hanging the suite.
test::CommandResult RunPromptly(const std::string& tool, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"timeout", "20", Bin(tool)};
  argv.insert(argv.end(), args.begin(), args.end());
  return test::Run(argv);
}

struct Case {
  std::string tool;
  std::vector<std::string> args;
  std::string err;      // stderr as a whole, or
  bool prefix = false;  // only its start
};

class HostSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    image = (tmp / "X.dsk").string();
    auto r = test::Run({Bin("quarnel-cli"), "new", "720", image});
    ASSERT_EQ(r.exitCode, 0) << r.err;
  }
  void ExpectRefused(const std::vector<Case>& cases) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.tool + " " + c.args.front() + " " + c.args.back());
      auto r = RunPromptly(c.tool, c.args);
      EXPECT_EQ(r.exitCode, 1);
      if (c.prefix)
        EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
      else
        EXPECT_EQ(r.err, c.err);
    }
  }
  test::TempDir tmp;
  std::string image;
};

TEST_F(HostSafety, FifosAndFoldersAreRefusedPromptlyAndNamed) {
  ASSERT_EQ(::mkfifo((tmp / "pipe.xsa").c_str(), 0600), 0);
  fs::create_directory(tmp / "dir.xsa");
  const std::string out = (tmp / "out.dsk").string();
  for (const auto& [name, kind] :
       {std::pair{"pipe.xsa", "is a FIFO"}, {"dir.xsa", "is a directory"}}) {
    const std::string p = (tmp / name).string();
    const std::string why = p + ": " + kind + "\n";
    ExpectRefused({
        {"quarnel-cli", {"add", image, p}, "read ERROR!\n", true},
        {"quarnel-cli", {"hex", "--host", p}, "Cannot read " + p + "\n" + why},
        {"quarnel-cli", {"convert", p, out}, "Could not read the source file: " + p + "\n" + why},
        {"quarnel-cli", {"ls", p}, "File to small to be a diskimage!\n" + why},
        {"quarnel-cli", {"cas", "ls", p}, why},
        {"quarnel-cli", {"tokenize", p, out}, "Cannot read " + p + "\n" + why},
        {"xsc", {p, out}, "xsc: " + why},
        {"xsd", {p, out}, "xsd: " + why},
    });
  }
  EXPECT_FALSE(fs::exists(out));
}

TEST_F(HostSafety, HugeSparseFilesAreRefusedUnread) {
  const auto huge = tmp / "huge.dsk";
  std::ofstream(huge).put('x');
  fs::resize_file(huge, std::uintmax_t{100} << 30);
  const std::string h = huge.string();
  const std::string xsa = (tmp / "out.xsa").string(), dsk = (tmp / "out.dsk").string();
  ExpectRefused({
      {"xsc",
       {h, xsa},
       "xsc: " + h + ": File too large to compress into an .xsa image (at most 16 MiB)\n"},
      {"xsd", {h, dsk}, "xsd: " + h + ": is larger than 20971520 bytes\n"},
      {"quarnel-cli",
       {"convert", h, xsa},
       "File too large to compress into an .xsa image (at most 16 MiB)\n"},
      {"quarnel-cli",
       {"basic", "--host", h},
       "Cannot read " + h + "\n" + h + ": is larger than 65536 bytes\n"},
      {"quarnel-cli", {"add", image, h}, "Disk full\n"},
      {"quarnel-cli",
       {"tokenize", h, dsk},
       "Cannot read " + h + "\n" + h + ": is larger than 524288 bytes\n"},
      {"quarnel-cli",
       {"tokenize", "/dev/zero", dsk},
       "Cannot read /dev/zero\n/dev/zero: is a device\n"},
      {"quarnel-cli", {"ls", h}, "File to big to be a diskimage!\n"},
  });
  EXPECT_FALSE(fs::exists(xsa));
  EXPECT_FALSE(fs::exists(dsk));
}

// One ASCII file, NOTES, on a tape: its header block, then its data block.
Buf NotesTape() {
  const Buf sync = {0x1F, 0xA6, 0xDE, 0xBA, 0xCC, 0x13, 0x7D, 0x74};
  Buf t = sync;
  t.insert(t.end(), 10, 0xEA);
  for (char c : std::string("NOTES ")) t.push_back(static_cast<std::uint8_t>(c));
  t.insert(t.end(), sync.begin(), sync.end());
  for (char c : std::string("HI\r\n\x1A")) t.push_back(static_cast<std::uint8_t>(c));
  return t;
}

TEST_F(HostSafety, ATapeIsNotExtractedOverItself) {
  const auto tape = tmp / "NOTES";  // the host name of the tape's one file
  test::WriteHostFile(tape, NotesTape());
  auto r = RunPromptly("quarnel-cli", {"cas", "extract", tape.string(), "-o", tmp.path().string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Output and input are the same file: " + tape.string() + "\n");
  EXPECT_EQ(test::ReadHostFile(tape), NotesTape());
}

TEST_F(HostSafety, OutputsReplaceALinkAndNeverWriteThroughIt) {
  test::WriteHostFile(tmp / "a.txt", {'a', 'b', 'c'});
  ASSERT_EQ(test::Run({Bin("quarnel-cli"), "add", image, (tmp / "a.txt").string()}).exitCode, 0);
  ASSERT_EQ(test::Run({Bin("xsc"), image, (tmp / "X.xsa").string()}).exitCode, 0);
  fs::copy_file(image, tmp / "X.img");
  test::WriteHostFile(tmp / "T.cas", NotesTape());
  Buf pic = {0xFE, 0x00, 0x00, 0xFF, 0x37, 0x00, 0x00};  // BSAVE header of a screen 2 dump
  pic.resize(pic.size() + 0x3800);
  test::WriteHostFile(tmp / "P.SC2", pic);
  test::WriteHostFile(tmp / "P.txt", {'1', '0', ' ', 'E', 'N', 'D', '\r', '\n'});
  const auto dir = tmp / "out";
  fs::create_directory(dir);
  const auto outside = tmp / "outside.bin";
  const Buf keep = {'k', 'e', 'e', 'p'};
  const std::string o = dir.string();
  struct LinkCase {
    std::string tool;
    std::vector<std::string> args;
    std::string written;  // the name in `dir` the command writes
  } cases[] = {
      {"quarnel-cli", {"extract", image, "-o", o}, "A.TXT"},
      {"quarnel-cli", {"cas", "extract", (tmp / "T.cas").string(), "-o", o}, "NOTES"},
      {"quarnel-cli", {"convert", image, (dir / "C.xsa").string()}, "C.xsa"},
      {"quarnel-cli", {"convert", (tmp / "X.img").string(), (dir / "I.dsk").string()}, "I.dsk"},
      {"xsc", {image, (dir / "S.xsa").string()}, "S.xsa"},
      {"xsd", {(tmp / "X.xsa").string(), (dir / "D.dsk").string()}, "D.dsk"},
      {"quarnel-cli", {"new", "720", (dir / "N.dsk").string(), "--force"}, "N.dsk"},
      {"quarnel-cli",
       {"picture", "--host", (tmp / "P.SC2").string(), "--mode", "sc2", "-o",
        (dir / "P.png").string()},
       "P.png"},
      {"quarnel-cli", {"tokenize", (tmp / "P.txt").string(), (dir / "T.bas").string()}, "T.bas"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    test::WriteHostFile(outside, keep);
    fs::create_symlink(outside, dir / c.written);
    auto r = RunPromptly(c.tool, c.args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_FALSE(fs::is_symlink(dir / c.written));
    EXPECT_TRUE(fs::is_regular_file(dir / c.written));
    EXPECT_EQ(test::ReadHostFile(outside), keep);
  }
}

}  // namespace
}  // namespace quarnel
