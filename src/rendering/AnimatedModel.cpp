#include "rendering/AnimatedModel.hpp"

#include "engine/Diagnostics.hpp"
#include "rendering/AnimCrossFadeNode.hpp"
#include "rendering/AnimSegment.hpp"
#include "rendering/AnimatedMesh.hpp"
#include "rendering/AnimatedMeshCache.hpp"
#include "rendering/Material.hpp"
#include "rendering/RenderState.hpp"
#include "rendering/ResourceCaches.hpp"
#include "rendering/ShaderProgram.hpp"
#include "rendering/SkeletonAnimationData.hpp"

#include <glm/gtc/type_ptr.hpp>

#include <algorithm>

namespace vorn::components {

using vorn::rendering::AnimSegment;

const char* const AnimatedModel::skinnedProgramName = "shaders/skinnedTanSpaceMapping.txt";
const char* const AnimatedModel::heroNormalMapName = "models/ninjaTangentMap.png";
const glm::vec3 AnimatedModel::heroRootOffset(0.0f, -10.75f, 0.0f);

AnimatedModel::AnimatedModel(const vorn::rendering::AnimatedMesh& mesh,
                             const std::string& initialSegment, bool blending)
    : Renderable(blending), parts(mesh.parts), skeleton(mesh.skeleton), rootOffset(mesh.rootOffset),
      boundsMin(mesh.boundsMin), boundsMax(mesh.boundsMax), hasBounds(mesh.hasBounds) {
    addName("animatedModel");
    addName("behavior");
    for (vorn::rendering::MeshPart& part : parts)
        part.attributesDirty = true;
    play("default");
    if (!initialSegment.empty())
        play(initialSegment);
}

std::unique_ptr<AnimatedModel> AnimatedModel::createSkinned(const std::string& name,
                                                            const std::string& segment,
                                                            const std::string& normalMap,
                                                            const glm::vec3& rootOffset) {
    using namespace vorn::rendering;
    AnimatedMesh mesh = AnimatedMesh::instanceOf(animatedMeshCache().get(name));
    mesh.setShaderProgram(shaderProgramCache().get(skinnedProgramName));
    if (!normalMap.empty())
        mesh.setTexture("normalMap", textureCache().get(normalMap));
    mesh.rootOffset = rootOffset;
    auto model = std::make_unique<AnimatedModel>(mesh);
    if (!segment.empty() && !model->play(segment))
        vorn::engine::Diagnostics::err() << "No animation segment \"" << segment << "\" in " << name
                                         << "; playing \"default\"\n";
    return model;
}

bool AnimatedModel::play(const std::string& name) {
    const AnimSegment* segment = skeleton ? skeleton->findSegment(name) : nullptr;
    if (!segment)
        return false;
    auto node = std::make_unique<AnimSegment>(*segment);
    node->time = 0.0f;
    current = std::move(node);
    return true;
}

bool AnimatedModel::crossFade(const std::string& name, float duration) {
    const AnimSegment* segment = skeleton ? skeleton->findSegment(name) : nullptr;
    if (!segment)
        return false;
    auto target = std::make_unique<AnimSegment>(*segment);
    target->time = 0.0f;
    current = std::make_unique<vorn::rendering::AnimCrossFadeNode>(std::move(current),
                                                                   std::move(target), duration);
    return true;
}

void AnimatedModel::update(float dt) {
    if (current)
        current->advance(dt, current);
}

const std::vector<glm::mat4>& AnimatedModel::computePose() {
    if (skeleton)
        skeleton->computePose(current.get(), rootOffset, skin);
    else
        skin.clear();
    return skin;
}

int AnimatedModel::boneCapacity(const std::shared_ptr<vorn::rendering::ShaderProgram>& program) {
    const bool same = !sizedProgram.expired() && !sizedProgram.owner_before(program) &&
                      !program.owner_before(sizedProgram);
    if (!same) {
        // The program keeps a location for every element of an array uniform.
        int capacity = 0;
        while (program->location("bones[" + std::to_string(capacity) + "]") >= 0)
            ++capacity;
        sizedProgram = program;
        sizedCapacity = capacity;
    }
    return sizedCapacity;
}

void AnimatedModel::draw(vorn::rendering::RenderState& state, const glm::mat4& model,
                         vorn::rendering::UniformSet& perDraw) {
    state.setBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    bool posed = false;
    for (vorn::rendering::MeshPart& part : parts) {
        if (!part.drawable())
            continue;
        vorn::rendering::ShaderProgram& program = part.applyMaterial(state, perDraw, model);
        const GLint bones = program.location("bones[0]");
        if (bones >= 0) {
            // All parts share one skeleton: the pose is computed for the first part that needs it.
            if (!posed) {
                computePose();
                posed = true;
            }
            const int count =
                std::min(static_cast<int>(skin.size()), boneCapacity(part.material->program));
            if (count > 0)
                glUniformMatrix4fv(bones, count, GL_FALSE, glm::value_ptr(skin[0]));
        }
        part.draw();
    }
}

} // namespace vorn::components
