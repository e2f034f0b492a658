// quarnel-cli oem IMAGE [TEXT]: shows the OEM signature of the boot sector, or sets it (shorter
// texts are padded with 0x00 bytes).
#include <memory>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_change.h"
#include "core/boot_sector.h"
#include "core/rename.h"

namespace quarnel::cli {

void RegisterOem(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("oem", "Show or set the OEM signature of a disk image");
  struct Args {
    std::string image;
    std::optional<std::string> text;
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IMAGE", args.image, "Disk image (.dsk)")->required();
  cmd->add_option("TEXT", args.text, "New OEM signature, at most 8 characters");
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    Workspace ws;
    if (!OpenImageArg(ws, args.image, ui)) return;
    if (!args.text) {
      std::string oem = ws.oemField;
      while (!oem.empty() && oem.back() == '\0') oem.pop_back();
      std::cout << oem << "\n";
      exitCode = 0;
      return;
    }
    if (args.text->size() > kBootOemLength) {
      std::cerr << kOemTooLong << *args.text << "\n";
      return;
    }
    if (SetOemSignature(ws, *args.text) && SaveInPlace(ws, ui)) exitCode = 0;
  });
}

}  // namespace quarnel::cli
