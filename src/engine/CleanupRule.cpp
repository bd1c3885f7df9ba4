#include "engine/CleanupRule.h"

#include "engine/CleanupGuidance.h"

namespace tarnwick {

std::string CleanupRule::guidanceSummary() const
{
    std::string summary = CleanupGuidance::safetySummary(key, category, risk);
    summary += ' ';
    summary += CleanupGuidance::recreationSummary(key, category);
    summary += ' ';
    summary += CleanupGuidance::riskSentence(risk);
    return summary;
}

}  // namespace tarnwick
