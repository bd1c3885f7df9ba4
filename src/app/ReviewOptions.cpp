#include "app/ReviewOptions.h"

#include "core/EnumRawValue.h"

namespace tarnwick {


std::string_view rawValue(SizePreset value)
{
    constexpr std::array<std::string_view, 5> raw{"any", "mb100", "mb500", "gb1", "gb2"};
    return raw[static_cast<std::size_t>(value)];
}

std::string_view rawValue(ReviewFilter value)
{
    constexpr std::array<std::string_view, 3> raw{"all", "selected", "unselected"};
    return raw[static_cast<std::size_t>(value)];
}

std::string_view rawValue(CandidateSortMode value)
{
    constexpr std::array<std::string_view, 5> raw{"largest", "smallest", "target", "lastModified", "path"};
    return raw[static_cast<std::size_t>(value)];
}

std::optional<SizePreset> sizePresetFromRaw(std::string_view raw)
{
    return enumFromRawValue(allSizePresets, raw);
}

std::optional<ReviewFilter> reviewFilterFromRaw(std::string_view raw)
{
    return enumFromRawValue(allReviewFilters, raw);
}

std::optional<CandidateSortMode> candidateSortModeFromRaw(std::string_view raw)
{
    return enumFromRawValue(allCandidateSortModes, raw);
}

std::string_view title(SizePreset value)
{
    constexpr std::array<std::string_view, 5> titles{"No Minimum", "100 MB", "500 MB", "1 GB", "2 GB"};
    return titles[static_cast<std::size_t>(value)];
}

std::string_view title(ReviewFilter value)
{
    constexpr std::array<std::string_view, 3> titles{"All", "Selected", "Not Selected"};
    return titles[static_cast<std::size_t>(value)];
}

std::string_view title(CandidateSortMode value)
{
    constexpr std::array<std::string_view, 5> titles{"Largest First", "Smallest First", "Type", "Oldest First",
                                                     "Path"};
    return titles[static_cast<std::size_t>(value)];
}

int64_t minimumSizeBytes(SizePreset value)
{
    constexpr int64_t mebibyte = 1024 * 1024;
    switch (value) {
    case SizePreset::any:
        return 0;
    case SizePreset::mb100:
        return 100 * mebibyte;
    case SizePreset::mb500:
        return 500 * mebibyte;
    case SizePreset::gb1:
        return 1024 * mebibyte;
    case SizePreset::gb2:
        return 2048 * mebibyte;
    }
    return 0;
}

}  // namespace tarnwick
