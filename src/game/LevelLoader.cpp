#include "game/LevelLoader.hpp"

#include "audio/SoundManager.hpp"
#include "components/Checkpoint.hpp"
#include "components/ConstantRotation.hpp"
#include "components/PickupId.hpp"
#include "components/PromptZone.hpp"
#include "components/Secret.hpp"
#include "components/TouchEmitter.hpp"
#include "components/TransformAttachment.hpp"
#include "engine/AssetRoot.hpp"
#include "engine/Diagnostics.hpp"
#include "engine/Label.hpp"
#include "engine/Transform.hpp"
#include "engine/World.hpp"
#include "game/DeathActions.hpp"
#include "game/LevelComponents.hpp"
#include "game/LevelEntrances.hpp"
#include "game/PlayerAssembly.hpp"
#include "parsing/DefinitionReader.hpp"
#include "physics/Body.hpp"
#include "physics/CircleCollider.hpp"
#include "physics/CollisionTracker.hpp"
#include "physics/PolygonCollider.hpp"
#include "physics/RigidBody.hpp"
#include "rendering/Mesh.hpp"
#include "rendering/Model.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/Sprite.hpp"
#include "rendering/Text.hpp"

#include <glm/gtc/matrix_transform.hpp>

#include <cctype>
#include <exception>
#include <memory>
#include <set>

namespace game {

namespace {

using vorn::engine::EntityHandle;
using vorn::engine::World;

const std::string normalMappingProgram = "shaders/objSpaceNormalMapping.txt";
const std::string modelDirectory = "models/";
const std::string levelFolder = "levels/";

// One entry as read from the file, with its placement matrix.
struct Entry : LevelEntry {
    Entry(const std::string& keyword, int line, const LevelEntry& read)
        : LevelEntry(read), keyword(keyword), line(line) {}
    glm::mat4 matrix() const { return LevelLoader::placement(position, rotation, scale); }
    // Whether a file name the entry holds stays inside the asset folder (relative to `folder`
    // there); a name that leaves it is reported once, naming the entry, and the caller leaves out
    // what would have used it.
    bool fileNameAllowed(const std::string& name, const std::string& folder = "") const {
        return vorn::engine::acceptAssetName(name, entryName(keyword, line), folder);
    }
    static std::string entryName(const std::string& keyword, int line) {
        return "the \"" + keyword + "\" entry on line " + std::to_string(line);
    }

    std::string keyword;
    int line;
};

// What the templates share while one file is read.
struct Context {
    World& world;
    vorn::parsing::DefinitionReader& reader;
    LevelLoader::CarriedPlayer& carried;
    const std::string& spaceLabel;
    const std::string& entrance;
    LevelLoader::Placement placement;
    LevelEntrances& entrances; // the record of every entrance read, for the tools
    // Pickup entries read so far: the next pickup's number.
    int pickups = 0;

    // Numbers a pickup in file order, so that a run can remember it as taken.
    void pickupId(EntityHandle entity, const char* kind) {
        world.addComponent(entity, new components::PickupId(pickups++, kind));
    }
    // Adds the space label; every entity the loader creates ends with it.
    void finish(EntityHandle entity) const {
        if (!spaceLabel.empty())
            world.addComponent(entity, new vorn::components::Label(spaceLabel));
    }
    EntityHandle create(const glm::mat4& matrix) const {
        const EntityHandle entity = world.createEntity();
        world.addComponent(entity, new vorn::components::Transform(matrix));
        return entity;
    }
    void label(EntityHandle entity, const char* name) const {
        world.addComponent(entity, new vorn::components::Label(name));
    }
    // A model of a mesh in the model directory, normal-mapped in object space when a map is named.
    void model(EntityHandle entity, const std::string& mesh, const std::string& normalMap) const {
        auto* shown =
            new vorn::components::Model(vorn::rendering::makeParts(modelDirectory + mesh));
        if (!normalMap.empty()) {
            shown->setShaderProgram(
                vorn::rendering::shaderProgramCache().get(normalMappingProgram));
            shown->setTexture("normalMap",
                              vorn::rendering::textureCache().get(modelDirectory + normalMap));
        }
        world.addComponent(entity, shown);
    }
    void box(EntityHandle entity, const Entry& e, float x, float y, float w, float h) const {
        world.addComponent(entity, new vorn::components::PolygonCollider(e.rotation.z, x, y, w, h,
                                                                         e.scale.x, e.scale.y));
    }
    void circle(EntityHandle entity, float radius) const {
        world.addComponent(entity, new vorn::components::CircleCollider(radius));
    }
    void body(EntityHandle entity, float mass, bool isStatic, float restitution,
              const std::set<std::string>& extraRequired = {}) const {
        world.addComponent(entity, new vorn::components::RigidBody(mass, isStatic, restitution, 0,
                                                                   0, 0, extraRequired));
    }
    void tracker(EntityHandle entity, const char* tag) const {
        world.addComponent(entity, new vorn::components::CollisionTracker(tag));
    }
    // Optional extras after the vectors: whether a vector or a number comes next in the entry.
    bool vectorNext() const {
        reader.skipWhitespace();
        return reader.peek() == '[';
    }
    bool numberNext() const {
        reader.skipWhitespace();
        const int next = reader.peek();
        return (next >= '0' && next <= '9') || next == '-' || next == '.';
    }
    float numberOr(float fallback) const { return numberNext() ? reader.readFloat() : fallback; }
};

using Template = void (*)(Context&, const Entry&);

// The four platform rows differ only in these values: mesh, normal map, and the collider's box
// (corner and size in the entry's own frame, before its scale and turn) and restitution.
struct PlatformShape {
    const char* key;
    const char* mesh;
    const char* normals;
    float x, y, w, h;
    float restitution;
};
const PlatformShape platformShapes[] = {
    {"flatPlat3", "flatPlatformLen3.obj", "PlatformLen3Normals.png", -13.5f, -4.5f, 27.0f, 9.0f,
     1.0f},
    {"smallPlat", "SmallPlatform.obj", "smallPlatformNormals.png", -6.75f, -4.5f, 13.5f, 9.0f,
     1.0f},
    {"plat3x3", "Platform3x3.obj", "platform3x3Normals.png", -13.5f, -13.5f, 27.0f, 27.0f, 0.0f},
    {"rock", "rock_platform.obj", "rockNormals.png", -20.0f, -14.0f, 40.0f, 28.0f, 0.0f},
};

// The cap of a single mushroom, the part of it that can be stood on.
const std::vector<glm::vec2> mushroomCap = {{-6.3f, 2.8f}, {-6.8f, 3.0f}, {-6.2f, 4.7f},
                                            {-3.3f, 6.7f}, {0.0f, 7.4f},  {3.3f, 6.7f},
                                            {6.2f, 4.7f},  {6.8f, 3.0f},  {6.3f, 2.8f}};

// Scenery is drawn darker and cooler than what can be stood on, so that it reads as background.
const glm::vec3 sceneryTint(0.3f, 0.34f, 0.48f);

// A static platform with a box collider.
void platform(Context& c, const Entry& e, const PlatformShape& shape) {
    const EntityHandle entity = c.create(e.matrix());
    c.model(entity, shape.mesh, shape.normals);
    c.box(entity, e, shape.x, shape.y, shape.w, shape.h);
    c.body(entity, 1.0f, true, shape.restitution);
    c.label(entity, "platform");
    c.label(entity, "staticBody");
    c.finish(entity);
}

void placePlayer(Context& c, const Entry& e) {
    const EntityHandle player = assemblePlayer(c.world, e.position, e.rotation, e.scale);
    c.finish(player);
}

void buildPlayerEntry(Context& c, const Entry& e) {
    // A reloaded area keeps the ninja who is already playing it.
    if (c.placement == LevelLoader::Placement::whereHeStands)
        return;
    placePlayer(c, e);
}

void buildEntrance(Context& c, const Entry& e) {
    const std::string name = c.reader.readQuotedString();
    c.entrances.entrances.push_back({name, e.position});
    if (name != c.entrance || c.placement == LevelLoader::Placement::whereHeStands)
        return;
    if (c.carried.empty()) {
        placePlayer(c, e);
        return;
    }
    // The player walked in through a door: his own components move into this world, so health,
    // energy, score and upgrades stay as they were.
    const EntityHandle player = c.world.createEntity();
    LevelLoader::CarriedPlayer carried;
    carried.swap(c.carried);
    for (std::unique_ptr<vorn::engine::Component>& component : carried)
        if (component)
            c.world.addComponent(player, component.release());
    if (auto* transform = c.world.getComponentAs<vorn::components::Transform>(
            player, vorn::components::Transform::componentName))
        transform->setPosition(e.position);
    // He comes in standing, as a ninja starting in the area does: the speed he walked or fell
    // through the door with stays behind.
    if (auto* body = c.world.getComponentAs<vorn::components::Body>(
            player, vorn::components::Body::componentName)) {
        body->velocity = glm::vec3(0.0f);
        body->deltaVelocity = glm::vec3(0.0f);
    }
    // A cling to the wall beside the door ends with the door: gravity holds him from his first
    // frame here.
    if (c.world.getComponent(player, "hasGravity") == nullptr)
        c.label(player, "hasGravity");
    LevelComponents::moveSpawnPoint(c.world, player, e.position);
}

// A door: the trigger, the arch of roots it stands in (its floor 7.5 units below the entry, where
// the ninja's feet are at an entrance; the roots reach deeper into the ground), and a prompt zone
// that names the area behind it when the ninja comes near.
void buildExit(Context& c, const Entry& e) {
    const std::string levelFile = c.reader.readQuotedString();
    const std::string entranceName = c.reader.readQuotedString();
    // Door targets are level files under "levels/"; one that leaves the asset folder is no door.
    if (!e.fileNameAllowed(levelFile, levelFolder))
        return;
    const EntityHandle door = c.create(e.matrix());
    c.model(door, "burrowDoor.obj", "burrowDoorNormals.png");
    c.box(door, e, -5.0f, -5.0f, 10.0f, 10.0f);
    c.tracker(door, "player");
    LevelComponents::addExit(c.world, door, levelFile, entranceName);
    c.world.addComponent(door, new components::PromptZone("To " + LevelLoader::areaName(levelFile),
                                                          LevelLoader::promptZoneSize));
    c.finish(door);
}

void buildFlatPlat3(Context& c, const Entry& e) {
    platform(c, e, platformShapes[0]);
}
void buildSmallPlat(Context& c, const Entry& e) {
    platform(c, e, platformShapes[1]);
}
void buildPlat3x3(Context& c, const Entry& e) {
    platform(c, e, platformShapes[2]);
}
void buildRock(Context& c, const Entry& e) {
    platform(c, e, platformShapes[3]);
}

void buildSpiderWeb(Context& c, const Entry& e) {
    const EntityHandle web = c.create(e.matrix());
    c.model(web, "spider_web.obj", "");
    c.box(web, e, -2.0f, -9.0f, 4.0f, 15.0f);
    c.body(web, 1.0f, true, -1.0f);
    LevelComponents::addHealth(c.world, web, 150.0f, "hit", 1000.0f, 0.0f, 0.1f);
    c.label(web, "enemy");
    const glm::vec3 position = e.position;
    LevelComponents::addDeathAction(c.world, web, [position](World& world, EntityHandle self) {
        DeathActions::webRip(world, self, position);
    });
    c.finish(web);
}

void buildMushSingle(Context& c, const Entry& e) {
    const EntityHandle mushroom = c.create(e.matrix());
    c.model(mushroom, "mushroom_single.obj", "");
    if (LevelLoader::isScenery("mushSingle", e)) {
        c.world.getComponentAs<vorn::components::Model>(mushroom, "model")->tint(sceneryTint);
    } else {
        c.world.addComponent(mushroom, new vorn::components::PolygonCollider(
                                           mushroomCap, e.rotation.z, e.scale.x, e.scale.y));
        c.body(mushroom, 1.0f, true, 0.0f);
        c.label(mushroom, "platform");
    }
    c.finish(mushroom);
}

void buildMushClust(Context& c, const Entry& e) {
    const EntityHandle cluster = c.create(e.matrix());
    c.model(cluster, "mushroom_cluster.obj", "");
    c.world.getComponentAs<vorn::components::Model>(cluster, "model")->tint(sceneryTint);
    c.finish(cluster);
}

void buildBoulder(Context& c, const Entry& e) {
    const EntityHandle boulder = c.create(e.matrix());
    c.model(boulder, "boulder.obj", "boulderObjectNormals.png");
    c.circle(boulder, 6.0f * e.scale.x);
    c.body(boulder, 250.0f * e.scale.x * e.scale.y * e.scale.z, false, 0.05f);
    LevelComponents::addSpinHorizontalVelocity(c.world, boulder);
    c.label(boulder, "hasGravity");
    c.label(boulder, "platform");
    c.label(boulder, "boulder");
    c.finish(boulder);
}

void buildBreakable(Context& c, const Entry& e) {
    const EntityHandle breakable = c.create(e.matrix());
    c.model(breakable, "breakable.obj", "breakableNormals.png");
    c.box(breakable, e, -13.5f, -4.5f, 27.0f, 9.0f);
    c.body(breakable, 1.0f, true, 0.0f);
    c.label(breakable, "platform");
    LevelComponents::addSelfDelete(c.world, breakable, "boulder", &DeathActions::shatter);
    c.finish(breakable);
}

void buildSpikes(Context& c, const Entry& e) {
    const EntityHandle spikes = c.create(e.matrix());
    c.model(spikes, "spikes.obj", "spikeNormals.png");
    c.box(spikes, e, -3.03f, 0.0f, 6.06f, 6.0f);
    c.body(spikes, 1.0f, true, 1.0f);
    LevelComponents::addKiller(c.world, spikes);
    LevelComponents::addSelfDelete(c.world, spikes, "boulder", nullptr);
    c.finish(spikes);
}

void buildSugarPile(Context& c, const Entry& e) {
    const EntityHandle sugar = c.create(e.matrix());
    c.model(sugar, "SugarPile.obj", "");
    c.circle(sugar, 2.0f * e.scale.x);
    LevelComponents::addEnergyObject(c.world, sugar);
    LevelComponents::addTouchEmitter(c.world, sugar);
    c.tracker(sugar, "player");
    c.finish(sugar);
}

// An item that pings when it is collected.
void addShinyPing(Context& c, EntityHandle item, const Entry& e) {
    const glm::vec3 position = e.position;
    LevelComponents::addDeathAction(c.world, item, [position](World& world, EntityHandle self) {
        DeathActions::shinyPing(world, self, position);
    });
}

void buildAntEgg(Context& c, const Entry& e) {
    const EntityHandle egg = c.create(e.matrix());
    c.model(egg, "antEgg.obj", "");
    c.circle(egg, 2.0f * e.scale.x);
    LevelComponents::addScoreObject(c.world, egg, 10, true);
    c.tracker(egg, "player");
    addShinyPing(c, egg, e);
    c.pickupId(egg, "antEgg");
    c.finish(egg);
}

void buildCandyCorn(Context& c, const Entry& e) {
    const EntityHandle corn = c.create(e.matrix());
    c.model(corn, "candy_corn.obj", "");
    c.circle(corn, 2.0f * e.scale.x);
    LevelComponents::addEnergyBoostObject(c.world, corn, 0.1f);
    c.tracker(corn, "player");
    addShinyPing(c, corn, e);
    c.pickupId(corn, "candyCorn");
    c.finish(corn);
}

void buildShiny(Context& c, const Entry& e) {
    const EntityHandle shiny = c.create(e.matrix());
    c.model(shiny, "shinyThing.obj", "");
    c.circle(shiny, 1.0f * e.scale.x);
    LevelComponents::addScoreObject(c.world, shiny, 1, false);
    c.tracker(shiny, "player");
    addShinyPing(c, shiny, e);
    c.pickupId(shiny, "shiny");
    c.finish(shiny);
}

void buildQuarrow(Context& c, const Entry& e) {
    const EntityHandle hat = c.create(e.matrix());
    c.model(hat, "Quarrow.obj", "");
    c.circle(hat, 2.25f * e.scale.x);
    LevelComponents::addScoreObject(c.world, hat, 15, false);
    LevelComponents::addObjective(c.world, hat);
    LevelComponents::addSelfDelete(c.world, hat, "player", nullptr);
    c.tracker(hat, "player");
    c.pickupId(hat, "quarrow");
    c.finish(hat);
}

void buildWorkerAnt(Context& c, const Entry& e) {
    const glm::vec3& s = e.scale;
    const float mass = 100.0f * s.x * s.y * s.z;
    const EntityHandle ant = c.create(e.matrix());
    c.model(ant, "worker_ant.obj", "");
    c.circle(ant, 2.5f * s.x);
    c.body(ant, mass, false, 0.0f);
    LevelComponents::addAntAttack(c.world, ant);
    LevelComponents::addHealth(c.world, ant, 100.0f, "hit", 0.0f, 0.0f, 0.0f);
    LevelComponents::addAntBehaviour(c.world, ant, e.rotation.y <= 0.0f);
    // The parts are created before the action that captures them is added; they join the world
    // after the body's own components, as entities of their own.
    const glm::mat4 partMatrix = LevelLoader::placement(e.position, e.rotation, 1.5f * s);
    EntityHandle parts[2];
    const float offsets[2] = {4.0f * s.z, -4.0f * s.z};
    for (int i = 0; i < 2; ++i)
        parts[i] = c.world.createEntity();
    const EntityHandle front = parts[0];
    const EntityHandle back = parts[1];
    LevelComponents::addDeathAction(c.world, ant, [front, back](World& world, EntityHandle self) {
        DeathActions::antDeath(world, self, front, back);
    });
    c.label(ant, "hasGravity");
    LevelComponents::addSelfDelete(c.world, ant, "boulder", nullptr);
    c.label(ant, "enemy");
    c.label(ant, "ant");
    c.label(ant, "being");
    c.finish(ant);

    // The parts go with the body whatever ends it (a boulder's crush deletes the body and knows
    // nothing of them): left behind they would drift about unseen and go on biting.
    for (int i = 0; i < 2; ++i) {
        c.world.addComponent(parts[i], new vorn::components::Transform(partMatrix));
        c.world.addComponent(
            parts[i],
            new vorn::components::TransformAttachment(
                true, glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, 0.0f, offsets[i])), ant));
        c.circle(parts[i], 1.5f * s.x);
        c.body(parts[i], mass, false, 0.0f, {"being"});
        LevelComponents::addDamage(c.world, parts[i], "player", 20.0f, 0.5f, 1000.0f, ant);
        c.finish(parts[i]);
    }
}

void buildCommand(Context& c, const Entry& e, const char* tag) {
    const EntityHandle marker = c.create(e.matrix());
    c.circle(marker, 2.5f * e.scale.x);
    c.label(marker, tag);
    c.finish(marker);
}
void buildCommandCW(Context& c, const Entry& e) {
    buildCommand(c, e, "antCommandCW");
}
void buildCommandCCW(Context& c, const Entry& e) {
    buildCommand(c, e, "antCommandCCW");
}

// The grasshopper that presents an upgrade and the upgrade itself, turning above the entry.
void buildUpgrade(Context& c, const Entry& e, const glm::vec3& offset, const char* mesh,
                  const char* flag, const char* voice, const char* kind) {
    glm::mat4 presenter = e.matrix();
    presenter[3] = glm::vec4(e.position + offset, 1.0f);
    const EntityHandle grasshopper = c.create(presenter);
    c.model(grasshopper, "grasshopper.obj", "");
    c.world.addComponent(grasshopper, new vorn::components::PolygonCollider(0.0f, -0.5f, 0.0f, 1.0f,
                                                                            1.0f, 1.0f, 1.0f));
    c.label(grasshopper, "hasGravity");
    c.finish(grasshopper);

    const EntityHandle pickup =
        c.create(glm::scale(glm::translate(glm::mat4(1.0f), e.position), 2.5f * e.scale));
    c.circle(pickup, 2.5f * e.scale.x);
    c.model(pickup, mesh, "");
    LevelComponents::addUpgrade(c.world, pickup, flag, voice, offset);
    c.world.addComponent(
        pickup, new vorn::components::ConstantRotation(20.0f, glm::vec3(0.0f, 1.0f, 0.0f)));
    c.pickupId(pickup, kind);
    c.finish(pickup);
}
void buildJumpUpgrade(Context& c, const Entry& e) {
    buildUpgrade(c, e, {-12.0f, -5.5f, -10.0f}, "jumpUpgrade.obj", "doubleJumpEnabled",
                 "jumpUpgradeVoice", "jumpUpgrade");
}
void buildSwordUpgrade(Context& c, const Entry& e) {
    buildUpgrade(c, e, {12.0f, -5.0f, -10.0f}, "CrossedSwords.obj", "swordEnabled",
                 "swordUpgradeVoice", "swordUpgrade");
}

void buildKillZone(Context& c, const Entry& e) {
    const EntityHandle zone = c.create(e.matrix());
    c.box(zone, e, -1000.0f, -2.5f, 2000.0f, 5.0f);
    c.body(zone, 0.0f, true, 0.0f);
    LevelComponents::addKiller(c.world, zone);
    c.finish(zone);
}

void buildBGSprite(Context& c, const Entry& e) {
    const std::string image = c.reader.readQuotedString();
    if (!e.fileNameAllowed(image))
        return;
    glm::mat4 matrix = e.matrix();
    matrix[3] = glm::vec4(e.position - 0.5f * e.scale, 1.0f);
    const EntityHandle background = c.create(matrix);
    c.world.addComponent(
        background, new vorn::components::Sprite(true, vorn::rendering::textureCache().get(image),
                                                 e.position.z, false, true));
    c.finish(background);
}

// A hint: a prompt zone centred on the entry position that shows its line in the HUD while the
// ninja stands in it. The zone's width and height follow the line as an optional vector (its
// third number is not used); without one the zone is promptZoneSize. The entry's rotation and
// scale are read like every entry's and not used. Not one of the entity templates: the game's
// areas use it to teach the controls where they are first needed.
void buildHint(Context& c, const Entry& e) {
    const std::string line = c.reader.readQuotedString();
    const glm::vec2 size = LevelLoader::readZoneSize(c.reader);
    const EntityHandle hint =
        c.create(glm::translate(glm::mat4(1.0f), glm::vec3(e.position.x, e.position.y, 0.0f)));
    c.world.addComponent(hint, new components::PromptZone(line, size));
    c.finish(hint);
}

// The longer journey's pieces. Each reads optional extras after the three vectors, in a fixed
// order; whatever is left out takes its default.

// The rotation and scale of an entry with a model-specific factor, without translation.
glm::mat4 shapeOf(const Entry& e, float modelScale) {
    return LevelLoader::placement(glm::vec3(0.0f), e.rotation, modelScale * e.scale);
}

// A wasp flying its patrol. Extras: either a second point "[x y z]" (default 30 units to the
// right of the entry) to fly back and forth to, or a radius to circle the entry's position at;
// then the speed (default 8). The body is "waspBody.obj" at 0.6 of the entry's scale, the wings
// "waspWings.obj" glued to it.
void buildWasp(Context& c, const Entry& e) {
    constexpr float modelScale = 0.6f;
    // Where the wings meet the thorax in the wasp model's own frame (their front lower corner in
    // waspWings.obj): they beat about this point.
    const glm::vec3 wingRoot(1.7f, 2.1f, 0.0f);
    glm::vec3 end = e.position + glm::vec3(30.0f, 0.0f, 0.0f);
    float radius = 0.0f;
    if (c.vectorNext())
        end = c.reader.readVec3();
    else if (c.numberNext())
        radius = c.reader.readFloat();
    const float speed = c.numberOr(8.0f);
    const glm::mat4 shape = shapeOf(e, modelScale);

    const glm::mat4 placed = glm::translate(glm::mat4(1.0f), e.position) * shape;
    const EntityHandle wasp = c.create(placed);
    const EntityHandle wings = c.world.createEntity();
    c.model(wasp, "waspBody.obj", "");
    c.circle(wasp, 3.0f * e.scale.x);
    c.world.addComponent(wasp, new vorn::components::Body(1.0f, 0.0f, 0.0f, 0.0f));
    c.tracker(wasp, "player");
    LevelComponents::addHealth(c.world, wasp, 150.0f, "hit", 0.0f, 0.0f, 0.0f);
    LevelComponents::addWaspBehaviour(c.world, wasp, e.position, end, radius, speed, shape, wings,
                                      wingRoot);
    LevelComponents::addSting(c.world, wasp);
    LevelComponents::addDeathAction(c.world, wasp, &DeathActions::waspFall);
    c.label(wasp, "enemy");
    c.finish(wasp);

    c.world.addComponent(wings, new vorn::components::Transform(placed));
    c.model(wings, "waspWings.obj", "");
    c.world.addComponent(wings,
                         new vorn::components::TransformAttachment(true, glm::mat4(1.0f), wasp));
    c.finish(wings);
}

// A spider hanging on a thread from the entry's position (the anchor). Extra: how far below the
// anchor it drops when the ninja passes beneath (default 30). At rest it hangs 8 sy below the
// anchor; it drops for a ninja within 10 sx of the anchor's x. The spider is "spider.obj" hung
// head down at 0.6 of the entry's scale; the thread "spiderThread.obj" stretched from the anchor.
void buildSpider(Context& c, const Entry& e) {
    constexpr float modelScale = 0.6f;
    const float drop = c.numberOr(30.0f);
    const glm::vec3& s = e.scale;
    // Head down, back to the camera.
    const glm::mat4 shape =
        shapeOf(e, 1.0f) *
        glm::rotate(glm::mat4(1.0f), 90.0f * LevelLoader::degrees, glm::vec3(1.0f, 0.0f, 0.0f)) *
        glm::scale(glm::mat4(1.0f), glm::vec3(modelScale));

    const EntityHandle spider = c.create(glm::translate(glm::mat4(1.0f), e.position) * shape);
    const EntityHandle thread = c.world.createEntity();
    c.model(spider, "spider.obj", "");
    c.circle(spider, 3.5f * s.x);
    c.world.addComponent(spider, new vorn::components::Body(1.0f, 0.0f, 0.0f, 0.0f));
    c.tracker(spider, "player");
    LevelComponents::addSting(c.world, spider);
    LevelComponents::addSpiderBehaviour(c.world, spider, e.position, 8.0f * s.y, drop, 10.0f * s.x,
                                        shape, 3.5f * s.y, thread, s.x);
    c.finish(spider);

    c.world.addComponent(
        thread, new vorn::components::Transform(glm::translate(glm::mat4(1.0f), e.position)));
    c.model(thread, "spiderThread.obj", "");
    c.box(thread, e, -0.75f, -1.0f, 1.5f, 1.0f);
    // Like a web: a punch heals at once, a sword cuts it.
    LevelComponents::addHealth(c.world, thread, 150.0f, "hit", 1000.0f, 0.0f, 0.1f);
    c.label(thread, "enemy");
    LevelComponents::addDeathAction(c.world, thread, [spider](World& world, EntityHandle self) {
        DeathActions::threadSnap(world, self, spider);
    });
    c.finish(thread);
}

// A leaf platform travelling between the entry's position and a second point. Extras: the second
// point "[x y z]" (default 30 units to the right), the speed (default 6; 0 keeps it still) and
// how far it sinks under a load (default 0: it does not).
void buildMovingLeaf(Context& c, const Entry& e) {
    glm::vec3 end = e.position + glm::vec3(30.0f, 0.0f, 0.0f);
    if (c.vectorNext())
        end = c.reader.readVec3();
    const float speed = c.numberOr(6.0f);
    const float sink = c.numberOr(0.0f);
    const EntityHandle leaf = c.create(e.matrix());
    c.model(leaf, "movingLeaf.obj", "movingLeafNormals.png");
    c.box(leaf, e, -11.0f, -1.0f, 22.0f, 2.5f);
    c.body(leaf, 1.0f, true, 0.0f);
    c.label(leaf, "platform");
    LevelComponents::addMovingLeaf(c.world, leaf, e.position, end, speed, sink);
    c.finish(leaf);
}

// A checkpoint: a glowing mushroom whose foot stands 7.5 units below the entry (on the ground
// under a ninja placed there), with a trigger circle of 4 * sx. The first touch moves the ninja's
// respawn point to the entry position, lights the mushroom, sparkles and chimes (Checkpoint).
void buildCheckpoint(Context& c, const Entry& e) {
    const EntityHandle checkpoint = c.create(e.matrix());
    c.model(checkpoint, "checkpointMushroom.obj", "checkpointMushroomNormals.png");
    c.circle(checkpoint, 4.0f * e.scale.x);
    c.world.addComponent(checkpoint,
                         new components::Checkpoint("checkpoint", {0.55f, 0.42f, 0.16f}));
    c.world.addComponent(checkpoint, new components::TouchEmitter());
    c.tracker(checkpoint, "player");
    c.finish(checkpoint);
}

// A wake zone: a box of sx by sy centred on the entry (turned by rz) that wakes, when the ninja
// first enters it, everything that sleeps under its name. Not one of the entity templates.
void buildWake(Context& c, const Entry& e) {
    const std::string name = c.reader.readQuotedString();
    const EntityHandle zone = c.create(LevelLoader::placement(e.position, e.rotation, {1, 1, 1}));
    c.box(zone, e, -0.5f, -0.5f, 1.0f, 1.0f);
    c.tracker(zone, "player");
    LevelComponents::addWakeZone(c.world, zone, name);
    c.finish(zone);
}

// A secret place: a zone sx wide and sy high centred on the entry (turned by rz), found the first
// time the ninja touches it; it chimes, sparkles while he is in it, and counts in his score. Not
// one of the entity templates.
void buildSecret(Context& c, const Entry& e) {
    const EntityHandle zone = c.create(LevelLoader::placement(e.position, e.rotation, {1, 1, 1}));
    c.box(zone, e, -0.5f, -0.5f, 1.0f, 1.0f);
    c.tracker(zone, "player");
    c.world.addComponent(zone, new components::Secret("secretFound", {e.scale.x, e.scale.y}));
    c.world.addComponent(zone, new components::TouchEmitter());
    c.pickupId(zone, "secret");
    c.finish(zone);
}

// Puts every body built after entity `last` to sleep until a wake zone named `name` is entered.
void putToSleep(World& world, uint32_t last, const std::string& name) {
    const std::set<EntityHandle>& live = world.liveEntities();
    for (auto it = live.upper_bound(EntityHandle{last, &world}); it != live.end(); ++it)
        if (world.getComponent(*it, "body") != nullptr)
            LevelComponents::addAsleep(world, EntityHandle{it->entityId, &world}, name);
}

struct TemplateRow {
    const char* key;
    Template build;
};

// In the order keys are compared; "music" is read before the vectors and so is not a row here.
const TemplateRow templates[] = {
    {"player", buildPlayerEntry},
    {"entrance", buildEntrance},
    {"exit", buildExit},
    {"flatPlat3", buildFlatPlat3},
    {"smallPlat", buildSmallPlat},
    {"plat3x3", buildPlat3x3},
    {"rock", buildRock},
    {"spiderWeb", buildSpiderWeb},
    {"mushSingle", buildMushSingle},
    {"mushClust", buildMushClust},
    {"boulder", buildBoulder},
    {"breakable", buildBreakable},
    {"spikes", buildSpikes},
    {"sugarPile", buildSugarPile},
    {"antEgg", buildAntEgg},
    {"candyCorn", buildCandyCorn},
    {"shiny", buildShiny},
    {"quarrow", buildQuarrow},
    {"workerAnt", buildWorkerAnt},
    {"antCommandCW", buildCommandCW},
    {"antCommandCCW", buildCommandCCW},
    {"jumpUpgrade", buildJumpUpgrade},
    {"swordUpgrade", buildSwordUpgrade},
    {"killZone", buildKillZone},
    {"BGSprite", buildBGSprite},
    // The longer journey's pieces.
    {"wasp", buildWasp},
    {"spider", buildSpider},
    {"movingLeaf", buildMovingLeaf},
};

// Builds each entry from its template as it is read.
class Builder : public LevelLoader::EntryVisitor {
public:
    explicit Builder(Context& context) : context(context) {}

    void music(const std::string& name) override {
        // Music is named from the sound table, but a name that would leave the asset folder as a
        // file name is refused all the same: no level names anything outside it.
        if (!vorn::engine::acceptAssetName(name, Entry::entryName("music", context.reader.line())))
            return;
        vorn::audio::SoundManager::instance().playMusic(name, 0.3f, 5.0f);
    }
    void entry(const std::string& keyword, int line, const LevelEntry& read,
               vorn::parsing::DefinitionReader& reader) override {
        const Entry entry(keyword, line, read);
        const std::set<EntityHandle>& live = context.world.liveEntities();
        const uint32_t last = live.empty() ? 0 : live.rbegin()->entityId;
        bool built = false;
        for (const TemplateRow& row : templates) {
            if (keyword == row.key) {
                row.build(context, entry);
                built = true;
                break;
            }
        }
        if (!built && keyword == LevelLoader::hintKeyword)
            buildHint(context, entry);
        else if (!built && keyword == LevelLoader::checkpointKeyword)
            buildCheckpoint(context, entry);
        else if (!built && keyword == LevelLoader::wakeKeyword)
            buildWake(context, entry);
        else if (!built && keyword == LevelLoader::secretKeyword)
            buildSecret(context, entry);
        const std::string sleep = LevelLoader::readAsleepOption(reader);
        if (!sleep.empty())
            putToSleep(context.world, last, sleep);
    }

private:
    Context& context;
};

// What a template leaves of its entry is skipped up to the entry's closing ']'. A bracketed
// vector in it (a hint's zone size or a second point, for a reader that does not want it) is
// skipped whole, so that its own ']' does not end the entry early and leave the rest to be read as
// the file's end.
void skipRestOfEntry(vorn::parsing::DefinitionReader& reader) {
    while (!reader.atEnd()) {
        const int c = reader.get();
        if (c == ']')
            return;
        if (c == '[')
            reader.skipPast(']');
    }
}

} // namespace

const std::vector<std::string>& LevelLoader::templateKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> all{"music"};
        for (const TemplateRow& row : templates)
            all.emplace_back(row.key);
        return all;
    }();
    return keys;
}

glm::vec2 LevelLoader::readZoneSize(vorn::parsing::DefinitionReader& reader) {
    reader.skipWhitespace();
    if (reader.atEnd() || reader.peek() != '[')
        return promptZoneSize;
    const glm::vec3 size = reader.readVec3();
    return {size.x, size.y};
}

std::string LevelLoader::areaName(const std::string& levelFile) {
    static const std::pair<const char*, const char*> names[] = {
        {"startingArea.txt", "the clearing"},      {"leafStream.txt", "the lily stream"},
        {"simpleArea.txt", "the clover steps"},    {"waspMeadow.txt", "the wasp meadow"},
        {"trickyArea.txt", "the bramble hollow"},  {"spiderCellar.txt", "the spider cellar"},
        {"swordArea.txt", "the ember hollow"},     {"canopy.txt", "the high canopy"},
        {"prototypeLevel.txt", "the test ground"},
    };
    for (const auto& [file, name] : names)
        if (levelFile == file)
            return name;
    // Any other file is called by its name without folder and extension.
    const std::string::size_type slash = levelFile.find_last_of("/\\");
    std::string stem = slash == std::string::npos ? levelFile : levelFile.substr(slash + 1);
    const std::string::size_type dot = stem.rfind('.');
    return dot == std::string::npos || dot == 0 ? stem : stem.substr(0, dot);
}

std::string LevelLoader::readAsleepOption(vorn::parsing::DefinitionReader& reader) {
    for (;;) {
        reader.skipWhitespace();
        const int next = reader.peek();
        // Extras the caller did not read come before the option.
        if (next == '"') {
            reader.readQuotedString();
            continue;
        }
        if (next == '[') {
            reader.get();
            reader.skipPast(']');
            continue;
        }
        if (std::isdigit(next) || next == '-' || next == '.') {
            reader.readFloat();
            continue;
        }
        if (next == EOF || !std::isalpha(next))
            return "";
        if (reader.readString() != asleepOption)
            return "";
        return reader.readQuotedString();
    }
}

bool LevelLoader::isScenery(const std::string& keyword, const LevelEntry& entry) {
    if (keyword == "mushClust")
        return true;
    // Only a mushroom standing in the play plane can be stood on.
    return keyword == "mushSingle" &&
           !(-5.0f * entry.scale.z < entry.position.z && entry.position.z < 5.0f * entry.scale.z);
}

std::vector<glm::vec2> LevelLoader::groundOutline(const std::string& keyword,
                                                  const LevelEntry& entry) {
    std::vector<glm::vec2> outline;
    for (const PlatformShape& shape : platformShapes)
        if (keyword == shape.key)
            outline = vorn::components::PolygonCollider(entry.rotation.z, shape.x, shape.y, shape.w,
                                                        shape.h, entry.scale.x, entry.scale.y)
                          .vertices();
    if (keyword == "mushSingle" && !isScenery(keyword, entry))
        outline = vorn::components::PolygonCollider(mushroomCap, entry.rotation.z, entry.scale.x,
                                                    entry.scale.y)
                      .vertices();
    for (glm::vec2& point : outline)
        point += glm::vec2(entry.position);
    return outline;
}

glm::mat4 LevelLoader::placement(const glm::vec3& position, const glm::vec3& rotation,
                                 const glm::vec3& scale) {
    glm::mat4 m = glm::translate(glm::mat4(1.0f), position);
    m = glm::rotate(m, rotation.z * degrees, glm::vec3(0.0f, 0.0f, 1.0f));
    m = glm::rotate(m, rotation.y * degrees, glm::vec3(0.0f, 1.0f, 0.0f));
    m = glm::rotate(m, rotation.x * degrees, glm::vec3(1.0f, 0.0f, 0.0f));
    return glm::scale(m, scale);
}

namespace {

// Passes the reader's lenient readings to a visitor while a level is read; the reader forgets the
// visitor when the reading ends, however it ends.
class LenientReadings {
public:
    LenientReadings(vorn::parsing::DefinitionReader& reader, LevelLoader::EntryVisitor& visitor)
        : reader(reader) {
        using Lenient = vorn::parsing::DefinitionReader::Lenient;
        reader.onLenientReading([&visitor](Lenient kind, int line) {
            switch (kind) {
            case Lenient::numberNotAsWritten:
                visitor.readPast(line, "a number that is not a finite decimal number");
                break;
            case Lenient::stringLeftOpen:
                visitor.readPast(line, "a quoted string that runs to the end of the file");
                break;
            case Lenient::commentLeftOpen:
                visitor.readPast(line, "a comment that runs to the end of the file");
                break;
            }
        });
    }
    ~LenientReadings() { reader.onLenientReading(nullptr); }
    LenientReadings(const LenientReadings&) = delete;
    LenientReadings& operator=(const LenientReadings&) = delete;

private:
    vorn::parsing::DefinitionReader& reader;
};

} // namespace

void LevelLoader::readLevel(vorn::parsing::DefinitionReader& reader, EntryVisitor& visitor) {
    const LenientReadings passedOn(reader, visitor);
    reader.expect('[');
    while (true) {
        reader.skipWhitespace();
        if (reader.atEnd()) {
            visitor.readPast(reader.line(), "the file ends before its list of entries is closed");
            return;
        }
        const int next = reader.peek();
        if (next == ']') {
            reader.get();
            return;
        }
        if (next == '/') {
            // A lone slash where an entry would begin comments out the rest of the line.
            reader.skipPast('\n');
            continue;
        }
        const int line = reader.line();
        const std::string keyword = reader.readString();
        reader.expect('[');
        if (keyword == "music") {
            visitor.music(reader.readString());
        } else {
            LevelEntry entry;
            entry.position = reader.readVec3();
            entry.rotation = reader.readVec3();
            entry.scale = reader.readVec3();
            visitor.entry(keyword, line, entry, reader);
        }
        skipRestOfEntry(reader);
    }
}

bool LevelLoader::load(std::istream& in, World& world, CarriedPlayer& carried,
                       const std::string& spaceLabel, const std::string& entrance,
                       Placement placement) {
    // This area's one-shot sounds belong to a scene slot of their own, released with the area.
    vorn::audio::SoundManager& sound = vorn::audio::SoundManager::acquire();
    // The area's own levels; the player's volumes from the settings multiply them.
    sound.setSceneVolume(vorn::audio::SoundManager::musicGroup, 0.6f);
    sound.setSceneVolume(vorn::audio::SoundManager::effectsGroup, 1.0f);

    bool ok = true;
    vorn::parsing::DefinitionReader reader(in);
    auto* entrances = new LevelEntrances;
    world.addComponent(entrances);
    Context context{world, reader, carried, spaceLabel, entrance, placement, *entrances};
    Builder builder(context);
    try {
        readLevel(reader, builder);
    } catch (const std::exception& e) {
        vorn::engine::Diagnostics::err() << "Error loading level:"
                                         << ": " << e.what() << "\n";
        ok = false;
    }
    // The ninja of a reloaded area arrives once the whole file has been read, as he left the old
    // world: same place, same components. A failed read leaves him with the caller.
    if (ok && placement == Placement::whereHeStands && !carried.empty()) {
        const EntityHandle player = world.createEntity();
        CarriedPlayer arriving;
        arriving.swap(carried);
        for (std::unique_ptr<vorn::engine::Component>& component : arriving)
            if (component)
                world.addComponent(player, component.release());
    }
    return ok;
}

} // namespace game
