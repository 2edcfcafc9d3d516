// TSpooledOutput: standard output that receives a result only once all of it is there.
#pragma once

#include <string_view>

// The bytes wait in an unnamed temporary file (never memory, whatever the
// size) and go to standard output at Commit; without a Commit nothing is
// written, so a file that fails half-way leaves no half result behind.
// Failures raise EInOutError.
class TSpooledOutput {
 public:
  TSpooledOutput();
  TSpooledOutput(const TSpooledOutput&) = delete;
  TSpooledOutput& operator=(const TSpooledOutput&) = delete;
  ~TSpooledOutput();

  void Write(std::string_view bytes);
  void Commit();

 private:
  int FFd = -1;
};
