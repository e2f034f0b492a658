// quarnel-cli find IMAGE (HEX | --text TEXT) [PATH | --files] [--json]: every place a byte string
// occurs, overlapping ones too: in the whole image as SECTOR:OFFSET, in one file as file offsets,
// or in every file of the disk as PATH:OFFSET. --text ignores the case of letters.
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_command.h"
#include "cli/raw_image.h"
#include "core/fat.h"
#include "tools/file_search.h"
#include "tools/search.h"
#include "tools/write_back.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string image;
  PartitionArg partition = 0;
  std::string hex;
  std::string text;
  std::string path;
  bool json = false;
  bool files = false;
};

// A hit's file as paths are typed: "GAMES/ZORK.BAS", the names as the terminal shows them.
std::string TypedPath(const tools::FileHit& hit) {
  std::string out;
  for (const std::string& n : hit.names) out += (out.empty() ? "" : "/") + ShownName(n);
  return out;
}

// --files: every hit in every file of the disk, as PATH:OFFSET.
int FindInFiles(Workspace& ws, const std::vector<std::uint8_t>& pattern, bool text, bool json) {
  const std::vector<tools::FileHit> hits = tools::FindInFiles(ws.image, pattern, text);
  if (json) {
    auto j = nlohmann::ordered_json::array();
    for (const tools::FileHit& h : hits)
      j.push_back({{"path", TypedPath(h)}, {"offset", h.offset}});
    std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
    return kExitSuccess;
  }
  std::string out;
  for (const tools::FileHit& h : hits) out += TypedPath(h) + ":" + std::to_string(h.offset) + "\n";
  std::cout << out;
  return kExitSuccess;
}

int Find(const Args& given) {
  Args args = given;
  const bool text = !args.text.empty();
  // With --text the one positional after IMAGE is the PATH.
  if (text && !args.hex.empty() && args.path.empty()) std::swap(args.hex, args.path);
  if (text == !args.hex.empty()) {
    std::cerr << (text ? kGivePatternOnce : kGivePattern) << "\n";
    return kExitUsage;
  }
  std::vector<std::uint8_t> pattern(args.text.begin(), args.text.end());
  if (!text) {
    auto bytes = tools::ParseHexBytes(args.hex);
    if (!bytes || bytes->empty()) {
      std::cerr << kNotHexBytes << args.hex << "\n";
      return kExitUsage;
    }
    pattern = std::move(*bytes);
  }
  if (args.files && !args.path.empty()) {
    std::cerr << kFilesOrPath << "\n";
    return kExitUsage;
  }
  CliUi ui;
  Workspace ws;
  if (args.files) {
    if (!OpenImageArg(ws, args.image, ui, args.partition)) return kExitFailure;
    return FindInFiles(ws, pattern, text, args.json);
  }
  const bool inFile = !args.path.empty();
  if (inFile ? !OpenImageArg(ws, args.image, ui, args.partition)
             : !OpenRawImageArg(ws, args.image, ui, args.partition))
    return kExitFailure;
  const tools::SectorLayout layout = tools::SectorLayoutOf(ws.image);
  const std::size_t bps = layout.bytesPerSector;

  std::vector<std::size_t> hits;
  std::vector<std::size_t> imageOffsets;  // of each hit
  if (inFile) {
    auto file = ReadFileArg(ws, args.path);
    if (!file) return kExitFailure;
    hits = tools::FindAllMatches(file->bytes, pattern, text);
    // Where each hit lies in the image: along the clusters the file's bytes came from.
    std::vector<std::uint16_t> clusters;
    const std::size_t cb = ws.image.geometry.clusterBytes;
    ChainWalk walk(ws.image, file->entry.firstCluster,
                   ChainPolicy::Read((file->bytes.size() + cb - 1) / cb, ChainEarlyEnd::Short));
    for (std::uint16_t c : walk) clusters.push_back(c);
    for (std::size_t h : hits)
      imageOffsets.push_back(h / cb < clusters.size()
                                 ? ClusterOffset(ws.image.geometry, clusters[h / cb]) + h % cb
                                 : 0);
  } else {
    const std::string_view needle(reinterpret_cast<const char*>(pattern.data()), pattern.size());
    const auto found =
        tools::FindInImage(ws.image, pattern.size(), [&](Bytes window, std::size_t from) {
          if (!text) return tools::FindBytes(window, pattern, from);
          const std::string_view h(reinterpret_cast<const char*>(window.data()), window.size());
          return tools::FindTextIgnoringCase(h, needle, from);
        });
    hits.assign(found.begin(), found.end());
    imageOffsets = hits;
  }

  if (args.json) {
    auto j = nlohmann::ordered_json::array();
    for (std::size_t i = 0; i < hits.size(); ++i)
      j.push_back({{"offset", hits[i]},
                   {"sector", imageOffsets[i] / bps},
                   {"sectorOffset", imageOffsets[i] % bps}});
    std::cout << j.dump(2) << "\n";
    return kExitSuccess;
  }
  std::string out;
  for (std::size_t i = 0; i < hits.size(); ++i) {
    out += inFile ? std::to_string(hits[i])
                  : std::to_string(hits[i] / bps) + ":" + std::to_string(hits[i] % bps);
    out += "\n";
  }
  std::cout << out;
  return kExitSuccess;
}

}  // namespace

void RegisterFind(CommandLine& commands) {
  commands.Add<Args>(
      "find", "Find every place a byte string occurs in a disk image or one of its files",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IMAGE", args.image, std::string(kImageHelp))->required();
        AddPartitionOption(cmd, args.partition);
        cmd.add_option("HEX", args.hex, "The bytes as hex digits, two per byte (4D5A)");
        cmd.add_option("PATH", args.path, "Search only this file (GAMES/ZORK.BAS)");
        cmd.add_option("--text", args.text, "The bytes as text; letters in any case match");
        cmd.add_flag("--files", args.files,
                     "Search every file of the disk; print PATH:OFFSET for each hit");
        cmd.add_flag("--json", args.json, "Print a JSON list");
      },
      Find);
}

}  // namespace quarnel::cli
