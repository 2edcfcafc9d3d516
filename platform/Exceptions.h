// Exceptions that carry the system's own message texts (UTF-8).
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A list index or capacity outside the list.
class EListError : public Exception {
 public:
  using Exception::Exception;
};

// A number or value that does not fit where it must go.
class ERangeError : public Exception {
 public:
  using Exception::Exception;
};

// Text that is not the number or value it should be.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// A file that cannot be opened, read or written.
class EInOutError : public Exception {
 public:
  using Exception::Exception;
};

// The system's error number as a short Japanese text, as every message of
// the program is; an unusual one is given by its number.
std::string SystemErrorText(int error);

// Work that the user stopped, or that stopped itself, before it changed anything.
class EAbort : public Exception {
 public:
  using Exception::Exception;
};
