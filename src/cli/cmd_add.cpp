// quarnel-cli add IMAGE HOSTFILE... [--name NAME]...: host files into the root directory of the
// image, replacing files of the same name; the image is saved in place when every file fits.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "cli/tokenized_add.h"
#include "core/add_file.h"
#include "core/host_file.h"

namespace quarnel::cli {

namespace {

// The entry name for a host file: its own name when it fits 8.3, otherwise the first valid one
// of the --name values not yet taken, then the automatic short name (with a line saying so).
// nullopt when the short name does not fit either.
class EntryNames {
 public:
  explicit EntryNames(const std::vector<std::string>& names) : names_(names) {}

  std::optional<std::string> For(const std::filesystem::path& hostPath) {
    const std::string hostName = hostPath.filename().string();
    if (!NeedsEntryName(hostPath)) return hostName;  // AddFile reports a file it cannot read
    while (next_ < names_.size()) {
      const std::string& name = names_[next_++];
      if (IsValidMsxName(name)) return name;
    }
    std::string name = ShortMsxName(hostName);
    std::cerr << hostName << kAddedAs << name << "\n";
    if (!IsValidMsxName(name)) return std::nullopt;
    return name;
  }

 private:
  const std::vector<std::string>& names_;
  std::size_t next_ = 0;
};

// add --tokenize: each text file tokenised under the next --name or its own stem with .BAS.
ImageChange AddTokenized(Workspace& ws, const std::vector<std::string>& files,
                         const std::vector<std::string>& names) {
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::filesystem::path host(files[i]);
    const std::string name = i < names.size() ? names[i] : TokenizedEntryName(host);
    const std::optional<NewFile> file = ReadTokenizedFile(ws, host, name);
    if (!file) return ImageChange::Failed;
    const AddOutcome out = AddFileData(ws.image, ws.CurrentDir(), *file);
    if (out != AddStatus::Added) {
      if (!out.message.empty()) std::cerr << out.message << "\n";
      return ImageChange::Failed;
    }
  }
  return ImageChange::Changed;
}

}  // namespace

void RegisterAdd(CommandLine& commands) {
  struct Args {
    std::vector<std::string> files, names;
    bool tokenize = false;
  };
  AddImageCommand<Args>(
      commands, "add", "Add host files to the root directory of a disk image", kChangedImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("HOSTFILE", args.files, "Host files to add")->required();
        cmd.add_option("-n,--name", args.names,
                       "MSX name (8.3) for a host file whose name does not fit, taken in order "
                       "(default: the name shortened)")
            ->expected(1)
            ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        cmd.add_flag("--tokenize", args.tokenize,
                     "Store MSX-BASIC text as the tokenised program RUN loads (default name: "
                     "the host name with .BAS; --name gives another)");
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        if (args.tokenize) return AddTokenized(ws, args.files, args.names);
        EntryNames names(args.names);
        for (const auto& f : args.files) {
          const std::optional<std::string> name = names.For(f);
          if (!name) return ImageChange::Failed;
          const AddOutcome out = AddFile(ws.image, ws.CurrentDir(), f, *name);
          if (out != AddStatus::Added) {
            if (!out.message.empty()) std::cerr << out.message << "\n";
            // "read ERROR!" does not say that the file was a directory, a FIFO or a device.
            if (IsOtherKind(out.hostError))
              std::cerr << DescribeHostReadError(f, out.hostError, 0) << "\n";
            return ImageChange::Failed;
          }
        }
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
