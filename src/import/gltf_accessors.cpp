#include "import/gltf_accessors.h"

#include "import/tinygltf_config.h"

#include <cstring>

namespace xmo {

namespace {

bool inRange(int index, std::size_t size) { return index >= 0 && static_cast<std::size_t>(index) < size; }

std::size_t componentBytes(int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: return 2;
    case TINYGLTF_COMPONENT_TYPE_INT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT: return 4;
    default: return 0;
    }
}

const char* typeName(int type) {
    switch (type) {
    case TINYGLTF_TYPE_SCALAR: return "SCALAR";
    case TINYGLTF_TYPE_VEC2: return "VEC2";
    case TINYGLTF_TYPE_VEC3: return "VEC3";
    case TINYGLTF_TYPE_VEC4: return "VEC4";
    default: return "a matrix type";
    }
}

// The elements of one accessor as they lie in memory: `count` runs of
// `elementBytes` bytes, `stride` bytes apart from `first`.
struct Elements {
    const std::uint8_t* first = nullptr;
    std::size_t count = 0;
    std::size_t stride = 0;
    int componentType = 0;
    bool normalized = false;
};

std::optional<std::string> findElements(const tinygltf::Model& model, int index, int type, int components,
                                        Elements& out) {
    const std::string name = "accessor " + std::to_string(index);
    if (!inRange(index, model.accessors.size())) return name + " does not exist";
    const tinygltf::Accessor& accessor = model.accessors[static_cast<std::size_t>(index)];
    if (accessor.sparse.isSparse) return name + " is sparse, which the player does not read";
    if (accessor.type != type)
        return name + " is " + typeName(accessor.type) + " where " + typeName(type) + " is needed";
    const std::size_t component = componentBytes(accessor.componentType);
    if (component == 0) return name + " has an unknown component type " + std::to_string(accessor.componentType);
    out.count = accessor.count;
    out.componentType = accessor.componentType;
    out.normalized = accessor.normalized;
    if (out.count == 0) return std::nullopt;

    ByteRange view;
    if (std::optional<std::string> problem = findBufferView(model, accessor.bufferView, view))
        return name + ": " + *problem;
    const std::size_t elementBytes = component * static_cast<std::size_t>(components);
    const std::size_t declaredStride =
        model.bufferViews[static_cast<std::size_t>(accessor.bufferView)].byteStride;
    out.stride = declaredStride == 0 ? elementBytes : declaredStride;
    if (out.stride < elementBytes)
        return name + ": a stride of " + std::to_string(out.stride) + " bytes is shorter than its " +
               std::to_string(elementBytes) + "-byte elements";
    // offset + (count - 1) * stride + elementBytes <= view size, without
    // overflow: each term is checked against what is left.
    if (accessor.byteOffset > view.size || view.size - accessor.byteOffset < elementBytes ||
        (view.size - accessor.byteOffset - elementBytes) / out.stride < out.count - 1)
        return name + " reaches past the end of its buffer view";
    out.first = view.data + accessor.byteOffset;
    return std::nullopt;
}

float readComponent(const std::uint8_t* at, int componentType, bool normalized) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float v;
        std::memcpy(&v, at, sizeof v);
        return v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: return normalized ? at[0] / 255.0f : at[0];
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        std::uint16_t v;
        std::memcpy(&v, at, sizeof v);
        return normalized ? v / 65535.0f : v;
    }
    default: return 0.0f;
    }
}

template <int N>
std::optional<std::string> readVectors(const tinygltf::Model& model, int index, int type, bool integersAllowed,
                                       std::vector<Vec<N>>& out) {
    Elements elements;
    if (std::optional<std::string> problem = findElements(model, index, type, N, elements)) return problem;
    const bool integer = elements.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE ||
                         elements.componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
    if (elements.componentType != TINYGLTF_COMPONENT_TYPE_FLOAT && !(integersAllowed && integer && elements.normalized))
        return "accessor " + std::to_string(index) + " holds component type " +
               std::to_string(elements.componentType) + " where floats" +
               (integersAllowed ? " or normalised unsigned integers" : "") + " are needed";
    const std::size_t component = componentBytes(elements.componentType);
    out.resize(elements.count);
    static_assert(sizeof(Vec<N>) == N * sizeof(float), "a vector is its floats");
    if (elements.componentType == TINYGLTF_COMPONENT_TYPE_FLOAT && elements.stride == sizeof(Vec<N>)) {
        if (elements.count > 0) std::memcpy(out.data(), elements.first, elements.count * sizeof(Vec<N>));
        return std::nullopt;
    }
    for (std::size_t i = 0; i < elements.count; ++i) {
        const std::uint8_t* at = elements.first + i * elements.stride;
        for (int c = 0; c < N; ++c)
            out[i].e[c] = readComponent(at + static_cast<std::size_t>(c) * component, elements.componentType, elements.normalized);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> findBufferView(const tinygltf::Model& model, int index, ByteRange& out) {
    const std::string name = "buffer view " + std::to_string(index);
    if (!inRange(index, model.bufferViews.size())) return name + " does not exist";
    const tinygltf::BufferView& view = model.bufferViews[static_cast<std::size_t>(index)];
    if (!inRange(view.buffer, model.buffers.size())) return name + " names no buffer";
    const std::vector<unsigned char>& data = model.buffers[static_cast<std::size_t>(view.buffer)].data;
    if (view.byteOffset > data.size() || data.size() - view.byteOffset < view.byteLength)
        return name + " reaches past the end of buffer " + std::to_string(view.buffer);
    out.data = data.data() + view.byteOffset;
    out.size = view.byteLength;
    return std::nullopt;
}

std::optional<std::string> readVec3Accessor(const tinygltf::Model& model, int accessor, std::vector<Vec3f>& out) {
    return readVectors<3>(model, accessor, TINYGLTF_TYPE_VEC3, false, out);
}

std::optional<std::string> readVec2Accessor(const tinygltf::Model& model, int accessor, std::vector<Vec2f>& out) {
    return readVectors<2>(model, accessor, TINYGLTF_TYPE_VEC2, true, out);
}

std::optional<std::string> readIndexAccessor(const tinygltf::Model& model, int index,
                                             std::vector<std::uint32_t>& out) {
    Elements elements;
    if (std::optional<std::string> problem = findElements(model, index, TINYGLTF_TYPE_SCALAR, 1, elements))
        return problem;
    if (elements.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
        elements.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        elements.componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
        return "accessor " + std::to_string(index) + " holds indices that are not unsigned integers";
    out.resize(elements.count);
    for (std::size_t i = 0; i < elements.count; ++i) {
        const std::uint8_t* at = elements.first + i * elements.stride;
        switch (elements.componentType) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE: out[i] = at[0]; break;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            std::uint16_t v;
            std::memcpy(&v, at, sizeof v);
            out[i] = v;
            break;
        }
        default: std::memcpy(&out[i], at, sizeof out[i]); break;
        }
    }
    return std::nullopt;
}

}  // namespace xmo
