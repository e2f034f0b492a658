// Asks for a new name when a host file's name is too long for the disk.
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quarnel {

class RenameDialog : public QDialog {
  Q_OBJECT
 public:
  explicit RenameDialog(QWidget* parent = nullptr);
  // Shows the dialog for `hostName`; the edit field keeps what was typed last time.
  // nullopt when cancelled.
  std::optional<QString> Ask(const QString& hostName);

  QLineEdit* newNameBox() const { return newNameBox_; }
  QLabel* hostNameLabel() const { return hostNameLabel_; }

 private:
  QLabel* hostNameLabel_;
  QLineEdit* newNameBox_;
  QPushButton* renameBtn_;
  QPushButton* cancelBtn_;
};

}  // namespace quarnel
