// Turning .DDI, .IMG, .MSX and .XSA disk images into plain .DSK images (the raw sector sequence)
// and .DSK images into .XSA. The converters work on
// host files only; the current image is never touched. They ask nothing: the front end asks for
// the target first and passes it in.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/bytes.h"
#include "core/file_types.h"  // Conversion, ConversionFor
#include "core/host_file.h"

namespace quarnel {

inline constexpr std::size_t kDdiHeaderBytes = 4608;
inline constexpr std::size_t kMsxImageBytes = 737280;
inline constexpr std::size_t kMsxTrackBytes = 4608;  // 9 sectors of 512 bytes
inline constexpr std::size_t kImgWithLeadByte = 737281;

// The .DSK bytes of a .DDI file: everything after its 4608-byte header; nullopt when nothing
// follows the header.
std::optional<std::vector<std::uint8_t>> DdiToDsk(Bytes ddi);
// The .DSK bytes of an .IMG file: a standard disk size copied unchanged, 737,281 bytes without
// the first byte; nullopt for any other size.
std::optional<std::vector<std::uint8_t>> ImgToDsk(Bytes img);
// The .DSK bytes of an .MSX file (side 0's 80 tracks, then side 1's) with the tracks of the two
// sides interleaved; nullopt unless the file has 737,280 bytes.
std::optional<std::vector<std::uint8_t>> MsxToDsk(Bytes msx);

enum class ConvertResult {
  Written,           // the target was written
  Refused,           // the source is no image of its format (or too large to be one)
  SourceUnreadable,  // the source could not be read (see sourceError)
  OutOfMemory,       // the source's or the target's bytes could not be allocated
  TargetUnwritable,  // the target could not be written; a file already there is as it was
};

// How a conversion ended. Unless it was written, `message` is the text to show. `sourceError`
// and `sourceLimit` say why the source was not read and the bound it was read against, for
// front ends that say more than the message (None when it was read).
struct ConvertOutcome {
  ConvertResult result = ConvertResult::Written;
  std::string message;
  HostReadError sourceError = HostReadError::None;
  std::uintmax_t sourceLimit = 0;
  bool written() const { return result == ConvertResult::Written; }
};

// `source` with its extension replaced by `extension` (".DSK", ".dsk", ".xsa").
std::string WithExtension(const std::string& source, std::string_view extension);

// Each reads the source (a regular file no larger than its format can be), checks its size and
// writes `target`; a link standing at the target is replaced, not written through.
ConvertOutcome ConvertDDI(const std::string& source, const std::filesystem::path& target);
ConvertOutcome ConvertIMG(const std::string& source, const std::filesystem::path& target);
ConvertOutcome ConvertMSX(const std::string& source, const std::filesystem::path& target);

// The XSA conversions, run by the codec in this process. An .xsa file to the disk image (or any
// file) it holds; a file that is no XSA data, or whose data is broken, is refused with the
// decompressor's message.
ConvertOutcome ConvertXsaToDsk(const std::string& source, const std::filesystem::path& target);
// A disk image (or any file of up to kMaxXsaInput bytes) to an .xsa file whose header keeps the
// source's file name.
ConvertOutcome ConvertDskToXsa(const std::string& source, const std::filesystem::path& target);

// Runs `conversion` from `source` into `target`.
ConvertOutcome Convert(Conversion conversion, const std::string& source,
                       const std::filesystem::path& target);

}  // namespace quarnel
