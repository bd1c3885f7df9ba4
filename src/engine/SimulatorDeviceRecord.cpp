#include "engine/SimulatorDeviceRecord.h"

#include "platform/FileDescriptor.h"
#include "platform/FileIO.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <string>

namespace tarnwick {

namespace {

constexpr off_t kLargestDeviceRecord = 16 * 1024 * 1024;

bool isBlank(std::string_view text)
{
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\v' && c != '\f') {
            return false;
        }
    }
    return true;
}

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};

}  // namespace

bool deviceRecordSaysUnavailable(std::string_view plistBytes)
{
    if (plistBytes.empty() || plistBytes.size() > static_cast<std::size_t>(kLargestDeviceRecord)) {
        return false;
    }
    plist_t parsed = nullptr;
    plist_from_memory(plistBytes.data(), static_cast<uint32_t>(plistBytes.size()), &parsed);
    if (parsed == nullptr) {
        return false;
    }
    const std::unique_ptr<void, PlistDeleter> root(parsed);
    if (plist_get_node_type(parsed) != PLIST_DICT) {
        return false;
    }
    if (plist_t available = plist_dict_get_item(parsed, "isAvailable");
        available != nullptr && plist_get_node_type(available) == PLIST_BOOLEAN) {
        uint8_t value = 1;
        plist_get_bool_val(available, &value);
        return value == 0;
    }
    if (plist_t error = plist_dict_get_item(parsed, "availabilityError");
        error != nullptr && plist_get_node_type(error) == PLIST_STRING) {
        char *text = nullptr;
        plist_get_string_val(error, &text);
        if (text == nullptr) {
            return false;
        }
        const bool unavailable = !isBlank(text);
        std::free(text);  // this libplist version hands out malloc'ed strings
        return unavailable;
    }
    return false;
}

bool isUnavailableSimulatorDevice(int dirFd, std::string_view folder)
{
    std::string recordPath(folder);
    recordPath += "/device.plist";
    const FileDescriptor fd(::openat(dirFd, recordPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd.valid()) {
        return false;
    }
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kLargestDeviceRecord) {
        return false;
    }
    std::string bytes;
    if (!readAll(fd.get(), bytes, static_cast<std::size_t>(kLargestDeviceRecord))) {
        return false;
    }
    return deviceRecordSaysUnavailable(bytes);
}

}  // namespace tarnwick
