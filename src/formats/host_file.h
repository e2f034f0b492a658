// Whole-file reads of host files for the format converters and tools.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace quarnel {

// The whole file, or nullopt when it cannot be opened or read completely. Files longer than
// `limit` bytes are not read (nullopt too).
std::optional<std::vector<std::uint8_t>> ReadHostBytes(const std::filesystem::path& path,
                                                       std::uintmax_t limit = UINTMAX_MAX);

}  // namespace quarnel
