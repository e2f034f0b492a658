// Shared by the commands that change a disk image: they save it in place (atomically) when the
// whole change succeeded, and leave the file untouched otherwise.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_ui.h"
#include "cli/messages.h"
#include "core/image_lock.h"
#include "core/new_image.h"
#include "core/workspace.h"

namespace quarnel::cli {

// What the work of a command that may change the image came to.
enum class ImageChange {
  Failed,     // the reason is on stderr; the file stays as it was
  Unchanged,  // nothing to save: the command showed a field, or set it to what it was
  Changed,    // the image is saved in place
};

// Holds the image file at `path` for a change, from before it is loaded until the lock goes
// away after the save. Another program changing it is waited for briefly; nullptr ("IMAGE is
// being changed by another program" on stderr) when it does not finish in that time. Nothing to
// hold (no such file, or a file that cannot be locked) is no reason to refuse here: the load says
// what is wrong, or the change goes ahead as it did without a lock.
std::unique_ptr<ImageLock> HoldImageForChange(const std::string& path);

// Saves the image over its own file. False (the reason on stderr) when that fails, and when the
// file is read-only: a command never makes a read-only image writable.
bool SaveInPlace(Workspace& ws, CliUi& ui);

// The exit code of a command that came to `change`: a changed image is saved in place, and the
// command fails when that save fails.
int FinishChange(ImageChange change, Workspace& ws, CliUi& ui);

// The volume id of a new MSX-DOS 2 image, from the host's random source; nullopt (a DOS 1 boot
// sector) unless `dos2`.
std::optional<VolumeId> Dos2VolumeId(bool dos2);

}  // namespace quarnel::cli
