// The one viewer window: a frame around three pages. The frame holds what they share (the tool
// panel with the font boxes, the text area, the hex grid, the picture, the popup menu and the
// find dialog), switches between the modes, places the window and links it to the main window's
// document; the pages draw into it: FileViewsPage (a file as a BASIC listing, text, hex or a
// picture), ReportsPage (Disk Details, File Info) and SectorEditorPage (the sector editor).
// Created once with the main window, shown by the first view, hidden when closed.
#pragma once

#include <QHash>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/platform/settings_record.h"
#include "app/viewer/picture_view.h"
#include "core/view_choice.h"
#include "formats/ui.h"
#include "viewers/picture.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSpinBox;

namespace quarnel {

namespace tools {
struct Question;
}  // namespace tools

class Document;
class FileViewsPage;
class FindDialog;
class HexGrid;
class MainWindow;
class ReportsPage;
class RichTextArea;
class SectorEditorPage;
class Workspace;

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
  ~ViewerWindow() override;

  // Makes the viewer of `main`: it observes the main window's document, whose view commands
  // (double-click, Auto, Basic, Hex, Text, Text (- msb), the pictures) read the chosen file of
  // the disk image or cassette, and whose changes and undos it follows. The window belongs to
  // `main`.
  static ViewerWindow* Attach(MainWindow& main);

  // The pages.
  FileViewsPage& fileViews() const { return *files_; }
  ReportsPage& reports() const { return *reports_; }
  SectorEditorPage& sectorEditor() const { return *sectors_; }

  // Shows bytes that are already read in view `selector` (the file views' ShowFile).
  void ShowFile(std::vector<std::uint8_t> bytes, const std::string& name,
                const std::string& extension, ViewSelector selector);

  // The window's commands that act on the shared controls.
  void UpdatePopupMenu();  // its entries shown and enabled as viewMode allows
  void SelectAllText();
  void ToggleWordWrap();
  void CopyToClipboard();
  void StartSearch();
  void FontNameChosen(int index);
  void FontSizeChanged(int points);

  ViewerMode viewMode() const { return viewMode_; }
  // The picture's mode while viewMode() is Picture.
  viewers::PictureMode pictureMode() const { return pictureMode_; }
  void SetViewMode(ViewerMode mode, viewers::PictureMode picture = viewers::PictureMode::Screen1);

  // Edited bytes not yet written back nor dropped.
  bool PendingChanges() const;
  // Offers pending edits for saving (sector or file, by what the grid shows); dropped without
  // asking for a cassette, and never written into an image other than the one they were made on.
  void OfferPendingChanges();
  FindDialog* findDialog() const { return find_; }
  // The search that fits the view shown ("Find" in the find dialog).
  void RunFind();

  // The document whose image the reports, the sector editor and the write-backs use (none for
  // a viewer of its own, as in tests).
  void SetDocument(Document* document) { document_ = document; }
  Document* document() const { return document_; }
  // The image changed under the view (an undo or redo): the file shown is shown again as it is
  // now, or the view closes when its entry is gone; the sector editor shows its sector again.
  void FollowImage();

  // Controls, for the pages and the tests.
  RichTextArea* richEdit() const { return rich_; }
  HexGrid* grid() const { return grid_; }
  PictureView* image() const { return image_; }
  QWidget* panel() const { return panel_; }
  QComboBox* fontName() const { return fontName_; }
  QSpinBox* fontSize() const { return fontSize_; }
  // The line under a picture that names it, its mode, size and zoom.
  QLabel* statusLine() const { return status_; }
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
  QAction* nextPictureAction() const { return nextPicAct_; }
  QAction* previousPictureAction() const { return prevPicAct_; }
  QAction* saveAsTextAction() const { return saveTextAct_; }
  QAction* charsetAction(bool japanese) const { return japanese ? jpAct_ : intAct_; }

  // What the frame does for its pages.
  SettingsRecord& settings() const { return settings_; }
  Ui& ui() const { return ui_; }
  // The open disk image's workspace (nullptr when none is open or no document is observed).
  Workspace* Disk() const;
  // Shows the window: the first time beside the main window, afterwards where the user left it.
  void Present();
  // Before a text view: clear the text area, show it and the font boxes, hide the picture and
  // the grid.
  void ResetControls();
  void ShowTextArea(bool fill);
  // The control a view gives the focus once the main window (and with it this window, which
  // belongs to it) is enabled again.
  void SetFocusTarget(QWidget* target) { focusTarget_ = target; }
  // A view command runs: the document is busy meanwhile, and the control the view chose takes
  // the focus after it.
  void RunView(const std::function<void()>& view);
  // The font boxes show the font and size of the text view shown.
  void ShowFontInBoxes();
  // Asks `question` about the grid's pending edits and drops them from the grid: true on a yes
  // while a document is observed.
  bool AskWriteBack(const tools::Question& question);
  // The viewer's own edits went into the image: shows `message` (if any) and lets the
  // document's observers follow, all but the view that made them.
  void WroteBack(const std::string& message);

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

 private:
  void BuildControls();
  void BuildPopup();
  void BuildZoomMenu();
  void ShowPopupAt(const QPoint& globalPos);

  SettingsRecord& settings_;
  Ui& ui_;
  ViewerMode viewMode_ = ViewerMode::None;
  viewers::PictureMode pictureMode_ = viewers::PictureMode::Screen1;
  QWidget* focusTarget_ = nullptr;
  bool placed_ = false;          // shown once: placed beside the main window then
  bool writingBack_ = false;     // the viewer's own edits are going into the image
  QHash<int, QSize> viewSizes_;  // the window size of each text view last shown, by mode

  QWidget* panel_ = nullptr;
  QComboBox* fontName_ = nullptr;
  QSpinBox* fontSize_ = nullptr;
  RichTextArea* rich_ = nullptr;
  HexGrid* grid_ = nullptr;
  PictureView* image_ = nullptr;
  QLabel* status_ = nullptr;

  QMenu* popup_ = nullptr;
  QAction* basicAct_ = nullptr;
  QAction* hexAct_ = nullptr;
  QAction* textAct_ = nullptr;
  QAction* maskedAct_ = nullptr;
  QAction* pictureAct_ = nullptr;
  QAction* screenActs_[12] = {};
  QAction* saveAct_ = nullptr;
  QAction* msxColoursAct_ = nullptr;
  QAction* zoomMenuAct_ = nullptr;
  QAction* zoomActs_[4] = {};  // Fit, 1x, 2x, 3x
  QAction* zoomInAct_ = nullptr;
  QAction* zoomOutAct_ = nullptr;
  QAction* squareAct_ = nullptr;
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
  FindDialog* find_ = nullptr;
  Document* document_ = nullptr;

  std::unique_ptr<FileViewsPage> files_;
  std::unique_ptr<ReportsPage> reports_;
  std::unique_ptr<SectorEditorPage> sectors_;
};

}  // namespace quarnel
