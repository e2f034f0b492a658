// quarnel-cli new SIZE OUT [--dos2]: an empty formatted disk image. SIZE is 160 180 320 320s 360
// 360s 640 720 (KB; "s" picks the single-sided 80-track disk of 320 and 360 KB, the others of that
// size are double-sided with 40 tracks). OUT is the image file, or a folder to write New<SIZE>.dsk
// in.
#include <filesystem>
#include <iostream>
#include <string>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "cli/image_change.h"
#include "cli/messages.h"
#include "core/new_image.h"

namespace quarnel::cli {

void RegisterNew(CommandLine& commands) {
  struct Args {
    std::string size, out;
    bool force = false, dos2 = false;
  };
  commands.Add<Args>(
      "new", "Make an empty formatted MSX-DOS disk image",
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("SIZE", args.size, "160 180 320 320s 360 360s 640 720")
            ->required()
            ->check(CLI::IsMember({"160", "180", "320", "320s", "360", "360s", "640", "720"}));
        cmd.add_option("OUT", args.out, "Image file to write, or a folder")->required();
        cmd.add_flag("-f,--force", args.force, "Replace an existing file of that name");
        cmd.add_flag("--dos2", args.dos2,
                     "An MSX-DOS 2 boot sector (VOL_ID and a random volume id)");
      },
      [](const Args& args) {
        CliUi ui;
        auto row = GeometryForSize(args.size);
        if (!row) return kExitFailure;
        std::filesystem::path out = args.out;
        std::error_code ec;
        if (std::filesystem::is_directory(out, ec)) out /= NewImageName(*row);
        // An existing file may be someone's disk: it is replaced only when asked for.
        if (!args.force && std::filesystem::symlink_status(out, ec).type() !=
                               std::filesystem::file_type::not_found) {
          std::cerr << out.string() << kExistsUseForce << "\n";
          return kExitFailure;
        }
        const NewImageOutcome made = NewImage(*row, out, Dos2VolumeId(args.dos2));
        if (!made.message.empty()) ui.Notify(made.message);
        return made == NewImageStatus::Written ? kExitSuccess : kExitFailure;
      });
}

}  // namespace quarnel::cli
