// The find dialog: a byte string entered as hex digits or as text (the two entries mirror each
// other, the checked one leading), "Find" and "Cancel", a progress bar, and its caption as the
// status line. It searches nothing itself: "Find" runs `find`, which the viewer connects to the
// search that fits what it shows. After a search it stays open, and "Find" goes on after the
// previous hit until either entry changes.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace quarnel {

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FindDialog(QWidget* parent = nullptr);

  // Opens the dialog (F6), or brings it forward.
  void Open();

  QLineEdit* hexEntry() const { return hex_; }
  QLineEdit* textEntry() const { return text_; }
  QRadioButton* hexButton() const { return hexButton_; }
  QRadioButton* textButton() const { return textButton_; }
  QPushButton* findButton() const { return findButton_; }
  QProgressBar* progress() const { return progress_; }

  // "Find": nothing for an odd number of hex digits; otherwise runs `find` and marks the search
  // as started, so that the next "Find" continues.
  void FindClicked();
  // Whether the next search continues after the previous hit.
  bool searched() const { return searched_; }
  // The last search's outcome in the caption ("Found!", "Not Found!", "Not found!").
  void SetStatus(const char* caption, bool found);
  bool found() const { return found_; }

  std::function<void()> find;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void HexChanged();
  void TextChanged();

  QRadioButton* hexButton_;
  QLineEdit* hex_;
  QRadioButton* textButton_;
  QLineEdit* text_;
  QPushButton* findButton_;
  QPushButton* cancel_;
  QProgressBar* progress_;
  bool searched_ = false;
  bool found_ = false;
  bool mirroring_ = false;
};

}  // namespace quarnel
