// The rows of a tape as the file list shows them.
#include <gtest/gtest.h>

#include "listing/file_rows.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

TEST(TapeRows, NameSizeTypeIconAndIndex) {
  test::ScriptedUi ui;
  CasImage cas;
  ASSERT_EQ(cas.LoadCasFile(
                test::SharedDir() / "realdata" / "cas" / "lilca_MsxCassetteTapeSim__csave.cas", ui),
            CasImage::LoadStatus::Loaded);
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
