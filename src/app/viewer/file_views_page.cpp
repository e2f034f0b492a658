// The viewer's file views: what a view command does with a file's bytes.
#include "app/viewer/file_views_page.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>

#include "app/dialogs/find_dialog.h"
#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/messages.h"
#include "app/platform/win_color.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/picture_view.h"
#include "app/viewer/picture_views.h"
#include "app/viewer/rich_text_area.h"
#include "core/host_file.h"
#include "core/workspace.h"
#include "tools/messages.h"
#include "tools/search.h"
#include "tools/write_back.h"
#include "viewers/basic_export.h"
#include "viewers/basic_lister.h"
#include "viewers/basic_tokenizer.h"
#include "viewers/messages.h"
#include "viewers/picture_decoder.h"
#include "viewers/picture_file.h"
#include "viewers/text_view.h"

namespace quarnel {

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

FileViewsPage::FileViewsPage(ViewerWindow& frame) : w_(frame) {
  // Under Fit the picture's scale follows the window.
  w_.image()->resized = [this] { ShowPictureStatus(); };
}

bool FileViewsPage::Open(ViewerWindow::Source source, ViewSelector selector) {
  source_ = std::move(source);
  return Run(selector);
}

void FileViewsPage::ShowFile(std::vector<std::uint8_t> bytes, const std::string& name,
                             const std::string& extension, ViewSelector selector) {
  ViewedFile file{std::move(bytes), name, extension};
  Open(
      [file](ViewSelector& s) -> std::optional<ViewedFile> {
        s = ResolveSelector(s, file.bytes);
        return file;
      },
      selector);
}

void FileViewsPage::ViewCommand(ViewSelector selector) { Run(selector); }

bool FileViewsPage::Run(ViewSelector selector) {
  if (!source_) return false;
  bool read = false;
  w_.RunView([&] {
    ViewSelector s = selector;
    std::optional<ViewedFile> file = source_(s);
    read = file.has_value();
    if (read) Show(*file, s);
  });
  return read;
}

void FileViewsPage::FontNameChosen(const QString& name) {
  w_.richEdit()->SetFontNameOfAll(name);
  // The next view of this kind takes it (kept with the settings).
  const std::string stored = CutText(FromQ(name), SettingsLayout::kFontNameChars);
  if (w_.viewMode() == ViewerMode::Basic)
    w_.settings().basicViewFont = stored;
  else if (w_.viewMode() == ViewerMode::Text)
    w_.settings().textViewFont = stored;
}

void FileViewsPage::FontSizeChanged(int points) {
  if (points <= 0) return;
  w_.richEdit()->SetPointSizeOfAll(points);
  // The next view of this kind takes it (for this run: the settings hold no size).
  if (w_.viewMode() == ViewerMode::Basic)
    basicPoints_ = points;
  else if (w_.viewMode() == ViewerMode::Text)
    textPoints_ = points;
}

void FileViewsPage::Show(const ViewedFile& file, ViewSelector selector) {
  selector = ResolveSelector(selector, file.bytes);
  shownSelector_ = selector;
  if (const PictureViewEntry* view = PictureViewOf(selector)) {
    ShowPicture(file, selector, view->mode);
    return;
  }
  picture_.reset();
  w_.ResetControls();
  switch (selector) {
    case ViewSelector::Basic:
      ShowBasic(file);
      break;
    case ViewSelector::Text:
      ShowText(file, false);
      break;
    case ViewSelector::MaskedText:
      ShowText(file, true);
      break;
    default:
      ShowHex(file);
      break;
  }
}

QString FileViewsPage::Caption(const char* title, const ViewedFile& file) const {
  return QString::fromLatin1(title) + ImageText(file.name) + QLatin1Char('.') +
         ImageText(file.extension);
}

QString FileViewsPage::TextViewFontName() const {
  return ViewFontFamily(w_.settings().textViewFont);
}

QString FileViewsPage::BasicViewFontName() const {
  return ViewFontFamily(w_.settings().basicViewFont);
}

void FileViewsPage::ShowBasic(const ViewedFile& file) {
  w_.SetViewMode(ViewerMode::Basic);
  w_.Present();
  w_.grid()->hide();
  w_.ShowTextArea(true);

  // A program saved as text (SAVE "X",A) is listed as it stands, its keywords marked like
  // those of a tokenised program, under the same caption.
  w_.setWindowTitle(Caption(viewers::kCaptionBasic.data(), file));
  const Bytes bytes(file.bytes.data(), file.bytes.size());
  const bool tokenised = !file.bytes.empty() && file.bytes.front() == 0xFF;
  const viewers::BasicListing listing = !tokenised ? viewers::ListBasicText(bytes, *charset_)
                                        : w_.settings().msxKeywords
                                            ? viewers::ListBasicAsMsx(bytes, *charset_)
                                            : viewers::ListBasic(bytes, *charset_);
  basicFile_ = file;
  w_.UpdatePopupMenu();
  const QColor keyword = ColorFromWin(w_.settings().keywordColor, QApplication::palette());
  const QColor black(Qt::black);
  w_.richEdit()->Clear();
  w_.richEdit()->BeginBuild();
  w_.richEdit()->SetFontName(BasicViewFontName());
  w_.richEdit()->SetPointSize(basicPoints_);
  w_.richEdit()->SetColor(black);
  for (const viewers::BasicRun& run : listing.runs) {
    switch (run.kind) {
      case viewers::BasicRun::Kind::Plain:
        w_.richEdit()->InsertText(Q(run.text));
        break;
      case viewers::BasicRun::Kind::Keyword:
        w_.richEdit()->SetColor(keyword);
        w_.richEdit()->SetBold(true);
        w_.richEdit()->InsertText(Q(run.text));
        w_.richEdit()->SetBold(false);
        w_.richEdit()->SetColor(black);
        break;
      case viewers::BasicRun::Kind::LineEnd:
        w_.richEdit()->AddLine(QString());
        break;
      case viewers::BasicRun::Kind::Error:
        w_.ui().Notify(run.text);
        break;
    }
  }
  w_.richEdit()->EndBuild();
  w_.richEdit()->setLineWrapMode(QPlainTextEdit::NoWrap);
  w_.wordWrapAction()->setChecked(false);
  w_.ShowFontInBoxes();
  w_.SetFocusTarget(w_.richEdit());
  w_.richEdit()->setFocus();
}

void FileViewsPage::ToggleMsxKeywords() {
  w_.settings().msxKeywords = !w_.settings().msxKeywords;
  w_.msxKeywordsAction()->setChecked(w_.settings().msxKeywords);
  if (w_.viewMode() == ViewerMode::Basic && basicFile_) {
    const ViewedFile file = *basicFile_;
    ShowBasic(file);
  }
}

bool FileViewsPage::CanSaveAsText() const {
  return basicFile_ && !basicFile_->bytes.empty() && basicFile_->bytes.front() == 0xFF;
}

void FileViewsPage::SaveAsText() {
  if (!basicFile_ || !w_.askSavePath) return;
  const auto text =
      viewers::ExportBasicText(Bytes(basicFile_->bytes.data(), basicFile_->bytes.size()));
  if (!text) return;
  const std::string suggested = basicFile_->name + app_text::kSaveAsTextExtension;
  const auto path = w_.askSavePath(app_text::kSaveAsTextTitle, suggested);
  if (!path) return;
  const auto* first = reinterpret_cast<const std::uint8_t*>(text->data());
  if (!WriteFileAtomically(*path, std::span<const std::uint8_t>(first, text->size()),
                           LinkPolicy::Replace)) {
    w_.ui().Notify(std::string(app_text::kCannotWriteText) + *path);
  }
}

void FileViewsPage::SetCharset(const viewers::MsxCharset& charset) {
  charset_ = &charset;
  w_.charsetAction(false)->setChecked(&charset == &viewers::MsxCharset::International());
  w_.charsetAction(true)->setChecked(&charset == &viewers::MsxCharset::Japanese());
  // The text views are made again in the new set.
  if (w_.viewMode() == ViewerMode::Basic && basicFile_) {
    const ViewedFile file = *basicFile_;
    w_.ResetControls();
    ShowBasic(file);
  } else if (w_.viewMode() == ViewerMode::Text) {
    ViewCommand(textMasked_ ? ViewSelector::MaskedText : ViewSelector::Text);
  } else if (w_.viewMode() == ViewerMode::Hex) {
    ViewCommand(ViewSelector::Hex);
  }
}

void FileViewsPage::ShowText(const ViewedFile& file, bool masked) {
  textMasked_ = masked;
  w_.SetViewMode(ViewerMode::Text);
  w_.setWindowTitle(Caption(viewers::kCaptionText.data(), file));
  w_.Present();
  w_.grid()->hide();
  w_.ShowTextArea(true);
  w_.richEdit()->Clear();
  w_.richEdit()->BeginBuild();
  w_.richEdit()->SetColor(QColor(Qt::black));
  w_.richEdit()->SetFontName(TextViewFontName());
  w_.richEdit()->SetPointSize(textPoints_);
  const Bytes bytes(file.bytes.data(), file.bytes.size());
  const std::size_t blocks = viewers::TextBlockCount(bytes.size());
  for (std::size_t i = 0; i < blocks; ++i) {
    w_.richEdit()->AddLine(Q(viewers::TextBlock(bytes, i, masked, *charset_)));
  }
  w_.richEdit()->EndBuild();
  w_.ShowFontInBoxes();
  w_.SetFocusTarget(w_.richEdit());
  w_.richEdit()->setFocus();
}

void FileViewsPage::ShowHex(const ViewedFile& file) {
  w_.SetViewMode(ViewerMode::Hex);
  w_.setWindowTitle(Caption(viewers::kCaptionHex.data(), file));
  w_.Present();
  w_.fontSize()->parentWidget()->hide();  // the panel with the font boxes
  w_.richEdit()->hide();
  w_.grid()->hide();
  w_.richEdit()->SetFontName(CourierNewFamily());

  // The Japanese set shows kana in the character cells; the international one keeps the view's
  // own rule.
  w_.grid()->Model()->SetFile(file.bytes, file.extension, w_.width(),
                              charset_ == &viewers::MsxCharset::Japanese() ? charset_ : nullptr);
  const viewers::HexLayout* layout = w_.grid()->Model()->Layout();
  const auto& strip = layout->headerLines();
  if (strip.size() == 3) {
    w_.richEdit()->setFixedHeight(60);
    w_.richEdit()->show();
    w_.richEdit()->AddLine(Q(strip[0]));
    w_.richEdit()->SetFontName(CourierNewFamily());
    w_.richEdit()->AddLine(Q(strip[1]));
    w_.richEdit()->SetFontName(CourierNewFamily());
    w_.richEdit()->InsertText(Q(strip[2]));
    w_.richEdit()->SetFontName(CourierNewFamily());
    w_.richEdit()->CaretToStart();
  }
  w_.grid()->ShowLayout();
  // So that the next hex view of this window keeps the same number of bytes per row.
  w_.resize(layout->windowWidthAfter(), w_.height());
  w_.grid()->show();
  w_.SetFocusTarget(w_.grid());
  w_.grid()->setFocus();
}

void FileViewsPage::ShowPicture(const ViewedFile& file, ViewSelector selector,
                                viewers::PictureMode mode) {
  viewers::PictureResult r = viewers::DecodePicture(
      mode, Bytes(file.bytes.data(), file.bytes.size()), viewers::PictureOptions{msxColours_});
  if (!r.ok()) {
    // The window is left as it was.
    w_.ui().Notify(r.message);
    return;
  }
  const viewers::Picture& pic = *r.picture;
  w_.ResetControls();
  w_.SetViewMode(ViewerMode::Picture, mode);
  w_.setWindowTitle(Caption(viewers::ModeCaption(mode).data(), file));
  w_.richEdit()->hide();
  w_.panel()->hide();
  w_.image()->SetZoom(pictureZoom_);
  w_.image()->SetImage(PictureImage(pic), ShownSize(pic, squarePixels_));
  w_.image()->show();
  // The client area takes the picture's size (times the zoom); under Fit the picture then
  // follows the window as the user sizes it, keeping its shape.
  picture_ = std::move(*r.picture);
  pictureView_ = selector;
  pictureName_ = file.name;
  pictureExtension_ = file.extension;
  ShowPictureStatus();
  SizeWindowToPicture();
  w_.UpdatePopupMenu();
  w_.Present();
  w_.SetFocusTarget(w_.image());
}

void FileViewsPage::SizeWindowToPicture() {
  QSize want = w_.image()->ZoomedSize();
  if (want.isEmpty()) return;
  // The status line takes its height below the picture.
  const QLabel* status = w_.statusLine();
  const QSize below(0, status->isHidden() ? 0 : status->maximumHeight());
  const QScreen* s = w_.screen();
  if (!s) {
    w_.resize(want + below);
    return;
  }
  // The frame the window manager adds is known once the window has been shown.
  const QRect free = s->availableGeometry();
  const QSize frame = (w_.frameGeometry().size() - w_.size()).expandedTo(QSize(0, 0));
  const QSize room = free.size() - frame - below;
  // A fixed zoom too large for the screen scrolls: make room for the scroll bar across the
  // other way, so that one bar does not bring the second.
  if (w_.image()->zoom() != PictureZoom::Fit) {
    const int bar = w_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w_.image());
    if (want.height() > room.height()) want.rwidth() += bar;
    if (want.width() > room.width()) want.rheight() += bar;
  }
  want = want.boundedTo(room) + below;
  w_.resize(want);
  if (!w_.isVisible()) return;
  // A window that grew past the screen's edge is moved back onto it.
  const QSize outer = want + frame;
  const int x = std::clamp(w_.pos().x(), free.left(),
                           std::max(free.left(), free.right() + 1 - outer.width()));
  const int y = std::clamp(w_.pos().y(), free.top(),
                           std::max(free.top(), free.bottom() + 1 - outer.height()));
  if (QPoint(x, y) != w_.pos()) w_.move(x, y);
}

void FileViewsPage::SetPictureZoom(PictureZoom zoom) {
  pictureZoom_ = zoom;
  for (int i = 0; i < 4; ++i)
    w_.zoomAction(static_cast<PictureZoom>(i))->setChecked(i == static_cast<int>(zoom));
  if (!picture_) return;
  w_.image()->SetZoom(zoom);
  // A fixed factor brings the window to the picture; Fit fills the window as it is.
  if (zoom != PictureZoom::Fit) SizeWindowToPicture();
  ShowPictureStatus();
}

void FileViewsPage::ZoomPicture(bool in) {
  if (!picture_) return;
  SetPictureZoom(ZoomStep(pictureZoom_, w_.image()->FitScale(), in));
}

void FileViewsPage::ToggleSquarePixels() {
  squarePixels_ = !squarePixels_;
  w_.squarePixelsAction()->setChecked(squarePixels_);
  if (!picture_) return;
  const QSize shown = ShownSize(*picture_, squarePixels_);
  if (shown == ShownSize(*picture_, !squarePixels_)) return;  // not a 512-pixel mode
  w_.image()->SetImage(PictureImage(*picture_), shown);
  SizeWindowToPicture();  // the window takes the picture's new shape
  ShowPictureStatus();
}

QString FileViewsPage::PictureStatus() const {
  if (!picture_) return QString();
  auto trimmed = [](std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return ImageText(s);
  };
  QString name = trimmed(pictureName_);
  const QString extension = trimmed(pictureExtension_);
  if (!extension.isEmpty()) name += QLatin1Char('.') + extension;
  const PictureViewEntry* view = PictureViewOf(pictureView_);
  const QString mode = QString::fromLatin1(view ? view->text : "");
  const QSize shown = ShownSize(*picture_, squarePixels_);
  const QString size =
      QString::fromUtf8(app_text::kViewerStatusSize).arg(shown.width()).arg(shown.height());
  const int factor = ZoomFactor(pictureZoom_);
  const QString zoom = factor > 0 ? QString::fromUtf8(app_text::kViewerZoomFactors[factor - 1])
                                  : QString::fromUtf8(app_text::kViewerStatusFit)
                                        .arg(QString::number(w_.image()->FitScale(), 'g', 3));
  return QStringList{name, mode, size, zoom}.join(
      QString::fromUtf8(app_text::kViewerStatusSeparator));
}

void FileViewsPage::ShowPictureStatus() { w_.statusLine()->setText(PictureStatus()); }

void FileViewsPage::SavePictureAs() {
  if (!picture_ || !w_.askPicturePath) return;
  std::string base = pictureName_;
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (auto path = w_.askPicturePath(base + ".png")) SavePicture(*path);
}

bool FileViewsPage::SavePicture(const std::string& path) {
  if (!picture_) return false;
  // Any name but a bitmap's is written as PNG.
  std::vector<std::uint8_t> bytes;
  const auto format = viewers::PictureFileFormatOf(path).value_or(viewers::PictureFileFormat::Png);
  if (auto encoded = viewers::EncodePictureFile(*picture_, format)) bytes = std::move(*encoded);
  QFile f(ToQ(path));
  const bool ok = !bytes.empty() && f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  f.write(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
  if (!ok) w_.ui().Notify(std::string(app_text::kCannotSavePicture) + path);
  return ok;
}

void FileViewsPage::ToggleMsxColours() {
  msxColours_ = !msxColours_;
  w_.msxColoursAction()->setChecked(msxColours_);
  if (picture_ && picture_->mode == viewers::PictureMode::Screen12) Run(pictureView_);
}

void FileViewsPage::BrowsePictures(int step) {
  if (w_.viewMode() == ViewerMode::Picture && viewedEntry_ && w_.document())
    w_.document()->RequestBrowse(step);
}

void FileViewsPage::SetViewedEntry(std::optional<FileEntry> entry, std::string imagePath) {
  viewedEntry_ = std::move(entry);
  viewedImage_ = std::move(imagePath);
  viewedName_ = viewedEntry_ ? viewedEntry_->Caption() : std::string();
}

void FileViewsPage::OfferChanges() {
  HexModel* model = w_.grid()->Model();
  const tools::HexGrid* edits = model->Edits();
  Workspace* ws = w_.Disk();
  if (!w_.AskWriteBack(tools::FileSaveQuestion(viewedName_)) || !ws) return;
  if (!viewedEntry_ || ws->imagePath != viewedImage_ || !model->Layout()) return;
  tools::WriteOutcome out;
  w_.document()->Change(
      QString::fromLatin1(app_text::kUndoEditFile).arg(ImageText(viewedName_)), [&] {
        out =
            tools::SaveCurrentFile(*ws, {*viewedEntry_, model->Layout()->skip()}, edits->Values());
      });
  w_.WroteBack(out.message);
}

void FileViewsPage::FollowImage() {
  const Workspace* ws = w_.Disk();
  if (!viewedEntry_ || !ws || ws->imagePath != viewedImage_ || !ws->HasImage()) return;
  const FileEntry viewed = *viewedEntry_;
  // The entry still in its slot, as a file with the same first cluster (a rename taken back
  // keeps it); elsewhere it is gone and so is the view.
  const auto dir = ListDirectory(ws->image, viewed.dir);
  const std::optional<FileEntry> now = dir ? EntryAt(*dir, viewed.slot) : std::nullopt;
  if (!now || now->IsDirectory() || now->IsVolume() || now->firstCluster != viewed.firstCluster) {
    // Its pending edits have nothing left to go into.
    if (tools::HexGrid* edits = w_.grid()->Model()->Edits()) edits->ClearChanges();
    w_.close();
    return;
  }
  // Shown again from the directory it is listed in (another directory shown keeps the view).
  if (ws->CurrentDir() != viewed.dir) return;
  FileRow row;
  row.slot = viewed.slot;
  w_.document()->RequestView(row, shownSelector_);
}

void FileViewsPage::SelectByte(std::uint64_t offset) {
  if (w_.viewMode() != ViewerMode::Hex) return;
  HexGrid* grid = w_.grid();
  const viewers::HexLayout* layout = grid->Model()->Layout();
  if (!layout || layout->dataLength() == 0) return;
  const std::uint64_t first = layout->skip();
  const std::uint64_t last = first + layout->dataLength() - 1;
  const auto cell = layout->HexCellOf(static_cast<std::size_t>(std::clamp(offset, first, last)));
  if (!cell) return;
  grid->SetGridCell(cell->first, cell->second);
  grid->scrollTo(grid->currentIndex(), QAbstractItemView::PositionAtCenter);
}

// Searches.

void FileViewsPage::FindInHexGrid(FindDialog& find) {
  HexGrid* grid = w_.grid();
  HexModel* model = grid->Model();
  find.SetStatus(tools::kFindSearching.data(), false);
  find.progress()->setValue(0);
  const tools::GridCell selected{grid->CurrentGridColumn(),
                                 static_cast<std::size_t>(std::max(grid->CurrentGridRow(), 1))};
  const auto hit = tools::FindInHexCells(
      [model](std::size_t row, int column) {
        // The byte cells as the editor holds them (typed texts included), without a QString.
        const tools::HexGrid* edits = model->Edits();
        return edits ? edits->ByteCellText({column, row}) : std::string();
      },
      static_cast<std::size_t>(model->rowCount()) + 1, model->BytesPerRow(), selected,
      find.searched(), find.hexEntry()->text().toStdString());
  find.progress()->setValue(100);
  if (hit) grid->SetGridCell(hit->row, hit->column);
  find.SetStatus(hit ? tools::kFindFound.data() : tools::kFindNotFoundBytes.data(),
                 hit.has_value());
  find.Open();
}

void FileViewsPage::FindInText(FindDialog& find) {
  RichTextArea* rich = w_.richEdit();
  find.SetStatus(tools::kFindSearching.data(), false);
  const QString needle = find.textEntry()->text();
  QTextCursor c = rich->textCursor();
  const int from = find.searched() ? c.selectionEnd() : 0;
  const int at =
      needle.isEmpty() ? -1 : rich->toPlainText().indexOf(needle, from, Qt::CaseInsensitive);
  if (at < 0) {
    find.SetStatus(tools::kFindNotFoundText.data(), false);
    find.Open();
    return;
  }
  c.setPosition(at);
  c.setPosition(at + static_cast<int>(needle.size()), QTextCursor::KeepAnchor);
  rich->setTextCursor(c);
  rich->setFocus();
  find.SetStatus(tools::kFindFound.data(), true);
  find.Open();
}

}  // namespace quarnel
