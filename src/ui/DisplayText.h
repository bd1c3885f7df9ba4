#pragma once

#include "core/ByteCountFormatter.h"
#include "core/PathRules.h"
#include "core/VisiblePath.h"

#include <QString>

#include <cstdint>
#include <string_view>

// The conversions every view makes to show the state's values. Paths stay bytes everywhere else;
// only what is drawn is made visible text.
namespace tarnwick::ui {

inline QString qstring(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Shown exactly as the command line shows it: a name cannot reorder the text around it or hide odd
// bytes (see visiblePath).
inline QString displayPath(std::string_view path)
{
    return qstring(visiblePath(path));
}

// The folder's own name: the last component of its path.
inline QString displayName(std::string_view path)
{
    return displayPath(lastPathComponent(path));
}

inline QString sizeText(int64_t bytes)
{
    return qstring(formatByteCount(bytes));
}

}  // namespace tarnwick::ui
