// Saving the image to its own path or another one, through the atomic writer (atomic_write.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/atomic_write.h"
#include "core/outcome.h"

namespace quarnel {

class Workspace;

enum class SaveStatus {
  Saved,
  NothingLoaded,  // no image: nothing to write
  Cancelled,      // no path was given (the save dialog was cancelled)
  ReadOnly,       // "Read only file!\nCan not be saved"
  CannotSave,     // "Cannot save file"
};

using SaveOutcome = Outcome<SaveStatus>;

// Writes the image to `path` and marks it saved: a floppy whole (atomically), a volume read in
// place only in place (save_in_place.h), never to another path. A read-only target loses
// its read-only attribute first; one that stays read-only is refused.
SaveOutcome SaveImageFile(Workspace& ws, const std::filesystem::path& path,
                          FileIo& io = DefaultFileIo());

// Save: the whole image to its own path.
SaveOutcome Save(Workspace& ws);
// Save As: the whole image to `path`, the path the front end's dialog gave (empty: Cancelled);
// imagePath stays.
SaveOutcome SaveAs(Workspace& ws, const std::filesystem::path& path);

}  // namespace quarnel
