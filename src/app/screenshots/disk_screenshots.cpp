#include "app/screenshots/disk_screenshots.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include "app/dialogs/find_on_disk_dialog.h"
#include "app/dialogs/properties_dialog.h"
#include "app/main/disk_actions.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/main_window.h"
#include "app/screenshots/screenshot_steps.h"

namespace quarnel {

bool RunDiskScreenshots(MainWindow& w, const QString& outDir) {
  DiskActions* actions = w.diskActions();
  if (!actions || !w.disk()) return true;
  bool ok = true;
  actions->findOnDisk()->trigger();
  if (FindOnDiskDialog* find = actions->findDialog()) {
    find->resize(560, 360);
    find->textButton()->setChecked(true);
    find->entry()->setText(QStringLiteral("msx"));
    find->Find();
    while (find->Running()) Settle(50);
    if (find->hitList()->topLevelItemCount() > 0)
      find->hitList()->setCurrentItem(find->hitList()->topLevelItem(0));
    Settle(300);
    ok = Save(WithTitleBar(*find), outDir, QStringLiteral("find-on-disk.png")) && ok;
    find->close();
  }
  // The first file of the list.
  const auto& rows = w.listModel()->Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].IsDirectory() || rows[i].IsVolume()) continue;
    auto* sel = w.fileList()->Selection();
    const QModelIndex at = w.listModel()->index(static_cast<int>(i), 0);
    sel->select(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    sel->setCurrentIndex(at, QItemSelectionModel::NoUpdate);
    break;
  }
  w.UpdateListMenu();
  actions->properties()->trigger();
  if (PropertiesDialog* props = actions->propertiesDialog()) {
    Settle(300);
    ok = Save(WithTitleBar(*props), outDir, QStringLiteral("properties.png")) && ok;
    props->reject();
  }
  Settle();
  return ok;
}

}  // namespace quarnel
