// libFuzzer target for the two readers of stored user data: the preferences file and the cleanup
// history. Besides not crashing, whatever decodes must encode and decode again to the same values.

#include "app/CleanupHistoryEntry.h"
#include "app/JsonFilePreferencesStore.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    if (const auto values = tarnwick::decodePreferences(text)) {
        const auto again = tarnwick::decodePreferences(tarnwick::encodePreferences(*values));
        if (!again || *again != *values) {
            std::abort();
        }
    }
    if (const auto history = tarnwick::decodeCleanupHistory(text)) {
        const auto again = tarnwick::decodeCleanupHistory(tarnwick::encodeCleanupHistory(*history));
        if (!again || again->size() != history->size()) {
            std::abort();
        }
    }
    return 0;
}
