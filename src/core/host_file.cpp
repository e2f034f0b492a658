#include "core/host_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>

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

// True when bytes.resize(n) of a new, empty buffer gives zeros.
template <class Buffer>
bool NewBytesAreZero(std::size_t n) {
  if constexpr (std::is_same_v<Buffer, ImageBytes>)
    return ImageMemoryStartsZeroed(n);
  else
    return true;  // std::vector clears what resize adds
}

// Reads bytes [from, to) of `fd` into `out` at the same offsets. The offset reached: `to`, less
// when the file ended first; -1 on an error.
off_t ReadRange(int fd, std::uint8_t* out, off_t from, off_t to) {
  PopulateBuffer(out + from, static_cast<std::size_t>(to - from));
  for (off_t at = from; at < to;) {
    const ssize_t got = ::pread(fd, out + at, static_cast<std::size_t>(to - at), at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got < 0 ? -1 : at;
    at += got;
  }
  return to;
}

// ReadRange into memory whose pages start as zeros and are mapped when first written: a block of
// zeros is not copied, so its page is never mapped, and `holes` (when given) notes it. The bytes
// pass through a small buffer while blocks of zeros turn up; a step that finds none reads the
// next one straight into place (a full disk is copied once, as ReadRange copies it), still
// noting its blocks of zeros. An image copied without its holes reads as cheaply as one with.
off_t ReadRangeSkippingZeros(int fd, std::uint8_t* out, off_t from, off_t to, ZeroBlocks* holes) {
  constexpr auto kBlock = static_cast<off_t>(ZeroBlocks::kBlock);
  constexpr off_t kDirectStep = 32 * kBlock;
  std::uint8_t step[8 * ZeroBlocks::kBlock];
  bool direct = false;
  for (off_t at = from; at < to;) {
    std::uint8_t* into = direct ? out + at : step;
    const auto want =
        static_cast<std::size_t>(std::min<off_t>(direct ? kDirectStep : sizeof step, to - at));
    if (direct) PopulateBuffer(into, want);
    const ssize_t got = ::pread(fd, into, want, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return got < 0 ? -1 : at;
    bool zeros = false;
    for (off_t p = at; p < at + got;) {
      const off_t end = std::min(at + got, (p / kBlock + 1) * kBlock);
      const std::uint8_t* piece = into + (p - at);
      if (end - p == kBlock && ZeroBlocks::IsZero(piece)) {
        zeros = true;
        if (holes) holes->MarkZero(static_cast<std::uint64_t>(p), static_cast<std::uint64_t>(end));
      } else if (!direct) {
        std::memcpy(out + p, piece, static_cast<std::size_t>(end - p));
      }
      p = end;
    }
    direct = !zeros;
    at += got;
  }
  return to;
}

// Fills `bytes` (sized to regular file `fd`, its new bytes zero when `zeroed`) with the file's
// first bytes.size() bytes, reading only the ranges that hold data: a hole of a sparse file reads
// as zeros, which the buffer holds already or gets here, and is noted in `holes` (when given).
// A new image is mostly holes, and reading them would make the system fill and copy a page for
// each. `untouched`: the buffer's pages are mapped when first written (ReadRangeSkippingZeros).
// The count of bytes filled (less when the file has shrunk), the position left after them;
// nullopt where the system cannot tell the holes, the position then at the start for a plain
// read. -1 on a failed read.
template <class Buffer>
std::optional<long long> ReadDataRanges(int fd, Buffer& bytes, bool zeroed, bool untouched,
                                        ZeroBlocks* holes) {
  const auto size = static_cast<off_t>(bytes.size());
  off_t pos = 0;
  while (pos < size) {
    off_t data = ::lseek(fd, pos, SEEK_DATA);
    if (data < 0 && errno != ENXIO) {  // no holes known here (ENXIO: nothing but holes is left)
      if (holes) holes->ForgetAll();
      if (::lseek(fd, 0, SEEK_SET) != 0) return -1;
      return std::nullopt;
    }
    data = data < 0 ? size : std::min(data, size);
    if (!zeroed) std::fill(bytes.data() + pos, bytes.data() + data, std::uint8_t{0});
    if (holes) holes->MarkZero(static_cast<std::uint64_t>(pos), static_cast<std::uint64_t>(data));
    if (data == size) break;
    off_t hole = ::lseek(fd, data, SEEK_HOLE);
    hole = hole < 0 ? size : std::min(hole, size);
    const off_t reached = untouched ? ReadRangeSkippingZeros(fd, bytes.data(), data, hole, holes)
                                    : ReadRange(fd, bytes.data(), data, hole);
    if (reached < 0) return -1;
    if (reached < hole)  // shrunk since its size was taken
      return ::lseek(fd, reached, SEEK_SET) == reached ? std::optional<long long>(reached) : -1;
    pos = hole;
  }
  // A file that shrank while its holes were asked for is as long as it now is.
  const off_t now = ::lseek(fd, 0, SEEK_END);
  const off_t filled = now < 0 ? size : std::min(now, size);
  if (::lseek(fd, filled, SEEK_SET) != filled) return -1;
  return filled;
}

// Reads `fd` to its end into `bytes` (new bytes cleared or not, as the buffer's allocator does
// it), taking at most `limit` + 1 bytes: more than `limit` is TooLarge. `sizeHint` (the size the
// system gives for a regular file, 0 where it gives none) sizes the buffer, so such a file is read
// in one go, its holes skipped; a file that shrank or grew since is read as it now is. Throws what
// allocation throws.
template <class Buffer>
HostReadError ReadInto(int fd, std::uintmax_t limit, std::uintmax_t sizeHint, Buffer& bytes,
                       ZeroBlocks* holes) {
  if (sizeHint > limit) return HostReadError::TooLarge;
  const std::uintmax_t most = limit == UINTMAX_MAX ? limit : limit + 1;
  std::size_t used = 0;
  Buffer().swap(bytes);  // new memory: large blocks start as zeros
  if (sizeHint > 0) {
    const auto size = static_cast<std::size_t>(sizeHint);
    bytes.resize(size);
    const bool zeroed = NewBytesAreZero<Buffer>(size);
    const bool untouched = zeroed && std::is_same_v<Buffer, ImageBytes>;
    const std::optional<long long> filled = ReadDataRanges(fd, bytes, zeroed, untouched, holes);
    if (filled && *filled < 0) return HostReadError::ShortRead;
    if (filled)
      used = static_cast<std::size_t>(*filled);
    else
      PopulateBuffer(bytes.data(), bytes.size());       // read plainly below
    if (holes) holes->Forget(used, UINT64_MAX - used);  // what follows is read below
  } else {
    bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(kReadChunk, most)));
  }
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
HostReadError ReadToEnd(int fd, std::uintmax_t limit, std::uintmax_t sizeHint, Buffer& bytes,
                        ZeroBlocks* holes) {
  HostReadError e = HostReadError::NoMemory;
  if (holes) holes->ForgetAll();
  try {
    e = ReadInto(fd, limit, sizeHint, bytes, holes);
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  if (e != HostReadError::None) {
    bytes.clear();
    if (holes) holes->ForgetAll();
  }
  return e;
}

}  // namespace

HostReadError HostFile::ReadAll(std::uintmax_t limit, ImageBytes& bytes, ZeroBlocks* holes) {
  if (error_ != HostReadError::None) return error_;
  return ReadToEnd(fd_, limit, info_.size, bytes, holes);
}

HostReadError HostFile::ReadAll(std::uintmax_t limit, std::vector<std::uint8_t>& bytes) {
  if (error_ != HostReadError::None) return error_;
  return ReadToEnd(fd_, limit, info_.size, bytes, nullptr);
}

HostReadError ReadStandardInput(std::uintmax_t limit, std::vector<std::uint8_t>& bytes) {
  return ReadToEnd(STDIN_FILENO, limit, 0, bytes, nullptr);
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
