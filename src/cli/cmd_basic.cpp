// quarnel-cli basic (IMAGE PATH | --host FILE) [--color]: the listing of a tokenised MSX-BASIC
// program, one program line per line.
#include <unistd.h>

#include <iostream>
#include <memory>

#include "cli/command.h"
#include "cli/viewer_input.h"
#include "viewers/basic_lister.h"
#include "viewers/messages.h"

namespace quarnel::cli {

void RegisterBasic(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("basic", "List a tokenised MSX-BASIC program as text");
  auto args = std::make_shared<ViewerInputArgs>();
  auto color = std::make_shared<bool>(false);
  AddViewerInputOptions(cmd, *args);
  cmd->add_flag("--color", *color, "Mark keywords in bold and colour when stdout is a terminal");
  cmd->callback([args, color, &exitCode] {
    auto in = LoadViewerInput(*args, exitCode);
    if (!in) return;
    const auto listing = viewers::ListBasic(in->bytes);
    if (!listing.isBasic) {
      std::cerr << viewers::kNotTokenisedBasic << "\n";
      exitCode = 1;
      return;
    }
    std::cout << viewers::BasicListingText(listing, *color && isatty(STDOUT_FILENO));
    std::cout.flush();
    // The window shows one "ERROR" box per link past the end; here one line per notice.
    for (int i = 0; i < listing.errors; ++i) std::cerr << viewers::kBasicLinkError << "\n";
    exitCode = 0;
  });
}

}  // namespace quarnel::cli
