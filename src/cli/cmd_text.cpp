// quarnel-cli text (IMAGE PATH | --host FILE) [--masked] [--charset int|jp]: the text view (UTF-8):
// the file in blocks of 2048 bytes, each followed by a line break. --masked keeps only printable
// ASCII, tab and line feed ("Text ( - msb )").
#include <iostream>

#include "cli/command.h"
#include "cli/viewer_input.h"
#include "viewers/msx_charset.h"
#include "viewers/text_view.h"

namespace quarnel::cli {

void RegisterText(CommandLine& commands) {
  struct Args {
    ViewerInputArgs input;
    bool masked = false;
    std::string charset;
  };
  commands.Add<Args>(
      "text", "Show a file as text",
      [](CLI::App& cmd, Args& args) {
        AddViewerInputOptions(cmd, args.input, kViewHostLimit);
        cmd.add_flag("--masked", args.masked, "Show only printable ASCII, tab and line feed");
        AddCharsetOption(cmd, args.charset, "The MSX character set (int: default, jp)");
      },
      [](const Args& args) {
        auto loaded = LoadViewerInput(args.input);
        if (!loaded.input) return loaded.exitCode;
        const auto& bytes = loaded.input->bytes;
        const viewers::MsxCharset* set = viewers::MsxCharset::ByName(args.charset);
        if (!set) set = &viewers::MsxCharset::International();
        const std::size_t count = viewers::TextBlockCount(bytes.size());
        for (std::size_t i = 0; i < count; ++i)
          std::cout << viewers::TextBlock(bytes, i, args.masked, *set) << '\n';
        std::cout.flush();
        return kExitSuccess;
      });
}

}  // namespace quarnel::cli
