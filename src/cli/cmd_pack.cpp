// quarnel-cli pack HOSTDIR OUT [--size 720] [--label NAME] [--dos2]: a new disk image holding the
// host folder tree (HOSTDIR's files and folders in its root). With --partition N, OUT is a card
// image and the tree goes into the root of that partition, saved in place. When anything does
// not fit, everything that does not is listed and nothing is written.
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_change.h"
#include "cli/messages.h"
#include "core/atomic_write.h"
#include "core/change_guard.h"
#include "core/host_file.h"
#include "core/host_tree.h"
#include "core/messages.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "core/workspace.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// Host writes without a flush.
class UnflushedIo : public FileIo {
 public:
  bool Sync(int) override { return true; }
};

struct Args {
  std::string hostDir, out, size = "720", label;
  bool dos2 = false, force = false;
  PartitionArg partition = 0;
};

// Gives the volume of `ws` the name `label` (unless empty) and adds HOSTDIR's contents to its
// root. False when anything failed: every entry that could not be read or does not fit is
// listed on stderr.
bool FillFromHostFolder(Workspace& ws, const Args& args, const std::string& label) {
  if (!label.empty()) {
    const VolumeOutcome v = SetVolumeName(ws.image, label, SystemClock());
    if (v == VolumeStatus::LeadingBlank || v == VolumeStatus::DirectoryFull) {
      std::cerr << v.message << "\n";
      return false;
    }
  }
  // Every entry of the folder, in name order; what fails is collected, not stopped at.
  HostTreeOptions options;
  options.keepGoing = true;
  ChangeGuard guard(ws.image);  // the tree is mapped once for the whole pack
  const HostTreeResult r = AddHostFolderContents(ws.image, kRootDir, args.hostDir, options, &guard);
  auto shown = [&args](const fs::path& host) {
    return host.lexically_relative(args.hostDir).string();
  };
  for (const auto& n : r.renamed)
    std::cerr << shown(n.host) << kAddedAs << ShownName(n.entryName) << "\n";
  for (const auto& link : r.skippedLinks) std::cerr << shown(link) << kLinkSkipped << "\n";
  // What could not be read, then what does not fit: each under its own header.
  for (const bool unread : {true, false}) {
    bool header = false;
    for (const auto& f : r.failures) {
      if (f.Unread() != unread) continue;
      if (!header) std::cerr << (unread ? kCouldNotRead : kDoesNotFit) << args.out << ":\n";
      header = true;
      std::cerr << "  " << shown(f.host) << ": " << f.message;
      if (IsOtherKind(f.hostError))
        std::cerr << " (" << DescribeHostReadError(f.host, f.hostError, 0) << ")";
      std::cerr << "\n";
    }
  }
  return r.ok();
}

// The tree into partition `args.partition` of the card image OUT, saved in place when all of it
// fits; the image stays as it was otherwise.
int PackIntoPartition(const Args& args, const std::string& label) {
  CliUi ui;
  Workspace ws;
  const auto lock = HoldImageForChange(args.out);
  if (!lock || !OpenImageArg(ws, args.out, ui, args.partition, true)) return kExitFailure;
  return FinishChange(
      FillFromHostFolder(ws, args, label) ? ImageChange::Changed : ImageChange::Failed, ws, ui);
}

}  // namespace

void RegisterPack(CommandLine& commands) {
  commands.Add<Args>(
      "pack", "Make a new disk image holding a host folder tree, or fill a card's partition",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("HOSTDIR", args.hostDir, "Host folder whose contents fill the image")
            ->required();
        cmd.add_option("OUT", args.out,
                       "Image file to write; with --partition the card image to fill, changed "
                       "in place")
            ->required();
        auto* size =
            cmd.add_option("--size", args.size, "160 180 320 320s 360 360s 640 720 (default 720)")
                ->check(CLI::IsMember({"160", "180", "320", "320s", "360", "360s", "640", "720"}));
        cmd.add_option("--label", args.label, "Volume name, at most 11 characters");
        auto* dos2 =
            cmd.add_flag("--dos2", args.dos2, "An MSX-DOS 2 boot sector (VOL_ID and a volume id)");
        auto* force =
            cmd.add_flag("-f,--force", args.force, "Replace an existing file of that name");
        AddPartitionOption(cmd, args.partition)
            ->description(
                "Put the tree into the root of this partition of the card image OUT (what it "
                "holds stays; files of the same name are replaced)")
            ->excludes(size)
            ->excludes(dos2)
            ->excludes(force);
      },
      [](const Args& args) {
        std::error_code ec;
        if (!fs::is_directory(args.hostDir, ec)) {
          std::cerr << kNotAHostFolder << args.hostDir << "\n";
          return kExitFailure;
        }
        const FieldText typed = VolumeNameFromText(args.label);
        if (!typed.ok()) {
          std::cerr << kInvalidVolumeName << args.label << " ("
                    << DescribeNameProblem(typed.problem) << ")\n";
          return kExitFailure;
        }
        const std::string& label = typed.bytes;
        if (label.size() > kVolumeNameLength) {
          std::cerr << kVolumeTooLong << args.label << "\n";
          return kExitFailure;
        }
        if (args.partition != 0) return PackIntoPartition(args, label);
        CliUi ui;
        const auto row = GeometryForSize(args.size);
        if (!row) return kExitFailure;
        if (!args.force && fs::symlink_status(args.out, ec).type() != fs::file_type::not_found) {
          std::cerr << args.out << kExistsUseForce << "\n";
          return kExitFailure;
        }
        Workspace ws;
        NotifyAll(ui, ws.LoadImageBytes(BuildNewImageBytes(*row, Dos2VolumeId(args.dos2)), args.out)
                          .messages);
        if (!ws.HasImage()) return kExitFailure;
        if (!FillFromHostFolder(ws, args, label)) return kExitFailure;
        // The image goes to a temporary file renamed to OUT, so no failure leaves part of it
        // under that name. It is flushed before the rename only when it replaces a file: a new
        // name holds nothing to lose, and a crash before the system writes the image out can
        // at worst leave an incomplete OUT that packing the host tree again makes anew (as a
        // copy program leaves its copies). A change to an existing image is always flushed.
        const bool replaces = fs::symlink_status(args.out, ec).type() != fs::file_type::not_found;
        UnflushedIo unflushed;
        FileIo& io = replaces ? DefaultFileIo() : unflushed;
        if (!WriteAtomically(args.out, ws.image.View(), io, LinkPolicy::Replace)) {
          std::cerr << msg::kCannotWriteFile << args.out << "\n";
          return kExitFailure;
        }
        return kExitSuccess;
      });
}

}  // namespace quarnel::cli
