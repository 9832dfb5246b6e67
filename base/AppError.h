#pragma once

#include <stdexcept>

namespace perchette {

// An error raised by the program's own work; its message is shown by the general error report.
// what() is UTF-8.
class AppError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace perchette
