#pragma once

#include <cstdint>
#include <string>

namespace tarnwick {

// "1 folder" for one, otherwise the number and " folders" (zero included).
std::string countPhrase(int64_t count);

}  // namespace tarnwick
