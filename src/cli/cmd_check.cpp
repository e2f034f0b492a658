// quarnel-cli check IMAGE [--json] [--repair] [--free-lost]: what is wrong with a disk image, and
// with --repair the image mended and saved in place when nothing is left. Exit 0 when the disk is
// (now) clean, 1 when findings remain (the image then unchanged) or it cannot be read or saved.
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/image_command.h"
#include "core/disk_check.h"
#include "core/disk_repair.h"

namespace quarnel::cli {

namespace {

// The clusters of a finding as the text output shows them: the first 16, then how many more.
std::string ClusterList(const std::vector<std::uint16_t>& clusters) {
  constexpr std::size_t kShown = 16;
  std::string s;
  for (std::size_t i = 0; i < clusters.size() && i < kShown; ++i)
    s += (s.empty() ? "" : ",") + std::to_string(clusters[i]);
  if (clusters.size() > kShown)
    s += std::string(kCheckMore) + " " + std::to_string(clusters.size() - kShown);
  return s;
}

void PrintFinding(const DiskFinding& f) {
  std::string line(FindingKindName(f.kind));
  if (!f.path.empty()) line += "\t" + ShownName(f.path);
  if (!f.clusters.empty())
    line += "\t" + std::string(kCheckClusters.substr(1)) + ClusterList(f.clusters);
  std::cout << line << "\t" << ShownName(f.message) << "\n";
}

// Messages name entries by their bytes on the disk: they are shown through the character table
// like paths.
nlohmann::ordered_json FindingJson(const DiskFinding& f) {
  return {{"kind", std::string(FindingKindName(f.kind))},
          {"path", ShownName(f.path)},
          {"clusters", f.clusters},
          {"message", ShownName(f.message)}};
}

}  // namespace

void RegisterCheck(CommandLine& commands) {
  struct Args {
    std::string image;
    PartitionArg partition = 0;
    bool json = false;
    bool repair = false;
    bool freeLost = false;
  };
  commands.Add<Args>(
      "check", "Check a disk image for damage, and repair it with --repair",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IMAGE", args.image, std::string(kChangedImageHelp))->required();
        AddPartitionOption(cmd, args.partition);
        cmd.add_flag("--json", args.json, "Print one JSON object");
        auto* repair = cmd.add_flag("--repair", args.repair, "Mend what can be mended, in place");
        cmd.add_flag("--free-lost", args.freeLost,
                     "Free lost chains instead of keeping them as FILEnnnn.CHK")
            ->needs(repair);
      },
      [](const Args& args) -> int {
        CliUi ui;
        Workspace ws;
        std::unique_ptr<ImageLock> lock;
        if (args.repair && !(lock = HoldImageForChange(args.image))) return kExitFailure;
        // An image whose boot sector is refused is still checked: that is the one finding.
        if (!OpenImageArg(ws, args.image, ui, args.partition, args.repair) && ws.image.Empty())
          return kExitFailure;
        const DiskCheck check = CheckDisk(ws.image);
        // The JSON object is made only when it is printed.
        nlohmann::ordered_json j;
        if (args.json) {
          j["image"] = args.image;
          if (args.partition != 0) j["partition"] = args.partition;
          auto list = nlohmann::ordered_json::array();
          for (const auto& f : check.findings) list.push_back(FindingJson(f));
          j["findings"] = std::move(list);
        } else {
          for (const auto& f : check.findings) PrintFinding(f);
          std::cout << (check.Clean() ? std::string(kCheckClean)
                        : check.findings.size() == 1
                            ? std::string(kCheckFindingOne)
                            : std::to_string(check.findings.size()) + std::string(kCheckFindings))
                    << "\n";
        }
        bool clean = check.Clean();
        if (args.repair && !check.Clean()) {
          const RepairPlan plan = PlanRepair(ws.image, {args.freeLost, SystemClock().Now()});
          auto actions = nlohmann::ordered_json::array();
          for (const auto& a : plan.actions) {
            auto one = FindingJson(a.finding);
            one["remedy"] = ShownName(a.remedy);
            one["done"] = a.done;
            actions.push_back(std::move(one));
            if (!args.json)
              std::cout << FindingKindName(a.finding.kind) << "\t" << ShownName(a.finding.path)
                        << "\n"
                        << (a.done ? kCheckRepaired : kCheckLeft) << ShownName(a.remedy) << "\n";
          }
          // A repair that leaves findings is not saved: the image stays as it was.
          bool saved = false;
          if (plan.changed && plan.left.empty()) {
            ws.image = plan.repaired;
            ws.MarkChanged();
            if (!SaveInPlace(ws, ui)) return kExitFailure;
            saved = true;
          }
          auto left = nlohmann::ordered_json::array();
          for (const auto& f : plan.left) left.push_back(FindingJson(f));
          j["repair"] = {{"actions", std::move(actions)}, {"saved", saved}, {"left", left}};
          if (!args.json) {
            if (saved) std::cout << kCheckSaved << "\n";
            if (plan.changed && !saved) std::cout << kCheckNotSaved << "\n";
            for (const auto& f : plan.left) {
              std::cout << kCheckStillFound;
              PrintFinding(f);
            }
          }
          clean = plan.left.empty();
        }
        j["clean"] = clean;
        if (args.json)
          std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                    << "\n";
        return clean ? kExitSuccess : kExitFailure;
      });
}

}  // namespace quarnel::cli
