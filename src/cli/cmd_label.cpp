// quarnel-cli label IMAGE [TEXT]: shows the volume name, or sets it (an empty TEXT removes it).
#include <memory>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_change.h"
#include "core/rename.h"

namespace quarnel::cli {

void RegisterLabel(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("label", "Show or set the volume name of a disk image");
  struct Args {
    std::string image;
    std::optional<std::string> text;
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IMAGE", args.image, "Disk image (.dsk)")->required();
  cmd->add_option("TEXT", args.text, "New volume name, at most 11 characters");
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    Workspace ws;
    if (!OpenImageArg(ws, args.image, ui)) return;
    if (!args.text) {
      std::cout << ShownName(VolumeNameOf(ws)) << "\n";
      exitCode = 0;
      return;
    }
    const std::string text = MsxNameArg(*args.text);
    if (text.size() > kVolumeNameLength) {
      std::cerr << kVolumeTooLong << *args.text << "\n";
      return;
    }
    // An empty TEXT removes the volume name.
    VolumeStatus s = SetVolumeName(ws, text, ui, SystemClock());
    if (s == VolumeStatus::DirectoryFull || s == VolumeStatus::LeadingBlank) return;
    if (s == VolumeStatus::Unchanged || SaveInPlace(ws, ui)) exitCode = 0;
  });
}

}  // namespace quarnel::cli
