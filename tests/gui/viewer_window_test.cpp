// The viewer window as a user drives it from the main window and from its own popup menu:
// BASIC listing, text, masked text and hex views, fonts, word wrap, copying, the menu table.
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScreen>
#include <QSpinBox>
#include <QTextCursor>
#include <utility>

#include "core/volume.h"
#include "viewer_fixture.h"
#include "viewers/basic_export.h"

namespace quarnel::test {
namespace {

constexpr char kHelloListing[] =
    "   10  REM Quarnel demo program\n"
    "   20  CLS\n"
    "   30  PRINT \"Hello from Quarnel!\"\n"
    "   40  FOR I=1 TO 10\n"
    "   50  PRINT I;I*I;255\n"
    "   60  Next I\n"
    "   70  A$=\"MSX\":PRINT A$;\" BASIC\";3.14159 E 0\n"
    "   80  IF INKEY$=\"\" THEN 80\n"
    "   90  GOTO 30\n";

TEST_F(ViewerTest, TheViewerAppearsWithTheFirstViewOnTheScreenInTheFontItsBoxesName) {
  ViewerWindow& viewer = StartWithImage();
  // Nothing viewed yet: no empty window pops up.
  EXPECT_FALSE(viewer.isVisible());
  EXPECT_TRUE(viewer.viewMode() == ViewerMode::None);

  Open("README.TXT");
  ASSERT_TRUE(viewer.isVisible());
  const QRect screen = viewer.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(viewer.frameGeometry())) << "viewer not wholly on the screen";
  // The boxes name the font the text is drawn in.
  QTextCursor first(viewer.richEdit()->document());
  first.movePosition(QTextCursor::NextCharacter);
  const QTextCharFormat drawn = first.charFormat();
  const QFont fallback = viewer.richEdit()->document()->defaultFont();
  const QStringList families = drawn.fontFamilies().toStringList();
  EXPECT_EQ(viewer.fontName()->currentText(),
            families.isEmpty() ? fallback.family() : families.front());
  EXPECT_EQ(viewer.fontSize()->value(), drawn.fontPointSize() > 0
                                            ? static_cast<int>(drawn.fontPointSize() + 0.5)
                                            : fallback.pointSize());
}

TEST_F(ViewerTest, DoubleClickOnABasicProgramListsItWithBoldColouredKeywords) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Basic);
  EXPECT_EQ(viewer.windowTitle(), "Basic Listing : HELLO.BAS");
  EXPECT_TRUE(viewer.richEdit()->isVisible());
  EXPECT_TRUE(viewer.panel()->isVisible());
  EXPECT_FALSE(viewer.grid()->isVisible());
  EXPECT_EQ(PlainText(), kHelloListing);

  const QColor keyword(0, 0, 0x80);  // the first start's keyword colour, navy
  for (const char* k : {"REM", "PRINT", "FOR", "TO", "Next", "GOTO", "INKEY$=", "THEN"}) {
    QTextFragment f = Fragment(QString::fromLatin1(k));
    ASSERT_TRUE(f.isValid()) << k;
    EXPECT_EQ(f.charFormat().fontWeight(), QFont::Bold) << k;
    EXPECT_EQ(f.charFormat().foreground().color(), keyword) << k;
  }
  QTextFragment number = Fragment(QStringLiteral("   10  "));
  ASSERT_TRUE(number.isValid());
  EXPECT_NE(number.charFormat().fontWeight(), QFont::Bold);
  EXPECT_EQ(number.charFormat().foreground().color(), QColor(Qt::black));
  // The font boxes show the listing's font; the caret is at the start.
  EXPECT_EQ(viewer.fontName()->currentText(), viewer.richEdit()->CurrentFontName());
  EXPECT_EQ(viewer.richEdit()->textCursor().position(), 0);
  EXPECT_TRUE(ui.core.messages.empty());
  EXPECT_TRUE(w->isEnabled());
}

// "MSX keywords" lists the program as MSX-BASIC's LIST does, the text export line for line, its
// keywords still marked; the choice is kept with the settings and taken back by a second click.
TEST_F(ViewerTest, MsxKeywordsListTheProgramAsTheTextExport) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  ASSERT_TRUE(viewer.msxKeywordsAction()->isVisible());
  viewer.msxKeywordsAction()->trigger();
  EXPECT_TRUE(w->settings().msxKeywords);
  EXPECT_TRUE(viewer.msxKeywordsAction()->isChecked());
  std::optional<FileEntry> hello;
  for (const FileEntry& e : w->disk()->Entries())
    if (e.Caption() == "HELLO.BAS") hello = e;
  ASSERT_TRUE(hello);
  const FileRead r = ReadFile(w->disk()->image, *hello);
  std::string exported = *viewers::ExportBasicText(Bytes(r.bytes.data(), r.bytes.size()));
  exported.pop_back();  // the 0x1A
  std::string lines;
  for (char c : exported)
    if (c != '\r') lines.push_back(c);
  EXPECT_EQ(PlainText(), lines);
  const QTextFragment next = Fragment(QStringLiteral("NEXT"));
  ASSERT_TRUE(next.isValid());
  EXPECT_EQ(next.charFormat().fontWeight(), QFont::Bold);
  EXPECT_EQ(DecodeSettings(EncodeSettings(w->settings()))->msxKeywords, true);
  viewer.msxKeywordsAction()->trigger();
  EXPECT_EQ(PlainText(), kHelloListing);
}

TEST_F(ViewerTest, TheListingUsesTheBasicFontAndKeywordColourOfTheSettings) {
  StartWithImage();
  w->settings().basicViewFont = "DejaVu Serif";
  w->settings().keywordColor = 0x000000FFu;  // red as 0x00BBGGRR
  Open("HELLO.BAS");
  QTextFragment f = Fragment(QStringLiteral("PRINT"));
  ASSERT_TRUE(f.isValid());
  EXPECT_EQ(f.charFormat().foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(f.charFormat().fontFamilies().toStringList().value(0), "DejaVu Serif");
  EXPECT_EQ(v->fontName()->currentText(), "DejaVu Serif");
}

TEST_F(ViewerTest, ThePopupSwitchesTheSameFileToHexTextAndMaskedText) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  const auto hello = demo::HelloBas();

  viewer.Action(ViewSelector::Hex)->trigger();
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Hex);
  EXPECT_EQ(viewer.windowTitle(), "Hex Display of : HELLO.BAS");
  EXPECT_TRUE(viewer.grid()->isVisible());
  EXPECT_FALSE(viewer.richEdit()->isVisible());  // no header strip for a BASIC file
  EXPECT_FALSE(viewer.panel()->isVisible());
  HexModel* m = viewer.grid()->Model();
  EXPECT_EQ(m->GridCell(1, 0), "0");
  EXPECT_EQ(m->GridCell(1, 2), "FF");
  EXPECT_EQ(m->GridCell(2, 0), "10");
  EXPECT_EQ(m->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "0");
  EXPECT_EQ(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "0");
  EXPECT_EQ(m->rowCount(), static_cast<int>((hello.size() + 15) / 16));
  EXPECT_EQ(viewer.width(), 32 * 16 + 120);  // n = 16 for 642 pixels
  EXPECT_EQ(viewer.grid()->CurrentGridColumn(), 2);
  EXPECT_EQ(viewer.grid()->CurrentGridRow(), 1);
  EXPECT_EQ(viewer.grid()->columnWidth(0), 8);
  EXPECT_EQ(viewer.grid()->columnWidth(1), 20);
  EXPECT_EQ(viewer.grid()->columnWidth(17), 8);
  EXPECT_EQ(viewer.grid()->columnWidth(18), 12);

  viewer.Action(ViewSelector::Text)->trigger();
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Text);
  EXPECT_EQ(viewer.windowTitle(), "Ascii Display of : HELLO.BAS");
  EXPECT_TRUE(viewer.richEdit()->isVisible());
  EXPECT_FALSE(viewer.grid()->isVisible());
  EXPECT_NE(PlainText().find("Hello from Quarnel!"), std::string::npos);

  viewer.Action(ViewSelector::MaskedText)->trigger();
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Text);
  const QString masked = viewer.richEdit()->toPlainText();
  EXPECT_TRUE(masked.startsWith(QStringLiteral(".")));  // the 0xFF mark
  for (QChar c : masked)
    EXPECT_TRUE(c == '\n' || c == '\t' || (c >= ' ' && c <= '~')) << int(c.unicode());

  // Back to the listing from the viewer's own menu.
  viewer.Action(ViewSelector::Basic)->trigger();
  EXPECT_EQ(PlainText(), kHelloListing);
}

TEST_F(ViewerTest, ThePopupActsOnTheFileLastViewedWhateverIsSelected) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  viewer.Action(ViewSelector::Hex)->trigger();
  Select({"README.TXT"});
  viewer.Action(ViewSelector::Basic)->trigger();
  EXPECT_EQ(viewer.windowTitle(), "Basic Listing : HELLO.BAS");
  EXPECT_EQ(PlainText(), kHelloListing);
}

TEST_F(ViewerTest, ShortcutsOfTheViewerWork) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  viewer.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
  QTest::keyClick(&viewer, Qt::Key_F9);
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Hex);
  QTest::keyClick(&viewer, Qt::Key_F3);
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Text);
  QTest::keyClick(&viewer, Qt::Key_A, Qt::AltModifier);
  EXPECT_TRUE(viewer.richEdit()->textCursor().hasSelection());
  QTest::keyClick(&viewer, Qt::Key_F4);
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Basic);
}

TEST_F(ViewerTest, TextViewsShowLinesAndMaskTheRest) {
  ViewerWindow& viewer = StartWithImage();
  Open("README.TXT");  // .TXT opens as text
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Text);
  EXPECT_EQ(viewer.windowTitle(), "Ascii Display of : README.TXT");
  // CR LF is one line end; the block ends with a line end of its own.
  // Bytes above 0x7F are the characters of the MSX character set.
  EXPECT_EQ(PlainText(), "Quarnel demo\nSecond line\nThird \u0398\u2588 line\n");
  w->ViewWith(ViewSelector::MaskedText);
  EXPECT_EQ(PlainText(), "Quarnel demo.\nSecond line\nThird .. line\n");
}

TEST_F(ViewerTest, AComFileGetsTheHeaderStrip) {
  ViewerWindow& viewer = StartWithImage();
  Select({"TOOL.COM"});
  w->ViewWith(ViewSelector::Hex);
  EXPECT_TRUE(viewer.richEdit()->isVisible());
  EXPECT_EQ(viewer.richEdit()->height(), 60);
  EXPECT_EQ(PlainText(), "Start address:  100\nRun   address:  100\nEnd   address:  22C");
  EXPECT_EQ(viewer.grid()->Model()->GridCell(1, 0), "100");
  EXPECT_EQ(viewer.grid()->Model()->GridCell(2, 0), "110");
  // The grid has the focus, once the main window is usable again.
  EXPECT_TRUE(w->isEnabled());
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.grid()->hasFocus(); }, 2000));
}

TEST_F(ViewerTest, ABsaveFileGetsItsAddressesInTheStrip) {
  ViewerWindow& viewer = StartWithImage();
  Select({"DEMO.SC2"});
  w->ViewWith(ViewSelector::Hex);
  EXPECT_EQ(PlainText(), "Start address:    0\nEnd   address: 37FF\nRun   address:    0");
  HexModel* m = viewer.grid()->Model();
  EXPECT_EQ(m->GridCell(1, 0), "0");
  EXPECT_EQ(m->rowCount(), 0x3800 / 16);
  // The bytes after the 7 header bytes.
  EXPECT_EQ(m->GridCell(1, 2).toStdString(), "F0");
}

TEST_F(ViewerTest, AFontChosenInTheBasicViewBecomesTheBasicFontOnly) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  const std::string textFont = w->settings().textViewFont;
  viewer.SelectAllText();
  int at = viewer.fontName()->findText(QStringLiteral("DejaVu Serif"));
  ASSERT_GE(at, 0);
  viewer.fontName()->setCurrentIndex(at);
  emit viewer.fontName()->activated(at);
  EXPECT_EQ(w->settings().basicViewFont, "DejaVu Serif");
  EXPECT_EQ(w->settings().textViewFont, textFont);
  EXPECT_EQ(Fragment(QStringLiteral("PRINT")).charFormat().fontFamilies().toStringList().value(0),
            "DejaVu Serif");

  // The size box applies to the selection; 0 changes nothing.
  viewer.fontSize()->setValue(14);
  EXPECT_EQ(Fragment(QStringLiteral("PRINT")).charFormat().fontPointSize(), 14);
  viewer.fontSize()->setValue(0);
  EXPECT_EQ(Fragment(QStringLiteral("PRINT")).charFormat().fontPointSize(), 14);
}

TEST_F(ViewerTest, AFontChosenInTheTextViewBecomesTheTextFontAndInTheHexViewNothing) {
  ViewerWindow& viewer = StartWithImage();
  Open("README.TXT");
  int at = viewer.fontName()->findText(QStringLiteral("DejaVu Sans"));
  ASSERT_GE(at, 0);
  emit viewer.fontName()->activated(at);
  EXPECT_EQ(w->settings().textViewFont, "DejaVu Sans");

  const SettingsRecord before = w->settings();
  viewer.Action(ViewSelector::Hex)->trigger();
  int serif = viewer.fontName()->findText(QStringLiteral("DejaVu Serif"));
  emit viewer.fontName()->activated(serif);
  EXPECT_EQ(w->settings(), before);

  // A report's mode stores nothing either.
  viewer.SetViewMode(ViewerMode::FileInfo);
  emit viewer.fontName()->activated(serif);
  EXPECT_EQ(w->settings(), before);
}

TEST_F(ViewerTest, TheFontListHoldsTheInstalledFontsSorted) {
  ViewerWindow& viewer = StartWithImage();
  QStringList items;
  for (int i = 0; i < viewer.fontName()->count(); ++i) items << viewer.fontName()->itemText(i);
  EXPECT_TRUE(items.contains(QStringLiteral("DejaVu Sans Mono")));
  QStringList sorted = items;
  sorted.sort(Qt::CaseInsensitive);
  EXPECT_EQ(items, sorted);
}

TEST_F(ViewerTest, WordWrapSelectAllAndCopyOfText) {
  ViewerWindow& viewer = StartWithImage();
  Open("README.TXT");
  EXPECT_EQ(viewer.richEdit()->lineWrapMode(), QPlainTextEdit::NoWrap);
  viewer.ToggleWordWrap();
  EXPECT_EQ(viewer.richEdit()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  viewer.ToggleWordWrap();
  EXPECT_EQ(viewer.richEdit()->lineWrapMode(), QPlainTextEdit::NoWrap);

  QClipboard* cb = QGuiApplication::clipboard();
  cb->setText(QStringLiteral("before"));
  viewer.CopyToClipboard();  // nothing selected: nothing copied
  EXPECT_EQ(cb->text(), "before");
  QTextCursor c = viewer.richEdit()->textCursor();
  c.setPosition(0);
  c.setPosition(7, QTextCursor::KeepAnchor);
  viewer.richEdit()->setTextCursor(c);
  viewer.CopyToClipboard();
  EXPECT_EQ(cb->text(), "Quarnel");
  viewer.SelectAllText();
  viewer.CopyToClipboard();
  EXPECT_TRUE(cb->text().startsWith(QStringLiteral("Quarnel demo\nSecond line")));
}

// (viewMode, views, wrap/select all, copy, picture, search) visible and enabled.
struct MenuRow {
  const char* mode;
  ViewerMode viewMode;
  viewers::PictureMode picture;
  bool views, wrapSelect, copy, pictureEntry, search;
};

TEST_F(ViewerTest, ThePopupMenuFollowsTheViewMode) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  // Without a search to run, "Search" is shown but grey.
  auto search = std::exchange(viewer.search, nullptr);
  viewer.SetViewMode(ViewerMode::Basic);
  viewer.UpdatePopupMenu();
  EXPECT_TRUE(viewer.searchAction()->isVisible());
  EXPECT_FALSE(viewer.searchAction()->isEnabled());
  viewer.search = search ? search : [] {};
  using Pm = viewers::PictureMode;
  const MenuRow table[] = {
      {"SECTOR", ViewerMode::Sector, {}, false, false, false, false, true},
      {"HEX", ViewerMode::Hex, {}, true, false, false, true, true},
      {"SCREEN 2", ViewerMode::Picture, Pm::Screen2, true, false, true, true, false},
      {"SCREEN 5", ViewerMode::Picture, Pm::Screen5, true, false, true, true, false},
      {"SCREEN 7", ViewerMode::Picture, Pm::Screen7, true, false, true, true, false},
      {"SCREEN 8", ViewerMode::Picture, Pm::Screen8, true, false, true, true, false},
      {"SCREEN 12", ViewerMode::Picture, Pm::Screen12, true, false, true, true, false},
      {"BASIC", ViewerMode::Basic, {}, true, true, true, true, true},
      {"ASCII", ViewerMode::Text, {}, true, true, true, true, true},
      {"FILE INFO", ViewerMode::FileInfo, {}, true, true, true, true, true},
      {"", ViewerMode::None, {}, true, true, true, true, true},
  };
  for (const MenuRow& r : table) {
    viewer.SetViewMode(r.viewMode, r.picture);
    viewer.UpdatePopupMenu();
    auto state = [](QAction* a, bool on) { return a->isVisible() == on && a->isEnabled() == on; };
    for (ViewSelector s :
         {ViewSelector::Basic, ViewSelector::Hex, ViewSelector::Text, ViewSelector::MaskedText})
      EXPECT_TRUE(state(viewer.Action(s), r.views)) << r.mode;
    EXPECT_TRUE(state(viewer.wordWrapAction(), r.wrapSelect)) << r.mode;
    EXPECT_TRUE(state(viewer.selectAllAction(), r.wrapSelect)) << r.mode;
    EXPECT_TRUE(state(viewer.copyAction(), r.copy)) << r.mode;
    EXPECT_TRUE(state(viewer.pictureAction(), r.pictureEntry)) << r.mode;
    EXPECT_TRUE(state(viewer.searchAction(), r.search)) << r.mode;
  }
  // The menu's texts as the user reads them.
  QStringList texts;
  for (QAction* a : viewer.popupMenu()->actions())
    if (!a->isSeparator()) texts << a->text();
  EXPECT_EQ(texts,
            QStringList({"Basic Listing", "Hex view", "Text view", "Text ( - msb )", "Picture",
                         "Select All", "Word Wrap", "Copy to Clipboard", "Search",
                         "Save picture as...", "MSX colours", "Zoom", "Next picture",
                         "Previous picture", "Save as text...", "MSX keywords", "Character set"}));
}

TEST_F(ViewerTest, ARightClickOpensThePopupMenuInEveryView) {
  ViewerWindow& viewer = StartWithImage();
  Open("HELLO.BAS");
  QWidget* area = viewer.richEdit()->viewport();
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                          area->mapToGlobal(QPoint(20, 20)));
  QApplication::sendEvent(area, &click);
  EXPECT_TRUE(QTest::qWaitFor([&] { return viewer.popupMenu()->isVisible(); }, 2000));
  viewer.popupMenu()->hide();

  // Shown in the sector view, the window keeps its menu, with Search in it.
  viewer.hide();
  viewer.SetViewMode(ViewerMode::Sector);
  viewer.show();
  EXPECT_TRUE(viewer.searchAction()->isEnabled());
  EXPECT_TRUE(viewer.searchAction()->isVisible());
}

TEST_F(ViewerTest, ClosingOnlyHidesTheWindowAndTheNextViewShowsItAgain) {
  ViewerWindow& viewer = StartWithImage();
  bool closed = false;
  viewer.closing = [&] { closed = true; };
  Open("HELLO.BAS");
  viewer.close();
  EXPECT_TRUE(closed);
  EXPECT_FALSE(viewer.isVisible());
  EXPECT_EQ(w->findChildren<ViewerWindow*>().size(), 1);
  Open("README.TXT");
  EXPECT_TRUE(viewer.isVisible());
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Text);
}

// A program saved as text (first byte not 0xFF) is listed as it stands, its keywords marked,
// under the listing's caption; nothing is asked or reported. (It once gave an empty listing under
// the previous view's caption.)
TEST_F(ViewerTest, AProgramSavedAsTextIsListedWithItsKeywordsMarked) {
  ViewerWindow& viewer = StartWithImage();
  Open("README.TXT");
  Select({"TOOL.COM"});
  w->ViewWith(ViewSelector::Basic);
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Basic);
  EXPECT_EQ(viewer.windowTitle(), "Basic Listing : TOOL.COM");
  EXPECT_FALSE(viewer.saveAsTextAction()->isEnabled());  // no tokenised program to write

  const std::string text = "10 print \"hi\"\r\n20 goto 10\r\n\x1A";
  viewer.ShowFile({text.begin(), text.end()}, "SAVEDA", "BAS", ViewSelector::Basic);
  EXPECT_EQ(viewer.windowTitle(), "Basic Listing : SAVEDA.BAS");
  EXPECT_EQ(PlainText(), "10 PRINT \"hi\"\n20 GOTO 10\n");
  EXPECT_TRUE(Fragment(QStringLiteral("GOTO")).charFormat().font().bold());
  EXPECT_FALSE(Fragment(QStringLiteral(" 10")).charFormat().font().bold());
  EXPECT_TRUE(ui.core.messages.empty());
}

// "Save as text..." writes what an MSX lists; the Japanese set shows kana in the listing.
TEST(ViewerAlone, SaveAsTextAndTheJapaneseCharacterSet) {
  SettingsRecord settings = FirstStartSettings("/");
  ScriptedUi ui;
  ViewerWindow viewer(settings, ui);
  TempDir dir;
  std::vector<std::string> asked;
  viewer.askSavePath = [&](std::string_view title, std::string_view suggested) {
    asked = {std::string(title), std::string(suggested)};
    return std::optional<std::string>((dir / "OUT.ASC").string());
  };
  // 10 PRINT "<ka><na>":GOTO 10
  const std::vector<std::uint8_t> file = {0xFF, 0x10, 0x80, 10,   0,  0x91, '"', 0xB6, 0xC5,
                                          '"',  ':',  0x89, 0x0E, 10, 0,    0,   0,    0};
  viewer.ShowFile(file, "KANA", "BAS", ViewSelector::Basic);
  EXPECT_TRUE(viewer.saveAsTextAction()->isEnabled());
  viewer.saveAsTextAction()->trigger();
  EXPECT_EQ(asked, (std::vector<std::string>{"Save as text", "KANA.ASC"}));
  const std::vector<std::uint8_t> want = {'1', '0', ' ', 'P', 'R', 'I', 'N', 'T', '"',  0xB6, 0xC5,
                                          '"', ':', 'G', 'O', 'T', 'O', '1', '0', '\r', '\n', 0x1A};
  EXPECT_EQ(ReadHostFile(dir / "OUT.ASC"), want);

  const std::string international = viewers::MsxCharset::International().ToUtf8("\xB6\xC5");
  EXPECT_NE(viewer.richEdit()->toPlainText().indexOf(QString::fromStdString(international)), -1);
  viewer.charsetAction(true)->trigger();
  EXPECT_NE(viewer.richEdit()->toPlainText().indexOf(QString::fromUtf8("\"ｶﾅ\"")), -1);
  EXPECT_TRUE(viewer.charsetAction(true)->isChecked());
  EXPECT_FALSE(viewer.charsetAction(false)->isChecked());
}

TEST(ViewerAlone, ALinkPastTheEndShowsErrorAndTheListingGoesOn) {
  SettingsRecord settings = FirstStartSettings("/");
  ScriptedUi ui;
  ViewerWindow viewer(settings, ui);
  // Line 10 links far past the end; the lister reports it and still lists what it can.
  std::vector<std::uint8_t> file = {0xFF, 0x00, 0x90, 0x0A, 0x00, 0x91, 0x00, 0x00, 0x00};
  viewer.ShowFile(file, "BAD", "BAS", ViewSelector::Automatic);  // 0xFF: BASIC
  EXPECT_EQ(viewer.viewMode(), ViewerMode::Basic);
  EXPECT_THAT(ui.messages, ::testing::Contains("ERROR"));
  EXPECT_NE(viewer.richEdit()->toPlainText().indexOf(QStringLiteral("PRINT")), -1);
}

TEST(ViewerAlone, TextBlocksOf2048BytesEachEndALine) {
  SettingsRecord settings = FirstStartSettings("/");
  ScriptedUi ui;
  ViewerWindow viewer(settings, ui);
  std::vector<std::uint8_t> file(2049, 'a');
  file.back() = 'x';
  viewer.ShowFile(file, "LONG", "TXT", ViewSelector::Text);
  EXPECT_EQ(viewer.richEdit()->toPlainText(), QString(2048, 'a') + "\nx\n");
  file.pop_back();
  viewer.ShowFile(file, "LONG", "TXT", ViewSelector::Text);
  EXPECT_EQ(viewer.richEdit()->toPlainText(), QString(2048, 'a') + "\n\n");
}

TEST(ViewerAlone, AnEmptyFileGivesOneRowWithTheBaseAddress) {
  SettingsRecord settings = FirstStartSettings("/");
  ScriptedUi ui;
  ViewerWindow viewer(settings, ui);
  viewer.ShowFile({}, "EMPTY", "COM", ViewSelector::Hex);
  HexModel* m = viewer.grid()->Model();
  ASSERT_EQ(m->rowCount(), 1);
  EXPECT_EQ(m->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), "100");
  EXPECT_EQ(m->data(m->index(0, 1), Qt::DisplayRole).toString(), "");
}

TEST_F(WindowTest, AFileThatCannotBeReadShowsTheMessageAndNoView) {
  ImageBuilder b;
  EntrySpec e;
  e.name = "BROKEN.BAS";
  e.firstCluster = 4000;  // beyond the disk
  e.size = 100;
  b.AddEntry(kRoot, e);
  b.WriteTo(dir / "broken.dsk");
  Start({(dir / "broken.dsk").string()});
  auto* viewer = w->findChild<ViewerWindow*>();
  DoubleClick("BROKEN.BAS");
  EXPECT_THAT(ui.core.messages, ::testing::ElementsAre("File's first cluster out of bounds!"));
  EXPECT_FALSE(viewer->isVisible());
  EXPECT_TRUE(viewer->viewMode() == ViewerMode::None);
  EXPECT_TRUE(w->isEnabled());
}

}  // namespace
}  // namespace quarnel::test
