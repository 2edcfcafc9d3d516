// Runs the main window tests inside the program's own application object.
#include <gtest/gtest.h>

#include "app/UnitApplication.h"

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
