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
// After an image path: another program holds the image for a change of its own.
inline constexpr std::string_view kBeingChanged = " is being changed by another program";
inline constexpr std::string_view kCannotSave = "Cannot save file";
// Ours: a command asked to write its output over its input.
inline constexpr std::string_view kOutputIsInput = "Output and input are the same file: ";

// Directories and the file list.
inline constexpr std::string_view kIllegalDirectory = "Illegal Directory!";
// Ours: the directory stack holds 32 levels.
inline constexpr std::string_view kDirectoryTooDeep =
    "Directory nesting too deep! (32 levels at most)";

// Reading files.
inline constexpr std::string_view kFirstClusterOutOfBounds = "File's first cluster out of bounds!";
inline constexpr std::string_view kClusterError = "Cluster Error in Fat";

// Ours: checking a disk. "%1", "%2", ... are filled in (FillText).
inline constexpr std::string_view kCheckBootRefused = "The boot sector cannot be used: %1";
inline constexpr std::string_view kCheckImageLonger =
    "The boot sector gives %1 sectors of %2 bytes (%3 bytes), but the image has %4 bytes.";
// Ours: why a boot sector's layout does not fit its image (parts of kLayoutDoesNotFit).
inline constexpr std::string_view kLayoutSectorSize = "bytes per sector (offset 11) is %1, not 512";
inline constexpr std::string_view kLayoutClusterSize =
    "sectors per cluster (offset 13) is %1, not 1, 2, 4 or 8";
inline constexpr std::string_view kLayoutLargeClusterSize =
    "sectors per cluster (offset 13) is %1, not a power of two up to 128";
inline constexpr std::string_view kLayoutNoReserved = "reserved sectors (offset 14) is 0";
inline constexpr std::string_view kLayoutFatCount =
    "the number of FATs (offset 16) is %1, not 1 or 2";
inline constexpr std::string_view kLayoutRootEntries =
    "root entries (offset 17) is %1, not a whole number of sectors";
inline constexpr std::string_view kLayoutMedia =
    "the media byte (offset 21) is %1, which is no media descriptor";
inline constexpr std::string_view kLayoutDiskLarger =
    "the disk of %1 bytes is larger than the image (%2 bytes)";
inline constexpr std::string_view kLayoutNoData = "no room is left for data clusters";
inline constexpr std::string_view kCheckFatTooSmall =
    "a FAT of %1 sectors holds entries up to cluster %2, but the disk has clusters up to %3";
inline constexpr std::string_view kLayoutNoFat =
    "FAT %1 (sector %2) does not start with a media byte and 0xFF 0xFF";
inline constexpr std::string_view kLayoutNoRoot =
    "the root directory (sector %1) holds no directory entries";
inline constexpr std::string_view kLayoutReadsWorse =
    "the disk reads with %1 findings by it, with %2 by the standard layout of its size";
inline constexpr std::string_view kLayoutDoesNotFit = "The boot sector does not fit the image: %1.";
inline constexpr std::string_view kLayoutNoStandard =
    "No standard layout has the image's size: nothing else was checked.";
inline constexpr std::string_view kLayoutStandardFits =
    "The standard layout of its size, %1, fits: its FATs and root directory lie where that "
    "layout puts them, and the rest was checked by it.";
inline constexpr std::string_view kLayoutStandardFailsToo =
    "The standard layout of its size, %1, does not fit either (%2): nothing else was checked.";
inline constexpr std::string_view kCheckFatCopiesDiffer =
    "FAT %1 differs from FAT 1 in the entries of %2 clusters.";
inline constexpr std::string_view kCheckMediaByte =
    "The FAT starts with media byte %1, but the boot sector says %2.";
inline constexpr std::string_view kCheckChainLoop =
    "The chain comes back: cluster %1 links to cluster %2, met before.";
inline constexpr std::string_view kCheckChainOutside =
    "Cluster %1 links to %2, outside the data area (clusters 2 to %3).";
inline constexpr std::string_view kCheckChainFree =
    "Cluster %1 links to %2, a free, reserved or bad-cluster value.";
inline constexpr std::string_view kCheckChainShort =
    "The size of %1 bytes needs %2 clusters, but the chain ends after %3.";
inline constexpr std::string_view kCheckChainLong =
    "The size of %1 bytes needs %2 clusters, but the chain has %3.";
inline constexpr std::string_view kCheckCrossLinked = "%1 clusters are also used by %2.";
inline constexpr std::string_view kCheckLostChain =
    "%1 clusters from cluster %2 on are marked in use, but no file reaches them.";
inline constexpr std::string_view kCheckBadFirstCluster =
    "The first cluster %1 is no data cluster (clusters 2 to %2).";
inline constexpr std::string_view kCheckNoFirstCluster =
    "The size is %1 bytes, but there is no first cluster.";
inline constexpr std::string_view kCheckSizeBeyondDisk =
    "The size of %1 bytes is more than the disk holds (%2 bytes).";
inline constexpr std::string_view kCheckDirectorySize =
    "A directory with a size of %1 bytes (directories have none).";
inline constexpr std::string_view kCheckBadName = "The name holds %1.";
inline constexpr std::string_view kNameControlChars = "control characters";
inline constexpr std::string_view kNameLowerCase = "lower-case letters";
inline constexpr std::string_view kNameForbiddenChars = "characters no name may hold";
inline constexpr std::string_view kNameBlanks = "blanks inside or at the start";
inline constexpr std::string_view kNameAnd = " and ";
inline constexpr std::string_view kCheckDuplicateName =
    "The same name as %1 in the same directory.";
inline constexpr std::string_view kCheckDotMissing = "The \"%1\" entry is missing.";
inline constexpr std::string_view kCheckDotWrong =
    "The \"%1\" entry points at cluster %2 instead of %3.";
inline constexpr std::string_view kCheckDirectoryLoop =
    "The directory's chain leads back into %1, a directory above it.";

// Ours: what repairing a disk did for a finding.
inline constexpr std::string_view kRepairFatCopied =
    "FAT %1 was copied over the others: it is the one the disk reads best with (findings "
    "read with each FAT: %2; the first FAT wins a tie).";
inline constexpr std::string_view kRepairMediaByte =
    "The FAT's media byte was set to %1, the boot sector's.";
inline constexpr std::string_view kRepairChainEnded = "The chain was ended at cluster %1.";
inline constexpr std::string_view kRepairNoFatEntry =
    "Left as it is: the FAT is too small to hold an entry for cluster %1.";
inline constexpr std::string_view kRepairSizeToChain =
    "The size was set to %1 bytes, what the chain holds.";
inline constexpr std::string_view kRepairChainCut =
    "The chain was ended after the %1 clusters the size needs; the %2 clusters after them are "
    "kept as a lost chain.";
inline constexpr std::string_view kRepairOwnCopy =
    "It got its own copy of the shared clusters, in clusters %1.";
inline constexpr std::string_view kRepairNoRoomForCopy =
    "Left as it is: the disk has no room for a copy of the shared clusters.";
inline constexpr std::string_view kRepairChainShared =
    "Left as it is: cluster %1, where the chain would end, is also used by another entry.";
inline constexpr std::string_view kRepairEntryRemoved =
    "The entry was removed; the clusters it shared stay with the other entry.";
inline constexpr std::string_view kRepairDirectoryCut =
    "The directory's chain was ended at cluster %1, before the clusters it shares.";
inline constexpr std::string_view kRepairNoDirectory =
    "The entry was removed: it leads to no directory.";
inline constexpr std::string_view kRepairFirstCleared =
    "The first cluster and the size were set to 0: the entry reached no byte.";
inline constexpr std::string_view kRepairSizeZero = "The size was set to 0.";
inline constexpr std::string_view kRepairNotDirectory =
    "The directory bit was cleared: the entry's data is no directory's but a file's of that size.";
inline constexpr std::string_view kRepairRenamed = "Renamed to %1.";
inline constexpr std::string_view kRepairDotWritten = "The \"%1\" entry was written, cluster %2.";
inline constexpr std::string_view kRepairDotSlotTaken =
    "Left as it is: the slot of the \"%1\" entry holds another entry.";
inline constexpr std::string_view kRepairLostSaved = "The clusters were kept as %1 in the root.";
inline constexpr std::string_view kRepairLostFreed = "The clusters were freed.";
inline constexpr std::string_view kRepairLostNoSlot =
    "Left as it is: the root directory has no free slot for a file.";
inline constexpr std::string_view kRepairBootLeft =
    "Left as it is: repair does not change the boot sector.";
inline constexpr std::string_view kRepairBootLayout =
    "The boot sector was given the standard layout of its size, %1, whose FATs and root "
    "directory were found where it puts them: %2.";
inline constexpr std::string_view kRepairBootField = "%1 %2 to %3";
inline constexpr std::string_view kRepairUnconfirmed =
    "Left as it is: no layout is confirmed by the FATs and the root directory, so nothing was "
    "changed.";
inline constexpr std::string_view kRepairNothing = "Nothing to repair.";
inline constexpr std::string_view kRepairEntryInFile =
    "Left as it is: the entry lies in a cluster a file also uses, and writing it would change "
    "that file.";

// Changing images: adding, deleting, renaming, volume name, new images, saving, extracting.
inline constexpr std::string_view kNoImageSelected = "No disk image selected!";
inline constexpr std::string_view kDiskFull = "Disk full";
inline constexpr std::string_view kDirectoryFull = "Directory full";
inline constexpr std::string_view kHostReadError = "read ERROR!";
inline constexpr std::string_view kDirectoryNotEmpty = "Directory not empty!";
inline constexpr std::string_view kReadOnlyFile = "Read only file!\nCan not be saved";
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
    "The disk needs checking: directory %1 leads back to a directory above it; nothing was "
    "changed.";
// Ours: a volume name whose entry would start with a blank, which no system lists as a name.
inline constexpr std::string_view kVolumeLeadingBlank = "A volume name cannot start with a blank!";
// Ours: renaming to the name of another entry of the same directory.
inline constexpr std::string_view kNameExists = "An entry of that name exists: ";

// Ours: a change refused because the FAT and the directory tree disagree on a cluster it
// touches (printf formats: the cluster, then the path of the file that uses it).
inline constexpr std::string_view kNeedsCheckFreeButUsed =
    "The disk needs checking: cluster %1 is marked free but %2 uses it; nothing was changed.";
inline constexpr std::string_view kNeedsCheckAlsoUsed =
    "The disk needs checking: cluster %1 is also used by %2; nothing was changed.";
inline constexpr std::string_view kNeedsCheckNotDirectory =
    "The disk needs checking: cluster %1 of %2 holds no directory entries; nothing was changed.";
inline constexpr std::string_view kNeedsCheckFatCopies =
    "The disk needs checking: its FAT copies disagree on cluster %1; nothing was changed.";

// Ours: why a host file was not read, printed after its path ("disk.dsk: is a FIFO") by the
// command line, below the system's message.
inline constexpr std::string_view kHostNotFound = "does not exist";
inline constexpr std::string_view kHostIsDirectory = "is a directory";
inline constexpr std::string_view kHostIsFifo = "is a FIFO";
inline constexpr std::string_view kHostIsDevice = "is a device";
inline constexpr std::string_view kHostIsSocket = "is a socket";
inline constexpr std::string_view kHostIsOtherKind = "is not a regular file";
inline constexpr std::string_view kHostLargerThan = "is larger than %1 bytes";
inline constexpr std::string_view kHostCannotOpen = "cannot be opened";
inline constexpr std::string_view kHostShortRead = "could not be read whole";
inline constexpr std::string_view kHostNoMemory = "does not fit in memory";

// Ours: extracting a tree of the image into host folders.
inline constexpr std::string_view kBrokenDirectoryAt = "Broken cluster chain in directory: ";
inline constexpr std::string_view kCannotWriteAt = "Cannot write: ";
// The line after a message that does not say which file it is about.
inline constexpr std::string_view kInFile = "  in ";
inline constexpr std::string_view kExtractedAs = " extracted as ";
inline constexpr std::string_view kDirectoryLoopSkipped =
    "Directory leads back to a directory above it, not extracted: ";

}  // namespace quarnel::msg
