#include "core/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/temp_file.h"

namespace quarnel {

namespace fs = std::filesystem;

long FileIo::Write(int fd, const std::uint8_t* data, std::size_t n) {
  return static_cast<long>(::write(fd, data, n));
}

bool FileIo::Sync(int fd) { return ::fsync(fd) == 0; }

bool FileIo::Rename(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

FileIo& DefaultFileIo() {
  static FileIo io;  // stateless: only the system calls
  return io;
}

bool BatchFileIo::Rename(const fs::path& from, const fs::path& to) {
  replaced_ = true;
  return FileIo::Rename(from, to);
}

void BatchFileIo::Finish(const fs::path& dir) {
  if (!replaced_) return;
  if (const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
    ::syncfs(fd);
    ::close(fd);
  }
}

namespace {

constexpr std::size_t kHoleBlock = ZeroBlocks::kBlock;

// Writes bytes [from, to) of `bytes` at the descriptor's position; false on any failure.
bool WriteRun(int fd, Bytes bytes, std::size_t from, std::size_t to, FileIo& io) {
  while (from < to) {
    long n = io.Write(fd, bytes.data() + from, to - from);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    from += static_cast<std::size_t>(n);
  }
  return true;
}

// Whether the block of `bytes` at `pos` is a whole block of zeros, by `zeros` or by looking.
bool HoleAt(Bytes bytes, std::size_t pos, const ZeroBlocks* zeros) {
  if (bytes.size() - pos < kHoleBlock) return false;
  return (zeros && zeros->Zero(pos / kHoleBlock)) || ZeroBlocks::IsZero(bytes.data() + pos);
}

// Writes all of `bytes` to the new, empty file `fd` and flushes them; false on any failure.
// Whole blocks of zeros are left as holes (the file reads the same): a new disk image is mostly
// zeros, and what is not written need not be flushed.
bool WriteAllAndSync(int fd, Bytes bytes, FileIo& io, const ZeroBlocks* zeros = nullptr) {
  std::size_t run = 0;  // start of the bytes not yet written
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    const std::size_t len = std::min(kHoleBlock, bytes.size() - pos);
    if (HoleAt(bytes, pos, zeros)) {
      if (!WriteRun(fd, bytes, run, pos, io)) return false;
      std::size_t end = pos + len;
      while (end < bytes.size() && HoleAt(bytes, end, zeros)) end += kHoleBlock;
      if (::lseek(fd, static_cast<off_t>(end - pos), SEEK_CUR) < 0) return false;
      pos = run = end;
      continue;
    }
    pos += len;
  }
  if (!WriteRun(fd, bytes, run, bytes.size(), io)) return false;
  if (run == bytes.size() && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return false;
  return io.Sync(fd);
}

}  // namespace

bool WriteNewOrReplace(const fs::path& target, Bytes bytes, FileIo& io, LinkPolicy links) {
  // O_EXCL: a name already taken (a link too, dangling or not) goes the atomic way.
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    if (errno == EEXIST) return WriteAtomically(target, bytes, io, links);
    return false;
  }
  bool ok = WriteAllAndSync(fd, bytes, io);
  if (::close(fd) != 0) ok = false;
  if (!ok) ::unlink(target.c_str());
  return ok;
}

bool WriteAtomically(const fs::path& targetIn, Bytes bytes, FileIo& io, LinkPolicy links,
                     const ZeroBlocks* zeros) {
  std::error_code ec;
  fs::path target = targetIn;
  if (links == LinkPolicy::Follow && fs::is_symlink(target, ec)) {
    fs::path resolved = fs::canonical(target, ec);
    if (ec) return false;
    target = resolved;
  }
  // A link being replaced lends no permissions: its own are meaningless, its target's are not
  // ours to copy.
  const auto st = fs::symlink_status(target, ec);
  const bool keepPerms = !ec && fs::is_regular_file(st);
  for (const bool unnamed : {true, false}) {
    TempFile temp(target, unnamed);
    if (!temp.ok()) return false;
    if (!WriteAllAndSync(temp.fd(), bytes, io, zeros)) return false;
    if (keepPerms) ::fchmod(temp.fd(), static_cast<mode_t>(st.permissions()));
    if (!temp.Name()) continue;  // an unnamed file that cannot be linked: write a named one
    if (!io.Rename(temp.path(), target)) return false;
    temp.Renamed();
    return true;
  }
  return false;
}

}  // namespace quarnel
