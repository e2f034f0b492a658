#include "app/dialogs/find_on_disk_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <set>
#include <string>

#include "app/messages.h"
#include "tools/search.h"

namespace quarnel {

namespace {

QString L(const char* text) { return QString::fromLatin1(text); }

// Where a hit lies: "1234 (0x4D2)".
QString OffsetText(std::uint64_t offset) {
  return QStringLiteral("%1 (0x%2)")
      .arg(offset)
      .arg(offset, 0, 16)
      .toUpper()
      .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

}  // namespace

FindOnDiskDialog::FindOnDiskDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("findOnDiskDialog"));
  setWindowTitle(L(app_text::kFindOnDiskTitle));
  hexButton_ = new QRadioButton(L(app_text::kFindOnDiskHex), this);
  textButton_ = new QRadioButton(L(app_text::kFindOnDiskText), this);
  hexButton_->setChecked(true);
  entry_ = new QLineEdit(this);
  entry_->setObjectName(QStringLiteral("findOnDiskEntry"));
  findButton_ = new QPushButton(L(app_text::kFindOnDiskFind), this);
  findButton_->setDefault(true);
  stopButton_ = new QPushButton(L(app_text::kFindOnDiskStop), this);
  stopButton_->setEnabled(false);
  auto* close = new QPushButton(L(app_text::kFindOnDiskClose), this);
  close->setAutoDefault(false);
  list_ = new QTreeWidget(this);
  list_->setObjectName(QStringLiteral("findOnDiskHits"));
  list_->setColumnCount(2);
  list_->setHeaderLabels({L(app_text::kFindOnDiskFile), L(app_text::kFindOnDiskOffset)});
  list_->setRootIsDecorated(false);
  list_->setUniformRowHeights(true);
  list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list_->header()->setStretchLastSection(false);
  list_->setToolTip(L(app_text::kFindOnDiskHint));
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 1000);
  progress_->setTextVisible(false);
  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("findOnDiskStatus"));
  timer_ = new QTimer(this);
  timer_->setInterval(0);
  timer_->setSingleShot(true);

  auto* grid = new QGridLayout(this);
  auto* kinds = new QHBoxLayout;
  kinds->addWidget(hexButton_);
  kinds->addWidget(textButton_);
  kinds->addStretch(1);
  grid->addLayout(kinds, 0, 0, 1, 2);
  grid->addWidget(entry_, 1, 0);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(findButton_);
  buttons->addWidget(stopButton_);
  buttons->addWidget(close);
  grid->addLayout(buttons, 1, 1);
  grid->addWidget(list_, 2, 0, 1, 2);
  grid->addWidget(progress_, 3, 0, 1, 2);
  grid->addWidget(status_, 4, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(2, 1);

  connect(findButton_, &QPushButton::clicked, this, [this] { Find(); });
  connect(entry_, &QLineEdit::returnPressed, this, [this] { Find(); });
  connect(stopButton_, &QPushButton::clicked, this, [this] { Stop(); });
  connect(close, &QPushButton::clicked, this, [this] { reject(); });
  connect(this, &QDialog::rejected, this, [this] { Stop(); });
  connect(timer_, &QTimer::timeout, this, [this] { StepSearch(); });
  connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    if (item) ActivateHit(list_->indexOfTopLevelItem(item));
  });
  resize(560, 400);
}

FindOnDiskDialog::~FindOnDiskDialog() = default;

const std::vector<tools::FileHit>& FindOnDiskDialog::Hits() const {
  return search_ ? search_->Hits() : none_;
}

bool FindOnDiskDialog::Running() const { return running_; }

void FindOnDiskDialog::Find() {
  Stop();
  search_.reset();
  list_->clear();
  listed_ = 0;
  progress_->setValue(0);
  const std::string typed = entry_->text().toLatin1().toStdString();
  std::vector<std::uint8_t> pattern(typed.begin(), typed.end());
  if (hexButton_->isChecked()) {
    std::string digits = typed;
    std::erase(digits, ' ');
    const auto bytes = tools::ParseHexBytes(digits);
    if (!bytes || bytes->empty()) {
      status_->setText(L(app_text::kFindOnDiskNotHex));
      return;
    }
    pattern = *bytes;
  }
  const DiskImage* searched = image ? image() : nullptr;
  if (!searched || pattern.empty()) {
    status_->clear();
    return;
  }
  searched_ = searched;
  search_ = std::make_unique<tools::FileSearch>(*searched, std::move(pattern),
                                                textButton_->isChecked(), kMostHits);
  running_ = true;
  stopButton_->setEnabled(true);
  findButton_->setEnabled(false);
  ShowProgress();
  timer_->start();
}

void FindOnDiskDialog::StepSearch() {
  if (!running_ || !search_ || search_->Done()) return;
  // Another image open meanwhile: what the search holds is gone.
  if (!image || image() != searched_) {
    Forget();
    return;
  }
  search_->Step(kStepBytes);
  ShowProgress();
  if (search_->Done())
    Finish();
  else
    timer_->start();
}

void FindOnDiskDialog::ShowProgress() {
  const std::vector<tools::FileHit>& hits = search_->Hits();
  for (; listed_ < static_cast<int>(hits.size()); ++listed_) {
    const tools::FileHit& h = hits[static_cast<std::size_t>(listed_)];
    QString path;
    for (const std::string& name : h.names)
      path +=
          QStringLiteral("\\") + (nameText ? nameText(name) : QString::fromLatin1(name.c_str()));
    auto* item = new QTreeWidgetItem(list_, {path, OffsetText(h.offset)});
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
  const std::uint64_t total = std::max<std::uint64_t>(search_->TotalBytes(), 1);
  progress_->setValue(static_cast<int>(search_->BytesSearched() * 1000 / total));
  status_->setText(
      L(app_text::kFindOnDiskRunning).arg(search_->FilesSearched()).arg(search_->FileCount()));
}

void FindOnDiskDialog::Finish() {
  running_ = false;
  timer_->stop();
  stopButton_->setEnabled(false);
  findButton_->setEnabled(true);
  if (!search_) return;
  const std::vector<tools::FileHit>& hits = search_->Hits();
  QString text;
  if (!search_->Done()) {
    text = L(app_text::kFindOnDiskStopped)
               .arg(search_->FilesSearched())
               .arg(search_->FileCount())
               .arg(hits.size());
  } else if (hits.empty()) {
    text = L(app_text::kFindOnDiskNone).arg(search_->FileCount());
  } else {
    std::set<std::size_t> files;
    for (const tools::FileHit& h : hits) files.insert(h.entryOffset);
    text = hits.size() == 1 ? L(app_text::kFindOnDiskOneHit)
                            : L(app_text::kFindOnDiskFound).arg(hits.size()).arg(files.size());
    if (search_->Capped()) text += L(app_text::kFindOnDiskFirstHits);
  }
  if (!search_->Unreadable().empty())
    text += L(app_text::kFindOnDiskUnreadable).arg(search_->Unreadable().size());
  if (search_->Done()) progress_->setValue(progress_->maximum());
  status_->setText(text);
}

void FindOnDiskDialog::Stop() {
  if (!Running()) return;
  Finish();
}

void FindOnDiskDialog::Forget() {
  const bool had = search_ != nullptr;
  running_ = false;
  timer_->stop();
  search_.reset();
  list_->clear();
  listed_ = 0;
  progress_->setValue(0);
  stopButton_->setEnabled(false);
  findButton_->setEnabled(true);
  if (had) status_->setText(L(app_text::kFindOnDiskChanged));
}

void FindOnDiskDialog::ActivateHit(int index) {
  if (index < 0 || index >= static_cast<int>(Hits().size())) return;
  emit hitActivated(Hits()[static_cast<std::size_t>(index)]);
}

}  // namespace quarnel
