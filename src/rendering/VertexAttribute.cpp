#include "rendering/VertexAttribute.hpp"

namespace vorn::rendering {

const VertexLayout& VertexLayouts::quad() {
    static const VertexLayout layout{{3, GL_FLOAT, "pos"}, {2, GL_FLOAT, "UV"}};
    return layout;
}

const VertexLayout& VertexLayouts::particlePoint() {
    static const VertexLayout layout{
        {3, GL_FLOAT, "pos"}, {1, GL_FLOAT, "size"}, {4, GL_FLOAT, "color"}};
    return layout;
}

const VertexLayout& VertexLayouts::lit() {
    static const VertexLayout layout{
        {3, GL_FLOAT, "pos"}, {3, GL_FLOAT, "normal"}, {2, GL_FLOAT, "UV"}};
    return layout;
}

} // namespace vorn::rendering
