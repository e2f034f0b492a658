// quarnel-cli mkdir IMAGE DIR... [-p]: makes directories inside the image (with -p also the
// missing directories above them, and an existing directory is no failure); the image is saved
// in place when every one was made.
#include <iostream>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "core/add_file.h"
#include "core/clock.h"
#include "core/host_tree.h"
#include "core/image_path.h"
#include "core/messages.h"

namespace quarnel::cli {

namespace {

// Makes the directory `path` (relative to the root). False with the reason on stderr.
bool MakeDirectoryPath(Workspace& ws, const std::string& path, bool parents, const Clock& clock) {
  const std::vector<std::string> names = SplitImagePath(MsxNameArg(path));
  if (names.empty()) {
    std::cerr << kInvalidMsxName << path << "\n";
    return false;
  }
  DirRef dir = kRootDir;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::string& name = names[i];
    const bool last = i + 1 == names.size();
    if (!IsValidMsxName(name)) {
      std::cerr << kInvalidMsxName << ShownName(name) << "\n";
      return false;
    }
    if (static_cast<int>(i) + 1 > kDeepestLevel) {
      std::cerr << msg::kDirectoryTooDeep << "\n";
      return false;
    }
    if (!last || parents) {
      if (auto sub = FindSubdirectory(ws.image, dir, name)) {
        dir = *sub;
        continue;
      }
      if (!parents) {
        std::cerr << kNotInImage << ShownName(name) << "\n";
        return false;
      }
    }
    const AddOutcome out = MakeDirectory(ws.image, dir, name, clock.Now());
    if (out != AddStatus::Added) {
      std::cerr << out.message << "\n";
      return false;
    }
    auto sub = FindSubdirectory(ws.image, dir, name);
    if (!sub) return false;  // never: it was just made
    dir = *sub;
  }
  return true;
}

}  // namespace

void RegisterMkdir(CommandLine& commands) {
  struct Args {
    std::vector<std::string> dirs;
    bool parents = false;
  };
  AddImageCommand<Args>(
      commands, "mkdir", "Make directories inside a disk image", kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("DIR", args.dirs, "Directories to make (paths from the root)")->required();
        cmd.add_flag("-p,--parents", args.parents,
                     "Make missing directories above as well; an existing one is no error");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        const SystemClock clock;
        for (const auto& d : args.dirs)
          if (!MakeDirectoryPath(ws, d, args.parents, clock)) return ImageChange::Failed;
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
