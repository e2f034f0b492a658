// The host folder that extract and cas extract write their files to (-o HOSTDIR).
#pragma once

#include <string>

namespace quarnel::cli {

// Makes the folder `dir` (and its parents) when it is missing. False, with the reason on stderr,
// when there is no folder to write to there afterwards.
bool MakeOutputDir(const std::string& dir);

}  // namespace quarnel::cli
