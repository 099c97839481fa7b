#include "rendering/FrameBufferObject.hpp"

#include <algorithm>
#include <cassert>

namespace vorn::rendering {

// Attaching and resizing must not change which framebuffer the caller is drawing into.
class FrameBufferObject::ScopedBind {
public:
    explicit ScopedBind(GLuint framebuffer) {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    }
    ScopedBind(const ScopedBind&) = delete;
    ScopedBind& operator=(const ScopedBind&) = delete;
    ~ScopedBind() {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
    }

private:
    GLint previousDraw = 0;
    GLint previousRead = 0;
};

FrameBufferObject::FrameBufferObject() {
    glGenFramebuffers(1, &framebuffer);
}

FrameBufferObject::~FrameBufferObject() {
    // The textures go after the framebuffer that refers to them.
    glDeleteFramebuffers(1, &framebuffer);
}

void FrameBufferObject::resize(int width, int height) {
    if (width == width_ && height == height_)
        return;
    width_ = width;
    height_ = height;
    for (const auto& colour : ownColors)
        if (colour)
            colour->allocate(colour->internalFormat, width, height);
    if (ownDepth)
        ownDepth->allocate(ownDepth->internalFormat, width, height);
}

int FrameBufferObject::addColorAttachments(int count, bool hdr, bool linear) {
    int added = 0;
    while (added < count && addColorAttachment(hdr ? GL_RGBA16F : GL_RGBA8, linear))
        ++added;
    return added;
}

namespace {
bool roomForAnotherColour(int count) {
    GLint maxAttachments = 0;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &maxAttachments);
    GLint maxDrawBuffers = 0;
    glGetIntegerv(GL_MAX_DRAW_BUFFERS, &maxDrawBuffers);
    return count < std::min(maxAttachments, maxDrawBuffers);
}
} // namespace

bool FrameBufferObject::addColorAttachment(GLenum internalFormat, bool linear) {
    if (!roomForAnotherColour(colorCount()))
        return false;
    auto texture = std::make_unique<Texture>();
    texture->allocate(internalFormat, width_, height_);
    const GLenum filter = linear ? GL_LINEAR : GL_NEAREST;
    texture->setFilters(filter, filter);
    texture->setWrap(GL_CLAMP_TO_EDGE);
    attachColor(texture.get());
    ownColors.push_back(std::move(texture));
    return true;
}

bool FrameBufferObject::shareColorAttachment(const FrameBufferObject& owner, int index) {
    if (!roomForAnotherColour(colorCount()))
        return false;
    width_ = owner.width_;
    height_ = owner.height_;
    attachColor(&owner.colorTexture(index));
    ownColors.emplace_back();
    return true;
}

void FrameBufferObject::attachColor(Texture* texture) {
    const ScopedBind bound(framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(colorCount()),
                           GL_TEXTURE_2D, texture->id(), 0);
    colors.push_back(texture);
    std::vector<GLenum> buffers;
    for (int i = 0; i < colorCount(); ++i)
        buffers.push_back(GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i));
    glDrawBuffers(static_cast<GLsizei>(buffers.size()), buffers.data());
}

void FrameBufferObject::addDepthAttachment() {
    if (depth)
        return;
    const ScopedBind bound(framebuffer);
    ownDepth = std::make_unique<Texture>();
    ownDepth->allocate(GL_DEPTH_COMPONENT24, width_, height_);
    ownDepth->setFilters(GL_LINEAR, GL_LINEAR);
    ownDepth->setWrap(GL_CLAMP_TO_EDGE);
    depth = ownDepth.get();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth->id(), 0);
}

void FrameBufferObject::shareDepthAttachment(const FrameBufferObject& owner) {
    assert(owner.depth && !depth);
    const ScopedBind bound(framebuffer);
    depth = owner.depth;
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, depth->id(), 0);
}

void FrameBufferObject::swapColorTexture(int index, std::unique_ptr<Texture>& texture) {
    assert(index >= 0 && index < colorCount() && texture &&
           ownColors[static_cast<std::size_t>(index)]);
    std::unique_ptr<Texture>& attached = ownColors[static_cast<std::size_t>(index)];
    attached.swap(texture);
    colors[static_cast<std::size_t>(index)] = attached.get();
    width_ = attached->width;
    height_ = attached->height;
    const ScopedBind bound(framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(index),
                           GL_TEXTURE_2D, attached->id(), 0);
}

void FrameBufferObject::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
}

Texture& FrameBufferObject::colorTexture(int index) const {
    assert(index >= 0 && index < colorCount());
    return *colors[static_cast<std::size_t>(index)];
}

GLenum FrameBufferObject::status() const {
    const ScopedBind bound(framebuffer);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER);
}

} // namespace vorn::rendering
