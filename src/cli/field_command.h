// label and oem: show a name field of a disk image, or set it. The two commands differ only in
// their field, which each describes in an ImageField.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "cli/cli_ui.h"
#include "cli/command.h"
#include "cli/image_change.h"
#include "core/rename.h"
#include "core/workspace.h"

namespace quarnel::cli {

struct ImageField {
  const char* command;
  const char* description;
  const char* textHelp;      // the help of TEXT
  std::string_view tooLong;  // the message for a TEXT of more than `length` bytes
  std::string_view invalid;  // the message for a TEXT the field cannot hold
  std::size_t length;        // the most bytes the field holds
  // The field as it is printed.
  std::string (*show)(const Workspace& ws);
  // The bytes that TEXT as typed stands for, or why it cannot stand in the field.
  FieldText (*bytes)(std::string_view typed);
  // Writes `bytes` (at most `length` of them) into the field.
  ImageChange (*set)(Workspace& ws, const std::string& bytes);
};

// Adds the command `field.command IMAGE [TEXT]`: it prints the field without TEXT, and sets it
// to TEXT (saving the image in place) with one.
void AddFieldCommand(CommandLine& commands, const ImageField& field);

}  // namespace quarnel::cli
