// The texts of the command line's own. The core's messages come through CliUi as the core words
// them; these say what only the command line knows (which argument, which file of the host).
#pragma once

#include <string_view>

#include "core/messages.h"

namespace quarnel::cli {

inline constexpr std::string_view kVersionLine = "quarnel-cli 0.1.0";

// Disk images and the paths inside them.
inline constexpr std::string_view kNoSuchImage = "No such disk image: ";
// After an image path: it holds partitions, listed between the two texts.
inline constexpr std::string_view kHoldsPartitions =
    "%1 holds partitions: %2; name one with --partition N";
inline constexpr std::string_view kPartitionHelp =
    "The partition of a hard-disk or card image to work on (1, 2, ...; see parts)";
inline constexpr std::string_view kNotInImage = "Not found in the disk image: ";
inline constexpr std::string_view kNotADirectory = "Not a directory: ";
inline constexpr std::string_view kNotAFile = "Not a file: ";
inline constexpr std::string_view kBrokenDirectory = msg::kBrokenDirectoryAt;
inline constexpr std::string_view kChainEndsEarly =
    "Cluster chain ends before the end of the file: ";
inline constexpr std::string_view kCannotWrite = msg::kCannotWriteAt;
using msg::kExtractedAs;
using msg::kInFile;

// Changes to a disk image.
inline constexpr std::string_view kInvalidMsxName = "Not a valid MSX-DOS name (8.3): ";
inline constexpr std::string_view kVolumeTooLong = "A volume name holds at most 11 characters: ";
inline constexpr std::string_view kOemTooLong = "An OEM signature holds at most 8 characters: ";
inline constexpr std::string_view kInvalidVolumeName = "Not a valid volume name: ";
inline constexpr std::string_view kInvalidOem = "Not a valid OEM signature: ";
inline constexpr std::string_view kAddedAs = " added as ";
// After a host path inside a folder that add -r or pack walks.
inline constexpr std::string_view kLinkSkipped = ": symbolic link, not followed, not added";
inline constexpr std::string_view kCannotChange = "Cannot change this entry: ";
inline constexpr std::string_view kExistsUseForce = " exists; give --force to replace it";
inline constexpr std::string_view kImageReadOnly = " is read-only";
inline constexpr std::string_view kBeingChanged = msg::kBeingChanged;
inline constexpr std::string_view kNotAHostFolder = "Not a folder: ";
// pack: the header of the list of what did not fit, then one line per host file or folder.
inline constexpr std::string_view kDoesNotFit = "Not written: these do not fit in ";
// pack: the same for host files and folders that could not be read.
inline constexpr std::string_view kCouldNotRead = "Not written: these could not be read for ";

// Checking a disk image.
inline constexpr std::string_view kCheckClean = "No problems found.";
inline constexpr std::string_view kCheckFindings = " problems found.";
inline constexpr std::string_view kCheckFindingOne = "1 problem found.";
inline constexpr std::string_view kCheckClusters = " clusters ";
inline constexpr std::string_view kCheckMore = " ... and";
inline constexpr std::string_view kCheckRepaired = "  repaired: ";
inline constexpr std::string_view kCheckLeft = "  not repaired: ";
inline constexpr std::string_view kCheckSaved = "The repaired image was saved.";
inline constexpr std::string_view kCheckNotSaved =
    "The image was not changed: the repair leaves findings.";
inline constexpr std::string_view kCheckStillFound = "Still found after repair: ";

// Cassette images.
inline constexpr std::string_view kNoSuchCassette = "No such cassette image: ";
inline constexpr std::string_view kNotOnCassette = "Not found on the cassette: ";

// The file a viewer command shows.
inline constexpr std::string_view kGiveOneInput = "Give either IMAGE PATH or --host FILE, not both";
inline constexpr std::string_view kGiveAnInput = "Give IMAGE PATH or --host FILE";
inline constexpr std::string_view kCannotRead = "Cannot read ";

// "Damaged BASIC program: NAME: " + what is wrong with it.
inline constexpr std::string_view kDamagedBasic = "Damaged BASIC program: ";
inline constexpr std::string_view kTheLinkOf = "the link of ";
inline constexpr std::string_view kBackwards = " points backwards";
inline constexpr std::string_view kPastTheEnd = " points past the end of the file";
inline constexpr std::string_view kRunsPastTheEnd = " runs past the end of the data";
inline constexpr std::string_view kNoEndLink = "the data ends before the end-of-program link";
inline constexpr std::string_view kLine = "line ";
inline constexpr std::string_view kLineAtOffset = "the line at offset ";

// Pictures.
inline constexpr std::string_view kPngOrBmp = "The output must be a .png or .bmp file";
inline constexpr std::string_view kNoPictureMode =
    "The file's extension names no picture mode: give --mode";
inline constexpr std::string_view kPngError = "PNG: ";
inline constexpr std::string_view kCannotWritePicture = "Cannot write ";
inline constexpr std::string_view kGalleryNoSheet = "No picture on the disk: no sheet written";

// tokenize: "IN: line L, column C: " + why the text is no program.
inline constexpr std::string_view kAtLine = ": line ";
inline constexpr std::string_view kAtColumn = ", column ";
inline constexpr std::string_view kNotInCharset = "Not text of the chosen MSX character set: ";

// details, fileinfo, sector, find, poke.
inline constexpr std::string_view kNoSuchSector = "No such sector on this disk: ";
inline constexpr std::string_view kNegativeOffset = "An offset counts from 0 up: ";
inline constexpr std::string_view kNotHexBytes = "Not a byte string in hex digits (two per byte): ";
inline constexpr std::string_view kGiveSectorOrPath = "Give either --sector N or PATH, not both";
inline constexpr std::string_view kGiveBytes = "Give the bytes to write as hex digits";
inline constexpr std::string_view kGivePatternOnce = "Give either HEX or --text TEXT, not both";
inline constexpr std::string_view kGivePattern = "Give HEX or --text TEXT";
inline constexpr std::string_view kFilesOrPath = "Give either PATH or --files, not both";
inline constexpr std::string_view kBrokenChain = "Broken cluster chain in file: ";
// floppy list with nothing to list (on stderr; stdout stays empty for scripts).
inline constexpr std::string_view kNoFloppyDrives =
    "No usable floppy drive: none is removable, at most 2.88 MB, holding a disk and not mounted";

}  // namespace quarnel::cli
