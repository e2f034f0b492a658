// The exit codes of quarnel-cli.
#pragma once

namespace quarnel::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the operation failed; the reason is on stderr
inline constexpr int kExitUsage = 2;    // the command line asks for something impossible

}  // namespace quarnel::cli
