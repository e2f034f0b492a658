#include "app/platform/settings_record.h"

#include <charconv>
#include <fstream>
#include <system_error>

#include "core/bytes.h"
#include "core/host_file.h"

namespace quarnel {

namespace {

using L = SettingsLayout;

void PutText(SettingsBytes& out, std::size_t off, std::size_t capacity, std::string_view text) {
  std::string cut = CutText(text, capacity);
  out[off] = static_cast<std::uint8_t>(cut.size());
  for (std::size_t i = 0; i < cut.size(); ++i) out[off + 1 + i] = static_cast<std::uint8_t>(cut[i]);
}

std::string GetText(std::span<const std::uint8_t> in, std::size_t off, std::size_t capacity) {
  std::size_t n = in[off];
  if (n > capacity) n = capacity;
  return std::string(reinterpret_cast<const char*>(in.data() + off + 1), n);
}

void PutColor(SettingsBytes& out, std::size_t off, std::uint32_t c) {
  PutLe32(MutableBytes(out), off, c);
}

std::uint32_t GetColor(std::span<const std::uint8_t> in, std::size_t off) {
  return Le32At(in, off).value_or(0);
}

}  // namespace

std::string CutText(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return std::string(text);
  std::size_t n = maxBytes;
  // Step back over continuation bytes so a multi-byte character is kept whole or dropped whole.
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return std::string(text.substr(0, n));
}

std::string NumberText(long long value) { return CutText(std::to_string(value), L::kNumberChars); }

std::optional<int> StrictDecimal(std::string_view text) {
  if (text.empty()) return std::nullopt;
  std::size_t start = text[0] == '-' ? 1 : 0;
  if (start == text.size()) return std::nullopt;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
  }
  int v = 0;
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || p != text.data() + text.size()) return std::nullopt;
  return v;
}

SettingsBytes EncodeSettings(const SettingsRecord& r) {
  SettingsBytes out{};
  PutText(out, L::kTextViewFont, L::kFontNameChars, r.textViewFont);
  PutText(out, L::kBasicViewFont, L::kFontNameChars, r.basicViewFont);
  PutText(out, L::kWindowLeft, L::kNumberChars, r.windowLeft);
  PutText(out, L::kWindowTop, L::kNumberChars, r.windowTop);
  PutText(out, L::kWindowWidth, L::kNumberChars, r.windowWidth);
  PutText(out, L::kWindowHeight, L::kNumberChars, r.windowHeight);
  PutText(out, L::kSplitterLeft, L::kNumberChars, r.splitterLeft);
  PutColor(out, L::kKeywordColor, r.keywordColor);
  PutText(out, L::kStartFolder, L::kFolderChars, r.startFolder);
  PutColor(out, L::kOemFontColor, r.oemFontColor);
  PutColor(out, L::kOemBackColor, r.oemBackColor);
  PutColor(out, L::kVolumeFontColor, r.volumeFontColor);
  PutColor(out, L::kVolumeBackColor, r.volumeBackColor);
  PutColor(out, L::kTreeFontColor, r.treeFontColor);
  PutColor(out, L::kTreeBackColor, r.treeBackColor);
  PutText(out, L::kTreeFontName, L::kFontNameChars, r.treeFontName);
  PutColor(out, L::kListFontColor, r.listFontColor);
  PutColor(out, L::kListBackColor, r.listBackColor);
  PutText(out, L::kListFontName, L::kFontNameChars, r.listFontName);
  out[L::kCharset] = r.japaneseCharset ? 1 : 0;
  out[L::kMsxKeywords] = r.msxKeywords ? 1 : 0;
  return out;
}

std::optional<SettingsRecord> DecodeSettings(std::span<const std::uint8_t> in) {
  if (in.size() < kSettingsRecordSize) return std::nullopt;
  in = in.first(kSettingsRecordSize);
  SettingsRecord r;
  r.textViewFont = GetText(in, L::kTextViewFont, L::kFontNameChars);
  r.basicViewFont = GetText(in, L::kBasicViewFont, L::kFontNameChars);
  r.windowLeft = GetText(in, L::kWindowLeft, L::kNumberChars);
  r.windowTop = GetText(in, L::kWindowTop, L::kNumberChars);
  r.windowWidth = GetText(in, L::kWindowWidth, L::kNumberChars);
  r.windowHeight = GetText(in, L::kWindowHeight, L::kNumberChars);
  r.splitterLeft = GetText(in, L::kSplitterLeft, L::kNumberChars);
  r.japaneseCharset = in[L::kCharset] == 1;
  r.msxKeywords = in[L::kMsxKeywords] == 1;
  r.keywordColor = GetColor(in, L::kKeywordColor);
  r.startFolder = GetText(in, L::kStartFolder, L::kFolderChars);
  r.oemFontColor = GetColor(in, L::kOemFontColor);
  r.oemBackColor = GetColor(in, L::kOemBackColor);
  r.volumeFontColor = GetColor(in, L::kVolumeFontColor);
  r.volumeBackColor = GetColor(in, L::kVolumeBackColor);
  r.treeFontColor = GetColor(in, L::kTreeFontColor);
  r.treeBackColor = GetColor(in, L::kTreeBackColor);
  r.treeFontName = GetText(in, L::kTreeFontName, L::kFontNameChars);
  r.listFontColor = GetColor(in, L::kListFontColor);
  r.listBackColor = GetColor(in, L::kListBackColor);
  r.listFontName = GetText(in, L::kListFontName, L::kFontNameChars);
  return r;
}

SettingsRecord FirstStartSettings(std::string homeFolder) {
  SettingsRecord r;
  r.windowLeft = "245";
  r.windowTop = "125";
  r.windowWidth = "644";
  r.windowHeight = "443";
  r.splitterLeft = "193";
  r.keywordColor = 0x00800000u;  // navy
  r.startFolder = CutText(homeFolder, L::kFolderChars);
  r.oemFontColor = r.volumeFontColor = r.treeFontColor = r.listFontColor = kSysColorWindowText;
  r.oemBackColor = r.volumeBackColor = r.treeBackColor = r.listBackColor = kSysColorWindow;
  return r;
}

std::optional<SettingsRecord> ReadSettingsFile(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::nullopt;
  SettingsBytes buf{};
  f.read(reinterpret_cast<char*>(buf.data()), static_cast<std::streamsize>(buf.size()));
  if (static_cast<std::size_t>(f.gcount()) != buf.size()) return std::nullopt;
  return DecodeSettings(buf);
}

bool WriteSettingsFile(const std::filesystem::path& path, const SettingsRecord& r) {
  SettingsBytes bytes = EncodeSettings(r);
  return WriteFileAtomically(path, bytes);
}

}  // namespace quarnel
