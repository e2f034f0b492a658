#include "formats/raw_disk_posix.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quarnel {

PosixRawDisk::~PosixRawDisk() {
  if (fd_ < 0) return;
  if (writable_) ::fsync(fd_);
  ::close(fd_);
}

bool PosixRawDisk::ReadSectors(std::uint64_t first, MutableBytes out) {
  std::size_t done = 0;
  const auto base = static_cast<off_t>(first * kRawSectorBytes);
  while (done < out.size()) {
    ssize_t n = ::pread(fd_, out.data() + done, out.size() - done, base + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      SetError(errno);
      return false;
    }
    if (n == 0) {  // the disk ends before the sectors asked for
      SetError(ENXIO);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool PosixRawDisk::WriteSectors(std::uint64_t first, Bytes data) {
  std::size_t done = 0;
  const auto base = static_cast<off_t>(first * kRawSectorBytes);
  while (done < data.size()) {
    ssize_t n =
        ::pwrite(fd_, data.data() + done, data.size() - done, base + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      SetError(n < 0 ? errno : ENOSPC);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (!blockDevice_) {
    const std::uint64_t end = first * kRawSectorBytes + data.size();
    if (end > size_) size_ = end;
  }
  return true;
}

std::uint64_t PosixRawDisk::SizeBytes() const { return size_; }

bool PosixRawDisk::ResetDrive() {
  if (writable_ && ::fsync(fd_) != 0) {
    SetError(errno);
    return false;
  }
  // What the system keeps of the device is dropped, so that reads come from the disk.
  if (blockDevice_) ::ioctl(fd_, BLKFLSBUF, 0);
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_DONTNEED);
  return true;
}

std::unique_ptr<PosixRawDisk> OpenRawDisk(const std::filesystem::path& path, RawDiskAccess access,
                                          int& error) {
  error = 0;
  struct stat before {};
  if (::stat(path.c_str(), &before) != 0) {
    error = errno;
    return nullptr;
  }
  const bool block = S_ISBLK(before.st_mode);
  if (!block && !S_ISREG(before.st_mode)) {
    error = ENODEV;
    return nullptr;
  }
  int flags = O_CLOEXEC | O_NOCTTY | (access == RawDiskAccess::ReadWrite ? O_RDWR : O_RDONLY);
  if (block) flags |= O_EXCL;
  if (block && access == RawDiskAccess::ReadWrite) flags |= O_DSYNC;
  int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat after {};
  // The path must still name what was looked at: a device put in place of a file (or another
  // device) in between is refused.
  if (::fstat(fd, &after) != 0 || (after.st_mode & S_IFMT) != (before.st_mode & S_IFMT) ||
      (block && after.st_rdev != before.st_rdev) ||
      (!block && (after.st_ino != before.st_ino || after.st_dev != before.st_dev))) {
    ::close(fd);
    error = ENODEV;
    return nullptr;
  }
  std::unique_ptr<PosixRawDisk> disk(new PosixRawDisk());
  disk->fd_ = fd;
  disk->blockDevice_ = block;
  disk->writable_ = access == RawDiskAccess::ReadWrite;
  if (block) {
    disk->device_ = after.st_rdev;
    std::uint64_t bytes = 0;
    if (::ioctl(fd, BLKGETSIZE64, &bytes) != 0) {
      error = errno;
      return nullptr;
    }
    disk->size_ = bytes;
  } else {
    disk->size_ = static_cast<std::uint64_t>(after.st_size);
  }
  return disk;
}

}  // namespace quarnel
