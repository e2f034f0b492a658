// quarnel-cli hex (IMAGE PATH | --host FILE) [--width W] [--charset int|jp]: the hex view as text:
// the header strip (COM, EXE and BSAVE files), then one line per grid row: address, hex bytes,
// characters.
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/viewer_input.h"
#include "viewers/hex_layout.h"

namespace quarnel::cli {

namespace {

struct Args {
  ViewerInputArgs input;
  int width = 642;
  std::string charset;
};

int ShowHex(const Args& args) {
  auto loaded = LoadViewerInput(args.input);
  if (!loaded.input) return loaded.exitCode;
  viewers::HexLayout layout(loaded.input->bytes, loaded.input->extension, args.width);
  layout.SetCharset(viewers::MsxCharset::ByName(args.charset));
  std::string out;
  for (const auto& line : layout.headerLines()) out += line + "\n";
  if (!layout.headerLines().empty()) out += "\n";
  const int n = layout.bytesPerRow();
  for (std::size_t row = 1; row < layout.rowCount(); ++row) {
    std::string label = layout.CellText(row, 0);
    if (label.size() < 6) label.insert(0, 6 - label.size(), ' ');
    out += label;
    out += "  ";
    for (int k = 0; k < n; ++k) {
      std::string cell = layout.CellText(row, 2 + k);
      out += cell.empty() ? "  " : cell;
      out += ' ';
    }
    out += ' ';
    for (int k = 0; k < n; ++k) {
      std::string cell = layout.CellText(row, n + 3 + k);
      if (cell.empty()) break;
      out += cell;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    out += '\n';
    if (out.size() > (1 << 16)) {
      std::cout << out;
      out.clear();
    }
  }
  std::cout << out;
  std::cout.flush();
  return kExitSuccess;
}

}  // namespace

void RegisterHex(CommandLine& commands) {
  commands.Add<Args>(
      "hex", "Show a file as hex bytes and characters",
      [](CLI::App& cmd, Args& args) {
        AddViewerInputOptions(cmd, args.input, kViewHostLimit);
        cmd.add_option("--width", args.width,
                       "Window width in pixels that decides the bytes per row")
            ->capture_default_str();
        AddCharsetOption(cmd, args.charset,
                         "Show the characters 0x80-0xFF in this MSX character set (int, jp)");
      },
      ShowHex);
}

}  // namespace quarnel::cli
