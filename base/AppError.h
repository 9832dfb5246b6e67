#pragma once

#include <exception>
#include <string>

namespace perchette {

// An error raised by the program's own work; its message is shown by the general error report.
// what() is UTF-8. It keeps its message in a plain string rather than deriving from the standard
// library's runtime_error, whose reference-counted string would bring a second string
// implementation into the program.
class AppError : public std::exception {
 public:
  explicit AppError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

}  // namespace perchette
