// Find on Disk: a byte string, typed as hex digits or as text (letters in any case), searched
// for in every file of the open disk. The hits are listed by file and offset as they are found;
// a large disk is searched a few files at a time between the window's events, so the dialog
// stays responsive and Stop ends the search. Double-clicking a hit asks for it (hitActivated).
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/disk_image.h"
#include "tools/file_search.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QTreeWidget;

namespace quarnel {

class FindOnDiskDialog : public QDialog {
  Q_OBJECT
 public:
  // The most hits one search lists.
  static constexpr std::size_t kMostHits = 10000;
  // About how many bytes of files are read between two turns of the event loop.
  static constexpr std::uint64_t kStepBytes = 512 * 1024;

  explicit FindOnDiskDialog(QWidget* parent = nullptr);
  ~FindOnDiskDialog() override;

  // The image Find searches; nullptr when none can be searched.
  std::function<const DiskImage*()> image;
  // A name of the image as the list shows it (its bytes through the character set chosen).
  std::function<QString(const std::string&)> nameText;

  // Starts a search of image() for what the entry holds (a running one is dropped first).
  void Find();
  // Ends a running search; the hits found so far stay.
  void Stop();
  // The image changed or another was opened: the search ends and its hits go, since they may no
  // longer be where they were.
  void Forget();
  bool Running() const;
  // Asks for hit `index` of Hits(), as a double-click on its row does.
  void ActivateHit(int index);

  const std::vector<tools::FileHit>& Hits() const;
  QLineEdit* entry() const { return entry_; }
  QRadioButton* hexButton() const { return hexButton_; }
  QRadioButton* textButton() const { return textButton_; }
  QPushButton* findButton() const { return findButton_; }
  QPushButton* stopButton() const { return stopButton_; }
  QTreeWidget* hitList() const { return list_; }
  QLabel* status() const { return status_; }

 signals:
  void hitActivated(const tools::FileHit& hit);

 private:
  void StepSearch();
  // The rows of the hits found since the last call, and the status line.
  void ShowProgress();
  void Finish();

  QRadioButton* hexButton_;
  QRadioButton* textButton_;
  QLineEdit* entry_;
  QPushButton* findButton_;
  QPushButton* stopButton_;
  QTreeWidget* list_;
  QProgressBar* progress_;
  QLabel* status_;
  QTimer* timer_;
  std::unique_ptr<tools::FileSearch> search_;
  std::vector<tools::FileHit> none_;
  int listed_ = 0;  // hits with a row
  bool running_ = false;
  const DiskImage* searched_ = nullptr;  // the image the search reads
};

}  // namespace quarnel
