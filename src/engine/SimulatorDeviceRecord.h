#pragma once

#include <string_view>

namespace tarnwick {

// Whether the bytes of a simulator's device.plist (binary or XML property list) describe a device
// that is unavailable: "isAvailable" false when it is a boolean, else a non-blank
// "availabilityError" string. Anything unreadable or of another shape answers false.
bool deviceRecordSaysUnavailable(std::string_view plistBytes);

// Reads `folder`/device.plist relative to dirFd (AT_FDCWD for an absolute folder path) and tests it.
// Only regular files of a sane size are read, so a FIFO or a huge file cannot stall a scan.
bool isUnavailableSimulatorDevice(int dirFd, std::string_view folder);

}  // namespace tarnwick
