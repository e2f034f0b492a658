#include "app/dialogs/rename_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/qt_ui.h"
#include "app/messages.h"

namespace quarnel {

RenameDialog::RenameDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("renameDialog"));
  setWindowTitle(ToQ(app_text::kRenameCaption));
  hostNameLabel_ = new QLabel(this);
  hostNameLabel_->setObjectName(QStringLiteral("renameHint"));
  newNameBox_ = new QLineEdit(this);
  newNameBox_->setObjectName(QStringLiteral("newNameBox"));
  renameBtn_ = new QPushButton(ToQ(app_text::kRenameButton), this);
  renameBtn_->setObjectName(QStringLiteral("renameButton"));
  renameBtn_->setDefault(true);
  cancelBtn_ = new QPushButton(QString::fromLatin1(app_text::kCancelButton), this);
  cancelBtn_->setObjectName(QStringLiteral("cancelButton"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(renameBtn_);
  buttons->addWidget(cancelBtn_);
  auto* box = new QVBoxLayout(this);
  box->addWidget(hostNameLabel_);
  box->addWidget(newNameBox_);
  box->addLayout(buttons);
  connect(renameBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
  connect(newNameBox_, &QLineEdit::returnPressed, this, &QDialog::accept);
}

std::optional<QString> RenameDialog::Ask(const QString& hostName) {
  hostNameLabel_->setText(hostName);
  newNameBox_->setFocus();
  if (exec() != QDialog::Accepted) return std::nullopt;
  return newNameBox_->text();
}

}  // namespace quarnel
