// Tests of the About box and of the menu command that shows it.
#include <QAction>
#include <QLabel>
#include <QTimer>
#include <QUrl>

#include "app/Unit3.h"
#include "tests/app/FormFixture.h"
#include "widgets/URLLabel.h"

namespace {

TEST(AboutBoxTest, ShowsTheProgramTheLinkAndTheCredit) {
  TForm3 form;
  EXPECT_EQ(form.windowTitle(), "About");
  EXPECT_EQ(form.size(), QSize(214, 91));
  EXPECT_EQ(form.minimumSize(), form.maximumSize());
  EXPECT_FALSE(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowCloseButtonHint);

  EXPECT_EQ(form.Label1->text(), "Verselet 0.3");
  EXPECT_EQ(form.Label2->text(), "Verselet 0.3");
  EXPECT_EQ(form.Label1->geometry(), QRect(23, 15, 158, 16));
  EXPECT_EQ(form.Label2->geometry(), QRect(24, 16, 158, 16));
  EXPECT_TRUE(form.Label1->font().bold());
  EXPECT_EQ(form.Label1->font().pixelSize(), 16);
  EXPECT_EQ(form.Label2->palette().color(form.Label2->foregroundRole()), QColor(Qt::white));
  // Painted later, so on top of its white copy.
  const QObjectList children = form.children();
  EXPECT_LT(children.indexOf(form.Label2), children.indexOf(form.Label1));

  EXPECT_EQ(form.URLLabel1->pos(), QPoint(20, 44));
  EXPECT_TRUE(form.URLLabel1->Executable());
  EXPECT_TRUE(form.URLLabel1->HotTrack());
  EXPECT_EQ(form.URLLabel1->FontColor(), clAqua);
  EXPECT_EQ(form.URLLabel1->font().pixelSize(), 12);
  const QUrl link(form.URLLabel1->text());
  EXPECT_TRUE(link.isValid());
  EXPECT_EQ(link.scheme(), "https");
  EXPECT_LE(form.URLLabel1->geometry().right(), 214);

  EXPECT_EQ(form.Label3->pos(), QPoint(64, 68));
  EXPECT_FALSE(form.Label3->text().isEmpty());
  EXPECT_LE(form.Label3->geometry().right(), 214);
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
