#include "core/host_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>

namespace quarnel {

namespace fs = std::filesystem;

bool WriteFileAtomically(const fs::path& target, std::span<const std::uint8_t> bytes) {
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::random_device rd;
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 20 && fd < 0; ++attempt) {
    temp = dir / ("." + target.filename().string() + ".tmp" + std::to_string(rd()));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  std::size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (ok && ::fsync(fd) != 0) ok = false;
  if (::close(fd) != 0) ok = false;
  if (ok) {
    std::error_code ec;
    // Keep the permissions of a file being replaced.
    auto st = fs::status(target, ec);
    if (!ec && fs::exists(st)) fs::permissions(temp, st.permissions(), ec);
    fs::rename(temp, target, ec);
    if (ec) ok = false;
  }
  if (!ok) {
    std::error_code ec;
    fs::remove(temp, ec);
  }
  return ok;
}

}  // namespace quarnel
