// libFuzzer entry point for the report engine's selection formula: the first line of the
// input is parsed as a formula; when it parses, it is tested against rows whose field values
// come from the following lines (a whole or a decimal number when the line reads as one, else its text, and no
// value once the input is used up). Parsing and testing must end, whatever the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "platform/report/SelectionFormula.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vx::fuzz::FuzzInput input(data, size);
  const std::string text(input.Line());
  vx::report::SelectionFormula formula;
  std::string error;
  std::string literal;
  vx::report::ParseTextLiteral(text, literal);
  if (!formula.Parse(text, error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  formula.Fields();
  for (int row = 0; row < 4; ++row) {
    formula.Matches([&](const std::string&) -> vx::dao::DaoValue {
      if (input.Empty()) return {};
      const std::string value(input.Line());
      const char* const last = value.c_str() + value.size();
      char* end = nullptr;
      const long long whole = std::strtoll(value.c_str(), &end, 10);
      if (!value.empty() && end == last) return std::int64_t{whole};
      const double number = std::strtod(value.c_str(), &end);
      if (!value.empty() && end == last) return number;
      return value;
    });
  }
  return 0;
}
