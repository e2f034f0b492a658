#include "core/save_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "core/disk_image.h"
#include "core/messages.h"
#include "core/temp_file.h"
#include "core/workspace.h"

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

namespace {

// Writes all of `bytes` to `fd` and flushes them; false on any failure.
bool WriteAllAndSync(int fd, Bytes bytes, FileIo& io) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    long n = io.Write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
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

bool WriteAtomically(const fs::path& targetIn, Bytes bytes, FileIo& io, LinkPolicy links) {
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
    if (!WriteAllAndSync(temp.fd(), bytes, io)) return false;
    if (keepPerms) ::fchmod(temp.fd(), static_cast<mode_t>(st.permissions()));
    if (!temp.Name()) continue;  // an unnamed file that cannot be linked: write a named one
    if (!io.Rename(temp.path(), target)) return false;
    temp.Renamed();
    return true;
  }
  return false;
}

namespace {

bool OwnerWritable(const fs::path& p) {
  std::error_code ec;
  return (fs::status(p, ec).permissions() & fs::perms::owner_write) != fs::perms::none;
}

}  // namespace

SaveOutcome SaveImageFile(Workspace& ws, const fs::path& path, FileIo& io) {
  const DiskImage& image = ws.image;
  if (image.bytes.empty()) return SaveStatus::NothingLoaded;
  std::error_code ec;
  if (fs::exists(path, ec) && !OwnerWritable(path)) {
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, ec);
    if (!OwnerWritable(path)) return {SaveStatus::ReadOnly, std::string(msg::kReadOnlyFile)};
  }
  const std::size_t n = static_cast<std::size_t>(
      std::clamp<std::int64_t>(image.size, 0, static_cast<std::int64_t>(image.bytes.size())));
  if (!WriteAtomically(path, Bytes(image.bytes.data(), n), io))
    return {SaveStatus::CannotSave, std::string(msg::kCannotSave)};
  ws.MarkSaved();
  return SaveStatus::Saved;
}

SaveOutcome Save(Workspace& ws) {
  if (ws.imagePath.empty() || ws.image.bytes.empty()) return SaveStatus::NothingLoaded;
  return SaveImageFile(ws, ws.imagePath);
}

SaveOutcome SaveAs(Workspace& ws, const fs::path& path) {
  if (ws.imagePath.empty() || ws.image.bytes.empty()) return SaveStatus::NothingLoaded;
  if (path.empty()) return SaveStatus::Cancelled;
  return SaveImageFile(ws, path);
}

}  // namespace quarnel
