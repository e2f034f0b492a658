// quarnel-cli add on disks whose FAT and directories disagree: refused, the image left byte for
// byte as it was; on a sound disk the same add succeeds and the witnesses read the file back.
#include <gtest/gtest.h>

#include "core/change_witness.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

std::string Cli() { return (test::BinDir() / "quarnel-cli").string(); }
fs::path Hostile(const std::string& name) {
  return test::SharedDir() / "vectors" / "hostile" / name;
}

class ChangeGuardCli : public ::testing::Test {
 protected:
  // A copy of the hostile image `name` and a 3000-byte host file to add.
  fs::path Copy(const std::string& name) {
    if (!fs::exists(Hostile(name))) return {};
    fs::copy_file(Hostile(name), tmp / name);
    fs::permissions(tmp / name, fs::perms::owner_write, fs::perm_options::add);
    test::WriteHostFile(tmp / "new.bin", test::Pattern(3000, 5));
    return tmp / name;
  }
  test::TempDir tmp;
};

TEST_F(ChangeGuardCli, AddIsRefusedWhereTheFatAndTheDirectoriesDisagree) {
  for (const char* name : {"fat_copies_differ.dsk", "dir_fat_free.dsk"}) {
    SCOPED_TRACE(name);
    const fs::path image = Copy(name);
    if (image.empty()) GTEST_SKIP() << "no " << Hostile(name);
    const auto before = test::ReadHostFile(image);
    auto r = test::Run({Cli(), "add", image.string(), (tmp / "new.bin").string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("The disk needs checking: cluster ", 0), 0u) << r.err;
    EXPECT_TRUE(test::ReadHostFile(image) == before);
  }
}

TEST_F(ChangeGuardCli, AddOnASoundDiskPassesTheWitnesses) {
  const fs::path image = Copy("valid.dsk");
  if (image.empty()) GTEST_SKIP() << "no " << Hostile("valid.dsk");
  auto r = test::Run({Cli(), "add", image.string(), (tmp / "new.bin").string()});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  if (!test::HaveWitnesses()) GTEST_SKIP() << "no fsck.fat / mtools";
  EXPECT_EQ(test::FsckFindings(image), std::vector<std::string>{});
  EXPECT_TRUE(test::Mtype(image, "NEW.BIN") == test::Pattern(3000, 5));
}

}  // namespace
}  // namespace quarnel
