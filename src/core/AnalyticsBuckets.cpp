#include "core/AnalyticsBuckets.h"

namespace tarnwick::AnalyticsBuckets {

namespace {

constexpr int64_t kMegabyte = 1024 * 1024;
constexpr int64_t kGigabyte = 1024 * kMegabyte;

}  // namespace

std::string count(int64_t n)
{
    if (n == 0) {
        return "0";
    }
    if (n == 1) {
        return "1";
    }
    if (n >= 2 && n <= 5) {
        return "2-5";
    }
    if (n >= 6 && n <= 20) {
        return "6-20";
    }
    if (n >= 21 && n <= 100) {
        return "21-100";
    }
    return "100+";
}

std::string size(int64_t bytes)
{
    if (bytes == 0) {
        return "0";
    }
    if (bytes < 0) {
        return "20gb+";
    }
    if (bytes < 100 * kMegabyte) {
        return "under_100mb";
    }
    if (bytes < 500 * kMegabyte) {
        return "100mb_500mb";
    }
    if (bytes < kGigabyte) {
        return "500mb_1gb";
    }
    if (bytes < 5 * kGigabyte) {
        return "1gb_5gb";
    }
    if (bytes < 20 * kGigabyte) {
        return "5gb_20gb";
    }
    return "20gb+";
}

std::string duration(double seconds)
{
    // Every comparison with NaN is false, so NaN falls through to the last label. Negative times
    // (a clock that moved backwards) count as under a second.
    if (seconds < 1) {
        return "under_1s";
    }
    if (seconds < 5) {
        return "1s_5s";
    }
    if (seconds < 30) {
        return "5s_30s";
    }
    if (seconds < 120) {
        return "30s_2m";
    }
    if (seconds < 600) {
        return "2m_10m";
    }
    return "10m+";
}

}  // namespace tarnwick::AnalyticsBuckets
