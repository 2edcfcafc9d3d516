// Random editing sessions of every kind of input, checked step by step against the plain model, the screen and the
// change reports.
#include <gtest/gtest.h>

#include "tests/editor/EditorDriver.h"

namespace {

// Odd seeds start wrapped at a small column, even ones unwrapped; the steps switch the wrap on their own.
TEST(RyxEditRandom, SessionsMatchTheModelTheScreenAndTheChangeReportsAtEveryStep) {
  for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 2026u}) {
    TEditorDriver driver(seed);
    const std::string wrong = driver.Run(800);
    EXPECT_TRUE(wrong.empty()) << wrong;
  }
}

}  // namespace
