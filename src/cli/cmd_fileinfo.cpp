// quarnel-cli fileinfo IMAGE PATH [--json]: the FILE INFO report: size, clusters, time, and the
// map of the disk with the file's clusters marked; the JSON adds the clusters and sectors the
// file occupies as ranges.
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/image_command.h"
#include "tools/disk_report.h"
#include "tools/file_properties.h"

namespace quarnel::cli {

void RegisterFileinfo(CommandLine& commands) {
  struct Args {
    std::string path;
    bool json = false;
  };
  AddImageCommand<Args>(
      commands, "fileinfo", "Show a file's size, clusters and where they lie on the disk",
      kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("PATH", args.path, "File inside the image (GAMES/ZORK.BAS)")->required();
        cmd.add_flag("--json", args.json, "Print one JSON object");
      },
      [](Workspace& ws, CliUi&, const Args& args, PartitionArg partition) {
        const auto found = EntryArg(ws, args.path, true);
        if (!found) return kExitFailure;
        // The name as the terminal shows MSX characters.
        FileEntry shown = *found->entry;
        shown.name = ShownName(shown.name);
        shown.extension = ShownName(shown.extension);
        const tools::Report r = tools::BuildFileInfo(ws.image, shown);
        if (!args.json) {
          std::cout << r.caption << "\n" << tools::ReportText(r);
          return kExitSuccess;
        }
        nlohmann::ordered_json j;
        if (partition != 0) j["partition"] = partition;
        j["size"] = r.sizeBytes;
        j["clusters"] = r.fileClusters;
        j["modified"] = r.modified;
        j["chain"] = r.chain;
        // The clusters and sectors the file occupies, as runs in chain order.
        const auto clusters = tools::ClusterRanges(r.chain);
        auto ranges = [](const std::vector<tools::NumberRange>& runs) {
          auto out = nlohmann::ordered_json::array();
          for (const tools::NumberRange& run : runs) out.push_back({run.first, run.last});
          return out;
        };
        j["ranges"] = ranges(clusters);
        j["sectors"] = ranges(tools::SectorRanges(ws.image.geometry, clusters));
        j["map"] = r.map.Letters();
        std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << "\n";
        return kExitSuccess;
      });
}

}  // namespace quarnel::cli
