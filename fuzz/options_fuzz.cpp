// What users type: arbitrary argument lists through the option table, and arbitrary text
// through the figure-code reader. Nothing may crash, and whatever is accepted must be what
// it claims: an accepted code is the canonical code of what it decodes to, and accepted
// options hold values within their ranges.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/options.h"
#include "figure/figure_code.h"

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

// The code as it would have been printed: upper case, I and L as 1, O as 0, no separators.
std::string Canonical(std::string_view typed) {
  std::string code;
  for (char c : typed) {
    if (c == '-' || c == ' ') continue;
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    code += c == 'I' || c == 'L' ? '1' : c == 'O' ? '0' : c;
  }
  return code;
}

void FuzzCode(std::string_view text) {
  tavelune::CodeFault fault = tavelune::CodeFault::kNone;
  const auto figure = tavelune::DecodeFigure(text, &fault);
  Check(figure.has_value() == (fault == tavelune::CodeFault::kNone));
  if (figure) Check(tavelune::EncodeFigure(*figure) == Canonical(text));
}

void FuzzArguments(std::string_view text) {
  QStringList arguments{"tavelune"};
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    arguments << QString::fromUtf8(text.data() + start, static_cast<qsizetype>(end - start));
    start = end + 1;
  }
  const std::optional<ProgramOptions> options = ParseProgramOptions(arguments);
  if (!options) return;
  if (options->front_end == FrontEnd::kPng) Check(!options->png.isEmpty());
  if (options->front_end != FrontEnd::kPng) Check(!options->scale.has_value());
  if (options->scale) Check(*options->scale >= 0.25 && *options->scale <= 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    FuzzCode(text);
  } else {
    FuzzArguments(text);
  }
  return 0;
}
