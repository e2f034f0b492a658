#include "app/main/navigation_actions.h"

#include <QAction>
#include <QMenu>
#include <QStyle>

#include "app/dialogs/qt_ui.h"
#include "app/main/card_rows.h"
#include "app/main/document.h"
#include "app/main/location_bar.h"
#include "app/main/main_window.h"
#include "app/messages.h"

namespace quarnel {

namespace {

// The folder names of a place, without the padding of the 8.3 captions ("GAMES", "SUB").
QStringList FolderNames(const FolderPlace& place, const viewers::MsxCharset& charset) {
  QStringList names;
  for (std::size_t i = 1; i < place.size(); ++i) {
    const std::string& above = place[i - 1].path;
    std::string name = place[i].path.substr(std::min(above.size(), place[i].path.size()));
    while (!name.empty() && (name.back() == '\\' || name.back() == ' ' || name.back() == '.'))
      name.pop_back();
    names << ImageText(name, charset);
  }
  return names;
}

}  // namespace

NavigationActions::NavigationActions(MainWindow& window) : QObject(&window), w_(window) {
  back_ = new QAction(w_.style()->standardIcon(QStyle::SP_ArrowBack),
                      QString::fromLatin1(app_text::kMenuBack), this);
  back_->setObjectName(QStringLiteral("backAction"));
  back_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  back_->setToolTip(QString::fromLatin1(app_text::kBackHint));
  forward_ = new QAction(w_.style()->standardIcon(QStyle::SP_ArrowForward),
                         QString::fromLatin1(app_text::kMenuForward), this);
  forward_->setObjectName(QStringLiteral("forwardAction"));
  forward_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  forward_->setToolTip(QString::fromLatin1(app_text::kForwardHint));
  for (QAction* a : {back_, forward_}) {
    a->setShortcutContext(Qt::WindowShortcut);
    w_.addAction(a);
  }
  connect(back_, &QAction::triggered, this, [this] { GoBack(); });
  connect(forward_, &QAction::triggered, this, [this] { GoForward(); });
  bar_ = new LocationBar(back_, forward_);
  connect(bar_, &LocationBar::levelChosen, this, [this](int level) { GoToLevel(level); });
  connect(bar_, &LocationBar::partitionsChosen, this, [this] { w_.LeavePartition(); });
  // Another image (or partition) has other folders.
  connect(w_.document(), &Document::imageReplaced, this, [this] {
    history_.Clear();
    UpdateActions();
  });
  UpdateActions();
}

void NavigationActions::AddTo(QMenu* menu) {
  menu->addAction(back_);
  menu->addAction(forward_);
}

void NavigationActions::Follow() {
  const CardState* card = w_.card();
  const Workspace* ws = w_.disk();
  if (card && card->Listing()) {
    bar_->Show({}, {}, true);
  } else if (ws && ws->HasImage()) {
    if (!going_) history_.Visit(ws->folders);
    bar_->Show(card ? ToQ(PartitionCaption(card->entered)) : QString(),
               FolderNames(ws->folders, w_.Charset()));
  } else {
    bar_->Show({}, {});
  }
  bar_->setVisible((ws && ws->HasImage()) || (card && card->Listing()));
  UpdateActions();
}

void NavigationActions::Go(const std::optional<FolderPlace>& place) {
  Workspace* ws = w_.ReadableDisk();
  if (!place || !ws) return;
  going_ = true;
  RevisitPlace(*ws, *place);
  w_.ShowListing();
  going_ = false;
  // Where the walk stopped (a folder gone) is where the history stands now.
  history_.Settle(ws->folders);
  UpdateActions();
}

void NavigationActions::GoBack() { Go(history_.Back()); }

void NavigationActions::GoForward() { Go(history_.Forward()); }

void NavigationActions::GoToLevel(int level) {
  Workspace* ws = w_.ReadableDisk();
  if (!ws || level < 0 || level + 1 >= static_cast<int>(ws->folders.size())) return;
  FolderPlace place = ws->folders;
  place.resize(static_cast<std::size_t>(level) + 1);
  RevisitPlace(*ws, place);
  w_.ShowListing();
}

void NavigationActions::UpdateActions() {
  back_->setEnabled(history_.CanGoBack());
  forward_->setEnabled(history_.CanGoForward());
}

}  // namespace quarnel
