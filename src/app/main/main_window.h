// The main window: the host folder browser on the left, the file list of the current image on
// the right, the OEM and volume fields above it, the summary and the filter below, a status
// bar, the main menu, the Edit toolbar and the three context menus. The Edit menu's and the
// toolbar's commands are actions of their own controller (EditActions), which the GUI tests
// trigger; most other commands are public members that the tests run as the menus would.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/app_ui.h"
#include "app/main/card_rows.h"
#include "app/main/file_stamp.h"
#include "app/main/list_rules.h"
#include "app/main/recent_files.h"
#include "app/main/tracked_ui.h"
#include "app/platform/app_paths.h"
#include "app/platform/settings_record.h"
#include "core/view_choice.h"
#include "core/workspace.h"
#include "formats/floppy_devices.h"
#include "formats/session.h"
#include "listing/file_rows.h"
#include "viewers/msx_charset.h"

class QAction;
class QTextBrowser;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QToolBar;
class QToolButton;

namespace quarnel {

class EditActions;
class FileActions;
class NavigationActions;
class SetupActions;
class GalleryWindow;
class DiskActions;
class Document;
class FileListModel;
class FileListView;
class HostBrowser;
class QtUi;

// Which context menu the host browser shows for a file.
enum class HostMenuKind { DiskMenu, ConvertMenu, HostActions };
HostMenuKind HostMenuFor(const QString& path, bool dosFunctions);

// What the host browser asks before a conversion: a save dialog with this title, proposing this
// target (the source with the target's extension).
struct TargetQuestion {
  std::string_view title;
  std::string proposed;
};
TargetQuestion AskTargetFor(Conversion conversion, const std::string& source);

// "Disk Details" / "Add a File" of the host browser's disk menu, given the state they had.
struct DiskMenuState {
  bool diskDetails = true, addFile = true;
};
DiskMenuState DiskMenuFor(DiskMenuState previous, const QString& selected,
                          const QString& imagePath);

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  // `arguments` is the command line (program path first). `ui` answers the window's questions;
  // when null the window shows real dialogs.
  MainWindow(const AppPaths& paths, const QStringList& arguments, AppUi* ui = nullptr,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start and end of the run.
  void ApplySettings();  // the settings record on the window, when it is first shown
  // Pixels of the title bar that stay on the screen when a saved place is brought back.
  static constexpr int kTitleReach = 100;
  // Where the window goes for a saved place: on a screen, the title bar within reach; a window
  // larger than that screen is first made to fit it.
  QPoint WithinReach(const QRect& saved);
  void OpenPendingFile();  // the image's path in the status line, then the file waiting to open
  void HandOver(const QStringList& arguments, const QString& workingFolder);
  void EndRun();  // release the image, empty the temporary folder
  bool PendingOpen() const { return pendingOpen_; }
  QString PendingPath() const { return pendingPath_; }

  // Images and the list.
  void OpenHostFile(const QString& path);     // double-click / Enter in the browser
  void ConvertHostFile(const QString& path);  // asks for the target, then converts
  void OpenSelectedEntry();                   // double-click / Enter / "Auto" on a row
  void ViewWith(ViewSelector selector);       // the fixed view commands
  void SortByColumn(int column);
  void DropFiles(const QStringList& paths);
  // Opens a host file by its kind (disk image or tape), asking about unsaved changes first. A
  // file that gives nothing to show (too small, unreadable) leaves the open image as it was;
  // false then, or when the user cancelled.
  bool OpenFile(const std::string& path);
  // Adds one host file under `entryName` to the shown directory, showing what went wrong; true
  // when it was added.
  bool AddHostFile(const std::filesystem::path& path, const std::string& entryName);
  // A dropped .TXT or .ASC file may be MSX-BASIC text: the drop offers to store it tokenised
  // under its stem with .BAS.
  bool OffersTokenizing(const std::filesystem::path& path) const;
  // The entry name of a tokenised program: the stem with .BAS, or the rename dialog's answer.
  std::optional<std::string> AskTokenizedName(const std::filesystem::path& path);
  bool AddTokenizedHostFile(const std::filesystem::path& path, const std::string& entryName);
  // Adds a host folder with everything in it to the shown directory (a short name for names
  // that are not 8.3; the first failure is shown). The number of files added.
  std::size_t AddHostFolder(const std::filesystem::path& path);
  void AddChosenFile();  // "Add a File": asks for a host file, adds it
  // Card and hard-disk images: the partitions are listed first; entering one opens its volume
  // (written in place when saved, never outside the partition), leaving it settles its unsaved
  // changes first and lists the partitions again. A partition of another type than FAT is
  // refused with the reason. False when nothing changed.
  bool EnterPartition(int number);
  bool LeavePartition();
  // Host files dropped on the row of partition `number`: the partition is entered and the files
  // go into its root.
  void DropFilesOn(int number, const QStringList& paths);
  // The card image open (its partitions listed or one of them entered); nullptr for others.
  const CardState* card() const { return card_ ? &*card_ : nullptr; }
  // Counts the volumes opened: a value taken while one was open tells whether it still is (the
  // partitions of a card image share its path).
  int OpenSerial() const { return openSerial_; }
  // File › Open Recent: opens `path` (a message and the entry dropped when it is gone).
  void OpenRecentFile(const QString& path);
  void ClearRecentFiles();
  void DeleteSelectedEntries();
  void ExtractSelectedEntries();
  bool CommitRenamedEntry(int slot, const QString& text);
  void CommitOemField();     // the OEM field was left or confirmed
  void CommitVolumeField();  // the volume field was left or confirmed
  // The image was changed from outside the window's commands (the viewer wrote edits back):
  // listed again and marked.
  void ImageChanged();
  void SetListStyle(int style);  // 0 report, 1 list, 2 large icons
  void ToggleListStyle();        // the button beside the volume field
  void SetFilter(int entry);     // the browser's file-type box

  // Context menus: the file list's menu brought up to date (its entries enabled as the
  // selection allows), and the menu the host browser would show now.
  ListMenuState UpdateListMenu();
  QMenu* HostContextMenu();

  // Keeps the settings record (Setup › Save Environment, and at the end of the run).
  void SaveSettings();
  void OpenHelpPage();
  void ShowAbout();
  // The same from the host list's popup: the selected image is opened first when it is not the
  // one open.
  void CheckSelectedDisk();

  // Floppy drives: "To Disk" shows the "Save to disk" dialog for the open image; File › "From
  // Disk..." reads a whole floppy into a new image and opens it. Both are shown while a usable
  // drive exists, checked again whenever the File menu opens and the program becomes active.
  void ShowSaveToDisk();
  void ReadFromDisk();
  void UpdateFloppyActions();
  void SetFloppySources(const DeviceSources& sources);
  QAction* toDiskAction() const { return toDisk_; }
  QAction* fromDiskAction() const { return fromDisk_; }
  // The Edit menu's and the toolbar's commands.
  EditActions* editActions() const { return editActions_; }
  // The location line, Back and Forward.
  NavigationActions* navigation() const { return navigation_; }
  // The Setup menu's commands.
  SetupActions* setupActions() const { return setupActions_; }
  // The File menu's commands on the image as a whole.
  FileActions* fileActions() const { return fileActions_; }
  // Find on Disk and Properties.
  DiskActions* diskActions() const { return diskActions_; }
  QMenu* editMenu() const { return editMenu_; }
  QToolBar* toolBar() const { return toolBar_; }

  // What the tests and the viewer look at.
  // The open disk image's workspace, or the open tape; nullptr when that is not what is open.
  Workspace* disk();
  const Workspace* disk() const;
  CasImage* tape();
  const CasImage* tape() const;
  // What is open, its undo stack, and the signals the viewer window observes.
  Document* document() const { return document_; }
  AppUi& ui() { return *ui_; }
  SettingsRecord& settings() { return settings_; }
  const AppPaths& paths() const { return paths_; }
  FileListModel* listModel() const { return model_; }
  FileListView* fileList() const { return list_; }
  HostBrowser* browser() const { return browser_; }
  QLineEdit* oemEdit() const { return oem_; }
  QLineEdit* volumeEdit() const { return volume_; }
  QLabel* summaryLabel() const { return summary_; }
  QComboBox* filterCombo() const { return filter_; }
  QSplitter* splitter() const { return splitter_; }
  QMenu* diskImageMenu() const { return diskImageMenu_; }
  QMenu* fileListMenu() const { return fileListMenu_; }
  QMenu* conversionMenu() const { return conversionMenu_; }
  QMenu* hostActionsMenu() const { return hostActions_; }
  QTextBrowser* helpWindow() const { return helpWindow_; }
  QMenu* recentMenu() const { return recentMenu_; }
  const RecentFiles& recentFiles() const { return recent_; }
  // The character set names are shown and typed in: Setup's choice.
  const viewers::MsxCharset& Charset() const;
  // Setup's choice of the Japanese set (kept with the settings): the list, the fields and the
  // viewer follow at once.
  void UseJapaneseCharset(bool on);
  const ListSort& sortState() const { return sort_; }
  QString statusText() const;
  // The path of the open disk image, card image or tape ("" when nothing is open).
  std::string OpenPath() const;
  // The open file as titles name it: its file name, and the partition entered of a card image
  // ("card.img, Partition 2").
  std::string OpenName() const;

 protected:
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  friend class EditActions;  // its commands work on the list, the image and the questions here
  friend class NavigationActions;  // it shows the folders it goes to
  friend class SetupActions;       // its choices change the look of the widgets here
  friend class FileActions;        // its commands are the ones below on the open image
  friend class DiskActions;        // Find on Disk and Properties work on the list here
  // The File menu's commands (FileActions).
  // File > New > Disk Image, rows 0..7: asks where (proposing the first free NewNNN name in the
  // browsed folder), writes the empty image and opens it.
  void NewImage(int row);
  void SaveImage();
  // Save As: the image is written to the file chosen, which becomes the window's file.
  void SaveImageAs();
  // Save a Copy: the image is written to the file chosen; the window keeps its own file and
  // its unsaved mark.
  void SaveImageCopy();
  // "Check Disk": the findings as a report in the viewer window, then the question whether to
  // repair, listing what repair will do; a yes puts the repaired image in place (unsaved).
  void CheckOpenDisk();
  void BuildWidgets();
  void BuildMenus();
  // Edit: Undo and Redo of the image's changes, named for the change.
  QMenu* BuildEditMenu();
  // The text of an entry in an action's name: its caption without trailing blanks and dots.
  QString EntryText(const FileEntry& entry) const;
  void BuildPopups();
  void SetUpFloppyActions(QMenu* file);
  void ShowListing();       // rows, fields and summary from the workspace
  void AfterImageChange();  // list again after a change
  void AddHostFiles(const QStringList& paths);
  // Adds host files and folders (with what they hold) to the shown directory, the questions
  // asked first; the number of files added, nullopt when the user cancelled.
  std::optional<std::size_t> AddHostPaths(const std::vector<std::filesystem::path>& files);
  // "Saved NAME" for the file written.
  void SetSavedStatus(const std::filesystem::path& file);
  void SetStatus(const QString& text);
  // A command's word on what it did, in the status bar. It stays there through the activation of
  // the window that follows the command (its dialogs closing), which otherwise shows the image's
  // path.
  void Confirm(const QString& text);
  // A command is running: one of its dialogs is open (or just closing), a modal dialog is, or
  // the window is disabled while it reads.
  bool Busy() const;
  // Asks OpenPendingFile to run once the event loop is back, after the command that is running.
  void RetryPendingFile();
  // The answer to "Save Changed DiskImage" when opening `path` would replace unsaved changes;
  // the default (drop nothing, ask nothing) otherwise.
  // "Save changes to NAME?" when the open image has unsaved changes: Save writes it to its own
  // path (Save As when that fails), Don't Save drops them. False when the user cancelled (or the
  // changes could not be saved): the action that asked is abandoned.
  bool SettleChanges();
  // Save to the image's own file, asking first when that file was changed on disk since it was
  // read or written here.
  enum class OwnSave { Saved, Failed, Cancelled };
  OwnSave SaveToOwnPath(Workspace& ws);
  // The file a save dialog's answer names: ".dsk" added to a bare name, and, when that makes
  // it the name of a file the dialog did not ask about, the "Replace?" question. nullopt when
  // the user cancelled or declined.
  std::optional<std::filesystem::path> ChosenImagePath(std::optional<std::string> answer);
  // Writes the image to a file chosen in a save dialog titled `title`; nullopt when nothing
  // was written.
  std::optional<std::filesystem::path> SaveToChosenPath(Workspace& ws, const std::string& title);
  // Names asked "Replace NAME?" for and answered; `several` when more files are to come.
  struct ReplaceState {
    bool several = false;
    std::optional<ReplaceChoice> forAll;  // the answer given for all the files still to come
    bool cancelled = false;
  };
  // Whether a host file added as `entryName` to the shown directory may go in: true when no
  // file of that name is there, or the user lets it replace the one that is.
  bool MayAddAs(const std::string& entryName, ReplaceState& state);
  // Ctrl+R: the shown directory listed again; Backspace / Alt+Up: up one directory.
  void ListAgain();
  // File › Open...: a disk image, tape or image to convert, chosen in a file dialog.
  void OpenChosenFile();
  void GoToParent();
  // The window title: the open file's name, marked [*] while it has unsaved changes.
  void UpdateTitle();
  // The open file goes first in the recent list (kept at once), and the submenu follows.
  void RememberOpenFile();
  void FillRecentMenu();
  // The entry name for adding a host file: its own name, or the rename dialog's answer (asked
  // until the name is valid) when the image can take it and the name does not fit 8.3; nullopt
  // when the dialog was cancelled.
  std::optional<std::string> AskEntryName(const std::filesystem::path& hostPath);
  static bool IsHostFolder(const std::filesystem::path& path);
  bool IsCassette() const;
  // Opens the card image at `path`: its partitions are listed. False when the user cancelled
  // settling the open image's changes.
  bool OpenCard(const std::string& path);
  // The partitions of a card image are listed (no volume is open): a command that needs one
  // says so and is refused (true then).
  bool RefusedAtPartitions();
  // A disk image that may be listed and read is open.
  Workspace* ReadableDisk();
  bool AtRoot() const;
  std::vector<FileRow> SelectedFileRows() const;
  std::vector<int> SelectedSlots() const;
  void StartDragOut();
  void HostSelectionChanged(const QString& path);
  void ShowHostMenu(const QPoint& globalPos);
  void ApplyFieldColors();
  void ApplyTreeLook();
  void ApplyListLook();
  void ShowHostInFileManager();
  void CopyHostPath();
  void RenameHostFile();
  void DeleteHostFile();
  void ConvertSelected();
  void DiskDetails();
  void SectorView();
  void ShowInfo();

  AppPaths paths_;
  FileStamp stamp_;  // the image's file as last read or written here
  std::unique_ptr<QtUi> qtUi_;
  std::unique_ptr<TrackedUi> trackedUi_;
  AppUi* ui_ = nullptr;
  Document* document_ = nullptr;
  std::optional<CardState> card_;
  int openSerial_ = 0;
  std::string volumeField_;   // what the volume-name field shows of the image
  std::string listedVolume_;  // the volume name the field was last given from the image
  SettingsRecord settings_;
  RecentFiles recent_;
  bool tempReady_ = false;
  bool pendingOpen_ = false;
  QString pendingPath_;
  bool ended_ = false;
  bool shown_ = false;
  bool firstStart_ = false;  // no settings file was read
  // On the first start the window widens once to show every column of the first disk listed.
  bool widenPending_ = false;
  void WidenToShowEveryColumn();
  ListSort sort_;
  ListMenuState listMenuState_;
  DiskMenuState diskMenuState_;
  bool dosFunctions_ = false;
  bool confirmed_ = false;  // a command's word is in the status bar (Confirm)
  bool dragging_ = false;
  QString oemShown_;

  HostBrowser* browser_ = nullptr;
  QComboBox* filter_ = nullptr;
  QToolButton* upButton_ = nullptr;
  FileListModel* model_ = nullptr;
  FileListView* list_ = nullptr;
  GalleryWindow* gallery_ = nullptr;  // View › Gallery
  QLabel* oemLabel_ = nullptr;
  QLineEdit* oem_ = nullptr;
  QLabel* volumeLabel_ = nullptr;
  QLineEdit* volume_ = nullptr;
  QLabel* summary_ = nullptr;
  QToolButton* toggle_ = nullptr;
  QToolButton* partitionsButton_ = nullptr;
  QSplitter* splitter_ = nullptr;

  EditActions* editActions_ = nullptr;
  NavigationActions* navigation_ = nullptr;
  SetupActions* setupActions_ = nullptr;
  FileActions* fileActions_ = nullptr;
  DiskActions* diskActions_ = nullptr;
  QMenu* editMenu_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  QMenu* diskImageMenu_ = nullptr;
  QMenu* fileListMenu_ = nullptr;
  QMenu* conversionMenu_ = nullptr;
  QMenu* hostActions_ = nullptr;
  QTextBrowser* helpWindow_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  QAction* toDisk_ = nullptr;
  QAction* fromDisk_ = nullptr;
  DeviceSources floppySources_;
  QAction* addAct_ = nullptr;
  QAction* deleteAct_ = nullptr;
  QAction* viewAct_ = nullptr;
  QAction* extractAct_ = nullptr;
  QAction* infoAct_ = nullptr;
  QAction* renameAct_ = nullptr;
  QAction* newFolderAct_ = nullptr;
  QAction* diskDetailsAct_ = nullptr;
  QAction* hostAddAct_ = nullptr;
  QAction* toXsaAct_ = nullptr;
  QAction* sectorViewAct_ = nullptr;
  QAction* toDskAct_ = nullptr;
};

}  // namespace quarnel
