// quarnel-cli rm IMAGE PATH... [-r]: deletes files and empty directories (with -r directories
// with everything in them); the image is saved in place when every one was deleted.
#include <iostream>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "core/change_guard.h"
#include "core/delete_entry.h"
#include "core/image_path.h"

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
        // Every path is looked up in listings kept for the run, every deletion checked on one
        // map of the tree (kept up to date when more follow): each directory is read once,
        // however many entries go.
        PathIndex index(ws.image);
        ChangeGuard run(ws.image);
        ChangeGuard* guard = args.paths.size() > 1 ? &run : nullptr;
        for (const auto& p : args.paths) {
          const PathIndex::Found found = index.Resolve(MsxNameArg(p));
          if (found.result.status != PathStatus::Ok) {
            ReportPathError(found.result, p);
            return ImageChange::Failed;
          }
          const FileEntry& entry = *found.entry;
          const DeleteOutcome out = args.recursive
                                        ? DeleteTree(ws.image, *found.listing, entry, guard)
                                        : DeleteEntry(ws.image, *found.listing, entry, guard);
          if (out.status != DeleteStatus::Deleted) {
            std::cerr << (out.message.empty() ? std::string(kCannotChange) + p : out.message)
                      << "\n";
            return ImageChange::Failed;
          }
          // The entry and its long-name pieces, right before it, were marked deleted.
          index.Reread(entry.dir, entry.slot - kMostLongNamePieces, entry.slot);
          if (entry.IsDirectory()) index.Drop(DirRef{entry.firstCluster});
        }
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
