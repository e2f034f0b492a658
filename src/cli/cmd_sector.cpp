// quarnel-cli sector IMAGE N [--raw]: one sector as a hex dump (16 bytes a row: offset in the
// sector, bytes, characters), or its bytes as they are. N is decimal or hex after "$" ("$1F").
// An image whose boot sector was refused is read as 512-byte sectors.
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/image_arg.h"
#include "cli/image_command.h"
#include "cli/raw_image.h"
#include "tools/write_back.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string image;
  PartitionArg partition = 0;
  std::string number;
  bool raw = false;
};

std::string Dump(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  char buf[24];
  for (std::size_t row = 0; row < bytes.size(); row += 16) {
    std::snprintf(buf, sizeof buf, "%03zX ", row);
    out += buf;
    std::string chars;
    for (std::size_t k = row; k < row + 16 && k < bytes.size(); ++k) {
      std::snprintf(buf, sizeof buf, " %02X", bytes[k]);
      out += buf;
      chars += bytes[k] >= 32 && bytes[k] <= 126 ? static_cast<char>(bytes[k]) : '.';
    }
    out += "  " + chars + "\n";
  }
  return out;
}

int ShowSector(const Args& args) {
  const auto n = NumberArg(args.number);
  if (!n) {
    std::cerr << tools::NotAnIntegerMessage(args.number) << "\n";
    return kExitUsage;
  }
  CliUi ui;
  Workspace ws;
  if (!OpenRawImageArg(ws, args.image, ui, args.partition)) return kExitFailure;
  const tools::SectorLayout layout = tools::SectorLayoutOf(ws.image);
  if (*n < 0 || *n >= layout.totalSectors) {
    std::cerr << kNoSuchSector << args.number << "\n";
    return kExitFailure;
  }
  const auto bytes = tools::SectorBytes(ws.image, layout, static_cast<std::int32_t>(*n));
  if (args.raw) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
      return kExitFailure;  // main says why, once stdout is flushed
    }
    std::fflush(stdout);
    return kExitSuccess;
  }
  std::cout << Dump(bytes);
  return kExitSuccess;
}

}  // namespace

void RegisterSector(CommandLine& commands) {
  commands.Add<Args>(
      "sector", "Show one sector of a disk image as hex bytes and characters",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IMAGE", args.image, std::string(kImageHelp))->required();
        AddPartitionOption(cmd, args.partition);
        cmd.add_option("N", args.number, "Sector number, decimal or hex after $ ($1F)")->required();
        cmd.add_flag("--raw", args.raw, "Write the sector's bytes to stdout as they are");
      },
      ShowSector);
}

}  // namespace quarnel::cli
