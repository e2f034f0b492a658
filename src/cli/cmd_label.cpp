// quarnel-cli label IMAGE [TEXT]: shows the volume name, or sets it (an empty TEXT removes it).
#include <iostream>
#include <string>
#include <string_view>

#include "cli/field_command.h"
#include "cli/image_arg.h"
#include "core/rename.h"

namespace quarnel::cli {

namespace {

ImageChange SetVolume(Workspace& ws, const std::string& name) {
  const VolumeOutcome out = SetVolumeName(ws.image, name, SystemClock());
  switch (out.status) {
    case VolumeStatus::DirectoryFull:
    case VolumeStatus::LeadingBlank:
      std::cerr << out.message << "\n";
      return ImageChange::Failed;
    case VolumeStatus::Unchanged:
      return ImageChange::Unchanged;
    case VolumeStatus::Written:
    case VolumeStatus::Created:
    case VolumeStatus::Cleared:
      break;
  }
  return ImageChange::Changed;
}

constexpr ImageField kVolumeName{
    .command = "label",
    .description = "Show or set the volume name of a disk image",
    .textHelp = "New volume name, at most 11 characters",
    .tooLong = kVolumeTooLong,
    .invalid = kInvalidVolumeName,
    .length = kVolumeNameLength,
    .show = [](const Workspace& ws) { return ShownName(VolumeNameOf(ws.image)); },
    // Typed as the MSX shows it ("ã" is 0xB1); an empty name removes the volume entry.
    .bytes = VolumeNameFromText,
    .set = SetVolume,
};

}  // namespace

void RegisterLabel(CommandLine& commands) { AddFieldCommand(commands, kVolumeName); }

}  // namespace quarnel::cli
