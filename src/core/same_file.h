// Whether two paths name one file of the host. A command that reads one file and writes another
// refuses an output that is its input: the input would be gone before it was read whole, or
// replaced by what was made of it.
#pragma once

#include <sys/stat.h>

#include <filesystem>

namespace quarnel {

// True when both paths exist and name the same file: the same path written two ways, a hard
// link, or a symbolic link to it.
bool SameHostFile(const std::filesystem::path& a, const std::filesystem::path& b);

// The same for what stat() said of two files.
inline bool SameHostFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace quarnel
