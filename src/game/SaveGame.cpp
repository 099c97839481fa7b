#include "game/SaveGame.hpp"

#include "components/AssistEffects.hpp"
#include "components/Energy.hpp"
#include "components/Health.hpp"
#include "components/OriginalSpawnPoint.hpp"
#include "components/RunRecord.hpp"
#include "components/Score.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale>
#include <sstream>

namespace game {

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;

const char* const saveName = "save.txt";
const char* const bestName = "best.txt";

std::string pathOf(const char* name) {
    const std::string dir = SaveGame::folder();
    return dir.empty() ? std::string() : dir + "/" + name;
}

// Writes `text` to `path` through a temporary file renamed into place; says once what failed.
bool writeFile(const std::string& path, const std::string& text) {
    if (path.empty()) {
        vorn::engine::Diagnostics::err()
            << "mossfang: nowhere to save: neither XDG_DATA_HOME nor HOME is set\n";
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            vorn::engine::Diagnostics::err() << "mossfang: could not write " << path << "\n";
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, path, error);
    if (error) {
        vorn::engine::Diagnostics::err()
            << "mossfang: could not write " << path << ": " << error.message() << "\n";
        std::filesystem::remove(temporary, error);
        return false;
    }
    return true;
}

// The file is kept aside as NAME.bak, with one line saying why, and the game goes on without it.
void setAside(const std::string& path, const std::string& fault) {
    std::error_code error;
    std::filesystem::rename(path, path + ".bak", error);
    vorn::engine::Diagnostics::err()
        << "mossfang: " << path << " is damaged (" << fault << "); kept as " << path << ".bak\n";
}

std::optional<float> readBest(std::istream& in, std::string& fault) {
    std::optional<float> best;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (line.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::istringstream words(line);
        words.imbue(std::locale::classic());
        std::string name, equals;
        float seconds = 0.0f;
        if (!(words >> name >> equals >> seconds) || name != "time" || equals != "=" ||
            !(words >> std::ws).eof() || !std::isfinite(seconds) || seconds <= 0.0f || best) {
            fault = "line " + std::to_string(number) + ": expected 'time = SECONDS' once";
            return std::nullopt;
        }
        best = seconds;
    }
    if (!best)
        fault = "no 'time'";
    return best;
}

// The file at `path` read with `read` (nothing when there is no such file); one that is there but
// cannot be read is set aside with one line.
template <typename T>
std::optional<T> readKept(const std::string& path,
                          std::optional<T> (*read)(std::istream&, std::string&)) {
    if (path.empty())
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string fault;
    std::optional<T> value = read(in, fault);
    in.close();
    if (!value)
        setAside(path, fault);
    return value;
}

EntityHandle firstRecordedPlayer(World& area) {
    for (const EntityHandle& player :
         area.getEntities("player", components::RunRecord::componentName))
        return player;
    return EntityHandle{0, &area};
}

} // namespace

std::string SaveGame::folder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data) + "/mossfang";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.local/share/mossfang";
    return "";
}

std::optional<SavedRun> SaveGame::load() {
    return readKept<SavedRun>(pathOf(saveName), &SavedRun::read);
}

bool SaveGame::store(const SavedRun& run) {
    std::ostringstream text;
    run.write(text);
    return writeFile(pathOf(saveName), text.str());
}

void SaveGame::clear() {
    const std::string path = pathOf(saveName);
    std::error_code ignored;
    if (!path.empty())
        std::filesystem::remove(path, ignored);
}

std::optional<float> SaveGame::bestTime() {
    return readKept<float>(pathOf(bestName), &readBest);
}

bool SaveGame::offerTime(float seconds) {
    const std::optional<float> best = bestTime();
    if (best && *best <= seconds)
        return false;
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(std::numeric_limits<float>::max_digits10);
    text << "# Mossfang: the best time of a finished journey, in seconds of play\n";
    text << "time = " << seconds << "\n";
    return writeFile(pathOf(bestName), text.str());
}

std::optional<SavedRun> SaveGame::capture(World& area, EntityHandle player) {
    const auto* record =
        area.getComponentAs<components::RunRecord>(player, components::RunRecord::componentName);
    if (record == nullptr)
        return std::nullopt;
    SavedRun run;
    run.startArea = record->startArea;
    run.area = record->area;
    run.entrance = record->entrance;
    if (record->atCheckpoint)
        run.checkpoint = record->checkpoint;
    run.shinies = record->shinies;
    run.deaths = record->deaths;
    run.time = record->time;
    run.taken = record->taken;
    if (const auto* score = area.getComponentAs<vorn::components::Score>(
            player, vorn::components::Score::componentName)) {
        run.points = score->points;
        run.eggs = score->eggs;
        run.secrets = score->secrets;
    }
    if (const auto* health =
            area.getComponentAs<components::Health>(player, components::Health::componentName)) {
        // A ninja saved while dying comes back to life, as he would have two seconds later.
        const bool dead = area.getComponent(player, "dead") != nullptr || health->current <= 0.0f;
        run.health = dead ? health->maximum : health->current;
    }
    if (const auto* energy = area.getComponentAs<vorn::components::Energy>(
            player, vorn::components::Energy::componentName)) {
        run.energy = energy->current;
        run.energyMaximum = energy->maximum;
    }
    for (const std::string& tag : SavedRun::upgradeTags())
        if (area.getComponent(player, tag) != nullptr)
            run.upgrades.push_back(tag);
    run.assistsUsed = area.getComponent(player, components::AssistEffects::usedTag) != nullptr;
    return run;
}

bool SaveGame::saveArea(World& area) {
    const EntityHandle player = firstRecordedPlayer(area);
    if (player.entityId == 0)
        return false;
    const std::optional<SavedRun> run = capture(area, player);
    return run && store(*run);
}

void SaveGame::checkpointReached(World& area, const glm::vec3& position) {
    const EntityHandle player = firstRecordedPlayer(area);
    auto* record =
        area.getComponentAs<components::RunRecord>(player, components::RunRecord::componentName);
    if (record == nullptr)
        return;
    record->atCheckpoint = true;
    record->checkpoint = position;
    saveArea(area);
}

void SaveGame::apply(const SavedRun& run, World& area, EntityHandle player) {
    if (auto* score = area.getComponentAs<vorn::components::Score>(
            player, vorn::components::Score::componentName)) {
        score->points = run.points;
        score->eggs = run.eggs;
        score->secrets = run.secrets;
    }
    if (auto* health =
            area.getComponentAs<components::Health>(player, components::Health::componentName))
        health->current = std::clamp(run.health, std::min(1.0f, health->maximum), health->maximum);
    if (auto* energy = area.getComponentAs<vorn::components::Energy>(
            player, vorn::components::Energy::componentName)) {
        energy->maximum = std::max(run.energyMaximum, 1.0f);
        energy->current = std::min(run.energy, energy->maximum);
    }
    std::vector<std::string> tags = run.upgrades;
    if (run.assistsUsed)
        tags.push_back(components::AssistEffects::usedTag);
    for (const std::string& tag : tags)
        if (area.getComponent(player, tag) == nullptr)
            area.addComponent(player, new vorn::components::Label(tag));

    auto* record =
        area.getComponentAs<components::RunRecord>(player, components::RunRecord::componentName);
    if (record == nullptr) {
        record = new components::RunRecord();
        area.addComponent(player, record);
    }
    record->startArea = run.startArea;
    record->area = run.area;
    record->entrance = run.entrance;
    record->time = run.time;
    record->deaths = run.deaths;
    record->shinies = run.shinies;
    record->taken = run.taken;
    record->atCheckpoint = run.checkpoint.has_value();
    if (run.checkpoint) {
        record->checkpoint = *run.checkpoint;
        if (auto* transform = area.getComponentAs<vorn::components::Transform>(
                player, vorn::components::Transform::componentName))
            transform->setPosition(*run.checkpoint);
        if (auto* spawn = area.getComponentAs<components::OriginalSpawnPoint>(
                player, components::OriginalSpawnPoint::componentName))
            spawn->position = *run.checkpoint;
    }
}

} // namespace game
