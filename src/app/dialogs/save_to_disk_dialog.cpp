#include "app/dialogs/save_to_disk_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/app_ui.h"
#include "app/dialogs/qt_ui.h"
#include "app/messages.h"
#include "formats/messages.h"
#include "formats/raw_disk_posix.h"
#include "tools/write_back.h"

namespace quarnel {

namespace {

QString Q(std::string_view s) { return ToQ(s); }

}  // namespace

SaveToDiskDialog::SaveToDiskDialog(std::vector<std::uint8_t> image, const DeviceSources& sources,
                                   AppUi& ui, QWidget* parent)
    : QDialog(parent), image_(std::move(image)), sources_(sources), ui_(ui) {
  setWindowTitle(QString::fromLatin1(app_text::kSaveToDiskTitle));
  setModal(true);

  drives_ = new QComboBox(this);
  drives_->setPlaceholderText(QString::fromLatin1(app_text::kChooseDrive));
  for (const FloppyDevice& d : ListFloppyDevices(sources_)) {
    QString caption = ToQ(d.path.string()) + QStringLiteral("  ") +
                      QString::number(d.sectors * kRawSectorBytes / 1024) + QStringLiteral(" KB");
    if (!d.model.empty()) caption += QStringLiteral("  ") + ToQ(d.model);
    drives_->addItem(caption, ToQ(d.path.string()));
  }
  drives_->setCurrentIndex(-1);
  otherFile_ = new QPushButton(QString::fromLatin1(app_text::kOtherFile), this);
  memo_ = new QPlainTextEdit(this);
  memo_->setReadOnly(true);
  start_ = new NumberBox(this);
  end_ = new NumberBox(this);
  wholeDisk_ = new QCheckBox(QString::fromLatin1(app_text::kWholeDisk), this);
  wholeDisk_->setChecked(true);
  verify_ = new QCheckBox(QString::fromLatin1(app_text::kVerifyBox), this);
  verify_->setChecked(true);
  write_ = new QPushButton(QString::fromLatin1(app_text::kWriteButton), this);
  write_->setEnabled(!image_.empty());
  cancel_ = new QPushButton(QString::fromLatin1(app_text::kCancelButton), this);
  cancel_->setEnabled(false);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 1);  // (0, 0) would show a busy bar
  progress_->setValue(0);
  progress_->setTextVisible(false);
  status_ = new QStatusBar(this);
  status_->setSizeGripEnabled(false);

  auto* drive = new QHBoxLayout;
  drive->addWidget(drives_, 1);
  drive->addWidget(otherFile_);
  auto* range = new QGridLayout;
  range->addWidget(new QLabel(QString::fromLatin1(app_text::kStartLabel), this), 0, 0);
  range->addWidget(start_, 0, 1);
  range->addWidget(new QLabel(QString::fromLatin1(app_text::kEndLabel), this), 1, 0);
  range->addWidget(end_, 1, 1);
  range->addWidget(wholeDisk_, 0, 2);
  range->addWidget(verify_, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(write_);
  buttons->addWidget(cancel_);
  auto* top = new QVBoxLayout(this);
  top->addLayout(drive);
  top->addWidget(memo_, 1);
  top->addLayout(range);
  top->addWidget(progress_);
  top->addLayout(buttons);
  top->addWidget(status_);

  connect(drives_, &QComboBox::activated, this,
          [this](int i) { ChooseTarget(drives_->itemData(i).toString()); });
  connect(otherFile_, &QPushButton::clicked, this, [this] { ChooseOtherFile(); });
  connect(write_, &QPushButton::clicked, this, [this] { StartWriting(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { CancelWriting(); });
}

SaveToDiskDialog::~SaveToDiskDialog() {
  cancelRequested_ = true;
  if (worker_.joinable()) worker_.join();
}

QString SaveToDiskDialog::statusText() const { return status_->currentMessage(); }

void SaveToDiskDialog::SetStatus(const QString& text) {
  status_->showMessage(text);
  emit statusChanged(text);
}

void SaveToDiskDialog::AddMemoLine(const QString& line) { memo_->appendPlainText(line); }

void SaveToDiskDialog::ChooseTarget(const QString& path) {
  if (Writing()) return;
  target_ = path;
  int i = drives_->findData(path);
  if (i < 0) {
    drives_->addItem(path, path);
    i = drives_->count() - 1;
  }
  drives_->setCurrentIndex(i);
  memo_->clear();
  std::string message;
  auto disk = OpenFloppyTarget(FromQ(path), RawDiskAccess::Read, sources_, message);
  if (!disk) {
    AddMemoLine(ToQ(message));
    return;
  }
  auto boot = ReadBootSector(*disk);
  if (!boot) return;
  for (const std::string& line : GeometryLines(*boot)) AddMemoLine(ToQ(line));
  const std::int64_t last = static_cast<std::int64_t>(GeometryOf(*boot).totalSectors) - 1;
  start_->SetRange(0, last);
  end_->SetRange(0, last);
  end_->setText(QString::number(last));
  start_->setText(QStringLiteral("0"));
}

void SaveToDiskDialog::ChooseOtherFile() {
  if (auto path = ui_.AskOpenPath(app_text::kOtherFile, "")) ChooseTarget(ToQ(*path));
}

std::optional<std::int64_t> SaveToDiskDialog::SectorField(const NumberBox* box) {
  if (auto v = box->Value()) return v;
  ui_.Notify(tools::NotAnIntegerMessage(FromQ(box->text())));
  return std::nullopt;
}

void SaveToDiskDialog::StartWriting() {
  if (Writing() || image_.empty()) return;
  write_->setEnabled(false);
  RangeChoice choice;
  choice.wholeDisk = wholeDisk_->isChecked();
  if (!choice.wholeDisk) {
    auto start = SectorField(start_);
    auto end = start ? SectorField(end_) : std::nullopt;
    if (!start || !end) {
      write_->setEnabled(true);
      return;
    }
    choice.start = *start;
    choice.end = *end;
  }
  std::string message;
  std::unique_ptr<RawDisk> disk =
      target_.isEmpty()
          ? nullptr
          : OpenFloppyTarget(FromQ(target_), RawDiskAccess::ReadWrite, sources_, message);
  if (!disk) {
    if (!message.empty()) AddMemoLine(ToQ(message));
    SetStatus(Q(formats::msg::kError));
    write_->setEnabled(true);
    return;
  }
  // No readable disk in the drive: a beep, nothing written.
  auto boot = ReadBootSector(*disk);
  if (!boot) {
    QApplication::beep();
    AddMemoLine(Q(formats::msg::kDriveNotReady) + ToQ(disk->ErrorReason()));
    SetStatus(Q(formats::msg::kDone));
    write_->setEnabled(true);
    return;
  }
  memo_->clear();
  for (const std::string& line : GeometryLines(*boot)) AddMemoLine(ToQ(line));
  WriteRange range;
  auto planned = PlanWrite(image_.size(), choice, *disk, range);
  if (planned.status != FloppyStatus::Done) {
    AddMemoLine(ToQ(planned.message));
    SetStatus(Q(formats::msg::kError));
    write_->setEnabled(true);
    return;
  }
  progress_->setRange(static_cast<int>(range.first), static_cast<int>(range.last));
  progress_->setValue(static_cast<int>(range.first));
  cancelRequested_ = false;
  cancel_->setEnabled(true);
  FloppyRun run;
  run.verify = verify_->isChecked();
  run.cancel = &cancelRequested_;
  run.progress = [this](FloppyPhase phase, std::uint64_t s, std::uint64_t, std::uint64_t last) {
    QMetaObject::invokeMethod(
        this, [this, phase, s, last] { ShowProgress(phase, s, last); }, Qt::QueuedConnection);
  };
  worker_ = std::thread([this, disk = std::move(disk), range, run]() mutable {
    auto outcome = WriteImageToDisk(*disk, image_, range, run);
    disk.reset();  // closed (and flushed) before the dialog says it is done
    QMetaObject::invokeMethod(
        this, [this, outcome] { Finish(outcome); }, Qt::QueuedConnection);
  });
}

void SaveToDiskDialog::ShowProgress(FloppyPhase phase, std::uint64_t sector, std::uint64_t last) {
  SetStatus(ToQ(PhaseStatusText(phase, sector, last)));
  progress_->setValue(static_cast<int>(sector));
}

void SaveToDiskDialog::Finish(const Outcome<FloppyStatus>& outcome) {
  if (worker_.joinable()) worker_.join();
  cancel_->setEnabled(false);
  write_->setEnabled(true);
  if (outcome.status == FloppyStatus::Done) {
    progress_->setRange(0, 1);
    progress_->setValue(0);
    SetStatus(Q(formats::msg::kDone));
  } else if (outcome.status == FloppyStatus::Cancelled) {
    AddMemoLine(ToQ(outcome.message));
    SetStatus(ToQ(outcome.message));
  } else {
    AddMemoLine(Q(formats::msg::kError));
    AddMemoLine(ToQ(outcome.message));
    SetStatus(Q(formats::msg::kError));
  }
  emit writingEnded(outcome.status == FloppyStatus::Done);
}

void SaveToDiskDialog::CancelWriting() {
  if (!Writing()) return;
  cancelRequested_ = true;
  cancel_->setEnabled(false);
  SetStatus(QString::fromLatin1(app_text::kCancelling));
}

void SaveToDiskDialog::reject() {
  // Closing while writing stops the writing first; the dialog stays until it has stopped.
  if (Writing()) return CancelWriting();
  QDialog::reject();
}

}  // namespace quarnel
