// quarnel-cli rm IMAGE PATH...: deletes files and empty directories; the image is saved in place
// when every one was deleted.
#include <memory>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_change.h"
#include "core/delete_entry.h"
#include "core/dir_entry.h"
#include "core/directory.h"

namespace quarnel::cli {

void RegisterRm(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("rm", "Delete files and empty directories of a disk image");
  struct Args {
    std::string image;
    std::vector<std::string> paths;
  };
  auto argsHeld = std::make_shared<Args>();
  auto& args = *argsHeld;
  cmd->add_option("IMAGE", args.image, "Disk image (.dsk), changed in place")->required();
  cmd->add_option("PATH", args.paths, "Files or empty directories inside the image")->required();
  cmd->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    Workspace ws;
    if (!OpenImageArg(ws, args.image, ui)) return;
    for (const auto& p : args.paths) {
      EntryLookup found = LookupEntry(ws, MsxNameArg(p), ui);
      if (found.result.status != PathStatus::Ok) {
        ReportPathError(found.result, p);
        return;
      }
      if (!ReadEntry(ws, found.row->slot)) {
        std::cerr << kCannotChange << p << "\n";
        return;
      }
      DeleteStatus s = (ws.current.attribute & kAttrDirectory) ? DeleteDirectory(ws, ui)
                                                               : DeleteEntry(ws, ui);
      if (s != DeleteStatus::Deleted) {
        if (s == DeleteStatus::NoEntry || s == DeleteStatus::NoImage) std::cerr << kCannotChange << p << "\n";
        return;
      }
    }
    if (SaveInPlace(ws, ui)) exitCode = 0;
  });
}

}  // namespace quarnel::cli
