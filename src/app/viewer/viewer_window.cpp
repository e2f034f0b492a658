#include "app/viewer/viewer_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include "app/dialogs/find_dialog.h"
#include "app/dialogs/number_box.h"
#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/messages.h"
#include "app/platform/window_place.h"
#include "app/viewer/file_views_page.h"
#include "app/viewer/hex_view.h"
#include "app/viewer/picture_view.h"
#include "app/viewer/picture_views.h"
#include "app/viewer/reports_page.h"
#include "app/viewer/rich_text_area.h"
#include "app/viewer/sector_editor_page.h"
#include "core/workspace.h"
#include "tools/write_back.h"
#include "viewers/messages.h"

namespace quarnel {

namespace {

constexpr int kInitialWidth = 642;
constexpr int kInitialHeight = 508;
constexpr int kPanelHeight = 25;

QAction* AddAction(QWidget* owner, QMenu* menu, const char* text, const QKeySequence& key,
                   std::function<void()> f) {
  QAction* a = menu->addAction(QString::fromUtf8(text));
  if (!key.isEmpty()) a->setShortcut(key);
  a->setShortcutContext(Qt::WindowShortcut);
  owner->addAction(a);  // the shortcuts work while the viewer is the active window
  QObject::connect(a, &QAction::triggered, owner, [f = std::move(f)] { f(); });
  return a;
}

void SetShown(QAction* a, bool on) {
  a->setVisible(on);
  a->setEnabled(on);
}

}  // namespace

ViewerWindow::ViewerWindow(SettingsRecord& settings, Ui& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), settings_(settings), ui_(ui) {
  setObjectName(QStringLiteral("viewerWindow"));
  setWindowTitle(QString::fromLatin1(app_text::kAppTitle));
  setAttribute(Qt::WA_QuitOnClose, false);
  BuildControls();
  files_ = std::make_unique<FileViewsPage>(*this);
  reports_ = std::make_unique<ReportsPage>(*this);
  sectors_ = std::make_unique<SectorEditorPage>(*this);
  BuildPopup();
  // Ours: Ctrl+W closes the viewer, as it closes a document window elsewhere.
  auto* closeAct = new QAction(this);
  closeAct->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  connect(closeAct, &QAction::triggered, this, [this] { close(); });
  addAction(closeAct);
  grid_->edited = [this] {};
  find_ = new FindDialog(this);
  find_->find = [this] { RunFind(); };
  search = [this] { find_->Open(); };
  sectorRedraw = [this] { sectors_->SectorView(false); };
  // The views start in the character set chosen in Setup.
  if (settings_.japaneseCharset) files_->SetCharset(viewers::MsxCharset::Japanese());
  resize(kInitialWidth, kInitialHeight);
}

ViewerWindow::~ViewerWindow() = default;

void ViewerWindow::ShowFile(std::vector<std::uint8_t> bytes, const std::string& name,
                            const std::string& extension, ViewSelector selector) {
  files_->ShowFile(std::move(bytes), name, extension, selector);
}

void ViewerWindow::BuildControls() {
  panel_ = new QWidget(this);
  panel_->setObjectName(QStringLiteral("viewerToolPanel"));
  panel_->setFixedHeight(kPanelHeight);
  panel_->setAutoFillBackground(true);
  QPalette pal = panel_->palette();
  pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));  // silver
  panel_->setPalette(pal);

  fontName_ = new QComboBox(panel_);
  fontName_->setObjectName(QStringLiteral("fontNameBox"));
  fontName_->setEditable(true);
  fontName_->setInsertPolicy(QComboBox::NoInsert);
  QStringList families = QFontDatabase::families();
  families.sort(Qt::CaseInsensitive);
  families.removeDuplicates();
  fontName_->addItems(families);
  fontName_->setMinimumWidth(180);
  fontName_->setMaxVisibleItems(20);

  fontSize_ = new QSpinBox(panel_);
  fontSize_->setObjectName(QStringLiteral("fontSizeBox"));
  fontSize_->setRange(0, 10000);
  fontSize_->setValue(10);
  fontSize_->setKeyboardTracking(false);  // a typed size applies on Enter or when left
  fontSize_->setAccelerated(true);

  auto* bar = new QHBoxLayout(panel_);
  bar->setContentsMargins(2, 1, 2, 1);
  bar->setSpacing(4);
  bar->addWidget(fontName_);
  bar->addWidget(fontSize_);
  bar->addStretch(1);

  rich_ = new RichTextArea(this);
  grid_ = new HexGrid(this);
  image_ = new PictureView(this);

  auto* box = new QVBoxLayout(this);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  box->addWidget(panel_);
  box->addWidget(rich_, 1);
  box->addWidget(grid_, 1);
  box->addWidget(image_, 1);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("pictureStatusLine"));
  status_->setContentsMargins(4, 0, 4, 0);
  status_->setFixedHeight(status_->fontMetrics().height() + 4);
  // A long name is cut at the window's edge rather than widening the window.
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  box->addWidget(status_);
  grid_->hide();
  image_->hide();
  status_->hide();

  connect(fontName_, qOverload<int>(&QComboBox::activated), this,
          [this](int i) { FontNameChosen(i); });
  connect(fontSize_, qOverload<int>(&QSpinBox::valueChanged), this,
          [this](int v) { FontSizeChanged(v); });

  // The popup menu of the window and of every control on it.
  for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(rich_),
                     static_cast<QWidget*>(grid_), static_cast<QWidget*>(image_)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint& pos) {
      auto* area = qobject_cast<QAbstractScrollArea*>(w);
      QWidget* origin = area ? area->viewport() : w;
      ShowPopupAt(origin->mapToGlobal(pos));
    });
  }
}

void ViewerWindow::BuildPopup() {
  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("viewerMenu"));
  basicAct_ = AddAction(this, popup_, app_text::kViewerBasic, Qt::Key_F4,
                        [this] { files_->ViewCommand(ViewSelector::Basic); });
  hexAct_ = AddAction(this, popup_, app_text::kViewerHex, Qt::Key_F9,
                      [this] { files_->ViewCommand(ViewSelector::Hex); });
  textAct_ = AddAction(this, popup_, app_text::kViewerText, Qt::Key_F3,
                       [this] { files_->ViewCommand(ViewSelector::Text); });
  maskedAct_ = AddAction(this, popup_, app_text::kViewerTextMsb, QKeySequence(Qt::ALT | Qt::Key_F3),
                         [this] { files_->ViewCommand(ViewSelector::MaskedText); });
  QMenu* picture = popup_->addMenu(QString::fromLatin1(app_text::kViewerPicture));
  picture->setObjectName(QStringLiteral("pictureMenu"));
  pictureAct_ = picture->menuAction();
  static_assert(std::size(kPictureViews) == std::size(decltype(screenActs_){}));
  for (std::size_t i = 0; i < std::size(kPictureViews); ++i) {
    const ViewSelector s = kPictureViews[i].selector;
    screenActs_[i] =
        AddAction(this, picture, kPictureViews[i].text, QKeySequence(kPictureViews[i].key),
                  [this, s] { files_->ViewCommand(s); });
  }
  popup_->addSeparator();
  selectAllAct_ = AddAction(this, popup_, app_text::kViewerSelectAll,
                            QKeySequence(Qt::ALT | Qt::Key_A), [this] { SelectAllText(); });
  wrapAct_ = AddAction(this, popup_, app_text::kViewerWordWrap, QKeySequence(Qt::ALT | Qt::Key_W),
                       [this] { ToggleWordWrap(); });
  wrapAct_->setCheckable(true);
  copyAct_ = AddAction(this, popup_, app_text::kViewerCopy, QKeySequence(Qt::CTRL | Qt::Key_Insert),
                       [this] { CopyToClipboard(); });
  searchAct_ =
      AddAction(this, popup_, app_text::kViewerSearch, Qt::Key_F6, [this] { StartSearch(); });
  // Ctrl+F searches as well, as in most programs.
  searchAct_->setShortcuts({QKeySequence(Qt::Key_F6), QKeySequence::Find});
  saveAct_ = AddAction(this, popup_, app_text::kViewerSavePicture,
                       QKeySequence(Qt::CTRL | Qt::Key_S), [this] { files_->SavePictureAs(); });
  msxColoursAct_ =
      AddAction(this, popup_, app_text::kViewerMsxColours, QKeySequence(Qt::ALT | Qt::Key_M),
                [this] { files_->ToggleMsxColours(); });
  msxColoursAct_->setCheckable(true);
  BuildZoomMenu();
  // Through the pictures of the directory, as in other picture viewers.
  nextPicAct_ = AddAction(this, popup_, app_text::kViewerNextPicture,
                          QKeySequence(Qt::Key_PageDown), [this] { files_->BrowsePictures(1); });
  nextPicAct_->setShortcuts({QKeySequence(Qt::Key_PageDown), QKeySequence(Qt::Key_Space)});
  prevPicAct_ = AddAction(this, popup_, app_text::kViewerPreviousPicture,
                          QKeySequence(Qt::Key_PageUp), [this] { files_->BrowsePictures(-1); });
  prevPicAct_->setShortcuts({QKeySequence(Qt::Key_PageUp), QKeySequence(Qt::Key_Backspace)});
  saveTextAct_ = AddAction(this, popup_, app_text::kViewerSaveAsText, QKeySequence(),
                           [this] { files_->SaveAsText(); });
  msxKeywordsAct_ = AddAction(this, popup_, app_text::kViewerMsxKeywords, QKeySequence(),
                              [this] { files_->ToggleMsxKeywords(); });
  msxKeywordsAct_->setCheckable(true);
  QMenu* sets = popup_->addMenu(QString::fromLatin1(app_text::kViewerCharset));
  sets->setObjectName(QStringLiteral("charsetMenu"));
  intAct_ = AddAction(this, sets, app_text::kViewerCharsetInternational, QKeySequence(),
                      [this] { files_->SetCharset(viewers::MsxCharset::International()); });
  jpAct_ = AddAction(this, sets, app_text::kViewerCharsetJapanese, QKeySequence(),
                     [this] { files_->SetCharset(viewers::MsxCharset::Japanese()); });
  for (QAction* a : {intAct_, jpAct_}) a->setCheckable(true);
  intAct_->setChecked(true);
  connect(popup_, &QMenu::aboutToShow, this, [this] { UpdatePopupMenu(); });
  UpdatePopupMenu();
}

QAction* ViewerWindow::Action(ViewSelector s) const {
  switch (s) {
    case ViewSelector::Basic:
      return basicAct_;
    case ViewSelector::Hex:
      return hexAct_;
    case ViewSelector::Text:
      return textAct_;
    case ViewSelector::MaskedText:
      return maskedAct_;
    default:
      for (std::size_t i = 0; i < std::size(kPictureViews); ++i)
        if (kPictureViews[i].selector == s) return screenActs_[i];
      return nullptr;
  }
}

void ViewerWindow::UpdatePopupMenu() {
  const bool sector = viewMode_ == ViewerMode::Sector;
  const bool hex = viewMode_ == ViewerMode::Hex;
  const bool picture = viewMode_ == ViewerMode::Picture;
  auto pictureIn = [&](std::initializer_list<viewers::PictureMode> modes) {
    return picture && std::find(modes.begin(), modes.end(), pictureMode_) != modes.end();
  };
  const bool other = !sector && !hex && !picture;
  for (QAction* a : {basicAct_, hexAct_, textAct_, maskedAct_}) SetShown(a, !sector);
  SetShown(pictureAct_, !sector);
  for (QAction* a : screenActs_) a->setEnabled(!sector);
  SetShown(wrapAct_, other);
  SetShown(selectAllAct_, other);
  SetShown(copyAct_, picture || other);
  SetShown(searchAct_, !picture);
  SetShown(saveAct_, picture);
  // Screens 10 and 11 always show the VDP's colours; only screen 12 has two ways.
  SetShown(msxColoursAct_, pictureIn({viewers::PictureMode::Screen12}));
  msxColoursAct_->setChecked(files_->msxColours());
  SetShown(zoomMenuAct_, picture);
  // Only a picture of a disk's directory has neighbours to go to.
  const bool entry = files_->viewedEntry().has_value();
  SetShown(nextPicAct_, picture && entry);
  SetShown(prevPicAct_, picture && entry);
  for (QAction* a : zoomActs_) a->setEnabled(picture);
  for (int i = 0; i < 4; ++i)
    zoomActs_[i]->setChecked(i == static_cast<int>(files_->pictureZoom()));
  zoomInAct_->setEnabled(picture);
  zoomOutAct_->setEnabled(picture);
  SetShown(squareAct_, pictureIn({viewers::PictureMode::Screen6, viewers::PictureMode::Screen7}));
  squareAct_->setChecked(files_->squarePixels());
  const bool basic = viewMode_ == ViewerMode::Basic;
  SetShown(saveTextAct_, basic);
  SetShown(msxKeywordsAct_, basic);
  msxKeywordsAct_->setChecked(settings_.msxKeywords);
  saveTextAct_->setEnabled(basic && files_->CanSaveAsText());
  // Until a search is connected, the command is shown but does nothing, so it stays grey.
  if (!search) searchAct_->setEnabled(false);
}

void ViewerWindow::BuildZoomMenu() {
  QMenu* zoom = popup_->addMenu(QString::fromLatin1(app_text::kViewerZoom));
  zoom->setObjectName(QStringLiteral("zoomMenu"));
  zoomMenuAct_ = zoom->menuAction();
  const PictureZoom zooms[] = {PictureZoom::Fit, PictureZoom::X1, PictureZoom::X2, PictureZoom::X3};
  auto* oneOf = new QActionGroup(zoom);  // one zoom at a time, shown as radio items
  for (PictureZoom z : zooms) {
    const int f = ZoomFactor(z);
    const char* text = f == 0 ? app_text::kViewerZoomFit : app_text::kViewerZoomFactors[f - 1];
    // Ctrl+0: the picture at its own size, as in other viewers.
    const QKeySequence key = f == 1 ? QKeySequence(Qt::CTRL | Qt::Key_0) : QKeySequence();
    QAction* a = AddAction(this, zoom, text, key, [this, z] { files_->SetPictureZoom(z); });
    a->setCheckable(true);
    oneOf->addAction(a);
    zoomActs_[static_cast<int>(z)] = a;
  }
  zoom->addSeparator();
  // Ctrl++ also as Ctrl+=, the same key without Shift on most keyboards.
  zoomInAct_ = AddAction(this, zoom, app_text::kViewerZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus),
                         [this] { files_->ZoomPicture(true); });
  zoomInAct_->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  zoomOutAct_ =
      AddAction(this, zoom, app_text::kViewerZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus),
                [this] { files_->ZoomPicture(false); });
  zoom->addSeparator();
  squareAct_ = AddAction(this, zoom, app_text::kViewerSquarePixels, QKeySequence(),
                         [this] { files_->ToggleSquarePixels(); });
  squareAct_->setCheckable(true);
  image_->wheelZoom = [this](bool in) { files_->ZoomPicture(in); };
}

void ViewerWindow::SetViewMode(ViewerMode mode, viewers::PictureMode picture) {
  // Each kind of text view keeps its own window size: the size of the view left is remembered
  // and the one of the view shown comes back. Pictures take their own size.
  auto isText = [](ViewerMode m) {
    return m == ViewerMode::Basic || m == ViewerMode::Text || m == ViewerMode::Hex ||
           m == ViewerMode::Sector;
  };
  if (isText(viewMode_)) viewSizes_[static_cast<int>(viewMode_)] = size();
  if (mode != viewMode_ && isText(mode))
    resize(viewSizes_.value(static_cast<int>(mode), QSize(kInitialWidth, kInitialHeight)));
  viewMode_ = mode;
  pictureMode_ = picture;
  // The sector-number box belongs to the sector view only; the font boxes to the others.
  const bool sector = mode == ViewerMode::Sector;
  if (sectors_) sectors_->sectorBox()->setVisible(sector);
  status_->setVisible(mode == ViewerMode::Picture);
  fontName_->setVisible(!sector);
  fontSize_->setVisible(!sector);
  // The shortcuts follow the mode at once, not only when the menu is next opened.
  UpdatePopupMenu();
}

void ViewerWindow::ShowPopupAt(const QPoint& globalPos) { popup_->popup(globalPos); }

void ViewerWindow::showEvent(QShowEvent* e) {
  UpdatePopupMenu();
  QWidget::showEvent(e);
}

void ViewerWindow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (grid_ && grid_->isVisible() && grid_->Model()->Reflow(width())) grid_->ShowLayout();
}

void ViewerWindow::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void ViewerWindow::closeEvent(QCloseEvent* e) {
  OfferPendingChanges();
  find_->hide();  // a search has nothing to search in a closed viewer
  if (closing) closing();
  e->accept();  // the window is only hidden; it lives as long as the main window
}

void ViewerWindow::SelectAllText() { rich_->selectAll(); }

void ViewerWindow::ToggleWordWrap() {
  const bool wrap = rich_->lineWrapMode() == QPlainTextEdit::NoWrap;
  rich_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  wrapAct_->setChecked(wrap);
}

void ViewerWindow::CopyToClipboard() {
  QClipboard* cb = QGuiApplication::clipboard();
  if (rich_->isVisible()) {
    const QTextCursor c = rich_->textCursor();
    if (c.hasSelection()) cb->setText(c.selection().toPlainText());
    return;
  }
  // A bitmap of the picture as shown: how a picture is copied.
  cb->setImage((image_->isVisible() ? image_->grab() : grab()).toImage());
}

void ViewerWindow::StartSearch() {
  if (search) search();
}

void ViewerWindow::FontNameChosen(int index) {
  if (index < 0 || index >= fontName_->count()) return;
  files_->FontNameChosen(fontName_->itemText(index));
}

void ViewerWindow::FontSizeChanged(int points) {
  if (viewMode_ == ViewerMode::Sector) {
    if (sectorRedraw) sectorRedraw();
    return;
  }
  files_->FontSizeChanged(points);
}

void ViewerWindow::RunView(const std::function<void()>& view) {
  if (document_) document_->SetBusy(true);
  focusTarget_ = nullptr;
  view();
  if (document_) document_->SetBusy(false);
  if (focusTarget_ && focusTarget_->isVisible()) focusTarget_->setFocus();
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

void ViewerWindow::ShowFontInBoxes() {
  const QSignalBlocker b1(fontName_), b2(fontSize_);
  const int at = fontName_->findText(rich_->CurrentFontName(), Qt::MatchFixedString);
  if (at >= 0)
    fontName_->setCurrentIndex(at);
  else
    fontName_->setEditText(rich_->CurrentFontName());
  fontSize_->setValue(rich_->CurrentPointSize());
}

bool ViewerWindow::PendingChanges() const {
  const tools::HexGrid* edits = grid_->Model()->Edits();
  return edits && edits->changes();
}

void ViewerWindow::OfferPendingChanges() {
  if (!PendingChanges()) return;
  if (document_ && document_->tape()) {
    grid_->Model()->Edits()->ClearChanges();  // a tape is not written back
    return;
  }
  if (grid_->Model()->IsSector())
    sectors_->OfferChanges();
  else
    files_->OfferChanges();
}

bool ViewerWindow::AskWriteBack(const tools::Question& q) {
  const bool yes = document_ && document_->ui().AskYesNoTitled(q.caption, q.text);
  grid_->Model()->Edits()->ClearChanges();
  return yes;
}

void ViewerWindow::WroteBack(const std::string& message) {
  if (!message.empty()) ui_.Notify(message);
  writingBack_ = true;  // the view shows what was written already
  if (document_) document_->Announce();
  writingBack_ = false;
}

void ViewerWindow::RunFind() {
  if (viewMode_ == ViewerMode::Hex)
    files_->FindInHexGrid(*find_);
  else if (viewMode_ == ViewerMode::Sector)
    sectors_->FindInSectors(*find_);
  else if (viewMode_ == ViewerMode::Text || viewMode_ == ViewerMode::Basic)
    files_->FindInText(*find_);
}

}  // namespace quarnel
