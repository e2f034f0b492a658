// Saving the image to its own path or another one, through the atomic writer (atomic_write.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "core/atomic_write.h"
#include "core/ui.h"

namespace quarnel {

class Workspace;

// A save dialog a front end shows before a core call that writes: its title and the path it
// proposes. The path chosen is passed to the call.
struct SavePrompt {
  std::string title;
  std::string proposed;
};

enum class SaveStatus {
  Saved,
  NothingLoaded,  // no image: nothing to write
  Cancelled,      // no path was given (the save dialog was cancelled)
  ReadOnly,       // "Read only file!\nCan not be saved"
  CannotSave,     // "Cannot save file"
};

// Writes the image (its `size` bytes) to `path` and clears `changed`. A read-only target loses
// its read-only attribute first; one that stays read-only is refused.
SaveStatus SaveImageFile(Workspace& ws, const std::filesystem::path& path, Ui& ui,
                         FileIo& io = DefaultFileIo());

// Save: the whole image to its own path.
SaveStatus Save(Workspace& ws, Ui& ui);
// The Save As dialog: "Saving DiskImage", proposing the image's path.
SavePrompt SaveAsPrompt(const Workspace& ws);
// Save As: the whole image to `path`, the answer to SaveAsPrompt (empty: Cancelled); imagePath
// stays.
SaveStatus SaveAs(Workspace& ws, const std::filesystem::path& path, Ui& ui);

}  // namespace quarnel
