// The views of the viewer window: what a view command does with a file's bytes.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <algorithm>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/messages.h"
#include "app/platform/win_color.h"
#include "app/platform/window_place.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/picture_view.h"
#include "app/viewer/picture_views.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/viewer_window.h"
#include "core/host_file.h"
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

void ViewerWindow::Open(Source source, ViewSelector selector) {
  source_ = std::move(source);
  Run(selector);
}

void ViewerWindow::ShowFile(std::vector<std::uint8_t> bytes, const std::string& name,
                            const std::string& extension, ViewSelector selector) {
  ViewedFile file{std::move(bytes), name, extension};
  Open(
      [file](ViewSelector& s) -> std::optional<ViewedFile> {
        s = ResolveSelector(s, file.bytes);
        return file;
      },
      selector);
}

void ViewerWindow::ViewCommand(ViewSelector selector) { Run(selector); }

void ViewerWindow::Run(ViewSelector selector) {
  if (!source_) return;
  if (document_) document_->SetBusy(true);
  focusTarget_ = nullptr;
  ViewSelector s = selector;
  if (std::optional<ViewedFile> file = source_(s)) Show(*file, s);
  if (document_) document_->SetBusy(false);
  if (focusTarget_ && focusTarget_->isVisible()) focusTarget_->setFocus();
}

void ViewerWindow::Show(const ViewedFile& file, ViewSelector selector) {
  selector = ResolveSelector(selector, file.bytes);
  shownSelector_ = selector;
  if (const PictureViewEntry* view = PictureViewOf(selector)) {
    ShowPicture(file, selector, view->mode);
    return;
  }
  picture_.reset();
  ResetControls();
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

void ViewerWindow::ResetControls() {
  rich_->Clear();
  ShowTextArea(true);
  panel_->show();
  image_->hide();
  image_->Clear();
  grid_->hide();
}

void ViewerWindow::ShowTextArea(bool fill) {
  if (fill) {
    rich_->setMinimumHeight(0);
    rich_->setMaximumHeight(QWIDGETSIZE_MAX);
  }
  rich_->show();
}

void ViewerWindow::Present() {
  // The first time, beside the main window; afterwards where the user left it, within the
  // screen at the size of the view shown.
  if (!placed_ && !isVisible()) {
    PlaceBesideMain(this, parentWidget());
    placed_ = true;
  } else {
    KeepOnScreen(this, parentWidget());
  }
  show();
  raise();
  activateWindow();
}

QString ViewerWindow::Caption(const char* title, const ViewedFile& file) const {
  return QString::fromLatin1(title) + ImageText(file.name) + QLatin1Char('.') +
         ImageText(file.extension);
}

QString ViewerWindow::TextViewFontName() const { return ViewFontFamily(settings_.textViewFont); }

QString ViewerWindow::BasicViewFontName() const { return ViewFontFamily(settings_.basicViewFont); }

void ViewerWindow::ShowBasic(const ViewedFile& file) {
  SetViewMode(ViewerMode::Basic);
  Present();
  grid_->hide();
  ShowTextArea(true);

  // A program saved as text (SAVE "X",A) is listed as it stands, its keywords marked like
  // those of a tokenised program, under the same caption.
  setWindowTitle(Caption(viewers::kCaptionBasic.data(), file));
  const Bytes bytes(file.bytes.data(), file.bytes.size());
  const bool tokenised = !file.bytes.empty() && file.bytes.front() == 0xFF;
  const viewers::BasicListing listing = !tokenised ? viewers::ListBasicText(bytes, *charset_)
                                        : settings_.msxKeywords
                                            ? viewers::ListBasicAsMsx(bytes, *charset_)
                                            : viewers::ListBasic(bytes, *charset_);
  basicFile_ = file;
  UpdatePopupMenu();
  const QColor keyword = ColorFromWin(settings_.keywordColor, QApplication::palette());
  const QColor black(Qt::black);
  rich_->Clear();
  rich_->BeginBuild();
  rich_->SetFontName(BasicViewFontName());
  rich_->SetPointSize(basicPoints_);
  rich_->SetColor(black);
  for (const viewers::BasicRun& run : listing.runs) {
    switch (run.kind) {
      case viewers::BasicRun::Kind::Plain:
        rich_->InsertText(Q(run.text));
        break;
      case viewers::BasicRun::Kind::Keyword:
        rich_->SetColor(keyword);
        rich_->SetBold(true);
        rich_->InsertText(Q(run.text));
        rich_->SetBold(false);
        rich_->SetColor(black);
        break;
      case viewers::BasicRun::Kind::LineEnd:
        rich_->AddLine(QString());
        break;
      case viewers::BasicRun::Kind::Error:
        ui_.Notify(run.text);
        break;
    }
  }
  rich_->EndBuild();
  rich_->setLineWrapMode(QPlainTextEdit::NoWrap);
  wrapAct_->setChecked(false);
  ShowFontInBoxes();
  focusTarget_ = rich_;
  rich_->setFocus();
}

void ViewerWindow::ShowFontInBoxes() {
  const QSignalBlocker b1(fontName_), b2(fontSize_);
  const int at = fontName_->findText(rich_->CurrentFontName(), Qt::MatchFixedString);
  if (at >= 0)
    fontName_->setCurrentIndex(at);
  else
    fontName_->setEditText(rich_->CurrentFontName());
  fontSize_->setValue(rich_->CurrentPointSize());
}

void ViewerWindow::ToggleMsxKeywords() {
  settings_.msxKeywords = !settings_.msxKeywords;
  msxKeywordsAct_->setChecked(settings_.msxKeywords);
  if (viewMode_ == ViewerMode::Basic && basicFile_) {
    const ViewedFile file = *basicFile_;
    ShowBasic(file);
  }
}

void ViewerWindow::SaveAsText() {
  if (!basicFile_ || !askSavePath) return;
  const auto text =
      viewers::ExportBasicText(Bytes(basicFile_->bytes.data(), basicFile_->bytes.size()));
  if (!text) return;
  const std::string suggested = basicFile_->name + app_text::kSaveAsTextExtension;
  const auto path = askSavePath(app_text::kSaveAsTextTitle, suggested);
  if (!path) return;
  const auto* first = reinterpret_cast<const std::uint8_t*>(text->data());
  if (!WriteFileAtomically(*path, std::span<const std::uint8_t>(first, text->size()),
                           LinkPolicy::Replace)) {
    ui_.Notify(std::string(app_text::kCannotWriteText) + *path);
  }
}

void ViewerWindow::SetCharset(const viewers::MsxCharset& charset) {
  charset_ = &charset;
  intAct_->setChecked(&charset == &viewers::MsxCharset::International());
  jpAct_->setChecked(&charset == &viewers::MsxCharset::Japanese());
  // The text views are made again in the new set.
  if (viewMode_ == ViewerMode::Basic && basicFile_) {
    const ViewedFile file = *basicFile_;
    ResetControls();
    ShowBasic(file);
  } else if (viewMode_ == ViewerMode::Text) {
    ViewCommand(textMasked_ ? ViewSelector::MaskedText : ViewSelector::Text);
  } else if (viewMode_ == ViewerMode::Hex) {
    ViewCommand(ViewSelector::Hex);
  }
}

void ViewerWindow::ShowText(const ViewedFile& file, bool masked) {
  textMasked_ = masked;
  SetViewMode(ViewerMode::Text);
  setWindowTitle(Caption(viewers::kCaptionText.data(), file));
  Present();
  grid_->hide();
  ShowTextArea(true);
  rich_->Clear();
  rich_->BeginBuild();
  rich_->SetColor(QColor(Qt::black));
  rich_->SetFontName(TextViewFontName());
  rich_->SetPointSize(textPoints_);
  const Bytes bytes(file.bytes.data(), file.bytes.size());
  const std::size_t blocks = viewers::TextBlockCount(bytes.size());
  for (std::size_t i = 0; i < blocks; ++i) {
    rich_->AddLine(Q(viewers::TextBlock(bytes, i, masked, *charset_)));
  }
  rich_->EndBuild();
  ShowFontInBoxes();
  focusTarget_ = rich_;
  rich_->setFocus();
}

void ViewerWindow::ShowHex(const ViewedFile& file) {
  SetViewMode(ViewerMode::Hex);
  setWindowTitle(Caption(viewers::kCaptionHex.data(), file));
  Present();
  fontSize_->parentWidget()->hide();  // the panel with the font boxes
  rich_->hide();
  grid_->hide();
  rich_->SetFontName(CourierNewFamily());

  // The Japanese set shows kana in the character cells; the international one keeps the view's
  // own rule.
  grid_->Model()->SetFile(file.bytes, file.extension, width(),
                          charset_ == &viewers::MsxCharset::Japanese() ? charset_ : nullptr);
  const viewers::HexLayout* layout = grid_->Model()->Layout();
  const auto& strip = layout->headerLines();
  if (strip.size() == 3) {
    rich_->setFixedHeight(60);
    rich_->show();
    rich_->AddLine(Q(strip[0]));
    rich_->SetFontName(CourierNewFamily());
    rich_->AddLine(Q(strip[1]));
    rich_->SetFontName(CourierNewFamily());
    rich_->InsertText(Q(strip[2]));
    rich_->SetFontName(CourierNewFamily());
    rich_->CaretToStart();
  }
  grid_->ShowLayout();
  // So that the next hex view of this window keeps the same number of bytes per row.
  resize(layout->windowWidthAfter(), height());
  grid_->show();
  focusTarget_ = grid_;
  grid_->setFocus();
}

void ViewerWindow::ShowPicture(const ViewedFile& file, ViewSelector selector,
                               viewers::PictureMode mode) {
  viewers::PictureResult r = viewers::DecodePicture(
      mode, Bytes(file.bytes.data(), file.bytes.size()), viewers::PictureOptions{msxColours_});
  if (!r.ok()) {
    // The window is left as it was.
    ui_.Notify(r.message);
    return;
  }
  const viewers::Picture& pic = *r.picture;
  ResetControls();
  SetViewMode(ViewerMode::Picture, mode);
  setWindowTitle(Caption(viewers::ModeCaption(mode).data(), file));
  rich_->hide();
  panel_->hide();
  image_->SetZoom(pictureZoom_);
  image_->SetImage(PictureImage(pic), ShownSize(pic, squarePixels_));
  image_->show();
  // The client area takes the picture's size (times the zoom); under Fit the picture then
  // follows the window as the user sizes it, keeping its shape.
  picture_ = std::move(*r.picture);
  pictureView_ = selector;
  pictureName_ = file.name;
  SizeWindowToPicture();
  UpdatePopupMenu();
  Present();
  focusTarget_ = image_;
}

void ViewerWindow::SizeWindowToPicture() {
  QSize want = image_->ZoomedSize();
  if (want.isEmpty()) return;
  const QScreen* s = screen();
  if (!s) {
    resize(want);
    return;
  }
  // The frame the window manager adds is known once the window has been shown.
  const QRect free = s->availableGeometry();
  const QSize frame = (frameGeometry().size() - size()).expandedTo(QSize(0, 0));
  const QSize room = free.size() - frame;
  // A fixed zoom too large for the screen scrolls: make room for the scroll bar across the
  // other way, so that one bar does not bring the second.
  if (image_->zoom() != PictureZoom::Fit) {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, image_);
    if (want.height() > room.height()) want.rwidth() += bar;
    if (want.width() > room.width()) want.rheight() += bar;
  }
  want = want.boundedTo(room);
  resize(want);
  if (!isVisible()) return;
  // A window that grew past the screen's edge is moved back onto it.
  const QSize outer = want + frame;
  const int x =
      std::clamp(pos().x(), free.left(), std::max(free.left(), free.right() + 1 - outer.width()));
  const int y =
      std::clamp(pos().y(), free.top(), std::max(free.top(), free.bottom() + 1 - outer.height()));
  if (QPoint(x, y) != pos()) move(x, y);
}

void ViewerWindow::SetPictureZoom(PictureZoom zoom) {
  pictureZoom_ = zoom;
  for (int i = 0; i < 4; ++i) zoomActs_[i]->setChecked(i == static_cast<int>(zoom));
  if (!picture_) return;
  image_->SetZoom(zoom);
  // A fixed factor brings the window to the picture; Fit fills the window as it is.
  if (zoom != PictureZoom::Fit) SizeWindowToPicture();
}

void ViewerWindow::ZoomPicture(bool in) {
  if (!picture_) return;
  SetPictureZoom(ZoomStep(pictureZoom_, image_->FitScale(), in));
}

void ViewerWindow::ToggleSquarePixels() {
  squarePixels_ = !squarePixels_;
  squareAct_->setChecked(squarePixels_);
  if (!picture_) return;
  const QSize shown = ShownSize(*picture_, squarePixels_);
  if (shown == ShownSize(*picture_, !squarePixels_)) return;  // not a 512-pixel mode
  image_->SetImage(PictureImage(*picture_), shown);
  SizeWindowToPicture();  // the window takes the picture's new shape
}

void ViewerWindow::SavePictureAs() {
  if (!picture_ || !askPicturePath) return;
  std::string base = pictureName_;
  while (!base.empty() && base.back() == ' ') base.pop_back();
  if (auto path = askPicturePath(base + ".png")) SavePicture(*path);
}

bool ViewerWindow::SavePicture(const std::string& path) {
  if (!picture_) return false;
  // Any name but a bitmap's is written as PNG.
  std::vector<std::uint8_t> bytes;
  const auto format = viewers::PictureFileFormatOf(path).value_or(viewers::PictureFileFormat::Png);
  if (auto encoded = viewers::EncodePictureFile(*picture_, format)) bytes = std::move(*encoded);
  QFile f(ToQ(path));
  const bool ok = !bytes.empty() && f.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                  f.write(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
  if (!ok) ui_.Notify(std::string(app_text::kCannotSavePicture) + path);
  return ok;
}

void ViewerWindow::ToggleMsxColours() {
  msxColours_ = !msxColours_;
  msxColoursAct_->setChecked(msxColours_);
  if (picture_ && picture_->mode == viewers::PictureMode::Screen12) Run(pictureView_);
}

}  // namespace quarnel
