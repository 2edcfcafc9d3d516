// A 5 MB line without breaks: a keystroke, End, Home and a click at its far right, in the Qt host and headless.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <cstdint>
#include <memory>
#include <string>

#include "bench/LongLineText.h"
#include "editor/RyxEdit.h"
#include "platform/Messages.h"
#include "platform/headless/HeadlessHost.h"
#include "platform/qt/ControlHostWidget.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// The editor as the main window shows it, on the headless backend.
struct THeadlessEditor {
  THeadlessHost host{kWidth, kHeight};
  TRyxEdit edit;
  explicit THeadlessEditor(const std::string& text = LongLine()) {
    host.Attach(edit);
    edit.SetWordWrap(false);
    host.SetFocus();
    edit.SetAllText(text);
  }
  void Key(WORD key) {
    edit.Perform(WM_KEYDOWN, key, 0);
    edit.Perform(WM_KEYUP, key, 0);
    host.HeadlessCanvas().TakeOps();
  }
  void CtrlKey(WORD key) {
    host.SetKeyDown(VK_CONTROL, true);
    Key(key);
    host.SetKeyDown(VK_CONTROL, false);
  }
  void Type(char c) {
    edit.Perform(WM_CHAR, static_cast<unsigned char>(c), 0);
    host.HeadlessCanvas().TakeOps();
  }
  void ClickAtTheRight() {
    const int x = edit.TextLeft() + edit.TextWidth() - 3;
    edit.MouseDown(TMouseButton::mbLeft, 0, x, edit.TopMargin() + 2);
    edit.MouseUp(TMouseButton::mbLeft, 0, x, edit.TopMargin() + 2);
    host.HeadlessCanvas().TakeOps();
  }
};

// The application and the editors live until the process ends: destroyed
// from static destructors they would outlive Qt's own globals.
QApplication& Application() {
  static int argc = 1;
  static char name[] = "verselet-bench";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// The editor in its Qt host on the platform chosen (offscreen by default);
// every action is timed from the event to the finished repaint.
struct TQtEditor {
  TRyxEdit edit;
  std::unique_ptr<ControlHostWidget> widget;
  TQtEditor() {
    Application();
    widget = std::make_unique<ControlHostWidget>(edit);
    widget->resize(kWidth, kHeight);
    widget->createWindow();
    widget->show();
    edit.SetWordWrap(false);
    widget->setFocus();
    edit.SetAllText(LongLine());
    QCoreApplication::processEvents();
  }
  void Send(QEvent& event) {
    QCoreApplication::sendEvent(widget.get(), &event);
    QCoreApplication::processEvents();
  }
  void Key(Qt::Key key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    Send(press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    Send(release);
  }
  void ClickAtTheRight() {
    const QPointF at(widget->width() - edit.VBarWidth() - 6, edit.TopMargin() + 4);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    Send(press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    Send(release);
  }
};

template <typename TEditor>
TEditor& Editor() {
  static TEditor* editor = new TEditor;
  return *editor;
}

// A full repaint of a screen of lyrics rows (no long line), as after a scroll
// or a settings change: the glyphs are what it costs.
void BM_FullScreenPaint_Qt(benchmark::State& state) {
  static TQtEditor* e = [] {
    auto* editor = new TQtEditor;
    std::string rows;
    for (std::size_t at = 0; rows.size() < 6000; at += 41)
      rows += LongLine().substr(at * 97 % (kLineBytes - 64), 40) + "\r\n";
    editor->edit.SetAllText(rows);
    QCoreApplication::processEvents();
    return editor;
  }();
  for (auto _ : state) {
    e->edit.RefreshView();
    QCoreApplication::processEvents();
  }
}

// A character typed at the end of the line, and taken back with Backspace
// outside the timing so the line stays the same.
void BM_LongLineKeystroke_Headless(benchmark::State& state) {
  THeadlessEditor& e = Editor<THeadlessEditor>();
  e.Key(VK_END);
  for (auto _ : state) {
    e.Type('a');
    state.PauseTiming();
    e.Type('\b');
    state.ResumeTiming();
  }
}

void BM_LongLineEnd_Headless(benchmark::State& state) {
  THeadlessEditor& e = Editor<THeadlessEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(VK_HOME);
    state.ResumeTiming();
    e.Key(VK_END);
  }
}

void BM_LongLineHome_Headless(benchmark::State& state) {
  THeadlessEditor& e = Editor<THeadlessEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(VK_END);
    state.ResumeTiming();
    e.Key(VK_HOME);
  }
}

// With the view at the end of the line, a press and release near the right edge of the text area.
void BM_LongLineClickAtTheRight_Headless(benchmark::State& state) {
  THeadlessEditor& e = Editor<THeadlessEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(VK_END);
    state.ResumeTiming();
    e.ClickAtTheRight();
  }
}

// Ctrl+Left from the end of the 5 MB line passes its last word only, and
// costs that word, not the line before it.
void BM_LongLineWordLeft_Headless(benchmark::State& state) {
  THeadlessEditor& e = Editor<THeadlessEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(VK_END);
    state.ResumeTiming();
    e.CtrlKey(VK_LEFT);
  }
}

// One word of 78 KB of kanji (lead and trail bytes alike, one class):
// Ctrl+Left from its end and Ctrl+Right from its start pass all of it. The
// rate is of the bytes passed, which stays the same for
// a longer word when a move costs the bytes it passes.
void BM_LongWordMoves_Headless(benchmark::State& state) {
  std::string word;
  for (int i = 0; i < 39000; ++i) word += "\x88\x9F";
  static THeadlessEditor* e = new THeadlessEditor(word);
  for (auto _ : state) {
    e->CtrlKey(VK_LEFT);
    e->CtrlKey(VK_RIGHT);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(2 * word.size()) * state.iterations());
}

void BM_LongLineKeystroke_Qt(benchmark::State& state) {
  TQtEditor& e = Editor<TQtEditor>();
  e.Key(Qt::Key_End);
  for (auto _ : state) {
    e.Key(Qt::Key_A, QStringLiteral("a"));
    state.PauseTiming();
    e.Key(Qt::Key_Backspace);
    state.ResumeTiming();
  }
}

void BM_LongLineEnd_Qt(benchmark::State& state) {
  TQtEditor& e = Editor<TQtEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(Qt::Key_Home);
    state.ResumeTiming();
    e.Key(Qt::Key_End);
  }
}

void BM_LongLineHome_Qt(benchmark::State& state) {
  TQtEditor& e = Editor<TQtEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(Qt::Key_End);
    state.ResumeTiming();
    e.Key(Qt::Key_Home);
  }
}

void BM_LongLineClickAtTheRight_Qt(benchmark::State& state) {
  TQtEditor& e = Editor<TQtEditor>();
  for (auto _ : state) {
    state.PauseTiming();
    e.Key(Qt::Key_End);
    state.ResumeTiming();
    e.ClickAtTheRight();
  }
}

}  // namespace

// Few iterations: each is a whole user action on a megabyte row.
BENCHMARK(BM_LongLineKeystroke_Headless)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineEnd_Headless)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineHome_Headless)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineClickAtTheRight_Headless)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineWordLeft_Headless)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongWordMoves_Headless)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineKeystroke_Qt)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineEnd_Qt)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineHome_Qt)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_LongLineClickAtTheRight_Qt)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_FullScreenPaint_Qt)->Unit(benchmark::kMillisecond)->MinTime(0.5);
