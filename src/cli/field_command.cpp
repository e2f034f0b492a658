#include "cli/field_command.h"

#include <iostream>
#include <optional>

#include "cli/image_command.h"

namespace quarnel::cli {

void AddFieldCommand(CommandLine& commands, const ImageField& field) {
  struct Args {
    std::optional<std::string> text;
  };
  AddImageCommand<Args>(
      commands, field.command, field.description, kImageHelp,
      [field](CLI::App& cmd, Args& args) { cmd.add_option("TEXT", args.text, field.textHelp); },
      [field](Workspace& ws, CliUi&, const Args& args) {
        if (!args.text) {
          std::cout << field.show(ws) << "\n";
          return ImageChange::Unchanged;
        }
        const FieldText typed = field.bytes(*args.text);
        if (!typed.ok()) {
          std::cerr << field.invalid << *args.text << " (" << DescribeNameProblem(typed.problem)
                    << ")\n";
          return ImageChange::Failed;
        }
        if (typed.bytes.size() > field.length) {
          std::cerr << field.tooLong << *args.text << "\n";
          return ImageChange::Failed;
        }
        return field.set(ws, typed.bytes);
      });
}

}  // namespace quarnel::cli
