// The editing session's check: input bytes become keys, characters, input-method results, mouse, clipboard,
// undo and property changes on a headless control, with the text's invariants checked after every step.
#include <array>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "editor/RyxEdit.h"
#include "editor/RyxEditSub.h"
#include "platform/headless/HeadlessHost.h"
#include "tests/TempDir.h"
#include "tests/fuzz/FuzzChecks.h"
#include "tests/fuzz/FuzzReader.h"

// How the bytes are read: the first byte is the length of the file the
// session opens, whose bytes follow (so that LF and CR files and a CR inside
// a line come in as the loaders make them); every later byte picks a step,
// and the bytes after it give the step's arguments. Missing bytes read as 0.

namespace {

// Beyond this size of text, steps that could add text are skipped, so that a
// session stays fast and its whole history fits the undo budget.
constexpr std::size_t kMaxText = 2048;

constexpr std::array<WORD, 26> kKeys{VK_LEFT,   VK_RIGHT,  VK_UP,    VK_DOWN,  VK_HOME,    VK_END,  VK_PRIOR,
                                     VK_NEXT,   VK_DELETE, VK_BACK,  VK_RETURN, VK_TAB,    VK_INSERT, VK_ESCAPE,
                                     VK_CONVERT, VK_SPACE, VK_F10,   'A',      'C',        'V',     'X',
                                     'Z',       'Y',       VK_LEFT,  VK_RIGHT, VK_DELETE};

// Keys that can add text: paste, Shift+Insert, Enter and Tab.
bool CanAddText(WORD key) { return key == 'V' || key == VK_INSERT || key == VK_RETURN || key == VK_TAB; }

// Whole characters of code page 932 as an input method or the clipboard
// gives them: ASCII, half-width katakana, kana, kanji whose trail byte is a
// lead-byte value as well, the full-width space and CR LF (clipboard only).
const std::array<std::string_view, 12> kPieces{"a",        "Z",        " ",        "\t",       "\xB1",     "\x82\xA0",
                                                "\x8E\x9A", "\x81\x40", "\x88\x9F", "\xE0\x40", "\x83\x5C", "\r\n"};

std::string Pieces(TReader& in, std::size_t count, bool lineBreaks) {
  std::string text;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view piece = kPieces[in.Byte() % kPieces.size()];
    if (piece == "\r\n" && !lineBreaks) continue;
    text += piece;
  }
  return text;
}

TShiftState Modifiers(unsigned bits) {
  return ((bits & 1) ? ssShift : 0) | ((bits & 2) ? ssCtrl : 0) | ((bits & 4) ? ssAlt : 0);
}

class TSession {
 public:
  TSession() : FHost(440, 265) {
    FHost.Attach(FEdit);
    FHost.SetFocus();
  }

  std::string Run(std::string_view input) {
    TReader in(input);
    const std::size_t fileLength = in.Byte();
    Open(std::string(in.Take(fileLength)));
    FOriginal = FEdit.GetAllText();
    if (std::string fault = Check("opening the file"); !fault.empty()) return fault;
    for (int step = 0; !in.Done(); ++step) {
      const unsigned op = in.Byte();
      // Named by its kind until the step has said what it did.
      std::string what = "kind " + std::to_string(op % 18);
      try {
        what = Step(op, in);
      } catch (const std::exception& e) {
        return "step " + std::to_string(step) + " (" + what + ") raised: " + e.what();
      }
      if (std::string fault = Check(what); !fault.empty()) return "step " + std::to_string(step) + ": " + fault;
    }
    return UndoEverything();
  }

 private:
  void Open(const std::string& file) {
    static const TTempDir folder;
    FEdit.LoadFromFile(folder.WriteFile("session.txt", file));
  }

  bool TextIsFull() const { return FEdit.GetAllText().size() > kMaxText; }

  // Holds the modifier keys down in the key state while one input is handled.
  template <class Input>
  void WithModifiers(TShiftState modifiers, Input&& input) {
    FHost.SetKeyDown(VK_SHIFT, (modifiers & ssShift) != 0);
    FHost.SetKeyDown(VK_CONTROL, (modifiers & ssCtrl) != 0);
    FHost.SetKeyDown(VK_MENU, (modifiers & ssAlt) != 0);
    input();
    FHost.SetKeyDown(VK_SHIFT, false);
    FHost.SetKeyDown(VK_CONTROL, false);
    FHost.SetKeyDown(VK_MENU, false);
  }

  TShiftState HeldButtons() const {
    return (FHost.GetKeyState(VK_LBUTTON) < 0 ? ssLeft : 0) | (FHost.GetKeyState(VK_RBUTTON) < 0 ? ssRight : 0) |
           (FHost.GetKeyState(VK_MBUTTON) < 0 ? ssMiddle : 0);
  }

  void SendKey(WORD key, TShiftState modifiers, bool down) {
    WithModifiers(modifiers, [&] {
      FHost.SetKeyDown(key, down);
      const bool alt = (modifiers & ssAlt) != 0;
      const LPARAM context = alt ? LPARAM{1} << 29 : 0;
      if (down)
        FEdit.Perform(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, 1 | context);
      else
        FEdit.Perform(alt ? WM_SYSKEYUP : WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u) | context);
    });
  }

  // A client point from two bytes: a little beyond every edge of the window.
  static int Coordinate(unsigned b, int size) { return static_cast<int>(b) * (size + 64) / 255 - 32; }

  std::string Step(unsigned op, TReader& in) {
    switch (op % 18) {
      case 0:
      case 1:
      case 2: {
        const WORD key = kKeys[in.Byte() % kKeys.size()];
        const TShiftState modifiers = Modifiers(in.Byte());
        if (CanAddText(key) && TextIsFull()) return "key skipped";
        // Up to three presses without a release: an auto-repeat.
        const unsigned presses = op % 3 + 1;
        for (unsigned i = 0; i < presses; ++i) SendKey(key, modifiers, true);
        if (op != 2) SendKey(key, modifiers, false);
        return "key " + std::to_string(key) + " x" + std::to_string(presses);
      }
      case 3: {
        const unsigned code = in.Byte();
        if (TextIsFull()) return "char skipped";
        WithModifiers(Modifiers(in.Byte() & 2), [&] { FEdit.Perform(WM_CHAR, code, 1); });
        return "char " + std::to_string(code);
      }
      case 4: {
        const std::string result = Pieces(in, in.Byte() % 6 + 1, false);
        if (TextIsFull()) return "ime skipped";
        FHost.SetImeResult(result);
        FEdit.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
        FEdit.Perform(WM_IME_COMPOSITION, 0, GCS_RESULTSTR);
        FEdit.Perform(WM_IME_ENDCOMPOSITION, 0, 0);
        FHost.SetImeResult({});
        return "ime \"" + PrintableBytes(result) + "\"";
      }
      case 5:
        // A composition that the next steps may interrupt.
        FEdit.Perform(WM_IME_STARTCOMPOSITION, 0, 0);
        return "composition starts";
      case 6:
      case 7:
      case 8: {
        const int x = Coordinate(in.Byte(), FHost.ClientWidth());
        const int y = Coordinate(in.Byte(), FHost.ClientHeight());
        const unsigned how = in.Byte();
        const TMouseButton button = how % 4 == 3 ? TMouseButton::mbRight : TMouseButton::mbLeft;
        const WORD buttonKey = button == TMouseButton::mbRight ? VK_RBUTTON : VK_LBUTTON;
        const TShiftState modifiers = Modifiers(how >> 2);
        WithModifiers(modifiers, [&] {
          if (op == 6) {
            FHost.SetKeyDown(buttonKey, true);
            FEdit.MouseDown(button, modifiers | HeldButtons(), x, y);
          } else if (op == 7) {
            FEdit.MouseMove(modifiers | HeldButtons(), x, y);
          } else {
            FHost.SetKeyDown(buttonKey, false);
            FEdit.MouseUp(button, modifiers | HeldButtons(), x, y);
          }
        });
        return std::string(op == 6 ? "mouse down " : op == 7 ? "mouse move " : "mouse up ") + std::to_string(x) +
               "," + std::to_string(y);
      }
      case 9: {
        const int x = Coordinate(in.Byte(), FHost.ClientWidth());
        const int y = Coordinate(in.Byte(), FHost.ClientHeight());
        FEdit.DblClick();
        FHost.SetKeyDown(VK_LBUTTON, true);
        FEdit.MouseDown(TMouseButton::mbLeft, HeldButtons() | ssDouble, x, y);
        return "double click " + std::to_string(x) + "," + std::to_string(y);
      }
      case 10: {
        const unsigned ticks = in.Byte() % 8 + 1;
        for (unsigned i = 0; i < ticks; ++i) FHost.TickTimers();
        return "timer x" + std::to_string(ticks);
      }
      case 11: {
        // The host hands over clipboard text with CR LF breaks and no NUL.
        const std::string text = Pieces(in, in.Byte() % 8, true);
        FHost.SetClipboard(text);
        return "clipboard \"" + PrintableBytes(text) + "\"";
      }
      case 12:
        if (in.Byte() % 2 == 0) {
          FEdit.Undo();
          return "undo";
        }
        FEdit.Redo();
        return "redo";
      case 13:
        return Message(in);
      case 14:
        return Property(in);
      case 15: {
        const int width = static_cast<int>(in.Byte()) * 2;
        const int height = static_cast<int>(in.Byte()) * 2;
        FHost.Resize(width, height);
        return "resize " + std::to_string(width) + "x" + std::to_string(height);
      }
      case 16:
        if (FHost.Focused()) {
          FHost.KillFocus();
          return "focus lost";
        }
        FHost.SetFocus();
        return "focus back";
      default:
        return Operation(in);
    }
  }

  std::string Message(TReader& in) {
    const unsigned which = in.Byte() % 10;
    switch (which) {
      case 0: {
        const unsigned a = in.Byte(), b = in.Byte(), c = in.Byte(), d = in.Byte();
        FEdit.Perform(EM_SETSEL, PackPosition(static_cast<int>(b), static_cast<int>(a % 64)),
                      static_cast<LPARAM>(PackPosition(static_cast<int>(d), static_cast<int>(c % 64))));
        return "EM_SETSEL";
      }
      case 1: {
        const unsigned line = in.Byte() % 64, col = in.Byte();
        FEdit.Perform(FEdit.MsgSetCaretPos(), 0, static_cast<LPARAM>(PackPosition(static_cast<int>(col), static_cast<int>(line))));
        return "set caret position";
      }
      case 2:
        FEdit.Perform(WM_CUT, 0, 0);
        return "WM_CUT";
      case 3:
        FEdit.Perform(WM_COPY, 0, 0);
        return "WM_COPY";
      case 4:
        if (TextIsFull()) return "WM_PASTE skipped";
        FEdit.Perform(WM_PASTE, 0, 0);
        return "WM_PASTE";
      case 5:
        FEdit.Perform(WM_CLEAR, 0, 0);
        return "WM_CLEAR";
      case 6:
        FEdit.Perform(WM_UNDO, 0, 0);
        return "WM_UNDO";
      case 7:
      case 8: {
        const WORD code = static_cast<WORD>(in.Byte() % 9);
        const WORD pos = static_cast<WORD>(in.Byte());
        FEdit.Perform(which == 7 ? WM_VSCROLL : WM_HSCROLL, MakeLong(code, pos), 0);
        return which == 7 ? "WM_VSCROLL" : "WM_HSCROLL";
      }
      default: {
        const auto delta = static_cast<std::int16_t>(in.Byte() % 2 == 0 ? 120 : -120);
        FEdit.Perform(WM_MOUSEWHEEL, MakeLong(0, static_cast<WORD>(delta)), 0);
        return "WM_MOUSEWHEEL";
      }
    }
  }

  std::string Property(TReader& in) {
    using TSetter = void (*)(TRyxEdit&, unsigned);
    struct TChange {
      const char* Name;
      TSetter Set;
    };
    static const std::array<TChange, 20> kChanges{
        TChange{"ReadOnly", [](TRyxEdit& e, unsigned v) { e.SetReadOnly(v % 2); }},
        TChange{"SingleByteMode", [](TRyxEdit& e, unsigned v) { e.SetSingleByteMode(v % 2); }},
        TChange{"CaretScrollFix", [](TRyxEdit& e, unsigned v) { e.SetCaretScrollFix(v % 2); }},
        TChange{"WordWrap", [](TRyxEdit& e, unsigned v) { e.SetWordWrap(v % 2); }},
        TChange{"Column", [](TRyxEdit& e, unsigned v) { e.SetColumn(static_cast<int>(v)); }},
        TChange{"TabCount", [](TRyxEdit& e, unsigned v) { e.SetTabCount(static_cast<int>(v % 10)); }},
        TChange{"LeftMargin", [](TRyxEdit& e, unsigned v) { e.SetLeftMargin(static_cast<int>(v % 40)); }},
        TChange{"TopMargin", [](TRyxEdit& e, unsigned v) { e.SetTopMargin(static_cast<int>(v % 40)); }},
        TChange{"ShowLineNumber", [](TRyxEdit& e, unsigned v) { e.SetShowLineNumber(v % 2); }},
        TChange{"LineNoColumn", [](TRyxEdit& e, unsigned v) { e.SetLineNoColumn(static_cast<int>(v % 7)); }},
        TChange{"LineSpace", [](TRyxEdit& e, unsigned v) { e.SetLineSpace(static_cast<int>(v) - 20); }},
        TChange{"LineSpaceUnit",
                [](TRyxEdit& e, unsigned v) { e.SetLineSpaceUnit(v % 2 ? TLineSizeUnit::uPixel : TLineSizeUnit::uPercent); }},
        TChange{"HorzScrollBar", [](TRyxEdit& e, unsigned v) { e.SetHorzScrollBar(v % 2); }},
        TChange{"VertScrollBar", [](TRyxEdit& e, unsigned v) { e.SetVertScrollBar(v % 2); }},
        TChange{"CurSetMode", [](TRyxEdit& e, unsigned v) { e.SetCurSetMode(v % 2); }},
        TChange{"AutoIndent", [](TRyxEdit& e, unsigned v) { e.SetAutoIndent(v % 2); }},
        TChange{"WantTabs", [](TRyxEdit& e, unsigned v) { e.SetWantTabs(v % 2); }},
        TChange{"ShowMarks",
                [](TRyxEdit& e, unsigned v) {
                  e.SetShowTAB(v & 1);
                  e.SetShowCR(v & 2);
                  e.SetShowEOF(v & 4);
                  e.SetShowDblSpace(v & 8);
                  e.SetColorPrintF(v & 16);
                  e.SetShowUnderLine(v & 32);
                }},
        TChange{"FontHeight",
                [](TRyxEdit& e, unsigned v) {
                  static constexpr std::array<int, 8> kHeights{-19, -1, 0, 1, 40, -200, INT_MIN, INT_MAX};
                  TFont font = e.Font();
                  font.SetHeight(kHeights[v % kHeights.size()]);
                  e.SetFont(font);
                }},
        TChange{"FontSize",
                [](TRyxEdit& e, unsigned v) {
                  static constexpr std::array<int, 6> kSizes{14, 1, 0, -5, INT_MAX, INT_MIN};
                  TFont font = e.Font();
                  font.SetSize(kSizes[v % kSizes.size()]);
                  e.SetFont(font);
                }},
    };
    const TChange& change = kChanges[in.Byte() % kChanges.size()];
    const unsigned value = in.Byte();
    change.Set(FEdit, value);
    // Most owners apply a display change at once; some leave it for later.
    if (value & 0x80) {
      FEdit.Redesign();
      FEdit.RefreshView();
    }
    return std::string("property ") + change.Name + " " + std::to_string(value);
  }

  std::string Operation(TReader& in) {
    switch (in.Byte() % 6) {
      case 0:
        FEdit.SelectAll();
        return "SelectAll";
      case 1:
        FEdit.CopyToClipboard();
        return "CopyToClipboard";
      case 2:
        FEdit.GotoDocumentStart();
        return "GotoDocumentStart";
      case 3:
        FEdit.GotoDocumentEnd();
        return "GotoDocumentEnd";
      case 4:
        FEdit.CompleteComposition();
        return "CompleteComposition";
      default:
        FEdit.RefreshView();
        return "RefreshView";
    }
  }

  std::string Check(const std::string& what) {
    if (std::vector<std::string> boxes = FHost.TakeMessageBoxes(); !boxes.empty())
      return "after " + what + " the host showed \"" + boxes.front() + "\"";
    if (std::string fault = CheckLineForm(FEdit.Lines(), FEdit.WordWrap()); !fault.empty())
      return "after " + what + " " + fault;
    if (std::string fault = CheckCaretPlace(FEdit); !fault.empty()) return "after " + what + " " + fault;
    return {};
  }

  std::string UndoEverything() {
    for (int guard = 0; !FEdit.UndoList().empty() && guard < 100000; ++guard) {
      FEdit.Undo();
      if (std::string fault = Check("undo at the end"); !fault.empty()) return fault;
    }
    if (const std::string text = FEdit.GetAllText(); text != FOriginal)
      return "undoing everything gave \"" + PrintableBytes(text) + "\", not \"" + PrintableBytes(FOriginal) + "\"";
    return {};
  }

  THeadlessHost FHost;
  TRyxEdit FEdit;
  std::string FOriginal;
};

}  // namespace

std::string CheckEditingSession(std::string_view input) {
  try {
    TSession session;
    return session.Run(input);
  } catch (const std::exception& e) {
    return std::string("exception: ") + e.what();
  }
}
