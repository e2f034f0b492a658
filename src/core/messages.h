// Texts the core shows to the user, exactly as they stand.
#pragma once

#include <string_view>

namespace quarnel::msg {

// Loading an image.
inline constexpr std::string_view kFileTooBig = "File to big to be a diskimage!";
inline constexpr std::string_view kFileTooSmall = "File to small to be a diskimage!";
inline constexpr std::string_view kOddDiskSize =
    "The disk size is not 100%, but will continue to load.";
inline constexpr std::string_view kNoMemory = "Could not allocate memory";
inline constexpr std::string_view kReadError = "Read  Error!\nBytes read differ form file size!";
inline constexpr std::string_view kSectorTooBig = "Bytes per sector to big!";
inline constexpr std::string_view kBootSectorError = "Error in boot sector!";
inline constexpr std::string_view kDiskSmallerThanGeometry =
    "Disk Size smaller than number of sectors * bytes per sector!";
// Ours: the FAT copies and the root directory do not fit inside the image or the disk.
inline constexpr std::string_view kSystemAreaOutside =
    "Error in boot sector: the FAT or the root directory lies outside the disk!";
inline constexpr std::string_view kSaveChangedTitle = "Save Changed DiskImage: ";
inline constexpr std::string_view kCannotSave = "Cannot save file";

// FAT.
inline constexpr std::string_view kInternalError = "Internal error";
inline constexpr std::string_view kInternalErrorAt = "Internal error at";

// Directories and the file list.
inline constexpr std::string_view kIllegalDirectory = "Illegal Directory!";
// Ours: the directory stack holds 32 levels.
inline constexpr std::string_view kDirectoryTooDeep =
    "Directory nesting too deep! (32 levels at most)";
inline constexpr std::string_view kFilesListedFormat = "%d Files Listed ";
inline constexpr std::string_view kBytesFreeFormat = "%d Bytes free ";
inline constexpr std::string_view kSizeFormat = "%7d Bytes";

// Type texts of the file list.
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

// Reading files.
inline constexpr std::string_view kFirstClusterOutOfBounds = "File's first cluster out of bounds!";
inline constexpr std::string_view kClusterError = "Cluster Error in Fat";

// Changing images: adding, deleting, renaming, volume name, new images, saving, extracting.
inline constexpr std::string_view kNoImageSelected = "No disk image selected!";
inline constexpr std::string_view kDiskFull = "Disk full";
inline constexpr std::string_view kDirectoryFull = "Directory full";
inline constexpr std::string_view kHostReadError = "read ERROR!";
inline constexpr std::string_view kOnlyInRootDir = "Only in Root Dir";
inline constexpr std::string_view kAddingFile = "Adding file ";
inline constexpr std::string_view kAddingFileOf = " of ";
inline constexpr std::string_view kAddFileTitle = "Add File to Disk Image";
inline constexpr std::string_view kRenameCaption = "Filename too long! Rename:";
inline constexpr std::string_view kRenameButton = "Rename";
inline constexpr std::string_view kCancelButton = "Cancel";
inline constexpr std::string_view kDirectoryNotEmpty = "Directory not empty!";
inline constexpr std::string_view kReadOnlyFile = "Read only file!\nCan not be saved";
inline constexpr std::string_view kSavingTitle = "Saving DiskImage";
inline constexpr std::string_view kDiskImageFilter = "Msx DiskImage (*.dsk)|*.dsk";
inline constexpr std::string_view kExtractTitle = "Extract file from diskImage to";
inline constexpr std::string_view kOemLabel = "OEM Signature:";
inline constexpr std::string_view kVolumeLabel = "Volume Name:";
// Ours: the "." and ".." entries hold a directory together and are never deleted or renamed.
inline constexpr std::string_view kDotEntryKept = "The \".\" and \"..\" entries cannot be changed!";
// Ours: writing a host file failed (the target keeps its old content, if it had one).
inline constexpr std::string_view kCannotWriteFile = "Cannot write file: ";

// Ours: adding a file whose name a directory of the root already has.
inline constexpr std::string_view kNameIsDirectory = "A directory of that name exists: ";
// Ours: renaming to the name of another entry of the same directory.
inline constexpr std::string_view kNameExists = "An entry of that name exists: ";

}  // namespace quarnel::msg
