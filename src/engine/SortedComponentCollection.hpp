#pragma once

#include "engine/Component.hpp"
#include "engine/SortedCollectionCore.hpp"

namespace vorn::engine {

// The live, ordered set of the components of one world that answer one name, kept current through
// the world's added and removed signals for that name. `Compare` is one of
// Component::CompareByUpdatePriority or Component::CompareByRenderPriority.
template <class Compare> class SortedComponentCollection : public SortedCollectionCore {
public:
    // Scans `world` for components answering `name` and follows its signals from then on.
    SortedComponentCollection(World& world, const std::string& name)
        : SortedCollectionCore(world, name, &Compare::priorityOf) {}
};

} // namespace vorn::engine
