// Tests of the About box and of the menu command that shows it.
#include <QAction>
#include <QLabel>
#include <QTimer>

#include "app/Unit3.h"
#include "tests/WindowDump.h"
#include "tests/app/FormFixture.h"
#include "widgets/URLLabel.h"

namespace {

TEST(AboutBoxTest, ShowsTheProgramTheLinkAndTheCredit) {
  TForm3 form;
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);
  // The white shadow (Label2), then Label1 one pixel higher and further left,
  // painted later, so on top of it; the link and the credit.
  EXPECT_EQ(DumpWindow(form), R"("About" 214x91 fixed
QLabel 24,16 158x16 "Verselet 0.3"
QLabel 23,15 158x16 "Verselet 0.3"
TURLLabel 20,44 169x12 "https://ja.wikipedia.org/"
QLabel 64,68 sized "Verselet 開発チーム"
)");
  EXPECT_LE(form.Label3->geometry().right(), 214);
  EXPECT_TRUE(form.Label1->font().bold());
  EXPECT_EQ(form.Label1->font().pixelSize(), 16);
  EXPECT_EQ(form.Label2->palette().color(form.Label2->foregroundRole()), QColor(Qt::white));
  EXPECT_TRUE(form.URLLabel1->Executable());
  EXPECT_TRUE(form.URLLabel1->HotTrack());
  EXPECT_EQ(form.URLLabel1->FontColor(), clAqua);
  EXPECT_EQ(form.URLLabel1->font().pixelSize(), 12);
}

using HelpTest = FormTest;

TEST_F(HelpTest, HelpShowsTheAboutBoxModally) {
  TForm1& form = Create();
  TForm3 about(&form);
  form.SetAboutBox(about);
  form.show();
  QWidget* shown = nullptr;
  QTimer::singleShot(0, [&shown] {
    shown = QApplication::activeModalWidget();
    if (shown) shown->close();
  });
  form.N2->trigger();
  EXPECT_EQ(shown, &about);
  EXPECT_FALSE(about.isVisible());
}

}  // namespace
