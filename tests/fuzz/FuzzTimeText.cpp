// The text-to-time conversion against the model: same verdict, same time, the text quoted.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/AppError.h"
#include "hangup/TimeOfDay.h"
#include "tests/fuzz/Models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto expected = model::ParseTime(text);
  try {
    const double time = perchette::StrToTime(text);
    if (!expected) std::abort();
    // A day fraction: whole milliseconds of the day once multiplied back.
    const long long ms =
        (expected->hour * 3600LL + expected->minute * 60 + expected->second) * 1000;
    if (std::llround(time * 86400000.0) != ms) std::abort();
  } catch (const perchette::AppError& error) {
    if (expected) std::abort();
    // Compared as C texts: what() ends at the first NUL of the quoted text.
    const std::string message = "'" + std::string(text) + "' は時刻ではありません";
    if (std::strcmp(error.what(), message.c_str()) != 0) std::abort();
  }
  return 0;
}
