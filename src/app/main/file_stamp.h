// What the desktop program remembers of the image's file when it reads or writes it, to notice
// before a save that someone else has written the file meanwhile. No lock is held while the
// window is idle: the file stays free for other programs, and a save that would drop their
// change asks first.
#pragma once

#include <cstdint>
#include <filesystem>

namespace quarnel {

struct FileStamp {
  bool exists = false;
  std::uint64_t device = 0, inode = 0;
  std::uint64_t size = 0;
  std::int64_t seconds = 0, nanoseconds = 0;  // last modification

  // The file `path` names now (a link followed); exists is false when there is none.
  static FileStamp Of(const std::filesystem::path& path);
  bool operator==(const FileStamp&) const = default;
};

}  // namespace quarnel
