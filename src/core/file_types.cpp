#include "core/file_types.h"

namespace quarnel {

namespace {

using enum FileKind;
using V = ViewSelector;

constexpr FileType Row(std::string_view extension, FileKind kind, ViewSelector view = V::Automatic,
                       std::optional<Conversion> conversion = std::nullopt,
                       bool basicSource = false) {
  return {extension, kind, view, conversion, basicSource};
}

constexpr FileType kTypes[] = {
    Row(".DSK", DiskImage, V::Automatic, Conversion::DskToXsa),
    Row(".DI1", DiskImage),
    Row(".DI2", DiskImage),
    Row(".CAS", Cassette),
    Row(".DDI", ForeignImage, V::Automatic, Conversion::DdiToDsk),
    Row(".IMG", ForeignImage, V::Automatic, Conversion::ImgToDsk),
    Row(".MSX", ForeignImage, V::Automatic, Conversion::MsxToDsk),
    Row(".XSA", ForeignImage, V::Automatic, Conversion::XsaToDsk),
    Row(".BAT", Text, V::Text),
    Row(".TXT", Text, V::Text, std::nullopt, true),
    Row(".ASC", Text, V::Text, std::nullopt, true),
    Row(".HLP", Text, V::Text),
    Row(".PAS", Text, V::Text),
    Row(".C", Text, V::Text),
    Row(".BAS", Basic, V::Basic),
    Row(".LDR", Basic, V::Basic),
    Row(".SC1", Picture, V::Screen1),
    Row(".S01", Picture, V::Screen1),
    Row(".SC2", Picture, V::Screen2),
    Row(".S02", Picture, V::Screen2),
    Row(".SC3", Picture, V::Screen3),
    Row(".S03", Picture, V::Screen3),
    Row(".SC4", Picture, V::Screen4),
    Row(".S04", Picture, V::Screen4),
    Row(".SC5", Picture, V::Screen5),
    Row(".S05", Picture, V::Screen5),
    Row(".SC6", Picture, V::Screen6),
    Row(".S06", Picture, V::Screen6),
    Row(".SC7", Picture, V::Screen7),
    Row(".S07", Picture, V::Screen7),
    Row(".SC8", Picture, V::Screen8),
    Row(".S08", Picture, V::Screen8),
    Row(".SCA", Picture, V::Screen10),
    Row(".S10", Picture, V::Screen10),
    Row(".SCB", Picture, V::Screen11),
    Row(".S11", Picture, V::Screen11),
    Row(".SCC", Picture, V::Screen12),
    Row(".S12", Picture, V::Screen12),
    Row(".PIC", PictureBySize),
    Row(".COM", DosProgram),
    Row(".EXE", DosProgram),
    Row(".CRT", Rom),
    Row(".ROM", Rom),
    Row(".BIN", Binary),
    Row(".OBJ", Binary),
};

}  // namespace

const FileType* FileTypeOf(std::string_view extension) {
  for (const FileType& t : kTypes)
    if (t.extension == extension) return &t;
  return nullptr;
}

FileKind HostFileTypeOf(std::string_view path) {
  const FileType* t = FileTypeOf(HostExtension(path));
  return t ? t->kind : FileKind::Other;
}

HostFileKind HostFileKindOf(std::string_view path) {
  switch (HostFileTypeOf(path)) {
    case FileKind::DiskImage:
      return HostFileKind::DiskImage;
    case FileKind::Cassette:
      return HostFileKind::Cassette;
    case FileKind::ForeignImage:
      return HostFileKind::Conversion;
    default:
      return HostFileKind::Other;
  }
}

bool IsOwnDiskImage(std::string_view path) {
  return HostExtension(path) == AsciiUpper(kDiskImageExtension);
}

std::string_view ConversionTargetExtension(Conversion conversion) {
  switch (conversion) {
    case Conversion::DdiToDsk:
    case Conversion::ImgToDsk:
    case Conversion::MsxToDsk:
      return ".DSK";
    case Conversion::XsaToDsk:
      return kDiskImageExtension;
    case Conversion::DskToXsa:
      break;
  }
  return ".xsa";
}

std::optional<Conversion> ConversionFor(std::string_view path) {
  const FileType* t = FileTypeOf(UpperExtension(path));
  return t ? t->conversion : std::nullopt;
}

}  // namespace quarnel
