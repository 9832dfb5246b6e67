// Integer text and the settings file's "0x" rule against the model.
#include <cstdlib>
#include <string_view>

#include "base/IntText.h"
#include "settings/ValueText.h"
#include "tests/fuzz/Models.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (perchette::ParseIntText(text) != model::ParseInt(text)) std::abort();

  const int32_t fallback = 59;
  const auto expected = model::ParseInt(model::ValueText(text));
  if (perchette::IntFromValueText(text, fallback) != expected.value_or(fallback)) std::abort();

  // Whatever converts is written back as a text that converts to the same number.
  if (expected && perchette::ParseIntText(perchette::IntToText(*expected)) != expected)
    std::abort();
  return 0;
}
