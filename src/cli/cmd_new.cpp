// quarnel-cli new SIZE OUT [--dos2]: an empty formatted disk image. SIZE is 160 180 320 320s 360
// 360s 640 720 (KB; "s" picks the single-sided 80-track disk of 320 and 360 KB, the others of that
// size are double-sided with 40 tracks). OUT is the image file, or a folder to write New<SIZE>.dsk
// in.
// quarnel-cli new IMAGE --hd SIZE [--partitions 64M,32M,...] [--fat12|--fat16]: an empty hard-disk
// or card image with a Nextor partition table, each partition formatted; written sparse.
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "cli/image_change.h"
#include "cli/messages.h"
#include "core/new_hard_disk.h"
#include "core/new_image.h"

namespace quarnel::cli {

namespace {

constexpr std::string_view kFloppySizes = "160 180 320 320s 360 360s 640 720";

struct Args {
  std::string size, out;
  bool force = false, dos2 = false;
  std::string hd;
  std::vector<std::string> partitions;
  bool fat12 = false, fat16 = false;
};

int Usage(const std::string& text) {
  std::cerr << text << "\n";
  return kExitUsage;
}

// An existing file may be someone's disk: it is replaced only when asked for.
bool RefuseExisting(const std::filesystem::path& out, bool force) {
  std::error_code ec;
  if (force ||
      std::filesystem::symlink_status(out, ec).type() == std::filesystem::file_type::not_found)
    return false;
  std::cerr << out.string() << kExistsUseForce << "\n";
  return true;
}

int NewHardDisk(const Args& args) {
  if (!args.out.empty()) return Usage("new --hd takes one IMAGE: " + args.out);
  const std::filesystem::path out = args.size;
  auto size = ParseSizeText(args.hd);
  if (!size) return Usage("--hd: not a size: " + args.hd + " (bytes, or with K, M or G)");
  std::vector<std::uint64_t> parts;
  for (const auto& p : args.partitions) {
    auto bytes = ParseSizeText(p);
    if (!bytes) return Usage("--partitions: not a size: " + p + " (bytes, or with K, M or G)");
    parts.push_back(*bytes);
  }
  const FatChoice fat = args.fat12   ? FatChoice::Fat12
                        : args.fat16 ? FatChoice::Fat16
                                     : FatChoice::BySize;
  const HardDiskPlan plan = PlanHardDisk(*size, parts, fat);
  if (!plan.layout) return Usage(out.string() + ": " + plan.message);
  std::error_code ec;
  if (std::filesystem::is_directory(out, ec))
    return Usage(out.string() + " is a folder: name the image file");
  if (RefuseExisting(out, args.force)) return kExitFailure;
  std::random_device random;
  const NewImageOutcome made =
      WriteHardDisk(*plan.layout, out, static_cast<std::uint32_t>(random()));
  CliUi ui;
  if (!made.message.empty()) ui.Notify(made.message);
  if (made != NewImageStatus::Written) return kExitFailure;
  if (!plan.note.empty()) std::cout << out.string() << ": " << plan.note << "\n";
  return kExitSuccess;
}

int NewFloppy(const Args& args) {
  if (!args.partitions.empty() || args.fat12 || args.fat16)
    return Usage("--partitions, --fat12 and --fat16 go with --hd");
  if (args.out.empty())
    return Usage("new: SIZE and OUT are needed (SIZE: " + std::string(kFloppySizes) +
                 "), or IMAGE --hd SIZE");
  CliUi ui;
  auto row = GeometryForSize(args.size);
  if (!row) return Usage("SIZE: " + args.size + " is none of " + std::string(kFloppySizes));
  std::filesystem::path out = args.out;
  std::error_code ec;
  if (std::filesystem::is_directory(out, ec)) out /= NewImageName(*row);
  if (RefuseExisting(out, args.force)) return kExitFailure;
  const NewImageOutcome made = NewImage(*row, out, Dos2VolumeId(args.dos2));
  if (!made.message.empty()) ui.Notify(made.message);
  return made == NewImageStatus::Written ? kExitSuccess : kExitFailure;
}

}  // namespace

void RegisterNew(CommandLine& commands) {
  commands.Add<Args>(
      "new", "Make an empty formatted MSX-DOS disk image, or a partitioned hard-disk image",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("SIZE", args.size,
                       std::string(kFloppySizes) + "; with --hd: the image file to write");
        cmd.add_option("OUT", args.out, "Image file to write, or a folder");
        cmd.add_flag("-f,--force", args.force, "Replace an existing file of that name");
        auto* dos2 = cmd.add_flag("--dos2", args.dos2,
                                  "An MSX-DOS 2 boot sector (VOL_ID and a random volume id)");
        auto* hd = cmd.add_option("--hd", args.hd,
                                  "A hard-disk or card image of this size (K, M, G) with a "
                                  "Nextor partition table");
        hd->excludes(dos2);
        cmd.add_option("--partitions", args.partitions,
                       "Sizes of the partitions (64M,32M,...); one over the whole image when "
                       "none")
            ->delimiter(',');
        auto* fat12 = cmd.add_flag("--fat12", args.fat12, "Format every partition FAT12");
        cmd.add_flag("--fat16", args.fat16, "Format every partition FAT16")->excludes(fat12);
      },
      [](const Args& args) {
        if (args.size.empty()) return Usage("new: SIZE OUT, or IMAGE --hd SIZE");
        return args.hd.empty() ? NewFloppy(args) : NewHardDisk(args);
      });
}

}  // namespace quarnel::cli
