#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// The options of the review list: the minimum size of a listed folder, which candidates are shown,
// and their order. Each is stored and transmitted as its raw value (the case name).
namespace tarnwick {

enum class SizePreset { any, mb100, mb500, gb1, gb2 };
enum class ReviewFilter { all, selected, unselected };
enum class CandidateSortMode { largest, smallest, target, lastModified, path };

inline constexpr std::array<SizePreset, 5> allSizePresets{SizePreset::any, SizePreset::mb100, SizePreset::mb500,
                                                          SizePreset::gb1, SizePreset::gb2};
inline constexpr std::array<ReviewFilter, 3> allReviewFilters{ReviewFilter::all, ReviewFilter::selected,
                                                              ReviewFilter::unselected};
inline constexpr std::array<CandidateSortMode, 5> allCandidateSortModes{
    CandidateSortMode::largest, CandidateSortMode::smallest, CandidateSortMode::target,
    CandidateSortMode::lastModified, CandidateSortMode::path};

std::string_view rawValue(SizePreset value);
std::string_view rawValue(ReviewFilter value);
std::string_view rawValue(CandidateSortMode value);

std::optional<SizePreset> sizePresetFromRaw(std::string_view raw);
std::optional<ReviewFilter> reviewFilterFromRaw(std::string_view raw);
std::optional<CandidateSortMode> candidateSortModeFromRaw(std::string_view raw);

std::string_view title(SizePreset value);
std::string_view title(ReviewFilter value);
std::string_view title(CandidateSortMode value);

// The titles read in decimal units while the thresholds are binary: "100 MB" is 100 × 1024 × 1024.
int64_t minimumSizeBytes(SizePreset value);

}  // namespace tarnwick
