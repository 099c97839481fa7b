#include "game/tools/LevelCheck.hpp"

#include "engine/AssetRoot.hpp"
#include "game/LevelLoader.hpp"
#include "game/Scenes.hpp"
#include "game/tools/LayoutCheck.hpp"
#include "parsing/DefinitionReader.hpp"

#include <glm/vec2.hpp>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <vector>

namespace game {

namespace {

namespace fs = std::filesystem;

struct Door {
    int line;
    std::string levelFile;
    std::string entrance;
};

struct Entrance {
    int line;
    std::string name;
};

// A file name an entry holds that leads outside the asset folder.
struct RefusedName {
    int line;
    std::string keyword;
    std::string name;
};

// A hint whose zone nobody can stand in.
struct EmptyZone {
    int line;
    std::string text;
    glm::vec2 size;
};

// What a check needs of one level file.
struct LevelSummary {
    std::vector<std::pair<int, std::string>> unknownKeywords;
    std::vector<Door> doors;
    std::vector<Entrance> entrances;
    std::vector<RefusedName> refusedNames;
    // What the grammar read past, by line (each once, though a vector reads a bad number thrice).
    std::set<std::pair<int, std::string>> readPast;
    std::vector<EmptyZone> emptyZones;
    std::string error; // the parse error, if reading stopped
};

class Scanner : public LevelLoader::EntryVisitor {
public:
    explicit Scanner(LevelSummary& summary) : summary(summary) {}

    void music(const std::string&) override {}
    void entry(const std::string& keyword, int line, const LevelEntry&,
               vorn::parsing::DefinitionReader& reader) override {
        const std::vector<std::string>& keys = LevelLoader::templateKeys();
        // A quoted string that ran to the end of the file (reported as read past) names nothing.
        const auto readWhole = [&reader] { return !reader.atEnd(); };
        if (keyword == LevelLoader::hintKeyword) {
            const std::string text = reader.readQuotedString();
            const glm::vec2 size = LevelLoader::readZoneSize(reader);
            if (!(size.x > 0.0f && size.y > 0.0f))
                summary.emptyZones.push_back({line, text, size});
        } else if (keyword == LevelLoader::checkpointKeyword) {
            // Three vectors and nothing more.
        } else if (keyword == LevelLoader::secretKeyword) {
            // Three vectors and nothing more.
        } else if (keyword == LevelLoader::wakeKeyword) {
            // Its name is the layout check's to read.
        } else if (std::find(keys.begin(), keys.end(), keyword) == keys.end()) {
            summary.unknownKeywords.emplace_back(line, keyword);
        } else if (keyword == "exit") {
            Door door{line, reader.readQuotedString(), ""};
            door.entrance = reader.readQuotedString();
            if (!readWhole())
                return;
            // As the loader sees them: a door's level file is under "levels/".
            if (vorn::engine::staysInsideAssetRoot(door.levelFile, "levels/"))
                summary.doors.push_back(door);
            else
                summary.refusedNames.push_back({line, keyword, door.levelFile});
        } else if (keyword == "entrance") {
            const Entrance entrance{line, reader.readQuotedString()};
            if (readWhole())
                summary.entrances.push_back(entrance);
        } else if (keyword == "BGSprite") {
            const std::string image = reader.readQuotedString();
            if (!vorn::engine::staysInsideAssetRoot(image))
                summary.refusedNames.push_back({line, keyword, image});
        }
    }
    void readPast(int line, const std::string& what) override {
        summary.readPast.insert({line, what});
    }

private:
    LevelSummary& summary;
};

LevelSummary scan(const std::string& path) {
    LevelSummary summary;
    std::ifstream file(path, std::ios::binary);
    vorn::parsing::DefinitionReader reader(file);
    Scanner scanner(summary);
    try {
        LevelLoader::readLevel(reader, scanner);
    } catch (const std::exception& e) {
        summary.error = e.what();
    }
    return summary;
}

// The file a door of the level at `from` leads to: a level file beside it, which is where a copy
// of the levels kept outside the game's folder has its areas, or else the file the game opens.
std::string doorTarget(const std::string& from, const std::string& levelFile) {
    std::error_code ignored;
    const fs::path beside = fs::path(from).parent_path() / levelFile;
    if (fs::is_regular_file(beside, ignored))
        return beside.string();
    return Scenes::levelPath(levelFile);
}

// Every level file a door could lead from: the checked file's neighbours and the asset levels.
std::set<std::string> levelFilesAround(const std::string& path) {
    std::set<std::string> files;
    std::error_code ignored;
    const fs::path own =
        fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path();
    for (const fs::path& folder : {own, fs::path(vorn::engine::assetRoot() + "levels")}) {
        for (fs::directory_iterator it(folder, ignored), end; !ignored && it != end;
             it.increment(ignored)) {
            if (it->is_regular_file(ignored) && it->path().extension() == ".txt")
                files.insert(fs::weakly_canonical(it->path(), ignored).string());
        }
    }
    files.insert(fs::weakly_canonical(path, ignored).string());
    return files;
}

// The entrances the menu itself leads to: the start and the level keys.
const std::set<std::pair<std::string, std::string>> menuTargets = {
    {Scenes::startingArea, ""},           {"simpleArea.txt", "simpleBottomDoor"},
    {"trickyArea.txt", "trickyLeftDoor"}, {"swordArea.txt", "swordLeftDoor"},
    {"prototypeLevel.txt", "start"},
};

std::string canonical(const std::string& path) {
    std::error_code ignored;
    return fs::weakly_canonical(path, ignored).string();
}

} // namespace

int LevelCheck::run(const std::string& file, std::ostream& out) {
    const std::string path = Scenes::levelPath(file);
    std::error_code ignored;
    if (!fs::is_regular_file(path, ignored)) {
        out << file << ": no such level file\n";
        return 1;
    }
    const LevelSummary summary = scan(path);
    int problems = 0;
    if (!summary.error.empty()) {
        out << file << ": " << summary.error << "\n";
        ++problems;
    }
    for (const auto& [line, what] : summary.readPast) {
        out << file << ":" << line << ": " << what << "\n";
        ++problems;
    }
    for (const auto& [line, keyword] : summary.unknownKeywords) {
        out << file << ":" << line << ": unknown keyword \"" << keyword << "\"\n";
        ++problems;
    }
    for (const RefusedName& refused : summary.refusedNames) {
        out << file << ":" << refused.line << ": \"" << refused.keyword << "\" names \""
            << refused.name << "\", a file outside the asset folder\n";
        ++problems;
    }
    for (const EmptyZone& zone : summary.emptyZones) {
        out << file << ":" << zone.line << ": the hint \"" << zone.text << "\" has an empty zone ("
            << zone.size.x << " x " << zone.size.y << ")\n";
        ++problems;
    }
    for (const Door& door : summary.doors) {
        const std::string target = doorTarget(path, door.levelFile);
        if (!fs::is_regular_file(target, ignored)) {
            out << file << ":" << door.line << ": door leads to the missing level file \""
                << door.levelFile << "\"\n";
            ++problems;
            continue;
        }
        const LevelSummary other = scan(target);
        const bool found = std::any_of(other.entrances.begin(), other.entrances.end(),
                                       [&](const Entrance& e) { return e.name == door.entrance; });
        if (!found) {
            out << file << ":" << door.line << ": door leads to the entrance \"" << door.entrance
                << "\" that \"" << door.levelFile << "\" lacks\n";
            ++problems;
        }
    }

    // Which entrances of this file are reached: by a door of any level around it, or the menu.
    const std::string self = canonical(path);
    std::set<std::string> reached;
    // The menu's targets are looked for beside the checked file as doors are, so a copy of the
    // levels is checked as the game's own folder.
    for (const auto& [level, entrance] : menuTargets)
        if (canonical(doorTarget(path, level)) == self)
            reached.insert(entrance);
    for (const std::string& level : levelFilesAround(path)) {
        for (const Door& door : scan(level).doors)
            if (canonical(doorTarget(level, door.levelFile)) == self)
                reached.insert(door.entrance);
    }
    for (const Entrance& entrance : summary.entrances) {
        if (!reached.count(entrance.name)) {
            out << file << ":" << entrance.line << ": no door leads to the entrance \""
                << entrance.name << "\"\n";
            ++problems;
        }
    }
    problems += LayoutCheck::run(path, file, out);
    if (problems == 0)
        out << file << ": ok\n";
    return problems == 0 ? 0 : 1;
}

} // namespace game
