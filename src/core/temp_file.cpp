#include "core/temp_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <string>

#include "core/same_file.h"

namespace quarnel {

namespace fs = std::filesystem;

namespace {

constexpr int kNameAttempts = 20;

fs::path Folder(const fs::path& target) {
  fs::path dir = target.parent_path();
  return dir.empty() ? fs::path(".") : dir;
}

// Removes every temporary file of `target` that no writer holds: a writer killed before its
// rename left it.
void RemoveStale(const fs::path& target) {
  const std::string prefix = TempFilePrefix(target);
  std::error_code ec;
  for (fs::directory_iterator it(Folder(target), ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    const std::string name = p.filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0 ||
        !std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return c >= '0' && c <= '9'; }))
      continue;
    const int fd = ::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat held {
    }, now{};
    if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::lstat(p.c_str(), &now) == 0 && SameHostFile(held, now))
      ::unlink(p.c_str());
    ::close(fd);
  }
}

}  // namespace

std::string TempFilePrefix(const fs::path& target) {
  std::string prefix = ".";
  prefix += target.filename().string();
  prefix += ".tmp";
  return prefix;
}

TempFile::TempFile(const fs::path& target, bool unnamed) : target_(target) {
  RemoveStale(target);
  if (unnamed) {
    fd_ = ::open(Folder(target).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
      ::flock(fd_, LOCK_EX);  // a new file: nobody else can hold it
      return;
    }
  }
  OpenNamed();  // the file system keeps no unnamed files
}

TempFile::~TempFile() {
  if (named_) ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
}

namespace {

// A number for a temporary name, from the system's random source (one call; no device to open,
// no processor features to probe). Another process's name taken by chance is tried again.
// Without it, the process and the time, and the attempt so that each try differs.
std::string RandomSuffix(int attempt) {
  std::uint32_t n = 0;
  if (::getrandom(&n, sizeof n, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof n))
    n = (static_cast<std::uint32_t>(::getpid()) * 2654435761U) ^
        static_cast<std::uint32_t>(::time(nullptr)) ^ (static_cast<std::uint32_t>(attempt) << 24);
  return std::to_string(n);
}

}  // namespace

bool TempFile::OpenNamed() {
  const fs::path dir = Folder(target_);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    path_ = dir / (TempFilePrefix(target_) + RandomSuffix(attempt));
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd_ >= 0) {
      named_ = true;
      ::flock(fd_, LOCK_EX);
      return true;
    }
    if (errno != EEXIST) break;
  }
  return false;
}

bool TempFile::Name() {
  if (named_) return true;
  return fd_ >= 0 && LinkUnnamed();
}

bool TempFile::LinkUnnamed() {
  const fs::path dir = Folder(target_);
  const std::string self = "/proc/self/fd/" + std::to_string(fd_);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    path_ = dir / (TempFilePrefix(target_) + RandomSuffix(attempt));
    // Through /proc, as an unprivileged program may; without /proc the descriptor itself.
    int r = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path_.c_str(), AT_SYMLINK_FOLLOW);
    if (r != 0 && errno == ENOENT) r = ::linkat(fd_, "", AT_FDCWD, path_.c_str(), AT_EMPTY_PATH);
    if (r == 0) {
      named_ = true;
      return true;
    }
    if (errno != EEXIST) break;
  }
  return false;
}

}  // namespace quarnel
