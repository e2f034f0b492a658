// Texts shown by the cassette, conversion and XSA code, word for word as users see them.
#pragma once

#include <string_view>

namespace quarnel::formats::msg {

// Cassette images.
inline constexpr std::string_view kFileToBigToLoad = "File to big to load!";
inline constexpr std::string_view kCouldNotAllocate = "Could not allocate memory";
inline constexpr std::string_view kReadError = "Read Error!";

// DDI, IMG and MSX conversion.
inline constexpr std::string_view kConvertDdiTitle = "Convert .DDI image to .DSK";
inline constexpr std::string_view kConvertImgTitle = "Convert .IMG image to .DSK";
inline constexpr std::string_view kConvertMsxTitle = "Convert .MSX image to .DSK";
inline constexpr std::string_view kMsxWrongSize = "File not right size for .msx disk image";
// Our own texts for inputs the converters refuse.
inline constexpr std::string_view kDdiTooSmall =
    "File too small to be a .ddi disk image (it holds no bytes after the 4608-byte header)";
inline constexpr std::string_view kImgWrongSize = "File not right size for .img disk image";
inline constexpr std::string_view kCannotReadSource = "Could not read the source file";
inline constexpr std::string_view kCannotWriteTarget = "Could not write the target file";

// XSA conversion.
inline constexpr std::string_view kConvertXsaTitle = "Convert .XSA image to .DSK";
inline constexpr std::string_view kConvertDskTitle = "Convert .DSK image to .XSA";

// Our own texts for XSA data the decompressor refuses.
inline constexpr std::string_view kXsaNotXsa = "Not an XSA file (the PCK signature is missing)";
inline constexpr std::string_view kXsaEndsEarly = "XSA file ends before its end marker";
inline constexpr std::string_view kXsaBadDistance =
    "XSA data refers to bytes before the start of the output";
inline constexpr std::string_view kXsaClaimsTooMuch = "XSA header claims more than 16 MiB of data";
inline constexpr std::string_view kXsaTooLong = "XSA data holds more bytes than its header says";
inline constexpr std::string_view kXsaTooShort = "XSA data holds fewer bytes than its header says";
// Our own text for an input the compressor refuses (see kMaxXsaInput).
inline constexpr std::string_view kXsaInputTooLarge =
    "File too large to compress into an .xsa image (at most 16 MiB)";

}  // namespace quarnel::formats::msg
