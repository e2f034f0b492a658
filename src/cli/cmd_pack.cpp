// quarnel-cli pack HOSTDIR OUT [--size 720] [--label NAME] [--dos2]: a new disk image holding the
// host folder tree (HOSTDIR's files and folders in its root). When anything does not fit,
// everything that does not is listed and no image is written.
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

}  // namespace

void RegisterPack(CommandLine& commands) {
  struct Args {
    std::string hostDir, out, size = "720", label;
    bool dos2 = false, force = false;
  };
  commands.Add<Args>(
      "pack", "Make a new disk image holding a host folder tree",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("HOSTDIR", args.hostDir, "Host folder whose contents fill the image")
            ->required();
        cmd.add_option("OUT", args.out, "Image file to write")->required();
        cmd.add_option("--size", args.size, "160 180 320 320s 360 360s 640 720 (default 720)")
            ->check(CLI::IsMember({"160", "180", "320", "320s", "360", "360s", "640", "720"}));
        cmd.add_option("--label", args.label, "Volume name, at most 11 characters");
        cmd.add_flag("--dos2", args.dos2, "An MSX-DOS 2 boot sector (VOL_ID and a volume id)");
        cmd.add_flag("-f,--force", args.force, "Replace an existing file of that name");
      },
      [](const Args& args) {
        CliUi ui;
        const auto row = GeometryForSize(args.size);
        if (!row) return kExitFailure;
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
        if (!args.force && fs::symlink_status(args.out, ec).type() != fs::file_type::not_found) {
          std::cerr << args.out << kExistsUseForce << "\n";
          return kExitFailure;
        }
        Workspace ws;
        NotifyAll(ui, ws.LoadImageBytes(BuildNewImageBytes(*row, Dos2VolumeId(args.dos2)), args.out)
                          .messages);
        if (!ws.HasImage()) return kExitFailure;
        if (!label.empty()) {
          const VolumeOutcome v = SetVolumeName(ws.image, label, SystemClock());
          if (v == VolumeStatus::LeadingBlank || v == VolumeStatus::DirectoryFull) {
            std::cerr << v.message << "\n";
            return kExitFailure;
          }
        }
        // Every entry of the folder, in name order; what fails is collected, not stopped at.
        HostTreeOptions options;
        options.keepGoing = true;
        ChangeGuard guard(ws.image);  // the tree is mapped once for the whole pack
        const HostTreeResult r =
            AddHostFolderContents(ws.image, kRootDir, args.hostDir, options, &guard);
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
        if (!r.ok()) return kExitFailure;
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
