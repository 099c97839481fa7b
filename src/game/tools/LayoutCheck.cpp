#include "game/tools/LayoutCheck.hpp"

#include "game/LevelLoader.hpp"
#include "parsing/DefinitionReader.hpp"

#include <glm/vec2.hpp>

#include <algorithm>
#include <cmath>
#include <exception>
#include <fstream>
#include <optional>
#include <tuple>
#include <vector>

namespace game {

namespace {

// How far above or below an ant a marker may stand and still belong to its patrol.
constexpr float patrolHeight = 10.0f;
// How far the foot of a piece of scenery may lie from the ground's top and still stand on it.
constexpr float footing = 6.0f;

struct Placed {
    int line;
    glm::vec2 position;
};

struct Marker {
    int line;
    glm::vec2 position;
    bool clockwise;
};

struct Scenery {
    int line;
    std::string keyword;
    glm::vec2 position;
};

struct Named {
    int line;
    std::string name;
    glm::vec2 size{0.0f};
};

// What the checks need of one level file, read through the loader's grammar.
class Layout : public LevelLoader::EntryVisitor {
public:
    std::vector<Placed> ants;
    std::vector<Marker> markers;
    std::vector<Scenery> scenery;
    std::vector<std::vector<glm::vec2>> ground;
    std::vector<Named> sleepers;
    std::vector<Named> zones;

    void music(const std::string&) override {}
    void entry(const std::string& keyword, int line, const LevelEntry& entry,
               vorn::parsing::DefinitionReader& reader) override {
        const glm::vec2 position(entry.position);
        if (keyword == "workerAnt")
            ants.push_back({line, position});
        else if (keyword == "antCommandCW" || keyword == "antCommandCCW")
            markers.push_back({line, position, keyword == "antCommandCW"});
        else if (LevelLoader::isScenery(keyword, entry))
            scenery.push_back({line, keyword, position});
        else if (keyword == LevelLoader::wakeKeyword)
            zones.push_back({line, reader.readQuotedString(), glm::vec2(entry.scale)});
        std::vector<glm::vec2> outline = LevelLoader::groundOutline(keyword, entry);
        if (!outline.empty())
            ground.push_back(std::move(outline));
        const std::string sleep = LevelLoader::readAsleepOption(reader);
        if (!sleep.empty())
            sleepers.push_back({line, sleep});
    }
};

// The highest point of a convex outline above x, or nothing when x lies outside it.
std::optional<float> topAt(const std::vector<glm::vec2>& outline, float x) {
    std::optional<float> top;
    for (size_t i = 0; i < outline.size(); ++i) {
        const glm::vec2 a = outline[i];
        const glm::vec2 b = outline[(i + 1) % outline.size()];
        if (x < std::min(a.x, b.x) || x > std::max(a.x, b.x))
            continue;
        const float y =
            a.x == b.x ? std::max(a.y, b.y) : a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
        top = top ? std::max(*top, y) : y;
    }
    return top;
}

std::string where(const std::string& file, int line) {
    return file + ":" + std::to_string(line) + ": ";
}

std::string at(const glm::vec2& p) {
    const auto number = [](float v) {
        std::string text = std::to_string(std::round(v * 10.0f) / 10.0f);
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.')
            text.pop_back();
        return text;
    };
    return "(" + number(p.x) + ", " + number(p.y) + ")";
}

int checkPatrols(const Layout& layout, const std::string& file, std::ostream& out) {
    int problems = 0;
    for (const Placed& ant : layout.ants) {
        const Marker* left = nullptr;
        const Marker* right = nullptr;
        for (const Marker& marker : layout.markers) {
            if (std::abs(marker.position.y - ant.position.y) > patrolHeight)
                continue;
            if (marker.position.x < ant.position.x) {
                if (!left || marker.position.x > left->position.x)
                    left = &marker;
            } else if (!right || marker.position.x < right->position.x) {
                right = &marker;
            }
        }
        for (const auto& [marker, side, outwards] :
             {std::tuple{left, "left", true}, std::tuple{right, "right", false}}) {
            if (marker == nullptr) {
                out << where(file, ant.line) << "the ant at " << at(ant.position)
                    << " has no turn marker on its " << side << ": it walks off its patrol\n";
                ++problems;
            } else if (marker->clockwise == outwards) {
                out << where(file, marker->line) << "the turn marker at " << at(marker->position)
                    << " on the " << side << " of the ant at " << at(ant.position)
                    << " sends it on " << (outwards ? "leftwards" : "rightwards")
                    << " instead of back: that end wants \""
                    << (outwards ? "antCommandCCW" : "antCommandCW") << "\"\n";
                ++problems;
            }
        }
    }
    return problems;
}

int checkScenery(const Layout& layout, const std::string& file, std::ostream& out) {
    int problems = 0;
    for (const Scenery& piece : layout.scenery) {
        bool standing = false;
        for (const std::vector<glm::vec2>& outline : layout.ground) {
            const std::optional<float> top = topAt(outline, piece.position.x);
            standing = standing || (top && std::abs(*top - piece.position.y) <= footing);
        }
        if (!standing) {
            out << where(file, piece.line) << "the scenery \"" << piece.keyword << "\" at "
                << at(piece.position)
                << " stands over a gap, where a jump may land: it looks like a platform the ninja "
                   "falls through\n";
            ++problems;
        }
    }
    return problems;
}

int checkSleep(const Layout& layout, const std::string& file, std::ostream& out) {
    int problems = 0;
    const auto has = [](const std::vector<Named>& list, const std::string& name) {
        return std::any_of(list.begin(), list.end(),
                           [&](const Named& n) { return n.name == name; });
    };
    for (const Named& sleeper : layout.sleepers) {
        if (!has(layout.zones, sleeper.name)) {
            out << where(file, sleeper.line) << "asleep until \"" << sleeper.name
                << "\", but no wake zone has that name: it never moves\n";
            ++problems;
        }
    }
    for (const Named& zone : layout.zones) {
        if (!has(layout.sleepers, zone.name)) {
            out << where(file, zone.line) << "the wake zone \"" << zone.name
                << "\" wakes nothing: no entry is asleep until it\n";
            ++problems;
        }
        if (!(zone.size.x > 0.0f && zone.size.y > 0.0f)) {
            out << where(file, zone.line) << "the wake zone \"" << zone.name
                << "\" has no size: its sx and sy are its width and height\n";
            ++problems;
        }
    }
    return problems;
}

} // namespace

int LayoutCheck::run(const std::string& path, const std::string& file, std::ostream& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    Layout layout;
    vorn::parsing::DefinitionReader reader(in);
    try {
        LevelLoader::readLevel(reader, layout);
    } catch (const std::exception&) {
        // The level check reports the fault; what was read before it is still checked.
    }
    return checkPatrols(layout, file, out) + checkScenery(layout, file, out) +
           checkSleep(layout, file, out);
}

} // namespace game
