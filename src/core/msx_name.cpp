#include "core/msx_name.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/ascii.h"
#include "core/msx_charset.h"

namespace quarnel {

MsxName11 MakeMsxName(std::string_view host) {
  MsxName11 out;
  out.fill(' ');
  // i: 1-based position in the host name; j: 0-based position in the 11 bytes.
  std::size_t i = 1, j = 0;
  const std::size_t len = host.size();
  while (i <= kLongestHostName && j <= 10) {
    if (i <= len && host[i - 1] == '.') {
      for (std::size_t k = i - 1; k <= 7; ++k) out[k] = ' ';
      j = 8;
      ++i;
    }
    if (i > len) {
      out[j] = ' ';
    } else {
      auto c = static_cast<std::uint8_t>(host[i - 1]);
      out[j] = AsciiUpper(c);
    }
    ++i;
    ++j;
  }
  out[0] = StoredFirstByte(out[0]);
  return out;
}

MsxName11 FoldedMsxName(const std::uint8_t* name11) {
  MsxName11 out;
  for (std::size_t k = 0; k < out.size(); ++k) out[k] = FoldNameByte(name11[k], k == 0);
  return out;
}

std::string FoldedNameText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t k = 0; k < text.size(); ++k)
    out.push_back(static_cast<char>(FoldNameByte(static_cast<std::uint8_t>(text[k]), k == 0)));
  return out;
}

bool SameMsxName(const std::uint8_t* a, const std::uint8_t* b) {
  // Byte by byte: most names differ early.
  for (std::size_t k = 0; k < std::tuple_size_v<MsxName11>; ++k)
    if (FoldNameByte(a[k], k == 0) != FoldNameByte(b[k], k == 0)) return false;
  return true;
}

bool IsDotEntry(const std::uint8_t* n) {
  return std::memcmp(n, ".          ", 11) == 0 || std::memcmp(n, "..         ", 11) == 0;
}

bool IsForbiddenNameChar(char ch) {
  // Control bytes, the blank, DEL and the characters MSX-DOS keeps for itself, by byte.
  static constexpr auto kForbidden = [] {
    std::array<bool, 256> table{};
    for (std::size_t u = 0; u <= 0x20; ++u) table[u] = true;
    table[0x7F] = true;
    for (char c : std::string_view("\"*+,./:;<=>?[\\]|"))
      table[static_cast<unsigned char>(c)] = true;
    return table;
  }();
  return kForbidden[static_cast<unsigned char>(ch)];
}

NameProblem CheckMsxName(std::string_view name) {
  const auto dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string_view ext =
      dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
  if (base.empty()) return NameProblem::Empty;
  if (ext.find('.') != std::string_view::npos) return NameProblem::SeveralDots;
  for (std::string_view part : {base, ext}) {
    for (char c : part) {
      const auto u = static_cast<unsigned char>(c);
      if (u == ' ') return NameProblem::Blank;
      if (u < 0x20 || u == 0x7F) return NameProblem::ControlByte;
      if (IsForbiddenNameChar(c)) return NameProblem::ForbiddenChar;
    }
  }
  if (base.size() > 8 || ext.size() > 3) return NameProblem::TooLong;
  return NameProblem::Ok;
}

std::string_view DescribeNameProblem(NameProblem p) {
  switch (p) {
    case NameProblem::Ok:
      return "is a valid name";
    case NameProblem::Empty:
      return "has no name before the dot";
    case NameProblem::TooLong:
      return "has more than 8 characters before the dot or 3 after it";
    case NameProblem::SeveralDots:
      return "has more than one dot";
    case NameProblem::Blank:
      return "has a blank";
    case NameProblem::ControlByte:
      return "has a control character";
    case NameProblem::ForbiddenChar:
      return "has a character MSX-DOS does not allow in names (\" * + , / : ; < = > ? [ \\ ] |)";
    case NameProblem::NotInCharset:
      return "has a character the MSX character set does not have";
  }
  return {};
}

bool IsValidMsxName(std::string_view name) { return CheckMsxName(name) == NameProblem::Ok; }

namespace {

enum class ByteFault { None, Control, Lower, Forbidden, Blank };

// What is wrong with byte `k` of stored name bytes.
ByteFault FaultAt(const MsxName11& n, std::size_t k) {
  const std::uint8_t b = n[k];
  if (k == 0 && b == kEntryE5Stand) return ByteFault::None;
  if (b < 0x20 || b == 0x7F) return ByteFault::Control;
  if (b >= 'a' && b <= 'z') return ByteFault::Lower;
  if (b == ' ') {
    // Blanks pad the name and the extension; one before a further character is inside, and a
    // name never starts with one.
    const std::size_t end = k < 8 ? 8 : 11;
    const bool padding = k != 0 && std::all_of(n.begin() + static_cast<std::ptrdiff_t>(k),
                                               n.begin() + static_cast<std::ptrdiff_t>(end),
                                               [](std::uint8_t c) { return c == ' '; });
    return padding ? ByteFault::None : ByteFault::Blank;
  }
  if (b < 0x80 && IsForbiddenNameChar(static_cast<char>(b))) return ByteFault::Forbidden;
  return ByteFault::None;
}

}  // namespace

StoredNameFaults StoredNameFaultsOf(const MsxName11& name) {
  StoredNameFaults out;
  for (std::size_t k = 0; k < name.size(); ++k) {
    switch (FaultAt(name, k)) {
      case ByteFault::Control:
        out.control = true;
        break;
      case ByteFault::Lower:
        out.lower = true;
        break;
      case ByteFault::Forbidden:
        out.forbidden = true;
        break;
      case ByteFault::Blank:
        out.blank = true;
        break;
      case ByteFault::None:
        break;
    }
  }
  return out;
}

MsxName11 MendedStoredName(const MsxName11& name) {
  MsxName11 out = name;
  for (std::size_t k = 0; k < name.size(); ++k) {
    const ByteFault f = FaultAt(name, k);
    if (f == ByteFault::Lower)
      out[k] = AsciiUpper(name[k]);
    else if (f != ByteFault::None)
      out[k] = '_';
  }
  return out;
}

std::string StoredNameText(const MsxName11& name) {
  auto trimmed = [](auto from, auto to) {
    while (to != from && *(to - 1) == ' ') --to;
    return std::string(from, to);
  };
  const std::string base = trimmed(name.begin(), name.begin() + 8);
  const std::string ext = trimmed(name.begin() + 8, name.end());
  return ext.empty() ? base : base + "." + ext;
}

std::string UniqueMsxName(std::string_view name,
                          const std::function<bool(const MsxName11&)>& taken) {
  if (!taken(MakeMsxName(name))) return std::string(name);
  const auto dot = name.find('.');
  const std::string_view base = name.substr(0, dot);
  const std::string ext = dot == std::string_view::npos ? "" : std::string(name.substr(dot));
  for (int n = 1;; ++n) {
    const std::string tail = "~" + std::to_string(n);
    if (tail.size() > 8) return std::string(name);  // never: a directory holds fewer entries
    const std::string candidate =
        std::string(base.substr(0, std::min(base.size(), 8 - tail.size()))) + tail + ext;
    if (!taken(MakeMsxName(candidate))) return candidate;
  }
}

std::string HostNameToMsx(std::string_view hostName) {
  if (!IsUtf8(hostName)) return std::string(hostName);
  return MsxCharset::International().FromUtf8Or(hostName, '_');
}

bool KeepsHostName(std::string_view hostName, std::string_view msxName) {
  return msxName == hostName || MsxCharset::International().ToUtf8(msxName) == hostName;
}

std::string EntryNameFor(std::string_view hostName) {
  std::string name = HostNameToMsx(hostName);
  return IsValidMsxName(name) ? name : ShortMsxName(hostName);
}

std::string ShortMsxName(std::string_view hostName) {
  const std::string msx = HostNameToMsx(hostName);
  const std::string_view host = msx;
  const std::string_view dotExt = ExtensionOf(host);
  const std::string_view base = host.substr(0, host.size() - dotExt.size());
  const std::string_view ext = dotExt.empty() ? dotExt : dotExt.substr(1);
  auto keep = [](std::string_view s, std::size_t n) {
    std::string out;
    for (char c : s) {
      if (out.size() == n) break;
      if (c == ' ') continue;
      // One '_' for each character a name may not hold.
      out.push_back(IsForbiddenNameChar(c) ? '_' : c);
    }
    return out;
  };
  std::string name = keep(base, 8);
  if (name.empty()) name.push_back('_');
  std::string e = keep(ext, 3);
  return e.empty() ? name : name + "." + e;
}

}  // namespace quarnel
