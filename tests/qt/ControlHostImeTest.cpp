// Input-method events: the preedit is only shown, a commit becomes one WM_IME_COMPOSITION in code page 932.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QImage>
#include <QInputMethodEvent>

#include "platform/CodePage.h"
#include "platform/qt/QtCellFont.h"
#include "tests/qt/RecordingControl.h"

namespace {

constexpr std::initializer_list<UINT> kImeMessages = {WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION,
                                                      WM_IME_ENDCOMPOSITION, WM_CHAR, WM_IME_CHAR};

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class ImeTest : public HostTest {
 protected:
  void Preedit(const QString& text, int cursor) {
    QList<QInputMethodEvent::Attribute> attributes;
    attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, cursor, 1, QVariant());
    QInputMethodEvent event(text, attributes);
    Send(event);
  }
  void Preedit(const QString& text) { Preedit(text, static_cast<int>(text.size())); }
  void Commit(const QString& commit, const QString& preedit = {}) {
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit);
    Send(event);
  }
  std::vector<UINT> Messages() const {
    std::vector<UINT> ids;
    for (const TRecord& record : Control.Of(kImeMessages)) ids.push_back(record.Msg);
    return ids;
  }
};

TEST_F(ImeTest, PreeditStartsTheCompositionOnceAndDeliversNoText) {
  Preedit(U("に"));
  Preedit(U("にほ"));
  Preedit(U("にほん"));
  EXPECT_EQ(Messages(), std::vector<UINT>{WM_IME_STARTCOMPOSITION});
  EXPECT_EQ(Widget->preeditText(), U("にほん"));
}

TEST_F(ImeTest, CommitBecomesOneResultStringInCodePage932) {
  Preedit(U("にほん"));
  Commit(U("日本"));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
  const std::vector<TRecord> results = Control.Of({WM_IME_COMPOSITION});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_NE(results[0].LParam & GCS_RESULTSTR, 0);
  EXPECT_EQ(results[0].ImeResult, "\x93\xfa\x96\x7b");
  EXPECT_EQ(results[0].WParam, WPARAM{0x93FA});
  EXPECT_TRUE(Widget->preeditText().isEmpty());
}

TEST_F(ImeTest, CommitWithoutPreeditIsStillAWholeComposition) {
  Commit(U("かなｶﾅ"));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
  EXPECT_EQ(Control.Of({WM_IME_COMPOSITION})[0].ImeResult, "\x82\xa9\x82\xc8\xb6\xc5");
}

TEST_F(ImeTest, PartialCommitKeepsComposing) {
  Preedit(U("にほんご"));
  Commit(U("日本"), U("ご"));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION}));
  EXPECT_EQ(Widget->preeditText(), U("ご"));
  Commit(U("語"));
  EXPECT_EQ(Messages().size(), 4u);
  EXPECT_EQ(Messages().back(), UINT{WM_IME_ENDCOMPOSITION});
}

TEST_F(ImeTest, CharactersWithoutCodePage932FormBecomeQuestionMarks) {
  Commit(U("a😀b"));
  EXPECT_EQ(Control.Of({WM_IME_COMPOSITION})[0].ImeResult, "a?b");
}

TEST_F(ImeTest, ClearedPreeditCancelsTheComposition) {
  Preedit(U("か"));
  Preedit(QString());
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION}));
  EXPECT_TRUE(Widget->preeditText().isEmpty());
}

TEST_F(ImeTest, APreeditPastTheRightEdgeScrollsTheTextUntilItFits) {
  const HIMC context = Widget->ImmGetContext();
  TCompositionForm form;
  form.dwStyle = CFS_POINT;
  form.ptCurrentPos = TPoint{0, 4};
  Widget->ImmSetCompositionWindow(context, form);
  // A control whose text moves 40 pixels left with each step, the composition point with it.
  bool moves = true;
  Control.OnMessage = [&](TMessage& message) {
    if (message.Msg != WM_HSCROLL || !moves) return;
    form.ptCurrentPos.X -= 40;
    Widget->ImmSetCompositionWindow(context, form);
  };
  Preedit(U("にほん"));
  EXPECT_TRUE(Control.Of({WM_HSCROLL}).empty()) << "it fits";
  form.ptCurrentPos.X = Widget->clientRect().width() - 20;
  Widget->ImmSetCompositionWindow(context, form);
  Preedit(U("にほんごのぶんしょう"));
  const std::size_t steps = Control.Of({WM_HSCROLL}).size();
  EXPECT_GE(steps, 2u);
  for (const TRecord& record : Control.Of({WM_HSCROLL})) EXPECT_EQ(LoWord(record.WParam), SB_LINERIGHT);
  // A preedit that no step can bring into view asks once and stops.
  moves = false;
  Preedit(U("にほんごのぶんしょうです"));
  EXPECT_EQ(Control.Of({WM_HSCROLL}).size(), steps + 1);
}

TEST_F(ImeTest, CompleteCompositionCommitsTheShownPreedit) {
  Preedit(U("にほん"));
  const HIMC context = Widget->ImmGetContext();
  ASSERT_NE(context, 0u);
  EXPECT_TRUE(Widget->ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
  EXPECT_EQ(Control.Of({WM_IME_COMPOSITION})[0].ImeResult, UnicodeToAnsi(u"にほん"));
}

// An input method that answers a commit request only later (through its own
// event loop) sends the text that was already committed from its preedit.
TEST_F(ImeTest, ALateAnswerToACompletedCompositionIsNotDeliveredAgain) {
  const HIMC context = Widget->ImmGetContext();
  Preedit(U("かな"));
  ASSERT_TRUE(Widget->ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE));
  Commit(U("かな"));
  EXPECT_TRUE(Widget->ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_COMPLETE));
  ASSERT_EQ(Control.Of({WM_IME_COMPOSITION}).size(), 1u);
  // Only the one answer is dropped: the same text composed again is new text.
  Preedit(U("かな"));
  Commit(U("かな"));
  Commit(U("かな"));
  const std::vector<TRecord> results = Control.Of({WM_IME_COMPOSITION});
  ASSERT_EQ(results.size(), 3u);
  for (const TRecord& result : results) EXPECT_EQ(result.ImeResult, UnicodeToAnsi(u"かな"));
  EXPECT_EQ(Messages().back(), UINT{WM_IME_ENDCOMPOSITION});
}

// An input method that keeps the preedit through a commit request and hands
// it over as a commit when it is reset (fcitx5 with Anthy, on a mouse press).
class CommitOnResetHost : public ControlHostWidget {
 public:
  using ControlHostWidget::ControlHostWidget;

 protected:
  void resetInputMethod() override {
    QInputMethodEvent event(QString(), {});
    event.setCommitString(U("かな"));
    QCoreApplication::sendEvent(this, &event);
  }
};

TEST_F(ImeTest, ACompositionHandedOverByTheResetIsDeliveredOnce) {
  Widget = std::make_unique<CommitOnResetHost>(Control);
  Widget->createWindow();
  Preedit(U("かな"));
  Control.Records.clear();
  ASSERT_TRUE(Widget->ImmNotifyIME(Widget->ImmGetContext(), NI_COMPOSITIONSTR, CPS_COMPLETE));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_COMPOSITION, WM_IME_ENDCOMPOSITION}));
  EXPECT_EQ(Control.Of({WM_IME_COMPOSITION}).at(0).ImeResult, UnicodeToAnsi(u"かな"));
}

TEST_F(ImeTest, AnotherTextAfterACompletedCompositionIsDelivered) {
  Preedit(U("かな"));
  ASSERT_TRUE(Widget->ImmNotifyIME(Widget->ImmGetContext(), NI_COMPOSITIONSTR, CPS_COMPLETE));
  Commit(U("日本"));
  const std::vector<TRecord> results = Control.Of({WM_IME_COMPOSITION});
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[1].ImeResult, "\x93\xfa\x96\x7b");
}

TEST_F(ImeTest, CancelCompositionDropsThePreedit) {
  Preedit(U("にほん"));
  EXPECT_TRUE(Widget->ImmNotifyIME(Widget->ImmGetContext(), NI_COMPOSITIONSTR, CPS_CANCEL));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION}));
}

TEST_F(ImeTest, FocusLossEndsTheComposition) {
  Preedit(U("か"));
  QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
  Send(out);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_IME_STARTCOMPOSITION, WM_IME_ENDCOMPOSITION}));
}

TEST_F(ImeTest, QueriesAnswerFromTheCompositionPointAndFont) {
  TLogFont font;
  font.lfHeight = 19;
  font.lfPitchAndFamily = FIXED_PITCH;
  font.lfFaceName = "FixedSys";
  const HIMC context = Widget->ImmGetContext();
  ASSERT_TRUE(Widget->ImmSetCompositionFont(context, font));
  ASSERT_TRUE(Widget->ImmSetCompositionWindow(context, TCompositionForm{CFS_POINT, TPoint{40, 30}}));
  const QtCellFont cells(font);

  EXPECT_TRUE(Widget->inputMethodQuery(Qt::ImEnabled).toBool());
  const QRect rect = Widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
  EXPECT_EQ(rect.topLeft(), Widget->clientRect().topLeft() + QPoint(40, 30));
  EXPECT_EQ(rect.height(), cells.height());
  EXPECT_EQ(Widget->inputMethodQuery(Qt::ImFont).value<QFont>().pixelSize(), cells.font().pixelSize());

  // While composing, the rectangle follows the preedit's cursor: two full-width characters in.
  Preedit(U("にほん"), 2);
  EXPECT_EQ(Widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(),
            Widget->clientRect().left() + 40 + 4 * cells.cellWidth());
}

TEST_F(ImeTest, WithoutInputMethodThereIsNoContext) {
  Widget->setAttribute(Qt::WA_InputMethodEnabled, false);
  EXPECT_EQ(Widget->ImmGetContext(), 0u);
  EXPECT_FALSE(Widget->ImmSetCompositionWindow(0, TCompositionForm{CFS_POINT, TPoint{1, 1}}));
}

TEST_F(ImeTest, PreeditIsAnOverlayNeverDrawnIntoThePixmap) {
  const HIMC context = Widget->ImmGetContext();
  Widget->ImmSetCompositionWindow(context, TCompositionForm{CFS_POINT, TPoint{20, 20}});
  const QImage before = Widget->canvas().pixmap().toImage();
  const QImage shownBefore = Widget->grab().toImage();
  Preedit(U("にほん"));
  EXPECT_EQ(Widget->canvas().pixmap().toImage(), before);
  const QImage shown = Widget->grab().toImage();
  const QPoint origin = Widget->clientRect().topLeft() + QPoint(20, 20);
  const QRect box(origin, QSize(6 * Widget->canvas().cellFont().cellWidth(), 10));
  bool differs = false;
  for (int y = box.top(); y < origin.y() + 40 && !differs; ++y)
    for (int x = box.left(); x < box.right() && !differs; ++x) differs = shown.pixel(x, y) != shownBefore.pixel(x, y);
  EXPECT_TRUE(differs) << "the preedit is drawn at the composition point";
  EXPECT_EQ(shown.pixel(Widget->width() - 30, Widget->height() - 30),
            shownBefore.pixel(Widget->width() - 30, Widget->height() - 30));
}

}  // namespace
