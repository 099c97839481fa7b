#include "rendering/UniformValue.hpp"

namespace vorn::rendering {

namespace {

// T(0) is 0, the zero vector, or 0 times the identity: the all-zero matrix (glm's default
// matrix constructor would give the identity instead).
template <std::size_t Tag> UniformValue zeroAt() {
    using T = std::variant_alternative_t<Tag, UniformValue::Storage>;
    return UniformValue(T(0));
}

template <std::size_t... Tags> UniformValue zeroOf(std::size_t tag, std::index_sequence<Tags...>) {
    UniformValue result;
    ((tag == Tags ? (result = zeroAt<Tags>(), true) : false) || ...);
    return result;
}

} // namespace

UniformValue UniformValue::zeroOfTag(std::size_t tag) {
    return zeroOf(tag, std::make_index_sequence<std::variant_size_v<Storage>>());
}

UniformValue UniformValue::zero() const {
    return zeroOfTag(tag());
}

} // namespace vorn::rendering
