// The XSA conversion through the xsc / xsd tools: fake tools made as shell scripts, and our own
// tools when they are built.
#include <gtest/gtest.h>
#include <unistd.h>

#include "formats/messages.h"
#include "formats/xsa_runner.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

struct RunnerCase : ::testing::Test {
  test::TempDir program;  // the program's folder with the tools
  test::TempDir user;     // the user's files
  test::ScriptedUi ui;

  void Tool(const std::string& name, const std::string& script) {
    test::WriteHostFile(program / name,
                        std::vector<std::uint8_t>(script.begin(), script.end()));
    fs::permissions(program / name, fs::perms::owner_all);
  }
  bool NoTemps() {
    return !fs::exists(program / "tempxsa.xsa") && !fs::exists(program / "tempdsk.dsk");
  }
};

TEST_F(RunnerCase, SuccessfulToolMovesItsOutput) {
  // Writes its arguments and a copy of its input, checking it runs in the program's folder.
  Tool("xsd", "#!/bin/sh\n[ -f ./tempxsa.xsa ] || exit 3\n{ echo \"$1 $2\"; cat \"$1\"; } > \"$2\"\n");
  test::WriteHostFile(user / "MY GAME.XSA", {'d', 'a', 't', 'a'});
  test::WriteHostFile(user / "old.dsk", {'o', 'l', 'd'});
  ui.savePaths.push_back((user / "old.dsk").string());
  EXPECT_EQ(XsaToDsk((user / "MY GAME.XSA").string(), program.path(), ui), ConvertResult::Written);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.saveTitles, std::vector<std::string>{std::string(formats::msg::kConvertXsaTitle)});
  EXPECT_EQ(ui.saveSuggestions[0], (user / "MY GAME.dsk").string());
  auto out = test::ReadHostFile(user / "old.dsk");
  EXPECT_EQ(std::string(out.begin(), out.end()), "tempxsa.xsa tempdsk.dsk\ndata");
  EXPECT_TRUE(NoTemps());
}

TEST_F(RunnerCase, ToolWithoutOutputFailsAndKeepsTheTarget) {
  Tool("xsc", "#!/bin/sh\nexit 0\n");
  test::WriteHostFile(user / "G.DSK", {1, 2, 3});
  test::WriteHostFile(user / "G.xsa", {9});
  ui.savePaths.push_back((user / "G.xsa").string());
  EXPECT_EQ(DskToXsa((user / "G.DSK").string(), program.path(), ui), ConvertResult::Failed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kApplicationFailed)});
  EXPECT_EQ(ui.saveSuggestions[0], (user / "G.xsa").string());
  EXPECT_EQ(test::ReadHostFile(user / "G.xsa"), std::vector<std::uint8_t>{9});
  EXPECT_TRUE(NoTemps());
}

TEST_F(RunnerCase, FailingToolLeavesNoHalfOutput) {
  Tool("xsc", "#!/bin/sh\necho partial > \"$2\"\nexit 1\n");
  test::WriteHostFile(user / "G.DSK", {1});
  ui.savePaths.push_back((user / "G.xsa").string());
  EXPECT_EQ(DskToXsa((user / "G.DSK").string(), program.path(), ui), ConvertResult::Failed);
  EXPECT_FALSE(fs::exists(user / "G.xsa"));
  EXPECT_TRUE(NoTemps());
}

TEST_F(RunnerCase, HangingToolIsStopped) {
  Tool("xsd", "#!/bin/sh\nexec sleep 30\n");
  test::WriteHostFile(user / "H.XSA", {1});
  ui.savePaths.push_back((user / "H.dsk").string());
  ToolRunOptions quick;
  quick.timeout = std::chrono::milliseconds(300);
  EXPECT_EQ(XsaToDsk((user / "H.XSA").string(), program.path(), ui, quick), ConvertResult::Failed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kApplicationFailed)});
}

TEST_F(RunnerCase, MissingToolAndMissingSource) {
  test::WriteHostFile(user / "G.XSA", {1});
  EXPECT_EQ(XsaToDsk((user / "G.XSA").string(), program.path(), ui), ConvertResult::Failed);
  EXPECT_EQ(ui.messages, std::vector<std::string>{std::string(formats::msg::kXsdNotFound)});
  EXPECT_TRUE(ui.saveTitles.empty());  // no dialog

  Tool("xsc", "#!/bin/sh\ncp \"$1\" \"$2\"\n");
  ui.messages.clear();
  ui.savePaths.push_back((user / "N.xsa").string());
  EXPECT_EQ(DskToXsa((user / "NOPE.DSK").string(), program.path(), ui), ConvertResult::Failed);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{std::string(formats::msg::kCouldNotCreateTemp),
                                                   std::string(formats::msg::kApplicationFailed)}));
  EXPECT_TRUE(NoTemps());
}

TEST_F(RunnerCase, FilesNamedLikeTheTemporaryCopiesSurvive) {
  Tool("xsc", "#!/bin/sh\ncp \"$1\" \"$2\"\n");
  // A disk image lying in the program's folder under the input copy's own name: converting it
  // must neither delete it nor fail on copying it onto itself.
  test::WriteHostFile(program / "tempdsk.dsk", {4, 5, 6});
  ui.savePaths.push_back((user / "T.xsa").string());
  EXPECT_EQ(DskToXsa((program / "tempdsk.dsk").string(), program.path(), ui),
            ConvertResult::Written);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(test::ReadHostFile(program / "tempdsk.dsk"), (std::vector<std::uint8_t>{4, 5, 6}));
  EXPECT_EQ(test::ReadHostFile(user / "T.xsa"), (std::vector<std::uint8_t>{4, 5, 6}));

  // A target chosen under the input copy's name holds the result afterwards.
  test::WriteHostFile(user / "U.DSK", {7, 8});
  ui.savePaths.push_back((program / "tempdsk.dsk").string());
  EXPECT_EQ(DskToXsa((user / "U.DSK").string(), program.path(), ui), ConvertResult::Written);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_TRUE(fs::exists(program / "tempdsk.dsk"));
  EXPECT_EQ(test::ReadHostFile(program / "tempdsk.dsk"), (std::vector<std::uint8_t>{7, 8}));
  EXPECT_FALSE(fs::exists(program / "tempxsa.xsa"));
}

TEST_F(RunnerCase, OurOwnToolsRoundTrip) {
  if (!fs::exists(ToolPath(test::BinDir(), "xsc")) || !fs::exists(ToolPath(test::BinDir(), "xsd")))
    GTEST_SKIP() << "xsc / xsd not built";
  fs::create_symlink(ToolPath(test::BinDir(), "xsc"), program / "xsc");
  fs::create_symlink(ToolPath(test::BinDir(), "xsd"), program / "xsd");
  const auto disk = test::SharedDir() / "realdata" / "dsk" /
                    "plattysoft_Modern-MSX-BASIC-Game-Dev__examples__output__examples.dsk";
  fs::copy_file(disk, user / "EX.DSK");
  ui.savePaths.push_back((user / "EX.xsa").string());
  ASSERT_EQ(DskToXsa((user / "EX.DSK").string(), program.path(), ui), ConvertResult::Written);
  ui.savePaths.push_back((user / "BACK.dsk").string());
  ASSERT_EQ(XsaToDsk((user / "EX.xsa").string(), program.path(), ui), ConvertResult::Written);
  EXPECT_EQ(test::ReadHostFile(user / "BACK.dsk"), test::ReadHostFile(disk));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(NoTemps());
}

}  // namespace
}  // namespace quarnel

namespace quarnel {
namespace {

TEST(RunnerReadOnlyInstall, TemporaryCopiesGoToAPrivateFolder) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
  test::TempDir program, user;
  test::ScriptedUi ui;
  const std::string script = "#!/bin/sh\ncp \"$1\" \"$2\"\n";
  test::WriteHostFile(program / "xsd", std::vector<std::uint8_t>(script.begin(), script.end()));
  std::filesystem::permissions(program / "xsd", std::filesystem::perms::owner_read |
                                                    std::filesystem::perms::owner_exec);
  std::filesystem::permissions(program.path(), std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_exec);
  test::WriteHostFile(user / "A.XSA", {1, 2, 3});
  ui.savePaths.push_back((user / "A.dsk").string());
  EXPECT_EQ(XsaToDsk((user / "A.XSA").string(), program.path(), ui), ConvertResult::Written);
  std::filesystem::permissions(program.path(), std::filesystem::perms::owner_all);
  EXPECT_EQ(test::ReadHostFile(user / "A.dsk"), (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace quarnel
