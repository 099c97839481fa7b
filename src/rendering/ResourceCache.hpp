#pragma once

#include "engine/AssetRoot.hpp"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace vorn::rendering {

// Load-once, share-while-used access to one kind of rendering resource by its name relative to
// the asset root.
//
// Lifetime: the cache holds weak references only. A resource lives while some component,
// material or model part holds it; a request after the last holder let go calls the loader again.
// The loader always returns an object (empty or partly built when loading failed; the failure
// has been reported by then), so get() never returns null unless the loader itself does.
//
// Names that would lead outside the asset folder (absolute, or with a ".." climbing above the
// root: engine::acceptAssetName) are refused with one line and never reach the loader; they get
// an empty resource, as a file that failed to load does.
template <class T> class ResourceCache {
public:
    // Receives the full path: the asset root followed by the name.
    using Loader = std::function<std::shared_ptr<T>(const std::string& fullPath)>;

    // The empty resource of a refused name is a default-constructed T, made where the cache is.
    explicit ResourceCache(Loader loader)
        : loader(std::move(loader)), empty([] { return std::make_shared<T>(); }) {}
    ResourceCache(const ResourceCache&) = delete;
    ResourceCache& operator=(const ResourceCache&) = delete;

    // The live resource of that name, or a newly loaded one (asset root + name).
    std::shared_ptr<T> get(const std::string& name) {
        if (!vorn::engine::acceptAssetName(name, ""))
            return empty();
        return lookup(name, [&] { return vorn::engine::assetRoot() + name; });
    }

    // The same for a path that already begins with the asset root (the form loaders build from
    // their own file's directory). The key is the path without the root, so both entry points
    // share entries; it is the part checked for leaving the folder. A path outside the root is
    // its own key and is loaded as given (a tool's or a test's own file).
    std::shared_ptr<T> getFullPath(const std::string& fullPath) {
        const std::string root = vorn::engine::assetRoot();
        const bool underRoot = fullPath.compare(0, root.size(), root) == 0;
        const std::string key = underRoot ? fullPath.substr(root.size()) : fullPath;
        if (underRoot && !vorn::engine::acceptAssetName(key, ""))
            return empty();
        return lookup(key, [&] { return fullPath; });
    }

    // The live resource of that name without loading anything; null when none is alive.
    std::shared_ptr<T> peek(const std::string& name) const {
        const auto found = entries.find(name);
        return found == entries.end() ? nullptr : found->second.lock();
    }

    // Number of names whose resource is still alive.
    std::size_t liveCount() const {
        std::size_t count = 0;
        for (const auto& entry : entries)
            count += entry.second.expired() ? 0 : 1;
        return count;
    }

private:
    template <class PathOf> std::shared_ptr<T> lookup(const std::string& key, PathOf pathOf) {
        if (auto live = peek(key))
            return live;
        std::shared_ptr<T> loaded = loader(pathOf());
        // The loader may itself have used this cache; look the slot up again afterwards.
        entries[key] = loaded;
        return loaded;
    }

    std::map<std::string, std::weak_ptr<T>> entries;
    Loader loader;
    std::function<std::shared_ptr<T>()> empty;
};

} // namespace vorn::rendering
