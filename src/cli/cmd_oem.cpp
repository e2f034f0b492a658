// quarnel-cli oem IMAGE [TEXT]: shows the OEM signature of the boot sector, or sets it (shorter
// texts are padded with 0x00 bytes).
#include <string>
#include <string_view>

#include "cli/field_command.h"
#include "cli/image_arg.h"
#include "core/boot_sector.h"
#include "core/rename.h"

namespace quarnel::cli {

namespace {

std::string ShownOem(const Workspace& ws) {
  std::string oem = OemSignatureOf(ws.image);
  while (!oem.empty() && oem.back() == '\0') oem.pop_back();
  return ShownName(oem);
}

constexpr ImageField kOemSignature{
    .command = "oem",
    .description = "Show or set the OEM signature of a disk image",
    .textHelp = "New OEM signature, at most 8 characters",
    .tooLong = kOemTooLong,
    .invalid = kInvalidOem,
    .length = kBootOemLength,
    .show = ShownOem,
    .bytes = OemSignatureFromText,
    .set =
        [](Workspace& ws, const std::string& oem) {
          return SetOemSignature(ws.image, oem) ? ImageChange::Changed : ImageChange::Failed;
        },
};

}  // namespace

void RegisterOem(CommandLine& commands) { AddFieldCommand(commands, kOemSignature); }

}  // namespace quarnel::cli
