// Random editing sessions of every kind of input, checked step by step against the plain model, the screen and the
// change reports.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/editor/EditorDriver.h"

namespace {

// The seeds to run: VERSELET_DRIVER_SEEDS="first-last" sweeps a range (one
// seed alone also does); without it, a few fixed ones.
std::vector<unsigned> Seeds() {
  const char* range = std::getenv("VERSELET_DRIVER_SEEDS");
  if (range == nullptr || *range == '\0') return {1u, 2u, 3u, 4u, 5u, 6u, 7u, 2026u};
  const std::string text(range);
  const unsigned first = static_cast<unsigned>(std::stoul(text));
  const std::size_t dash = text.find('-');
  const unsigned last = dash == std::string::npos ? first : static_cast<unsigned>(std::stoul(text.substr(dash + 1)));
  std::vector<unsigned> seeds;
  for (unsigned seed = first; seed <= last; ++seed) seeds.push_back(seed);
  return seeds;
}

// Odd seeds start wrapped at a small column, even ones unwrapped; the steps switch the wrap on their own.
TEST(RyxEditRandom, SessionsMatchTheModelTheScreenAndTheChangeReportsAtEveryStep) {
  for (const unsigned seed : Seeds()) {
    TEditorDriver driver(seed);
    const std::string wrong = driver.Run(800);
    EXPECT_TRUE(wrong.empty()) << wrong;
  }
}

// Sessions the random driver once failed, cut short, each step checked as in a random session.
TEST(RyxEditRandom, ShortSessionsThatOnceWentWrongMatchAtEveryStep) {
  const std::vector<std::vector<std::string>> sessions{
      // A selection set by the message or by a double click is painted up to
      // its caret, where the next extension goes on from.
      {"setall:abc\r\ndef", "sel:0,1,1,2", "Shift+Up"},
      {"setall:abc def\r\nxy", "dblclick:0,5", "release", "Shift+Left"},
      // A double click beyond a row's end that scrolls the view sideways repaints it.
      {"size:120,200", "counting:1", "wrap:16", "setall:<1>bcbc#", "Ctrl+Shift+Right", "Tab",
       "compose:\x88\x9F\x88\xA0x", "compose:\x88\x9F\x88\xA0x", "dblclick:15,0"},
      // A rewrap while the whole text is selected keeps it all selected.
      {"wrap:10", "setall:abc\r\ndef", "Ctrl+A", "wrap:16", "Delete"},
      // Ctrl+Shift+Home keeps the whole text selected.
      {"setall:abc", "Ctrl+End", "Ctrl+A", "Ctrl+Shift+Home", "Delete"},
      // Ctrl+A while the button is held ends the mouse selection.
      {"setall:abc\r\ndef", "press:0,1", "Ctrl+A", "move:1,2", "Delete"},
      // An edit that changes the character before it, or what counted markup
      // leaves on its row before it, repaints that too.
      {"setall:0\xE3\x81\x82", "Ctrl+End", "type:["},
      {"counting:1", "wrap:10", "setall:abcdefghi<7>", "Ctrl+End", "compose:\x82\xA0"},
      {"setall:x\nq\r", "Ctrl+End", "paste:\nw"},
      // A text drag that ends outside the control leaves the selection painted up to the caret.
      {"setall:abcdef", "Shift+Right", "Shift+Right", "Shift+Right", "pressat:0,1", "move:0,5", "dropelsewhere",
       "Shift+Left"},
      // Dragging by words past the text area's side scrolls the view and paints it again.
      {"size:200,265", "setall:a\r\nbc de fg hi jk lm no pq rs tu vw xy", "dblclick:1,1", "move:1,40"},
      // Typing over a selection that starts past a selected line's break is undone in one step.
      {"setall:x\r\nxyz\r\nab", "press:0,-1", "release", "press:2,1,1", "type:q", "Ctrl+Z"},
      // A triple click on a later piece of a wrapped line puts the caret on the line's start.
      {"wrap:10", "setall:\x93\xFA" "abcdefghijk", "dblclick:1,1", "dblclick:1,1"},
      // A Shift+press after a triple click extends from the line's start, where the selection is painted up to.
      {"setall:ab", "dblclick:0,5", "dblclick:0,5", "press:0,5,1"},
  };
  for (const std::vector<std::string>& steps : sessions) {
    TEditorDriver driver(2);
    const std::string wrong = driver.Replay(steps);
    EXPECT_TRUE(wrong.empty()) << wrong;
  }
}

}  // namespace
