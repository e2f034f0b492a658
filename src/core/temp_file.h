// The temporary file a host write fills before it is renamed over its target.
//
// Where the file system allows it the file has no name while it is written (O_TMPFILE): a
// program killed half-way leaves nothing behind. It is given its name ".TARGET.tmpNNN" only when
// its bytes are whole and flushed, just before the rename. Elsewhere it is made under that name at
// once. Either way the writer holds an flock() on it for its whole life, so that a later write of
// the same target can tell a temporary file some killed program left (nobody holds it) from one
// being written now, and removes the first kind before it makes its own.
#pragma once

#include <filesystem>
#include <string>

namespace quarnel {

class TempFile {
 public:
  // Removes what killed writers of `target` left, then opens a new file in its folder for writing
  // (mode 0644 before the umask), without a name when `unnamed` and the file system allows it.
  // ok() tells whether that worked.
  explicit TempFile(const std::filesystem::path& target, bool unnamed = true);
  // Removes the file unless it was renamed (Renamed()).
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

  // Gives the file its name beside the target (a file made with a name has it already); false
  // when it cannot be linked. The name is path().
  bool Name();
  const std::filesystem::path& path() const { return path_; }

  // The file was renamed over the target: nothing is left to remove.
  void Renamed() { named_ = false; }

 private:
  bool OpenNamed();
  bool LinkUnnamed();

  std::filesystem::path target_;
  std::filesystem::path path_;
  int fd_ = -1;
  bool named_ = false;  // a name of ours is in the folder
};

// The prefix of every temporary file of `target` (".NAME.tmp").
std::string TempFilePrefix(const std::filesystem::path& target);

}  // namespace quarnel
