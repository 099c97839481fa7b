#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorn::rendering {

// How much of the play areas' picture is drawn, from the complete picture down to the cheapest.
// `full` is the complete post-processed picture; each lighter level leaves more out so that
// machines without a graphics card keep their frame rate.
enum class QualityLevel { full, medium, low, minimal };

// The name of a level as the command line and the settings file write it.
const char* qualityName(QualityLevel level);
// The level of a name, or nothing for a name that is not a level ("auto" is not one).
std::optional<QualityLevel> parseQualityLevel(const std::string& name);
// Every level, heaviest first.
const std::vector<QualityLevel>& qualityLevels();

} // namespace vorn::rendering
