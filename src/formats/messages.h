// Texts shown by the cassette, conversion and XSA code, word for word as users see them.
#pragma once

#include <string_view>

namespace quarnel::formats::msg {

// Cassette images.
inline constexpr std::string_view kFileToBigToLoad = "File to big to load!";
inline constexpr std::string_view kCouldNotAllocate = "Could not allocate memory";
inline constexpr std::string_view kReadError = "Read Error!";

// DDI, IMG and MSX conversion.
inline constexpr std::string_view kConvertDdiTitle = "Convert .DDI image to .DSK";
inline constexpr std::string_view kConvertImgTitle = "Convert .IMG image to .DSK";
inline constexpr std::string_view kConvertMsxTitle = "Convert .MSX image to .DSK";
inline constexpr std::string_view kMsxWrongSize = "File not right size for .msx disk image";
// Our own texts for inputs the converters refuse.
inline constexpr std::string_view kDdiTooSmall =
    "File too small to be a .ddi disk image (it holds no bytes after the 4608-byte header)";
inline constexpr std::string_view kImgWrongSize = "File not right size for .img disk image";
inline constexpr std::string_view kCannotReadSource = "Could not read the source file";
inline constexpr std::string_view kCannotWriteTarget = "Could not write the target file";

// XSA conversion.
inline constexpr std::string_view kConvertXsaTitle = "Convert .XSA image to .DSK";
inline constexpr std::string_view kConvertDskTitle = "Convert .DSK image to .XSA";

// Our own texts for XSA data the decompressor refuses.
inline constexpr std::string_view kXsaNotXsa = "Not an XSA file (the PCK signature is missing)";
inline constexpr std::string_view kXsaEndsEarly = "XSA file ends before its end marker";
inline constexpr std::string_view kXsaBadDistance =
    "XSA data refers to bytes before the start of the output";
inline constexpr std::string_view kXsaClaimsTooMuch = "XSA header claims more than 16 MiB of data";
inline constexpr std::string_view kXsaTooLong = "XSA data holds more bytes than its header says";
inline constexpr std::string_view kXsaTooShort = "XSA data holds fewer bytes than its header says";
// Our own text for an input the compressor refuses (see kMaxXsaInput).
inline constexpr std::string_view kXsaInputTooLarge =
    "File too large to compress into an .xsa image (at most 16 MiB)";

// Floppy disks: the write loop's and the geometry's texts.
inline constexpr std::string_view kSectorStatus = "Sector %1 of %2";
inline constexpr std::string_view kDone = "Done";
inline constexpr std::string_view kError = "Error";
inline constexpr std::string_view kTotalSectorsLine = "Total physical sectors: ";
inline constexpr std::string_view kCylindersLine = "Cylinders: ";
inline constexpr std::string_view kHeadsLine = "Heads: ";
inline constexpr std::string_view kBytesPerSectorLine = "Bytes per sector: ";
inline constexpr std::string_view kSectorsPerClusterLine = "Sectors per Cluster: ";

// Floppy disks: our own texts. A refused target is named first, then the reason.
inline constexpr std::string_view kTargetMissing = ": no such file or device";
inline constexpr std::string_view kTargetUnusable = ": neither a regular file nor a block device";
inline constexpr std::string_view kTargetUnknownDevice =
    ": a block device the system does not list in /sys/class/block";
inline constexpr std::string_view kTargetPartition =
    ": a partition, not a whole floppy disk; refused";
inline constexpr std::string_view kTargetFixedDisk =
    ": a fixed disk, not a removable floppy drive; refused";
inline constexpr std::string_view kTargetTooLarge =
    ": larger than 2.88 MB (5760 sectors), so no floppy disk; refused";
inline constexpr std::string_view kTargetNoDisk = ": holds no disk";
inline constexpr std::string_view kTargetMounted =
    ": mounted (it or a partition of it); unmount it first";
inline constexpr std::string_view kCannotOpenTarget = "Cannot open ";
inline constexpr std::string_view kImageEmpty = "The image holds no sector to write";
inline constexpr std::string_view kRangeNegative = "Start and End must not be negative";
inline constexpr std::string_view kStartAfterEnd = "Start lies after End";
inline constexpr std::string_view kEndPastImage = "End lies past the image's last sector, ";
inline constexpr std::string_view kPastDiskEnd =
    "The disk holds only %1 sectors; the range ends at sector %2";
inline constexpr std::string_view kWriteFailedAt = "Error writing sector ";
inline constexpr std::string_view kReadFailedAt = "Error reading sector ";
inline constexpr std::string_view kWrittenBefore = "Sectors before it were written, none after it.";
inline constexpr std::string_view kFlushFailed = "The disk did not take the sectors written: ";
inline constexpr std::string_view kVerifyDiffers =
    "Verify: the disk differs from the image at sector ";
inline constexpr std::string_view kVerifying = "Verifying sector %1 of %2";
inline constexpr std::string_view kReading = "Reading sector %1 of %2";
inline constexpr std::string_view kCancelledAt = "Cancelled before sector ";
inline constexpr std::string_view kDriveNotReady = "No readable disk in the drive: ";
inline constexpr std::string_view kBootGivesNoSize =
    "The disk's boot sector gives no usable size (bytes per sector %1, total sectors %2)";
inline constexpr std::string_view kBootClaims =
    "The disk's boot sector claims %1 bytes, but the disk holds %2";
inline constexpr std::string_view kCannotSaveRead = "Cannot write ";

}  // namespace quarnel::formats::msg
