// The rows of a tape as the file list shows them.
#include <gtest/gtest.h>

#include "listing/file_rows.h"
#include "support/scripted_ui.h"
#include "support/tape_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

TEST(TapeRows, NameSizeTypeIconAndIndex) {
  // A tape of one BASIC program named "CAS": 10 END.
  test::TapeBuilder tape;
  tape.FileHeader(0xD3, "CAS   ").Header().Raw({0x07, 0x80, 0x0A, 0x00, 0x81, 0x00, 0x00, 0x00});
  test::TempDir dir;
  test::WriteHostFile(dir / "csave.cas", tape.t);
  test::ScriptedUi ui;
  CasImage cas;
  ASSERT_EQ(cas.LoadCasFile(dir / "csave.cas", ui), CasImage::LoadStatus::Loaded);
  cas.ListCasFile();
  const FileListing list = TapeRows(cas);
  ASSERT_EQ(list.rows.size(), 1u);
  const FileRow& r = list.rows[0];
  EXPECT_EQ(r.caption, "CAS");
  EXPECT_EQ(r.type, "Basic");
  EXPECT_EQ(r.icon, 3);
  EXPECT_EQ(r.slot, 0);
  EXPECT_EQ(r.sizeText, std::to_string(cas.Entries()[0].Size()) + " Bytes");
  EXPECT_EQ(list.filesListed, 1);
  EXPECT_TRUE(list.summary.empty());
}

}  // namespace
}  // namespace quarnel
