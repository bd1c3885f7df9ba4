#pragma once

#include "engine/CleanupRisk.h"

#include <string>
#include <string_view>

namespace tarnwick::CleanupGuidance {

// What the folder is and what removing it costs; by exact key, else a sentence about the category.
std::string safetySummary(std::string_view key, std::string_view category, CleanupRisk risk);

// How the folder comes back; by category only.
std::string recreationSummary(std::string_view key, std::string_view category);

// One sentence about a risk level.
std::string_view riskSentence(CleanupRisk risk);

}  // namespace tarnwick::CleanupGuidance
