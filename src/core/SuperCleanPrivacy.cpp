#include "core/SuperCleanPrivacy.h"

#include "core/AnalyticsBuckets.h"

namespace tarnwick::SuperCleanPrivacy {

std::map<std::string, std::string> analyticsProperties(int64_t resultCount, int64_t selectedBytes,
                                                       int64_t categoryCount, int64_t failureCount, double duration,
                                                       const std::vector<std::string> & /*samplePaths*/,
                                                       const std::vector<std::string> & /*projectNames*/)
{
    return {
        {"result_count_bucket", AnalyticsBuckets::count(resultCount)},
        {"selected_size_bucket", AnalyticsBuckets::size(selectedBytes)},
        {"category_count_bucket", AnalyticsBuckets::count(categoryCount)},
        {"failure_count_bucket", AnalyticsBuckets::count(failureCount)},
        {"duration_bucket", AnalyticsBuckets::duration(duration)},
    };
}

}  // namespace tarnwick::SuperCleanPrivacy
