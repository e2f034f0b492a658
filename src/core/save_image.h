// Writing the image (and any other user's file) to the host: a temporary file beside the target
// that is renamed over it, so a failure half-way leaves the old file whole.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/bytes.h"
#include "core/host_file.h"
#include "core/outcome.h"

namespace quarnel {

class Workspace;

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

// Writes `bytes` to a new temporary file in the target's folder, flushes it and renames it over
// `target`. A target that is a symbolic link is followed to the file it names (Follow: saving an
// image opened through a link) or replaced itself (Replace: the file it names is never touched).
// An existing target file keeps its permissions. False on any failure; the temporary file is then
// removed and the target is as it was.
bool WriteAtomically(const std::filesystem::path& target, Bytes bytes, FileIo& io,
                     LinkPolicy links = LinkPolicy::Follow);

// Writes `bytes` as `target`. When nothing of that name exists the file is made under its own name
// (created exclusively, so nothing that appears meanwhile is written over), flushed, and removed
// again when any step fails: a failure never leaves part of the bytes under the name. Otherwise
// as WriteAtomically: a temporary file renamed over what is there.
bool WriteNewOrReplace(const std::filesystem::path& target, Bytes bytes, FileIo& io,
                       LinkPolicy links = LinkPolicy::Follow);

enum class SaveStatus {
  Saved,
  NothingLoaded,  // no image: nothing to write
  Cancelled,      // no path was given (the save dialog was cancelled)
  ReadOnly,       // "Read only file!\nCan not be saved"
  CannotSave,     // "Cannot save file"
};

using SaveOutcome = Outcome<SaveStatus>;

// Writes the image (its `size` bytes) to `path` and marks it saved. A read-only target loses
// its read-only attribute first; one that stays read-only is refused.
SaveOutcome SaveImageFile(Workspace& ws, const std::filesystem::path& path,
                          FileIo& io = DefaultFileIo());

// Save: the whole image to its own path.
SaveOutcome Save(Workspace& ws);
// Save As: the whole image to `path`, the path the front end's dialog gave (empty: Cancelled);
// imagePath stays.
SaveOutcome SaveAs(Workspace& ws, const std::filesystem::path& path);

}  // namespace quarnel
