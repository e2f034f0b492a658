// The commands on one disk image (ls, cat, extract, add, rm, ren, label, oem) begin alike: IMAGE
// is their first positional, the image is loaded into a Workspace of the command's own, and a
// command whose image cannot be opened fails with the reason on stderr. Those that change the
// image end alike as well: the image is held against other changes from its load on, and saved in
// place when the change is whole (FinishChange).
#pragma once

#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_change.h"

namespace quarnel::cli {

// The help of IMAGE.
inline constexpr std::string_view kImageHelp = "Disk image (.dsk)";
inline constexpr std::string_view kChangedImageHelp = "Disk image (.dsk), changed in place";

// Adds a command on the disk image IMAGE: IMAGE comes first, then what `declare(CLI::App&, Args&)`
// adds. When the command is chosen the image is opened and `run(Workspace&, CliUi&, const Args&)`
// does the work on it (a run that takes a PartitionArg after them is told the partition named,
// 0 for none). A run that returns an int returns the exit code; one that returns an
// ImageChange has the image saved in place when it changed.
template <class Args, class Declare, class Run>
CLI::App& AddImageCommand(CommandLine& commands, std::string name, std::string description,
                          std::string_view imageHelp, Declare declare, Run run) {
  struct OnImage {
    std::string image;
    PartitionArg partition = 0;
    Args args;
  };
  return commands.Add<OnImage>(
      std::move(name), std::move(description),
      [imageHelp, declare = std::move(declare)](CLI::App& cmd, OnImage& held) {
        cmd.add_option("IMAGE", held.image, std::string(imageHelp))->required();
        AddPartitionOption(cmd, held.partition);
        declare(cmd, held.args);
      },
      [run = std::move(run)](const OnImage& held) -> int {
        CliUi ui;
        Workspace ws;
        auto work = [&] {
          if constexpr (std::is_invocable_v<const Run&, Workspace&, CliUi&, const Args&,
                                            PartitionArg>)
            return run(ws, ui, held.args, held.partition);
          else
            return run(ws, ui, held.args);
        };
        if constexpr (std::is_same_v<decltype(work()), ImageChange>) {
          const auto lock = HoldImageForChange(held.image);
          if (!lock || !OpenImageArg(ws, held.image, ui, held.partition, true)) return kExitFailure;
          return FinishChange(work(), ws, ui);
        } else {
          if (!OpenImageArg(ws, held.image, ui, held.partition)) return kExitFailure;
          return work();
        }
      });
}

}  // namespace quarnel::cli
