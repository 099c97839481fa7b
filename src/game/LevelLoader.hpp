#pragma once

#include "components/SceneBuilders.hpp"
#include "engine/EntityHandle.hpp"

#include <glm/mat4x4.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>

#include <istream>
#include <string>
#include <vector>

namespace vorn::engine {
class Component;
class World;
} // namespace vorn::engine

namespace vorn::parsing {
class DefinitionReader;
}

namespace game {

// The three vectors every entry but "music" starts with.
struct LevelEntry {
    glm::vec3 position{0.0f};
    glm::vec3 rotation{0.0f}; // degrees
    glm::vec3 scale{1.0f};
};

// Reads one area file into a world.
//
// The file is one bracketed list of entries, `keyword [ body ]`. The body of "music" is one name;
// every other body starts with three vectors (position, rotation in degrees, scale) that are read
// whatever the keyword, followed by the extras only some templates read (quoted strings, numbers,
// bracketed points, a hint's zone size). The rest of an entry is skipped unread: bracketed points
// whole, then everything up to and including the next ']', so unknown keywords and surplus values
// cost nothing. A lone '/' where an entry would begin comments out the rest of the line. Every
// built entity gets its template's components in the template's order and then, when the space
// label is not empty, a label of that name. Pickups (eggs, shiny things, candy corn, the upgrades,
// the hat) and secret places also get a "pickupId" before that label: their number in file order
// among the pickup entries, by which a run remembers what it has taken.
//
// The entrances read (names and positions) are recorded on the world's own entity
// (LevelEntrances), for the designer's tools.
//
// Errors: anything thrown while reading stops the loader with one "Error loading level: ..." line
// on the error stream; what was built so far stays in the world.
class LevelLoader {
public:
    // Components taken off the player of the previous area, in their original order. The loader
    // moves them into the new world at the requested entrance; when the level has no such
    // entrance they stay with the caller.
    using CarriedPlayer = components::SceneBuilders::Carried;

    // Where the carried player goes.
    enum class Placement {
        // At the entrance named by the caller (a door's target).
        atEntrance,
        // Where he already stands: the level is being reloaded under him. "player" and
        // "entrance" entries place nobody; after a complete read the carried components form the
        // player entity unchanged. After a failed read they stay with the caller.
        whereHeStands,
    };

    // Loads the level from `in` into `world`. Returns false when an error stopped it.
    static bool load(std::istream& in, vorn::engine::World& world, CarriedPlayer& carried,
                     const std::string& spaceLabel, const std::string& entrance,
                     Placement placement = Placement::atEntrance);

    // Receives the entries of a level file as they are read.
    class EntryVisitor {
    public:
        virtual ~EntryVisitor() = default;
        // A "music" entry and its name.
        virtual void music(const std::string& name) = 0;
        // Any other entry, after its vectors; `line` is where its keyword stands. The visitor
        // reads the extras it wants from `reader`; the rest of the entry is skipped afterwards.
        virtual void entry(const std::string& keyword, int line, const LevelEntry& entry,
                           vorn::parsing::DefinitionReader& reader) = 0;
        // Something the grammar reads past without stopping, with the line where it starts: a
        // number not read as written (NaN, infinite, an exponent), a quoted string or comment
        // that runs to the end of the file, a list of entries the file never closes. The game
        // loads what it can and ignores these; the level check reports them.
        virtual void readPast(int line, const std::string& what) {
            (void)line;
            (void)what;
        }
    };
    // Reads a whole level file through the grammar, handing each entry to `visitor` and what it
    // reads past to visitor.readPast(). Throws the reader's ParseError (and whatever the visitor
    // throws).
    static void readLevel(vorn::parsing::DefinitionReader& reader, EntryVisitor& visitor);

    // The keyword of a hint: three vectors, the quoted line, then optionally a fourth vector whose
    // first two numbers are the width and height of the zone centred on the position where the
    // HUD shows the line (promptZoneSize without it). Read after the templates, so it can never
    // shadow one.
    static constexpr const char* hintKeyword = "hint";
    // The keyword of a checkpoint: three vectors. A glowing mushroom that moves the ninja's
    // respawn point to its position when he first touches it. Read after the templates.
    static constexpr const char* checkpointKeyword = "checkpoint";
    // The zone of a hint without a size of its own, and of every door's name.
    static constexpr glm::vec2 promptZoneSize{40.0f, 30.0f};
    // Reads a hint's optional zone size (a vector, at the reader's position); promptZoneSize when
    // the entry goes on with anything else.
    static glm::vec2 readZoneSize(vorn::parsing::DefinitionReader& reader);
    // The name an area goes by in the game, from its level file: "the clearing" for
    // "startingArea.txt", ...; other files go by their name without folder and extension.
    static std::string areaName(const std::string& levelFile);
    // The keyword of a wake zone: three vectors, then the quoted name of what it wakes. The zone is
    // a box sx wide and sy high centred on the position; the ninja's first touch wakes every body
    // asleep under that name. Read after the templates, as hints are.
    static constexpr const char* wakeKeyword = "wake";
    // The keyword of a secret place: three vectors; a zone sx wide and sy high centred on the
    // position, counted in the ninja's score the first time he touches it. Read after the
    // templates, as hints are.
    static constexpr const char* secretKeyword = "secret";
    // Any entry may end with `asleep "NAME"`, after its template's own extras: every body the
    // entry builds then keeps still until a wake zone NAME is entered.
    static constexpr const char* asleepOption = "asleep";
    // Reads the optional `asleep "NAME"` at the end of an entry, passing over quoted extras the
    // caller left unread; returns NAME, or "" when the entry has no such option.
    static std::string readAsleepOption(vorn::parsing::DefinitionReader& reader);
    // The template keys in the order they are compared.
    static const std::vector<std::string>& templateKeys();

    // Whether an entry is scenery, built without a collider: a mushroom cluster, or a single
    // mushroom standing out of the play plane. Scenery is drawn darker and cooler.
    static bool isScenery(const std::string& keyword, const LevelEntry& entry);
    // The outline in the play plane, in the area's coordinates, of what an entry builds for the
    // ninja to stand on for good: the platforms and a mushroom in the play plane (not the crate a
    // boulder breaks, nor anything that moves). Empty for every other entry.
    static std::vector<glm::vec2> groundOutline(const std::string& keyword,
                                                const LevelEntry& entry);

    // The placement matrix of an entry: T(position) * Rz * Ry * Rx * S(scale), angles in degrees.
    static glm::mat4 placement(const glm::vec3& position, const glm::vec3& rotation,
                               const glm::vec3& scale);

    // Degrees to radians, as the level files and constructors use them.
    static constexpr float degrees = 0.017453293f;
};

} // namespace game
