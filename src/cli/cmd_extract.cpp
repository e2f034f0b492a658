// quarnel-cli extract IMAGE [PATH...] [-o HOSTDIR] [-r]: files of the image to host files (every
// file of the root directory when no PATH is given). With -r directories come along as host
// folders with everything in them (the whole tree of the root when no PATH is given), dated as
// their entries.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "cli/image_command.h"
#include "cli/output_dir.h"
#include "core/ascii.h"
#include "core/extract.h"
#include "core/host_tree.h"
#include "core/messages.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// Writes the file of `entry` into `dir` as `hostName` with the entry's size, read-only bit and
// date. False on failure (the reason is on stderr, with the file's name after the messages that
// do not carry it).
bool ExtractOne(const Workspace& ws, const FileEntry& entry, const fs::path& dir,
                const std::string& hostName, std::string_view shownPath,
                FileIo& io = DefaultFileIo()) {
  if (OutputIsInput(ws.imagePath, dir / hostName)) return false;
  const ExtractOutcome out = ExtractFile(ws.image, entry, dir / hostName, io);
  if (!out.message.empty()) std::cerr << out.message << "\n";
  if (out == ExtractStatus::ClusterError || out == ExtractStatus::FirstClusterOutOfBounds)
    std::cerr << kInFile << shownPath << "\n";
  return out == ExtractStatus::Written;
}

// Host names already written by this run; a second entry of the same name (a damaged directory
// can hold two) gets "~N" before its extension instead of replacing the first one's file.
class HostNames {
 public:
  std::string Claim(const std::string& wanted) {
    if (used_.insert(wanted).second) return wanted;
    std::string_view ext = ExtensionOf(wanted);
    if (ext.size() == wanted.size()) ext = {};  // ".name" is a name without extension
    const std::string stem = wanted.substr(0, wanted.size() - ext.size());
    for (int n = 1;; ++n) {
      std::string name = stem + "~" + std::to_string(n) + std::string(ext);
      if (used_.insert(name).second) return name;
    }
  }

 private:
  std::set<std::string> used_;
};

// Every file of the root directory when no PATH is given.
bool ExtractRoot(const Workspace& ws, const fs::path& outDir) {
  bool ok = true;
  HostNames names;
  for (const FileEntry& e : ws.Entries()) {
    if (e.IsDirectory() || e.IsVolume()) continue;
    // Entries named "." or ".." that are no directories do not belong in the root: they are
    // files of a damaged directory, extracted under a name of their own and reported.
    const std::string caption = e.Caption();
    const std::string wanted = HostNameForCaption(caption);
    const std::string name = names.Claim(wanted);
    if (name != wanted || e.IsDot())
      std::cerr << ShownName(caption) << kExtractedAs << name << "\n";
    ok = ExtractOne(ws, e, outDir, name, ShownName(caption)) && ok;
  }
  return ok;
}

bool ExtractPaths(Workspace& ws, const std::vector<std::string>& paths, const fs::path& outDir) {
  bool ok = true;
  HostNames names;
  for (const auto& p : paths) {
    auto found = EntryArg(ws, p);
    if (!found) {
      ok = false;
      continue;
    }
    const FileEntry& entry = *found->entry;
    const std::string wanted = HostNameForCaption(entry.Caption());
    const std::string name = names.Claim(wanted);
    if (name != wanted) std::cerr << p << kExtractedAs << name << "\n";
    ok = ExtractOne(ws, entry, outDir, name, p) && ok;
  }
  return ok;
}

// Host writes without a flush of each file: a whole tree is written as a copy program writes it
// (each file still appears whole or not at all). A file that replaces one already there goes
// through a rename, which is noted: the tree is then flushed once at the end, so that what was
// replaced is not lost to a crash. New files hold nothing a crash could lose that extracting
// again would not make anew; they are left to the system to write out.
class UnflushedIo : public FileIo {
 public:
  bool Sync(int) override { return true; }
  bool Rename(const fs::path& from, const fs::path& to) override {
    replaced = true;
    return FileIo::Rename(from, to);
  }
  bool replaced = false;
};

// Extracts the directory tree below `dir` into the host folder `out`: every file as a file,
// every directory as a folder made for it. A directory below that leads back up (or to the root),
// or lies deeper than can be shown, is reported and skipped; so is one whose chain is broken.
class TreeExtractor {
 public:
  explicit TreeExtractor(const Workspace& ws) : ws_(ws) {}

  bool Directory(DirRef dir, const fs::path& out, const std::string& shown, int depth) {
    const auto contents = ListDirectory(ws_.image, dir);
    if (!contents) {
      std::cerr << kBrokenDirectory << shown << "\n";
      return false;
    }
    bool ok = true;
    HostNames names;
    for (const FileEntry& e : EntriesOf(*contents)) {
      if (e.IsVolume() && !e.IsDirectory()) continue;
      if (e.IsDot() && e.IsDirectory()) continue;
      ok = Entry(e, out, names, shown, depth) && ok;
    }
    return ok;
  }

  // True when a host file that was there has been replaced.
  bool Replaced() const { return io_.replaced; }

  bool Entry(const FileEntry& e, const fs::path& out, HostNames& names, const std::string& shown,
             int depth) {
    const std::string caption = e.Caption();
    const std::string wanted = HostNameForCaption(caption);
    // "." and ".." files are named as they stand: their host names differ.
    const std::string path = shown + (e.IsDot() ? ShownName(caption) : wanted);
    const std::string name = names.Claim(wanted);
    if (name != wanted || e.IsDot()) std::cerr << path << kExtractedAs << name << "\n";
    if (!e.IsDirectory()) return ExtractOne(ws_, e, out, name, path, io_);
    if (e.firstCluster == 0 ||
        std::find(above_.begin(), above_.end(), e.firstCluster) != above_.end()) {
      std::cerr << kDirectoryLoop << path << "\n";
      return false;
    }
    if (depth + 1 > kDeepestLevel) {
      std::cerr << msg::kDirectoryTooDeep << "\n" << kInFile << path << "\n";
      return false;
    }
    const fs::path folder = out / name;
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (ec || !fs::is_directory(fs::symlink_status(folder, ec))) {
      std::cerr << kCannotWrite << folder.string() << "\n";
      return false;
    }
    above_.push_back(e.firstCluster);
    const bool ok = Directory(DirRef{e.firstCluster}, folder, path + "/", depth + 1);
    above_.pop_back();
    ApplyEntryTime(ws_.image, e, folder);  // after its files: writing them changed the time
    return ok;
  }

 private:
  const Workspace& ws_;
  UnflushedIo io_;
  std::vector<std::uint16_t> above_;  // first clusters of the directories being extracted
};

bool ExtractTreePaths(Workspace& ws, const std::vector<std::string>& paths,
                      const fs::path& outDir) {
  TreeExtractor tree(ws);
  bool ok = true;
  if (paths.empty()) ok = tree.Directory(kRootDir, outDir, "", 0);
  HostNames names;
  for (const auto& p : paths) {
    auto found = EntryArg(ws, p, true);
    if (!found) {
      ok = false;
      continue;
    }
    std::string shown = found->DirPath();
    std::replace(shown.begin(), shown.end(), '\\', '/');
    ok = tree.Entry(*found->entry, outDir, names, shown.substr(1), found->Depth()) && ok;
  }
  // Host files replaced above reach the disk before the command reports success.
  if (!tree.Replaced()) return ok;
  if (const int fd = ::open(outDir.c_str(), O_RDONLY | O_DIRECTORY); fd >= 0) {
    ::syncfs(fd);
    ::close(fd);
  }
  return ok;
}

}  // namespace

void RegisterExtract(CommandLine& commands) {
  struct Args {
    std::vector<std::string> paths;
    std::string outDir = ".";
    bool recursive = false;
  };
  AddImageCommand<Args>(
      commands, "extract", "Copy files of a disk image to host files", kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.paths,
                       "Files inside the image (default: every file of the root)");
        cmd.add_option("-o,--output", args.outDir,
                       "Host folder to write to (default: the current one)");
        cmd.add_flag("-r,--recursive", args.recursive,
                     "Directories as host folders with everything in them (no PATH: the whole "
                     "disk)");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        if (!MakeOutputDir(args.outDir)) return kExitFailure;
        const bool ok = args.recursive       ? ExtractTreePaths(ws, args.paths, args.outDir)
                        : args.paths.empty() ? ExtractRoot(ws, args.outDir)
                                             : ExtractPaths(ws, args.paths, args.outDir);
        return ok ? kExitSuccess : kExitFailure;
      });
}

}  // namespace quarnel::cli
