// quarnel-cli poke IMAGE (--sector N | PATH) --offset O HEXBYTES: overwrites bytes in place,
// inside one sector or inside a file along its cluster chain (never past its size, never its
// directory entry). All of the bytes or none; the image is saved atomically.
#include <iostream>
#include <optional>
#include <string>

#include "cli/image_command.h"
#include "cli/raw_image.h"
#include "tools/search.h"
#include "tools/write_back.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string sector;
  std::string offset;
  std::string first;   // PATH, or HEXBYTES with --sector
  std::string second;  // HEXBYTES after PATH
};

ImageChange Poke(Workspace& ws, const Args& args) {
  const bool bySector = !args.sector.empty();
  const std::string& hex = bySector ? args.first : args.second;
  if (bySector && !args.second.empty()) {
    std::cerr << kGiveSectorOrPath << "\n";
    return ImageChange::Failed;
  }
  if (hex.empty()) {
    std::cerr << kGiveBytes << "\n";
    return ImageChange::Failed;
  }
  const auto bytes = tools::ParseHexBytes(hex);
  if (!bytes || bytes->empty()) {
    std::cerr << kNotHexBytes << hex << "\n";
    return ImageChange::Failed;
  }
  const auto offset = NumberArg(args.offset);
  if (!offset) {
    std::cerr << tools::NotAnIntegerMessage(args.offset) << "\n";
    return ImageChange::Failed;
  }
  if (*offset < 0) {
    std::cerr << kNegativeOffset << args.offset << "\n";
    return ImageChange::Failed;
  }
  tools::WriteOutcome out;
  if (bySector) {
    const auto n = NumberArg(args.sector);
    if (!n) {
      std::cerr << tools::NotAnIntegerMessage(args.sector) << "\n";
      return ImageChange::Failed;
    }
    out = tools::PokeSector(ws, *n, *offset, *bytes);
  } else {
    const auto found = EntryArg(ws, args.first, true);
    if (!found) return ImageChange::Failed;
    out = tools::PokeFile(ws, *found->entry, *offset, *bytes);
    if (out == tools::WriteStatus::ClusterError)
      out.message = std::string(kBrokenChain) + args.first;
  }
  if (out != tools::WriteStatus::Written) {
    std::cerr << out.message << "\n";
    return ImageChange::Failed;
  }
  return ImageChange::Changed;
}

}  // namespace

void RegisterPoke(CommandLine& commands) {
  AddImageCommand<Args>(
      commands, "poke", "Overwrite bytes of a sector or a file in place", kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("--sector", args.sector, "Sector number, decimal or hex after $ ($1F)");
        cmd.add_option("--offset", args.offset, "Offset in the sector or the file")->required();
        cmd.add_option("PATH", args.first, "File inside the image (GAMES/ZORK.BAS)");
        cmd.add_option("HEXBYTES", args.second, "The bytes to write as hex digits (C9 or 3E01C9)");
      },
      [](Workspace& ws, CliUi&, const Args& args) { return Poke(ws, args); });
}

}  // namespace quarnel::cli
