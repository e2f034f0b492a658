// Shared by the commands that change a disk image: they save it in place (atomically) when the
// whole change succeeded, and leave the file untouched otherwise.
#pragma once

#include <string>
#include <string_view>

#include "cli/cli_ui.h"
#include "core/workspace.h"

namespace quarnel::cli {

// Texts of the command line's own.
inline constexpr std::string_view kInvalidMsxName = "Not a valid MSX-DOS name (8.3): ";
inline constexpr std::string_view kVolumeTooLong = "A volume name holds at most 11 characters: ";
inline constexpr std::string_view kOemTooLong = "An OEM signature holds at most 8 characters: ";
inline constexpr std::string_view kAddedAs = " added as ";
inline constexpr std::string_view kCannotChange = "Cannot change this entry: ";
inline constexpr std::string_view kExistsUseForce = " exists; give --force to replace it";
inline constexpr std::string_view kImageReadOnly = " is read-only";

// Saves the image over its own file. False (the reason on stderr) when that fails, and when the
// file is read-only: a command never makes a read-only image writable.
bool SaveInPlace(Workspace& ws, CliUi& ui);

// A name for a host file that does not fit 8.3: the name before the last dot without blanks cut
// to 8 characters, and the extension cut to 3 ("_" for an empty name); a character outside ASCII
// and one that MSX-DOS names may not hold (a further dot among them) becomes "_".
std::string ShortMsxName(std::string_view hostName);

}  // namespace quarnel::cli
