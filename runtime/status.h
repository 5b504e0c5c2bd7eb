#pragma once

namespace tavelune {

// Every operation that can fail says so; nothing is thrown across the libraries.
enum class [[nodiscard]] Status : bool { kOk = true, kFailed = false };

}  // namespace tavelune
