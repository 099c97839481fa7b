#include "engine/World.hpp"
#include "engine/Application.hpp"
#include "engine/Behavior.hpp"
#include "engine/ComponentCollection.hpp"
#include "engine/EntityCollection.hpp"
#include "engine/Label.hpp"
#include "engine/SortedComponentCollection.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using vorn::components::Label;
using vorn::engine::Application;
using vorn::engine::Behavior;
using vorn::engine::Component;
using vorn::engine::EntityHandle;
using vorn::engine::World;

namespace {

// A behaviour that writes what happens to it into a shared log and can run an action on update.
class Probe : public Behavior {
public:
    Probe(std::vector<std::string>& log, std::string tag, float priority = 0.0f)
        : log(log), tag(std::move(tag)) {
        updatePriority = priority;
    }
    ~Probe() override { log.push_back(tag + ":deleted"); }
    void initialize() override { log.push_back(tag + ":initialize"); }
    void onActivated() override { log.push_back(tag + ":activated"); }
    void onRemoved() override { log.push_back(tag + ":removed"); }
    void update(float) override {
        log.push_back(tag + ":update");
        if (onUpdate)
            onUpdate();
    }
    std::vector<std::string>& log;
    std::string tag;
    std::function<void()> onUpdate;
};

int count(const std::vector<std::string>& log, const std::string& entry) {
    int n = 0;
    for (const auto& e : log)
        n += e == entry;
    return n;
}

std::vector<std::string> updatesOnly(const std::vector<std::string>& log) {
    std::vector<std::string> result;
    for (const auto& e : log)
        if (e.size() > 7 && e.compare(e.size() - 7, 7, ":update") == 0)
            result.push_back(e);
    return result;
}

} // namespace

TEST(WorldEntities, IdsStartAtOneAndAreNeverReused) {
    World world;
    const EntityHandle a = world.createEntity();
    const EntityHandle b = world.createEntity();
    EXPECT_EQ(a.entityId, 1u);
    EXPECT_EQ(b.entityId, 2u);
    world.addComponent(a, new Label("x"));
    world.destroyEntity(a);
    EXPECT_FALSE(world.isLive(a));
    EXPECT_EQ(world.createEntity().entityId, 3u);
    EXPECT_EQ(a.world, &world);
}

TEST(WorldEntities, SiblingLookupFindsByNameOnlyWithinTheEntity) {
    World world;
    const EntityHandle a = world.createEntity();
    const EntityHandle b = world.createEntity();
    auto* tagA = new Label("tag");
    world.addComponent(a, tagA);
    world.addComponent(b, new Label("other"));
    EXPECT_EQ(world.getComponent(a, "tag"), tagA);
    EXPECT_EQ(world.getComponent(b, "tag"), nullptr);
    EXPECT_TRUE(world.getComponents(a, "missing").empty());
    EXPECT_EQ(world.getEntityComponents(a).size(), 1u);
}

TEST(WorldEntities, NameAddedAfterJoiningIsNotIndexed) {
    World world;
    const EntityHandle a = world.createEntity();
    auto* label = new Label("first");
    world.addComponent(a, label);
    label->addName("late");
    EXPECT_EQ(world.getComponent(a, "first"), label);
    EXPECT_EQ(world.getComponent(a, "late"), nullptr);
}

TEST(WorldEntities, EntityQueuedTwiceIsDestroyedOnce) {
    std::vector<std::string> log;
    World world;
    const EntityHandle a = world.createEntity();
    world.addComponent(a, new Probe(log, "p"));
    world.destroyEntityLater(a);
    world.destroyEntityLater(a);
    world.update(0.01f);
    EXPECT_EQ(count(log, "p:deleted"), 1);
    EXPECT_EQ(count(log, "p:removed"), 1);
    EXPECT_TRUE(world.pendingDestroy().empty());
    EXPECT_EQ(world.componentCount(), 0u);
}

TEST(WorldEntities, DestructionQueuedWhileTheQueueIsWorkedOffHappensInTheSamePass) {
    std::vector<std::string> log;
    World world;
    const EntityHandle a = world.createEntity();
    const EntityHandle b = world.createEntity();
    auto* first = new Probe(log, "a");
    world.addComponent(a, first);
    world.addComponent(b, new Probe(log, "b"));
    // Removing a's probe queues b: the queue grows while it is being walked.
    struct Chain : Component {
        EntityHandle victim;
        void onRemoved() override { getWorld()->destroyEntityLater(victim); }
    };
    auto* chain = new Chain;
    chain->victim = b;
    world.addComponent(a, chain);
    world.destroyEntityLater(a);
    world.update(0.01f);
    EXPECT_EQ(count(log, "a:deleted"), 1);
    EXPECT_EQ(count(log, "b:deleted"), 1);
    EXPECT_EQ(world.componentCount(), 0u);
}

TEST(WorldEntities, DestroyingTheWorldDeletesComponentsWithoutOnRemoved) {
    std::vector<std::string> log;
    {
        World world;
        world.addComponent(world.createEntity(), new Probe(log, "p"));
    }
    EXPECT_EQ(count(log, "p:deleted"), 1);
    EXPECT_EQ(count(log, "p:removed"), 0);
}

TEST(WorldUpdatePass, EqualPrioritiesRunInEntityIdOrderWhateverTheAddOrder) {
    std::vector<std::string> log;
    World world;
    std::vector<EntityHandle> entities;
    for (int i = 0; i < 8; ++i)
        entities.push_back(world.createEntity());
    world.addComponent(entities[6], new Probe(log, "7"));
    world.addComponent(entities[2], new Probe(log, "3"));
    world.addComponent(entities[4], new Probe(log, "5", -1.0f));
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log), (std::vector<std::string>{"5:update", "3:update", "7:update"}));
}

TEST(WorldUpdatePass, SiblingsOfEqualPriorityRunInJoinOrderWhateverTheirAddresses) {
    // The component at the higher address joins first, so address order and join order
    // disagree: the pass must follow the join order.
    std::vector<std::string> log;
    World world;
    const EntityHandle entity = world.createEntity();
    auto* a = new Probe(log, "a");
    auto* b = new Probe(log, "b");
    Probe* first = std::less<Probe*>()(a, b) ? b : a;
    Probe* second = first == a ? b : a;
    world.addComponent(entity, first);
    world.addComponent(entity, second);
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log),
              (std::vector<std::string>{first->tag + ":update", second->tag + ":update"}));
}

TEST(WorldUpdatePass, PriorityIsReadWhenTheComponentJoins) {
    std::vector<std::string> log;
    World world;
    auto* early = new Probe(log, "early", 1.0f);
    world.addComponent(world.createEntity(), early);
    world.addComponent(world.createEntity(), new Probe(log, "late", 2.0f));
    early->updatePriority = 5.0f; // changing it now must neither move it nor corrupt the pass
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log), (std::vector<std::string>{"early:update", "late:update"}));
    world.removeComponent(early);
    delete early;
    world.update(0.01f);
    EXPECT_EQ(count(log, "late:update"), 2);
}

TEST(WorldUpdatePass, RemovingTheCurrentComponentDoesNotDisturbThePass) {
    std::vector<std::string> log;
    World world;
    auto* self = new Probe(log, "self", 1.0f);
    world.addComponent(world.createEntity(), new Probe(log, "before", 0.0f));
    world.addComponent(world.createEntity(), self);
    world.addComponent(world.createEntity(), new Probe(log, "after", 2.0f));
    self->onUpdate = [&] { delete world.removeComponent(self); };
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log),
              (std::vector<std::string>{"before:update", "self:update", "after:update"}));
}

TEST(WorldUpdatePass, ComponentsRemovedAheadOfThePassAreNotVisited) {
    std::vector<std::string> log;
    World world;
    const EntityHandle a = world.createEntity();
    const EntityHandle b = world.createEntity();
    const EntityHandle c = world.createEntity();
    const EntityHandle d = world.createEntity();
    auto* killer = new Probe(log, "killer", 0.0f);
    world.addComponent(a, killer);
    world.addComponent(b, new Probe(log, "next", 1.0f));
    world.addComponent(c, new Probe(log, "survivor", 2.0f));
    world.addComponent(d, new Probe(log, "later", 3.0f));
    // Destroy the successor already fetched and a later one, at once.
    killer->onUpdate = [&] {
        world.destroyEntity(b);
        world.destroyEntity(d);
    };
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log), (std::vector<std::string>{"killer:update", "survivor:update"}));
    EXPECT_EQ(count(log, "next:deleted"), 1);
    EXPECT_EQ(count(log, "later:deleted"), 1);
}

TEST(WorldUpdatePass, ComponentAddedDuringThePassRunsOnlyIfItSortsAfterTheFetchedSuccessor) {
    std::vector<std::string> log;
    World world;
    auto* adder = new Probe(log, "adder", 1.0f);
    world.addComponent(world.createEntity(), adder);
    world.addComponent(world.createEntity(), new Probe(log, "successor", 5.0f));
    bool added = false;
    adder->onUpdate = [&] {
        if (added)
            return;
        added = true;
        world.addComponent(world.createEntity(), new Probe(log, "between", 3.0f));
        world.addComponent(world.createEntity(), new Probe(log, "behind", 9.0f));
    };
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log),
              (std::vector<std::string>{"adder:update", "successor:update", "behind:update"}));
    log.clear();
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log), (std::vector<std::string>{"adder:update", "between:update",
                                                          "successor:update", "behind:update"}));
}

TEST(WorldUpdatePass, SelfDestructionThroughTheQueueHappensAfterThePass) {
    std::vector<std::string> log;
    World world;
    const EntityHandle a = world.createEntity();
    auto* self = new Probe(log, "self", 0.0f);
    world.addComponent(a, self);
    world.addComponent(world.createEntity(), new Probe(log, "other", 1.0f));
    self->onUpdate = [&] { world.destroyEntityLater(a); };
    world.update(0.01f);
    EXPECT_EQ(log, (std::vector<std::string>{"self:update", "other:update", "self:removed",
                                             "self:deleted"}));
}

TEST(WorldUpdatePass, ComponentAnsweringBehaviorAndRendererIsInBothPasses) {
    std::vector<std::string> log;
    World world;
    struct Both : Behavior {
        std::vector<std::string>* log;
        Both() { addName(renderPassName); }
        void update(float) override { log->push_back("update"); }
        void render(float) override { log->push_back("render"); }
    };
    auto* both = new Both;
    both->log = &log;
    world.addComponent(world.createEntity(), both);
    world.update(0.01f);
    world.render(0.01f);
    EXPECT_EQ(log, (std::vector<std::string>{"update", "render"}));
}

TEST(WorldCollections, EntityCollectionsAreCachedAndLive) {
    World world;
    auto& collection = world.getEntities("renderable", "transform");
    EXPECT_EQ(&collection, &world.getEntities("renderable", "transform"));
    EXPECT_EQ(&collection, &world.getEntities("transform", "renderable"));

    const EntityHandle a = world.createEntity();
    world.addComponent(a, new Label("transform"));
    EXPECT_FALSE(collection.contains(a));
    auto* renderable = new Label("renderable");
    world.addComponent(a, renderable);
    EXPECT_TRUE(collection.contains(a)); // joins the moment it gains its last name

    // A second component with the same name keeps the entity in until the last one goes.
    auto* second = new Label("renderable");
    world.addComponent(a, second);
    delete world.removeComponent(renderable);
    EXPECT_TRUE(collection.contains(a));
    delete world.removeComponent(second);
    EXPECT_FALSE(collection.contains(a));
}

TEST(WorldCollections, CollectionBuiltLaterFindsExistingEntitiesInIdOrder) {
    World world;
    std::vector<EntityHandle> entities;
    for (int i = 0; i < 5; ++i) {
        entities.push_back(world.createEntity());
        if (i != 2)
            world.addComponent(entities.back(), new Label("tag"));
    }
    std::vector<uint32_t> ids;
    for (const EntityHandle& h : world.getEntities("tag"))
        ids.push_back(h.entityId);
    EXPECT_EQ(ids, (std::vector<uint32_t>{1, 2, 4, 5}));
}

TEST(WorldCollections, NamesAfterAnEmptyOneAreIgnored) {
    World world;
    auto& collection = world.getEntities("a", "", "b");
    EXPECT_EQ(&collection, &world.getEntities("a"));
    EXPECT_EQ(collection.getNames(), (std::set<std::string>{"a"}));
    const EntityHandle e = world.createEntity();
    world.addComponent(e, new Label("a"));
    EXPECT_TRUE(collection.contains(e));
}

TEST(WorldCollections, ComponentCollectionFollowsAddsAndRemovals) {
    World world;
    const EntityHandle e = world.createEntity();
    auto* first = new Label("thing");
    world.addComponent(e, first);
    auto& things = world.getComponentCollection("thing");
    EXPECT_EQ(&things, &world.getComponentCollection("thing"));
    EXPECT_TRUE(things.contains(first));
    auto* second = new Label("thing");
    world.addComponent(world.createEntity(), second);
    EXPECT_EQ(things.size(), 2u);
    world.destroyEntity(e);
    EXPECT_FALSE(things.contains(first));
    EXPECT_TRUE(things.contains(second));
}

TEST(WorldCollections, SignalsFireOnAddAndRemoveAfterIndexing) {
    World world;
    const EntityHandle e = world.createEntity();
    int added = 0;
    int removed = 0;
    world.onComponentAdded("x", [&](Component* c) {
        ++added;
        EXPECT_EQ(world.getComponent(e, "x"), c); // already indexed when the signal fires
    });
    world.onComponentRemoved("x", [&](Component*) {
        ++removed;
        EXPECT_EQ(world.getComponent(e, "x"), nullptr); // already gone from the index
    });
    auto* label = new Label("x");
    world.addComponent(e, label);
    delete world.removeComponent(label);
    EXPECT_EQ(added, 1);
    EXPECT_EQ(removed, 1);
}

TEST(WorldLifecycle, InactiveWorldDefersInitializeUntilStart) {
    std::vector<std::string> log;
    World world;
    world.addComponent(world.createEntity(), new Probe(log, "p"));
    EXPECT_TRUE(log.empty());
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    app.setWorld(std::shared_ptr<World>(&world, [](World*) {}));
    EXPECT_EQ(log, (std::vector<std::string>{"p:initialize", "p:activated"}));
}

TEST(WorldLifecycle, SecondStartActivatesAgainWithoutInitializing) {
    std::vector<std::string> log;
    World world;
    world.addComponent(world.createEntity(), new Probe(log, "p"));
    world.start();
    world.start();
    EXPECT_EQ(count(log, "p:initialize"), 1);
    EXPECT_EQ(count(log, "p:activated"), 2);
}

TEST(WorldLifecycle, ActiveWorldInitializesOnAddBeforeIndexing) {
    std::vector<std::string> log;
    auto world = std::make_shared<World>();
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    app.setWorld(world);
    const EntityHandle e = world->createEntity();
    struct SelfLookup : Behavior {
        Component* seenSelf = reinterpret_cast<Component*>(1);
        void initialize() override {
            seenSelf = getWorld()->getComponent(handle(), Behavior::componentName);
        }
    };
    auto* probe = new SelfLookup;
    world->addComponent(e, probe);
    EXPECT_TRUE(probe->isInitialized());
    EXPECT_EQ(probe->seenSelf, nullptr); // its own names are not indexed yet inside initialize()
    EXPECT_EQ(world->getComponent(e, Behavior::componentName), probe);
}

TEST(WorldLifecycle, ComponentAddedDuringStartIsActivatedOnce) {
    std::vector<std::string> log;
    auto world = std::make_shared<World>();
    struct Spawner : Component {
        std::vector<std::string>* log;
        void initialize() override {
            getWorld()->addComponent(getWorld()->createEntity(), new Probe(*log, "spawned"));
        }
    };
    auto* spawner = new Spawner;
    spawner->log = &log;
    world->addComponent(world->createEntity(), spawner);
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    app.setWorld(world);
    EXPECT_EQ(count(log, "spawned:initialize"), 1);
    EXPECT_EQ(count(log, "spawned:activated"), 1);
}

TEST(WorldLifecycle, MovingToAnotherWorldRemovesFirstAndNeverInitializesTwice) {
    std::vector<std::string> log;
    auto first = std::make_shared<World>();
    auto second = std::make_shared<World>();
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    app.setWorld(first);
    auto* probe = new Probe(log, "p");
    first->addComponent(first->createEntity(), probe);
    second->setApplication(&app);
    const EntityHandle target = second->createEntity();
    second->addComponent(target, probe);
    EXPECT_EQ(
        log, (std::vector<std::string>{"p:initialize", "p:activated", "p:removed", "p:activated"}));
    EXPECT_EQ(probe->getWorld(), second.get());
    EXPECT_EQ(first->componentCount(), 0u);
    EXPECT_EQ(second->getComponent(target, Behavior::componentName), probe);
}

TEST(WorldLifecycle, ComponentThatLeavesOnArrivalTakesNoOtherComponentWithIt) {
    // The leaver holds join number 2 in its first world; the second world's second component
    // holds the same number there.
    std::vector<std::string> log;
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    World first;
    const EntityHandle home = first.createEntity();
    first.addComponent(home, new Label("filler"));
    struct Leaver : Behavior {
        void onActivated() override { getWorld()->removeComponent(this); }
    };
    std::unique_ptr<Leaver> leaver(new Leaver);
    first.addComponent(home, leaver.get());

    auto second = std::make_shared<World>();
    auto* kept1 = new Probe(log, "kept1");
    auto* kept2 = new Probe(log, "kept2");
    second->addComponent(second->createEntity(), kept1);
    second->addComponent(second->createEntity(), kept2);
    second->setApplication(&app);
    second->addComponent(second->createEntity(), leaver.get());

    EXPECT_EQ(leaver->getWorld(), nullptr);
    EXPECT_EQ(first.componentCount(), 1u);
    EXPECT_EQ(second->componentCount(), 2u);
    log.clear();
    second->start();
    EXPECT_EQ(log, (std::vector<std::string>{"kept1:initialize", "kept1:activated",
                                             "kept2:initialize", "kept2:activated"}));
    log.clear();
    second.reset();
    EXPECT_EQ(count(log, "kept1:deleted"), 1);
    EXPECT_EQ(count(log, "kept2:deleted"), 1); // owned, not leaked
}

TEST(WorldLifecycle, StartSurvivesAnInitializeThatDestroysItsOwnEntity) {
    std::vector<std::string> log;
    auto world = std::make_shared<World>();
    struct SelfDestroying : Component {
        explicit SelfDestroying(std::vector<std::string>& log) : log(log) {}
        ~SelfDestroying() override { log.push_back("doomed:deleted"); }
        void initialize() override { getWorld()->destroyEntity(handle()); }
        void onActivated() override { log.push_back("doomed:activated"); }
        std::vector<std::string>& log;
    };
    const EntityHandle doomed = world->createEntity();
    world->addComponent(doomed, new SelfDestroying(log));
    world->addComponent(world->createEntity(), new Probe(log, "after"));
    Application app(nullptr, 20.0f, 60.0f, "assets/");
    app.setWorld(world);
    EXPECT_EQ(log,
              (std::vector<std::string>{"doomed:deleted", "after:initialize", "after:activated"}));
    EXPECT_FALSE(world->isLive(doomed));
    EXPECT_EQ(world->componentCount(), 1u);
}

TEST(WorldCollections, TheWorldsOwnEntityBelongsWhicheverCameFirst) {
    for (const bool collectionFirst : {true, false}) {
        SCOPED_TRACE(collectionFirst ? "collection made first" : "components added first");
        World world;
        if (collectionFirst)
            world.getEntities("system");
        world.addComponent(new Label("system"));
        world.addComponent(world.createEntity(), new Label("system"));
        world.addComponent(world.createEntity(), new Label("other"));
        const vorn::engine::EntityCollection& systems = world.getEntities("system");
        std::vector<uint32_t> ids;
        for (const EntityHandle& h : systems)
            ids.push_back(h.entityId);
        EXPECT_EQ(ids, (std::vector<uint32_t>{0, 1}));
        world.destroyEntity(EntityHandle{0, &world});
        EXPECT_FALSE(systems.contains(EntityHandle{0, &world}));
        EXPECT_EQ(systems.size(), 1u);
    }
}

TEST(WorldUpdatePass, AnUpdateThatThrowsLeavesNoWalkBehind) {
    std::vector<std::string> log;
    World world;
    bool throwing = true;
    bool removing = false;
    auto* thrower = new Probe(log, "thrower", 0.0f);
    auto* remover = new Probe(log, "remover", 1.0f);
    auto* victim = new Probe(log, "victim", 2.0f);
    world.addComponent(world.createEntity(), thrower);
    world.addComponent(world.createEntity(), remover);
    world.addComponent(world.createEntity(), victim);
    world.addComponent(world.createEntity(), new Probe(log, "last", 3.0f));
    thrower->onUpdate = [&] {
        if (throwing)
            throw std::runtime_error("update failed");
    };
    remover->onUpdate = [&] {
        if (removing)
            delete world.removeComponent(victim);
    };
    EXPECT_THROW(world.update(0.01f), std::runtime_error);

    // The next pass removes the component its walk is about to visit: only that one is skipped.
    throwing = false;
    removing = true;
    log.clear();
    world.update(0.01f);
    EXPECT_EQ(updatesOnly(log),
              (std::vector<std::string>{"thrower:update", "remover:update", "last:update"}));

    // The same on a collection of one's own, where the walks in progress can be counted.
    vorn::engine::SortedComponentCollection<Component::CompareByUpdatePriority> order(
        world, Behavior::componentName);
    EXPECT_THROW(order.forEach([](Component*) { throw std::runtime_error("visit failed"); }),
                 std::runtime_error);
    EXPECT_EQ(order.activeWalks(), 0u);
}
