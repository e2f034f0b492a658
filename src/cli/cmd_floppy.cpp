// quarnel-cli floppy list / floppy write IMAGE TARGET / floppy read TARGET OUT.dsk: real floppy
// disks through the host's block devices. Only removable drives of at most 2.88 MB that are not
// mounted are listed or used (or a regular file, written as a disk would be); a fixed disk is
// never opened. Progress goes to stderr when it is a terminal.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/messages.h"
#include "cli/raw_image.h"
#include "core/atomic_write.h"
#include "core/host_file.h"
#include "formats/floppy_devices.h"
#include "formats/floppy_write.h"
#include "formats/messages.h"
#include "tools/write_back.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// Where the devices are looked up; tests give a tree of their own (the options are hidden).
struct SourceArgs {
  std::string sysRoot{kSysBlockRoot};
  std::string mounts{kMountsFile};
  bool allowLoop = false;
  DeviceSources Sources() const { return {sysRoot, mounts, allowLoop}; }
};

void AddSourceOptions(CLI::App& cmd, SourceArgs& args, bool loop) {
  cmd.add_option("--sys-root", args.sysRoot, "The sysfs block-device folder")->group("");
  cmd.add_option("--mounts", args.mounts, "The mounts table")->group("");
  if (loop)
    cmd.add_flag("--allow-loop", args.allowLoop,
                 "Accept a loop device (a file the system shows as a disk) as the target");
}

// Progress on a terminal: one line, rewritten for each sector.
FloppyProgress TerminalProgress() {
  if (!::isatty(STDERR_FILENO)) return {};
  return [](FloppyPhase phase, std::uint64_t s, std::uint64_t, std::uint64_t last) {
    std::cerr << "\r" << PhaseStatusText(phase, s, last) << "   " << std::flush;
  };
}

void EndProgressLine(const FloppyRun& run) {
  if (run.progress) std::cerr << "\n";
}

std::optional<std::int64_t> SectorArg(const std::string& text) {
  auto v = NumberArg(text);
  if (!v) {
    std::cerr << tools::NotAnIntegerMessage(text) << "\n";
  }
  return v;
}

struct ListArgs {
  SourceArgs sources;
};

int List(const ListArgs& args) {
  std::string out;
  for (const FloppyDevice& d : ListFloppyDevices(args.sources.Sources())) {
    out += d.path.string() + "\t" + std::to_string(d.sectors * kRawSectorBytes / 1024) + " KB";
    if (!d.model.empty()) out += "\t" + d.model;
    out += "\n";
  }
  std::cout << out;
  if (out.empty()) std::cerr << kNoFloppyDrives << '\n';
  return kExitSuccess;
}

struct WriteArgs {
  std::string image, target, start, end;
  bool noVerify = false;
  SourceArgs sources;
};

int Write(const WriteArgs& args) {
  RangeChoice choice;
  choice.wholeDisk = args.start.empty() && args.end.empty();
  std::optional<std::int64_t> start = 0, end;
  if (!args.start.empty() && !(start = SectorArg(args.start))) return kExitUsage;
  if (!args.end.empty() && !(end = SectorArg(args.end))) return kExitUsage;
  const HostRead image = ReadHostContents(args.image, kMaxFloppySectors * kRawSectorBytes);
  if (!image.ok()) {
    std::cerr << DescribeHostReadError(args.image, image) << "\n";
    return kExitFailure;
  }
  choice.start = *start;
  choice.end = end.value_or(static_cast<std::int64_t>(ImageSectors(image.bytes.size())) - 1);
  std::string message;
  auto disk =
      OpenFloppyTarget(args.target, RawDiskAccess::ReadWrite, args.sources.Sources(), message);
  if (!disk) {
    std::cerr << message << "\n";
    return kExitFailure;
  }
  WriteRange range;
  auto planned = PlanWrite(image.bytes.size(), choice, *disk, range);
  if (planned.status != FloppyStatus::Done) {
    std::cerr << planned.message << "\n";
    return kExitFailure;
  }
  FloppyRun run;
  run.progress = TerminalProgress();
  run.verify = !args.noVerify;
  auto written = WriteImageToDisk(*disk, image.bytes, range, run);
  EndProgressLine(run);
  if (written.status != FloppyStatus::Done) {
    std::cerr << written.message << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

struct ReadArgs {
  std::string target, out;
  bool force = false;
  SourceArgs sources;
};

int Read(const ReadArgs& args) {
  std::error_code ec;
  if (!args.force && fs::symlink_status(args.out, ec).type() != fs::file_type::not_found) {
    std::cerr << args.out << kExistsUseForce << "\n";
    return kExitFailure;
  }
  std::string message;
  auto disk = OpenFloppyTarget(args.target, RawDiskAccess::Read, args.sources.Sources(), message);
  if (!disk) {
    std::cerr << message << "\n";
    return kExitFailure;
  }
  FloppyRun run;
  run.progress = TerminalProgress();
  auto read = ReadDiskToFile(*disk, args.out, run, DefaultFileIo());
  EndProgressLine(run);
  if (read.status != FloppyStatus::Done) {
    std::cerr << read.message << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

void RegisterFloppy(CommandLine& commands) {
  CLI::App& floppy =
      commands.AddGroup("floppy", "Write an image to a floppy disk, or read one into an image");
  commands.Add<ListArgs>(
      floppy, "list", "List the floppy drives that may be used (path, size, model)",
      [](CLI::App& cmd, ListArgs& args) { AddSourceOptions(cmd, args.sources, false); }, List);
  commands.Add<WriteArgs>(
      floppy, "write", "Write a disk image to a floppy, sector by sector, and verify it",
      [](CLI::App& cmd, WriteArgs& args) {
        cmd.add_option("IMAGE", args.image, "Disk image to write")->required();
        cmd.add_option("TARGET", args.target, "Floppy drive (/dev/...) or a regular file")
            ->required();
        cmd.add_option("--start", args.start, "First sector to write (default 0)");
        cmd.add_option("--end", args.end, "Last sector to write (default: the image's last)");
        cmd.add_flag("--no-verify", args.noVerify, "Do not read the sectors back to compare");
        AddSourceOptions(cmd, args.sources, true);
      },
      Write);
  commands.Add<ReadArgs>(
      floppy, "read", "Read a whole floppy into a new disk image",
      [](CLI::App& cmd, ReadArgs& args) {
        cmd.add_option("TARGET", args.target, "Floppy drive (/dev/...) or a regular file")
            ->required();
        cmd.add_option("OUT", args.out, "Disk image to write")->required();
        cmd.add_flag("-f,--force", args.force, "Replace an existing file of that name");
        AddSourceOptions(cmd, args.sources, true);
      },
      Read);
}

}  // namespace quarnel::cli
