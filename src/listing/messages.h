// Texts of the file list: the type column, the size column and the summary under the list.
#pragma once

#include <string_view>

namespace quarnel::listing::msg {

inline constexpr std::string_view kFilesListedFormat = "%1 Files Listed ";
inline constexpr std::string_view kBytesFreeFormat = "%1 Bytes free ";
inline constexpr std::string_view kSizeFormat = "%1 Bytes";
inline constexpr std::string_view kTapeSizeSuffix = " Bytes";

inline constexpr std::string_view kTypeBasic = "Basic file";
inline constexpr std::string_view kTypeCompressed = "Compressed file";
inline constexpr std::string_view kTypeBinary = "Binary file";
inline constexpr std::string_view kTypeBatch = "Dos Batch file";
inline constexpr std::string_view kTypeSystem = "Dos System file";
inline constexpr std::string_view kTypeExecutable = "Dos Executable";
inline constexpr std::string_view kTypeText = "Text File";
inline constexpr std::string_view kTypeRom = "Rom File";
inline constexpr std::string_view kTypeVolume = "Volume Name";
inline constexpr std::string_view kTypeDirectory = "Directory";

}  // namespace quarnel::listing::msg
