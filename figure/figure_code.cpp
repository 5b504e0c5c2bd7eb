#include "figure/figure_code.h"

#include <array>

#include "runtime/random_source.h"

namespace tavelune {
namespace {

constexpr std::string_view kAlphabet = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
constexpr std::uint8_t kVersion = 1;
constexpr int kPayloadBytes = 9;  // version and directions, then the state, big-endian
constexpr int kBytes = kPayloadBytes + 2;
constexpr int kBits = 5 * static_cast<int>(kFigureCodeLength);  // the last two are zero
static_assert(kBits >= 8 * kBytes && kBits - 8 * kBytes < 5);

using Bytes = std::array<std::uint8_t, kBytes>;

// CRC-16/CCITT-FALSE. It detects every error burst of up to 16 bits, and one changed
// character changes at most 5 consecutive bits.
std::uint16_t Crc16(const std::uint8_t* data, int n) {
  std::uint16_t crc = 0xffff;
  for (int i = 0; i < n; ++i) {
    crc ^= static_cast<std::uint16_t>(data[i] << 8);
    for (int bit = 0; bit < 8; ++bit) crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
  }
  return crc;
}

int Bit(const Bytes& bytes, int i) { return i < 8 * kBytes ? (bytes[i / 8] >> (7 - i % 8)) & 1 : 0; }

std::uint8_t DirectionBits(const Directions& d) {
  return static_cast<std::uint8_t>((d.fre > 0) << 3 | (d.fgr > 0) << 2 | (d.fbl > 0) << 1 | (d.fr > 0));
}

std::int16_t DirectionOf(std::uint8_t bits, int shift) { return (bits >> shift) & 1 ? 1 : -1; }

// The symbol a typed character stands for, as Crockford's base 32 reads it; -1 for none.
int SymbolOf(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c == 'I' || c == 'L') c = '1';
  if (c == 'O') c = '0';
  const std::size_t symbol = kAlphabet.find(c);
  return symbol == std::string_view::npos ? -1 : static_cast<int>(symbol);
}

bool IsSeparator(char c) { return c == '-' || c == ' '; }

std::optional<CodedFigure> Refuse(CodeFault why, CodeFault* fault) {
  if (fault) *fault = why;
  return std::nullopt;
}

}  // namespace

std::string EncodeFigure(const CodedFigure& figure) {
  Bytes bytes{};
  bytes[0] = static_cast<std::uint8_t>(kVersion << 4 | DirectionBits(figure.directions));
  for (int i = 0; i < 8; ++i) bytes[1 + i] = static_cast<std::uint8_t>(figure.state >> (56 - 8 * i));
  const std::uint16_t crc = Crc16(bytes.data(), kPayloadBytes);
  bytes[kPayloadBytes] = static_cast<std::uint8_t>(crc >> 8);
  bytes[kPayloadBytes + 1] = static_cast<std::uint8_t>(crc);
  std::string code;
  for (int c = 0; c < kBits; c += 5) {
    int symbol = 0;
    for (int i = 0; i < 5; ++i) symbol = symbol << 1 | Bit(bytes, c + i);
    code += kAlphabet[symbol];
  }
  return code;
}

std::optional<CodedFigure> DecodeFigure(std::string_view typed, CodeFault* fault) {
  std::string code;
  for (const char c : typed) {
    if (!IsSeparator(c)) code += c;
  }
  if (code.size() != kFigureCodeLength) return Refuse(CodeFault::kLength, fault);
  std::array<int, kFigureCodeLength> symbols{};
  for (std::size_t c = 0; c < code.size(); ++c) {
    if ((symbols[c] = SymbolOf(code[c])) < 0) return Refuse(CodeFault::kCharacter, fault);
  }
  Bytes bytes{};
  for (std::size_t c = 0; c < code.size(); ++c) {
    for (int i = 0; i < 5; ++i) {
      const int at = static_cast<int>(5 * c) + i;
      const int bit = (symbols[c] >> (4 - i)) & 1;
      if (at >= 8 * kBytes) {
        if (bit) return Refuse(CodeFault::kCheck, fault);  // the padding must be zero
        continue;
      }
      bytes[at / 8] = static_cast<std::uint8_t>(bytes[at / 8] | bit << (7 - at % 8));
    }
  }
  const std::uint16_t crc = Crc16(bytes.data(), kPayloadBytes);
  if (bytes[kPayloadBytes] != (crc >> 8) || bytes[kPayloadBytes + 1] != (crc & 0xff) || bytes[0] >> 4 != kVersion) {
    return Refuse(CodeFault::kCheck, fault);
  }
  CodedFigure figure;
  const std::uint8_t d = bytes[0] & 0x0f;
  figure.directions = {DirectionOf(d, 3), DirectionOf(d, 2), DirectionOf(d, 1), DirectionOf(d, 0)};
  for (int i = 0; i < 8; ++i) figure.state = figure.state << 8 | bytes[1 + i];
  if (fault) *fault = CodeFault::kNone;
  return figure;
}

std::optional<std::string> CodeOf(const FigureStart& start) {
  const auto* pcg = dynamic_cast<const Pcg32Source*>(start.random.get());
  if (pcg == nullptr || pcg->Stream() != Pcg32Source::kDefaultStream) return std::nullopt;
  return EncodeFigure({pcg->State(), start.directions});
}

FigureStart StartOf(const CodedFigure& figure) {
  return {std::make_unique<Pcg32Source>(figure.state, Pcg32Source::kDefaultStream), figure.directions};
}

}  // namespace tavelune
