#include "app/dialogs/find_dialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "tools/hex_grid.h"
#include "tools/messages.h"
#include "tools/search.h"

namespace quarnel {

namespace {

QString Q(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QByteArray Latin(const QString& s) { return s.toLatin1(); }

}  // namespace

FindDialog::FindDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("findDialog"));
  setWindowTitle(Q(tools::kFindCaption));
  hexButton_ = new QRadioButton(Q(tools::kFindHex), this);
  textButton_ = new QRadioButton(Q(tools::kFindText), this);
  QFont bold = hexButton_->font();
  bold.setBold(true);
  hexButton_->setFont(bold);
  textButton_->setFont(bold);
  hexButton_->setChecked(true);
  hex_ = new QLineEdit(this);
  hex_->setObjectName(QStringLiteral("hexField"));
  text_ = new QLineEdit(this);
  text_->setObjectName(QStringLiteral("textField"));
  findButton_ = new QPushButton(Q(tools::kFindCaption), this);
  cancel_ = new QPushButton(Q(tools::kFindCancel), this);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 100);
  progress_->setTextVisible(false);

  auto* grid = new QGridLayout(this);
  grid->addWidget(hexButton_, 0, 0);
  grid->addWidget(hex_, 0, 1);
  grid->addWidget(textButton_, 1, 0);
  grid->addWidget(text_, 1, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(findButton_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, 2, 0, 1, 2);
  grid->addWidget(progress_, 3, 0, 1, 2);

  connect(hex_, &QLineEdit::textChanged, this, [this] { HexChanged(); });
  connect(text_, &QLineEdit::textChanged, this, [this] { TextChanged(); });
  connect(hexButton_, &QRadioButton::clicked, hex_, [this] { hex_->setFocus(); });
  connect(textButton_, &QRadioButton::clicked, text_, [this] { text_->setFocus(); });
  connect(findButton_, &QPushButton::clicked, this, [this] { FindClicked(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { reject(); });
  hex_->installEventFilter(this);
  text_->installEventFilter(this);
  resize(320, 150);
}

void FindDialog::Open() {
  if (!found_ && !searched_) setWindowTitle(Q(tools::kFindCaption));
  show();
  raise();
  activateWindow();
}

void FindDialog::HexChanged() {
  setWindowTitle(Q(tools::kFindReadyHex));
  searched_ = false;
  if (!hexButton_->isChecked() || mirroring_) return;
  mirroring_ = true;
  const std::string text = tools::HexToText(Latin(hex_->text()).toStdString());
  text_->setText(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
  mirroring_ = false;
}

void FindDialog::TextChanged() {
  setWindowTitle(Q(tools::kFindCaption));
  searched_ = false;
  if (!textButton_->isChecked() || mirroring_) return;
  mirroring_ = true;
  hex_->setText(QString::fromStdString(tools::TextToHex(Latin(text_->text()).toStdString())));
  mirroring_ = false;
}

void FindDialog::FindClicked() {
  if (hex_->text().size() % 2 != 0) return;  // an odd count of digits: nothing is searched
  if (find) find();
  searched_ = true;
}

void FindDialog::SetStatus(const char* caption, bool found) {
  found_ = found;
  setWindowTitle(QString::fromLatin1(caption));
}

bool FindDialog::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusIn) {
    if (watched == hex_) hexButton_->setChecked(true);
    if (watched == text_) textButton_->setChecked(true);
  }
  if (e->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, e);
  auto* k = static_cast<QKeyEvent*>(e);
  if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
    FindClicked();
    return true;
  }
  if (watched == hex_ && !k->text().isEmpty()) {
    const char16_t c = k->text().at(0).unicode();
    if (c > 255 || !tools::HexKeyAccepted(static_cast<unsigned char>(c))) return true;
  }
  return QDialog::eventFilter(watched, e);
}

}  // namespace quarnel
