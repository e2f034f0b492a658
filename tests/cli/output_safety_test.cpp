// Where the commands' output goes and what it may overwrite: output that does not reach stdout
// fails the command, an output that is the input is refused, a failing --json command still
// prints JSON, and two changes of one image at the same moment both land.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using Buf = std::vector<std::uint8_t>;

std::string Bin(const std::string& tool) { return (test::BinDir() / tool).string(); }
std::string Cli() { return Bin("quarnel-cli"); }

Buf Text(std::string_view s) { return Buf(s.begin(), s.end()); }

class OutputSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    test::ImageBuilder b;
    b.AddFile(test::kRoot, "PIC.SC2", test::Pattern(14343));
    b.WriteTo(image);
    test::WriteHostFile(program, Text("10 PRINT \"HI\"\r\n20 GOTO 10\r\n"));
    ASSERT_EQ(test::Run({Cli(), "tokenize", program.string(), basic.string()}).exitCode, 0);
  }
  test::TempDir tmp;
  fs::path image = tmp / "X.dsk";
  fs::path program = tmp / "P.txt";
  fs::path basic = tmp / "P.bas";
};

TEST_F(OutputSafety, OutputThatDoesNotReachStdoutFailsTheCommand) {
  const std::string img = image.string(), bas = basic.string();
  const std::vector<std::vector<std::string>> commands = {
      {"cat", img, "PIC.SC2"},
      {"hex", img, "PIC.SC2"},
      {"text", img, "PIC.SC2"},
      {"find", img, "--text", "PIC"},
      {"basic", "--host", bas},
      {"basic", "--ascii", "--host", bas},
      {"ls", img},
      {"ls", img, "--json"},
      {"sector", img, "0", "--raw"},
      {"sector", img, "0"},
      {"details", img},
      {"fileinfo", img, "PIC.SC2"},
      {"check", img},
      {"tokenize", program.string(), "-"},
      {"label", img},
      {"oem", img},
      {"version"},
  };
  for (const auto& args : commands) {
    SCOPED_TRACE(args.front() + " " + args.back());
    std::vector<std::string> argv = {"sh", "-c", "exec \"$@\" > /dev/full", "sh", Cli()};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r = test::Run(argv);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Cannot write: stdout"), std::string::npos) << r.err;
  }
}

TEST_F(OutputSafety, AnOutputThatIsTheInputIsRefusedAndTheInputKept) {
  const fs::path xsa = tmp / "X.xsa", pic = tmp / "PIC.SC2";
  ASSERT_EQ(test::Run({Bin("xsc"), image.string(), xsa.string()}).exitCode, 0);
  test::WriteHostFile(pic, test::Pattern(14343));
  // The same file under another name: through a symbolic link and a hard link.
  fs::create_symlink(image, tmp / "link.xsa");
  fs::create_hard_link(pic, tmp / "hard.png");
  // An image holding a file of its own host name.
  const fs::path in = tmp / "IN.DSK";
  fs::copy_file(image, in);
  fs::create_directory(tmp / "sub");
  test::WriteHostFile(tmp / "sub" / "IN.DSK", Text("inner"));
  ASSERT_EQ(test::Run({Cli(), "add", in.string(), (tmp / "sub" / "IN.DSK").string()}).exitCode, 0);
  const std::string img = image.string();
  struct Case {
    std::string tool;
    std::vector<std::string> args;
    fs::path out;  // the output it names, the file it reads
  };
  const std::vector<Case> cases = {
      {"quarnel-cli", {"extract", in.string(), "IN.DSK", "-o", tmp.path().string()}, in},
      {"xsc", {img, img}, image},
      {"xsd", {xsa.string(), xsa.string()}, xsa},
      {"quarnel-cli", {"convert", img, (tmp / "link.xsa").string()}, tmp / "link.xsa"},
      {"quarnel-cli", {"tokenize", program.string(), program.string()}, program},
      {"quarnel-cli",
       {"picture", "--host", pic.string(), "--mode", "sc2", "-o", (tmp / "hard.png").string()},
       tmp / "hard.png"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tool + " " + c.args.front());
    const std::vector<Buf> before = {test::ReadHostFile(image), test::ReadHostFile(xsa),
                                     test::ReadHostFile(program), test::ReadHostFile(pic),
                                     test::ReadHostFile(in)};
    std::vector<std::string> argv = {Bin(c.tool)};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const auto r = test::Run(argv);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("Output and input are the same file: " + c.out.string() + "\n"),
              std::string::npos)
        << r.err;
    const std::vector<Buf> after = {test::ReadHostFile(image), test::ReadHostFile(xsa),
                                    test::ReadHostFile(program), test::ReadHostFile(pic),
                                    test::ReadHostFile(in)};
    EXPECT_TRUE(after == before);
  }
}

TEST_F(OutputSafety, AFailingJsonCommandPrintsAJsonError) {
  const fs::path small = tmp / "small.dsk";
  test::WriteHostFile(small, test::Pattern(100));
  const std::string img = image.string();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"check", small.string(), "--json"}, "File to small to be a diskimage!"},
      {{"ls", (tmp / "none.dsk").string(), "--json"}, "No such disk image: "},
      {{"details", small.string(), "--json"}, "File to small to be a diskimage!"},
      {{"fileinfo", img, "NONE.BIN", "--json"}, "Not found in the disk image: NONE.BIN"},
      {{"find", img, "XYZ", "--json"}, "Not a byte string in hex digits"},
      {{"ls", "--json"}, "IMAGE is required"},
  };
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(args.front() + " " + args[1]);
    std::vector<std::string> argv = {Cli()};
    argv.insert(argv.end(), args.begin(), args.end());
    const auto r = test::Run(argv);
    EXPECT_NE(r.exitCode, 0);
    const auto j = nlohmann::json::parse(r.out, nullptr, false);
    ASSERT_TRUE(j.is_object()) << r.out;
    EXPECT_NE(j.value("error", "").find(error), std::string::npos) << r.out;
  }
}

TEST_F(OutputSafety, TwoAddsAtTheSameMomentBothLand) {
  const fs::path a = tmp / "A.TXT", b = tmp / "B.TXT";
  test::WriteHostFile(a, Text("first"));
  test::WriteHostFile(b, Text("second"));
  const std::string both =
      "\"$0\" add \"$1\" \"$2\" & p=$!; \"$0\" add \"$1\" \"$3\"; s=$?; wait $p || s=1; exit $s";
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE(round);
    const auto r = test::Run({"sh", "-c", both, Cli(), image.string(), a.string(), b.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto ls = test::Run({Cli(), "ls", image.string()}).out;
    EXPECT_NE(ls.find("A.TXT\t"), std::string::npos) << ls;
    EXPECT_NE(ls.find("B.TXT\t"), std::string::npos) << ls;
    ASSERT_EQ(test::Run({Cli(), "rm", image.string(), "A.TXT", "B.TXT"}).exitCode, 0);
  }
}

TEST_F(OutputSafety, AChangeRefusesAnImageHeldByAnotherProgramAfterAWhile) {
  const int fd = ::open(image.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const Buf before = test::ReadHostFile(image);
  const auto r = test::Run({Cli(), "label", image.string(), "NEW"});
  ::close(fd);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, image.string() + " is being changed by another program\n");
  EXPECT_EQ(test::ReadHostFile(image), before);
}

TEST_F(OutputSafety, AChangeRemovesTheTemporaryFilesKilledChangesLeft) {
  const fs::path stale = tmp / ".X.dsk.tmp123", live = tmp / ".X.dsk.tmp456";
  const fs::path other = tmp / ".Y.dsk.tmp789";
  for (const auto& p : {stale, live, other}) test::WriteHostFile(p, Text("part"));
  const int fd = ::open(live.c_str(), O_RDONLY);  // a save still being written
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  const auto r = test::Run({Cli(), "label", image.string(), "NEW"});
  ::close(fd);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(other));
}

}  // namespace
}  // namespace quarnel
