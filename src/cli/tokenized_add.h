// add --tokenize: a host file of MSX-BASIC text read for adding and turned into the tokenised
// program that RUN loads.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/add_file.h"
#include "core/workspace.h"

namespace quarnel::cli {

// The entry name of a tokenised program when none is given: the host name's stem with ".BAS"
// ("game.txt" becomes "game.BAS"), shortened as the add rules shorten names that do not fit.
std::string TokenizedEntryName(const std::filesystem::path& hostPath);

// The host file read as NewFile (name, read-only bit, time) with its text tokenised; nullopt
// with the reason on stderr (the host read's message, or FILE:LINE:COLUMN of the first line
// that is no program line).
std::optional<NewFile> ReadTokenizedFile(const Workspace& ws, const std::filesystem::path& hostPath,
                                         const std::string& entryName);

}  // namespace quarnel::cli
