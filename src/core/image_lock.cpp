#include "core/image_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "core/same_file.h"

namespace quarnel {

ImageLock::ImageLock(const std::filesystem::path& path, std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  constexpr auto kPoll = std::chrono::milliseconds(20);
  const auto deadline = Clock::now() + wait;
  for (;;) {
    // O_NONBLOCK: a FIFO put at the path is not waited on; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat opened {};
    if (fd < 0 || ::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
      const bool missing = fd < 0 ? errno == ENOENT : true;
      if (fd >= 0) ::close(fd);
      status_ = missing ? Status::NotThere : Status::Failed;
      return;
    }
    int r;
    do r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    if (r == 0) {
      // The lock is on the file we opened; a save may have renamed another over the path
      // meanwhile, and that one is the image now.
      struct stat now {};
      if (::stat(path.c_str(), &now) == 0 && SameHostFile(now, opened)) {
        fd_ = fd;
        status_ = Status::Held;
        return;
      }
      ::close(fd);
      continue;  // the path names a newer file: lock that one
    }
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    if (!busy) {
      status_ = Status::Failed;
      return;
    }
    if (Clock::now() >= deadline) {
      status_ = Status::Busy;
      return;
    }
    std::this_thread::sleep_for(kPoll);
  }
}

ImageLock::~ImageLock() {
  if (fd_ >= 0) ::close(fd_);  // closing lets the lock go
}

}  // namespace quarnel
