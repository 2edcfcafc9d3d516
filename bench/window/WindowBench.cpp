// The editor in its Qt host on a large document: open, memory, save, keys and the clean-up tools, against references.
//
// verselet-bench-window open|memory|save|keys|time-tags|karaoke-tags|useless-lines|
// main-open|main-keys|main-longline|main-stamp|main-wordstamp|main-waveform|main-find FILE prints name=value lines (times in milliseconds, sizes in megabytes);
// scripts/bench.sh turns them into its table. Each mode measures the
// reference in the same process run; each tool runs in the real main window,
// in a process of its own so that its peak memory is its own.
#include <malloc.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>
#include <QWheelEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/Unit1.h"
#include "app/UnitApplication.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitFindBar.h"
#include "app/UnitTimingStudio.h"
#include "app/UnitWaveformStrip.h"
#include "app/core/SungLines.h"
#include "bench/PlainSplit.h"
#include "editor/RyxEdit.h"
#include "platform/WaveFile.h"
#include "platform/qt/ControlHostWidget.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A field of /proc/self/status in megabytes.
double StatusMegabytes(const char* field) {
  std::ifstream status("/proc/self/status");
  const std::string key = std::string(field) + ":";
  for (std::string line; std::getline(status, line);)
    if (line.rfind(key, 0) == 0) return std::stod(line.substr(key.size())) / 1024;
  return 0;
}

void ResetPeak() {
  ::malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5";
}

// The real control in the real host, shown offscreen at a usual window size.
class TWindow {
 public:
  TWindow() : FWidget(std::make_unique<ControlHostWidget>(FEdit)) {
    // Unwrapped, as the main window starts (a fresh control wraps); wrapping has its own rows.
    FEdit.SetWordWrap(false);
    FWidget->resize(800, 600);
    FWidget->createWindow();
    FWidget->show();
    QApplication::processEvents();
  }

  // Open to the first frame: the load, its repaint and the widget's paint.
  void Open(const std::filesystem::path& name) {
    if (!FEdit.LoadFromFile(name)) {
      std::fprintf(stderr, "cannot open %s: %s\n", name.c_str(), FEdit.LastFileError().c_str());
      std::exit(1);
    }
    FWidget->repaint();
  }

  // Scrolls to the middle of the document and clicks there, as a user would.
  void CaretToTheMiddle() {
    QScrollBar* bar = FWidget->scrollBar(SB_VERT);
    bar->setValue((bar->minimum() + bar->maximum()) / 2);
    QApplication::processEvents();
    const QPointF at(200, 100);
    QMouseEvent press(QEvent::MouseButtonPress, at, FWidget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(FWidget.get(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, FWidget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(FWidget.get(), &release);
    FWidget->repaint();
  }

  // One key from its event to the finished repaint of what it changed: a
  // typed character the caret's row band, Enter the whole window. The
  // widget is repainted at once, as the event loop would at its next frame.
  std::pair<double, double> Key(int key, const QString& text) {
    const Clock::time_point start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(FWidget.get(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(FWidget.get(), &release);
    const double editor = MillisecondsSince(start);
    if (key == Qt::Key_Return)
      FWidget->repaint();
    else
      FWidget->repaint(QRect(0, FWidget->caretRect().top(), FWidget->width(), FWidget->caretRect().height()));
    return {MillisecondsSince(start), editor};
  }

  int LineCount() const { return FEdit.Lines().Count(); }

 private:
  TRyxEdit FEdit;
  std::unique_ptr<ControlHostWidget> FWidget;
};

// Five interleaved rounds of the reference, reading and splitting the file,
// and of opening it as open does (it returns its milliseconds); prints the
// medians of both.
template <class Open>
void MeasureOpenBesideSplit(const std::filesystem::path& name, Open&& open) {
  std::vector<double> split, opened;
  for (int round = 0; round < 5; ++round) {
    const Clock::time_point start = Clock::now();
    {
      const std::vector<std::string> lines = ReadAndSplit(name);
      split.push_back(MillisecondsSince(start));
    }
    // The allocator gathers the freed pieces of one side at its next large
    // allocation: done here, it is counted against neither side.
    ::malloc_trim(0);
    opened.push_back(open());
    ::malloc_trim(0);
  }
  std::printf("split_ms=%.1f\nopen_ms=%.1f\n", Median(split), Median(opened));
}

// Opening in a fresh window of the bare control.
void MeasureOpen(const std::filesystem::path& name) {
  MeasureOpenBesideSplit(name, [&name] {
    TWindow window;
    const Clock::time_point start = Clock::now();
    window.Open(name);
    return MillisecondsSince(start);
  });
}

// Resident memory that opening adds, after and at its peak, beside the file.
void MeasureMemory(const std::filesystem::path& name) {
  const double file = static_cast<double>(std::filesystem::file_size(name)) / (1 << 20);
  double splitPeak = 0;
  {
    ResetPeak();
    const double before = StatusMegabytes("VmRSS");
    const std::vector<std::string> lines = ReadAndSplit(name);
    splitPeak = StatusMegabytes("VmHWM") - before;
  }
  TWindow window;
  ResetPeak();
  const double before = StatusMegabytes("VmRSS");
  window.Open(name);
  const double after = StatusMegabytes("VmRSS") - before;
  const double peak = StatusMegabytes("VmHWM") - before;
  std::printf("file_mb=%.1f\nsplit_peak_mb=%.1f\nafter_mb=%.1f\npeak_mb=%.1f\n", file, splitPeak, after, peak);
}

// Saving the loaded document over a copy of its file: the process's peak
// resident memory while it saves, beside its memory with the document loaded.
void MeasureSave(const std::filesystem::path& name) {
  const std::filesystem::path copy = name.parent_path() / "verselet-bench-save.txt";
  std::filesystem::copy_file(name, copy, std::filesystem::copy_options::overwrite_existing);
  TRyxEdit edit;
  if (!edit.LoadFromFile(name)) {
    std::fprintf(stderr, "cannot open %s: %s\n", name.c_str(), edit.LastFileError().c_str());
    std::exit(1);
  }
  ResetPeak();
  const double loaded = StatusMegabytes("VmRSS");
  const Clock::time_point start = Clock::now();
  if (!edit.SaveToFile(copy)) {
    std::fprintf(stderr, "cannot save %s: %s\n", copy.c_str(), edit.LastFileError().c_str());
    std::exit(1);
  }
  const double saved = MillisecondsSince(start);
  const double peak = StatusMegabytes("VmHWM");
  std::filesystem::remove(copy);
  std::printf("loaded_mb=%.1f\npeak_mb=%.1f\nsave_ms=%.1f\n", loaded, peak, saved);
}

// Typed characters and Enter in the middle of the document, event to repaint.
void MeasureKeys(const std::filesystem::path& name) {
  TWindow window;
  window.Open(name);
  window.CaretToTheMiddle();
  // Each key's whole time, and the part before the widget's paint.
  std::vector<double> typed, typedEditor, enter, enterEditor;
  for (int round = 0; round < 5; ++round) {
    for (int i = 0; i < 60; ++i) {
      const auto [total, editor] = window.Key(Qt::Key_A, QStringLiteral("a"));
      typed.push_back(total);
      typedEditor.push_back(editor);
    }
    for (int i = 0; i < 6; ++i) {
      const auto [total, editor] = window.Key(Qt::Key_Return, QStringLiteral("\r"));
      enter.push_back(total);
      enterEditor.push_back(editor);
    }
  }
  std::printf("lines=%d\n", window.LineCount());
  std::printf("key_median_ms=%.3f\nkey_max_ms=%.3f\nkey_editor_median_ms=%.3f\n", Median(typed),
              *std::max_element(typed.begin(), typed.end()), Median(typedEditor));
  std::printf("enter_median_ms=%.3f\nenter_max_ms=%.3f\nenter_editor_median_ms=%.3f\n", Median(enter),
              *std::max_element(enter.begin(), enter.end()), Median(enterEditor));
}

// The reference for the clean-up tools: sed removing every time tag from the same file.
double SedMilliseconds(const std::filesystem::path& name) {
  const std::filesystem::path output = name.parent_path() / "sed-out.txt";
  const std::string command = "LC_ALL=C sed 's/\\[[0-9][0-9]:[0-5][0-9]:[0-9][0-9]\\]//g' '" + name.string() +
                              "' > '" + output.string() + "'";
  const Clock::time_point start = Clock::now();
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "sed failed\n");
    std::exit(1);
  }
  const double elapsed = MillisecondsSince(start);
  std::filesystem::remove(output);
  return elapsed;
}

// The main window's dialogs when nothing should ask: any dialog or error box ends the run.
class TNoDialogs final : public TCommonDialogs {
 public:
  bool ExecuteOpen(QWidget*, const std::string&, std::string&) override { Fail("a file dialog"); }
  bool ExecuteSave(QWidget*, const std::string&, std::string&, int&, TSaveEncoding&) override { Fail("a file dialog"); }
  bool ExecutePrepare(TPrepareDialog&) override { Fail("the preparation dialog"); }
  void ShowError(QWidget*, const QString& text) override { Fail(text.toStdString()); }
  int Ask(QWidget*, const TQuestion& question) override { Fail(question.Text.toStdString()); }
  bool AskNumber(QWidget*, const QString& title, const QString&, int, int, int&) override { Fail(title.toStdString()); }
  bool AskSeconds(QWidget*, const QString& title, const QString&, double&) override { Fail(title.toStdString()); }
  TRecoveryChoice ChooseRecovery(QWidget*, const std::vector<TRecoveryListing>&, const std::vector<bool>&,
                                 int&) override {
    Fail("the recovery dialog");
  }

 private:
  [[noreturn]] static void Fail(const std::string& what) {
    std::fprintf(stderr, "unexpected in the main window: %s\n", what.c_str());
    std::exit(1);
  }
};

// One clean-up command of the real main window on the document it opened
// from its command line, run as its menu item runs it and repainted: its
// time and the process's peak resident memory while it runs (the loaded
// document and the window included).
void MeasureTool(void (TForm1::*command)(), const std::filesystem::path& name) {
  const double file = static_cast<double>(std::filesystem::file_size(name)) / (1 << 20);
  // sed's time varies from run to run on a shared machine: its median of three.
  const double sed = Median({SedMilliseconds(name), SedMilliseconds(name), SedMilliseconds(name)});
  const std::filesystem::path settings = name.parent_path() / "verselet-bench.ini";
  TNoDialogs dialogs;
  TApplication::Instance().OnException = [](const std::exception& e) {
    std::fprintf(stderr, "exception in the main window: %s\n", e.what());
    std::exit(1);
  };
  {
    TForm1 form({name.string()}, settings, dialogs);
    form.show();
    QApplication::processEvents();
    if (form.RyxEdit1->Lines().Count() < 2) {
      std::fprintf(stderr, "the main window did not open %s\n", name.c_str());
      std::exit(1);
    }
    ResetPeak();
    const double loaded = StatusMegabytes("VmRSS");
    const Clock::time_point start = Clock::now();
    (form.*command)();
    form.repaint();
    const double tool = MillisecondsSince(start);
    const double peak = StatusMegabytes("VmHWM");
    std::printf("file_mb=%.1f\nsed_ms=%.1f\ntool_ms=%.1f\n", file, sed, tool);
    std::printf("loaded_mb=%.1f\npeak_mb=%.1f\n", loaded, peak);
    std::printf("status=%s\n", form.StatusBar1->currentMessage().toStdString().c_str());
    // Undo takes the tool back: its time and the peak while it runs.
    ResetPeak();
    const Clock::time_point undoStart = Clock::now();
    form.RyxEdit1->Undo();
    form.repaint();
    std::printf("undo_ms=%.1f\nundo_peak_mb=%.1f\n", MillisecondsSince(undoStart), StatusMegabytes("VmHWM"));
  }
  std::filesystem::remove(settings);
}

// The real main window on the document it opened from its command line,
// with its status bar, preview and display guides, wrapped at the player's
// width when column is given, with the song given beside it (as `--audio`).
// Keys and clicks go to the editor's widget as
// events; each is timed until the window's pending paints are done (the
// status fields, the preview and the editor's rows: the finished frame).
// Unless only its first frame is asked for, the window is settled before
// anything is measured: the preview has counted the overflowing lines.
class TMainWindow {
 public:
  enum class TShown { FirstFrame, Settled };

  TMainWindow(const std::filesystem::path& name, int column, const std::filesystem::path& song = {},
              TShown shown = TShown::Settled)
      : FSettings(FreshSettings(name.parent_path() / "verselet-bench-main.ini")),
        FForm(Params(name, song), FSettings, FDialogs) {
    TApplication::Instance().OnException = [](const std::exception& e) {
      std::fprintf(stderr, "exception in the main window: %s\n", e.what());
      std::exit(1);
    };
    FForm.resize(1000, 700);
    FForm.show();
    FForm.SetPreviewShown(true);
    if (column > 0) {
      FForm.DeviceSettings().HalfCount = column;
      FForm.N18->trigger();
    }
    Editor()->setFocus();
    QApplication::processEvents();
    if (FForm.RyxEdit1->Lines().Count() < 1 || FForm.RyxEdit1->WordWrap() != (column > 0)) {
      std::fprintf(stderr, "the main window did not open %s as asked\n", name.c_str());
      std::exit(1);
    }
    if (shown == TShown::Settled) Settle();
  }
  ~TMainWindow() { std::filesystem::remove(FSettings); }

  // Whether the preview has counted the overflowing lines of the whole text.
  bool Counted() { return FForm.OverflowLineCount().has_value(); }
  // Runs the events until it has, as a window left alone for a moment has.
  void Settle() {
    while (!Counted()) QApplication::processEvents();
  }

  TRyxEdit& Edit() { return *FForm.RyxEdit1; }
  // "タグを数えない" switched on or off.
  void SkipTags(bool on) {
    if (FForm.CountTagsAction->isChecked() != on) FForm.CountTagsAction->trigger();
    QApplication::processEvents();
    Settle();
  }
  QWidget* Editor() { return FForm.centralWidget(); }
  TFindBar& Find() { return *FForm.FindBar; }
  TTimingStudio& Studio() { return *FForm.TimingStudio; }
  TWaveformStrip& Waveform() { return *FForm.WaveformStrip; }

  double Key(int key, const QString& text = {}) {
    const Clock::time_point start = Clock::now();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(Editor(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(Editor(), &release);
    QApplication::processEvents();
    return MillisecondsSince(start);
  }

  double Click(QPointF at) {
    const Clock::time_point start = Clock::now();
    QMouseEvent press(QEvent::MouseButtonPress, at, Editor()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(Editor(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, Editor()->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(Editor(), &release);
    QApplication::processEvents();
    return MillisecondsSince(start);
  }

 private:
  static std::vector<std::string> Params(const std::filesystem::path& name, const std::filesystem::path& song) {
    if (song.empty()) return {name.string()};
    return {name.string(), "--audio", song.string()};
  }

  // The window starts from the defaults, not from a previous run's settings.
  static std::filesystem::path FreshSettings(const std::filesystem::path& file) {
    std::filesystem::remove(file);
    return file;
  }

  std::filesystem::path FSettings;
  TNoDialogs FDialogs;
  TForm1 FForm;
};

// A typed character and Backspace in the middle of the document, each a key of its own.
void PrintKeys(const char* name, std::vector<double> times) {
  std::printf("%s_median_ms=%.3f\n%s_max_ms=%.3f\n", name, Median(times), name,
              *std::max_element(times.begin(), times.end()));
}

// Typed characters and Backspace in the middle of the document in the main
// window, unwrapped and wrapped at the player's width of 16 and of 72 cells.
// Unwrapped and at 16 the keys alternate in rounds with "タグを数えない" off
// and on, so that both meet the same state of the machine.
void MeasureMainKeys(const std::filesystem::path& name) {
  for (const int column : {0, 16, 72}) {
    TMainWindow window(name, column, {}, TMainWindow::TShown::FirstFrame);
    TRyxEdit& edit = window.Edit();
    if (column == 0) {
      // Keys typed right after the opening, between the steps of the count of the overflowing lines.
      edit.MoveCaretTo(edit.Lines().Count() / 2, 0);
      std::vector<double> counting;
      do {
        counting.push_back(window.Key(Qt::Key_A, QStringLiteral("a")));
        counting.push_back(window.Key(Qt::Key_Backspace));
      } while (!window.Counted());
      PrintKeys("counting", counting);
    }
    window.Settle();
    const bool both = column != 72;
    std::vector<double> times[2];
    for (int round = 0; round < 5; ++round) {
      for (const bool skipTags : {false, true}) {
        if (skipTags && !both) continue;
        window.SkipTags(skipTags);
        edit.MoveCaretTo(edit.Lines().Count() / 2, 0);
        QApplication::processEvents();
        for (int i = 0; i < 40; ++i) {
          times[skipTags].push_back(window.Key(Qt::Key_A, QStringLiteral("a")));
          times[skipTags].push_back(window.Key(Qt::Key_Backspace));
        }
      }
    }
    const std::string label = column == 0 ? "unwrapped" : "wrapped" + std::to_string(column);
    PrintKeys(label.c_str(), times[0]);
    if (both) PrintKeys((label + "_skiptags").c_str(), times[1]);
  }
}

// The 5 MB line in the main window, unwrapped: a key at its end (typed and
// taken back), and a click at the far right of the view at its end.
void MeasureMainLongLine(const std::filesystem::path& name) {
  TMainWindow window(name, 0);
  window.Key(Qt::Key_End);
  std::vector<double> keys, clicks;
  for (int i = 0; i < 30; ++i) {
    keys.push_back(window.Key(Qt::Key_A, QStringLiteral("a")));
    keys.push_back(window.Key(Qt::Key_Backspace));
  }
  const TRyxEdit& edit = window.Edit();
  const QPointF right(edit.TextLeft() + edit.TextWidth() - 6, edit.TopMargin() + 4);
  for (int i = 0; i < 30; ++i) {
    window.Key(Qt::Key_End);
    clicks.push_back(window.Click(right));
  }
  PrintKeys("longline_key", keys);
  PrintKeys("longline_click", clicks);
}

// The main window opening the document from its command line, as
// `verselet FILE` does, to its first finished frame (status bar, preview and
// guides included), beside reading and splitting the file in the same run.
void MeasureMainOpen(const std::filesystem::path& name) {
  MeasureOpenBesideSplit(name, [&name] {
    const Clock::time_point start = Clock::now();
    const TMainWindow window(name, 0, {}, TMainWindow::TShown::FirstFrame);
    return MillisecondsSince(start);
  });
}

// Find Next (Enter in the find bar) in the main window from the middle of the
// document: to a match about 1 MB further on, and with no match in the whole
// text; each timed with the frame that follows, and the peak of resident
// memory while it searches beside the window with the document loaded.
void MeasureMainFind(const std::filesystem::path& name) {
  TMainWindow window(name, 0);
  TRyxEdit& edit = window.Edit();
  const TRyxStrings& lines = edit.Lines();
  const int from = lines.Count() / 2;
  const int target = lines.IndexAtOffset(lines.OffsetOfIndex(from) + (1u << 20));
  // A word the document does not hold, typed at the start of the row 1 MB on.
  const QString word = QStringLiteral("qzxjvq");
  edit.MoveCaretTo(target, 0);
  for (const QChar c : word) window.Key(Qt::Key_Q, QString(c));
  TFindBar& find = window.Find();
  const auto search = [&](const QString& pattern, bool& found) {
    find.ShowFind();
    find.FindEdit->setText(pattern);
    while (find.LiveWorkPending()) QApplication::processEvents();
    edit.MoveCaretTo(from, 0);
    QApplication::processEvents();
    ResetPeak();
    const double loaded = StatusMegabytes("VmRSS");
    const Clock::time_point start = Clock::now();
    found = find.FindNext(true);
    QApplication::processEvents();
    const double ms = MillisecondsSince(start);
    return std::make_pair(ms, std::max(loaded, StatusMegabytes("VmHWM")) / loaded);
  };
  std::vector<double> near, none;
  double nearPeak = 0, nonePeak = 0;
  for (int round = 0; round < 5; ++round) {
    bool found = false;
    const auto [nearMs, nearRatio] = search(word, found);
    if (!found || edit.CaretLine() != target) {
      std::fprintf(stderr, "Find Next did not reach the match 1 MB on\n");
      std::exit(1);
    }
    near.push_back(nearMs);
    nearPeak = std::max(nearPeak, nearRatio);
    const auto [noneMs, noneRatio] = search(QStringLiteral("qzxjvy"), found);
    if (found) {
      std::fprintf(stderr, "Find Next found a word the text does not hold\n");
      std::exit(1);
    }
    none.push_back(noneMs);
    nonePeak = std::max(nonePeak, noneRatio);
  }
  std::printf("loaded_mb=%.1f\n", StatusMegabytes("VmRSS"));
  std::printf("near_ms=%.2f\nnear_peak_ratio=%.2f\nnone_ms=%.1f\nnone_peak_ratio=%.2f\n", Median(near), nearPeak,
              Median(none), nonePeak);
}

// Stamps in sync mode in the middle of the document while a song plays
// through a sink that follows the clock without a sound card, beside a
// typed character and Backspace of the same window, interleaved. Each stamp
// puts a tag on the caret's line and moves to the next line: first on the
// view's top row, taken back up after each stamp, so that no stamp scrolls;
// then from its bottom row, so that each stamp scrolls the view by a line.
void MeasureMainStamp(const std::filesystem::path& name) {
  using namespace std::chrono_literals;
  const std::filesystem::path song = name.parent_path() / "verselet-bench-song.wav";
  std::ofstream(song, std::ios::binary) << ClickTrackWave(120s, {1s});
  if (qEnvironmentVariableIsEmpty("VERSELET_AUDIO_SINK")) qputenv("VERSELET_AUDIO_SINK", "fakesink sync=true");
  {
    TMainWindow window(name, 0, song);
    TTimingStudio& studio = window.Studio();
    TRyxEdit& edit = window.Edit();
    const int first = edit.Lines().Count() / 2;
    // Down past the view and back: the line ends up near the view's top.
    edit.MoveCaretTo(first + 2 * edit.VisibleLines(), 0);
    edit.MoveCaretTo(first, 0);
    studio.SetSyncMode(true);
    studio.PlayPause();
    QApplication::processEvents();
    const int view = edit.TopLine();
    if (!studio.Player().Playing() || first + 1 >= view + edit.VisibleLines()) {
      std::fprintf(stderr, "the song did not play in the main window, or the caret is not where it was put\n");
      std::exit(1);
    }
    constexpr int kStamps = 200;
    std::vector<double> keys, stamps, scrolling;
    for (int i = 0; i < kStamps; ++i) {
      keys.push_back(window.Key(Qt::Key_A, QStringLiteral("a")));
      keys.push_back(window.Key(Qt::Key_Backspace));
      stamps.push_back(window.Key(Qt::Key_Space, QStringLiteral(" ")));
      window.Key(Qt::Key_Up);
    }
    if (edit.TopLine() != view) {
      std::fprintf(stderr, "a stamp scrolled where none should\n");
      std::exit(1);
    }
    for (int i = 0; i < edit.VisibleLines(); ++i) window.Key(Qt::Key_Space, QStringLiteral(" "));
    const int top = edit.TopLine();
    for (int i = 0; i < kStamps; ++i) scrolling.push_back(window.Key(Qt::Key_Space, QStringLiteral(" ")));
    // Each stamp tagged its line and went on to the next, and each of the second run scrolled.
    if (edit.TopLine() != top + kStamps || edit.Lines().Get(first).rfind('[', 0) != 0) {
      std::fprintf(stderr, "the stamps did not go line by line as measured\n");
      std::exit(1);
    }
    PrintKeys("key", keys);
    PrintKeys("stamp", stamps);
    PrintKeys("stamp_scrolling", scrolling);
    // The sung lines read from the whole text, as on opening a song, and
    // brought up to date after one stamp, as each edit does while a song is open.
    TSungLines sung;
    const Clock::time_point reread = Clock::now();
    sung.Read(edit.Lines());
    std::printf("reread_ms=%.1f\n", MillisecondsSince(reread));
    const Clock::time_point update = Clock::now();
    sung.Changed(edit.Lines(), first, first, first);
    std::printf("sung_update_ms=%.2f\n", MillisecondsSince(update));
  }
  std::filesystem::remove(song);
}

// The waveform strip of a five-minute 44.1 kHz song in the main window:
// the time from opening the window with the song until its envelope is
// whole, then frames of the strip while the song plays, each painted at
// once: the plain frame (the play head moved) and the frame after a wheel
// notch (the envelope drawn again at the new zoom).
void MeasureMainWaveform(const std::filesystem::path& name) {
  using namespace std::chrono_literals;
  const std::filesystem::path song = name.parent_path() / "verselet-bench-waveform.wav";
  std::vector<TMillis> clicks;
  for (TMillis at = 0ms; at < 300000ms; at += 250ms) clicks.push_back(at);
  std::ofstream(song, std::ios::binary) << ClickTrackWave(300000ms, clicks, 44100);
  if (qEnvironmentVariableIsEmpty("VERSELET_AUDIO_SINK")) qputenv("VERSELET_AUDIO_SINK", "fakesink sync=true");
  {
    const Clock::time_point opened = Clock::now();
    TMainWindow window(name, 0, song);
    TWaveformStrip& strip = window.Waveform();
    while (strip.Decoding() && MillisecondsSince(opened) < 60000) {
      QApplication::processEvents(QEventLoop::AllEvents, 5);
      std::this_thread::sleep_for(2ms);
    }
    const double ready = MillisecondsSince(opened);
    if (strip.Decoding() || strip.View()->Envelope().Buckets() < 29900) {
      std::fprintf(stderr, "the envelope of the song did not come whole\n");
      std::exit(1);
    }
    window.Studio().PlayPause();
    TWaveformView& view = *strip.View();
    std::vector<double> frames, redraws;
    for (int i = 0; i < 200; ++i) {
      std::this_thread::sleep_for(5ms);
      window.Studio().Tick();
      Clock::time_point start = Clock::now();
      view.repaint();
      frames.push_back(MillisecondsSince(start));
      const QPointF at(view.width() / 2.0, view.height() / 2.0);
      QWheelEvent wheel(at, view.mapToGlobal(at), {}, QPoint(0, i % 20 < 10 ? 120 : -120), Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
      QApplication::sendEvent(&view, &wheel);
      start = Clock::now();
      view.repaint();
      redraws.push_back(MillisecondsSince(start));
    }
    std::printf("envelope_ready_ms=%.0f\nmarkers=%zu\n", ready, view.Markers().size());
    PrintKeys("frame", frames);
    PrintKeys("redraw", redraws);
  }
  std::filesystem::remove(song);
}

// Stamps in word mode in the middle of the document while the song plays,
// beside a typed character and Backspace at the same caret, interleaved:
// each Space tags the caret's unit and moves to the next, on to the next line
// after a line's last unit, scrolling where the view must follow.
void MeasureMainWordStamp(const std::filesystem::path& name) {
  using namespace std::chrono_literals;
  const std::filesystem::path song = name.parent_path() / "verselet-bench-word-song.wav";
  std::ofstream(song, std::ios::binary) << ClickTrackWave(120s, {1s});
  if (qEnvironmentVariableIsEmpty("VERSELET_AUDIO_SINK")) qputenv("VERSELET_AUDIO_SINK", "fakesink sync=true");
  {
    TMainWindow window(name, 0, song);
    TTimingStudio& studio = window.Studio();
    TRyxEdit& edit = window.Edit();
    const int first = edit.Lines().Count() / 2;
    edit.MoveCaretTo(first, 0);
    studio.SetWordMode(true);
    studio.PlayPause();
    QApplication::processEvents();
    if (!studio.Player().Playing() || !studio.SyncMode()) {
      std::fprintf(stderr, "the song did not play in word mode in the main window\n");
      std::exit(1);
    }
    constexpr int kStamps = 200;
    std::vector<double> keys, stamps;
    for (int i = 0; i < kStamps; ++i) {
      keys.push_back(window.Key(Qt::Key_A, QStringLiteral("a")));
      keys.push_back(window.Key(Qt::Key_Backspace));
      stamps.push_back(window.Key(Qt::Key_Space, QStringLiteral(" ")));
    }
    // The stamps went unit by unit: the first line now starts with its tags.
    if (edit.Lines().Get(first).rfind('[', 0) != 0 || edit.Lines().Get(first).find('<') == std::string_view::npos) {
      std::fprintf(stderr, "the stamps did not tag the units as measured\n");
      std::exit(1);
    }
    PrintKeys("key", keys);
    PrintKeys("wordstamp", stamps);
  }
  std::filesystem::remove(song);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: verselet-bench-window open|memory|save|keys|time-tags|karaoke-tags|useless-lines|main-open|main-keys|"
                 "main-longline|main-stamp|main-wordstamp|main-waveform|main-find FILE\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  // The main window reports its exceptions through the application object, as the program does.
  TApplication app(qtArgc, argv);
  const std::string mode = argv[1];
  const std::filesystem::path name = argv[2];
  if (mode == "open")
    MeasureOpen(name);
  else if (mode == "memory")
    MeasureMemory(name);
  else if (mode == "keys")
    MeasureKeys(name);
  else if (mode == "save")
    MeasureSave(name);
  else if (mode == "time-tags")
    MeasureTool(&TForm1::N9Click, name);
  else if (mode == "karaoke-tags")
    MeasureTool(&TForm1::N16Click, name);
  else if (mode == "useless-lines")
    MeasureTool(&TForm1::N10Click, name);
  else if (mode == "main-open")
    MeasureMainOpen(name);
  else if (mode == "main-keys")
    MeasureMainKeys(name);
  else if (mode == "main-find")
    MeasureMainFind(name);
  else if (mode == "main-longline")
    MeasureMainLongLine(name);
  else if (mode == "main-stamp")
    MeasureMainStamp(name);
  else if (mode == "main-waveform")
    MeasureMainWaveform(name);
  else if (mode == "main-wordstamp")
    MeasureMainWordStamp(name);
  else
    return 2;
  return 0;
}
