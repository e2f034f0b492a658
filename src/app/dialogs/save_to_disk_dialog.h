// "Save to disk": the open image written sector by sector to a floppy drive chosen from the
// usable ones (or to a regular file), with the floppy's geometry read from its boot sector,
// Start/End or "Whole disk", a progress bar and the status texts "Sector N of M", "Error" and
// "Done". The sectors are written (and then read back and compared) on a thread of its own, so
// the window stays responsive and "Cancel" stops the work between two sectors.
#pragma once

#include <QDialog>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "app/dialogs/number_box.h"
#include "formats/floppy_devices.h"
#include "formats/floppy_write.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace quarnel {

class AppUi;

class SaveToDiskDialog : public QDialog {
  Q_OBJECT
 public:
  // `image`: the bytes to write (the image's size). The drives are looked up in `sources`.
  SaveToDiskDialog(std::vector<std::uint8_t> image, const DeviceSources& sources, AppUi& ui,
                   QWidget* parent = nullptr);
  ~SaveToDiskDialog() override;

  // A drive or file was chosen: its boot sector's geometry in the memo, End set to its last
  // sector and Start to 0 (the memo stays empty when no disk can be read).
  void ChooseTarget(const QString& path);
  // "Other file...": asks for a regular file to write to, then chooses it.
  void ChooseOtherFile();
  // "Write": checks the range and the disk, then starts writing.
  void StartWriting();
  // "Cancel": stops the writing between two sectors.
  void CancelWriting();
  bool Writing() const { return worker_.joinable(); }

  QComboBox* driveBox() const { return drives_; }
  QPlainTextEdit* memo() const { return memo_; }
  QLineEdit* startEdit() const { return start_->edit(); }
  QLineEdit* endEdit() const { return end_->edit(); }
  QCheckBox* wholeDiskBox() const { return wholeDisk_; }
  QCheckBox* verifyBox() const { return verify_; }
  QPushButton* writeButton() const { return write_; }
  QPushButton* cancelButton() const { return cancel_; }
  QProgressBar* progressBar() const { return progress_; }
  QString statusText() const;

 signals:
  // The status text changed ("Sector N of M", "Done", "Error", ...).
  void statusChanged(const QString& text);
  // The writing ended (Done, or why not).
  void writingEnded(bool done);

 public:
  void reject() override;

 private:
  void SetStatus(const QString& text);
  void AddMemoLine(const QString& line);
  void ShowProgress(FloppyPhase phase, std::uint64_t sector, std::uint64_t last);
  void Finish(const Outcome<FloppyStatus>& outcome);
  // Start or End as a number (decimal or $hex); nullopt after the message "'%s' is not a valid
  // integer value".
  std::optional<std::int64_t> SectorField(const NumberBox* box);

  std::vector<std::uint8_t> image_;
  DeviceSources sources_;
  AppUi& ui_;
  QString target_;
  std::thread worker_;
  std::atomic<bool> cancelRequested_{false};

  QComboBox* drives_;
  QPushButton* otherFile_;
  QPlainTextEdit* memo_;
  NumberBox* start_;
  NumberBox* end_;
  QCheckBox* wholeDisk_;
  QCheckBox* verify_;
  QPushButton* write_;
  QPushButton* cancel_;
  QProgressBar* progress_;
  QStatusBar* status_;
};

}  // namespace quarnel
