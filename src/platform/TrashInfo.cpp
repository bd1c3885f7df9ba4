#include "platform/TrashInfo.h"

namespace tarnwick {

namespace {

bool keptLiterally(unsigned char byte)
{
    // Only the marks every URI decoder accepts unescaped. Readers differ over the rest ('+' read as
    // a space, '!' or '*' refused), while an escaped byte decodes the same everywhere.
    return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '_' || byte == '.' || byte == '~' || byte == '/';
}

}  // namespace

std::string percentEncodedPath(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (keptLiterally(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        }
    }
    return encoded;
}

std::string trashDeletionDate(std::time_t when)
{
    struct tm local {};
    if (::localtime_r(&when, &local) == nullptr) {
        return "1970-01-01T00:00:00";
    }
    char text[32];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return std::string(text, length);
}

std::string trashInfoText(std::string_view originalPath, std::time_t deletedAt)
{
    return "[Trash Info]\nPath=" + percentEncodedPath(originalPath) +
           "\nDeletionDate=" + trashDeletionDate(deletedAt) + "\n";
}

}  // namespace tarnwick
