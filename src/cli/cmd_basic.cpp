// quarnel-cli basic (IMAGE PATH | --host FILE) [--color] [--charset int|jp] [--ascii]: the
// listing of a tokenised MSX-BASIC program, one program line per line. A program saved as text
// is listed as it stands, its keywords marked. --ascii writes instead the text an MSX lists and
// LOAD reads back (MSX bytes, CR LF, 0x1A at the end; UTF-8 when --charset is given).
#include <unistd.h>

#include <iostream>
#include <string>
#include <string_view>

#include "cli/command.h"
#include "cli/messages.h"
#include "cli/viewer_input.h"
#include "viewers/basic_export.h"
#include "viewers/basic_lister.h"
#include "viewers/basic_tokenizer.h"
#include "viewers/messages.h"
#include "viewers/msx_charset.h"

namespace quarnel::cli {

namespace {

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

struct Args {
  ViewerInputArgs input;
  bool color = false;
  bool ascii = false;
  std::string charset;
};

const viewers::MsxCharset& CharsetOf(const Args& args) {
  const viewers::MsxCharset* set = viewers::MsxCharset::ByName(args.charset);
  return set ? *set : viewers::MsxCharset::International();
}

// "Damaged BASIC program: NAME: ..." on stderr and failure for a damaged program.
int ReportDamage(const Args& args, const viewers::BasicListing& listing) {
  if (!listing.Damaged()) return kExitSuccess;
  const auto& in = args.input;
  const std::string& name = in.host.empty() ? in.imageAndPath.at(1) : in.host;
  std::cerr << kDamagedBasic << name << ": " << DamageText(listing) << "\n";
  return kExitFailure;
}

int Export(const Args& args, const ViewerInput& in) {
  const auto text = viewers::ExportBasicText(in.bytes);
  if (!text) {
    std::cerr << viewers::kNotTokenisedBasic << "\n";
    return kExitFailure;
  }
  const std::string out = args.charset.empty() ? *text : CharsetOf(args).ToUtf8(*text, true);
  std::cout << out;
  std::cout.flush();
  // The lines up to the damage are written; what is wrong follows as for the listing.
  return ReportDamage(args, viewers::ListBasic(in.bytes));
}

int List(const Args& args) {
  auto loaded = LoadViewerInput(args.input);
  if (!loaded.input) return loaded.exitCode;
  const Bytes bytes(loaded.input->bytes);
  if (args.ascii) return Export(args, *loaded.input);
  if (!bytes.empty() && bytes[0] != 0xFF && viewers::LooksLikeBasicText(bytes)) {
    const auto listing = viewers::ListBasicText(bytes, CharsetOf(args));
    std::cout << viewers::BasicListingText(listing, args.color && isatty(STDOUT_FILENO));
    std::cout.flush();
    return kExitSuccess;
  }
  const auto listing = viewers::ListBasic(bytes, CharsetOf(args));
  if (!listing.isBasic) {
    std::cerr << viewers::kNotTokenisedBasic << "\n";
    return kExitFailure;
  }
  std::cout << viewers::BasicListingText(listing, args.color && isatty(STDOUT_FILENO));
  std::cout.flush();
  // The window shows one "ERROR" box per link past the end; here one line per notice.
  for (int i = 0; i < listing.errors; ++i) std::cerr << viewers::kBasicLinkError << "\n";
  return ReportDamage(args, listing);
}

}  // namespace

void RegisterBasic(CommandLine& commands) {
  commands.Add<Args>(
      "basic", "List a tokenised MSX-BASIC program as text",
      [](CLI::App& cmd, Args& args) {
        AddViewerInputOptions(cmd, args.input, kBasicHostLimit);
        cmd.add_flag("--color", args.color,
                     "Mark keywords in bold and colour when stdout is a terminal");
        cmd.add_flag("--ascii", args.ascii,
                     "Write the program as the text an MSX lists (LOAD reads it back)");
        AddCharsetOption(cmd, args.charset, "The MSX character set (int: default, jp)");
      },
      List);
}

}  // namespace quarnel::cli
