// Opening host files by extension: tapes become the current list, conversions are left to the
// front end.
#include "formats/host_open.h"

#include <gtest/gtest.h>

#include "core/read_file.h"
#include "formats/messages.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

TEST(HostOpen, CassetteBecomesTheListAndReadingHandsOver) {
  test::TempDir dir;
  test::ScriptedUi ui;
  Workspace ws;
  CasImage cas;
  const auto tape = test::SharedDir() / "realdata" / "cas" / "lilca_MsxCassetteTapeSim__csave.cas";
  fs::copy_file(tape, dir / "T.cas");
  // A changed disk image is offered for saving before the tape replaces it.
  ws.image.imagePath = (dir / "OLD.DSK").string();
  ws.image.changed = true;
  EXPECT_TRUE(OffersToSaveChanges(ws, (dir / "T.cas").string()));
  EXPECT_EQ(ws.SaveChangedPrompt().title, "Save Changed DiskImage: OLD.DSK");
  EXPECT_EQ(OpenHostFile(ws, cas, (dir / "T.cas").string(), ui, {}), HostFileKind::Cassette);
  EXPECT_FALSE(ws.image.changed);
  EXPECT_TRUE(IsCassetteCurrent(ws));
  ASSERT_EQ(ws.fileList.rows.size(), 1u);
  EXPECT_EQ(ws.fileList.rows[0].caption, "CAS");
  EXPECT_EQ(ws.fileList.rows[0].type, "Basic");
  EXPECT_EQ(ReadEntryByCaption(ws, "CAS", ui).status, ReadStatus::CassetteImage);
  EXPECT_FALSE(cas.EntryBytes(0).empty());

  // A tape that cannot be loaded leaves nothing current.
  test::WriteHostFile(dir / "BIG.CAS", std::vector<std::uint8_t>(kCasMaxFileSize + 1, 0));
  OpenHostFile(ws, cas, (dir / "BIG.CAS").string(), ui);
  EXPECT_FALSE(IsCassetteCurrent(ws));
  EXPECT_TRUE(ws.fileList.rows.empty());
  EXPECT_FALSE(cas.Loaded());
  EXPECT_EQ(ui.messages.back(), formats::msg::kFileToBigToLoad);
}

TEST(HostOpen, ConversionsAndOtherFilesAreLeftToTheFrontEnd) {
  // A file to convert is only reported: the front end asks for the target and converts it.
  test::TempDir dir;
  test::ScriptedUi ui;
  Workspace ws;
  CasImage cas;
  ws.image.imagePath = (dir / "OLD.DSK").string();
  ws.image.changed = true;
  EXPECT_FALSE(OffersToSaveChanges(ws, (dir / "D.IMG").string()));
  EXPECT_FALSE(OffersToSaveChanges(ws, (dir / "readme.txt").string()));
  EXPECT_TRUE(OffersToSaveChanges(ws, (dir / "new.di1").string()));
  ws.image = DiskImage{};
  test::WriteHostFile(dir / "D.IMG", std::vector<std::uint8_t>(737281, 1));
  test::WriteHostFile(dir / "E.XSA", {1});
  EXPECT_EQ(OpenHostFile(ws, cas, (dir / "D.IMG").string(), ui), HostFileKind::Conversion);
  EXPECT_EQ(OpenHostFile(ws, cas, (dir / "E.XSA").string(), ui), HostFileKind::Conversion);
  EXPECT_EQ(OpenHostFile(ws, cas, (dir / "readme.txt").string(), ui), HostFileKind::Other);
  EXPECT_TRUE(ui.saveTitles.empty());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(fs::exists(dir / "D.DSK"));
  EXPECT_TRUE(ws.image.imagePath.empty());
}

}  // namespace
}  // namespace quarnel
