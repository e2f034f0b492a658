// Whole-file reads and atomic writes of host files. Every host file the program reads whole goes
// through HostFile: only regular files are opened, and none larger than its reader allows.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/ascii.h"  // UpperExtension, for the callers that take it from here
#include "core/bytes.h"
#include "core/zero_blocks.h"

namespace quarnel {

// What a write does with a target that is a symbolic link.
enum class LinkPolicy {
  Follow,   // write the file the link names (a disk image the user opened through a link)
  Replace,  // replace the link itself by the new file (extracted and converted files)
};

// Writes `bytes` to a temporary file beside `target` and renames it over `target`, so a failure
// leaves the old file whole. False on any failure (the temporary file is removed).
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes,
                         LinkPolicy links = LinkPolicy::Follow);

// Why a host file was not read.
enum class HostReadError {
  None,
  NotFound,    // no such file
  Directory,   // the path is no regular file: a directory,
  Fifo,        //   a FIFO,
  Device,      //   a character or block device,
  Socket,      //   a socket,
  OtherKind,   //   or something else
  TooLarge,    // more bytes than the reader takes
  CannotOpen,  // it exists but cannot be opened (permissions, ...)
  ShortRead,   // a read failed
  NoMemory,    // its bytes could not be allocated
};

// True for the errors that say what the path is instead of a regular file.
bool IsOtherKind(HostReadError e);

// What the system says about a host file (after the open, from the descriptor).
struct HostFileInfo {
  std::uintmax_t size = 0;  // 0 for anything but a regular file
  std::uint32_t mode = 0;   // st_mode: kind and permission bits
  std::time_t modified = 0;
};

// A host file opened for reading. The path is looked at before it is opened, and anything but a
// regular file is refused then, so that a FIFO or a device is never opened; the open itself does
// not wait (a FIFO put in its place meanwhile is refused by a second look at the descriptor).
class HostFile {
 public:
  explicit HostFile(const std::filesystem::path& path);
  ~HostFile();
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;

  // None when the file is open for reading.
  HostReadError error() const { return error_; }
  // Valid when the path exists, even when it could not be opened.
  const HostFileInfo& info() const { return info_; }

  // Reads the file to its end into `bytes`, unless it holds more than `limit` bytes (TooLarge:
  // nothing is allocated for a file whose size says so, and no more than `limit` + 1 bytes are
  // read from one that grows or gives no size, as files of /proc do). The error of the open, if
  // there was one.
  HostReadError ReadAll(std::uintmax_t limit, std::vector<std::uint8_t>& bytes);
  // The same into bytes that are not cleared before the read fills them. `holes`, when given,
  // gets the blocks the file keeps as holes (its bytes there are zeros).
  HostReadError ReadAll(std::uintmax_t limit, ImageBytes& bytes, ZeroBlocks* holes = nullptr);

 private:
  int fd_ = -1;
  HostReadError error_ = HostReadError::None;
  HostFileInfo info_;
};

// A whole host file and how reading it went.
struct HostRead {
  std::vector<std::uint8_t> bytes;
  HostFileInfo info;
  HostReadError error = HostReadError::None;
  std::uintmax_t limit = 0;  // the bound it was read against
  bool ok() const { return error == HostReadError::None; }
};

// Reads the standard input to its end as HostFile::ReadAll reads a file.
HostReadError ReadStandardInput(std::uintmax_t limit, std::vector<std::uint8_t>& bytes);

// Opens and reads `path` whole when it is a regular file of at most `limit` bytes.
HostRead ReadHostContents(const std::filesystem::path& path, std::uintmax_t limit);

// The same, the bytes or nullopt.
std::optional<std::vector<std::uint8_t>> ReadHostBytes(const std::filesystem::path& path,
                                                       std::uintmax_t limit = UINTMAX_MAX);

// The reason a read failed, as a line after the path: "disk.dsk: is a FIFO",
// "big.xsa: is larger than 20971520 bytes". Empty for None.
std::string DescribeHostReadError(const std::filesystem::path& path, HostReadError error,
                                  std::uintmax_t limit);
inline std::string DescribeHostReadError(const std::filesystem::path& path, const HostRead& read) {
  return DescribeHostReadError(path, read.error, read.limit);
}

}  // namespace quarnel
