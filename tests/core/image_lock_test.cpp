// The hold on an image during a change, and the temporary file a save writes: a waiting writer
// ends up holding the file a save put at the path, and a write killed half-way leaves no file.
#include "core/image_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "core/save_image.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// True when another open of `path` cannot take the lock now.
bool Locked(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  const bool busy = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);
  return busy;
}

TEST(ImageLock, AWaiterHoldsTheFileASaveRenamedOverThePath) {
  test::TempDir tmp;
  const fs::path image = tmp / "X.dsk", saved = tmp / "saved";
  test::WriteHostFile(image, test::Pattern(100));
  test::WriteHostFile(saved, test::Pattern(100, 2));
  auto first = std::make_unique<ImageLock>(image, 0ms);
  ASSERT_TRUE(first->held());
  EXPECT_EQ(ImageLock(image, 50ms).status(), ImageLock::Status::Busy);

  std::unique_ptr<ImageLock> second;
  std::thread waiter([&] { second = std::make_unique<ImageLock>(image, 5000ms); });
  std::this_thread::sleep_for(100ms);
  fs::rename(saved, image);  // the first writer saves ...
  first.reset();             // ... and lets go
  waiter.join();
  ASSERT_TRUE(second->held());
  EXPECT_TRUE(Locked(image));  // the file now at the path, not the one replaced
  second.reset();
  EXPECT_FALSE(Locked(image));
  EXPECT_EQ(ImageLock(tmp / "none.dsk", 0ms).status(), ImageLock::Status::NotThere);
}

// Looks at the folder while the bytes are written: what a kill at that moment would leave.
class FolderAtWrite : public FileIo {
 public:
  explicit FolderAtWrite(fs::path dir) : dir_(std::move(dir)) {}
  long Write(int fd, const std::uint8_t* data, std::size_t n) override {
    for (const auto& e : fs::directory_iterator(dir_)) seen.push_back(e.path().filename());
    return FileIo::Write(fd, data, n);
  }
  std::vector<fs::path> seen;

 private:
  fs::path dir_;
};

TEST(WriteAtomically, NoNewNameIsInTheFolderWhileTheBytesAreWritten) {
  test::TempDir tmp;
  const fs::path target = tmp / "X.dsk";
  test::WriteHostFile(target, test::Pattern(10));
  FolderAtWrite io(tmp.path());
  ASSERT_TRUE(WriteAtomically(target, test::Pattern(5000), io));
  EXPECT_EQ(io.seen, std::vector<fs::path>{"X.dsk"});
  EXPECT_EQ(test::ReadHostFile(target), test::Pattern(5000));
}

}  // namespace
}  // namespace quarnel
