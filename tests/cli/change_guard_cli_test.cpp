// quarnel-cli add on disks whose FAT and directories disagree: refused, the image left byte for
// byte as it was; on a sound disk the same add succeeds and the witnesses read the file back.
#include <gtest/gtest.h>

#include "core/change_witness.h"
#include "support/hostile_inputs.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }

class ChangeGuardCli : public ::testing::Test {
 protected:
  // A copy of the hostile image `name` and a 3000-byte host file to add.
  fs::path Copy(const std::string& name) {
    test::WriteHostFile(tmp / "new.bin", test::Pattern(3000, 5));
    return test::WriteHostileInput(tmp.path(), name);
  }
  test::TempDir tmp;
};

TEST_F(ChangeGuardCli, AddIsRefusedWhereTheFatAndTheDirectoriesDisagree) {
  for (const char* name : {"fat_copies_differ.dsk", "dir_fat_free.dsk"}) {
    SCOPED_TRACE(name);
    const fs::path image = Copy(name);
    const auto before = test::ReadHostFile(image);
    auto r = test::Run({Cli(), "add", image.string(), (tmp / "new.bin").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("The disk needs checking: cluster ", 0), 0u) << r.err;
    EXPECT_TRUE(test::ReadHostFile(image) == before);
  }
}

TEST_F(ChangeGuardCli, AddOnASoundDiskPassesTheWitnesses) {
  const fs::path image = Copy("valid.dsk");
  auto r = test::Run({Cli(), "add", image.string(), (tmp / "new.bin").string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  if (!test::HaveWitnesses()) GTEST_SKIP() << "no fsck.fat / mtools";
  EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
  EXPECT_TRUE(test::Mtype(image, "NEW.BIN") == test::Pattern(3000, 5));
}

}  // namespace
}  // namespace quarnel
