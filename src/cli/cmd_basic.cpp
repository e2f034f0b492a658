// quarnel-cli basic (IMAGE PATH | --host FILE) [--color]: the listing of a tokenised MSX-BASIC
// program, one program line per line.
#include <unistd.h>

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/viewer_input.h"
#include "viewers/basic_lister.h"
#include "viewers/messages.h"

namespace quarnel::cli {

namespace {

// "Damaged BASIC program: NAME: " + what is wrong with it.
constexpr std::string_view kDamagedBasic = "Damaged BASIC program: ";
constexpr std::string_view kTheLinkOf = "the link of ";
constexpr std::string_view kBackwards = " points backwards";
constexpr std::string_view kPastTheEnd = " points past the end of the file";
constexpr std::string_view kRunsPastTheEnd = " runs past the end of the data";
constexpr std::string_view kNoEndLink = "the data ends before the end-of-program link";
constexpr std::string_view kLine = "line ";
constexpr std::string_view kLineAtOffset = "the line at offset ";

// What is wrong with a damaged listing, in words.
std::string DamageText(const viewers::BasicListing& l) {
  using viewers::BasicDamage;
  const std::string line = l.damageLine
                               ? std::string(kLine) + std::to_string(*l.damageLine)
                               : std::string(kLineAtOffset) + std::to_string(l.damageOffset);
  switch (l.damage) {
    case BasicDamage::LinkBackwards:
      return std::string(kTheLinkOf) + line + std::string(kBackwards);
    case BasicDamage::LinkPastEnd:
      return std::string(kTheLinkOf) + line + std::string(kPastTheEnd);
    case BasicDamage::LineCut:
      return line + std::string(kRunsPastTheEnd);
    case BasicDamage::NoEndLink:
      return std::string(kNoEndLink);
    case BasicDamage::None:
      break;
  }
  return {};
}

}  // namespace

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
    if (listing.Damaged()) {
      const std::string& name = args->host.empty() ? args->imageAndPath.at(1) : args->host;
      std::cerr << kDamagedBasic << name << ": " << DamageText(listing) << "\n";
      exitCode = 1;
      return;
    }
    exitCode = 0;
  });
}

}  // namespace quarnel::cli
