// The settings record on the window: Save Environment, the Setup dialogs, restart.
#include <QApplication>
#include <QDialog>
#include <QFontDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include "app/dialogs/qt_ui.h"
#include "app/main/file_list_view.h"
#include "app/main/setup_actions.h"
#include "app/messages.h"
#include "app/platform/win_color.h"
#include "app/viewer/hex_view.h"
#include "gui_fixture.h"

namespace quarnel::test {
namespace {

TEST_F(WindowTest, SaveEnvironmentWritesTheWholeRecord) {
  Start();
  EXPECT_FALSE(std::filesystem::exists(dir / "Quarnel.ini"));
  w->resize(700, 480);
  w->splitter()->setSizes({250, 450});
  w->settings().startFolder = dir.path().string();
  w->SaveSettings();
  auto bytes = ReadHostFile(dir / "Quarnel.ini");
  ASSERT_EQ(bytes.size(), 488u);
  auto rec = DecodeSettings(bytes);
  ASSERT_TRUE(rec);
  EXPECT_EQ(rec->windowWidth, "700");
  EXPECT_EQ(rec->windowHeight, "480");
  EXPECT_EQ(rec->splitterLeft, std::to_string(w->splitter()->sizes().value(0)));
  EXPECT_EQ(rec->windowLeft, std::to_string(w->x()));
  EXPECT_EQ(rec->startFolder, dir.path().string());

  // The next start applies it.
  w.reset();
  Start();
  EXPECT_EQ(w->width(), 700);
  EXPECT_EQ(w->height(), 480);
  EXPECT_EQ(w->browser()->Folder().toStdString(), dir.path().string());
}

TEST_F(WindowTest, NegativePositionsRoundTrip) {
  SettingsRecord r = FirstStartSettings(dir.path().string());
  r.windowLeft = "-4";
  ASSERT_TRUE(WriteSettingsFile(dir / "Quarnel.ini", r));
  Start();
  EXPECT_EQ(w->settings().windowLeft, "-4");
  w->SaveSettings();
  EXPECT_EQ(ReadSettingsFile(dir / "Quarnel.ini")->windowLeft, std::to_string(w->x()));
}

// A window whose place was saved on a larger screen, or on a first start on a small one, opens
// where its title bar can be grabbed and no larger than the screen; a place already within reach
// stays as saved.
TEST_F(WindowTest, TheWindowOpensWithinReachOfTheScreen) {
  struct Case {
    const char* what;
    const char *left, *top, *width, *height;
    bool keepsPlace;
  };
  const Case cases[] = {
      {"first start", nullptr, nullptr, nullptr, nullptr, false},
      {"saved on a larger screen", "3000", "2000", "2500", "1800", false},
      {"a few pixels over the left edge", "-4", "40", "500", "300", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(dir / "Quarnel.ini");
    if (c.left) {
      SettingsRecord r = FirstStartSettings(dir.path().string());
      r.windowLeft = c.left;
      r.windowTop = c.top;
      r.windowWidth = c.width;
      r.windowHeight = c.height;
      ASSERT_TRUE(WriteSettingsFile(dir / "Quarnel.ini", r));
    }
    Start();
    const QRect screen = w->screen()->availableGeometry();
    const QRect frame = w->frameGeometry();
    EXPECT_LE(w->width(), screen.width());
    EXPECT_LE(w->height(), screen.height());
    EXPECT_GE(frame.top(), screen.top());
    EXPECT_GE(frame.intersected(screen).width(), 100) << "title bar out of reach";
    // (the platform may shift a frame by its border width)
    if (c.keepsPlace) {
      EXPECT_NEAR(w->x(), std::stoi(c.left), 4);
    }
    w.reset();
  }
}

TEST_F(WindowTest, SetupDialogsAskWithTheirTitles) {
  Start();
  ui.folders.push_back(dir.path().string());
  w->setupActions()->startFolder()->trigger();
  w->setupActions()->textViewFont()->trigger();  // no title of its own yet
  w->setupActions()->basicViewFont()->trigger();
  w->setupActions()->textViewFont()->trigger();  // keeps the previous font dialog's title
  w->setupActions()->oemColors()->trigger();
  w->setupActions()->volumeColors()->trigger();
  w->setupActions()->treeLook()->trigger();
  w->setupActions()->listLook()->trigger();
  EXPECT_THAT(ui.titles,
              ::testing::ElementsAre(
                  "Select Startup Directory", "", "Choose Basic view font and keyword color",
                  "Choose Basic view font and keyword color", "Choose OEM Label's font color",
                  "Choose OEM label's background color", "Choose Volume name's font color",
                  "Choose Volume name's background color", "Choose Tree's font",
                  "Choose Tree's background color", "Choose Filelist's font",
                  "Choose Filelist's background color"));
  EXPECT_EQ(w->settings().startFolder, dir.path().string());
}

// The view-font dialogs open on the font the views show; Esc ends the whole dialog (its font part
// is a dialog of its own inside it, which Esc used to close alone, leaving an empty frame).
TEST_F(WindowTest, FontDialogsOpenOnTheViewsFontAndEndOnEsc) {
  Start();
  w->setupActions()->textViewFont()->trigger();
  w->setupActions()->basicViewFont()->trigger();
  EXPECT_THAT(ui.fontFamilies, ::testing::ElementsAre(FixedFamily(), FixedFamily()));

  QWidget parent;
  QtUi real(&parent, {});
  QColor colour(Qt::red);
  bool leftOpen = false;
  QTimer::singleShot(50, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog) return;
    if (auto* fonts = dialog->findChild<QFontDialog*>()) QTest::keyClick(fonts, Qt::Key_Escape);
    QTimer::singleShot(50, [&] {
      if (auto* still = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        leftOpen = true;
        still->reject();
      }
    });
  });
  EXPECT_FALSE(real.AskFont("Font", QFont(), &colour));
  EXPECT_FALSE(leftOpen);
}

// The first start (no settings file) shows the file list's last column whole.
TEST_F(WindowTest, TheFirstStartShowsEveryColumn) {
  Start();
  QApplication::processEvents();
  const QTreeView* list = w->fileList()->DetailView();
  const int last = list->header()->count() - 1;
  EXPECT_LE(list->header()->sectionViewportPosition(last) + app_text::kColumnWidths[last],
            list->viewport()->width());
}

TEST_F(WindowTest, ColoursApplyAtOnceButSurviveOnlyASavedEnvironment) {
  Start();
  w->SaveSettings();
  ui.fonts.push_back(std::nullopt);  // keep the list font
  ui.colors.push_back(QColor(10, 20, 30));
  w->setupActions()->listLook()->trigger();
  EXPECT_EQ(w->settings().listBackColor, 0x001E140Au);
  EXPECT_EQ(w->fileList()->DetailView()->palette().color(QPalette::Base), QColor(10, 20, 30));
  ui.colors.push_back(QColor(200, 0, 0));
  ui.colors.push_back(std::nullopt);  // background dialog cancelled
  w->setupActions()->oemColors()->trigger();
  EXPECT_EQ(w->settings().oemFontColor, 0x000000C8u);
  EXPECT_EQ(w->oemEdit()->palette().color(QPalette::Text), QColor(200, 0, 0));

  // Restart without saving: the old background.
  w.reset();
  Start();
  EXPECT_EQ(w->settings().listBackColor, kSysColorWindow);
  EXPECT_NE(w->fileList()->DetailView()->palette().color(QPalette::Base), QColor(10, 20, 30));
}

TEST_F(WindowTest, BasicFontChoiceStoresNameAndKeywordColour) {
  Start();
  QFont f;
  f.setFamily(QString(40, QChar('F')));
  ui.fonts.push_back(f);
  ui.colors.push_back(QColor(0, 0, 255));
  w->setupActions()->basicViewFont()->trigger();
  EXPECT_EQ(w->settings().basicViewFont.size(), 32u);
  EXPECT_EQ(w->settings().keywordColor, 0x00FF0000u);
}

TEST_F(WindowTest, TemporaryFolderIsEmptiedAtTheEnd) {
  Start();
  std::filesystem::create_directories(dir / "temp" / "keep");
  WriteHostFile(dir / "temp" / "temp.bmp", {1, 2});
  WriteHostFile(dir / "temp" / "X.BAS", {1});
  w.reset();
  EXPECT_FALSE(std::filesystem::exists(dir / "temp" / "temp.bmp"));
  EXPECT_FALSE(std::filesystem::exists(dir / "temp" / "X.BAS"));
  EXPECT_TRUE(std::filesystem::exists(dir / "temp" / "keep"));
}

TEST(AppPathsTest, FallsBackWhenTheProgramFolderIsNotWritable) {
  TempDir d;
  // A folder nobody can write into, whoever runs the test: one that does not exist.
  AppPaths p = AppPaths::For(QString::fromStdString((d / "gone" / "bin").string()));
  EXPECT_FALSE(p.besideProgram);
  EXPECT_TRUE(p.settingsFile.endsWith("/quarnel/Quarnel.ini"));
  EXPECT_TRUE(p.tempFolder.endsWith("/quarnel/temp"));
  EXPECT_FALSE(p.settingsFile.startsWith(QString::fromStdString(d.path().string())));
}

TEST(AppPathsTest, BesideAWritableProgram) {
  TempDir d;
  AppPaths p = AppPaths::For(QString::fromStdString(d.path().string()));
  EXPECT_TRUE(p.besideProgram);
  EXPECT_EQ(p.settingsFile.toStdString(), (d / "Quarnel.ini").string());
  EXPECT_EQ(p.tempFolder.toStdString(), (d / "temp").string());
}

TEST(AppPathsTest, InstalledProgramUsesTheUsersFoldersEvenWhenItsFolderIsWritable) {
  TempDir d;
  std::filesystem::create_directories(d / "bin");
  std::filesystem::create_directories(d / "share" / "quarnel");
  AppPaths p = AppPaths::For(QString::fromStdString((d / "bin").string()));
  EXPECT_FALSE(p.besideProgram);
  EXPECT_TRUE(p.settingsFile.endsWith("/quarnel/Quarnel.ini"));
  EXPECT_FALSE(p.settingsFile.startsWith(QString::fromStdString(d.path().string())));
  EXPECT_FALSE(p.tempFolder.startsWith(QString::fromStdString(d.path().string())));
}

TEST(WinColor, RgbAndSystemColours) {
  QPalette pal;
  EXPECT_EQ(ColorFromWin(0x00FF8000, pal), QColor(0x00, 0x80, 0xFF));
  EXPECT_EQ(WinFromColor(QColor(0x00, 0x80, 0xFF)), 0x00FF8000u);
  EXPECT_EQ(ColorFromWin(kSysColorWindow, pal), pal.color(QPalette::Base));
  EXPECT_EQ(ColorFromWin(kSysColorWindowText, pal), pal.color(QPalette::Text));
}

}  // namespace
}  // namespace quarnel::test
