// Random editing sessions of keys, mouse, messages and settings, checked after every step against a plain text model.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/LeadByte.h"
#include "tests/editor/EditorFixture.h"
#include "tests/TempDir.h"

namespace {

// The text as bytes; its lines are what lies between CR LF pairs, and a lead
// byte pairs with the next byte of its line's content.
struct TPlainText {
  std::string Text;

  std::size_t LineStart(std::size_t at) const {
    if (at < 2) return 0;
    const std::size_t p = Text.rfind("\r\n", at - 2);
    return p == std::string::npos ? 0 : p + 2;
  }
  std::size_t ContentEnd(std::size_t at) const { return std::min(Text.find("\r\n", LineStart(at)), Text.size()); }
  std::size_t CharSize(std::size_t at) const {
    return IsDBCSLeadByte(static_cast<unsigned char>(Text[at])) && at + 1 < ContentEnd(at) ? 2 : 1;
  }
  // The start of the character or line break that ends at at.
  std::size_t Before(std::size_t at) const {
    const std::size_t start = LineStart(at);
    if (at == start) return at - 2;
    std::size_t i = start;
    while (i + CharSize(i) < at) i += CharSize(i);
    return i;
  }
  // Where a caret put at at rests: past a line break that at would split, else
  // at the start of the character that holds the byte at at.
  std::size_t CaretAt(std::size_t at) const {
    if (at > 0 && at < Text.size() && Text.compare(at - 1, 2, "\r\n") == 0) return at + 1;
    std::size_t i = LineStart(at);
    while (i < at && i + CharSize(i) <= at) i += CharSize(i);
    return i;
  }
  // The end of the character or line break that starts at at.
  std::size_t After(std::size_t at) const { return at + (at == ContentEnd(at) ? 2 : CharSize(at)); }
};

std::size_t Offset(const TRyxEdit& edit, int line, int col) {
  std::size_t offset = 0;
  for (int i = 0; i < line; ++i) offset += edit.Lines().Get(i).size();
  return offset + static_cast<std::size_t>(col);
}

template <typename T>
const T& Any(std::mt19937& random, const std::vector<T>& items) {
  return items[std::uniform_int_distribution<std::size_t>(0, items.size() - 1)(random)];
}

// Lines of a file with LF breaks: a CR stays inside a line, and "あ" read from
// UTF-8 ends a line in a lead byte without its trail.
std::string RandomFile(std::mt19937& random) {
  const std::vector<std::string> pieces{"ab", "\xE3\x81\x82", "A\rB", "\t", "\x93\xFA", " ", "\r", "xyz", "\xB1"};
  std::string file = "x\n";
  for (int line = 0; line < 12; ++line) {
    for (int n = std::uniform_int_distribution<int>(0, 3)(random); n > 0; --n) file += Any(random, pieces);
    file += '\n';
  }
  return file + Any(random, pieces);
}

const std::vector<std::string> kMoves{"Right", "Left", "Up", "Down", "Home", "End", "Ctrl+Right", "Ctrl+Left",
                                      "Shift+Right", "Shift+Left", "Shift+Up", "Shift+Down", "Shift+Home",
                                      "Shift+End", "Ctrl+Home", "Ctrl+End", "Ctrl+Shift+End", "Ctrl+Shift+Home",
                                      "PageDown", "PageUp", "Ctrl+Shift+Right", "Ctrl+C"};
const std::vector<std::string> kTyped{"a", " ", "\xB1", "0"};
const std::vector<std::string> kImeResults{"\x82\xA0", "\x93\xFA", "ab", "\x82\xA0\x82\xA2"};
const std::vector<std::string> kPasted{"\r", "\n", "\r\n", "\x82", "q\r", "\nw", "\x93\xFA", "a\0b", "z\r\nz"};

// Each session runs unwrapped and wrapped at a small column.
class RyxEditSession : public testing::TestWithParam<int> {};

TEST_P(RyxEditSession, RandomSessionsKeepTheTextWholeAndMatchThePlainModel) {
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 2026u}) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    auto chance = [&random](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
    auto number = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    TTempDir folder;
    TEditorFixture f("", 265, GetParam());
    ASSERT_TRUE(f.edit.LoadFromFile(folder.WriteFile("lf.txt", RandomFile(random))));
    const std::string original = f.Text();
    TPlainText model{original};
    std::set<std::string> seen{original};

    for (int step = 0; step < 800; ++step) {
      int sl = 0, sc = 0, el = 0, ec = 0;
      const bool selected = f.edit.GetSelBounds(sc, sl, el, ec);
      const std::size_t s = Offset(f.edit, sl, sc);
      const std::size_t e = Offset(f.edit, el, ec);
      const std::size_t caret = Offset(f.edit, f.edit.CaretLine(), f.edit.CaretCol());
      const bool dragging = f.host.DragRunning();
      const std::string before = model.Text;
      // An insertion over a selection may be undone in two steps, through this
      // text. The caret rests on a character's start, also where the bytes
      // brought together make a new character or line break.
      auto removeSelection = [&] {
        if (selected) model.Text.erase(s, e - s);
        seen.insert(model.Text);
        return model.CaretAt(selected ? s : caret);
      };
      std::string input;
      std::size_t expectedCaret = std::string::npos;
      auto insert = [&](const std::string& text) {
        const std::size_t at = removeSelection();
        model.Text.insert(at, text);
        expectedCaret = at + text.size();
      };
      // A drag runs on for a few mouse moves, most often, before its release.
      switch (dragging && chance(40) ? -1 : number(0, 15)) {
        case -1:
          input = chance(50) ? "release"
                             : "move:" + std::to_string(number(0, 14)) + "," + std::to_string(number(-1, 40));
          break;
        case 0:
        case 1:
          input = Any(random, kMoves);
          break;
        case 2: {
          input = "type:" + Any(random, kTyped);
          const std::size_t at = removeSelection();
          if (f.edit.InsertMode() || at == model.ContentEnd(at)) {
            model.Text.insert(at, input.substr(5));
          } else {
            // Overwriting a double-byte character leaves a space for its second half.
            const std::size_t size = model.CharSize(at);
            model.Text.replace(at, size, input.substr(5) + (size == 2 ? " " : ""));
          }
          expectedCaret = at + 1;
          break;
        }
        case 3:
          if (!f.edit.InsertMode()) {
            input = "Insert";
            break;
          }
          input = "ime:" + Any(random, kImeResults);
          insert(input.substr(4));
          break;
        case 4:
          input = chance(50) ? "Return" : "Tab";
          insert(input == "Return" ? "\r\n" : "\t");
          break;
        case 5:
          input = chance(70) ? "Delete" : "Ctrl+X";
          if (selected) {
            removeSelection();
          } else if (input == "Delete" && caret < model.Text.size()) {
            model.Text.erase(caret, model.After(caret) - caret);
          }
          break;
        case 6:
          input = chance(80) ? "Back" : "DeleteCharLeft";
          if (selected)
            removeSelection();
          else if (caret > 0)
            model.Text.erase(model.Before(caret), caret - model.Before(caret));
          break;
        case 7:
          input = Any(random, std::vector<std::string>{"Ctrl+Delete", "Ctrl+Back", "Ctrl+Shift+Back", "DeleteWordLeft"});
          // Ctrl+Backspace at the very start keeps even a selection.
          if (selected && (caret > 0 || input == "Ctrl+Delete")) removeSelection();
          break;
        case 8: {
          const std::string pasted = Any(random, kPasted);
          input = "paste:" + pasted;
          insert(pasted.substr(0, pasted.find('\0')));
          expectedCaret = std::string::npos;
          break;
        }
        case 9:
          input = "press:" + std::to_string(number(0, 15)) + "," + std::to_string(number(-1, 30)) + "," +
                  (chance(20) ? "1" : "0");
          // A press on the selection's start, when it is in view, drags the selection.
          if (selected && chance(40) && sl >= f.edit.TopLine() && sl < f.edit.TopLine() + f.edit.VisibleLines() &&
              f.edit.TextXOfColumn(std::string(f.edit.Lines().Get(sl)), sc) >= f.edit.ScrollX() &&
              f.edit.TextXOfColumn(std::string(f.edit.Lines().Get(sl)), sc) < f.edit.ScrollX() + f.edit.TextWidth() - 2)
            input = "pressat:" + std::to_string(sl) + "," + std::to_string(sc);
          break;
        case 10:
          input = "move:" + std::to_string(number(-1, 16)) + "," + std::to_string(number(-1, 60));
          break;
        case 11:
          input = Any(random, std::vector<std::string>{"release", "tick", "tick"});
          break;
        case 12: {
          const std::vector<int> lines{0, 1, 2, 5, 13, 65535};
          const std::vector<int> cols{0, 1, 2, 3, 4, 5, 6, 7, 9, 65535};
          input = (chance(70) ? "sel:" + std::to_string(Any(random, lines)) + "," + std::to_string(Any(random, cols)) + ","
                              : "caret:") +
                  std::to_string(Any(random, lines)) + "," + std::to_string(Any(random, cols));
          break;
        }
        case 13:
          input = Any(random, std::vector<std::string>{"scrollfix:1", "scrollfix:0", "size:440,10", "size:440,265"});
          break;
        case 14:
          input = "Ctrl+Z";
          break;
        default:
          if (chance(80)) {
            input = "Insert";
            break;
          }
          // WM_CLEAR, refused while read-only.
          f.Do("readonly:" + std::to_string(number(0, 1)));
          input = "clear";
          if (!f.edit.ReadOnly()) model.Text.clear();
          break;
      }
      // While a press inside the selection drags its text, the next press is the release that drops it.
      if (dragging && input.rfind("press", 0) == 0) input = "release";
      if (dragging && input == "release" && selected && (caret < s || caret > e)) {
        const std::string moved = model.Text.substr(s, e - s);
        model.Text.erase(s, e - s);
        model.Text.insert(caret > e ? caret - moved.size() : caret, moved);
      }
      SCOPED_TRACE("step " + std::to_string(step) + " " + input);
      const bool wordDeletion =
          input == "Ctrl+Delete" || input == "Ctrl+Back" || input == "Ctrl+Shift+Back" || input == "DeleteWordLeft";
      f.Do(input);
      f.Do("readonly:0");
      ASSERT_EQ(f.Broken(), "");
      const std::string now = f.Text();
      if (input == "Ctrl+Z") {
        // Undo goes back to some text the session has had.
        ASSERT_TRUE(seen.count(now)) << now;
        model.Text = now;
      } else if (wordDeletion && !selected && now != before) {
        // A word deletion without a selection: bytes next to the caret went, nothing else.
        ASSERT_LT(now.size(), before.size());
        const std::size_t gone = before.size() - now.size();
        const std::size_t from = input == "Ctrl+Delete" ? caret : caret - gone;
        ASSERT_EQ(now, before.substr(0, from) + before.substr(from + gone));
        model.Text = now;
      }
      ASSERT_EQ(now, model.Text);
      if (expectedCaret != std::string::npos) {
        ASSERT_EQ(Offset(f.edit, f.edit.CaretLine(), f.edit.CaretCol()), expectedCaret);
      }
      seen.insert(now);
    }
    f.Do("release");
    for (int n = 0; n < 2000 && !f.edit.UndoList().empty(); ++n) f.Do("Ctrl+Z");
    EXPECT_EQ(f.Text(), original);
    EXPECT_EQ(f.Broken(), "");
  }
}

INSTANTIATE_TEST_SUITE_P(Forms, RyxEditSession, testing::Values(kUnwrapped, kWrapColumn));

}  // namespace
