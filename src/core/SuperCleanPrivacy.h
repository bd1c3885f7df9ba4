#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The analytics properties of a guided cleaning: every figure as a coarse bucket of the product's one
// set of buckets, so no exact size, count, duration, path or project name leaves the machine.
namespace tarnwick::SuperCleanPrivacy {

// Exactly "result_count_bucket", "selected_size_bucket", "category_count_bucket",
// "failure_count_bucket" and "duration_bucket". Sample paths and project names are accepted so that
// callers cannot be tempted to send them some other way, and are never used.
std::map<std::string, std::string> analyticsProperties(int64_t resultCount, int64_t selectedBytes,
                                                       int64_t categoryCount, int64_t failureCount, double duration,
                                                       const std::vector<std::string> &samplePaths,
                                                       const std::vector<std::string> &projectNames);

}  // namespace tarnwick::SuperCleanPrivacy
