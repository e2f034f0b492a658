#include "app/main/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/dialogs/qt_ui.h"
#include "app/gallery/gallery_window.h"
#include "app/main/disk_actions.h"
#include "app/main/document.h"
#include "app/main/edit_actions.h"
#include "app/main/file_actions.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/list_rules.h"
#include "app/main/location_bar.h"
#include "app/main/navigation_actions.h"
#include "app/main/setup_actions.h"
#include "app/messages.h"
#include "app/platform/single_instance.h"
#include "app/viewer/picture_views.h"
#include "app/viewer/viewer_window.h"
#include "core/device_kind.h"
#include "core/file_types.h"
#include "core/messages.h"
#include "core/new_image.h"
#include "core/rename.h"
#include "formats/session.h"

// The program's resources (the help page) live in a static library: they are registered by
// name before the first window uses them.
static void RegisterAppResources() { Q_INIT_RESOURCE(app); }

namespace quarnel {

namespace {

struct FilterEntry {
  QString caption, mask;
};

QList<FilterEntry> FilterEntries() {
  QStringList parts = QString::fromLatin1(app_text::kFilterText).split(QLatin1Char('|'));
  QList<FilterEntry> out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) out.push_back({parts[i], parts[i + 1]});
  return out;
}

QAction* Add(QMenu* m, const char* text, QObject* ctx, std::function<void()> f,
             const QKeySequence& key = {}) {
  QAction* a = m->addAction(QString::fromLatin1(text));
  if (!key.isEmpty()) a->setShortcut(key);
  QObject::connect(a, &QAction::triggered, ctx, [f] { f(); });
  return a;
}

}  // namespace

HostMenuKind HostMenuFor(const QString& path, bool dosFunctions) {
  if (dosFunctions) return HostMenuKind::HostActions;
  switch (HostFileTypeOf(FromQ(path))) {
    case FileKind::DiskImage:
      return HostMenuKind::DiskMenu;
    case FileKind::ForeignImage:
      // A card image or a large volume named .img is no floppy dump to convert.
      return DeviceKindOf(FromQ(path)) == DeviceKind::Other ? HostMenuKind::ConvertMenu
                                                            : HostMenuKind::DiskMenu;
    default:
      return HostMenuKind::HostActions;
  }
}

DiskMenuState DiskMenuFor(DiskMenuState s, const QString& selected, const QString& imagePath) {
  bool same = !imagePath.isEmpty() &&
              QString::compare(QDir::cleanPath(selected), QDir::cleanPath(imagePath),
                               Qt::CaseInsensitive) == 0;
  if (!same) {
    s.addFile = false;
    s.diskDetails = true;
  } else if (IsOwnDiskImage(FromQ(selected))) {
    s.addFile = s.diskDetails = true;
  }
  return s;
}

MainWindow::MainWindow(const AppPaths& paths, const QStringList& arguments, AppUi* ui,
                       QWidget* parent)
    : QMainWindow(parent), paths_(paths) {
  RegisterAppResources();
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(QString::fromLatin1(app_text::kMainCaption));
  if (!ui) {
    qtUi_ = std::make_unique<QtUi>(this, [this](const QString& t) { SetStatus(t); });
    qtUi_->defaultFolder = [this] { return browser_->Folder(); };
    ui = qtUi_.get();
  }
  trackedUi_ = std::make_unique<TrackedUi>(*ui);
  trackedUi_->closed = [this] {
    if (pendingOpen_) RetryPendingFile();
  };
  ui_ = trackedUi_.get();
  document_ = new Document(*ui_, this);
  connect(document_, &Document::changedStateChanged, this, [this] { UpdateTitle(); });
  connect(document_, &Document::imageChanged, this, [this] { ImageChanged(); });
  connect(document_, &Document::busyChanged, this, [this](bool busy) { setEnabled(!busy); });
  BuildWidgets();
  BuildMenus();
  BuildPopups();
  resize(644, 443 + menuBar()->sizeHint().height() + toolBar_->sizeHint().height() +
                  statusBar()->sizeHint().height());
  ViewerWindow::Attach(*this);  // the viewer window, created once with the main window
  gallery_ = GalleryWindow::Attach(*this);

  // The temporary folder, the settings file and the file named on the command line.
  SetFilter(0);
  if (!EnsureFolder(paths_.tempFolder)) {
    ui_->Notify(std::string(app_text::kCannotCreate) + FromQ(paths_.tempFolder));
    settings_ = FirstStartSettings(FromQ(QDir::homePath()));
    return;
  }
  tempReady_ = true;
  if (auto s = ReadSettingsFile(FromQ(paths_.settingsFile))) {
    settings_ = *s;
  } else {
    settings_ = FirstStartSettings(FromQ(QDir::homePath()));
    firstStart_ = true;
  }
  recent_ = RecentFiles::Read(FromQ(paths_.RecentFile()));
  FillRecentMenu();
  if (arguments.size() >= 2) {
    pendingOpen_ = true;
    pendingPath_ = QFileInfo(arguments.at(1)).absoluteFilePath();
    SetStatus(arguments.at(1));
  }
}

MainWindow::~MainWindow() { EndRun(); }

Workspace* MainWindow::disk() { return document_->disk(); }
const Workspace* MainWindow::disk() const { return document_->disk(); }
CasImage* MainWindow::tape() { return document_->tape(); }
const CasImage* MainWindow::tape() const { return document_->tape(); }

void MainWindow::BuildWidgets() {
  auto* central = new QWidget(this);
  splitter_ = new QSplitter(Qt::Horizontal, central);
  splitter_->setObjectName(QStringLiteral("splitter"));
  splitter_->setChildrenCollapsible(false);

  // Left: the browser above the filter combo and the one-folder-up button.
  auto* left = new QWidget(splitter_);
  browser_ = new HostBrowser(left);
  filter_ = new QComboBox(left);
  filter_->setObjectName(QStringLiteral("filterBox"));
  for (const auto& e : FilterEntries()) filter_->addItem(e.caption, e.mask);
  upButton_ = new QToolButton(left);
  upButton_->setObjectName(QStringLiteral("upButton"));
  upButton_->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  upButton_->setToolTip(QString::fromLatin1(app_text::kUpHint));
  auto* filterRow = new QHBoxLayout;
  filterRow->setContentsMargins(0, 0, 0, 0);
  filterRow->addWidget(filter_, 1);
  filterRow->addWidget(upButton_);
  auto* leftBox = new QVBoxLayout(left);
  leftBox->setContentsMargins(4, 4, 0, 4);
  leftBox->addWidget(browser_, 1);
  leftBox->addLayout(filterRow);

  // Right: OEM and volume fields and the toggle button above the list, the summary below.
  auto* right = new QWidget(splitter_);
  oemLabel_ = new QLabel(ToQ(app_text::kOemLabel), right);
  oem_ = new QLineEdit(right);
  oem_->setObjectName(QStringLiteral("oemField"));
  oem_->setMaxLength(8);
  volumeLabel_ = new QLabel(ToQ(app_text::kVolumeLabel), right);
  volume_ = new QLineEdit(right);
  volume_->setObjectName(QStringLiteral("volumeField"));
  // A volume entry holds 11 characters; a shorter field would cut the name on display and
  // write the cut name back when the field is left.
  volume_->setMaxLength(static_cast<int>(kVolumeNameLength));
  QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  oem_->setFont(fixed);
  volume_->setFont(fixed);
  // Each field shows its whole name with the cursor after it: 8 and 11 characters.
  const QFontMetrics fm(fixed);
  oem_->setFixedWidth(fm.horizontalAdvance(QString(8, QLatin1Char('M'))) + 16);
  volume_->setFixedWidth(fm.horizontalAdvance(QString(11, QLatin1Char('M'))) + 16);
  toggle_ = new QToolButton(right);
  toggle_->setObjectName(QStringLiteral("hostListToggle"));
  toggle_->setToolTip(QString::fromLatin1(app_text::kToggleHint));
  toggle_->setIcon(style()->standardIcon(QStyle::SP_FileDialogListView));
  partitionsButton_ = new QToolButton(right);
  partitionsButton_->setObjectName(QStringLiteral("partitionsButton"));
  partitionsButton_->setText(QString::fromLatin1(app_text::kPartitionsButton));
  partitionsButton_->setToolTip(QString::fromLatin1(app_text::kPartitionsHint));
  partitionsButton_->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
  partitionsButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  partitionsButton_->hide();
  auto* fields = new QHBoxLayout;
  fields->setContentsMargins(0, 0, 0, 0);
  fields->addWidget(partitionsButton_);
  fields->addWidget(oemLabel_);
  fields->addWidget(oem_);
  fields->addSpacing(8);
  fields->addWidget(volumeLabel_);
  fields->addWidget(volume_);
  fields->addStretch(1);
  fields->addWidget(toggle_);

  model_ = new FileListModel(this);
  model_->SetCharset(Charset());
  list_ = new FileListView(model_, right);
  summary_ = new QLabel(right);
  summary_->setObjectName(QStringLiteral("diskSummary"));
  auto* rightBox = new QVBoxLayout(right);
  rightBox->setContentsMargins(0, 4, 4, 4);
  rightBox->addLayout(fields);
  navigation_ = new NavigationActions(*this);
  rightBox->addWidget(navigation_->bar());
  rightBox->addWidget(list_, 1);
  rightBox->addWidget(summary_);

  splitter_->addWidget(left);
  splitter_->addWidget(right);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({193, 451});
  auto* box = new QVBoxLayout(central);
  box->setContentsMargins(0, 0, 0, 0);
  box->addWidget(splitter_);
  setCentralWidget(central);
  statusBar()->setObjectName(QStringLiteral("statusBar"));
  statusBar()->setSizeGripEnabled(true);

  // Events.
  connect(browser_, &HostBrowser::fileActivated, this, [this](const QString& p) {
    dosFunctions_ = false;
    OpenHostFile(p);
  });
  connect(browser_, &HostBrowser::selectionChanged, this, &MainWindow::HostSelectionChanged);
  connect(browser_, &HostBrowser::contextMenuRequested, this, &MainWindow::ShowHostMenu);
  connect(filter_, &QComboBox::currentIndexChanged, this, [this](int i) { SetFilter(i); });
  connect(upButton_, &QToolButton::clicked, browser_, &HostBrowser::Up);
  connect(toggle_, &QToolButton::clicked, this, &MainWindow::ToggleListStyle);
  connect(partitionsButton_, &QToolButton::clicked, this, [this] { LeavePartition(); });
  oem_->installEventFilter(this);
  volume_->installEventFilter(this);
  connect(oem_, &QLineEdit::returnPressed, this, &MainWindow::CommitOemField);
  connect(volume_, &QLineEdit::returnPressed, this, &MainWindow::CommitVolumeField);

  model_->onEdited = [this](const FileRow& row, const QString& text) -> std::optional<std::string> {
    if (!CommitRenamedEntry(row.slot, text)) return std::nullopt;
    const std::optional<FileEntry> renamed = disk() ? disk()->EntryAt(row.slot) : std::nullopt;
    return renamed ? renamed->Caption() : FromImageText(text, Charset());
  };
  list_->onActivate = [this] { OpenSelectedEntry(); };
  list_->onHeaderClicked = [this](int c) { SortByColumn(c); };
  list_->onDrop = [this](const QStringList& p) { DropFiles(p); };
  list_->onStartDrag = [this] { StartDragOut(); };
  list_->onContextMenu = [this](const QPoint& at) {
    UpdateListMenu();
    fileListMenu_->popup(at);
  };
  // The entries' keys work without the menu being opened: keep their state current.
  connect(list_->Selection(), &QItemSelectionModel::selectionChanged, this,
          [this] { UpdateListMenu(); });

  // Ours, beside the menus' keys: Ctrl+R lists again (F5 is the list's "Screen 5"); Backspace
  // and Alt+Up go to the parent directory while the list has the focus.
  auto* relist = new QAction(this);
  relist->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  connect(relist, &QAction::triggered, this, [this] { ListAgain(); });
  addAction(relist);
  for (const QKeySequence& keys :
       {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Up)}) {
    auto* up = new QAction(list_);
    up->setShortcut(keys);
    up->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(up, &QAction::triggered, this, [this] { GoToParent(); });
    list_->addAction(up);
  }
  // Delete deletes the selection as Edit › Delete does (EditActions).
}

void MainWindow::OpenChosenFile() {
  auto path = ui_->AskOpenPath(app_text::kOpenTitle, FromQ(browser_->Folder()));
  if (!path || path->empty()) return;
  const QFileInfo fi(ToQ(*path));
  if (HostFileKindOf(*path) == HostFileKind::Other && DeviceKindOf(*path) == DeviceKind::Other) {
    // The browser leaves such files to the host's own menu; asked for by name, it says why.
    ui_->Notify(FromQ(QString::fromLatin1(app_text::kUnknownKind).arg(fi.fileName())));
    return;
  }
  browser_->SetFolder(fi.absolutePath());
  OpenHostFile(fi.absoluteFilePath());
  // The browser marks what is open (the image that stays, when this file could not be opened).
  if (!OpenPath().empty()) browser_->SelectPath(ToQ(OpenPath()));
}

void MainWindow::ListAgain() {
  if (Workspace* ws = disk()) ws->Refresh();
  ShowListing();
}

void MainWindow::GoToParent() {
  Workspace* ws = ReadableDisk();
  // From the root of a partition (or a volume that cannot be listed) up to the partitions.
  if (card_ && !card_->Listing() && (!ws || ws->AtRoot())) {
    LeavePartition();
    return;
  }
  if (!ws || ws->AtRoot()) return;
  ws->Leave();
  ShowListing();
}

void MainWindow::UpdateTitle() {
  // The open file's name and a mark while it has unsaved changes.
  const std::string name = OpenName();
  const QString program = QString::fromLatin1(app_text::kMainCaption);
  setWindowTitle(name.empty() ? program : ToQ(name) + QStringLiteral("[*] - ") + program);
  setWindowModified(disk() && disk()->IsChanged());
}

void MainWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(QString::fromLatin1(app_text::kMenuFile));
  recentMenu_ = new QMenu(QString::fromLatin1(app_text::kMenuOpenRecent), file);
  recentMenu_->setObjectName(QStringLiteral("recentMenu"));
  FillRecentMenu();
  fileActions_ = new FileActions(*this);
  fileActions_->AddTo(file, recentMenu_);

  // The Edit menu (Undo and Redo first) and the toolbar: the edit actions' commands.
  editMenu_ = BuildEditMenu();
  editMenu_->addSeparator();
  toolBar_ = addToolBar(QString::fromLatin1(app_text::kToolBar));
  toolBar_->setObjectName(QStringLiteral("EditToolBar"));
  toolBar_->setMovable(false);
  // Each button says what it does: the icons alone do not.
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  toolBar_->setIconSize(QSize(16, 16));
  editActions_ = new EditActions(*this);
  editActions_->AddTo(editMenu_, toolBar_);

  QMenu* view = menuBar()->addMenu(QString::fromLatin1(app_text::kMenuView));
  Add(view, app_text::kMenuDetail, this, [this] { SetListStyle(0); });
  Add(view, app_text::kMenuList, this, [this] { SetListStyle(1); });
  Add(view, app_text::kMenuLargeIcon, this, [this] { SetListStyle(2); });
  view->addSeparator();
  Add(
      view, app_text::kMenuGallery, this, [this] { gallery_->ShowGallery(); },
      QKeySequence(Qt::CTRL | Qt::Key_G));
  view->addSeparator();
  navigation_->AddTo(view);

  QMenu* setup = menuBar()->addMenu(QString::fromLatin1(app_text::kMenuSetup));
  setupActions_ = new SetupActions(*this);
  setupActions_->AddTo(setup);

  QMenu* help = menuBar()->addMenu(QString::fromLatin1(app_text::kMenuHelp));
  Add(help, app_text::kMenuAbout, this, [this] { ShowAbout(); });
  QAction* helpPage = Add(
      help, app_text::kMenuHelpPage, this, [this] { OpenHelpPage(); }, QKeySequence(Qt::Key_F1));
  helpPage->setShortcutContext(Qt::ApplicationShortcut);

  SetUpFloppyActions(file);
}

void MainWindow::BuildPopups() {
  fileListMenu_ = new QMenu(this);
  fileListMenu_->setObjectName(QStringLiteral("fileListMenu"));
  QMenu* view = fileListMenu_->addMenu(QString::fromLatin1(app_text::kPopupView));
  viewAct_ = view->menuAction();
  auto listAction = [this](QMenu* m, const char* text, std::function<void()> f,
                           const QKeySequence& key) {
    QAction* a = Add(m, text, this, std::move(f), key);
    list_->AddListAction(a);
    return a;
  };
  QAction* autoAct = Add(view, app_text::kPopupAuto, this, [this] { OpenSelectedEntry(); });
  autoAct->setShortcut(QKeySequence(Qt::Key_Return));
  autoAct->setShortcutContext(Qt::WidgetShortcut);  // Enter is handled by the list itself
  listAction(
      view, app_text::kPopupBasic, [this] { ViewWith(ViewSelector::Basic); }, Qt::Key_F4);
  listAction(
      view, app_text::kPopupHex, [this] { ViewWith(ViewSelector::Hex); }, Qt::Key_F9);
  listAction(
      view, app_text::kPopupText, [this] { ViewWith(ViewSelector::Text); }, Qt::Key_F3);
  listAction(
      view, app_text::kPopupTextMsb, [this] { ViewWith(ViewSelector::MaskedText); },
      QKeySequence(Qt::ALT | Qt::Key_F3));
  QMenu* picture = view->addMenu(QString::fromLatin1(app_text::kPopupPicture));
  for (const PictureViewEntry& e : kPictureViews) {
    const ViewSelector s = e.selector;
    listAction(
        picture, e.text, [this, s] { ViewWith(s); }, QKeySequence(e.key));
  }
  addAct_ = listAction(
      fileListMenu_, app_text::kPopupAddFile, [this] { AddChosenFile(); },
      QKeySequence(Qt::ALT | Qt::Key_Insert));
  deleteAct_ = listAction(
      fileListMenu_, app_text::kPopupDelete, [this] { DeleteSelectedEntries(); },
      QKeySequence(Qt::ALT | Qt::Key_Delete));
  extractAct_ = listAction(
      fileListMenu_, app_text::kPopupExtract, [this] { ExtractSelectedEntries(); },
      QKeySequence(Qt::ALT | Qt::Key_E));
  infoAct_ = listAction(
      fileListMenu_, app_text::kPopupInfo, [this] { ShowInfo(); }, Qt::Key_F10);
  // The Edit menu's commands, under the names this menu has always had.
  renameAct_ = Add(fileListMenu_, app_text::kPopupRename, this,
                   [this] { editActions_->rename()->trigger(); });
  newFolderAct_ = Add(fileListMenu_, app_text::kPopupNewFolder, this,
                      [this] { editActions_->newFolder()->trigger(); });

  diskImageMenu_ = new QMenu(this);
  diskImageMenu_->setObjectName(QStringLiteral("diskImageMenu"));
  diskDetailsAct_ =
      Add(diskImageMenu_, app_text::kPopupDiskDetails, this, [this] { DiskDetails(); });
  hostAddAct_ = Add(diskImageMenu_, app_text::kPopupAddFile, this, [this] { AddChosenFile(); });
  Add(diskImageMenu_, app_text::kPopupDosFunctions, this, [this] { dosFunctions_ = true; });
  toXsaAct_ =
      Add(diskImageMenu_, app_text::kPopupConvertToXsa, this, [this] { ConvertSelected(); });
  sectorViewAct_ = Add(diskImageMenu_, app_text::kPopupSectorView, this, [this] { SectorView(); });
  Add(diskImageMenu_, app_text::kMenuCheckDisk, this, [this] { CheckSelectedDisk(); });

  conversionMenu_ = new QMenu(this);
  conversionMenu_->setObjectName(QStringLiteral("conversionMenu"));
  toDskAct_ =
      Add(conversionMenu_, app_text::kPopupConvertToDsk, this, [this] { ConvertSelected(); });
  Add(conversionMenu_, app_text::kPopupDosFunctions, this, [this] { dosFunctions_ = true; });

  hostActions_ = new QMenu(this);
  hostActions_->setObjectName(QStringLiteral("hostActionsMenu"));
  Add(hostActions_, app_text::kHostOpen, this, [this] {
    QString p = browser_->SelectedPath();
    if (!p.isEmpty()) OpenHostFile(p);
  });
  Add(hostActions_, app_text::kHostShowInFileManager, this, [this] { ShowHostInFileManager(); });
  Add(hostActions_, app_text::kHostCopyPath, this, [this] { CopyHostPath(); });
  Add(hostActions_, app_text::kHostRename, this, [this] { RenameHostFile(); });
  Add(hostActions_, app_text::kHostDelete, this, [this] { DeleteHostFile(); });
  diskActions_ = new DiskActions(*this);
  diskActions_->AddTo(editMenu_, fileListMenu_);
  UpdateListMenu();
}

QString MainWindow::statusText() const { return statusBar()->currentMessage(); }

void MainWindow::SetStatus(const QString& text) { statusBar()->showMessage(text); }

void MainWindow::Confirm(const QString& text) {
  SetStatus(text);
  confirmed_ = true;
}

bool MainWindow::IsCassette() const { return tape() != nullptr; }

bool MainWindow::AtRoot() const { return !disk() || disk()->AtRoot(); }

std::string MainWindow::OpenPath() const {
  if (const Workspace* ws = disk()) return ws->imagePath;
  if (const CasImage* cas = tape()) return cas->Path();
  if (card_) return card_->path;
  return {};
}

Workspace* MainWindow::ReadableDisk() {
  Workspace* ws = disk();
  return ws && ws->HasImage() ? ws : nullptr;
}

void MainWindow::SetListStyle(int style) {
  list_->SetStyle(style == 1   ? ListStyle::List
                  : style == 2 ? ListStyle::LargeIcon
                               : ListStyle::Report);
}

void MainWindow::ToggleListStyle() {
  switch (list_->Style()) {
    case ListStyle::LargeIcon:
      SetListStyle(1);
      break;
    case ListStyle::List:
      SetListStyle(0);
      break;
    case ListStyle::Report:
      SetListStyle(2);
      break;
  }
}

void MainWindow::SetFilter(int entry) {
  if (entry < 0 || entry >= filter_->count()) return;
  if (filter_->currentIndex() != entry) filter_->setCurrentIndex(entry);
  browser_->SetMask(filter_->itemData(entry).toString());
}

ListMenuState MainWindow::UpdateListMenu() {
  ListSituation s;
  s.imageLoaded = IsCassette() || (disk() && !disk()->imagePath.empty() && !disk()->image.Empty());
  s.cassette = IsCassette();
  s.atRoot = AtRoot();
  s.selectedRows = static_cast<int>(list_->SelectedRows().size());
  listMenuState_ = ListMenuFor(listMenuState_, s);
  addAct_->setEnabled(listMenuState_.addFile);
  deleteAct_->setEnabled(listMenuState_.remove);
  viewAct_->setEnabled(listMenuState_.view);
  extractAct_->setEnabled(listMenuState_.extract);
  infoAct_->setEnabled(listMenuState_.info);
  renameAct_->setEnabled(listMenuState_.rename && s.selectedRows > 0);
  newFolderAct_->setEnabled(listMenuState_.addFile);
  if (editActions_) editActions_->Update(listMenuState_, s.selectedRows, model_->rowCount());
  if (diskActions_) diskActions_->Update(listMenuState_, s.selectedRows);
  return listMenuState_;
}

QMenu* MainWindow::HostContextMenu() {
  QString selected = browser_->SelectedPath();
  HostMenuKind kind = HostMenuFor(selected, dosFunctions_);
  dosFunctions_ = false;
  switch (kind) {
    case HostMenuKind::DiskMenu:
      diskMenuState_ = DiskMenuFor(diskMenuState_, selected, ToQ(OpenPath()));
      diskDetailsAct_->setEnabled(diskMenuState_.diskDetails);
      sectorViewAct_->setEnabled(true);
      // A card image named .img would be taken for an IMG floppy by its name: only a disk
      // image the XSA codec takes is offered.
      toXsaAct_->setEnabled(ConversionFor(FromQ(selected)) == Conversion::DskToXsa);
      hostAddAct_->setEnabled(diskMenuState_.addFile);
      return diskImageMenu_;
    case HostMenuKind::ConvertMenu:
      return conversionMenu_;
    case HostMenuKind::HostActions:
      return hostActions_;
  }
  return hostActions_;
}

void MainWindow::ShowHostMenu(const QPoint& globalPos) {
  if (browser_->SelectedPath().isEmpty()) return;
  HostContextMenu()->popup(globalPos);
}

void MainWindow::HostSelectionChanged(const QString& path) {
  if (!setupActions_->autoLoad()->isChecked()) return;
  if (QFileInfo(path).isDir()) return;
  if (FromQ(path) == OpenPath()) return;
  OpenHostFile(path);
}

bool MainWindow::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      OpenPendingFile();
      break;
    case QEvent::WindowUnblocked:  // a modal dialog of someone else than ui_ has closed
    case QEvent::EnabledChange:    // a read has ended (or begun)
      if (pendingOpen_ && !Busy()) RetryPendingFile();
      break;
    default:
      break;
  }
  return QMainWindow::event(e);
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (!shown_) {
    shown_ = true;
    ApplySettings();
  }
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // However the window is closed, the viewer ends first: it offers its pending edits. Unsaved
  // changes of the image are settled next; Cancel keeps the window open.
  document_->Closing();
  if (!ended_ && !SettleChanges()) {
    e->ignore();
    return;
  }
  EndRun();
  e->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusOut) {
    if (watched == oem_) CommitOemField();
    if (watched == volume_) CommitVolumeField();
  }
  return QMainWindow::eventFilter(watched, e);
}

bool MainWindow::Busy() const {
  return trackedUi_->Open() || QApplication::activeModalWidget() != nullptr || !isEnabled();
}

void MainWindow::RetryPendingFile() {
  // Queued: the dialog that just closed returns to the command that opened it, which finishes
  // (or opens its next dialog) before this runs.
  QMetaObject::invokeMethod(
      this, [this] { OpenPendingFile(); }, Qt::QueuedConnection);
}

void MainWindow::OpenPendingFile() {
  if (!confirmed_) SetStatus(ToQ(OpenPath()));
  confirmed_ = false;
  if (!pendingOpen_) return;
  // A command is waiting in a dialog or reading a file; opening another image now would swap
  // the image under it. The closing of its last dialog (TrackedUi::closed, WindowUnblocked) or
  // the end of the read (EnabledChange) tries again.
  if (Busy()) return;
  pendingOpen_ = false;
  QFileInfo fi(pendingPath_);
  if (!fi.exists()) {
    ui_->Notify(std::string(app_text::kFileNotFound) + FromQ(pendingPath_));
    return;
  }
  if (DropKindOf({FromQ(pendingPath_)}) == DropOutcome::Added) return;
  browser_->SetFolder(fi.absolutePath());
  browser_->Refresh();
  QString found = browser_->SelectByPrefix(fi.fileName());
  if (found.isEmpty() && fi.isFile()) {
    // The filter hides the file (a .cas while disk images are shown): show the first filter
    // entry that lists it, then look again.
    for (int i = 0; i < filter_->count() && found.isEmpty(); ++i) {
      const QStringList masks = MaskPatterns(filter_->itemData(i).toString());
      if (!QDir::match(masks, fi.fileName())) continue;
      SetFilter(i);
      found = browser_->SelectByPrefix(fi.fileName());
    }
  }
  if (found.isEmpty()) return;
  dosFunctions_ = false;
  OpenHostFile(found);
}

void MainWindow::HandOver(const QStringList& arguments, const QString& workingFolder) {
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
  QString p = FirstHandedOverPath(arguments, workingFolder);
  if (!p.isEmpty()) {
    pendingOpen_ = true;
    pendingPath_ = p;
  }
  OpenPendingFile();
}

void MainWindow::EndRun() {
  if (ended_) return;
  ended_ = true;
  document_->session().Close();
  document_->Replaced();
  card_.reset();
  model_->SetRows({});
  if (tempReady_) DeleteFilesIn(paths_.tempFolder);
  QDir::setCurrent(paths_.exeFolder);
}

}  // namespace quarnel
