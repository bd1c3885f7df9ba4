#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// The one byte-count text of the whole product, in file style: decimal multiples (1 KB = 1,000
// bytes), "bytes" below one kilobyte, no decimals for KB, one for MB, two from GB upwards.
std::string formatByteCount(int64_t bytes);

}  // namespace tarnwick
