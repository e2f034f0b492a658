// The texts the reports, the sector editor and the find dialog show, used as they stand.
#pragma once

#include <string_view>

namespace quarnel::tools {

// Which report a report is.
inline constexpr std::string_view kModeDiskDetail = "DISK DETAIL";
inline constexpr std::string_view kModeFileInfo = "FILE INFO";

// Fonts of the reports: the map's symbol font and the text font.
inline constexpr std::string_view kSymbolFont = "Wingdings";
inline constexpr std::string_view kTextFont = "Courier New";

// DISK DETAIL.
inline constexpr std::string_view kDiskErrorWarning =
    "There is a error on the disk, details may be incorrect!";
inline constexpr std::string_view kCaptionDetails = "Details of ";
inline constexpr std::string_view kDetailTitle = "          Disk Technical Information";
inline constexpr std::string_view kDetailCapacity = "Basic storage capacity:";
inline constexpr std::string_view kDetailBytes = " characters (bytes)";
inline constexpr std::string_view kDetailFree = "% of disk space is free";
inline constexpr std::string_view kDetailLogical = "Logical dimensions:";
inline constexpr std::string_view kDetailSectors = "    Total numbers of Sectors ";
inline constexpr std::string_view kDetailEachSector = " each containing ";
inline constexpr std::string_view kDetailBytesWord = " bytes";
inline constexpr std::string_view kDetailTrackSectors = "    Tracks are made up of ";
inline constexpr std::string_view kDetailSectorsWord = " Sectors";
inline constexpr std::string_view kDetailFats = "    There are ";
inline constexpr std::string_view kDetailFatSectors = " fats each fat are made up of ";
inline constexpr std::string_view kDetailTracks = "    The disk is made up of ";
inline constexpr std::string_view kDetailTracksWord = " Tracks";
inline constexpr std::string_view kDetailSides = "    There are ";
inline constexpr std::string_view kDetailSidesWord = " disk sides";
inline constexpr std::string_view kDetailClusterSectors =
    "    Space for files is allocated in clusters of ";
inline constexpr std::string_view kDetailClusters = "    There are ";
inline constexpr std::string_view kDetailClustersWord = " clusters";
inline constexpr std::string_view kDetailClusterBytes = "    Each cluster is ";
inline constexpr std::string_view kDetailRoot = "    The disks root directory can hold ";
inline constexpr std::string_view kDetailFilesWord = " files";
inline constexpr std::string_view kDetailMap = "Map of disk Usage:";

// Legend labels.
inline constexpr std::string_view kLegendUnused = " Unused Cluster";
inline constexpr std::string_view kLegendUsed = " Used Cluster";
inline constexpr std::string_view kLegendLast = " Last Cluster of File";
inline constexpr std::string_view kLegendBad = " Bad Cluster";
inline constexpr std::string_view kLegendSystem = " Disk System";

// FILE INFO.
inline constexpr std::string_view kCaptionInfo = "Info on File: ";
inline constexpr std::string_view kInfoSize = "The File has a size of ";
inline constexpr std::string_view kInfoSpanning = "spanning ";
inline constexpr std::string_view kInfoClusters = " clusters on the disk";
inline constexpr std::string_view kInfoChanged = "The File was last changed on ";
inline constexpr std::string_view kInfoAt = " at ";

// Ours: what a map cell tells when the pointer rests on it.
inline constexpr std::string_view kCellSystem = "Disk system area";
inline constexpr std::string_view kCellCluster = "Cluster ";
inline constexpr std::string_view kCellFree = ": free";
inline constexpr std::string_view kCellBad = ": bad";
inline constexpr std::string_view kCellReserved = ": reserved";
inline constexpr std::string_view kCellNoOwner = ": used, no file of the directories holds it";
inline constexpr std::string_view kCellOwner = ": ";

// Sector view.
inline constexpr std::string_view kCaptionSector = "Sector view of ";
// "%1" stands for the text of the sector-number box.
inline constexpr std::string_view kNotAnInteger = "'%1' is not a valid integer value";

// Write-back questions and their captions (N is the sector number, NAME the viewed file).
inline constexpr std::string_view kSaveSectorText = "Save the changes to sector ";
inline constexpr std::string_view kSaveSectorCaption = "Sector ";
inline constexpr std::string_view kSaveSectorCaptionEnd = " has changed!";
inline constexpr std::string_view kSaveFileText = "Save the changes to ";
inline constexpr std::string_view kSaveFileCaption = "File ";
inline constexpr std::string_view kSaveFileCaptionEnd = " has changed!";
inline constexpr std::string_view kClusterError = "Cluster Error in Fat";
inline constexpr std::string_view kNoMemory = "Could not allocate memory";
// Ours: the viewed entry no longer holds the file that was shown (deleted, renamed, moved).
inline constexpr std::string_view kViewedFileGone =
    "The file that was shown is no longer in its place on the disk; the changes were not saved: ";
// Ours: refusals of an overwrite in place.
inline constexpr std::string_view kSectorOutside = "No such sector on this disk: ";
inline constexpr std::string_view kPastSector = "The bytes would run past the end of the sector";
inline constexpr std::string_view kPastFileEnd = "The bytes would run past the end of the file";
inline constexpr std::string_view kNotAFile = "Not a file: ";
inline constexpr std::string_view kNothingToWrite = "No bytes to write";

// Find dialog captions.
inline constexpr std::string_view kFindCaption = "Find";
inline constexpr std::string_view kFindReadyHex = "Find!";
inline constexpr std::string_view kFindSearching = "Searching.";
inline constexpr std::string_view kFindFound = "Found!";
inline constexpr std::string_view kFindNotFoundBytes = "Not Found!";
inline constexpr std::string_view kFindNotFoundText = "Not found!";
inline constexpr std::string_view kFindHex = "Hex";
inline constexpr std::string_view kFindText = "Text";
inline constexpr std::string_view kFindCancel = "Cancel";

}  // namespace quarnel::tools
