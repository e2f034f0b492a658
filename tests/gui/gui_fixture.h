// A main window on real widgets with its own program folder, answering through a script.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <memory>
#include <string>
#include <vector>

#include "app/main/edit_actions.h"
#include "app/main/file_list_model.h"
#include "app/main/file_list_view.h"
#include "app/main/host_browser.h"
#include "app/main/main_window.h"
#include "scripted_app_ui.h"
#include "support/image_builder.h"
#include "support/test_env.h"

namespace quarnel::test {

// A small disk: a volume label, three files of different sizes and a subdirectory.
inline std::filesystem::path WriteDemoImage(const std::filesystem::path& p) {
  ImageBuilder b;
  b.AddVolume("DEMO");
  b.AddFile(kRoot, "README.TXT", Pattern(600, 1));
  b.AddFile(kRoot, "GAME.BAS", {0xFF, 0x01, 0x80, 0x0A, 0x00});
  b.AddFile(kRoot, "BIG.BIN", Pattern(5000, 2));
  std::uint16_t games = b.AddDirectory(kRoot, "GAMES");
  b.AddFile(games, "INSIDE.TXT", Pattern(40, 3));
  b.WriteTo(p);
  return p;
}

// The workspace of the disk image open in `w`; an empty one (no image) while a tape or nothing
// is open.
inline Workspace& Disk(MainWindow& w) {
  static Workspace none;
  none = Workspace{};
  return w.disk() ? *w.disk() : none;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    paths.exeFolder = QString::fromStdString(dir.path().string());
    paths.tempFolder = paths.exeFolder + "/temp";
    paths.settingsFile = paths.exeFolder + "/Quarnel.ini";
  }
  void TearDown() override {
    if (w) {
      if (w->disk()) w->disk()->MarkSaved();
      w.reset();
    }
  }

  MainWindow& Start(const std::vector<std::string>& extraArgs = {}) {
    QStringList args{QStringLiteral("quarnel")};
    for (const auto& a : extraArgs) args << QString::fromStdString(a);
    w = std::make_unique<MainWindow>(paths, args, &ui);
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->OpenPendingFile();
    return *w;
  }

  std::vector<std::string> Captions() const {
    std::vector<std::string> out;
    auto* m = w->listModel();
    for (int r = 0; r < m->rowCount(); ++r)
      out.push_back(m->data(m->index(r, 0), Qt::DisplayRole).toString().toStdString());
    return out;
  }
  std::string Cell(int row, int col) const {
    auto* m = w->listModel();
    return m->data(m->index(row, col), Qt::DisplayRole).toString().toStdString();
  }
  int RowOf(const std::string& caption) const {
    auto c = Captions();
    for (std::size_t i = 0; i < c.size(); ++i)
      if (c[i] == caption) return static_cast<int>(i);
    return -1;
  }
  void Select(const std::vector<std::string>& captions) {
    auto* sel = w->fileList()->Selection();
    sel->clearSelection();
    for (const auto& c : captions) {
      int r = RowOf(c);
      ASSERT_GE(r, 0) << c;
      QModelIndex i = w->listModel()->index(r, 0);
      sel->select(i, QItemSelectionModel::Select | QItemSelectionModel::Rows);
      sel->setCurrentIndex(i, QItemSelectionModel::NoUpdate);
    }
  }
  QAbstractItemView* View() const { return w->fileList()->CurrentView(); }
  void ClickHeader(int section) {
    QHeaderView* h = w->fileList()->DetailView()->header();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(section) + 10, h->height() / 2));
  }
  void DoubleClick(const std::string& caption) {
    int r = RowOf(caption);
    ASSERT_GE(r, 0) << caption;
    QRect rect = View()->visualRect(w->listModel()->index(r, 0));
    QTest::mouseClick(View()->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(View()->viewport(), Qt::LeftButton, {}, rect.center());
  }
  // Drops host files onto the list as a file manager would.
  void DropOnList(const std::vector<std::filesystem::path>& files) {
    auto* mime = new QMimeData;
    QList<QUrl> urls;
    for (const auto& f : files) urls << QUrl::fromLocalFile(QString::fromStdString(f.string()));
    mime->setUrls(urls);
    QWidget* vp = View()->viewport();
    QPoint at = vp->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, {});
    QApplication::sendEvent(vp, &drop);
    delete mime;
  }
  std::map<std::string, bool> MenuState() {
    w->UpdateListMenu();
    std::map<std::string, bool> out;
    for (QAction* a : w->fileListMenu()->actions())
      if (!a->text().isEmpty()) out[a->text().toStdString()] = a->isEnabled();
    return out;
  }

  TempDir dir;
  AppPaths paths;
  ScriptedAppUi ui;
  std::unique_ptr<MainWindow> w;
};

}  // namespace quarnel::test
