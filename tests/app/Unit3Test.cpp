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
  // Label2 is the white shadow under Label1, one pixel lower right.
  const TNamedWidgets widgets{
      {"Label2", form.Label2}, {"Label1", form.Label1}, {"URLLabel1", form.URLLabel1}, {"Label3", form.Label3}};
  EXPECT_EQ(DumpWindow(form, widgets),
            R"("About" 214x91 fixed
Label2 in window 24,16 158x16 "Verselet 0.3"
Label1 in window 23,15 158x16 "Verselet 0.3"
URLLabel1 in window 20,44 169x12 "https://ja.wikipedia.org/"
Label3 in window 64,68 sized "Verselet 開発チーム"
)");
  EXPECT_LE(form.Label3->geometry().right(), 214);
  EXPECT_TRUE(form.Label1->font().bold());
  EXPECT_EQ(form.Label1->font().pixelSize(), 16);
  EXPECT_EQ(form.Label2->palette().color(form.Label2->foregroundRole()), QColor(Qt::white));
  // Painted later, so on top of its white copy.
  const QObjectList children = form.children();
  EXPECT_LT(children.indexOf(form.Label2), children.indexOf(form.Label1));
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
