// quarnel-cli cas ls FILE / cas extract FILE [NAME...] [-o HOSTDIR]: the files recorded on a
// cassette image (.cas), listed as the file list shows them, or written to host files.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "cli/messages.h"
#include "cli/output_dir.h"
#include "core/ascii.h"
#include "core/atomic_write.h"
#include "core/host_file.h"
#include "formats/cassette.h"
#include "listing/file_rows.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

// Loads and lists FILE; false with the reason on stderr.
bool OpenCassette(CasImage& cas, const std::string& path, CliUi& ui) {
  HostReadError why = HostReadError::None;
  auto status = cas.LoadCasFile(path, ui, &why);
  if (status == CasImage::LoadStatus::Missing) {
    std::cerr << kNoSuchCassette << path << "\n";
    return false;
  }
  if (status == CasImage::LoadStatus::NotAFile) {
    std::cerr << DescribeHostReadError(path, why, 0) << "\n";
    return false;
  }
  if (status != CasImage::LoadStatus::Loaded) return false;
  cas.ListCasFile();
  return true;
}

void AddTapeOption(CLI::App& cmd, std::string& file) {
  cmd.add_option("FILE", file, "Cassette image (.cas)")->required();
}

struct ListArgs {
  std::string file;
};

int ListTape(const ListArgs& args) {
  CliUi ui;
  CasImage tape;
  if (!OpenCassette(tape, args.file, ui)) return kExitFailure;
  std::string out;
  for (const auto& r : TapeRows(tape).rows)
    out += r.caption + "\t" + r.sizeText + "\t" + r.type + "\n";
  std::cout << out;
  return kExitSuccess;
}

struct ExtractArgs {
  std::string file;
  std::vector<std::string> names;
  std::string outDir = ".";
};

int ExtractTape(const ExtractArgs& args) {
  CliUi ui;
  CasImage tape;
  if (!OpenCassette(tape, args.file, ui)) return kExitFailure;
  if (!MakeOutputDir(args.outDir)) return kExitFailure;
  const auto& entries = tape.Entries();
  std::vector<std::size_t> chosen;
  bool ok = true;
  if (args.names.empty()) {
    for (std::size_t i = 0; i < entries.size(); ++i) chosen.push_back(i);
  } else {
    for (const auto& name : args.names) {
      auto it = std::find_if(entries.begin(), entries.end(), [&](const CasEntry& e) {
        return AsciiEqualIgnoringCase(e.name, name);
      });
      if (it == entries.end()) {
        std::cerr << kNotOnCassette << name << "\n";
        ok = false;
        continue;
      }
      chosen.push_back(static_cast<std::size_t>(it - entries.begin()));
    }
  }
  // Tapes often hold several files of one name: later ones get their index appended.
  std::set<std::string> used;
  BatchFileIo io;
  for (std::size_t i : chosen) {
    std::string host = CasHostFileName(entries[i], i);
    if (!used.insert(host).second) {
      host += "_" + std::to_string(i);
      used.insert(host);
    }
    const fs::path target = fs::path(args.outDir) / host;
    if (OutputIsInput(args.file, target)) {
      ok = false;
      continue;
    }
    ok = tape.ExtractCasEntry(i, target, ui, io) && ok;
  }
  // Files replaced above reach the disk before the command reports success.
  io.Finish(args.outDir);
  return ok ? kExitSuccess : kExitFailure;
}

}  // namespace

void RegisterCas(CommandLine& commands) {
  CLI::App& cas = commands.AddGroup("cas", "List or extract the files of a cassette image (.cas)");
  commands.Add<ListArgs>(
      cas, "ls", "List the files recorded on a cassette image",
      [](CLI::App& cmd, ListArgs& args) { AddTapeOption(cmd, args.file); }, ListTape);
  commands.Add<ExtractArgs>(
      cas, "extract", "Write files of a cassette image to host files",
      [](CLI::App& cmd, ExtractArgs& args) {
        AddTapeOption(cmd, args.file);
        cmd.add_option("NAME", args.names, "Names of files on the tape (default: every file)");
        cmd.add_option("-o,--output", args.outDir,
                       "Host folder to write to (default: the current one)");
      },
      ExtractTape);
}

}  // namespace quarnel::cli
