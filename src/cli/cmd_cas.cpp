// quarnel-cli cas ls FILE / cas extract FILE [NAME...] [-o HOSTDIR]: the files recorded on a
// cassette image (.cas), listed as the file list shows them, or written to host files.
#include <memory>
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "formats/cassette.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kNoSuchCassette = "No such cassette image: ";
constexpr std::string_view kNotOnCassette = "Not found on the cassette: ";
constexpr std::string_view kCannotWriteTo = "Cannot write: ";

// Loads and lists FILE; false with the reason on stderr.
bool OpenCassette(CasImage& cas, const std::string& path, CliUi& ui) {
  auto status = cas.LoadCasFile(path, ui);
  if (status == CasImage::LoadStatus::Missing) {
    std::cerr << kNoSuchCassette << path << "\n";
    return false;
  }
  if (status != CasImage::LoadStatus::Loaded) return false;
  cas.ListCasFile();
  return true;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

void RegisterCas(CLI::App& app, int& exitCode) {
  auto* cas = app.add_subcommand("cas", "List or extract the files of a cassette image (.cas)");
  cas->require_subcommand(1);

  auto lsFile = std::make_shared<std::string>();
  auto* ls = cas->add_subcommand("ls", "List the files recorded on a cassette image");
  ls->add_option("FILE", *lsFile, "Cassette image (.cas)")->required();
  ls->callback([&exitCode, lsFile] {
    CliUi ui;
    CasImage tape;
    if (!OpenCassette(tape, *lsFile, ui)) {
      exitCode = 1;
      return;
    }
    std::string out;
    for (const auto& r : tape.Rows()) out += r.caption + "\t" + r.sizeText + "\t" + r.type + "\n";
    std::cout << out;
    exitCode = 0;
  });

  struct ExtractArgs {
    std::string file;
    std::vector<std::string> names;
    std::string outDir = ".";
  };
  auto argsHeld = std::make_shared<ExtractArgs>();
  auto& args = *argsHeld;
  auto* ex = cas->add_subcommand("extract", "Write files of a cassette image to host files");
  ex->add_option("FILE", args.file, "Cassette image (.cas)")->required();
  ex->add_option("NAME", args.names, "Names of files on the tape (default: every file)");
  ex->add_option("-o,--output", args.outDir, "Host folder to write to (default: the current one)");
  ex->callback([&exitCode, argsHeld] {
    auto& args = *argsHeld;
    exitCode = 1;
    CliUi ui;
    CasImage tape;
    if (!OpenCassette(tape, args.file, ui)) return;
    std::error_code ec;
    fs::create_directories(args.outDir, ec);
    if (!fs::is_directory(args.outDir, ec)) {
      std::cerr << kCannotWriteTo << args.outDir << "\n";
      return;
    }
    const auto& entries = tape.Entries();
    std::vector<std::size_t> chosen;
    bool ok = true;
    if (args.names.empty()) {
      for (std::size_t i = 0; i < entries.size(); ++i) chosen.push_back(i);
    } else {
      for (const auto& name : args.names) {
        auto it = std::find_if(entries.begin(), entries.end(),
                               [&](const CasEntry& e) { return SameName(e.name, name); });
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
    for (std::size_t i : chosen) {
      std::string host = CasHostFileName(entries[i], i);
      if (!used.insert(host).second) {
        host += "_" + std::to_string(i);
        used.insert(host);
      }
      ok = tape.ExtractCasEntry(i, fs::path(args.outDir) / host, ui) && ok;
    }
    exitCode = ok ? 0 : 1;
  });
}

}  // namespace quarnel::cli
