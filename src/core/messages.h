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
// Ours: more data clusters than FAT12 can number; such a disk is FAT16 and is not read.
inline constexpr std::string_view kTooManyClusters =
    "Error in boot sector: more clusters than FAT12 can number!";
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
// Ours: making a directory where an entry of that name is.
inline constexpr std::string_view kNameIsFile = "A file of that name exists: ";
inline constexpr std::string_view kDirectoryExists = "A directory of that name exists already: ";
// Ours: adding into a subdirectory whose cluster chain is broken or comes back on itself.
inline constexpr std::string_view kBrokenTargetDirectory =
    "The disk needs checking: the directory's cluster chain is broken; nothing was changed.";
// Ours: deleting a directory tree in which a directory leads back to the root or to a directory
// above it (printf format: the path of that directory).
inline constexpr std::string_view kNeedsCheckDirectoryLoop =
    "The disk needs checking: directory %s leads back to a directory above it; nothing was "
    "changed.";
// Ours: a volume name whose entry would start with a blank, which no system lists as a name.
inline constexpr std::string_view kVolumeLeadingBlank = "A volume name cannot start with a blank!";
// Ours: renaming to the name of another entry of the same directory.
inline constexpr std::string_view kNameExists = "An entry of that name exists: ";

// Ours: a change refused because the FAT and the directory tree disagree on a cluster it
// touches (printf formats: the cluster, then the path of the file that uses it).
inline constexpr std::string_view kNeedsCheckFreeButUsed =
    "The disk needs checking: cluster %u is marked free but %s uses it; nothing was changed.";
inline constexpr std::string_view kNeedsCheckAlsoUsed =
    "The disk needs checking: cluster %u is also used by %s; nothing was changed.";
inline constexpr std::string_view kNeedsCheckFatCopies =
    "The disk needs checking: its FAT copies disagree on cluster %u; nothing was changed.";

// Ours: why a host file was not read, printed after its path ("disk.dsk: is a FIFO") by the
// command line, below the system's message.
inline constexpr std::string_view kHostNotFound = "does not exist";
inline constexpr std::string_view kHostIsDirectory = "is a directory";
inline constexpr std::string_view kHostIsFifo = "is a FIFO";
inline constexpr std::string_view kHostIsDevice = "is a device";
inline constexpr std::string_view kHostIsSocket = "is a socket";
inline constexpr std::string_view kHostIsOtherKind = "is not a regular file";
inline constexpr std::string_view kHostLargerThan = "is larger than %ju bytes";
inline constexpr std::string_view kHostCannotOpen = "cannot be opened";
inline constexpr std::string_view kHostShortRead = "could not be read whole";
inline constexpr std::string_view kHostNoMemory = "does not fit in memory";

}  // namespace quarnel::msg
