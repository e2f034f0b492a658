// quarnel-cli text (IMAGE PATH | --host FILE) [--masked]: the text view (UTF-8): the file in
// blocks of 2048 bytes, each followed by a line break. --masked keeps only printable ASCII, tab
// and line feed ("Text ( - msb )").
#include <iostream>
#include <memory>

#include "cli/command.h"
#include "cli/viewer_input.h"
#include "viewers/text_view.h"

namespace quarnel::cli {

void RegisterText(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("text", "Show a file as text");
  auto args = std::make_shared<ViewerInputArgs>();
  auto masked = std::make_shared<bool>(false);
  AddViewerInputOptions(cmd, *args);
  cmd->add_flag("--masked", *masked, "Show only printable ASCII, tab and line feed");
  cmd->callback([args, masked, &exitCode] {
    auto in = LoadViewerInput(*args, exitCode);
    if (!in) return;
    const std::size_t count = viewers::TextBlockCount(in->bytes.size());
    for (std::size_t i = 0; i < count; ++i) {
      std::cout << viewers::TextBlock(in->bytes, i, *masked) << '\n';
    }
    std::cout.flush();
    exitCode = 0;
  });
}

}  // namespace quarnel::cli
