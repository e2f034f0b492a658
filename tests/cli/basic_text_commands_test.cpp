// quarnel-cli tokenize, basic --ascii and --charset as a user runs them: the bytes written, the
// error with its line and column, a program saved as text listed, kana shown.
#include <gtest/gtest.h>

#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;
constexpr int kUsage = 2;  // a wrong command line

// 10 PRINT "<ka><na>":GOTO 10, tokenised and as LIST text.
const Buf kProgram = {0xFF, 0x10, 0x80, 10,   0,  0x91, '"', 0xB6, 0xC5,
                      '"',  ':',  0x89, 0x0E, 10, 0,    0,   0,    0};
const std::string kText = "10 PRINT\"\xB6\xC5\":GOTO10\r\n\x1A";

class BasicTextCommands : public ::testing::Test {
 protected:
  test::CommandResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), (test::BinDir() / "quarnel-cli").string());
    return test::Run(args);
  }
  std::string Path(const std::string& name) const { return (tmp / name).string(); }
  test::TempDir tmp;
};

TEST_F(BasicTextCommands, TokenizeToFileAndStdoutAndBack) {
  test::WriteHostFile(tmp / "in.asc", Buf(kText.begin(), kText.end()));
  auto r = Cli({"tokenize", Path("in.asc"), Path("out.bas")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::ReadHostFile(tmp / "out.bas"), kProgram);
  r = Cli({"tokenize", Path("in.asc"), "-"});
  EXPECT_EQ(r.out, std::string(kProgram.begin(), kProgram.end()));

  r = Cli({"basic", "--ascii", "--host", Path("out.bas")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, kText);
  r = Cli({"basic", "--ascii", "--charset", "jp", "--host", Path("out.bas")});
  EXPECT_EQ(r.out, "10 PRINT\"ｶﾅ\":GOTO10\r\n\x1A");

  // UTF-8 text in the Japanese set reads to the same program.
  test::WriteHostFile(tmp / "utf8.txt", Buf(r.out.begin(), r.out.end()));
  r = Cli({"tokenize", "--charset", "jp", Path("utf8.txt"), Path("again.bas")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(test::ReadHostFile(tmp / "again.bas"), kProgram);
}

TEST_F(BasicTextCommands, TokenizeNamesTheLineAndColumnOfAnError) {
  const std::string text = "10 PRINT\n  PRINT 2\n";
  test::WriteHostFile(tmp / "bad.asc", Buf(text.begin(), text.end()));
  auto r = Cli({"tokenize", Path("bad.asc"), Path("bad.bas")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, Path("bad.asc") + ": line 2, column 3: Line without a line number\n");
  EXPECT_FALSE(fs::exists(tmp / "bad.bas"));
}

// add --tokenize stores the program RUN loads, under the host stem with .BAS or --name; a text
// that is no program names its line and column and leaves the image as it was.
TEST_F(BasicTextCommands, AddTokenizedStoresTheProgram) {
  ASSERT_EQ(Cli({"new", "720", Path("d.dsk")}).exitCode, 0);
  test::WriteHostFile(tmp / "game.txt", Buf(kText.begin(), kText.end()));
  auto r = Cli({"add", "--tokenize", Path("d.dsk"), Path("game.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  r = Cli({"cat", Path("d.dsk"), "GAME.BAS"});
  EXPECT_EQ(r.out, std::string(kProgram.begin(), kProgram.end()));
  r = Cli({"add", "--tokenize", "--name", "RUNME.BAS", Path("d.dsk"), Path("game.txt")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Cli({"cat", Path("d.dsk"), "RUNME.BAS"}).out,
            std::string(kProgram.begin(), kProgram.end()));

  const Buf before = test::ReadHostFile(tmp / "d.dsk");
  const std::string bad = "10 PRINT\n  PRINT 2\n";
  test::WriteHostFile(tmp / "bad.txt", Buf(bad.begin(), bad.end()));
  r = Cli({"add", "--tokenize", Path("d.dsk"), Path("bad.txt")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, Path("bad.txt") + ": line 2, column 3: Line without a line number\n");
  EXPECT_EQ(test::ReadHostFile(tmp / "d.dsk"), before);
}

// ls --charset jp shows a name in kana; without it the international set stays.
TEST_F(BasicTextCommands, ListNamesInTheJapaneseSet) {
  ASSERT_EQ(Cli({"new", "720", Path("k.dsk")}).exitCode, 0);
  test::WriteHostFile(tmp / "\xB6\xC5.TXT", {1});
  ASSERT_EQ(Cli({"add", Path("k.dsk"), Path("\xB6\xC5.TXT")}).exitCode, 0);
  EXPECT_EQ(Cli({"ls", Path("k.dsk"), "--charset", "jp"}).out.rfind("ｶﾅ.TXT\t", 0), 0u);
  EXPECT_NE(Cli({"ls", Path("k.dsk")}).out.rfind("ｶﾅ.TXT", 0), 0u);
}

TEST_F(BasicTextCommands, ProgramsSavedAsTextAreListedAndKanaShown) {
  const std::string text = "10 print \"hi\"\r\n\x1A";
  test::WriteHostFile(tmp / "savea.bas", Buf(text.begin(), text.end()));
  auto r = Cli({"basic", "--host", Path("savea.bas")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "10 PRINT \"hi\"\n");
  // Only a tokenised program has a LIST text.
  r = Cli({"basic", "--ascii", "--host", Path("savea.bas")});
  EXPECT_EQ(r.exitCode, 1);
  // A damaged one gives its lines up to the damage, and says what is wrong.
  test::WriteHostFile(tmp / "cut.bas", {0xFF, 0x00, 0x90, 10, 0, 0x81, 0x00});
  r = Cli({"basic", "--ascii", "--host", Path("cut.bas")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "10 END\r\n\x1A");
  EXPECT_EQ(r.err, "Damaged BASIC program: " + Path("cut.bas") +
                       ": the link of line 10 points past the end of the file\n");

  test::WriteHostFile(tmp / "prog.bas", kProgram);
  EXPECT_EQ(Cli({"basic", "--charset", "jp", "--host", Path("prog.bas")}).out,
            "   10  PRINT\"ｶﾅ\":GOTO10\n");
  EXPECT_NE(Cli({"text", "--charset", "jp", "--host", Path("prog.bas")}).out.find("\"ｶﾅ\""),
            std::string::npos);
  const auto hex = Cli({"hex", "--charset", "jp", "--host", Path("prog.bas")}).out;
  EXPECT_NE(hex.find("ｶﾅ"), std::string::npos);
  EXPECT_EQ(Cli({"text", "--charset", "ru", "--host", Path("prog.bas")}).exitCode, kUsage);
}

}  // namespace
}  // namespace quarnel
