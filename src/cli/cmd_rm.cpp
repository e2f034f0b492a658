// quarnel-cli rm IMAGE PATH...: deletes files and empty directories; the image is saved in place
// when every one was deleted.
#include <iostream>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/directory.h"

namespace quarnel::cli {

void RegisterRm(CommandLine& commands) {
  struct Args {
    std::vector<std::string> paths;
  };
  AddImageCommand<Args>(
      commands, "rm", "Delete files and empty directories of a disk image", kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.paths, "Files or empty directories inside the image")
            ->required();
      },
      [](Workspace& ws, CliUi& ui, const Args& args) {
        for (const auto& p : args.paths) {
          EntryLookup found = LookupEntry(ws, MsxNameArg(p), ui);
          if (found.result.status != PathStatus::Ok) {
            ReportPathError(found.result, p);
            return ImageChange::Failed;
          }
          if (!ReadEntry(ws, found.row->slot)) {
            std::cerr << kCannotChange << p << "\n";
            return ImageChange::Failed;
          }
          DeleteStatus s = (ws.current.attribute & kAttrDirectory) ? DeleteDirectory(ws, ui)
                                                                   : DeleteEntry(ws, ui);
          if (s != DeleteStatus::Deleted) {
            if (s == DeleteStatus::NoEntry || s == DeleteStatus::NoImage)
              std::cerr << kCannotChange << p << "\n";
            return ImageChange::Failed;
          }
        }
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
