// The settings file: one fixed 488-byte record beside the program. Texts are length-prefixed
// (one count byte, then the characters), positions are decimal texts, colours are 32-bit
// little-endian Windows colour values (0x00BBGGRR, or a system colour with top byte 0x80).
// Nothing here needs Qt, so the record can be checked without a window.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace quarnel {

inline constexpr std::size_t kSettingsRecordSize = 488;

// Field offsets and capacities (characters after the count byte).
struct SettingsLayout {
  static constexpr std::size_t kTextViewFont = 0;    // +0, 1 + 32
  static constexpr std::size_t kBasicViewFont = 33;  // +33, 1 + 32
  static constexpr std::size_t kWindowLeft = 66;     // +66, 1 + 10
  static constexpr std::size_t kWindowTop = 77;      // +77
  static constexpr std::size_t kWindowWidth = 88;    // +88
  static constexpr std::size_t kWindowHeight = 99;   // +99
  static constexpr std::size_t kSplitterLeft = 110;  // +110, then 3 filler bytes
  static constexpr std::size_t kCharset = 121;       // ours, in the first filler byte: 1 Japanese
  static constexpr std::size_t kMsxKeywords = 122;   // ours, in the second: 1 MSX keywords
  static constexpr std::size_t kKeywordColor = 124;  // +124, 4
  static constexpr std::size_t kStartFolder = 128;   // +128, 1 + 255
  static constexpr std::size_t kOemFontColor = 384;  // +384
  static constexpr std::size_t kOemBackColor = 388;  // +388
  static constexpr std::size_t kVolumeFontColor = 392;
  static constexpr std::size_t kVolumeBackColor = 396;
  static constexpr std::size_t kTreeFontColor = 400;
  static constexpr std::size_t kTreeBackColor = 404;
  static constexpr std::size_t kTreeFontName = 408;  // +408, 1 + 32, then 3 filler bytes
  static constexpr std::size_t kListFontColor = 444;
  static constexpr std::size_t kListBackColor = 448;
  static constexpr std::size_t kListFontName = 452;  // +452, 1 + 32, then 3 filler bytes
  static constexpr std::size_t kFontNameChars = 32;
  static constexpr std::size_t kNumberChars = 10;
  static constexpr std::size_t kFolderChars = 255;
};

// Windows system colours the record may hold (top byte 0x80, low byte the index).
inline constexpr std::uint32_t kSysColorFlag = 0x80000000u;
inline constexpr std::uint32_t kSysColorWindow = 0x80000005u;
inline constexpr std::uint32_t kSysColorWindowText = 0x80000008u;

struct SettingsRecord {
  std::string textViewFont;
  std::string basicViewFont;
  std::string windowLeft, windowTop, windowWidth, windowHeight, splitterLeft;
  std::uint32_t keywordColor = 0;
  std::string startFolder;
  std::uint32_t oemFontColor = 0, oemBackColor = 0;
  std::uint32_t volumeFontColor = 0, volumeBackColor = 0;
  std::uint32_t treeFontColor = 0, treeBackColor = 0;
  std::string treeFontName;
  std::uint32_t listFontColor = 0, listBackColor = 0;
  std::string listFontName;
  bool japaneseCharset = false;  // names and views in the Japanese MSX character set
  bool msxKeywords = false;      // BASIC listed with the keywords MSX-BASIC's LIST writes

  bool operator==(const SettingsRecord&) const = default;
};

using SettingsBytes = std::array<std::uint8_t, kSettingsRecordSize>;

// The record as it is stored. Texts longer than their field are cut to the field's capacity
// (never in the middle of a UTF-8 sequence); filler bytes are written as zero.
SettingsBytes EncodeSettings(const SettingsRecord& r);

// nullopt when fewer than 488 bytes are given (a short file counts as no file). Bytes beyond
// the record are ignored; a count byte larger than its field is taken as the field's capacity.
std::optional<SettingsRecord> DecodeSettings(std::span<const std::uint8_t> bytes);

// The values of a first start (no settings file, or a short one): the window's design position
// and size, the splitter's design position, the user's home folder, system colours for the
// fields, navy keywords.
SettingsRecord FirstStartSettings(std::string homeFolder);

// A plain decimal integer with an optional minus sign and nothing else; nullopt otherwise.
std::optional<int> StrictDecimal(std::string_view text);

// Cuts `text` to at most `maxBytes` bytes without splitting a UTF-8 sequence.
std::string CutText(std::string_view text, std::size_t maxBytes);

// The number as the record stores it (decimal, cut to 10 characters).
std::string NumberText(long long value);

// Reads the record of `path`; nullopt when the file is missing, unreadable or short.
std::optional<SettingsRecord> ReadSettingsFile(const std::filesystem::path& path);

// Writes the record whole through a temporary file beside `path` renamed over it, so a failed
// write leaves the old file or none. False on failure (not reported to the user).
bool WriteSettingsFile(const std::filesystem::path& path, const SettingsRecord& r);

}  // namespace quarnel
