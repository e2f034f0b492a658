// Reading host files whole: only regular files, never more than the reader allows.
#include "core/host_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/add_file.h"
#include "core/messages.h"
#include "core/workspace.h"
#include "support/image_builder.h"
#include "support/scripted_ui.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

// A FIFO that this process also holds open for writing, so that a reader that wrongly opened it
// would not block the test (the command-line tests catch the blocking itself).
class HeldFifo {
 public:
  explicit HeldFifo(const fs::path& p) {
    if (::mkfifo(p.c_str(), 0600) == 0) fd_ = ::open(p.c_str(), O_RDWR | O_NONBLOCK);
  }
  ~HeldFifo() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

TEST(HostFile, OnlyRegularFilesUpToTheLimitAreRead) {
  test::TempDir tmp;
  HeldFifo fifo(tmp / "fifo");
  ASSERT_TRUE(fifo.ok());
  test::WriteHostFile(tmp / "ten", test::Pattern(10));
  struct Case {
    fs::path path;
    std::uintmax_t limit;
    HostReadError error;
    std::string said;  // after "PATH: "
  } cases[] = {
      {tmp.path(), 100, HostReadError::Directory, "is a directory"},
      {tmp / "fifo", 100, HostReadError::Fifo, "is a FIFO"},
      {"/dev/zero", 100, HostReadError::Device, "is a device"},
      {tmp / "missing", 100, HostReadError::NotFound, "does not exist"},
      {tmp / "ten", 9, HostReadError::TooLarge, "is larger than 9 bytes"},
      {tmp / "ten", 10, HostReadError::None, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.string() + " " + std::to_string(c.limit));
    HostRead r = ReadHostContents(c.path, c.limit);
    EXPECT_EQ(r.error, c.error);
    EXPECT_EQ(r.bytes.size(), r.ok() ? 10u : 0u);
    EXPECT_EQ(DescribeHostReadError(c.path, r),
              c.said.empty() ? "" : c.path.string() + ": " + c.said);
  }
}

TEST(HostFile, FilesAreReadToTheirEndNotToTheSizeTheSystemGives) {
  // Files of /proc have size 0 in stat and hold more; limit + 1 bytes tell one too large.
  const fs::path status = "/proc/self/status";
  if (!fs::exists(status)) GTEST_SKIP() << "no /proc";
  ASSERT_EQ(fs::file_size(status), 0u);
  HostRead whole = ReadHostContents(status, 1 << 20);
  ASSERT_TRUE(whole.ok());
  EXPECT_EQ(std::string(whole.bytes.begin(), whole.bytes.begin() + 5), "Name:");
  EXPECT_EQ(ReadHostContents(status, 10).error, HostReadError::TooLarge);
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(test::ImageBuilder().Bytes(), "d.dsk");
  ASSERT_EQ(AddFile(ws.image, kRootDir, status, "STATUS"), AddStatus::Added);
  ws.Refresh();
  ASSERT_EQ(ws.Entries().size(), 1u);
  EXPECT_GT(ws.Entries().front().size, 100);  // not the 0 that stat gives
}

TEST(HostFile, AddTellsWhyAFifoWasNotAdded) {
  test::TempDir tmp;
  HeldFifo fifo(tmp / "pipe.bin");
  ASSERT_TRUE(fifo.ok());
  test::ScriptedUi ui;
  Workspace ws;
  ws.LoadImageBytes(test::ImageBuilder().Bytes(), (tmp / "d.dsk").string());
  ASSERT_TRUE(ws.HasImage());
  const auto before = ws.image.Memory();
  const AddOutcome o = AddFile(ws.image, kRootDir, tmp / "pipe.bin", "PIPE.BIN");
  EXPECT_EQ(o, AddStatus::ReadError);
  EXPECT_EQ(o.hostError, HostReadError::Fifo);
  EXPECT_EQ(o.message, msg::kHostReadError);
  EXPECT_TRUE(ws.image.Memory() == before);
}

// Zero blocks are written as holes and holes are read as zeros, whatever the buffer held before.
TEST(HostFile, SparseFilesAreWrittenWithHolesAndReadBackWhole) {
  test::TempDir tmp;
  struct Run {
    std::size_t at, length;
  };
  struct Case {
    const char* name;
    std::size_t size;
    std::vector<Run> data;  // the rest is zeros
    bool holes;             // long enough zero runs for the file to take less room
  } cases[] = {
      {"nothing", 0, {}, false},
      {"all zeros", 737280, {}, true},
      {"a new disk", 737280, {{0, 5000}, {700001, 100}}, true},
      {"no whole zero block", 10000, {{0, 10}, {5000, 1}, {9000, 1}}, false},
      {"data in the last part block", 8292, {{8291, 1}}, true},
      {"zeros up to the end of a part block", 12388, {{0, 4096}}, false},
      {"a full disk with one block of zeros", 737280, {{0, 614400}, {618496, 118784}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::uint8_t> bytes(c.size, 0);
    for (const Run& r : c.data)
      for (std::size_t i = 0; i < r.length; ++i)
        bytes[r.at + i] = static_cast<std::uint8_t>(i % 251 + 1);
    const fs::path file = tmp / "f.dsk";
    ASSERT_TRUE(WriteFileAtomically(file, bytes));
    EXPECT_EQ(test::ReadHostFile(file), bytes);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    if (c.holes) {
      EXPECT_LT(static_cast<std::size_t>(st.st_blocks) * 512, c.size / 2);
    }
    // The file as written, and written out in full; read into buffers that held other bytes of
    // the same size first: the holes must not show them, and a block said to be a hole is zeros.
    test::WriteHostFile(tmp / "full.dsk", bytes);
    for (const fs::path& p : {file, tmp / "full.dsk"}) {
      SCOPED_TRACE(p.filename().string());
      ImageBytes image(c.size, 0xAA);
      ZeroBlocks holes;
      ASSERT_EQ(HostFile(p).ReadAll(c.size, image, &holes), HostReadError::None);
      EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin(), bytes.end()));
      std::size_t known = 0;
      for (std::size_t b = 0; b * ZeroBlocks::kBlock < c.size; ++b) {
        if (!holes.Zero(b)) continue;
        ++known;
        ASSERT_LE((b + 1) * ZeroBlocks::kBlock, c.size);
        EXPECT_TRUE(ZeroBlocks::IsZero(bytes.data() + b * ZeroBlocks::kBlock)) << "block " << b;
      }
      if (c.holes && ImageMemoryStartsZeroed(c.size)) {
        EXPECT_GT(known, 0u);
      }
      std::vector<std::uint8_t> plain(c.size, 0xAA);
      ASSERT_EQ(HostFile(p).ReadAll(c.size, plain), HostReadError::None);
      EXPECT_EQ(plain, bytes);
    }
  }
}

}  // namespace
}  // namespace quarnel
