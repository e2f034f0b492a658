// quarnel-cli ren IMAGE PATH NEWNAME: renames a file or directory inside its own directory.
#include <memory>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_change.h"
#include "core/add_file.h"
#include "core/messages.h"
#include "core/rename.h"

namespace quarnel::cli {

void RegisterRen(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("ren", "Rename a file or directory of a disk image");
  struct Args {
    std::string image, path, newName;
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IMAGE", args.image, "Disk image (.dsk), changed in place")->required();
  cmd->add_option("PATH", args.path, "File or directory inside the image")->required();
  cmd->add_option("NEWNAME", args.newName, "New MSX name (8.3)")->required();
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    Workspace ws;
    if (!OpenImageArg(ws, args.image, ui)) return;
    EntryLookup found = LookupEntry(ws, MsxNameArg(args.path), ui);
    if (found.result.status != PathStatus::Ok) {
      ReportPathError(found.result, args.path);
      return;
    }
    const std::string newName = MsxNameArg(args.newName);
    std::string refusal;
    switch (RenameEntry(ws, found.row->slot, newName, &refusal)) {
      case RenameStatus::Renamed:
        if (SaveInPlace(ws, ui)) exitCode = 0;
        return;
      case RenameStatus::Invalid:
        std::cerr << kInvalidMsxName << args.newName << " ("
                  << DescribeNameProblem(CheckMsxName(newName)) << ")\n";
        return;
      case RenameStatus::Duplicate:
        std::cerr << msg::kNameExists << args.newName << "\n";
        return;
      case RenameStatus::DotEntry:
        std::cerr << msg::kDotEntryKept << "\n";
        return;
      case RenameStatus::NeedsCheck:
        std::cerr << refusal << "\n";
        return;
      case RenameStatus::NoImage:
      case RenameStatus::NoEntry:
        std::cerr << kCannotChange << args.path << "\n";
        return;
    }
  });
}

}  // namespace quarnel::cli
