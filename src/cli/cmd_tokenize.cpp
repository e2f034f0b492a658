// quarnel-cli tokenize IN OUT [--charset int|jp]: a program saved as text (what SAVE "X",A
// writes) to the tokenised program MSX-BASIC saves. "-" reads stdin or writes stdout. Without
// --charset the text is taken as MSX bytes; with it, as UTF-8 in that character set.
#include <cstdio>
#include <iostream>
#include <string>

#include "cli/command.h"
#include "cli/messages.h"
#include "cli/viewer_input.h"
#include "core/host_file.h"
#include "viewers/basic_tokenizer.h"
#include "viewers/msx_charset.h"

namespace quarnel::cli {

namespace {

struct Args {
  std::string in;
  std::string out;
  std::string charset;
};

// The text of IN, at most kLongestBasicText bytes of it; nullopt (the reason printed) otherwise.
std::optional<std::string> ReadText(const std::string& path) {
  HostRead read;
  read.limit = viewers::kLongestBasicText;
  if (path == "-")
    read.error = ReadStandardInput(read.limit, read.bytes);
  else
    read = ReadHostContents(path, read.limit);
  if (!read.ok()) {
    std::cerr << kCannotRead << path << "\n" << DescribeHostReadError(path, read) << "\n";
    return std::nullopt;
  }
  return std::string(read.bytes.begin(), read.bytes.end());
}

int Tokenize(const Args& args) {
  if (args.in != "-" && args.out != "-" && OutputIsInput(args.in, args.out)) return kExitFailure;
  auto text = ReadText(args.in);
  if (!text) return kExitFailure;
  if (!args.charset.empty()) {
    auto bytes = viewers::MsxCharset::ByName(args.charset)->FromUtf8(*text, true);
    if (!bytes) {
      std::cerr << kNotInCharset << args.in << "\n";
      return kExitFailure;
    }
    text = std::move(bytes);
  }
  const viewers::TokenizedBasic t = viewers::TokenizeBasic(std::string_view(*text));
  if (!t.ok()) {
    std::cerr << args.in << kAtLine << t.error->line << kAtColumn << t.error->column << ": "
              << t.error->message << "\n";
    return kExitFailure;
  }
  if (args.out == "-") {
    if (std::fwrite(t.program.data(), 1, t.program.size(), stdout) != t.program.size()) {
      return kExitFailure;  // main says why, once stdout is flushed
    }
    std::fflush(stdout);
    return kExitSuccess;
  }
  if (!WriteFileAtomically(args.out, t.program, LinkPolicy::Replace)) {
    std::cerr << kCannotWrite << args.out << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace

void RegisterTokenize(CommandLine& commands) {
  commands.Add<Args>(
      "tokenize", "Turn MSX-BASIC program text into a tokenised program",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("IN", args.in, "The program text (\"-\": stdin)")->required();
        cmd.add_option("OUT", args.out, "The tokenised program (\"-\": stdout)")->required();
        AddCharsetOption(cmd, args.charset,
                         "Read the text as UTF-8 in this MSX character set (int, jp)");
      },
      Tokenize);
}

}  // namespace quarnel::cli
