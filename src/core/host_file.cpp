#include "core/host_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <limits>
#include <new>

#include "core/messages.h"
#include "core/save_image.h"

namespace quarnel {

namespace fs = std::filesystem;

bool WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes,
                         LinkPolicy links) {
  return WriteAtomically(target, Bytes(bytes.data(), bytes.size()), DefaultFileIo(), links);
}

namespace {

// The kind of a file that is no regular one; None for a regular file.
HostReadError KindOf(mode_t mode) {
  if (S_ISREG(mode)) return HostReadError::None;
  if (S_ISDIR(mode)) return HostReadError::Directory;
  if (S_ISFIFO(mode)) return HostReadError::Fifo;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return HostReadError::Device;
  if (S_ISSOCK(mode)) return HostReadError::Socket;
  return HostReadError::OtherKind;
}

HostFileInfo InfoOf(const struct stat& st) {
  HostFileInfo info;
  info.size = S_ISREG(st.st_mode) ? static_cast<std::uintmax_t>(st.st_size) : 0;
  info.mode = static_cast<std::uint32_t>(st.st_mode);
  info.modified = st.st_mtime;
  return info;
}

}  // namespace

bool IsOtherKind(HostReadError e) {
  return e == HostReadError::Directory || e == HostReadError::Fifo || e == HostReadError::Device ||
         e == HostReadError::Socket || e == HostReadError::OtherKind;
}

HostFile::HostFile(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    error_ =
        errno == ENOENT || errno == ENOTDIR ? HostReadError::NotFound : HostReadError::CannotOpen;
    return;
  }
  info_ = InfoOf(st);
  error_ = KindOf(st.st_mode);
  if (error_ != HostReadError::None) return;
  // O_NONBLOCK: should the path have become a FIFO since the stat, the open returns at once.
  do {
    fd_ = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) {
    error_ = HostReadError::CannotOpen;
    return;
  }
  if (::fstat(fd_, &st) != 0) {
    error_ = HostReadError::CannotOpen;
  } else {
    info_ = InfoOf(st);
    error_ = KindOf(st.st_mode);
  }
  const int flags = error_ == HostReadError::None ? ::fcntl(fd_, F_GETFL) : -1;
  if (error_ == HostReadError::None &&
      (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0)) {
    error_ = HostReadError::CannotOpen;
  }
  if (error_ != HostReadError::None) {
    ::close(fd_);
    fd_ = -1;
  }
}

HostFile::~HostFile() {
  if (fd_ >= 0) ::close(fd_);
}

namespace {

// Reads exactly `n` bytes of `fd` into `to`.
bool ReadExactly(int fd, std::uint8_t* to, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::read(fd, to + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    done += static_cast<std::size_t>(got);
  }
  return true;
}

// Sizes `bytes` to the file (cleared or not, as the buffer's allocator does it) and reads the
// file into them.
template <class Buffer, class Fill>
HostReadError ReadAllInto(int fd, HostReadError error, const HostFileInfo& info,
                          std::uintmax_t limit, Buffer& bytes, Fill fill) {
  if (error != HostReadError::None) return error;
  if (info.size > limit) return HostReadError::TooLarge;
  try {
    fill(bytes, static_cast<std::size_t>(info.size));
  } catch (const std::bad_alloc&) {
    bytes.clear();
    return HostReadError::NoMemory;
  } catch (const std::length_error&) {
    bytes.clear();
    return HostReadError::NoMemory;
  }
  if (!ReadExactly(fd, bytes.data(), bytes.size())) {
    bytes.clear();
    return HostReadError::ShortRead;
  }
  return HostReadError::None;
}

}  // namespace

HostReadError HostFile::ReadAll(std::uintmax_t limit, ImageBytes& bytes) {
  return ReadAllInto(fd_, error_, info_, limit, bytes,
                     [](ImageBytes& b, std::size_t n) { b.resize(n); });
}

HostReadError HostFile::ReadAll(std::uintmax_t limit, std::vector<std::uint8_t>& bytes) {
  return ReadAllInto(fd_, error_, info_, limit, bytes,
                     [](std::vector<std::uint8_t>& b, std::size_t n) { b.assign(n, 0); });
}

HostReadError HostFile::ReadAll(std::uintmax_t limit, std::unique_ptr<std::uint8_t[]>& bytes) {
  bytes.reset();
  if (error_ != HostReadError::None) return error_;
  if (info_.size > limit) return HostReadError::TooLarge;
  if (info_.size > std::numeric_limits<std::size_t>::max() / 2) return HostReadError::NoMemory;
  const auto n = static_cast<std::size_t>(info_.size);
  try {
    bytes = std::make_unique_for_overwrite<std::uint8_t[]>(n);
  } catch (const std::bad_alloc&) {
    return HostReadError::NoMemory;
  }
  if (!ReadExactly(fd_, bytes.get(), n)) {
    bytes.reset();
    return HostReadError::ShortRead;
  }
  return HostReadError::None;
}

HostRead ReadHostContents(const fs::path& path, std::uintmax_t limit) {
  HostRead r;
  r.limit = limit;
  HostFile file(path);
  r.error = file.ReadAll(limit, r.bytes);
  r.info = file.info();
  return r;
}

std::optional<std::vector<std::uint8_t>> ReadHostBytes(const fs::path& path, std::uintmax_t limit) {
  HostRead r = ReadHostContents(path, limit);
  if (!r.ok()) return std::nullopt;
  return std::move(r.bytes);
}

std::string DescribeHostReadError(const fs::path& path, HostReadError error, std::uintmax_t limit) {
  std::string reason;
  switch (error) {
    case HostReadError::None:
      return {};
    case HostReadError::NotFound:
      reason = msg::kHostNotFound;
      break;
    case HostReadError::Directory:
      reason = msg::kHostIsDirectory;
      break;
    case HostReadError::Fifo:
      reason = msg::kHostIsFifo;
      break;
    case HostReadError::Device:
      reason = msg::kHostIsDevice;
      break;
    case HostReadError::Socket:
      reason = msg::kHostIsSocket;
      break;
    case HostReadError::OtherKind:
      reason = msg::kHostIsOtherKind;
      break;
    case HostReadError::TooLarge: {
      char text[96];
      std::snprintf(text, sizeof text, std::string(msg::kHostLargerThan).c_str(), limit);
      reason = text;
      break;
    }
    case HostReadError::CannotOpen:
      reason = msg::kHostCannotOpen;
      break;
    case HostReadError::ShortRead:
      reason = msg::kHostShortRead;
      break;
    case HostReadError::NoMemory:
      reason = msg::kHostNoMemory;
      break;
  }
  return path.string() + ": " + reason;
}

}  // namespace quarnel
