// The one viewer window. Shows a file of the current disk or cassette image as a BASIC
// listing, as text, as a hex grid or as a picture; carries the reports and the sector editor
// later. Created once with the main window, shown by the first view, hidden when closed.
#pragma once

#include <QHash>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/settings_record.h"
#include "app/viewer/map_folding.h"
#include "app/viewer/picture_view.h"
#include "core/view_choice.h"
#include "core/volume.h"
#include "formats/ui.h"
#include "tools/disk_report.h"
#include "viewers/msx_charset.h"
#include "viewers/picture.h"

class QAction;
class QComboBox;
class QMenu;
class QSpinBox;

namespace quarnel {

class Document;
class FindDialog;
class NumberBox;
class HexGrid;
class Workspace;
class MainWindow;
class RichTextArea;

// What the window shows: a view of a file (a picture in the mode pictureMode() gives), a report
// or the sector editor; None before the first view.
enum class ViewerMode { None, Basic, Text, Hex, Picture, DiskDetail, FileInfo, Sector };

// A file to show: its bytes and the entry's name and extension (for the caption and the hex
// view's COM/EXE rule).
struct ViewedFile {
  std::vector<std::uint8_t> bytes;
  std::string name;
  std::string extension;
};

class ViewerWindow : public QWidget {
  Q_OBJECT
 public:
  // Reads the file last chosen for viewing again, for view `selector`; may change the selector
  // (selector 0 resolved by the file's first byte or the tape entry's type). nullopt: nothing
  // is shown.
  using Source = std::function<std::optional<ViewedFile>(ViewSelector& selector)>;

  // `settings` supplies textViewFont, basicViewFont and keywordColor, and receives the font
  // chosen in the font-name box; `ui` shows the views' messages.
  ViewerWindow(SettingsRecord& settings, Ui& ui, QWidget* parent = nullptr);

  // Makes the viewer of `main`: it observes the main window's document, whose view commands
  // (double-click, Auto, Basic, Hex, Text, Text (- msb), the pictures) read the chosen file of
  // the disk image or cassette, and whose changes and undos it follows. The window belongs to
  // `main`.
  static ViewerWindow* Attach(MainWindow& main);

  // Remembers `source` as the file last viewed and shows it in view `selector`.
  void Open(Source source, ViewSelector selector);
  // Shows bytes that are already read (same as Open with a source that returns them).
  void ShowFile(std::vector<std::uint8_t> bytes, const std::string& name,
                const std::string& extension, ViewSelector selector);
  // A view command of the popup menu: the file last viewed, in another view.
  void ViewCommand(ViewSelector selector);

  // The window's commands.
  void UpdatePopupMenu();  // its entries shown and enabled as viewMode allows
  void SelectAllText();
  void ToggleWordWrap();
  void CopyToClipboard();
  void StartSearch();
  void FontNameChosen(int index);
  void FontSizeChanged(int points);
  // "Save picture as...": asks for a path (askPicturePath) and saves the picture shown.
  void SavePictureAs();
  // Writes the picture shown as PNG, or as a Windows bitmap when `path` ends in ".bmp"; false
  // (after a message) when it cannot be written, or when no picture is shown.
  bool SavePicture(const std::string& path);
  // "MSX colours": screen 12 in the VDP's own YJK colours, or the view's formula again.
  void ToggleMsxColours();
  bool msxColours() const { return msxColours_; }
  // The picture's zoom (Fit, 1x, 2x, 3x), kept for the next picture of this run; a fixed factor
  // sizes the window to the picture as far as the screen allows.
  void SetPictureZoom(PictureZoom zoom);
  PictureZoom pictureZoom() const { return pictureZoom_; }
  // Ctrl++ / Ctrl+-: one step through 1x, 2x and 3x.
  void ZoomPicture(bool in);
  // "Square pixels": screens 6 and 7 with one screen pixel per MSX pixel (512 x 212) instead of
  // the MSX's shape (512 x 424).
  void ToggleSquarePixels();
  bool squarePixels() const { return squarePixels_; }
  // The BASIC view's program as the text an MSX lists, to a file the user names (askSavePath).
  void SaveAsText();
  // BASIC listed with the keywords as MSX-BASIC's own LIST writes them ("NEXT", "TAB(", "'"),
  // the text export's lines, or as the listing names them; kept with the settings.
  void ToggleMsxKeywords();
  // The character set of the BASIC and text views; the view shown is made again in it.
  void SetCharset(const viewers::MsxCharset& charset);
  const viewers::MsxCharset& charset() const { return *charset_; }

  ViewerMode viewMode() const { return viewMode_; }
  // The picture's mode while viewMode() is Picture.
  viewers::PictureMode pictureMode() const { return pictureMode_; }
  void SetViewMode(ViewerMode mode, viewers::PictureMode picture = viewers::PictureMode::Screen1);

  // The reports and the sector editor (viewer_tools.cpp).
  // DISK DETAIL of `image`, loaded from `imagePath`; FILE INFO of `entry` on it.
  void ShowDiskDetails(const DiskImage& image, const std::string& imagePath);
  void ShowFileInfo(const DiskImage& image, const FileEntry& entry);
  // The sector view of the image `disk` gives: the sector in the sector box, or sector 0.
  void SectorView(bool fromStart = false);
  NumberBox* sectorBox() const { return sectorBox_; }
  std::int32_t currentSector() const { return currentSector_; }
  // Edited bytes not yet written back nor dropped.
  bool PendingChanges() const;
  // Offers pending edits for saving (sector or file, by what the grid shows); dropped without
  // asking for a cassette, and never written into an image other than the one they were made on.
  void OfferPendingChanges();
  // The entry the hex view shows, by value, and the image it lies on (none for a tape entry).
  void SetViewedEntry(std::optional<FileEntry> entry, std::string imagePath);
  // The entry whose file is shown (none for a tape's, a report's or a host file's).
  const std::optional<FileEntry>& viewedEntry() const { return viewedEntry_; }
  // Page Down / Space and Page Up / Backspace on a picture: the next or previous picture file of
  // its directory.
  void BrowsePictures(int step);
  QAction* nextPictureAction() const { return nextPicAct_; }
  QAction* previousPictureAction() const { return prevPicAct_; }
  // What the map cell drawn at text position `position` tells ("" off the map).
  QString MapCellAt(int position) const;
  FindDialog* findDialog() const { return find_; }
  // The search that fits the view shown ("Find" in the find dialog).
  void RunFind();

  // The document whose image the reports, the sector editor and the write-backs use (none for
  // a viewer of its own, as in tests).
  void SetDocument(Document* document) { document_ = document; }
  // The image changed under the view (an undo or redo): the file shown is shown again as it is
  // now, or the view closes when its entry is gone; the sector editor shows its sector again.
  void FollowImage();

  // Controls, for the reports, the sector editor and the tests.
  RichTextArea* richEdit() const { return rich_; }
  HexGrid* grid() const { return grid_; }
  PictureView* image() const { return image_; }
  QWidget* panel() const { return panel_; }
  QComboBox* fontName() const { return fontName_; }
  QSpinBox* fontSize() const { return fontSize_; }
  QMenu* popupMenu() const { return popup_; }
  QAction* Action(ViewSelector selector) const;
  QAction* wordWrapAction() const { return wrapAct_; }
  QAction* msxKeywordsAction() const { return msxKeywordsAct_; }
  QAction* selectAllAction() const { return selectAllAct_; }
  QAction* copyAction() const { return copyAct_; }
  QAction* searchAction() const { return searchAct_; }
  QAction* pictureAction() const { return pictureAct_; }
  QAction* savePictureAction() const { return saveAct_; }
  QAction* msxColoursAction() const { return msxColoursAct_; }
  QAction* zoomMenuAction() const { return zoomMenuAct_; }
  QAction* zoomAction(PictureZoom zoom) const { return zoomActs_[static_cast<int>(zoom)]; }
  QAction* zoomInAction() const { return zoomInAct_; }
  QAction* zoomOutAction() const { return zoomOutAct_; }
  QAction* squarePixelsAction() const { return squareAct_; }
  // The picture shown (nullptr outside the picture views).
  const viewers::Picture* picture() const { return picture_ ? &*picture_ : nullptr; }
  QAction* saveAsTextAction() const { return saveTextAct_; }
  QAction* charsetAction(bool japanese) const { return japanese ? jpAct_ : intAct_; }

  // Hooks for the parts that come later or live elsewhere: the find dialog (F6), what happens when
  // the window is closed (close the find dialog, offer pending edits for saving), redrawing
  // the sector view when the font size changes.
  std::function<void()> search;
  std::function<void()> closing;
  std::function<void()> sectorRedraw;
  // The save dialog of "Save picture as..." (suggested file name in, chosen path out).
  std::function<std::optional<std::string>(const std::string& suggested)> askPicturePath;
  // The save dialog of "Save as text...": the path chosen for `suggestedName`, nullopt on cancel.
  std::function<std::optional<std::string>(std::string_view title, std::string_view suggestedName)>
      askSavePath;

 protected:
  void showEvent(QShowEvent* e) override;
  // The hex and sector views follow the window's width with their bytes per row.
  void resizeEvent(QResizeEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  // Esc closes the window, once no view or editor inside has used the key (the hex editor's
  // Esc cancels its edit first).
  void keyPressEvent(QKeyEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildTools();
  // The open disk image's workspace (nullptr when none is open or no document is observed).
  Workspace* Disk() const;
  void WriteReport(const tools::Report& report, const DiskImage& image);
  // `focusGrid`: the grid takes the keyboard focus (not when the sector box is being typed in).
  void ShowSectorView(bool fromStart, bool focusGrid);
  void ShowSector(Workspace& ws, bool focusGrid);
  // The number typed in the sector box, taken on Enter, on focus loss and by its arrows.
  void TakeSectorNumber();
  void FindInSectors();
  void FindInHexGrid();
  void FindInText();

  void BuildControls();
  void BuildPopup();
  void ShowPopupAt(const QPoint& globalPos);
  void Run(ViewSelector selector);
  void Show(const ViewedFile& file, ViewSelector selector);
  // Before a text view: clear the text area, show it and the font boxes, hide the picture and
  // the grid.
  void ResetControls();
  void ShowTextArea(bool fill);
  void Present();

  // The views.
  void ShowBasic(const ViewedFile& file);
  void ShowText(const ViewedFile& file, bool masked);
  void ShowHex(const ViewedFile& file);
  void ShowPicture(const ViewedFile& file, ViewSelector selector, viewers::PictureMode mode);
  void BuildZoomMenu();
  // The window takes the picture's zoomed size, as far as the screen's free area allows.
  void SizeWindowToPicture();

  QString Caption(const char* title, const ViewedFile& file) const;
  QString TextViewFontName() const;
  QString BasicViewFontName() const;

  SettingsRecord& settings_;
  Ui& ui_;
  Source source_;
  ViewerMode viewMode_ = ViewerMode::None;
  viewers::PictureMode pictureMode_ = viewers::PictureMode::Screen1;
  const viewers::MsxCharset* charset_ = &viewers::MsxCharset::International();
  // The file the BASIC view shows (for "Save as text...").
  std::optional<ViewedFile> basicFile_;
  bool textMasked_ = false;  // the text view shown is "Text ( - msb )"
  // The control a view gives the focus once the main window (and with it this window, which
  // belongs to it) is enabled again.
  QWidget* focusTarget_ = nullptr;
  bool takingSector_ = false;  // the sector box's number is being taken
  bool placed_ = false;        // shown once: placed beside the main window then

  QWidget* panel_ = nullptr;
  // The font boxes show the font and size of the text view shown.
  void ShowFontInBoxes();
  QHash<int, QSize> viewSizes_;  // the window size of each text view last shown, by mode
  int basicPoints_ = 0;          // the size chosen for BASIC listings (0: the default)
  int textPoints_ = 0;           // and for text views
  QComboBox* fontName_ = nullptr;
  QSpinBox* fontSize_ = nullptr;
  RichTextArea* rich_ = nullptr;
  HexGrid* grid_ = nullptr;
  PictureView* image_ = nullptr;

  QMenu* popup_ = nullptr;
  QAction* basicAct_ = nullptr;
  QAction* hexAct_ = nullptr;
  QAction* textAct_ = nullptr;
  QAction* maskedAct_ = nullptr;
  QAction* pictureAct_ = nullptr;
  QAction* screenActs_[12] = {};
  QAction* saveAct_ = nullptr;
  QAction* msxColoursAct_ = nullptr;
  bool msxColours_ = false;
  QAction* zoomMenuAct_ = nullptr;
  QAction* zoomActs_[4] = {};  // Fit, 1x, 2x, 3x
  QAction* zoomInAct_ = nullptr;
  QAction* zoomOutAct_ = nullptr;
  QAction* squareAct_ = nullptr;
  PictureZoom pictureZoom_ = PictureZoom::Fit;
  bool squarePixels_ = false;
  // The picture shown, its view and the name it is saved under by default.
  std::optional<viewers::Picture> picture_;
  ViewSelector pictureView_ = ViewSelector::Automatic;
  std::string pictureName_;
  QAction* selectAllAct_ = nullptr;
  QAction* wrapAct_ = nullptr;
  QAction* copyAct_ = nullptr;
  QAction* searchAct_ = nullptr;
  QAction* saveTextAct_ = nullptr;
  QAction* msxKeywordsAct_ = nullptr;
  QAction* nextPicAct_ = nullptr;
  QAction* prevPicAct_ = nullptr;
  QAction* intAct_ = nullptr;
  QAction* jpAct_ = nullptr;

  // Reports: the map shown, where each cell lies in the text, and who owns each cluster.
  tools::ClusterMap map_;
  FoldedMap folded_;  // the map as drawn
  std::vector<int> mapCellAt_;
  std::vector<std::string> owners_;
  // Sector editor.
  NumberBox* sectorBox_ = nullptr;
  std::int32_t currentSector_ = 0;
  std::string sectorImage_;  // the image the sector grid was read from
  std::optional<FileEntry> viewedEntry_;
  std::string viewedImage_;
  std::string viewedName_;
  FindDialog* find_ = nullptr;
  Document* document_ = nullptr;
  bool writingBack_ = false;  // the viewer's own edits are going into the image
  ViewSelector shownSelector_ = ViewSelector::Automatic;  // the view of the file shown
};

}  // namespace quarnel
