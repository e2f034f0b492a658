// quarnel-cli ls IMAGE [DIR] [--json]: the file list of a directory, as the main window shows it.
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "cli/image_command.h"
#include "cli/viewer_input.h"
#include "listing/file_rows.h"

namespace quarnel::cli {

namespace {

void PrintText(const FileListing& list, const viewers::MsxCharset& cs) {
  std::string out;
  for (const auto& r : list.rows) {
    out += ShownName(r.caption, cs) + "\t" + r.sizeText + "\t" + r.type + "\t" + r.modified + "\t" +
           r.attrib + "\n";
  }
  out += list.summary + "\n";
  std::cout << out;
}

void PrintJson(const Workspace& ws, const FileListing& list, const viewers::MsxCharset& cs,
               PartitionArg partition) {
  nlohmann::ordered_json j;
  if (partition != 0) j["partition"] = partition;
  j["path"] = ws.CurrentPath();
  auto entries = nlohmann::ordered_json::array();
  for (const auto& r : list.rows) {
    entries.push_back({{"name", ShownName(r.caption, cs)},
                       {"size", r.size},
                       {"sizeText", r.sizeText},
                       {"type", r.type},
                       {"modified", r.modified},
                       {"attrib", r.attrib},
                       {"slot", r.slot}});
  }
  j["entries"] = std::move(entries);
  j["filesListed"] = list.filesListed;
  j["bytesFree"] = list.bytesFree;
  j["volume"] = ShownName(ListedVolumeName(ws.image), cs);
  std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

}  // namespace

void RegisterLs(CommandLine& commands) {
  struct Args {
    std::string dir;
    bool json = false;
    std::string charset;
  };
  AddImageCommand<Args>(
      commands, "ls", "List a directory of a disk image", kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("DIR", args.dir, "Directory inside the image (GAMES or GAMES/OLD)");
        cmd.add_flag("--json", args.json, "Print one JSON object");
        AddCharsetOption(cmd, args.charset, "Character set of the names (default: int)");
      },
      [](Workspace& ws, CliUi&, const Args& args, PartitionArg partition) {
        if (!args.dir.empty() && !ChangeDirectoryArg(ws, args.dir)) return kExitFailure;
        const FileListing list = ListRows(ws);
        const viewers::MsxCharset& cs = args.charset.empty()
                                            ? viewers::MsxCharset::International()
                                            : *viewers::MsxCharset::ByName(args.charset);
        if (args.json)
          PrintJson(ws, list, cs, partition);
        else
          PrintText(list, cs);
        return kExitSuccess;
      });
}

}  // namespace quarnel::cli
