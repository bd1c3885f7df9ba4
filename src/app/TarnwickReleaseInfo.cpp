#include "app/TarnwickReleaseInfo.h"

#include <QString>
#include <QUrl>
#include <nlohmann/json.hpp>

namespace tarnwick {

namespace {

bool isUrl(const std::string &text)
{
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    return url.isValid() && !url.scheme().isEmpty();
}

// The download link is handed to the desktop to open, so only a web page reached over TLS will
// do: a feed that says "file:", "http:" or the scheme of some installed handler has no usable link.
bool isDownloadUrl(const std::string &text)
{
    const QUrl url(QString::fromStdString(text), QUrl::StrictMode);
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty();
}

std::optional<std::string> urlMember(const nlohmann::json &object, const char *key,
                                     bool (*acceptable)(const std::string &) = isUrl)
{
    const auto member = object.find(key);
    if (member == object.end() || !member->is_string()) {
        return std::nullopt;
    }
    auto text = member->get<std::string>();
    if (!acceptable(text)) {
        return std::nullopt;
    }
    return text;
}

}  // namespace

std::optional<TarnwickReleaseInfo> TarnwickReleaseInfo::decode(std::string_view json)
{
    const auto document = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        return std::nullopt;
    }
    TarnwickReleaseInfo info;
    const auto version = document.find("version");
    if (version == document.end() || !version->is_string()) {
        return std::nullopt;
    }
    info.version = version->get<std::string>();

    auto downloadURL = urlMember(document, "download_url", isDownloadUrl);
    if (!downloadURL) {
        return std::nullopt;
    }
    info.downloadURL = std::move(*downloadURL);

    const auto notes = document.find("release_notes_url");
    if (notes != document.end() && !notes->is_null()) {
        info.releaseNotesURL = urlMember(document, "release_notes_url");
        if (!info.releaseNotesURL) {
            return std::nullopt;
        }
    }
    return info;
}

}  // namespace tarnwick
