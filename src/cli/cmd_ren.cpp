// quarnel-cli ren IMAGE PATH NEWNAME: renames a file or directory inside its own directory.
#include <iostream>
#include <string>

#include "cli/image_command.h"
#include "core/add_file.h"
#include "core/messages.h"
#include "core/rename.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string path, newName;
};

ImageChange Rename(Workspace& ws, CliUi&, const Args& args) {
  auto found = EntryArg(ws, args.path, true);
  if (!found) return ImageChange::Failed;
  const std::string newName = MsxNameArg(args.newName);
  const RenameOutcome out = RenameEntry(ws.image, found->listing, *found->entry, newName);
  switch (out.status) {
    case RenameStatus::Renamed:
      return ImageChange::Changed;
    case RenameStatus::Invalid:
      std::cerr << kInvalidMsxName << args.newName << " ("
                << DescribeNameProblem(CheckMsxName(newName)) << ")\n";
      break;
    case RenameStatus::Duplicate:
      std::cerr << msg::kNameExists << args.newName << "\n";
      break;
    case RenameStatus::DotEntry:
      std::cerr << msg::kDotEntryKept << "\n";
      break;
    case RenameStatus::NeedsCheck:
      std::cerr << out.message << "\n";
      break;
    case RenameStatus::NoImage:
      std::cerr << kCannotChange << args.path << "\n";
      break;
  }
  return ImageChange::Failed;
}

}  // namespace

void RegisterRen(CommandLine& commands) {
  AddImageCommand<Args>(
      commands, "ren", "Rename a file or directory of a disk image", kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.path, "File or directory inside the image")->required();
        cmd.add_option("NEWNAME", args.newName, "New MSX name (8.3)")->required();
      },
      Rename);
}

}  // namespace quarnel::cli
