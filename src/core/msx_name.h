// The MSX-DOS name rule in one place: which typed and host names are 8.3 names, how a host name
// becomes one, how the 11 name bytes of an entry are stored and compared (the one fold), what is
// wrong with stored name bytes and how repair mends them, and the "~N" tail that makes a name
// unique in its directory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/ascii.h"
#include "core/dir_entry.h"

namespace quarnel {

// The 11 name bytes of an entry: 8 of the name, 3 of the extension, both padded with blanks.
using MsxName11 = std::array<std::uint8_t, 11>;

// Longest host name used without the rename dialog.
inline constexpr std::size_t kLongestHostName = 12;

// Host file name (without folder) -> the 11 name bytes of an entry: name and extension padded
// with blanks, a-z upper-cased, the extension field restarted at every dot; only the first 12
// characters are looked at.
MsxName11 MakeMsxName(std::string_view hostName);

// The first name byte as stored: 0xE5 marks a deleted entry, so a name starting with that byte
// is stored with 0x05 in its place.
constexpr std::uint8_t StoredFirstByte(std::uint8_t b) {
  return b == kEntryDeleted ? kEntryE5Stand : b;
}
// The first name byte as the name reads: a stored 0x05 stands for 0xE5.
constexpr std::uint8_t ReadFirstByte(std::uint8_t b) {
  return b == kEntryE5Stand ? kEntryDeleted : b;
}

// One byte of a name as MSX-DOS compares names: a-z as A-Z, and at the start (`first`) a stored
// 0x05 as the 0xE5 it stands for. Names compare equal when their folded bytes do.
constexpr std::uint8_t FoldNameByte(std::uint8_t b, bool first) {
  return AsciiUpper(first ? ReadFirstByte(b) : b);
}
// The 11 name bytes folded.
MsxName11 FoldedMsxName(const std::uint8_t* name11);
// A name or caption as text, folded byte by byte the same way.
std::string FoldedNameText(std::string_view text);
// The 11 name bytes of two entries compared as MSX-DOS does (through the fold).
bool SameMsxName(const std::uint8_t* a11, const std::uint8_t* b11);

// The "." and ".." entries of a subdirectory.
bool IsDotEntry(const std::uint8_t* name11);

// Why a name cannot be an MSX-DOS name; Ok when it can.
enum class NameProblem {
  Ok,
  Empty,          // nothing before the dot
  TooLong,        // more than 8 characters before the dot or 3 after it
  SeveralDots,    // a second dot
  Blank,          // a blank
  ControlByte,    // a byte below 0x20 or 0x7F
  ForbiddenChar,  // one of " * + , . / : ; < = > ? [ \ ] |
  NotInCharset,   // typed text: a character the MSX character set does not have
};

// The reason in words ("has a blank"), for messages.
std::string_view DescribeNameProblem(NameProblem p);

// Checks a typed or host name against the 8.3 rule of MSX-DOS: 1-8 characters, optionally a dot
// and 1-3 more, none of them a blank, a control byte or one of the characters MSX-DOS and PC
// systems reserve. Bytes of 0x80 and more (kana, accented letters) are allowed.
NameProblem CheckMsxName(std::string_view name);
// A name the rename dialog accepts: CheckMsxName finds no problem.
bool IsValidMsxName(std::string_view name);
// True for a character that no MSX-DOS name may hold: a control byte, a blank, 0x7F or one of
// " * + , . / : ; < = > ? [ \ ] | (the dot only as the separator).
bool IsForbiddenNameChar(char c);

// What is wrong with the 11 name bytes of an entry on the disk (a leading 0x05 is the 0xE5 it
// stands for, padding blanks are no fault).
struct StoredNameFaults {
  bool control = false;    // a control byte
  bool lower = false;      // a-z: MSX-DOS never stores them
  bool forbidden = false;  // a character no name may hold
  bool blank = false;      // a blank inside the name or extension, or a name that starts with one
  bool Any() const { return control || lower || forbidden || blank; }
};
StoredNameFaults StoredNameFaultsOf(const MsxName11& name);

// The name bytes with the faults StoredNameFaultsOf finds mended: a-z as A-Z, every other byte
// no name may hold as "_"; padding blanks and a leading 0x05 stay.
MsxName11 MendedStoredName(const MsxName11& name);

// Stored name bytes as the text of an 8.3 name ("NAME.EXT", "NAME"): padding blanks dropped.
std::string StoredNameText(const MsxName11& name);

// `name` (an 8.3 name) when `taken` says its 11 name bytes are free, else the name with "~1",
// "~2", ... at the end of its first part (cut to keep 8 characters): the first one free.
std::string UniqueMsxName(std::string_view name,
                          const std::function<bool(const MsxName11&)>& taken);

// A host name as the bytes of an MSX name: each character of a UTF-8 name as the MSX
// international character set has it ("ç" is 0x87, as the disk shows it), one the set does not
// have as "_". A name that is no UTF-8 is taken as the MSX bytes it holds (kana written by a
// program that kept the disk's own bytes).
std::string HostNameToMsx(std::string_view hostName);

// True when MSX name `msxName` is host name `hostName` (shown through the character set, or
// byte for byte): a host file added under that name keeps its own name.
bool KeepsHostName(std::string_view hostName, std::string_view msxName);

// The entry name a host file gets without asking: HostNameToMsx(hostName) when that is 8.3,
// else ShortMsxName(hostName).
std::string EntryNameFor(std::string_view hostName);

// A name for a host file that does not fit 8.3, in MSX bytes: HostNameToMsx(hostName), the part
// before the last dot without blanks cut to 8 characters and the extension cut to 3 ("_" for an
// empty name); a character that MSX-DOS names may not hold (a further dot among them) becomes "_".
std::string ShortMsxName(std::string_view hostName);

}  // namespace quarnel
