#include "app/dialogs/qt_ui.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/dialogs/rename_dialog.h"
#include "app/messages.h"
#include "core/messages.h"
#include "viewers/msx_charset.h"

namespace quarnel {

QString ToQ(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
std::string FromQ(const QString& s) { return s.toStdString(); }
std::string FromImageText(const QString& s, const viewers::MsxCharset& cs) {
  const QByteArray utf8 = s.toUtf8();
  auto bytes = cs.FromUtf8(std::string_view(utf8.data(), static_cast<std::size_t>(utf8.size())));
  return bytes ? *bytes : s.toLatin1().toStdString();
}
QString ImageText(std::string_view s, const viewers::MsxCharset& cs) { return ToQ(cs.ToUtf8(s)); }

namespace {

// A font dialog with a colour choice beside it (the font dialog of Qt offers none).
class FontColorDialog : public QDialog {
 public:
  FontColorDialog(QWidget* parent, const QString& title, const QFont& font, const QColor& color)
      : QDialog(parent), color_(color) {
    setWindowTitle(title);
    fonts_ = new QFontDialog(font, this);
    fonts_->setOptions(QFontDialog::NoButtons);
    fonts_->setWindowFlags(Qt::Widget);
    // Esc or Enter inside the font part ends the whole dialog, not only its font part.
    connect(fonts_, &QDialog::finished, this,
            [this](int result) { result == QDialog::Accepted ? accept() : reject(); });
    colorButton_ = new QPushButton(tr("Colour..."), this);
    swatch_ = new QLabel(this);
    swatch_->setFixedSize(40, 20);
    ShowColor();
    connect(colorButton_, &QPushButton::clicked, this, [this] {
      QColor c = QColorDialog::getColor(color_, this, windowTitle());
      if (c.isValid()) {
        color_ = c;
        ShowColor();
      }
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(colorButton_);
    row->addWidget(swatch_);
    row->addStretch();
    auto* box = new QVBoxLayout(this);
    box->addWidget(fonts_);
    box->addLayout(row);
    box->addWidget(buttons);
  }
  QFont font() const { return fonts_->currentFont(); }
  QColor color() const { return color_; }

 private:
  void ShowColor() {
    swatch_->setStyleSheet(
        QStringLiteral("background:%1;border:1px solid gray").arg(color_.name()));
  }
  QFontDialog* fonts_;
  QPushButton* colorButton_;
  QLabel* swatch_;
  QColor color_;
};

}  // namespace

QString SaveFilterText(SaveFilter filter) {
  switch (filter) {
    case SaveFilter::AnyFile:
      return {};
    case SaveFilter::DiskImage: {
      // The core's filters are written "Description|*.ext"; Qt wants "Description".
      const std::string_view description =
          app_text::kDiskImageFilter.substr(0, app_text::kDiskImageFilter.find('|'));
      return ToQ(description) + QString::fromLatin1(app_text::kAllFilesFilter);
    }
    case SaveFilter::Picture:
      return QString::fromLatin1(app_text::kPictureFilter);
  }
  return {};
}

QtUi::QtUi(QWidget* parent, std::function<void(const QString&)> status)
    : parent_(parent), status_(std::move(status)) {
  rename_ = new RenameDialog(parent);
}

QtUi::~QtUi() = default;

void QtUi::Notify(std::string_view message) {
  QMessageBox::information(parent_, QString::fromLatin1(app_text::kAppTitle), ToQ(message));
}

bool QtUi::AskYesNo(std::string_view question) {
  return AskYesNoTitled(app_text::kAppTitle, question);
}

bool QtUi::AskYesNoTitled(std::string_view caption, std::string_view question) {
  return QMessageBox::question(parent_, ToQ(caption), ToQ(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

SaveChoice QtUi::AskSaveChanges(std::string_view name) {
  const auto answer = QMessageBox::question(
      parent_, QString::fromLatin1(app_text::kAppTitle),
      QString::fromLatin1(app_text::kSaveChangesTo) + ToQ(name) + QLatin1Char('?'),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return SaveChoice::Save;
  if (answer == QMessageBox::Discard) return SaveChoice::DontSave;
  return SaveChoice::Cancel;
}

DiskChangedChoice QtUi::AskDiskChanged(std::string_view name) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(app_text::kDiskChangedTitle),
                  QString::fromLatin1(app_text::kDiskChanged).arg(ToQ(name)), QMessageBox::NoButton,
                  parent_);
  QPushButton* overwrite =
      box.addButton(QString::fromLatin1(app_text::kOverwriteButton), QMessageBox::DestructiveRole);
  QPushButton* saveAs =
      box.addButton(QString::fromLatin1(app_text::kSaveAsButton), QMessageBox::AcceptRole);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(saveAs);
  box.exec();
  if (box.clickedButton() == overwrite) return DiskChangedChoice::Overwrite;
  if (box.clickedButton() == saveAs) return DiskChangedChoice::SaveAs;
  return DiskChangedChoice::Cancel;
}

ReplaceAnswer QtUi::AskReplace(std::string_view name, bool several) {
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(app_text::kReplaceEntryTitle),
                  QString::fromLatin1(app_text::kReplaceEntry).arg(ToQ(name)),
                  QMessageBox::NoButton, parent_);
  QPushButton* replace =
      box.addButton(QString::fromLatin1(app_text::kReplaceButton), QMessageBox::AcceptRole);
  QPushButton* skip =
      box.addButton(QString::fromLatin1(app_text::kSkipButton), QMessageBox::RejectRole);
  box.addButton(QMessageBox::Cancel);
  box.setDefaultButton(skip);
  if (several) box.setCheckBox(new QCheckBox(QString::fromLatin1(app_text::kForAllFiles)));
  box.exec();
  ReplaceAnswer a;
  a.forAll = box.checkBox() && box.checkBox()->isChecked();
  a.choice = box.clickedButton() == replace ? ReplaceChoice::Replace
             : box.clickedButton() == skip  ? ReplaceChoice::Skip
                                            : ReplaceChoice::Cancel;
  return a;
}

std::optional<std::string> QtUi::AskSavePath(std::string_view title,
                                             std::string_view suggestedPath) {
  return AskSaveFile(title, suggestedPath, SaveFilter::AnyFile);
}

std::optional<std::string> QtUi::AskNewName(std::string_view hostName) {
  auto r = rename_->Ask(ToQ(hostName));
  if (!r) return std::nullopt;
  return FromQ(*r);
}

void QtUi::Status(std::string_view text) {
  if (status_) status_(ToQ(text));
}

std::optional<std::string> QtUi::AskOpenPath(std::string_view title, std::string_view folder) {
  QString p = QFileDialog::getOpenFileName(parent_, ToQ(title), ToQ(folder));
  if (p.isEmpty()) return std::nullopt;
  return FromQ(p);
}

std::vector<std::string> QtUi::AskOpenPaths(std::string_view title, std::string_view folder) {
  std::vector<std::string> out;
  for (const QString& p : QFileDialog::getOpenFileNames(parent_, ToQ(title), ToQ(folder)))
    out.push_back(FromQ(p));
  return out;
}

std::optional<std::string> QtUi::AskSaveFile(std::string_view title, std::string_view suggested,
                                             SaveFilter filter) {
  QString start = ToQ(suggested);
  if (!start.isEmpty() && QFileInfo(start).isRelative() && defaultFolder)
    start = QDir(defaultFolder()).filePath(start);
  QString filters = SaveFilterText(filter);
  QString p = QFileDialog::getSaveFileName(parent_, ToQ(title), start, filters);
  if (p.isEmpty()) return std::nullopt;
  return FromQ(p);
}

std::optional<std::string> QtUi::AskFolder(std::string_view title, std::string_view start) {
  QString p = QFileDialog::getExistingDirectory(parent_, ToQ(title), ToQ(start));
  if (p.isEmpty()) return std::nullopt;
  return FromQ(p);
}

std::optional<QColor> QtUi::AskColor(std::string_view title, const QColor& initial) {
  QColor c = QColorDialog::getColor(initial, parent_, ToQ(title));
  if (!c.isValid()) return std::nullopt;
  return c;
}

std::optional<QFont> QtUi::AskFont(std::string_view title, const QFont& initial, QColor* color) {
  if (color) {
    FontColorDialog d(parent_, ToQ(title), initial, *color);
    if (d.exec() != QDialog::Accepted) return std::nullopt;
    *color = d.color();
    return d.font();
  }
  bool ok = false;
  QFont f = QFontDialog::getFont(&ok, initial, parent_, ToQ(title));
  if (!ok) return std::nullopt;
  return f;
}

std::optional<QString> QtUi::AskText(std::string_view title, const QString& label,
                                     const QString& initial) {
  bool ok = false;
  QString t = QInputDialog::getText(parent_, ToQ(title), label, QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return t;
}

}  // namespace quarnel
