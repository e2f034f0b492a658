// quarnel-cli parts IMAGE [--json]: the partitions of a hard-disk or card image: number, type,
// where each lies, and the FAT kind and volume name of each volume. Only the sectors of the
// table and the boot sector and root directory of each volume are read.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/messages.h"
#include "core/geometry.h"
#include "core/partition_store.h"
#include "core/partition_volume.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string image;
  bool json = false;
};

std::string Hex2(std::uint8_t v) {
  char text[4];
  std::snprintf(text, sizeof text, "%02X", v);
  return text;
}

struct Row {
  const Partition* partition;
  PartitionVolume volume;
};

void PrintText(const std::string& name, std::uint64_t imageBytes, const PartitionTable& table,
               const std::vector<Row>& rows) {
  std::cout << name << ": " << SchemeName(table.scheme) << " partition table, "
            << SizeText(imageBytes) << "\n";
  char line[160];
  std::snprintf(line, sizeof line, "%3s  %-16s %11s %11s %9s  %-5s  %s\n", "#", "Type", "Start",
                "Sectors", "Size", "FAT", "Volume");
  std::cout << line;
  for (const Row& r : rows) {
    const Partition& p = *r.partition;
    const std::string type = Hex2(p.type) + " " + std::string(PartitionTypeName(p.type));
    std::string shown = r.volume.readable ? ShownName(r.volume.label) : r.volume.fault;
    if (!r.volume.note.empty()) shown += " (" + r.volume.note + ")";
    std::snprintf(line, sizeof line, "%3d%c %-16s %11llu %11llu %9s  %-5s  ", p.number,
                  p.active ? '*' : ' ', type.c_str(),
                  static_cast<unsigned long long>(p.firstSector),
                  static_cast<unsigned long long>(p.sectors), SizeText(p.Length()).c_str(),
                  r.volume.readable ? FatKindName(r.volume.fatKind).data() : "-");
    std::cout << line << shown << "\n";
  }
}

void PrintJson(const std::string& name, std::uint64_t imageBytes, const PartitionTable& table,
               const std::vector<Row>& rows) {
  nlohmann::ordered_json j;
  j["image"] = name;
  j["scheme"] = SchemeName(table.scheme);
  j["imageBytes"] = imageBytes;
  auto parts = nlohmann::ordered_json::array();
  for (const Row& r : rows) {
    const Partition& p = *r.partition;
    nlohmann::ordered_json e;
    e["number"] = p.number;
    e["type"] = Hex2(p.type);
    e["typeName"] = PartitionTypeName(p.type);
    e["active"] = p.active;
    e["firstSector"] = p.firstSector;
    e["sectors"] = p.sectors;
    e["offset"] = p.Offset();
    e["bytes"] = p.Length();
    e["fat"] = r.volume.readable ? nlohmann::ordered_json(FatKindName(r.volume.fatKind))
                                 : nlohmann::ordered_json(nullptr);
    e["label"] = ShownName(r.volume.label);
    if (r.volume.readable) e["clusters"] = r.volume.clusters;
    if (!r.volume.fault.empty()) e["fault"] = r.volume.fault;
    if (!r.volume.note.empty()) e["note"] = r.volume.note;
    if (!p.writeRefusal.empty()) e["readOnly"] = p.writeRefusal;
    parts.push_back(std::move(e));
  }
  j["partitions"] = std::move(parts);
  j["findings"] = table.findings;
  std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

int ShowParts(const Args& args) {
  auto store = OpenImageFileStore(args.image);
  if (!store) {
    std::cerr << kNoSuchImage << args.image << "\n";
    return kExitFailure;
  }
  const std::string name = std::filesystem::path(args.image).filename().string();
  const PartitionTable table = ReadPartitionTable(*store);
  std::vector<Row> rows;
  for (const Partition& p : table.partitions) {
    const PartitionStore window(store->Clone(), p.Offset(), p.Length(), false);
    rows.push_back({&p, ReadPartitionVolume(window, p)});
  }
  if (args.json) {
    PrintJson(name, store->Size(), table, rows);
  } else if (!table.Partitioned()) {
    const auto boot = store->Read(0, std::min<std::uint64_t>(store->Size(), 512));
    const bool volume = boot && ReadGeometry(*boot, store->Size()).Usable();
    std::cout << name << " holds no partition table"
              << (volume ? ": it is one volume" : " and no volume's boot sector") << "\n";
  } else {
    PrintText(name, store->Size(), table, rows);
  }
  if (!args.json)
    for (const auto& f : table.findings) std::cerr << name << ": " << f << "\n";
  return kExitSuccess;
}

}  // namespace

void RegisterParts(CommandLine& commands) {
  commands.Add<Args>(
      "parts", "List the partitions of a hard-disk or card image",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IMAGE", args.image, "Hard-disk or card image")->required();
        cmd.add_flag("--json", args.json, "Print one JSON object");
      },
      ShowParts);
}

}  // namespace quarnel::cli
