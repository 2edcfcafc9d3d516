// TWorkProgress: how far long work got, told to whoever watches it and may stop it.
#pragma once

#include <cstdint>

// Work that may take more than a moment reports now and then; the watcher
// shows it and may stop the work by raising EAbort from Report. Work that
// is stopped has changed nothing.
class TWorkProgress {
 public:
  virtual ~TWorkProgress() = default;
  virtual void Report(std::uint64_t done, std::uint64_t total) = 0;
};
