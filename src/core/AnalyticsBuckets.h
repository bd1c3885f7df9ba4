#pragma once

#include <cstdint>
#include <string>

// Coarse labels that stand in for every number an analytics event carries, so no event can reveal
// an exact count, size or time. Sizes use binary units (1 MB = 1,048,576 bytes).
namespace tarnwick::AnalyticsBuckets {

// "0", "1", "2-5", "6-20", "21-100"; above 100 and negative counts are "100+".
std::string count(int64_t n);

// "0", "under_100mb", "100mb_500mb", "500mb_1gb", "1gb_5gb", "5gb_20gb"; 20 GB and above and
// negative sizes are "20gb+".
std::string size(int64_t bytes);

// "under_1s", "1s_5s", "5s_30s", "30s_2m", "2m_10m"; ten minutes and above and NaN are "10m+".
std::string duration(double seconds);

}  // namespace tarnwick::AnalyticsBuckets
