// quarnel-cli find IMAGE (HEX | --text TEXT) [PATH] [--json]: every place a byte string occurs,
// overlapping ones too: in the whole image as SECTOR:OFFSET, or in one file as file offsets.
// --text ignores the case of letters.
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/image_command.h"
#include "cli/raw_image.h"
#include "core/fat.h"
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
};

std::vector<std::size_t> Hits(Bytes hay, const std::vector<std::uint8_t>& pattern, bool text) {
  if (!text) return tools::FindAllBytes(hay, pattern);
  std::vector<std::size_t> out;
  const std::string_view h(reinterpret_cast<const char*>(hay.data()), hay.size());
  const std::string_view needle(reinterpret_cast<const char*>(pattern.data()), pattern.size());
  std::size_t from = 0;
  while (auto hit = tools::FindTextIgnoringCase(h, needle, from)) {
    out.push_back(*hit);
    from = *hit + 1;
  }
  return out;
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
  CliUi ui;
  Workspace ws;
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
    hits = Hits(file->bytes, pattern, text);
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
        cmd.add_flag("--json", args.json, "Print a JSON list");
      },
      Find);
}

}  // namespace quarnel::cli
