// Faults a person met in the viewer window, each caught as they met it.
#include <QComboBox>
#include <QSpinBox>

#include "viewer_fixture.h"

namespace quarnel::test {
namespace {

using ViewerFaults = ViewerTest;

// The font boxes change the whole view, not a selection, and the next view of that kind uses
// them; the text-view font chosen in Setup is the one the text view shows.
TEST_F(ViewerFaults, TheFontBoxesApplyToTheWholeViewAndTheNextOne) {
  w.reset();
  StartWithImage();
  w->settings().textViewFont = "DejaVu Serif";
  Open("README.TXT");
  EXPECT_EQ(Fragment(QStringLiteral("Quarnel demo")).charFormat().fontFamilies().toStringList(),
            QStringList{QStringLiteral("DejaVu Serif")});
  v->fontSize()->setValue(16);
  EXPECT_EQ(Fragment(QStringLiteral("Quarnel demo")).charFormat().fontPointSize(), 16);
  Open("TOOL.COM");  // a hex view between
  Open("README.TXT");
  EXPECT_EQ(v->fontSize()->value(), 16);
  EXPECT_EQ(Fragment(QStringLiteral("Quarnel demo")).charFormat().fontPointSize(), 16);

  const int serif = v->fontName()->findText(QStringLiteral("DejaVu Sans Mono"));
  ASSERT_GE(serif, 0);
  v->fontName()->setCurrentIndex(serif);
  emit v->fontName()->activated(serif);
  EXPECT_EQ(Fragment(QStringLiteral("Second line")).charFormat().fontFamilies().toStringList(),
            QStringList{QStringLiteral("DejaVu Sans Mono")});
  EXPECT_EQ(w->settings().textViewFont, "DejaVu Sans Mono");
}

// After a picture each text view comes back in its own size, not the picture's 256 x 212.
TEST_F(ViewerFaults, EachViewKeepsItsOwnSize) {
  StartWithImage();
  Open("README.TXT");
  const QSize text = v->size();
  Open("DEMO.SC2");
  ASSERT_NE(v->size(), text);
  Open("README.TXT");
  EXPECT_EQ(v->size(), text);
  v->resize(700, 400);
  Open("TOOL.COM");
  EXPECT_GE(v->height(), text.height());
  Open("README.TXT");
  EXPECT_EQ(v->size(), QSize(700, 400));
}

}  // namespace
}  // namespace quarnel::test
