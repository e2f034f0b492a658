#include "app/main/file_stamp.h"

#include <sys/stat.h>

namespace quarnel {

FileStamp FileStamp::Of(const std::filesystem::path& path) {
  struct stat st {};
  FileStamp s;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return s;
  s.exists = true;
  s.device = static_cast<std::uint64_t>(st.st_dev);
  s.inode = static_cast<std::uint64_t>(st.st_ino);
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.seconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  s.nanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return s;
}

}  // namespace quarnel
