// Writing a user's file to the host: a temporary file beside the target that is renamed over it,
// so a failure half-way leaves the old file whole.
#pragma once

#include <cstdint>
#include <filesystem>

#include "core/bytes.h"
#include "core/host_file.h"
#include "core/zero_blocks.h"

namespace quarnel {

// The system calls a host write goes through. Tests derive from it to make a write fail.
class FileIo {
 public:
  virtual ~FileIo() = default;
  // Writes up to `n` bytes; the number written, or -1 on an error.
  virtual long Write(int fd, const std::uint8_t* data, std::size_t n);
  virtual bool Sync(int fd);
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to);
};

// The plain system calls.
FileIo& DefaultFileIo();

// Host writes of many files in one go (an extraction), as a copy program writes them: no flush
// of each file (each still appears whole or not at all). A file that replaces one already there
// goes through a rename, which is noted; Finish then flushes once, so that what was replaced is
// not lost to a crash. New files hold nothing a crash could lose that writing them again would
// not make anew; they are left to the system to write out.
class BatchFileIo : public FileIo {
 public:
  bool Sync(int) override { return true; }
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  // After the last file: the file system holding folder `dir` is flushed when a file was
  // replaced.
  void Finish(const std::filesystem::path& dir);

 private:
  bool replaced_ = false;
};

// Writes `bytes` to a new temporary file in the target's folder, flushes it and renames it over
// `target`. A target that is a symbolic link is followed to the file it names (Follow: saving an
// image opened through a link) or replaced itself (Replace: the file it names is never touched).
// An existing target file keeps its permissions. False on any failure; the temporary file is then
// removed and the target is as it was.
// Whole blocks of zeros are left as holes (the file reads the same); `zeros` names blocks known
// to be such without looking at them.
bool WriteAtomically(const std::filesystem::path& target, Bytes bytes, FileIo& io,
                     LinkPolicy links = LinkPolicy::Follow, const ZeroBlocks* zeros = nullptr);

// Writes `bytes` as `target`. When nothing of that name exists the file is made under its own name
// (created exclusively, so nothing that appears meanwhile is written over), flushed, and removed
// again when any step fails: a failure never leaves part of the bytes under the name. Otherwise
// as WriteAtomically: a temporary file renamed over what is there.
bool WriteNewOrReplace(const std::filesystem::path& target, Bytes bytes, FileIo& io,
                       LinkPolicy links = LinkPolicy::Follow);

}  // namespace quarnel
