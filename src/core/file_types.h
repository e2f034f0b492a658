// What a file is by its extension: the one table of extensions that the folder browser, drops,
// the command line, the viewers' choice and the cassette listing read. Host files are looked up
// by their extension cut to four characters (".DSKX" is a ".DSK"), as the folder browser does;
// conversions by the whole extension.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/ascii.h"

namespace quarnel {

// The number that names a view.
enum class ViewSelector : int {
  Automatic = 0,
  Hex = 1,
  Basic = 2,
  Text = 3,
  Screen5 = 4,
  MaskedText = 5,
  Screen2 = 6,
  Screen7 = 7,
  Screen8 = 8,
  Screen10 = 10,
  Screen11 = 11,
  Screen12 = 12,
  Screen1 = 21,
  Patterns = 22,  // screen 2's tables in table order
  Screen3 = 23,
  Screen4 = 24,
  Screen6 = 26,
};

// What a host file is, by its extension.
enum class HostFileKind {
  DiskImage,   // .DSK .DI1 .DI2: a disk image, loaded by Workspace::LoadImage
  Cassette,    // .CAS: a tape, read by the cassette layer
  Conversion,  // .DDI .IMG .MSX .XSA: taken by the converters
  Other,       // any other extension
};

// The conversion the folder browser's "Convert to .DSK" / "Convert to .XSA" command (and a
// double-click on a .DDI, .IMG, .MSX or .XSA file) runs for a file.
enum class Conversion { DdiToDsk, ImgToDsk, MsxToDsk, XsaToDsk, DskToXsa };

// What a file holds, as far as its extension tells.
enum class FileKind {
  Other,
  DiskImage,      // .DSK .DI1 .DI2
  Cassette,       // .CAS
  ForeignImage,   // .DDI .IMG .MSX .XSA: turned into .DSK images
  Text,           // .BAT .TXT .ASC .HLP .PAS .C
  Basic,          // .BAS .LDR: a tokenised program
  Picture,        // .SC1-.SC8, .SCA-.SCC, .S01-.S12: a BSAVE'd screen
  PictureBySize,  // .PIC: a screen whose mode its size tells
  DosProgram,     // .COM .EXE: loaded at 0x100
  Rom,            // .CRT .ROM
  Binary,         // .BIN .OBJ
};

// One row of the table.
struct FileType {
  std::string_view extension;  // upper-case, dot included
  FileKind kind = FileKind::Other;
  ViewSelector view = ViewSelector::Automatic;  // the view a double-click opens
  std::optional<Conversion> conversion;         // what the folder browser converts it by
  bool basicSource = false;                     // a plain-text program that may be stored tokenised
};

// The row of an extension as it stands (upper-case, with its dot); nullptr for one not listed.
const FileType* FileTypeOf(std::string_view extension);

// Upper-cased extension with its dot, cut to four characters ("" when there is none):
// UpperExtension(path, 4).
inline std::string HostExtension(std::string_view path) { return UpperExtension(path, 4); }
// The kind of a host file by HostExtension.
FileKind HostFileTypeOf(std::string_view path);
HostFileKind HostFileKindOf(std::string_view path);
// A disk image with the extension the program gives the images it writes (".DSK").
bool IsOwnDiskImage(std::string_view path);
// By the whole upper-cased extension: .DDI, .IMG, .MSX and .XSA to .DSK, .DSK to .XSA; nullopt
// for any other.
std::optional<Conversion> ConversionFor(std::string_view path);

// The extension a conversion's target gets when the user has not named one (".DSK" for the
// foreign images, ".dsk" for an XSA, ".xsa" for a .DSK).
std::string_view ConversionTargetExtension(Conversion conversion);

// The extension the program gives the disk images it writes, and the one of tokenised programs.
inline constexpr std::string_view kDiskImageExtension = ".dsk";
inline constexpr std::string_view kBasicExtension = ".BAS";

}  // namespace quarnel
