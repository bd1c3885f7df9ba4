#pragma once

#include <cstddef>
#include <string_view>

namespace tarnwick {

// Length of the well-formed UTF-8 sequence that starts at text[index], or 0 when the byte there
// starts none (stray continuation bytes, overlong forms, surrogates, truncated sequences).
std::size_t utf8SequenceLength(std::string_view text, std::size_t index);

bool isValidUtf8(std::string_view text);

}  // namespace tarnwick
