// Whole-file reads and atomic writes of host files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// The extension of the file name in `path` (after the last / or \\), from its last dot on,
// upper-cased (".DSK"); empty when the name has no dot.
std::string UpperExtension(std::string_view path);

// Writes `bytes` to a temporary file beside `target` and renames it over `target`, so a failure
// leaves the old file whole. False on any failure (the temporary file is removed).
bool WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// The whole file, or nullopt when it cannot be opened or read completely. Files longer than
// `limit` bytes are not read (nullopt too).
std::optional<std::vector<std::uint8_t>> ReadHostBytes(const std::filesystem::path& path,
                                                       std::uintmax_t limit = UINTMAX_MAX);

}  // namespace quarnel
