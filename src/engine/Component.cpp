#include "engine/Component.hpp"

namespace vorn::engine {

Component::Component() = default;

Component::~Component() = default;

void Component::addName(const std::string& name) {
    names.insert(name);
}

bool Component::hasName(const std::string& name) const {
    return names.count(name) != 0;
}

namespace {
template <class Key> bool lessByPriority(const Component* a, const Component* b, Key key) {
    const float pa = key(*a);
    const float pb = key(*b);
    if (pa != pb)
        return pa < pb;
    if (a->getEntityId() != b->getEntityId())
        return a->getEntityId() < b->getEntityId();
    return a < b;
}
} // namespace

bool Component::CompareByUpdatePriority::operator()(const Component* a, const Component* b) const {
    return lessByPriority(a, b, &CompareByUpdatePriority::priorityOf);
}

bool Component::CompareByRenderPriority::operator()(const Component* a, const Component* b) const {
    return lessByPriority(a, b, &CompareByRenderPriority::priorityOf);
}

} // namespace vorn::engine
