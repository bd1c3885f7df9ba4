#pragma once

#include "core/ByteCountFormatter.h"

#include <QFile>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// The few conversions every view of the guided cleanup makes. Paths stay bytes everywhere else;
// only what is drawn goes through the file-name decoding.
namespace tarnwick::ui {

inline QString utf8Text(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString pathText(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

// The folder's own name: the last component of its path.
inline QString nameText(const std::string &path)
{
    const auto slash = path.find_last_of('/');
    return pathText(slash == std::string::npos || slash + 1 == path.size() ? path : path.substr(slash + 1));
}

inline QString sizeText(int64_t bytes)
{
    return utf8Text(formatByteCount(bytes));
}

}  // namespace tarnwick::ui
