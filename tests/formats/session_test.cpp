// Opening host files by extension: a disk image or a tape is what is open, never both;
// conversions are left to the front end.
#include "formats/session.h"

#include <gtest/gtest.h>

#include "formats/messages.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "support/tape_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

TEST(Session, ATapeReplacesTheDiskImageAfterItsChangesAreSettled) {
  test::TempDir dir;
  test::ScriptedUi ui;
  Session session;
  test::ImageBuilder().WriteTo(dir / "OLD.DSK");
  test::TapeBuilder tape;
  tape.FileHeader(0xD3, "CAS   ").Header().Raw({0x07, 0x80, 0x0A, 0x00, 0x81, 0x00, 0x00, 0x00});
  test::WriteHostFile(dir / "T.cas", tape.t);
  EXPECT_EQ(session.OpenHostFile((dir / "OLD.DSK").string(), ui), HostFileKind::DiskImage);
  ASSERT_TRUE(session.Disk() && session.Disk()->HasImage());
  // A changed disk image is offered for saving before the tape replaces it.
  session.Disk()->MarkChanged();
  EXPECT_TRUE(session.OffersToSaveChanges((dir / "T.cas").string()));
  const auto saved = dir / "SAVED.DSK";
  ASSERT_EQ(SaveAs(*session.Disk(), saved), SaveStatus::Saved);
  EXPECT_EQ(session.OpenHostFile((dir / "T.cas").string(), ui), HostFileKind::Cassette);
  EXPECT_TRUE(fs::exists(saved));
  EXPECT_EQ(session.Disk(), nullptr);
  ASSERT_NE(session.Tape(), nullptr);
  ASSERT_EQ(session.Tape()->Entries().size(), 1u);
  EXPECT_FALSE(session.Tape()->EntryBytes(0).empty());
  EXPECT_FALSE(session.OffersToSaveChanges((dir / "OLD.DSK").string()));

  // A tape that cannot be loaded leaves nothing open.
  test::WriteHostFile(dir / "BIG.CAS", std::vector<std::uint8_t>(kCasMaxFileSize + 1, 0));
  session.OpenHostFile((dir / "BIG.CAS").string(), ui);
  EXPECT_EQ(session.Tape(), nullptr);
  EXPECT_EQ(session.Disk(), nullptr);
  EXPECT_EQ(ui.messages.back(), formats::msg::kFileToBigToLoad);

  // A disk image replaces the tape.
  session.OpenHostFile((dir / "T.cas").string(), ui);
  session.OpenHostFile((dir / "OLD.DSK").string(), ui);
  EXPECT_EQ(session.Tape(), nullptr);
  ASSERT_NE(session.Disk(), nullptr);
  EXPECT_FALSE(session.Disk()->IsChanged());
}

TEST(Session, ConversionsAndOtherFilesAreLeftToTheFrontEnd) {
  test::TempDir dir;
  test::ScriptedUi ui;
  Session session;
  test::ImageBuilder().WriteTo(dir / "OLD.DSK");
  session.OpenHostFile((dir / "OLD.DSK").string(), ui);
  session.Disk()->MarkChanged();
  EXPECT_FALSE(session.OffersToSaveChanges((dir / "D.IMG").string()));
  EXPECT_FALSE(session.OffersToSaveChanges((dir / "readme.txt").string()));
  EXPECT_TRUE(session.OffersToSaveChanges((dir / "new.di1").string()));
  test::WriteHostFile(dir / "D.IMG", std::vector<std::uint8_t>(737281, 1));
  test::WriteHostFile(dir / "E.XSA", {1});
  EXPECT_EQ(session.OpenHostFile((dir / "D.IMG").string(), ui), HostFileKind::Conversion);
  EXPECT_EQ(session.OpenHostFile((dir / "E.XSA").string(), ui), HostFileKind::Conversion);
  EXPECT_EQ(session.OpenHostFile((dir / "readme.txt").string(), ui), HostFileKind::Other);
  EXPECT_TRUE(ui.saveTitles.empty());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(fs::exists(dir / "D.DSK"));
  ASSERT_NE(session.Disk(), nullptr);
  EXPECT_EQ(session.Disk()->imagePath, (dir / "OLD.DSK").string());  // still open, still changed
  EXPECT_TRUE(session.Disk()->IsChanged());
}

}  // namespace
}  // namespace quarnel
