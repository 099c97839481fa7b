#include "game/SavedRun.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <locale>
#include <sstream>

namespace game {

namespace {

constexpr int version = 1;
// Bounds far beyond anything a run reaches, so that a damaged number is caught rather than used.
constexpr long long countLimit = 100000000;
constexpr float amountLimit = 1.0e7f;
constexpr float positionLimit = 1.0e6f;

std::string trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::istringstream classic(const std::string& text) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    return in;
}

// The whole text as one number of type T, or nothing.
template <class T> std::optional<T> number(const std::string& text) {
    std::istringstream in = classic(text);
    T value{};
    if (!(in >> value))
        return std::nullopt;
    in >> std::ws;
    if (!in.eof())
        return std::nullopt;
    return value;
}

std::optional<int> count(const std::string& text) {
    const std::optional<long long> value = number<long long>(text);
    if (!value || *value < 0 || *value > countLimit)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<float> amount(const std::string& text) {
    const std::optional<float> value = number<float>(text);
    if (!value || !std::isfinite(*value) || *value < 0.0f || *value > amountLimit)
        return std::nullopt;
    return value;
}

bool plainText(const std::string& text) {
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

} // namespace

bool SavedRun::operator==(const SavedRun& o) const {
    return startArea == o.startArea && area == o.area && entrance == o.entrance &&
           checkpoint == o.checkpoint && points == o.points && eggs == o.eggs &&
           shinies == o.shinies && secrets == o.secrets && deaths == o.deaths && time == o.time &&
           health == o.health && energy == o.energy && energyMaximum == o.energyMaximum &&
           upgrades == o.upgrades && assistsUsed == o.assistsUsed && taken == o.taken;
}

const std::vector<std::string>& SavedRun::upgradeTags() {
    static const std::vector<std::string> tags = {"doubleJumpEnabled", "swordEnabled"};
    return tags;
}

void SavedRun::write(std::ostream& out) const {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.precision(std::numeric_limits<float>::max_digits10);
    text << "# Mossfang: the saved run\n";
    text << "version = " << version << "\n";
    text << "startArea = " << startArea << "\n";
    text << "area = " << area << "\n";
    text << "entrance = " << entrance << "\n";
    if (checkpoint)
        text << "checkpoint = " << checkpoint->x << " " << checkpoint->y << " " << checkpoint->z
             << "\n";
    text << "points = " << points << "\n";
    text << "eggs = " << eggs << "\n";
    text << "shinies = " << shinies << "\n";
    text << "secrets = " << secrets << "\n";
    text << "deaths = " << deaths << "\n";
    text << "time = " << time << "\n";
    text << "health = " << health << "\n";
    text << "energy = " << energy << "\n";
    text << "energyMaximum = " << energyMaximum << "\n";
    text << "upgrades =";
    for (const std::string& tag : upgrades)
        text << " " << tag;
    text << "\n";
    if (assistsUsed)
        text << "assistsUsed = 1\n";
    for (const auto& [file, numbers] : taken) {
        if (numbers.empty())
            continue;
        text << "taken = " << file;
        for (const int n : numbers)
            text << " " << n;
        text << "\n";
    }
    out << text.str();
}

std::optional<SavedRun> SavedRun::read(std::istream& in, std::string& fault) {
    SavedRun run;
    std::set<std::string> seen;
    std::string line;
    int lineNumber = 0;
    const auto fail = [&](const std::string& why) {
        fault = "line " + std::to_string(lineNumber) + ": " + why;
        return std::nullopt;
    };
    // One reader per name: each takes the value and says whether it could use it.
    const auto readCount = [](int& field) {
        return [target = &field](const std::string& value) {
            const std::optional<int> n = count(value);
            if (n)
                *target = *n;
            return n.has_value();
        };
    };
    const auto readAmount = [](float& field) {
        return [target = &field](const std::string& value) {
            const std::optional<float> n = amount(value);
            if (n)
                *target = *n;
            return n.has_value();
        };
    };
    const auto readText = [](std::string& field, bool mayBeEmpty) {
        return [target = &field, mayBeEmpty](const std::string& value) {
            *target = value;
            return (mayBeEmpty || !value.empty()) && plainText(value);
        };
    };
    const std::map<std::string, std::function<bool(const std::string&)>> readers = {
        {"version", [](const std::string& value) { return number<int>(value) == version; }},
        {"startArea", readText(run.startArea, false)},
        {"area", readText(run.area, false)},
        {"entrance", readText(run.entrance, true)},
        {"checkpoint",
         [&run](const std::string& value) {
             std::istringstream in = classic(value);
             glm::vec3 p;
             if (!(in >> p.x >> p.y >> p.z) || !(in >> std::ws).eof())
                 return false;
             for (int i = 0; i < 3; ++i)
                 if (!std::isfinite(p[i]) || std::abs(p[i]) > positionLimit)
                     return false;
             run.checkpoint = p;
             return true;
         }},
        {"points", readCount(run.points)},
        {"eggs", readCount(run.eggs)},
        {"shinies", readCount(run.shinies)},
        {"secrets", readCount(run.secrets)},
        {"deaths", readCount(run.deaths)},
        {"time", readAmount(run.time)},
        {"health", readAmount(run.health)},
        {"energy", readAmount(run.energy)},
        {"energyMaximum", readAmount(run.energyMaximum)},
        {"assistsUsed",
         [&run](const std::string& value) {
             run.assistsUsed = value == "1";
             return value == "0" || value == "1";
         }},
        {"upgrades",
         [&run](const std::string& value) {
             std::istringstream in = classic(value);
             std::string tag;
             const std::vector<std::string>& known = upgradeTags();
             while (in >> tag) {
                 if (std::find(known.begin(), known.end(), tag) == known.end())
                     return false;
                 if (std::find(run.upgrades.begin(), run.upgrades.end(), tag) == run.upgrades.end())
                     run.upgrades.push_back(tag);
             }
             return true;
         }},
    };
    const std::set<std::string> required = {"version", "startArea",    "area", "entrance",
                                            "points",  "eggs",         "time", "health",
                                            "energy",  "energyMaximum"};

    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (trim(line).empty())
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            return fail("expected 'name = value'");
        const std::string name = trim(line.substr(0, equals));
        const std::string value = trim(line.substr(equals + 1));
        if (name == "taken") {
            // A level file and the numbers of the pickups taken in it.
            std::istringstream in = classic(value);
            std::string file, word;
            in >> file;
            if (file.empty() || !plainText(file))
                return fail("'taken' names no level file");
            std::set<int>& numbers = run.taken[file];
            while (in >> word) {
                const std::optional<int> n = count(word);
                if (!n)
                    return fail("'taken' holds '" + word + "', not a pickup number");
                numbers.insert(*n);
            }
            continue;
        }
        const auto reader = readers.find(name);
        if (reader == readers.end())
            return fail("unknown name '" + name + "'");
        if (!seen.insert(name).second)
            return fail("'" + name + "' given twice");
        if (!reader->second(value))
            return fail("'" + name + "' cannot be '" + value + "'");
    }
    if (in.bad())
        return fail("the file could not be read");
    for (const std::string& name : required)
        if (seen.count(name) == 0) {
            fault = "no '" + name + "'";
            return std::nullopt;
        }
    return run;
}

} // namespace game
