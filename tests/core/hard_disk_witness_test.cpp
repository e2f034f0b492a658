// Independent witnesses for partitioned images: what we write passes sfdisk, fsck.fat and
// mtools on every partition; what sfdisk and mkfs.fat write we read at the offsets sfdisk names.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <regex>

#include "core/new_hard_disk.h"
#include "core/partition_store.h"
#include "core/partition_volume.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
constexpr std::uint64_t M = 1024 * 1024;
const std::vector<std::string> kMtoolsEnv = {"MTOOLS_NO_VFAT=1", "MTOOLS_SKIP_CHECK=1"};

struct Listed {
  std::uint64_t start, size;
  unsigned type;
};

// The partitions `sfdisk -d` lists, extended containers left out.
std::vector<Listed> SfdiskPartitions(const fs::path& img) {
  auto r = test::Run({"sfdisk", "-d", img.string()});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::vector<Listed> out;
  const std::regex line(R"(start=\s*(\d+), size=\s*(\d+), type=([0-9a-fA-F]+))");
  std::istringstream in(r.out);
  for (std::string l; std::getline(in, l);) {
    std::smatch m;
    if (!std::regex_search(l, m, line)) continue;
    const unsigned type = static_cast<unsigned>(std::stoul(m[3], nullptr, 16));
    if (IsExtendedType(static_cast<std::uint8_t>(type))) continue;
    out.push_back({std::stoull(m[1]), std::stoull(m[2]), type});
  }
  return out;
}

void CutOut(const fs::path& img, std::uint64_t offset, std::uint64_t length, const fs::path& to) {
  std::ifstream in(img, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  in.seekg(static_cast<std::streamoff>(offset));
  std::vector<char> buf(1 << 20);
  while (length > 0) {
    const auto n = static_cast<std::streamsize>(std::min<std::uint64_t>(length, buf.size()));
    in.read(buf.data(), n);
    out.write(buf.data(), n);
    length -= static_cast<std::uint64_t>(n);
  }
}

class HardDiskWitness : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* tool : {"sfdisk", "fsck.fat", "mcopy", "mdir"})
      if (!test::HaveProgram(tool)) GTEST_SKIP() << tool << " is not installed";
  }
  test::TempDir tmp;
};

TEST_F(HardDiskWitness, NewImagesPassSfdiskFsckAndMtools) {
  struct Case {
    const char* name;
    std::uint64_t image;
    std::vector<std::uint64_t> parts;
  } cases[] = {{"one partition", 64 * M, {}},
               {"five partitions in a chain", 80 * M, {8 * M, 20 * M, 4 * M, 16 * M, 10 * M}},
               {"sizes that add up to the image", 64 * M, {16 * M, 48 * M}}};
  const fs::path host = tmp / "HELLO.TXT";
  test::WriteHostFile(host, test::Pattern(70000, 3));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path img = tmp / "hd.img";
    const auto plan = PlanHardDisk(c.image, c.parts, FatChoice::BySize);
    ASSERT_TRUE(plan.layout) << plan.message;
    ASSERT_EQ(WriteHardDisk(*plan.layout, img, 7).status, NewImageStatus::Written);
    EXPECT_EQ(fs::file_size(img), c.image);
    // Sparse: the data areas were never written.
    struct stat st {};
    ASSERT_EQ(::stat(img.c_str(), &st), 0);
    EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512, 4 * M);
    const auto listed = SfdiskPartitions(img);
    ASSERT_EQ(listed.size(), plan.layout->volumes.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
      SCOPED_TRACE(i);
      const NewVolume& v = plan.layout->volumes[i];
      EXPECT_EQ(listed[i].start, v.firstSector);
      EXPECT_EQ(listed[i].size, v.sectors);
      EXPECT_EQ(listed[i].type, v.type);
      const std::string at = img.string() + "@@" + std::to_string(v.firstSector * 512);
      auto r = test::Run({"mcopy", "-i", at, host.string(), "::HELLO.TXT"}, kMtoolsEnv);
      ASSERT_EQ(r.exitCode, 0) << r.err;
      r = test::Run({"mdir", "-b", "-i", at, "::"}, kMtoolsEnv);
      EXPECT_NE(r.out.find("HELLO.TXT"), std::string::npos) << r.out << r.err;
      CutOut(img, v.firstSector * 512, v.sectors * 512, tmp / "part.img");
      r = test::Run({"fsck.fat", "-n", (tmp / "part.img").string()});
      EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
      EXPECT_NE(r.out.find("1 files"), std::string::npos) << r.out;
    }
  }
}

// sfdisk's primary, extended and logical partitions, formatted by mkfs.fat in place: our table
// has the offsets sfdisk lists, and the FAT12 volume shows its name.
TEST_F(HardDiskWitness, SfdiskImageReadAtSfdiskOffsets) {
  if (!test::HaveProgram("mkfs.fat")) GTEST_SKIP() << "mkfs.fat is not installed";
  const fs::path img = tmp / "pc.img";
  { std::ofstream(img).close(); }
  fs::resize_file(img, 128 * M);
  const std::string script = "label: dos\n,48M,6\n,,E\n,16M,1\n,8M,6\n,,83\n";
  const fs::path scriptFile = tmp / "layout";
  test::WriteHostFile(scriptFile, std::vector<std::uint8_t>(script.begin(), script.end()));
  auto r = test::Run({"sh", "-c", "sfdisk '" + img.string() + "' < '" + scriptFile.string() + "'"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto listed = SfdiskPartitions(img);
  ASSERT_EQ(listed.size(), 4u);
  r = test::Run({"mkfs.fat", "-F", "12", "-n", "WITNESS", "--offset",
                 std::to_string(listed[1].start), img.string(),
                 std::to_string(listed[1].size / 2)});
  ASSERT_EQ(r.exitCode, 0) << r.err;

  auto store = FileStore::Open(img.string());
  ASSERT_TRUE(store);
  const PartitionTable t = ReadPartitionTable(*store);
  EXPECT_EQ(t.scheme, PartitionScheme::StandardMbr);
  EXPECT_TRUE(t.findings.empty());
  ASSERT_EQ(t.partitions.size(), listed.size());
  for (std::size_t i = 0; i < listed.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(t.partitions[i].number, static_cast<int>(i) + 1);
    EXPECT_EQ(t.partitions[i].firstSector, listed[i].start);
    EXPECT_EQ(t.partitions[i].sectors, listed[i].size);
    EXPECT_EQ(t.partitions[i].type, listed[i].type);
  }
  const Partition& fat12 = t.partitions[1];
  const PartitionStore window(store->Clone(), fat12.Offset(), fat12.Length(), false);
  const PartitionVolume v = ReadPartitionVolume(window, fat12);
  EXPECT_TRUE(v.readable) << v.fault;
  EXPECT_EQ(v.fatKind, FatKind::Fat12);
  EXPECT_EQ(v.label, "WITNESS");
  // Only the table sectors and that volume's boot sector and root were read.
  EXPECT_LT(store->SectorsRead().size(), 8u);
  EXPECT_FALSE(ReadPartitionVolume(window, t.partitions[3]).readable);
}

}  // namespace
}  // namespace quarnel
