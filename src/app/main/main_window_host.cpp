// The host browser's own actions ("Dos Functions"), the conversions of its files, and the
// commands of the host menus that other parts of the program provide.
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include "app/dialogs/qt_ui.h"
#include "app/main/document.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "app/messages.h"
#include "formats/disk_convert.h"
#include "formats/messages.h"

namespace quarnel {

void MainWindow::ShowHostInFileManager() {
  QString p = browser_->SelectedPath();
  QString folder = p.isEmpty() ? browser_->Folder() : QFileInfo(p).absolutePath();
  QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWindow::CopyHostPath() {
  QString p = browser_->SelectedPath();
  if (!p.isEmpty()) QGuiApplication::clipboard()->setText(QDir::toNativeSeparators(p));
}

void MainWindow::RenameHostFile() {
  QString p = browser_->SelectedPath();
  if (p.isEmpty()) return;
  QFileInfo fi(p);
  auto name = ui_->AskText(app_text::kHostRenameTitle, fi.fileName(), fi.fileName());
  if (!name || name->isEmpty() || *name == fi.fileName()) return;
  if (name->contains(QLatin1Char('/'))) {
    Confirm(QString::fromLatin1(app_text::kHostNameBad));
    return;
  }
  QString target = fi.dir().filePath(*name);
  if (QFileInfo::exists(target)) {
    Confirm(QString::fromLatin1(app_text::kHostNameTaken).arg(*name));
    return;
  }
  if (!QFile::rename(p, target)) {
    Confirm(QString::fromLatin1(app_text::kCannotRenameHost).arg(fi.fileName()));
    return;
  }
  browser_->Refresh();
  browser_->SelectPath(target);
}

void MainWindow::DeleteHostFile() {
  QString p = browser_->SelectedPath();
  if (p.isEmpty() || QFileInfo(p).isDir()) return;
  QString q = QString::fromLatin1(app_text::kHostDeleteQuestion).arg(QFileInfo(p).fileName());
  if (!ui_->AskYesNo(FromQ(q))) return;
  // Into the desktop's trash, where a slip can be undone; nothing is deleted past it.
  if (QFile::moveToTrash(p))
    browser_->Refresh();
  else
    ui_->Notify(FromQ(QString::fromLatin1(app_text::kCannotTrash).arg(QFileInfo(p).fileName())));
}

TargetQuestion AskTargetFor(Conversion conversion, const std::string& source) {
  const std::string target = WithExtension(source, ConversionTargetExtension(conversion));
  switch (conversion) {
    case Conversion::DdiToDsk:
      return {formats::msg::kConvertDdiTitle, target};
    case Conversion::ImgToDsk:
      return {formats::msg::kConvertImgTitle, target};
    case Conversion::MsxToDsk:
      return {formats::msg::kConvertMsxTitle, target};
    case Conversion::XsaToDsk:
      return {formats::msg::kConvertXsaTitle, target};
    case Conversion::DskToXsa:
      break;
  }
  return {formats::msg::kConvertDskTitle, target};
}

void MainWindow::ConvertSelected() {
  QString p = browser_->SelectedPath();
  if (!p.isEmpty()) ConvertHostFile(p);
}

void MainWindow::ConvertHostFile(const QString& path) {
  const std::string source = FromQ(path);
  const std::optional<Conversion> conversion = ConversionFor(source);
  if (!conversion) return;
  const TargetQuestion question = AskTargetFor(*conversion, source);
  const auto target = ui_->AskSavePath(question.title, question.proposed);
  if (!target || target->empty()) {
    browser_->Refresh();
    return;
  }
  setEnabled(false);
  const ConvertOutcome outcome = Convert(*conversion, source, *target);
  setEnabled(true);
  browser_->Refresh();
  if (!outcome.written()) {
    ui_->Notify(outcome.message);
    Confirm(QString::fromLatin1(app_text::kNotConvertedStatus).arg(ToQ(outcome.message)));
    return;
  }
  // A disk image made from another format opens at once, and the browser shows where it is.
  const QString made = QFileInfo(ToQ(*target)).absoluteFilePath();
  if (*conversion != Conversion::DskToXsa && OpenFile(FromQ(made))) {
    browser_->SetFolder(QFileInfo(made).absolutePath());
    browser_->SelectPath(made);
  }
  Confirm(QString::fromLatin1(app_text::kConvertedStatus).arg(QDir::toNativeSeparators(made)));
}

void MainWindow::DiskDetails() {
  QString p = browser_->SelectedPath();
  if (p.isEmpty()) return;
  // The details are those of one volume: of a card image, the partition entered.
  if (FromQ(p) == OpenPath() && RefusedAtPartitions()) return;
  document_->RequestDiskDetails(p);
}

void MainWindow::SectorView() {
  QString p = browser_->SelectedPath();
  if (p.isEmpty()) return;
  if (FromQ(p) == OpenPath() && RefusedAtPartitions()) return;
  document_->RequestSectorView(p);
}

void MainWindow::ShowInfo() {
  auto slotList = SelectedSlots();
  if (slotList.empty()) return;
  document_->RequestFileInfo(slotList.front());
}

}  // namespace quarnel
