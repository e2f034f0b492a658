// The viewer's file views: a file of the disk image or cassette as a BASIC listing, as text, as
// a hex grid or as a picture, and the commands of those views (fonts, character set, "Save as
// text...", the picture's zoom, colours and saving, browsing through the pictures).
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/viewer/picture_view.h"
#include "app/viewer/viewer_window.h"
#include "core/view_choice.h"
#include "core/volume.h"
#include "viewers/msx_charset.h"
#include "viewers/picture.h"

namespace quarnel {

class FindDialog;

class FileViewsPage {
 public:
  explicit FileViewsPage(ViewerWindow& frame);

  // Remembers `source` as the file last viewed and shows it in view `selector`; false when the
  // source gave no file.
  bool Open(ViewerWindow::Source source, ViewSelector selector);
  // Shows bytes that are already read (same as Open with a source that returns them).
  void ShowFile(std::vector<std::uint8_t> bytes, const std::string& name,
                const std::string& extension, ViewSelector selector);
  // A view command of the popup menu: the file last viewed, in another view.
  void ViewCommand(ViewSelector selector);
  // The view of the file shown (its selector resolved).
  ViewSelector shownSelector() const { return shownSelector_; }

  // The font chosen in the font boxes, for the text view shown and the next of its kind.
  void FontNameChosen(const QString& name);
  void FontSizeChanged(int points);
  // The character set of the BASIC and text views; the view shown is made again in it.
  void SetCharset(const viewers::MsxCharset& charset);
  const viewers::MsxCharset& charset() const { return *charset_; }

  // The BASIC view's program as the text an MSX lists, to a file the user names (askSavePath).
  void SaveAsText();
  // Only a tokenised program has a LIST text to write.
  bool CanSaveAsText() const;
  // BASIC listed with the keywords as MSX-BASIC's own LIST writes them ("NEXT", "TAB(", "'"),
  // the text export's lines, or as the listing names them; kept with the settings.
  void ToggleMsxKeywords();

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
  // The picture shown (nullptr outside the picture views).
  const viewers::Picture* picture() const { return picture_ ? &*picture_ : nullptr; }
  // Another page takes the window: the picture is no longer shown.
  void DropPicture() { picture_.reset(); }
  // What the status line under a picture says: its name, mode, size as shown and zoom ("" when
  // no picture is shown).
  QString PictureStatus() const;
  // Page Down / Space and Page Up / Backspace on a picture: the next or previous picture file of
  // its directory.
  void BrowsePictures(int step);

  // The entry the views show, by value, and the image it lies on (none for a tape entry).
  void SetViewedEntry(std::optional<FileEntry> entry, std::string imagePath);
  // The entry whose file is shown (none for a tape's, a report's or a host file's).
  const std::optional<FileEntry>& viewedEntry() const { return viewedEntry_; }
  // Offers the hex view's pending edits of the file for writing back (AskWriteBack).
  void OfferChanges();
  // The image changed under the view: the file is shown again, or the window closes when its
  // entry is gone.
  void FollowImage();
  // In the hex view: makes the byte at file offset `offset` the current cell and scrolls to it
  // (the last byte for an offset past the end, the first shown for one in a BSAVE header).
  void SelectByte(std::uint64_t offset);

  // The searches of the hex and text views.
  void FindInHexGrid(FindDialog& find);
  void FindInText(FindDialog& find);

 private:
  bool Run(ViewSelector selector);
  void Show(const ViewedFile& file, ViewSelector selector);
  void ShowBasic(const ViewedFile& file);
  void ShowText(const ViewedFile& file, bool masked);
  void ShowHex(const ViewedFile& file);
  void ShowPicture(const ViewedFile& file, ViewSelector selector, viewers::PictureMode mode);
  // The window takes the picture's zoomed size, as far as the screen's free area allows.
  void SizeWindowToPicture();
  void ShowPictureStatus();
  QString Caption(const char* title, const ViewedFile& file) const;
  QString TextViewFontName() const;
  QString BasicViewFontName() const;

  ViewerWindow& w_;
  ViewerWindow::Source source_;
  const viewers::MsxCharset* charset_ = &viewers::MsxCharset::International();
  // The file the BASIC view shows (for "Save as text...").
  std::optional<ViewedFile> basicFile_;
  bool textMasked_ = false;  // the text view shown is "Text ( - msb )"
  int basicPoints_ = 0;      // the size chosen for BASIC listings (0: the default)
  int textPoints_ = 0;       // and for text views
  bool msxColours_ = false;
  PictureZoom pictureZoom_ = PictureZoom::Fit;
  bool squarePixels_ = false;
  // The picture shown, its view and the name it is saved under by default.
  std::optional<viewers::Picture> picture_;
  ViewSelector pictureView_ = ViewSelector::Automatic;
  std::string pictureName_;
  std::string pictureExtension_;
  std::optional<FileEntry> viewedEntry_;
  std::string viewedImage_;
  std::string viewedName_;
  ViewSelector shownSelector_ = ViewSelector::Automatic;  // the view of the file shown
};

}  // namespace quarnel
