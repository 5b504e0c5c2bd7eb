#pragma once

#include <type_traits>

namespace tavelune {

// std::bit_cast, which not every standard library this engine is built with has yet.
template <typename To, typename From>
  requires(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> && std::is_trivially_copyable_v<From>)
constexpr To BitCast(const From& from) {
  return __builtin_bit_cast(To, from);
}

}  // namespace tavelune
