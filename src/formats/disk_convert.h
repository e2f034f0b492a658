// Turning .DDI, .IMG and .MSX disk images into plain .DSK images (the raw sector sequence).
// The converters work on host files only; the current image is never touched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/bytes.h"
#include "core/host_file.h"
#include "core/ui.h"

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
  Written,    // the target was written
  Cancelled,  // the user cancelled the save dialog (or confirmed an empty name)
  Refused,    // the source was refused; a message was shown
  Failed,     // reading or writing failed; a message was shown
  Ignored,    // the dispatcher had nothing to do for this extension
};

// `source` with its extension replaced by `extension` (".DSK", ".dsk", ".xsa").
std::string WithExtension(const std::string& source, std::string_view extension);

// Each asks for the target in a save dialog (proposing the source with ".DSK"), then reads the
// source (a regular file no larger than its format can be), checks its size and writes the
// target; a link standing at the target is replaced, not written through. `sourceRead`, when
// given, receives the error of reading the source and the limit it was read against (not its
// bytes), for front ends that say more than the message.
ConvertResult ConvertDDI(const std::string& source, Ui& ui, HostRead* sourceRead = nullptr);
ConvertResult ConvertIMG(const std::string& source, Ui& ui, HostRead* sourceRead = nullptr);
ConvertResult ConvertMSX(const std::string& source, Ui& ui, HostRead* sourceRead = nullptr);

// The "Convert to .DSK" / "Convert to .XSA" command for the file selected in the host browser:
// .DDI, .IMG and .MSX to their converters, .XSA and .DSK to the XSA conversion, which runs the
// xsd / xsc tools found in `programFolder`. Other extensions are ignored.
ConvertResult ConverttoDsk1Click(const std::string& source, const std::filesystem::path& programFolder,
                                 Ui& ui);

}  // namespace quarnel
