// Captions, menu texts, dialog titles and messages of the desktop program, as the system shows
// them. The messages of the core's outcomes come from the core's messages header.
#pragma once

#include <string_view>

namespace quarnel::app_text {

// Dialogs and labels around the core's operations.
inline constexpr std::string_view kAddingFile = "Adding file %1 of %2";
inline constexpr std::string_view kAddFileTitle = "Add File to Disk Image";
inline constexpr std::string_view kRenameCaption = "Filename too long! Rename:";
inline constexpr std::string_view kRenameButton = "Rename";
inline constexpr std::string_view kSavingTitle = "Saving DiskImage";
inline constexpr std::string_view kDiskImageFilter = "Msx DiskImage (*.dsk)|*.dsk";
inline constexpr std::string_view kExtractTitle = "Extract file from diskImage to";
inline constexpr std::string_view kOemLabel = "OEM Signature:";
inline constexpr std::string_view kVolumeLabel = "Volume Name:";

inline constexpr char kAppTitle[] = "Quarnel";
inline constexpr char kMainCaption[] = "Quarnel 0.84";
inline constexpr char kAboutTitle[] = "Version 0.82 - 5 April 2002";
inline constexpr char kAboutText[] =
    "Quarnel\n\nInspects and edits MSX disk images, MSX files and cassette images.\n\n"
    "Built with Qt 6 on a headless C++ library. MSX is a trademark of MSX Licensing "
    "Corporation.";

// Start and end of the run.
inline constexpr char kInstanceCheckFailed[] =
    "internal error (Instance check): file mapping failed";
inline constexpr char kCannotCreate[] = "Cannot create ";

// Component texts.
inline constexpr char kListHint[] = "Right click for menu";
inline constexpr char kToggleHint[] = "Toggle Filelist view";
inline constexpr char kUpHint[] = "Up one folder";
inline constexpr char kFilterText[] =
    "Msx Disk Files|*.dsk;*.di?|Msx Cas File *.cas|*.cas|Other Msx Formats|*.ddi;*.img;*.msx;*.xsa|"
    "All Files|*.*";
// Appended to a save dialog's own filter.
inline constexpr char kAllFilesFilter[] = ";;All Files (*)";
inline constexpr const char* kColumnTitles[] = {"Name", "Size", "Type", "Modified", "Attrib"};
inline constexpr int kColumnWidths[] = {120, 80, 90, 110, 60};

// Main menu.
inline constexpr char kMenuFile[] = "&File";
inline constexpr char kMenuNew[] = "&New";
inline constexpr char kMenuDiskImage[] = "&Disk Image";
inline constexpr char kMenuSave[] = "&Save";
inline constexpr char kMenuSaveAs[] = "Save &As...";
// Ours: the whole-disk check, its report and the question before repair.
inline constexpr char kMenuCheckDisk[] = "Check Disk";
inline constexpr char kCheckReportName[] = "CHECK";
inline constexpr char kCheckReportExtension[] = "TXT";
inline constexpr char kCheckClean[] = "No problems found.";
inline constexpr char kCheckFound[] = " problems found.";
inline constexpr char kCheckFoundOne[] = "1 problem found.";
inline constexpr char kCheckClusters[] = "  clusters ";
inline constexpr char kRepairQuestion[] = "Repair the disk? Repair will:";
inline constexpr char kMenuExit[] = "E&xit";
inline constexpr char kMenuView[] = "&View";
inline constexpr char kMenuDetail[] = "Detail";
inline constexpr char kMenuList[] = "List";
inline constexpr char kMenuLargeIcon[] = "Large Icon";
inline constexpr char kMenuGallery[] = "&Gallery";
// Ours: the gallery window's caption, and its line over the thumbnails (number, directory).
inline constexpr char kGalleryCaption[] = "Gallery";
inline constexpr char kGalleryCount[] = "%1 pictures in %2 and below";
inline constexpr char kMenuSetup[] = "&Setup";
inline constexpr char kMenuSaveEnvironment[] = "&Save Environment";
inline constexpr char kMenuStartupFolder[] = "Startup Folder";
inline constexpr char kMenuFolderTree[] = "Folder Tree";
inline constexpr char kMenuFileList[] = "File List";
inline constexpr char kMenuTextView[] = "Text view";
inline constexpr char kMenuBasicView[] = "Basic view";
inline constexpr char kMenuOemSignature[] = "OEM Signature";
inline constexpr char kMenuVolumeName[] = "Volume Name";
inline constexpr char kMenuAutoLoad[] = "Auto Load .dsk";
// Ours: File › Open....
inline constexpr char kMenuOpen[] = "&Open...";
inline constexpr char kOpenTitle[] = "Open a disk image or tape";
// Ours: a file named on the command line, or handed over, that is not there.
inline constexpr char kFileNotFound[] = "File not found: ";
// Ours: the images opened last (File › Open Recent).
inline constexpr char kMenuOpenRecent[] = "Open &Recent";
inline constexpr char kMenuClearRecent[] = "&Clear Menu";
// Ours: the help window.
inline constexpr char kHelpTitle[] = "Quarnel Help";
inline constexpr char kHelpMissing[] = "The help page is missing from this program.";
// Ours: the question before unsaved changes would be lost ("Save changes to demo.dsk?").
inline constexpr char kSaveChangesTo[] = "Save changes to ";
// Ours: the image's file was written by someone else since it was read here (%1: its name).
inline constexpr char kDiskChangedTitle[] = "File changed on disk";
inline constexpr char kDiskChanged[] =
    "%1 has been changed on disk since Quarnel read it.\n\nOverwrite it with the image shown "
    "here, save the image under another name, or cancel?";
inline constexpr char kOverwriteButton[] = "Overwrite";
inline constexpr char kSaveAsButton[] = "Save As...";
// Ours: File › Save a Copy... writes the image to another file and keeps the window's own.
inline constexpr char kMenuSaveCopy[] = "Save a &Copy...";
inline constexpr char kSaveCopyTitle[] = "Save a copy of the DiskImage";
// Ours: File › New › Disk Image asks where the new image goes.
inline constexpr char kNewImageTitle[] = "New DiskImage";
// Ours: a file the user named is there already (%1: its name).
inline constexpr char kReplaceFile[] = "%1 already exists.\nDo you want to replace it?";
// Ours: a file added under the name of one in the directory (%1: the name).
inline constexpr char kReplaceEntryTitle[] = "Replace";
inline constexpr char kReplaceEntry[] = "Replace %1?";
inline constexpr char kReplaceButton[] = "Replace";
inline constexpr char kSkipButton[] = "Skip";
inline constexpr char kForAllFiles[] = "Do the same for the other files";
// Ours: File › Open... on a file of no kind this program reads (%1: its name).
inline constexpr char kUnknownKind[] =
    "%1 is not a file Quarnel opens: disk images (.dsk, .di1, .di2) and tapes (.cas) open, "
    "and .ddi, .img, .msx and .xsa images are converted to .dsk.";
// Ours: names and views in the Japanese MSX character set instead of the international one.
inline constexpr char kMenuJapaneseCharset[] = "Japanese character set";
inline constexpr char kMenuHelp[] = "&Help";
inline constexpr char kMenuAbout[] = "About";
inline constexpr char kMenuHelpPage[] = "HELP";
inline constexpr char kTextViewHint[] = "Choose font for TEXT view";
inline constexpr char kBasicViewHint[] = "Choose font for basic view and keyword color.";

// The New disk image captions are the core's geometry table's (core/new_image.h).

// The file list's context menu.
inline constexpr char kPopupView[] = "View";
inline constexpr char kPopupAuto[] = "Auto";
inline constexpr char kPopupBasic[] = "Basic";
inline constexpr char kPopupHex[] = "Hex";
inline constexpr char kPopupText[] = "Text";
inline constexpr char kPopupTextMsb[] = "Text (- msb)";
inline constexpr char kPopupPicture[] = "Picture";
// The picture views, in menu order (app/picture_views.h).
inline constexpr const char* kPopupScreens[] = {"Screen 1", "Screen 2",  "Patterns",  "Screen 3",
                                                "Screen 4", "Screen 5",  "Screen 6",  "Screen 7",
                                                "Screen 8", "Screen 10", "Screen 11", "Screen 12"};
inline constexpr char kPopupAddFile[] = "Add a File";
inline constexpr char kPopupDelete[] = "Delete";
inline constexpr char kPopupExtract[] = "Extract";
inline constexpr char kPopupInfo[] = "Info";
inline constexpr char kPopupRename[] = "Rename";
inline constexpr char kPopupNewFolder[] = "New Folder";
inline constexpr char kNewFolderTitle[] = "New Folder";
inline constexpr char kNewFolderLabel[] = "Name of the new folder (8.3):";
inline constexpr char kInvalidFolderName[] = "Not a valid MSX-DOS name (8.3): ";
// Ours: the Edit menu and the toolbar. What each command did is confirmed in the status bar.
inline constexpr char kMenuEdit[] = "&Edit";
inline constexpr char kToolBar[] = "Edit";
inline constexpr char kEditAddFiles[] = "Add Files...";
inline constexpr char kEditAddFolder[] = "Add Folder...";
inline constexpr char kEditNewFolder[] = "New Folder...";
inline constexpr char kEditRename[] = "Rename";
inline constexpr char kEditDelete[] = "Delete";
inline constexpr char kEditExtract[] = "Extract...";
inline constexpr char kEditSelectAll[] = "Select All";
inline constexpr char kAddFilesTitle[] = "Add Files to Disk Image";
inline constexpr char kAddFolderTitle[] = "Add a Folder with its Contents to Disk Image";
inline constexpr char kExtractFolderTitle[] = "Extract to Folder";
// Extracting into a folder that holds names of the selection already (%1: the folder, %2: "3
// files", "1 file and 1 folder").
inline constexpr char kExtractReplaceQuestion[] =
    "%1 already holds %2 of these names. Replace them?";
// "Delete GAMES and the 12 files in it?" (%1: the folder, %2: what it holds); for several
// folders "Delete GAMES, DOCS and the 15 files in them?".
inline constexpr char kDeleteFolderQuestion[] = "Delete %1 and the %2 in it?";
inline constexpr char kDeleteFoldersQuestion[] = "Delete %1 and the %2 in them?";
inline constexpr char kOneFile[] = "1 file";
inline constexpr char kFiles[] = "%1 files";
inline constexpr char kOneFolder[] = "1 folder";
inline constexpr char kFolders[] = "%1 folders";
inline constexpr char kAnd[] = " and ";
inline constexpr char kSavedStatus[] = "Saved %1";
inline constexpr char kAddedStatus[] = "Added %1";
inline constexpr char kDeletedStatus[] = "Deleted %1";
inline constexpr char kExtractedStatus[] = "Extracted %1 to %2";
inline constexpr char kFolderMadeStatus[] = "Created folder %1";
inline constexpr char kRepairedStatus[] = "Repaired: %1 mended";
inline constexpr char kOneFinding[] = "1 finding";
inline constexpr char kFindings[] = "%1 findings";
inline constexpr char kConvertedStatus[] = "Converted to %1";
inline constexpr char kNotConvertedStatus[] = "Not converted: %1";
// The New disk image menu's choice of boot sector.
inline constexpr char kMenuDos2[] = "MSX-DOS 2 Boot Sector";

// The host browser's menus (for disk images, for other image formats) and our own host actions.
inline constexpr char kPopupDiskDetails[] = "Disk Details";
inline constexpr char kPopupDosFunctions[] = "Dos Functions";
inline constexpr char kPopupConvertToXsa[] = "Convert to .XSA";
inline constexpr char kPopupConvertToDsk[] = "Convert to .DSK";
inline constexpr char kPopupSectorView[] = "Sector View";
inline constexpr char kHostOpen[] = "Open";
inline constexpr char kHostShowInFileManager[] = "Open Folder in File Manager";
inline constexpr char kHostCopyPath[] = "Copy Path";
inline constexpr char kHostRename[] = "Rename...";
inline constexpr char kHostDelete[] = "Delete...";
inline constexpr char kHostRenameTitle[] = "Rename";
inline constexpr char kHostDeleteQuestion[] = "Delete %1?";
// Ours: the host Delete moves the file to the desktop's trash; why a host rename did nothing.
inline constexpr char kCannotTrash[] = "Could not move %1 to the trash";
inline constexpr char kHostNameTaken[] = "Not renamed: %1 already exists";
inline constexpr char kHostNameBad[] = "Not renamed: a name cannot contain '/'";
inline constexpr char kCannotRenameHost[] = "Could not rename %1";
// Ours: why an entry kept its name, and the name as stored (MSX-DOS keeps names upper-case).
inline constexpr char kRenameInvalid[] =
    "Not renamed: \"%1\" is not an MSX-DOS name (up to 8 characters, a dot, up to 3)";
inline constexpr char kRenameDuplicate[] = "Not renamed: %1 is already in this directory";
inline constexpr char kRenameDotEntry[] = "Not renamed: \".\" and \"..\" keep their names";
inline constexpr char kRenamedTo[] = "Renamed to %1";

// Dialog titles.
inline constexpr char kStartupFolderTitle[] = "Select Startup Directory";
inline constexpr char kBasicFontTitle[] = "Choose Basic view font and keyword color";
inline constexpr char kOemFontColorTitle[] = "Choose OEM Label's font color";
inline constexpr char kOemBackColorTitle[] = "Choose OEM label's background color";
inline constexpr char kVolumeFontColorTitle[] = "Choose Volume name's font color";
inline constexpr char kVolumeBackColorTitle[] = "Choose Volume name's background color";
inline constexpr char kTreeFontTitle[] = "Choose Tree's font";
inline constexpr char kTreeBackColorTitle[] = "Choose Tree's background color";
inline constexpr char kListFontTitle[] = "Choose Filelist's font";
inline constexpr char kListBackColorTitle[] = "Choose Filelist's background color";

// Our own notes for commands whose part of the library is not in this build.
inline constexpr char kNotAvailable[] = "not available";

// The viewer window and its context menu.
inline constexpr char kViewerBasic[] = "Basic Listing";
inline constexpr char kViewerHex[] = "Hex view";
inline constexpr char kViewerText[] = "Text view";
inline constexpr char kViewerTextMsb[] = "Text ( - msb )";
inline constexpr char kViewerPicture[] = "Picture";
inline constexpr char kViewerSelectAll[] = "Select All";
inline constexpr char kViewerWordWrap[] = "Word Wrap";
inline constexpr char kViewerCopy[] = "Copy to Clipboard";
inline constexpr char kViewerSearch[] = "Search";
inline constexpr char kViewerSavePicture[] = "Save picture as...";
inline constexpr char kViewerMsxColours[] = "MSX colours";
// Ours: the picture's zoom (fitted to the window keeping its shape, or a whole factor; kept for
// the next picture of this run), and screens 6 and 7 with one screen pixel per MSX pixel.
inline constexpr char kViewerZoom[] = "Zoom";
inline constexpr char kViewerZoomFit[] = "Fit to window";
inline constexpr const char* kViewerZoomFactors[] = {"1\u00D7", "2\u00D7", "3\u00D7"};
inline constexpr char kViewerZoomIn[] = "Zoom in";
inline constexpr char kViewerZoomOut[] = "Zoom out";
inline constexpr char kViewerSquarePixels[] = "Square pixels";
// Ours: the line under a picture: "NAME.EXT · Screen 5 · 256 × 212 · 2×"; under Fit the
// factor the window gives it now ("Fit 1.5×").
inline constexpr char kViewerStatusSeparator[] = " \u00B7 ";
inline constexpr char kViewerStatusSize[] = "%1 \u00D7 %2";
inline constexpr char kViewerStatusFit[] = "Fit %1\u00D7";
inline constexpr char kSavePictureTitle[] = "Save picture as";
inline constexpr char kPictureFilter[] = "PNG picture (*.png);;Windows bitmap (*.bmp)";
inline constexpr char kCannotSavePicture[] = "Cannot write the picture to ";
// The BASIC listing written as the text an MSX lists (LOAD on an MSX reads it back).
inline constexpr char kViewerSaveAsText[] = "Save as text...";
inline constexpr char kViewerMsxKeywords[] = "MSX keywords";
inline constexpr char kViewerNextPicture[] = "Next picture";
inline constexpr char kViewerPreviousPicture[] = "Previous picture";
inline constexpr char kSaveAsTextTitle[] = "Save as text";
inline constexpr char kSaveAsTextExtension[] = ".ASC";
inline constexpr char kCannotWriteText[] = "Could not write ";
// The MSX character set the views show bytes in (this window only; not kept in the settings).
inline constexpr char kViewerCharset[] = "Character set";
inline constexpr char kViewerCharsetInternational[] = "International";
inline constexpr char kViewerCharsetJapanese[] = "Japanese";

// Ours: a dropped .TXT or .ASC file may be MSX-BASIC text to store tokenised.
inline constexpr char kAddTokenizedQuestion[] = "Is ";
inline constexpr char kAddTokenizedAs[] =
    " an MSX-BASIC program? Yes stores it tokenised (as RUN loads it), No as it is.";
// The disk map's cells: one face per class, told apart by shape as well as by colour (the
// symbol font the reports were drawn in is not there): system area, unused, used, last cluster
// of a file, bad, reserved, the reported file's.
inline constexpr char kFaceSystem[] = "\u2592";    // medium shade
inline constexpr char kFaceUnused[] = "\u263A";    // smiling face
inline constexpr char kFaceUsed[] = "\u25CF";      // black circle
inline constexpr char kFaceLast[] = "\u25C6";      // black diamond
inline constexpr char kFaceBad[] = "\u2639";       // frowning face
inline constexpr char kFaceReserved[] = "\u25CC";  // dotted circle
inline constexpr char kFaceFile[] = "\u2605";      // black star

// "Save to disk" and "From Disk" (the floppy drives).
inline constexpr char kMenuToDisk[] = "To Disk";
inline constexpr char kSaveToDiskTitle[] = "Save to disk";
inline constexpr char kChooseDrive[] = "Choose drive";
inline constexpr char kWriteButton[] = "Write";
inline constexpr char kStartLabel[] = "Start";
inline constexpr char kEndLabel[] = "End";
inline constexpr char kWholeDisk[] = "Whole disk";
// Ours.
inline constexpr char kOtherFile[] = "Other file...";
inline constexpr char kVerifyBox[] = "Verify after writing";
inline constexpr char kCancelButton[] = "Cancel";
inline constexpr char kCancelling[] = "Cancelling...";
inline constexpr char kMenuFromDisk[] = "From Disk...";
inline constexpr char kFromDiskTitle[] = "Read a floppy into a new image";
inline constexpr char kFromDiskDrive[] = "Floppy drive:";
inline constexpr char kFromDiskName[] = "Floppy.dsk";
inline constexpr char kNoImageToWrite[] = "No disk image is open to write";
inline constexpr char kNoFloppyDrive[] = "No usable floppy drive was found";

// Card and hard-disk images: their partitions are the top level of the file list.
inline constexpr const char* kPartitionColumnTitles[] = {"Partition", "Size", "Type", "Volume",
                                                         "First sector"};
inline constexpr char kPartitionCaption[] = "Partition ";
inline constexpr char kPartitionsButton[] = "Partitions";
inline constexpr char kPartitionsHint[] = "Back to the partitions of the card image";
// The status bar after Undo and Redo: the change's name ("Undone: Delete HELLO.BAS").
inline constexpr char kUndone[] = "Undone: %1";
inline constexpr char kRedone[] = "Redone: %1";
// The location line and its history.
inline constexpr char kMenuBack[] = "Back";
inline constexpr char kMenuForward[] = "Forward";
inline constexpr char kBackHint[] = "Back to the folder shown before (Alt+Left)";
inline constexpr char kForwardHint[] = "Forward to the folder shown after this one (Alt+Right)";
inline constexpr char kPartitionsListed[] = "%1 Partitions Listed ";
inline constexpr char kPartitionTableOf[] = "%1 partition table, %2";
inline constexpr char kEnterPartitionFirst[] =
    "Open a partition of the card image first: double-click it in the list.";
// Above a disk map that is drawn folded: how many clusters one mark stands for.
inline constexpr char kMapFolded[] = "Each mark stands for %1 clusters\n";
inline constexpr char kFoldedCells[] = "Clusters %1-%2:";

// The names of the changes the Edit menu undoes and redoes ("Undo Delete HELLO.BAS").
inline constexpr char kUndoAdd[] = "Add %1";
inline constexpr char kUndoAddSeveral[] = "Add %1 Files";
inline constexpr char kUndoDelete[] = "Delete %1";
inline constexpr char kUndoDeleteSeveral[] = "Delete %1 Entries";
inline constexpr char kUndoRename[] = "Rename %1";
inline constexpr char kUndoNewFolder[] = "New Folder %1";
inline constexpr char kUndoVolumeName[] = "Volume Name";
inline constexpr char kUndoOemName[] = "OEM Name";
inline constexpr char kUndoRepair[] = "Repair";
inline constexpr char kUndoEditSector[] = "Edit Sector %1";
inline constexpr char kUndoEditFile[] = "Edit %1";
inline constexpr char kUndoAttributes[] = "Change Attributes of %1";

// Find on Disk: a byte string searched for in every file of the disk.
inline constexpr char kFindOnDisk[] = "Find on Disk...";
inline constexpr char kFindOnDiskTitle[] = "Find on Disk";
inline constexpr char kFindOnDiskHex[] = "&Hex";
inline constexpr char kFindOnDiskText[] = "&Text (any case)";
inline constexpr char kFindOnDiskFind[] = "Find";
inline constexpr char kFindOnDiskStop[] = "Stop";
inline constexpr char kFindOnDiskClose[] = "Close";
inline constexpr char kFindOnDiskFile[] = "File";
inline constexpr char kFindOnDiskOffset[] = "Offset";
inline constexpr char kFindOnDiskNotHex[] = "Give the bytes as hex digits, two per byte (4D5A).";
inline constexpr char kFindOnDiskRunning[] = "Searching... %1 of %2 files";
inline constexpr char kFindOnDiskFound[] = "%1 hits in %2 files";
inline constexpr char kFindOnDiskOneHit[] = "1 hit";
inline constexpr char kFindOnDiskNone[] = "Not found in the %1 files of the disk";
inline constexpr char kFindOnDiskStopped[] = "Stopped after %1 of %2 files: %3 hits";
inline constexpr char kFindOnDiskFirstHits[] = " (the first ones: the search ends there)";
inline constexpr char kFindOnDiskUnreadable[] = " (%1 files with broken chains not searched)";
inline constexpr char kFindOnDiskChanged[] = "The image changed: find again to search it.";
inline constexpr char kFindOnDiskHint[] = "Double-click a hit to see it in the hex view.";
inline constexpr char kHitGone[] = "The file of this hit is no longer where it was: find again.";

// Properties of an entry.
inline constexpr char kProperties[] = "Properties";
inline constexpr char kPropertiesTitle[] = "Properties of %1";
inline constexpr char kPropName[] = "Name:";
inline constexpr char kPropFolder[] = "Folder:";
inline constexpr char kPropType[] = "Type:";
inline constexpr char kPropSize[] = "Size:";
inline constexpr char kPropSizeText[] = "%1 bytes";
inline constexpr char kPropModified[] = "Modified:";
inline constexpr char kPropCreated[] = "Created:";
inline constexpr char kPropAccessed[] = "Accessed:";
inline constexpr char kPropAttributes[] = "Attributes:";
inline constexpr char kPropReadOnly[] = "Read-only";
inline constexpr char kPropHidden[] = "Hidden";
inline constexpr char kPropSystem[] = "System";
inline constexpr char kPropArchive[] = "Archive";
inline constexpr char kPropClusters[] = "Clusters:";
inline constexpr char kPropSectors[] = "Sectors:";
inline constexpr char kPropNone[] = "none";
inline constexpr char kPropChain[] = "Chain:";
inline constexpr char kPropChainSound[] = "Sound";
inline constexpr char kEntryGone[] = "The entry is no longer where it was.";
inline constexpr char kAttributesStatus[] = "Changed the attributes of %1";

}  // namespace quarnel::app_text
