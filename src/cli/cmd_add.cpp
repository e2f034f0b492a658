// quarnel-cli add IMAGE HOSTFILE... [--name NAME]...: host files into the root directory of the
// image, replacing files of the same name; the image is saved in place when every file fits.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/image_command.h"
#include "core/add_file.h"
#include "core/host_file.h"

namespace quarnel::cli {

namespace {

// Answers the rename question for a host name that does not fit 8.3: the --name values in
// order, then the automatic short name (once per file).
class AddUi : public CliUi {
 public:
  explicit AddUi(std::vector<std::string> names) : names_(std::move(names)) {}
  // A new host file: it may have its automatic short name again.
  void NextFile() { autoGiven_ = false; }
  std::optional<std::string> AskNewName(std::string_view hostName) override {
    if (next_ < names_.size()) return names_[next_++];
    if (autoGiven_) return std::nullopt;  // the short name was refused as well
    autoGiven_ = true;
    std::string name = ShortMsxName(hostName);
    std::cerr << hostName << kAddedAs << name << "\n";
    return name;
  }

 private:
  std::vector<std::string> names_;
  std::size_t next_ = 0;
  bool autoGiven_ = false;
};

}  // namespace

void RegisterAdd(CommandLine& commands) {
  struct Args {
    std::vector<std::string> files, names;
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
      },
      [](Workspace& ws, CliUi&, const Args& args) {
        AddUi ui(args.names);  // the additions' own Ui: it answers the rename question
        for (const auto& f : args.files) {
          ui.NextFile();
          HostReadError why = HostReadError::None;
          if (AddFile(ws, f, ui, &why) != AddStatus::Added) {  // the message is on stderr
            // "read ERROR!" does not say that the file was a directory, a FIFO or a device.
            if (IsOtherKind(why)) std::cerr << DescribeHostReadError(f, why, 0) << "\n";
            return ImageChange::Failed;
          }
        }
        return ImageChange::Changed;
      });
}

}  // namespace quarnel::cli
