#include "core/host_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <new>

#include "core/atomic_write.h"
#include "core/message_text.h"
#include "core/messages.h"

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

// Bytes read at a time where the size is not known beforehand (a pipe, a file of /proc).
constexpr std::size_t kReadChunk = 64 * 1024;

// One read(2) into `to`, again when interrupted: the count, 0 at the end, -1 on an error.
ssize_t ReadSome(int fd, std::uint8_t* to, std::size_t n) {
  for (;;) {
    const ssize_t got = ::read(fd, to, n);
    if (got >= 0 || errno != EINTR) return got;
  }
}

// Maps the pages of a large new buffer in one call before a read fills them: otherwise the read
// takes one page fault per 4 KB page (180 for a 720 KB image), which costs more than the copy.
void PopulateBuffer(std::uint8_t* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  constexpr std::size_t kWorthIt = 64 * 1024;
  if (size < kWorthIt) return;
  const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto from = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const auto to = (reinterpret_cast<std::uintptr_t>(data) + size) & ~(page - 1);
  if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)size;
#endif
}

// Reads `fd` to its end into `bytes` (new bytes cleared or not, as the buffer's allocator does
// it), taking at most `limit` + 1 bytes: more than `limit` is TooLarge. `sizeHint` (the size the
// system gives, 0 where it gives none) sizes the buffer, so a regular file is read in one go; a
// file that shrank or grew since is read as it now is. Throws what allocation throws.
template <class Buffer>
HostReadError ReadInto(int fd, std::uintmax_t limit, std::uintmax_t sizeHint, Buffer& bytes) {
  if (sizeHint > limit) return HostReadError::TooLarge;
  const std::uintmax_t most = limit == UINTMAX_MAX ? limit : limit + 1;
  bytes.resize(static_cast<std::size_t>(sizeHint > 0 ? sizeHint
                                                     : std::min<std::uintmax_t>(kReadChunk, most)));
  PopulateBuffer(bytes.data(), bytes.size());
  std::size_t used = 0;
  for (;;) {
    // A full buffer reads a little on the side first: the end of the file needs no more room.
    std::uint8_t probe[4096];
    const bool full = used == bytes.size();
    std::uint8_t* to = full ? probe : bytes.data() + used;
    const auto room = static_cast<std::size_t>(
        full ? std::min<std::uintmax_t>(sizeof probe, most - used) : bytes.size() - used);
    const ssize_t got = ReadSome(fd, to, room);
    if (got < 0) return HostReadError::ShortRead;
    if (got == 0) break;
    const auto n = static_cast<std::size_t>(got);
    if (full) {
      const std::uintmax_t grown =
          std::max<std::uintmax_t>(used * std::uintmax_t{2}, used + kReadChunk);
      bytes.resize(static_cast<std::size_t>(std::min(grown, most)));
      std::copy(probe, probe + n, bytes.data() + used);
    }
    used += n;
    if (used > limit) return HostReadError::TooLarge;
  }
  bytes.resize(used);
  return HostReadError::None;
}

// ReadInto; `bytes` are empty unless the read succeeds.
template <class Buffer>
HostReadError ReadToEnd(int fd, std::uintmax_t limit, std::uintmax_t sizeHint, Buffer& bytes) {
  HostReadError e = HostReadError::NoMemory;
  try {
    e = ReadInto(fd, limit, sizeHint, bytes);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  if (e != HostReadError::None) bytes.clear();
  return e;
}

}  // namespace

HostReadError HostFile::ReadAll(std::uintmax_t limit, ImageBytes& bytes) {
  if (error_ != HostReadError::None) return error_;
  return ReadToEnd(fd_, limit, info_.size, bytes);
}

HostReadError HostFile::ReadAll(std::uintmax_t limit, std::vector<std::uint8_t>& bytes) {
  if (error_ != HostReadError::None) return error_;
  return ReadToEnd(fd_, limit, info_.size, bytes);
}

HostReadError ReadStandardInput(std::uintmax_t limit, std::vector<std::uint8_t>& bytes) {
  return ReadToEnd(STDIN_FILENO, limit, 0, bytes);
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
    case HostReadError::TooLarge:
      reason = FillText(msg::kHostLargerThan, {std::to_string(limit)});
      break;
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
