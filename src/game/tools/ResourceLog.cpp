#include "game/tools/ResourceLog.hpp"

#include "audio/SoundManager.hpp"
#include "engine/Application.hpp"
#include "engine/World.hpp"
#include "game/Scenes.hpp"
#include "rendering/GlObjectCensus.hpp"

#include <unistd.h>

namespace game {

ResourceLog::ResourceLog(const std::string& path) : file(path, std::ios::trunc) {
    if (file)
        file << "frame\tscene_changes\tscene\trss_kib\tgl_programs\tgl_textures\tgl_buffers"
                "\tgl_vertex_arrays\tgl_framebuffers\tal_sources\tal_buffers\n";
}

long ResourceLog::residentKiB() {
    // /proc/self/statm: total and resident size in pages.
    std::ifstream statm("/proc/self/statm");
    long total = 0;
    long resident = 0;
    if (!(statm >> total >> resident))
        return 0;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void ResourceLog::frameEnded(const vorn::engine::Application& application, uint64_t frame) {
    const auto world = application.currentWorld();
    const std::string scene = world ? Scenes::sceneName(*world) : std::string();
    const bool changed = started && scene != lastScene;
    if (changed)
        ++sceneChanges;
    if (started && !changed && frame % period != 0)
        return;
    started = true;
    lastScene = scene;

    const vorn::rendering::GlObjectCounts gl = vorn::rendering::GlObjectCensus::take();
    int sources = 0;
    int buffers = 0;
    vorn::audio::SoundManager::instance().system().getLiveObjectCounts(sources, buffers);
    file << frame << '\t' << sceneChanges << '\t' << scene << '\t' << residentKiB() << '\t'
         << gl.programs << '\t' << gl.textures << '\t' << gl.buffers << '\t' << gl.vertexArrays
         << '\t' << gl.framebuffers << '\t' << sources << '\t' << buffers << '\n';
    file.flush();
}

} // namespace game
