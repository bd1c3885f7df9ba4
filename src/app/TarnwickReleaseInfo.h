#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// The release feed's announcement of the latest version. URLs are kept as the feed wrote them.
struct TarnwickReleaseInfo {
    std::string version;
    std::string downloadURL;
    // Checked when the feed is read, not used afterwards.
    std::optional<std::string> releaseNotesURL;

    bool operator==(const TarnwickReleaseInfo &) const = default;

    // Reads a feed document: a JSON object with the strings "version" and "download_url" and, if
    // present and not null, the string "release_notes_url". A URL must be absolute and parse
    // strictly, and the download URL must be https with a host; other keys are ignored. Anything
    // else (not JSON, a missing key, a wrong type, a URL that does not parse, a download URL of
    // another scheme) gives nothing.
    static std::optional<TarnwickReleaseInfo> decode(std::string_view json);
};

}  // namespace tarnwick
