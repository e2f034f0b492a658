// quarnel-cli rm IMAGE PATH... [-r]: deletes files and empty directories (with -r directories
// with everything in them); the image is saved in place when every one was deleted.
#include <iostream>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "core/delete_entry.h"

namespace quarnel::cli {

void RegisterRm(CommandLine& commands) {
  struct Args {
    std::vector<std::string> paths;
    bool recursive = false;
  };
  AddImageCommand<Args>(
      commands, "rm", "Delete files and directories of a disk image", kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.paths, "Files or directories inside the image")->required();
        cmd.add_flag("-r,--recursive", args.recursive,
                     "Delete directories with everything in them (otherwise only empty ones)");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        for (const auto& p : args.paths) {
          auto found = EntryArg(ws, p, true);
          if (!found) return ImageChange::Failed;
          const FileEntry& entry = *found->entry;
          const DeleteOutcome out = args.recursive ? DeleteTree(ws.image, found->listing, entry)
                                                   : DeleteEntry(ws.image, found->listing, entry);
          if (out.status != DeleteStatus::Deleted) {
            std::cerr << (out.message.empty() ? std::string(kCannotChange) + p : out.message)
                      << "\n";
            return ImageChange::Failed;
          }
        }
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
