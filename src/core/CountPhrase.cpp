#include "core/CountPhrase.h"

namespace tarnwick {

std::string countPhrase(int64_t count)
{
    if (count == 1) {
        return "1 folder";
    }
    return std::to_string(count) + " folders";
}

}  // namespace tarnwick
