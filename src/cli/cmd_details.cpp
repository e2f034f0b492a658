// quarnel-cli details IMAGE [--json]: the DISK DETAIL report: capacity, free space, geometry and
// the map of the disk, one letter a cell.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_command.h"
#include "cli/raw_image.h"
#include "tools/disk_report.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string image;
  PartitionArg partition = 0;
  bool json = false;
};

int ShowDetails(const Args& args) {
  CliUi ui;
  Workspace ws;
  if (!OpenRawImageArg(ws, args.image, ui, args.partition)) return kExitFailure;
  const std::string name = std::filesystem::path(args.image).filename().string();
  const tools::Report r = tools::BuildDiskDetail(ws.image, name);
  if (!args.json) {
    if (!r.warning.empty()) std::cerr << r.warning << "\n";
    tools::Report shown = r;
    shown.warning.clear();
    std::cout << tools::ReportText(shown);
    return kExitSuccess;
  }
  const auto& g = ws.image.geometry;
  nlohmann::ordered_json j;
  if (args.partition != 0) j["partition"] = args.partition;
  j["sizeBytes"] = r.sizeBytes;
  j["freeBytes"] = r.freeBytes;
  j["freePercent"] = std::round(r.freePercent * 100) / 100;
  j["totalSectors"] = g.totalSectors;
  j["bytesPerSector"] = g.bytesPerSector;
  j["sectorsPerTrack"] = g.sectorsPerTrack;
  j["fatCount"] = g.fatCount;
  j["sectorsPerFat"] = g.sectorsPerFat;
  j["tracks"] = r.tracks;
  j["sides"] = g.sides;
  j["sectorsPerCluster"] = g.sectorsPerCluster;
  j["clusterBytes"] = static_cast<std::uint32_t>(g.sectorsPerCluster) * g.bytesPerSector;
  j["rootEntries"] = g.rootEntries;
  j["systemCells"] = r.map.systemCells;
  j["map"] = r.map.Letters();
  if (!r.warning.empty()) j["warning"] = r.warning;
  std::cout << j.dump(2) << "\n";
  return kExitSuccess;
}

}  // namespace

void RegisterDetails(CommandLine& commands) {
  commands.Add<Args>(
      "details", "Show the capacity, geometry and cluster map of a disk image",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IMAGE", args.image, std::string(kImageHelp))->required();
        AddPartitionOption(cmd, args.partition);
        cmd.add_flag("--json", args.json, "Print one JSON object");
      },
      ShowDetails);
}

}  // namespace quarnel::cli
