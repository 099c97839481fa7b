#include "rendering/QualityLevel.hpp"

namespace vorn::rendering {

const char* qualityName(QualityLevel level) {
    switch (level) {
    case QualityLevel::full:
        return "full";
    case QualityLevel::medium:
        return "medium";
    case QualityLevel::low:
        return "low";
    case QualityLevel::minimal:
        return "minimal";
    }
    return "full";
}

std::optional<QualityLevel> parseQualityLevel(const std::string& name) {
    for (const QualityLevel level : qualityLevels())
        if (name == qualityName(level))
            return level;
    return std::nullopt;
}

const std::vector<QualityLevel>& qualityLevels() {
    static const std::vector<QualityLevel> levels = {QualityLevel::full, QualityLevel::medium,
                                                     QualityLevel::low, QualityLevel::minimal};
    return levels;
}

} // namespace vorn::rendering
